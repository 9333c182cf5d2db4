#pragma once

// AVX2 forms of the busiest row loops, eight pixels a step, in their own translation unit
// built for AVX2 (PixelRowsAvx2.cpp). Call them only when PixelRows::Avx2Enabled(). Each works
// every pixel in the 16-bit lanes of its 128-bit half exactly as the SSE2 form works it, so the
// pixels are the same bit for bit. Unless said otherwise below, the last one to seven pixels of
// a row go through the same eight-pixel step with masked loads and stores.

#include <cstddef>
#include <cstdint>

#include "graphics/PixelRows.h"

namespace Velm {
namespace PixelRows {
namespace avx2 {

// The untinted blend of premultiplied native words onto a 32-bit surface row, each pixel by its
// own alpha: 0 keeps the destination pixel, 255 stores the word, any other a gives
// ((d * (256 - a)) >> 8 per colour channel, alpha byte 0) + n.
void SurfaceWhiteRow(uint32_t* d, const uint32_t* n, int count);

// Copies count pixels onto a surface row, the stores aligned to the destination.
void SurfaceCopyRow(uint32_t* d, const uint32_t* n, int count);

// SurfaceWhiteRow on the palette words palette[indices[i]] of a palettised source's row, or of
// the row read backwards (pixel i from indices[count - 1 - i]) when mirror.
void SurfaceWhiteIndexedRow(uint32_t* d, const uint32_t* palette, const uint8_t* indices, int count, bool mirror);

// The translucent fill of a 32-bit surface row with 8-bit channels: each colour channel
// (c * inv) >> 8 (the alpha byte 0) plus the fill's word f, added byte by byte.
void SurfaceFillRow(uint32_t* p, int count, uint32_t f, uint32_t inv);

// The rows of a nearest-pixel stretch onto a 32-bit surface, all in one call: row j (of
// height) at d + j * dPitch takes its source pixels at the columns cols[0..count) of the source
// row starting at source + ((v + j * dv) >> 16) * stride. The source holds sourceWords words:
// a group of eight destination pixels whose columns lie within eight words from its first
// takes them in one load, the others load theirs one by one.
struct GatherRect {
    uint32_t* d;
    ptrdiff_t dPitch;
    const uint32_t* source;
    size_t sourceWords;
    int stride, v, dv, height;
    const int32_t* cols;
    int count;
};

// SurfaceWhiteRow on the stretch's source pixels, eight a step.
void SurfaceWhiteGatherRect(const GatherRect& rect);

// The additive nearest-pixel stretch on 32-bit surfaces with 8-bit channels: each colour byte,
// scaled (c * k) >> 8 by the tint of the channel in that byte (perByte) unless white, added to
// the destination's with saturation, the alpha byte 0. Pixels whose source word is 0 are kept.
void SurfaceAddGatherRect(const GatherRect& rect, const uint16_t (&perByte)[4], bool white);

// The tinted nearest-pixel stretch on 32-bit surfaces with 8-bit channels: e = a * colorAlpha /
// 255 of each source alpha a, and each channel (d * (256 - e) + s * k) >> 8 (bits 8 to 15 of
// the sum) with k the tint of the channel in that byte (perByte, 0 for the alpha byte); the
// alpha byte 0. Pixels with e = 0 are kept.
void SurfaceTintedGatherRect(const GatherRect& rect, const uint16_t (&perByte)[4], uint32_t colorAlpha);

// The tinted blend onto a 32-bit surface row with 8-bit channels (the lanes of DDImageBlit's
// tinted run walk): k holds per 16-bit lane of a pixel the tint of the channel in that byte
// (0 for the alpha byte), ka the tint's alpha. Pixels of alpha 0 keep the destination pixel.
struct SurfaceTint {
    uint16_t k[4];
    uint32_t ka;
    bool grey;
};
// Works width pixels of height rows: row j at d + j * dPitch and n + j * nStride (in pixels).
// The last one to seven pixels of a row take four-, two- and one-pixel loads and stores.
void SurfaceTintedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                       const SurfaceTint& tint);

// The additive blit onto a 32-bit surface with 8-bit channels, width pixels of height rows (row
// j at d + j * dPitch and n + j * nStride): each colour byte of the native word, scaled
// (c * k) >> 8 by the tint of the channel in that byte (perByte) unless white, added to the
// destination's with saturation, the alpha byte 0. Pixels whose native colour bytes are all 0
// keep the destination pixel. The last one to seven pixels of a row take four-, two- and
// one-pixel loads and stores.
void SurfaceAddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                    const uint16_t (&perByte)[4], bool white);

// The grey-tinted blend onto a 16-bit surface (565 or 555, by spreadMask: the pixel's channels
// spread apart in a 32-bit word, as DDImageBlit's packed grey tint spreads them), width pixels
// of height rows: row j at d + j * dPitch and n + j * nStride (in pixels). The native word holds
// the pixel in its low 16 bits and the alpha in its top byte; k is the grey tint's level and ka
// its alpha. Each pixel with alpha a > 0 becomes
//   fold(((spread(n) * (k >> 3) + spread(d) * (w >> 3)) >> 5) & spreadMask),  w = 256 - a * ka / 255
// in 32-bit arithmetic, and pixels of alpha 0 keep the destination pixel. The last one to seven
// pixels of a row are worked one by one.
void Surface16GreyRect(uint16_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                       uint32_t k, uint32_t ka, uint32_t spreadMask);

// The first count - count % 4 pixels of an unturned bilinear row onto a 32-bit surface
// (DDImageTransform's AlignedRow32): pixel i samples top[i], top[i + 1], bottom[i] and
// bottom[i + 1] with the row's four weights (left top, right top, left bottom, right bottom).
// Returns how many pixels it drew; the caller draws the rest.
int UnturnedBilinearRow(uint32_t* d, int count, const uint32_t* top, const uint32_t* bottom,
                        const uint32_t (&weight)[4]);

// The first count - count % 4 pixels of a turned bilinear row onto a 32-bit surface
// (DDImageTransform's TurnedRow32): pixel k samples the 2 x 2 texels at pixels + (v >> 16) *
// stride + (u >> 16) with u = u0 + k * du, v = v0 + k * dv and the fractions in their low 16
// bits. Returns how many pixels it drew; the caller draws the rest from there.
int TurnedBilinearRow(uint32_t* d, int count, const uint32_t* pixels, int stride, int u0, int v0, int du, int dv);

// PixelRows::BlendRow. Groups of eight over a destination that is not all opaque go through
// plain (the plain form), as in the SSE2 form, except that with the tint's alpha 255 a group of
// eight opaque pixels is stored tinted without reading the destination (it covers any).
void BlendRow(uint32_t* d, const uint32_t* src, int count, const BlendTint& tint,
              void (*plain)(uint32_t*, const uint32_t*, int, const BlendTint&));

// PixelRows::OverOpaqueRow.
void OverOpaqueRow(uint32_t* d, const uint32_t* src, int count);

// PixelRows::AddWeightedRow.
void AddWeightedRow(uint32_t* d, const uint32_t* w, int count);

}  // namespace avx2

// The AVX-512 forms (F, BW and VL; in the same translation unit). Call them only when
// PixelRows::Avx512Enabled().
namespace avx512 {

// SurfaceWhiteIndexedRow on width pixels of height rows, sixteen pixels a step: row j at
// d + j * dPitch, its index bytes at indices + j * iStride. The palette (256 words) is held in
// registers for the whole rectangle and looked up by two-table permutes; a row's last one to
// fifteen pixels take masked loads and stores.
void SurfaceWhiteIndexedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* palette, const uint8_t* indices,
                             ptrdiff_t iStride, int width, int height, bool mirror);

// avx2::SurfaceTintedRect sixteen pixels a step; a row's last one to fifteen pixels take masked
// loads and stores.
void SurfaceTintedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                       const avx2::SurfaceTint& tint);

}  // namespace avx512
}  // namespace PixelRows
}  // namespace Velm
