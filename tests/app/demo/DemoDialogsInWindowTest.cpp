// The demo playback dialogs in the game window, answered with system input (SDL's
// in-memory video driver) that travels the application's window procedure and input
// queue to the widget manager while the dialog waits by stepping the loop.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/demo/DemoDialogs.h"
#include "app/demo/DemoDialogsInWindow.h"
#include "platform/ButtonBox.h"
#include "platform/SyntheticInput.h"
#include "platform/WindowMessages.h"
#include "tests/app/WindowTestSupport.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace {

using Velm::DemoDialogsInWindow;
using Velm::DemoJumpTimeDialog;
using Velm::DemoMarkerListDialog;

class DialogApp;
using Action = std::function<void(DialogApp&)>;

// A windowed application whose loop step first runs the next scripted action, then
// replays the queued input into the widgets and draws. Once the script is used up the
// loop answers as a shutting-down application does.
class DialogApp : public windowtest::WindowApp {
public:
    explicit DialogApp(plat::Settings* settings) : WindowApp(settings) {
        mUseFakeDisplay = true;
        OpenWindow();
        Pump();
    }

    bool UpdateAppStep(bool* updated) override {
        if (updated != nullptr) *updated = false;
        if (mNext >= mScript.size()) return false;
        mScript[mNext++](*this);
        Pump();
        DrawFrame();
        return true;
    }

    const plat::Window& Window() { return *GetMainWindow(); }

    DemoMarkerListDialog* MarkerDialog() {
        return dynamic_cast<DemoMarkerListDialog*>(GetDialog(DemoDialogsInWindow::MARKER_LIST_DIALOG_ID));
    }
    DemoJumpTimeDialog* JumpDialog() {
        return dynamic_cast<DemoJumpTimeDialog*>(GetDialog(DemoDialogsInWindow::JUMP_TO_TIME_DIALOG_ID));
    }

    std::vector<Action> mScript;
    size_t mNext = 0;
};

// A left click at a point of the window.
void Click(DialogApp& app, int x, int y) {
    plat::SynthesizeMouseMove(app.Window(), x, y);
    plat::SynthesizeButton(app.Window(), 1, true, 1, x, y);
    plat::SynthesizeButton(app.Window(), 1, false, 1, x, y);
}

void Key(DialogApp& app, int key) {
    plat::SynthesizeKey(app.Window(), key, true, false, false);
    plat::SynthesizeKey(app.Window(), key, false, false, false);
}

void ClickButton(DialogApp& app, Velm::Widget* button) {
    ASSERT_NE(button, nullptr);
    Click(app, button->mX + button->mWidth / 2, button->mY + button->mHeight / 2);
}

// A click in the middle of a line of the open marker list.
Action ClickLine(int index) {
    return [index](DialogApp& app) {
        DemoMarkerListDialog* dialog = app.MarkerDialog();
        ASSERT_NE(dialog, nullptr);
        const Velm::Point origin = dialog->mList->GetAbsPos();
        const int lineHeight = Velm::TextHeight(dialog->mList->mFont);
        ASSERT_GT(lineHeight, 0);
        Click(app, origin.x + 20, origin.y + 4 + index * lineHeight + lineHeight / 2);
    };
}

Action PressKey(int key) {
    return [key](DialogApp& app) { Key(app, key); };
}

// Nothing: one more loop step.
void Idle(DialogApp&) {}

class DemoDialogsInWindowTest : public windowtest::WindowAppTest {
protected:
    ~DemoDialogsInWindowTest() override { plat::SetButtonBoxHandlerForTests(nullptr); }

    // After a dialog: gone from the registry and the tree, the keyboard back with the
    // widget that had it, and nothing of the dialog's input reached the widget below.
    void ExpectClosed(DialogApp& app) {
        EXPECT_EQ(app.GetDialogCount(), 0);
        EXPECT_EQ(app.GetWidgetManager()->mFocusWidget, &app.mRecorder);
        EXPECT_EQ(app.GetWidgetManager()->mBaseModalWidget, nullptr);
        for (const std::string& call : app.mRecorder.mCalls) {
            EXPECT_EQ(call.rfind("down", 0), std::string::npos) << call;
            EXPECT_EQ(call.rfind("char", 0), std::string::npos) << call;
        }
    }
};

const std::vector<std::string> kLines = {"start (00:05:00)", "level two (00:03:20)", "boss (00:00:40)"};

TEST_F(DemoDialogsInWindowTest, MarkerListAnswersClicksAndKeys) {
    struct Case {
        const char* why;
        std::vector<Action> script;
        int chosen;
    };
    // clang-format off
    const Case cases[] = {
            {"a click picks the line under the pointer", {ClickLine(1)}, 1},
            {"a click on the last line", {Idle, ClickLine(2)}, 2},
            {"enter picks the first line, selected at the start", {PressKey(plat::VK_RETURN)}, 0},
            {"down, down, up, enter", {PressKey(plat::VK_DOWN), PressKey(plat::VK_DOWN), PressKey(plat::VK_UP),
                                       PressKey(plat::VK_RETURN)}, 1},
            {"down stops at the last line", {PressKey(plat::VK_DOWN), PressKey(plat::VK_DOWN),
                                             PressKey(plat::VK_DOWN), PressKey(plat::VK_DOWN),
                                             PressKey(plat::VK_RETURN)}, 2},
            {"escape picks none", {PressKey(plat::VK_DOWN), PressKey(plat::VK_ESCAPE)}, -1},
            {"cancel picks none", {[](DialogApp& app) { ClickButton(app, app.MarkerDialog()->mYesButton); }}, -1},
            {"a click below the lines picks none; cancel follows",
             {ClickLine(5), [](DialogApp& app) { ClickButton(app, app.MarkerDialog()->mYesButton); }}, -1},
            {"the application shutting down while it waits picks none", {Idle, Idle}, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DialogApp app(&mSettings);
        if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
        app.mScript = c.script;
        app.mRecorder.mCalls.clear();
        DemoDialogsInWindow dialogs;  // the host the application registered
        ASSERT_TRUE(dialogs.ShowsInWindow());
        EXPECT_EQ(dialogs.ChooseMarker(kLines), c.chosen);
        EXPECT_EQ(app.mNext, c.script.size());
        ExpectClosed(app);
    }
}

TEST_F(DemoDialogsInWindowTest, MarkerListShowsTheLinesInTheWindow) {
    DialogApp app(&mSettings);
    if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
    std::vector<std::string> shown;
    bool modal = false;
    app.mScript = {[&](DialogApp& a) {
                       DemoMarkerListDialog* dialog = a.MarkerDialog();
                       ASSERT_NE(dialog, nullptr);
                       shown = dialog->mList->mLines;
                       modal = a.GetWidgetManager()->mBaseModalWidget == dialog;
                       EXPECT_EQ(dialog->mDialogHeader, "Marker List");
                       EXPECT_EQ(dialog->mYesButton->mLabel, "Cancel");
                       // Inside the window.
                       EXPECT_GE(dialog->mX, 0);
                       EXPECT_LE(dialog->mX + dialog->mWidth, a.GetWidth());
                       EXPECT_LE(dialog->mY + dialog->mHeight, a.GetHeight());
                   },
                   PressKey(plat::VK_ESCAPE)};
    DemoDialogsInWindow dialogs;  // the host the application registered
    EXPECT_EQ(dialogs.ChooseMarker(kLines), -1);
    EXPECT_EQ(shown, kLines);
    EXPECT_TRUE(modal);

    // No markers ahead: an empty list; Enter picks nothing, the dialog stays until Esc.
    app.mScript = {PressKey(plat::VK_RETURN), PressKey(plat::VK_DOWN), Idle, PressKey(plat::VK_ESCAPE)};
    app.mNext = 0;
    EXPECT_EQ(dialogs.ChooseMarker({}), -1);
    EXPECT_EQ(app.mNext, 4u);
    ExpectClosed(app);
}

TEST_F(DemoDialogsInWindowTest, MarkerListScrollsToTheSelectedLine) {
    DialogApp app(&mSettings);
    if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i)
        lines.push_back("marker " + std::to_string(i) + " (00:00:" + std::to_string(10 + i) + ")");
    for (int i = 0; i < 30; ++i) app.mScript.push_back(PressKey(plat::VK_DOWN));
    double position = 0;
    app.mScript.push_back([&](DialogApp& a) {
        DemoMarkerListDialog* dialog = a.MarkerDialog();
        position = dialog->mList->mPosition;
        EXPECT_EQ(dialog->mList->mSelectIdx, 30);
        EXPECT_LE(position, 30);
        EXPECT_GT(position + dialog->mList->mPageSize, 30);
    });
    // The line under the pointer is the one shown there.
    app.mScript.push_back(ClickLine(0));
    DemoDialogsInWindow dialogs;  // the host the application registered
    const int chosen = dialogs.ChooseMarker(lines);
    EXPECT_GT(position, 0);
    EXPECT_EQ(chosen, static_cast<int>(position));
}

TEST_F(DemoDialogsInWindowTest, JumpTimeIsEditedAndConfirmed) {
    struct Case {
        const char* why;
        std::vector<Action> script;
        bool ok;
        const char* text;
    };
    auto type = [](const char* text) { return [text](DialogApp&) { plat::SynthesizeText(text); }; };
    auto ok = [](DialogApp& app) { ClickButton(app, app.JumpDialog()->mYesButton); };
    auto cancel = [](DialogApp& app) { ClickButton(app, app.JumpDialog()->mNoButton); };
    // clang-format off
    const Case cases[] = {
            {"typing replaces the selected time; enter confirms", {type("1:02:03"), PressKey(plat::VK_RETURN)}, true,
             "1:02:03"},
            {"ok keeps the time as it came", {ok}, true, "0:10"},
            {"typed after a cursor move, the text is appended; ok confirms",
             {PressKey(plat::VK_END), type(":30"), ok}, true, "0:10:30"},
            {"backspace edits", {PressKey(plat::VK_END), PressKey(plat::VK_BACK), type("5"), PressKey(plat::VK_RETURN)},
             true, "0:15"},
            {"cancel drops the edit", {type("9"), cancel}, false, "0:10"},
            {"escape drops the edit", {type("9"), PressKey(plat::VK_ESCAPE)}, false, "0:10"},
            {"the application shutting down while it waits drops the edit", {type("9")}, false, "0:10"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DialogApp app(&mSettings);
        if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
        app.mScript = c.script;
        DemoDialogsInWindow dialogs;  // the host the application registered
        std::string text = "0:10";
        EXPECT_EQ(dialogs.EditJumpTime(&text), c.ok);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(app.mNext, c.script.size());
        ExpectClosed(app);
    }
}

TEST_F(DemoDialogsInWindowTest, JumpTimeDialogComesFilledAndSelected) {
    DialogApp app(&mSettings);
    if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
    app.mScript = {[](DialogApp& a) {
                       DemoJumpTimeDialog* dialog = a.JumpDialog();
                       ASSERT_NE(dialog, nullptr);
                       EXPECT_EQ(dialog->mDialogHeader, "Jump To Time");
                       EXPECT_EQ(dialog->mYesButton->mLabel, "Ok");
                       EXPECT_EQ(dialog->mNoButton->mLabel, "Cancel");
                       EXPECT_EQ(dialog->mEdit->mString, "2:00");
                       EXPECT_EQ(dialog->mEdit->mHilitePos, 0);
                       EXPECT_EQ(dialog->mEdit->mCursorPos, 4);
                       EXPECT_EQ(a.GetWidgetManager()->mFocusWidget, dialog->mEdit);
                       // The field lies between the caption and the buttons.
                       EXPECT_GT(dialog->mEdit->mHeight, 0);
                       EXPECT_LE(dialog->mEdit->GetAbsPos().y + dialog->mEdit->mHeight, dialog->mYesButton->mY);
                   },
                   PressKey(plat::VK_ESCAPE)};
    DemoDialogsInWindow dialogs;  // the host the application registered
    std::string text = "2:00";
    EXPECT_FALSE(dialogs.EditJumpTime(&text));
    EXPECT_EQ(app.mNext, 2u);
}

// Through the application: the stored time fills the field, and what is typed is stored
// and becomes the fast-forward target.
TEST_F(DemoDialogsInWindowTest, TypedJumpTimeSetsTheFastForwardTarget) {
    DialogApp app(&mSettings);
    if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
    const std::string key = "SOFTWARE\\" + app.mRegKey;
    mSettings.SetString(key, "DemoJumpTime", "0:10");
    app.mDemoTotalUpdates = 400000;
    app.mFrameTime = 10;
    std::string shown;
    app.mScript = {[&](DialogApp& a) { shown = a.JumpDialog()->mEdit->mString; },
                   [](DialogApp&) { plat::SynthesizeText("1:02:03"); },
                   [](DialogApp& a) { ClickButton(a, a.JumpDialog()->mYesButton); }};
    ASSERT_TRUE(static_cast<DemoDialogsInWindow&>(Velm::GetDemoDialogs()).ShowsInWindow());
    app.ShowDemoJumpToTime();
    EXPECT_EQ(shown, "0:10");
    EXPECT_EQ(app.mNext, 3u);
    // 1 h 2 min 3 s before the end, and one second more.
    EXPECT_EQ(app.mFastForwardToUpdateNum, 400000 - (3723 + 1) * 1000 / 10);
    uint32_t type = 0;
    std::vector<uint8_t> stored;
    ASSERT_TRUE(mSettings.GetValue(key, "DemoJumpTime", &type, &stored));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), std::string("1:02:03\0", 8));

    // The marker list the same way: the clicked line's update.
    app.mUpdateCnt = 1000;
    app.mDemoMarkerList = {{"passed", 500}, {"level two", 40000}, {"boss", 396000}};
    app.mScript = {ClickLine(1)};
    app.mNext = 0;
    app.ShowDemoMarkerList();
    EXPECT_EQ(app.mFastForwardToUpdateNum, 396000);
    ExpectClosed(app);
}

// Where the application cannot show them in its window, the system's button box asks.
TEST_F(DemoDialogsInWindowTest, WithoutAWindowTheButtonBoxAsks) {
    std::vector<std::string> boxes;
    int answer = 0;
    plat::SetButtonBoxHandlerForTests(
            [&](const std::string& text, const std::string& caption, const std::vector<std::string>& labels) {
                std::string box = caption + ": " + text + " [";
                for (const std::string& label : labels) box += label + ";";
                boxes.push_back(box + "]");
                return answer;
            });

    windowtest::WindowApp headless(&mSettings);
    DemoDialogsInWindow dialogs;  // the host the application registered
    EXPECT_FALSE(dialogs.ShowsInWindow());
    answer = 1;
    EXPECT_EQ(dialogs.ChooseMarker({"a (00:00:01)", "b (00:00:02)"}), 1);
    answer = 2;
    EXPECT_EQ(dialogs.ChooseMarker({"a (00:00:01)", "b (00:00:02)"}), -1);
    std::string text = "1:00";
    answer = 0;
    EXPECT_TRUE(dialogs.EditJumpTime(&text));
    EXPECT_EQ(text, "1:00");
    const std::vector<std::string> expected = {"Marker List:  [a (00:00:01);b (00:00:02);Cancel;]",
                                               "Marker List:  [a (00:00:01);b (00:00:02);Cancel;]",
                                               "Jump To Time: 1:00 [Ok;Cancel;]"};
    EXPECT_EQ(boxes, expected);

    // A windowed application shows them in its window, also while a demo plays (the demo
    // then stands still and the user's input goes to the window).
    DialogApp app(&mSettings);
    if (app.GetMainWindow() == nullptr) GTEST_SKIP() << "no window can be made here";
    DemoDialogsInWindow inWindow;  // the host of the application made last
    EXPECT_TRUE(inWindow.ShowsInWindow());
    app.mPlayingDemo = true;
    EXPECT_TRUE(inWindow.ShowsInWindow());
    app.mPlayingDemo = false;
    // A system popup holding the input (full screen) likewise.
    app.mPopupOpen = true;
    EXPECT_FALSE(inWindow.ShowsInWindow());
    app.mPopupOpen = false;
}

}  // namespace
