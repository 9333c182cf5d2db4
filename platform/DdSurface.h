#pragma once

// plat::dd: the display surfaces (what DirectDraw 7 surfaces were), kept in CPU memory.
//
// A surface is a rectangle of 16-bit (R5G6B5, X1R5G5B5 or a BGR order of either) or 32-bit
// (X8R8G8B8 or X8B8G8R8) pixels, row after row at a pitch in bytes that may exceed the width
// times the bytes per pixel. When the display configuration asks for it (tests), every row is
// padded and the whole buffer is framed by canary bytes, so that a routine that writes outside
// its surface is caught by CanariesIntact().
//
// Results are the 32-bit result codes DirectDraw used (negative on failure), so that callers
// keep their own checks and error names. Any step can be made to fail by fault injection
// (DdDevice.h). Surfaces belong to the drawing thread; the display lock of the caller guards
// them against the cursor thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace plat {
namespace dd {

using Result = int32_t;

// Storage whose first byte starts a cache line, so that rows at a pitch of a multiple of 64
// bytes start lines too: a row of 4096 bytes then touches 64 lines, not 65, and aligned vector
// stores never split one.
template <typename T>
struct CacheLineAllocator {
    using value_type = T;
    static constexpr std::size_t kAlign = 64;
    CacheLineAllocator() = default;
    template <typename U>
    CacheLineAllocator(const CacheLineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t(kAlign))); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(kAlign)); }
    template <typename U>
    bool operator==(const CacheLineAllocator<U>&) const {
        return true;
    }
    template <typename U>
    bool operator!=(const CacheLineAllocator<U>&) const {
        return false;
    }
};

constexpr Result kOk = 0;
constexpr Result kErrGeneric = static_cast<Result>(0x80004005u);
constexpr Result kErrUnsupported = static_cast<Result>(0x80004001u);
constexpr Result kErrOutOfMemory = static_cast<Result>(0x8007000Eu);
constexpr Result kErrInvalidParams = static_cast<Result>(0x80070057u);
constexpr Result kErrInvalidMode = static_cast<Result>(0x88760078u);
constexpr Result kErrInvalidPixelFormat = static_cast<Result>(0x88760091u);
constexpr Result kErrInvalidRect = static_cast<Result>(0x88760096u);
constexpr Result kErrNoExclusiveMode = static_cast<Result>(0x887600E1u);
constexpr Result kErrNotFound = static_cast<Result>(0x887600FFu);
constexpr Result kErrSurfaceBusy = static_cast<Result>(0x887601AEu);
constexpr Result kErrSurfaceLost = static_cast<Result>(0x887601C2u);
constexpr Result kErrVerticalBlankInProgress = static_cast<Result>(0x88760219u);
constexpr Result kErrNoDirectDrawHw = static_cast<Result>(0x88760233u);
constexpr Result kErrNotFlippable = static_cast<Result>(0x88760246u);
constexpr Result kErrNotLocked = static_cast<Result>(0x88760248u);

inline bool Failed(Result result) { return result < 0; }

// Surface capability bits, with DirectDraw's values.
enum Caps : uint32_t {
    kCapsComplex = 0x8,
    kCapsFlip = 0x10,
    kCapsOffscreenPlain = 0x40,
    kCapsPrimarySurface = 0x200,
    kCapsSystemMemory = 0x800,
    kCaps3DDevice = 0x2000,
    kCapsVideoMemory = 0x4000,
    kCapsBackBuffer = 0x4,
};

// Which fields of a SurfaceRequest are set, with DirectDraw's values.
enum RequestFlags : uint32_t {
    kDescCaps = 0x1,
    kDescHeight = 0x2,
    kDescWidth = 0x4,
    kDescPitch = 0x8,
    kDescBackBufferCount = 0x20,
    kDescPixelFormat = 0x1000,
};

// Blit flags, with DirectDraw's values.
enum BltFlags : uint32_t {
    kBltColorFill = 0x400,
    kBltKeySrc = 0x8000,
    kBltWait = 0x1000000,
};

struct PixelFormat {
    int bitCount = 32;
    uint32_t redMask = 0xFF0000;
    uint32_t greenMask = 0xFF00;
    uint32_t blueMask = 0xFF;

    static PixelFormat X8R8G8B8() { return {32, 0xFF0000, 0xFF00, 0xFF}; }
    static PixelFormat X8B8G8R8() { return {32, 0xFF, 0xFF00, 0xFF0000}; }
    static PixelFormat R5G6B5() { return {16, 0xF800, 0x7E0, 0x1F}; }
    static PixelFormat B5G6R5() { return {16, 0x1F, 0x7E0, 0xF800}; }
    static PixelFormat X1R5G5B5() { return {16, 0x7C00, 0x3E0, 0x1F}; }
    static PixelFormat X1B5G5R5() { return {16, 0x1F, 0x3E0, 0x7C00}; }
    int BytesPerPixel() const { return (bitCount + 7) / 8; }
};

bool operator==(const PixelFormat& a, const PixelFormat& b);

// A rectangle as DirectDraw's RECT: left and top inside, right and bottom outside.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// What Lock and GetDesc report. pixels is valid only between Lock and Unlock.
struct SurfaceDesc {
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes from one row to the next
    uint32_t caps = 0;
    PixelFormat format;
    uint8_t* pixels = nullptr;
};

class Device;
class Surface;

// Someone who keeps a second copy of a surface's pixels (the 3D device renders into a buffer of
// its own) is told before the surface's own operations touch them: at Lock, at Blt (for the
// destination, and for the source with write false) and at SwapPixels. It writes its newer
// pixels back first (through MutableRow, which calls no hook) and, when write is true, takes
// the surface's pixels as the newer ones afterwards.
class AccessHook {
public:
    virtual ~AccessHook() = default;
    virtual void BeforeSurfaceAccess(Surface& surface, bool write) = 0;
};

class Surface {
public:
    static constexpr uint8_t kCanary = 0xA5;

    // Made by Device::CreateSurface; public for tests that need a bare surface.
    Surface(int width, int height, const PixelFormat& format, uint32_t caps, int pitchPadding, int canaryBytes);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Pitch() const { return mPitch; }
    uint32_t Caps() const { return mCaps; }
    const PixelFormat& Format() const { return mFormat; }
    bool IsLocked() const { return mLocked; }

    Result GetDesc(SurfaceDesc* desc) const;
    // Locks the whole surface; a surface already locked answers kErrSurfaceBusy.
    Result Lock(SurfaceDesc* desc);
    Result Unlock();

    // Source colour key (low and high equal on this platform: one key value).
    Result SetColorKey(uint32_t low, uint32_t high);
    bool HasColorKey() const { return mHasColorKey; }
    uint32_t ColorKey() const { return mColorKey; }

    // Copies src's srcBox onto dstBox of this surface, scaling by nearest pixel when the sizes
    // differ; null boxes mean the whole surface. With kBltKeySrc, source pixels equal to the
    // source's colour key are skipped. With kBltColorFill, fillValue fills dstBox and src is not
    // read. Both surfaces must be unlocked and share a pixel format; boxes must lie inside.
    Result Blt(const Box* dstBox, Surface* src, const Box* srcBox, uint32_t flags, uint32_t fillValue = 0);

    // Exchanges the pixels of two surfaces of the same size and format (a page flip).
    void SwapPixels(Surface& other);

    // Raw pixel access for presenters and tests (not locked).
    const uint8_t* Row(int y) const { return mStorage.data() + mFirst + static_cast<size_t>(y) * mPitch; }
    uint8_t* MutableRow(int y) { return mStorage.data() + mFirst + static_cast<size_t>(y) * mPitch; }
    uint32_t PixelAt(int x, int y) const;
    void SetPixelAt(int x, int y, uint32_t value);
    // True when no byte of the canaries around the buffer and of the row padding changed.
    bool CanariesIntact() const;

    // At most one hook; null removes it. The hook must outlive its registration.
    void SetAccessHook(AccessHook* hook) { mAccessHook = hook; }
    AccessHook* GetAccessHook() const { return mAccessHook; }

    // The device a primary surface shows through; set by the device.
    void SetOwner(Device* device) { mOwner = device; }
    Device* Owner() const { return mOwner; }

private:
    int mWidth;
    int mHeight;
    int mPitch;
    int mCanaryBytes;
    size_t mFirst;  // offset of pixel (0, 0) in mStorage
    uint32_t mCaps;
    PixelFormat mFormat;
    std::vector<uint8_t, CacheLineAllocator<uint8_t>> mStorage;
    bool mLocked = false;
    bool mHasColorKey = false;
    uint32_t mColorKey = 0;
    Device* mOwner = nullptr;
    AccessHook* mAccessHook = nullptr;
};

}  // namespace dd
}  // namespace plat
