// The 3D device in a real window (Xvfb): the device draws in the window's own GL context, and a
// frame without the software cursor goes to the window straight from the device, without
// passing through the drawing surface; the surface still gets the pixels when it is read, and
// pixels written into the surface between frames reach the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
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

    // With the software cursor the frame goes through the primary, whole, cursor included.
    std::unique_ptr<MemoryImage> cursor(test::MakeFilled(8, 8, 0xFFFFFF00u));
    display.SetCursorImage(cursor.get());
    display.SetNextCursorPos(100, 60);
    ASSERT_TRUE(display.Redraw(nullptr));
    EXPECT_FALSE(display.mPrimaryStale);
    rig.ReadBack();
    EXPECT_EQ(rig.Shown(100, 60), 0xFFFF00u);
    EXPECT_EQ(rig.Shown(30, 50), 0x00FF00u);
    EXPECT_EQ(rig.Shown(kWidth - 10, kHeight - 10), 0x0000FFu);
    display.SetCursorImage(nullptr);
    EXPECT_TRUE(rig.d3d->LastError().empty()) << rig.d3d->LastError();
}

}  // namespace
}  // namespace Velm
