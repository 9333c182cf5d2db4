#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "app/VelmAppBase.h"
#include "engine/util/IniFile.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/GameIds.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameScreenFactory.h"
#include "game/shell/screens/IceWidget.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/TransitionCallback.h"

class StageCatalogue_t;
class Stg_t;
class TilesetCatalogue_t;
class Trajectories_t;

namespace Velm {

class BaseDialogWidget;
class BoardVisuals;
class ImagesManager;
class ResourceSource;
class UserNameDialog;

// The game's one application object. The framework runs the window, the main loop and the
// start-up of display and sound and calls the game through the hooks overridden here. The
// object sets the framework's defaults, builds the game's global data (stage lists,
// trajectories, settings, bonus points, tile sets, profiles, score table, music list), owns
// every screen, runs the loading thread, starts the engine's sound system, switches screens
// under the ice cover and tears everything down at exit.
//
// Threads: everything runs on the main thread except LoadingThreadProc, which loads resource
// groups and builds the screens (outside the widget manager) while the title screen runs.
// It shares with the main thread only the framework's atomic task counters, the shutdown
// flag, the loading-failed flag and the screens-built flag; the screens it builds (and the
// ice cover) belong to the main thread only once that flag is set.
class GameApp : public VelmAppBase, public TransitionCallback, public IceWidgetListener, public GameUiHost {
public:
    // The id every message box is registered under: no UI file gives it, so a message box
    // never replaces (and kills) the dialog that opened it.
    static constexpr int kMessageBoxDialogId = 0x7FFF0001;
    // The age (updates) a tip must reach before a removal closes it.
    static constexpr int kTipMinAgeTicks = 500;

    // factory: builds the screens; null takes the real screens.
    explicit GameApp(std::unique_ptr<GameScreenFactory> factory = nullptr);
    ~GameApp() override;

    // The application while one exists.
    static GameApp* Get();
    // The folder the program's content is read from (the current folder after start-up):
    // set by the program's entry before the application is made.
    static void SetContentFolder(const std::string& folder);
    static const std::string& GetContentFolder();

    // ---- Framework hooks ----
    void UpdateFrames() override;
    void LoadingThreadCompleted() override;
    void InitHook() override;
    void ShutdownHook() override;
    void LoadingThreadProc() override;
    Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                      const std::string& footer, int buttonMode) override;
    void PlaySample(int id) override;
    using VelmAppBase::PlaySample;
    void GotFocus() override;
    void LostFocus() override;
    void DialogButtonDepress(int dialogId, int buttonId) override;
    // "-windowed" starts in a window whatever the settings say; the rest is the framework's.
    void HandleCmdLineParam(const std::string& name, const std::string& value) override;

    // ---- The ice cover ----
    void OnIceCovered() override;
    void OnIceCleared() override;

    // ---- GameUiHost ----
    int PlaySound(const std::string& name, bool asBase) override;
    bool IsSmoothUpdating() override { return mVSyncUpdates; }

    // ---- Start-up steps ----
    // The logo screen has shown its last splash.
    void OnLogosFinished();

    // ---- Services of the screens ----
    // Starts a switch between two screens (a ScreenSwitch code). A code that names no pair, or a pair whose
    // screen to show is not built, changes nothing.
    void SwitchScreen(int code);
    // Shows message box type 1..9 and waits for it; true when it was confirmed.
    bool ShowMessageBox(int type);
    // The box that tells the player their list of players was rebuilt from a damaged one.
    static constexpr int kPlayersRepairedBox = 9;
    void ShowUserNameDialog(int dialogId, int mode);
    bool IsAdventureMode() const { return gameMode == 1; }
    StageCatalogue_t* GetStageCatalogue() const;
    void CloseTip(bool onlyWhenOld);
    void FadeOutSoundEffects();
    void StopMusic();
    // Releases the title screen's pictures; refused (false) until the loading thread has
    // finished and the screens exist, because the title still draws them until the switch.
    bool UnloadTitleScreenResources();

    // ---- Global data ----
    StageCatalogue_t* GetAdventureStages() const { return mAdventureStages.get(); }
    StageCatalogue_t* GetSimpleStages() const { return mSimpleStages.get(); }
    Trajectories_t* GetTrajectories() const { return mTrajectories.get(); }
    TilesetCatalogue_t* GetTilesets() const { return mTilesets.get(); }
    ImagesManager* GetImagesManager() const { return mImagesManager.get(); }
    IniFile_t& GetSettings() { return mGameSettings; }
    const BonusSettings& GetBonusSettings() const { return mBonusSettings; }
    MusicPlaylist_t& GetMusicPlaylist() { return mMusicPlaylist; }

    // ---- Screens (null until built) ----
    // The built screens and the ice cover are null until the loading thread has built them
    // all: until then that thread is still writing them.
    BaseDialogWidget* GetScreen(GameScreenId id) const {
        return mScreensBuilt.load() ? mScreens[static_cast<int>(id)].get() : nullptr;
    }
    BaseDialogWidget* GetTitleScreen() const { return mTitleScreen.get(); }
    BaseDialogWidget* GetLogosScreen() const { return mLogos.get(); }
    IceWidget* GetIce() const { return mScreensBuilt.load() ? mIce.get() : nullptr; }
    // True once the loading thread has built every screen.
    bool AreScreensBuilt() const { return mScreensBuilt.load(); }
    // True when the game's content could not be loaded (the program then ends with code 1); a
    // load stopped by a requested shutdown has not failed.
    bool IsLoadingFailed() const { return mLoadingFailed.load(); }

    int switchCode = 0;
    BaseDialogWidget* screenToShow = nullptr;
    BaseDialogWidget* screenToLeave = nullptr;
    UserNameDialog* userNameDialog = nullptr;
    int gameMode = 0;
    bool debugMode = false;

protected:
    // Builds the screens of the loading thread (each sized, hidden, outside the widget
    // manager) and the ice cover; false when a shutdown stopped it.
    bool BuildScreens();
    // Builds the title screen, sized to the screen, into the widget manager.
    void BuildTitleScreen();
    // Loads one group on a resource manager step by step, counting each resource as a
    // loading task; false when a shutdown stopped it.
    bool LoadGroupCounted(ResourceManager& manager, const std::string& group);
    // A required content file is missing or broken: the message names it and the program
    // ends with exit code 1.
    [[noreturn]] void FailOnContent(const std::string& message);

private:
    void InitEngineHooks();
    void LoadBackgrounds(const std::string& file);
    void ReleaseBackgrounds();
    void LoadInitGroup(const std::string& group, bool (*bind)(ResourceSource&));

    std::unique_ptr<GameScreenFactory> mFactory;
    std::array<std::unique_ptr<BaseDialogWidget>, static_cast<int>(GameScreenId::Count)> mScreens;
    std::unique_ptr<BaseDialogWidget> mTitleScreen;
    std::unique_ptr<BaseDialogWidget> mLogos;
    std::unique_ptr<IceWidget> mIce;

    std::unique_ptr<StageCatalogue_t> mAdventureStages;
    std::unique_ptr<StageCatalogue_t> mSimpleStages;
    std::unique_ptr<Trajectories_t> mTrajectories;
    std::unique_ptr<TilesetCatalogue_t> mTilesets;
    std::unique_ptr<ImagesManager> mImagesManager;
    // The pictures of the layouts' tiles and markers; null draws nothing.
    std::unique_ptr<BoardVisuals> mBoardVisuals;
    // "data/settings.txt" (the framework's mSettings is its registry).
    IniFile_t mGameSettings;
    BonusSettings mBonusSettings;
    MusicPlaylist_t mMusicPlaylist;
    std::unique_ptr<StringTableSource> mStringTable;
    Stg_t* mSoundDescrStorage = nullptr;
    Stg_t* mSoundsStorage = nullptr;

    std::atomic<bool> mScreensBuilt{false};
    std::atomic<bool> mLoadingFailed{false};
    bool mLayoutsReady = false;

    // The music nudge after regaining the focus: remembered volume, step and count left.
    int mNudgeVolume = 0;
    int mNudgeStep = 0;
    int mNudgeCount = 0;
};

}  // namespace Velm
