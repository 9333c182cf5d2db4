#pragma once

// The painter's workshop of the content generator: the faces it draws text and tile glyphs
// with, the output folder, and the recurring pieces of the game's look (night skies, panels,
// four-state button sheets, banners, rings, tiles). The picture makers of the resource table,
// the tile sets and the animation sheets all paint through it.

#include <memory>
#include <string>

#include "tools/mkcontent/Canvas.h"
#include "tools/mkcontent/FontFace.h"

namespace mkcontent {

struct Faces {
    std::unique_ptr<FontFace> sans;
    std::unique_ptr<FontFace> sansBold;
    std::unique_ptr<FontFace> serifBold;
    std::unique_ptr<FontFace> symbols;  // Symbola: mahjong tiles and pictographs
};

class Studio {
public:
    Studio(const std::string& outputRoot, Faces& faces);

    // Writes the picture at root + relative path + ".png", making folders; counts failures.
    void Save(const std::string& relativePath, const Canvas& picture);
    int Failures() const { return failures; }
    int Written() const { return written; }
    const std::string& Root() const { return root; }
    Faces& GetFaces() { return faces; }

    // A night sky: deep blue gradient, a band of haze, seeded stars of varied brightness.
    Canvas NightSky(int width, int height, uint32_t seed, float starDensity) const;
    // Warm dusk to night gradient with soft clouds (the map and stage pictures).
    Canvas Dusk(int width, int height, uint32_t seed) const;
    // Soft tileable clouds on transparency.
    Canvas Clouds(int width, int height, uint32_t seed, float cover) const;
    // A rounded panel: dark translucent body, gold rim and an inner highlight.
    Canvas Panel(int width, int height, float radius, const Rgba& body) const;
    // Four states stacked vertically (normal, over, down, disabled) of a rounded button with a
    // caption (may be empty) or a centred symbol mask.
    Canvas ButtonSheet(int width, int height, const std::string& caption, const Rgba& base, int textHeight) const;
    Canvas SymbolButtonSheet(int width, int height, const Canvas& symbol, const Rgba& base) const;
    // Rendered headline text, centred on a transparent canvas of the size.
    Canvas Banner(int width, int height, const std::string& text, const CaptionStyle& style, bool serif) const;
    Canvas RingPicture(int size, const Rgba& colour) const;
    Canvas SoftDot(int size, const Rgba& colour, float hardness) const;
    Canvas Sparkle(int size, const Rgba& colour) const;
    // A blank ivory tile 58 x 68: face with a bevel, a green back layer at the left and
    // bottom edges, and a soft shadow.
    Canvas TileBlank(const Rgba& back) const;
    // The same with a face of another colour, light at the top left and darker at the bottom
    // right.
    Canvas TileBlank(const Rgba& back, const Rgba& faceLight, const Rgba& faceDark) const;
    // The face area of a tile picture: x, y, width, height.
    static void TileFaceRect(int* x, int* y, int* w, int* h);

private:
    std::string root;
    Faces& faces;
    int failures = 0;
    int written = 0;
};

}  // namespace mkcontent
