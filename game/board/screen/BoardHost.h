#pragma once

#include <string>

class MusicPlaylist_t;
class StageCatalogue_t;

namespace Velm {

class DialogListener;
class Image;
class Widget;
struct BonusSettings;

// The windows the play screen opens. The host builds them from their UI files, registers them
// under their dialog id (the id the UI file gives, or the one in the request) with the board
// as their listener, and shows and focuses them; their results come back through the board's
// DialogButtonDepress.
enum class BoardDialog {
    LevelName,      // "UI/LevelName.txt", result as dialog 444
    Pause,          // "UI/pauseDialog.txt", 103
    NoMoves,        // "UI/OneParaLeft.txt", 102, with its "DontShow" check box
    FlyMessage,     // "UI/flywindowUI.txt" with a text and the request's dialog id
    Lose,           // "UI/LoseGameUI.txt", 305
    GameMenu,       // "UI/GameMenuUI.txt", 55
    LevelComplete,  // "ui/LevelComplete.txt", 15
    HelpPage,       // the help window, 333
    HighScores,     // the full-screen score table
    Tip             // the tip window (1024) with the text, its arrow pointing at the point
};

struct BoardDialogRequest {
    BoardDialog kind = BoardDialog::FlyMessage;
    int dialogId = 0;  // FlyMessage only
    std::string text;  // FlyMessage, NoMoves: the text shown (already looked up)
    // LevelName: the three labels.
    std::string stageText;
    std::string levelName;
    std::string modeText;
    bool hideReplay = false;   // Lose: the "ReplayNewBoard" button is hidden
    bool offerReplay = false;  // GameMenu: "Replay" is shown (a level runs and has not ended)
    int scores[5] = {};        // LevelComplete: bonus base, 0, 0, game score, time bonus
    std::string levelLabel;    // LevelComplete: "LevelLbl"
    int page = 0;              // HelpPage
    int position = -1;         // HighScores
    // Tip: the tip's index and value (kept in the window) and the point it shows.
    int tipIndex = 0;
    int tipValue = 0;
    int pointX = 0;
    int pointY = 0;
};

// What the play screen needs of the application: sounds, music, screen switches, windows,
// the cursor and the game's data. The game's application object stands behind it in the
// program (GameAppBoardHost); tests put a recording host in its place. Main thread only.
class BoardHost {
public:
    virtual ~BoardHost() = default;

    // ---- Sound and music ----
    virtual int PlaySound(const std::string& name) = 0;
    virtual void FadeOutSoundEffects() = 0;
    virtual void StopMusic() = 0;
    // Plays one music track on "backgroundnoloop" and calls onEnd (on the main thread) when it
    // has ended.
    virtual void PlayMusicTrack(const std::string& file, void (*onEnd)()) = 0;

    // ---- Screens and windows ----
    virtual void SwitchScreen(int code) = 0;
    // False when the window could not be made (its UI file is missing, or the game has no such
    // window): the board then goes on as if it had been closed at once.
    virtual bool OpenDialog(const BoardDialogRequest& request, DialogListener* listener) = 0;
    virtual bool IsDialogOpen(int dialogId) = 0;
    virtual void KillDialog(int dialogId) = 0;
    // A flag of an open window, read before it is killed: the no-moves window's "DontShow"
    // check box, the game menu's "toMainMenu" and "toLevelList".
    virtual bool ReadDialogFlag(int dialogId, const std::string& name) = 0;
    virtual void CloseTip(bool onlyWhenOld) = 0;
    // A level that cannot be played: the player is told (text of the key) before the board
    // leaves for the level list or the map.
    virtual void ShowLevelError(const std::string& textKey, const std::string& detail) = 0;
    // The score table: the place the insert gave, -1 for none.
    virtual int InsertHighScore(const std::string& name, int score, int stage, int level) = 0;
    // The screen shown after the last stage is told whether the player got a place.
    virtual void TellGameOverPlace(bool placed) = 0;

    // ---- Input and display ----
    virtual void SetFocus(Widget* widget) = 0;
    virtual void SetDefaultCursor() = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    virtual bool IsDebugMode() = 0;
    virtual bool IsControlDown() = 0;
    // Whether the framework passes fractional updates (UpdateF) between whole updates.
    virtual bool IsSmoothUpdating() = 0;

    // ---- Data ----
    virtual bool IsAdventureMode() = 0;
    virtual StageCatalogue_t* GetStageCatalogue() = 0;
    virtual const BonusSettings& GetBonusSettings() = 0;
    virtual MusicPlaylist_t* GetMusicPlaylist() = 0;
    // The game's bound pictures by resource id (IMAGE_MAIN_TOP and the like).
    virtual Image* GetResourceImage(int resourceId) = 0;
};

}  // namespace Velm
