#include "app/DisplaySetup.h"

#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "platform/Window.h"

namespace Velm {

DisplaySetup::~DisplaySetup() = default;

WindowDisplay::WindowDisplay(VelmAppBase* app) : mApp(app) {}

WindowDisplay::~WindowDisplay()
{
    CritSectLock lock(mApp->GetDisplayLock());
    delete mScreenImage;
    mScreenImage = nullptr;
}

int WindowDisplay::Init(plat::Window* window, bool)
{
    CritSectLock lock(mApp->GetDisplayLock());
    mWindow = window;
    if (window == nullptr) {
        mLastError = "CreateWindow: no main window";
        return RESULT_FAIL;
    }
    if (mScreenImage == nullptr || mScreenImage->width != mApp->GetWidth() || mScreenImage->height != mApp->GetHeight()) {
        delete mScreenImage;
        mScreenImage = new MemoryImage(mApp);
        mScreenImage->Create(mApp->GetWidth(), mApp->GetHeight());
    }
    mLastError.clear();
    return RESULT_OK;
}

int WindowDisplay::GetDrawWidth() { return mApp->GetWidth(); }

int WindowDisplay::GetDrawHeight() { return mApp->GetHeight(); }

Rect WindowDisplay::GetPresentationRect()
{
    if (mWindow == nullptr)
        return Rect(0, 0, mApp->GetWidth(), mApp->GetHeight());
    const plat::ScreenRect place = mWindow->PresentationRect(mApp->GetWidth(), mApp->GetHeight());
    return Rect(place.x, place.y, place.width, place.height);
}

MemoryImage* WindowDisplay::NewImage() { return new MemoryImage(mApp); }

bool WindowDisplay::Redraw(const Rect*)
{
    CritSectLock lock(mApp->GetDisplayLock());
    if (mWindow == nullptr || mScreenImage == nullptr) {
        mLastError = "Present: not set up";
        return false;
    }
    const int width = mScreenImage->width;
    const int height = mScreenImage->height;
    const uint32_t* bits = mScreenImage->GetBits();
    if (bits == nullptr || width <= 0 || height <= 0) {
        mLastError = "Present: no screen pixels";
        return false;
    }
    // The cursor image is not drawn into frames: the application shows it as the system
    // pointer.
    const uint32_t* frame = bits;
    if (!mWindow->Present(frame, width, height, width * 4)) {
        mLastError = "Present: the window refused the frame";
        return false;
    }
    return true;
}

bool WindowDisplay::SetCursorImage(MemoryImage* image)
{
    CritSectLock lock(mApp->GetDisplayLock());
    if (image == mCursorImage)
        return false;
    mCursorImage = image;
    return true;
}

void WindowDisplay::SetCursorPos(int x, int y)
{
    // The window can only be drawn from the main thread: the next present shows it.
    SetNextCursorPos(x, y);
}

void WindowDisplay::SetNextCursorPos(int x, int y)
{
    CritSectLock lock(mApp->GetDisplayLock());
    mCursorX = x;
    mCursorY = y;
}

void WindowDisplay::GetCursorPos(int* x, int* y)
{
    CritSectLock lock(mApp->GetDisplayLock());
    *x = mCursorX;
    *y = mCursorY;
}

}  // namespace Velm
