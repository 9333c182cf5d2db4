// Screen modes against a scripted display, cursors, application images and colour
// conversions, files, clipboard and links, screen-saver mode and the idle pause.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Links.h"
#include "platform/SyntheticInput.h"
#include "platform/Window.h"
#include "resources/pack/PakInterface.h"
#include "resources/pack/PakWriter.h"
#include "tests/app/WindowTestSupport.h"

namespace {

using namespace windowtest;

// ---- Screen modes ----

struct ModeCase {
    const char* why;
    bool startWindowed;
    std::deque<int> script;
    std::vector<bool> setUps;  // windowed flag of every display set-up, in order
    bool windowed;
    bool forcedFullScreen;
    bool fellBack;
};

TEST_F(WindowAppTest, ModeSwitchFallbacks) {
    const ModeCase cases[] = {
            {"windowed start on an unusable colour depth goes full screen once",
             true,
             {6, 0},
             {true, false},
             false,
             true,
             false},
            {"full screen refused falls back to a window", false, {4, 0}, {false, true}, true, false, true},
            {"display mode refused falls back to a window", false, {5, 0}, {false, true}, true, false, true},
            {"plain success", true, {0}, {true}, true, false, false},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.why);
        WindowApp app(&mSettings);
        app.mUseFakeDisplay = true;
        app.mScript = c.script;
        app.mIsWindowed = c.startWindowed;
        app.OpenWindow();
        ASSERT_NE(app.mFake, nullptr);
        EXPECT_EQ(app.mFake->mInits, c.setUps);
        EXPECT_EQ(app.mIsWindowed, c.windowed);
        EXPECT_EQ(app.mIsPhysWindowed, c.windowed);
        EXPECT_EQ(app.mForceFullscreen, c.forcedFullScreen);
        EXPECT_EQ(app.mFellBackToWindowed, c.fellBack);
        EXPECT_EQ(app.GetWidgetManager()->mImage, app.mFake->mScreen);
        EXPECT_TRUE(mBoxes.empty());
        // Alt+Enter toggles only when neither fallback happened.
        const bool windowedBefore = app.mIsWindowed;
        app.WindowProc(app.GetMainWindow(), plat::WM_SYSKEYDOWN, plat::VK_RETURN, 0);
        app.ProcessDeferredMessages(false);
        EXPECT_EQ(app.mIsWindowed, c.forcedFullScreen || c.fellBack ? windowedBefore : !windowedBefore);
    }
}

// The fatal paths end the process: each runs in a child.
class FatalModeTest : public WindowAppTest {
protected:
    void RunToExit(std::deque<int> script, bool windowed, bool is3D) {
        plat::SetMessageBoxHandlerForTests([](const std::string& text, const std::string&, unsigned) {
            std::fprintf(stderr, "box: %s\n", text.c_str());
            return 1;
        });
        WindowApp app(&mSettings);
        app.mUseFakeDisplay = true;
        app.mScript = script;
        app.mIsWindowed = windowed;
        if (is3D) app.RegistryWriteBoolean("Is3D", true);
        app.OpenWindow();
        std::fprintf(stderr, "still running\n");
        std::exit(0);
    }
};

TEST_F(FatalModeTest, ColourDepthThenFullScreenFailureShowsTheMessageAndExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunToExit({6, 4}, true, false), ::testing::ExitedWithCode(1),
                "box: Please set your desktop color depth to 16 bit.");
    EXPECT_EXIT(RunToExit({6, 5}, true, false), ::testing::ExitedWithCode(1),
                "box: Please set your desktop color depth to 16 bit.");
}

TEST_F(FatalModeTest, SoftwareSetUpFailureShowsTheResultAndExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunToExit({2}, true, false), ::testing::ExitedWithCode(1),
                "box: Failed to initialize DirectDraw: RESULT_DD_CREATE_FAIL fake failure");
}

TEST_F(WindowAppTest, ThreeDFailureEndsInSoftwareDrawingWithoutAMessage) {
    WindowApp app(&mSettings);
    app.RegistryWriteBoolean("Is3D", true);
    app.mUseFakeDisplay = true;
    app.mScript = {7, 0};
    app.OpenWindow();
    ASSERT_NE(app.mFake, nullptr);
    EXPECT_FALSE(app.mFake->m3D);
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_EQ(app.mFake->mInits.size(), 2u);
    EXPECT_TRUE(mBoxes.empty());
    EXPECT_TRUE(app.mUserChanged3D);
    EXPECT_EQ(app.GetWidgetManager()->mImage, app.mFake->mScreen);
}

TEST_F(WindowAppTest, ForcedSwitchRecreatesTheWindowEvenWhenNothingChanged) {
    WindowApp app(&mSettings);
    app.mUseFakeDisplay = true;
    app.OpenWindow();
    const size_t setUps = app.mFake->mInits.size();
    app.SwitchScreenMode(true);  // same mode, not forced: no new window
    EXPECT_EQ(app.mFake->mInits.size(), setUps);
    app.SwitchScreenMode();
    EXPECT_EQ(app.mFake->mInits.size(), setUps + 1);
    EXPECT_TRUE(app.mIsWindowed);
    ASSERT_NE(app.GetMainWindow(), nullptr);
    EXPECT_TRUE(app.GetMainWindow()->IsVisible());
}

TEST_F(WindowAppTest, LostDisplayIsRestoredOnlyOnceTheWindowIsRestored) {
    WindowApp app(&mSettings);
    app.mUseFakeDisplay = true;
    app.OpenWindow();
    FakeDisplay& display = *app.mFake;
    const size_t setUps = display.mInits.size();
    display.mPresentSucceeds = false;
    app.mMinimized = true;
    app.Redraw(nullptr);
    EXPECT_TRUE(app.mDisplayLost);
    EXPECT_EQ(display.mInits.size(), setUps);
    app.mMinimized = false;
    app.Redraw(nullptr);
    EXPECT_EQ(display.mInits.size(), setUps + 1);
    display.mPresentSucceeds = true;
    app.Redraw(nullptr);
    EXPECT_FALSE(app.mDisplayLost);
}

TEST_F(WindowAppTest, RealWindowDisplayPresentsTheScreenImage) {
    WindowApp app(&mSettings);
    app.OpenWindow();
    ASSERT_NE(app.GetDisplay(), nullptr);
    ASSERT_NE(app.GetWidgetManager()->mImage, nullptr);
    EXPECT_EQ(app.GetWidgetManager()->mImage->width, 320);
    app.Redraw(nullptr);
    EXPECT_FALSE(app.mDisplayLost);
    EXPECT_EQ(app.mPresentCount.load(), 1);
}

// ---- Cursors ----

TEST_F(WindowAppTest, CursorChoice) {
    WindowApp app(&mSettings);
    app.mUseFakeDisplay = true;
    app.OpenWindow();
    Velm::MemoryImage image(&app);
    image.Create(4, 4);
    FakeDisplay& display = *app.mFake;
    app.mMouseIn = true;

    struct Row {
        const char* why;
        int number;
        bool withImage;
        bool custom;
        int applied;  // system shape shown, -1 hidden
        bool software;
    };
    const Row rows[] = {
            {"custom cursors off: the program's own hand", 1, true, false, 1, false},
            {"custom cursors on: the display draws the image, the pointer is hidden", 1, true, true, -1, true},
            {"number 12 shows its image even with custom cursors off", 12, true, false, -1, true},
            {"number 12 without an image hides the pointer", 12, false, true, -1, false},
            {"number 11 is no cursor", 11, false, true, -1, false},
            {"text cursor", 3, false, true, 3, false},
            {"unknown numbers show the arrow", 40, false, true, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        for (int i = 0; i <= 12; ++i) app.SetCursorImage(i, nullptr);
        app.EnableCustomCursors(row.custom);
        if (row.withImage) app.SetCursorImage(row.number, &image);
        app.SetCursor(row.number);
        EXPECT_EQ(app.mAppliedCursor, row.applied);
        EXPECT_EQ(display.mCursorImage, row.software ? &image : nullptr);
        EXPECT_EQ(app.mSysCursor, !row.software);
    }

    // Slot 13 does not exist.
    app.SetCursorImage(13, &image);
    for (Velm::Image* slot : app.mCursorImages) EXPECT_EQ(slot, nullptr);

    // Outside the window: the arrow, whatever was asked.
    app.SetCursorImage(1, &image);
    app.SetCursor(1);
    app.mMouseIn = false;
    app.EnforceCursor();
    EXPECT_EQ(app.mAppliedCursor, 0);

    // During playback the real pointer says "no" over the window.
    app.mMouseIn = true;
    app.mPlayingDemo = true;
    plat::SynthesizeMouseMove(*app.GetMainWindow(), 10, 10);
    app.PumpWindowMessages();
    app.EnforceCursor();
    EXPECT_EQ(app.mAppliedCursor, 4);
    app.SetCursorImage(1, nullptr);
}

TEST_F(WindowAppTest, CursorThreadFollowsThePointerAndStopsAtShutdown) {
    WindowApp app(&mSettings);
    app.OpenWindow();
    plat::SynthesizeMouseMove(*app.GetMainWindow(), 33, 44);
    app.PumpWindowMessages();
    app.StartCursorThread();
    EXPECT_TRUE(app.mCursorThreadRunning.load());
    int x = 0;
    int y = 0;
    // The thread works in real time; wait for it generously.
    for (int i = 0; i < 500 && (x != 33 || y != 44); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        app.GetDisplay()->GetCursorPos(&x, &y);
    }
    EXPECT_EQ(x, 33);
    EXPECT_EQ(y, 44);
    app.Shutdown();
    EXPECT_FALSE(app.mCursorThreadRunning.load());
}

TEST_F(WindowAppTest, CursorThreadLeavesTheDisplayAloneWhileItsWindowIsReplaced) {
    WindowApp app(&mSettings);
    app.mUseFakeDisplay = true;
    app.OpenWindow();
    ASSERT_NE(app.mFake, nullptr);
    app.StartCursorThread();
    // The new window exists and the pointer moves over it before the display is set up on it:
    // the display still knows only the old window, which is gone.
    app.mBeforeDisplayInit = [&app] {
        app.mFake->mWindowGone = true;
        plat::SynthesizeMouseMove(*app.GetMainWindow(), 55, 66);
        app.PumpWindowMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    };
    app.SwitchScreenMode(true, false, true);
    app.mBeforeDisplayInit = nullptr;
    EXPECT_EQ(app.mFake->mStaleCursorMoves.load(), 0);
    // Once the display is set up again the cursor follows the pointer.
    for (int i = 0; i < 500 && app.mFake->mCursorX.load() != 55; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(app.mFake->mCursorX.load(), 55);
    EXPECT_EQ(app.mFake->mCursorY.load(), 66);
    app.Shutdown();
}

// ---- Images and colours ----

int gReads = 0;

bool FakeReader(const std::string& file, std::vector<uint32_t>* pixels, int* width, int* height) {
    ++gReads;
    if (file.find("missing") != std::string::npos) return false;
    *width = 2;
    *height = 2;
    pixels->assign(4, 0xFF102030);
    return true;
}

TEST_F(WindowAppTest, SharedImagesAcrossLetterCasesAndPurge) {
    gReads = 0;
    WindowApp app(&mSettings);
    app.SetImageFileReader(FakeReader);
    const int imagesBefore = app.GetMemoryImageCount();
    bool isNew = false;
    Velm::MemoryImage* first = nullptr;
    {
        Velm::SharedImageHandle a = app.GetSharedImage("images/Tile.png", "v", &isNew);
        EXPECT_TRUE(isNew);
        Velm::SharedImageHandle b = app.GetSharedImage("IMAGES/tile.PNG", "V", &isNew);
        EXPECT_FALSE(isNew);
        ASSERT_NE(a.GetImage(), nullptr);
        EXPECT_EQ(a.GetImage(), b.GetImage());
        EXPECT_EQ(gReads, 1);
        EXPECT_EQ(a.GetImage()->path, "images/Tile.png");
        first = a.GetImage();
        Velm::SharedImageHandle other = app.GetSharedImage("images/Tile.png", "w", &isNew);
        EXPECT_TRUE(isNew);
        EXPECT_NE(other.GetImage(), first);
    }
    // Released, but cached until the next update's purge.
    EXPECT_EQ(app.GetMemoryImageCount(), imagesBefore + 2);
    {
        Velm::SharedImageHandle again = app.GetSharedImage("images/tile.png", "v", &isNew);
        EXPECT_FALSE(isNew);
        EXPECT_EQ(again.GetImage(), first);
    }
    app.PurgeSharedImages();
    EXPECT_EQ(app.GetMemoryImageCount(), imagesBefore);
    app.GetSharedImage("images/tile.png", "v", &isNew);
    EXPECT_TRUE(isNew);
    app.PurgeSharedImages();

    // A name beginning with '!' is an empty image to draw on; no file is read.
    const int reads = gReads;
    {
        Velm::SharedImageHandle drawn = app.GetSharedImage("!scratch", "", &isNew);
        EXPECT_TRUE(isNew);
        EXPECT_NE(drawn.GetImage(), nullptr);
    }
    EXPECT_EQ(gReads, reads);

    // A file that cannot be read gives a record without an image.
    {
        Velm::SharedImageHandle missing = app.GetSharedImage("missing.png", "", &isNew);
        EXPECT_EQ(missing.GetImage(), nullptr);
    }
    EXPECT_EQ(app.GetImage("missing.png", true), nullptr);
    app.PurgeSharedImages();
}

TEST_F(WindowAppTest, ImagesRegisterWithTheApplication) {
    WindowApp app(&mSettings);
    const int before = app.GetMemoryImageCount();
    {
        Velm::MemoryImage image(&app);
        EXPECT_EQ(app.GetMemoryImageCount(), before + 1);
    }
    EXPECT_EQ(app.GetMemoryImageCount(), before);
    // Without an image reader there is no image file.
    EXPECT_EQ(app.GetImage("anything.png", false), nullptr);
}

TEST_F(WindowAppTest, CopyImageTakesTheRectangle) {
    WindowApp app(&mSettings);
    Velm::MemoryImage source(&app);
    source.Create(4, 4);
    uint32_t* bits = source.GetBits();
    for (int i = 0; i < 16; ++i) bits[i] = 0xFF000000u | static_cast<uint32_t>(i);
    source.MarkBitsChanged();
    Velm::MemoryImage* copy = app.CopyImage(&source, Velm::Rect(1, 2, 2, 2));
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->width, 2);
    ASSERT_EQ(copy->height, 2);
    const uint32_t* out = copy->GetBits();
    EXPECT_EQ(out[0], 0xFF000009u);
    EXPECT_EQ(out[1], 0xFF00000Au);
    EXPECT_EQ(out[2], 0xFF00000Du);
    EXPECT_EQ(out[3], 0xFF00000Eu);
    delete copy;
    Velm::MemoryImage* whole = app.CopyImage(&source);
    EXPECT_EQ(whole->width, 4);
    delete whole;
}

TEST(ColourConversions, Rows) {
    struct Row {
        const char* why;
        bool toRgb;
        int a, b, c;
        uint32_t expected;
    };
    const Row rows[] = {
            {"grey 128 from no saturation", true, 0, 0, 128, 0xFF808080u},
            {"black", true, 0, 0, 0, 0xFF000000u},
            {"white", true, 100, 255, 255, 0xFFFFFFFFu},
            {"a warm brown", false, 200, 150, 100, 0xFF967815u},
            {"grey has no hue or saturation", false, 128, 128, 128, 0xFF800000u},
            {"pure red: saturation 256 stays 255, hue 256 is 0", false, 255, 0, 0, 0xFF7FFF00u},
            {"pure blue stays in its lanes", false, 0, 0, 255, 0xFF7FFFAAu},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const uint32_t got = row.toRgb ? Velm::VelmAppBase::HSLToRGB(row.a, row.b, row.c)
                                       : Velm::VelmAppBase::RGBToHSL(row.a, row.b, row.c);
        EXPECT_EQ(got, row.expected);
    }
}

// ---- Files, clipboard, links ----

TEST_F(WindowAppTest, WriteBytesCreatesFoldersAndReportsFailure) {
    WindowApp app(&mSettings);
    const std::string path = mDir.Path("new/folder/profile.dat");
    ASSERT_TRUE(app.WriteBytesToFile(path, "hello", 5));
    Velm::Buffer buffer;
    ASSERT_TRUE(app.ReadBufferFromFile(path, buffer));
    EXPECT_EQ(buffer.GetDataLen(), 5);
    EXPECT_TRUE(app.FileExists(path));
    EXPECT_FALSE(app.FileExists(mDir.Path("nothing.dat")));

    // A write that fails half-way (a full disk) says so and keeps the previous file.
    plat::SetAtomicWriteFaultForTests([]() { return false; });
    const std::string big(4096, 'x');
    EXPECT_FALSE(app.WriteBytesToFile(path, big.data(), static_cast<int>(big.size())));
    plat::SetAtomicWriteFaultForTests(nullptr);
    ASSERT_TRUE(app.ReadBufferFromFile(path, buffer));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.GetDataPtr()), buffer.GetDataLen()), "hello");

    // A folder part that is a file cannot hold the file.
    EXPECT_FALSE(app.WriteBytesToFile(path + "/inside.dat", "x", 1));

    Velm::Buffer out;
    out.WriteBytes("abc", 3);
    EXPECT_TRUE(app.WriteBufferToFile(mDir.Path("buffer.dat"), out));

    // An empty file reads as an empty buffer, successfully.
    ASSERT_TRUE(app.WriteBytesToFile(mDir.Path("empty.dat"), nullptr, 0));
    Velm::Buffer empty;
    empty.WriteBytes("old", 3);
    EXPECT_TRUE(app.ReadBufferFromFile(mDir.Path("empty.dat"), empty));
    EXPECT_EQ(empty.GetDataLen(), 0);
}

TEST_F(WindowAppTest, FilesOnlyInsideTheResourcePackExist) {
    const std::string name = "velmwindowtest" + std::to_string(ProcessTag()) + "\\onlyinpack.txt";
    std::string pack;
    ASSERT_TRUE(BuildPak({{name, "packed", 0}}, pack));
    ASSERT_TRUE(plat::WriteFileAtomic(mDir.Path("test.pak"), pack.data(), pack.size()));
    ASSERT_TRUE(GlobalPakInterface().AddPakFile(mDir.Path("test.pak")));
    WindowApp app(&mSettings);
    EXPECT_TRUE(app.FileExists(name));
    EXPECT_FALSE(plat::FileExists(name));
    Velm::Buffer buffer;
    ASSERT_TRUE(app.ReadBufferFromFile(name, buffer));
    EXPECT_EQ(buffer.GetDataLen(), 6);
}

TEST_F(WindowAppTest, FileServicesDuringPlaybackOfAClosedDemo) {
    WindowApp app(&mSettings);
    app.mPlayingDemo = true;
    app.mDemoIsClosed = true;
    Velm::Buffer buffer;
    EXPECT_FALSE(app.ReadBufferFromFile(mDir.Path("x"), buffer));
    EXPECT_TRUE(app.FileExists(mDir.Path("x")));
    EXPECT_TRUE(app.WriteBytesToFile(mDir.Path("x"), "a", 1));
    EXPECT_FALSE(plat::FileExists(mDir.Path("x")));
}

TEST_F(WindowAppTest, ClipboardRoundTripAbove127) {
    WindowApp app(&mSettings);
    const std::string text = "Na\xEFve \x80 \xE9t\xE9";
    app.CopyToClipboard(text);
    EXPECT_EQ(app.GetClipboardText(), text);
}

TEST_F(WindowAppTest, LinksOpenOnceAndFocusLossCountsAsSuccess) {
    std::vector<std::string> opened;
    plat::SetOpenLinkHandlerForTests([&](const std::string& link) {
        opened.push_back(link);
        return true;
    });
    {
        WindowApp app(&mSettings);
        app.OpenWindow();
        EXPECT_TRUE(app.OpenURL("http://example.com/", true));
        EXPECT_TRUE(app.OpenURL("http://example.com/", true));
        EXPECT_EQ(opened.size(), 1u);
        EXPECT_TRUE(app.mIsOpeningURL);
        // The browser takes the focus: success, and the run ends as asked.
        app.WindowProc(app.GetMainWindow(), plat::WM_ACTIVATEAPP, 0, 0);
        app.ProcessDeferredMessages(false);
        EXPECT_FALSE(app.mIsOpeningURL);
        EXPECT_TRUE(app.IsShutdown());
    }
    {
        WindowApp app(&mSettings);
        EXPECT_FALSE(app.OpenURL("file:///etc/passwd", false));
        EXPECT_FALSE(app.mIsOpeningURL);
    }
    {
        // Focus kept for 12 seconds of steady timer messages: the link failed.
        WindowApp app(&mSettings);
        app.OpenWindow();
        EXPECT_TRUE(app.OpenURL("https://example.com/", false));
        for (int i = 0; i < 1400 && app.mIsOpeningURL; ++i) {
            mClock.Advance(10);
            app.WindowProc(app.GetMainWindow(), plat::WM_TIMER, 100, 0);
            app.ProcessDeferredMessages(false);
        }
        EXPECT_FALSE(app.mIsOpeningURL);
        EXPECT_FALSE(app.IsShutdown());
    }
    plat::SetOpenLinkHandlerForTests(nullptr);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(WindowAppTest, ProductVersionOfFilesIsEmpty) {
    WindowApp app(&mSettings);
    app.mProductVersion = "1.2.3";
    EXPECT_EQ(app.GetProductVersion(""), "1.2.3");
    EXPECT_EQ(app.GetProductVersion(mDir.Path("some.dll")), "");
}

TEST_F(WindowAppTest, MessageBoxesNeverBlockHeadless) {
    const char* flag = std::getenv("VELM_NONINTERACTIVE");
    if (flag == nullptr || std::strcmp(flag, "1") != 0) GTEST_SKIP() << "needs VELM_NONINTERACTIVE=1 (set by ctest)";
    plat::SetMessageBoxHandlerForTests(nullptr);
    WindowApp app(&mSettings);
    EXPECT_EQ(app.MsgBox(std::string("Keep?"), std::string("Question"), plat::kMbYesNo | plat::kMbDefButton2),
              plat::kIdNo);
    app.Popup(std::string("not shown to anybody"));
}

// ---- Screen saver ----

TEST_F(WindowAppTest, SaverModeSwallowsThreeMovesAndTheFourthEnds) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.mIsScreenSaver = true;
    app.OpenWindow();
    void* window = app.GetMainWindow();
    for (int i = 1; i <= 3; ++i) {
        app.WindowProc(window, WM_MOUSEMOVE, 0, MakeLParam(i * 2, i));
        EXPECT_TRUE(app.GetDeferredMessages().empty());
    }
    // The same position again is no move.
    app.WindowProc(window, WM_MOUSEMOVE, 0, MakeLParam(6, 3));
    EXPECT_TRUE(app.GetDeferredMessages().empty());
    app.WindowProc(window, WM_MOUSEMOVE, 0, MakeLParam(50, 50));
    app.Pump();
    EXPECT_TRUE(app.IsShutdown());
    // Closing and switching away are swallowed by the saver.
    WindowApp other(&mSettings);
    other.mIsScreenSaver = true;
    EXPECT_EQ(other.WindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
}

TEST_F(WindowAppTest, SaverModeAfterMonitorPowerOffOnlyKeysEnd) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.mIsScreenSaver = true;
    app.OpenWindow();
    void* window = app.GetMainWindow();
    for (int i = 1; i <= 3; ++i) app.WindowProc(window, WM_MOUSEMOVE, 0, MakeLParam(i, i));
    app.WindowProc(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    app.WindowProc(window, WM_MOUSEMOVE, 0, MakeLParam(90, 90));
    app.WindowProc(window, WM_ACTIVATEAPP, 0, 0);
    app.Pump();
    EXPECT_FALSE(app.IsShutdown());
    app.WindowProc(window, WM_KEYDOWN, 'A', 0);
    app.Pump();
    EXPECT_TRUE(app.IsShutdown());
}

TEST_F(WindowAppTest, IdlePauseFollowsTheSystemSaverTimeout) {
    WindowApp app(&mSettings);
    app.OpenWindow();
    app.mSaverTimeout = 60;
    const uint32_t start = 500000;
    app.mLastUserInputTick = start;
    app.UpdateScreensaverState(start + 57000);
    EXPECT_FALSE(app.mScreensaverPaused);
    app.UpdateScreensaverState(start + 58001);
    EXPECT_TRUE(app.mScreensaverPaused);
    EXPECT_FALSE(app.DoUpdateFrames());
    // The user comes back: the next state update resumes with a full redraw.
    app.mLastTimerTime = start + 59000;
    app.WindowProc(app.GetMainWindow(), plat::WM_KEYDOWN, 'A', 0);
    app.ProcessDeferredMessages(false);
    app.mRecorder.mDirty = false;
    app.UpdateScreensaverState(start + 59500);
    EXPECT_FALSE(app.mScreensaverPaused);
    EXPECT_TRUE(app.mRecorder.mDirty);

    // A full-screen run never pauses.
    WindowApp fullScreen(&mSettings);
    fullScreen.mSaverTimeout = 60;
    fullScreen.mIsPhysWindowed = false;
    fullScreen.mLastUserInputTick = start;
    fullScreen.UpdateScreensaverState(start + 200000);
    EXPECT_FALSE(fullScreen.mScreensaverPaused);

    // Without a system saver (this platform) nothing pauses.
    WindowApp plain(&mSettings);
    plain.mLastUserInputTick = start;
    plain.UpdateScreensaverState(start + 200000);
    EXPECT_FALSE(plain.mScreensaverPaused);
}

TEST_F(WindowAppTest, FirstSaverLogLineOfARunTruncatesTheFile) {
    const std::string previous = plat::CurrentDirectory();
    ASSERT_TRUE(plat::SetCurrentFolder(mDir.Path()));
    {
        std::ofstream old(mDir.Path("ScrError.txt"));
        old << "from an earlier run\n";
    }
    {
        WindowApp app(&mSettings);
        app.LogScreenSaverError("first");
        app.LogScreenSaverError("second");
    }
    plat::SetCurrentFolder(previous);
    std::ifstream in(mDir.Path("ScrError.txt"));
    std::stringstream text;
    text << in.rdbuf();
    const std::string log = text.str();
    EXPECT_EQ(log.find("earlier"), std::string::npos);
    EXPECT_EQ(log.find("first "), 0u);
    EXPECT_NE(log.find("\nsecond "), std::string::npos);
}

}  // namespace
