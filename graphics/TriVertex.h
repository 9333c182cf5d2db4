#pragma once

#include <cstdint>

namespace Velm {

// One vertex of a textured triangle: position in destination pixels, texture coordinates
// 0..1 across the texture's width and height, and a 0xAARRGGBB colour that is used only when
// the caller asks for vertex colours. A plain aggregate: TriVertex{x, y, u, v, color}.
struct TriVertex {
    float x;
    float y;
    float u;
    float v;
    uint32_t color;
};

}  // namespace Velm
