#pragma once

// plat::dd: the display device (what the DirectDraw object was) and its test controls.
//
// The device makes surfaces in the primary surface's pixel format. Which format that is, is
// ours to choose: in a window the desktop's (32-bit X8R8G8B8 unless the configuration says
// otherwise), in full screen the depth the program asks for (16 gives R5G6B5, 32 X8R8G8B8).
// The configuration lets tests pick X1R5G5B5 and the BGR orders so that every pixel loop of the
// surface blitters is reached, a desktop depth the program cannot use, a monitor frequency, and
// row padding with canary bytes.
//
// In a window the primary surface is the window's client area (its origin is (0, 0) for the
// caller); in full screen it is the display mode's size with one back buffer. A blit onto the
// primary surface and a flip hand the primary's pixels to the presenter (DdPresenter.h).
// There is no scan line on this platform: GetScanLine always fails with kErrUnsupported. A
// vertical-blank wait does not block the caller: it makes the presenter's next present wait
// for the display's vertical blank (SetVSync), which is where tearing is decided. The monitor
// frequency is the presenter's display's when it tells one, else the configured one.
//
// Fault injection: InjectFault makes the n-th next call of one operation fail with a given
// result, once. Faults and the configuration are process-wide and meant for tests.

#include <memory>

#include "platform/DdSurface.h"

namespace plat {
namespace dd {

class Presenter;

struct DisplayConfig {
    int desktopBitsPerPixel = 32;  // the windowed primary's depth: 16, 32, or 8/24 (unusable)
    bool use555 = false;           // 16-bit surfaces in X1R5G5B5 instead of R5G6B5
    bool bgrOrder = false;         // red in the low bits
    int monitorHz = 60;            // what GetMonitorFrequency reports; 0 makes it fail
    bool verticalBlank = true;     // whether presents can wait for the vertical blank
    int pitchPaddingBytes = 0;     // extra bytes at the end of every row
    int canaryBytes = 0;           // canary bytes before and after every surface's buffer
};

void SetDisplayConfig(const DisplayConfig& config);
DisplayConfig GetDisplayConfig();

// The steps that can be made to fail.
enum class Op {
    DirectDrawCreate,
    DirectDrawCreateEx,
    QueryInterface,
    SetCooperativeLevel,
    SetDisplayMode,
    CreateSurface,
    GetAttachedSurface,
    CreateClipper,
    GetMonitorFrequency,
    Lock,
    Blt,
    Flip,
    Count
};

// The (skip + 1)-th next call of op returns result instead of working; one fault per op.
void InjectFault(Op op, Result result, int skip = 0);
void ClearFaults();
// Consumes a pending fault of op: kOk when the call may go on.
Result TakeFault(Op op);

struct SurfaceRequest {
    uint32_t flags = 0;  // RequestFlags
    uint32_t caps = 0;   // Caps
    int width = 0;
    int height = 0;
    int backBufferCount = 0;
};

class Device {
public:
    // "DirectDrawCreate" (ex false) or "DirectDrawCreateEx" (ex true).
    static Result Create(bool ex, std::unique_ptr<Device>* out);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    Result QueryInterface();
    // exclusive: the program takes the whole display (full screen).
    Result SetCooperativeLevel(bool exclusive);
    // The full-screen mode; bitsPerPixel 16 or 32.
    Result SetDisplayMode(int width, int height, int bitsPerPixel);
    // The windowed primary surface's size (the window's client area).
    void SetWindowSize(int width, int height);
    Result CreateSurface(const SurfaceRequest& request, std::shared_ptr<Surface>* out);
    // The primary's back buffer (full screen).
    Result GetAttachedSurface(std::shared_ptr<Surface>* out);
    Result CreateClipper();
    Result GetMonitorFrequency(unsigned* hz);
    Result WaitForVerticalBlank();
    // Whether the presenter's presents wait for the vertical blank from now on.
    void SetVSync(bool on);
    // Whether presents can wait for the vertical blank at all: the configured display's answer
    // and the presenter's.
    bool CanWaitForVerticalBlank() const;
    Result GetScanLine(unsigned* line);
    Result FlipToGDISurface();
    // Shows the back buffer: its pixels become the primary's and are presented.
    Result Flip();

    // The primary surface's format as the current mode makes it.
    PixelFormat PrimaryFormat() const;

    // The presenter the primary is shown through; a NullPresenter until one is set.
    void SetPresenter(std::shared_ptr<Presenter> presenter);
    Presenter* GetPresenter() const { return mPresenter.get(); }
    // Called by surfaces after a blit onto the primary.
    void PrimaryChanged();

private:
    Device();

    bool mExclusive = false;
    int mModeWidth = 0;
    int mModeHeight = 0;
    int mModeBits = 0;
    int mWindowWidth = 640;
    int mWindowHeight = 480;
    std::weak_ptr<Surface> mPrimary;
    std::shared_ptr<Surface> mBackBuffer;
    std::shared_ptr<Presenter> mPresenter;
};

}  // namespace dd
}  // namespace plat
