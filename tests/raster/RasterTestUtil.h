#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/RasterTypes.h"
#include "raster/TriangleRasterizerTable.h"

namespace RasterTest {

inline uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }
inline uint32_t Px565(uint32_t r, uint32_t g, uint32_t b) { return (r << 11) | (g << 5) | b; }
inline uint32_t Px555(uint32_t r, uint32_t g, uint32_t b, bool bit15 = false) {
    return (bit15 ? 0x8000u : 0u) | (r << 10) | (g << 5) | b;
}
inline int32_t Fx(double value) { return static_cast<int32_t>(value * 65536.0); }

inline bool Is16Bit(uint32_t format) { return format == Velm::kRasterFormat565 || format == Velm::kRasterFormat555; }

// A destination buffer with a padded pitch; every byte starts as the canary
// unless a pixel value is given.
struct Canvas {
    uint32_t format;
    int width;
    int height;
    uint32_t pitch;
    std::vector<uint8_t> bytes;

    Canvas(uint32_t formatCode, int w, int h, uint32_t padBytes = 0, uint8_t canary = 0xa5)
            : format(formatCode),
              width(w),
              height(h),
              pitch(static_cast<uint32_t>(w) * (Is16Bit(formatCode) ? 2u : 4u) + padBytes),
              bytes(static_cast<size_t>(pitch) * static_cast<size_t>(h), canary) {}

    int bpp() const { return Is16Bit(format) ? 2 : 4; }
    uint32_t rowStep() const { return pitch & ~static_cast<uint32_t>(bpp() - 1); }
    void* data() { return bytes.data(); }

    uint32_t Get(int x, int y) const {
        const size_t offset = static_cast<size_t>(y) * rowStep() + static_cast<size_t>(x) * bpp();
        if (bpp() == 2) {
            uint16_t v;
            std::memcpy(&v, &bytes[offset], 2);
            return v;
        }
        uint32_t v;
        std::memcpy(&v, &bytes[offset], 4);
        return v;
    }
    void Set(int x, int y, uint32_t value) {
        const size_t offset = static_cast<size_t>(y) * rowStep() + static_cast<size_t>(x) * bpp();
        if (bpp() == 2) {
            const uint16_t v = static_cast<uint16_t>(value);
            std::memcpy(&bytes[offset], &v, 2);
        } else {
            std::memcpy(&bytes[offset], &value, 4);
        }
    }
    void Fill(uint32_t value) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Set(x, y, value);
    }
};

inline Velm::RasterVertex Vertex(double x, double y, uint32_t argb = 0, double u = 0, double v = 0) {
    return Velm::RasterVertex{Fx(x),
                              Fx(y),
                              static_cast<int32_t>(((argb >> 24) & 0xff) << 16),
                              static_cast<int32_t>(((argb >> 16) & 0xff) << 16),
                              static_cast<int32_t>(((argb >> 8) & 0xff) << 16),
                              static_cast<int32_t>((argb & 0xff) << 16),
                              Fx(u),
                              Fx(v)};
}

inline Velm::RasterTexture Texture(const std::vector<uint32_t>& texels, int width, int height) {
    Velm::RasterTexture t{};
    t.pixels = texels.data();
    t.width = width;
    t.height = height;
    t.texelCount = static_cast<uint32_t>(width * height);
    t.shift = 16;
    t.uLimit = (width - 1) << 16;
    t.vLimit = (height - 1) << 16;
    return t;
}

// Draws one triangle through the dispatch with the given feature flags.
inline void Draw(Canvas& canvas, unsigned flags, const Velm::RasterVertex (&vertices)[3],
                 const Velm::RasterTexture* texture, const Velm::RasterTint& tint) {
    Velm::InitTriangleRasterizers();
    const Velm::RasterClip clip{0, 0, canvas.width, canvas.height};
    Velm::RasterizeTriangle((flags & Velm::kRasterTextured) != 0, (flags & Velm::kRasterBlended) != 0,
                            (flags & Velm::kRasterVertexColors) != 0, (flags & Velm::kRasterTinted) != 0, vertices,
                            canvas.data(), canvas.pitch, texture, &tint, canvas.format,
                            (flags & Velm::kRasterBilinear) != 0, clip);
}

}  // namespace RasterTest
