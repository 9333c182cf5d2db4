#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/MemoryImage.h"
#include "tests/widgets/WidgetTestSupport.h"
#include "widgets/Checkbox.h"

namespace VelmTest {
namespace {

using Velm::Widget;

std::string Order(Velm::WidgetContainer& node) {
    std::string s;
    for (Widget* w : node.mWidgets) s += static_cast<RecordingWidget*>(w)->mName;
    return s;
}

TEST(WidgetTree, InsertionKeepsZOrderBands) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log), b("b", &log), c("c", &log);
    a.mZOrder = 0;
    b.mZOrder = 5;
    c.mZOrder = 0;
    f.manager.AddWidget(&a);
    f.manager.AddWidget(&b);
    f.manager.AddWidget(&c);
    EXPECT_EQ(Order(f.manager), "acb");

    f.manager.BringToBack(&c);
    EXPECT_EQ(Order(f.manager), "cab");

    // A z-order 5 widget cannot go in front of a only: it stays after both 0s.
    f.manager.PutInFront(&b, &c);
    EXPECT_EQ(Order(f.manager), "cab");

    f.manager.BringToFront(&c);
    EXPECT_EQ(Order(f.manager), "acb");
    f.manager.PutBehind(&c, &a);
    EXPECT_EQ(Order(f.manager), "cab");
}

TEST(WidgetTree, NonChildOperationsAreNoOps) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log), stranger("s", &log);
    f.manager.AddWidget(&a);
    f.manager.AddWidget(&a);
    f.manager.RemoveWidget(&stranger);
    f.manager.BringToFront(&stranger);
    f.manager.PutInFront(&stranger, &a);
    EXPECT_EQ(Order(f.manager), "a");
    EXPECT_EQ(stranger.mParent, nullptr);
}

TEST(WidgetTree, AddAndRemoveLinkManagerAndParent) {
    Fixture f;
    Log log;
    RecordingWidget parent("p", &log), child("c", &log), grandchild("g", &log);
    parent.AddWidget(&child);
    child.AddWidget(&grandchild);
    EXPECT_EQ(grandchild.mWidgetManager, nullptr);
    f.manager.AddWidget(&parent);
    EXPECT_EQ(grandchild.mWidgetManager, &f.manager);
    EXPECT_EQ(child.mParent, &parent);
    f.manager.RemoveWidget(&parent);
    EXPECT_EQ(grandchild.mWidgetManager, nullptr);
    EXPECT_EQ(parent.mParent, nullptr);
    EXPECT_EQ(child.mParent, &parent);
}

TEST(WidgetTree, IsBelowWalksBackToFrontParentsFirst) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log), a1("a1", &log), b("b", &log);
    a.AddWidget(&a1);
    f.manager.AddWidget(&a);
    f.manager.AddWidget(&b);
    EXPECT_TRUE(f.manager.IsBelow(&a, &a1));
    EXPECT_TRUE(f.manager.IsBelow(&a1, &b));
    EXPECT_FALSE(f.manager.IsBelow(&b, &a1));
    RecordingWidget stranger("s", &log);
    EXPECT_FALSE(f.manager.IsBelow(&stranger, &b));
}

TEST(WidgetTree, AbsolutePositionAddsParents) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log), b("b", &log);
    a.Resize(10, 20, 100, 100);
    b.Resize(3, 4, 10, 10);
    a.AddWidget(&b);
    f.manager.AddWidget(&a);
    EXPECT_EQ(b.GetAbsPos().x, 13);
    EXPECT_EQ(b.GetAbsPos().y, 24);
}

TEST(WidgetTree, RemovalDuringUpdateWalkUpdatesEveryRemainingChildOnce) {
    struct Case {
        const char* why;
        int remover;  // index of the widget whose Update removes
        int removed;  // index of the widget it removes
        const char* expected;
    };
    const Case kCases[] = {
            {"removes itself", 1, 1, "a b c d"},
            {"removes the next sibling", 1, 2, "a b d"},
            {"removes an earlier sibling", 2, 0, "a b c d"},
            {"removes the last sibling", 0, 3, "a b c"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        Log log;
        // Heap widgets so that the address sanitizer sees a deleted one used.
        std::vector<std::unique_ptr<RecordingWidget>> widgets;
        const char* names[] = {"a", "b", "c", "d"};
        for (const char* name : names) {
            widgets.emplace_back(new RecordingWidget(name, &log));
            f.manager.AddWidget(widgets.back().get());
        }
        Widget* victim = widgets[c.removed].get();
        bool deleted = false;
        widgets[c.remover]->mOnUpdate = [&]() {
            if (deleted) return;
            f.manager.RemoveWidget(victim);
            deleted = true;
        };
        f.manager.UpdateFrame();
        std::string updated;
        for (const std::string& line : log) {
            if (line.find(" update") == std::string::npos) continue;
            if (!updated.empty()) updated += " ";
            updated += line.substr(0, line.find(' '));
        }
        EXPECT_EQ(updated, c.expected);
        EXPECT_FALSE(f.manager.HasWidget(victim));
        // Deleting the removed widget right away is safe once the walk is over.
        for (auto& w : widgets)
            if (w.get() == victim) w.reset();
        f.manager.UpdateFrame();
    }
}

TEST(WidgetTree, UpdateRunsOncePerManagerTick) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log);
    f.manager.AddWidget(&a);
    f.manager.UpdateFrame();
    Velm::ModalFlags flags;
    flags.overFlags = flags.underFlags = Velm::WIDGETFLAGS_DEFAULT;
    flags.isOver = true;
    f.manager.UpdateAll(&flags);
    EXPECT_EQ(std::count(log.begin(), log.end(), "a update"), 1);
    f.manager.UpdateFrame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "a update"), 2);
}

TEST(WidgetTree, FlagsModifierStopsUpdatesOfSubtree) {
    Fixture f;
    Log log;
    RecordingWidget a("a", &log), b("b", &log);
    a.AddWidget(&b);
    a.mWidgetFlagsMod.removeFlags = Velm::WIDGETFLAGS_UPDATE;
    f.manager.AddWidget(&a);
    f.manager.UpdateFrame();
    EXPECT_TRUE(log.empty());
    // Removal wins over addition.
    b.mWidgetFlagsMod.addFlags = Velm::WIDGETFLAGS_UPDATE;
    b.mWidgetFlagsMod.removeFlags = Velm::WIDGETFLAGS_UPDATE;
    a.mWidgetFlagsMod = Velm::FlagsMod();
    f.manager.UpdateFrame();
    EXPECT_EQ(log, Log({"a update"}));
}

// Three overlapping top-level widgets back to front: back (0,0,100,100),
// middle (50,50,100,100), front (120,120,50,50).
struct DirtyScene {
    Fixture f;
    Log log;
    RecordingWidget back{"back", &log}, middle{"middle", &log}, front{"front", &log};
    RecordingWidget child{"child", &log};
    DirtyScene() {
        back.Resize(0, 0, 100, 100);
        middle.Resize(50, 50, 100, 100);
        front.Resize(120, 120, 50, 50);
        f.manager.AddWidget(&back);
        f.manager.AddWidget(&middle);
        f.manager.AddWidget(&front);
        Clean();
    }
    void Clean() {
        for (Widget* w : f.manager.mWidgets) w->mDirty = false;
        child.mDirty = false;
        f.manager.mDirty = false;
    }
    std::string Dirty() {
        std::string s;
        for (Widget* w : f.manager.mWidgets)
            if (w->mDirty) s += static_cast<RecordingWidget*>(w)->mName + " ";
        return s;
    }
};

TEST(WidgetTree, DirtyMarking) {
    struct Case {
        const char* why;
        std::function<void(DirtyScene&)> act;
        const char* dirty;
    };
    // clang-format off
    const Case kCases[] = {
            {"an opaque widget dirties the overlapping widgets in front",
             [](DirtyScene& s) { s.back.MarkDirty(); }, "back middle front "},
            {"an opaque widget overlapping nothing in front dirties itself",
             [](DirtyScene& s) {
                 s.front.Move(300, 300);
                 s.Clean();
                 s.middle.MarkDirty();
             },
             "middle "},
            {"the front widget dirties only itself", [](DirtyScene& s) { s.front.MarkDirty(); }, "front "},
            {"a widget with alpha repaints what lies behind it",
             [](DirtyScene& s) {
                 s.middle.mHasAlpha = true;
                 s.middle.MarkDirty();
             },
             "back middle front "},
            {"hiding repaints what lies behind", [](DirtyScene& s) { s.front.SetVisible(false); },
             "middle front "},
            {"an opaque cover stops the repaint from reaching further back",
             [](DirtyScene& s) {
                 s.middle.Resize(0, 0, 200, 200);
                 s.Clean();
                 s.front.SetVisible(false);
             },
             "middle front "},
            {"showing a visible widget does nothing", [](DirtyScene& s) { s.front.SetVisible(true); }, ""},
            {"a nested widget dirties its top-level ancestor",
             [](DirtyScene& s) {
                 s.child.Resize(1, 1, 5, 5);
                 s.front.AddWidget(&s.child);
                 s.Clean();
                 s.child.MarkDirty();
                 EXPECT_TRUE(s.child.mDirty);
             },
             "front "},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        DirtyScene s;
        c.act(s);
        EXPECT_EQ(s.Dirty(), c.dirty);
        EXPECT_EQ(s.f.manager.mDirty, std::string(c.dirty).size() > 0);
    }
}

TEST(WidgetTree, DrawScreenDrawsDirtyTopLevelSubtreesTranslated) {
    Fixture f;
    Log log;
    RecordingImage screen(800, 600);
    f.manager.mImage = &screen;
    RecordingWidget a("a", &log), a1("a1", &log), b("b", &log), hidden("h", &log);
    a.Resize(10, 20, 100, 100);
    a1.Resize(5, 5, 10, 10);
    b.Resize(300, 300, 10, 10);
    hidden.Resize(400, 400, 10, 10);
    a.AddWidget(&a1);
    f.manager.AddWidget(&a);
    f.manager.AddWidget(&b);
    f.manager.AddWidget(&hidden);
    hidden.SetVisible(false);
    b.mDirty = false;
    log.clear();
    EXPECT_TRUE(f.manager.DrawScreen());
    EXPECT_EQ(log, Log({"a draw 10,20", "a1 draw 15,25"}));
    EXPECT_FALSE(a.mDirty);
    EXPECT_FALSE(a1.mDirty);
    EXPECT_TRUE(hidden.mDirty);  // an invisible dirty widget stays dirty
    log.clear();
    EXPECT_FALSE(f.manager.DrawScreen());
    EXPECT_TRUE(log.empty());
}

TEST(WidgetTree, MouseDownSplitsSignedClickCount) {
    struct Case {
        int signedCount;
        const char* expected;
    };
    const Case kCases[] = {{1, "w down 3,4 b0 c1"},
                           {2, "w down 3,4 b0 c2"},
                           {-1, "w down 3,4 b1 c1"},
                           {-2, "w down 3,4 b1 c2"},
                           {3, "w down 3,4 b2 c1"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.signedCount);
        Log log;
        RecordingWidget w("w", &log);
        w.MouseDown(3, 4, c.signedCount);
        EXPECT_EQ(log, Log({c.expected}));
        log.clear();
        w.MouseUp(3, 4, c.signedCount);
        std::string up = c.expected;
        up.replace(up.find("down"), 4, "up");
        EXPECT_EQ(log, Log({up}));
    }
}

TEST(WidgetTree, GetNumDigits) {
    struct Case {
        int n;
        int digits;
    };
    const Case kCases[] = {{0, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {-5, 1}, {2147483647, 10}};
    Log log;
    RecordingWidget w("w", &log);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(w.GetNumDigits(c.n), c.digits);
    }
}

TEST(WidgetTree, WriteNumberFromStripDrawsOneCellPerDigit) {
    RecordingImage strip(100, 12);  // cells 10 wide
    struct Case {
        int n;
        Log expected;
    };
    const Case kCases[] = {
            {0, {"blt 50,60 src 0,0,10,12 a255"}},
            {120, {"blt 50,60 src 10,0,10,12 a255", "blt 62,60 src 20,0,10,12 a255", "blt 74,60 src 0,0,10,12 a255"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.n);
        RecordingImage dest(200, 200);
        Velm::Graphics g(&dest);
        Log log;
        RecordingWidget w("w", &log);
        w.WriteNumberFromStrip(&g, c.n, 50, 60, &strip, 2);
        EXPECT_EQ(dest.mCalls, c.expected);
    }
}

TEST(WidgetTree, ColorTable) {
    struct Case {
        const char* why;
        int index;
        Color expected;
        Color expectedWithFallback;
    };
    const Color fallback(1, 2, 3, 4);
    const Case kCases[] = {
            {"stored entry", 1, Color(10, 20, 30), Color(10, 20, 30)},
            {"grown entry is black", 0, Color(0, 0, 0, 255), Color(0, 0, 0, 255)},
            {"past the end", 2, Color(0, 0, 0, 255), fallback},
            {"negative index counts as past the end", -1, Color(0, 0, 0, 255), fallback},
            {"far negative index", -1000000, Color(0, 0, 0, 255), fallback},
    };
    Log log;
    RecordingWidget w("w", &log);
    w.SetColor(1, Color(10, 20, 30));
    EXPECT_EQ(w.mColors.size(), 2u);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(w.GetColor(c.index), c.expected);
        EXPECT_EQ(w.GetColor(c.index, fallback), c.expectedWithFallback);
    }
    const int rgb[2][3] = {{1, 2, 3}, {4, 5, 6}};
    w.SetColorsRGB(rgb, 2);
    EXPECT_EQ(w.mColors.size(), 2u);
    EXPECT_EQ(w.GetColor(1), Color(4, 5, 6, 255));
}

TEST(WidgetTree, RemoveAllWidgetsCanDeleteRecursively) {
    Fixture f;
    Log log;
    RecordingWidget* a = new RecordingWidget("a", &log);
    RecordingWidget* b = new RecordingWidget("b", &log);
    a->AddWidget(b);
    f.manager.AddWidget(a);
    f.manager.RemoveAllWidgets(true, true);
    EXPECT_TRUE(f.manager.mWidgets.empty());
}

}  // namespace
}  // namespace VelmTest

namespace VelmTest {
namespace {

// The whole path from the manager to pixels: a plain check box drawn by
// DrawScreen into a memory image, clipped to its rectangle.
TEST(WidgetTree, DrawScreenPaintsMemoryImage) {
    Fixture f;
    Velm::MemoryImage screen(nullptr);
    screen.Create(40, 30);
    f.manager.mImage = &screen;
    Velm::Checkbox box(nullptr, nullptr, 1, nullptr);
    box.Resize(10, 5, 8, 8);
    f.manager.AddWidget(&box);
    box.SetChecked(true, false);
    ASSERT_TRUE(f.manager.DrawScreen());
    const uint32_t* bits = screen.GetBits();
    auto pixel = [&](int x, int y) { return bits[y * 40 + x]; };
    EXPECT_EQ(pixel(10, 5), 0xFFFFFFFFu);  // outline
    EXPECT_EQ(pixel(12, 8), 0xFF505050u);  // inside
    // The cross starts at (1, 1): yellow (the line blend may round 255 to 254).
    const Color cross(static_cast<int>(pixel(11, 6)));
    EXPECT_GE(cross.red, 254);
    EXPECT_GE(cross.green, 254);
    EXPECT_EQ(cross.blue, 0);
    EXPECT_EQ(pixel(9, 5), 0u);  // outside the widget: untouched
    EXPECT_EQ(pixel(18, 5), 0u);
    EXPECT_EQ(bits[40 * 30], Velm::MemoryImage::kGuardWord);
}

}  // namespace
}  // namespace VelmTest
