#pragma once

// The representative game frame the display benchmarks draw: a 1024 x 768 background, a
// 12 x 12 grid of soft-edged tiles, round particles and sprites at fixed pseudo-random
// places, a tile to rotate, and lines of text from an antialiased glyph sheet. Shared by the software and the 3D benchmarks so both draw
// exactly the same pictures.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/MemoryImage.h"

namespace benchframe {

using Velm::MemoryImage;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

enum Step {
    Background,
    Tiles,
    Grey,
    Particles,
    Scaled,
    StretchBlend,
    StretchTinted,
    Fractional,
    Rotated,
    Text,
    Fill,
    Frame,
    StepCount
};
const char* const kStepNames[] = {"background",     "tiles",      "grey",    "particles", "scaled", "stretch_blend",
                                  "stretch_tinted", "fractional", "rotated", "text",      "fill",   "frame"};

// The glyph sheet: 16 x 6 glyphs of kGlyphWidth x kGlyphHeight, white with antialiased alpha
// (a few strokes per glyph, each edge pixel partly covered), as image fonts are drawn from.
constexpr int kGlyphWidth = 10;
constexpr int kGlyphHeight = 16;
constexpr int kGlyphColumns = 16;
constexpr int kGlyphRows = 6;
// The text: kTextLines lines of kTextLength glyphs each.
constexpr int kTextLines = 12;
constexpr int kTextLength = 60;

std::vector<uint32_t> GlyphSheetPixels() {
    const int w = kGlyphWidth * kGlyphColumns, h = kGlyphHeight * kGlyphRows;
    std::vector<uint32_t> p(static_cast<size_t>(w) * h, 0);
    for (int g = 0; g < kGlyphColumns * kGlyphRows; ++g) {
        const int gx = (g % kGlyphColumns) * kGlyphWidth, gy = (g / kGlyphColumns) * kGlyphHeight;
        // A vertical stem, a bar at a glyph-dependent height and a diagonal, one pixel wide with
        // half-covered neighbours.
        const int stem = 2 + g % 5, bar = 4 + g % 7;
        for (int y = 2; y < kGlyphHeight - 2; ++y)
            for (int x = 1; x < kGlyphWidth - 1; ++x) {
                const int dStem = std::abs(x - stem), dBar = std::abs(y - bar), dDiag = std::abs(x - (y * g) % 9);
                const int d = std::min(std::min(dStem, dBar), dDiag + (g % 3));
                const uint32_t a = d == 0 ? 255u : d == 1 ? 96u : 0u;
                p[static_cast<size_t>(gy + y) * w + gx + x] = (a << 24) | 0xFFFFFF;
            }
    }
    return p;
}

std::vector<uint32_t> BackgroundPixels() {
    std::vector<uint32_t> p(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            p[static_cast<size_t>(y) * kWidth + x] = 0xFF000000u | (static_cast<uint32_t>(x / 4) & 0xFF) << 16 |
                                                     (static_cast<uint32_t>(y / 3) & 0xFF) << 8 |
                                                     (static_cast<uint32_t>(x ^ y) & 0xFF);
    return p;
}

// A tile: opaque face with a three-pixel soft border.
std::vector<uint32_t> TilePixels(int w, int h, uint32_t seed) {
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int edge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            const uint32_t a = edge >= 3 ? 255 : static_cast<uint32_t>(edge * 85);
            const uint32_t rgb = ((seed * 37 + x * 3) & 0xFF) << 16 | ((seed * 11 + y * 2) & 0xFF) << 8 |
                                 ((seed * 5 + x + y) & 0xFF);
            p[static_cast<size_t>(y) * w + x] = (a << 24) | rgb;
        }
    return p;
}

// A round sprite: alpha and brightness fall off from the centre.
std::vector<uint32_t> BlobPixels(int size, uint32_t rgb) {
    std::vector<uint32_t> p(static_cast<size_t>(size) * size);
    const double c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::sqrt((x - c) * (x - c) + (y - c) * (y - c)) / (size / 2.0);
            const double f = d >= 1 ? 0 : 1 - d;
            const uint32_t a = static_cast<uint32_t>(f * 255);
            const uint32_t r = static_cast<uint32_t>(((rgb >> 16) & 0xFF) * f);
            const uint32_t g = static_cast<uint32_t>(((rgb >> 8) & 0xFF) * f);
            const uint32_t b = static_cast<uint32_t>((rgb & 0xFF) * f);
            p[static_cast<size_t>(y) * size + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    return p;
}

struct Placement {
    int x, y;
};

struct Scene {
    std::vector<uint32_t> background = BackgroundPixels();
    std::vector<std::vector<uint32_t>> tiles;
    std::vector<uint32_t> particle = BlobPixels(16, 0xFFC060);
    std::vector<uint32_t> sprite = BlobPixels(32, 0x60A0FF);
    std::vector<uint32_t> rotated = TilePixels(64, 64, 9);
    std::vector<uint32_t> glyphs = GlyphSheetPixels();
    std::vector<Placement> tilePos, particlePos;
    std::vector<int> text;  // glyph index of every character, line after line
    Scene() {
        for (int i = 0; i < 8; ++i) tiles.push_back(TilePixels(64, 80, static_cast<uint32_t>(i)));
        for (int row = 0; row < 12; ++row)
            for (int col = 0; col < 12; ++col) tilePos.push_back({40 + col * 68, 20 + row * 56});
        uint32_t state = 12345;
        for (int i = 0; i < 200; ++i) {
            state = state * 1664525u + 1013904223u;
            const int x = static_cast<int>((state >> 8) % (kWidth - 32));
            state = state * 1664525u + 1013904223u;
            const int y = static_cast<int>((state >> 8) % (kHeight - 32));
            particlePos.push_back({x, y});
        }
        for (int i = 0; i < kTextLines * kTextLength; ++i) {
            state = state * 1664525u + 1013904223u;
            text.push_back(static_cast<int>((state >> 8) % (kGlyphColumns * kGlyphRows)));
        }
    }
};

const Scene& TheScene() {
    static const Scene scene;
    return scene;
}

std::unique_ptr<MemoryImage> Memory(const std::vector<uint32_t>& pixels, int w, int h) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(pixels.data(), w, h, true);
    return image;
}

}  // namespace benchframe
