#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "graphics/ImageHost.h"
#include "graphics/Rect.h"
#include "graphics/SharedImage.h"
#include "resources/PropertiesParser.h"
#include "resources/base/Buffer.h"
#include "resources/base/CriticalSection.h"
#include "resources/base/StringUtils.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"

namespace plat {
class Cursor;
class Settings;
class SingleInstance;
class Window;
}

namespace Velm {

class Dialog;
class DisplaySetup;
class Image;
class MemoryImage;
class MusicInterface;
class ResourceManager;
class SoundManager;
class Widget;
class WidgetManager;
class AppResourceBridge;
class HTTPTransferDemo;
class CrashHost;
class DemoDialogHost;
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
class VelmAppBase : public ButtonListener, public DialogListener, public PropertiesReceiver, public ImageHost {
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
    // Offered every key down first; true swallows the key (nothing is queued).
    virtual bool FilterKeyDown(int key, bool ctrlDown, bool altDown);
    virtual void CloseRequested();
    virtual bool CheckSignature(const Buffer& data, const std::string& file);
    virtual bool DrawFrame();
    virtual void Redraw(const Rect* clip);
    virtual void PreInitHook();
    virtual void DoMainLoop();
    virtual bool UpdateAppStep(bool* updated);
    virtual bool UpdateApp();

    // ---- Crash report hooks (the crash catcher calls them on the faulting thread) ----
    // Silences the music, hides the main window, sets the crashed flag and puts the
    // cursor back.
    virtual void PrepareForCrashReport();
    // "Product:", "Version:", "Time Loaded:", "Fullscreen:" and "Primary ThreadId:"
    // lines, each ended by "\r\n".
    virtual std::string GetProgramInfoText();
    // Extra form fields for the report upload, sent in key order; none here.
    virtual void AddCrashReportFields(std::map<std::string, std::string>& fields);
    // A file to attach to the report upload; none here.
    virtual std::string GetCrashReportFile();

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
    // noDemo keeps the read out of a demo being recorded or played.
    virtual bool ReadBufferFromFile(const std::string& path, Buffer& buffer, bool noDemo = false);

    // ---- Dialog bookkeeping ----
    void ProcessSafeDeleteList();

    // ---- Loading thread ----
    void StartLoadingThread();
    void WaitForLoadingThread();

    // ---- Clipboard (Windows-1252 text) ----
    virtual void CopyToClipboard(const std::string& text);
    virtual std::string GetClipboardText();

    // ---- Queued window input ----
    // Takes the main window's messages through the window procedure, which queues input;
    // also answers a second instance's knock.
    virtual void PumpWindowMessages();
    // Replays queued input into the widget manager: one message when
    // singleMessage, else all. True when the queue is empty afterwards.
    virtual bool ProcessDeferredMessages(bool singleMessage);

    // ---- Main window and input (VelmAppBaseWindow.cpp) ----
    // A queued window message: the window it was sent to, its number and parameters.
    struct DeferredMessage {
        void* window;
        uint32_t message;
        uint32_t wParam;
        uint32_t lParam;
    };
    // The window procedure: answers what must be answered at once and queues input and
    // state messages; what it leaves gets the window's default handling. Returns the answer.
    int WindowProc(void* window, uint32_t message, uint32_t wParam, uint32_t lParam);
    void UpdateAppFocus();
    void ClearKeyState();
    virtual bool IsAltKeyUsed(int key);
    virtual bool DebugKeyDown(int key);
    virtual bool AppCanRestore();
    const std::deque<DeferredMessage>& GetDeferredMessages() const { return mDeferredMessages; }
    plat::Window* GetMainWindow() { return mMainWindow.get(); }

    // ---- Cursors (VelmAppBaseCursor.cpp) ----
    void SetCursorImage(int number, Image* image);
    void SetCursor(int number);
    void EnableCustomCursors(bool on);
    static void CursorThreadMain(VelmAppBase* app);
    void CursorThreadLoop();

    // ---- Images (VelmAppBaseImages.cpp) ----
    void AddMemoryImage(MemoryImage* image) override;
    void RemoveMemoryImage(MemoryImage* image) override;
    void Remove3DData(MemoryImage* image) override;
    void SetPurgeNeeded() override;
    // The display's pixel format; null while there is no display set up.
    const NativePixelFormat* GetDisplayPixelFormat() override;
    bool ReadBackTexture(MemoryImage* image, uint32_t* out) override;
    virtual MemoryImage* GetImage(const std::string& file, bool commitBits);
    virtual SharedImageHandle GetSharedImage(const std::string& file, const std::string& variant, bool* isNew);
    MemoryImage* CopyImage(Image* image, const Rect& rect);
    MemoryImage* CopyImage(Image* image);
    static uint32_t HSLToRGB(int h, int s, int l);
    static uint32_t RGBToHSL(int r, int g, int b);
    // Reads an image file into 32-bit ARGB pixels (the image library's GetImage, with its
    // alpha-companion search); false when the file cannot be read. Null until the image
    // library is given; tests and the game install it.
    using ImageFileReader = bool (*)(const std::string& file, std::vector<uint32_t>* pixels, int* width, int* height);
    void SetImageFileReader(ImageFileReader reader) { mImageFileReader = reader; }
    // The lock of the display: the image set, the shared images and the software cursor.
    CriticalSection& GetDisplayLock() { return mDDCritSect; }
    int GetMemoryImageCount();

    // ---- Files, clipboard and links (VelmAppBaseFiles.cpp) ----
    bool FileExists(const std::string& file);
    bool WriteBytesToFile(const std::string& file, const void* data, int length);
    bool WriteBufferToFile(const std::string& file, const Buffer& buffer);
    virtual bool OpenURL(const std::string& link, bool quitAfter);
    virtual void URLOpenFailed(const std::string& link);
    virtual void URLOpenSucceeded(const std::string& link);

    // ---- Screen saver (VelmAppBaseScreensaver.cpp) ----
    bool HandleScreensaverMessage(uint32_t message, uint32_t wParam, uint32_t lParam, void* window, int* result);
    void UpdateScreensaverState(uint32_t now);

    // ---- Screen modes and display set-up (VelmAppBaseDisplay.cpp) ----
    int InitDisplay();
    void Set3DAcceleration(bool on, bool reinit);
    virtual void SwitchScreenMode(bool wantWindowed, bool want3D, bool force);
    virtual void SwitchScreenMode(bool wantWindowed);
    virtual void SwitchScreenMode();
    virtual void SetDrawToVideoMemory(bool on);
    bool Is3DAccelerated() override;
    bool Is3DAccelerationSupported();
    bool Is3DAccelerationRecommended();
    virtual void Notify3DTestRun();
    DisplaySetup* GetDisplay() { return mDDInterface; }

    // ---- Developer aids (VelmAppBaseDebug.cpp, VelmAppBaseScreenshot.cpp) ----
    // Overlay texts: counts a frame and rewrites "FPS: n" once a second; "x,y" of the
    // pointer on every call; the remaining demo time once a game second.
    void DrawFPS();
    void DrawMousePosition(int x, int y);
    void DrawDemoTime();
    // DrawFrame's overlay steps: prepare the overlay images before the widgets draw, and
    // draw them into the screen image's lower right corner after.
    void PrepareOverlays();
    void DrawOverlays();
    // The overlay images go before the display they were made on.
    void DeleteOverlayImages();
    // "_screenshots/image<n>.png", "_dump/imagelist.html" with its image files, and the
    // "Video Stats" box; all files below the application-data folder.
    void TakeScreenshot();
    void DumpImageList();
    void ShowVideoStats();

    // ---- Demo recording and playback (VelmAppBaseDemo.cpp) ----
    // Plays the input commands due at the current update.
    virtual void PlayDemoCommands();
    // Playback: reads the next command's header when it was not read yet and tells whether
    // that command is due now. required: the caller takes the command whatever its update
    // (the data consumers). False as well when the stream has ended or playback stopped.
    virtual bool PrepareDemoCommand(bool required);
    // The update delta before every recorded command, with fillers for long gaps.
    virtual void WriteDemoTimingBlock();
    // Reads the demo file into the command stream, its seed and markers; false with one of
    // "Demo file not found: <name>", "Invalid demo file." or "This demo file appears to be
    // for '<version>'". ReadDemoData does the same on the file's bytes.
    virtual bool ReadDemoFile(std::string* error);
    bool ReadDemoData(const std::vector<uint8_t>& bytes, std::string* error);
    virtual int FindNumberedDemoFiles(const std::string& prefix, int keep, bool deleteOld);
    // Writes the recording into the demo file; silently nothing when it cannot.
    void WriteDemoFile();
    // Recorded when recording, replaced by the recorded value when playing.
    void DemoSyncBuffer(Buffer& buffer);
    void DemoSyncBool(bool& value);
    void DemoSyncString(std::string& text);
    // After a display set-up: takes the display's refresh rate and records the mode.
    void DemoRecordDisplayMode();
    void ToggleSoundVolumes();
    void ShowDemoMarkerList();
    void ShowDemoJumpToTime();
    // The playback keys (characters typed while a demo plays); true when it was one.
    bool HandleDemoPlaybackKey(int character);
    // Opens the playback window a key asked for ('J' jump to time, 'L' marker list).
    void ShowPendingDemoDialog();
    // The playback window a key asked for, opened at the next loop step; 0 for none.
    int mPendingDemoDialog = 0;
    // True while a playback window is open: the demo stands still and the user's input
    // goes to the window.
    bool mDemoDialogOpen = false;
    // Demo branches of the outside services: recording or playing, and on the main thread
    // (calls from other threads are neither recorded nor played).
    bool IsRecordingDemoHere() const;
    bool IsPlayingDemoHere() const;
    // Recording: the timing block, form bit 0 and the command id.
    void WriteDemoCommand(int id);
    // The HTTP transfers' demo side on this application's demo stream.
    std::unique_ptr<HTTPTransferDemo> MakeHTTPTransferDemo();
    // The crash catcher's and the demo playback dialogs' view of this application.
    std::unique_ptr<CrashHost> MakeCrashHost();
    std::unique_ptr<DemoDialogHost> MakeDemoDialogHost();
    // Playback: takes the next command for a consumer of data command `id`. False when the
    // stream has ended, playback stopped, or the stream holds another command (playback
    // then stops: the run no longer follows the recording).
    bool TakeDemoDataCommand(int id);
    // Playback: a 32-bit length and that many bytes. A length beyond what the stream holds
    // stops playback with "Invalid demo file." and returns false.
    bool ReadDemoBytes(std::vector<uint8_t>* bytes);
    // Ends playback where it is: the rest of the stream is dropped, the run holds still,
    // reads fail and writes succeed as after a close; the error is shown once.
    void StopDemoPlayback(const std::string& error);
    // Playback reached the end of the stream (or stopped).
    bool IsDemoStreamAtEnd() const;

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
    // Read by the cursor thread.
    std::atomic<uint32_t> mNextDrawTick{0};
    uint32_t mStartTick = 0;
    int mUpdateCnt = 0;
    int mDrawCount = 0;
    int mSleepCount = 0;
    int mDrawTime = 0;
    int mScreenBltTime = 0;  // summed over the run, as the draw time is
    bool mForceRedraw = false;
    bool mIsDrawing = false;
    bool mDisplayLost = false;
    bool mScreensaverPaused = false;

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
    // The id (or mouse record kind) of the command whose header was read last, the number
    // of commands so far, and the bit position of that header.
    int mDemoCmdNum = 0;
    int mDemoCmdOrder = -1;
    int mDemoCmdBitPos = 0;
    // The update count stamped on the last written or read command.
    int mDemoNextUpdate = 0;
    // Playback: the next header is still to be read; the command read is a mouse record.
    bool mDemoNeedsCommand = true;
    bool mDemoIsShortCmd = false;
    // Playback stopped on a stream it could not follow, and why.
    bool mDemoStopped = false;
    std::string mDemoError;
    // Markers of the played demo: a name and its update.
    std::vector<std::pair<std::string, int>> mDemoMarkerList;
    // The update count of the played demo's end (its file's total updates).
    int mDemoTotalUpdates = 0;
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
    // The diagnostic overlay (F3): on, and 0 frames per second or 1 pointer position.
    bool mShowFPS = false;
    int mShowFPSMode = 0;

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
    // The kernel's id of the thread that constructed the application (the main thread).
    uint32_t mPrimaryThreadId = 0;
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

    // ---- Window, cursor, link, screen-saver and display state ----
    bool mAllowMaximize = false;
    bool mMinimizedNow = false;
    bool mWindowDisabled = false;
    uint32_t mLastUserInputTick = 0;
    uint32_t mLastTimerTime = 0;
    uint32_t mResumeTick = 0;
    // The last mouse position written into a demo, shared with the demo code.
    std::atomic<int> mLastDemoMouseX{0};
    std::atomic<int> mLastDemoMouseY{0};
    // 13 cursor slots (CursorNum 0 .. 12), images not owned.
    Image* mCursorImages[13] = {};
    bool mSysCursor = true;
    // The cursor last applied: 0 .. 10 a shape of the cursor table, -1 hidden, -2 the
    // current cursor image as the system pointer. Read by tests.
    int mAppliedCursor = 0;
    bool mIsOpeningURL = false;
    bool mShutdownOnURLOpen = false;
    std::string mOpeningURL;
    uint32_t mOpeningURLTime = 0;
    uint32_t mLastMonitorPowerOffTick = 0;
    bool mSystemSaverActive = false;
    uint32_t mScreenSaverIdleLimitMs = 0;
    uint32_t mLastSaverQueryTick = 0;
    bool mLastSaverQueryDone = false;
    uint32_t mLastScreensaverUpdateTick = 0;
    bool mAutoEnable3D = false;
    bool mTest3D = false;
    int mMinVidMemory3D = 6;
    int mRecommendedVidMemory3D = 14;
    Rect mScreenBounds;
    uint32_t mLastDisplayRestoreTick = 0;
    // Presents so far; the cursor thread reads it.
    std::atomic<int> mPresentCount{0};

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
    // Makes the display device on the first MakeWindow (an AppDisplay).
    virtual DisplaySetup* CreateDisplay();
    // The destructor's confirmation of the 3D choice: asks whether to keep hardware
    // acceleration switched on when the user switched it and the card was not recommended,
    // or when 3D drawing failed; writes "Is3D".
    void ConfirmHardwareAcceleration();
    // Creates the main window (the window half of MakeWindow).
    void CreateMainWindow();
    // The end of a successful set-up: focus refresh, window timer, images, screen image.
    void FinishDisplaySetup();
    // The system's screen-saver settings; false where the system has none (this platform).
    virtual bool GetSystemScreenSaverInfo(int* timeoutSeconds, bool* active, bool* running);
    // Acts on one queued message (the replay half of the input queue).
    void ProcessDeferredMessage(const DeferredMessage& record);
    void RecordDemoMouse(uint32_t message, uint32_t lParam);
    void DestroyMainWindow();
    void DeleteDisplay();
    void DeleteSharedImages();
    bool PointerInDrawingArea();

    std::unique_ptr<plat::Window> mMainWindow;
    // Why the last main window could not be made ("" when it was).
    std::string mMainWindowError;
    std::deque<DeferredMessage> mDeferredMessages;
    std::unique_ptr<plat::Cursor> mHandCursor;
    std::unique_ptr<plat::Cursor> mDraggingCursor;
    std::unique_ptr<plat::Cursor> mSystemCursors[10];
    DisplaySetup* mDDInterface = nullptr;
    CriticalSection mDDCritSect;
    // Set (under mDDCritSect) while the display still draws to a window that is gone: from the
    // window's destruction until the display is set up again on its successor.
    bool mDisplayWindowGone = false;
    std::set<MemoryImage*> mMemoryImageSet;
    std::map<std::pair<std::string, std::string>, SharedImage> mSharedImageMap;
    std::atomic<bool> mCleanupSharedImages{false};
    ImageFileReader mImageFileReader = nullptr;
    std::thread mCursorThread;
    // Screen-saver mode: pointer moves seen, the recorded position, the closing guard.
    int mSaverMouseMoves = 0;
    int mSaverMouseX = 0;
    int mSaverMouseY = 0;
    bool mSaverClosing = false;
    bool mSaverFirstCreateSeen = false;
    bool mScrLogFirstCall = true;

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
    std::unique_ptr<AppResourceBridge> mResourceBridge;
    std::unique_ptr<HTTPTransferDemo> mHTTPTransferDemo;
    std::unique_ptr<CrashHost> mCrashHost;
    std::unique_ptr<DemoDialogHost> mDemoDialogHost;
    std::unique_ptr<plat::SingleInstance> mSingleInstance;
    plat::Settings* mSettings = nullptr;

private:
    static void LoadingThreadMain(VelmAppBase* app);
};

}  // namespace Velm
