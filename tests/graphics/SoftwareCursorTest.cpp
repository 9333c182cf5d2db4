// The display's software cursor: drawn into the presented frame at the cursor position and
// taken out of the drawing surface again, moved on the primary between frames with the saved
// area put back, and shown in a real window (Xvfb) including moves from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "graphics/Graphics.h"
#include "platform/DdPresenter.h"
#include "platform/Window.h"
#include "tests/graphics/DisplayFixture.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

using test::DisplayRig;

constexpr int kWidth = 200;
constexpr int kHeight = 150;
constexpr uint32_t kCursorColour = 0xFFFF0000;
constexpr int kCursorSize = 8;  // drawn from x - 4 to x + 3

// Whether a primary pixel is the cursor's (pure red in any format).
bool IsCursor(uint32_t xrgb) { return xrgb == 0xFF0000u; }

class SoftwareCursorTest : public ::testing::Test {
protected:
    void FillScreen(DDInterface& display) {
        display.GetScreenImage()->FillRect(Rect(0, 0, kWidth, kHeight), Color(0x20, 0x40, 0x60), 0);
    }
};

// Counts the cursor's pixels in the box around (x, y) on a frame read through get(x, y).
template <typename Get>
int CursorPixelsAround(Get get, int x, int y) {
    int count = 0;
    for (int dy = -kCursorSize; dy < kCursorSize; ++dy)
        for (int dx = -kCursorSize; dx < kCursorSize; ++dx)
            if (x + dx >= 0 && y + dy >= 0 && x + dx < kWidth && y + dy < kHeight && IsCursor(get(x + dx, y + dy)))
                ++count;
    return count;
}

TEST_F(SoftwareCursorTest, DrawnIntoTheFrameAndMovedOnThePrimary) {
    for (const test::SurfaceFormat& format : test::AllFormats()) {
        SCOPED_TRACE(format.name);
        DisplayRig rig(format, kWidth, kHeight);
        ASSERT_EQ(rig.result, RESULT_OK);
        DDInterface& display = *rig.display;
        FillScreen(display);
        std::unique_ptr<MemoryImage> cursor(test::MakeFilled(kCursorSize, kCursorSize, kCursorColour));
        display.SetCursorImage(cursor.get());
        display.SetNextCursorPos(50, 40);
        ASSERT_TRUE(display.Redraw(nullptr));

        auto* presenter = dynamic_cast<plat::dd::NullPresenter*>(display.GetDirectDraw()->GetPresenter());
        ASSERT_NE(presenter, nullptr);
        plat::dd::Surface* drawSurface = display.GetDrawSurface();
        const plat::dd::PixelFormat pixelFormat = drawSurface->Format();
        auto shown = [&](int x, int y) { return plat::dd::ToXrgb(presenter->PixelAt(x, y), pixelFormat); };
        auto drawn = [&](int x, int y) { return plat::dd::ToXrgb(drawSurface->PixelAt(x, y), pixelFormat); };

        // The frame has the whole image centred on the position; the drawing surface has none.
        EXPECT_EQ(CursorPixelsAround(shown, 50, 40), kCursorSize * kCursorSize);
        EXPECT_TRUE(IsCursor(shown(46, 36)));
        EXPECT_TRUE(IsCursor(shown(53, 43)));
        EXPECT_FALSE(IsCursor(shown(45, 40)));
        EXPECT_EQ(CursorPixelsAround(drawn, 50, 40), 0);
        EXPECT_TRUE(display.IsCursorDrawn());
        const uint32_t background = drawn(50, 40);

        // Moves without a frame: apart, overlapping, and partly off the edge.
        struct Move {
            int x, y, visiblePixels;
        };
        const Move moves[] = {{120, 100, 64}, {123, 102, 64}, {kWidth - 2, 5, 6 * 8}, {30, 30, 64}};
        int lastX = 50, lastY = 40;
        for (const Move& move : moves) {
            SCOPED_TRACE(move.x);
            const int frames = presenter->FrameCount();
            display.SetCursorPos(move.x, move.y);
            EXPECT_GT(presenter->FrameCount(), frames);
            EXPECT_EQ(CursorPixelsAround(shown, move.x, move.y), move.visiblePixels);
            // Where the old cursor was and the new one is not, the background is back.
            for (int dy = -4; dy < 4; ++dy) {
                for (int dx = -4; dx < 4; ++dx) {
                    const int x = lastX + dx, y = lastY + dy;
                    const bool underNew = x >= move.x - 4 && x < move.x + 4 && y >= move.y - 4 && y < move.y + 4;
                    if (!underNew && x < kWidth) {
                        EXPECT_EQ(shown(x, y), background) << x << "," << y;
                    }
                }
            }
            lastX = move.x;
            lastY = move.y;
        }
        EXPECT_EQ(CursorPixelsAround(drawn, 30, 30), 0);

        // Leaving the picture puts the saved area back and leaves nothing drawn.
        display.SetCursorPos(-100, -100);
        EXPECT_FALSE(display.IsCursorDrawn());
        int stray = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) stray += IsCursor(shown(x, y)) ? 1 : 0;
        EXPECT_EQ(stray, 0);

        // Without an image, frames carry no cursor.
        display.SetCursorImage(nullptr);
        display.SetNextCursorPos(60, 60);
        ASSERT_TRUE(display.Redraw(nullptr));
        EXPECT_EQ(CursorPixelsAround(shown, 60, 60), 0);
        EXPECT_FALSE(display.IsCursorDrawn());
        EXPECT_TRUE(drawSurface->CanariesIntact());
        EXPECT_TRUE(display.GetPrimarySurface()->CanariesIntact());
    }
}

// A full-screen flip carries the cursor too; a blit present (a popup open) does not.
TEST_F(SoftwareCursorTest, FullScreenFlipCarriesTheCursor) {
    DisplayRig rig(test::AllFormats()[2], kWidth, kHeight);
    rig.host.depth = 32;
    ASSERT_EQ(rig.display->Init(nullptr, false), RESULT_OK);
    DDInterface& display = *rig.display;
    FillScreen(display);
    std::unique_ptr<MemoryImage> cursor(test::MakeFilled(kCursorSize, kCursorSize, kCursorColour));
    display.SetCursorImage(cursor.get());
    display.SetNextCursorPos(100, 75);
    ASSERT_TRUE(display.Redraw(nullptr));
    auto* presenter = dynamic_cast<plat::dd::NullPresenter*>(display.GetDirectDraw()->GetPresenter());
    ASSERT_NE(presenter, nullptr);
    const plat::dd::PixelFormat pixelFormat = display.GetPrimarySurface()->Format();
    auto shown = [&](int x, int y) { return plat::dd::ToXrgb(presenter->PixelAt(x, y), pixelFormat); };
    EXPECT_EQ(CursorPixelsAround(shown, 100, 75), kCursorSize * kCursorSize);
    display.SetCursorPos(20, 20);
    EXPECT_EQ(CursorPixelsAround(shown, 100, 75), 0);
    EXPECT_EQ(CursorPixelsAround(shown, 20, 20), kCursorSize * kCursorSize);
}

bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::strcmp(flag, "1") == 0 && std::getenv("DISPLAY") != nullptr;
}

// In a real window: the cursor is at the pointer's position in the read-back frame, a move
// from another thread (the cursor thread) reaches the window through the main thread, and
// when the pointer leaves the saved area is back.
TEST_F(SoftwareCursorTest, XvfbWindowShowsTheCursorAtThePointer) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_graphics_display_xvfb)";
    plat::Window::Params params;
    params.title = "cursor test";
    params.width = kWidth;
    params.height = kHeight;
    std::string error;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
    ASSERT_NE(window, nullptr) << error;
    window->Show(true);
    DisplayRig rig(test::AllFormats()[2], kWidth, kHeight);
    rig.host.depth = 32;
    ASSERT_EQ(rig.display->Init(window.get(), true), RESULT_OK);
    DDInterface& display = *rig.display;
    FillScreen(display);
    std::unique_ptr<MemoryImage> cursor(test::MakeFilled(kCursorSize, kCursorSize, kCursorColour));
    display.SetCursorImage(cursor.get());
    ASSERT_TRUE(display.Redraw(nullptr));

    window->WarpPointer(70, 60);
    plat::WindowMessage message;
    int x = -1, y = -1;
    for (int tries = 0; tries < 100 && !(x == 70 && y == 60); ++tries) {
        while (window->PeekMessage(&message)) {
        }
        window->PointerInFrame(&x, &y);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(x, 70);
    ASSERT_EQ(y, 60);
    display.SetNextCursorPos(x, y);
    ASSERT_TRUE(display.Redraw(nullptr));

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(window->ReadBack(&pixels, &width, &height));
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    auto shown = [&](int px, int py) { return pixels[static_cast<size_t>(py) * kWidth + px] & 0xFFFFFF; };
    EXPECT_EQ(CursorPixelsAround(shown, 70, 60), kCursorSize * kCursorSize);
    const uint32_t background = shown(150, 20);

    // The cursor thread moves it; the window shows the move at the main thread's next turn.
    std::thread([&display] { display.SetCursorPos(150, 120); }).join();
    ASSERT_TRUE(window->ReadBack(&pixels, &width, &height));
    EXPECT_EQ(CursorPixelsAround(shown, 150, 120), kCursorSize * kCursorSize);
    EXPECT_EQ(CursorPixelsAround(shown, 70, 60), 0);
    EXPECT_EQ(shown(70, 60), background);

    // The pointer leaves: the saved area is back.
    std::thread([&display] { display.SetCursorPos(-200, -200); }).join();
    ASSERT_TRUE(window->ReadBack(&pixels, &width, &height));
    EXPECT_EQ(CursorPixelsAround(shown, 150, 120), 0);
    EXPECT_EQ(shown(150, 120), background);
}

}  // namespace
}  // namespace Velm
