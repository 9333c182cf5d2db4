#include "app/VelmAppBase.h"

#include <cstdlib>

#include "app/AppResourceBridge.h"
#include "app/AppWidgetBridge.h"
#include "app/DisplaySetup.h"
#include "app/crash/CrashCatcher.h"
#include "app/crash/CrashHost.h"
#include "app/demo/DemoDialogHost.h"
#include "app/http/HTTPTransfer.h"
#include "platform/Clock.h"
#include "platform/CrtRand.h"
#include "platform/Cursor.h"
#include "platform/DebugOutput.h"
#include "platform/FaultHandler.h"
#include "platform/Folders.h"
#include "platform/SingleInstance.h"
#include "platform/Window.h"
#include "resources/ImageLib.h"
#include "resources/ResourceManager.h"
#include "resources/base/Paths.h"
#include "resources/base/Random.h"
#include "resources/pack/PakInterface.h"
#include "resources/sound/DSoundManager.h"
#include "resources/sound/MusicInterface.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

std::atomic<VelmAppBase*> gVelmAppBase{nullptr};

}  // namespace

VelmAppBase* VelmAppBase::GetApp() { return gVelmAppBase.load(); }

uint32_t VelmAppBase::Tick() { return static_cast<uint32_t>(plat::NowMs()); }

bool VelmAppBase::IsMainThread() const { return !mMainThreadKnown || std::this_thread::get_id() == mMainThreadId; }

VelmAppBase::VelmAppBase() {
    // The change-folder path starts as the executable's own folder.
    mChangeDirTo = plat::ExecutableFolder();
    // The build's version until the program names its own (the game does).
    mProductVersion = VELM_PROJECT_VERSION;
    mDemoFileName = mDemoPrefix + ".dmo";

    mLoadTick = Tick();
    mLastDrawTick = Tick();
    mNextDrawTick = mLastDrawTick;

    // Entries 0..255 hold their index and 256..511 hold 255, so the sum of two
    // 8-bit channels indexes its clamped result.
    for (int i = 0; i < 256; ++i) mAdd8BitMaxTable[i] = static_cast<unsigned char>(i);
    for (int i = 256; i < 512; ++i) mAdd8BitMaxTable[i] = 255;

    SetString("DIALOG_BUTTON_OK", L"OK");
    SetString("DIALOG_BUTTON_CANCEL", L"CANCEL");
    SetString("UPDATE_CHECK_TITLE", L"Update Check");
    SetString("UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ...");
    SetString("UP_TO_DATE_TITLE", L"Up to Date");
    SetString("UP_TO_DATE_BODY", L"There are no updates available for this product at this time.");
    SetString("NEW_VERSION_TITLE", L"New Version");
    SetString("NEW_VERSION_BODY",
              L"There is an update available for this product.  Would you like to visit the web site to "
              L"download it?");

    mWidgetBridge.reset(new AppWidgetBridge(this));
    mWidgetManager = new WidgetManager(mWidgetBridge.get());
    mResourceManager = new ResourceManager(this);
    // Images, fonts and the manifest's fonts come through the application.
    ImageLib::InitJPEG2000();
    mResourceBridge.reset(new AppResourceBridge(this));
    mResourceManager->SetImageSource(mResourceBridge.get());
    mResourceManager->SetFontMaker(mResourceBridge.get());
    mResourceManager->SetIs3DAcceleratedQuery([this] { return Is3DAccelerated(); });
    SetFontHost(mResourceBridge.get());
    SetImageFileReader(&AppResourceBridge::ReadImageFile);
    WidgetApp::Set(mWidgetBridge.get());
    SetImageHost(this);

    gVelmAppBase.store(this);
    mDemoDialogHost = MakeDemoDialogHost();
    SetDemoDialogHost(mDemoDialogHost.get());
    mPrimaryThreadId = plat::CurrentThreadId();
    mCrashHost = MakeCrashHost();
    CrashCatcher::SetHost(mCrashHost.get());
    mHTTPTransferDemo = MakeHTTPTransferDemo();
    SetHTTPTransferDemo(mHTTPTransferDemo.get());
}

VelmAppBase::~VelmAppBase() {
    // A crash from here on must not reach a half-destroyed application.
    if (CrashCatcher::GetHost() == mCrashHost.get()) CrashCatcher::SetHost(nullptr);
    if (GetHTTPTransferDemo() == mHTTPTransferDemo.get()) SetHTTPTransferDemo(nullptr);

    Shutdown();
    ConfirmHardwareAcceleration();

    for (std::map<int, Dialog*>::iterator it = mDialogMap.begin(); it != mDialogMap.end(); ++it) {
        mWidgetManager->RemoveWidget(it->second);
        delete it->second;
    }
    mDialogMap.clear();
    mDialogList.clear();

    // Widgets still queued for deletion go with the tree.
    for (std::pair<int, Widget*>& entry : mSafeDeleteList) delete entry.second;
    mSafeDeleteList.clear();

    delete mWidgetManager;
    mWidgetManager = nullptr;
    delete mResourceManager;
    mResourceManager = nullptr;
    DeleteSharedImages();
    DeleteOverlayImages();
    DeleteDisplay();

    delete mMusicInterface;
    mMusicInterface = nullptr;
    delete mSoundManager;
    mSoundManager = nullptr;
    DestroyMainWindow();

    // The loading thread may still be finishing its hook.
    while (mLoadingThreadStarted.load() && !mLoadingThreadCompleted.load()) plat::SleepMs(20);
    if (mLoadingThread.joinable()) mLoadingThread.join();

    if (WidgetApp::Get() == mWidgetBridge.get()) WidgetApp::Set(nullptr);
    VelmAppBase* self = this;
    gVelmAppBase.compare_exchange_strong(self, nullptr);
    if (GetDemoDialogHost() == mDemoDialogHost.get()) SetDemoDialogHost(nullptr);
    WriteDemoFile();

    mSingleInstance.reset();
    if (mCursorThread.joinable()) mCursorThread.join();
    if (GetImageHost() == this) SetImageHost(nullptr);
    if (GetFontHost() == mResourceBridge.get()) SetFontHost(nullptr);
}

void VelmAppBase::RestoreDisplayAndExit(int code) {
    // The desktop resolution is never changed on this platform, so there is
    // nothing to restore before leaving. The cursor thread, the loading thread and
    // the sound threads may still run, and the caller may hold the display lock that
    // they wait on: the process ends here without running the static destructors
    // that those threads still use, after the pending output is written.
    mExitLoops.store(true);
    mShutdown.store(true);
    std::fflush(nullptr);
    std::_Exit(code);
}

void VelmAppBase::Init() {
    mMainThreadId = std::this_thread::get_id();
    mMainThreadKnown = true;
    if (mShutdown.load()) return;

    // The display and sound libraries are part of this program, so there is
    // no library test to fail here.

    PreInitHook();
    ReadFromRegistry();

    // The per-user data folder: <data home>/<company>/<product>/.
    SetAppDataFolder(plat::AppDataFolder(mCompanyFolderName, mProductName));
    mDemoFileName = DemoPathOf(mDemoFileName);

    if (!mCmdLineParsed) ReadCommandLine();

    if (mIsScreenSaver) mOnlyAllowOneCopyToRun = false;

    if (!ChangeDirHook(mChangeDirTo)) plat::SetCurrentFolder(mChangeDirTo);

    InitResourcePack();

    // One copy per user: a second start knocks on the first and leaves.
    mSingleInstance.reset(new plat::SingleInstance(mProductName));
    if (!mSingleInstance->IsFirst()) HandleAlreadyRunning();

    mRandSeed = Tick();
    SeedRandom(mRandSeed);

    if (mPlayingDemo) {
        std::string error;
        if (!ReadDemoFile(&error)) {
            mPlayingDemo = false;
            Popup(error);
            RestoreDisplayAndExit(1);
        }
    }

    // The C runtime's generator is seeded with the run seed, the one a demo
    // stores, so that a played demo deals the same boards.
    plat::CrtSrand(mRandSeed);

    PreDisplayHook();
    mWidgetManager->SetRemapRects(Rect(0, 0, mWidth, mHeight), Rect(0, 0, mWidth, mHeight));

    ChooseScreenMode();
    MakeWindow();

    // The recorded run's display mode heads the demo stream.
    if (mPlayingDemo && TakeDemoDataCommand(23)) {
        if (mDemoBuffer.GetDataSizeBits() - mDemoBuffer.GetReadBitPos() >= 16) {
            mIsWindowed = mDemoBuffer.ReadBoolean();
            mRefreshRate = mDemoBuffer.ReadByte();
        } else {
            StopDemoPlayback("Invalid demo file.");
        }
    }

    if (mSoundManager == nullptr)
        mSoundManager = new DSoundManager(mNoSoundNeeded ? nullptr : GetMainWindowHandle(), mUseAltMusicLibrary);
    mResourceManager->SetSoundManager(mSoundManager);
    SetSfxVolume(mSfxVolume);
    mMusicInterface = CreateMusicInterface(nullptr);
    SetMusicVolume(mMusicVolume);

    if (mIsScreenSaver) {
        mCursorNum = 11;  // no cursor
        EnforceCursor();
    }

    InitHook();
    mInitialized = true;
}

void VelmAppBase::Start() {
    if (mShutdown.load()) return;

    StartCursorThread();

    if (mAutoStartLoadingThread) StartLoadingThread();

    ShowMainWindow();

    mStartTick = Tick();
    mLastTimeCheck = 0;
    mLastDrawTick = mStartTick;
    mNextDrawTick = mStartTick;
    mInMainLoop = true;
    DoMainLoop();
    ProcessSafeDeleteList();
    mInMainLoop = false;
    WaitForLoadingThread();

    const uint32_t elapsed = Tick() - mStartTick;
    plat::DebugOutput(FormatString("Seconds       = %g\r\n", elapsed * 0.001));
    plat::DebugOutput(FormatString("Sleep Count   = %d\r\n", mSleepCount));
    plat::DebugOutput(FormatString("Update Count  = %d\r\n", mUpdateCnt));
    plat::DebugOutput(FormatString("Draw Count    = %d\r\n", mDrawCount));
    plat::DebugOutput(FormatString("Draw Time     = %d\r\n", mDrawTime));
    plat::DebugOutput(FormatString("Screen Blt    = %d\r\n", mScreenBltTime));
    // Frames shown per second of the run, as the frame-rate overlay counts them.
    if (mDrawCount > 0 && elapsed > 0)
        plat::DebugOutput(FormatString("Avg FPS       = %d\r\n",
                                       static_cast<int>(static_cast<int64_t>(mDrawCount) * 1000 / elapsed)));

    PreTerminate();
    WriteToRegistry();
}

void VelmAppBase::Shutdown() {
    if (mMainThreadKnown && std::this_thread::get_id() != mMainThreadId) {
        // Another thread only asks; the main thread acts on its next pacing step.
        mShutdownRequestedOffThread.store(true);
        return;
    }
    if (mShutdown.load()) return;
    mExitLoops.store(true);
    mShutdown.store(true);

    ShutdownHook();

    if (mPlayingDemo) {
        mMusicVolume = mPlaybackMusicVolume;
        mSfxVolume = mPlaybackSfxVolume;
    }

    while (mCursorThreadRunning.load()) plat::SleepMs(10);

    if (mMusicInterface != nullptr) mMusicInterface->StopAllMusic();

    HideMainWindow();

    if (mReadFromRegistry) WriteToRegistry();

    ImageLib::CloseJPEG2000();
}

bool VelmAppBase::HandleAlreadyRunning() {
    if (mOnlyAllowOneCopyToRun) {
        if (mSingleInstance) mSingleInstance->KnockOnFirst();
        RestoreDisplayAndExit(0);
    }
    return false;
}

void VelmAppBase::HandleNotifyMessage(int wParam, int) {
    if (wParam != 0) return;
    BringMainWindowToFront();
}

// ---- Hooks and stand-ins for services other code fills in ----

void VelmAppBase::InitHook() {}
void VelmAppBase::ShutdownHook() {}
void VelmAppBase::PreTerminate() {}
void VelmAppBase::PreInitHook() {}
void VelmAppBase::PreDisplayHook() {}
void VelmAppBase::PreDisplayInitHook() {}
void VelmAppBase::PostDisplayInitHook() {}
bool VelmAppBase::ChangeDirHook(const std::string&) { return false; }
void VelmAppBase::GotFocus() {}
void VelmAppBase::LostFocus() {}
bool VelmAppBase::FilterKeyDown(int, bool, bool) { return false; }
void VelmAppBase::CloseRequested() {}
void VelmAppBase::ModalOpen() {}
void VelmAppBase::ModalClose() {}
void VelmAppBase::LoadingThreadCompleted() {}
void VelmAppBase::LoadingThreadProc() {}
bool VelmAppBase::CheckSignature(const Buffer&, const std::string&) { return false; }

void VelmAppBase::RequestCrashReport() {
    // An unhandled fault on purpose: the crash catcher reports it.
    std::abort();
}

void VelmAppBase::InitResourcePack() { GlobalPakInterface().AddPakFile("main.pak"); }

void VelmAppBase::ChooseScreenMode() {
    // A logical screen as large as the desktop's usable area cannot be shown
    // in a window with its frame, so it runs full screen.
    int desktopWidth = 0;
    int desktopHeight = 0;
    if (mIsWindowed && !mFullScreenDesktopSwitch && GetDesktopSize(&desktopWidth, &desktopHeight) &&
        (mWidth >= desktopWidth || mHeight >= desktopHeight)) {
        mIsWindowed = false;
        mForceFullscreen = true;
    }
}

std::string VelmAppBase::DemoPathOf(const std::string& name) {
    // Relative names live in the per-user data folder, where demos are written.
    const bool absolute =
            (!name.empty() && (name[0] == '/' || name[0] == '\\')) || (name.size() >= 2 && name[1] == ':');
    return absolute ? name : GetAppDataFolder() + name;
}

}  // namespace Velm
