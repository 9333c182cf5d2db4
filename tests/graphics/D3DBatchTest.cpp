// The 3D device's batching: triangles drawn with the same texture, blend and filter go to GL as
// one draw call, and the picture is the one the calls make one by one, whatever mix of modes,
// textures and surface writes comes between them. A surface image, and system-font text, drawn
// onto the screen image in 3D go through textures without the device handing its pixels back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/D3DHost.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "platform/D3D7.h"
#include "platform/DebugOutput.h"
#include "tests/graphics/SkipWithoutGl.h"

namespace Velm {
namespace {

constexpr int kSize = 64;

// An image with soft alpha, so that the order of blended draws shows in the result.
std::unique_ptr<MemoryImage> SoftImage(int size, uint32_t rgb) {
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[static_cast<size_t>(y) * size + x] = static_cast<uint32_t>((x * 255 / size) | 0x20) << 24 | rgb;
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(pixels.data(), size, size);
    return image;
}

struct Images {
    std::unique_ptr<MemoryImage> red = SoftImage(16, 0xFF0000);
    std::unique_ptr<MemoryImage> blue = SoftImage(16, 0x0000FF);
    std::unique_ptr<MemoryImage> opaque;
    Images() {
        const std::vector<uint32_t> green(12 * 12, 0xFF00FF00u);
        opaque = std::make_unique<MemoryImage>(nullptr);
        opaque->SetBits(green.data(), 12, 12);
    }
};

// One drawing call on a device; `between` runs after each (a finish, or nothing).
using Step = std::function<void(D3DInterface&, Images&, plat::dd::Surface&)>;

std::vector<uint32_t> Draw(const std::vector<Step>& steps, bool finishEach) {
    Images images;  // outlives the device, which drops their textures
    plat::dd::Surface surface(kSize, kSize, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    if (!d3d.CreateDevice(&surface, kSize, kSize)) return {};
    for (const Step& step : steps) {
        step(d3d, images, surface);
        if (finishEach) d3d.GetDevice()->Finish();
    }
    d3d.FinishScene();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) pixels.push_back(surface.PixelAt(x, y) & 0xFFFFFF);
    return pixels;
}

TEST(D3DBatch, BatchedDrawsMakeTheSamePictureAsSingleDraws) {
    SKIP_WITHOUT_GL();
    auto blt = [](std::unique_ptr<MemoryImage> Images::*which, int x, int y, Color color, int mode,
                  bool linear = false) {
        return [=](D3DInterface& d3d, Images& images, plat::dd::Surface&) {
            d3d.Blt((images.*which).get(), static_cast<float>(x), static_cast<float>(y), Rect(0, 0, 16, 16), color,
                    mode, linear);
        };
    };
    auto fill = [](Rect rect, Color color, int mode) {
        return [=](D3DInterface& d3d, Images&, plat::dd::Surface&) { d3d.FillRect(rect, color, mode); };
    };
    const Step opaque = [](D3DInterface& d3d, Images& images, plat::dd::Surface&) {
        d3d.Blt(images.opaque.get(), 20, 20, Rect(0, 0, 12, 12), Color::White, 0, false);
    };
    const Step translucentOpaque = [](D3DInterface& d3d, Images& images, plat::dd::Surface&) {
        d3d.Blt(images.opaque.get(), 24, 24, Rect(0, 0, 12, 12), Color(255, 255, 255, 100), 0, false);
    };
    const Step surfaceWrite = [](D3DInterface&, Images&, plat::dd::Surface& surface) {
        const plat::dd::Box box{30, 0, 40, 64};
        surface.Blt(&box, nullptr, nullptr, plat::dd::kBltColorFill, 0x808080);
    };
    const Step rotated = [](D3DInterface& d3d, Images& images, plat::dd::Surface&) {
        const Rect clip(0, 0, 50, 50);
        d3d.BltRotate(images.blue.get(), 30, 30, &clip, Color::White, 0, 0.7, 8, 8, Rect(0, 0, 16, 16));
    };
    struct Case {
        const char* why;
        std::vector<Step> steps;
    };
    const Case kCases[] = {
            {"one texture, overlapping, tinted",
             {blt(&Images::red, 0, 0, Color::White, 0), blt(&Images::red, 8, 4, Color(0, 255, 255), 0),
              blt(&Images::red, 12, 8, Color(255, 255, 255, 128), 0)}},
            {"textures take turns",
             {blt(&Images::red, 0, 0, Color::White, 0), blt(&Images::blue, 6, 6, Color::White, 0),
              blt(&Images::red, 10, 10, Color::White, 0), blt(&Images::blue, 14, 14, Color::White, 0)}},
            {"additive between normal",
             {fill(Rect(0, 0, 64, 64), Color(40, 40, 40), 0), blt(&Images::red, 4, 4, Color::White, 1),
              blt(&Images::blue, 8, 8, Color::White, 0), blt(&Images::red, 12, 12, Color::White, 1),
              fill(Rect(10, 10, 20, 20), Color(0, 0, 0, 128), 0)}},
            {"filters change",
             {blt(&Images::red, 0, 0, Color::White, 0, true), blt(&Images::red, 5, 5, Color::White, 0), rotated,
              blt(&Images::blue, 20, 3, Color::White, 0, true)}},
            {"opaque texels, opaque and translucent vertices",
             {fill(Rect(0, 0, 64, 64), Color(200, 0, 0), 0), opaque, translucentOpaque, opaque}},
            {"surface written between draws",
             {blt(&Images::red, 25, 5, Color::White, 0), surfaceWrite, blt(&Images::blue, 28, 8, Color::White, 0),
              fill(Rect(32, 40, 20, 4), Color(0, 255, 0, 90), 0)}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::vector<uint32_t> single = Draw(c.steps, true);
        ASSERT_FALSE(single.empty()) << gD3DError;
        const std::vector<uint32_t> batched = Draw(c.steps, false);
        int differences = 0;
        for (size_t i = 0; i < single.size(); ++i) differences += single[i] != batched[i];
        EXPECT_EQ(differences, 0);
        EXPECT_TRUE(gD3DError.empty()) << gD3DError;
    }
}

TEST(D3DBatch, DrawsOfOneTextureAreOneDrawCall) {
    SKIP_WITHOUT_GL();
    Images images;
    plat::dd::Surface surface(kSize, kSize, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, kSize, kSize));
    d3d.FillRect(Rect(0, 0, 4, 4), Color(1, 2, 3), 0);
    d3d.GetDevice()->Finish();
    const uint64_t before = d3d.GetDevice()->DrawCallCount();
    for (int i = 0; i < 40; ++i)
        d3d.Blt(images.red.get(), static_cast<float>(i), static_cast<float>(i / 2), Rect(0, 0, 16, 16),
                Color(255, 255, static_cast<uint8_t>(i * 6)), 0, false);
    d3d.GetDevice()->Finish();
    EXPECT_EQ(d3d.GetDevice()->DrawCallCount() - before, 1u);
    // A change of blend ends the batch.
    d3d.Blt(images.red.get(), 0, 0, Rect(0, 0, 16, 16), Color::White, 0, false);
    d3d.Blt(images.red.get(), 0, 0, Rect(0, 0, 16, 16), Color::White, 1, false);
    d3d.Blt(images.red.get(), 0, 0, Rect(0, 0, 16, 16), Color::White, 0, false);
    d3d.GetDevice()->Finish();
    EXPECT_EQ(d3d.GetDevice()->DrawCallCount() - before, 4u);
    EXPECT_EQ(d3d.GetDevice()->ReadBackCount(), 0u);
}

struct Host : DisplayHost {
    int GetLogicalWidth() override { return kSize; }
    int GetLogicalHeight() override { return kSize; }
    ImageHost* GetImageHost() override { return nullptr; }
};

TEST(D3DBatch, SurfaceImageIsDrawnFromItsTextureWithoutReadBack) {
    SKIP_WITHOUT_GL();
    Host host;
    D3DHost d3dHost;
    DDInterface display(&host);
    auto layer = std::make_unique<D3DInterface>(&d3dHost);
    D3DInterface* d3d = layer.get();
    display.Set3DLayer(std::move(layer));
    display.mIs3D = true;
    {
        plat::CapturedDebugOutput quiet;
        ASSERT_EQ(display.Init(nullptr, true), RESULT_OK) << display.LastError();
    }
    // Colours a 16-bit texture keeps exactly: left half red, right half blue, a black bar.
    std::vector<uint32_t> pixels(kSize * kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            pixels[static_cast<size_t>(y) * kSize + x] = y < 4           ? 0xFF000000u
                                                         : x < kSize / 2 ? 0xFFFF0000u
                                                                         : 0xFF0000FFu;
    {
        DDImage background(&display);
        background.SetBits(pixels.data(), kSize, kSize, true);
        ASSERT_TRUE(background.BuildSurface());
        DDImage* screen = display.GetScreenImage();
        plat::d3d7::Device* device = d3d->GetDevice();
        for (int frame = 0; frame < 3; ++frame) {
            SCOPED_TRACE(frame);
            const uint64_t readBacks = device->ReadBackCount();
            screen->Blt(&background, 0, 0, Rect(0, 0, kSize, kSize), Color::White, 0);
            screen->FillRect(Rect(10, 10, 4, 4), Color(0, 255, 0), 0);
            device->Finish();
            EXPECT_EQ(device->ReadBackCount(), readBacks);
            d3d->FinishScene();  // the pixels reach the drawing surface, to look at them
            const plat::dd::Surface& surface = *display.GetDrawSurface();
            EXPECT_EQ(surface.PixelAt(5, 2) & 0xFFFFFF, 0u);
            EXPECT_EQ(surface.PixelAt(5, 20) & 0xFFFFFF, 0xFF0000u);
            EXPECT_EQ(surface.PixelAt(50, 20) & 0xFFFFFF, 0x0000FFu);
            EXPECT_EQ(surface.PixelAt(11, 11) & 0xFFFFFF, 0x00FF00u);
        }
        EXPECT_TRUE(d3d->LastError().empty()) << d3d->LastError();
        display.Cleanup();  // the textures go before their image
    }
}

// A display of kSize x kSize in software or in 3D, in 32 bits.
struct Display {
    Host host;
    D3DHost d3dHost;
    DDInterface display{&host};
    D3DInterface* d3d = nullptr;
    explicit Display(bool use3D) {
        auto layer = std::make_unique<D3DInterface>(&d3dHost);
        d3d = layer.get();
        display.Set3DLayer(std::move(layer));
        display.mIs3D = use3D;
        plat::CapturedDebugOutput quiet;
        ok = display.Init(nullptr, true) == RESULT_OK;
    }
    ~Display() { display.Cleanup(); }
    bool ok = false;
};

TEST(D3DBatch, SystemFontTextOnTheDeviceLandsAsOnTheSurface) {
    SKIP_WITHOUT_GL();
    SysFont font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12);
    if (!font.font) GTEST_SKIP() << "no DejaVu Sans";
    std::vector<uint32_t> drawn[2];
    for (int use3D = 0; use3D < 2; ++use3D) {
        SCOPED_TRACE(use3D ? "3D" : "software");
        Display rig(use3D != 0);
        ASSERT_TRUE(rig.ok) << rig.display.LastError();
        DDImage* screen = rig.display.GetScreenImage();
        Graphics g(screen);
        g.SetColor(Color(20, 40, 120));
        g.FillRect(0, 0, kSize, kSize);
        g.SetFont(&font);
        g.SetColor(Color(250, 220, 90));
        g.Translate(3, 2);
        g.SetClipRect(0, 0, 50, kSize);  // cuts the text short
        const uint64_t readBacks = use3D ? rig.d3d->GetDevice()->ReadBackCount() : 0;
        g.DrawString("Wide text HHH", 0, 20);
        if (use3D) {
            rig.d3d->GetDevice()->Finish();
            EXPECT_EQ(rig.d3d->GetDevice()->ReadBackCount(), readBacks) << "text made the device read back";
            rig.d3d->FinishScene();
        }
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) drawn[use3D].push_back(rig.display.GetDrawSurface()->PixelAt(x, y));
    }
    int textPixels = 0, largest = 0;
    for (size_t i = 0; i < drawn[0].size(); ++i) {
        textPixels += (drawn[0][i] & 0xFFFFFF) != 0x142878u;
        for (int shift : {0, 8, 16})
            largest = std::max(largest, std::abs(static_cast<int>(drawn[0][i] >> shift & 0xFF) -
                                                 static_cast<int>(drawn[1][i] >> shift & 0xFF)));
    }
    EXPECT_GT(textPixels, 50);
    EXPECT_LE(largest, 2) << "the device's text differs from the surface's";
    for (int y = 0; y < kSize; ++y)
        for (int x = 54; x < kSize; ++x) ASSERT_EQ(drawn[1][static_cast<size_t>(y) * kSize + x] & 0xFFFFFF, 0x142878u);
}

}  // namespace
}  // namespace Velm
