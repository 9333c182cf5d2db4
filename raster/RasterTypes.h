#pragma once

#include <cstdint>

namespace Velm {

// One vertex of a triangle strip as the drawing layer hands it over.
// x and y are destination pixels; pixel i has its sample point at x = i.
// u and v are fractions of the texture's width and height: 0 is the left
// (top) edge of texel column (row) 0, 1 the right (bottom) edge of the last.
// color is 0xAARRGGBB and is read only when vertex colours are asked for.
struct TriVertex {
    float x;
    float y;
    float u;
    float v;
    uint32_t color;
};

// One vertex as a span filler receives it: every field is 16.16 fixed point.
// a, r, g, b hold a channel c (0..255) as c << 16; u and v are in texels
// (texel i covers u from i to i + 1).
struct RasterVertex {
    int32_t x;
    int32_t y;
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
    int32_t u;
    int32_t v;
};

// The texture of a textured triangle. pixels are width * height texels
// 0xAARRGGBB with straight alpha, row after row with no gap. The fillers
// read pixels, width and texelCount only; texelCount bounds every read.
struct RasterTexture {
    const uint32_t* pixels;
    int32_t shift;   // 16 - floor(log2(width)); 16 for width 0 or 1
    int32_t uLimit;  // (width - 1) << 16
    int32_t vLimit;  // (height - 1) << 16
    int32_t width;
    uint32_t texelCount;
    int32_t height;
};

// The colour every pixel of the triangle is multiplied by, 0..255 each.
struct RasterTint {
    int32_t a;
    int32_t r;
    int32_t g;
    int32_t b;
};

// The pixel box a filler may write: columns left .. right - 1 and rows
// top .. bottom - 1. Every span is clamped to it, so even a sliver whose
// slopes wrap cannot write outside it.
struct RasterClip {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The feature flags of a triangle; their sum is the column-local index of the
// routine table.
enum RasterFlags : unsigned {
    kRasterBilinear = 1,
    kRasterTinted = 2,
    kRasterVertexColors = 4,
    kRasterBlended = 8,
    kRasterTextured = 16,
};

// Destination pixel format codes. 0x8888 and 0x888 are 32-bit 0xAARRGGBB
// (0x888 always writes alpha 0xff); 0x565 and 0x555 are 16-bit, 0x555 with
// bit 15 written 0. Any other code is treated as 0x8888.
enum RasterPixelFormat : uint32_t {
    kRasterFormat8888 = 0x8888,
    kRasterFormat888 = 0x888,
    kRasterFormat565 = 0x565,
    kRasterFormat555 = 0x555,
};

// A span filler: draws one clipped triangle given as three consecutive
// records into the buffer whose pixel (0, 0) is at destination, rows pitch
// bytes apart. Writes only pixels inside both the triangle and clip.
using TriangleRasterizer = void (*)(const RasterVertex* vertices, void* destination, uint32_t pitch,
                                    const RasterTexture* texture, const RasterTint* tint, const RasterClip& clip);

}  // namespace Velm
