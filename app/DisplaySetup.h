#pragma once

#include <cstdint>
#include <string>

#include "graphics/DisplayResult.h"
#include "graphics/Rect.h"

namespace plat {
class Window;
}

namespace Velm {

class MemoryImage;
struct NativePixelFormat;
class VelmAppBase;

// The display device as the application object drives it: set-up on the main window,
// present, the 3D switch, the software cursor and the surface images. The application makes
// one with VelmAppBase::CreateDisplay on its first MakeWindow and keeps it to the end.
//
// AppDisplay (app/AppDisplay.h) puts the display device and its 3D layer behind it; tests
// put scripted displays there.
//
// Main thread, except SetCursorPos / SetNextCursorPos / GetCursorPos, which the cursor
// thread calls; an implementation guards those with the application's display lock
// (VelmAppBase::GetDisplayLock), the same lock that guards the application's image set.
class DisplaySetup {
public:
    virtual ~DisplaySetup();

    // Tears down what a previous set-up made and sets up on the window (a DisplayResult).
    virtual int Init(plat::Window* window, bool windowed) = 0;
    // Shows the screen image; false when the present failed (the display is lost).
    virtual bool Redraw(const Rect* clip) = 0;
    // The image every widget draws into; replaced by every set-up.
    virtual MemoryImage* GetScreenImage() = 0;
    // The size of the drawing area inside the logical screen, and where the picture sits in
    // the window's client area (pixels); mouse positions are remapped from the second to the
    // first.
    virtual int GetDrawWidth() = 0;
    virtual int GetDrawHeight() = 0;
    virtual Rect GetPresentationRect() = 0;
    // Text of the last failed set-up or present step.
    virtual std::string LastError() = 0;

    virtual bool Is3D() { return false; }
    virtual void Set3D(bool on) { (void)on; }
    // Whether the set-up may run the video-card test (asked, or automatic 3D).
    virtual void SetTest3D(bool test, bool autoEnable) {
        (void)test;
        (void)autoEnable;
    }
    // A video-card test ran in this process; it found failures; it found warnings.
    virtual bool Test3DRan() { return false; }
    virtual bool Test3DFailed() { return false; }
    virtual bool Test3DWarned() { return false; }
    // The last test's answer differs from the one cached in the settings.
    virtual bool Test3DResultChanged() { return false; }
    // The 3D device refused to draw (its render target) at the last scene start; and
    // forgetting that, which a failed present does.
    virtual bool Has3DDrawFailure() { return false; }
    virtual void Clear3DDrawFailure() {}
    virtual void SetDrawInVideoMemory(bool on) { (void)on; }
    virtual int GetRefreshRate() { return 60; }
    virtual int GetMillisecondsPerRefresh() { return 1000 / 60; }

    // A new image that can live on this display's surfaces; owned by the caller.
    virtual MemoryImage* NewImage() = 0;
    // Drops the image's textures.
    virtual void FreeImageTexture(MemoryImage* image) { (void)image; }
    // The pixel format images keep their native copies in; null before the first set-up.
    virtual const NativePixelFormat* GetNativeFormat() { return nullptr; }
    // Reads an image's pixels back from its textures (width x height ARGB words); false when
    // it has none.
    virtual bool ReadBackTexture(MemoryImage* image, uint32_t* out) {
        (void)image;
        (void)out;
        return false;
    }

    // Software cursor: the image (null for none); true when it changed.
    virtual bool SetCursorImage(MemoryImage* image) {
        (void)image;
        return false;
    }
    // Moves the drawn cursor now (client pixels).
    virtual void SetCursorPos(int x, int y) {
        (void)x;
        (void)y;
    }
    // Only notes where the next frame draws the cursor.
    virtual void SetNextCursorPos(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void GetCursorPos(int* x, int* y) {
        *x = 0;
        *y = 0;
    }
};

}  // namespace Velm
