// The 3D device in a real window (Xvfb): the device draws in the window's own GL context, and a
// frame goes to the window straight from the device, without passing through the drawing
// surface; the surface still gets the pixels when it is read, and pixels written into the
// surface between frames reach the window. The software cursor is drawn over the shown frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Color.h"
#include "graphics/D3DHost.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::strcmp(flag, "1") == 0 && std::getenv("DISPLAY") != nullptr;
}

struct Host : DisplayHost {
    int GetLogicalWidth() override { return kWidth; }
    int GetLogicalHeight() override { return kHeight; }
    ImageHost* GetImageHost() override { return nullptr; }
};

struct WindowRig {
    std::unique_ptr<plat::Window> window;
    Host host;
    D3DHost d3dHost;
    std::unique_ptr<DDInterface> display;
    D3DInterface* d3d = nullptr;
    std::vector<uint32_t> shown;

    void SetUp() {
        plat::Window::Params params;
        params.title = "3D present test";
        params.width = kWidth;
        params.height = kHeight;
        std::string error;
        window = plat::Window::Create(params, &error);
        ASSERT_NE(window, nullptr) << error;
        window->Show(true);
        display = std::make_unique<DDInterface>(&host);
        auto layer = std::make_unique<D3DInterface>(&d3dHost);
        d3d = layer.get();
        display->Set3DLayer(std::move(layer));
        display->mIs3D = true;
        plat::CapturedDebugOutput quiet;
        ASSERT_EQ(display->Init(window.get(), true), RESULT_OK) << display->LastError();
    }
    ~WindowRig() {
        if (display != nullptr) display->Cleanup();
    }
    uint32_t Shown(int x, int y) const { return shown[static_cast<size_t>(y) * kWidth + x]; }
    void ReadBack() {
        int width = 0, height = 0;
        ASSERT_TRUE(window->ReadBack(&shown, &width, &height));
        ASSERT_EQ(width, kWidth);
        ASSERT_EQ(height, kHeight);
    }
};

TEST(D3DWindowPresent, XvfbFrameGoesStraightFromTheDevice) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_graphics3d_xvfb)";
    WindowRig rig;
    rig.SetUp();
    if (HasFatalFailure()) return;
    DDInterface& display = *rig.display;
    plat::dd::Surface& surface = *display.GetDrawSurface();

    // Left red, right blue, drawn by the device.
    rig.d3d->FillRect(Rect(0, 0, kWidth / 2, kHeight), Color(255, 0, 0), 0);
    rig.d3d->FillRect(Rect(kWidth / 2, 0, kWidth / 2, kHeight), Color(0, 0, 255), 0);
    ASSERT_TRUE(display.Redraw(nullptr));
    EXPECT_TRUE(display.mPrimaryStale) << "the frame went through the primary surface";
    rig.ReadBack();
    EXPECT_EQ(rig.Shown(10, 10), 0xFF0000u);
    EXPECT_EQ(rig.Shown(kWidth - 10, kHeight - 10), 0x0000FFu);
    EXPECT_EQ(surface.PixelAt(10, 10) & 0xFFFFFF, 0u) << "read back without anyone asking";

    // Whoever locks the drawing surface gets the device's pixels.
    plat::dd::SurfaceDesc desc;
    ASSERT_FALSE(plat::dd::Failed(surface.Lock(&desc)));
    EXPECT_EQ(surface.PixelAt(10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(surface.PixelAt(kWidth - 10, 10) & 0xFFFFFF, 0x0000FFu);
    // Written into the surface between frames: a green square, shown by the next frame.
    for (int y = 40; y < 60; ++y)
        for (int x = 20; x < 40; ++x) surface.SetPixelAt(x, y, 0x00FF00u);
    surface.Unlock();
    ASSERT_TRUE(display.Redraw(nullptr));
    rig.ReadBack();
    EXPECT_EQ(rig.Shown(30, 50), 0x00FF00u);
    EXPECT_EQ(rig.Shown(10, 10), 0xFF0000u);

    EXPECT_TRUE(rig.d3d->LastError().empty()) << rig.d3d->LastError();
}

// Counts the pixels of `colour` in the 24 x 24 box around (x, y) of what the window shows.
int CountAround(const WindowRig& rig, int x, int y, uint32_t colour) {
    int count = 0;
    for (int dy = -12; dy < 12; ++dy)
        for (int dx = -12; dx < 12; ++dx)
            if (x + dx >= 0 && y + dy >= 0 && x + dx < kWidth && y + dy < kHeight &&
                rig.Shown(x + dx, y + dy) == colour)
                ++count;
    return count;
}

// The software cursor in 3D: drawn over the frame the device shows, moved by the cursor thread
// without a new frame (the main thread shows the same frame again), and never read back.
TEST(D3DWindowPresent, XvfbSoftwareCursorOverTheDeviceFrame) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_graphics3d_xvfb)";
    WindowRig rig;
    rig.SetUp();
    if (HasFatalFailure()) return;
    DDInterface& display = *rig.display;
    plat::d3d7::Device& device = *rig.d3d->GetDevice();
    constexpr uint32_t kGrey = 0x404040u, kYellow = 0xFFFF00u;
    rig.d3d->FillRect(Rect(0, 0, kWidth, kHeight), Color(0x40, 0x40, 0x40), 0);
    rig.d3d->FillRect(Rect(90, 50, 20, 20), Color(0, 0, 255), 0);  // under the cursor's first place

    // An 8 x 8 image with a transparent column on its right: the frame shows through it.
    std::vector<uint32_t> pixels(64, 0xFFFFFF00u);
    for (int y = 0; y < 8; ++y) pixels[static_cast<size_t>(y) * 8 + 7] = 0x00FF0000u;
    std::unique_ptr<MemoryImage> cursor(test::MakeImage(8, 8, pixels));
    display.SetCursorImage(cursor.get());
    display.SetNextCursorPos(100, 60);
    const uint64_t readBacks = device.ReadBackCount();
    ASSERT_TRUE(display.Redraw(nullptr));
    EXPECT_TRUE(display.mPrimaryStale) << "the frame went through the primary surface";
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, 100, 60, kYellow), 7 * 8);
    EXPECT_EQ(rig.Shown(96, 56), kYellow) << "image centred on the position";
    EXPECT_EQ(rig.Shown(102, 63), kYellow);
    EXPECT_EQ(rig.Shown(103, 60), 0x0000FFu) << "transparent column";
    EXPECT_EQ(rig.Shown(95, 60), 0x0000FFu);

    // The cursor thread moves it away: the main thread's next look at its messages shows the
    // same frame again, the old place without the cursor and the new one with it.
    const uint64_t shown = rig.window->FramesShown();
    std::thread cursorThread([&] { display.SetCursorPos(30, 30); });
    cursorThread.join();
    EXPECT_EQ(rig.window->FramesShown(), shown) << "shown from the cursor thread";
    plat::WindowMessage message;
    while (rig.window->PeekMessage(&message)) {
    }
    EXPECT_EQ(rig.window->FramesShown(), shown + 1);
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, 100, 60, kYellow), 0);
    EXPECT_EQ(CountAround(rig, 100, 60, 0x0000FFu), 20 * 20);
    EXPECT_EQ(CountAround(rig, 30, 30, kYellow), 7 * 8);
    EXPECT_EQ(rig.Shown(20, 20), kGrey);

    // Partly off the frame: only the part on it is drawn.
    display.SetCursorPos(kWidth - 2, 10);
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, kWidth - 2, 10, kYellow), 6 * 8);
    EXPECT_EQ(CountAround(rig, 30, 30, kYellow), 0);

    // The next frame keeps the cursor where it is, over what was drawn since.
    rig.d3d->FillRect(Rect(0, 0, 40, 40), Color(0, 255, 0), 0);
    display.SetNextCursorPos(20, 20);
    ASSERT_TRUE(display.Redraw(nullptr));
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, 20, 20, kYellow), 7 * 8);
    EXPECT_EQ(rig.Shown(26, 20), 0x00FF00u);

    // While the next frame is being drawn, a move shows nothing half drawn: it waits for the
    // present, which puts the cursor at the latest place.
    rig.d3d->FillRect(Rect(0, 0, kWidth, kHeight), Color(255, 0, 0), 0);
    display.SetCursorPos(60, 60);
    const uint64_t beforeMessages = rig.window->FramesShown();
    while (rig.window->PeekMessage(&message)) {
    }
    EXPECT_EQ(rig.window->FramesShown(), beforeMessages);
    ASSERT_TRUE(display.Redraw(nullptr));
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, 60, 60, kYellow), 7 * 8);
    EXPECT_EQ(rig.Shown(10, 10), 0xFF0000u);

    // Without the image the frame is shown bare.
    display.SetCursorImage(nullptr);
    ASSERT_TRUE(display.Redraw(nullptr));
    rig.ReadBack();
    EXPECT_EQ(CountAround(rig, 60, 60, kYellow), 0);

    EXPECT_EQ(device.ReadBackCount(), readBacks) << "the device's pixels were copied back";
    EXPECT_TRUE(rig.d3d->LastError().empty()) << rig.d3d->LastError();
}

}  // namespace
}  // namespace Velm
