// The main window's input: system events through the window procedure and the deferred
// queue into the widget manager, the queue's filter, and the replay's special keys.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/SyntheticInput.h"
#include "platform/Window.h"
#include "tests/app/WindowTestSupport.h"

namespace {

using namespace windowtest;
using plat::SyntheticWindowEvent;

struct InputCase {
    const char* why;
    std::function<void(const plat::Window&)> input;
    std::vector<std::string> calls;  // what the focused widget receives, in order
    bool closed;                     // the run ends (CloseRequested, then Shutdown)
    bool windowedAfter;
};

TEST_F(WindowAppTest, SystemEventsReachTheWidgetManager) {
    // clang-format off
    const InputCase cases[] = {
            {"a letter: key down, its character, key up",
             [](const plat::Window& w) {
                 plat::SynthesizeKey(w, 'A', true, false, false);
                 plat::SynthesizeText("a");
                 plat::SynthesizeKey(w, 'A', false, false, false);
             },
             {"key 65", "char 97", "keyup 65"}, false, true},
            {"ctrl+c gives character 3 after its key",
             [](const plat::Window& w) {
                 plat::SynthesizeKey(w, plat::VK_CONTROL, true, true, false);
                 plat::SynthesizeKey(w, 'C', true, true, false);
             },
             {"key 17", "key 67", "char 3"}, false, true},
            {"backspace and escape bring their control characters",
             [](const plat::Window& w) {
                 plat::SynthesizeKey(w, plat::VK_BACK, true, false, false);
                 plat::SynthesizeKey(w, plat::VK_ESCAPE, true, false, false);
             },
             {"key 8", "char 8", "key 27", "char 27"}, false, true},
            {"text above 127 arrives as Windows-1252",
             [](const plat::Window&) { plat::SynthesizeText("\xE9\x80"); },
             {"char 233", "char 128"}, false, true},
            {"a click at the pointer",
             [](const plat::Window& w) {
                 plat::SynthesizeMouseMove(w, 10, 20);
                 plat::SynthesizeButton(w, 1, true, 1, 10, 20);
                 plat::SynthesizeButton(w, 1, false, 1, 10, 20);
             },
             {"down 10,20 1", "up 10,20 1"}, false, true},
            {"double clicks: left 2, right -2; a middle double click is not queued",
             [](const plat::Window& w) {
                 plat::SynthesizeButton(w, 1, true, 2, 5, 6);
                 plat::SynthesizeButton(w, 3, true, 2, 5, 6);
                 plat::SynthesizeButton(w, 2, true, 2, 5, 6);
                 plat::SynthesizeButton(w, 2, true, 1, 5, 6);
             },
             {"down 5,6 2", "down 5,6 -2", "down 5,6 3"}, false, true},
            {"the wheel in notches",
             [](const plat::Window& w) {
                 plat::SynthesizeWheel(w, 1);
                 plat::SynthesizeWheel(w, -2);
             },
             {"wheel 1", "wheel -2"}, false, true},
            {"closing the window asks and ends the run",
             [](const plat::Window& w) { plat::SynthesizeWindowEvent(w, SyntheticWindowEvent::Close); },
             {}, true, true},
            {"alt+f4 closes through the close request",
             [](const plat::Window& w) { plat::SynthesizeKey(w, plat::VK_F4, true, false, true); },
             {"key 115"}, true, true},
            {"another alt key reaches the widgets but closes nothing",
             [](const plat::Window& w) { plat::SynthesizeKey(w, 'X', true, false, true); },
             {"key 88"}, false, true},
            {"alt+enter switches to full screen and goes no further",
             [](const plat::Window& w) { plat::SynthesizeKey(w, plat::VK_RETURN, true, false, true); },
             {}, false, false},
    };
    // clang-format on
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.why);
        WindowApp app(&mSettings);
        app.OpenWindow();
        ASSERT_NE(app.GetMainWindow(), nullptr);
        app.Pump();
        app.mRecorder.mCalls.clear();
        c.input(*app.GetMainWindow());
        app.Pump();
        EXPECT_EQ(app.mRecorder.mCalls, c.calls);
        EXPECT_EQ(app.mCloseRequests, c.closed ? 1 : 0);
        EXPECT_EQ(app.IsShutdown(), c.closed);
        EXPECT_EQ(app.mIsWindowed, c.windowedAfter);
        EXPECT_EQ(app.mIsPhysWindowed, c.windowedAfter);
    }
}

TEST_F(WindowAppTest, FocusLossAndReturnMakeTheApplicationInactiveAndActive) {
    WindowApp app(&mSettings);
    app.OpenWindow();
    app.Pump();
    ASSERT_TRUE(app.mActive);
    plat::SynthesizeWindowEvent(*app.GetMainWindow(), SyntheticWindowEvent::FocusLost);
    app.Pump();
    EXPECT_FALSE(app.mHasFocus);
    EXPECT_FALSE(app.mActive);
    EXPECT_TRUE(app.IsMuted());
    plat::SynthesizeWindowEvent(*app.GetMainWindow(), SyntheticWindowEvent::FocusGained);
    app.Pump();
    EXPECT_TRUE(app.mActive);
    EXPECT_FALSE(app.IsMuted());
    // Minimised is inactive too, and restoring makes it active again.
    plat::SynthesizeWindowEvent(*app.GetMainWindow(), SyntheticWindowEvent::Minimized);
    app.Pump();
    EXPECT_TRUE(app.mMinimized);
    EXPECT_FALSE(app.mActive);
    plat::SynthesizeWindowEvent(*app.GetMainWindow(), SyntheticWindowEvent::Restored);
    app.Pump();
    EXPECT_FALSE(app.mMinimized);
    EXPECT_TRUE(app.mActive);
}

TEST_F(WindowAppTest, MaximisingSwitchesToFullScreen) {
    WindowApp app(&mSettings);
    app.OpenWindow();
    app.Pump();
    plat::SynthesizeWindowEvent(*app.GetMainWindow(), SyntheticWindowEvent::Maximized);
    app.Pump();
    EXPECT_FALSE(app.mIsWindowed);
    EXPECT_FALSE(app.mIsPhysWindowed);
    ASSERT_NE(app.GetMainWindow(), nullptr);
    EXPECT_TRUE(app.GetMainWindow()->IsFullScreen());
}

struct Msg {
    uint32_t message;
    uint32_t wParam;
};

struct FilterCase {
    const char* why;
    std::vector<Msg> sent;
    std::vector<uint32_t> queued;
    bool popupOpen;
    int filteredKey;
};

TEST_F(WindowAppTest, QueueFilter) {
    using namespace plat;
    // clang-format off
    const FilterCase cases[] = {
            {"two timers in a row are queued once; a third after a key is queued again",
             {{WM_TIMER, 100}, {WM_TIMER, 100}, {WM_KEYDOWN, 'A'}, {WM_TIMER, 100}},
             {WM_TIMER, WM_KEYDOWN, WM_TIMER}, false, -1},
            {"nothing is queued after a close",
             {{WM_CLOSE, 0}, {WM_KEYDOWN, 'A'}, {WM_TIMER, 100}, {WM_MOUSEMOVE, 0}},
             {WM_CLOSE}, false, -1},
            {"one colour or display change waits at a time",
             {{WM_SYSCOLORCHANGE, 0}, {WM_KEYDOWN, 'A'}, {WM_DISPLAYCHANGE, 0}, {WM_SYSCOLORCHANGE, 0}},
             {WM_SYSCOLORCHANGE, WM_KEYDOWN}, false, -1},
            {"a middle double click and messages answered at once are not queued",
             {{WM_MBUTTONDBLCLK, 0}, {WM_PAINT, 0}, {WM_SYSCHAR, 13}, {WM_SETCURSOR, 0}},
             {}, false, -1},
            {"input and state messages are queued",
             {{WM_MOVE, 0}, {WM_SIZE, 0}, {WM_ACTIVATEAPP, 1}, {WM_KEYUP, 'A'}, {WM_CHAR, 'a'},
              {WM_SYSKEYDOWN, 'X'}, {WM_SYSKEYUP, 'X'}, {WM_LBUTTONDOWN, 0}, {WM_RBUTTONDBLCLK, 0},
              {WM_MBUTTONUP, 0}, {WM_MOUSEWHEEL, 0}},
             {WM_MOVE, WM_SIZE, WM_ACTIVATEAPP, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDOWN,
              WM_RBUTTONDBLCLK, WM_MBUTTONUP, WM_MOUSEWHEEL},
             false, -1},
            {"while a message box is open nothing is queued",
             {{WM_KEYDOWN, 'A'}, {WM_LBUTTONDOWN, 0}},
             {}, true, -1},
            {"a key the application filters is swallowed",
             {{WM_KEYDOWN, 'Q'}, {WM_KEYDOWN, 'R'}},
             {WM_KEYDOWN}, false, 'Q'},
    };
    // clang-format on
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.why);
        WindowApp app(&mSettings);
        app.mPopupOpen = c.popupOpen;
        app.mFilteredKey = c.filteredKey;
        for (const Msg& m : c.sent) app.WindowProc(nullptr, m.message, m.wParam, 0);
        std::vector<uint32_t> queued;
        for (const Velm::VelmAppBase::DeferredMessage& record : app.GetDeferredMessages())
            queued.push_back(record.message);
        EXPECT_EQ(queued, c.queued);
    }
}

TEST_F(WindowAppTest, CtrlAndAltAreTrackedForTheKeyFilter) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.WindowProc(nullptr, WM_KEYDOWN, VK_CONTROL, 0);
    app.WindowProc(nullptr, WM_SYSKEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(app.mCtrlDown);
    EXPECT_TRUE(app.mAltDown);
    app.WindowProc(nullptr, WM_SYSKEYUP, VK_MENU, 0);
    app.WindowProc(nullptr, WM_KEYUP, VK_CONTROL, 0);
    EXPECT_FALSE(app.mCtrlDown);
    EXPECT_FALSE(app.mAltDown);
}

TEST_F(WindowAppTest, RightDoubleClickIsMinusTwoAndRecordedAsCodeSix) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.mRecorder.Resize(0, 0, 320, 240);
    app.GetWidgetManager()->AddWidget(&app.mRecorder);
    app.mRecordingDemo = true;
    app.WindowProc(nullptr, WM_RBUTTONDBLCLK, 0, MakeLParam(3, 4));
    app.ProcessDeferredMessages(false);
    ASSERT_EQ(app.mRecorder.mCalls.size(), 1u);
    EXPECT_EQ(app.mRecorder.mCalls[0], "down 3,4 -2");

    // A move by (3, 4) as a mouse record, then the button record.
    Velm::Buffer& demo = app.mDemoBuffer;
    EXPECT_EQ(demo.ReadNumBits(4, false), 0);  // timing block: no updates since the start
    EXPECT_EQ(demo.ReadNumBits(1, false), 1);  // mouse record
    EXPECT_EQ(demo.ReadNumBits(1, false), 0);  // move by delta
    EXPECT_EQ(demo.ReadNumBits(6, true), 3);
    EXPECT_EQ(demo.ReadNumBits(6, true), 4);
    EXPECT_EQ(demo.ReadNumBits(4, false), 0);
    EXPECT_EQ(demo.ReadNumBits(1, false), 1);  // mouse record
    EXPECT_EQ(demo.ReadNumBits(1, false), 1);  // button
    EXPECT_EQ(demo.ReadNumBits(1, false), 1);  // down
    EXPECT_EQ(demo.ReadNumBits(3, false), 6);  // right double
}

TEST_F(WindowAppTest, DuringPlaybackLiveInputIsQueuedButNeverReachesTheWidgets) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.mRecorder.Resize(0, 0, 320, 240);
    app.GetWidgetManager()->AddWidget(&app.mRecorder);
    app.GetWidgetManager()->SetFocus(&app.mRecorder);
    app.mPlayingDemo = true;
    app.WindowProc(nullptr, WM_KEYDOWN, 'A', 0);
    app.WindowProc(nullptr, WM_LBUTTONDOWN, 0, MakeLParam(1, 1));
    EXPECT_EQ(app.GetDeferredMessages().size(), 2u);
    app.ProcessDeferredMessages(false);
    EXPECT_TRUE(app.mRecorder.mCalls.empty());
    EXPECT_TRUE(app.GetDeferredMessages().empty());
}

TEST_F(WindowAppTest, ReplayingOneMessageAtATime) {
    using namespace plat;
    WindowApp app(&mSettings);
    app.WindowProc(nullptr, WM_KEYDOWN, 'A', 0);
    app.WindowProc(nullptr, WM_KEYUP, 'A', 0);
    EXPECT_FALSE(app.ProcessDeferredMessages(true));
    EXPECT_TRUE(app.ProcessDeferredMessages(true));
}

TEST_F(WindowAppTest, MainWindowIsPlacedInsideTheWorkArea) {
    WindowApp app(&mSettings);
    app.mPreferredX = 100000;  // far off the desktop
    app.mPreferredY = 100000;
    app.OpenWindow();
    ASSERT_NE(app.GetMainWindow(), nullptr);
    plat::ScreenRect work;
    ASSERT_TRUE(plat::GetWorkArea(&work));
    int x = 0;
    int y = 0;
    app.GetMainWindow()->GetClientOrigin(&x, &y);
    EXPECT_LE(x + 320, work.x + work.width);
    EXPECT_LE(y + 240, work.y + work.height);
    EXPECT_GE(x, work.x);
}

}  // namespace
