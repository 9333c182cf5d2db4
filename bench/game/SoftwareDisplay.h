#pragma once

// The display without a window and without 3D, for the game benchmarks: the drawing surface
// the game draws on when it has no 3D device, in 16 (R5G6B5) or 32 (X8R8G8B8) bits per pixel
// at 1024 x 768, and its pixels read back as XRGB. Main thread.

#include <cstdint>
#include <memory>
#include <string>

#include "bench/display/FrameOnDisplay.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/DdDevice.h"
#include "platform/DdPresenter.h"
#include "platform/DdSurface.h"
#include "platform/DebugOutput.h"

namespace benchgame {

class SoftwareDisplay {
public:
    explicit SoftwareDisplay(int bits) {
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = bits;
        plat::dd::SetDisplayConfig(config);
        mDisplay = std::make_unique<Velm::DDInterface>(&mHost);
        plat::CapturedDebugOutput quiet;
        if (mDisplay->Init(nullptr, true) != 0) mError = "display set-up failed: " + mDisplay->LastError();
    }

    // Empty when the display was made.
    const std::string& Error() const { return mError; }
    // The screen image; draw between its LockSurface and UnlockSurface.
    Velm::DDImage* Screen() { return mDisplay->GetScreenImage(); }
    uint32_t PixelAt(int x, int y) const {
        const plat::dd::Surface* surface = mDisplay->GetDrawSurface();
        return plat::dd::ToXrgb(surface->PixelAt(x, y), surface->Format());
    }

private:
    benchframe::FrameHost mHost;
    std::unique_ptr<Velm::DDInterface> mDisplay;
    std::string mError;
};

}  // namespace benchgame
