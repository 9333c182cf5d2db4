#include "game/shell/screens/TipWidget.h"

#include <gtest/gtest.h>

namespace {

using Velm::PlaceTipWithArrow;
using Velm::TipPlacement;

// A 1024 x 768 screen, a 351 x 243 tip, a 40 x 30 arrow, 80 pixels from the tip's side.
TEST(TipPlacement, EachQuadrantOpensTowardTheMiddle) {
    struct Case {
        const char* why;
        int x, y;
        TipPlacement expected;
    };
    const Case cases[] = {
            // tip x = x + 80 - 351, y = y - (30 + 243); arrow at (351 - 80 - 40, 243 - 25)
            {"lower right", 900, 700, {629, 427, 231, 218, true, false}},
            // tip below the point: y + 30; arrow on the top edge, upside down
            {"upper right", 900, 100, {629, 130, 231, -23, true, true}},
            // tip x = x - 80, above the point
            {"lower left", 100, 700, {20, 427, 80, 218, false, false}},
            {"upper left", 100, 100, {20, 130, 80, -23, false, true}},
            // the middle counts as the left and upper half (the right half starts past it)
            {"centre", 512, 384, {432, 414, 80, -23, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const TipPlacement p = PlaceTipWithArrow(c.x, c.y, 1024, 768, 351, 243, 40, 30, 80);
        EXPECT_EQ(p.tipX, c.expected.tipX);
        EXPECT_EQ(p.tipY, c.expected.tipY);
        EXPECT_EQ(p.arrowX, c.expected.arrowX);
        EXPECT_EQ(p.arrowY, c.expected.arrowY);
        EXPECT_EQ(p.mirrorX, c.expected.mirrorX);
        EXPECT_EQ(p.mirrorY, c.expected.mirrorY);
    }
}

TEST(TipWidgetTest, WithoutArrowTheTipGoesWhereItIsPut) {
    Velm::TipWidget tip("A tip", 300, 200);
    tip.playSound = false;
    tip.showArrow = false;
    tip.PlaceAt(40, 50);
    EXPECT_EQ(tip.mX, 40);
    EXPECT_EQ(tip.mY, 50);
    EXPECT_EQ(tip.mWidth, 300);
    EXPECT_EQ(tip.mHeight, 200);
    EXPECT_EQ(tip.mDialogLines, "A tip");
    EXPECT_EQ(tip.mId, Velm::TipWidget::kDialogId);
}

TEST(TipWidgetTest, TheBoardsTipKeepsItsSizeAndTextAsWritten) {
    // A text with conversions is shown as it stands, never formatted.
    Velm::TipWidget tip("50%s %n %d");
    tip.Resize(10, 10, 20, 20);
    EXPECT_EQ(tip.mWidth, Velm::TipWidget::kFixedWidth);
    EXPECT_EQ(tip.mHeight, Velm::TipWidget::kFixedHeight);
    EXPECT_EQ(tip.mDialogLines, "50%s %n %d");
    for (int i = 0; i < 3; ++i) tip.Update();
    EXPECT_EQ(tip.age, 3);
}

}  // namespace
