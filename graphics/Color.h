#pragma once

#include <cstdint>

namespace Velm {

// An RGBA colour: four ints meant to hold 0..255 (nothing clamps them). Pixel code takes it
// packed as 0xAARRGGBB (ToInt). Comparing against White picks the untinted fast paths.
class Color {
public:
    int red;
    int green;
    int blue;
    int alpha;

    static const Color White;

    // Constructors are constexpr so that White and Black are constant-initialised and safe to
    // use from other static initialisers.
    constexpr Color() : red(0), green(0), blue(0), alpha(255) {}  // opaque black
    // From 0xAARRGGBB; an all-zero alpha byte means opaque, so plain 0xRRGGBB values work.
    constexpr explicit Color(int argb)
            : red((argb >> 16) & 0xFF),
              green((argb >> 8) & 0xFF),
              blue(argb & 0xFF),
              alpha(((argb >> 24) & 0xFF) == 0 ? 255 : ((argb >> 24) & 0xFF)) {}
    // Red, green and blue from the low 24 bits of rgb; alpha taken as given.
    constexpr Color(int rgb, int alphaValue)
            : red((rgb >> 16) & 0xFF), green((rgb >> 8) & 0xFF), blue(rgb & 0xFF), alpha(alphaValue) {}
    constexpr Color(int r, int g, int b) : red(r), green(g), blue(b), alpha(255) {}
    constexpr Color(int r, int g, int b, int a) : red(r), green(g), blue(b), alpha(a) {}

    Color& SetOpaqueFrom(const Color& other);

    int GetRed() const { return red; }
    int GetGreen() const { return green; }
    int GetBlue() const { return blue; }
    int GetAlpha() const { return alpha; }

    // 0 red, 1 green, 2 blue, 3 alpha; any other index refers to a scratch int owned by
    // no colour, so stray writes are harmless.
    int& operator[](int channel);
    int operator[](int channel) const;

    uint32_t ToInt() const;
};

bool operator==(const Color& a, const Color& b);
bool operator!=(const Color& a, const Color& b);

}  // namespace Velm
