#include <gtest/gtest.h>

#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"

namespace VelmTest {
namespace {

using Velm::Dialog;

TEST(Dialog, ButtonsByMode) {
    struct Case {
        int mode;
        const char* yes;
        const char* no;  // "" when there is no second button
    };
    const Case kCases[] = {
            {Dialog::BUTTONS_YES_NO, "YES", "NO"},
            {Dialog::BUTTONS_OK_CANCEL, "OK", "CANCEL"},
            {Dialog::BUTTONS_FOOTER, "Continue", ""},
            {Dialog::BUTTONS_NONE, "", ""},
            {7, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.mode);
        Fixture f;
        Dialog dialog(nullptr, nullptr, 5, true, "Head", "", "Continue", c.mode);
        EXPECT_EQ(dialog.mYesButton == nullptr ? "" : dialog.mYesButton->mLabel, c.yes);
        EXPECT_EQ(dialog.mNoButton == nullptr ? "" : dialog.mNoButton->mLabel, c.no);
    }
}

TEST(Dialog, ButtonLayout) {
    struct Case {
        const char* why;
        int mode;
        int sidePadding;
        Velm::Rect yes, no;
    };
    // clang-format off
    const Case kCases[] = {
            {"two buttons", Dialog::BUTTONS_YES_NO, 0, Velm::Rect(124, 202, 122, 24),
             Velm::Rect(254, 202, 122, 24)},
            {"two buttons with side padding", Dialog::BUTTONS_OK_CANCEL, 10, Velm::Rect(134, 202, 112, 24),
             Velm::Rect(254, 202, 112, 24)},
            {"one full-width button", Dialog::BUTTONS_FOOTER, 0, Velm::Rect(124, 202, 252, 24), Velm::Rect()},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        Dialog dialog(nullptr, nullptr, 5, false, "", "", "Continue", c.mode);
        dialog.mButtonSidePadding = c.sidePadding;
        dialog.Resize(100, 50, 300, 200);
        EXPECT_EQ(dialog.mYesButton->GetRect(), c.yes);
        if (dialog.mNoButton != nullptr) {
            EXPECT_EQ(dialog.mNoButton->GetRect(), c.no);
        }
    }
}

TEST(Dialog, PreferredHeight) {
    struct Case {
        const char* why;
        const char* header;
        const char* lines;
        const char* footer;
        int mode;
        int height;
    };
    // Test font: height 10, ascent 8, line spacing 10; one wrapped line is 10 high.
    const Case kCases[] = {
            {"buttons only", "", "", "", Dialog::BUTTONS_YES_NO, 48 + 24 + 8},
            {"nothing", "", "", "", Dialog::BUTTONS_NONE, 48},
            {"header", "Head", "", "", Dialog::BUTTONS_NONE, 48 + 10},
            {"header and lines", "Head", "body", "", Dialog::BUTTONS_NONE, 48 + 10 + 10 + 10},
            {"footer line", "", "", "foot", Dialog::BUTTONS_NONE, 48 + 10},
            {"footer as the button", "", "", "foot", Dialog::BUTTONS_FOOTER, 48 + 24 + 8},
            {"everything", "Head", "body", "foot", Dialog::BUTTONS_OK_CANCEL, 48 + 10 + 10 + 10 + 8 + 10 + 8 + 24 + 8},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        Dialog dialog(nullptr, nullptr, 5, false, c.header, c.lines, c.footer, c.mode);
        EXPECT_EQ(dialog.GetPreferredHeight(300), c.height);
    }
    Fixture f;
    Dialog dialog(nullptr, nullptr, 5, false, "", "", "", 0);
    dialog.GetPreferredHeight(300);
    EXPECT_EQ(f.app.mSysFontRequests, std::vector<std::string>({"Arial Unicode MS 14 0", "Arial Unicode MS 12 0"}));
}

TEST(Dialog, LongLinesWrapIntoMoreHeight) {
    Fixture f;
    // Wrap width 300 - 48 - 4 = 248 pixels: 41 characters of 6 pixels a line.
    std::string words;
    for (int i = 0; i < 20; i++) words += "word ";
    Dialog dialog(nullptr, nullptr, 5, false, "", words, "", 0);
    EXPECT_EQ(dialog.GetPreferredHeight(300), 48 + 8 + 2 * 10 + 2);
}

struct DialogScene {
    Fixture f;
    RecordingListener listener;
    Dialog dialog{nullptr, nullptr, 5, true, "Quit?", "Really quit?", "", Dialog::BUTTONS_YES_NO};
    DialogScene() {
        dialog.mDialogListener = &listener;
        dialog.Resize(100, 50, 300, 200);
        f.manager.AddWidget(&dialog);
        f.manager.AddBaseModal(&dialog);
    }
    void Click(int x, int y) {
        f.manager.MouseMove(x, y);
        f.manager.MouseDown(x, y, 1);
        f.manager.MouseUp(x, y, 1);
    }
};

TEST(Dialog, ButtonsAreTopLevelSiblingsInFront) {
    DialogScene s;
    ASSERT_EQ(s.f.manager.mWidgets.size(), 3u);
    auto it = s.f.manager.mWidgets.begin();
    EXPECT_EQ(*it++, &s.dialog);
    EXPECT_EQ(*it++, s.dialog.mYesButton);
    EXPECT_EQ(*it++, s.dialog.mNoButton);
    Log log;
    RecordingWidget other("other", &log);
    s.f.manager.AddWidget(&other);
    s.f.manager.BringToFront(&s.dialog);
    EXPECT_EQ(s.f.manager.mWidgets.back(), s.dialog.mNoButton);
    s.f.manager.RemoveWidget(&s.dialog);
    EXPECT_EQ(s.f.manager.mWidgets.size(), 1u);
    EXPECT_EQ(s.dialog.mYesButton->mWidgetManager, nullptr);
}

TEST(Dialog, ButtonClicksReportIdsAndResult) {
    struct Case {
        const char* why;
        int x, y;
        int result;
        Log log;
    };
    const Case kCases[] = {
            {"yes", 130, 210, 1000, {"dialog press 5 1000", "dialog depress 5 1000"}},
            {"no", 260, 210, 1001, {"dialog press 5 1001", "dialog depress 5 1001"}},
            {"body", 200, 100, Dialog::kNoResult, {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        DialogScene s;
        s.Click(c.x, c.y);
        EXPECT_EQ(s.dialog.mResult, c.result);
        EXPECT_EQ(s.listener.mLog, c.log);
    }
}

TEST(Dialog, DefaultListenerIsTheApplication) {
    Fixture f;
    Dialog dialog(nullptr, nullptr, 9, false, "", "", "Continue", Dialog::BUTTONS_FOOTER);
    EXPECT_EQ(dialog.mDialogListener, &f.app);
    dialog.Resize(0, 0, 300, 100);
    f.manager.AddWidget(&dialog);
    f.manager.MouseMove(30, 60);
    f.manager.MouseDown(30, 60, 1);
    f.manager.MouseUp(30, 60, 1);
    EXPECT_EQ(f.app.mLog, Log({"dialog press 9 1000", "dialog depress 9 1000"}));
    EXPECT_EQ(dialog.mResult, 1000);
    f.manager.RemoveWidget(&dialog);
}

TEST(Dialog, WaitForResult) {
    DialogScene s;
    s.f.app.mStepScript = {nullptr, nullptr, [&s]() { s.Click(260, 210); }};
    s.f.app.mOnKill = [&s](int id) {
        EXPECT_EQ(id, 5);
        s.f.manager.RemoveBaseModal(&s.dialog);
        s.f.manager.RemoveWidget(&s.dialog);
    };
    EXPECT_EQ(s.dialog.WaitForResult(true), 1001);
    EXPECT_EQ(s.f.app.mSteps, 3);
    EXPECT_EQ(s.dialog.mWidgetManager, nullptr);
    EXPECT_EQ(s.f.app.mLog, Log({"kill 5"}));
}

TEST(Dialog, WaitForResultEndsWhenTheApplicationStops) {
    DialogScene s;
    s.f.app.mMaxSteps = 4;
    EXPECT_EQ(s.dialog.WaitForResult(false), Dialog::kNoResult);
    EXPECT_EQ(s.f.app.mSteps, 4);
    EXPECT_TRUE(s.f.app.mLog.empty());
}

TEST(Dialog, WaitForResultEndsWhenTheDialogLeaves) {
    DialogScene s;
    s.f.app.mStepScript = {[&s]() { s.f.manager.RemoveWidget(&s.dialog); }};
    EXPECT_EQ(s.dialog.WaitForResult(false), Dialog::kNoResult);
    EXPECT_EQ(s.f.app.mSteps, 1);
}

TEST(Dialog, DragStopsAtTheEdgeAndKeepsTheGrabPoint) {
    DialogScene s;
    s.dialog.mDraggable = true;
    s.f.manager.MouseMove(150, 60);
    s.f.manager.MouseDown(150, 60, 1);  // grab at (50, 10)
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_DRAGGING);
    s.f.manager.MouseMove(0, 60);
    EXPECT_EQ(s.dialog.mX, -8);
    EXPECT_EQ(s.dialog.mDragMouseX, 8);
    s.f.manager.MouseMove(60, 70);  // coming back: the grab point is under the pointer
    EXPECT_EQ(s.dialog.mX + s.dialog.mDragMouseX, 60);
    EXPECT_EQ(s.dialog.mY + s.dialog.mDragMouseY, 70);
    s.f.manager.MouseMove(2000, 70);
    EXPECT_EQ(s.dialog.mX, 800 + 8 - 300);
    s.f.manager.MouseUp(2000, 70, 1);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_POINTER);
    EXPECT_FALSE(s.dialog.mDragging);
}

TEST(Dialog, ButtonLabelColoursFollowTheDialog) {
    Fixture f;
    Dialog plain(nullptr, nullptr, 1, false, "", "", "", Dialog::BUTTONS_YES_NO);
    EXPECT_EQ(plain.mYesButton->GetColor(0), Velm::Color(0, 0, 0));
    Velm::Image buttonImage;
    buttonImage.width = 30;
    buttonImage.height = 30;
    Dialog skinned(nullptr, &buttonImage, 1, false, "", "", "", Dialog::BUTTONS_YES_NO);
    EXPECT_EQ(skinned.mButtonHeight, 30);
    EXPECT_EQ(skinned.mNoButton->GetColor(1), Velm::Color(255, 255, 255));
    skinned.SetColor(Dialog::COLOR_BUTTON_TEXT_HILITE, Velm::Color(1, 2, 3));
    EXPECT_EQ(skinned.mYesButton->GetColor(1), Velm::Color(1, 2, 3));
    EXPECT_EQ(skinned.mNoButton->GetColor(1), Velm::Color(1, 2, 3));
}

TEST(Dialog, DrawsDefaultLookAndTexts) {
    Fixture f;
    Log textLog;
    TestFont font(&textLog);
    Dialog dialog(nullptr, nullptr, 1, false, "Head", "body", "foot", Dialog::BUTTONS_NONE);
    dialog.SetHeaderFont(&font);
    dialog.SetLinesFont(&font);
    dialog.Resize(0, 0, 300, 200);
    RecordingImage image(400, 400);
    Velm::Graphics g(&image);
    dialog.Draw(&g);
    EXPECT_EQ(image.mCalls[0], "rect 12,12,275,175 255,255,255,255");
    EXPECT_EQ(image.mCalls[1], "fill 13,13,274,174 80,80,80,255");
    EXPECT_EQ(image.mCalls[2], "fill 288,24,12,164 0,0,0,128");
    // Header baseline 24 + 8; the lines (centred) from 32 + 2 + 10 = 44 (+8 ascent); the
    // footer 10 + 8 below their end.
    EXPECT_EQ(textLog,
              Log({"Head@138,32 255,255,255,255", "body@138,52 255,255,0,255", "foot@138,72 255,255,255,255"}));
}

}  // namespace
}  // namespace VelmTest

namespace VelmTest {
namespace {

TEST(Dialog, FooterButtonModeDrawsNoFooterLine) {
    Fixture f;
    Log textLog;
    TestFont font(&textLog);
    Velm::Dialog dialog(nullptr, nullptr, 1, false, "", "", "Continue", Velm::Dialog::BUTTONS_FOOTER);
    dialog.SetHeaderFont(&font);
    dialog.SetLinesFont(&font);
    dialog.Resize(0, 0, 300, 100);
    RecordingImage image(400, 400);
    Velm::Graphics g(&image);
    dialog.Draw(&g);
    EXPECT_TRUE(textLog.empty());
    EXPECT_EQ(dialog.mYesButton->mLabel, "Continue");
    EXPECT_EQ(dialog.mYesButton->mWidth, 300 - 48);
}

TEST(Dialog, DeletingAnUnaddedDialogFreesItsButtonsAndFonts) {
    Fixture f;
    TestFont font;
    const int before = TestFont::sLiveCount;
    {
        Velm::Dialog dialog(nullptr, nullptr, 1, false, "h", "l", "", Velm::Dialog::BUTTONS_YES_NO);
        dialog.SetHeaderFont(&font);
        dialog.SetLinesFont(&font);
        dialog.SetButtonFont(&font);
        EXPECT_EQ(TestFont::sLiveCount, before + 4);
    }
    EXPECT_EQ(TestFont::sLiveCount, before);
}

}  // namespace
}  // namespace VelmTest
