#pragma once

#include <array>
#include <memory>

#include "engine/anim/AnimObject2.h"
#include "engine/anim/StillImage.h"
#include "engine/particles/SimpleParticleSystem.h"
#include "game/shell/GameIds.h"
#include "game/shell/screens/StoryScreenLinks.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "graphics/Color.h"

namespace Velm {

class GameApp;
class UiDescription_t;

// The top-ten score table (HighScoreTable_t) as names and scores on a background picture with
// a caption, from "ui/highscores.txt": "Back" (button 1, or Esc) leaves for the main menu
// (switch 3) when the show argument is 1, else back to the screen it came from (switch 30);
// "Reset" (2) asks message box 4 and, when confirmed, puts the default entries back.
//
// A highlighted row (a new entry of the player's) carries the bar of "data/userbar.anim" and a
// particle burst of "particles/highscores.ini". The screen instance is built once by the
// loading thread without a highlight; it gets one when a finished adventure's score entered
// the table (SetHighlight, before it is shown with show argument 1), and loses it when shown
// from the main menu (show argument 0). Dialog id 111, modal. Main thread otherwise.
// The show argument (mShowArgument) is the return flag: 1 sends "Back" to the main menu.
class HighScoresDialog : public BaseDialogWidget {
public:
    static constexpr int kDialogId = BoardDialogId::kScoreTable;
    static constexpr const char* kUiFile = "ui/highscores.txt";
    static constexpr int kResetMessageBox = 4;
    static constexpr int kRowSpacing = 40;
    static constexpr int kRowCount = 10;
    enum ButtonId { kBack = 1, kReset = 2 };

    // One row's places: only the name and score positions are drawn.
    struct Row {
        Point first;
        Point name;
        Point score;
        Point last;
    };

    HighScoresDialog(GameApp* app, int highlightedRow);
    HighScoresDialog(const StoryScreenLinks& links, const std::string& uiFile, int highlightedRow);
    ~HighScoresDialog() override;

    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // Esc acts as "Back".
    void KeyUp(int key) override;
    void MouseDrag(int x, int y) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;

    void DrawRow(Graphics* g, const Row& row, int entryIndex);
    void LayoutRows();
    // Highlights a row of the table (0 .. 9) with the bar and a burst; -1 removes both.
    void SetHighlight(int row);

    int GetHighlight() const { return highlight; }
    const AnimObject2& GetBar() const { return bar; }
    SimpleParticleSystem_t* GetBurst() const { return burst.get(); }
    const Row& GetRow(int i) const { return rows[static_cast<size_t>(i)]; }
    UiDescription_t* GetDescription() const { return description.get(); }

private:
    StoryScreenLinks links;
    std::unique_ptr<UiDescription_t> description;
    std::unique_ptr<SimpleParticleSystem_t> burst;
    std::array<Row, kRowCount> rows{};
    Color listColour;
    StillImage_t background;
    StillImage_t caption;
    AnimObject2 bar;
    int highlight = -1;
    int rowStart = 0;
};

}  // namespace Velm
