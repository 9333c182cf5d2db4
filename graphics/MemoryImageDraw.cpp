// Fills, lines, coverage spans and the normal and additive blits of memory images.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "graphics/DrawMode.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/PixelRows.h"

namespace Velm {

using PixelOps::Over;

namespace {

// Cuts a blit so that it reads inside the source and writes inside the destination. Graphics
// clips before calling; this only keeps direct callers from writing out of bounds.
bool FitBlit(int& x, int& y, Rect& src, int srcWidth, int srcHeight, int dstWidth, int dstHeight) {
    if (src.x < 0) {
        x -= src.x;
        src.width += src.x;
        src.x = 0;
    }
    if (src.y < 0) {
        y -= src.y;
        src.height += src.y;
        src.y = 0;
    }
    // The sums in 64 bits: a rectangle ending beyond the largest int is cut, not wrapped.
    if (static_cast<long long>(src.x) + src.width > srcWidth) src.width = srcWidth - src.x;
    if (static_cast<long long>(src.y) + src.height > srcHeight) src.height = srcHeight - src.y;
    if (x < 0) {
        src.x -= x;
        src.width += x;
        x = 0;
    }
    if (y < 0) {
        src.y -= y;
        src.height += y;
        y = 0;
    }
    if (static_cast<long long>(x) + src.width > dstWidth) src.width = dstWidth - x;
    if (static_cast<long long>(y) + src.height > dstHeight) src.height = dstHeight - y;
    return src.width > 0 && src.height > 0;
}

inline uint32_t Ch(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

void MemoryImage::FillRect(const Rect& rect, const Color& color, int) {
    const Rect r = rect.Intersection(Rect(0, 0, width, height));
    if (r.width <= 0 || r.height <= 0) return;
    uint32_t* pixels = GetBits();
    const uint32_t packed = color.ToInt();
    const uint32_t s = static_cast<uint32_t>(color.alpha) & 0xFF;
    for (int y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = pixels + static_cast<size_t>(y) * width + r.x;
        if (color.alpha == 255) {
            std::fill(row, row + r.width, packed);
        } else if (s != 0) {
            for (int i = 0; i < r.width; ++i) row[i] = Over(row[i], Ch(packed, 16), Ch(packed, 8), Ch(packed, 0), s);
        }
    }
    MarkBitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect) {
    const Rect r = rect.Intersection(Rect(0, 0, width, height));
    if (r.width <= 0 || r.height <= 0) return;
    uint32_t* pixels = GetBits();
    for (int y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = pixels + static_cast<size_t>(y) * width + r.x;
        std::fill(row, row + r.width, 0u);
    }
    MarkBitsChanged();
}

namespace {

// Walks a line that is neither horizontal nor vertical with an integer error term and calls
// plot(x, y) for each pixel. The walk stops at the last whole major coordinate not beyond the
// far endpoint, or when a minor step would leave the endpoints' bounding box.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, Plot plot) {
    const bool majorX = std::fabs(x2 - x1) > std::fabs(y2 - y1);
    double majStart = majorX ? x1 : y1, majEnd = majorX ? x2 : y2;
    double minStart = majorX ? y1 : x1, minEnd = majorX ? y2 : x2;
    if (majStart > majEnd) {
        std::swap(majStart, majEnd);
        std::swap(minStart, minEnd);
    }
    const double a = std::fabs(majEnd - majStart);
    const double b = std::fabs(minEnd - minStart);
    const int twoB = static_cast<int>(2 * b);
    const int twoBA = static_cast<int>(2 * (b - a));
    const int minorStep = minEnd >= minStart ? 1 : -1;
    int maj = static_cast<int>(majStart);
    int mn = static_cast<int>(minStart);
    const int majLast = static_cast<int>(std::floor(majEnd));
    const int minLo = static_cast<int>(std::min(minStart, minEnd));
    const int minHi = static_cast<int>(std::max(minStart, minEnd));
    const double frac = minStart - std::trunc(minStart);
    int e = static_cast<int>(frac * twoB) + static_cast<int>(2 * b - a);
    for (;;) {
        if (majorX)
            plot(maj, mn);
        else
            plot(mn, maj);
        if (maj >= majLast) break;
        ++maj;
        if (e < 1) {
            e += twoB;
        } else {
            const int next = mn + minorStep;
            if (next < minLo || next > minHi) break;
            mn = next;
            e += twoBA;
        }
    }
}

// A horizontal or vertical line is drawn as a one-pixel rectangle from end to end; false for
// any other line.
bool FillStraightLine(MemoryImage& image, double startX, double startY, double endX, double endY, const Color& color,
                      int drawMode) {
    if (startY == endY) {
        const int left = static_cast<int>(std::min(startX, endX));
        const int right = static_cast<int>(std::max(startX, endX));
        image.FillRect(Rect(left, static_cast<int>(startY), right - left + 1, 1), color, drawMode);
        return true;
    }
    if (startX == endX) {
        const int top = static_cast<int>(std::min(startY, endY));
        const int bottom = static_cast<int>(std::max(startY, endY));
        image.FillRect(Rect(static_cast<int>(startX), top, 1, bottom - top + 1), color, drawMode);
        return true;
    }
    return false;
}

}  // namespace

void MemoryImage::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
    if (FillStraightLine(*this, startX, startY, endX, endY, color, drawMode)) return;
    if (drawMode == DRAWMODE_NORMAL)
        DrawLineNormal(startX, startY, endX, endY, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        DrawLineAdditive(startX, startY, endX, endY, color);
}

void MemoryImage::DrawLineNormal(double startX, double startY, double endX, double endY, const Color& color) {
    uint32_t* pixels = GetBits();
    const uint32_t a = static_cast<uint32_t>(color.alpha) & 0xFF;
    const uint32_t c[3] = {static_cast<uint32_t>(color.red) & 0xFF, static_cast<uint32_t>(color.green) & 0xFF,
                           static_cast<uint32_t>(color.blue) & 0xFF};
    const int w = width, h = height;
    WalkLine(startX, startY, endX, endY, [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint32_t& p = pixels[static_cast<size_t>(y) * w + x];
        uint32_t out = 0xFF000000u;
        for (int k = 0; k < 3; ++k) {
            const int shift = 16 - 8 * k;
            uint32_t v;
            if (a == 255) {
                v = (c[k] * 255 + 127) >> 8;
            } else {
                const uint32_t d = (p >> shift) & 0xFF;
                v = ((((a * c[k] + 128) >> 8) * 255 + 127) >> 8) + ((d * (256 - a) + 127) >> 8);
                if (v > 255) v = 255;
            }
            out |= v << shift;
        }
        p = out;
    });
    MarkBitsChanged();
}

void MemoryImage::DrawLineAdditive(double startX, double startY, double endX, double endY, const Color& color) {
    uint32_t* pixels = GetBits();
    const uint8_t* table = GetAdditiveSaturationTable();
    const uint32_t a = static_cast<uint32_t>(color.alpha) & 0xFF;
    const uint32_t k[3] = {a * (static_cast<uint32_t>(color.red) & 0xFF) / 255,
                           a * (static_cast<uint32_t>(color.green) & 0xFF) / 255,
                           a * (static_cast<uint32_t>(color.blue) & 0xFF) / 255};
    const int w = width, h = height;
    WalkLine(startX, startY, endX, endY, [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint32_t& p = pixels[static_cast<size_t>(y) * w + x];
        p = 0xFF000000u | (uint32_t(table[Ch(p, 16) + k[0]]) << 16) | (uint32_t(table[Ch(p, 8) + k[1]]) << 8) |
            table[Ch(p, 0) + k[2]];
    });
    MarkBitsChanged();
}

void MemoryImage::DrawLineAA(double startX, double startY, double endX, double endY, const Color& color, int drawMode) {
    if (FillStraightLine(*this, startX, startY, endX, endY, color, drawMode)) return;
    if (drawMode == DRAWMODE_NORMAL) DrawLineAANormal(startX, startY, endX, endY, color);
    // An additive antialiased line has no software form: memory images draw nothing for it.
}

void MemoryImage::DrawLineAANormal(double startX, double startY, double endX, double endY, const Color& color) {
    if (startY > endY) {
        std::swap(startX, endX);
        std::swap(startY, endY);
    }
    uint32_t* pixels = GetBits();
    const int w = width, h = height;
    const uint32_t r = static_cast<uint32_t>(color.red) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(color.green) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(color.blue) & 0xFF;
    const uint32_t colourAlpha = static_cast<uint32_t>(color.alpha) & 0xFF;
    auto plot = [&](int x, int y, uint32_t coverage) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const uint32_t s = colourAlpha == 255 ? coverage : (coverage * (colourAlpha + 1)) >> 8;
        if (s == 0) return;
        uint32_t& p = pixels[static_cast<size_t>(y) * w + x];
        p = Over(p, r, g, b, s);
    };

    int x = static_cast<int>(startX);
    int y = static_cast<int>(startY);
    const int x2 = static_cast<int>(endX);
    const int y2 = static_cast<int>(endY);
    const int dx = x2 - x;
    const int dy = y2 - y;  // >= 0 after ordering
    const int xdir = dx < 0 ? -1 : 1;
    const double fracX = std::fabs(startX - std::trunc(startX));
    const double fracY = std::fabs(startY - std::trunc(startY));
    uint32_t f = static_cast<uint32_t>(fracY * fracX * 65536.0) & 0xFFFF;

    if (std::abs(dx) < dy) {
        // Steep: one pixel per row, the side pixel to the left or right.
        const double step = 65536.0 * std::fabs(endX - startX) / std::fabs(endY - startY);
        const uint32_t inc = static_cast<uint32_t>(std::min(step, 65536.0));
        plot(x, y, 255 - (f >> 8));
        for (int i = 1; i < dy; ++i) {
            f += inc;
            if (f >= 65536) {
                x += xdir;
                f &= 0xFFFF;
            }
            ++y;
            plot(x, y, 255 - (f >> 8));
            const int side = x + xdir;
            if (x != w - 1 && side >= 0 && side < w) plot(side, y, f >> 8);
        }
    } else {
        // Flat: one pixel per column, the side pixel below.
        const int steps = std::abs(dx);
        const double step = 65536.0 * std::fabs(endY - startY) / std::fabs(endX - startX);
        const uint32_t inc = static_cast<uint32_t>(std::min(step, 65536.0));
        plot(x, y, 255 - (f >> 8));
        for (int i = 1; i < steps; ++i) {
            f += inc;
            if (f >= 65536) {
                ++y;
                f &= 0xFFFF;
            }
            x += xdir;
            plot(x, y, 255 - (f >> 8));
            if (y != h - 1) plot(x, y + 1, f >> 8);
        }
    }
    plot(x2, y2, 255 - (f >> 8));
    MarkBitsChanged();
}

void MemoryImage::FillSpansWithCoverage(const Span* spans, int count, const Color& color, int, const uint8_t* coverage,
                                        int coverX, int coverY, int coverPitch, int coverHeight) {
    if (spans == nullptr || coverage == nullptr || count <= 0) return;
    uint32_t* pixels = GetBits();
    const uint32_t r = static_cast<uint32_t>(color.red) & 0xFF;
    const uint32_t g = static_cast<uint32_t>(color.green) & 0xFF;
    const uint32_t b = static_cast<uint32_t>(color.blue) & 0xFF;
    const uint32_t colourAlpha = static_cast<uint32_t>(color.alpha) & 0xFF;
    for (int n = 0; n < count; ++n) {
        const Span& span = spans[n];
        const int coverRow = span.y - coverY;
        // Rows outside the destination or the coverage map have nothing to draw.
        if (span.y < 0 || span.y >= height || coverRow < 0 || coverRow >= coverHeight) continue;
        uint32_t* row = pixels + static_cast<size_t>(span.y) * width;
        const uint8_t* coverageRow = coverage + static_cast<ptrdiff_t>(coverRow) * coverPitch;
        for (int k = 0; k < span.width; ++k) {
            const int x = span.x + k;
            const int coverCol = x - coverX;
            if (x < 0 || x >= width || coverCol < 0 || coverCol >= coverPitch) continue;
            const uint32_t s = (colourAlpha * (uint32_t(coverageRow[coverCol]) + 1)) >> 8;
            if (s == 0) continue;
            row[x] = Over(row[x], r, g, b, s);
        }
    }
    MarkBitsChanged();
}

void MemoryImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
    if (image == nullptr) return;
    image->drawn = true;
    if (drawMode == DRAWMODE_NORMAL)
        BltNormal(image, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        BltAdditive(image, x, y, srcRect, color);
}

namespace {

template <typename Fetch>
void BlendRows(uint32_t* dst, int dstWidth, int x, int y, const Rect& src, int srcWidth, Fetch fetch,
               const Color& color) {
    PixelRows::BlendTint tint;
    tint.white = color == Color::White;
    tint.r = static_cast<uint32_t>(color.red) & 0xFF;
    tint.g = static_cast<uint32_t>(color.green) & 0xFF;
    tint.b = static_cast<uint32_t>(color.blue) & 0xFF;
    tint.a = static_cast<uint32_t>(color.alpha) & 0xFF;
    std::vector<uint32_t> scratch;
    for (int row = 0; row < src.height; ++row) {
        uint32_t* d = dst + static_cast<size_t>(y + row) * dstWidth + x;
        const size_t srcBase = static_cast<size_t>(src.y + row) * srcWidth + src.x;
        PixelRows::BlendRow(d, fetch.Row(srcBase, src.width, scratch), src.width, tint);
    }
}

template <typename Fetch>
void RunLengthRows(uint32_t* dst, int dstWidth, int x, int y, const Rect& src, int srcWidth, Fetch fetch,
                   const uint8_t* runs, bool allOpaque) {
    if constexpr (std::is_same_v<Fetch, PixelOps::ArgbFetch>) {
        if (allOpaque && src.width == srcWidth && src.width == dstWidth && fetch.pixels != dst) {
            // Whole rows of two images: one block copy.
            std::memcpy(dst + static_cast<size_t>(y) * dstWidth, fetch.pixels + static_cast<size_t>(src.y) * srcWidth,
                        static_cast<size_t>(src.width) * static_cast<size_t>(src.height) * 4);
            return;
        }
    }
    std::vector<uint32_t> scratch;
    for (int row = 0; row < src.height; ++row) {
        uint32_t* d = dst + static_cast<size_t>(y + row) * dstWidth + x;
        const size_t srcBase = static_cast<size_t>(src.y + row) * srcWidth + src.x;
        const uint32_t* pixels = fetch.Row(srcBase, src.width, scratch);
        if (allOpaque) {
            std::memcpy(d, pixels, static_cast<size_t>(src.width) * 4);
            continue;
        }
        if (PixelRows::SimdEnabled()) {
            // Groups of four by their pixels' alphas: no run bytes to read, and a translucent
            // group's destination load follows the row's stream.
            PixelRows::OverOpaqueRow(d, pixels, src.width);
            continue;
        }
        int i = 0;
        while (i < src.width) {
            int run = runs[srcBase + i];
            if (run > src.width - i) run = src.width - i;
            if (run < 1) run = 1;
            const uint32_t firstAlpha = pixels[i] >> 24;
            if (firstAlpha == 255)
                PixelRows::CopyRow(d + i, pixels + i, run);
            else if (firstAlpha != 0)
                PixelRows::RunBlendRow(d + i, pixels + i, run);
            i += run;
        }
    }
}

// Saturating add of the source's colour channels; the destination keeps its alpha. White
// leaves the channels unscaled; weighted multiplies them by the source pixel's alpha.
template <typename Fetch>
void AddRows(uint32_t* dst, int dstWidth, int x, int y, const Rect& src, int srcWidth, Fetch fetch, bool white,
             bool weighted, const uint32_t (&k)[3]) {
    std::vector<uint32_t> scratch;
    for (int row = 0; row < src.height; ++row) {
        uint32_t* d = dst + static_cast<size_t>(y + row) * dstWidth + x;
        const size_t srcBase = static_cast<size_t>(src.y + row) * srcWidth + src.x;
        PixelRows::AddRow(d, fetch.Row(srcBase, src.width, scratch), src.width, white, weighted, k);
    }
}

}  // namespace

void MemoryImage::BltNormal(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr) return;
    Rect src = srcRect;
    if (!FitBlit(x, y, src, source->width, source->height, width, height)) return;
    uint32_t* dst = GetBits();
    if (hasAlpha || hasTrans || color != Color::White) {
        PixelOps::WithSource(source,
                             [&](auto fetch) { BlendRows(dst, width, x, y, src, source->width, fetch, color); });
    } else {
        const uint8_t* runs = source->GetRLAlphaData();
        // A source known (not forced) to be all opaque is one opaque run per row.
        const bool allOpaque = !source->hasAlpha && !source->hasTrans && !source->alphaFlagsForced;
        PixelOps::WithSource(source, [&](auto fetch) {
            RunLengthRows(dst, width, x, y, src, source->width, fetch, runs, allOpaque);
        });
    }
    MarkBitsChanged();
}

void MemoryImage::BltAdditive(Image* image, int x, int y, const Rect& srcRect, const Color& color) {
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr) return;
    Rect src = srcRect;
    if (!FitBlit(x, y, src, source->width, source->height, width, height)) return;
    source->RefreshAlphaFlags();
    // A source with any non-opaque pixel adds its colour weighted by its alpha, so that
    // transparent pixels add nothing.
    const bool weighted = source->hasAlpha || source->hasTrans;
    const bool white = color == Color::White;
    const uint32_t ca = static_cast<uint32_t>(color.alpha) & 0xFF;
    const uint32_t k[3] = {(static_cast<uint32_t>(color.red) & 0xFF) * ca / 255,
                           (static_cast<uint32_t>(color.green) & 0xFF) * ca / 255,
                           (static_cast<uint32_t>(color.blue) & 0xFF) * ca / 255};
    if (white && weighted && source != this) {
        // Untinted: the source's weighted colours are kept with it, and each row is one add.
        const uint32_t* add = source->GetWeightedAddData();
        uint32_t* dst = GetBits();
        for (int row = 0; row < src.height; ++row)
            PixelRows::AddWeightedRow(dst + static_cast<size_t>(y + row) * width + x,
                                      add + static_cast<size_t>(src.y + row) * source->width + src.x, src.width);
        MarkBitsChanged();
        return;
    }
    uint32_t* dst = GetBits();
    PixelOps::WithSource(source,
                         [&](auto fetch) { AddRows(dst, width, x, y, src, source->width, fetch, white, weighted, k); });
    MarkBitsChanged();
}

}  // namespace Velm
