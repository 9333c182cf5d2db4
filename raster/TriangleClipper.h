#pragma once

#include "raster/RasterTypes.h"

// Clipping of one float triangle against an inclusive pixel box, one pass per
// side (Sutherland-Hodgman). The passes move vertex addresses; a vertex is
// written only where an edge crosses a bound, into the pool. Vertex lists
// hold up to 64 addresses and end with a null address.
namespace Velm {

// Room for the vertices one triangle's clipping creates: a pass emits at most
// two entries per input entry, so at most 3 + 6 + 12 + 24 = 45 vertices are
// made and no list passes 48 entries. Each strip call owns its pool.
struct ClipVertexPool {
    TriVertex records[64];
    int count;
};

constexpr int kClipListSize = 64;

// Pass x >= bound (MinX), x <= bound (MaxX) and the same for y. A vertex
// exactly on the bound is inside. Returns the output count.
int ClipPolygonMinX(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool);
int ClipPolygonMaxX(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool);
int ClipPolygonMinY(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool);
int ClipPolygonMaxY(const TriVertex* const* input, const TriVertex** output, float bound, ClipVertexPool& pool);

// The point where the edge from the outside vertex to the inside vertex
// crosses x = bound (or y = bound), with position, texture coordinates and
// colour channels interpolated (channels truncated), written into result.
void ClipVertexAtX(const TriVertex& outside, const TriVertex& inside, TriVertex& result, float bound);
void ClipVertexAtY(const TriVertex& outside, const TriVertex& inside, TriVertex& result, float bound);

// Clips triangle against xMin..xMax, yMin..yMax (all inclusive). Returns the
// vertex count of the clipped convex polygon, 0 or at least 3, its addresses
// in output in polygon order. Resets the pool.
int ClipTriangle(const TriVertex* const triangle[3], const TriVertex** output, float xMin, float xMax, float yMin,
                 float yMax, ClipVertexPool& pool);

}  // namespace Velm
