#pragma once

// Private to platform/: how a window shows frames through OpenGL, on the process's one GL
// context (SdlVideo.h), which the 3D device draws with as well.
//
// A frame is either 32-bit XRGB pixels from memory, uploaded into a texture of the frame's
// size, or a texture that already lives in the context (the 3D device's render target). It is
// drawn at a place in the client area over black and shown with a buffer swap. A small
// picture with alpha (the software cursor) can be drawn over the frame at any place, so that
// moving it shows the same frame again rather than changing it. Main thread.

#include <cstdint>
#include <vector>

namespace plat {

struct ScreenRect;

class WindowGl {
public:
    // Loads the entry points through SDL; false when the context lacks one.
    bool Load();
    // Uploads a frame into the window's own texture; with `changed` (frame pixels), only those
    // parts when the texture already holds a frame of this size.
    bool Upload(const uint32_t* pixels, int width, int height, int pitchBytes,
                const std::vector<ScreenRect>* changed = nullptr);
    // Whether the context's GL draws in software (Mesa's llvmpipe, softpipe or swrast): showing
    // a frame through it then costs more than putting the pixels into the window directly.
    bool IsSoftware() const;
    // Uploads the overlay picture (0xAARRGGBB, width x height); null pixels remove it.
    bool UploadOverlay(const uint32_t* pixels, int width, int height);
    bool HasOverlay() const { return mOverlayWidth > 0; }
    // Draws the window's texture (or `texture` when non-zero, whose row 0 is the frame's
    // bottom row when bottomUp) at `place` in a client area of the given size. The overlay,
    // when there is one and overlayX is not kNoOverlay, is blended over it by its alpha with
    // its top-left at (overlayX, overlayY) in frame pixels (frameWidth x frameHeight), cut to
    // the frame's place.
    static constexpr int kNoOverlay = -0x40000000;
    void Draw(const ScreenRect& place, int clientWidth, int clientHeight, unsigned texture = 0, bool bottomUp = false,
              int frameWidth = 0, int frameHeight = 0, int overlayX = kNoOverlay, int overlayY = 0);
    // The back buffer's pixels as XRGB, top row first.
    bool Read(int clientWidth, int clientHeight, std::vector<uint32_t>* pixels);
    // Deletes the window's texture (the context stays).
    void Release();

    int FrameWidth() const { return mWidth; }
    int FrameHeight() const { return mHeight; }

private:
    struct Procs;
    const Procs* mGl = nullptr;
    void DrawOverlay(const ScreenRect& place, int clientHeight, int frameWidth, int frameHeight, int x, int y);

    unsigned mTexture = 0;
    int mWidth = 0;
    int mHeight = 0;
    unsigned mOverlayTexture = 0;
    int mOverlayWidth = 0;
    int mOverlayHeight = 0;
};

}  // namespace plat
