// The loading thread of the game application and its completion on the main thread.

#include <exception>

#include "engine/anim/SpriteSheet.h"
#include "engine/sound/SoundApi.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/screens/AppResourceSource.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/ImagesManager.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "resources/ResourceManager.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {
constexpr int kEffectGroup = 1;
constexpr int kMusicGroup = 3;
}  // namespace

bool GameApp::LoadGroupCounted(ResourceManager& manager, const std::string& group) {
    manager.StartLoadResources(group);
    while (manager.LoadNextResource()) {
        if (IsShutdown()) return false;
        // The title screen redraws itself on every update (its own MarkDirty flag), so the
        // count is all it needs to see the progress.
        ++mCompletedLoadingThreadTasks;
    }
    return !IsShutdown();
}

bool GameApp::BuildScreens() {
    // Every screen id in its order (main menu, adventure map, play screen, score table,
    // simple-mode list, game-over story, comic pages), the ice cover before the game-over
    // story; a screen the program has not made yet is a stand-in of the factory.
    for (int i = 0; i < static_cast<int>(GameScreenId::Count); ++i) {
        const auto id = static_cast<GameScreenId>(i);
        if (id == GameScreenId::GameOver) {
            mIce = std::make_unique<IceWidget>(this);
            mIce->Resize(0, 0, mWidth, mHeight);
            mIce->SetVisible(false);
        }
        std::unique_ptr<BaseDialogWidget> screen = mFactory->MakeScreen(id, *this);
        if (screen != nullptr) {
            screen->Resize(0, 0, mWidth, mHeight);
            screen->SetVisible(false);
        }
        mScreens[static_cast<size_t>(i)] = std::move(screen);
        if (IsShutdown()) return false;
    }
    mScreensBuilt = true;
    return true;
}

void GameApp::LoadingThreadProc() {
    // A shutdown asked for while loading (the player quitting on the title screen) stops the
    // load without a failure: the screens stay unbuilt and the program ends normally.
    try {
        if (!LoadGroupCounted(*mResourceManager, "Game")) return;
        AppResourceSource source(*mResourceManager);
        if (mResourceManager->HadError() || !BindGameResources(source)) {
            ShowResourceError(false);
            mLoadingFailed = true;
            Shutdown();
            return;
        }
        if (!LoadGroupCounted(*mResourceManager, "Direvir") || !LoadGroupCounted(*mImagesManager, "")) return;
        ResolveSpriteSheetImages();
        BuildScreens();
    } catch (const ResourceManagerException& e) {
        Popup(e.mText.empty() ? std::string("A resource the game needs is missing.") : e.mText);
        mLoadingFailed = true;
        Shutdown();
    } catch (const std::exception& e) {
        Popup(std::string("The game could not be loaded: ") + e.what());
        mLoadingFailed = true;
        Shutdown();
    }
}

void GameApp::LoadingThreadCompleted() {
    // A failed load has already asked for the shutdown, which stopped the sound: starting it
    // now would leave its threads running past the teardown.
    if (mLoadingFailed || IsShutdown()) return;
    bool soundStarted = false;
    try {
        soundStarted = Sound::InitSound(GetMainWindowHandle(), IsWindowsVistaOrLater());
    } catch (...) {
        // The sound device or its descriptions failed to start: the game runs silently.
        Sound::ShutdownSound();
    }
    // The returning player's own volumes, else the framework's.
    if (const Profile_t* player = ProfileManager_t::Instance()->GetCurrentProfile()) {
        SetSfxVolume(player->effectVolume);
        SetMusicVolume(player->musicVolume);
    }
    if (soundStarted) {
        Sound::SetGroupVolume(kEffectGroup, static_cast<int>(mSfxVolume * 100.0));
        Sound::SetGroupVolume(kMusicGroup, static_cast<int>(mMusicVolume * 100.0));
    }
    if (!mScreensBuilt || mTitleScreen == nullptr) return;
    mFactory->OnLoadingDone(*mTitleScreen);
    mTitleScreen->MarkDirty();
}

}  // namespace Velm
