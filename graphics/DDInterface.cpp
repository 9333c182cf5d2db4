#include "graphics/DDInterface.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "graphics/ImageHost.h"
#include "platform/DdPresenter.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

std::atomic<bool> gStandardRGBOrder{true};

int Gcd(int a, int b) {
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    while (b != 0) {
        const int t = a % b;
        a = b;
        b = t;
    }
    return a;
}

void Log(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    plat::DebugOutput(text);
}

std::vector<int> MakeSaturationTable(int bits) {
    const int max = (1 << bits) - 1;
    const int count = 2 * max + 1;
    std::vector<int> table(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) table[static_cast<size_t>(i)] = i <= max ? i : max;
    return table;
}

plat::dd::Box ToBox(const Rect& rect) { return {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height}; }

// The part of a cursor area (area-relative box) that a surface part covers.
plat::dd::Box AreaBox(const Rect& part, const Rect& area) {
    return {part.x - area.x, part.y - area.y, part.x - area.x + part.width, part.y - area.y + part.height};
}

bool IsEmpty(const Rect& rect) { return rect.width <= 0 || rect.height <= 0; }

}  // namespace

std::string DisplayResultName(int result) {
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

AspectRatio::AspectRatio(int width, int height) {
    const int divisor = Gcd(width, height);
    numerator = divisor != 0 ? width / divisor : width;
    denominator = divisor != 0 ? height / divisor : height;
}

bool AspectRatio::IsNarrowerThan(const AspectRatio& other) const {
    const int w1 = numerator, h1 = denominator, w2 = other.numerator, h2 = other.denominator;
    if (h1 == 0 || h2 == 0) return false;
    return h2 * w1 / h1 < w2 || w1 < w2 * h1 / h2;
}

bool operator==(const AspectRatio& a, const AspectRatio& b) {
    return a.numerator == b.numerator && a.denominator == b.denominator;
}

// ---- DisplayHost defaults ----

DisplayHost::~DisplayHost() = default;
int DisplayHost::GetLogicalWidth() { return 640; }
int DisplayHost::GetLogicalHeight() { return 480; }
int DisplayHost::GetColorDepth() { return 16; }
AspectRatio DisplayHost::GetAspect() { return AspectRatio(4, 3); }
bool DisplayHost::WaitForVSync() { return false; }
bool DisplayHost::SoftVSync() { return true; }
bool DisplayHost::IsPopupOpen() { return false; }
bool DisplayHost::UsePageFlip() { return true; }
bool DisplayHost::AutoEnable3D() { return false; }
bool DisplayHost::Test3D() { return false; }
int DisplayHost::MinVideoMemory3D() { return 6; }
int DisplayHost::RecommendedVideoMemory3D() { return 14; }
bool DisplayHost::GetDesktopSize(int*, int*) { return false; }
void DisplayHost::SetPresentationRect(const Rect&) {}
void DisplayHost::SetVSyncBroken() {}
void DisplayHost::Notify3DTestRun() {}
ImageHost* DisplayHost::GetImageHost() { return Velm::GetImageHost(); }
CriticalSection* DisplayHost::GetDisplayLock() { return nullptr; }

std::string DisplayHost::ErrorName(int32_t result) {
    return GetDirectXErrorName(static_cast<long>(static_cast<uint32_t>(result)));
}

Display3D::~Display3D() = default;

// ---- DDInterface ----

DDInterface::DDInterface(DisplayHost* app) : mApp(app), mCritSect(&mOwnLock) {
    if (mApp != nullptr && mApp->GetDisplayLock() != nullptr) mCritSect = mApp->GetDisplayLock();
}

DDInterface::~DDInterface() {
    Cleanup();
    m3D.reset();
    // Images that outlive the display lose their surfaces (read back first) and then draw
    // from memory only.
    CritSectLock lock(*mCritSect);
    const std::set<DDImage*> survivors = mDDImageSet;
    for (DDImage* image : survivors) {
        image->ReleaseSurface();
        image->mDDInterface = nullptr;
    }
    mDDImageSet.clear();
}

bool DDInterface::IsStandardRGBOrder() { return gStandardRGBOrder.load(); }

bool DDInterface::CheckResult(plat::dd::Result result, const char* label) {
    if (!plat::dd::Failed(result)) return false;
    const std::string name = mApp != nullptr ? mApp->ErrorName(result) : DisplayHost().ErrorName(result);
    mErrorString = std::string(label) + ": " + name;
    return true;
}

plat::dd::Result DDInterface::CreateSurface(const plat::dd::SurfaceRequest& request,
                                            std::shared_ptr<plat::dd::Surface>* surface) {
    CritSectLock lock(*mCritSect);
    if (surface == nullptr) return plat::dd::kErrInvalidParams;
    surface->reset();
    if (!mDD) return plat::dd::kErrGeneric;
    const plat::dd::Result result = mDD->CreateSurface(request, surface);
    if (plat::dd::Failed(result)) return result;
    const plat::dd::PixelFormat primary = mPrimarySurface ? mPrimarySurface->Format() : mDD->PrimaryFormat();
    gStandardRGBOrder.store(primary.blueMask < primary.greenMask && primary.greenMask < primary.redMask);
    if (primary.bitCount != 16 && primary.bitCount != 32) {
        surface->reset();
        return plat::dd::kErrInvalidPixelFormat;
    }
    return plat::dd::kOk;
}

plat::dd::Result DDInterface::ClearSurface(plat::dd::Surface* surface) {
    if (surface == nullptr) return plat::dd::kOk;
    return surface->Blt(nullptr, nullptr, nullptr, plat::dd::kBltColorFill | plat::dd::kBltWait, 0);
}

void DDInterface::Set3DLayer(std::unique_ptr<Display3D> layer) { m3D = std::move(layer); }

void DDInterface::Cleanup() {
    CritSectLock lock(*mCritSect);
    mPrimaryStale = false;
    mInitialized = false;
    mOverlayImage = nullptr;  // the next set-up's window gets it again
    if (m3D) m3D->Cleanup();
    mOldCursorAreaImage.reset();
    mNewCursorAreaImage.reset();
    mOldCursorArea.reset();
    mNewCursorArea.reset();
    mScreenImage.reset();
    mDrawSurface.reset();
    mSecondarySurface.reset();
    mPrimarySurface.reset();
    if (mDD) mDD->SetCooperativeLevel(false);
    mDD.reset();
    mHaveDD7 = false;
}

bool DDInterface::Do3DTest() {
    if (mTestRan || mApp == nullptr || (!mApp->AutoEnable3D() && !mApp->Test3D())) return false;
    if (!m3D) return false;  // no 3D layer: no card test, software drawing
    mTestRan = true;
    CardTestOutcome outcome;
    if (!m3D->RunCardTest(*this, mApp->MinVideoMemory3D(), mApp->RecommendedVideoMemory3D(), &outcome)) return false;
    mTestOutcome = outcome;
    if (mApp->AutoEnable3D() && !outcome.hasFailure && !outcome.hasWarning) mIs3D = true;
    if (outcome.hasFailure) mIs3D = false;
    if (outcome.fresh && (outcome.hasFailure || outcome.hasWarning)) mIs3D = false;
    if (outcome.fresh) mApp->Notify3DTestRun();
    return true;
}

void DDInterface::SetPixelFormat(const plat::dd::PixelFormat& format) {
    mRGBBits = format.bitCount;
    mRedMask = format.redMask;
    mGreenMask = format.greenMask;
    mBlueMask = format.blueMask;
    // Channel widths and shifts come from the native format the masks describe.
    mNativeFormat = NativePixelFormat::FromMasks(mRGBBits, mRedMask, mGreenMask, mBlueMask);
    mRedBits = mNativeFormat.redBits;
    mGreenBits = mNativeFormat.greenBits;
    mBlueBits = mNativeFormat.blueBits;
    mRedShift = mNativeFormat.redShift;
    mGreenShift = mNativeFormat.greenShift;
    mBlueShift = mNativeFormat.blueShift;
    mRedAddTable = MakeSaturationTable(mRedBits);
    mGreenAddTable = MakeSaturationTable(mGreenBits);
    mBlueAddTable = MakeSaturationTable(mBlueBits);
}

int DDInterface::Init(plat::Window* window, bool isWindowed) {
    using namespace plat::dd;
    CritSectLock lock(*mCritSect);
    mInitialized = false;
    Cleanup();

    std::unique_ptr<Device> device;
    Result result = Device::Create(true, &device);
    if (CheckResult(result, "DirectDrawCreateEx")) return RESULT_DD_CREATE_FAIL;
    mDD = std::move(device);
    mHaveDD7 = true;
    if (CheckResult(mDD->QueryInterface(), "QueryrInterface IID_IDirectDraw")) return RESULT_DD_CREATE_FAIL;

    Do3DTest();

    DisplayHost fallbackHost;
    DisplayHost* app = mApp != nullptr ? mApp : &fallbackHost;
    mWidth = app->GetLogicalWidth();
    mHeight = app->GetLogicalHeight();
    mAspect = AspectRatio(mWidth, mHeight);
    int desktopWidth = 0, desktopHeight = 0;
    if (!app->GetDesktopSize(&desktopWidth, &desktopHeight)) {
        desktopWidth = mWidth;
        desktopHeight = mHeight;
    }
    mDesktopWidth = desktopWidth;
    mDesktopHeight = desktopHeight;
    mDesktopAspect = AspectRatio(mDesktopWidth, mDesktopHeight);
    mDisplayWidth = mWidth;
    mDisplayHeight = mHeight;
    mDisplayAspect = mAspect;
    mIsWidescreen = false;
    mPresentationRect = Rect(0, 0, mWidth, mHeight);
    app->SetPresentationRect(mPresentationRect);
    mFullscreenBits = app->GetColorDepth();
    mHasOldCursorArea = false;
    mWindow = window;
    mIsWindowed = isWindowed;
    Log("Application requests %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mWidth),
        static_cast<unsigned long>(mHeight), mAspect.numerator, mAspect.denominator);

    if (window != nullptr) mDD->SetPresenter(std::make_shared<WindowPresenter>(window));

    SurfaceRequest drawRequest;
    drawRequest.flags = kDescCaps | kDescHeight | kDescWidth;
    drawRequest.width = mWidth;
    drawRequest.height = mHeight;
    drawRequest.caps = mIs3D ? uint32_t(kCapsOffscreenPlain | kCaps3DDevice | kCapsVideoMemory)
                             : uint32_t(kCapsOffscreenPlain | kCapsSystemMemory);

    if (isWindowed) {
        const AspectRatio hack = app->GetAspect();
        Log("Hack aspect is                   [%2d:%2d]\n", hack.numerator, hack.denominator);
        Log("Window is            %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDisplayWidth),
            static_cast<unsigned long>(mDisplayHeight), mDisplayAspect.numerator, mDisplayAspect.denominator);
        mDD->SetCooperativeLevel(false);
        mDD->SetWindowSize(mWidth, mHeight);
        SurfaceRequest primary;
        primary.flags = kDescCaps;
        primary.caps = kCapsPrimarySurface | (mIs3D ? uint32_t(kCaps3DDevice) : 0u);
        result = CreateSurface(primary, &mPrimarySurface);
        if (result == kErrInvalidPixelFormat) {
            CheckResult(result, "CreateSurface Windowed Primary");
            return RESULT_INVALID_COLORDEPTH;
        }
        if (CheckResult(result, "CreateSurface Windowed Primary")) return RESULT_SURFACE_FAIL;
        if (CheckResult(CreateSurface(drawRequest, &mDrawSurface), "CreateSurface Windowed DrawSurface"))
            return RESULT_SURFACE_FAIL;
        if (CheckResult(mDD->CreateClipper(), "CreateClipper Windowed")) return RESULT_FAIL;
    } else {
        Log("Desktop is           %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDesktopWidth),
            static_cast<unsigned long>(mDesktopHeight), mDesktopAspect.numerator, mDesktopAspect.denominator);
        if (mIs3D && mAspect.IsNarrowerThan(mDesktopAspect)) {
            mIsWidescreen = true;
            mDisplayWidth = mDesktopWidth;
            mDisplayHeight = mDesktopHeight;
            mDisplayAspect = mDesktopAspect;
            const int width = mHeight != 0 ? mWidth * mDesktopHeight / mHeight : mWidth;
            mPresentationRect = Rect((mDesktopWidth - width) / 2, 0, width, mDesktopHeight);
        }
        Log("Display is           %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDisplayWidth),
            static_cast<unsigned long>(mDisplayHeight), mDisplayAspect.numerator, mDisplayAspect.denominator);
        if (CheckResult(mDD->SetCooperativeLevel(true), "SetCooperativeLevel FullScreen")) return RESULT_EXCLUSIVE_FAIL;
        if (CheckResult(mDD->SetDisplayMode(mDisplayWidth, mDisplayHeight, mFullscreenBits),
                        "SetDisplayMode FullScreen"))
            return RESULT_DISPCHANGE_FAIL;
        SurfaceRequest primary;
        primary.flags = kDescCaps | kDescBackBufferCount;
        primary.backBufferCount = 1;
        primary.caps = kCapsPrimarySurface | kCapsFlip | kCapsComplex | (mIs3D ? uint32_t(kCaps3DDevice) : 0u);
        if (CheckResult(CreateSurface(primary, &mPrimarySurface), "CreateSurface FullScreen Primary"))
            return RESULT_SURFACE_FAIL;
        if (CheckResult(mDD->GetAttachedSurface(&mSecondarySurface), "GetAttachedSurface")) return RESULT_SURFACE_FAIL;
        if (mIsWidescreen) {
            ClearSurface(mPrimarySurface.get());
            ClearSurface(mSecondarySurface.get());
        }
        if (CheckResult(CreateSurface(drawRequest, &mDrawSurface), "CreateSurface FullScreen DrawSurface"))
            return RESULT_SURFACE_FAIL;
        if (CheckResult(mDD->CreateClipper(), "CreateClipper FullScreen")) return RESULT_FAIL;
        if (!app->UsePageFlip()) mDD->FlipToGDISurface();
    }
    Log("Draw buffer is       %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mWidth),
        static_cast<unsigned long>(mHeight), mAspect.numerator, mAspect.denominator);

    unsigned hz = 0;
    if (Failed(mDD->GetMonitorFrequency(&hz)) || hz < 60) {
        app->SetVSyncBroken();
        hz = 60;
    } else if (hz > 100) {
        app->SetVSyncBroken();
        hz = 100;
    }
    // A display that cannot wait for the vertical blank is paced by the clock.
    if (!mDD->CanWaitForVerticalBlank()) app->SetVSyncBroken();
    mRefreshRate = hz;
    mMillisecondsPerFrame = static_cast<int>(1000u / hz);

    SurfaceRequest cursorRequest;
    cursorRequest.flags = kDescCaps | kDescHeight | kDescWidth;
    cursorRequest.width = mCursorWidth;
    cursorRequest.height = mCursorHeight;
    cursorRequest.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    if (CheckResult(CreateSurface(cursorRequest, &mOldCursorArea), "CreateSurface OldCursorArea"))
        return RESULT_SURFACE_FAIL;
    if (CheckResult(CreateSurface(cursorRequest, &mNewCursorArea), "CreateSurface NewCursorArea"))
        return RESULT_SURFACE_FAIL;
    mOldCursorAreaImage = std::make_unique<DDImage>(this);
    mOldCursorAreaImage->SetSurface(mOldCursorArea);
    mOldCursorAreaImage->ForceAlphaFlags(false, false);
    mNewCursorAreaImage = std::make_unique<DDImage>(this);
    mNewCursorAreaImage->SetSurface(mNewCursorArea);
    mNewCursorAreaImage->ForceAlphaFlags(false, false);

    const PixelFormat format = mPrimarySurface->Format();
    if (format.bitCount != 16 && format.bitCount != 32) return RESULT_INVALID_COLORDEPTH;
    SetPixelFormat(format);

    SetDrawInVideoMemory(mVideoOnlyDraw);

    if (mIs3D) {
        if (!m3D || !m3D->InitD3D(*this)) {
            mErrorString = "3D init error: " + (m3D ? m3D->LastError() : std::string("no 3D device"));
            return RESULT_3D_INIT_FAIL;
        }
    }
    mInitialized = true;
    return RESULT_OK;
}

void DDInterface::SetDrawInVideoMemory(bool on) {
    using namespace plat::dd;
    CritSectLock lock(*mCritSect);
    mVideoOnlyDraw = on;
    if (on && !mSecondarySurface) {
        SurfaceRequest request;
        request.flags = kDescCaps | kDescHeight | kDescWidth;
        request.width = mWidth;
        request.height = mHeight;
        request.caps = kCapsVideoMemory;
        if (Failed(CreateSurface(request, &mSecondarySurface))) mVideoOnlyDraw = false;
    }
    mScreenImage.reset();
    std::shared_ptr<Surface> surface = mVideoOnlyDraw ? mSecondarySurface : mDrawSurface;
    if (!surface) return;
    mScreenImage = std::make_unique<DDImage>(this);
    mScreenImage->SetSurface(surface);
    mScreenImage->mNoLock = mVideoOnlyDraw;
    mScreenImage->mVideoMemory = mVideoOnlyDraw;
    mScreenImage->ForceAlphaFlags(false, false);
}

bool DDInterface::Redraw(const Rect* clip) {
    using namespace plat::dd;
    CritSectLock lock(*mCritSect);
    if (!mInitialized || !mDD || !mPrimarySurface || !mDrawSurface) return false;
    mInRedraw = true;
    if (mIs3D && m3D) {
        if (!m3D->LastError().empty()) {
            mInRedraw = false;
            mIs3D = false;
            return false;
        }
        // The frame is shown straight from the 3D device, whose pixels then stay where they
        // were drawn; the software cursor goes over it as the window's overlay.
        const bool direct = !mVideoOnlyDraw && mWindow != nullptr;
        if (direct) {
            DisplayHost fallback;
            DisplayHost* host = mApp != nullptr ? mApp : &fallback;
            // As below: a window waits when asked and not pacing itself; full screen when it flips.
            mDD->SetVSync(mIsWindowed ? host->WaitForVSync() && !host->SoftVSync()
                                      : !host->IsPopupOpen() && host->UsePageFlip());
            PlaceCursorOverlay();
        }
        if (direct && m3D->PresentInWindow(mWindow)) {
            m3D->ClearLastError();
            mPrimaryStale = true;
            mHasOldCursorArea = false;
            mInRedraw = false;
            return true;
        }
        m3D->EndSceneIfOpen();
        m3D->ClearLastError();
    }

    Rect dest, source;
    // With a software cursor the whole frame goes, so that the cursor's previous place on
    // the primary is covered wherever it was.
    if (clip == nullptr || mIsWidescreen || mCursorImage != nullptr || mPrimaryStale) {
        dest = mPresentationRect;
        source = Rect(0, 0, mWidth, mHeight);
    } else {
        dest = *clip;
        source = *clip;
    }
    // The primary is the window's client area: its origin is (0, 0).
    const Box destBox{dest.x, dest.y, dest.x + dest.width, dest.y + dest.height};
    const Box sourceBox{source.x, source.y, source.x + source.width, source.y + source.height};

    SurfaceDesc desc;
    if (!Failed(mDrawSurface->Lock(&desc))) mDrawSurface->Unlock();

    DisplayHost fallbackHost;
    DisplayHost* app = mApp != nullptr ? mApp : &fallbackHost;
    Result result = kOk;
    const char* label = "Redraw Windowed";
    if (mIsWindowed) {
        // The cursor goes into the frame being shown and comes out of the drawing surface
        // again afterwards; the primary keeps it, with its saved area.
        Surface* from = mVideoOnlyDraw && mSecondarySurface ? mSecondarySurface.get() : mDrawSurface.get();
        mCursorX = mNextCursorX;
        mCursorY = mNextCursorY;
        DrawCursor(from);
        const bool vsync = app->WaitForVSync() && !app->SoftVSync();
        mDD->SetVSync(vsync);
        if (vsync) {
            bool split = false;
            if (mScanLineFailCount < 3) {
                unsigned line = 0;
                // No scan line on this platform: the split present gives up at its first poll.
                const Result poll = mDD->GetScanLine(&line);
                split = !Failed(poll);
                if (!split) ++mScanLineFailCount;
            }
            if (!split) mDD->WaitForVerticalBlank();
        }
        result = mPrimarySurface->Blt(&destBox, from, &sourceBox, kBltWait);
        if (mHasOldCursorArea) {
            RestoreCursorArea(from);
            mHasOldCursorArea = true;  // still on the primary
        }
    } else if (app->IsPopupOpen() || !app->UsePageFlip()) {
        label = "Redraw FullScreen Blt";
        mDD->SetVSync(false);
        result = mPrimarySurface->Blt(&destBox, mDrawSurface.get(), &sourceBox, kBltWait);
        mHasOldCursorArea = false;
    } else {
        label = "Redraw FullScreen Flip";
        if (!mVideoOnlyDraw && mSecondarySurface)
            mSecondarySurface->Blt(&destBox, mDrawSurface.get(), &sourceBox, kBltWait);
        mCursorX = mNextCursorX;
        mCursorY = mNextCursorY;
        DrawCursor(mSecondarySurface.get());
        mDD->SetVSync(true);  // a flip happens at the vertical blank
        result = mDD->Flip();
    }
    mInRedraw = false;
    mPrimaryStale = false;
    return !CheckResult(result, label);
}

void DDInterface::AddImage(DDImage* image) {
    CritSectLock lock(*mCritSect);
    mDDImageSet.insert(image);
}

void DDInterface::RemoveImage(DDImage* image) {
    CritSectLock lock(*mCritSect);
    mDDImageSet.erase(image);
}

bool DDInterface::SetCursorImage(MemoryImage* image) {
    CritSectLock lock(*mCritSect);
    if (mCursorImage == image) return false;
    mCursorImage = image;
    return true;
}

MemoryImage* DDInterface::GetCursorImage() {
    CritSectLock lock(*mCritSect);
    return mCursorImage;
}

void DDInterface::PlaceCursorOverlay() {
    MemoryImage* image = mCursorImage;
    if (image != mOverlayImage || (image != nullptr && image->changeCount != mOverlayChangeCount)) {
        const uint32_t* bits = image != nullptr ? image->GetBits() : nullptr;
        if (bits != nullptr)
            mWindow->SetOverlay(bits, image->width, image->height);
        else
            mWindow->SetOverlay(nullptr, 0, 0);
        mOverlayImage = image;
        mOverlayChangeCount = image != nullptr ? image->changeCount : 0;
    }
    mCursorX = mNextCursorX;
    mCursorY = mNextCursorY;
    if (image != nullptr) MoveCursorOverlay(mCursorX, mCursorY);
}

void DDInterface::MoveCursorOverlay(int x, int y) {
    mWindow->MoveOverlay(x - mOverlayImage->width / 2, y - mOverlayImage->height / 2);
}

void DDInterface::SetCursorPos(int x, int y) {
    mNextCursorX = x;
    mNextCursorY = y;
    if (mInRedraw) return;  // the present draws it at the latest position
    CritSectLock lock(*mCritSect);
    if (!mInitialized || !mPrimarySurface) return;
    if (mPrimaryStale) {
        // The frame came from the 3D device: the window shows it again with the overlay moved
        // (from the main thread); an image the overlay does not have yet waits for the next frame.
        if (mWindow != nullptr && mCursorImage != nullptr && mCursorImage == mOverlayImage) {
            mCursorX = x;
            mCursorY = y;
            MoveCursorOverlay(x, y);
        }
        return;
    }
    if (mHasOldCursorArea) {
        MoveCursor(mPrimarySurface.get(), x, y);
    } else {
        mCursorX = x;
        mCursorY = y;
        DrawCursor(mPrimarySurface.get());
    }
}

Rect DDInterface::CursorRect(int x, int y) const {
    return Rect(x - mCursorWidth / 2, y - mCursorHeight / 2, mCursorWidth, mCursorHeight);
}

Rect DDInterface::VisibleCursorPart(const plat::dd::Surface& surface, const Rect& area) const {
    Rect part = area.Intersection(Rect(0, 0, surface.Width(), surface.Height()));
    // On the primary and its back buffer only the picture's place counts (not the bars).
    if (&surface == mPrimarySurface.get() || &surface == mSecondarySurface.get())
        part = part.Intersection(mPresentationRect);
    if (IsEmpty(part)) return Rect();
    return part;
}

void DDInterface::DrawCursorImageInto(DDImage* areaImage, int centerX, int centerY) {
    if (areaImage == nullptr || mCursorImage == nullptr) return;
    Graphics g(areaImage);
    g.DrawImage(mCursorImage, centerX - mCursorImage->width / 2, centerY - mCursorImage->height / 2);
}

void DDInterface::DrawCursor(plat::dd::Surface* surface) {
    using namespace plat::dd;
    mHasOldCursorArea = false;
    if (surface == nullptr || !mOldCursorArea || !mNewCursorArea || mCursorImage == nullptr || !mPrimarySurface) return;
    const Rect area = CursorRect(mCursorX, mCursorY);
    const Rect part = VisibleCursorPart(*surface, area);
    if (IsEmpty(part)) return;
    const Box onSurface = ToBox(part);
    const Box inArea = AreaBox(part, area);
    if (Failed(mOldCursorArea->Blt(&inArea, surface, &onSurface, kBltWait))) return;
    mHasOldCursorArea = true;
    // The image is drawn over a copy of the saved pixels, which then goes onto the surface.
    mNewCursorArea->Blt(&inArea, mOldCursorArea.get(), &inArea, kBltWait);
    DrawCursorImageInto(mNewCursorAreaImage.get(), mCursorWidth / 2, mCursorHeight / 2);
    surface->Blt(&onSurface, mNewCursorArea.get(), &inArea, kBltWait);
}

void DDInterface::MoveCursor(plat::dd::Surface* surface, int x, int y) {
    using namespace plat::dd;
    if (surface == nullptr || mCursorImage == nullptr || !mPrimarySurface) {
        mHasOldCursorArea = false;
        return;
    }
    const Rect oldArea = CursorRect(mCursorX, mCursorY);
    const Rect newArea = CursorRect(x, y);
    const Rect oldPart = VisibleCursorPart(*surface, oldArea);
    const Rect newPart = VisibleCursorPart(*surface, newArea);
    // Save what is under the new place; where the old cursor covers it, the old saved area
    // holds the background, and the cursor is drawn into the old area at its new place so
    // that restoring the old area does not blank it.
    if (!IsEmpty(newPart)) {
        const Box onSurface = ToBox(newPart);
        const Box inArea = AreaBox(newPart, newArea);
        mNewCursorArea->Blt(&inArea, surface, &onSurface, kBltWait);
    }
    const Rect overlap = IsEmpty(oldPart) || IsEmpty(newPart) ? Rect() : oldPart.Intersection(newPart);
    if (!IsEmpty(overlap)) {
        const Box fromOld = AreaBox(overlap, oldArea);
        const Box intoNew = AreaBox(overlap, newArea);
        mNewCursorArea->Blt(&intoNew, mOldCursorArea.get(), &fromOld, kBltWait);
        DrawCursorImageInto(mOldCursorAreaImage.get(), x - oldArea.x, y - oldArea.y);
    }
    if (!IsEmpty(oldPart)) {
        const Box onSurface = ToBox(oldPart);
        const Box inArea = AreaBox(oldPart, oldArea);
        surface->Blt(&onSurface, mOldCursorArea.get(), &inArea, kBltWait);
    }
    mOldCursorArea->Blt(nullptr, mNewCursorArea.get(), nullptr, kBltWait);
    mCursorX = x;
    mCursorY = y;
    mHasOldCursorArea = !IsEmpty(newPart);
    if (mHasOldCursorArea) {
        DrawCursorImageInto(mNewCursorAreaImage.get(), mCursorWidth / 2, mCursorHeight / 2);
        const Box onSurface = ToBox(newPart);
        const Box inArea = AreaBox(newPart, newArea);
        surface->Blt(&onSurface, mNewCursorArea.get(), &inArea, kBltWait);
    }
}

void DDInterface::RestoreCursorArea(plat::dd::Surface* surface) {
    using namespace plat::dd;
    if (!mHasOldCursorArea || surface == nullptr || !mPrimarySurface) return;
    const Rect area = CursorRect(mCursorX, mCursorY);
    const Rect part = VisibleCursorPart(*surface, area);
    if (!IsEmpty(part)) {
        const Box onSurface = ToBox(part);
        const Box inArea = AreaBox(part, area);
        surface->Blt(&onSurface, mOldCursorArea.get(), &inArea, kBltWait);
    }
    mHasOldCursorArea = false;
}

void DDInterface::SetNextCursorPos(int x, int y) {
    mNextCursorX = x;
    mNextCursorY = y;
}

void DDInterface::GetCursorPos(int* x, int* y) {
    if (x != nullptr) *x = mNextCursorX;
    if (y != nullptr) *y = mNextCursorY;
}

void DDInterface::FreeImageTexture(MemoryImage* image) {
    if (m3D) m3D->FreeImageTexture(image);
}

}  // namespace Velm
