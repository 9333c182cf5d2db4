#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Row loops of the memory-image blits, each in a plain form and (on x86-64) an SSE2 form that
// gives the same pixels bit for bit; the busiest also have an AVX2 form, eight pixels a step,
// used where the processor has AVX2. Callers in graphics/ pass one row of 32-bit ARGB source
// pixels and the destination row they land on; which form runs is chosen at run time by
// SetSimdLevel (the best the processor has by default), so that tests can run every form.
namespace Velm {
namespace PixelRows {

// The forms, each including the one before it: the AVX2 level runs the SSE2 forms of the
// loops that have no AVX2 form, the AVX-512 level (F, BW and VL) the AVX2 forms of those that
// have no AVX-512 form.
enum class SimdLevel { Plain, Sse2, Avx2, Avx512 };

// The best level this build and processor have: SSE2 where built in, AVX2 or AVX-512 where
// the processor also reports it (asked once).
SimdLevel BestSimdLevel();

namespace detail {
// Zero (plain) until the start-up detection runs: a blit from another static initialiser
// takes the plain forms, which give the same pixels.
inline SimdLevel level = BestSimdLevel();
}  // namespace detail

inline SimdLevel GetSimdLevel() { return detail::level; }
// Sets the level, lowered to BestSimdLevel() when asked for more. Not thread-safe against
// blits in flight: tests and start-up only.
void SetSimdLevel(SimdLevel level);

// True when the SSE2 forms (or better) are switched on. Inline: the row walks ask per run.
inline bool SimdEnabled() { return detail::level != SimdLevel::Plain; }
// True when the AVX2 forms are switched on.
inline bool Avx2Enabled() { return static_cast<int>(detail::level) >= static_cast<int>(SimdLevel::Avx2); }
// True when the AVX-512 forms are switched on.
inline bool Avx512Enabled() { return detail::level == SimdLevel::Avx512; }
// Switches to the best level, or to the plain forms.
void SetSimdEnabled(bool enabled);

// The normal blit's blend: alpha s = ta * pa / 255 of tint alpha ta and pixel alpha pa, the
// colour scaled by the tint ((c * t) >> 8) unless white, laid "over" the destination pixel.
struct BlendTint {
    bool white = true;
    uint32_t r = 255, g = 255, b = 255, a = 255;
};
void BlendRow(uint32_t* dst, const uint32_t* src, int count, const BlendTint& tint);

// Copies count pixels (an opaque run). The SSE2 form stores four pixels at a time, the last
// store overlapping the one before it when count is not a multiple of four. Inline: the run
// walks call it once per opaque run.
inline void CopyRow(uint32_t* d, const uint32_t* n, int count) {
#if defined(__SSE2__)
    if (count >= 4 && SimdEnabled()) {
        auto load = [](const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
        auto store = [](uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); };
        int i = 0;
        for (; i + 8 <= count; i += 8) {
            const __m128i a = load(n + i);
            const __m128i b = load(n + i + 4);
            store(d + i, a);
            store(d + i + 4, b);
        }
        if (i + 4 <= count) {
            store(d + i, load(n + i));
            i += 4;
        }
        if (i < count) store(d + count - 4, load(n + count - 4));
        return;
    }
#endif
    for (int i = 0; i < count; ++i) d[i] = n[i];
}

// A translucent run over an opaque destination: c = ((d * (256 - s)) >> 8) + ((c * s) >> 8)
// with s the source pixel's alpha; the result is opaque.
void RunBlendRow(uint32_t* dst, const uint32_t* src, int count);

// A row of mixed pixels over an opaque destination, each by its own alpha: 255 copied, 0
// leaving the destination pixel as it is, any other blended as RunBlendRow blends it; the same
// pixels as walking the row's alpha runs with CopyRow and RunBlendRow.
void OverOpaqueRow(uint32_t* dst, const uint32_t* src, int count);

// The additive blit: the source's colour channels (times k / 256 unless white, times the
// pixel's alpha / 256 when weighted) added to the destination's, saturating at 255; the
// destination keeps its alpha.
void AddRow(uint32_t* dst, const uint32_t* src, int count, bool white, bool weighted, const uint32_t (&k)[3]);

// One pixel's untinted, alpha-weighted additive colour: each colour channel times the pixel's
// alpha, (c * a) >> 8 as AddRow weights it, and the alpha byte 0. A pure function of the
// pixel, so memory images keep it per pixel (MemoryImage::GetWeightedAddData).
inline uint32_t AddWeight(uint32_t p) {
    const uint32_t a = p >> 24;
    return ((((p >> 16) & 0xFF) * a) >> 8) << 16 | ((((p >> 8) & 0xFF) * a) >> 8) << 8 | (((p & 0xFF) * a) >> 8);
}

// The untinted weighted add on pixels AddWeight already made: a saturating add per byte (the
// alpha bytes add 0, so the destination keeps its alpha). Gives what AddRow gives, white and
// weighted, on the unweighted pixels.
void AddWeightedRow(uint32_t* dst, const uint32_t* weighted, int count);

}  // namespace PixelRows
}  // namespace Velm
