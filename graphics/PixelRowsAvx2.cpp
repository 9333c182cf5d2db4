// AVX2 forms of the busiest row loops (see PixelRowsAvx2.h). Every function here is built for
// AVX2 by the pragma below, which comes after the includes so that no inline function of a
// header is built for it; the callers run them only when the processor has AVX2. The AVX2 byte
// and word operations work in each 128-bit half on its own, so each half does to its four pixels
// what the SSE2 forms do to theirs.
#include "graphics/PixelRowsAvx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace Velm {
namespace PixelRows {
namespace avx2 {

namespace {

inline __m256i Load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void Store8(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// The lanes of the first `count` (1 to 7) pixels.
inline __m256i FirstLanes(int count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// An 8-bit mask of the pixels whose 32-bit lanes in m are all ones.
inline int PixelMask(__m256i m) { return _mm256_movemask_ps(_mm256_castsi256_ps(m)); }

inline __m256i Select(__m256i mask, __m256i a, __m256i b) { return _mm256_blendv_epi8(b, a, mask); }

// Runs step(d, n) over groups of eight pixels; step(d, n, lanes) works the last one to seven
// with masked loads and stores.
template <typename Step, typename Last>
inline void InEights(uint32_t* d, const uint32_t* n, int count, Step step, Last last) {
    int i = 0;
    for (; i + 8 <= count; i += 8) step(d + i, n + i);
    if (i < count) last(d + i, n + i, FirstLanes(count - i));
}

inline __m256i MaskLoad(const uint32_t* p, __m256i lanes) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), lanes);
}
inline void MaskStore(uint32_t* p, __m256i lanes, __m256i v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), lanes, v);
}

// The first count (1 to 4) pixels at p, the other lanes 0; and back.
inline __m128i LoadShort(const uint32_t* p, int count) {
    if (count == 4) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (count == 1) return _mm_cvtsi32_si128(static_cast<int>(p[0]));
    const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return count == 2 ? two : _mm_insert_epi32(two, static_cast<int>(p[2]), 2);
}
inline void StoreShort(uint32_t* p, int count, __m128i x) {
    if (count == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x);
    } else if (count == 1) {
        p[0] = static_cast<uint32_t>(_mm_cvtsi128_si32(x));
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), x);
        if (count == 3) p[2] = static_cast<uint32_t>(_mm_extract_epi32(x, 2));
    }
}

// Runs op(v, src), which works eight pixels in all lanes, on the first count (1 to 7) pixels
// in one step through four-, two- and one-pixel loads and stores: no masked store, which is
// slow on some processors and dominates a short row. op sees zero source words past the count.
template <typename Op>
inline void ShortTail(uint32_t* d, const uint32_t* n, int count, Op op) {
    const int low = count < 4 ? count : 4, high = count - low;
    const __m128i zero = _mm_setzero_si128();
    const __m256i v = _mm256_setr_m128i(LoadShort(d, low), high > 0 ? LoadShort(d + 4, high) : zero);
    const __m256i src = _mm256_setr_m128i(LoadShort(n, low), high > 0 ? LoadShort(n + 4, high) : zero);
    const __m256i out = op(v, src);
    StoreShort(d, low, _mm256_castsi256_si128(out));
    if (high > 0) StoreShort(d + 4, high, _mm256_extracti128_si256(out, 1));
}

// The rows of a whole blit: eight(d, n) on each group of eight pixels, op(v, src) (all lanes,
// zero source words past the pixels) on the one to seven left at a row's end. Where one to four
// are left, two rows' rests share one op, a row in each 128-bit half: a glyph's row of ten is
// then one group and half an op. With prefetch the destination is fetched 32 rows ahead, as the
// surface row walks do.
template <typename Eight, typename Op>
inline void RectRows(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                     bool prefetch, Eight eight, Op op) {
    constexpr int kAhead = 32;
    const int groups = width & ~7, rest = width - groups;
    auto row = [&](uint32_t* dp, const uint32_t* np, int j) {
        if (prefetch && j + kAhead < height)
            for (int b = 0; b < width; b += 16)
                _mm_prefetch(reinterpret_cast<const char*>(dp + kAhead * dPitch + b), _MM_HINT_T0);
        for (int i = 0; i < groups; i += 8) eight(dp + i, np + i);
    };
    for (int j = 0; j < height; ++j, d += dPitch, n += nStride) {
        row(d, n, j);
        if (rest == 0) continue;
        if (rest > 4 || j + 1 == height) {
            ShortTail(d + groups, n + groups, rest, op);
            continue;
        }
        uint32_t* d1 = d + dPitch;
        const uint32_t* n1 = n + nStride;
        row(d1, n1, j + 1);
        const __m256i v = _mm256_setr_m128i(LoadShort(d + groups, rest), LoadShort(d1 + groups, rest));
        const __m256i src = _mm256_setr_m128i(LoadShort(n + groups, rest), LoadShort(n1 + groups, rest));
        const __m256i out = op(v, src);
        StoreShort(d + groups, rest, _mm256_castsi256_si128(out));
        StoreShort(d1 + groups, rest, _mm256_extracti128_si256(out, 1));
        ++j;
        d = d1;
        n = n1;
    }
}

// ---- The untinted surface blend. ----

// The low 16 bits of each pixel's 32-bit lane of w spread over the four 16-bit lanes the
// pixel takes once unpacked: the low (pixels 0 and 1 of a half) and high (2 and 3) unpackings.
inline __m256i SpreadLow(__m256i w) {
    return _mm256_shuffle_epi8(w, _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5, 0, 1, 0, 1, 0, 1, 0,
                                                   1, 4, 5, 4, 5, 4, 5, 4, 5));
}
inline __m256i SpreadHigh(__m256i w) {
    return _mm256_shuffle_epi8(w, _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13, 8, 9, 8, 9,
                                                   8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13));
}

// The untinted blend of eight pixels: each colour channel (d * (256 - a)) >> 8 (a the source
// word's alpha, the alpha byte 0) plus the source word; a = 0 keeps the destination pixel.
inline __m256i SurfaceWhiteLanes(__m256i v, __m256i src) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i inv = _mm256_sub_epi32(_mm256_set1_epi32(256), _mm256_srli_epi32(src, 24));
    const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(v, zero), SpreadLow(inv)), 8);
    const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(v, zero), SpreadHigh(inv)), 8);
    const __m256i scaled = _mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0x00FFFFFF));
    const __m256i keep = _mm256_cmpeq_epi32(_mm256_srli_epi32(src, 24), zero);
    return Select(keep, v, _mm256_add_epi32(scaled, src));
}

// ---- The tinted surface blend (DDImageBlit's TintLanes32, eight pixels a step). ----

template <bool OpaqueTint, bool Grey>
struct TintLanes {
    __m256i k;   // per 16-bit lane: the tint of the channel in that byte, 0 for the alpha byte
    __m256i ka;  // the tint's alpha in every lane

    __m256i Alone(__m256i src) const {
        const __m256i zero = _mm256_setzero_si256();
        auto half = [&](__m256i n16) { return _mm256_srli_epi16(_mm256_mullo_epi16(n16, k), 8); };
        return _mm256_packus_epi16(half(_mm256_unpacklo_epi8(src, zero)), half(_mm256_unpackhi_epi8(src, zero)));
    }

    __m256i Half(__m256i v16, __m256i n16, __m256i w) const {
        const __m256i vw = _mm256_mullo_epi16(v16, w);
        const __m256i nk = _mm256_mullo_epi16(n16, k);
        __m256i sum = _mm256_add_epi16(vw, nk);
        if constexpr (Grey) {
            // Lanes where the 16-bit sum overflowed carry out of the low channel into the high
            // one, as the grey form's shared 32-bit word does.
            const __m256i carry =
                    _mm256_andnot_si256(_mm256_cmpeq_epi16(_mm256_adds_epu16(vw, nk), sum), _mm256_set1_epi16(1));
            const __m256i low =
                    _mm256_and_si256(carry, _mm256_set_epi16(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1));
            sum = _mm256_add_epi16(sum, _mm256_slli_epi64(low, 32));
        }
        return _mm256_srli_epi16(sum, 8);
    }

    __m256i Blend(__m256i v, __m256i src) const {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i a = _mm256_srli_epi32(src, 24);
        __m256i w;
        if constexpr (OpaqueTint) {
            w = _mm256_andnot_si256(_mm256_cmpeq_epi32(a, _mm256_set1_epi32(255)),
                                    _mm256_sub_epi32(_mm256_set1_epi32(256), a));
        } else {
            const __m256i x = _mm256_mullo_epi16(a, ka);
            const __m256i div = _mm256_srli_epi16(
                    _mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8);
            w = _mm256_sub_epi32(_mm256_set1_epi32(256), div);
        }
        const __m256i lo = Half(_mm256_unpacklo_epi8(v, zero), _mm256_unpacklo_epi8(src, zero), SpreadLow(w));
        const __m256i hi = Half(_mm256_unpackhi_epi8(v, zero), _mm256_unpackhi_epi8(src, zero), SpreadHigh(w));
        const __m256i out = _mm256_and_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(0x00FFFFFF));
        return Select(_mm256_cmpeq_epi32(a, zero), v, out);
    }
};

// The rows of a whole blit in one call, so that the lanes' constants are made once per blit.
template <bool OpaqueTint, bool Grey>
void TintedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                const SurfaceTint& tint) {
    const __m128i k4 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.k));
    const TintLanes<OpaqueTint, Grey> op{_mm256_broadcastq_epi64(k4), _mm256_set1_epi16(static_cast<short>(tint.ka))};
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMax = _mm256_set1_epi32(255);
    RectRows(
            d, dPitch, n, nStride, width, height, true,
            [&](uint32_t* dp, const uint32_t* np) {
                const __m256i src = Load8(np);
                const __m256i a = _mm256_srli_epi32(src, 24);
                if (PixelMask(_mm256_cmpeq_epi32(a, zero)) == 0xFF) return;
                if constexpr (OpaqueTint) {
                    if (PixelMask(_mm256_cmpeq_epi32(a, alphaMax)) == 0xFF) {
                        Store8(dp, op.Alone(src));
                        return;
                    }
                }
                Store8(dp, op.Blend(Load8(dp), src));
            },
            [&](__m256i v, __m256i src) { return op.Blend(v, src); });
}

// ---- The additive surface blit. ----

// Saturating byte adds of the source's colour bytes (scaled (c * k) >> 8 by the tint of the
// channel in that byte unless White) onto the destination's, the alpha byte 0; pixels whose
// source colour bytes are all 0 (the whole source word when KeepOnZeroWord) keep the
// destination pixel.
template <bool White, bool KeepOnZeroWord = false>
struct AddLanes {
    __m256i k;  // per 16-bit lane: the tint of the channel in that byte, 0 for the alpha byte
    __m256i operator()(__m256i v, __m256i src) const {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
        __m256i c = _mm256_and_si256(src, colour);
        const __m256i black = _mm256_cmpeq_epi32(KeepOnZeroWord ? src : c, zero);
        if constexpr (!White) {
            const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(c, zero), k), 8);
            const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(c, zero), k), 8);
            c = _mm256_packus_epi16(lo, hi);
        }
        return Select(black, v, _mm256_and_si256(_mm256_adds_epu8(v, c), colour));
    }
};

template <bool White>
void AddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
             const uint16_t (&perByte)[4]) {
    const AddLanes<White> op{_mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(perByte)))};
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    RectRows(
            d, dPitch, n, nStride, width, height, false,
            [&](uint32_t* dp, const uint32_t* np) {
                const __m256i src = Load8(np);
                if (!_mm256_testz_si256(src, colour)) Store8(dp, op(Load8(dp), src));
            },
            op);
}

// ---- Memory-image rows. ----

// The byte shuffle that copies each pixel's alpha lane (16-bit lanes) to its four lanes: one
// shuffle where SpreadAlpha takes two.
inline __m256i AlphaLanes() {
    return _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14,
                            15, 14, 15, 14, 15);
}
inline __m256i SpreadAlpha(__m256i v16) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v16, 0xFF), 0xFF); }
inline __m256i MulShift(__m256i a, __m256i b) { return _mm256_srli_epi16(_mm256_mullo_epi16(a, b), 8); }

// Eight source pixels over eight opaque destination pixels: 255 stored, 0 keeping the
// destination, any other ((q * (256 - s)) >> 8) + ((p * s) >> 8) per channel, alpha 255.
inline __m256i OverOpaqueLanes(__m256i p, __m256i q, __m256i isOpaque, __m256i isClear) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(256);
    auto half = [&](__m256i p16, __m256i d16) {
        const __m256i s = SpreadAlpha(p16);
        return _mm256_add_epi16(MulShift(d16, _mm256_sub_epi16(full, s)), MulShift(p16, s));
    };
    const __m256i lo = half(_mm256_unpacklo_epi8(p, zero), _mm256_unpacklo_epi8(q, zero));
    const __m256i hi = half(_mm256_unpackhi_epi8(p, zero), _mm256_unpackhi_epi8(q, zero));
    const __m256i blended =
            _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
    return Select(isClear, q, Select(isOpaque, p, blended));
}

// Runs op(v, src) on the destination pixels and the source pixels row[cols[i]], eight a step,
// skipping groups of eight zero words, which op leaves as they are; the last one to seven
// through masked loads and stores. A group whose columns lie within eight words from its first
// one (any enlargement) and inside the readable words takes those eight words in one load and
// puts them in place with one permute; any other group loads its words one by one (a gather
// instruction is slower here).
template <typename Op>
inline void GatherRow(uint32_t* d, const uint32_t* row, const int32_t* cols, int count, int readable, Op op) {
    const int* base = reinterpret_cast<const int*>(row);
    const __m256i outside = _mm256_set1_epi32(~7);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const int32_t* c = cols + i;
        const __m256i offsets = _mm256_sub_epi32(Load8(reinterpret_cast<const uint32_t*>(c)), _mm256_set1_epi32(c[0]));
        __m256i src;
        if (c[0] >= 0 && c[0] <= readable - 8 && _mm256_testz_si256(offsets, outside))
            src = _mm256_permutevar8x32_epi32(Load8(row + c[0]), offsets);
        else
            src = _mm256_setr_epi32(base[c[0]], base[c[1]], base[c[2]], base[c[3]], base[c[4]], base[c[5]], base[c[6]],
                                    base[c[7]]);
        if (_mm256_testz_si256(src, src)) continue;
        Store8(d + i, op(Load8(d + i), src));
    }
    if (i < count) {
        const __m256i lanes = FirstLanes(count - i);
        const __m256i idx = _mm256_maskload_epi32(cols + i, lanes);
        const __m256i src = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), base, idx, lanes, 4);
        MaskStore(d + i, lanes, op(MaskLoad(d + i, lanes), src));
    }
}

// GatherRow on every row of a stretch.
template <typename Op>
inline void GatherRows(const GatherRect& r, Op op) {
    int v = r.v;
    uint32_t* d = r.d;
    for (int j = 0; j < r.height; ++j, v += r.dv, d += r.dPitch) {
        const size_t rowBase = static_cast<size_t>(v >> 16) * static_cast<size_t>(r.stride);
        // The words of the source from this row's start to the image's end.
        const size_t left = r.sourceWords - rowBase;
        GatherRow(d, r.source + rowBase, r.cols, r.count, left < 0x7FFFFFFF ? static_cast<int>(left) : 0x7FFFFFFF, op);
    }
}

}  // namespace

void SurfaceWhiteRow(uint32_t* d, const uint32_t* n, int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMax = _mm256_set1_epi32(255);
    InEights(
            d, n, count,
            [&](uint32_t* dp, const uint32_t* np) {
                const __m256i src = Load8(np);
                const __m256i a = _mm256_srli_epi32(src, 24);
                if (PixelMask(_mm256_cmpeq_epi32(a, alphaMax)) == 0xFF) {
                    Store8(dp, src);
                    return;
                }
                if (PixelMask(_mm256_cmpeq_epi32(a, zero)) == 0xFF) return;
                Store8(dp, SurfaceWhiteLanes(Load8(dp), src));
            },
            [&](uint32_t* dp, const uint32_t* np, __m256i lanes) {
                MaskStore(dp, lanes, SurfaceWhiteLanes(MaskLoad(dp, lanes), MaskLoad(np, lanes)));
            });
}

// ---- The grey-tinted blend onto 16-bit surfaces. ----

void Surface16GreyRect(uint16_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                       uint32_t k, uint32_t ka, uint32_t spreadMask) {
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(spreadMask));
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i kLevel = _mm256_set1_epi32(static_cast<int>(k >> 3));
    const __m256i kAlpha = _mm256_set1_epi32(static_cast<int>(ka));
    const __m256i by255 = _mm256_set1_epi32(0x8081);  // (x * 0x8081) >> 23 is x / 255 for x < 65536
    const __m256i full = _mm256_set1_epi32(256);
    const __m256i zero = _mm256_setzero_si256();
    auto spread = [&](__m256i x) { return _mm256_and_si256(_mm256_or_si256(x, _mm256_slli_epi32(x, 16)), mask); };
    auto one = [&](uint32_t v, uint32_t src) -> uint16_t {
        const uint32_t a = src >> 24;
        if (a == 0) return static_cast<uint16_t>(v);
        const uint32_t w = 256 - a * ka / 255;
        const uint32_t s =
                (((src & 0xFFFF) * 0x10001u & spreadMask) * (k >> 3) + (v * 0x10001u & spreadMask) * (w >> 3)) >> 5 &
                spreadMask;
        return static_cast<uint16_t>((s | (s >> 16)) & 0xFFFF);
    };
    for (int j = 0; j < height; ++j) {
        uint16_t* row = d + j * dPitch;
        const uint32_t* src = n + j * nStride;
        int i = 0;
        for (; i + 8 <= width; i += 8) {
            const __m256i words = Load8(src + i);
            const __m256i a = _mm256_srli_epi32(words, 24);
            const __m256i clear = _mm256_cmpeq_epi32(a, zero);
            if (PixelMask(clear) == 0xFF) continue;
            const __m128i packed = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            const __m256i v = _mm256_cvtepu16_epi32(packed);
            const __m256i w = _mm256_sub_epi32(
                    full, _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(a, kAlpha), by255), 23));
            const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(spread(_mm256_and_si256(words, low16)), kLevel),
                                                 _mm256_mullo_epi32(spread(v), _mm256_srli_epi32(w, 3)));
            const __m256i s = _mm256_and_si256(_mm256_srli_epi32(sum, 5), mask);
            __m256i out = _mm256_and_si256(_mm256_or_si256(s, _mm256_srli_epi32(s, 16)), low16);
            out = _mm256_blendv_epi8(out, v, clear);
            const __m256i halves = _mm256_permute4x64_epi64(_mm256_packus_epi32(out, out), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm256_castsi256_si128(halves));
        }
        for (; i < width; ++i) row[i] = one(row[i], src[i]);
    }
}

// ---- The opaque surface copy. ----

void SurfaceCopyRow(uint32_t* d, const uint32_t* n, int count) {
    // No masked stores (slow on some processors): short rows in two overlapping halves, longer
    // ones with a first and a last group of eight stored where they fall and the groups between
    // stored aligned to the destination, so that none is split over two cache lines. Pixels
    // stored twice get the same value both times.
    if (count < 8) {
        if (count >= 4) {
            auto copy4 = [&](int k) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + k)));
            };
            copy4(0);
            copy4(count - 4);
        } else {
            for (int k = 0; k < count; ++k) d[k] = n[k];
        }
        return;
    }
    Store8(d, Load8(n));
    int i = static_cast<int>((32 - (reinterpret_cast<uintptr_t>(d) & 31)) & 31) / 4;
    auto store = [&](int k, __m256i v) { _mm256_store_si256(reinterpret_cast<__m256i*>(d + k), v); };
    // One group a step, in address order: stores issued out of order (as an unrolled pair may be
    // scheduled) measured up to a third slower on the surface.
    for (; i + 8 <= count; i += 8) store(i, Load8(n + i));
    if (i < count) Store8(d + count - 8, Load8(n + count - 8));
}

// ---- The untinted surface blend from a palettised source. ----

namespace {

// The palette words of eight index bytes read forward (Step 1) or backward (Step -1) from i,
// each looked up on its own: the gather instruction is slower on the processors this runs on.
template <int Step>
inline __m256i LookUp8(const int* p, const uint8_t* i) {
    return _mm256_setr_epi32(p[i[0]], p[i[Step]], p[i[2 * Step]], p[i[3 * Step]], p[i[4 * Step]], p[i[5 * Step]],
                             p[i[6 * Step]], p[i[7 * Step]]);
}

// SurfaceWhiteIndexedRow with pixel k from at[k * Step].
template <int Step>
inline void WhiteIndexedRow(uint32_t* d, const int* palette, const uint8_t* at, int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMax = _mm256_set1_epi32(255);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i src = LookUp8<Step>(palette, at + i * Step);
        const __m256i a = _mm256_srli_epi32(src, 24);
        if (PixelMask(_mm256_cmpeq_epi32(a, alphaMax)) == 0xFF) {
            Store8(d + i, src);
            continue;
        }
        if (PixelMask(_mm256_cmpeq_epi32(a, zero)) == 0xFF) continue;
        Store8(d + i, SurfaceWhiteLanes(Load8(d + i), src));
    }
    if (i < count) {
        alignas(32) int last[8] = {};
        for (int k = 0; i + k < count; ++k) last[k] = palette[at[(i + k) * Step]];
        const __m256i lanes = FirstLanes(count - i);
        MaskStore(d + i, lanes, SurfaceWhiteLanes(MaskLoad(d + i, lanes), Load8(reinterpret_cast<uint32_t*>(last))));
    }
}

}  // namespace

void SurfaceWhiteIndexedRow(uint32_t* d, const uint32_t* palette, const uint8_t* indices, int count, bool mirror) {
    const int* words = reinterpret_cast<const int*>(palette);
    if (mirror)
        WhiteIndexedRow<-1>(d, words, indices + count - 1, count);
    else
        WhiteIndexedRow<1>(d, words, indices, count);
}

void SurfaceFillRow(uint32_t* p, int count, uint32_t f, uint32_t inv) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i scale = _mm256_set1_epi16(static_cast<short>(inv));
    const __m256i fill = _mm256_set1_epi32(static_cast<int>(f));
    const __m256i channels = _mm256_set1_epi32(0x00FFFFFF);
    auto lanes = [&](__m256i v) {
        const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(v, zero), scale), 8);
        const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(v, zero), scale), 8);
        return _mm256_add_epi8(_mm256_and_si256(_mm256_packus_epi16(lo, hi), channels), fill);
    };
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i a = Load8(p + i);
        const __m256i b = Load8(p + i + 8);
        Store8(p + i, lanes(a));
        Store8(p + i + 8, lanes(b));
    }
    for (; i + 8 <= count; i += 8) Store8(p + i, lanes(Load8(p + i)));
    if (i < count) {
        const __m256i m = FirstLanes(count - i);
        MaskStore(p + i, m, lanes(MaskLoad(p + i, m)));
    }
}

int UnturnedBilinearRow(uint32_t* d, int count, const uint32_t* top, const uint32_t* bottom,
                        const uint32_t (&weight)[4]) {
    const __m256i wLT = _mm256_set1_epi16(static_cast<short>(weight[0]));
    const __m256i wRT = _mm256_set1_epi16(static_cast<short>(weight[1]));
    const __m256i wLB = _mm256_set1_epi16(static_cast<short>(weight[2]));
    const __m256i wRB = _mm256_set1_epi16(static_cast<short>(weight[3]));
    const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i alphaLanes = AlphaLanes();
    auto texels = [&](const uint32_t* p) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    };
    // Pixels j..j+3 in 16-bit lanes (j and j + 1 in the low half, j + 2 and j + 3 in the high
    // one): the sums and alpha weights as the SSE2 form's pixel pairs have them.
    auto four = [&](int j) {
        const __m256i lt = texels(top + j), rt = texels(top + j + 1);
        const __m256i lb = texels(bottom + j), rb = texels(bottom + j + 1);
        const __m256i aLT = _mm256_mulhi_epu16(wLT, _mm256_shuffle_epi8(lt, alphaLanes));
        const __m256i aRT = _mm256_mulhi_epu16(wRT, _mm256_shuffle_epi8(rt, alphaLanes));
        const __m256i aLB = _mm256_mulhi_epu16(wLB, _mm256_shuffle_epi8(lb, alphaLanes));
        const __m256i aRB = _mm256_mulhi_epu16(wRB, _mm256_shuffle_epi8(rb, alphaLanes));
        const __m256i sums =
                _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(lt, aLT), _mm256_mullo_epi16(rt, aRT)),
                                 _mm256_add_epi16(_mm256_mullo_epi16(lb, aLB), _mm256_mullo_epi16(rb, aRB)));
        const __m256i A = _mm256_add_epi16(_mm256_add_epi16(aLT, aRT), _mm256_add_epi16(aLB, aRB));
        const __m256i dest = texels(d + j);
        return _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_and_si256(sums, high), _mm256_mullo_epi16(dest, _mm256_sub_epi16(full, A))), 8);
    };
    const __m256i channels = _mm256_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        // The pack interleaves the 64-bit quarters: j, j + 1 | j + 4, j + 5 | j + 2, j + 3 | ...
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(four(i), four(i + 4)), 0xD8);
        Store8(d + i, _mm256_and_si256(packed, channels));
    }
    if (i + 4 <= count) {
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(four(i), four(i)), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_and_si128(_mm256_castsi256_si128(packed), _mm_set1_epi32(0x00FFFFFF)));
        i += 4;
    }
    return i;
}

int TurnedBilinearRow(uint32_t* d, int count, const uint32_t* pixels, int stride, int u0, int v0, int du, int dv) {
    const size_t rowStep = static_cast<size_t>(stride);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i left = _mm256_set_epi32(0, 0, -1, -1, 0, 0, -1, -1);
    const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i channels = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i alphaLanes = AlphaLanes();
    // The texel pairs at pa and pb in 16-bit lanes, pa's in the low half: broadcast loads and a
    // blend, leaving the shuffle port one unpack.
    auto pairs = [&](const uint32_t* pa, const uint32_t* pb) {
        const __m256i a = _mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pa)));
        const __m256i b = _mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pb)));
        return _mm256_unpacklo_epi8(_mm256_blend_epi32(a, b, 0xF0), zero);
    };
    auto at = [&](int u, int v) {
        return pixels + static_cast<size_t>(v >> 16) * rowStep + static_cast<size_t>(u >> 16);
    };
    // Two samples, one per 128-bit half, unfolded as the SSE2 sampler's (lanes 0..3 of a half
    // the left texels' part, lanes 4..7 the right ones'), their fractions the low 16 bits of u
    // and v in uLanes and vLanes.
    auto unfolded = [&](const uint32_t* pa, const uint32_t* pb, __m256i uLanes, __m256i vLanes, __m256i& A) {
        const __m256i top = pairs(pa, pb);
        const __m256i bottom = pairs(pa + rowStep, pb + rowStep);
        const __m256i fx = _mm256_or_si256(uLanes, one), fy = _mm256_or_si256(vLanes, one);
        const __m256i across = _mm256_sub_epi16(_mm256_xor_si256(fx, left), left);
        const __m256i wTop = _mm256_mulhi_epu16(across, _mm256_sub_epi16(zero, fy));
        const __m256i wBottom = _mm256_mulhi_epu16(across, fy);
        const __m256i aTop = _mm256_mulhi_epu16(wTop, _mm256_shuffle_epi8(top, alphaLanes));
        const __m256i aBottom = _mm256_mulhi_epu16(wBottom, _mm256_shuffle_epi8(bottom, alphaLanes));
        A = _mm256_add_epi16(aTop, aBottom);
        return _mm256_add_epi16(_mm256_mullo_epi16(top, aTop), _mm256_mullo_epi16(bottom, aBottom));
    };
    // The fractions of pixels 0 and 2 of each four (x) and of 1 and 3 (y), stepped four pixels
    // at a time: 16-bit sums wrap as the low bits of u and v do.
    auto lanes = [&](int a, int b) { return _mm256_setr_m128i(_mm_set1_epi16(short(a)), _mm_set1_epi16(short(b))); };
    __m256i uX = lanes(u0, u0 + 2 * du), uY = lanes(u0 + du, u0 + 3 * du);
    __m256i vX = lanes(v0, v0 + 2 * dv), vY = lanes(v0 + dv, v0 + 3 * dv);
    const __m256i du4 = _mm256_set1_epi16(static_cast<short>(4 * du)),
                  dv4 = _mm256_set1_epi16(static_cast<short>(4 * dv));
    int u = u0, v = v0;
    // Four pixels from d + j in 16-bit lanes, 0 and 1 in the low half, 2 and 3 in the high one.
    auto four = [&](int j) {
        __m256i ax, ay;
        const __m256i sx = unfolded(at(u, v), at(u + 2 * du, v + 2 * dv), uX, vX, ax);
        const __m256i sy = unfolded(at(u + du, v + dv), at(u + 3 * du, v + 3 * dv), uY, vY, ay);
        u += 4 * du;
        v += 4 * dv;
        uX = _mm256_add_epi16(uX, du4);
        uY = _mm256_add_epi16(uY, du4);
        vX = _mm256_add_epi16(vX, dv4);
        vY = _mm256_add_epi16(vY, dv4);
        const __m256i A = _mm256_add_epi16(_mm256_unpacklo_epi64(ax, ay), _mm256_unpackhi_epi64(ax, ay));
        const __m256i sums = _mm256_add_epi16(_mm256_unpacklo_epi64(sx, sy), _mm256_unpackhi_epi64(sx, sy));
        const __m256i dest = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + j)));
        return _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_and_si256(sums, high), _mm256_mullo_epi16(dest, _mm256_sub_epi16(full, A))), 8);
    };
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i first = four(i);
        const __m256i second = four(i + 4);
        // Packed: pixels 0, 1 | 4, 5 | 2, 3 | 6, 7 by quarters; back in order.
        Store8(d + i, _mm256_and_si256(_mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8), channels));
    }
    if (i + 4 <= count) {
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(four(i), zero), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_and_si128(_mm256_castsi256_si128(packed), _mm256_castsi256_si128(channels)));
        i += 4;
    }
    return i;
}

void SurfaceWhiteGatherRect(const GatherRect& rect) {
    GatherRows(rect, [&](__m256i v, __m256i src) { return SurfaceWhiteLanes(v, src); });
}

void SurfaceAddGatherRect(const GatherRect& rect, const uint16_t (&perByte)[4], bool white) {
    const __m256i k = _mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(perByte)));
    if (white)
        GatherRows(rect, AddLanes<true, true>{k});
    else
        GatherRows(rect, AddLanes<false, true>{k});
}

void SurfaceTintedGatherRect(const GatherRect& rect, const uint16_t (&perByte)[4], uint32_t colorAlpha) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k = _mm256_broadcastq_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(perByte)));
    const __m256i ca = _mm256_set1_epi16(static_cast<short>(colorAlpha));
    const __m256i channels = _mm256_set1_epi32(0x00FFFFFF);
    GatherRows(rect, [&](__m256i v, __m256i src) {
        // e = a * colorAlpha / 255 in the low 16 bits of each pixel's 32-bit lane: the high
        // halves hold 0 through every step.
        const __m256i a32 = _mm256_srli_epi32(src, 24);
        const __m256i e32 =
                _mm256_srli_epi16(_mm256_mulhi_epu16(_mm256_mullo_epi16(a32, ca), _mm256_set1_epi16(-0x7F7F)), 7);
        const __m256i inv = _mm256_sub_epi32(_mm256_set1_epi32(256), e32);
        auto half = [&](__m256i d16, __m256i s16, __m256i w) {
            return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(d16, w), _mm256_mullo_epi16(s16, k)), 8);
        };
        const __m256i lo = half(_mm256_unpacklo_epi8(v, zero), _mm256_unpacklo_epi8(src, zero), SpreadLow(inv));
        const __m256i hi = half(_mm256_unpackhi_epi8(v, zero), _mm256_unpackhi_epi8(src, zero), SpreadHigh(inv));
        const __m256i out = _mm256_and_si256(_mm256_packus_epi16(lo, hi), channels);
        return Select(_mm256_cmpeq_epi32(e32, zero), v, out);
    });
}

void SurfaceAddRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                    const uint16_t (&perByte)[4], bool white) {
    white ? AddRect<true>(d, dPitch, n, nStride, width, height, perByte)
          : AddRect<false>(d, dPitch, n, nStride, width, height, perByte);
}

void SurfaceTintedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                       const SurfaceTint& tint) {
    auto run = [&](auto rect) { rect(d, dPitch, n, nStride, width, height, tint); };
    if (tint.ka == 255)
        tint.grey ? run(TintedRect<true, true>) : run(TintedRect<true, false>);
    else
        tint.grey ? run(TintedRect<false, true>) : run(TintedRect<false, false>);
}

namespace {

// FullTint: the tint's alpha is 255, so s is the pixel's alpha. White: no colour tint.
template <bool FullTint, bool White>
void BlendRowFor(uint32_t* d, const uint32_t* src, int count, const BlendTint& t,
                 void (*plain)(uint32_t*, const uint32_t*, int, const BlendTint&)) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ta = _mm256_set1_epi16(static_cast<short>(t.a));
    const __m256i tint = _mm256_set_epi16(0, static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b),
                                          0, static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b),
                                          0, static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b),
                                          0, static_cast<short>(t.r), static_cast<short>(t.g), static_cast<short>(t.b));
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i c255 = _mm256_set1_epi16(255);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    // Over an opaque destination w = s, and s = 255 (stored as it is) works as w = 256.
    auto half = [&](__m256i p16, __m256i d16) {
        __m256i s = SpreadAlpha(p16);
        if (!FullTint) {
            const __m256i x = _mm256_mullo_epi16(s, ta);
            s = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)),
                                  8);
        }
        s = _mm256_add_epi16(s, _mm256_srli_epi16(_mm256_cmpeq_epi16(s, c255), 15));
        const __m256i c = White ? p16 : MulShift(p16, tint);
        return _mm256_srli_epi16(
                _mm256_add_epi16(_mm256_mullo_epi16(c, s), _mm256_mullo_epi16(d16, _mm256_sub_epi16(full, s))), 8);
    };
    auto lanes = [&](__m256i p, __m256i q) {
        const __m256i lo = half(_mm256_unpacklo_epi8(p, zero), _mm256_unpacklo_epi8(q, zero));
        const __m256i hi = half(_mm256_unpackhi_epi8(p, zero), _mm256_unpackhi_epi8(q, zero));
        return _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque);
    };
    auto allOpaque = [&](__m256i q) {
        return PixelMask(_mm256_cmpeq_epi32(_mm256_and_si256(q, opaque), opaque)) == 0xFF;
    };
    // With the tint's alpha 255 an opaque pixel has s = 255 and is stored as its tinted colour,
    // whatever lies under it: a group of eight such needs no destination load, and a group of
    // only opaque and clear pixels none of the blend.
    auto alone = [&](__m256i p) {
        if (White) return p;
        const __m256i lo = MulShift(_mm256_unpacklo_epi8(p, zero), tint);
        const __m256i hi = MulShift(_mm256_unpackhi_epi8(p, zero), tint);
        return _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque);
    };
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i p = Load8(src + i);
        const __m256i a = _mm256_and_si256(p, opaque);
        const int opaqueMask = PixelMask(_mm256_cmpeq_epi32(a, opaque));
        if (FullTint && opaqueMask == 0xFF) {
            Store8(d + i, alone(p));
            continue;
        }
        const __m256i isClear = _mm256_cmpeq_epi32(a, zero);
        const int clearMask = PixelMask(isClear);
        if (clearMask == 0xFF) continue;
        const __m256i q = Load8(d + i);
        if (FullTint && (opaqueMask | clearMask) == 0xFF) {
            Store8(d + i, Select(isClear, q, alone(p)));
            continue;
        }
        if (!allOpaque(q)) {
            // A translucent destination needs "over"'s division: the plain form.
            plain(d + i, src + i, 8, t);
            continue;
        }
        Store8(d + i, lanes(p, q));
    }
    if (i < count) {
        // Past the row, transparent source pixels over opaque black.
        const __m256i m = FirstLanes(count - i);
        const __m256i p = MaskLoad(src + i, m);
        const __m256i q = Select(m, MaskLoad(d + i, m), opaque);
        if (!allOpaque(q))
            plain(d + i, src + i, count - i, t);
        else
            MaskStore(d + i, m, lanes(p, q));
    }
}

}  // namespace

void BlendRow(uint32_t* d, const uint32_t* src, int count, const BlendTint& tint,
              void (*plain)(uint32_t*, const uint32_t*, int, const BlendTint&)) {
    if (tint.a == 255)
        tint.white ? BlendRowFor<true, true>(d, src, count, tint, plain)
                   : BlendRowFor<true, false>(d, src, count, tint, plain);
    else
        tint.white ? BlendRowFor<false, true>(d, src, count, tint, plain)
                   : BlendRowFor<false, false>(d, src, count, tint, plain);
}

void OverOpaqueRow(uint32_t* d, const uint32_t* src, int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    InEights(
            d, src, count,
            [&](uint32_t* dp, const uint32_t* sp) {
                const __m256i p = Load8(sp);
                const __m256i a = _mm256_and_si256(p, opaque);
                const __m256i isOpaque = _mm256_cmpeq_epi32(a, opaque);
                if (PixelMask(isOpaque) == 0xFF) {
                    Store8(dp, p);
                    return;
                }
                const __m256i isClear = _mm256_cmpeq_epi32(a, zero);
                if (PixelMask(isClear) == 0xFF) return;
                Store8(dp, OverOpaqueLanes(p, Load8(dp), isOpaque, isClear));
            },
            [&](uint32_t* dp, const uint32_t* sp, __m256i lanes) {
                const __m256i p = MaskLoad(sp, lanes);
                const __m256i a = _mm256_and_si256(p, opaque);
                MaskStore(dp, lanes,
                          OverOpaqueLanes(p, MaskLoad(dp, lanes), _mm256_cmpeq_epi32(a, opaque),
                                          _mm256_cmpeq_epi32(a, zero)));
            });
}

void AddWeightedRow(uint32_t* d, const uint32_t* w, int count) {
    // No test for groups that add nothing: a zero word's add leaves the pixel as it is, and a
    // branch per group costs more than the stores it would save.
    InEights(
            d, w, count, [&](uint32_t* dp, const uint32_t* wp) { Store8(dp, _mm256_adds_epu8(Load8(dp), Load8(wp))); },
            [&](uint32_t* dp, const uint32_t* wp, __m256i lanes) {
                MaskStore(dp, lanes, _mm256_adds_epu8(MaskLoad(dp, lanes), MaskLoad(wp, lanes)));
            });
}

}  // namespace avx2
}  // namespace PixelRows
}  // namespace Velm

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// ---- Palettised and tinted rectangles in AVX-512 (F, BW and VL), outside the AVX2 pragma: each
// function here names its own target. ----

#define AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))

namespace Velm {
namespace PixelRows {
namespace avx512 {

namespace {

// The plain forms of these two (and of the 64-bit broadcast the tinted rectangle takes) leave
// the unused lanes undefined, which GCC 12 reports as uninitialised; the zero-masked forms with
// every lane set are the same instructions.
AVX512 inline __m512i Alphas(__m512i v) { return _mm512_maskz_srli_epi32(0xFFFF, v, 24); }
AVX512 inline __m512i WidenBytes(__m128i bytes) { return _mm512_maskz_cvtepu8_epi32(0xFFFF, bytes); }

// The whole palette in sixteen 512-bit registers, sixteen words each.
struct PaletteTables {
    __m512i t[16];
};

// The palette words of sixteen index bytes: each permute looks the low five bits up in one pair
// of tables (32 words), and bits 5, 6 and 7 pick among the eight pairs' results.
AVX512 inline __m512i LookUp16(const PaletteTables& p, __m128i bytes) {
    const __m512i idx = WidenBytes(bytes);
    __m512i r[8];
    for (int j = 0; j < 8; ++j) r[j] = _mm512_permutex2var_epi32(p.t[2 * j], idx, p.t[2 * j + 1]);
    const __mmask16 b5 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(32));
    const __mmask16 b6 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(64));
    const __mmask16 b7 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(128));
    for (int j = 0; j < 8; j += 2) r[j] = _mm512_mask_mov_epi32(r[j], b5, r[j + 1]);
    r[0] = _mm512_mask_mov_epi32(r[0], b6, r[2]);
    r[4] = _mm512_mask_mov_epi32(r[4], b6, r[6]);
    return _mm512_mask_mov_epi32(r[0], b7, r[4]);
}

// avx2's SpreadLow and SpreadHigh on sixteen pixels.
AVX512 inline __m512i SpreadLow16(__m512i w) {
    return _mm512_shuffle_epi8(w, _mm512_set4_epi32(0x05040504, 0x05040504, 0x01000100, 0x01000100));
}
AVX512 inline __m512i SpreadHigh16(__m512i w) {
    return _mm512_shuffle_epi8(w, _mm512_set4_epi32(0x0D0C0D0C, 0x0D0C0D0C, 0x09080908, 0x09080908));
}

// The destination row 32 rows ahead of row d, as the blits' row walks prefetch it.
AVX512 inline void PrefetchAhead(const uint32_t* d, ptrdiff_t dPitch, int width) {
    const char* ahead = reinterpret_cast<const char*>(d + 32 * dPitch);
    for (int b = 0; b < width * 4; b += 64) __builtin_prefetch(ahead + b, 1);
}

// SurfaceWhiteLanes on sixteen pixels.
AVX512 inline __m512i WhiteLanes16(__m512i v, __m512i src) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i inv = _mm512_sub_epi32(_mm512_set1_epi32(256), Alphas(src));
    const __m512i lo = _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(v, zero), SpreadLow16(inv)), 8);
    const __m512i hi = _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(v, zero), SpreadHigh16(inv)), 8);
    const __m512i scaled = _mm512_and_si512(_mm512_packus_epi16(lo, hi), _mm512_set1_epi32(0x00FFFFFF));
    return _mm512_add_epi32(scaled, src);
}

template <int Step>
AVX512 inline void WhiteIndexedRow512(uint32_t* d, const PaletteTables& tables, const uint8_t* idx, int count) {
    const __m128i reverse = _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i alphaMax = _mm512_set1_epi32(255);
    const __m512i zero = _mm512_setzero_si512();
    int k = 0;
    for (; k + 16 <= count; k += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(idx + k));
        if (Step == -1) bytes = _mm_shuffle_epi8(bytes, reverse);
        const __m512i src = LookUp16(tables, bytes);
        uint32_t* p = Step == 1 ? d + k : d + count - k - 16;
        const __m512i a = Alphas(src);
        const __mmask16 opaque = _mm512_cmpeq_epi32_mask(a, alphaMax);
        if (opaque == 0xFFFF) {
            _mm512_storeu_si512(p, src);
            continue;
        }
        const __mmask16 keep = _mm512_cmpeq_epi32_mask(a, zero);
        if (keep == 0xFFFF) continue;
        _mm512_mask_storeu_epi32(p, static_cast<__mmask16>(~keep), WhiteLanes16(_mm512_loadu_si512(p), src));
    }
    if (k == count) return;
    // The last one to fifteen pixels through masked loads and stores.
    const int n = count - k;
    const __mmask16 lanes = static_cast<__mmask16>((1u << n) - 1);
    __m128i bytes = _mm_maskz_loadu_epi8(lanes, idx + k);
    if (Step == -1)
        bytes = _mm_shuffle_epi8(bytes,
                                 _mm_sub_epi8(_mm_set1_epi8(static_cast<char>(n - 1)),
                                              _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15)));
    const __m512i src = LookUp16(tables, bytes);
    uint32_t* p = Step == 1 ? d + k : d;
    const __mmask16 draw = lanes & static_cast<__mmask16>(~_mm512_cmpeq_epi32_mask(Alphas(src), zero));
    _mm512_mask_storeu_epi32(p, draw, WhiteLanes16(_mm512_maskz_loadu_epi32(lanes, p), src));
}

template <int Step>
AVX512 void WhiteIndexedRect512(uint32_t* d, ptrdiff_t dPitch, const uint32_t* palette, const uint8_t* idx,
                                ptrdiff_t iStride, int width, int height) {
    PaletteTables tables;
    for (int j = 0; j < 16; ++j) tables.t[j] = _mm512_loadu_si512(palette + 16 * j);
    for (int j = 0; j < height; ++j) {
        if (j + 32 < height) PrefetchAhead(d + j * dPitch, dPitch, width);
        WhiteIndexedRow512<Step>(d + j * dPitch, tables, idx + j * iStride, width);
    }
}

// TintLanes on sixteen pixels.
template <bool OpaqueTint, bool Grey>
struct TintLanes16 {
    __m512i k;   // per 16-bit lane: the tint of the channel in that byte, 0 for the alpha byte
    __m512i ka;  // the tint's alpha in every lane

    AVX512 __m512i Alone(__m512i src) const {
        const __m512i zero = _mm512_setzero_si512();
        const __m512i lo = _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_unpacklo_epi8(src, zero), k), 8);
        const __m512i hi = _mm512_srli_epi16(_mm512_mullo_epi16(_mm512_unpackhi_epi8(src, zero), k), 8);
        return _mm512_packus_epi16(lo, hi);
    }

    AVX512 __m512i Half(__m512i v16, __m512i n16, __m512i w) const {
        const __m512i vw = _mm512_mullo_epi16(v16, w);
        const __m512i nk = _mm512_mullo_epi16(n16, k);
        __m512i sum = _mm512_add_epi16(vw, nk);
        if constexpr (Grey) {
            // A blue sum that overflowed carries into the red lane two above it, as the grey
            // form's shared 32-bit word does.
            const __mmask32 wrapped = _mm512_cmpneq_epi16_mask(_mm512_adds_epu16(vw, nk), sum) & 0x11111111u;
            sum = _mm512_mask_add_epi16(sum, wrapped << 2, sum, _mm512_set1_epi16(1));
        }
        return _mm512_srli_epi16(sum, 8);
    }

    AVX512 __m512i Blend(__m512i v, __m512i src) const {
        const __m512i zero = _mm512_setzero_si512();
        const __m512i a = Alphas(src);
        __m512i w;
        if constexpr (OpaqueTint) {
            w = _mm512_maskz_sub_epi32(_mm512_cmpneq_epi32_mask(a, _mm512_set1_epi32(255)), _mm512_set1_epi32(256), a);
        } else {
            const __m512i x = _mm512_mullo_epi16(a, ka);
            const __m512i div = _mm512_srli_epi16(
                    _mm512_add_epi16(_mm512_add_epi16(x, _mm512_set1_epi16(1)), _mm512_srli_epi16(x, 8)), 8);
            w = _mm512_sub_epi32(_mm512_set1_epi32(256), div);
        }
        const __m512i lo = Half(_mm512_unpacklo_epi8(v, zero), _mm512_unpacklo_epi8(src, zero), SpreadLow16(w));
        const __m512i hi = Half(_mm512_unpackhi_epi8(v, zero), _mm512_unpackhi_epi8(src, zero), SpreadHigh16(w));
        const __m512i out = _mm512_and_si512(_mm512_packus_epi16(lo, hi), _mm512_set1_epi32(0x00FFFFFF));
        return _mm512_mask_mov_epi32(out, _mm512_cmpeq_epi32_mask(a, zero), v);
    }
};

template <bool OpaqueTint, bool Grey>
AVX512 void TintedRect512(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width, int height,
                          const avx2::SurfaceTint& tint) {
    const TintLanes16<OpaqueTint, Grey> op{
            _mm512_maskz_broadcastq_epi64(0xFF, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(tint.k))),
            _mm512_set1_epi16(static_cast<short>(tint.ka))};
    const __m512i zero = _mm512_setzero_si512();
    const __m512i alphaMax = _mm512_set1_epi32(255);
    const int groups = width & ~15;
    const __mmask16 last = static_cast<__mmask16>((1u << (width - groups)) - 1);
    for (int j = 0; j < height; ++j, d += dPitch, n += nStride) {
        if (j + 32 < height) PrefetchAhead(d, dPitch, width);
        for (int i = 0; i < groups; i += 16) {
            const __m512i src = _mm512_loadu_si512(n + i);
            const __m512i a = Alphas(src);
            if (_mm512_cmpeq_epi32_mask(a, zero) == 0xFFFF) continue;
            if constexpr (OpaqueTint) {
                if (_mm512_cmpeq_epi32_mask(a, alphaMax) == 0xFFFF) {
                    _mm512_storeu_si512(d + i, op.Alone(src));
                    continue;
                }
            }
            _mm512_storeu_si512(d + i, op.Blend(_mm512_loadu_si512(d + i), src));
        }
        if (last == 0) continue;
        const __m512i src = _mm512_maskz_loadu_epi32(last, n + groups);
        const __mmask16 draw = last & static_cast<__mmask16>(~_mm512_cmpeq_epi32_mask(Alphas(src), zero));
        if (draw == 0) continue;
        _mm512_mask_storeu_epi32(d + groups, draw, op.Blend(_mm512_maskz_loadu_epi32(last, d + groups), src));
    }
}

}  // namespace

AVX512 void SurfaceWhiteIndexedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* palette, const uint8_t* indices,
                                    ptrdiff_t iStride, int width, int height, bool mirror) {
    if (mirror)
        WhiteIndexedRect512<-1>(d, dPitch, palette, indices, iStride, width, height);
    else
        WhiteIndexedRect512<1>(d, dPitch, palette, indices, iStride, width, height);
}

AVX512 void SurfaceTintedRect(uint32_t* d, ptrdiff_t dPitch, const uint32_t* n, ptrdiff_t nStride, int width,
                              int height, const avx2::SurfaceTint& tint) {
    if (tint.ka == 255)
        tint.grey ? TintedRect512<true, true>(d, dPitch, n, nStride, width, height, tint)
                  : TintedRect512<true, false>(d, dPitch, n, nStride, width, height, tint);
    else
        tint.grey ? TintedRect512<false, true>(d, dPitch, n, nStride, width, height, tint)
                  : TintedRect512<false, false>(d, dPitch, n, nStride, width, height, tint);
}

}  // namespace avx512
}  // namespace PixelRows
}  // namespace Velm

#undef AVX512

#endif
