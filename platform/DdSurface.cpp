#include "platform/DdSurface.h"

#include <cstring>

#include "platform/DdDevice.h"

namespace plat {
namespace dd {

bool operator==(const PixelFormat& a, const PixelFormat& b) {
    return a.bitCount == b.bitCount && a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

Surface::Surface(int width, int height, const PixelFormat& format, uint32_t caps, int pitchPadding, int canaryBytes)
        : mWidth(width < 0 ? 0 : width),
          mHeight(height < 0 ? 0 : height),
          mPitch(mWidth * format.BytesPerPixel() + (pitchPadding < 0 ? 0 : pitchPadding)),
          mCanaryBytes(canaryBytes < 0 ? 0 : canaryBytes),
          mFirst(static_cast<size_t>(mCanaryBytes)),
          mCaps(caps),
          mFormat(format) {
    const size_t body = static_cast<size_t>(mPitch) * mHeight;
    mStorage.assign(body + 2 * static_cast<size_t>(mCanaryBytes), kCanary);
    // Pixels start black; padding and the frame keep the canary value.
    const size_t rowBytes = static_cast<size_t>(mWidth) * format.BytesPerPixel();
    for (int y = 0; y < mHeight; ++y) std::memset(MutableRow(y), 0, rowBytes);
}

Result Surface::GetDesc(SurfaceDesc* desc) const {
    if (desc == nullptr) return kErrInvalidParams;
    desc->width = mWidth;
    desc->height = mHeight;
    desc->pitch = mPitch;
    desc->caps = mCaps;
    desc->format = mFormat;
    desc->pixels = nullptr;
    return kOk;
}

Result Surface::Lock(SurfaceDesc* desc) {
    if (desc == nullptr) return kErrInvalidParams;
    if (mLocked) return kErrSurfaceBusy;
    const Result fault = TakeFault(Op::Lock);
    if (Failed(fault)) return fault;
    if (mAccessHook != nullptr) mAccessHook->BeforeSurfaceAccess(*this, true);
    GetDesc(desc);
    desc->pixels = mStorage.data() + mFirst;
    mLocked = true;
    return kOk;
}

Result Surface::Unlock() {
    if (!mLocked) return kErrNotLocked;
    mLocked = false;
    return kOk;
}

Result Surface::SetColorKey(uint32_t low, uint32_t) {
    mHasColorKey = true;
    mColorKey = low;
    return kOk;
}

uint32_t Surface::PixelAt(int x, int y) const {
    const uint8_t* p = Row(y) + static_cast<size_t>(x) * mFormat.BytesPerPixel();
    if (mFormat.bitCount == 16) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Surface::SetPixelAt(int x, int y, uint32_t value) {
    uint8_t* p = MutableRow(y) + static_cast<size_t>(x) * mFormat.BytesPerPixel();
    if (mFormat.bitCount == 16) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

bool Surface::CanariesIntact() const {
    for (size_t i = 0; i < mFirst; ++i)
        if (mStorage[i] != kCanary || mStorage[mStorage.size() - 1 - i] != kCanary) return false;
    const size_t rowBytes = static_cast<size_t>(mWidth) * mFormat.BytesPerPixel();
    for (int y = 0; y < mHeight; ++y) {
        const uint8_t* row = Row(y);
        for (size_t i = rowBytes; i < static_cast<size_t>(mPitch); ++i)
            if (row[i] != kCanary) return false;
    }
    return true;
}

namespace {

bool Inside(const Box& box, int width, int height) {
    return box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height && box.left <= box.right &&
           box.top <= box.bottom;
}

}  // namespace

Result Surface::Blt(const Box* dstBox, Surface* src, const Box* srcBox, uint32_t flags, uint32_t fillValue) {
    const Result fault = TakeFault(Op::Blt);
    if (Failed(fault)) return fault;
    if (mLocked || (src != nullptr && src->mLocked)) return kErrSurfaceBusy;
    if (src != nullptr && src != this && src->mAccessHook != nullptr && !(flags & kBltColorFill))
        src->mAccessHook->BeforeSurfaceAccess(*src, false);
    if (mAccessHook != nullptr) mAccessHook->BeforeSurfaceAccess(*this, true);
    const Box dst = dstBox != nullptr ? *dstBox : Box{0, 0, mWidth, mHeight};
    if (!Inside(dst, mWidth, mHeight)) return kErrInvalidRect;
    const int bpp = mFormat.BytesPerPixel();
    if (flags & kBltColorFill) {
        for (int y = dst.top; y < dst.bottom; ++y)
            for (int x = dst.left; x < dst.right; ++x) SetPixelAt(x, y, fillValue);
    } else {
        if (src == nullptr) return kErrInvalidParams;
        if (!(src->mFormat == mFormat)) return kErrInvalidPixelFormat;
        const Box from = srcBox != nullptr ? *srcBox : Box{0, 0, src->mWidth, src->mHeight};
        if (!Inside(from, src->mWidth, src->mHeight)) return kErrInvalidRect;
        const int dw = dst.Width(), dh = dst.Height(), sw = from.Width(), sh = from.Height();
        if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return kOk;
        const bool keyed = (flags & kBltKeySrc) != 0 && src->mHasColorKey;
        if (!keyed && dw == sw && dh == sh) {
            // Rows may overlap when a surface is blitted onto itself.
            for (int y = 0; y < dh; ++y) {
                const int row = (src == this && dst.top > from.top) ? dh - 1 - y : y;
                std::memmove(MutableRow(dst.top + row) + static_cast<size_t>(dst.left) * bpp,
                             src->Row(from.top + row) + static_cast<size_t>(from.left) * bpp,
                             static_cast<size_t>(dw) * bpp);
            }
        } else {
            // Nearest pixel, sampled at the centre of every destination pixel.
            for (int y = 0; y < dh; ++y) {
                const int sy = from.top + static_cast<int>((static_cast<int64_t>(y) * 2 + 1) * sh / (2 * dh));
                for (int x = 0; x < dw; ++x) {
                    const int sx = from.left + static_cast<int>((static_cast<int64_t>(x) * 2 + 1) * sw / (2 * dw));
                    const uint32_t value = src->PixelAt(sx, sy);
                    if (keyed && value == src->mColorKey) continue;
                    SetPixelAt(dst.left + x, dst.top + y, value);
                }
            }
        }
    }
    if ((mCaps & kCapsPrimarySurface) && mOwner != nullptr) mOwner->PrimaryChanged();
    return kOk;
}

void Surface::SwapPixels(Surface& other) {
    if (mAccessHook != nullptr) mAccessHook->BeforeSurfaceAccess(*this, true);
    if (other.mAccessHook != nullptr) other.mAccessHook->BeforeSurfaceAccess(other, true);
    if (other.mWidth == mWidth && other.mHeight == mHeight && other.mFormat == mFormat && other.mPitch == mPitch &&
        other.mFirst == mFirst)
        mStorage.swap(other.mStorage);
}

}  // namespace dd
}  // namespace plat
