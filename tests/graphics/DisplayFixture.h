#pragma once

// Shared by the display and surface-image tests: a display set up headless in a chosen pixel
// format, with padded rows and canary bytes around every surface.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/DdDevice.h"
#include "platform/DebugOutput.h"

namespace Velm {
namespace test {

struct SurfaceFormat {
    const char* name;
    int bits;
    bool use555;
    bool bgr;
};

// Every format the surface routines must handle.
inline const std::vector<SurfaceFormat>& AllFormats() {
    static const std::vector<SurfaceFormat> formats = {
            {"R5G6B5", 16, false, false},  {"X1R5G5B5", 16, true, false}, {"X8R8G8B8", 32, false, false},
            {"X8B8G8R8", 32, false, true}, {"B5G6R5", 16, false, true},
    };
    return formats;
}

class FakeDisplayHost : public DisplayHost {
public:
    int width = 64;
    int height = 48;
    int depth = 16;
    int desktopWidth = 0;
    int desktopHeight = 0;
    bool vsyncBroken = false;
    bool testRunNotified = false;
    bool test3D = false;
    bool auto3D = false;
    Rect presentation;

    int GetLogicalWidth() override { return width; }
    int GetLogicalHeight() override { return height; }
    int GetColorDepth() override { return depth; }
    bool GetDesktopSize(int* w, int* h) override {
        if (desktopWidth == 0) return false;
        *w = desktopWidth;
        *h = desktopHeight;
        return true;
    }
    void SetPresentationRect(const Rect& rect) override { presentation = rect; }
    void SetVSyncBroken() override { vsyncBroken = true; }
    void Notify3DTestRun() override { testRunNotified = true; }
    bool Test3D() override { return test3D; }
    bool AutoEnable3D() override { return auto3D; }
    ImageHost* GetImageHost() override { return nullptr; }
};

// A display on no window, in the given format, with 12 bytes of row padding and 16 canary
// bytes around each surface. Faults are cleared before and after.
class DisplayRig {
public:
    FakeDisplayHost host;
    std::unique_ptr<DDInterface> display;

    explicit DisplayRig(const SurfaceFormat& format, int width = 64, int height = 48) {
        plat::dd::ClearFaults();
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = format.bits;
        config.use555 = format.use555;
        config.bgrOrder = format.bgr;
        config.pitchPaddingBytes = 12;
        config.canaryBytes = 16;
        plat::dd::SetDisplayConfig(config);
        host.width = width;
        host.height = height;
        display.reset(new DDInterface(&host));
        plat::CapturedDebugOutput quiet;
        result = display->Init(nullptr, true);
    }
    ~DisplayRig() {
        display.reset();
        plat::dd::ClearFaults();
        plat::dd::SetDisplayConfig(plat::dd::DisplayConfig());
    }

    // An image on this display holding the pixels (row-major ARGB).
    std::unique_ptr<DDImage> Image(int w, int h, const std::vector<uint32_t>& pixels) {
        std::unique_ptr<DDImage> image(new DDImage(display.get()));
        image->SetBits(pixels.data(), w, h, true);
        return image;
    }
    std::unique_ptr<DDImage> Filled(int w, int h, uint32_t argb) {
        return Image(w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, argb));
    }
    // An opaque image already on its surface (its memory copy dropped).
    std::unique_ptr<DDImage> Target(int w, int h, uint32_t argb) {
        std::unique_ptr<DDImage> image = Filled(w, h, argb);
        EXPECT_TRUE(image->BuildSurface());
        image->DropMemoryCopies();
        return image;
    }

    int result = -1;
};

// The surface's raw values, row by row (width x height).
inline std::vector<uint32_t> SurfaceValues(DDImage& image) {
    std::vector<uint32_t> out;
    plat::dd::Surface* surface = image.mSurface.get();
    if (surface == nullptr) return out;
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x) out.push_back(surface->PixelAt(x, y));
    return out;
}

inline uint32_t SurfaceValue(DDImage& image, int x, int y) { return image.mSurface->PixelAt(x, y); }

// Runs body(format, rig) once per surface format, each on a fresh display in that format and
// under a trace naming it.
template <typename Body>
void ForEachFormat(Body&& body) {
    for (const SurfaceFormat& format : AllFormats()) {
        SCOPED_TRACE(format.name);
        DisplayRig rig(format);
        body(format, rig);
    }
}

}  // namespace test
}  // namespace Velm
