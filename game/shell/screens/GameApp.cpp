// The game's application object: construction defaults, the start-up steps up to the
// loading thread, focus handling and the teardown at exit.

#include "game/shell/screens/GameApp.h"

#include "game/board/BoardVisuals.h"

#include <cstdio>

#include "app/AppResourceBridge.h"
#include "engine/anim/EngineHooks.h"
#include "engine/anim/SpriteSheet.h"
#include "engine/anim/Trajectories.h"
#include "engine/sound/SoundApi.h"
#include "engine/storage/FileStg.h"
#include "engine/storage/Stg.h"
#include "game/board/effects/BackgroundCatalogue.h"
#include "game/board/screen/EngineBoardVisuals.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "game/shell/screens/AppResourceSource.h"
#include "game/shell/screens/GameLayouts.h"
#include "game/shell/screens/ImagesManager.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "game/shell/ui/UiStyleRegistry.h"
#include "graphics/Image.h"
#include "graphics/MemoryImage.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "raster/TriangleRasterizerTable.h"
#include "resources/base/Paths.h"
#include "widgets/WidgetFlags.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

GameApp* gGameApp = nullptr;

std::string& ContentFolder() {
    static std::string folder;
    return folder;
}

// Volume groups of the engine's sound API.
constexpr int kEffectGroup = 1;
constexpr int kMusicGroup = 3;
// The music nudge after regaining the focus: every this many updates, two steps.
constexpr int kNudgeInterval = 25;
constexpr int kNudgeSteps = 2;

int Percent(double volume) { return static_cast<int>(volume * 100.0); }

}  // namespace

GameApp::GameApp(std::unique_ptr<GameScreenFactory> factory)
        : mFactory(factory != nullptr ? std::move(factory) : MakeGameScreenFactory()) {
    gGameApp = this;
    GameUiHost::Set(this);

    mMusicVolume = 0.4;
    mSfxVolume = 0.85;
    mColorDepth = 32;
    mAutoEnable3D = true;
    mVSyncUpdates = true;
    mWaitForVSync = true;
    mSoftVSyncWait = false;
    mIsWindowed = false;
    mAutoStartLoadingThread = false;

    InitTriangleRasterizers();

    // The engine's storages of sound descriptions and wave files, next to the content.
    std::string folder = GetContentFolder();
    if (folder.empty()) folder = plat::CurrentDirectory();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    mSoundDescrStorage = OpenStorage(folder + "/sounddescr", false);
    mSoundsStorage = OpenStorage(folder + "/sounds", false);
    // Every game sound goes through the engine: the framework's own sound stays silent.
    mNoSoundNeeded = true;
    plat::SetCurrentFolder(folder);
    // Init makes it the current folder again unless "-changedir" names another.
    mChangeDirTo = folder + "/";

    mCompanyDisplayName = "Ossmire";
    mCompanyFolderName = "Ossmire";
    mProductName = "Tilvoria";
    mRegKey = "Tilvorad";
    mProductVersion = "1.0";
    mDemoPrefix = "tilvoria";
    mTitle = mProductName;

    mStringTable = std::make_unique<AppStringTable>(*this);
    TextTable_t* texts = TextTable_t::Instance();
    texts->SetStringTable(mStringTable.get());
    texts->Load("termins.txt");
    const std::string gameName = texts->Lookup("GameName");
    if (gameName != "GameName") mTitle = gameName;

    mWidth = 1024;
    mHeight = 768;
    mDebugKeysEnabled = false;

    mTilesets = std::make_unique<TilesetCatalogue_t>();
    mTilesets->SetImageLoader([this](const std::string& file) -> std::shared_ptr<Image> {
        return std::shared_ptr<Image>(GetImage(file, true));
    });
    mBoardVisuals = std::make_unique<EngineBoardVisuals>();
    mImagesManager = std::make_unique<ImagesManager>(this);
    mImagesManager->SetImageSource(mResourceBridge.get());
    mImagesManager->SetIs3DAcceleratedQuery([this] { return Is3DAccelerated(); });
    InitEngineHooks();

    ProfileManager_t::Instance()->SetSettingsKeyEraser([this](const std::string& name) { RegistryEraseKey(name); });
    debugMode = false;
}

GameApp::~GameApp() {
    // The engine's sound thread, its refill timer and the audio device end with the game,
    // whichever way the run ended.
    Sound::ShutdownSound();
    // The widget manager must not reach a screen that goes now.
    if (mWidgetManager != nullptr) mWidgetManager->RemoveAllWidgets(false, false);
    for (GameScreenId id : {GameScreenId::MainMenu}) mScreens[static_cast<int>(id)].reset();
    mTitleScreen.reset();
    for (GameScreenId id : {GameScreenId::HighScores, GameScreenId::Map, GameScreenId::Board, GameScreenId::SimpleList})
        mScreens[static_cast<int>(id)].reset();
    mIce.reset();
    mScreens[static_cast<int>(GameScreenId::GameOver)].reset();
    mLogos.reset();
    mScreens[static_cast<int>(GameScreenId::Comix)].reset();

    // The layouts outlive the application: they let go of their engine pictures first.
    ReleaseGameLayouts();

    if (mTilesets != nullptr) mTilesets->Clear();
    mTilesets.reset();
    mImagesManager.reset();
    ClearSpriteSheetCache();
    SetEngineHooks(EngineHooks_t());
    mAdventureStages.reset();
    mSimpleStages.reset();
    mTrajectories.reset();

    ProfileManager_t* profiles = ProfileManager_t::Instance();
    if (!profiles->Save())
        std::fprintf(stderr, "The players could not be saved: %s\n", profiles->GetSaveError().c_str());
    ProfileManager_t::Destroy();
    HighScoreTable_t* scores = HighScoreTable_t::Instance();
    if (!scores->Save())
        std::fprintf(stderr, "The score table could not be saved: %s\n", scores->GetSaveError().c_str());
    HighScoreTable_t::Destroy();
    TextTable_t::Destroy();

    if (GameUiHost::Get() == this) GameUiHost::Set(nullptr);
    if (gGameApp == this) gGameApp = nullptr;
}

GameApp* GameApp::Get() { return gGameApp; }

void GameApp::SetContentFolder(const std::string& folder) { ContentFolder() = folder; }

const std::string& GameApp::GetContentFolder() { return ContentFolder(); }

void GameApp::InitEngineHooks() {
    EngineHooks_t hooks;
    hooks.getImage = [this](const std::string& path) -> Image* { return GetImage(path, true); };
    hooks.is3DAccelerated = [this] { return Is3DAccelerated(); };
    hooks.addSpriteImage = [this](const std::string& imageFile, const std::string& alphaFile,
                                  const std::string& attributes) {
        return mImagesManager != nullptr &&
               mImagesManager->AddImage(imageFile, alphaFile, attributes, Is3DAccelerated());
    };
    hooks.getImagePtr = [this](const std::string& id) -> Image* {
        return mImagesManager != nullptr ? mImagesManager->GetImagePtr(id) : nullptr;
    };
    hooks.getResourceImage = [](const std::string& name) -> Image* {
        if (name.compare(0, 6, "IMAGE_") != 0) return nullptr;
        const int id = GetResourceIdByName(name.c_str());
        if (id >= RESOURCE_ID_MAX) return nullptr;
        return reinterpret_cast<Image*>(GetResourceById(id));
    };
    hooks.rgbToHsl = [](int r, int g, int b) { return RGBToHSL(r, g, b); };
    hooks.hslToRgb = [](int h, int s, int l) { return HSLToRGB(h, s, l); };
    SetEngineHooks(hooks);
}

void GameApp::HandleCmdLineParam(const std::string& name, const std::string& value) {
    if (name == "-windowed") {
        mIsWindowed = true;
        return;
    }
    VelmAppBase::HandleCmdLineParam(name, value);
}

void GameApp::LoadBackgrounds(const std::string& file) { gBackgroundCatalogue.Load(file); }

void GameApp::ReleaseBackgrounds() { gBackgroundCatalogue.ReleaseImage(); }

void GameApp::InitHook() {
    mVSyncUpdates = !mIsWindowed;
    mWaitForVSync = !mIsWindowed;
    mWidgetManager->mDefaultBelowModalFlagsMod.removeFlags |= WIDGETFLAGS_UPDATE;

    mAdventureStages = std::make_unique<StageCatalogue_t>("stages/stages.txt");
    mSimpleStages = std::make_unique<StageCatalogue_t>("stages/stagessimple.txt");
    mTrajectories = std::make_unique<Trajectories_t>("data/trajectories.dat");
    LoadBackgrounds("data/backs.txt");
    mGameSettings.Load("data/settings.txt", true);
    UiStyleRegistry_t::Instance().Load("ui/interf.txt");
    mBonusSettings.Read(mGameSettings);
    debugMode = plat::FileExists("debug.txt");

    mLogos = mFactory->MakeLogos(*this);
    mLogos->Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(mLogos.get());
}

void GameApp::LoadInitGroup(const std::string& group, bool (*bind)(ResourceSource&)) {
    AppResourceSource source(*mResourceManager);
    if (!mResourceManager->LoadResources(group) || !bind(source)) {
        mLoadingFailed = true;
        ShowResourceError(true);
    }
}

void GameApp::OnLogosFinished() {
    mWidgetManager->RemoveWidget(mLogos.get());
    LoadResourceManifest();
    LoadInitGroup("Init", &BindInitResources);
    mTilesets->Load("tilesets/tilesets.set");
    SetCursorImage(0, IMAGE_CUSTOM_POINTER);
    SetCursorImage(1, IMAGE_CUSTOM_HAND);
    SetCursorImage(2, IMAGE_CUSTOM_DRAGGING);
    SetCursorImage(3, IMAGE_CUSTOM_TEXT);
    LoadInitGroup("TitleScreen", &BindTitleScreenResources);

    BuildTitleScreen();

    mNumLoadingThreadTasks = mImagesManager->GetNumResources("") + mResourceManager->GetNumResources("Direvir") +
                             mResourceManager->GetNumResources("Game");
    mWidgetManager->mDefaultBelowModalFlagsMod.removeFlags |= WIDGETFLAGS_UPDATE;

    InitGameLayouts(mTilesets.get(), mBoardVisuals.get());

    const std::string dataFolder = GetAppDataFolder();
    MakeFolders(dataFolder);
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->SetCatalogues(mSimpleStages.get(), mAdventureStages.get(), mTilesets.get());
    profiles->Load(dataFolder + "users.dat");
    const Progress_t* progress = profiles->GetCurrentProgress();
    const int gameList = progress != nullptr ? progress->gameList : 0;
    mAdventureStages->listSelector = gameList;
    mSimpleStages->listSelector = gameList;
    HighScoreTable_t::Instance()->Load(dataFolder + "scoretable.dat");
    mTilesets->SelectTileset(progress != nullptr ? progress->tileset : 0);

    Sound::SetSoundsStorage(mSoundsStorage);
    Sound::SetSoundDescrStorage(mSoundDescrStorage);
    StartLoadingThread();
    mMusicPlaylist.Load("sounds/music/music.txt");
}

void GameApp::BuildTitleScreen() {
    mTitleScreen = mFactory->MakeTitle(*this);
    mTitleScreen->Resize(0, 0, mWidth, mHeight);
    mWidgetManager->AddWidget(mTitleScreen.get());
}

void GameApp::ShutdownHook() {
    Sound::ShutdownSound();
    mWidgetManager->RemoveAllWidgets(false, false);
    ReleaseBackgrounds();
    if (FileExists("play.url")) {
        Buffer buffer;
        if (ReadBufferFromFile("play.url", buffer)) {
            const std::string link = TrimString(buffer.ReadLine());
            if (!link.empty()) OpenURL(link, false);
        }
    }
}

Dialog* GameApp::NewDialog(int, bool, const std::string&, const std::string&, const std::string&, int) {
    return nullptr;
}

void GameApp::PlaySample(int) {}

void GameApp::DialogButtonDepress(int dialogId, int) { KillDialog(dialogId); }

void GameApp::UpdateFrames() {
    if (mUpdateCnt % kNudgeInterval == 0 && mNudgeCount > 0) {
        const int volume = Sound::GetGroupVolume(kMusicGroup);
        const bool last = mNudgeCount == 1;
        --mNudgeCount;
        Sound::SetGroupVolume(kMusicGroup, last ? mNudgeVolume : volume + mNudgeStep);
        mNudgeStep = -mNudgeStep;
    }
    if (Sound::IsSoundReady()) Sound::UpdateSound();
    VelmAppBase::UpdateFrames();
}

void GameApp::GotFocus() {
    VelmAppBase::GotFocus();
    if (!Sound::IsSoundReady()) return;
    Sound::SetGroupVolume(kEffectGroup, Percent(mSfxVolume));
    mNudgeVolume = Sound::GetGroupVolume(kMusicGroup);
    if (mNudgeVolume > 0) {
        mNudgeStep = 1;
        mNudgeCount = kNudgeSteps;
    }
}

void GameApp::LostFocus() {
    VelmAppBase::LostFocus();
    BaseDialogWidget* board = GetScreen(GameScreenId::Board);
    if (board != nullptr && board->mVisible) mFactory->PauseBoardOnFocusLoss(*board, *this);
}

}  // namespace Velm
