#pragma once

#include <cstdint>

#include "raster/RasterTypes.h"

// The routine table of the software triangle rasteriser and its dispatch.
// Entry index = feature flags (RasterFlags) + 32 * format slot, the slots
// being 0x8888 (and any unknown code), 0x888, 0x565 and 0x555. Every entry
// is empty until InitTriangleRasterizers runs once at start-up, before any
// drawing; afterwards the table is only read, so the dispatch takes no lock.
namespace Velm {

extern TriangleRasterizer TriangleRasterizerTable[128];

// Stores the routine of every entry. The routines are fixed at compile time,
// so calling it again changes nothing.
void InitTriangleRasterizers();

// The column of a format code: 1 for 0x888, 2 for 0x565, 3 for 0x555, 0 else.
int RasterFormatSlot(uint32_t format);

// Draws one triangle (three consecutive records, already clipped) with the
// routine chosen by the flags and the format. Draws nothing when the entry is
// empty, when a textured triangle has no texture pixels, or when a tinted one
// has no tint. clip bounds every write (see RasterClip).
void RasterizeTriangle(bool textured, bool blended, bool vertexColors, bool tinted, const RasterVertex* vertices,
                       void* destination, uint32_t pitch, const RasterTexture* texture, const RasterTint* tint,
                       uint32_t format, bool bilinear, const RasterClip& clip);

}  // namespace Velm
