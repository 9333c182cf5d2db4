#pragma once

#include <cstdint>

// What the rasteriser needs of the drawing layer's colours, rectangles and
// images, kept to plain records so that the drawing layer can hand over its
// own objects without this library depending on it.
namespace Velm {

// A colour, 0..255 per channel (the drawing layer's Color copied field by
// field). Opaque white means "no tint".
struct RasterColor {
    int32_t red;
    int32_t green;
    int32_t blue;
    int32_t alpha;
};

inline bool operator==(const RasterColor& a, const RasterColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}
inline bool operator!=(const RasterColor& a, const RasterColor& b) { return !(a == b); }

inline constexpr RasterColor kRasterWhite{255, 255, 255, 255};

// A rectangle in destination pixels.
struct RasterRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The texture image. The caller refreshes the image's alpha flags and builds
// its 32-bit pixels before the call: pixels are width * height texels
// 0xAARRGGBB (straight alpha), row after row with no gap, or null when the
// image has none (then nothing is drawn). hasTrans: some texel has alpha 0;
// hasAlpha: some texel has an alpha from 1 to 254.
struct RasterTextureImage {
    const uint32_t* pixels;
    int32_t width;
    int32_t height;
    bool hasTrans;
    bool hasAlpha;
};

// The destination buffer: pixel (0, 0) at pixels, rows pitch bytes apart
// (a row is the pitch rounded down to whole pixels), width and height in
// pixels, format a RasterPixelFormat code (0x8888 and 0x888 are 32-bit,
// 0x565 and 0x555 16-bit).
struct RasterTarget {
    void* pixels;
    int32_t width;
    int32_t height;
    uint32_t pitch;
    uint32_t format;
};

}  // namespace Velm
