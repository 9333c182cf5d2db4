#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "raster/FixedPoint.h"
#include "raster/RasterTypes.h"

namespace Velm::Raster {

// A vertex as the edge walk sees it: 16.16 position and N 16.16 attributes.
template <size_t N>
struct WalkVertex {
    int32_t x;
    int32_t y;
    int32_t c[N > 0 ? N : 1];
};

// Scan conversion shared by every span filler.
//
// Pixel (i, j) is sampled at the integer point (i, j) and drawn when the
// triangle's top.y <= j < bottom.y and its left edge's x <= i < right edge's
// x on line j: top and left edges are inclusive, bottom and right exclusive.
// Attributes are carried along the long edge (top to bottom) only and
// stepped across a span by one x-gradient per triangle; all slopes and
// products are floored. kOffsetLastTwo subtracts half a texel from the last
// two attributes (u, v) at each span start, for the bilinear fetch.
//
// step(pixel, attributes) is called for every covered pixel left to right,
// rows top to bottom. Spans and rows are clamped to clip, which is exact for
// ordinary triangles and keeps slivers with wrapped slopes inside it.
template <class Pixel, size_t N, bool kOffsetLastTwo, class Step>
void WalkTriangle(WalkVertex<N> top, WalkVertex<N> mid, WalkVertex<N> bottom, void* destination, uint32_t pitch,
                  const RasterClip& clip, const Step& step) {
    // Sort by y; equal records keep their input order.
    if (top.y > mid.y) std::swap(top, mid);
    if (mid.y > bottom.y) std::swap(mid, bottom);
    if (top.y > mid.y) std::swap(top, mid);

    const int32_t firstLine = Ceil(top.y);
    const int32_t endLine = Ceil(bottom.y);
    if (firstLine == endLine) return;
    const int32_t midLine = Ceil(mid.y);

    // Long edge.
    const int64_t recipLong = Recip(Sub32(bottom.y, top.y));
    const int32_t slopeLongX = HighMul(Sub32(bottom.x, top.x), recipLong);
    int32_t slopeLong[N > 0 ? N : 1];
    for (size_t i = 0; i < N; ++i) slopeLong[i] = HighMul(Sub32(bottom.c[i], top.c[i]), recipLong);

    // Split at mid's height and decide the long edge's side.
    const int32_t dyMid = Sub32(mid.y, top.y);
    const int32_t xAtMid = Add32(top.x, FxMul(slopeLongX, dyMid));
    if (xAtMid == mid.x) return;
    const bool longIsLeft = xAtMid < mid.x;

    // Pre-step the long edge to the first scan line.
    const int32_t pre = Sub32(static_cast<int32_t>(static_cast<uint32_t>(firstLine) << 16), top.y);
    int32_t xLong = Add32(top.x, FxMul(slopeLongX, pre));
    int32_t cLong[N > 0 ? N : 1];
    for (size_t i = 0; i < N; ++i) cLong[i] = Add32(top.c[i], FxMul(slopeLong[i], pre));

    // Per-pixel gradients, the same on every line.
    const int64_t recipWidth = Recip(Sub32(mid.x, xAtMid));
    int32_t gradX[N > 0 ? N : 1];
    for (size_t i = 0; i < N; ++i) {
        const int64_t d = static_cast<int64_t>(mid.c[i]) - ((static_cast<int64_t>(slopeLong[i]) * dyMid) >> 16) -
                          static_cast<int64_t>(top.c[i]);
        gradX[i] = HighMul(d, recipWidth);
    }

    const uint32_t rowStep = pitch & ~static_cast<uint32_t>(sizeof(Pixel) - 1);
    uint8_t* const base = static_cast<uint8_t*>(destination);
    const int32_t clipLeft16 = static_cast<int32_t>(static_cast<uint32_t>(clip.left) << 16);
    const int32_t clipRight16 = static_cast<int32_t>(static_cast<uint32_t>(clip.right) << 16);

    int32_t xShort = 0;
    int32_t slopeShort = 0;
    auto drawLines = [&](int32_t from, int32_t to) {
        for (int32_t line = from; line < to; ++line) {
            if (line >= clip.top && line < clip.bottom) {
                const int32_t xLeft = longIsLeft ? xLong : xShort;
                const int32_t xRight = longIsLeft ? xShort : xLong;
                int32_t start16 = Ceil16(xLeft);
                int32_t end16 = Ceil16(xRight);
                if (start16 < clipLeft16) start16 = clipLeft16;
                if (end16 > clipRight16) end16 = clipRight16;
                int32_t count = Sub32(end16, start16) >> 16;
                if (count > 0) {
                    const int32_t preX = Sub32(start16, xLong);
                    int32_t c[N > 0 ? N : 1];
                    for (size_t i = 0; i < N; ++i) c[i] = Add32(cLong[i], FxMul(gradX[i], preX));
                    if constexpr (kOffsetLastTwo) {
                        c[N - 2] = Sub32(c[N - 2], 0x8000);
                        c[N - 1] = Sub32(c[N - 1], 0x8000);
                    }
                    Pixel* pixel =
                            reinterpret_cast<Pixel*>(base + static_cast<ptrdiff_t>(line) * rowStep) + (start16 >> 16);
                    do {
                        step(pixel, c);
                        for (size_t i = 0; i < N; ++i) c[i] = Add32(c[i], gradX[i]);
                        ++pixel;
                    } while (--count != 0);
                }
            }
            xLong = Add32(xLong, slopeLongX);
            xShort = Add32(xShort, slopeShort);
            for (size_t i = 0; i < N; ++i) cLong[i] = Add32(cLong[i], slopeLong[i]);
        }
    };

    // Upper half: long edge against top -> mid.
    if (midLine != firstLine) {
        const int64_t recipShort = Recip(Sub32(mid.y, top.y));
        slopeShort = HighMul(Sub32(mid.x, top.x), recipShort);
        xShort = Add32(top.x, FxMul(slopeShort, pre));
        drawLines(firstLine, midLine);
    }

    // Lower half: long edge against mid -> bottom.
    if (endLine == midLine) return;
    const int64_t recipShort = Recip(Sub32(bottom.y, mid.y));
    slopeShort = HighMul(Sub32(bottom.x, mid.x), recipShort);
    const int32_t preMid = Sub32(static_cast<int32_t>(static_cast<uint32_t>(midLine) << 16), mid.y);
    xShort = Add32(mid.x, FxMul(preMid, slopeShort));
    drawLines(midLine, endLine);
}

}  // namespace Velm::Raster
