// Rotated (and sub-pixel) blits of memory images: bilinear sampling stepped in 16.16 fixed
// point along each destination row, with each row's span cut beforehand so that every sample
// and its right and lower neighbours lie inside the source rectangle.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "graphics/DrawMode.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/PixelRows.h"
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
        if (A == 0) return dst;
        return Blend(dst, A, sr >> 8, sg >> 8, sb >> 8);
    }
    static uint32_t Blend(uint32_t dst, uint32_t A, uint32_t tr, uint32_t tg, uint32_t tb) {
        if (A > 250) return 0xFF000000u | (tr << 16) | (tg << 8) | tb;
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
        for (int k = 0; k < 4; ++k) s.a[k] = (s.a[k] * alpha) >> 8;
        uint32_t A, sr, sg, sb;
        Sums(s, A, sr, sg, sb);
        if (A == 0) return dst;
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
        if (A == 0) return dst;
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
        if (A == 0) return dst;
        return (dst & 0xFF000000u) | (uint32_t(table[((dst >> 16) & 0xFF) + (((sr >> 8) * kr) >> 8)]) << 16) |
               (uint32_t(table[((dst >> 8) & 0xFF) + ((sg * kg) >> 16)]) << 8) |
               table[(dst & 0xFF) + ((sb * kb) >> 16)];
    }
};

#if defined(__SSE2__)
// n / d for n below 65536 and d in 1..256 as (n * kReciprocal[d]) >> 32, with kReciprocal[d] =
// ceil(2^32 / d): the error n * (kReciprocal[d] * d - 2^32) stays below 2^32, so the quotient
// is exact. Built once, so the blend below divides nowhere in its rows.
struct Reciprocals {
    uint64_t of[257];
    Reciprocals() : of{} {
        for (uint64_t d = 1; d <= 256; ++d) of[d] = ((uint64_t(1) << 32) + d - 1) / d;
    }
};

// NormalWhite over a row in 16-bit lanes. The blend's numerator
// ((d * dA) >> 8) * (256 - A) + 256 * t stays below 65536 (t <= A * 255 / 256), so it is
// worked in lanes too; an opaque destination gives outA = 256 and a shift, any other the
// reciprocal of outA.
void NormalWhiteRow(uint32_t* d, int64_t count, LaneSampler sampler) {
    static const Reciprocals reciprocals;
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (int64_t i = 0; i < count; ++i, ++d) {
        uint32_t A;
        const __m128i sums = sampler.Next(A);
        if (A == 0) continue;
        if (A > 250) {
            *d = 0xFF000000u | SumsHighBytes(sums);
            continue;
        }
        const uint32_t dst = *d;
        const uint32_t dA = dst >> 24;
        const uint32_t outA = 256 - (((256 - dA) * (256 - A)) >> 8);
        const __m128i d16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(dst)), zero);
        const __m128i kept = _mm_srli_epi16(_mm_mullo_epi16(d16, _mm_shufflelo_epi16(d16, 0xFF)), 8);
        const __m128i n = _mm_add_epi16(_mm_mullo_epi16(kept, _mm_set1_epi16(static_cast<short>(256 - A))),
                                        _mm_and_si128(sums, high));
        uint32_t rgb;
        if (outA == 256) {
            rgb = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_srli_epi16(n, 8), zero))) & 0xFFFFFF;
        } else {
            const uint64_t k = reciprocals.of[outA];
            const auto quotient = [&](uint32_t x) { return static_cast<uint32_t>((x * k) >> 32) & 0xFF; };
            rgb = (quotient(static_cast<uint32_t>(_mm_extract_epi16(n, 2))) << 16) |
                  (quotient(static_cast<uint32_t>(_mm_extract_epi16(n, 1))) << 8) |
                  quotient(static_cast<uint32_t>(_mm_extract_epi16(n, 0)));
        }
        *d = ((outA - 1) << 24) | rgb;
    }
}

// AdditiveWhite over a row: the saturation table's sum is a saturating byte add.
void AdditiveWhiteRow(uint32_t* d, int64_t count, LaneSampler sampler) {
    for (int64_t i = 0; i < count; ++i, ++d) {
        uint32_t A;
        const __m128i sums = sampler.Next(A);
        if (A == 0) continue;
        const __m128i added = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(*d)),
                                            _mm_cvtsi32_si128(static_cast<int>(SumsHighBytes(sums))));
        *d = (*d & 0xFF000000u) | (static_cast<uint32_t>(_mm_cvtsi128_si32(added)) & 0xFFFFFF);
    }
}
#endif

// Draws one row's span with the lane form when there is one for this source and step and the
// SSE2 forms are on; false leaves it to the plain loop.
template <typename Fetch, typename Step>
bool LaneRow(uint32_t* d, int64_t count, const Setup& st, const Fetch& fetch, int u, int v) {
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Fetch, PixelOps::ArgbFetch>) {
        constexpr bool normal = std::is_same_v<Step, NormalWhite>;
        constexpr bool additive = std::is_same_v<Step, AdditiveWhite>;
        if constexpr (normal || additive) {
            if (!PixelRows::SimdEnabled()) return false;
            const LaneSampler sampler(fetch.pixels + st.srcBase, st.srcImageWidth, u, v, st.du, st.dv);
            if constexpr (normal)
                NormalWhiteRow(d, count, sampler);
            else
                AdditiveWhiteRow(d, count, sampler);
            return true;
        }
    }
#endif
    (void)d, (void)count, (void)st, (void)fetch, (void)u, (void)v;
    return false;
}

template <typename Fetch, typename Step>
void DrawRotatedRows(uint32_t* dst, int dstWidth, const Setup& st, const Fetch& fetch, Step step) {
    for (int r = 0; r < st.boxHeight; ++r) {
        int u, v;
        int64_t first, last;
        if (!RowSpan(st, r, u, v, first, last)) continue;
        uint32_t* d = dst + static_cast<size_t>(st.y0 + r) * dstWidth + st.x0 + static_cast<size_t>(first);
        if (LaneRow<Fetch, Step>(d, last - first + 1, st, fetch, u, v)) continue;
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
    if (!(bounds.width > 0) || !(bounds.height > 0)) return false;
    box = bounds;
    return true;
}

void MemoryImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                       int drawMode) {
    if (image == nullptr) return;
    image->drawn = true;
    BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float rotCenterX, float rotCenterY) {
    if (image == nullptr) return;
    image->drawn = true;
    // The clip must lie inside this image; keep it so for direct callers too.
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    DRect box;
    if (!GetRotatedBounds(x, y, srcRect, clip, angle, box, rotCenterX, rotCenterY)) return;
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr) return;

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
