#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/BilinearLanes.h"
#include "raster/EdgeWalk.h"
#include "raster/PixelFormats.h"
#include "raster/RasterTypes.h"

// The one span filler, specialised at compile time by destination format and
// feature flags. Every routine of the table is an instance of SpanFiller:
// the edge walk carries the attributes the flags need and the pixel step runs
// its stages (sample, gate, modulate, weigh, write or blend) with the stages
// the flags leave out removed by the compiler.
namespace Velm::Raster {

// Interpolated colour attributes are clamped to 0..255.99 before use: edge
// rounding must not turn a channel just below 0 into 255.
inline uint32_t ClampChannel(int32_t value) {
    return value < 0 ? 0u : (value > 0xffffff ? 0xffffffu : static_cast<uint32_t>(value));
}

// (channel * factor) >> 8 for each channel of a packed 0x00RRGGBB colour.
inline uint32_t Modulate(uint32_t rgb, uint32_t fr, uint32_t fg, uint32_t fb) {
    const uint32_t r = ((((rgb >> 16) & 0xff) * fr) >> 8) & 0xff;
    const uint32_t g = ((((rgb >> 8) & 0xff) * fg) >> 8) & 0xff;
    const uint32_t b = (((rgb & 0xff) * fb) >> 8) & 0xff;
    return (r << 16) | (g << 8) | b;
}

// The same with one factor for all three channels (factor 0..255).
inline uint32_t Scale(uint32_t rgb, uint32_t factor) {
    const uint32_t rb = (((rgb & 0xff00ffu) * factor) >> 8) & 0xff00ffu;
    const uint32_t g = (((rgb & 0xff00u) * factor) >> 8) & 0xff00u;
    return rb | g;
}

// Nearest texel at (u, v) in 16.16 texels: rows are not kept apart (u past a
// row's end reads the next row), and any index at or past the texel count,
// negative coordinates included, reads 0.
inline uint32_t FetchNearest(const RasterTexture& texture, int32_t u, int32_t v) {
    const uint32_t index =
            (static_cast<uint32_t>(v) >> 16) * static_cast<uint32_t>(texture.width) + (static_cast<uint32_t>(u) >> 16);
    return index < texture.texelCount ? texture.pixels[index] : 0u;
}

// Bilinear fetch at the sample point (u, v), half a texel already taken off,
// so that the centre of texel i lies at i. Each of the four texels is
// weighted by its position and its alpha; the result is the colour
// premultiplied by the filtered alpha, packed 0x00RRGGBB, with the filtered
// alpha (0..254) in alphaOut. Fractions have their lowest bit forced to 1 so
// that every weight product fits 32 bits.
inline uint32_t FetchBilinear(const RasterTexture& texture, int32_t u, int32_t v, uint32_t& alphaOut) {
    const uint32_t width = static_cast<uint32_t>(texture.width);
    const uint32_t count = texture.texelCount;
    const uint32_t* texels = texture.pixels;
    const int32_t x0 = u >> 16;
    const int32_t y0 = v >> 16;
    const uint32_t fx = (static_cast<uint32_t>(u) & 0xfffe) + 1;
    const uint32_t fy = (static_cast<uint32_t>(v) & 0xfffe) + 1;
    const uint32_t gx = 0x10000 - fx;
    const uint32_t gy = 0x10000 - fy;
    const uint32_t i00 = static_cast<uint32_t>(y0) * width + static_cast<uint32_t>(x0);
    uint32_t t00, t10, t01, t11;
    if (i00 < count && count - i00 > width + 1) {
        // All four inside: one test instead of four.
        t00 = texels[i00];
        t10 = texels[i00 + 1];
        t01 = texels[i00 + width];
        t11 = texels[i00 + width + 1];
    } else {
        const uint32_t i10 = i00 + 1;
        const uint32_t i01 = i00 + width;
        const uint32_t i11 = i01 + 1;
        t00 = i00 < count ? texels[i00] : 0u;
        t10 = i10 < count ? texels[i10] : 0u;
        t01 = i01 < count ? texels[i01] : 0u;
        t11 = i11 < count ? texels[i11] : 0u;
    }
    const uint32_t q00 = (((gx * gy) >> 16) * (t00 >> 24)) >> 16;
    const uint32_t q10 = (((fx * gy) >> 16) * (t10 >> 24)) >> 16;
    const uint32_t q01 = (((gx * fy) >> 16) * (t01 >> 24)) >> 16;
    const uint32_t q11 = (((fx * fy) >> 16) * (t11 >> 24)) >> 16;
    // Red and blue share one product per texel: the four q sum to at most
    // 254, so neither weighted sum leaves its 16 bits.
    const uint32_t redBlue =
            (t00 & 0xff00ffu) * q00 + (t10 & 0xff00ffu) * q10 + (t01 & 0xff00ffu) * q01 + (t11 & 0xff00ffu) * q11;
    const uint32_t green =
            (t00 & 0xff00u) * q00 + (t10 & 0xff00u) * q10 + (t01 & 0xff00u) * q01 + (t11 & 0xff00u) * q11;
    alphaOut = q00 + q10 + q01 + q11;
    return ((redBlue >> 8) & 0xff00ffu) | ((green >> 8) & 0xff00u);
}

// FetchBilinear with the weighting in 16-bit lanes (BilinearLanes.h), the same result bit for
// bit; samples whose four texels are not all inside the texture take the plain form.
inline uint32_t FetchBilinearLanes(const RasterTexture& texture, int32_t u, int32_t v, uint32_t& alphaOut) {
#if defined(__SSE2__)
    const uint32_t width = static_cast<uint32_t>(texture.width);
    const uint32_t count = texture.texelCount;
    const uint32_t i00 = static_cast<uint32_t>(v >> 16) * width + static_cast<uint32_t>(u >> 16);
    if (i00 < count && count - i00 > width + 1) {
        const uint32_t* p = texture.pixels + i00;
        __m128i alpha;
        const __m128i sums = BilinearLaneSums(
                TexelPairLanes(p), TexelPairLanes(p + width),
                AcrossLanes(_mm_set1_epi16(static_cast<short>((static_cast<uint32_t>(u) & 0xfffe) | 1))),
                _mm_set1_epi16(static_cast<short>((static_cast<uint32_t>(v) & 0xfffe) | 1)), alpha);
        alphaOut = LaneAlpha(alpha);
        return SumsHighBytes(sums);
    }
#endif
    return FetchBilinear(texture, u, v, alphaOut);
}

// Untextured, vertex-coloured pixel step (attributes a, r, g, b): opaque
// above alpha 240.0, blended by the alpha's integer part above 8.0, skipped
// otherwise.
template <class Format>
struct GouraudStep {
    void operator()(typename Format::Pixel* pixel, const int32_t* c) const {
        const uint32_t a = ClampChannel(c[0]);
        const uint32_t r = ClampChannel(c[1]);
        const uint32_t g = ClampChannel(c[2]);
        const uint32_t b = ClampChannel(c[3]);
        if (a > 0xf00000u) {
            Format::Opaque(pixel, (r & 0xff0000u) | ((g >> 8) & 0xff00u) | (b >> 16));
        } else if (a > 0x80000u) {
            const uint32_t sa = a >> 16;
            uint32_t s;
            if constexpr (Format::kPreciseGouraud) {
                // Red keeps all sixteen fraction bits of its channel, green
                // eight, blue none.
                s = (((r * sa) >> 24) << 16) | ((((g >> 8) * sa) >> 16) << 8) | (((b >> 16) * sa) >> 8);
            } else {
                s = ((((r >> 16) * sa) >> 8) << 16) | ((((g >> 16) * sa) >> 8) << 8) | (((b >> 16) * sa) >> 8);
            }
            Format::Blend(pixel, sa, s);
        }
    }
};

// Textured pixel step. Attributes: a, r, g, b (with vertex colours), then
// u, v. The stages, in order: sample (nearest texel or bilinear, the latter
// premultiplied); gate on the sample's alpha (Blended: 8 or less is
// skipped); colour times the vertex factors or the tint; for bilinear
// samples, times the alpha factor too; the weight; opaque write from 240 up,
// else the blend of the format.
template <class Format, unsigned kFlags>
struct TexturedStep {
    static constexpr bool kBlended = (kFlags & kRasterBlended) != 0;
    static constexpr bool kVColor = (kFlags & kRasterVertexColors) != 0;
    static constexpr bool kTint = (kFlags & kRasterTinted) != 0;
    static constexpr bool kBilinear = (kFlags & kRasterBilinear) != 0;
    static constexpr bool kHasAlphaFactor = kVColor || kTint;
    static constexpr size_t kU = kVColor ? 4 : 0;

    RasterTexture texture;
    uint32_t ta, tr, tg, tb;

    void operator()(typename Format::Pixel* pixel, const int32_t* c) const {
        uint32_t rgb;
        uint32_t alpha;
        if constexpr (kBilinear) {
            rgb = FetchBilinearLanes(texture, c[kU], c[kU + 1], alpha);
        } else {
            const uint32_t texel = FetchNearest(texture, c[kU], c[kU + 1]);
            rgb = texel & 0xffffffu;
            alpha = texel >> 24;
        }
        if constexpr (kBlended) {
            if (alpha <= 8) return;
        }
        uint32_t factor = 0;
        if constexpr (kVColor) {
            uint32_t fa, fr, fg, fb;
            if constexpr (kTint) {
                // The vertices were tinted before the walk; the factors are
                // tinted once more.
                fa = (ta * ClampChannel(c[0])) >> 24;
                fr = (tr * ClampChannel(c[1])) >> 24;
                fg = (tg * ClampChannel(c[2])) >> 24;
                fb = (tb * ClampChannel(c[3])) >> 24;
            } else {
                fa = ClampChannel(c[0]) >> 16;
                fr = ClampChannel(c[1]) >> 16;
                fg = ClampChannel(c[2]) >> 16;
                fb = ClampChannel(c[3]) >> 16;
            }
            rgb = Modulate(rgb, fr, fg, fb);
            factor = fa;
        } else if constexpr (kTint) {
            rgb = Modulate(rgb, tr, tg, tb);
            factor = ta;
        }
        if constexpr (!kBlended && !kHasAlphaFactor) {
            Format::Opaque(pixel, rgb);
        } else {
            if constexpr (kBilinear && kHasAlphaFactor) rgb = Scale(rgb, factor);
            uint32_t w;
            if constexpr (kHasAlphaFactor) {
                w = ((kBlended ? alpha : 255u) * factor) >> 8;
            } else {
                w = alpha;
            }
            if (w >= 240) {
                Format::Opaque(pixel, rgb);
            } else if constexpr (kBilinear) {
                Format::Blend(pixel, w, rgb);
            } else {
                Format::Blend(pixel, w, Scale(rgb, w));
            }
        }
    }
};

// The span filler of one format and one flag set. Tinted vertex-coloured
// members tint their own copies of the vertex colours; the caller's records
// are never written.
template <class Format, unsigned kFlags>
void SpanFiller(const RasterVertex* vertices, void* destination, uint32_t pitch, const RasterTexture* texture,
                const RasterTint* tint, const RasterClip& clip) {
    constexpr bool kTextured = (kFlags & kRasterTextured) != 0;
    constexpr bool kVColor = (kFlags & kRasterVertexColors) != 0;
    constexpr bool kTint = (kFlags & kRasterTinted) != 0;
    constexpr bool kBilinear = (kFlags & kRasterBilinear) != 0;
    static_assert(kTextured || kVColor, "an untextured triangle needs vertex colours");
    constexpr size_t kN = (kVColor ? 4 : 0) + (kTextured ? 2 : 0);

    uint32_t ta = 0, tr = 0, tg = 0, tb = 0;
    if constexpr (kTint) {
        ta = static_cast<uint32_t>(tint->a);
        tr = static_cast<uint32_t>(tint->r);
        tg = static_cast<uint32_t>(tint->g);
        tb = static_cast<uint32_t>(tint->b);
    }

    WalkVertex<kN> walk[3];
    for (int i = 0; i < 3; ++i) {
        const RasterVertex& in = vertices[i];
        walk[i].x = in.x;
        walk[i].y = in.y;
        if constexpr (kVColor) {
            if constexpr (kTint) {
                walk[i].c[0] = static_cast<int32_t>((static_cast<uint32_t>(in.a) * ta) >> 8);
                walk[i].c[1] = static_cast<int32_t>((static_cast<uint32_t>(in.r) * tr) >> 8);
                walk[i].c[2] = static_cast<int32_t>((static_cast<uint32_t>(in.g) * tg) >> 8);
                walk[i].c[3] = static_cast<int32_t>((static_cast<uint32_t>(in.b) * tb) >> 8);
            } else {
                walk[i].c[0] = in.a;
                walk[i].c[1] = in.r;
                walk[i].c[2] = in.g;
                walk[i].c[3] = in.b;
            }
        }
        if constexpr (kTextured) {
            walk[i].c[kN - 2] = in.u;
            walk[i].c[kN - 1] = in.v;
        }
    }

    using Pixel = typename Format::Pixel;
    if constexpr (kTextured) {
        const TexturedStep<Format, kFlags> step{*texture, ta, tr, tg, tb};
        WalkTriangle<Pixel, kN, kBilinear>(walk[0], walk[1], walk[2], destination, pitch, clip, step);
    } else {
        const GouraudStep<Format> step{};
        WalkTriangle<Pixel, kN, false>(walk[0], walk[1], walk[2], destination, pitch, clip, step);
    }
}

}  // namespace Velm::Raster
