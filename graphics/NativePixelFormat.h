#pragma once

#include <cstdint>

namespace Velm {

// The display's pixel format as the software caches need it: per colour channel a mask, the
// number of bits from the lowest to the highest set bit, and the position of the lowest bit.
// The display device publishes one of these after each set-up; images build their premultiplied
// native copies and additive run tables in it.
struct NativePixelFormat {
    int bitsPerPixel = 32;
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;
    int redBits = 8, greenBits = 8, blueBits = 8;
    int redShift = 16, greenShift = 8, blueShift = 0;

    // Derives widths and shifts from the masks (0x7E0 gives 6 bits at shift 5).
    static NativePixelFormat FromMasks(int bitsPerPixel, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);
    static NativePixelFormat X8R8G8B8() { return FromMasks(32, 0xFF0000, 0xFF00, 0xFF); }
    static NativePixelFormat R5G6B5() { return FromMasks(16, 0xF800, 0x07E0, 0x001F); }
    static NativePixelFormat X1R5G5B5() { return FromMasks(16, 0x7C00, 0x03E0, 0x001F); }

    // ARGB -> premultiplied native value with the source alpha kept in bits 24..31.
    uint32_t FromArgb(uint32_t argb) const;
    // Native value -> ARGB: each channel divided back by its alpha and widened to 8 bits.
    uint32_t ToArgb(uint32_t native) const;
};

bool operator==(const NativePixelFormat& a, const NativePixelFormat& b);

}  // namespace Velm
