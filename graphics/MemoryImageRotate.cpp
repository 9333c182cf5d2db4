// Rotated (and sub-pixel) blits of memory images: bilinear sampling stepped in 16.16 fixed
// point along each destination row, with each row's span cut beforehand so that every sample
// and its right and lower neighbours lie inside the source rectangle.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "graphics/DrawMode.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/RotatedRows.h"

namespace Velm {

namespace {

using namespace RotatedRows;

inline void Sums(const Sample& s, uint32_t& A, uint32_t& sr, uint32_t& sg, uint32_t& sb) {
    A = sr = sg = sb = 0;
    for (int k = 0; k < 4; ++k) {
        A += s.a[k];
        sr += ((s.p[k] >> 16) & 0xFF) * s.a[k];
        sg += ((s.p[k] >> 8) & 0xFF) * s.a[k];
        sb += (s.p[k] & 0xFF) * s.a[k];
    }
}

// Pixel steps for a memory destination, one per draw mode and tint.
struct NormalWhite {
    uint32_t operator()(uint32_t dst, Sample& s) const {
        uint32_t A, sr, sg, sb;
        Sums(s, A, sr, sg, sb);
        if (A == 0)
            return dst;
        return Blend(dst, A, sr >> 8, sg >> 8, sb >> 8);
    }
    static uint32_t Blend(uint32_t dst, uint32_t A, uint32_t tr, uint32_t tg, uint32_t tb) {
        if (A > 250)
            return 0xFF000000u | (tr << 16) | (tg << 8) | tb;
        const uint32_t dA = dst >> 24;
        const uint32_t outA = 256 - (((256 - dA) * (256 - A)) >> 8);
        auto channel = [&](uint32_t d, uint32_t t) { return ((((d * dA) >> 8) * (256 - A) + 256 * t) / outA) & 0xFF; };
        return ((outA - 1) << 24) | (channel((dst >> 16) & 0xFF, tr) << 16) | (channel((dst >> 8) & 0xFF, tg) << 8) |
               channel(dst & 0xFF, tb);
    }
};

struct NormalTinted {
    uint32_t red, green, blue, alpha;
    uint32_t operator()(uint32_t dst, Sample& s) const {
        for (int k = 0; k < 4; ++k)
            s.a[k] = (s.a[k] * alpha) >> 8;
        uint32_t A, sr, sg, sb;
        Sums(s, A, sr, sg, sb);
        if (A == 0)
            return dst;
        const uint32_t tb = ((sb >> 8) * (blue + 1)) >> 8;
        const uint32_t tg = ((sg >> 8) * (green + 1)) >> 8;
        const uint32_t tr = (sr * (red + 1)) >> 16;
        return NormalWhite::Blend(dst, A, tr, tg, tb);
    }
};

struct AdditiveWhite {
    const uint8_t* table;
    uint32_t operator()(uint32_t dst, Sample& s) const {
        uint32_t A, sr, sg, sb;
        Sums(s, A, sr, sg, sb);
        if (A == 0)
            return dst;
        return (dst & 0xFF000000u) | (uint32_t(table[((dst >> 16) & 0xFF) + (sr >> 8)]) << 16) |
               (uint32_t(table[((dst >> 8) & 0xFF) + (sg >> 8)]) << 8) | table[(dst & 0xFF) + (sb >> 8)];
    }
};

struct AdditiveTinted {
    const uint8_t* table;
    uint32_t kr, kg, kb;
    uint32_t operator()(uint32_t dst, Sample& s) const {
        uint32_t A, sr, sg, sb;
        Sums(s, A, sr, sg, sb);
        if (A == 0)
            return dst;
        return (dst & 0xFF000000u) | (uint32_t(table[((dst >> 16) & 0xFF) + (((sr >> 8) * kr) >> 8)]) << 16) |
               (uint32_t(table[((dst >> 8) & 0xFF) + ((sg * kg) >> 16)]) << 8) |
               table[(dst & 0xFF) + ((sb * kb) >> 16)];
    }
};

template <typename Fetch, typename Step>
void DrawRotatedRows(uint32_t* dst, int dstWidth, const Setup& st, const Fetch& fetch, Step step) {
    for (int r = 0; r < st.boxHeight; ++r) {
        int u, v;
        int64_t first, last;
        if (!RowSpan(st, r, u, v, first, last))
            continue;
        uint32_t* d = dst + static_cast<size_t>(st.y0 + r) * dstWidth + st.x0 + static_cast<size_t>(first);
        for (int64_t i = first; i <= last; ++i) {
            Sample s;
            FetchSample(fetch, st.srcBase, st.srcImageWidth, u, v, s);
            *d = step(*d, s);
            u += st.du;
            v += st.dv;
            ++d;
        }
    }
}

}  // namespace

bool MemoryImage::GetRotatedBounds(float& x, float& y, const Rect& srcRect, const Rect& clipRect, double angle,
                                   DRect& box, float rotCenterX, float rotCenterY) {
    const float c = std::cos(static_cast<float>(angle));
    const float s = std::sin(static_cast<float>(angle));
    const float w = static_cast<float>(srcRect.width);
    const float h = static_cast<float>(srcRect.height);
    const float corners[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    float minX = 10000000.0f, minY = 10000000.0f, maxX = -10000000.0f, maxY = -10000000.0f;
    for (const auto& corner : corners) {
        const float sx = corner[0] - rotCenterX;
        const float sy = corner[1] - rotCenterY;
        const float X = x + rotCenterX + sx * c + sy * s;
        const float Y = y + rotCenterY + sy * c - sx * s;
        minX = std::min(minX, X);
        maxX = std::max(maxX, X);
        minY = std::min(minY, Y);
        maxY = std::max(maxY, Y);
    }
    const DRect bounds = DRect(minX, minY, maxX - minX, maxY - minY).Intersection(DRect(clipRect));
    if (!(bounds.width > 0) || !(bounds.height > 0))
        return false;
    box = bounds;
    return true;
}

void MemoryImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                       int drawMode) {
    if (image == nullptr)
        return;
    image->drawn = true;
    BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float rotCenterX, float rotCenterY) {
    if (image == nullptr)
        return;
    image->drawn = true;
    // The clip must lie inside this image; keep it so for direct callers too.
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    DRect box;
    if (!GetRotatedBounds(x, y, srcRect, clip, angle, box, rotCenterX, rotCenterY))
        return;
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr)
        return;

    // The source rectangle must lie inside the source; a rectangle under 2 x 2 has no
    // neighbours to filter with and draws nothing.
    const Rect src = srcRect.Intersection(Rect(0, 0, source->width, source->height));
    const Setup st = MakeSetup(box, angle, x, y, rotCenterX, rotCenterY, src, source->width);

    uint32_t* dst = GetBits();
    if (src.width >= 2 && src.height >= 2 && src == srcRect) {
        const bool white = color == Color::White;
        const uint32_t cr = static_cast<uint32_t>(color.red) & 0xFF, cg = static_cast<uint32_t>(color.green) & 0xFF,
                       cb = static_cast<uint32_t>(color.blue) & 0xFF, ca = static_cast<uint32_t>(color.alpha) & 0xFF;
        const uint8_t* table = GetAdditiveSaturationTable();
        PixelOps::WithSource(source, [&](auto fetch) {
            if (drawMode == DRAWMODE_NORMAL) {
                if (white)
                    DrawRotatedRows(dst, width, st, fetch, NormalWhite{});
                else
                    DrawRotatedRows(dst, width, st, fetch, NormalTinted{cr, cg, cb, ca});
            } else if (drawMode == DRAWMODE_ADDITIVE) {
                if (white)
                    DrawRotatedRows(dst, width, st, fetch, AdditiveWhite{table});
                else
                    DrawRotatedRows(dst, width, st, fetch,
                                    AdditiveTinted{table, cr * ca / 255, cg * ca / 255, cb * ca / 255});
            }
        });
    }
    MarkBitsChanged();
}

}  // namespace Velm
