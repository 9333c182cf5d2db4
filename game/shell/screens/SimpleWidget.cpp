#include "game/shell/screens/SimpleWidget.h"

#include "game/shell/GameIds.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/TilesetCatalogue.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/RadioButton.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {

constexpr int kKeyEscape = 27;

void SetText(Widget* widget, const std::string& text) {
    if (auto* button = dynamic_cast<ButtonWidget*>(widget)) {
        button->mLabel = text;
        button->MarkDirty();
    }
}

Progress_t* CurrentProgress() { return ProfileManager_t::Instance()->GetCurrentProgress(); }

const std::vector<LevelRecord_t>& CurrentRecords() {
    static const std::vector<LevelRecord_t> kNone;
    const Progress_t* progress = CurrentProgress();
    return progress != nullptr ? progress->levelRecords : kNone;
}

}  // namespace

SimpleWidget_t::SimpleWidget_t(const Links& appLinks, const std::string& uiFile)
        : BaseDialogWidget(kDialogId, true), links(appLinks), thumbnailRenderer(appLinks.tilesets) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>(uiFile, this);
    for (int k = 1; k <= SimpleLevelList::kSlotsPerPage; ++k) {
        slotButtons[static_cast<size_t>(k - 1)] =
                dynamic_cast<RadioButton*>(description->FindWidget("CB" + std::to_string(k)));
    }
    prevPage = description->FindWidget("PrevPage");
    nextPage = description->FindWidget("NextPage");
    scoreLabel = description->FindWidget("ScoreLbl");
    timeLabel = description->FindWidget("TimeLbl");
    levelNameLabel = description->FindWidget("LevelNameLbl");
    levelLabel = description->FindWidget("LevelLbl");
    tilesetLabel = description->FindWidget("TilesetLbl");
}

SimpleWidget_t::~SimpleWidget_t() {
    // The description removes and deletes the child widgets it built.
    description.reset();
}

MemoryImage* SimpleWidget_t::GetThumbnail(int slot) const {
    if (slot < 0 || slot >= SimpleLevelList::kSlotsPerPage) return nullptr;
    return thumbnails[static_cast<size_t>(slot)].get();
}

void SimpleWidget_t::Update() {
    BaseDialogWidget::Update();
    MarkDirty();
}

void SimpleWidget_t::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0));
    g->FillRect(0, 0, mWidth, mHeight);
    description->DrawImages(g, 0);
    DeferOverlay();
}

void SimpleWidget_t::DrawOverlay(Graphics* g) {
    for (int s = 0; s <= lastSlot && s < SimpleLevelList::kSlotsPerPage; ++s) {
        const RadioButton* button = slotButtons[static_cast<size_t>(s)];
        const SimpleLevelList::Slot& slot = slots[static_cast<size_t>(s)];
        if (button == nullptr || !button->mVisible) continue;
        if (slot.state == SimpleLevelList::SlotState::Locked) {
            DrawLock(g, *button, slot.level);
            continue;
        }
        MemoryImage* thumbnail = thumbnails[static_cast<size_t>(s)].get();
        if (thumbnail == nullptr || button->mDisabled) continue;
        g->DrawImage(thumbnail, button->mX + kThumbnailOffsetX, button->mY + kThumbnailOffsetY);
    }
}

void SimpleWidget_t::DrawLock(Graphics* g, const Widget& slotButton, int level) {
    const int centreX = slotButton.mX + kThumbnailOffsetX + LayoutThumbnails::kThumbnailWidth / 2;
    const int centreY = slotButton.mY + kThumbnailOffsetY + LayoutThumbnails::kThumbnailHeight / 2;
    if (lockPicture == nullptr) return;
    const int left = centreX - lockPicture->GetWidth() / 2, top = centreY - lockPicture->GetHeight() / 2;
    g->DrawImage(lockPicture.get(), left, top);
    // The number on the lock's body: the lower 40 of the picture's 88 pixels.
    Font* font = FONT_DIREVIR != nullptr ? FONT_DIREVIR : FONT_DEFAULT;
    if (font == nullptr) return;
    const std::string number = std::to_string(level + 1);
    g->SetFont(font);
    g->SetColor(Color(58, 30, 0));
    const int bodyMiddle = top + lockPicture->GetHeight() * 70 / 88;
    g->DrawString(number, centreX - font->StringWidth(number) / 2, bodyMiddle + font->GetAscent() / 2 - 2);
}

void SimpleWidget_t::KeyUp(int key) {
    if (key == kKeyEscape) ButtonDepress(kBack);
}

void SimpleWidget_t::OnShown() {
    if (links.startMenuMusic) links.startMenuMusic();
    tileset = links.tilesets != nullptr ? links.tilesets->current : 0;
    // A choice kept from before the list left out the logical-pairs set becomes the first set.
    const int tilesetCount = links.tilesets != nullptr ? links.tilesets->GetCount() : 0;
    if (tileset >= SimpleLevelList::ChoosableTilesets(tilesetCount)) {
        tileset = 0;
        StoreTilesetChoice();
    }
    ShowTilesetName();
    for (auto& thumbnail : thumbnails) {
        thumbnail = std::make_unique<MemoryImage>();
        thumbnail->Create(LayoutThumbnails::kThumbnailWidth, LayoutThumbnails::kThumbnailHeight);
    }
    thumbnailRenderer.Acquire();
    lockPicture.reset(links.loadImage ? links.loadImage(kLockPicture) : nullptr);
    pageCount = SimpleLevelList::PageCount(static_cast<int>(CurrentRecords().size()));
    RenderPage(0);
    UpdatePageButtons();
}

void SimpleWidget_t::OnHidden() {
    thumbnailRenderer.Release();
    for (auto& thumbnail : thumbnails) thumbnail.reset();
    lockPicture.reset();
}

void SimpleWidget_t::UpdatePageButtons() {
    if (prevPage != nullptr) prevPage->SetDisabled(!SimpleLevelList::CanGoBack(page));
    if (nextPage != nullptr) nextPage->SetDisabled(!SimpleLevelList::CanGoOn(page, pageCount));
}

void SimpleWidget_t::RenderPage(int newPage) {
    page = newPage;
    CheckboxChecked(1, true);
    if (links.stages == nullptr) return;
    slots = SimpleLevelList::MakePage(page, *links.stages, CurrentRecords());
    lastSlot = SimpleLevelList::LastFilledSlot(slots);
    for (int s = 0; s < SimpleLevelList::kSlotsPerPage; ++s) {
        const SimpleLevelList::Slot& slot = slots[static_cast<size_t>(s)];
        RadioButton* button = slotButtons[static_cast<size_t>(s)];
        if (button != nullptr) {
            button->SetVisible(slot.state != SimpleLevelList::SlotState::Hidden);
            button->SetDisabled(slot.state != SimpleLevelList::SlotState::Open);
        }
        MemoryImage* thumbnail = thumbnails[static_cast<size_t>(s)].get();
        if (slot.state == SimpleLevelList::SlotState::Hidden || thumbnail == nullptr) continue;
        // A locked level's picture is made too; it is just not drawn.
        const StageLevel_t* level = links.stages->GetGameByFlatIndex(slot.level);
        thumbnailRenderer.Render(level != nullptr ? level->layout : std::string(), *thumbnail);
    }
}

void SimpleWidget_t::CheckboxChecked(int id, bool checked) {
    if (!checked || id < 1 || id > SimpleLevelList::kSlotsPerPage) return;
    for (int k = 1; k <= SimpleLevelList::kSlotsPerPage; ++k) {
        RadioButton* button = slotButtons[static_cast<size_t>(k - 1)];
        if (button != nullptr) button->SetChecked(k == id, false);
    }
    if (links.stages == nullptr) return;
    const SimpleLevelList::ChosenLevel chosen = SimpleLevelList::Choose(page, id, *links.stages, CurrentRecords());
    SetText(scoreLabel, chosen.scoreText);
    if (chosen.showTime) SetText(timeLabel, chosen.timeText);
    if (timeLabel != nullptr) timeLabel->SetVisible(chosen.showTime);
    SetText(levelNameLabel, chosen.levelName);
    SetText(levelLabel, chosen.levelIndexText);
    // What Play starts: the chosen level's stage and game.
    Progress_t* progress = CurrentProgress();
    if (progress == nullptr || chosen.level < 0) return;
    progress->stage = chosen.stage;
    ProfileManager_t::Instance()->BuildGameOrder(*progress);
    progress->orderPos = chosen.game;
}

void SimpleWidget_t::ShowBestTime(int ticks) { SetText(timeLabel, SimpleLevelList::BestTimeText(ticks)); }

void SimpleWidget_t::StoreTilesetChoice() {
    if (Progress_t* progress = CurrentProgress()) progress->tileset = tileset;
}

void SimpleWidget_t::ShowTilesetName() {
    SetText(tilesetLabel, TextTable_t::Instance()->Lookup("TilesetName" + std::to_string(tileset)));
}

void SimpleWidget_t::SelectChosenTileset() {
    if (links.tilesets != nullptr && tileset != links.tilesets->current) links.tilesets->SelectTileset(tileset);
}

void SimpleWidget_t::ButtonDepress(int id) {
    PlayUiSound(id == kTilesetPrev || id == kTilesetNext ? "PrevNext" : "MouseDown");
    const int tilesetCount = links.tilesets != nullptr ? links.tilesets->GetCount() : 0;
    switch (id) {
        case kBack:
            SelectChosenTileset();
            if (links.switchScreen) links.switchScreen(ScreenSwitch::kSimpleToMain);
            break;
        case kPlay:
            SelectChosenTileset();
            if (Progress_t* progress = CurrentProgress()) {
                progress->gameScore = 0;
                progress->timeLeft = 0;
            }
            if (links.switchScreen) links.switchScreen(ScreenSwitch::kSimpleToBoard);
            break;
        case kTilesetPrev:
        case kTilesetNext:
            if (tilesetCount <= 0) break;
            tileset = SimpleLevelList::StepTileset(tileset, id == kTilesetPrev ? -1 : 1, tilesetCount);
            StoreTilesetChoice();
            ShowTilesetName();
            break;
        case kPagePrev:
        case kPageNext:
            RenderPage(SimpleLevelList::StepPage(page, id == kPagePrev ? -1 : 1, pageCount));
            UpdatePageButtons();
            break;
        default: break;
    }
}

void SimpleWidget_t::ButtonMouseEnter(int id) {
    if (id != -1) PlayUiSound("MouseEnter");
}

}  // namespace Velm
