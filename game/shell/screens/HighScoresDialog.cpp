#include "game/shell/screens/HighScoresDialog.h"

#include "game/shell/GameIds.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "resources/base/StringUtils.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {
constexpr float kBarX = 530.0f;
constexpr int kBarRise = 7;
constexpr int kNameWrapWidth = 448;
constexpr int kScoreWrapWidth = 284;
constexpr float kBurstStepsPerSecond = 50.0f;

// The text cut to fit the width on one line, "..." marking the cut; whole UTF-8 characters
// are kept. Text that fits is returned as it is.
std::string FitToWidth(Font* font, const std::string& text, int width) {
    if (font == nullptr || font->StringWidth(text) <= width) return text;
    static const std::string kMark = "...";
    size_t low = 0;
    size_t high = text.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (font->StringWidth(text.substr(0, mid) + kMark) <= width) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    while (low > 0 && low < text.size() && (static_cast<unsigned char>(text[low]) & 0xC0) == 0x80) --low;
    return text.substr(0, low) + kMark;
}

}  // namespace

HighScoresDialog::HighScoresDialog(GameApp* app, int highlightedRow)
        : HighScoresDialog(StoryScreenLinks::LinksOf(app), kUiFile, highlightedRow) {}

HighScoresDialog::HighScoresDialog(const StoryScreenLinks& screenLinks, const std::string& uiFile, int highlightedRow)
        : BaseDialogWidget(kDialogId, true), links(screenLinks) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>(uiFile, this);
    bar.LoadFile("data/userbar.anim");
    if (const Point* colour = description->FindPoint("ListColor")) listColour = Color(colour->x);
    const Point* captionPos = description->FindPoint("CaptionPos");
    caption.centred = true;
    caption.x = static_cast<float>(links.width / 2);
    caption.y = static_cast<float>(captionPos != nullptr ? captionPos->y : 0);
    const Point* start = description->FindPoint("TableRowStart");
    rowStart = start != nullptr ? start->y : 0;
    LayoutRows();
    SetHighlight(highlightedRow);
}

HighScoresDialog::~HighScoresDialog() {
    burst.reset();
    description.reset();
}

void HighScoresDialog::LayoutRows() {
    for (int i = 0; i < kRowCount; ++i) {
        const int y = rowStart + kRowSpacing * i;
        rows[static_cast<size_t>(i)] = Row{Point(22, y), Point(155, y), Point(610, y), Point(563, y)};
    }
}

void HighScoresDialog::SetHighlight(int row) {
    burst.reset();
    highlight = row >= 0 && row < kRowCount ? row : -1;
    if (highlight == -1) return;
    const float y = static_cast<float>(rows[static_cast<size_t>(highlight)].name.y - kBarRise);
    bar.SetPositionF(kBarX, y);
    bar.Start();
    burst = std::make_unique<SimpleParticleSystem_t>("particles/highscores.ini", kBurstStepsPerSecond);
    burst->FireAt(kBarX, y);
    burst->SetImage(IMAGE_PARTICLES);
}

void HighScoresDialog::OnShown() {
    // Shown from the main menu: nobody's new entry to point at.
    if (mShowArgument != 1) SetHighlight(-1);
    background.SetImage("images/highscore");
    caption.SetImage("images/loc/highscores");
    links.StartMenuMusic();
}

void HighScoresDialog::OnHidden() {
    background.ReleaseImage();
    caption.ReleaseImage();
}

void HighScoresDialog::Update() {
    BaseDialogWidget::Update();
    if (burst) burst->Update();
    GameUiHost* host = GameUiHost::Get();
    if (host == nullptr || !host->IsSmoothUpdating()) UpdateF(1.0f);
}

void HighScoresDialog::UpdateF(float fraction) {
    if (burst) burst->Advance(fraction);
}

void HighScoresDialog::Draw(Graphics* g) {
    background.Draw(g, 255.0f);
    caption.Draw(g, 255.0f);
    if (highlight != -1) bar.Draw(g);
    g->SetFont(FONT_DEFAULT);
    g->SetColor(listColour);
    for (int i = 0; i < kRowCount; ++i) DrawRow(g, rows[static_cast<size_t>(i)], i);
    if (burst) burst->Draw(g);
}

void HighScoresDialog::DrawRow(Graphics* g, const Row& row, int entryIndex) {
    const HighScoreEntry_t* entry = HighScoreTable_t::Instance()->GetEntry(entryIndex);
    if (entry == nullptr) return;
    // A name from a player list written elsewhere can be of any length: one line, cut to its column.
    g->DrawStringWordWrapped(FitToWidth(g->GetFont(), entry->name, kNameWrapWidth), row.name.x, row.name.y,
                             kNameWrapWidth, -1, 0);
    g->DrawStringWordWrapped(FormatThousands(entry->score), row.score.x, row.score.y, kScoreWrapWidth, -1, 0);
}

void HighScoresDialog::KeyUp(int key) {
    if (key == 27) ButtonDepress(kBack);
}

void HighScoresDialog::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void HighScoresDialog::ButtonDepress(int id) {
    PlayUiSound("MouseDown");
    if (id == kBack) {
        links.SwitchScreen(mShowArgument == 1 ? ScreenSwitch::kHighScoresToMain : ScreenSwitch::kBack);
    } else if (id == kReset) {
        if (links.askMessageBox && links.askMessageBox(kResetMessageBox)) {
            SetHighlight(-1);
            HighScoreTable_t::Instance()->SetDefaults();
        }
    }
}

void HighScoresDialog::ButtonMouseEnter(int id) {
    if (id != -1) PlayUiSound("MouseEnter");
}

}  // namespace Velm
