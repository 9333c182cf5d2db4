#pragma once

#include <cstdint>

// The four destination pixel formats: how a colour is written opaque and how
// it is blended over the pixel already there. Colours arrive packed as
// 0x00RRGGBB with 8-bit channels. Blend takes the weight w (0..239) and the
// source terms s, the source colour already weighted (by w, or by alpha
// through premultiplication); the destination is weighted by the format's
// own rule.
namespace Velm::Raster {

// 32-bit 0xAARRGGBB whose alpha takes part: source-over onto a destination
// with straight alpha, the new alpha being the combined coverage.
struct Format8888 {
    using Pixel = uint32_t;
    static constexpr bool kPreciseGouraud = true;

    static void Opaque(Pixel* pixel, uint32_t rgb) { *pixel = 0xff000000u | rgb; }

    static void Blend(Pixel* pixel, uint32_t w, uint32_t s) {
        const uint32_t d = *pixel;
        const uint32_t da = d >> 24;
        const uint32_t inv = 256 - w;
        const uint32_t h = 256 - (((256 - da) * inv) >> 8);
        // Nothing over nothing: no coverage to divide by, keep the pixel.
        if (h == 0) return;
        const uint32_t dr = ((((d >> 16) & 0xff) * da) >> 8) * inv;
        const uint32_t dg = ((((d >> 8) & 0xff) * da) >> 8) * inv;
        const uint32_t db = (((d & 0xff) * da) >> 8) * inv;
        uint32_t r = (((s >> 16) & 0xff) * 256 + dr) / h;
        uint32_t g = (((s >> 8) & 0xff) * 256 + dg) / h;
        uint32_t b = ((s & 0xff) * 256 + db) / h;
        // A premultiplied source over a transparent pixel can reach 256.
        r = r > 255 ? 255 : r;
        g = g > 255 ? 255 : g;
        b = b > 255 ? 255 : b;
        *pixel = ((h - 1) << 24) | (r << 16) | (g << 8) | b;
    }
};

// 32-bit with the alpha byte ignored and always written 0xff. The
// destination weight is 255 - w, so no channel sum passes 254.
struct Format888 {
    using Pixel = uint32_t;
    static constexpr bool kPreciseGouraud = false;

    static void Opaque(Pixel* pixel, uint32_t rgb) { *pixel = 0xff000000u | rgb; }

    static void Blend(Pixel* pixel, uint32_t w, uint32_t s) {
        const uint32_t d = *pixel;
        const uint32_t k = 255 - w;
        const uint32_t rb = (((d & 0xff00ffu) * k) >> 8) & 0xff00ffu;
        const uint32_t g = (((d & 0xff00u) * k) >> 8) & 0xff00u;
        *pixel = (s + rb + g) | 0xff000000u;
    }
};

// 16-bit, red 11..15, green 5..10, blue 0..4. The destination weight is
// (255 - w) >> 3 in 32nds.
struct Format565 {
    using Pixel = uint16_t;
    static constexpr bool kPreciseGouraud = false;

    static uint32_t Pack(uint32_t rgb) { return ((rgb >> 8) & 0xf800u) | ((rgb >> 5) & 0x7e0u) | ((rgb >> 3) & 0x1fu); }
    static void Opaque(Pixel* pixel, uint32_t rgb) { *pixel = static_cast<Pixel>(Pack(rgb)); }

    static void Blend(Pixel* pixel, uint32_t w, uint32_t s) {
        const uint32_t d = *pixel;
        const uint32_t k = (255 - w) >> 3;
        const uint32_t rb = (((d & 0xf81fu) * k) >> 5) & 0xf81fu;
        const uint32_t g = (((d & 0x7e0u) * k) >> 5) & 0x7e0u;
        *pixel = static_cast<Pixel>(rb + g + Pack(s));
    }
};

// 16-bit, red 10..14, green 5..9, blue 0..4; bit 15 is dropped and written 0.
struct Format555 {
    using Pixel = uint16_t;
    static constexpr bool kPreciseGouraud = false;

    static uint32_t Pack(uint32_t rgb) { return ((rgb >> 9) & 0x7c00u) | ((rgb >> 6) & 0x3e0u) | ((rgb >> 3) & 0x1fu); }
    static void Opaque(Pixel* pixel, uint32_t rgb) { *pixel = static_cast<Pixel>(Pack(rgb)); }

    static void Blend(Pixel* pixel, uint32_t w, uint32_t s) {
        const uint32_t d = *pixel;
        const uint32_t k = (255 - w) >> 3;
        const uint32_t rb = (((d & 0x7c1fu) * k) >> 5) & 0x7c1fu;
        const uint32_t g = (((d & 0x3e0u) * k) >> 5) & 0x3e0u;
        *pixel = static_cast<Pixel>(rb + g + Pack(s));
    }
};

}  // namespace Velm::Raster
