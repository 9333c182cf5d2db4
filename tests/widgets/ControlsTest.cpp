#include <gtest/gtest.h>

#include <cmath>

#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/ScrollbuttonWidget.h"
#include "widgets/Slider.h"

namespace VelmTest {
namespace {

// ---------------------------------------------------------------------------
// Buttons

struct ButtonScene {
    Fixture f;
    RecordingListener listener;
    Velm::ButtonWidget button{7, &listener};
    ButtonScene() {
        listener.mLogMoves = false;
        listener.mLogTicks = false;
        button.Resize(100, 100, 80, 30);
        f.manager.AddWidget(&button);
    }
};

TEST(Button, ClickDependsOnWhereTheReleaseHappens) {
    struct Case {
        const char* why;
        std::vector<std::pair<int, int>> path;  // moves while held, after a press at (110, 110)
        bool appHasFocus;
        Log expected;
    };
    // clang-format off
    const Case kCases[] = {
            {"release inside", {}, true, {"enter 7", "press 7 1", "depress 7"}},
            {"release outside", {{300, 300}}, true, {"enter 7", "press 7 1", "leave 7"}},
            {"dragged off and back on",
             {{300, 300}, {120, 120}},
             true,
             {"enter 7", "press 7 1", "leave 7", "enter 7", "depress 7"}},
            {"application without focus", {}, false, {"enter 7", "press 7 1"}},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ButtonScene s;
        if (!c.appHasFocus) s.f.manager.AppLostFocus();
        s.f.manager.MouseMove(110, 110);
        s.f.manager.MouseDown(110, 110, 1);
        int x = 110, y = 110;
        for (const auto& p : c.path) {
            x = p.first;
            y = p.second;
            s.f.manager.MouseMove(x, y);
        }
        s.f.manager.MouseUp(x, y, 1);
        EXPECT_EQ(s.listener.mLog, c.expected);
    }
}

TEST(Button, DownTickWhileHeldOverIt) {
    ButtonScene s;
    s.listener.mLogTicks = true;
    s.f.manager.MouseMove(110, 110);
    s.f.manager.MouseDown(110, 110, 1);
    s.f.manager.UpdateFrame();
    s.f.manager.UpdateFrame();
    s.f.manager.MouseMove(300, 300);
    s.f.manager.UpdateFrame();
    EXPECT_EQ(s.listener.mLog, Log({"enter 7", "press 7 1", "tick 7", "tick 7", "leave 7"}));
    EXPECT_FALSE(s.button.IsButtonDown());
}

TEST(Button, HoverFade) {
    struct Case {
        const char* why;
        double fadeIn, fadeOut;
        std::vector<double> whileOver;   // over alpha after each update while hovered
        std::vector<double> afterLeave;  // after each update once left
    };
    const Case kCases[] = {
            {"fade in by quarters", 0.25, 0, {0.25, 0.5, 0.75, 1.0, 1.0}, {0}},
            {"fade out without fade in starts from full", 0, 0.5, {0, 0}, {0.5, 0, 0}},
            {"both", 0.5, 0.25, {0.5, 1.0}, {0.75, 0.5, 0.25, 0}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ButtonScene s;
        s.button.mOverAlphaFadeInSpeed = c.fadeIn;
        s.button.mOverAlphaSpeed = c.fadeOut;
        s.f.manager.MouseMove(110, 110);
        for (double expected : c.whileOver) {
            s.f.manager.UpdateFrame();
            EXPECT_DOUBLE_EQ(s.button.mOverAlpha, expected);
        }
        s.f.manager.MouseMove(300, 300);
        for (double expected : c.afterLeave) {
            s.f.manager.UpdateFrame();
            EXPECT_DOUBLE_EQ(s.button.mOverAlpha, expected);
        }
    }
}

TEST(Button, HoverMarksDirtyOnlyWhenTheLookChanges) {
    struct Case {
        const char* why;
        std::function<void(Velm::ButtonWidget&)> setup;
        bool dirty;
    };
    Velm::Image overImage;
    const Case kCases[] = {
            {"equal label colours, no over image", [](Velm::ButtonWidget&) {}, false},
            {"different hover colour", [](Velm::ButtonWidget& b) { b.SetColor(1, Velm::Color(255, 0, 0)); }, true},
            {"over image", [&](Velm::ButtonWidget& b) { b.mOverImage = &overImage; }, true},
            {"over rectangle", [](Velm::ButtonWidget& b) { b.mOverRect = Velm::Rect(0, 0, 5, 5); }, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ButtonScene s;
        c.setup(s.button);
        s.button.mDirty = false;
        s.f.manager.mDirty = false;
        s.f.manager.MouseMove(110, 110);
        EXPECT_EQ(s.button.mDirty, c.dirty);
        s.button.mDirty = false;
        s.f.manager.MouseMove(300, 300);
        EXPECT_EQ(s.button.mDirty, c.dirty);
    }
}

TEST(Button, DefaultLookBevelsAndLabel) {
    Log textLog;
    TestFont font(&textLog);
    RecordingListener listener;
    struct Case {
        const char* why;
        bool inverted;
        const char* firstBevel;  // colour of the top edge
        const char* label;
    };
    const Case kCases[] = {
            {"at rest: light top edge", false, "fill 0,0,79,1 255,255,255,255", "OK@28,15 0,0,0,255"},
            {"inverted: pressed look at rest", true, "fill 0,0,79,1 0,0,0,255", "OK@29,16 0,0,0,255"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        textLog.clear();
        Velm::ButtonWidget button(1, &listener);
        button.mInverted = c.inverted;
        button.mLabel = "OK";
        button.SetFont(&font);
        button.Resize(0, 0, 80, 30);
        RecordingImage image(200, 200);
        Velm::Graphics g(&image);
        button.Draw(&g);
        ASSERT_GE(image.mCalls.size(), 2u);
        EXPECT_EQ(image.mCalls[0], "fill 0,0,80,30 212,212,212,255");
        EXPECT_EQ(image.mCalls[1], c.firstBevel);
        // Baseline (30 + 8 - 8 / 6 - 1) / 2 = 18; x = (80 - 12) / 2 = 34.
        (void)c.label;
        ASSERT_EQ(textLog.size(), 1u);
        EXPECT_EQ(textLog[0], c.inverted ? "OK@35,19 0,0,0,255" : "OK@34,18 0,0,0,255");
    }
}

TEST(Button, ImageStatesPickSourceRectangles) {
    RecordingListener listener;
    Velm::Image sheet;
    sheet.width = 90;
    sheet.height = 30;
    struct Case {
        const char* why;
        bool over, down, disabled;
        const char* blt;
    };
    const Case kCases[] = {
            {"normal", false, false, false, "blt 0,0 src 0,0,30,30 a255"},
            {"hovered", true, false, false, "blt 0,0 src 30,0,30,30 a255"},
            {"pressed", true, true, false, "blt 0,0 src 60,0,30,30 a255"},
            {"held but pointer outside draws the over state", false, true, false, "blt 0,0 src 30,0,30,30 a255"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::ButtonWidget button(1, &listener);
        button.mButtonImage = &sheet;
        button.mNormalRect = Velm::Rect(0, 0, 30, 30);
        button.mOverRect = Velm::Rect(30, 0, 30, 30);
        button.mDownRect = Velm::Rect(60, 0, 30, 30);
        button.Resize(0, 0, 30, 30);
        button.mIsOver = c.over;
        button.mIsDown = c.down;
        RecordingImage image(100, 100);
        Velm::Graphics g(&image);
        button.Draw(&g);
        ASSERT_EQ(image.mCalls.size(), 1u);
        EXPECT_EQ(image.mCalls[0], c.blt);
    }
}

TEST(Button, HyperlinkShadowNeedsBothOffsetsPositive) {
    struct Case {
        int dx, dy;
        size_t draws;
    };
    const Case kCases[] = {{2, 0, 1}, {0, 2, 1}, {2, 2, 2}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        Log textLog;
        TestFont font(&textLog);
        RecordingListener listener;
        Velm::HyperlinkWidget link(3, &listener);
        link.SetFont(&font);
        link.mLabel = "link";
        link.Resize(0, 0, 100, 20);
        link.mShadowOffsetX = c.dx;
        link.mShadowOffsetY = c.dy;
        RecordingImage image(200, 200);
        Velm::Graphics g(&image);
        link.Draw(&g);
        EXPECT_EQ(textLog.size(), c.draws);
    }
}

TEST(Button, HyperlinkAlphaFadeSnapsToTarget) {
    RecordingListener listener;
    Velm::HyperlinkWidget link(3, &listener);
    link.SetAlphaFade(0, 255, 100);
    std::vector<float> seen;
    for (int i = 0; i < 4; i++) {
        link.Update();
        seen.push_back(link.mLinkAlpha);
    }
    EXPECT_EQ(seen, std::vector<float>({100, 200, 255, 255}));
}

TEST(Button, DialogButtonPressedLookMovesLabel) {
    Log textLog;
    TestFont font(&textLog);
    RecordingListener listener;
    Velm::Image component;
    component.width = 30;
    component.height = 30;
    Velm::DialogButton button(&component, 1000, &listener);
    button.SetFont(&font);
    button.mLabel = "YES";
    button.Resize(0, 0, 100, 24);
    RecordingImage image(200, 200);
    Velm::Graphics g(&image);
    button.Draw(&g);
    button.mIsDown = true;
    button.mIsOver = true;
    button.Draw(&g);
    // x = (100 - 18) / 2 = 41; baseline (24 - 1 - 0 + 8 - 1) / 2 = 15; pressed moves by (1, 1).
    ASSERT_EQ(textLog.size(), 2u);
    EXPECT_EQ(textLog[0], "YES@41,15 255,255,255,255");
    EXPECT_EQ(textLog[1], "YES@42,16 255,255,255,255");
    EXPECT_EQ(g.transX, 0);
}

// ---------------------------------------------------------------------------
// Check boxes

TEST(Checkbox, EveryPressToggles) {
    Fixture f;
    RecordingListener listener;
    Velm::Checkbox box(nullptr, nullptr, 4, &listener);
    box.Resize(0, 0, 20, 20);
    f.manager.AddWidget(&box);
    f.manager.MouseDown(5, 5, 1);
    f.manager.MouseUp(5, 5, 1);
    f.manager.MouseDown(5, 5, 2);  // the second press of a double click
    f.manager.MouseUp(5, 5, 2);
    f.manager.MouseDown(5, 5, -1);
    f.manager.MouseUp(5, 5, -1);
    EXPECT_EQ(listener.mLog, Log({"checked 4 1", "checked 4 0", "checked 4 1"}));
    box.SetChecked(false, false);
    EXPECT_FALSE(box.IsChecked());
    EXPECT_EQ(listener.mLog.size(), 3u);
    box.SetChecked(true, true);
    EXPECT_EQ(listener.mLog.back(), "checked 4 1");
}

TEST(Checkbox, DrawChoosesImagesRectanglesOrPlainBox) {
    Velm::Image unchecked, checked;
    unchecked.width = checked.width = 40;
    unchecked.height = checked.height = 20;
    struct Case {
        const char* why;
        Velm::Image* uncheckedImage;
        Velm::Image* checkedImage;
        bool rects;
        bool isChecked;
        Log expected;
    };
    // clang-format off
    const Case kCases[] = {
            {"checked image", &unchecked, &checked, false, true, {"blt 0,0 src 0,0,40,20 a255"}},
            {"rectangle of the unchecked image", &unchecked, nullptr, true, true, {"blt 0,0 src 20,0,20,20 a255"}},
            {"only a checked image draws nothing", nullptr, &checked, false, true, {}},
            {"plain box with a cross", nullptr, nullptr, false, true, {"fill 0,0,20,20 255,255,255,255", "fill 1,1,18,18 80,80,80,255", "line 1,1,18,18", "line 19,1,1,18"}},
            {"plain box unchecked", nullptr, nullptr, false, false, {"fill 0,0,20,20 255,255,255,255", "fill 1,1,18,18 80,80,80,255"}},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::Checkbox box(c.uncheckedImage, c.checkedImage, 1, nullptr);
        box.Resize(0, 0, 20, 20);
        if (c.rects) {
            box.mUncheckedRect = Velm::Rect(0, 0, 20, 20);
            box.mCheckedRect = Velm::Rect(20, 0, 20, 20);
        }
        box.SetChecked(c.isChecked, false);
        RecordingImage image(100, 100);
        Velm::Graphics g(&image);
        box.Draw(&g);
        EXPECT_EQ(image.mCalls, c.expected);
    }
}

// ---------------------------------------------------------------------------
// Sliders: 100 pixels wide with a 20-pixel thumb.

struct SliderScene {
    Fixture f;
    RecordingListener listener;
    Velm::Image thumb;
    Velm::Slider slider{nullptr, &thumb, 9, &listener};
    SliderScene() {
        thumb.width = 20;
        thumb.height = 10;
        slider.Resize(0, 0, 100, 10);
        f.manager.AddWidget(&slider);
    }
};

TEST(Slider, DragThumbAndClamp) {
    SliderScene s;
    s.slider.SetValue(0.5);
    s.f.manager.MouseDown(45, 5, 1);  // thumb at 40: grabbed with offset 5
    EXPECT_TRUE(s.slider.mDragging);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_DRAGGING);
    s.f.manager.MouseMove(85, 5);  // (85 - 5) / 80 = 1.0
    s.f.manager.MouseMove(95, 5);  // still 1.0: no second report
    s.f.manager.MouseUp(95, 5, 1);
    EXPECT_EQ(s.listener.mLog, Log({"slider 9 1", "slider 9 1"}));
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_POINTER);
    EXPECT_FALSE(s.slider.mDragging);
}

TEST(Slider, PressOnTrackJumpsAndReportsAtRelease) {
    SliderScene s;
    s.f.manager.MouseDown(90, 5, 1);
    EXPECT_DOUBLE_EQ(s.slider.mVal, 0.9);
    EXPECT_TRUE(s.listener.mLog.empty());
    s.f.manager.MouseUp(90, 5, 1);
    EXPECT_EQ(s.listener.mLog, Log({"slider 9 0.9"}));
}

TEST(Slider, SetValueClamps) {
    struct Case {
        double in, out;
    };
    const Case kCases[] = {{-1, 0}, {7, 1}, {0.25, 0.25}, {NAN, 0.25}, {INFINITY, 0.25}};
    SliderScene s;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.in);
        s.slider.SetValue(c.in);
        EXPECT_DOUBLE_EQ(s.slider.mVal, c.out);
    }
}

TEST(Slider, ThumbFillingTheTrackCannotBeDragged) {
    SliderScene s;
    s.thumb.width = 100;  // no travel left
    s.slider.SetValue(0.3);
    s.f.manager.MouseDown(50, 5, 1);
    ASSERT_TRUE(s.slider.mDragging);
    s.f.manager.MouseMove(70, 5);
    EXPECT_DOUBLE_EQ(s.slider.mVal, 0.3);
    s.f.manager.MouseUp(70, 5, 1);
    EXPECT_EQ(s.listener.mLog, Log({"slider 9 0.3"}));
    EXPECT_FALSE(std::isnan(s.slider.mVal));
}

TEST(Slider, ThumbDrawnAtValue) {
    SliderScene s;
    s.slider.SetValue(0.5);
    RecordingImage image(200, 200);
    Velm::Graphics g(&image);
    s.slider.Draw(&g);
    EXPECT_EQ(image.mCalls, Log({"blt 40,0 src 0,0,20,10 a255"}));
}

TEST(Slider, ZeroLengthTrackPressKeepsValue) {
    Fixture f;
    Velm::Slider slider(nullptr, nullptr, 1, nullptr);
    slider.SetValue(0.4);
    slider.MouseDown(0, 0, 1);
    EXPECT_DOUBLE_EQ(slider.mVal, 0.4);
}

// ---------------------------------------------------------------------------
// Scroll bars: vertical, 20 x 220, buttons 20 x 20, track 180.

struct ScrollScene {
    Fixture f;
    RecordingListener listener;
    Velm::ScrollbarWidget bar{5, &listener};
    ScrollScene() {
        bar.ResizeScrollbar(0, 0, 20, 220);
        f.manager.AddWidget(&bar);
    }
};

TEST(Scrollbar, ThumbGeometry) {
    struct Case {
        const char* why;
        double maxValue, pageSize, value;
        int trackPixels;  // bar height
        int size, position;
        bool disabled;
    };
    const Case kCases[] = {
            {"page larger than the range", 10, 12, 0, 220, 0, 20, true},
            {"page equal to the range", 10, 10, 0, 220, 0, 20, true},
            {"proportional thumb", 100, 10, 45, 220, 18, 20 + 81, false},
            {"at least 8 pixels", 1000, 1, 0, 80, 8, 20, false},
            {"at the bottom", 100, 10, 90, 220, 18, 20 + 162, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ScrollScene s;
        s.bar.ResizeScrollbar(0, 0, 20, c.trackPixels);
        s.bar.SetMaxValue(c.maxValue);
        s.bar.SetPageSize(c.pageSize);
        s.bar.SetValue(c.value);
        EXPECT_EQ(s.bar.GetThumbSize(), c.size);
        EXPECT_EQ(s.bar.GetThumbPosition(), c.position);
        EXPECT_EQ(s.bar.mDisabled, c.disabled);
        EXPECT_EQ(s.bar.mUpButton->mDisabled, c.disabled);
        EXPECT_EQ(s.bar.mDownButton->mDisabled, c.disabled);
    }
}

TEST(Scrollbar, HideWhenNoScroll) {
    ScrollScene s;
    s.bar.SetHideWhenNoScroll(true);
    EXPECT_FALSE(s.bar.mVisible);
    s.bar.SetMaxValue(100);
    s.bar.SetPageSize(10);
    EXPECT_TRUE(s.bar.mVisible);
    EXPECT_TRUE(s.bar.mUpButton->mVisible);
    s.bar.SetMaxValue(5);
    EXPECT_FALSE(s.bar.mVisible);
    EXPECT_FALSE(s.bar.mDownButton->mVisible);
}

TEST(Scrollbar, SetValueReportsClampedValue) {
    ScrollScene s;
    s.bar.SetMaxValue(100);
    s.bar.SetPageSize(10);
    s.bar.SetValue(30);
    s.listener.mLog.clear();
    s.bar.SetValue(-5);  // clamp report, then SetValue's own
    EXPECT_EQ(s.listener.mLog, Log({"scroll 5 0", "scroll 5 0"}));
    s.listener.mLog.clear();
    s.bar.SetValue(-5);  // already 0: only SetValue's report
    EXPECT_EQ(s.listener.mLog, Log({"scroll 5 0"}));
    s.listener.mLog.clear();
    s.bar.SetPageSize(200);  // the clamp moves the value
    EXPECT_TRUE(s.listener.mLog.empty());
}

TEST(Scrollbar, TrackPressPagesAndRepeats) {
    ScrollScene s;
    s.bar.SetMaxValue(100);
    s.bar.SetPageSize(10);
    s.bar.SetValue(90);  // thumb at the bottom: 182 .. 200
    s.listener.mLog.clear();
    s.f.manager.MouseDown(10, 25, 1);  // before the thumb
    EXPECT_DOUBLE_EQ(s.bar.mValue, 80);
    std::vector<int> stepsAt;
    for (int tick = 1; tick <= 60; tick++) {
        double before = s.bar.mValue;
        s.f.manager.UpdateFrame();
        if (s.bar.mValue != before) stepsAt.push_back(tick);
    }
    // 25 ticks after the press, then every 5 ticks, until the thumb reaches the pointer.
    EXPECT_EQ(stepsAt, std::vector<int>({25, 30, 35, 40, 45, 50, 55, 60}));
    for (int tick = 0; tick < 10; tick++) s.f.manager.UpdateFrame();
    EXPECT_DOUBLE_EQ(s.bar.mValue, 0);
    EXPECT_EQ(s.bar.mUpdateMode, Velm::ScrollbarWidget::TRACK_NONE);
    s.f.manager.MouseUp(10, 25, 1);
}

TEST(Scrollbar, ArrowButtonsStepAndRepeat) {
    ScrollScene s;
    s.bar.SetMaxValue(100);
    s.bar.SetPageSize(10);
    s.f.manager.MouseMove(10, 210);
    s.f.manager.MouseDown(10, 210, 1);  // the down button
    EXPECT_DOUBLE_EQ(s.bar.mValue, 1);
    for (int i = 0; i < 24; i++) s.f.manager.UpdateFrame();
    EXPECT_DOUBLE_EQ(s.bar.mValue, 1);
    s.f.manager.UpdateFrame();
    EXPECT_DOUBLE_EQ(s.bar.mValue, 2);
    s.f.manager.UpdateFrame();
    EXPECT_DOUBLE_EQ(s.bar.mValue, 3);
    s.f.manager.MouseUp(10, 210, 1);
}

TEST(Scrollbar, ThumbDrag) {
    ScrollScene s;
    s.bar.SetMaxValue(100);
    s.bar.SetPageSize(10);
    s.f.manager.MouseDown(10, 25, 1);  // on the thumb at 20 .. 38
    ASSERT_TRUE(s.bar.mPressedOnThumb);
    s.f.manager.MouseMove(10, 25 + 81);  // 81 of 162 pixels of travel
    EXPECT_DOUBLE_EQ(s.bar.mValue, 45);
    s.f.manager.MouseMove(10, 500);
    EXPECT_DOUBLE_EQ(s.bar.mValue, 90);
    s.f.manager.MouseUp(10, 500, 1);
    EXPECT_FALSE(s.bar.mPressedOnThumb);
}

TEST(Scrollbar, ThumbFillingTheTrackIgnoresDrag) {
    ScrollScene s;
    s.bar.ResizeScrollbar(0, 0, 20, 48);  // track 8: the minimum thumb fills it
    s.bar.SetMaxValue(1000);
    s.bar.SetPageSize(1);
    s.bar.SetValue(10);
    ASSERT_EQ(s.bar.GetThumbSize(), s.bar.GetTrackSize());
    s.bar.mPressedOnThumb = true;
    s.bar.MouseDrag(10, 40);
    EXPECT_DOUBLE_EQ(s.bar.mValue, 10);
    EXPECT_FALSE(std::isnan(s.bar.mValue));
}

TEST(Scrollbar, DisabledBarIgnoresPresses) {
    ScrollScene s;
    s.bar.MouseDown(10, 100, 0, 1);
    EXPECT_EQ(s.bar.mUpdateMode, Velm::ScrollbarWidget::TRACK_NONE);
    EXPECT_TRUE(s.listener.mLog.empty());
}

}  // namespace
}  // namespace VelmTest

namespace VelmTest {
namespace {

// The arrows are four filled lines of 1, 3, 5 and 7 pixels; on a 20 x 20
// button at rest they start at the tip.
TEST(Scrollbutton, ArrowPointsByIdAndDirection) {
    struct Case {
        const char* why;
        int id;
        bool horizontal;
        int type;
        const char* tip;   // the 1-pixel line
        const char* base;  // the 7-pixel line
    };
    // clang-format off
    const Case kCases[] = {
            {"id 0 vertical points up", 0, false, 0, "fill 9,8,1,1 0,0,0,255", "fill 6,11,7,1 0,0,0,255"},
            {"id 1 vertical points down", 1, false, 0, "fill 9,11,1,1 0,0,0,255", "fill 6,8,7,1 0,0,0,255"},
            {"id 0 horizontal points left", 0, true, 0, "fill 8,9,1,1 0,0,0,255", "fill 11,6,1,7 0,0,0,255"},
            {"id 1 horizontal points right", 1, true, 0, "fill 11,9,1,1 0,0,0,255", "fill 8,6,1,7 0,0,0,255"},
            {"direction left on id 1", 1, false, Velm::ScrollbuttonWidget::ARROW_LEFT, "fill 8,9,1,1 0,0,0,255",
             "fill 11,6,1,7 0,0,0,255"},
            {"direction up on id 1", 1, false, Velm::ScrollbuttonWidget::ARROW_UP, "fill 9,8,1,1 0,0,0,255",
             "fill 6,11,7,1 0,0,0,255"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::ScrollbuttonWidget button(c.id, nullptr);
        button.mHorizontal = c.horizontal;
        button.mType = c.type;
        button.Resize(0, 0, 20, 20);
        RecordingImage image(100, 100);
        Velm::Graphics g(&image);
        button.Draw(&g);
        ASSERT_GE(image.mCalls.size(), 4u);
        const size_t n = image.mCalls.size();
        EXPECT_EQ(image.mCalls[n - 4], c.tip);
        EXPECT_EQ(image.mCalls[n - 1], c.base);
    }
}

TEST(Scrollbutton, DisabledArrowIsGrey) {
    Velm::ScrollbuttonWidget button(0, nullptr);
    button.Resize(0, 0, 20, 20);
    button.SetDisabled(true);
    RecordingImage image(100, 100);
    Velm::Graphics g(&image);
    button.Draw(&g);
    EXPECT_EQ(image.mCalls.back(), "fill 6,11,7,1 132,132,132,255");
}

}  // namespace
}  // namespace VelmTest
