// The application with its real display device: what the widgets draw reaches the window,
// through screen-mode switches; and the destructor's confirmation of the 3D choice.

#include "app/AppDisplay.h"

#include <gtest/gtest.h>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/NativePixelFormat.h"
#include "tests/app/AppDisplayTestSupport.h"
#include "widgets/WidgetFlags.h"

namespace displaytest {
namespace {

TEST_F(DisplayAppTest, SoftwareFrameReachesTheWindow) {
    DisplayApp app(&mSettings, mDir.Path());
    app.Init();
    ASSERT_NE(app.GetMainWindow(), nullptr);
    auto* display = dynamic_cast<Velm::AppDisplay*>(app.GetDisplay());
    ASSERT_NE(display, nullptr);
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_NE(mLog.Text().find("Draw buffer is        320 x  240 [ 4: 3]"), std::string::npos) << mLog.Text();

    // Widgets draw into the device's screen image; images are made on the device.
    Velm::DDImage* screen = display->GetDDInterface().GetScreenImage();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(app.GetWidgetManager()->mImage, static_cast<Velm::Image*>(screen));
    app.ShowScene();
    EXPECT_NE(dynamic_cast<Velm::DDImage*>(app.mPicture), nullptr);
    const Velm::NativePixelFormat* format = app.GetDisplayPixelFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->bitsPerPixel, 32);

    const std::vector<uint32_t> shown = app.DrawAndReadBack();
    EXPECT_FALSE(app.mDisplayLost);
    if (shown.empty()) GTEST_SKIP() << "the window cannot be read back here";
    ExpectScene(shown, app.mWidth);
    // The software fill writes the colour exactly.
    EXPECT_EQ(shown[5 * app.mWidth + 5] & 0xFFFFFF, Rgb(kBackground));
    EXPECT_TRUE(mBoxes.empty());
}

TEST_F(DisplayAppTest, ScreenModeSwitchesKeepDrawing) {
    DisplayApp app(&mSettings, mDir.Path());
    app.Init();
    app.ShowScene();
    app.DrawAndReadBack();

    struct Step {
        const char* why;
        int mode;  // 0 the same mode again (forced), 1 full screen, 2 windowed
        bool windowed;
    };
    const Step steps[] = {
            {"the same mode again re-creates the window", 0, true},
            {"to full screen", 1, false},
            {"back to a window", 2, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.why);
        if (step.mode == 0)
            app.SwitchScreenMode();
        else
            app.SwitchScreenMode(step.mode == 2);
        ASSERT_NE(app.GetMainWindow(), nullptr);
        EXPECT_EQ(app.mIsWindowed, step.windowed);
        EXPECT_EQ(app.GetMainWindow()->IsFullScreen(), !step.windowed);
        // Every set-up makes a new screen image, and the widget manager draws into it.
        auto* display = dynamic_cast<Velm::AppDisplay*>(app.GetDisplay());
        ASSERT_NE(display, nullptr);
        EXPECT_EQ(app.GetWidgetManager()->mImage,
                  static_cast<Velm::Image*>(display->GetDDInterface().GetScreenImage()));
        EXPECT_EQ(display->GetDDInterface().mIsWindowed, step.windowed);
        const std::vector<uint32_t> shown = app.DrawAndReadBack();
        EXPECT_FALSE(app.mDisplayLost);
        // The windowed frame is the client area itself; full screen is scaled to the desktop.
        if (step.windowed && !shown.empty()) ExpectScene(shown, app.mWidth);
    }
    EXPECT_TRUE(mBoxes.empty());
}

// The mouse is remapped from where the window shows the frame to the logical screen.
TEST_F(DisplayAppTest, PresentationRectIsWhereTheWindowShowsTheFrame) {
    DisplayApp app(&mSettings, mDir.Path());
    app.Init();
    app.ShowScene();
    app.DrawAndReadBack();
    const Velm::Rect place = app.GetDisplay()->GetPresentationRect();
    const plat::ScreenRect shown = app.GetMainWindow()->PresentationRect(app.mWidth, app.mHeight);
    EXPECT_EQ(place, Velm::Rect(shown.x, shown.y, shown.width, shown.height));
    EXPECT_EQ(app.GetDisplay()->GetDrawWidth(), 320);
    EXPECT_EQ(app.GetDisplay()->GetDrawHeight(), 240);
}

// ---- Frame pacing ----

// Presents that do not wait for the vertical blank show no more frames than the display
// refreshes (60 Hz here: a frame every 16 ms) where something moves at every update (100 a
// second); presents that wait are paced by the display.
TEST_F(DisplayAppTest, FramesFollowTheRefreshWhenPresentsDoNotWait) {
    struct Case {
        const char* why;
        bool vsyncBroken;
        bool waitForVSync;
        int minFrames;
        int maxFrames;
    };
    const Case cases[] = {
            {"a display that cannot wait", true, true, 55, 63},
            {"a window told not to wait", false, false, 55, 63},
            // The dummy display's presents return at once: a frame after every update.
            {"presents that wait", false, true, 95, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DisplayApp app(&mSettings, mDir.Path());
        app.Init();
        app.ShowScene();
        app.mScene.mWidgetFlagsMod.addFlags |= Velm::WIDGETFLAGS_UPDATE | Velm::WIDGETFLAGS_MARK_DIRTY;
        app.mVSyncUpdates = false;
        app.mVSyncBroken = c.vsyncBroken;
        app.mWaitForVSync = c.waitForVSync;
        app.mSoftVSyncWait = false;
        app.UpdateAppStep(nullptr);
        const int before = app.mPresentCount.load();
        const uint64_t start = plat::NowMs();
        for (int step = 0; step < 100000 && plat::NowMs() < start + 1000; ++step) app.UpdateAppStep(nullptr);
        const int frames = app.mPresentCount.load() - before;
        EXPECT_GE(frames, c.minFrames);
        EXPECT_LE(frames, c.maxFrames);
    }
}

// ---- The destructor's confirmation of the 3D choice ----

struct Script {
    bool is3D = false;
    bool testRan = false;
    bool warned = false;
    bool drawFailure = false;
};

// A display whose 3D state comes from the script (and whose 3D switch writes back to it).
class ScriptedDisplay : public Velm::DisplaySetup {
public:
    ScriptedDisplay(Velm::VelmAppBase* app, Script* script) : mApp(app), mScript(script) {}
    ~ScriptedDisplay() override { delete mScreen; }

    int Init(plat::Window*, bool) override {
        if (mScreen == nullptr) {
            mScreen = new Velm::MemoryImage(mApp);
            mScreen->Create(mApp->GetWidth(), mApp->GetHeight());
        }
        return Velm::RESULT_OK;
    }
    bool Redraw(const Velm::Rect*) override { return true; }
    Velm::MemoryImage* GetScreenImage() override { return mScreen; }
    int GetDrawWidth() override { return mApp->GetWidth(); }
    int GetDrawHeight() override { return mApp->GetHeight(); }
    Velm::Rect GetPresentationRect() override { return Velm::Rect(0, 0, mApp->GetWidth(), mApp->GetHeight()); }
    std::string LastError() override { return ""; }
    bool Is3D() override { return mScript->is3D; }
    void Set3D(bool on) override { mScript->is3D = on; }
    bool Test3DRan() override { return mScript->testRan; }
    bool Test3DWarned() override { return mScript->warned; }
    bool Has3DDrawFailure() override { return mScript->drawFailure; }
    Velm::MemoryImage* NewImage() override { return new Velm::MemoryImage(mApp); }

private:
    Velm::VelmAppBase* mApp;
    Script* mScript;
    Velm::MemoryImage* mScreen = nullptr;
};

class ConfirmApp : public DisplayApp {
public:
    ConfirmApp(plat::Settings* settings, const std::string& folder, Script* script)
            : DisplayApp(settings, folder), mScript(script) {}
    Velm::DisplaySetup* CreateDisplay() override { return new ScriptedDisplay(this, mScript); }
    Script* mScript;
};

TEST_F(DisplayAppTest, DestructorConfirmsThe3DChoice) {
    const int kNone = -1;
    struct Row {
        const char* why;
        bool userChanged;
        int stored;  // "Is3D" before the end, kNone for no value
        bool testRan;
        bool warned;
        bool is3D;
        bool drawFailure;
        bool screenSaver;
        int answer;
        const char* question;  // a phrase of the one question asked, null for none
        bool is3DAfter;
        int storedAfter;
    };
    const char* kSwitchedOn = "was switched on during this session";
    const char* kNotWorking = "may not have been working correctly";
    const Row rows[] = {
            {"switched on, no value, no test: \"no\" turns 3D off and writes nothing", true, kNone, false, false, true,
             false, false, plat::kIdNo, kSwitchedOn, false, kNone},
            {"switched on, no value, no test: \"yes\" keeps 3D and writes 1", true, kNone, false, false, true, false,
             false, plat::kIdYes, kSwitchedOn, true, 1},
            {"a test with a warning does not recommend 3D either", true, kNone, true, true, true, false, false,
             plat::kIdNo, kSwitchedOn, false, kNone},
            {"switched off without a value: no question, nothing written", true, kNone, false, false, false, false,
             false, plat::kIdYes, nullptr, false, kNone},
            {"a stored value is overwritten with the 3D flag", true, 0, false, false, true, false, false, plat::kIdNo,
             nullptr, true, 1},
            {"a recommended card: the 3D flag is written", true, kNone, true, false, false, false, false, plat::kIdNo,
             nullptr, false, 0},
            {"not switched by the user: nothing to confirm", false, kNone, false, false, true, false, false,
             plat::kIdNo, nullptr, true, kNone},
            {"a drawing failure asks the second question; \"no\" writes 0", false, 1, true, false, true, true, false,
             plat::kIdNo, kNotWorking, true, 0},
            {"a drawing failure answered \"yes\" writes nothing", false, 1, true, false, true, true, false,
             plat::kIdYes, kNotWorking, true, 1},
            {"no second question after the first", true, kNone, false, false, true, true, false, plat::kIdYes,
             kSwitchedOn, true, 1},
            {"no second question in screen-saver mode", false, kNone, false, false, true, true, true, plat::kIdNo,
             nullptr, true, kNone},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        mBoxes.clear();
        mBoxTypes.clear();
        mAnswers = {row.answer};
        Script script;
        std::string key;
        {
            ConfirmApp app(&mSettings, mDir.Path(), &script);
            app.mProductName += "_" + std::to_string(++index);
            app.mRegKey = "VelmTest\\" + app.mProductName;
            app.mCompanyDisplayName = "Velm Games";
            key = app.Key();
            if (row.stored != kNone) mSettings.SetDword(key, "Is3D", static_cast<uint32_t>(row.stored));
            app.ChooseScreenMode();
            app.MakeWindow();
            script = Script{row.is3D, row.testRan, row.warned, row.drawFailure};
            app.mUserChanged3D = row.userChanged;
            app.mIsScreenSaver = row.screenSaver;
        }
        if (row.question == nullptr) {
            EXPECT_TRUE(mBoxes.empty()) << (mBoxes.empty() ? "" : mBoxes[0]);
        } else {
            ASSERT_EQ(mBoxes.size(), 1u);
            EXPECT_EQ(mBoxes[0].rfind("Velm Games Hardware Acceleration Confirmation: ", 0), 0u) << mBoxes[0];
            EXPECT_NE(mBoxes[0].find(row.question), std::string::npos) << mBoxes[0];
            EXPECT_EQ(mBoxTypes[0], plat::kMbYesNo | plat::kMbIconQuestion);
        }
        EXPECT_EQ(script.is3D, row.is3DAfter);
        uint32_t stored = 0;
        const bool present = mSettings.GetDword(key, "Is3D", &stored);
        EXPECT_EQ(present, row.storedAfter != kNone);
        if (present && row.storedAfter != kNone) {
            EXPECT_EQ(stored, static_cast<uint32_t>(row.storedAfter));
        }
    }
}

}  // namespace
}  // namespace displaytest
