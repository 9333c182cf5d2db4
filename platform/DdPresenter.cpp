#include "platform/DdPresenter.h"

namespace plat {
namespace dd {

namespace {

uint32_t Widen(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    int bits = 0;
    while (bits + shift < 32 && ((mask >> (shift + bits)) & 1u)) ++bits;
    uint32_t channel = (value & mask) >> shift;
    if (bits >= 8) return channel >> (bits - 8);
    uint32_t out = channel << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) out |= channel << (8 - bits) >> filled;
    return out & 0xFF;
}

}  // namespace

uint32_t ToXrgb(uint32_t value, const PixelFormat& format) {
    return (Widen(value, format.redMask) << 16) | (Widen(value, format.greenMask) << 8) | Widen(value, format.blueMask);
}

Presenter::~Presenter() = default;

bool NullPresenter::Present(const Surface& primary) {
    mWidth = primary.Width();
    mHeight = primary.Height();
    mFormat = primary.Format();
    mPixels.resize(static_cast<size_t>(mWidth) * mHeight);
    for (int y = 0; y < mHeight; ++y)
        for (int x = 0; x < mWidth; ++x) mPixels[static_cast<size_t>(y) * mWidth + x] = primary.PixelAt(x, y);
    ++mFrames;
    return true;
}

uint32_t NullPresenter::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0;
    return mPixels[static_cast<size_t>(y) * mWidth + x];
}

}  // namespace dd
}  // namespace plat
