#include <gtest/gtest.h>

#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

namespace VelmTest {
namespace {

using Velm::ListWidget;

std::string Lines(ListWidget& list) {
    std::string s;
    for (const std::string& line : list.mLines) s += line + ",";
    return s;
}

// A list with item height 20 at (0, 0, 200, 108): five lines fit.
struct ListScene {
    Fixture f;
    Log textLog;
    TestFont font{&textLog};
    RecordingListener listener;
    ListWidget list{1, &font, &listener};
    ListScene() {
        list.mItemHeight = 20;
        list.Resize(0, 0, 200, 108);
        f.manager.AddWidget(&list);
    }
    void Add(std::initializer_list<const char*> lines) {
        for (const char* line : lines) list.AddLine(line, false);
    }
};

TEST(ListWidget, AddLineSorted) {
    struct Case {
        const char* why;
        std::vector<const char*> before;
        const char* line;
        int index;
        const char* after;
    };
    const Case kCases[] = {
            {"between", {"a", "c"}, "b", 1, "a,b,c,"},
            {"into an empty list", {}, "b", 0, "b,"},
            {"sorts last", {"a", "c"}, "z", 2, "a,c,z,"},
            {"byte-wise: upper case first", {"a", "c"}, "B", 0, "B,a,c,"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ListScene s;
        for (const char* line : c.before) s.list.AddLine(line, false);
        EXPECT_EQ(s.list.AddLine(c.line, true), c.index);
        EXPECT_EQ(Lines(s.list), c.after);
        EXPECT_EQ(s.list.mLineColors.size(), s.list.mLines.size());
    }
}

TEST(ListWidget, HoverFromPointer) {
    struct Case {
        const char* why;
        double position;
        int y;
        int hilite;
    };
    const Case kCases[] = {
            {"top margin counts as the first line", 0, 2, 0},
            {"last pixel of line 0", 0, 23, 0},
            {"first pixel of line 1", 0, 24, 1},
            {"scrolled by two", 2, 24, 3},
            {"below the last line", 0, 90, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ListScene s;
        s.Add({"a", "b", "c", "d"});
        s.list.mPosition = c.position;
        s.f.manager.MouseMove(50, c.y);
        EXPECT_EQ(s.list.mHiliteIdx, c.hilite);
    }
}

TEST(ListWidget, HoverReportsChangesAndCursor) {
    ListScene s;
    s.Add({"a", "b", "c"});
    s.f.manager.MouseMove(50, 10);
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_HAND);
    s.f.manager.MouseMove(50, 30);
    s.f.manager.MouseMove(50, 90);  // below the last line
    EXPECT_EQ(s.f.app.mCursor, Velm::CURSOR_POINTER);
    s.f.manager.MouseMove(50, 10);
    s.f.manager.MouseExit(50, 10);
    EXPECT_EQ(s.listener.mLog,
              Log({"hilite 1 -1 0", "hilite 1 0 1", "hilite 1 1 -1", "hilite 1 -1 0", "hilite 1 0 -1"}));
}

TEST(ListWidget, PressReportsHoveredLine) {
    ListScene s;
    s.Add({"a", "b", "c"});
    s.f.manager.MouseMove(50, 30);
    s.f.manager.MouseDown(50, 30, 2);
    s.f.manager.MouseUp(50, 30, 2);
    s.f.manager.MouseMove(50, 100);
    s.f.manager.MouseDown(50, 100, 1);  // no line hovered: nothing
    s.f.manager.MouseUp(50, 100, 1);
    Log clicks;
    for (const std::string& line : s.listener.mLog)
        if (line.rfind("clicked", 0) == 0) clicks.push_back(line);
    EXPECT_EQ(clicks, Log({"clicked 1 1 2"}));
}

TEST(ListWidget, RemoveLine) {
    struct Case {
        const char* why;
        int remove;
        int selectBefore, hiliteBefore;
        const char* lines;
        int selectAfter, hiliteAfter;
    };
    const Case kCases[] = {
            {"above the selection keeps the index", 0, 1, -1, "b,c,", 1, -1},
            {"index past the end is ignored", 3, 1, -1, "a,b,c,", 1, -1},
            {"-1 is ignored", -1, 1, -1, "a,b,c,", 1, -1},
            {"negative index is ignored", -7, 1, -1, "a,b,c,", 1, -1},
            {"selection past the new end becomes none", 2, 2, 2, "a,b,", -1, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ListScene s;
        Velm::ScrollbarWidget bar(2, &s.list);
        s.list.mScrollbar = &bar;
        s.Add({"a", "b", "c"});
        s.list.SetSelect(c.selectBefore);
        s.list.mHiliteIdx = c.hiliteBefore;
        s.list.RemoveLine(c.remove);
        EXPECT_EQ(Lines(s.list), c.lines);
        EXPECT_EQ(s.list.mSelectIdx, c.selectAfter);
        EXPECT_EQ(s.list.mHiliteIdx, c.hiliteAfter);
        EXPECT_EQ(s.list.mLineColors.size(), s.list.mLines.size());
        EXPECT_DOUBLE_EQ(bar.mMaxValue, static_cast<double>(s.list.mLines.size()));
        s.list.mScrollbar = nullptr;
    }
}

TEST(ListWidget, LinkedListsActAsColumns) {
    ListScene s;
    ListWidget second(3, &s.font, &s.listener);
    second.mItemHeight = 20;
    second.Resize(200, 0, 100, 108);
    s.list.mChildList = &second;
    second.mParentList = &s.list;
    s.f.manager.AddWidget(&second);
    Velm::ScrollbarWidget bar(2, &s.list);
    bar.ResizeScrollbar(300, 0, 20, 108);
    s.list.mScrollbar = &bar;
    s.list.Resize(0, 0, 200, 108);  // tells the bar the page size
    s.f.manager.AddWidget(&bar);

    for (int i = 0; i < 12; i++) s.list.AddLine(Fmt("%02d", i), false);
    second.SetLine(0, "x");
    s.list.AddLine("x", false);
    EXPECT_EQ(second.mLines.size(), 13u);
    EXPECT_EQ(second.mLines[12], "-");

    s.f.manager.MouseMove(250, 30);  // hover in the second column
    EXPECT_EQ(s.list.mHiliteIdx, 1);
    EXPECT_EQ(second.mHiliteIdx, 1);

    s.f.manager.SetFocus(&s.list);
    s.f.manager.MouseWheel(-1);  // toward the user: five lines down
    EXPECT_DOUBLE_EQ(s.list.mPosition, 5);
    EXPECT_DOUBLE_EQ(second.mPosition, 5);
    s.f.manager.MouseWheel(3);  // away: five up, whatever the notches
    EXPECT_DOUBLE_EQ(s.list.mPosition, 0);

    s.list.SetSelect(4);
    EXPECT_EQ(second.mSelectIdx, 4);
    second.RemoveAll();
    EXPECT_TRUE(s.list.mLines.empty());
    EXPECT_EQ(s.list.mSelectIdx, -1);
    s.list.mScrollbar = nullptr;
    s.f.manager.RemoveWidget(&bar);
}

TEST(ListWidget, SortWithKeysFromAllColumns) {
    struct Case {
        const char* why;
        std::vector<const char*> lines;
        int width;
        bool ascending;
        const char* expected;
    };
    const Case kCases[] = {
            {"padded numbers", {"10", "9"}, 2, true, "9,10,"},
            {"unpadded is by bytes", {"10", "9"}, 0, true, "10,9,"},
            {"descending", {"a", "c", "b"}, 0, false, "c,b,a,"},
            {"equal keys keep their order", {"b", "a", "b"}, 0, true, "a,b,b,"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ListScene s;
        s.list.mMaxNumericPlaces = c.width;
        for (const char* line : c.lines) s.list.AddLine(line, false);
        s.list.Sort(c.ascending);
        EXPECT_EQ(Lines(s.list), c.expected);
    }
}

TEST(ListWidget, SortMovesColumnsAndColoursTogether) {
    ListScene s;
    ListWidget second(3, &s.font, nullptr);
    s.list.mChildList = &second;
    second.mParentList = &s.list;
    s.Add({"b", "a"});
    second.SetLine(0, "B");
    second.SetLine(1, "A");
    s.list.SetLineColor(0, Velm::Color(1, 2, 3));
    s.list.Sort(true);
    EXPECT_EQ(Lines(s.list), "a,b,");
    EXPECT_EQ(Lines(second), "A,B,");
    EXPECT_EQ(s.list.mLineColors[1], Velm::Color(1, 2, 3));
    EXPECT_EQ(second.mLineColors[1], Velm::Color(1, 2, 3));
}

TEST(ListWidget, DrawsVisibleLinesWithBars) {
    ListScene s;
    s.Add({"a", "b", "c", "d", "e", "f", "g", "h"});
    s.list.SetSelect(1);
    s.list.mHiliteIdx = 2;
    RecordingImage image(400, 400);
    Velm::Graphics g(&image);
    s.list.Draw(&g);
    // Lines 0 .. 6 (first + page 5 + 1); baseline y + ascent 8 + offset (20 - 10) / 2.
    ASSERT_EQ(s.textLog.size(), 7u);
    EXPECT_EQ(s.textLog[0], "a@4,17 0,0,0,255");
    EXPECT_EQ(s.textLog[1], "b@4,37 255,255,255,255");
    EXPECT_EQ(s.textLog[2], "c@4,57 0,192,0,255");
    EXPECT_EQ(image.mCalls[0], "fill 0,0,200,108 255,255,255,255");
    EXPECT_EQ(image.mCalls[1], "fill 0,24,200,20 0,0,128,255");
}

TEST(ListWidget, OptimalSize) {
    ListScene s;
    s.Add({"abc", "abcdef"});
    EXPECT_EQ(s.list.GetOptimalWidth(), 36 + 16);
    EXPECT_EQ(s.list.GetOptimalHeight(), 2 * 20 + 8);
    EXPECT_EQ(s.list.GetLineIdx("abc"), 0);
    EXPECT_EQ(s.list.GetLineIdx("zzz"), -1);
}

TEST(ListWidget, LeavingTheManagerIsReported) {
    ListScene s;
    s.f.manager.RemoveWidget(&s.list);
    EXPECT_EQ(s.listener.mLog, Log({"closed 1"}));
}

}  // namespace
}  // namespace VelmTest
