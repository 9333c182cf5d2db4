#include "raster/TriangleRasterizerTable.h"

#include <array>
#include <cstddef>
#include <utility>

#include "raster/RasterFillers.h"

namespace Velm {

TriangleRasterizer TriangleRasterizerTable[128] = {};

void RasterTriNone(const RasterVertex*, void*, uint32_t, const RasterTexture*, const RasterTint*, const RasterClip&) {}

namespace {

template <class Format, unsigned kFlags>
constexpr TriangleRasterizer FillerOfSlot() {
    constexpr bool kTextured = (kFlags & kRasterTextured) != 0;
    constexpr bool kVColor = (kFlags & kRasterVertexColors) != 0;
    if constexpr (!kTextured && !kVColor) {
        return &RasterTriNone;
    } else if constexpr (!kTextured) {
        // Blended and Bilinear mean nothing without a texture.
        return &Raster::SpanFiller<Format, kFlags&(kRasterVertexColors | kRasterTinted)>;
    } else {
        return &Raster::SpanFiller<Format, kFlags>;
    }
}

template <size_t kIndex>
constexpr TriangleRasterizer EntryOf() {
    constexpr unsigned kFlags = kIndex % 32;
    constexpr size_t kSlot = kIndex / 32;
    if constexpr (kSlot == 0) {
        return FillerOfSlot<Raster::Format8888, kFlags>();
    } else if constexpr (kSlot == 1) {
        // The untinted opaque 0x888 entries share the 0x8888 routines: both
        // write 0xff into the alpha byte.
        if constexpr (kFlags == kRasterTextured || kFlags == (kRasterTextured | kRasterBilinear)) {
            return FillerOfSlot<Raster::Format8888, kFlags>();
        } else {
            return FillerOfSlot<Raster::Format888, kFlags>();
        }
    } else if constexpr (kSlot == 2) {
        return FillerOfSlot<Raster::Format565, kFlags>();
    } else {
        return FillerOfSlot<Raster::Format555, kFlags>();
    }
}

template <size_t... kIndex>
constexpr std::array<TriangleRasterizer, sizeof...(kIndex)> MakeTable(std::index_sequence<kIndex...>) {
    return {{EntryOf<kIndex>()...}};
}

constexpr std::array<TriangleRasterizer, 128> kRoutines = MakeTable(std::make_index_sequence<128>());

}  // namespace

void InitTriangleRasterizers() {
    for (size_t i = 0; i < kRoutines.size(); ++i) TriangleRasterizerTable[i] = kRoutines[i];
}

int RasterFormatSlot(uint32_t format) {
    switch (format) {
        case kRasterFormat888: return 1;
        case kRasterFormat565: return 2;
        case kRasterFormat555: return 3;
        default: return 0;
    }
}

void RasterizeTriangle(bool textured, bool blended, bool vertexColors, bool tinted, const RasterVertex* vertices,
                       void* destination, uint32_t pitch, const RasterTexture* texture, const RasterTint* tint,
                       uint32_t format, bool bilinear, const RasterClip& clip) {
    if (vertices == nullptr || destination == nullptr) return;
    if (textured && (texture == nullptr || texture->pixels == nullptr)) return;
    if (tinted && tint == nullptr) return;
    const unsigned flags = (textured ? kRasterTextured : 0u) | (blended ? kRasterBlended : 0u) |
                           (vertexColors ? kRasterVertexColors : 0u) | (tinted ? kRasterTinted : 0u) |
                           (bilinear ? kRasterBilinear : 0u);
    const TriangleRasterizer routine = TriangleRasterizerTable[flags + 32 * RasterFormatSlot(format)];
    if (routine == nullptr) return;
    routine(vertices, destination, pitch, texture, tint, clip);
}

}  // namespace Velm
