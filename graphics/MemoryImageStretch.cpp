// Stretched blits of memory images: clipping of the destination and source rectangles, the
// nearest-pixel kernel and the filtered (box-shrink / linear-enlarge) kernel.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"

namespace Velm {

bool MemoryImage::GetStretchRects(const Rect& srcRect, const Rect& clipRect, const Rect& destRect, DRect& clippedSrc,
                                  Rect& clippedDest) {
    // A destination without area has no scale to cut the source by.
    if (destRect.width <= 0 || destRect.height <= 0) return false;
    clippedDest = destRect.Intersection(clipRect);
    const double sx = static_cast<double>(srcRect.width) / destRect.width;
    const double sy = static_cast<double>(srcRect.height) / destRect.height;
    clippedSrc.x = (clippedDest.x - destRect.x) * sx + srcRect.x;
    clippedSrc.y = (clippedDest.y - destRect.y) * sy + srcRect.y;
    clippedSrc.width = srcRect.width + (clippedDest.width - destRect.width) * sx;
    clippedSrc.height = srcRect.height + (clippedDest.height - destRect.height) * sy;
    return clippedSrc.width > 0 && clippedSrc.height > 0;
}

bool MemoryImage::GetStretchRectsMirrored(const Rect& srcRect, const Rect& clipRect, const Rect& destRect,
                                          DRect& clippedSrc, Rect& clippedDest) {
    if (destRect.width <= 0 || destRect.height <= 0) return false;
    clippedDest = destRect.Intersection(clipRect);
    const double sx = static_cast<double>(srcRect.width) / destRect.width;
    const double sy = static_cast<double>(srcRect.height) / destRect.height;
    clippedSrc.x = (destRect.x + destRect.width - clippedDest.x - clippedDest.width) * sx + srcRect.x;
    clippedSrc.y = (clippedDest.y - destRect.y) * sy + srcRect.y;
    clippedSrc.width = srcRect.width + (clippedDest.width - destRect.width) * sx;
    clippedSrc.height = srcRect.height + (clippedDest.height - destRect.height) * sy;
    return clippedSrc.width > 0 && clippedSrc.height > 0;
}

void MemoryImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, bool fastStretch) {
    if (image == nullptr) return;
    image->drawn = true;
    DRect clippedSrc;
    Rect clippedDest;
    // The clip must lie inside this image; keep it so for direct callers too.
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    if (!GetStretchRects(srcRect, clip, destRect, clippedSrc, clippedDest)) return;
    if (fastStretch)
        FastStretchBlt(image, clippedDest, clippedSrc, color, drawMode);
    else
        SlowStretchBlt(image, clippedDest, clippedSrc, color, drawMode);
}

void MemoryImage::FastStretchBlt(Image* image, const Rect& destRect, const DRect& srcRect, const Color& color, int) {
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr || color != Color::White) return;
    const Rect dest = destRect.Intersection(Rect(0, 0, width, height));
    if (dest.width <= 0 || dest.height <= 0 || source->width <= 0 || source->height <= 0) return;
    uint32_t* dst = GetBits();
    const int srcW = source->width, srcH = source->height;
    PixelOps::WithSource(source, [&](auto fetch) {
        for (int i = 0; i < dest.height; ++i) {
            const int di = dest.y - destRect.y + i;
            int row = static_cast<int>(srcRect.y + di * srcRect.height / destRect.height);
            row = std::clamp(row, 0, srcH - 1);
            uint32_t* d = dst + static_cast<size_t>(dest.y + i) * width + dest.x;
            const size_t rowBase = static_cast<size_t>(row) * srcW;
            for (int j = 0; j < dest.width; ++j) {
                const int dj = dest.x - destRect.x + j;
                int col = static_cast<int>(srcRect.x + dj * srcRect.width / destRect.width);
                col = std::clamp(col, 0, srcW - 1);
                const uint32_t p = fetch(rowBase + col);
                const uint32_t a = p >> 24;
                if (a == 0) continue;
                d[j] = PixelOps::Over(d[j], (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, a);
            }
        }
    });
    MarkBitsChanged();
}

namespace {

// Four accumulators per cell: blue, green, red, alpha.
struct Cell {
    int c[4];
};

inline void AddWeighted(Cell& cell, uint32_t pixel, int weight) {
    cell.c[0] += static_cast<int>(pixel & 0xFF) * weight;
    cell.c[1] += static_cast<int>((pixel >> 8) & 0xFF) * weight;
    cell.c[2] += static_cast<int>((pixel >> 16) & 0xFF) * weight;
    cell.c[3] += static_cast<int>(pixel >> 24) * weight;
}

inline void AddCell(Cell& cell, const Cell& from, int weight) {
    for (int k = 0; k < 4; ++k) cell.c[k] += from.c[k] * weight;
}

// One pass of the separable filter along one axis. For every output index it calls
// emit(out, in, weight) with weights scaled to `unit`: a box filter when shrinking (each input
// spreads over the one or two outputs it covers), linear interpolation when enlarging.
//   inFirst   absolute position of input 0 (the window's first column or row)
//   inCount   number of inputs in the window
//   srcPos, srcSize  the fractional source span; outCount  the number of outputs
//   enlargeStart  position of output 0 when enlarging, relative to input 0
template <typename Emit>
void FilterAxis(int inFirst, int inCount, double srcPos, double srcSize, int outCount, int unit, double enlargeStart,
                Emit emit) {
    if (outCount <= srcSize) {
        // Box filter. Input i covers the output span [e(i), e(i + 1)) in units of 1/unit of a cell;
        // each edge is rounded once and shared by the two inputs it separates, so the weights a
        // wholly covered cell receives add up to exactly `unit` (an opaque source stays opaque).
        const double q = outCount / srcSize;
        const double base = q * (inFirst - srcPos);
        const auto edge = [&](int i) { return static_cast<long>(std::floor((base + q * i) * unit + 0.5)); };
        const auto cellOf = [unit](long e) { return static_cast<int>(e >= 0 ? e / unit : -((unit - 1 - e) / unit)); };
        long from = edge(0);
        for (int i = 0; i < inCount; ++i) {
            const long to = edge(i + 1);
            const int lastCell = std::min(cellOf(to - 1), outCount - 1);
            for (int c = std::max(cellOf(from), 0); c <= lastCell; ++c) {
                const long w =
                        std::min(to, static_cast<long>(c + 1) * unit) - std::max(from, static_cast<long>(c) * unit);
                if (w > 0) emit(c, i, static_cast<int>(w));
            }
            from = to;
        }
    } else {
        const double h = outCount > 1 ? (srcSize - 1) / (outCount - 1) : srcSize / outCount;
        for (int j = 0; j < outCount; ++j) {
            const double v = enlargeStart + h * j;
            const int w0 = static_cast<int>((1 - (v - std::floor(v))) * unit);
            int i0 = static_cast<int>(v);
            i0 = std::clamp(i0, 0, inCount - 1);
            const int i1 = i0 + 1 < inCount ? i0 + 1 : i0;
            emit(j, i0, w0);
            emit(j, i1, unit - w0);
        }
    }
}

}  // namespace

void MemoryImage::SlowStretchBlt(Image* image, const Rect& destRect, const DRect& srcRect, const Color&, int) {
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr) return;
    const Rect dest = destRect;
    if (dest.width <= 0 || dest.height <= 0) return;
    if (!dest.LiesWithin(width, height)) return;

    // The window of source pixels that the fractional source rectangle touches.
    int fx = static_cast<int>(std::floor(srcRect.x));
    int fy = static_cast<int>(std::floor(srcRect.y));
    int n = static_cast<int>(std::ceil(srcRect.x - fx + srcRect.width));
    int m = static_cast<int>(std::ceil(srcRect.y - fy + srcRect.height));
    fx = std::max(fx, 0);
    fy = std::max(fy, 0);
    n = std::min(n, source->width - fx);
    m = std::min(m, source->height - fy);
    if (n < 1 || m < 1) return;

    const int srcW = source->width;
    std::vector<Cell> across(static_cast<size_t>(m) * dest.width, Cell{{0, 0, 0, 0}});
    PixelOps::WithSource(source, [&](auto fetch) {
        for (int r = 0; r < m; ++r) {
            Cell* out = &across[static_cast<size_t>(r) * dest.width];
            const size_t rowBase = static_cast<size_t>(fy + r) * srcW + fx;
            FilterAxis(fx, n, srcRect.x, srcRect.width, dest.width, 257, srcRect.x - fx,
                       [&](int o, int i, int w) { AddWeighted(out[o], fetch(rowBase + i), w); });
        }
    });

    std::vector<Cell> cells(static_cast<size_t>(dest.height) * dest.width, Cell{{0, 0, 0, 0}});
    FilterAxis(fy, m, srcRect.y, srcRect.height, dest.height, 256, srcRect.y - std::floor(srcRect.y),
               [&](int o, int i, int w) {
                   Cell* outRow = &cells[static_cast<size_t>(o) * dest.width];
                   const Cell* inRow = &across[static_cast<size_t>(i) * dest.width];
                   for (int j = 0; j < dest.width; ++j) AddCell(outRow[j], inRow[j], w);
               });

    uint32_t* dst = GetBits();
    for (int i = 0; i < dest.height; ++i) {
        uint32_t* d = dst + static_cast<size_t>(dest.y + i) * width + dest.x;
        const Cell* row = &cells[static_cast<size_t>(i) * dest.width];
        for (int j = 0; j < dest.width; ++j) {
            const uint32_t u = static_cast<uint32_t>(row[j].c[3]) >> 16;
            if (u == 0) continue;
            const uint32_t q = d[j];
            const uint32_t da = q >> 24;
            uint32_t out = (da + ((255 - da) * u) / 255) << 24;
            for (int k = 0; k < 3; ++k) {
                const uint32_t c = static_cast<uint32_t>(row[j].c[k]) >> 16;
                const uint32_t dc = (q >> (8 * k)) & 0xFF;
                const uint32_t v = ((c * u) >> 8) + ((dc * (256 - u)) >> 8);
                out |= (v > 255 ? 255 : v) << (8 * k);
            }
            d[j] = out;
        }
    }
    MarkBitsChanged();
}

}  // namespace Velm
