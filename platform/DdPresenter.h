#pragma once

// plat::dd: where the primary surface's pixels go when the program presents a frame.
//
// NullPresenter keeps a copy of the last frame in the primary's own format (tests read it
// back); WindowPresenter shows it in the program's window, converted to 32-bit XRGB.

#include <cstdint>
#include <vector>

#include "platform/DdSurface.h"

namespace plat {

class Window;

namespace dd {

class Presenter {
public:
    virtual ~Presenter();
    // Shows the primary surface (unlocked); false when nothing could be shown.
    virtual bool Present(const Surface& primary) = 0;
    // Whether presents wait for the vertical blank; presenters without a display ignore it.
    virtual void SetVSync(bool on) { (void)on; }
    // The display's refresh rate in Hz, 0 when unknown.
    virtual int RefreshRate() const { return 0; }
    // Whether presents can wait for the vertical blank at all; presenters without a display
    // say they can.
    virtual bool CanWaitForVerticalBlank() const { return true; }
};

class NullPresenter : public Presenter {
public:
    bool Present(const Surface& primary) override;

    int FrameCount() const { return mFrames; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    const PixelFormat& Format() const { return mFormat; }
    // The raw pixel value (16 or 32 bits) at (x, y) of the last frame; 0 outside it.
    uint32_t PixelAt(int x, int y) const;

private:
    int mFrames = 0;
    int mWidth = 0;
    int mHeight = 0;
    PixelFormat mFormat;
    std::vector<uint32_t> mPixels;
};

class WindowPresenter : public Presenter {
public:
    explicit WindowPresenter(Window* window) : mWindow(window) {}
    bool Present(const Surface& primary) override;
    void SetVSync(bool on) override;
    int RefreshRate() const override;
    bool CanWaitForVerticalBlank() const override;

private:
    Window* mWindow;
    std::vector<uint32_t> mFrame;
    // 16-bit frames convert through a table of every value, made for the last format seen.
    std::vector<uint32_t> mTable;
    PixelFormat mTableFormat;
};

// A 16- or 32-bit surface value as 0x00RRGGBB, each channel's bits moved to the top of the
// byte with the top bits repeated below (so that 31 of 5 bits reads as 255).
uint32_t ToXrgb(uint32_t value, const PixelFormat& format);

}  // namespace dd
}  // namespace plat
