#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/MemoryImage.h"

// Small pixel helpers shared by the memory-image drawing routines. Internal to graphics/.
namespace Velm {
namespace PixelOps {

// "Over" compositing of a straight-alpha source colour with alpha s (1..255) onto an ARGB
// destination pixel that may itself be translucent:
//   A = da + (255 - da) * s / 255,  w = s * 255 / A,  c' = (c * w + d * (256 - w)) >> 8.
// An opaque source is stored as it is.
inline uint32_t Over(uint32_t dst, uint32_t r, uint32_t g, uint32_t b, uint32_t s) {
    if (s >= 255) return 0xFF000000u | (r << 16) | (g << 8) | b;
    const uint32_t da = dst >> 24;
    const uint32_t outA = da + ((255 - da) * s) / 255;
    const uint32_t w = (s * 255) / outA;
    const uint32_t nr = (r * w + ((dst >> 16) & 0xFF) * (256 - w)) >> 8;
    const uint32_t ng = (g * w + ((dst >> 8) & 0xFF) * (256 - w)) >> 8;
    const uint32_t nb = (b * w + (dst & 0xFF) * (256 - w)) >> 8;
    return (outA << 24) | (nr << 16) | (ng << 8) | nb;
}

// Reads source pixels either straight from 32-bit ARGB words or through a palette. Row gives
// count pixels from index as contiguous ARGB words: in place, or looked up into scratch.
struct ArgbFetch {
    const uint32_t* pixels;
    uint32_t operator()(size_t index) const { return pixels[index]; }
    const uint32_t* Row(size_t index, int, std::vector<uint32_t>&) const { return pixels + index; }
};

struct IndexedFetch {
    const uint32_t* palette;
    const uint8_t* indices;
    uint32_t operator()(size_t index) const { return palette[indices[index]]; }
    const uint32_t* Row(size_t index, int count, std::vector<uint32_t>& scratch) const {
        scratch.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            scratch[static_cast<size_t>(i)] = palette[indices[index + static_cast<size_t>(i)]];
        return scratch.data();
    }
};

inline bool IsPalettised(const MemoryImage* image) {
    return image->palette != nullptr && image->colorIndices != nullptr;
}

// Calls body(fetch) with the fetch that suits the source: its palette when palettised, else
// its (rebuilt if need be) 32-bit pixels.
template <typename Body>
void WithSource(MemoryImage* source, Body&& body) {
    if (IsPalettised(source))
        body(IndexedFetch{source->palette, source->colorIndices});
    else
        body(ArgbFetch{source->GetBits()});
}

}  // namespace PixelOps
}  // namespace Velm
