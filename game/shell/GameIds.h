#pragma once

#include "game/board/GameType.h"
#include "game/shell/Profile.h"

namespace Velm {

// The numbers the play screen and the application share: screen-switch codes, the dialog ids
// the board's windows are registered under, and the indexes of the board's tips and help
// pages. The values are fixed: the UI files, the saved progress records and demos use them.

// The codes of the application's screen switch (GameApp::SwitchScreen): each names the screen
// left and the screen shown; kBack goes back to the screen left by the last switch.
namespace ScreenSwitch {
enum Code : int {
    kMainToHighScores = 2,
    kHighScoresToMain = 3,
    kGameOverToHighScores = 4,
    kMainToBoard = 7,
    kBoardToMain = 8,
    kTitleToMain = 13,
    kBoardToMap = 14,
    kMapToBoard = 15,
    kMapToMain = 16,
    kMainToMap = 17,
    kMainToSimple = 18,
    kSimpleToMain = 19,
    kSimpleToBoard = 20,
    kBoardToSimple = 21,
    kBoardToGameOver = 25,
    kGameOverToMain = 26,
    kMainToComix = 27,
    kComixToMap = 28,
    // The clothes screen of the collectible hooks: no screen of this game answers it.
    kBoardToClothes = 29,
    kBack = 30
};
}  // namespace ScreenSwitch

// The ids of the play screen's windows; its DialogButtonDepress acts on each.
namespace BoardDialogId {
enum Id : int {
    kNoMoreMoves = 10,    // the "NoMoreMoves" message; its end opens the lose window
    kBeforeTryMore = 11,  // its end shows the "TryMore" message
    kQuiet = 14,          // its end does nothing more
    kLevelComplete = 15,  // "ui/LevelComplete.txt"
    kTryMore = 16,        // the "TryMore" message; its end finishes the stage
    kGameMenu = 55,       // "UI/GameMenuUI.txt"
    kNoMoves = 102,       // "UI/OneParaLeft.txt"
    kPause = 103,         // "UI/pauseDialog.txt"
    kScoreTable = 111,    // the score table (HighScoresDialog)
    kLose = 305,          // "UI/LoseGameUI.txt"
    kHelp = 333,          // the help window (HelpWidget)
    kLevelName = 444,     // "UI/LevelName.txt"
    kGameOver = 999,      // the story after the last stage (GameOverWidget)
    kTip = 1024           // a tip (TipWidget)
};
}  // namespace BoardDialogId

// The indexes of the board's tips and help pages in a progress record's seen flags.
namespace BoardTip {
// The tip at the game-mode label and the one at the hint button.
constexpr int kModeLabel = 14;
constexpr int kHint = 23;
// The help page shown once at the start of a level of each mode: kFirstModeHelp + the
// GameType; the help window's page is the index less kFirstModeHelp.
constexpr int kFirstModeHelp = 15;
// The help page shown instead on a board with helper (special) tiles.
constexpr int kHelperTilesHelp = 22;

static_assert(kFirstModeHelp + Game4Rivers < kHelperTilesHelp, "the modes' help pages run into the helper-tiles page");
static_assert(kModeLabel < kFirstModeHelp && kHint > kHelperTilesHelp && kHint < Progress_t::kTipCount,
              "a tip shares its seen flag with a help page");
}  // namespace BoardTip

}  // namespace Velm
