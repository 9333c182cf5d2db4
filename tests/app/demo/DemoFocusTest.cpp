// The focus at the display's set-up in a recorded and a played run. A window may have no focus
// without the application ever being told (an X server without a window manager gives none):
// a recording keeps the focus it found as a command of its own, and a played run takes the
// focus from its demo, not from its window.

#include <gtest/gtest.h>

#include "platform/SyntheticInput.h"
#include "platform/Window.h"
#include "tests/app/demo/DemoTestSupport.h"

namespace {

class FocusApp : public demotest::StreamApp {
public:
    explicit FocusApp(plat::Settings* settings) : demotest::StreamApp(settings) {
        mUseFakeDisplay = true;
        OpenWindow();
        BecomeMainThread();
    }

    using VelmAppBase::FinishDisplaySetup;

    // The window loses the focus and the application is not told.
    void LoseWindowFocusUntold() {
        const bool known = mHasFocus;
        plat::SynthesizeWindowEvent(*GetMainWindow(), plat::SyntheticWindowEvent::FocusLost);
        PumpWindowMessages();
        mDeferredMessages.clear();
        mHasFocus = known;
    }
};

class DemoFocusTest : public windowtest::WindowAppTest {};

TEST_F(DemoFocusTest, PlayedRunTakesTheFocusOfItsRecording) {
    struct Case {
        const char* why;
        bool recordedWindowHasFocus;
        bool playedWindowHasFocus;
        bool playedFocus;  // the played run's focus after the set-up and the demo's commands
    };
    const Case cases[] = {
            {"recorded without focus, played with it", false, true, false},
            {"recorded with focus, played without it", true, false, true},
            {"both with focus", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FocusApp recorder(&mSettings);
        ASSERT_NE(recorder.GetMainWindow(), nullptr);
        recorder.mRecordingDemo = true;
        if (!c.recordedWindowHasFocus) recorder.LoseWindowFocusUntold();
        ASSERT_EQ(recorder.GetMainWindow()->HasFocus(), c.recordedWindowHasFocus);
        recorder.FinishDisplaySetup();
        EXPECT_EQ(recorder.mHasFocus, c.recordedWindowHasFocus);
        recorder.WriteDemoCommand(9);

        FocusApp player(&mSettings);
        recorder.HandOver(player);
        if (!c.playedWindowHasFocus) player.LoseWindowFocusUntold();
        ASSERT_EQ(player.GetMainWindow()->HasFocus(), c.playedWindowHasFocus);
        player.FinishDisplaySetup();
        player.PlayDemoCommands();
        EXPECT_EQ(player.mDemoError, "");
        EXPECT_TRUE(player.mDemoLoadingComplete);
        EXPECT_EQ(player.mHasFocus, c.playedFocus);
    }
}

}  // namespace
