// Rotated, sub-pixel and stretched blits onto a surface image: the choice of route (3D layer,
// memory pixels, display blit, temporary image) and the loops that draw into the locked
// surface in its own format (bilinear 16.16 rows for rotation, nearest-pixel 16.16 steps for
// stretching).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/DDImage.h"
#include "graphics/DDImageSurface.h"
#include "graphics/DrawMode.h"
#include "graphics/PixelOps.h"
#include "graphics/PixelRows.h"
#include "graphics/PixelRowsAvx2.h"
#include "graphics/RotatedRows.h"

namespace Velm {

using namespace SurfaceOps;
using namespace RotatedRows;

namespace {

struct Sums {
    uint32_t A, S[3];  // red, green, blue
};

// Red and blue are summed together in the two halves of one word: each half stays below
// 255 * 255, since the four alpha weights add up to at most 255.
inline Sums SumOf(const Sample& s) {
    uint32_t rb = 0, g = 0, A = 0;
    for (int k = 0; k < 4; ++k) {
        A += s.a[k];
        rb += (s.p[k] & 0xFF00FF) * s.a[k];
        g += (s.p[k] & 0xFF00) * s.a[k];
    }
    return Sums{A, {rb >> 16, g >> 8, rb & 0xFFFF}};
}

// A standard-order 16-bit step, worked in the spread word (green in the high half): the green
// sum keeps the bits in GreenBits and moves up by GreenShift, the red moves up by RedShift.
template <uint32_t SpreadMask, uint32_t GreenBits, int GreenShift, int RedShift>
struct Step16 {
    uint32_t operator()(uint32_t D, Sample& s) const {
        const Sums q = SumOf(s);
        const uint32_t tr = q.S[0] >> 8, tg = q.S[1] >> 8, tb = q.S[2] >> 8;
        const uint32_t f = (256 - q.A) >> 3;
        uint32_t sum = ((Spread(D, SpreadMask) * f) >> 5) & SpreadMask;
        sum += ((tg & GreenBits) << GreenShift) + (tb >> 3) + ((tr & 0xF8) << RedShift);
        return Fold(sum);
    }
};

using Step565 = Step16<kSpread565, 0xFC, 19, 8>;
using Step555 = Step16<kSpread555, 0xF8, 18, 7>;

// Byte lanes: out = ((S & ~0xFF) + d * (256 - A)) >> 8 per channel, red and blue together
// (each half stays below 255 * 256).
struct Step32 {
    uint32_t operator()(uint32_t D, Sample& s) const {
        uint32_t rb = 0, g = 0, A = 0;
        for (int k = 0; k < 4; ++k) {
            A += s.a[k];
            rb += (s.p[k] & 0xFF00FF) * s.a[k];
            g += (s.p[k] & 0xFF00) * s.a[k];
        }
        const uint32_t inv = 256 - A;
        const uint32_t outRB = (((rb & 0xFF00FF00) + (D & 0xFF00FF) * inv) >> 8) & 0xFF00FF;
        const uint32_t outG = (((g & 0xFF0000) + (D & 0xFF00) * inv) >> 8) & 0xFF00;
        return outRB | outG;
    }
};

#if defined(__SSE2__)
// Step32 from the lane sums: per channel ((sum & 0xFF00) + d * (256 - A)) >> 8, below 256 * 256;
// the top byte cleared.
inline uint32_t Step32Lanes(uint32_t D, __m128i sums, __m128i A) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i dest = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(D)), zero);
    const __m128i out = _mm_srli_epi16(_mm_add_epi16(_mm_and_si128(sums, _mm_set1_epi16(static_cast<short>(0xFF00))),
                                                     _mm_mullo_epi16(dest, _mm_sub_epi16(_mm_set1_epi16(256), A))),
                                       8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(out, zero))) & 0xFFFFFF;
}

// Step32Lanes for two pixels: lanes 0..3 of sums and A for d[0], lanes 4..7 for d[1].
inline void Step32PairLanes(uint32_t* d, __m128i sums, __m128i A) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i dest = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(d)), zero);
    const __m128i out = _mm_srli_epi16(_mm_add_epi16(_mm_and_si128(sums, _mm_set1_epi16(static_cast<short>(0xFF00))),
                                                     _mm_mullo_epi16(dest, _mm_sub_epi16(_mm_set1_epi16(256), A))),
                                       8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d),
                     _mm_and_si128(_mm_packus_epi16(out, zero), _mm_set1_epi32(0x00FFFFFF)));
}

// An unturned row of Step32 samples, one pixel per step in 16-bit lanes: the alpha weights are
// (weight * alpha) >> 16 (an unsigned high multiply), the channel sums stay below 255 * 255,
// and the blend below 255 * 256, as in the scalar step.
inline void AlignedRow32(uint32_t* d, int count, const uint32_t* top, const uint32_t* bottom,
                         const uint32_t (&weight)[4]) {
    const __m128i wTop = _mm_set_epi16(short(weight[1]), short(weight[1]), short(weight[1]), short(weight[1]),
                                       short(weight[0]), short(weight[0]), short(weight[0]), short(weight[0]));
    const __m128i wBottom = _mm_set_epi16(short(weight[3]), short(weight[3]), short(weight[3]), short(weight[3]),
                                          short(weight[2]), short(weight[2]), short(weight[2]), short(weight[2]));
    int i = PixelRows::Avx2Enabled() ? PixelRows::avx2::UnturnedBilinearRow(d, count, top, bottom, weight) : 0;
    // Two pixels a step: the left texels of pixels i and i + 1 are top[i], top[i + 1] (one load),
    // their right texels top[i + 1], top[i + 2]; with the weights the same along the row, the
    // four weighted texel pairs add up to both pixels' sums without folding lanes. The 16-bit
    // sums wrap the same way in any order, so the integers are the one-pixel step's.
    const __m128i wLeftTop = _mm_unpacklo_epi64(wTop, wTop), wRightTop = _mm_unpackhi_epi64(wTop, wTop);
    const __m128i wLeftBottom = _mm_unpacklo_epi64(wBottom, wBottom),
                  wRightBottom = _mm_unpackhi_epi64(wBottom, wBottom);
    auto alphaOf = [](__m128i texels) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(texels, 0xFF), 0xFF); };
    for (; i + 2 <= count; i += 2) {
        if (((top[i] | top[i + 1] | top[i + 2] | bottom[i] | bottom[i + 1] | bottom[i + 2]) >> 24) == 0) {
            d[i] &= 0xFFFFFF;
            d[i + 1] &= 0xFFFFFF;
            continue;
        }
        const __m128i leftTop = Raster::TexelPairLanes(top + i), rightTop = Raster::TexelPairLanes(top + i + 1);
        const __m128i leftBottom = Raster::TexelPairLanes(bottom + i),
                      rightBottom = Raster::TexelPairLanes(bottom + i + 1);
        const __m128i aLT = _mm_mulhi_epu16(wLeftTop, alphaOf(leftTop));
        const __m128i aRT = _mm_mulhi_epu16(wRightTop, alphaOf(rightTop));
        const __m128i aLB = _mm_mulhi_epu16(wLeftBottom, alphaOf(leftBottom));
        const __m128i aRB = _mm_mulhi_epu16(wRightBottom, alphaOf(rightBottom));
        const __m128i sums =
                _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(leftTop, aLT), _mm_mullo_epi16(rightTop, aRT)),
                              _mm_add_epi16(_mm_mullo_epi16(leftBottom, aLB), _mm_mullo_epi16(rightBottom, aRB)));
        const __m128i A = _mm_add_epi16(_mm_add_epi16(aLT, aRT), _mm_add_epi16(aLB, aRB));
        Step32PairLanes(d + i, sums, A);
    }
    for (; i < count; ++i) {
        if (((top[i] | top[i + 1] | bottom[i] | bottom[i + 1]) >> 24) == 0) {
            d[i] &= 0xFFFFFF;
            continue;
        }
        __m128i A;
        const __m128i sums = Raster::WeightedLaneSums(Raster::TexelPairLanes(top + i),
                                                      Raster::TexelPairLanes(bottom + i), wTop, wBottom, A);
        d[i] = Step32Lanes(d[i], sums, A);
    }
}

// A turned row of Step32 samples through the lane sampler, two pixels a step: the same blend
// as AlignedRow32 (four transparent neighbours give A = 0, which keeps the channels and clears
// the top byte, as the plain loop does).
inline void TurnedRow32(uint32_t* d, int64_t count, LaneSampler sampler) {
    int64_t i = 0;
    for (; i + 2 <= count; i += 2) {
        __m128i A;
        const __m128i sums = sampler.NextPair(A);
        Step32PairLanes(d + i, sums, A);
    }
    for (; i < count; ++i) {
        __m128i A;
        const __m128i sums = sampler.Next(A);
        d[i] = Step32Lanes(d[i], sums, A);
    }
}
#endif

struct StepGeneric {
    const Layout* L;
    bool tinted;
    uint32_t colorAlpha;
    uint32_t ch[3];  // colour channels
    uint32_t operator()(uint32_t D, Sample& s) const {
        if (tinted)
            for (int k = 0; k < 4; ++k) s.a[k] = (s.a[k] * colorAlpha) >> 8;
        const Sums q = SumOf(s);
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            uint32_t src;
            if (!tinted)
                src = (q.S[c] >> (16 - L->bits[c])) << L->shift[c];
            else if (c == 2)
                src = (((q.S[2] >> 8) * (ch[2] + 1)) >> (16 - L->bits[2])) << L->shift[2];
            else
                src = ((q.S[c] * (ch[c] + 1)) >> (24 - L->bits[c])) << L->shift[c];
            const uint32_t dst = (((D & L->mask[c]) * (256 - q.A)) >> 8) & L->mask[c];
            out |= src + dst;
        }
        return out;
    }
};

struct StepAdditive {
    const Layout* L;
    uint32_t k[3];
    uint32_t operator()(uint32_t D, Sample& s) const {
        const Sums q = SumOf(s);
        const uint32_t src[3] = {((q.S[0] >> (16 - L->bits[0])) * k[0]) >> 8, (q.S[1] * k[1]) >> (24 - L->bits[1]),
                                 (q.S[2] * k[2]) >> (24 - L->bits[2])};
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c)
            out |= static_cast<uint32_t>(L->table[c][src[c] + ((D & L->mask[c]) >> L->shift[c])]) << L->shift[c];
        return out;
    }
};

// The rows of a rotated blit into a locked surface; every sample of a row's span and its right
// and lower neighbours lie inside the source rectangle.
// Four transparent neighbours give A = 0, and every pixel step then rewrites the destination
// with its own channel bits: that case skips the arithmetic.
template <typename Pixel, typename Fetch, typename Step>
void DrawRotatedRows(const plat::dd::SurfaceDesc& desc, const Setup& st, const Fetch& fetch, Step step) {
    const uint32_t channels = desc.format.redMask | desc.format.greenMask | desc.format.blueMask;
    const int du = st.du, dv = st.dv;
    for (int r = 0; r < st.boxHeight; ++r) {
        int u, v;
        int64_t first, last;
        if (!RowSpan(st, r, u, v, first, last)) continue;
        Pixel* d = RowOf<Pixel>(desc, st.y0 + r) + st.x0 + first;
        if (du == 65536 && dv == 0) {
            // Unturned (a sub-pixel placement): the fraction, and so the four weights, stay the
            // same along the row, and each sample's right neighbours are the next one's left.
            const uint32_t fu = (static_cast<uint32_t>(u) & 0xFFFE) | 1;
            const uint32_t fv = (static_cast<uint32_t>(v) & 0xFFFE) | 1;
            const uint32_t weight[4] = {((0x10000 - fu) * (0x10000 - fv)) >> 16, (fu * (0x10000 - fv)) >> 16,
                                        ((0x10000 - fu) * fv) >> 16, (fu * fv) >> 16};
            size_t index = st.srcBase + static_cast<size_t>(v >> 16) * st.srcImageWidth + static_cast<size_t>(u >> 16);
#if defined(__SSE2__)
            if constexpr (std::is_same_v<Step, Step32> && std::is_same_v<Fetch, PixelOps::ArgbFetch>) {
                if (PixelRows::SimdEnabled()) {
                    AlignedRow32(reinterpret_cast<uint32_t*>(d), static_cast<int>(last - first + 1),
                                 fetch.pixels + index, fetch.pixels + index + st.srcImageWidth, weight);
                    continue;
                }
            }
#endif
            uint32_t top = fetch(index), bottom = fetch(index + st.srcImageWidth);
            for (int64_t i = first; i <= last; ++i, ++d) {
                ++index;
                Sample s;
                s.p[0] = top;
                s.p[1] = fetch(index);
                s.p[2] = bottom;
                s.p[3] = fetch(index + st.srcImageWidth);
                top = s.p[1];
                bottom = s.p[3];
                if (((s.p[0] | s.p[1] | s.p[2] | s.p[3]) >> 24) == 0) {
                    *d = static_cast<Pixel>(*d & channels);
                    continue;
                }
                for (int k = 0; k < 4; ++k) s.a[k] = (weight[k] * (s.p[k] >> 24)) >> 16;
                *d = static_cast<Pixel>(step(*d, s));
            }
            continue;
        }
#if defined(__SSE2__)
        if constexpr (std::is_same_v<Step, Step32> && std::is_same_v<Fetch, PixelOps::ArgbFetch>) {
            if (PixelRows::SimdEnabled()) {
                int64_t done = 0;
                if (PixelRows::Avx2Enabled()) {
                    done = PixelRows::avx2::TurnedBilinearRow(
                            reinterpret_cast<uint32_t*>(d), static_cast<int>(last - first + 1),
                            fetch.pixels + st.srcBase, st.srcImageWidth, u, v, du, dv);
                    u += static_cast<int>(done) * du;
                    v += static_cast<int>(done) * dv;
                }
                TurnedRow32(reinterpret_cast<uint32_t*>(d) + done, last - first + 1 - done,
                            LaneSampler(fetch.pixels + st.srcBase, st.srcImageWidth, u, v, du, dv));
                continue;
            }
        }
#endif
        for (int64_t i = first; i <= last; ++i) {
            Sample s;
            FetchSample(fetch, st.srcBase, st.srcImageWidth, u, v, s);
            if (((s.p[0] | s.p[1] | s.p[2] | s.p[3]) >> 24) == 0)
                *d = static_cast<Pixel>(*d & channels);
            else
                *d = static_cast<Pixel>(step(*d, s));
            u += du;
            v += dv;
            ++d;
        }
    }
}

template <typename Pixel, typename Fetch>
void RotatedSurface(const plat::dd::SurfaceDesc& desc, const Layout& L, const Setup& st, const Fetch& fetch,
                    const Color& color, int drawMode) {
    const bool white = color == Color::White;
    const uint32_t ca = static_cast<uint32_t>(color.alpha);
    if (drawMode == DRAWMODE_ADDITIVE) {
        StepAdditive step{&L, {255, 255, 255}};
        if (!white)
            for (int c = 0; c < 3; ++c) step.k[c] = ChannelOf(color, c) * ca / 255;
        DrawRotatedRows<Pixel>(desc, st, fetch, step);
        return;
    }
    if (drawMode != DRAWMODE_NORMAL) return;
    const bool wide = sizeof(Pixel) == 4;
    if (white && L.standardOrder && !wide && L.mask[1] == 0x7E0)
        DrawRotatedRows<Pixel>(desc, st, fetch, Step565{});
    else if (white && L.standardOrder && !wide && L.mask[1] == 0x3E0)
        DrawRotatedRows<Pixel>(desc, st, fetch, Step555{});
    else if (white && L.standardOrder && wide)
        DrawRotatedRows<Pixel>(desc, st, fetch, Step32{});
    else
        DrawRotatedRows<Pixel>(
                desc, st, fetch,
                StepGeneric{&L, !white, ca, {ChannelOf(color, 0), ChannelOf(color, 1), ChannelOf(color, 2)}});
}

}  // namespace

void DDImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                         int drawMode, double angle, float rotCenterX, float rotCenterY) {
    if (image == nullptr) return;
    image->drawn = true;
    if (mNoLock) return;
    RefreshAlphaFlags();
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->BltRotate(image, x, y, &clipRect, color, drawMode, angle, rotCenterX, rotCenterY,
                                              srcRect);
        return;
    }
    if (hasAlpha || hasTrans || DisplayIs3D() || mDDInterface == nullptr) {
        MemoryImage::BltRotated(image, x, y, srcRect, clipRect, color, drawMode, angle, rotCenterX, rotCenterY);
        return;
    }
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    DRect box;
    if (!GetRotatedBounds(x, y, srcRect, clip, angle, box, rotCenterX, rotCenterY)) return;
    MemoryImage* source = AsMemoryImage(image);
    if (source == nullptr) return;
    source->RefreshAlphaFlags();
    const Rect src = srcRect.Intersection(Rect(0, 0, source->width, source->height));
    if (!LockSurface()) return;
    mSurfaceTouched = true;
    const Setup st = MakeSetup(box, angle, x, y, rotCenterX, rotCenterY, src, source->width);
    if (src.width >= 2 && src.height >= 2 && src == srcRect) {
        const plat::dd::SurfaceDesc& desc = mLockedSurfaceDesc;
        const Layout L(desc, *mDDInterface);
        PixelOps::WithSource(source, [&](auto fetch) {
            if (L.bitCount == 16)
                RotatedSurface<uint16_t>(desc, L, st, fetch, color, drawMode);
            else if (L.bitCount == 32)
                RotatedSurface<uint32_t>(desc, L, st, fetch, color, drawMode);
        });
    }
    UnlockSurface();
    FinishSurfacePath();
}

// ---- Stretching ----

namespace {

#if defined(__SSE2__)
// The additive stretch steps four destination pixels at a time. Every display add table holds
// min(i, channel maximum), so each channel's lookup is a clamped add: on 32-bit surfaces whose
// channels are bytes an untinted step is one saturating byte add; otherwise each channel is
// taken out into 32-bit lanes, scaled by the tint when there is one ((c * k) >> 8, as / 256),
// added, clamped and put back. A source pixel of 0 leaves its destination pixel as it is.
class AddLanes {
public:
    AddLanes(const Layout& L, bool tinted, const uint32_t (&k)[3])
            : byteLanes(L.byteLanes), white(!tinted), mBytes(L.byteLanes && !tinted), mTinted(tinted) {
        uint32_t channels = 0;
        for (int c = 0; c < 3; ++c) {
            if (L.byteLanes) tintPerByte[L.shift[c] / 8] = static_cast<uint16_t>(k[c]);
            mShift[c] = _mm_cvtsi32_si128(L.shift[c]);
            mMax[c] = _mm_set1_epi32(static_cast<int>(L.mask[c] >> L.shift[c]));
            mK[c] = _mm_set1_epi32(static_cast<int>(k[c]));
            channels |= L.mask[c];
        }
        mChannels = _mm_set1_epi32(static_cast<int>(channels));
    }

    // Four destination and source pixels in 32-bit lanes.
    __m128i operator()(__m128i D, __m128i S) const {
        __m128i out;
        if (mBytes) {
            out = _mm_and_si128(_mm_adds_epu8(D, S), mChannels);
        } else {
            out = _mm_setzero_si128();
            for (int c = 0; c < 3; ++c) {
                const __m128i dc = _mm_and_si128(_mm_srl_epi32(D, mShift[c]), mMax[c]);
                __m128i sc = _mm_and_si128(_mm_srl_epi32(S, mShift[c]), mMax[c]);
                if (mTinted) sc = _mm_srli_epi32(_mm_mullo_epi16(sc, mK[c]), 8);
                out = _mm_or_si128(out, _mm_sll_epi32(_mm_min_epi16(_mm_add_epi32(dc, sc), mMax[c]), mShift[c]));
            }
        }
        const __m128i keep = _mm_cmpeq_epi32(S, _mm_setzero_si128());
        return _mm_or_si128(_mm_and_si128(keep, D), _mm_andnot_si128(keep, out));
    }

    // For the AVX2 form: whether the channels are the low three bytes, the tint of the channel
    // in each byte (0 for the alpha byte) and whether there is no tint.
    bool byteLanes;
    uint16_t tintPerByte[4] = {0, 0, 0, 0};
    bool white;

private:
    bool mBytes, mTinted;
    __m128i mShift[3], mMax[3], mK[3], mChannels;
};

// The normal-mode stretch four pixels at a time on 32-bit surfaces whose channels are bytes.
// Untinted: each channel d * (256 - a) >> 8 (a the source alpha) plus the premultiplied source
// word; tinted: e = a * colour alpha / 255 and each channel (d * (256 - e) + s * k) >> 8,
// worked in 32-bit sums of 16-bit pairs. A pixel whose a (or e) is 0 is left as it is.
class BlendLanes {
public:
    BlendLanes(const Layout& L, bool tinted, uint32_t colorAlpha, const uint32_t (&k)[3]) : mTinted(tinted) {
        uint32_t channels = 0;
        short perByte[4] = {0, 0, 0, 0};
        for (int c = 0; c < 3; ++c) {
            channels |= L.mask[c];
            perByte[L.shift[c] / 8 & 3] = static_cast<short>(k[c]);
        }
        for (int b = 0; b < 4; ++b) tintPerByte[b] = static_cast<uint16_t>(perByte[b]);
        tintAlpha = colorAlpha;
        mChannels = _mm_set1_epi32(static_cast<int>(channels));
        // The tint per 16-bit lane of two pixels.
        mK = _mm_set_epi16(perByte[3], perByte[2], perByte[1], perByte[0], perByte[3], perByte[2], perByte[1],
                           perByte[0]);
        mColorAlpha = _mm_set1_epi16(static_cast<short>(colorAlpha));
    }

    __m128i operator()(__m128i D, __m128i S) const {
        const __m128i zero = _mm_setzero_si128();
        const __m128i a32 = _mm_srli_epi32(S, 24);
        __m128i e16 = _mm_packs_epi32(a32, a32);  // a of pixels 0..3, twice
        if (mTinted)
            e16 = _mm_srli_epi16(_mm_mulhi_epu16(_mm_mullo_epi16(e16, mColorAlpha), _mm_set1_epi16(-0x7F7F)), 7);
        const __m128i inv16 = _mm_sub_epi16(_mm_set1_epi16(256), e16);
        __m128i out;
        if (!mTinted) {
            const __m128i pairs = _mm_unpacklo_epi16(inv16, inv16);  // inv0 inv0 inv1 inv1 ...
            const __m128i invLo = _mm_unpacklo_epi32(pairs, pairs);  // inv0 x4, inv1 x4
            const __m128i invHi = _mm_unpackhi_epi32(pairs, pairs);
            const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(D, zero), invLo), 8);
            const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(D, zero), invHi), 8);
            out = _mm_add_epi32(_mm_and_si128(_mm_packus_epi16(lo, hi), mChannels), S);
        } else {
            // Each channel keeps bits 8-15 of d * (256 - e) + s * k, which the 16-bit lanes'
            // wrapping products and sum hold exactly.
            const __m128i pairs = _mm_unpacklo_epi16(inv16, inv16);
            const __m128i invLo = _mm_unpacklo_epi32(pairs, pairs);
            const __m128i invHi = _mm_unpackhi_epi32(pairs, pairs);
            auto half = [&](__m128i d16, __m128i s16, __m128i inv) {
                return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, inv), _mm_mullo_epi16(s16, mK)), 8);
            };
            const __m128i lo = half(_mm_unpacklo_epi8(D, zero), _mm_unpacklo_epi8(S, zero), invLo);
            const __m128i hi = half(_mm_unpackhi_epi8(D, zero), _mm_unpackhi_epi8(S, zero), invHi);
            out = _mm_and_si128(_mm_packus_epi16(lo, hi), mChannels);
        }
        const __m128i keep = _mm_cmpeq_epi32(_mm_unpacklo_epi16(e16, zero), zero);
        return _mm_or_si128(_mm_and_si128(keep, D), _mm_andnot_si128(keep, out));
    }

    // The tint of the channel in each byte (0 for the alpha byte) and the colour's alpha, for
    // the AVX2 form.
    uint16_t tintPerByte[4] = {0, 0, 0, 0};
    uint32_t tintAlpha = 255;

private:
    bool mTinted;
    __m128i mChannels, mK, mColorAlpha;
};

// Four destination pixels from p (in place, or p[-3..0] in reverse when mirrored) into 32-bit
// lanes, and back.
template <typename Pixel>
inline __m128i LoadFour(const Pixel* p, bool mirror) {
    __m128i x;
    if constexpr (sizeof(Pixel) == 4)
        x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mirror ? p - 3 : p));
    else
        x = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mirror ? p - 3 : p)),
                               _mm_setzero_si128());
    return mirror ? _mm_shuffle_epi32(x, 0x1B) : x;
}

template <typename Pixel>
inline void StoreFour(Pixel* p, bool mirror, __m128i x) {
    if (mirror) x = _mm_shuffle_epi32(x, 0x1B);
    if constexpr (sizeof(Pixel) == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mirror ? p - 3 : p), x);
    } else {
        // Values up to 0xFFFF: bias into the signed range for the saturating pack and back.
        const __m128i bias32 = _mm_set1_epi32(0x8000);
        const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(x, bias32), _mm_setzero_si128());
        _mm_storel_epi64(reinterpret_cast<__m128i*>(mirror ? p - 3 : p),
                         _mm_add_epi16(packed, _mm_set1_epi16(static_cast<short>(0x8000))));
    }
}
#endif

// The additive lanes for this step when SSE2 is built in and on; none otherwise.
struct NoLanes {};
struct NativeDirect;
struct StretchNormal;
struct StretchNormalTinted;
struct StretchAdditive;
struct StretchAdditiveTinted;

template <typename Pixel, typename Fetch, typename Step, typename Lanes = NoLanes>
void StretchRows(const plat::dd::SurfaceDesc& desc, const Rect& dest, const DRect& src, int srcImageWidth, bool mirror,
                 const Fetch& fetch, Step step, const Lanes* lanes = nullptr) {
    const int du = static_cast<int>(src.width * 65536 / dest.width);
    const int dv = static_cast<int>(src.height * 65536 / dest.height);
    int v = static_cast<int>(src.y * 65536);
    const int dstStep = mirror ? -1 : 1;
#if defined(__SSE2__)
    // The forward blend of direct words in AVX2: the source column of every destination column
    // is the same on every row, so it is worked once, and one call draws every row.
    constexpr bool kTinted = std::is_same_v<Step, StretchNormalTinted>;
    constexpr bool kAdditive = std::is_same_v<Step, StretchAdditive> || std::is_same_v<Step, StretchAdditiveTinted>;
    constexpr bool kGatherable =
            sizeof(Pixel) == 4 && std::is_same_v<Fetch, NativeDirect> &&
            (((std::is_same_v<Step, StretchNormal> || kTinted) && std::is_same_v<Lanes, BlendLanes>) ||
             (kAdditive && std::is_same_v<Lanes, AddLanes>));
    std::vector<int32_t> columns;
    if constexpr (kGatherable) {
        bool bytes = true;
        if constexpr (kAdditive) bytes = lanes != nullptr && lanes->byteLanes;
        if (lanes != nullptr && bytes && !mirror && PixelRows::Avx2Enabled()) {
            columns.resize(static_cast<size_t>(dest.width));
            int u = static_cast<int>(src.x * 65536);
            for (int32_t& c : columns) {
                c = u >> 16;
                u += du;
            }
        }
    }
    if constexpr (kGatherable) {
        if (!columns.empty()) {
            const PixelRows::avx2::GatherRect rect{RowOf<uint32_t>(desc, dest.y) + dest.x,
                                                   desc.pitch / 4,
                                                   fetch.native,
                                                   fetch.count,
                                                   srcImageWidth,
                                                   v,
                                                   dv,
                                                   dest.height,
                                                   columns.data(),
                                                   dest.width};
            if constexpr (kAdditive)
                PixelRows::avx2::SurfaceAddGatherRect(rect, lanes->tintPerByte, lanes->white);
            else if constexpr (kTinted)
                PixelRows::avx2::SurfaceTintedGatherRect(rect, lanes->tintPerByte, lanes->tintAlpha);
            else
                PixelRows::avx2::SurfaceWhiteGatherRect(rect);
            return;
        }
    }
#endif
    for (int j = 0; j < dest.height; ++j) {
        int u = static_cast<int>(src.x * 65536);
        const size_t rowBase = static_cast<size_t>(v >> 16) * srcImageWidth;
        Pixel* d = RowOf<Pixel>(desc, dest.y + j) + (mirror ? dest.x + dest.width - 1 : dest.x);
        int i = 0;
#if defined(__SSE2__)
        if constexpr (!std::is_same_v<Lanes, NoLanes>) {
            if (lanes != nullptr) {
                // The direction is fixed per loop, so that the lanes are not turned round and
                // back when they need not be.
                auto fours = [&](auto mirrored) {
                    constexpr bool kMirror = decltype(mirrored)::value;
                    const Lanes op = *lanes;
                    for (; i + 4 <= dest.width; i += 4) {
                        const uint32_t s0 = fetch(rowBase + static_cast<size_t>(u >> 16));
                        const uint32_t s1 = fetch(rowBase + static_cast<size_t>((u + du) >> 16));
                        const uint32_t s2 = fetch(rowBase + static_cast<size_t>((u + 2 * du) >> 16));
                        const uint32_t s3 = fetch(rowBase + static_cast<size_t>((u + 3 * du) >> 16));
                        // Four zero samples leave their pixels as they are in every mode.
                        if ((s0 | s1 | s2 | s3) != 0) {
                            const __m128i S = _mm_set_epi32(static_cast<int>(s3), static_cast<int>(s2),
                                                            static_cast<int>(s1), static_cast<int>(s0));
                            StoreFour(d, kMirror, op(LoadFour(d, kMirror), S));
                        }
                        u += 4 * du;
                        d += kMirror ? -4 : 4;
                    }
                };
                if (mirror)
                    fours(std::true_type{});
                else
                    fours(std::false_type{});
            }
        }
#endif
        (void)lanes;
        for (; i < dest.width; ++i) {
            const uint32_t S = fetch(rowBase + static_cast<size_t>(u >> 16));
            uint32_t out;
            if (step(*d, S, out)) *d = static_cast<Pixel>(out);
            u += du;
            d += dstStep;
        }
        v += dv;
    }
}

struct StretchNormal {
    const uint32_t* m;
    bool operator()(uint32_t D, uint32_t S, uint32_t& out) const {
        const uint32_t a = S >> 24;
        if (a == 0) return false;
        out = ((((D & m[0]) * (256 - a)) >> 8) & m[0]) + ((((D & m[1]) * (256 - a)) >> 8) & m[1]) +
              ((((D & m[2]) * (256 - a)) >> 8) & m[2]) + S;
        return true;
    }
};

struct StretchNormalTinted {
    const uint32_t* m;
    uint32_t colorAlpha;
    uint32_t k[3];
    bool operator()(uint32_t D, uint32_t S, uint32_t& out) const {
        const uint32_t e = (S >> 24) * colorAlpha / 255;
        if (e == 0) return false;
        out = 0;
        for (int c = 0; c < 3; ++c) out += (((D & m[c]) * (256 - e) + (S & m[c]) * k[c]) >> 8) & m[c];
        return true;
    }
};

struct StretchAdditive {
    const Layout* L;
    bool operator()(uint32_t D, uint32_t S, uint32_t& out) const {
        if (S == 0) return false;
        out = 0;
        for (int c = 0; c < 3; ++c)
            out |= static_cast<uint32_t>(L->table[c][((D & L->mask[c]) + (S & L->mask[c])) >> L->shift[c]])
                   << L->shift[c];
        return true;
    }
};

struct StretchAdditiveTinted {
    const Layout* L;
    uint32_t k[3];
    bool operator()(uint32_t D, uint32_t S, uint32_t& out) const {
        if (S == 0) return false;
        out = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t index =
                    ((((S & L->mask[c]) >> L->shift[c]) * k[c]) / 256) + ((D & L->mask[c]) >> L->shift[c]);
            out |= static_cast<uint32_t>(L->table[c][index]) << L->shift[c];
        }
        return true;
    }
};

struct NativeDirect {
    const uint32_t* native;
    size_t count;  // words of the image
    uint32_t operator()(size_t i) const { return native[i]; }
};

struct NativeIndexed {
    const uint32_t* native;
    const uint8_t* indices;
    uint32_t operator()(size_t i) const { return native[indices[i]]; }
};

template <typename Pixel, typename Fetch>
void StretchWith(const plat::dd::SurfaceDesc& desc, const Layout& L, const Rect& dest, const DRect& src,
                 int srcImageWidth, bool mirror, const Fetch& fetch, const Color& color, int drawMode) {
    const bool white = color == Color::White;
    const uint32_t ca = static_cast<uint32_t>(color.alpha);
    const uint32_t k[3] = {ChannelOf(color, 0) * ca / 255, ChannelOf(color, 1) * ca / 255,
                           ChannelOf(color, 2) * ca / 255};
    if (drawMode == DRAWMODE_NORMAL) {
#if defined(__SSE2__)
        const BlendLanes blendLanes(L, !white, ca, k);
        const BlendLanes* lanes = sizeof(Pixel) == 4 && L.byteLanes && PixelRows::SimdEnabled() ? &blendLanes : nullptr;
#else
        const NoLanes* lanes = nullptr;
#endif
        if (white)
            StretchRows<Pixel>(desc, dest, src, srcImageWidth, mirror, fetch, StretchNormal{L.mask}, lanes);
        else
            StretchRows<Pixel>(desc, dest, src, srcImageWidth, mirror, fetch,
                               StretchNormalTinted{L.mask, ca, {k[0], k[1], k[2]}}, lanes);
    } else if (drawMode == DRAWMODE_ADDITIVE) {
#if defined(__SSE2__)
        const AddLanes addLanes(L, !white, k);
        const AddLanes* lanes = PixelRows::SimdEnabled() ? &addLanes : nullptr;
#else
        const NoLanes* lanes = nullptr;
#endif
        if (white)
            StretchRows<Pixel>(desc, dest, src, srcImageWidth, mirror, fetch, StretchAdditive{&L}, lanes);
        else
            StretchRows<Pixel>(desc, dest, src, srcImageWidth, mirror, fetch,
                               StretchAdditiveTinted{&L, {k[0], k[1], k[2]}}, lanes);
    }
}

}  // namespace

void DDImage::StretchLoop(MemoryImage* source, const Rect& dest, const DRect& src, const Color& color, int drawMode,
                          bool mirror) {
    source->RefreshAlphaFlags();
    const uint32_t* native = source->GetNativeAlphaData(mDDInterface->GetNativeFormat());
    if (!LockSurface()) return;
    mSurfaceTouched = true;
    const plat::dd::SurfaceDesc& desc = mLockedSurfaceDesc;
    const Layout L(desc, *mDDInterface);
    auto run = [&](const auto& fetch) {
        if (L.bitCount == 16)
            StretchWith<uint16_t>(desc, L, dest, src, source->width, mirror, fetch, color, drawMode);
        else if (L.bitCount == 32)
            StretchWith<uint32_t>(desc, L, dest, src, source->width, mirror, fetch, color, drawMode);
    };
    if (PixelOps::IsPalettised(source))
        run(NativeIndexed{native, source->colorIndices});
    else
        run(NativeDirect{native, static_cast<size_t>(source->width) * source->height});
    UnlockSurface();
}

void DDImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                         const Color& color, int drawMode, bool fastStretch) {
    if (image == nullptr) return;
    image->drawn = true;
    RefreshAlphaFlags();
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->StretchBlt(image, destRect, srcRect, &clipRect, color, drawMode, fastStretch,
                                               false);
        return;
    }
    if (mDDInterface == nullptr) {
        MemoryImage::StretchBlt(image, destRect, srcRect, clipRect, color, drawMode, fastStretch);
        return;
    }
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    DRect clippedSrc;
    Rect clippedDest;
    if (!GetStretchRects(srcRect, clip, destRect, clippedSrc, clippedDest)) return;
    MemoryImage* source = AsMemoryImage(image);
    if (fastStretch) {
        DDImage* surfaceSource = AsSurfaceImage(image);
        if (surfaceSource != nullptr && color == Color::White && drawMode == DRAWMODE_NORMAL &&
            !surfaceSource->hasAlpha && surfaceSource->GetSurface() != nullptr && GetSurface() != nullptr) {
            const plat::dd::Box to{clippedDest.x, clippedDest.y, clippedDest.x + clippedDest.width,
                                   clippedDest.y + clippedDest.height};
            const plat::dd::Box from{static_cast<int>(clippedSrc.x), static_cast<int>(clippedSrc.y),
                                     static_cast<int>(clippedSrc.x + clippedSrc.width),
                                     static_cast<int>(clippedSrc.y + clippedSrc.height)};
            uint32_t bltFlags = plat::dd::kBltWait;
            if (surfaceSource->hasTrans) bltFlags |= plat::dd::kBltKeySrc;
            if (mLockCount > 0) mSurface->Unlock();
            const plat::dd::Result result = mSurface->Blt(&to, surfaceSource->mSurface.get(), &from, bltFlags);
            if (mLockCount > 0 && plat::dd::Failed(mSurface->Lock(&mLockedSurfaceDesc))) return;
            if (!plat::dd::Failed(result)) DropMemoryCopies();
            return;
        }
        if (source == nullptr) return;
        mSurfaceTouched = false;
        StretchLoop(source, clippedDest, clippedSrc, color, drawMode, false);
        FinishSurfacePath();
        return;
    }
    if (hasAlpha || hasTrans || DisplayIs3D()) {
        MemoryImage::StretchBlt(image, destRect, srcRect, clipRect, color, drawMode, false);
        return;
    }
    MemoryImage temp(app);
    temp.Create(clippedDest.width, clippedDest.height);
    temp.SlowStretchBlt(image, Rect(0, 0, clippedDest.width, clippedDest.height), clippedSrc, color, DRAWMODE_NORMAL);
    Blt(&temp, clippedDest.x, clippedDest.y, Rect(0, 0, clippedDest.width, clippedDest.height), color, drawMode);
}

void DDImage::StretchBltMirrored(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                                 const Color& color, int drawMode, bool fastStretch) {
    if (image == nullptr) return;
    image->drawn = true;
    RefreshAlphaFlags();
    if (Is3DTarget()) {
        mDDInterface->Get3DLayer()->StretchBlt(image, destRect, srcRect, &clipRect, color, drawMode, fastStretch, true);
        return;
    }
    if (mDDInterface == nullptr) return;
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    DRect clippedSrc;
    Rect clippedDest;
    if (!GetStretchRectsMirrored(srcRect, clip, destRect, clippedSrc, clippedDest)) return;
    MemoryImage* source = AsMemoryImage(image);
    if (source == nullptr) return;
    mSurfaceTouched = false;
    StretchLoop(source, clippedDest, clippedSrc, color, drawMode, true);
    FinishSurfacePath();
}

}  // namespace Velm
