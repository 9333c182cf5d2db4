#include "app/VelmAppBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/ButtonBox.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "resources/sound/MusicInterface.h"
#include "tests/platform/TempDir.h"
#include "widgets/Dialog.h"
#include "widgets/Widget.h"
#include "widgets/WidgetFlags.h"
#include "widgets/WidgetManager.h"

namespace {

namespace fs = std::filesystem;

// Tells apart the names made by test processes running side by side.
unsigned ProcessTag() {
    static const unsigned tag = std::random_device()();
    return tag;
}

std::string UniqueProduct() {
    static int counter = 0;
    return "VelmAppTest" + std::to_string(ProcessTag()) + "_" + std::to_string(++counter);
}

// An application that records what the framework calls, in order, and runs
// on a virtual clock with its own settings store.
class TraceApp : public Velm::VelmAppBase {
public:
    explicit TraceApp(plat::Settings* settings) {
        mProductName = UniqueProduct();
        SetSettingsStore(settings);
        mRegKey = "VelmTest\\" + mProductName;
    }
    ~TraceApp() override { Trace("~TraceApp"); }

    void Trace(const std::string& what) {
        std::lock_guard<std::mutex> lock(mTraceMutex);
        mTrace.push_back(what);
    }

    void PreInitHook() override { Trace("PreInitHook"); }
    void ReadFromRegistry() override {
        Trace("ReadFromRegistry");
        VelmAppBase::ReadFromRegistry();
    }
    void ReadCommandLine() override {
        Trace("ReadCommandLine");
        VelmAppBase::ReadCommandLine();
    }
    bool ChangeDirHook(const std::string&) override {
        Trace("ChangeDirHook");
        return true;  // tests never change the process's folder
    }
    void PreDisplayHook() override { Trace("PreDisplayHook"); }
    void MakeWindow() override { Trace("MakeWindow"); }
    Velm::MusicInterface* CreateMusicInterface(void* window) override {
        Trace("CreateMusicInterface");
        return VelmAppBase::CreateMusicInterface(window);
    }
    void InitHook() override { Trace("InitHook"); }
    void ShowMainWindow() override { Trace("ShowMainWindow"); }
    void HideMainWindow() override { Trace("HideMainWindow"); }
    void LoadingThreadProc() override { Trace("LoadingThreadProc"); }
    void LoadingThreadCompleted() override { Trace("LoadingThreadCompleted"); }
    void ShutdownHook() override { Trace("ShutdownHook"); }
    void PreTerminate() override { Trace("PreTerminate"); }
    void WriteToRegistry() override {
        Trace("WriteToRegistry");
        VelmAppBase::WriteToRegistry();
    }
    void UpdateFrames() override {
        VelmAppBase::UpdateFrames();
        if (mStopAtUpdate > 0 && mUpdateCnt >= mStopAtUpdate && GetLoadingThreadProgress() == 1.0) Shutdown();
        if (mStopAtMs > 0 && plat::NowMs() >= mStopAtMs) Shutdown();
    }

    std::mutex mTraceMutex;
    std::vector<std::string> mTrace;
    int mStopAtUpdate = 0;
    uint64_t mStopAtMs = 0;
};

class AppTest : public ::testing::Test {
protected:
    AppTest() : mClock(1000), mScope(mClock), mSettings(mDir.Path("registry.txt")) {
        plat::SetMessageBoxHandlerForTests([this](const std::string& text, const std::string& caption, unsigned) {
            mBoxes.push_back(caption + ": " + text);
            return 1;
        });
    }
    ~AppTest() override { plat::SetMessageBoxHandlerForTests(nullptr); }

    velmtest::TempDir mDir;
    plat::VirtualClock mClock;
    plat::ScopedClock mScope;
    plat::Settings mSettings;
    std::vector<std::string> mBoxes;
};

TEST_F(AppTest, RunFollowsTheStartUpAndShutdownOrder) {
    std::vector<std::string> trace;
    {
        TraceApp app(&mSettings);
        app.mStopAtUpdate = 5;
        plat::CapturedDebugOutput log;
        app.Init();
        app.Start();
        trace = app.mTrace;
        EXPECT_NE(log.Text().find("Update Count  = "), std::string::npos);
        EXPECT_NE(log.Text().find("Resource Loading Time: "), std::string::npos);
        app.mTrace.clear();
    }
    // The loading thread's own work runs beside the main loop, at any point
    // after Start began it; its completion is handled on the main thread.
    const auto loading = std::find(trace.begin(), trace.end(), "LoadingThreadProc");
    ASSERT_NE(loading, trace.end());
    trace.erase(loading);
    const std::vector<std::string> expected = {
            "PreInitHook",  "ReadFromRegistry",     "ReadCommandLine", "ChangeDirHook",  "PreDisplayHook",
            "MakeWindow",   "CreateMusicInterface", "InitHook",        "ShowMainWindow", "LoadingThreadCompleted",
            "ShutdownHook", "HideMainWindow",       "WriteToRegistry", "PreTerminate",   "WriteToRegistry",
    };
    EXPECT_EQ(trace, expected);
}

TEST_F(AppTest, InitOnAShutDownObjectDoesNothing) {
    TraceApp app(&mSettings);
    app.Shutdown();
    app.mTrace.clear();
    app.Init();
    app.Start();
    EXPECT_TRUE(app.mTrace.empty());
    EXPECT_FALSE(app.mInitialized);
}

TEST_F(AppTest, PacingGivesOneHundredUpdatesPerSecond) {
    struct Case {
        const char* why;
        double speed;
        int minUpdates;
        int maxUpdates;
    };
    const Case cases[] = {
            {"normal speed", 1.0, 99, 101},
            {"double speed", 2.0, 198, 201},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TraceApp app(&mSettings);
        app.mAutoStartLoadingThread = false;
        app.mSpeedFactor = c.speed;
        app.Init();
        const uint64_t start = plat::NowMs();
        app.mStopAtMs = start + 1000;
        app.Start();
        EXPECT_GE(app.GetUpdateCount(), c.minUpdates);
        EXPECT_LE(app.GetUpdateCount(), c.maxUpdates);
    }
}

// The run statistics' frame rate is the frames shown per second of the run (as the frame-rate
// overlay counts them), however little of the run the drawing itself took.
TEST_F(AppTest, StatisticsCountFramesShownPerSecond) {
    class MovingWidget : public Velm::Widget {
    public:
        MovingWidget() { mWidgetFlagsMod.addFlags |= Velm::WIDGETFLAGS_UPDATE | Velm::WIDGETFLAGS_MARK_DIRTY; }
    };
    MovingWidget widget;
    std::string log;
    {
        TraceApp app(&mSettings);
        app.mAutoStartLoadingThread = false;
        app.Init();
        widget.Resize(0, 0, 10, 10);
        app.GetWidgetManager()->AddWidget(&widget);
        app.mStopAtMs = plat::NowMs() + 2000;
        plat::CapturedDebugOutput captured;
        app.Start();
        log = captured.Text();
        app.GetWidgetManager()->RemoveWidget(&widget);
    }
    const size_t at = log.find("Avg FPS       = ");
    ASSERT_NE(at, std::string::npos) << log;
    const int fps = std::atoi(log.c_str() + at + 16);
    EXPECT_GE(fps, 98) << log;
    EXPECT_LE(fps, 101) << log;
}

// A period of fractional milliseconds leaves the next update less than a millisecond away at
// times: the loop sleeps a millisecond then, or the virtual clock (which moves only while the
// loop sleeps) would stand still for ever. The time slept beyond the period is not lost.
TEST_F(AppTest, NextUpdateUnderAMillisecondAwayIsSleptFor) {
    const double speeds[] = {1.5, 3.0};
    for (double speed : speeds) {
        SCOPED_TRACE(speed);
        TraceApp app(&mSettings);
        app.mAutoStartLoadingThread = false;
        app.mSpeedFactor = speed;
        app.Init();
        const uint64_t start = plat::NowMs();
        for (int step = 0; step < 100000 && plat::NowMs() < start + 1000; ++step) app.UpdateAppStep(nullptr);
        EXPECT_GE(plat::NowMs(), start + 1000);
        const int expected = static_cast<int>(100 * speed);
        EXPECT_GE(app.GetUpdateCount(), expected - 2);
        EXPECT_LE(app.GetUpdateCount(), expected + 1);
    }
}

// Drives the loop step by step and stalls the clock once, to see the catch-up.
TEST_F(AppTest, StallCatchUpIsCappedAt200Ms) {
    TraceApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    for (int i = 0; i < 50; ++i) app.UpdateApp();
    const int before = app.GetUpdateCount();
    mClock.Advance(1000);  // the program froze for a second
    const uint64_t after = plat::NowMs();
    while (plat::NowMs() == after) app.UpdateAppStep(nullptr);
    // Only the capped 200 ms of game time may be caught up.
    EXPECT_LE(app.GetUpdateCount() - before, 21);
    EXPECT_GE(app.GetUpdateCount() - before, 19);
}

TEST_F(AppTest, NoUpdatesAtSpeedZeroOrPaused) {
    struct Case {
        const char* why;
        double speed;
        bool paused;
    };
    const Case cases[] = {{"speed 0", 0.0, false}, {"paused", 1.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TraceApp app(&mSettings);
        app.mAutoStartLoadingThread = false;
        app.Init();
        app.mSpeedFactor = c.speed;
        app.mPaused = c.paused;
        const uint64_t before = plat::NowMs();
        for (int i = 0; i < 100; ++i) {
            app.UpdateAppStep(nullptr);
            mClock.Advance(5);
        }
        EXPECT_EQ(app.GetUpdateCount(), 0);
        EXPECT_EQ(app.mSleepCount, 0);
        EXPECT_EQ(plat::NowMs() - before, 500u);
        // The loop keeps coming back to pumping input, so a key can resume play.
        app.mLoopState = 1;
        app.UpdateAppStep(nullptr);
        EXPECT_EQ(app.mLoopState, 3);
    }
}

TEST_F(AppTest, ProcessFrameRefusesToSleepWhenAsked) {
    TraceApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    app.mHasPendingDraw = false;
    app.mLoopState = 0;
    app.ProcessFrame(true);
    // Nothing to draw and a whole period to wait.
    app.mHasPendingDraw = false;
    app.mUpdateFTimeAcc = 0;
    app.mLastTimeCheck = static_cast<uint32_t>(plat::NowMs());
    EXPECT_FALSE(app.ProcessFrame(false));
    EXPECT_TRUE(app.ProcessFrame(true));
}

// An application whose updates are held back (as during a finished demo)
// still pumps, draws when asked and sleeps: the loop neither spins nor hangs.
TEST_F(AppTest, HeldUpdateStillPumpsAndSleeps) {
    class HeldApp : public TraceApp {
    public:
        using TraceApp::TraceApp;
        bool DoUpdateFrames() override { return false; }
        void PumpWindowMessages() override { ++mPumps; }
        int mPumps = 0;
    };
    HeldApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    const uint64_t start = plat::NowMs();
    for (int i = 0; i < 300; ++i) app.UpdateAppStep(nullptr);
    EXPECT_GT(app.mPumps, 50);
    EXPECT_GT(app.mSleepCount, 50);
    EXPECT_GT(plat::NowMs() - start, 500u);
    EXPECT_EQ(app.GetUpdateCount(), 0);
}

TEST_F(AppTest, VSyncBrokenAfterThreeShortSeconds) {
    // Presents that return at once: every draw shows something and takes no
    // time, so a second of game time passes in far less than 800 ms.
    class InstantPresentApp : public TraceApp {
    public:
        using TraceApp::TraceApp;
        bool DrawFrame() override {
            mLastDrawWasEmpty = false;
            mHasPendingDraw = false;
            return true;
        }
    };
    InstantPresentApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.mVSyncUpdates = true;
    app.mIsPhysWindowed = false;
    app.mRefreshRate = 100;
    app.Init();
    app.DrawFrame();
    for (int i = 0; i < 5000 && !app.mVSyncBroken; ++i) {
        app.UpdateAppStep(nullptr);
        if (i % 8 == 0) mClock.Advance(1);
    }
    EXPECT_TRUE(app.mVSyncBroken);
    EXPECT_GE(app.GetUpdateCount(), 300);
}

TEST_F(AppTest, PlaybackWindowsOpenFromTheLoopAndHoldTheDemo) {
    TraceApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    // The key only asks; the window opens at the loop's next step.
    EXPECT_TRUE(app.HandleDemoPlaybackKey('J'));
    EXPECT_EQ(app.mPendingDemoDialog, 'J');
    std::vector<std::string> asked;
    plat::SetButtonBoxHandlerForTests(
            [&](const std::string&, const std::string& caption, const std::vector<std::string>&) {
                asked.push_back(caption);
                // While the window is open the demo stands still.
                EXPECT_TRUE(app.mDemoDialogOpen);
                EXPECT_FALSE(app.DoUpdateFrames());
                return 1;
            });
    app.mLoopState = 0;
    app.UpdateAppStep(nullptr);
    plat::SetButtonBoxHandlerForTests(nullptr);
    EXPECT_EQ(asked, std::vector<std::string>{"Jump To Time"});
    EXPECT_EQ(app.mPendingDemoDialog, 0);
    EXPECT_FALSE(app.mDemoDialogOpen);
}

TEST_F(AppTest, ShutdownFromAnotherThreadIsActedOnByTheMainThread) {
    TraceApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    app.UpdateApp();
    std::thread other([&app] { app.Shutdown(); });
    other.join();
    EXPECT_FALSE(app.IsShutdown());
    EXPECT_TRUE(std::find(app.mTrace.begin(), app.mTrace.end(), "HideMainWindow") == app.mTrace.end());
    app.ProcessFrame(true);
    EXPECT_TRUE(app.IsShutdown());
    EXPECT_TRUE(std::find(app.mTrace.begin(), app.mTrace.end(), "HideMainWindow") != app.mTrace.end());
}

TEST_F(AppTest, LoadingProgressRunsFromZeroToExactlyOne) {
    class LoadingApp : public TraceApp {
    public:
        using TraceApp::TraceApp;
        void LoadingThreadProc() override {
            mNumLoadingThreadTasks = 10;
            mCompletedLoadingThreadTasks = 4;
            while (!mRelease.load()) std::this_thread::yield();
        }
        std::atomic<bool> mRelease{false};
    };
    LoadingApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    EXPECT_EQ(app.GetLoadingThreadProgress(), 0.0);
    app.StartLoadingThread();
    app.StartLoadingThread();  // a second start does nothing
    while (app.mCompletedLoadingThreadTasks.load() != 4) std::this_thread::yield();
    EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 0.4);
    app.mRelease = true;
    while (!app.mLoadingThreadCompleted.load()) std::this_thread::yield();
    EXPECT_DOUBLE_EQ(app.GetLoadingThreadProgress(), 0.4);  // not handled yet
    EXPECT_TRUE(app.DoUpdateFrames());
    EXPECT_EQ(app.GetLoadingThreadProgress(), 1.0);
}

class CountedWidget : public Velm::Widget {
public:
    explicit CountedWidget(int* deletions) : mDeletions(deletions) {}
    ~CountedWidget() override { ++*mDeletions; }
    int* mDeletions;
};

TEST_F(AppTest, SafeDeletionWaitsForTheQueuingLoopLevel) {
    TraceApp app(&mSettings);
    int deletions = 0;
    // One widget queued by an outer loop step (depth 1), one by a step of a
    // nested modal loop (depth 2).
    app.mUpdateAppDepth = 1;
    app.SafeDeleteWidget(new CountedWidget(&deletions));
    app.mUpdateAppDepth = 2;
    app.SafeDeleteWidget(new CountedWidget(&deletions));
    app.ProcessSafeDeleteList();  // a nested step ends: only its own entry goes
    EXPECT_EQ(deletions, 1);
    app.mUpdateAppDepth = 1;
    app.ProcessSafeDeleteList();
    EXPECT_EQ(deletions, 2);
    app.mUpdateAppDepth = 0;
}

class CountedDialog : public Velm::Dialog {
public:
    CountedDialog(int id, int* deletions)
            : Velm::Dialog(nullptr, nullptr, id, true, "Header", "Lines", "", BUTTONS_YES_NO), mDeletions(deletions) {}
    ~CountedDialog() override { ++*mDeletions; }
    int* mDeletions;
};

TEST_F(AppTest, DialogRegistry) {
    TraceApp app(&mSettings);
    app.mWidth = 1024;
    app.mHeight = 768;
    int deletions = 0;
    CountedDialog* first = new CountedDialog(7, &deletions);
    app.AddDialog(first);
    EXPECT_EQ(first->mWidth, 512);
    EXPECT_EQ(first->mX, 256);
    EXPECT_EQ(first->mY, 153);
    EXPECT_EQ(app.GetDialog(7), first);
    EXPECT_EQ(app.GetDialogCount(), 1);

    // A dialog under an id in use replaces the previous one, which is
    // deleted once the loop step ends.
    CountedDialog* second = new CountedDialog(7, &deletions);
    app.AddDialog(second);
    EXPECT_EQ(app.GetDialog(7), second);
    EXPECT_EQ(first->mResult, 0);  // a loop waiting for its answer ends
    EXPECT_EQ(deletions, 0);
    app.ProcessSafeDeleteList();
    EXPECT_EQ(deletions, 1);

    EXPECT_FALSE(app.KillDialog(99));
    EXPECT_EQ(app.GetDialog(99), nullptr);
    EXPECT_TRUE(app.KillDialog(7));
    EXPECT_EQ(app.GetDialogCount(), 0);
    app.ProcessSafeDeleteList();
    EXPECT_EQ(deletions, 2);
}

TEST_F(AppTest, StockDialogButtonsBecomeApplicationButtons) {
    class ButtonApp : public TraceApp {
    public:
        using TraceApp::ButtonPress;
        using TraceApp::TraceApp;
        void ButtonPress(int id) override { Trace("press " + std::to_string(id)); }
        void ButtonDepress(int id) override { Trace("depress " + std::to_string(id)); }
    };
    ButtonApp app(&mSettings);
    app.DialogButtonPress(5, 1000);
    app.DialogButtonDepress(5, 1001);
    app.DialogButtonDepress(5, 1002);
    const std::vector<std::string> expected = {"press 2005", "depress 3005"};
    EXPECT_EQ(app.mTrace, expected);
}

TEST_F(AppTest, MuteCounts) {
    TraceApp app(&mSettings);
    app.mAutoStartLoadingThread = false;
    app.Init();
    app.Mute(true);
    app.Mute(true);
    app.Unmute(true);
    EXPECT_TRUE(app.IsMuted());
    app.Unmute(true);
    EXPECT_FALSE(app.IsMuted());
    app.Unmute(false);  // nothing to undo: counts stay at 0
    EXPECT_FALSE(app.IsMuted());
    app.Mute(true);
    app.SetMusicVolume(0.3);
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.3);
    app.Unmute(true);
    EXPECT_FALSE(app.IsMuted());
}

TEST_F(AppTest, CommandLineRows) {
    class CmdApp : public TraceApp {
    public:
        using TraceApp::TraceApp;
        void HandleCmdLineParam(const std::string& name, const std::string& value) override {
            mParams.push_back(name + "|" + value);
        }
        std::vector<std::string> mParams;
    };
    struct Case {
        const char* line;
        std::vector<std::string> params;
    };
    const Case cases[] = {
            {"\"C:\\Games\\game.exe\"", {}},
            {"\"C:\\Games\\game.exe\" -play", {"-play|"}},
            {"game -demofile=\"my demo.dmo\" -record", {"-demofile|my demo.dmo", "-record|"}},
            {"game -recnum=3", {"-recnum|3"}},
            {"game", {}},
            {"game  -screensaver", {"-screensaver|"}},
            {"game -a=b=c", {"-a|bc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        CmdApp app(&mSettings);
        app.mCommandLine = c.line;
        app.ReadCommandLine();
        EXPECT_EQ(app.mParams, c.params);
        EXPECT_TRUE(app.mCmdLineParsed);
    }
}

TEST_F(AppTest, CommandLineOptionsTakeEffect) {
    TraceApp app(&mSettings);
    app.HandleCmdLineParam("-screensaver", "");
    EXPECT_TRUE(app.mIsScreenSaver);
    app.HandleCmdLineParam("-changedir", "/tmp/somewhere");
    EXPECT_EQ(app.mChangeDirTo, "/tmp/somewhere");
    app.HandleCmdLineParam("-record", "");
    EXPECT_TRUE(app.mRecordingDemo);
    app.HandleCmdLineParam("-play", "");
    EXPECT_TRUE(app.mPlayingDemo);
    EXPECT_FALSE(app.mRecordingDemo);
    app.HandleCmdLineParam("-demofile", "/abs/x.dmo");
    EXPECT_EQ(app.mDemoFileName, "/abs/x.dmo");
}

TEST_F(AppTest, UnknownOptionIsFatal) {
    EXPECT_EXIT(
            {
                plat::SetMessageBoxHandlerForTests([](const std::string& text, const std::string&, unsigned) {
                    std::fprintf(stderr, "%s\n", text.c_str());
                    return 1;
                });
                TraceApp app(&mSettings);
                app.HandleCmdLineParam("-Play", "");
            },
            ::testing::ExitedWithCode(1), "Invalid command line parameter: -Play");
}

TEST_F(AppTest, StringTable) {
    TraceApp app(&mSettings);
    EXPECT_EQ(app.GetString("DIALOG_BUTTON_OK"), "OK");
    EXPECT_EQ(app.GetString("NOPE"), "");
    EXPECT_EQ(app.GetStringWithDefault("NOPE", "fallback"), "fallback");
    app.SetString("X", L"first");
    app.SetString("X", L"second");
    EXPECT_EQ(app.GetString("X"), "second");
    app.SetString("FATAL_ERROR", L"Oops");
    app.Popup(std::string("broken"));
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "Oops: broken");
    app.SetInteger("n", 5);
    app.SetDouble("d", 2.5);
    app.SetBoolean("b", true);
    EXPECT_EQ(app.GetInteger("n"), 5);
    EXPECT_DOUBLE_EQ(app.GetDouble("d"), 2.5);
    EXPECT_TRUE(app.GetBoolean("b"));
    EXPECT_EQ(app.GetInteger("missing", 7), 7);
}

TEST_F(AppTest, PropertiesFiles) {
    TraceApp app(&mSettings);
    const std::string good = mDir.Path("good.xml");
    {
        std::FILE* f = std::fopen(good.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const char* text =
                "<Properties>\r\n"
                "  <String id=\"FATAL_ERROR\">Problem</String>\r\n"
                "  <Integer id=\"Count\">12</Integer>\r\n"
                "  <StringArray id=\"L\"><String>a</String><String>b</String></StringArray>\r\n"
                "</Properties>\r\n";
        std::fputs(text, f);
        std::fclose(f);
    }
    EXPECT_TRUE(app.LoadProperties(good, true, false));
    EXPECT_EQ(app.GetInteger("Count"), 12);
    ASSERT_NE(app.GetStringVector("L"), nullptr);
    EXPECT_EQ(app.GetStringVector("L")->size(), 2u);
    app.Popup(std::string("x"));
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes.back(), "Problem: x");

    // A missing optional file is no error; a missing required one is told.
    EXPECT_TRUE(app.LoadProperties(mDir.Path("missing.xml"), false, false));
    EXPECT_FALSE(app.LoadProperties(mDir.Path("missing.xml"), true, false));
    EXPECT_EQ(mBoxes.back(), "Problem: Unable to open properties file " + mDir.Path("missing.xml"));
    // The base application has no signature check: asking for one fails.
    EXPECT_FALSE(app.LoadProperties(good, true, true));
    EXPECT_EQ(mBoxes.back(), "Problem: Signature check failed on " + good + "'");

    const std::string broken = mDir.Path("broken.xml");
    std::FILE* f = std::fopen(broken.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("<Properties><String id=\"A\">x</Integer></Properties>", f);
    std::fclose(f);
    EXPECT_FALSE(app.LoadProperties(broken, true, false));
    EXPECT_NE(mBoxes.back().find(" on Line "), std::string::npos) << mBoxes.back();
}

TEST_F(AppTest, RegistryValuesAsStored) {
    TraceApp writer(&mSettings);
    const std::string regKey = writer.mRegKey;
    writer.mMusicVolume = 0.29;
    writer.mSfxVolume = 0.4;
    writer.mMuteCount = 2;
    writer.mAutoMuteCount = 2;
    writer.mIsWindowed = false;
    writer.mPreferredX = 12;
    writer.WriteToRegistry();

    int v = 0;
    struct Case {
        const char* name;
        int value;
    };
    const Case cases[] = {{"MusicVolume", 28}, {"SfxVolume", 40},  {"Muted", 0},      {"ScreenMode", 1},
                          {"PreferredX", 12},  {"PreferredY", -1}, {"InProgress", 0}, {"CustomCursors", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writer.RegistryReadInteger(c.name, &v));
        EXPECT_EQ(v, c.value);
    }

    TraceApp reader(&mSettings);
    reader.mRegKey = regKey;
    reader.ReadFromRegistry();
    EXPECT_DOUBLE_EQ(reader.mMusicVolume, 0.28);
    EXPECT_DOUBLE_EQ(reader.mSfxVolume, 0.4);
    EXPECT_FALSE(reader.mIsWindowed);
    EXPECT_EQ(reader.mPreferredX, 12);
    EXPECT_TRUE(reader.mLastShutdownWasGraceful);
    // Reading marks a run in progress until the next write.
    ASSERT_TRUE(reader.RegistryReadInteger("InProgress", &v));
    EXPECT_EQ(v, 1);

    // A value name with a path lands in a sub-key of the product's key.
    EXPECT_TRUE(reader.RegistryWriteInteger("Dialogs\\Jump", 3));
    uint32_t raw = 0;
    EXPECT_TRUE(mSettings.GetDword("SOFTWARE\\" + regKey + "\\Dialogs", "Jump", &raw));
    EXPECT_EQ(raw, 3u);
    // Names compare without case; a wrong type reads as absent.
    EXPECT_TRUE(reader.RegistryReadInteger("dialogs\\JUMP", &v));
    EXPECT_TRUE(reader.RegistryWriteString("Name", "text"));
    EXPECT_FALSE(reader.RegistryReadInteger("Name", &v));
    std::string text;
    EXPECT_TRUE(reader.RegistryReadString("Name", &text));
    EXPECT_EQ(text, "text");
}

TEST_F(AppTest, EmptyRegistryKeyDoesNothing) {
    TraceApp app(&mSettings);
    app.mRegKey.clear();
    app.mMusicVolume = 0.5;
    EXPECT_FALSE(app.RegistryWriteInteger("MusicVolume", 1));
    int v = 0;
    EXPECT_FALSE(app.RegistryReadInteger("MusicVolume", &v));
    EXPECT_FALSE(app.RegistryEraseKey("Anything"));
    app.ReadFromRegistry();
    EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.5);
}

TEST_F(AppTest, FailedRegistryWriteIsReported) {
    // A store whose file lies below a regular file can never be written.
    std::FILE* f = std::fopen(mDir.Path("blocker").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    plat::Settings broken(mDir.Path("blocker") + "/registry.txt");
    TraceApp app(&broken);
    EXPECT_FALSE(app.RegistryWriteInteger("MusicVolume", 10));
}

}  // namespace
