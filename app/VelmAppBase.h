#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "resources/Buffer.h"
#include "resources/CriticalSection.h"
#include "resources/PropertiesParser.h"
#include "resources/StringUtils.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"

namespace plat {
class Settings;
class SingleInstance;
}

namespace Velm {

class Dialog;
class MusicInterface;
class ResourceManager;
class SoundManager;
class Widget;
class WidgetManager;
class AppWidgetBridge;

// Registry value types, as the settings store keeps them.
enum RegistryType : uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_BINARY = 3,
    REG_DWORD = 4,
};

// The framework's application object: the one long-lived object that owns the
// process from the program's entry to its exit. It reads the settings, runs the
// main loop of fixed 10 ms updates with the deferred input queue, keeps the
// dialog registry and the deferred widget deletion, runs the loading thread and
// holds the volumes and the framework's sound objects. The game derives its own
// application object and overrides the hooks.
//
// Exactly one exists at a time (GetApp). Init, Start, the main loop and the
// destructor run on the main thread; Shutdown may be called from any thread.
// Time comes from the platform clock, so a test can drive a whole run on a
// virtual clock.
class VelmAppBase : public ButtonListener, public DialogListener, public PropertiesReceiver {
public:
    // The "no result yet" value of a dialog.
    static const int kNoDialogResult = 2147483647;

    VelmAppBase();
    virtual ~VelmAppBase();

    // ---- Main loop and pacing ----
    virtual bool ProcessFrame(bool allowSleep);
    virtual void UpdateFrames();
    virtual bool DoUpdateFrames();
    virtual void UpdateFramesFractional(float fraction);
    virtual void MakeWindow();
    virtual void EnforceCursor();
    virtual void ReInitImages();
    virtual void DeleteExtraImageBuffers();
    virtual void DeleteNativeImageData();
    virtual void LoadingThreadCompleted();
    virtual MusicInterface* CreateMusicInterface(void* window);
    virtual void InitHook();
    virtual void ShutdownHook();
    virtual void PreTerminate();
    virtual void LoadingThreadProc();
    virtual void WriteToRegistry();
    virtual void ReadFromRegistry();
    virtual Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode);
    virtual void PreDisplayHook();
    virtual void BeginPopup();
    virtual void EndPopup();
    virtual int MsgBox(const std::wstring& text, const std::wstring& caption, int type);
    virtual int MsgBox(const std::string& text, const std::string& caption, int type);
    virtual void Popup(const std::wstring& text);
    virtual void Popup(const std::string& text);
    virtual void LogScreenSaverError(const std::string& text);
    virtual void SafeDeleteWidget(Widget* widget);
    virtual std::string GetProductVersion(const std::string& path);
    virtual void Shutdown();
    virtual void ReadCommandLine();
    virtual void ParseCommandLine(const std::string& text);
    virtual void HandleCmdLineParam(const std::string& name, const std::string& value);
    virtual void HandleNotifyMessage(int wParam, int lParam);
    virtual bool HandleAlreadyRunning();
    virtual void Start();
    virtual void Init();
    virtual void PreDisplayInitHook();
    virtual void PostDisplayInitHook();
    virtual bool ChangeDirHook(const std::string& path);
    virtual void PlaySample(int id, int pan);
    virtual void PlaySample(int id);
    virtual double GetMasterVolume();
    virtual double GetMusicVolume();
    virtual double GetSfxVolume();
    virtual bool IsMuted();
    virtual void SetMasterVolume(double volume);
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume);
    virtual void Mute(bool automatic);
    virtual void Unmute(bool automatic);
    virtual double GetLoadingThreadProgress();
    virtual Dialog* DoDialog(int id, bool modal, const std::string& header, const std::string& lines,
                             const std::string& footer, int buttonMode);
    virtual Dialog* GetDialog(int id);
    virtual void AddDialog(Dialog* dialog);
    virtual void AddDialog(int id, Dialog* dialog);
    virtual bool KillDialog(Dialog* dialog);
    virtual bool KillDialog(int id);
    virtual bool KillDialog(int id, bool removeWidget, bool deleteWidget);
    virtual int GetDialogCount();
    virtual void ModalOpen();
    virtual void ModalClose();
    virtual void GotFocus();
    virtual void LostFocus();
    virtual bool FilterKeyDown(int key);
    virtual void CloseRequested();
    virtual bool CheckSignature(const Buffer& data, const std::string& file);
    virtual bool DrawFrame();
    virtual void Redraw(const void* clip);
    virtual void PreInitHook();
    virtual void DoMainLoop();
    virtual bool UpdateAppStep(bool* updated);
    virtual bool UpdateApp();

    // DialogListener: the stock dialogs' buttons 1000 and 1001 become this
    // object's button ids dialog id + 2000 and dialog id + 3000.
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    // ---- Start-up and exit ----
    // Restores a desktop resolution the program changed and ends the process
    // with the exit code. Every fatal path of the framework ends here.
    [[noreturn]] void RestoreDisplayAndExit(int code);

    // ---- Registry settings (the platform settings store) ----
    bool RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length);
    bool RegistryWriteString(const std::string& name, const std::string& text);
    bool RegistryWriteInteger(const std::string& name, int value);
    bool RegistryWriteBoolean(const std::string& name, bool value);
    bool RegistryWriteData(const std::string& name, const uint8_t* data, uint32_t length);
    // length: in, the capacity of data; out, the stored length.
    bool RegistryRead(const std::string& name, uint32_t* type, uint8_t* data, uint32_t* length);
    bool RegistryReadString(const std::string& name, std::string* text);
    bool RegistryReadInteger(const std::string& name, int* value);
    bool RegistryReadBoolean(const std::string& name, bool* value);
    bool RegistryReadData(const std::string& name, uint8_t* data, uint32_t* length);
    bool RegistryEraseKey(const std::string& subKeyName);
    void RegistryEraseValue(const std::string& name);

    // The settings store the registry operations use: the user's store
    // unless another was set (tests).
    plat::Settings& GetSettingsStore();
    void SetSettingsStore(plat::Settings* settings) { mSettings = settings; }

    // ---- String table and properties ----
    void SetString(const std::string& id, const std::wstring& text) override;
    void SetBoolean(const std::string& name, bool value) override;
    void SetInteger(const std::string& name, int value) override;
    void SetDouble(const std::string& name, double value) override;
    void InsertStringArray(const std::string& name, const std::vector<std::string>& values) override;
    std::string GetString(const std::string& id);
    std::string GetStringWithDefault(const std::string& id, const std::string& defaultText);
    bool GetBoolean(const std::string& name, bool defaultValue = false);
    int GetInteger(const std::string& name, int defaultValue = 0);
    double GetDouble(const std::string& name, double defaultValue = 0.0);
    const std::vector<std::wstring>* GetStringVector(const std::string& name);
    bool LoadProperties(const std::string& file, bool required, bool checkSignature);
    // Reads "properties\resources.xml" into the resource manager; a failure
    // is fatal.
    void LoadResourceManifest();
    void ShowResourceError(bool exit);
    // Whole-file read of a program file (the resource pack first, then the disk).
    virtual bool ReadBufferFromFile(const std::string& path, Buffer& buffer);

    // ---- Dialog bookkeeping ----
    void ProcessSafeDeleteList();

    // ---- Loading thread ----
    void StartLoadingThread();
    void WaitForLoadingThread();

    // ---- Clipboard (Windows-1252 text) ----
    virtual void CopyToClipboard(const std::string& text);
    virtual std::string GetClipboard();

    // ---- Queued window input (filled by the window code) ----
    // Pumps the platform's window messages into the deferred queue.
    virtual void PumpWindowMessages();
    // Replays queued input into the widget manager: one message when
    // singleMessage, else all. True when the queue is empty afterwards.
    virtual bool ProcessDeferredMessages(bool singleMessage);

    // ---- Demo hooks (the demo code fills them) ----
    virtual void PlayDemoCommands();
    virtual bool PrepareDemoCommand(bool required);
    virtual void WriteDemoTimingBlock();
    virtual bool ReadDemoFile(std::string* error);
    virtual int FindNumberedDemoFiles(const std::string& prefix, int keep, bool deleteOld);

    // ---- Accessors the rest of the program uses ----
    WidgetManager* GetWidgetManager() { return mWidgetManager; }
    ResourceManager* GetResourceManager() { return mResourceManager; }
    SoundManager* GetSoundManager() { return mSoundManager; }
    MusicInterface* GetMusicInterface() { return mMusicInterface; }
    const unsigned char* GetAddTable() const { return mAdd8BitMaxTable; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    bool IsShutdown() const { return mShutdown.load(); }
    int GetUpdateCount() const { return mUpdateCnt; }
    uint32_t GetRandSeed() const { return mRandSeed; }
    bool IsMainThread() const;

    // The process-wide application, null when there is none.
    static VelmAppBase* GetApp();

    // ---- Identity and folders ----
    std::string mCompanyDisplayName;
    std::string mCompanyFolderName;
    std::string mProductName = "Product";
    std::string mTitle = "VelmApp";
    std::string mRegKey;
    std::string mChangeDirTo;
    std::string mProductVersion;
    std::string mDemoPrefix = "velmapp";
    std::string mDemoFileName;

    // ---- Screen and display ----
    int mWidth = 640;
    int mHeight = 480;
    int mColorDepth = 16;
    bool mIsWindowed = true;
    int mPreferredX = -1;
    int mPreferredY = -1;
    bool mIsPhysWindowed = true;
    bool mFullScreenDesktopSwitch = false;
    bool mForceFullscreen = false;
    bool mFellBackToWindowed = false;
    bool mInitialized = false;
    bool mTabletOption = true;
    bool mTabletPC = false;
    Ratio mAspect{4, 3};
    int mRefreshRate = 100;
    bool mDrawToVideoMemory = false;
    bool mUserChanged3D = false;
    bool mCustomCursorsEnabled = true;
    int mCursorNum = 0;

    // ---- Timing and loop ----
    int mFrameTime = 10;
    double mSpeedFactor = 1.0;
    bool mVSyncUpdates = false;
    bool mWaitForVSync = false;
    bool mVSyncBroken = false;
    bool mSoftVSyncWait = true;
    int mLoopState = 0;
    int mUpdateAppDepth = 0;
    int mStepMode = 0;
    bool mPaused = false;
    double mUpdateFTimeAcc = 0.0;
    uint32_t mLastTimeCheck = 0;
    double mUpdateMultiplier = 0.0;
    int mUpdatesThisFrame = 0;
    bool mHasPendingDraw = true;
    bool mLastDrawWasEmpty = false;
    uint32_t mVSyncBrokenTestUpdates = 0;
    uint32_t mVSyncBrokenTestStartTick = 0;
    int mVSyncBrokenCount = 0;
    uint32_t mLastDrawTick = 0;
    uint32_t mNextDrawTick = 0;
    uint32_t mStartTick = 0;
    int mUpdateCnt = 0;
    int mDrawCount = 0;
    int mSleepCount = 0;
    int mDrawTime = 0;
    int mScreenBltTime = 0;
    bool mForceRedraw = false;
    bool mIsDrawing = false;
    bool mDisplayLost = false;
    bool mScreensaverPaused = false;
    int mMillisecondsPerRefresh = 10;

    // ---- Demo state (the demo code owns its meaning) ----
    bool mPlayingDemo = false;
    bool mRecordingDemo = false;
    bool mDemoIsClosed = false;
    bool mDemoLoadingComplete = false;
    int mFastForwardToUpdateNum = 0;
    bool mFastForwardToMarker = false;
    bool mFastForwardStep = false;
    bool mDemoMute = false;
    uint32_t mFastForwardStartTick = 0;
    bool mFastForwardStarted = false;
    int mDemoCmdNum = 0;
    int mDemoCmdOrder = 0;
    int mDemoCmdBitPos = 0;
    int mDemoNextUpdate = 0x7FFFFFFF;
    double mPlaybackMusicVolume = 0.0;
    double mPlaybackSfxVolume = 0.0;
    Buffer mDemoBuffer;

    // ---- Focus and input ----
    bool mHasFocus = true;
    bool mMinimized = false;
    bool mActive = true;
    bool mMuteOnLostFocus = true;
    bool mPopupOpen = false;
    bool mMouseIn = false;
    bool mCtrlDown = false;
    bool mAltDown = false;
    bool mDebugKeysEnabled = false;

    // ---- Sound ----
    double mMusicVolume = 0.85;
    double mSfxVolume = 0.85;
    int mMuteCount = 0;
    int mAutoMuteCount = 0;
    bool mNoSoundNeeded = false;
    bool mUseAltMusicLibrary = false;

    // ---- Threads ----
    std::atomic<bool> mCursorThreadRunning{false};
    bool mAutoStartLoadingThread = true;
    std::atomic<bool> mLoadingThreadStarted{false};
    std::atomic<bool> mLoadingThreadCompleted{false};
    bool mLoadingCompletionHandled = false;
    std::atomic<bool> mLoadingThrottle{false};
    std::atomic<int> mNumLoadingThreadTasks{0};
    std::atomic<int> mCompletedLoadingThreadTasks{0};
    uint32_t mLoadTick = 0;

    // ---- Run state ----
    std::atomic<bool> mShutdown{false};
    std::atomic<bool> mExitLoops{false};
    std::atomic<bool> mShutdownRequestedOffThread{false};
    std::atomic<bool> mCrashed{false};
    bool mInMainLoop = false;
    bool mReadFromRegistry = false;
    bool mLastShutdownWasGraceful = true;
    bool mOnlyAllowOneCopyToRun = true;
    bool mCmdLineParsed = false;
    bool mIsScreenSaver = false;
    bool mAllowMonitorPowersave = true;
    uint32_t mRandSeed = 0;

    // The command line as the process was started (program name first); set
    // by the program's entry before Init.
    std::string mCommandLine;

protected:
    // ---- The main window (the window code fills these in) ----
    // The native window, null while there is none.
    virtual void* GetMainWindowHandle();
    virtual void ShowMainWindow();
    virtual void HideMainWindow();
    // Restores the window when minimised and raises it.
    virtual void BringMainWindowToFront();
    // The desktop's usable size for a full-screen window; false when unknown.
    virtual bool GetDesktopSize(int* width, int* height);
    // Starts the thread that moves the software cursor.
    virtual void StartCursorThread();
    // Runs the crash report path at once ("-crash").
    virtual void RequestCrashReport();
    // Drops shared images nobody holds any more.
    virtual void PurgeSharedImages();
    // Opens the resource pack next to the program.
    virtual void InitResourcePack();
    // Chooses between windowed and full screen before the window is made.
    void ChooseScreenMode();

    // The program's tick clock, truncated to 32 bits as the tick counters are.
    static uint32_t Tick();
    void UpdateFrameTimeAccumulator();
    void HandleLoadingCompletion();
    void VSyncBrokenTest(uint32_t now);
    void ApplyVolumes();
    void SplitRegistryName(const std::string& name, std::string* key, std::string* valueName);
    void RecordRegistryResult(int command, bool result);
    std::string DemoPathOf(const std::string& name);

    WidgetManager* mWidgetManager = nullptr;
    ResourceManager* mResourceManager = nullptr;
    SoundManager* mSoundManager = nullptr;
    MusicInterface* mMusicInterface = nullptr;

    // Dialog registry: by id, and in order of addition.
    std::map<int, Dialog*> mDialogMap;
    std::list<Dialog*> mDialogList;
    // Widgets waiting for deletion, with the loop depth that queued them.
    std::list<std::pair<int, Widget*>> mSafeDeleteList;

    std::map<std::string, std::wstring> mStringProperties;
    std::map<std::string, bool> mBoolProperties;
    std::map<std::string, int> mIntProperties;
    std::map<std::string, double> mDoubleProperties;
    std::map<std::string, std::vector<std::wstring>> mStringVectorProperties;

    unsigned char mAdd8BitMaxTable[512];
    CriticalSection mCritSect;
    std::thread::id mMainThreadId;
    bool mMainThreadKnown = false;
    std::thread mLoadingThread;
    std::unique_ptr<AppWidgetBridge> mWidgetBridge;
    std::unique_ptr<plat::SingleInstance> mSingleInstance;
    plat::Settings* mSettings = nullptr;

private:
    static void LoadingThreadMain(VelmAppBase* app);
};

} // namespace Velm
