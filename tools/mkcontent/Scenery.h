#pragma once

// Pieces of scenery the generated pictures are built from: moon, ridges, water, parchment,
// and the things that stand in the stages, maps and comic panels (lanterns, pagodas, peaks,
// bamboo, small tiles). Each paints onto a canvas in place; shapes are bounded to their box so
// that a picture of many pieces stays quick to paint.

#include <cstdint>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

void PaintMoon(Canvas& c, float cx, float cy, float r);
// Layered mountain ridges across the bottom part, darker towards the viewer.
void PaintRidges(Canvas& c, float baseY, uint32_t seed, int layers);
// Still water from top to the bottom, mirroring the sky faintly, with glints under the moon.
void PaintWater(Canvas& c, float top, float moonX, uint32_t seed);
// Old paper, darker towards its edges.
Canvas Parchment(int width, int height, uint32_t seed);

// A paper lantern standing at (cx, cy) (its centre), about size pixels high: lit, it glows
// warm and throws a streak on the water below it (when water is true); dark, it is a dim
// shape with a thread of smoke above it.
void PaintLantern(Canvas& c, float cx, float cy, float size, bool lit, bool water);
// A pagoda of tiers standing on (cx, baseY), width w at the bottom tier, in one colour.
void PaintPagoda(Canvas& c, float cx, float baseY, float w, int tiers, const Rgba& colour);
// Sharp peaks rising from baseY: the seed places them; their tops catch snow in snowColour.
void PaintPeaks(Canvas& c, float baseY, float height, uint32_t seed, const Rgba& rock, const Rgba& snowColour);
// A stalk of bamboo from the bottom edge up to top at x, with nodes and a few leaves.
void PaintBambooStalk(Canvas& c, float x, float top, float width, const Rgba& colour, uint32_t seed);
// A tile (the studio's 58 x 68 blank) with a coin on its face at (x, y) top-left, and a glow
// of that colour around it when glow's alpha is above 0.
void PaintSmallTile(Studio& s, Canvas& c, int x, int y, const Rgba& coin, const Rgba& glow);

}  // namespace mkcontent
