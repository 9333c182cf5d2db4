#pragma once

// Private to platform/: how a window shows frames through OpenGL, on the process's one GL
// context (SdlVideo.h), which the 3D device draws with as well.
//
// A frame is either 32-bit XRGB pixels from memory, uploaded into a texture of the frame's
// size, or a texture that already lives in the context (the 3D device's render target). It is
// drawn at a place in the client area over black and shown with a buffer swap. Main thread.

#include <cstdint>
#include <vector>

namespace plat {

struct ScreenRect;

class WindowGl {
public:
    // Loads the entry points through SDL; false when the context lacks one.
    bool Load();
    // Uploads a frame into the window's own texture.
    bool Upload(const uint32_t* pixels, int width, int height, int pitchBytes);
    // Draws the window's texture (or `texture` when non-zero, whose row 0 is the frame's
    // bottom row when bottomUp) at `place` in a client area of the given size.
    void Draw(const ScreenRect& place, int clientWidth, int clientHeight, unsigned texture = 0, bool bottomUp = false);
    // The back buffer's pixels as XRGB, top row first.
    bool Read(int clientWidth, int clientHeight, std::vector<uint32_t>* pixels);
    // Deletes the window's texture (the context stays).
    void Release();

    int FrameWidth() const { return mWidth; }
    int FrameHeight() const { return mHeight; }

private:
    struct Procs;
    const Procs* mGl = nullptr;
    unsigned mTexture = 0;
    int mWidth = 0;
    int mHeight = 0;
};

}  // namespace plat
