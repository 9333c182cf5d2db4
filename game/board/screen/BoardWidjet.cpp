#include "game/board/screen/BoardWidjet.h"

#include <algorithm>
#include <cmath>

#include "engine/anim/SpriteSheet.h"
#include "game/board/BoardTileSet.h"
#include "game/board/GlobalLayouts.h"
#include "game/board/Layout.h"
#include "game/board/effects/EffectChange3One.h"
#include "game/board/effects/HintEffect.h"
#include "game/board/effects/SimpleEffect2.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/ui/ButtonHint.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {

// Windows virtual-key codes of the keys the screen reads.
enum Key {
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyPageDown = 0x22,
    kKeyEnd = 0x23,
    kKeyUp = 0x26,
    kKeyDown = 0x28,
    kKeyDelete = 0x2E,
    kKey0 = 0x30,
    kKey1 = 0x31,
    kKey9 = 0x39,
    kKeyS = 0x53,
    kKeyPad0 = 0x60,
    kKeyPad9 = 0x69,
    kKeyF5 = 0x74,
    kKeyF6 = 0x75,
    kKeyDebugToggle = 0xC0
};

Image* PictureOf(const LayoutCell_t* tile) {
    return tile != nullptr && tile->group != nullptr ? tile->group->GetSpriteImage() : nullptr;
}

}  // namespace

// ---- Construction -------------------------------------------------------------------------

BoardWidjet_t::BoardWidjet_t(std::unique_ptr<BoardHost> host, const std::string& uiFile)
        : BaseDialogWidget(1, false), mHost(std::move(host)) {
    Construct(uiFile);
}

BoardWidjet_t::~BoardWidjet_t() {
    ReleaseMusicCallback();
    if (JewelsManager_t::Instance().listener == this) JewelsManager_t::Instance().listener = nullptr;
    // The effect lists go first and report nothing; then the layouts forget this listener.
    listA.SetListener(nullptr);
    listA.Clear();
    listB.Clear();
    listC.Clear();
    listD.Clear();
    listE.Clear();
    appearEffect.reset();
    toolRing.reset();
    for (int type = GameUsual; type <= Game4Rivers; ++type) {
        Layout_t& layout = LayoutForGameType(type);
        if (layout.listener == this) layout.SetListener(nullptr);
    }
    if (hintButton != nullptr) {
        RemoveWidget(hintButton);
        delete hintButton;
        hintButton = nullptr;
    }
    mDescription.reset();
}

void BoardWidjet_t::Construct(const std::string& uiFile) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    timeStep = -1;
    boardState = kStateIdle;
    timeValue = 180000;
    miniGameId = -1;
    JewelsManager_t::Instance().listener = this;

    mDescription = std::make_unique<UiDescription_t>(uiFile, this);
    levelNameLbl = FindLabel("LevelNameLbl");
    gameTypeLbl = FindLabel("GameTypeLbl");
    timeLbl = FindLabel("TimeLbl");
    matchesLbl = FindLabel("MatchesLbl");
    tilesRemainingLbl = FindLabel("TilesRemainingLbl");
    timeLblCap = FindLabel("TimeLblCap");
    showFree1Lbl = FindLabel("ShowFree1Lbl");
    showFree2Lbl = FindLabel("ShowFree2Lbl");
    shuffleButton = dynamic_cast<ButtonWidget*>(mDescription->FindWidget("Shuffle"));
    skipGameButton = dynamic_cast<ButtonWidget*>(mDescription->FindWidget("SkipGame"));
    skipDialogButton = dynamic_cast<ButtonWidget*>(mDescription->FindWidget("SkipDialog"));
    freeTilesBox = dynamic_cast<Checkbox*>(mDescription->FindWidget("FreeTiles"));
    for (HyperlinkWidget* label :
         {gameTypeLbl, levelNameLbl, timeLbl, matchesLbl, timeLblCap, showFree1Lbl, showFree2Lbl, tilesRemainingLbl}) {
        if (label != nullptr) labels.push_back(label);
    }

    // The hint button: a timed button built from the "Hint" element's look and place.
    if (auto* hint = dynamic_cast<ButtonWidget*>(mDescription->FindWidget("Hint"))) {
        hintButton = new ButtonHint(hint->mId, this);
        hintButton->Resize(hint->GetRect());
        hintButton->mButtonImage = hint->mButtonImage;
        hintButton->mOverImage = hint->mOverImage;
        hintButton->mDownImage = hint->mDownImage;
        hintButton->mDisabledImage = hint->mDisabledImage;
        hintButton->mNormalRect = hint->mNormalRect;
        hintButton->mOverRect = hint->mOverRect;
        hintButton->mDownRect = hint->mDownRect;
        hintButton->mDisabledRect = hint->mDisabledRect;
        hintButton->mLabel = hint->mLabel;
        if (hint->mFont != nullptr) hintButton->SetFont(hint->mFont);
        hintButton->SetColor(0, hint->GetColor(0, Color(255, 255, 255)));
        hintButton->SetColor(1, hint->GetColor(1, Color(255, 255, 255)));
        // The element itself stays hidden: the timed button takes its place.
        hint->SetVisible(false);
        AddWidget(hintButton);
        hintButton->mCoolDown = kHintCoolDownTicks;
        hintButton->mRemaining = 0;
    }
    undoButton = dynamic_cast<ButtonWidget*>(mDescription->FindWidget("Undo"));
    if (timeLbl != nullptr) timeColour = timeLbl->mColor;

    // Six layouts show blocked tiles greyed; the memory game hides faces instead.
    for (int type = GameUsual; type <= Game4Rivers; ++type) {
        if (type == 3) continue;
        Layout_t& layout = LayoutForGameType(type);
        if (layout.blockedPicture) layout.blockedPicture->SetImage(mHost->GetResourceImage(IMAGE_COLLGRAY_ID));
    }

    topBar.SetImagePtr(mHost->GetResourceImage(IMAGE_MAIN_TOP_ID));
    topBar.SetAlpha(0);
    bottomBar.SetImagePtr(mHost->GetResourceImage(IMAGE_MAIN_BOTTOM_ID));
    if (bottomBar.image != nullptr) bottomBar.y = static_cast<float>(mHost->GetHeight() - bottomBar.image->GetHeight());
    bottomBar.SetAlpha(0);

    listA.SetListener(this);
}

HyperlinkWidget* BoardWidjet_t::FindLabel(const std::string& name) {
    return dynamic_cast<HyperlinkWidget*>(mDescription->FindWidget(name));
}

Layout_t* BoardWidjet_t::CurrentLayout() { return &LayoutForGameType(gameType); }

Progress_t* BoardWidjet_t::Progress() { return ProfileManager_t::Instance()->GetCurrentProgress(); }

std::string BoardWidjet_t::Text(const std::string& key) const { return TextTable_t::Instance()->Lookup(key); }

// ---- Widget operations --------------------------------------------------------------------

void BoardWidjet_t::UpdateF(float ticks) {
    if (openDialogs > 0) return;
    if (boardState == kStatePlaying && toolRing) toolRing->Advance(ticks);
    if (boardState == kStateMiniGame && miniGame) miniGame->Advance(ticks);
    listB.AdvanceAll(ticks);
    listA.AdvanceAll(ticks);
    listC.AdvanceAll(ticks);
}

void BoardWidjet_t::Draw(Graphics* g) {
    background.Draw(g);
    if (boardState == kStateAppear) {
        if (appearEffect)
            appearEffect->Draw(g);
        else
            CurrentLayout()->Draw(g);
    } else if (boardState == kStatePlaying) {
        CurrentLayout()->Draw(g);
    } else if ((boardState == kStateMiniGame || boardState == kStateMiniGameClosing) && miniGame) {
        miniGame->Draw(g);
    }
    listD.Draw(g);
    listB.Draw(g);
    listA.Draw(g);
    if (shadow || backShadow) DeferOverlay(0);
    if (!IsMiniGameShowing()) DrawBars(g);
}

void BoardWidjet_t::DrawOverlay(Graphics* g) {
    if (shadow) shadow->Draw(g);
    if (backShadow) backShadow->Draw(g);
}

void BoardWidjet_t::DrawBars(Graphics* g) {
    topBar.Draw(g, 255);
    bottomBar.Draw(g, 255);
}

void BoardWidjet_t::MouseEnter() {
    if (miniGame) miniGame->MouseEnter();
}

void BoardWidjet_t::MouseLeave() {
    if (miniGame) miniGame->MouseLeave();
}

void BoardWidjet_t::MouseMove(int x, int y) {
    pointerX = x;
    pointerY = y;
    if (boardState == kStatePlaying && openDialogs == 0) {
        CurrentLayout()->HandleMouseMove(x, y);
        MarkDirty();
    } else if (boardState == kStateMiniGame && miniGame) {
        miniGame->MouseMove(x, y);
    }
}

void BoardWidjet_t::MouseDown(int x, int y, int signedClickCount) {
    if (boardState == kStateMiniGame && openDialogs == 0 && miniGame) {
        miniGame->MouseDown(x, y, signedClickCount);
        return;
    }
    BaseDialogWidget::MouseDown(x, y, signedClickCount);
}

void BoardWidjet_t::MouseDrag(int x, int y) {
    if (boardState == kStateMiniGame && openDialogs == 0 && miniGame) {
        miniGame->MouseDrag(x, y);
        return;
    }
    BaseDialogWidget::MouseDrag(x, y);
}

void BoardWidjet_t::MouseUp(int x, int y, int signedClickCount) {
    if (boardState == kStateMiniGame && openDialogs == 0) {
        if (miniGame) miniGame->MouseUp(x, y, signedClickCount);
        return;
    }
    if (boardState != kStatePlaying) return;
    Layout_t* layout = CurrentLayout();
    if (signedClickCount > 0) {
        // A click the layout does not take may find a hidden jewel (none exist in this game).
        if (!layout->HandleClick(x, y)) JewelsManager_t::Instance().HitTest(x, y);
    } else if (signedClickCount < 0) {
        // A tool whose move is already running cannot be dropped; its animation finishes it.
        if (layout->DropTool()) DropToolRing();
        UpdateButtons();
        mHost->SetDefaultCursor();
    }
}

void BoardWidjet_t::KeyUp(int key) {
    if (key == kKeyDebugToggle && mHost->IsDebugMode()) {
        debugKeys = !debugKeys;
        return;
    }
    if (debugKeys) HandleDebugKey(key);
    if (key == kKeyEscape) {
        ButtonDepress(kMenu);
    } else if (key == kKeySpace) {
        SetPaused(openDialogs == 0);
    }
}

void BoardWidjet_t::HandleDebugKey(int key) {
    Progress_t* record = Progress();
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    if (key == kKeyS) {
        keepLevelOnShow = true;
        mHost->StopMusic();
        mHost->SwitchScreen(ScreenSwitch::kBoardToGameOver);
    } else if (key == kKeyF5) {
        StartLevel(true);
    } else if (key == kKeyF6) {
        ShowNoMovesDialog();
    } else if (key == kKeyDelete) {
        timeFrozen = true;
        OnLevelComplete();
    } else if (key == kKeyPageDown) {
        stateTicks = 0;
        boardState = kStateStageEnd;
        profiles->AdvanceStage();
    } else if (key == kKeyEnd) {
        ShowLoseDialog();
    } else if (key >= kKey0 && key <= kKey9 && record != nullptr) {
        if (mHost->IsControlDown() && key != kKey0) {
            record->stage = key - kKey1;
            record->orderPos = 0;
        } else {
            record->orderPos = key == kKey0 ? 9 : key - kKey1;
        }
        StartLevel(true);
    } else if (key >= kKeyPad0 && key <= kKeyPad9) {
        miniGameId = key - kKeyPad0 + (mHost->IsControlDown() ? 10 : 0);
        OnHistoryDone();
    } else if (key == kKeyUp) {
        ++timeStep;
    } else if (key == kKeyDown) {
        --timeStep;
    }
}

void BoardWidjet_t::OnHidden() { mHost->FadeOutSoundEffects(); }

// ---- Buttons ----------------------------------------------------------------------------------

void BoardWidjet_t::UpdateButtons() {
    Layout_t* layout = CurrentLayout();
    const bool playing = boardState == kStatePlaying;
    if (shuffleButton != nullptr) {
        const bool canShuffle = playing && layout->toolMode == Layout_t::kNoTool &&
                                layout->shuffleMode != Layout_t::kShuffleDeal && !layout->IsOperationPending() &&
                                layout->CountNonCollectionTiles() > 0;
        shuffleButton->SetDisabled(!canShuffle);
    }
    if (hintButton != nullptr) {
        const bool miniGameRuns = boardState == kStateMiniGame && miniGame && hintButton->mVisible;
        hintButton->mTimerOn = (playing && !levelCompleted && openDialogs == 0) || miniGameRuns;
    }
    if (undoButton != nullptr) undoButton->SetDisabled(!(playing && layout->CanUndo()));
}

void BoardWidjet_t::SetControlsVisible(bool visible) {
    for (Widget* control : std::initializer_list<Widget*>{shuffleButton, hintButton, undoButton, freeTilesBox}) {
        if (control != nullptr) control->SetVisible(visible);
    }
}

void BoardWidjet_t::FadeInLabels(bool all, float ticks, float startAlpha) {
    const float step = (255 - startAlpha) / (ticks > 0 ? ticks : 1);
    for (FadingImage_t* bar : {&topBar, &bottomBar}) {
        bar->alpha = startAlpha;
        bar->targetAlpha = 255;
        bar->step = step;
    }
    for (HyperlinkWidget* label : labels) {
        if (!all && (label == levelNameLbl || label == gameTypeLbl)) continue;
        label->SetAlphaFade(startAlpha, 255, step);
    }
}

void BoardWidjet_t::FadeOutLabels(float ticks, float startAlpha) {
    const float step = -startAlpha / (ticks > 0 ? ticks : 1);
    for (FadingImage_t* bar : {&topBar, &bottomBar}) {
        bar->alpha = startAlpha;
        bar->targetAlpha = 1;
        bar->step = step;
    }
    for (HyperlinkWidget* label : labels) label->SetAlphaFade(startAlpha, 1, step);
}

void BoardWidjet_t::ButtonDepress(int id) {
    if (id != kShuffle && id != kHint && id != -1 && boardState != kStateMiniGame && !miniGame) PlaySound("MouseDown");
    Layout_t* layout = CurrentLayout();
    switch (id) {
        case kShuffle:
            // The button can be pressed in the tick between a tool's start and the next
            // UpdateButtons; the layout refuses then, and so does the board.
            if (!layout->CanShuffle() || boardState != kStatePlaying) return;
            PlaySound("Shuffle");
            UpdateButtons();
            listD.Clear();
            layout->StartShuffle();
            break;
        case kHint: {
            if (boardState == kStateMiniGame && miniGame) {
                miniGame->Hint();
                return;
            }
            if (boardState != kStatePlaying || !layout->NextHint()) return;
            PlaySound("Hint");
            UpdateButtons();
            listD.Clear();
            LayoutCell_t* partner = layout->SelectedPartner();
            if (partner != nullptr && !firstHintUsed) {
                AddHintMarker(partner);
                firstHintUsed = true;
            } else {
                AddHintMarker(layout->HintTile(false));
                AddHintMarker(layout->HintTile(true));
            }
            break;
        }
        case kUndo:
            if (boardState != kStatePlaying) return;
            PlaySound("undo");
            // Points are given back only for a move that was really undone.
            if (layout->Undo()) ChargeUndo();
            UpdateButtons();
            CheckBoardState();
            break;
        case kSkipGame:
            if (!miniGame) break;
            miniGame->MarkSkipped();
            if (skipGameButton != nullptr) skipGameButton->SetVisible(false);
            if (hintButton != nullptr && hintButton->mVisible) hintButton->SetVisible(false);
            mHost->CloseTip(false);
            miniGame->End();
            break;
        case kSkipDialog: break;
        case kMenu: {
            openDialogs = std::max(0, openDialogs - 1);
            mHost->KillDialog(BoardDialogId::kHelp);
            ShowShadow(140);
            BoardDialogRequest request;
            request.kind = BoardDialog::GameMenu;
            OpenCountedDialog(request);
            if (openDialogs > 0) layout->StartFade(1);
            break;
        }
        default: mHost->CloseTip(false); break;
    }
}

void BoardWidjet_t::ButtonReenabled(int id) {
    if (id == kHint) PlaySound("hint");
}

void BoardWidjet_t::CheckboxChecked(int id, bool checked) {
    PlaySound("MouseDown");
    if (id != 1) return;
    CurrentLayout()->showBlocked = checked;
    if (Progress_t* record = Progress()) record->showBlocked = checked;
}

int BoardWidjet_t::ClassValue(const LayoutCell_t* tile) {
    const BonusSettings& bonus = mHost->GetBonusSettings();
    const int cls = tile != nullptr && tile->group != nullptr ? tile->group->GetGroupNumber() : 0;
    switch (cls) {
        case 0: return bonus.bonusSimple;
        case 1: return bonus.bonusFlower;
        case 2: return bonus.bonusSeason;
        default: return bonus.bonusGold;
    }
}

void BoardWidjet_t::ChargeUndo() {
    Layout_t* layout = CurrentLayout();
    const int simple = mHost->GetBonusSettings().bonusSimple;
    const int records = static_cast<int>(layout->currentMove.size());
    int sum = 0;
    for (const LayoutMove_t& move : layout->currentMove) {
        if (move.tile < 0 || move.tile >= Layout_t::kMaxTiles) continue;
        const LayoutCell_t& tile = layout->Cell(move.tile);
        if (tile.group == nullptr) continue;
        if (gameType == GameSwapColl) {
            sum += records < 4 ? simple : 2 * simple;
        } else if (tile.group->GetGroupNumber() >= 0 && tile.group->GetGroupNumber() <= 2) {
            sum += ClassValue(&tile);
        }
    }
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->AddGameScore(-sum);
    profiles->Save();
}

// ---- Tools ------------------------------------------------------------------------------------

void BoardWidjet_t::DropToolRing() { toolRing.reset(); }

void BoardWidjet_t::AddTileFade(const LayoutCell_t* tile, int delay, int fadeTicks) {
    if (tile == nullptr) return;
    listA.AddObject(new SimpleEffect2(static_cast<int>(tile->x), static_cast<int>(tile->y), PictureOf(tile), tile,
                                      delay, fadeTicks));
}

void BoardWidjet_t::AddHintMarker(const LayoutCell_t* tile) {
    if (tile == nullptr) return;
    listD.AddObject(new HintEffect(tile->x + 5, tile->y - 5));
}

void BoardWidjet_t::OnBonusTileActivated(int tool, LayoutCell_t* tile) {
    if (tool >= 1 && tool <= 3) {
        PlaySound(tool == 2 ? "change" : "swap");
        toolRing = std::make_unique<EffectChange3One>(static_cast<int>(tile->x), static_cast<int>(tile->y), 5, -5,
                                                      nullptr, true);
        toolRing->cycleLimit = -1;
        toolRing->layer = tile->layer;
    } else if (tool == Layout_t::kToolNumberHint) {
        hintTicks = kHintToolTicks;
        AddTileFade(tile, 0, 20);
    }
}

void BoardWidjet_t::OnBonusModeEnded(int tool, LayoutCell_t* /*tile*/) {
    if (tool >= 1 && tool <= 3) {
        DropToolRing();
    } else if (tool == Layout_t::kToolNumberHint) {
        hintTicks = 0;
        listD.Clear();
    }
}

void BoardWidjet_t::OnDrawLayer(int layer, Graphics* g) {
    if (toolRing && toolRing->layer == layer) toolRing->Draw(g);
}

namespace {

// A mover showing a tile's picture on an owned copy of the sheet of "data/coll.anim".
void GiveTilePicture(AnimObject2& mover, Image* picture) {
    if (SpriteSheet_t* sheet = GetSpriteSheet("data/coll.anim", true, true)) {
        mover.SetSpriteCopy(sheet);
        if (mover.sheet != nullptr) mover.sheet->image = picture;
    }
}

// A tile flight that ends only by arriving: its frame animation running out does not end it,
// so the layout always hears of the arrival.
class TileFlight : public LineMoveObj {
public:
    using LineMoveObj::LineMoveObj;
    bool Update() override {
        AnimObject2::Update();
        done = arrived;
        return done;
    }
    bool IsDone() override { return arrived; }
};

}  // namespace

void BoardWidjet_t::OnSwapBonusUsed(LayoutCell_t* a, LayoutCell_t* b, LayoutCell_t* tool) {
    DropToolRing();
    AddTileFade(tool, 0, 20);
    const int ax = static_cast<int>(a->x), ay = static_cast<int>(a->y);
    const int bx = static_cast<int>(b->x), by = static_cast<int>(b->y);
    auto first = std::make_unique<EffectSinus>(ax, ay, bx, by, 0, nullptr);
    auto second = std::make_unique<EffectSinus>(bx, by, ax, ay, 0, this);
    for (auto* flight : {first.get(), second.get()}) {
        if (!flight->mover) continue;
        GiveTilePicture(*flight->mover, PictureOf(flight == first.get() ? a : b));
        flight->mover->Start();
    }
    const bool arrivesAtOnce = second->done;
    listA.AddObject(std::move(first));
    listA.AddObject(std::move(second));
    PlaySound("swapbonus");
    // Two tiles on one spot have no flight to wait for: the swap ends now.
    if (arrivesAtOnce) OnSwapEffectDone();
}

void BoardWidjet_t::OnSwapEffectDone() {
    PlaySound("SwapDone");
    CurrentLayout()->ApplySwap();
}

void BoardWidjet_t::OnSwapApplied() {
    mHost->SetDefaultCursor();
    UpdateButtons();
    listD.Clear();
}

void BoardWidjet_t::OnChangeBonusUsed(const std::vector<LayoutCell_t*>* tiles, LayoutCell_t* tool) {
    PlaySound("changebonus");
    DropToolRing();
    AddTileFade(tool, 0, 20);
    const bool waits = gameType == GameSwapColl;
    if (tiles != nullptr && !tiles->empty()) {
        listA.AddObject(new EffectBonusChange(*tiles, waits ? this : nullptr));
    } else if (waits) {
        // Nothing to flash: the swap mode's regrouping goes on at once.
        OnChangeEffectDone();
    }
}

void BoardWidjet_t::OnBonusChangeDone() { OnChangeEffectDone(); }

void BoardWidjet_t::OnChangeEffectDone() {
    PlaySound("ChangeDone");
    CurrentLayout()->ResolveGroups();
    CheckBoardState();
}

void BoardWidjet_t::OnRemoverBonusUsed(const std::vector<LayoutCell_t*>* targets, LayoutCell_t* tool) {
    DropToolRing();
    AddTileFade(tool, 0, 20);
    if (targets != nullptr && !targets->empty() && tool != nullptr) {
        std::vector<std::pair<int, int>> points;
        for (const LayoutCell_t* target : *targets)
            points.emplace_back(static_cast<int>(target->x), static_cast<int>(target->y));
        listA.AddObject(new EffectRemover(static_cast<int>(tool->x), static_cast<int>(tool->y) - 20, points, this));
        PlaySound("remover");
    } else {
        // Nothing to fly to: the remover ends at once rather than leave the board waiting.
        PlaySound("remover");
        CurrentLayout()->FinishRemoverBonus();
    }
}

void BoardWidjet_t::OnRemoverTargetReached(EffectRemover* effect, int target) {
    // An item's flight to the clothes progress value.
    if (effect->mode == 1) {
        collectibles.OnFlightArrived(effect->factor);
        return;
    }
    if (effect->mode != 0) return;
    Layout_t* layout = CurrentLayout();
    if (target < 0 || target >= static_cast<int>(layout->removerTargets.size())) return;
    const int tile = layout->removerTargets[static_cast<size_t>(target)];
    if (tile < 0 || tile >= layout->GetItemCount()) return;
    LayoutCell_t& cell = layout->Cell(tile);
    const bool wasActive = cell.active;
    layout->RemoveTile(tile, 0, true, true);
    if (!wasActive) return;
    AddTileFade(&cell, 0, 20);
    listA.AddObject(new EffectChange3One(static_cast<int>(cell.x), static_cast<int>(cell.y), 5, -5, nullptr, true));
}

void BoardWidjet_t::OnRemoverDone(EffectRemover* effect) {
    if (effect->mode != 0) return;
    CurrentLayout()->FinishRemoverBonus();
}

void BoardWidjet_t::OnRemoverApplied() {
    ProfileManager_t::Instance()->Save();
    listD.Clear();
}

void BoardWidjet_t::OnTilesMoved(const std::vector<LayoutFlight_t>* flights) {
    if (flights == nullptr) return;
    Layout_t* layout = CurrentLayout();
    for (size_t i = 0; i < flights->size(); ++i) {
        const LayoutFlight_t& flight = (*flights)[i];
        const int layer = std::clamp(static_cast<int>(flight.oldLayer), 0, Layout_t::kLayers - 1);
        const int row = std::clamp(static_cast<int>(flight.oldRow), 0, Layout_t::kRows);
        const int column = std::clamp(static_cast<int>(flight.oldColumn), 0, Layout_t::kColumns);
        const int fromX = layout->positions[layer][row][column][0] + 29;
        const int fromY = layout->positions[layer][row][column][1] + 34;
        const LayoutCell_t& tile = layout->Cell(flight.tile);
        const float dx = tile.x - static_cast<float>(fromX);
        const float dy = tile.y - static_cast<float>(fromY);
        const float distance = std::sqrt(dx * dx + dy * dy);
        auto* mover = new TileFlight(fromX, fromY, static_cast<int>(tile.x), static_cast<int>(tile.y),
                                     distance * 0.033333335f, this);
        mover->LoadFile("data/coll.anim");
        GiveTilePicture(*mover, PictureOf(&tile));
        mover->Start();
        mover->userValue = static_cast<int>(i);
        listB.AddObject(mover);
    }
}

void BoardWidjet_t::OnLineMoveDone(LineMoveObj* mover) { CurrentLayout()->OnTileMoveFinished(mover->userValue); }

}  // namespace Velm
