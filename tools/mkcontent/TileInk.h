#pragma once

// The inking tools the tile faces share: symbol-font glyphs fitted to a box and widened to
// read at tile size, and the places of the dots of each rank of the dots suit.

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class FontFace;
class Studio;

// The glyph's mask, cropped to its ink; with mahjongFrame the tile outline the mahjong glyphs
// draw around themselves is trimmed away.
Canvas TrimmedGlyph(FontFace& face, uint32_t codePoint, int pixelHeight, bool mahjongFrame);

// The glyph rendered at the height that fits the box.
Canvas FittedGlyph(FontFace& face, uint32_t codePoint, int boxW, int boxH, bool mahjongFrame);

// The mask with every stroke widened by about `radius` pixels on each side (a soft round pen),
// padded by kBoldPad on each side: the symbol fonts draw in hairlines that vanish at tile size.
constexpr int kBoldPad = 1;
Canvas Emboldened(const Canvas& mask, float radius);

// A coloured glyph: colour chosen per pixel from its place in the glyph (u, v in 0..1).
using GlyphInk = std::function<Rgba(float u, float v, int rank)>;

// The mask inked onto the tile's face, centred and `lift` pixels lower, coloured by the
// function (or flat when it is empty), a little lighter at the top: printed on a glossy face.
void PaintGlyphOnTile(Canvas& tile, const Canvas& mask, const GlyphInk& colour, int rank, const Rgba& flat, float lift);

// A small index in the upper left corner of the face ("" for none).
void PaintCorner(Studio& studio, Canvas& tile, const char* text, const Rgba& colour);

// Where the dots of a rank (1 .. 9) stand, as shares (u, v) of the box they fill, and their
// radius as a share of the box width.
struct DotPattern {
    struct Dot {
        float u, v;
    };
    float radius;
    std::vector<Dot> dots;
};
const DotPattern& GetDotPattern(int rank);

}  // namespace mkcontent
