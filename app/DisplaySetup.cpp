#include "app/DisplaySetup.h"

#include <vector>

#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "platform/Window.h"

namespace Velm {

DisplaySetup::~DisplaySetup() = default;

std::string DisplayResultName(int result)
{
    switch (result) {
    case RESULT_OK: return "RESULT_OK";
    case RESULT_FAIL: return "RESULT_FAIL";
    case RESULT_DD_CREATE_FAIL: return "RESULT_DD_CREATE_FAIL";
    case RESULT_SURFACE_FAIL: return "RESULT_SURFACE_FAIL";
    case RESULT_EXCLUSIVE_FAIL: return "RESULT_EXCLUSIVE_FAIL";
    case RESULT_DISPCHANGE_FAIL: return "RESULT_DISPCHANGE_FAIL";
    case RESULT_INVALID_COLORDEPTH: return "RESULT_INVALID_COLORDEPTH";
    default: return "RESULT_UNKNOWN";
    }
}

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
    const uint32_t* frame = bits;
    std::vector<uint32_t> withCursor;
    if (mCursorImage != nullptr && mCursorImage->GetBits() != nullptr) {
        // The software cursor, blended over a copy of the screen at the pointer's logical
        // position.
        withCursor.assign(bits, bits + static_cast<size_t>(width) * height);
        const Rect place = GetPresentationRect();
        const int cx = place.width > 0 ? (mCursorX - place.x) * width / place.width : mCursorX;
        const int cy = place.height > 0 ? (mCursorY - place.y) * height / place.height : mCursorY;
        const uint32_t* cursor = mCursorImage->GetBits();
        for (int y = 0; y < mCursorImage->height; ++y) {
            const int ty = cy + y;
            if (ty < 0 || ty >= height)
                continue;
            for (int x = 0; x < mCursorImage->width; ++x) {
                const int tx = cx + x;
                if (tx < 0 || tx >= width)
                    continue;
                const uint32_t src = cursor[y * mCursorImage->width + x];
                const uint32_t alpha = src >> 24;
                uint32_t& dst = withCursor[static_cast<size_t>(ty) * width + tx];
                uint32_t out = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const uint32_t s = (src >> shift) & 0xFF;
                    const uint32_t d = (dst >> shift) & 0xFF;
                    out |= ((s * alpha + d * (255 - alpha)) / 255) << shift;
                }
                dst = out;
            }
        }
        frame = withCursor.data();
    }
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
