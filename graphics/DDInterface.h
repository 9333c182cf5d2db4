#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/DisplayResult.h"
#include "graphics/NativePixelFormat.h"
#include "graphics/Rect.h"
#include "platform/DdDevice.h"
#include "resources/base/CriticalSection.h"

namespace plat {
class Window;
}

namespace Velm {

class DDImage;
class DDInterface;
class Image;
class ImageHost;
class Matrix3;
class MemoryImage;
struct Point;
struct TriVertex;
class Color;

// A display aspect ratio, kept reduced (1024 x 768 is 4:3).
struct AspectRatio {
    int numerator = 1;
    int denominator = 1;

    AspectRatio() = default;
    AspectRatio(int width, int height);
    // True when other is wider than this, in integer arithmetic:
    // h2 * w1 / h1 < w2 or w1 < w2 * h1 / h2.
    bool IsNarrowerThan(const AspectRatio& other) const;
};

bool operator==(const AspectRatio& a, const AspectRatio& b);

// What the display reads from and writes to the application object. The application (above
// graphics/) implements it; every operation has a default suited to tests and tools.
class DisplayHost {
public:
    virtual ~DisplayHost();

    virtual int GetLogicalWidth();           // 640
    virtual int GetLogicalHeight();          // 480
    virtual int GetColorDepth();             // requested bits per pixel in full screen: 16
    virtual AspectRatio GetAspect();         // the application's aspect, logged only: 4:3
    virtual bool WaitForVSync();             // false
    virtual bool SoftVSync();                // true
    virtual bool IsPopupOpen();              // false
    virtual bool UsePageFlip();              // true
    virtual bool AutoEnable3D();             // false: switch 3D on when the card test passes
    virtual bool Test3D();                   // false: run the card test
    virtual int MinVideoMemory3D();          // 6 (MB)
    virtual int RecommendedVideoMemory3D();  // 14 (MB)
    // The desktop's size, for full-screen letterboxing; false when unknown.
    virtual bool GetDesktopSize(int* width, int* height);
    // Writes: the application's copy of the presentation rectangle, and VSync-broken.
    virtual void SetPresentationRect(const Rect& rect);
    virtual void SetVSyncBroken();
    virtual void Notify3DTestRun();
    // The symbolic name of a display result code; the default is the code in hexadecimal.
    virtual std::string ErrorName(int32_t result);
    // The host the display's surface images register with as memory images.
    virtual ImageHost* GetImageHost();
    // The display lock when the application keeps it (it also guards the application's image
    // set); null lets the display use a lock of its own.
    virtual CriticalSection* GetDisplayLock();
};

// The outcome of the video-card test as the display's 3D decision needs it.
struct CardTestOutcome {
    bool fresh = false;       // the test ran now rather than coming from the cache
    bool hasFailure = false;  // a failure reason was found
    bool hasWarning = false;
};

// The seam to the 3D layer (its own issue): the display's 3D set-up and present steps, the
// video-card test, and the drawing entry points that surface images use on the drawing
// surface in 3D mode. Without a 3D layer the display runs in software and a request for 3D
// fails its set-up with RESULT_3D_INIT_FAIL.
class Display3D {
public:
    virtual ~Display3D();

    // Runs the video-card test on the display's device; false when no test could run.
    virtual bool RunCardTest(DDInterface& display, int minVideoMemory, int recommendedVideoMemory,
                             CardTestOutcome* outcome) = 0;
    virtual bool InitD3D(DDInterface& display) = 0;
    virtual void Cleanup() = 0;
    // The error recorded since the last end of scene; empty when none.
    virtual std::string LastError() = 0;
    virtual void ClearLastError() = 0;
    virtual void EndSceneIfOpen() = 0;
    // Shows the drawing surface's frame in the window straight from the device, without the
    // pixels passing through memory; false when it cannot (the caller presents as usual).
    virtual bool PresentInWindow(plat::Window* window) {
        (void)window;
        return false;
    }
    virtual bool IsTransformStackEmpty() = 0;
    virtual void FreeImageTexture(MemoryImage* image) = 0;

    virtual void FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                          int ty) = 0;
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode) = 0;
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) = 0;
    virtual void Blt(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                     bool linearFilter) = 0;
    virtual void BltClipF(Image* image, float x, float y, const Rect& srcRect, const Rect* clip, const Color& color,
                          int drawMode) = 0;
    virtual void BltMirror(Image* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                           bool linearFilter) = 0;
    virtual void StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect* clip,
                            const Color& color, int drawMode, bool fastStretch, bool mirror) = 0;
    virtual void BltRotate(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                           double angle, float centerX, float centerY, const Rect& srcRect) = 0;
    virtual void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& srcRect,
                                const Matrix3& matrix, bool linearFilter, float x, float y, bool centered) = 0;
    virtual void DrawTexturedTriangles(const TriVertex (*triangles)[3], int count, const Color& color, int drawMode,
                                       Image* texture, float tx, float ty, bool linearFilter) = 0;
};

// The one display device of the application: the plat::dd device, the primary surface (with a
// back buffer in full screen), the drawing surface of the logical size that every widget draws
// into through the screen image, the two cursor-area surfaces, and the pixel format that the
// surface images draw in (masks, widths, shifts and additive saturation tables).
//
// The application makes it once and calls Init after every change of window, mode or 3D
// setting; Redraw presents a finished frame. The display lock serialises set-up, presents,
// surface creation, surface locks, the image set and the cursor between the main thread, the
// cursor thread and the loading thread; it is re-entrant.
//
// The software cursor is drawn into the frames: a present draws the cursor image (centred on
// the cursor position in a 64 x 64 area) on the drawing surface, saving what was under it in
// the OldCursorArea, shows the frame and puts the saved pixels back. Between frames the cursor
// thread moves it on the primary surface alone (SetCursorPos): the old area is restored, the
// new one saved and the image drawn there, so the frame is never redrawn for a move.
// There is no scan line, so the tear-free split present gives up at once and the present waits
// for the vertical blank instead (the presenter's own vertical-blank sync).
// In 3D a frame goes to the window straight from the 3D device (Display3D::PresentInWindow)
// and the primary surface is left behind until a frame goes through it again, whole. The
// software cursor is then the window's overlay (plat::Window::SetOverlay), drawn over the
// frame when it is shown; the cursor thread's moves make the main thread show the same frame
// again with the overlay moved (plat::Window::MoveOverlay), so the frame never holds the cursor
// and nothing is read back from the device to draw it.
class DDInterface {
public:
    // Bits per pixel, masks, widths and shifts of the primary surface.
    int mRGBBits = 0;
    uint32_t mRedMask = 0, mGreenMask = 0, mBlueMask = 0;
    int mRedBits = 0, mGreenBits = 0, mBlueBits = 0;
    int mRedShift = 0, mGreenShift = 0, mBlueShift = 0;

    DisplayHost* mApp;
    bool mIs3D = false;
    std::atomic<bool> mInRedraw{false};

    int mWidth = 0, mHeight = 0;  // drawing buffer
    AspectRatio mAspect;
    int mDesktopWidth = 0, mDesktopHeight = 0;
    AspectRatio mDesktopAspect;
    bool mIsWidescreen = false;  // letterboxed
    int mDisplayWidth = 0, mDisplayHeight = 0;
    AspectRatio mDisplayAspect;
    Rect mPresentationRect;
    int mFullscreenBits = 0;
    unsigned mRefreshRate = 60;
    int mMillisecondsPerFrame = 16;
    int mScanLineFailCount = 0;

    // Saturation tables: 2 * (2^bits - 1) + 1 entries, entry i = min(i, 2^bits - 1).
    std::vector<int> mRedAddTable;
    std::vector<int> mGreenAddTable;
    std::vector<int> mBlueAddTable;

    bool mInitialized = false;
    plat::Window* mWindow = nullptr;
    bool mIsWindowed = true;
    std::unique_ptr<DDImage> mScreenImage;
    std::set<DDImage*> mDDImageSet;
    bool mVideoOnlyDraw = false;
    // The last frame went to the window from the 3D device, so the primary surface does not
    // hold it: the cursor thread moves the window's cursor overlay instead of drawing on the
    // primary, and the next present through the primary sends it whole.
    bool mPrimaryStale = false;

    int mCursorWidth = 64, mCursorHeight = 64;
    // Written by the cursor thread.
    std::atomic<int> mNextCursorX{0}, mNextCursorY{0};
    int mCursorX = 0, mCursorY = 0;
    MemoryImage* mCursorImage = nullptr;
    bool mHasOldCursorArea = false;
    std::shared_ptr<plat::dd::Surface> mOldCursorArea, mNewCursorArea;
    std::unique_ptr<DDImage> mOldCursorAreaImage;
    std::unique_ptr<DDImage> mNewCursorAreaImage;

    std::string mErrorString;  // LastError

    explicit DDInterface(DisplayHost* app);
    ~DDInterface();
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // Sets the display up on the window (null: no window, frames go to a null presenter) and
    // returns a DisplayResult. Always starts by tearing down the previous set-up.
    int Init(plat::Window* window, bool isWindowed);
    void Cleanup();
    // Presents the drawing buffer (all of it when clip is null); false when not set up, when
    // the 3D layer recorded an error this frame, or when the final step failed.
    bool Redraw(const Rect* clip = nullptr);
    DDImage* GetScreenImage() { return mScreenImage.get(); }
    void SetDrawInVideoMemory(bool on);
    plat::dd::Result CreateSurface(const plat::dd::SurfaceRequest& request,
                                   std::shared_ptr<plat::dd::Surface>* surface);
    plat::dd::Result ClearSurface(plat::dd::Surface* surface);
    // True when result is a failure, after recording "label: NAME" as the last error.
    bool CheckResult(plat::dd::Result result, const char* label);
    const std::string& LastError() const { return mErrorString; }

    void AddImage(DDImage* image);
    void RemoveImage(DDImage* image);
    // False when image is the one already set.
    bool SetCursorImage(MemoryImage* image);
    MemoryImage* GetCursorImage();
    // The cursor thread's move; also where the next frame expects the cursor.
    void SetCursorPos(int x, int y);
    // Only where the next frame expects the cursor.
    void SetNextCursorPos(int x, int y);
    // Whether the cursor image is on a surface now (its saved area is valid).
    bool IsCursorDrawn() const { return mHasOldCursorArea; }
    void GetCursorPos(int* x, int* y);
    void FreeImageTexture(MemoryImage* image);

    // The published pixel format for images' native copies (valid after a set-up).
    const NativePixelFormat& GetNativeFormat() const { return mNativeFormat; }
    plat::dd::Device* GetDirectDraw() { return mDD.get(); }
    plat::dd::Surface* GetDrawSurface() { return mDrawSurface.get(); }
    plat::dd::Surface* GetPrimarySurface() { return mPrimarySurface.get(); }

    // The 3D layer; null until one is given (the display owns it).
    void Set3DLayer(std::unique_ptr<Display3D> layer);
    Display3D* Get3DLayer() { return m3D.get(); }
    bool Is3D() const { return mIs3D; }
    // Whether a video-card test ran on this display, and what it found.
    bool CardTestRan() const { return mTestRan; }
    const CardTestOutcome& GetCardTestOutcome() const { return mTestOutcome; }

    // The process-wide standard RGB order flag: blue mask < green mask < red mask.
    static bool IsStandardRGBOrder();

    // The display lock: the host's, or the display's own.
    CriticalSection& GetLock() { return *mCritSect; }

private:
    bool Do3DTest();
    // Software cursor steps on one surface, in its own pixels (the drawing surface's are
    // drawing coordinates; the primary's are the client area's, whose origin is (0, 0)).
    void DrawCursor(plat::dd::Surface* surface);
    void MoveCursor(plat::dd::Surface* surface, int x, int y);
    void RestoreCursorArea(plat::dd::Surface* surface);
    // The 64 x 64 area around (x, y) and the part of it that lies on the surface (empty when
    // none does).
    Rect CursorRect(int x, int y) const;
    Rect VisibleCursorPart(const plat::dd::Surface& surface, const Rect& area) const;
    // Draws the cursor image into an area image with its centre at (centerX, centerY).
    void DrawCursorImageInto(DDImage* areaImage, int centerX, int centerY);
    void SetPixelFormat(const plat::dd::PixelFormat& format);
    // The cursor image as the window's overlay at the requested cursor position, uploaded
    // again when the image or its pixels changed. Main thread, under the display lock.
    void PlaceCursorOverlay();
    // Where the overlay's top-left goes for the cursor at (x, y): the image centred on it.
    void MoveCursorOverlay(int x, int y);

    // The cursor image the window's overlay was made from, and its change count then.
    MemoryImage* mOverlayImage = nullptr;
    int mOverlayChangeCount = 0;
    CriticalSection mOwnLock;
    CriticalSection* mCritSect;
    std::unique_ptr<plat::dd::Device> mDD;
    bool mHaveDD7 = false;
    std::shared_ptr<plat::dd::Surface> mPrimarySurface;
    std::shared_ptr<plat::dd::Surface> mSecondarySurface;  // back buffer or video-memory drawing surface
    std::shared_ptr<plat::dd::Surface> mDrawSurface;
    std::unique_ptr<Display3D> m3D;
    bool mTestRan = false;
    CardTestOutcome mTestOutcome;
    NativePixelFormat mNativeFormat;
};

}  // namespace Velm
