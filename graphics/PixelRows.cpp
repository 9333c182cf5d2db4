// Plain and SSE2 forms of the memory-image blit rows. The SSE2 forms work four pixels at a
// time in 16-bit lanes (every product below is at most 255 * 256, so it fits); the last one to
// three pixels of a row go through the same four-pixel step on a padded copy.
#include "graphics/PixelRows.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/PixelOps.h"
#include "graphics/PixelRowsAvx2.h"

namespace Velm {
namespace PixelRows {

namespace {

inline uint32_t Ch(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// ---- Plain forms: the reference the SSE2 forms match. ----

void BlendRowPlain(uint32_t* d, const uint32_t* src, int count, const BlendTint& t) {
    for (int i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        const uint32_t pa = p >> 24;
        if (pa == 0) continue;
        const uint32_t s = t.a * pa / 255;
        if (s == 0) continue;
        uint32_t r = Ch(p, 16), g = Ch(p, 8), b = Ch(p, 0);
        if (!t.white) {
            r = r * t.r / 256;
            g = g * t.g / 256;
            b = b * t.b / 256;
        }
        d[i] = PixelOps::Over(d[i], r, g, b, s);
    }
}

void RunBlendRowPlain(uint32_t* d, const uint32_t* src, int count) {
    for (int k = 0; k < count; ++k) {
        const uint32_t p = src[k];
        const uint32_t s = p >> 24;
        const uint32_t q = d[k];
        const uint32_t r = ((Ch(q, 16) * (256 - s)) >> 8) + ((Ch(p, 16) * s) >> 8);
        const uint32_t g = ((Ch(q, 8) * (256 - s)) >> 8) + ((Ch(p, 8) * s) >> 8);
        const uint32_t b = ((Ch(q, 0) * (256 - s)) >> 8) + ((Ch(p, 0) * s) >> 8);
        d[k] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

void OverOpaqueRowPlain(uint32_t* d, const uint32_t* src, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t a = src[i] >> 24;
        if (a == 255)
            d[i] = src[i];
        else if (a != 0)
            RunBlendRowPlain(d + i, src + i, 1);
    }
}

void AddRowPlain(uint32_t* d, const uint32_t* src, int count, bool white, bool weighted, const uint32_t (&k)[3]) {
    for (int i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        uint32_t r = Ch(p, 16), g = Ch(p, 8), b = Ch(p, 0);
        if (!white) {
            r = r * k[0] / 256;
            g = g * k[1] / 256;
            b = b * k[2] / 256;
        }
        if (weighted) {
            const uint32_t s = p >> 24;
            r = (r * s) >> 8;
            g = (g * s) >> 8;
            b = (b * s) >> 8;
        }
        const uint32_t q = d[i];
        auto sat = [](uint32_t v) { return v > 255 ? 255u : v; };
        d[i] = (q & 0xFF000000u) | (sat(Ch(q, 16) + r) << 16) | (sat(Ch(q, 8) + g) << 8) | sat(Ch(q, 0) + b);
    }
}

void AddWeightedRowPlain(uint32_t* d, const uint32_t* w, int count) {
    auto sat = [](uint32_t v) { return v > 255 ? 255u : v; };
    for (int i = 0; i < count; ++i) {
        const uint32_t c = w[i];
        const uint32_t q = d[i];
        d[i] = (q & 0xFF000000u) | (sat(Ch(q, 16) + Ch(c, 16)) << 16) | (sat(Ch(q, 8) + Ch(c, 8)) << 8) |
               sat(Ch(q, 0) + Ch(c, 0));
    }
}

#if defined(__SSE2__)

// ---- SSE2 forms. ----

inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store4(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Each pixel's alpha (lane 3 of its four 16-bit lanes) in all four of its lanes.
inline __m128i SpreadAlpha(__m128i v16) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v16, 0xFF), 0xFF); }

// floor(x / 255) for 0 <= x <= 65025 in 16-bit lanes.
inline __m128i Div255(__m128i x) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
}

// (a * b) >> 8 in 16-bit lanes.
inline __m128i MulShift(__m128i a, __m128i b) { return _mm_srli_epi16(_mm_mullo_epi16(a, b), 8); }

// Runs step(d, s) over groups of four pixels; a last group of one to three is worked on padded
// copies (destination padding opaque black, source padding transparent) and copied back.
template <typename Step>
inline void InFours(uint32_t* d, const uint32_t* s, int count, Step step) {
    int i = 0;
    for (; i + 4 <= count; i += 4) step(d + i, s + i);
    const int rest = count - i;
    if (rest > 0) {
        uint32_t dPad[4] = {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
        uint32_t sPad[4] = {0, 0, 0, 0};
        std::memcpy(dPad, d + i, static_cast<size_t>(rest) * 4);
        std::memcpy(sPad, s + i, static_cast<size_t>(rest) * 4);
        step(dPad, sPad);
        std::memcpy(d + i, dPad, static_cast<size_t>(rest) * 4);
    }
}

// True when all four pixels have alpha 0.
inline bool AllTransparent(__m128i p) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(p, 24), _mm_setzero_si128())) == 0xFFFF;
}

// FullTint: the tint's alpha is 255, so s is the pixel's alpha. White: no colour tint. Both
// fixed per instance, so that the group loop carries no test of them.
template <bool FullTint, bool White>
void BlendRowSse2(uint32_t* d, const uint32_t* src, int count, const BlendTint& t) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ta = _mm_set1_epi16(static_cast<short>(t.a));
    const __m128i tint = _mm_set_epi16(0, static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b), 0,
                                       static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b));
    const __m128i full = _mm_set1_epi16(256);
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    // Over an opaque destination w = s, and s = 255 (stored as it is) works as w = 256.
    auto half = [&](__m128i p16, __m128i d16) {
        __m128i s = SpreadAlpha(p16);
        if (!FullTint) s = Div255(_mm_mullo_epi16(s, ta));
        s = _mm_add_epi16(s, _mm_srli_epi16(_mm_cmpeq_epi16(s, c255), 15));
        const __m128i c = White ? p16 : MulShift(p16, tint);
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(c, s), _mm_mullo_epi16(d16, _mm_sub_epi16(full, s))), 8);
    };
    InFours(d, src, count, [&](uint32_t* dp, const uint32_t* sp) {
        const __m128i p = Load4(sp);
        if (AllTransparent(p)) return;
        const __m128i q = Load4(dp);
        const int opaqueDst =
                _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(q, _mm_set1_epi32(0x00FFFFFF)), _mm_set1_epi32(-1)));
        if (opaqueDst != 0xFFFF) {
            // A translucent destination needs "over"'s division: the plain form.
            BlendRowPlain(dp, sp, 4, t);
            return;
        }
        const __m128i lo = half(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero));
        const __m128i hi = half(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero));
        Store4(dp, _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
    });
}

// Four source pixels p laid over four opaque destination pixels q by their own alphas:
// ((q * (256 - s)) >> 8) + ((p * s) >> 8) per channel, alpha 255.
inline __m128i RunBlendFour(__m128i p, __m128i q) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    auto half = [&](__m128i p16, __m128i d16) {
        const __m128i s = SpreadAlpha(p16);
        return _mm_add_epi16(MulShift(d16, _mm_sub_epi16(full, s)), MulShift(p16, s));
    };
    const __m128i lo = half(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero));
    return _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

void RunBlendRowSse2(uint32_t* d, const uint32_t* src, int count) {
    InFours(d, src, count, [&](uint32_t* dp, const uint32_t* sp) { Store4(dp, RunBlendFour(Load4(sp), Load4(dp))); });
}

// Groups of four: all opaque stored, all transparent skipped without a destination load, any
// other mix blended as RunBlendRowSse2 blends, its opaque pixels then taking the source word and
// its transparent ones keeping the destination's. The last one to three pixels go plainly.
void OverOpaqueRowSse2(uint32_t* d, const uint32_t* src, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    auto select = [](__m128i mask, __m128i a, __m128i b) {
        return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i p = Load4(src + i);
        const __m128i a = _mm_and_si128(p, opaque);
        const __m128i isOpaque = _mm_cmpeq_epi32(a, opaque);
        if (_mm_movemask_epi8(isOpaque) == 0xFFFF) {
            Store4(d + i, p);
            continue;
        }
        const __m128i isClear = _mm_cmpeq_epi32(a, zero);
        if (_mm_movemask_epi8(isClear) == 0xFFFF) continue;
        const __m128i q = Load4(d + i);
        Store4(d + i, select(isClear, q, select(isOpaque, p, RunBlendFour(p, q))));
    }
    OverOpaqueRowPlain(d + i, src + i, count - i);
}

template <bool White, bool Weighted>
void AddRowSse2(uint32_t* d, const uint32_t* src, int count, const uint32_t (&k)[3]) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i tint = _mm_set_epi16(0, static_cast<short>(k[0]), static_cast<short>(k[1]), static_cast<short>(k[2]),
                                       0, static_cast<short>(k[0]), static_cast<short>(k[1]), static_cast<short>(k[2]));
    auto scale = [&](__m128i p16) {
        __m128i c = p16;
        if (!White) c = MulShift(c, tint);
        if (Weighted) c = MulShift(c, SpreadAlpha(p16));
        return c;
    };
    InFours(d, src, count, [&](uint32_t* dp, const uint32_t* sp) {
        const __m128i p = Load4(sp);
        if (Weighted && AllTransparent(p)) return;  // adds nothing
        __m128i c;
        if (White && !Weighted) {
            c = p;
        } else if (White) {
            // In place in the pixel's two 16-bit halves: blue and red (the even bytes) and green
            // (an odd byte) times the alpha, which both halves hold; c * a fits 16 bits. Green's
            // product keeps its high byte where green goes, and the alpha byte comes out 0.
            const __m128i a = _mm_srli_epi32(p, 24);
            const __m128i aa = _mm_or_si128(a, _mm_slli_epi32(a, 16));
            const __m128i even = _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF));
            const __m128i odd = _mm_srli_epi16(p, 8);
            c = _mm_or_si128(_mm_srli_epi16(_mm_mullo_epi16(even, aa), 8),
                             _mm_and_si128(_mm_mullo_epi16(odd, aa), _mm_set1_epi32(0x0000FF00)));
        } else {
            c = _mm_packus_epi16(scale(_mm_unpacklo_epi8(p, zero)), scale(_mm_unpackhi_epi8(p, zero)));
        }
        Store4(dp, _mm_adds_epu8(Load4(dp), _mm_and_si128(c, colour)));
    });
}

// Eight, then four pixels a step, without a test for groups that add nothing (a zero word's add
// leaves the pixel as it is); the last one to three pixels add one at a time.
void AddWeightedRowSse2(uint32_t* d, const uint32_t* w, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i c0 = Load4(w + i);
        const __m128i c1 = Load4(w + i + 4);
        Store4(d + i, _mm_adds_epu8(Load4(d + i), c0));
        Store4(d + i + 4, _mm_adds_epu8(Load4(d + i + 4), c1));
    }
    if (i + 4 <= count) {
        Store4(d + i, _mm_adds_epu8(Load4(d + i), Load4(w + i)));
        i += 4;
    }
    for (; i < count; ++i) {
        const __m128i sum =
                _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(d[i])), _mm_cvtsi32_si128(static_cast<int>(w[i])));
        d[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(sum));
    }
}

#endif

}  // namespace

SimdLevel BestSimdLevel() {
    static const SimdLevel best = [] {
#if defined(__SSE2__)
#if defined(__x86_64__) || defined(__i386__)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vl"))
            return SimdLevel::Avx512;
        if (__builtin_cpu_supports("avx2")) return SimdLevel::Avx2;
#endif
        return SimdLevel::Sse2;
#else
        return SimdLevel::Plain;
#endif
    }();
    return best;
}

void SetSimdLevel(SimdLevel level) {
    const SimdLevel best = BestSimdLevel();
    detail::level = static_cast<int>(level) > static_cast<int>(best) ? best : level;
}

void SetSimdEnabled(bool enabled) { SetSimdLevel(enabled ? BestSimdLevel() : SimdLevel::Plain); }

void BlendRow(uint32_t* dst, const uint32_t* src, int count, const BlendTint& tint) {
#if defined(__SSE2__)
    if (Avx2Enabled()) return avx2::BlendRow(dst, src, count, tint, BlendRowPlain);
    if (SimdEnabled())
        return tint.a == 255 ? (tint.white ? BlendRowSse2<true, true>(dst, src, count, tint)
                                           : BlendRowSse2<true, false>(dst, src, count, tint))
                             : (tint.white ? BlendRowSse2<false, true>(dst, src, count, tint)
                                           : BlendRowSse2<false, false>(dst, src, count, tint));
#endif
    BlendRowPlain(dst, src, count, tint);
}

void RunBlendRow(uint32_t* dst, const uint32_t* src, int count) {
#if defined(__SSE2__)
    if (SimdEnabled()) return RunBlendRowSse2(dst, src, count);
#endif
    RunBlendRowPlain(dst, src, count);
}

void OverOpaqueRow(uint32_t* dst, const uint32_t* src, int count) {
#if defined(__SSE2__)
    if (Avx2Enabled()) return avx2::OverOpaqueRow(dst, src, count);
    if (SimdEnabled()) return OverOpaqueRowSse2(dst, src, count);
#endif
    OverOpaqueRowPlain(dst, src, count);
}

void AddRow(uint32_t* dst, const uint32_t* src, int count, bool white, bool weighted, const uint32_t (&k)[3]) {
#if defined(__SSE2__)
    if (SimdEnabled()) {
        if (white && weighted)
            AddRowSse2<true, true>(dst, src, count, k);
        else if (white)
            AddRowSse2<true, false>(dst, src, count, k);
        else if (weighted)
            AddRowSse2<false, true>(dst, src, count, k);
        else
            AddRowSse2<false, false>(dst, src, count, k);
        return;
    }
#endif
    AddRowPlain(dst, src, count, white, weighted, k);
}

void AddWeightedRow(uint32_t* dst, const uint32_t* weighted, int count) {
#if defined(__SSE2__)
    if (Avx2Enabled()) return avx2::AddWeightedRow(dst, weighted, count);
    if (SimdEnabled()) return AddWeightedRowSse2(dst, weighted, count);
#endif
    AddWeightedRowPlain(dst, weighted, count);
}

}  // namespace PixelRows
}  // namespace Velm
