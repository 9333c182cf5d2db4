#pragma once

#include <memory>

#include "game/board/screen/BoardHost.h"

namespace Velm {

class BoardWidjet_t;
class GameApp;

// The play screen's host in the program: the game's application object, its windows and the
// engine's music. Builds the board's windows from their UI files. Main thread only.
class GameAppBoardHost : public BoardHost {
public:
    explicit GameAppBoardHost(GameApp* app) : mApp(app) {}

    int PlaySound(const std::string& name) override;
    void FadeOutSoundEffects() override;
    void StopMusic() override;
    void PlayMusicTrack(const std::string& file, void (*onEnd)()) override;
    void SwitchScreen(int code) override;
    bool OpenDialog(const BoardDialogRequest& request, DialogListener* listener) override;
    bool IsDialogOpen(int dialogId) override;
    void KillDialog(int dialogId) override;
    bool ReadDialogFlag(int dialogId, const std::string& name) override;
    void CloseTip(bool onlyWhenOld) override;
    void ShowLevelError(const std::string& textKey, const std::string& detail) override;
    int InsertHighScore(const std::string& name, int score, int stage, int level) override;
    void TellGameOverPlace(bool placed) override;
    void SetFocus(Widget* widget) override;
    void SetDefaultCursor() override;
    int GetWidth() override;
    int GetHeight() override;
    bool IsDebugMode() override;
    bool IsControlDown() override;
    bool IsSmoothUpdating() override;
    bool IsAdventureMode() override;
    StageCatalogue_t* GetStageCatalogue() override;
    const BonusSettings& GetBonusSettings() override;
    MusicPlaylist_t* GetMusicPlaylist() override;
    Image* GetResourceImage(int resourceId) override;

private:
    GameApp* mApp;
    // The place the last finished game's score took in the score table, -1 for none.
    int mLastPlace = -1;
};

// The program's play screen: the board with the application as its host, and the board
// effects' fonts and pictures bound to the game's resources.
std::unique_ptr<BoardWidjet_t> MakeGameBoard(GameApp* app);

}  // namespace Velm
