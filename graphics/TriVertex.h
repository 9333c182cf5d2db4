#pragma once

#include <cstdint>

namespace Velm {

// One vertex of a textured triangle: position in destination pixels, texture coordinates
// 0..1 across the texture's width and height, and a 0xAARRGGBB colour that is used only when
// the caller asks for vertex colours.
struct TriVertex {
    float x = 0;
    float y = 0;
    float u = 0;
    float v = 0;
    uint32_t color = 0;

    TriVertex() = default;
    TriVertex(float px, float py, float tu, float tv, uint32_t argb = 0) : x(px), y(py), u(tu), v(tv), color(argb) {}
};

}  // namespace Velm
