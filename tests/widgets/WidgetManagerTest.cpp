#include <gtest/gtest.h>

#include <algorithm>

#include "tests/widgets/WidgetTestSupport.h"

namespace VelmTest {
namespace {

using Velm::Widget;

// Two overlapping top-level widgets: A (10,10,100,100) behind B (60,60,100,100).
struct Scene {
    Fixture f;
    Log log;
    RecordingWidget a{"A", &log}, b{"B", &log};
    Scene() {
        a.Resize(10, 10, 100, 100);
        b.Resize(60, 60, 100, 100);
        f.manager.AddWidget(&a);
        f.manager.AddWidget(&b);
        log.clear();
    }
    Widget* At(int x, int y) { return f.manager.GetWidgetAt(x, y, nullptr, nullptr); }
};

TEST(WidgetManager, HitTestFindsTopmostFirst) {
    Scene s;
    struct Case {
        const char* why;
        int x, y;
        const char* expected;
    };
    const Case kCases[] = {
            {"only A", 20, 20, "A"},   {"overlap goes to the front one", 80, 80, "B"}, {"only B", 150, 150, "B"},
            {"nothing", 500, 500, ""}, {"right edge is outside", 110, 20, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Widget* w = s.At(c.x, c.y);
        EXPECT_EQ(w == nullptr ? "" : static_cast<RecordingWidget*>(w)->mName, c.expected);
    }
}

class Holey : public RecordingWidget {
public:
    using RecordingWidget::RecordingWidget;
    bool IsPointVisible(int x, int y) override { return !(x < 30 && y < 30); }
};

TEST(WidgetManager, HitTestVariants) {
    struct Case {
        const char* why;
        std::function<void(Scene&)> setup;
        int x, y;
        const char* expected;
    };
    // clang-format off
    const Case kCases[] = {
            {"invisible widgets are skipped", [](Scene& s) { s.b.SetVisible(false); }, 80, 80, "A"},
            {"mouse-invisible widgets let the point through", [](Scene& s) { s.b.mMouseVisible = false; }, 80, 80,
             "A"},
            {"a disabled widget hides what lies behind it", [](Scene& s) { s.b.SetDisabled(true); }, 80, 80, ""},
            {"insets shrink the accepted area", [](Scene& s) { s.b.mMouseInsets.mLeft = 30; }, 80, 80, "A"},
            {"a modifier without AllowMouse skips the subtree",
             [](Scene& s) { s.b.mWidgetFlagsMod.removeFlags = Velm::WIDGETFLAGS_ALLOW_MOUSE; }, 80, 80, "A"},
            {"children win over their parent",
             [](Scene& s) {
                 static Log childLog;
                 static RecordingWidget child("C", &childLog);
                 child.Resize(10, 10, 20, 20);
                 s.b.AddWidget(&child);
             },
             75, 75, "C"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Scene s;
        c.setup(s);
        Widget* w = s.At(c.x, c.y);
        EXPECT_EQ(w == nullptr ? "" : static_cast<RecordingWidget*>(w)->mName, c.expected);
        s.b.RemoveAllWidgets();
    }
}

TEST(WidgetManager, RefusedPointFallsThroughToWidgetBehind) {
    Fixture f;
    Log log;
    RecordingWidget back("back", &log);
    Holey front("front", &log);
    back.Resize(0, 0, 100, 100);
    front.Resize(0, 0, 100, 100);
    f.manager.AddWidget(&back);
    f.manager.AddWidget(&front);
    int lx = 0, ly = 0;
    EXPECT_EQ(f.manager.GetWidgetAt(10, 10, &lx, &ly), &back);
    EXPECT_EQ(f.manager.GetWidgetAt(50, 50, &lx, &ly), &front);
    EXPECT_EQ(lx, 50);
}

TEST(WidgetManager, HoverEntersLeavesAndMoves) {
    Scene s;
    s.f.manager.MouseMove(20, 20);
    s.f.manager.MouseMove(25, 20);
    s.f.manager.MouseMove(25, 20);  // same place: no move
    s.f.manager.MouseMove(80, 80);
    s.f.manager.MouseExit(80, 80);
    EXPECT_EQ(s.log, Log({"A enter", "A move 10,10", "A move 15,10", "A leave", "B enter", "B move 20,20", "B leave"}));
    EXPECT_FALSE(s.b.mIsOver);
}

TEST(WidgetManager, CaptureWhileButtonHeld) {
    Scene s;
    s.f.manager.MouseMove(20, 20);
    s.f.manager.MouseDown(20, 20, 1);
    EXPECT_TRUE(s.a.mIsDown);
    s.f.manager.MouseMove(300, 300);  // drags leave A
    EXPECT_FALSE(s.a.mIsOver);
    s.f.manager.MouseMove(150, 150);  // over B: B is not entered while A is held
    EXPECT_FALSE(s.b.mIsOver);
    s.f.manager.MouseMove(30, 30);  // back over A
    EXPECT_TRUE(s.a.mIsOver);
    s.f.manager.MouseMove(150, 150);
    s.f.manager.MouseUp(150, 150, 1);  // A gets the release outside; B is entered after it
    EXPECT_EQ(s.log, Log({"A enter", "A move 10,10", "A down 10,10 b0 c1", "A drag 290,290", "A leave",
                          "A drag 140,140", "A drag 20,20", "A enter", "A drag 140,140", "A leave",
                          "A up 140,140 b0 c1", "B enter", "B move 90,90"}));
    EXPECT_FALSE(s.a.mIsDown);
    EXPECT_EQ(s.f.manager.mLastDownWidget, nullptr);
}

TEST(WidgetManager, SecondButtonGoesToCapturedWidget) {
    Scene s;
    s.f.manager.MouseDown(20, 20, 1);
    s.f.manager.MouseDown(150, 150, -1);  // right press elsewhere still goes to A
    s.f.manager.MouseUp(150, 150, 1);
    EXPECT_EQ(s.f.manager.mLastDownWidget, &s.a);  // still captured for the right button
    s.f.manager.MouseUp(150, 150, -1);
    EXPECT_EQ(s.f.manager.mLastDownWidget, nullptr);
    Log downsAndUps;
    for (const std::string& line : s.log)
        if (line.find(" down ") != std::string::npos || line.find(" up ") != std::string::npos)
            downsAndUps.push_back(line);
    EXPECT_EQ(downsAndUps,
              Log({"A down 10,10 b0 c1", "A down 140,140 b1 c1", "A up 140,140 b0 c1", "A up 140,140 b1 c1"}));
}

TEST(WidgetManager, ReleaseAfterPressOnEmptySpaceReachesNoWidget) {
    Scene s;
    s.f.manager.MouseDown(500, 500, -1);  // right press on empty space
    s.f.manager.MouseDown(20, 20, 1);     // left press on A: A captured
    s.f.manager.MouseUp(20, 20, -1);      // the right release was never pressed on A
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "A up 10,10 b1 c1"), 0);
    EXPECT_EQ(s.f.manager.mLastDownWidget, &s.a);
    s.f.manager.MouseUp(20, 20, 1);
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "A up 10,10 b0 c1"), 1);
    EXPECT_EQ(s.f.manager.mLastDownWidget, nullptr);
}

TEST(WidgetManager, NestedWidgetGetsAllEventsInItsOwnCoordinates) {
    Fixture f;
    Log log;
    RecordingWidget parent("P", &log), child("C", &log);
    parent.Resize(100, 100, 200, 200);
    child.Resize(50, 50, 20, 20);
    parent.AddWidget(&child);
    f.manager.AddWidget(&parent);
    log.clear();
    f.manager.MouseDown(155, 155, 1);
    f.manager.MouseMove(160, 158);
    f.manager.MouseUp(160, 158, 1);
    Log events;
    for (const std::string& line : log)
        if (line.rfind("C ", 0) == 0 && line.find("move") == std::string::npos &&
            line.find("enter") == std::string::npos && line.find("leave") == std::string::npos)
            events.push_back(line);
    // Press, drag and release all relative to the child's own top-left (150, 150).
    EXPECT_EQ(events, Log({"C down 5,5 b0 c1", "C drag 10,8", "C up 10,8 b0 c1"}));
}

TEST(WidgetManager, FocusFollowsPressOnlyForWidgetsThatWantIt) {
    Scene s;
    s.a.mWantsFocus = true;
    s.f.manager.MouseDown(20, 20, 1);
    s.f.manager.MouseUp(20, 20, 1);
    EXPECT_EQ(s.f.manager.mFocusWidget, &s.a);
    EXPECT_TRUE(s.a.mHasFocus);
    s.f.manager.MouseDown(150, 150, 1);  // B does not want the focus
    s.f.manager.MouseUp(150, 150, 1);
    EXPECT_EQ(s.f.manager.mFocusWidget, &s.a);
    s.f.manager.KeyDown(65);
    s.f.manager.KeyChar('a');
    s.f.manager.KeyUp(65);
    s.f.manager.MouseWheel(-1);
    EXPECT_NE(std::find(s.log.begin(), s.log.end(), "A keydown 65"), s.log.end());
    EXPECT_NE(std::find(s.log.begin(), s.log.end(), "A char 97"), s.log.end());
    EXPECT_NE(std::find(s.log.begin(), s.log.end(), "A keyup 65"), s.log.end());
    EXPECT_NE(std::find(s.log.begin(), s.log.end(), "A wheel -1"), s.log.end());
    s.f.manager.RemoveWidget(&s.a);
    EXPECT_EQ(s.f.manager.mFocusWidget, nullptr);
    EXPECT_FALSE(s.a.mHasFocus);
}

TEST(WidgetManager, TabMovesFocusAndCtrlTabGoesToDefaultTab) {
    Scene s;
    RecordingWidget c("C", &s.log);
    s.f.manager.AddWidget(&c);
    s.a.mTabNext = &s.b;
    s.a.mTabPrev = &c;
    s.f.manager.mDefaultTab = &c;
    s.f.manager.SetFocus(&s.a);
    s.f.manager.KeyDown(9);
    EXPECT_EQ(s.f.manager.mFocusWidget, &s.b);

    s.f.manager.SetFocus(&s.a);
    s.f.manager.KeyDown(16);  // Shift+Tab goes back
    s.f.manager.KeyDown(9);
    s.f.manager.KeyUp(16);
    EXPECT_EQ(s.f.manager.mFocusWidget, &c);

    s.log.clear();
    s.f.manager.SetFocus(&s.b);
    s.f.manager.KeyDown(17);
    s.f.manager.KeyChar(9);
    s.f.manager.KeyUp(9);  // swallowed while Ctrl is held
    s.f.manager.KeyUp(17);
    EXPECT_EQ(s.log, Log({"C lostfocus", "B gotfocus", "B keydown 17", "C char 9", "B keyup 17"}));
}

TEST(WidgetManager, AppFocusLossReleasesKeysThenFocus) {
    Scene s;
    s.f.manager.SetFocus(&s.a);
    s.f.manager.KeyDown(66);
    s.f.manager.KeyDown(40);
    s.log.clear();
    s.f.manager.AppLostFocus();
    s.f.manager.AppLostFocus();  // no second time
    s.f.manager.AppGotFocus();
    EXPECT_EQ(s.log, Log({"A keyup 40", "A keyup 66", "A lostfocus", "A gotfocus"}));
    EXPECT_FALSE(s.f.manager.IsKeyDown(66));
    EXPECT_EQ(s.f.manager.mFocusWidget, &s.a);
}

TEST(WidgetManager, KeyCodesOutsideTableReachFocusWidget) {
    Scene s;
    s.f.manager.SetFocus(&s.a);
    s.log.clear();
    s.f.manager.KeyDown(300);
    s.f.manager.KeyDown(-4);
    EXPECT_EQ(s.log, Log({"A keydown 300", "A keydown -4"}));
}

TEST(WidgetManager, ModalWidgetBlocksWidgetsBehindIt) {
    Fixture f;
    Log log;
    RecordingWidget back("back", &log), dialog("dialog", &log), later("later", &log);
    back.Resize(0, 0, 400, 400);
    dialog.Resize(100, 100, 100, 100);
    later.Resize(300, 300, 50, 50);
    f.manager.AddWidget(&back);
    f.manager.AddWidget(&dialog);
    f.manager.MouseMove(10, 10);
    f.manager.SetFocus(&back);
    log.clear();

    f.manager.AddBaseModal(&dialog);
    EXPECT_EQ(log, Log({"back leave", "back lostfocus"}));
    f.manager.AddWidget(&later);
    EXPECT_EQ(f.manager.GetWidgetAt(10, 10, nullptr, nullptr), nullptr);
    EXPECT_EQ(f.manager.GetWidgetAt(150, 150, nullptr, nullptr), &dialog);
    EXPECT_EQ(f.manager.GetWidgetAt(310, 310, nullptr, nullptr), &later);
    log.clear();
    f.manager.MouseDown(10, 10, 1);
    f.manager.MouseUp(10, 10, 1);
    EXPECT_TRUE(log.empty());

    // Updates: the widget behind still updates (the modifier removes only mouse and focus).
    f.manager.UpdateFrame();
    EXPECT_NE(std::find(log.begin(), log.end(), "back update"), log.end());

    f.manager.RemoveBaseModal(&dialog);
    EXPECT_EQ(f.manager.mFocusWidget, &back);
    EXPECT_EQ(f.manager.GetWidgetAt(10, 10, nullptr, nullptr), &back);
}

TEST(WidgetManager, NestedModalsRestoreOuterModalAndFocus) {
    Fixture f;
    Log log;
    RecordingWidget back("back", &log), outer("outer", &log), field("field", &log), inner("inner", &log);
    back.Resize(0, 0, 400, 400);
    outer.Resize(50, 50, 200, 200);
    field.Resize(10, 10, 50, 20);
    inner.Resize(100, 100, 50, 50);
    outer.AddWidget(&field);
    f.manager.AddWidget(&back);
    f.manager.AddWidget(&outer);
    f.manager.AddBaseModal(&outer);
    f.manager.SetFocus(&field);
    f.manager.AddWidget(&inner);
    f.manager.AddBaseModal(&inner);
    EXPECT_EQ(f.manager.mFocusWidget, nullptr);
    EXPECT_EQ(f.manager.GetWidgetAt(65, 65, nullptr, nullptr), nullptr);

    f.manager.RemoveBaseModal(&outer);  // not the newest: nothing happens
    EXPECT_EQ(f.manager.mBaseModalWidget, &inner);

    f.manager.RemoveBaseModal(&inner);
    EXPECT_EQ(f.manager.mBaseModalWidget, &outer);
    EXPECT_EQ(f.manager.mFocusWidget, &field);
    EXPECT_EQ(f.manager.GetWidgetAt(65, 65, nullptr, nullptr), &field);
    EXPECT_EQ(f.manager.GetWidgetAt(5, 5, nullptr, nullptr), nullptr);
    f.manager.RemoveBaseModal(&outer);
    EXPECT_EQ(f.manager.mBaseModalWidget, nullptr);
}

TEST(WidgetManager, RemovingModalWidgetForgetsItInTheStack) {
    Fixture f;
    Log log;
    RecordingWidget outer("outer", &log), inner("inner", &log);
    outer.Resize(0, 0, 100, 100);
    inner.Resize(10, 10, 10, 10);
    f.manager.AddWidget(&outer);
    f.manager.AddBaseModal(&outer);
    f.manager.AddWidget(&inner);
    f.manager.AddBaseModal(&inner);
    f.manager.RemoveWidget(&outer);  // outer leaves while inner is modal
    EXPECT_EQ(f.manager.mPreModalInfoList.back().prevBaseModalWidget, nullptr);
    f.manager.RemoveBaseModal(&inner);  // pops both entries
    EXPECT_TRUE(f.manager.mPreModalInfoList.empty());
    EXPECT_EQ(f.manager.mBaseModalWidget, nullptr);
}

TEST(WidgetManager, ModalOverCapturedWidgetSendsPendingRelease) {
    Scene s;
    s.f.manager.MouseDown(20, 20, 1);
    s.log.clear();
    s.f.manager.AddBaseModal(&s.b);
    EXPECT_EQ(s.log, Log({"A leave", "A up 10,10 b0 c1"}));
    EXPECT_EQ(s.f.manager.mLastDownWidget, nullptr);
}

TEST(WidgetManager, DisablingCapturedWidgetReleasesIt) {
    Scene s;
    s.f.manager.MouseDown(20, 20, 1);
    s.f.manager.MouseDown(20, 20, 3);
    s.log.clear();
    s.a.SetDisabled(true);
    EXPECT_EQ(s.log, Log({"A leave", "A up 10,10 b0 c1", "A up 10,10 b2 c1"}));
    EXPECT_EQ(s.f.manager.mLastDownWidget, nullptr);
    EXPECT_EQ(s.f.manager.mDownButtons, 0);
}

TEST(WidgetManager, OverlaysPaintInPriorityOrder) {
    Fixture f;
    Log log;
    RecordingImage screen(800, 600);
    f.manager.mImage = &screen;
    RecordingWidget a("a", &log), b("b", &log), c("c", &log), d("d", &log);
    f.manager.mCurG = nullptr;
    f.manager.DeferOverlay(&a, 5);
    f.manager.DeferOverlay(&b, 1);
    f.manager.DeferOverlay(&c, 5);
    f.manager.DeferOverlay(&d, 3);
    f.manager.FlushDeferredOverlays(4);  // paints below 4 only
    EXPECT_EQ(log, Log({"b overlay 1", "d overlay 3"}));
    f.manager.FlushDeferredOverlays(Velm::WidgetManager::kNoPriority);
    EXPECT_EQ(log, Log({"b overlay 1", "d overlay 3", "a overlay 5", "c overlay 5"}));
    EXPECT_TRUE(f.manager.mDeferredOverlayWidgets.empty());
}

class OverlayWidget : public RecordingWidget {
public:
    using RecordingWidget::RecordingWidget;
    void Draw(Velm::Graphics* g) override {
        RecordingWidget::Draw(g);
        DeferOverlay(mOverlayPriority);
    }
    int mOverlayPriority = 0;
};

TEST(WidgetManager, HigherPriorityWidgetDrawsOverLowerOverlays) {
    Fixture f;
    Log log;
    RecordingImage screen(800, 600);
    f.manager.mImage = &screen;
    OverlayWidget low("low", &log), high("high", &log);
    low.Resize(0, 0, 10, 10);
    high.Resize(20, 0, 10, 10);
    high.mPriority = 1;
    low.mOverlayPriority = 0;
    high.mOverlayPriority = 1;
    f.manager.AddWidget(&low);
    f.manager.AddWidget(&high);
    log.clear();
    f.manager.DrawScreen();
    EXPECT_EQ(log, Log({"low draw 0,0", "low overlay 0", "high draw 20,0", "high overlay 1"}));
}

TEST(WidgetManager, RemapMouse) {
    Fixture f;
    f.manager.SetRemapRects(Velm::Rect(10, 0, 1024, 768), Velm::Rect(0, 0, 512, 384));
    EXPECT_EQ(f.manager.mWidth, 1044);
    int x = 100, y = 50;
    f.manager.RemapMouse(x, y);
    EXPECT_EQ(x, 210);
    EXPECT_EQ(y, 100);
}

TEST(WidgetManager, PopupIsRemovedByPressOutsideIt) {
    Scene s;
    s.f.manager.mPopupCommandWidget = &s.b;
    s.f.manager.MouseDown(100, 100, 1);  // inside B: stays
    s.f.manager.MouseUp(100, 100, 1);
    EXPECT_TRUE(s.f.manager.HasWidget(&s.b));
    s.f.manager.MouseDown(20, 20, 1);
    s.f.manager.MouseUp(20, 20, 1);
    EXPECT_FALSE(s.f.manager.HasWidget(&s.b));
    EXPECT_EQ(s.f.manager.mPopupCommandWidget, nullptr);
}

TEST(WidgetManager, HandCursorFollowsHover) {
    Scene s;
    s.b.mDoFinger = true;
    s.f.manager.MouseMove(150, 150);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_HAND);
    s.f.manager.MouseMove(20, 20);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_POINTER);
}

}  // namespace
}  // namespace VelmTest
