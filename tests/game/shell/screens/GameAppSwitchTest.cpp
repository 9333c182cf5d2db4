// Screen switching of the game application: every switch code with stand-in screens, the
// ice cover's timing, going back, refused switches and the message-box id.

#include <gtest/gtest.h>

#include <algorithm>

#include "game/shell/screens/IceWidget.h"
#include "game/shell/ui/MessageDialog.h"
#include "tests/game/shell/screens/GameAppTestSupport.h"
#include "tests/game/shell/screens/MenuTestFiles.h"
#include "widgets/WidgetManager.h"

namespace {

using gameapptest::CallLog;
using gameapptest::ContentFolderScope;
using gameapptest::RecordingScreen;
using gameapptest::TestGameApp;
using Velm::GameApp;
using Velm::GameScreenId;

constexpr int kTitle = -1;

bool InManager(GameApp& app, Velm::Widget* widget) { return app.GetWidgetManager()->HasWidget(widget); }

Velm::BaseDialogWidget* Screen(GameApp& app, int id) {
    return id == kTitle ? app.GetTitleScreen() : app.GetScreen(static_cast<GameScreenId>(id));
}

// Runs the ice cover to its end; the number of updates it took.
int RunIce(GameApp& app) {
    int updates = 0;
    while (!app.GetIce()->IsFinished() && updates < 1000) {
        app.GetIce()->Update();
        ++updates;
    }
    return updates;
}

class GameAppSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        mApp = std::make_unique<TestGameApp>(&mLog);
        mApp->BuildTitleScreen();
        ASSERT_TRUE(mApp->BuildScreens());
    }
    void TearDown() override { mApp.reset(); }

    ContentFolderScope mContent;
    CallLog mLog;
    std::unique_ptr<TestGameApp> mApp;
};

struct SwitchCase {
    int code;
    int leave;
    int show;
    int showArgument;  // -1: not set by the switch
};

#define S(x) static_cast<int>(GameScreenId::x)
const SwitchCase kSwitches[] = {
        {2, S(MainMenu), S(HighScores), 0}, {3, S(HighScores), S(MainMenu), -1},  {4, S(GameOver), S(HighScores), -1},
        {7, S(MainMenu), S(Board), -1},     {8, S(Board), S(MainMenu), -1},       {13, kTitle, S(MainMenu), -1},
        {14, S(Board), S(Map), 1},          {15, S(Map), S(Board), -1},           {16, S(Map), S(MainMenu), -1},
        {17, S(MainMenu), S(Map), 0},       {18, S(MainMenu), S(SimpleList), -1}, {19, S(SimpleList), S(MainMenu), -1},
        {20, S(SimpleList), S(Board), -1},  {21, S(Board), S(SimpleList), -1},    {25, S(Board), S(GameOver), -1},
        {26, S(GameOver), S(MainMenu), -1}, {27, S(MainMenu), S(Comix), -1},      {28, S(Comix), S(Map), -1},
};
#undef S

// A screen id the loading thread did not build would make every switch to it do nothing.
TEST_F(GameAppSwitchTest, EveryScreenIdIsBuiltWithTheIceCover) {
    for (int id = 0; id < static_cast<int>(GameScreenId::Count); ++id) {
        SCOPED_TRACE("screen " + std::to_string(id));
        Velm::BaseDialogWidget* screen = Screen(*mApp, id);
        ASSERT_NE(screen, nullptr);
        EXPECT_FALSE(screen->mVisible);
    }
    EXPECT_NE(mApp->GetIce(), nullptr);
    EXPECT_TRUE(mApp->AreScreensBuilt());
}

TEST_F(GameAppSwitchTest, EverySwitchCodeLeavesAndShowsItsScreens) {
    for (const SwitchCase& c : kSwitches) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        Velm::BaseDialogWidget* leave = Screen(*mApp, c.leave);
        Velm::BaseDialogWidget* show = Screen(*mApp, c.show);
        // The screen to leave is the one on show.
        mApp->GetWidgetManager()->AddWidget(leave);
        leave->SetVisible(true);
        show->mShowArgument = 77;
        show->mSpare2 = 77;
        mLog.clear();

        mApp->SwitchScreen(c.code);
        EXPECT_EQ(mApp->switchCode, c.code);
        EXPECT_EQ(mApp->screenToLeave, leave);
        EXPECT_EQ(mApp->screenToShow, show);
        EXPECT_FALSE(leave->mVisible);
        EXPECT_FALSE(InManager(*mApp, leave));
        if (c.code != Velm::ScreenSwitch::kTitleToMain) {
            // Covering: the new screen waits hidden outside the tree under the running cover.
            EXPECT_FALSE(show->mVisible);
            EXPECT_FALSE(InManager(*mApp, show));
            EXPECT_TRUE(InManager(*mApp, mApp->GetIce()));
            RunIce(*mApp);
        }
        EXPECT_TRUE(show->mVisible);
        EXPECT_TRUE(InManager(*mApp, show));
        EXPECT_FALSE(InManager(*mApp, mApp->GetIce()));
        EXPECT_EQ(show->mShowArgument, c.showArgument < 0 ? 77 : c.showArgument);
        EXPECT_EQ(show->mSpare2, c.code == Velm::ScreenSwitch::kMainToHighScores ? 0 : 77);
        const std::string shown =
                static_cast<RecordingScreen*>(show)->mName + " shown " + std::to_string(show->mShowArgument);
        EXPECT_EQ(std::count(mLog.begin(), mLog.end(), shown), 1);
        mApp->GetWidgetManager()->RemoveWidget(show);
        show->SetVisible(false);
    }
}

TEST_F(GameAppSwitchTest, BackSwapsThePreviousPairEachTime) {
    auto* main = mApp->GetScreen(GameScreenId::MainMenu);
    auto* scores = mApp->GetScreen(GameScreenId::HighScores);
    mApp->SwitchScreen(Velm::ScreenSwitch::kMainToHighScores);
    RunIce(*mApp);
    mApp->SwitchScreen(Velm::ScreenSwitch::kBack);
    EXPECT_EQ(mApp->switchCode, Velm::ScreenSwitch::kBack);
    EXPECT_EQ(mApp->screenToShow, main);
    EXPECT_EQ(mApp->screenToLeave, scores);
    RunIce(*mApp);
    EXPECT_TRUE(InManager(*mApp, main));
    EXPECT_FALSE(InManager(*mApp, scores));
    mApp->SwitchScreen(Velm::ScreenSwitch::kBack);
    RunIce(*mApp);
    EXPECT_EQ(mApp->screenToShow, scores);
    EXPECT_TRUE(InManager(*mApp, scores));
    EXPECT_FALSE(InManager(*mApp, main));
}

TEST_F(GameAppSwitchTest, TitleToMainRunsBothCoverCallbacksAtOnceWithoutTheCover) {
    mLog.clear();
    mApp->SwitchScreen(Velm::ScreenSwitch::kTitleToMain);
    EXPECT_FALSE(InManager(*mApp, mApp->GetIce()));
    EXPECT_EQ(mApp->GetIce()->GetTicks(), 0);
    const CallLog expected = {"main started 0", "main shown 0", "title hidden"};
    EXPECT_EQ(mLog, expected);
    EXPECT_EQ(mApp->GetWidgetManager()->mFocusWidget, mApp->GetScreen(GameScreenId::MainMenu));
}

TEST_F(GameAppSwitchTest, TheCoverTakesEightyFiveUpdatesEachWayWithEachCallbackOnce) {
    mApp->SwitchScreen(Velm::ScreenSwitch::kMainToMap);
    Velm::IceWidget* ice = mApp->GetIce();
    for (int i = 1; i <= 84; ++i) ice->Update();
    EXPECT_EQ(ice->GetAlpha(), 252);
    EXPECT_EQ(std::count(mLog.begin(), mLog.end(), "map shown 0"), 0);
    ice->Update();
    EXPECT_EQ(ice->GetAlpha(), 255);
    EXPECT_EQ(mLog.back(), "map shown 0");
    EXPECT_EQ(ice->GetPhase(), 1);
    for (int i = 1; i <= 84; ++i) ice->Update();
    EXPECT_FALSE(ice->IsFinished());
    EXPECT_TRUE(InManager(*mApp, ice));
    ice->Update();
    EXPECT_TRUE(ice->IsFinished());
    EXPECT_EQ(ice->GetAlpha(), 0);
    EXPECT_FALSE(InManager(*mApp, ice));
    EXPECT_EQ(std::count(mLog.begin(), mLog.end(), "map shown 0"), 1);
    // A finished cover stands still; the next switch runs the full 170 updates again.
    ice->Update();
    EXPECT_EQ(ice->GetTicks(), 170);
    mApp->SwitchScreen(Velm::ScreenSwitch::kMapToMain);
    EXPECT_EQ(RunIce(*mApp), 170);
}

TEST(GameAppSwitchRefusalTest, AbsentScreensAndUnknownCodesChangeNothing) {
    ContentFolderScope content;
    CallLog log;
    TestGameApp app(&log, {GameScreenId::Comix});
    app.BuildTitleScreen();
    // Before the loading thread has built the screens a title click cannot reach the menu,
    // and the title keeps its pictures.
    app.SwitchScreen(Velm::ScreenSwitch::kTitleToMain);
    EXPECT_EQ(app.switchCode, 0);
    EXPECT_EQ(app.screenToShow, nullptr);
    EXPECT_FALSE(app.UnloadTitleScreenResources());
    EXPECT_TRUE(app.GetWidgetManager()->HasWidget(app.GetTitleScreen()));

    ASSERT_TRUE(app.BuildScreens());
    EXPECT_TRUE(app.UnloadTitleScreenResources());
    log.clear();
    for (int code : std::vector<int>{0, 1, 5, 22, 23, 24, 29, 31, -4, Velm::ScreenSwitch::kMainToComix,
                                     Velm::ScreenSwitch::kBack}) {
        SCOPED_TRACE(code);
        app.SwitchScreen(code);
        EXPECT_EQ(app.switchCode, 0);
        EXPECT_EQ(app.screenToShow, nullptr);
        EXPECT_FALSE(app.GetWidgetManager()->HasWidget(app.GetIce()));
    }
    EXPECT_TRUE(log.empty());
}

TEST(GameAppMessageBoxTest, TypesOutsideTheTableShowNothing) {
    ContentFolderScope content;
    CallLog log;
    TestGameApp app(&log);
    for (int type : {0, 10, -1}) {
        EXPECT_FALSE(app.ShowMessageBox(type));
        EXPECT_EQ(app.GetDialogCount(), 0);
    }
}

// An application whose every loop step runs several updates, as a recorded run played back
// fast does: the first step clicks the message box's "Ok", and the updates of that step fly
// the box out and past its arrival.
class FastStepApp : public TestGameApp {
public:
    explicit FastStepApp(CallLog* log) : TestGameApp(log) {}
    bool UpdateAppStep(bool* updated) override {
        if (updated != nullptr) *updated = true;
        // A wait that never ends is a failure, not a hang.
        if (++steps > 50) return false;
        Velm::Dialog* box = GetDialog(kMessageBoxDialogId);
        if (box != nullptr && steps == 1) box->ButtonDepress(Velm::MessageDialog::kConfirmed);
        for (int i = 0; i < 4; ++i) {
            GetWidgetManager()->UpdateFrame();
            GetWidgetManager()->UpdateFrameF(1.0f);
            ProcessSafeDeleteList();
        }
        return true;
    }
    void DialogButtonDepress(int dialogId, int result) override {
        depressed.push_back(dialogId);
        TestGameApp::DialogButtonDepress(dialogId, result);
    }
    int steps = 0;
    std::vector<int> depressed;
};

// The box that is waited for answers its waiter only: the application (its listener otherwise)
// would remove and free it within the step, under the wait that still reads it.
TEST(GameAppMessageBoxTest, AClickAnsweredWithinOneStepOfSeveralUpdates) {
    ContentFolderScope content;
    // A box that arrives and leaves within one update.
    menutest::WriteText(content.Dir().Path() + "/ui/messagebox.txt",
                        "[Main]\nModal=1\nPosition=512,384,400,300\nBeginX=512\nBeginY=384\nEndX=512\nEndY=384\n"
                        "Speed=10000\n[Ok]\nType=Button\nID=1\nPosition=10,200,100,30\n");
    CallLog log;
    FastStepApp app(&log);
    EXPECT_TRUE(app.ShowMessageBox(2));
    EXPECT_EQ(app.steps, 1);
    EXPECT_EQ(app.GetDialogCount(), 0);
    EXPECT_TRUE(app.depressed.empty());
}

}  // namespace
