#pragma once

// Internal to the surface image's routines: addressing of a locked surface and the channel
// layout the routines compute with (masks from the lock, widths, shifts and additive
// saturation tables from the display).

#include <cstdint>
#include <typeinfo>

#include "graphics/Color.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/DdSurface.h"

namespace Velm {
namespace SurfaceOps {

// The image as a memory image (or a class derived from it), else null; and as a surface image,
// else null. The common source, a plain memory image, is known by its exact type first: a
// dynamic cast that fails walks the class tree comparing type names, a cost a small blit
// notices.
inline MemoryImage* AsMemoryImage(Image* image) {
    if (image != nullptr && typeid(*image) == typeid(MemoryImage)) return static_cast<MemoryImage*>(image);
    return dynamic_cast<MemoryImage*>(image);
}
inline DDImage* AsSurfaceImage(Image* image) {
    if (image == nullptr || typeid(*image) == typeid(MemoryImage)) return nullptr;
    return dynamic_cast<DDImage*>(image);
}

struct Layout {
    int bitCount = 0;
    uint32_t mask[3] = {0, 0, 0};  // red, green, blue
    int shift[3] = {0, 0, 0};
    int bits[3] = {0, 0, 0};
    const int* table[3] = {nullptr, nullptr, nullptr};
    bool standardOrder = true;
    // A 32-bit layout whose three channels are the low three bytes in any order: its
    // per-channel formulas may be worked two lanes at a time.
    bool byteLanes = false;

    Layout(const plat::dd::SurfaceDesc& desc, const DDInterface& display) {
        bitCount = desc.format.bitCount;
        mask[0] = desc.format.redMask;
        mask[1] = desc.format.greenMask;
        mask[2] = desc.format.blueMask;
        shift[0] = display.mRedShift;
        shift[1] = display.mGreenShift;
        shift[2] = display.mBlueShift;
        bits[0] = display.mRedBits;
        bits[1] = display.mGreenBits;
        bits[2] = display.mBlueBits;
        table[0] = display.mRedAddTable.data();
        table[1] = display.mGreenAddTable.data();
        table[2] = display.mBlueAddTable.data();
        standardOrder = DDInterface::IsStandardRGBOrder();
        byteLanes = bitCount == 32 && (mask[0] | mask[1] | mask[2]) == 0xFFFFFF && bits[0] == 8 && bits[1] == 8 &&
                    bits[2] == 8;
    }
};

// Row y of a locked surface, counted in pixels of the row's type (the pitch divided down,
// truncating, as the surface routines have always addressed rows).
template <typename Pixel>
inline Pixel* RowOf(const plat::dd::SurfaceDesc& desc, int y) {
    return reinterpret_cast<Pixel*>(desc.pixels) + (static_cast<int64_t>(y) * desc.pitch) / int(sizeof(Pixel));
}

// How many rows ahead the row walks prefetch destination rows, and the prefetch of `count`
// pixels of row y from column x: rows a page apart share cache sets, so the hardware does not
// guess them, and a miss to the last-level cache takes many short rows' work to cover (a tile
// row of 64 pixels is done in a few tens of nanoseconds).
constexpr int kPrefetchRows = 32;
template <typename Pixel>
inline void PrefetchRow(const plat::dd::SurfaceDesc& desc, int y, int x, int count) {
    const char* p = reinterpret_cast<const char*>(RowOf<Pixel>(desc, y) + x);
    const int bytes = count * static_cast<int>(sizeof(Pixel));
    for (int b = 0; b < bytes; b += 64) __builtin_prefetch(p + b, 1);
}

inline uint32_t ChannelOf(const Color& c, int channel) {
    return static_cast<uint32_t>(channel == 0 ? c.red : (channel == 1 ? c.green : c.blue));
}

// P0: sum of ((c * m) >> 8) & m.
inline uint32_t PackP0(uint32_t r, uint32_t g, uint32_t b, const uint32_t* m) {
    return (((r * m[0]) >> 8) & m[0]) + (((g * m[1]) >> 8) & m[1]) + (((b * m[2]) >> 8) & m[2]);
}

// Rounded up: 255 fills the whole field, and an 8-bit field gets every channel value back exactly.
inline uint32_t PackP1(const uint32_t* c, const uint32_t* m) {
    uint32_t value = 0;
    for (int k = 0; k < 3; ++k) value += (((c[k] + 1) * m[k]) >> 8) & m[k];
    return value;
}

constexpr uint32_t kSpread565 = 0x07E0F81F;
constexpr uint32_t kSpread555 = 0x03E07C1F;

inline uint32_t Spread(uint32_t v, uint32_t mask) { return (v * 0x10001u) & mask; }
inline uint32_t Fold(uint32_t s) { return (s | (s >> 16)) & 0xFFFF; }

}  // namespace SurfaceOps

template <typename Body>
bool DDImage::SurfaceRoutine(Body&& body) {
    if (mNoLock) return true;
    if (!BeginSurfaceRoutine()) return false;
    const SurfaceOps::Layout layout(mLockedSurfaceDesc, *mDDInterface);
    body(static_cast<const plat::dd::SurfaceDesc&>(mLockedSurfaceDesc), layout);
    EndSurfaceRoutine();
    return true;
}

}  // namespace Velm
