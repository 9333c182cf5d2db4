#include "graphics/NativePixelFormat.h"

namespace Velm {

namespace {

void MaskShape(uint32_t mask, int& bits, int& shift) {
    bits = 0;
    shift = 0;
    if (mask == 0) return;
    while (((mask >> shift) & 1u) == 0) ++shift;
    int top = 31;
    while (((mask >> top) & 1u) == 0) --top;
    bits = top - shift + 1;
}

uint32_t ChannelToNative(uint32_t c, uint32_t alphaPlusOne, int bits, int shift, uint32_t mask) {
    uint32_t value = (c * alphaPlusOne) >> 8;
    value = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
    return (value << shift) & mask;
}

uint32_t ChannelToArgb(uint32_t native, uint32_t alphaPlusOne, int bits, int shift, uint32_t mask) {
    if (mask == 0) return 0;
    const uint64_t field = native & mask;
    const uint32_t unpremultiplied = static_cast<uint32_t>((field * 256) / alphaPlusOne) & mask;
    uint32_t value = unpremultiplied >> shift;
    value = bits >= 8 ? value >> (bits - 8) : value << (8 - bits);
    return value > 255 ? 255 : value;
}

}  // namespace

NativePixelFormat NativePixelFormat::FromMasks(int bpp, uint32_t r, uint32_t g, uint32_t b) {
    NativePixelFormat f;
    f.bitsPerPixel = bpp;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    MaskShape(r, f.redBits, f.redShift);
    MaskShape(g, f.greenBits, f.greenShift);
    MaskShape(b, f.blueBits, f.blueShift);
    return f;
}

uint32_t NativePixelFormat::FromArgb(uint32_t argb) const {
    const uint32_t a = argb >> 24;
    return (argb & 0xFF000000u) | ChannelToNative((argb >> 16) & 0xFF, a + 1, redBits, redShift, redMask) |
           ChannelToNative((argb >> 8) & 0xFF, a + 1, greenBits, greenShift, greenMask) |
           ChannelToNative(argb & 0xFF, a + 1, blueBits, blueShift, blueMask);
}

uint32_t NativePixelFormat::ToArgb(uint32_t native) const {
    const uint32_t a = native >> 24;
    return (native & 0xFF000000u) | (ChannelToArgb(native, a + 1, redBits, redShift, redMask) << 16) |
           (ChannelToArgb(native, a + 1, greenBits, greenShift, greenMask) << 8) |
           ChannelToArgb(native, a + 1, blueBits, blueShift, blueMask);
}

bool operator==(const NativePixelFormat& a, const NativePixelFormat& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask;
}

}  // namespace Velm
