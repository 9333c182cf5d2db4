#include <gtest/gtest.h>

#include "game/shell/ui/RadioButton.h"
#include "graphics/Graphics.h"
#include "tests/game/shell/ui/UiTestSupport.h"

namespace UiTest {
namespace {

uint32_t Argb(int r, int g, int b) {
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// Lines are blended, which may round 255 down to 254.
bool IsYellow(uint32_t pixel) {
    const Velm::Color c(static_cast<int>(pixel));
    return c.red >= 254 && c.green >= 254 && c.blue == 0;
}

std::vector<uint32_t> DrawInto(Velm::RadioButton& radio, int width, int height) {
    Velm::MemoryImage target(nullptr);
    target.Create(width, height);
    Velm::Graphics g(&target);
    radio.Draw(&g);
    return std::vector<uint32_t>(target.GetBits(), target.GetBits() + width * height);
}

TEST(RadioButton, WithoutImagesDrawsAFramedSquareWithCross) {
    Velm::RadioButton radio(nullptr, nullptr, 3, nullptr);
    radio.Resize(0, 0, 10, 10);
    std::vector<uint32_t> px = DrawInto(radio, 10, 10);
    EXPECT_EQ(px[0], Argb(255, 255, 255));  // border
    EXPECT_EQ(px[9 * 10 + 9], Argb(255, 255, 255));
    EXPECT_EQ(px[4 * 10 + 4], Argb(80, 80, 80));  // inside, no cross
    radio.SetChecked(true, false);
    px = DrawInto(radio, 10, 10);
    EXPECT_TRUE(IsYellow(px[4 * 10 + 4]));  // on the cross
    EXPECT_TRUE(IsYellow(px[1 * 10 + 9]));
    EXPECT_EQ(px[2 * 10 + 5], Argb(80, 80, 80));  // off the cross
    EXPECT_EQ(px[0], Argb(255, 255, 255));
}

TEST(RadioButton, PicturesByState) {
    std::unique_ptr<Velm::MemoryImage> off = SolidImage(8, 8, 0xFF101010u);
    std::unique_ptr<Velm::MemoryImage> on = SolidImage(8, 8, 0xFF202020u);
    std::unique_ptr<Velm::MemoryImage> over = SolidImage(8, 8, 0xFF303030u);
    std::unique_ptr<Velm::MemoryImage> down = SolidImage(8, 8, 0xFF404040u);
    std::unique_ptr<Velm::MemoryImage> gone = SolidImage(8, 8, 0xFF505050u);
    Velm::RadioButton radio(off.get(), on.get(), 1, nullptr, over.get(), down.get(), gone.get());
    radio.Resize(0, 0, 8, 8);
    const struct {
        bool checked, isOver, isDown, disabled;
        uint32_t colour;
    } rows[] = {
            {false, false, false, false, 0xFF101010u}, {true, false, false, false, 0xFF202020u},
            {false, true, false, false, 0xFF303030u},  {true, true, false, false, 0xFF202020u},  // over shows checked
            {false, true, true, false, 0xFF404040u},   {true, true, false, true, 0xFF505050u},
    };
    for (const auto& row : rows) {
        radio.mChecked = row.checked;
        radio.mIsOver = row.isOver;
        radio.mIsDown = row.isDown;
        radio.mDisabled = row.disabled;
        EXPECT_EQ(DrawInto(radio, 8, 8)[3 * 8 + 3], row.colour)
                << row.checked << row.isOver << row.isDown << row.disabled;
    }
}

TEST(RadioButton, SheetRectangles) {
    // A 4-wide sheet: columns 0-1 red (unchecked), 2-3 green (checked).
    std::vector<uint32_t> bits = {0xFFFF0000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF00FF00u};
    Velm::MemoryImage sheet(nullptr);
    sheet.SetBits(bits.data(), 4, 1);
    Velm::RadioButton radio(&sheet, &sheet, 1, nullptr);
    radio.mUncheckedRect = Velm::Rect(0, 0, 2, 1);
    radio.mCheckedRect = Velm::Rect(2, 0, 2, 1);
    radio.Resize(0, 0, 2, 1);
    EXPECT_EQ(DrawInto(radio, 2, 1)[0], 0xFFFF0000u);
    radio.SetChecked(true, false);
    EXPECT_EQ(DrawInto(radio, 2, 1)[1], 0xFF00FF00u);
}

TEST(RadioButton, ReleaseOverChecksAndDragOffClears) {
    RecordingScreen screen;
    Velm::RadioButton radio(nullptr, nullptr, 6, &screen);
    radio.MouseDown(2, 2, 0, 1);
    EXPECT_EQ(radio.mPressX, 2);
    radio.mIsOver = true;
    radio.MouseUp(2, 2, 0, 1);
    EXPECT_TRUE(radio.IsChecked());
    radio.mIsOver = false;
    radio.MouseUp(50, 2, 0, 1);
    EXPECT_FALSE(radio.IsChecked());
    radio.SetChecked(true, false);  // quiet
    radio.SetChecked(false, true);
    EXPECT_EQ(screen.mEvents, (std::vector<std::string>{"checked 6 1", "checked 6 0", "checked 6 0"}));
}

TEST(RadioButton, LabelUsesItsOwnFontCopy) {
    Velm::RadioButton radio(nullptr, nullptr, 1, nullptr);
    PathFont font("fonts/x");
    radio.SetFont(&font);
    ASSERT_NE(radio.mFont, nullptr);
    EXPECT_NE(radio.mFont.get(), &font);
    EXPECT_EQ(FontPath(radio.mFont.get()), "fonts/x");
    radio.SetFont(nullptr);
    EXPECT_EQ(radio.mFont, nullptr);
    radio.mLabel = "no font";  // drawing a label without a font draws no text and does not crash
    radio.Resize(0, 0, 10, 10);
    DrawInto(radio, 10, 10);
}

}  // namespace
}  // namespace UiTest
