#pragma once

#include <cstdint>

#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "graphics/TriVertex.h"

namespace Velm {

class MemoryImage;

// The seam between memory-image drawing and the software triangle rasteriser.
//
// Matrix blits and textured-triangle blits into memory images are drawn as triangle strips.
// By default they go to the software rasteriser (raster/), which draws nothing until its
// routine table is filled at start-up (InitTriangleRasterizers). Tests may install another
// function with SetTriangleStripRasterizer; null makes strips draw nothing.
//
// The function receives:
//   vertices, count     a strip: triangles (0 1 2), (1 3 2), (2 3 4), (3 5 4), ... so that all
//                       keep one winding; nothing is drawn for count < 3;
//   texture             the texture's 32-bit ARGB pixels (row-major, pitch = width), already
//                       rebuilt and with fresh alpha flags; null for untextured drawing;
//   color               tint; Color::White means untinted;
//   drawMode            passed through; memory destinations always blend normally;
//   clip                inclusive pixel box x .. x+width-1, y .. y+height-1;
//   target              the destination pixels: size, pitch in bytes (may exceed the width)
//                       and format code (0x8888, 0x888, 0x565 or 0x555);
//   bilinear            filter the texture bilinearly;
//   vertexColors        interpolate the vertices' colours.
// It does not mark the destination changed; callers do.
struct StripTexture {
    const uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // some texel has alpha 1..254
    bool hasTrans = false;  // some texel has alpha 0
};

struct StripTarget {
    void* bits = nullptr;  // pixel (0, 0)
    int width = 0;
    int height = 0;
    int pitchBytes = 0;
    int pixelFormat = 0x8888;
};

using TriangleStripRasterizer = void (*)(const TriVertex* vertices, int count, const StripTexture* texture,
                                         const Color& color, int drawMode, const Rect& clip, const StripTarget& target,
                                         bool bilinear, bool vertexColors);

void SetTriangleStripRasterizer(TriangleStripRasterizer rasterizer);
TriangleStripRasterizer GetTriangleStripRasterizer();

// Draws through the installed rasteriser; with none installed it does nothing and leaves the
// texture image untouched. A texture that is not null has its alpha flags refreshed and its
// 32-bit pixels rebuilt first.
void DrawTriangleStrip(const TriVertex* vertices, int count, MemoryImage* texture, const Color& color, int drawMode,
                       const Rect& clip, const StripTarget& target, bool bilinear, bool vertexColors);

}  // namespace Velm
