#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "graphics/MemoryImage.h"

namespace Velm {

// Readable failure messages for the value types.
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "Rect(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}
inline void PrintTo(const Color& c, std::ostream* os) {
    *os << "Color(" << c.red << ", " << c.green << ", " << c.blue << ", " << c.alpha << ")";
}

namespace test {

// A memory image holding the given pixels (row-major), with fresh alpha flags and no host.
inline MemoryImage* MakeImage(int width, int height, const std::vector<uint32_t>& pixels) {
    auto* image = new MemoryImage(nullptr);
    image->SetBits(pixels.data(), width, height, true);
    return image;
}

inline MemoryImage* MakeFilled(int width, int height, uint32_t argb) {
    return MakeImage(width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb));
}

inline uint32_t Pixel(MemoryImage& image, int x, int y) { return image.GetBits()[y * image.width + x]; }

inline bool GuardIntact(MemoryImage& image) {
    return image.bits != nullptr && image.bits[image.width * image.height] == MemoryImage::kGuardWord;
}

inline std::vector<uint32_t> Pixels(MemoryImage& image) {
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + image.width * image.height);
}

inline int A(uint32_t p) { return static_cast<int>(p >> 24); }
inline int R(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int G(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int B(uint32_t p) { return static_cast<int>(p & 0xFF); }

// A small deterministic generator for pixel fixtures.
struct Lcg {
    uint32_t state;
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state;
    }
};

}  // namespace test
}  // namespace Velm
