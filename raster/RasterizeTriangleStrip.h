#pragma once

#include <cstdint>

#include "raster/RasterImage.h"
#include "raster/RasterTypes.h"

namespace Velm {

// The one entry of the software triangle rasteriser, called by the drawing
// layer for matrix blits and textured-triangle lists drawn without the 3D
// device. Draws the strip's count - 2 triangles: vertices (0 1 2), then
// (1 3 2), (2 3 4), (3 5 4) ..., every second triangle with its last two
// swapped so that all keep the first one's winding.
//
// Each triangle is clipped to the inclusive pixel box clip.x .. x + width - 1,
// clip.y .. y + height - 1 (intersected with the destination), so the box's
// last column and row are never written; then converted to 16.16 and drawn
// as a fan through RasterizeTriangle. texture may be null (untextured
// triangles, drawn only with vertex colours). Texturing blends when the
// texture has transparent or translucent texels or bilinear is set; colour
// tints when it is not opaque white; vertex colours are used when
// vertexColors is set. drawMode is not read: additive drawing is not done on
// this path. Triangles with a non-finite coordinate are dropped. Nothing is
// reported; the destination is not marked changed (callers do that).
//
// Runs on the caller's thread, takes no lock and keeps no state between
// calls; the routine table must have been filled (InitTriangleRasterizers).
void RasterizeTriangleStrip(const TriVertex* vertices, int count, const RasterTextureImage* texture,
                            const RasterColor& colour, int drawMode, const RasterRect& clip,
                            const RasterTarget& destination, bool bilinear, bool vertexColors);

}  // namespace Velm
