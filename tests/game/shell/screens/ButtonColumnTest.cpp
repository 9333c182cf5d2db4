#include "game/shell/screens/ButtonColumn.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "widgets/Widget.h"

namespace {

struct Column {
    std::vector<std::unique_ptr<Velm::Widget>> owned;
    ButtonColumn column;

    Column(int x, int y, int w, int h, std::initializer_list<std::pair<int, int>> sizes) : column(x, y, w, h) {
        for (const auto& size : sizes) {
            owned.push_back(std::make_unique<Velm::Widget>());
            owned.back()->Resize(7, 9, size.first, size.second);
            column.Add(owned.back().get());
        }
    }
    int X(size_t i) const { return owned[i]->mX; }
    int Y(size_t i) const { return owned[i]->mY; }
};

TEST(ButtonColumnTest, VerticalGapsWithAndWithoutLeadingGap) {
    struct Case {
        const char* why;
        bool noLeadingGap;
        int y0;
        int y1;
    };
    const Case cases[] = {
            {"no leading gap: gap 60", true, 100, 200},
            {"leading gap: gap 40", false, 140, 220},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Column col(0, 100, 300, 200, {{80, 40}, {80, 40}});
        col.column.Arrange(true, false, c.noLeadingGap, true);
        EXPECT_EQ(col.Y(0), c.y0);
        EXPECT_EQ(col.Y(1), c.y1);
        EXPECT_EQ(col.X(0), 7);  // x untouched without horizontal
    }
}

TEST(ButtonColumnTest, GapTruncatesTowardZeroAndMayBeNegative) {
    Column col(0, 0, 100, 100, {{10, 40}, {10, 40}, {10, 40}});
    col.column.Arrange(true, false, true, true);  // (100 - 120) / 3 = -6
    EXPECT_EQ(col.Y(0), 0);
    EXPECT_EQ(col.Y(1), 34);
    EXPECT_EQ(col.Y(2), 68);
}

TEST(ButtonColumnTest, HorizontalCentredAndSpread) {
    Column centred(50, 0, 200, 100, {{100, 10}, {41, 10}});
    centred.column.Arrange(false, true, false, true);
    EXPECT_EQ(centred.X(0), 100);
    EXPECT_EQ(centred.X(1), 50 + 79);
    EXPECT_EQ(centred.Y(0), 9);  // y untouched without vertical

    Column spread(0, 0, 200, 100, {{40, 10}, {40, 10}});
    spread.column.Arrange(false, true, false, false);  // start (200 - 80) / 3 = 40
    EXPECT_EQ(spread.X(0), 40 + 80);
    EXPECT_EQ(spread.X(1), 40 + 80);
}

TEST(ButtonColumnTest, EmptyColumnDoesNothing) {
    ButtonColumn column(0, 0, 100, 100);
    column.Arrange(true, true, false, false);
    EXPECT_TRUE(column.widgets.empty());
}

}  // namespace
