#include "tools/mkcontent/LacquerFaces.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/mkcontent/Studio.h"
#include "tools/mkcontent/TileInk.h"

namespace mkcontent {

namespace {

// The lacquer inks and the cream face they are painted on.
const uint32_t kInk = 0xFF1C1412, kVermilion = 0xFFC42A1C, kTeal = 0xFF0B6466, kOchre = 0xFFB8780E;
const uint32_t kFaceLight = 0xFFFFF6E2, kFaceDark = 0xFFF1DAB8;

struct Box {
    float x, y, w, h;
};

// The face area of the tile, inset on each side.
Box FaceBox(float left, float top, float right, float bottom) {
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    return {static_cast<float>(fx) + left, static_cast<float>(fy) + top, static_cast<float>(fw) - left - right,
            static_cast<float>(fh) - top - bottom};
}

// A coin with a square hole: a disc with a dark rim, a light ring and the hole in the face's
// colour.
void PaintCoin(Canvas& tile, float cx, float cy, float r, const Rgba& colour, bool grand) {
    tile.Paint(Circle(cx, cy, r + 0.8f), Solid(Argb(kInk)));
    tile.Paint(Circle(cx, cy, r), VerticalGradient(cy - r, Scale(colour, 1.25f), cy + r, Scale(colour, 0.8f)));
    tile.Paint(Ring(cx, cy, r * 0.68f, std::max(0.9f, r * 0.1f)), Solid(Argb(0xE0FFF2D0)));
    if (grand) tile.Paint(Circle(cx, cy, r * 0.5f), Solid(Argb(kTeal)));
    const float hole = std::max(1.6f, r * (grand ? 0.22f : 0.3f));
    tile.Paint(RoundRect(cx - hole, cy - hole, 2 * hole, 2 * hole, 0.5f), Solid(Argb(kFaceLight)));
}

void PaintCoins(Canvas& tile, int rank) {
    const Box b = FaceBox(3, 12, 3, 3);
    const DotPattern& pattern = GetDotPattern(rank);
    const float r = pattern.radius * b.w;
    for (const DotPattern::Dot& d : pattern.dots) {
        // The middle coin of the odd ranks is vermilion; above it teal, below it black.
        const bool middle = std::fabs(d.u - 0.5f) < 0.05f && std::fabs(d.v - 0.5f) < 0.05f;
        const Rgba colour = rank == 1 || middle ? Argb(kVermilion) : d.v < 0.5f ? Argb(kTeal) : Argb(0xFF3A3230);
        PaintCoin(tile, b.x + d.u * b.w, b.y + d.v * b.h, r, colour, rank == 1);
    }
}

// A painted bamboo stalk standing at (cx, cy): rounded, lit from the left, with two nodes.
void PaintStalk(Canvas& tile, float cx, float cy, float w, float h, const Rgba& colour) {
    const float x = cx - w / 2, y = cy - h / 2;
    tile.Paint(RoundRect(x - 0.7f, y - 0.7f, w + 1.4f, h + 1.4f, w / 2), Solid(Argb(kInk)));
    tile.Paint(RoundRect(x, y, w, h, w / 2),
               [&](float px, float) { return Mix(Scale(colour, 1.5f), Scale(colour, 0.75f), (px - x) / w); });
    for (float at : {0.33f, 0.66f})
        tile.Paint(RoundRect(x - 0.5f, y + h * at - 0.7f, w + 1, 1.4f, 0.5f), Solid(Argb(kInk)));
}

void PaintStalks(Studio& studio, Canvas& tile, int rank) {
    if (rank == 1) {  // the bird of the one of bamboo
        const Box b = FaceBox(4, 12, 4, 4);
        const Canvas mask =
                Emboldened(FittedGlyph(*studio.GetFaces().symbols, 0x1F426, static_cast<int>(b.w) - 2 * kBoldPad,
                                       static_cast<int>(b.h) - 2 * kBoldPad, false),
                           1.4f);
        PaintGlyphOnTile(
                tile, mask, [](float, float v, int) { return v < 0.55f ? Argb(kVermilion) : Argb(kTeal); }, 1, Rgba(),
                5);
        return;
    }
    struct Place {
        float u, v;
        bool red;
    };
    // Two rows of stalks (three for seven and nine), a red one in the middle of the odd ranks.
    static const std::vector<Place> kPlaces[8] = {
            {{0.5f, 0.25f, false}, {0.5f, 0.75f, false}},
            {{0.5f, 0.25f, true}, {0.3f, 0.75f, false}, {0.7f, 0.75f, false}},
            {{0.3f, 0.25f, false}, {0.7f, 0.25f, false}, {0.3f, 0.75f, false}, {0.7f, 0.75f, false}},
            {{0.2f, 0.25f, false},
             {0.8f, 0.25f, false},
             {0.5f, 0.5f, true},
             {0.2f, 0.75f, false},
             {0.8f, 0.75f, false}},
            {{0.2f, 0.25f, false},
             {0.5f, 0.25f, false},
             {0.8f, 0.25f, false},
             {0.2f, 0.75f, false},
             {0.5f, 0.75f, false},
             {0.8f, 0.75f, false}},
            {{0.5f, 0.17f, true},
             {0.2f, 0.5f, false},
             {0.5f, 0.5f, false},
             {0.8f, 0.5f, false},
             {0.2f, 0.83f, false},
             {0.5f, 0.83f, false},
             {0.8f, 0.83f, false}},
            {{0.14f, 0.25f, false},
             {0.38f, 0.25f, false},
             {0.62f, 0.25f, false},
             {0.86f, 0.25f, false},
             {0.14f, 0.75f, false},
             {0.38f, 0.75f, false},
             {0.62f, 0.75f, false},
             {0.86f, 0.75f, false}},
            {{0.2f, 0.17f, false},
             {0.5f, 0.17f, true},
             {0.8f, 0.17f, false},
             {0.2f, 0.5f, false},
             {0.5f, 0.5f, true},
             {0.8f, 0.5f, false},
             {0.2f, 0.83f, false},
             {0.5f, 0.83f, true},
             {0.8f, 0.83f, false}},
    };
    const Box b = FaceBox(4, 12, 4, 3);
    const bool threeRows = rank == 7 || rank == 9;
    const float h = b.h * (threeRows ? 0.29f : 0.44f), w = rank == 8 ? 5.0f : 6.5f;
    for (const Place& p : kPlaces[rank - 2])
        PaintStalk(tile, b.x + p.u * b.w, b.y + p.v * b.h, w, h, Argb(p.red ? kVermilion : 0xFF1E7A4A));
}

// A large numeral over the sign of the suit (the lower part of the symbol font's character
// tile).
void PaintNumeral(Studio& studio, Canvas& tile, int rank) {
    const Box b = FaceBox(0, 0, 0, 0);
    CaptionStyle style;
    style.pixelHeight = 30;
    style.top = Argb(kVermilion);
    style.bottom = Scale(Argb(kVermilion), 0.75f);
    style.outline = Argb(0xFF5A0A04);
    style.outlineWidth = 1;
    style.shadowOffset = 0;
    const Canvas numeral = Caption(*studio.GetFaces().serifBold, std::to_string(rank), style);
    tile.Draw(numeral, static_cast<int>(b.x + (b.w - static_cast<float>(numeral.Width())) / 2),
              static_cast<int>(b.y) - 3);
    const Canvas whole = FittedGlyph(*studio.GetFaces().symbols, 0x1F007, static_cast<int>(b.w) - 8, 60, true);
    const int cut = whole.Height() * 47 / 100;
    const Canvas sign = Emboldened(whole.Crop(0, cut, whole.Width(), whole.Height() - cut), 0.8f);
    tile.DrawMask(sign, static_cast<int>(b.x + (b.w - static_cast<float>(sign.Width())) / 2),
                  static_cast<int>(b.y + b.h) - sign.Height() - 3, Argb(kInk));
}

// A compass letter with an arrow towards its quarter.
void PaintWind(Studio& studio, Canvas& tile, int which) {
    static const char* const kLetters[4] = {"E", "S", "W", "N"};
    const Box b = FaceBox(0, 0, 0, 0);
    const Canvas letter = studio.GetFaces().serifBold->Text(kLetters[which], 36);
    // The letter's ink is lower than its line: centre the line a little above the middle.
    tile.DrawMask(letter, static_cast<int>(b.x + (b.w - static_cast<float>(letter.Width())) / 2),
                  static_cast<int>(b.y) + 2, Argb(kInk));
    const float cx = b.x + b.w / 2, cy = b.y + b.h - 11;
    // The arrow drawn pointing right, then turned to its quarter.
    static const float kTurn[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const float dx = kTurn[which][0], dy = kTurn[which][1];
    std::vector<float> xy;
    for (const auto& p : {std::make_pair(-9.0f, -1.6f), std::make_pair(2.0f, -1.6f), std::make_pair(2.0f, -5.0f),
                          std::make_pair(9.0f, 0.0f), std::make_pair(2.0f, 5.0f), std::make_pair(2.0f, 1.6f),
                          std::make_pair(-9.0f, 1.6f)}) {
        xy.push_back(cx + p.first * dx - p.second * dy);
        xy.push_back(cy + p.first * dy + p.second * dx);
    }
    tile.Paint([&](float x, float y) { return Polygon(xy)(x, y) - 0.8f; }, Solid(Argb(kInk)));
    tile.Paint(Polygon(xy), Solid(Argb(kVermilion)));
}

// A picture of the symbol font, fitted below a small margin, its strokes widened by pen, in
// one colour above `split` and green (leaves, stems) below it.
void PaintPicture(Studio& studio, Canvas& tile, uint32_t codePoint, uint32_t colour, float split, float margin,
                  float pen) {
    const Box b = FaceBox(margin, margin, margin, margin);
    const Canvas mask =
            Emboldened(FittedGlyph(*studio.GetFaces().symbols, codePoint, static_cast<int>(b.w) - 2 * kBoldPad,
                                   static_cast<int>(b.h) - 2 * kBoldPad, false),
                       pen);
    PaintGlyphOnTile(
            tile, mask, [&](float, float v, int) { return v < split ? Argb(colour) : Argb(0xFF1E7A4A); }, 0, Rgba(), 0);
}

// The families of flowers and seasons each have a frame of their own colour inside the face.
void PaintFamilyFrame(Canvas& tile, uint32_t colour) {
    const Box b = FaceBox(2.5f, 2.5f, 2.5f, 2.5f);
    const Distance frame = RoundRect(b.x, b.y, b.w, b.h, 4);
    tile.Paint([&](float x, float y) { return std::fabs(frame(x, y)) - 0.9f; }, Solid(Argb(colour)));
}

void PaintDragon(Studio& studio, Canvas& tile, int which) {
    if (which == 0) {
        PaintPicture(studio, tile, 0x1F409, kVermilion, 2.0f, 4, 0.7f);
    } else if (which == 1) {
        PaintPicture(studio, tile, 0x1F432, kTeal, 2.0f, 6, 1.0f);
    } else {  // the white dragon: an empty double frame
        const Box outer = FaceBox(7, 8, 7, 8);
        for (const float inset : {0.0f, 5.0f}) {
            const Distance frame =
                    RoundRect(outer.x + inset, outer.y + inset, outer.w - 2 * inset, outer.h - 2 * inset, 3);
            tile.Paint([&](float x, float y) { return std::fabs(frame(x, y)) - (inset == 0 ? 1.8f : 1.0f); },
                       Solid(Argb(inset == 0 ? 0xFF1A3A8A : kInk)));
        }
    }
}

}  // namespace

Canvas LacquerFace(Studio& studio, int group, const Rgba& back) {
    Canvas tile = studio.TileBlank(back, Argb(kFaceLight), Argb(kFaceDark));
    static const char* const kDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    if (group < 9) {
        PaintCoins(tile, group + 1);
        PaintCorner(studio, tile, kDigits[group], Argb(kOchre));
    } else if (group < 18) {
        PaintStalks(studio, tile, group - 8);
        PaintCorner(studio, tile, kDigits[group - 9], Argb(kOchre));
    } else if (group < 27) {
        PaintNumeral(studio, tile, group - 17);
    } else if (group < 31) {  // seasons: shoot, sun, maple leaf, snowflake
        static const uint32_t kSeasons[4][2] = {
                {0x1F331, 0xFF1E7A4A}, {0x2600, kVermilion}, {0x1F341, 0xFFB8400E}, {0x2744, 0xFF1A5AA8}};
        static const float kPens[4] = {1.4f, 0.7f, 0.7f, 0.9f};
        PaintFamilyFrame(tile, kTeal);
        PaintPicture(studio, tile, kSeasons[group - 27][0], kSeasons[group - 27][1], 2.0f, 8, kPens[group - 27]);
        PaintCorner(studio, tile, kDigits[group - 27], Argb(kTeal));
    } else if (group < 35) {
        PaintWind(studio, tile, group - 31);
    } else if (group < 39) {  // flowers: blossom, tulip, sunflower, hibiscus
        static const uint32_t kFlowers[4][2] = {
                {0x1F338, 0xFFD0307A}, {0x1F337, kVermilion}, {0x1F33B, 0xFFD08A00}, {0x1F33A, 0xFF8A2BB0}};
        static const float kStems[4] = {2.0f, 0.55f, 0.6f, 2.0f};
        static const float kPens[4] = {1.4f, 0.7f, 0.7f, 0.7f};
        PaintFamilyFrame(tile, kVermilion);
        PaintPicture(studio, tile, kFlowers[group - 35][0], kFlowers[group - 35][1], kStems[group - 35], 8,
                     kPens[group - 35]);
        PaintCorner(studio, tile, kDigits[group - 35], Argb(kVermilion));
    } else {
        PaintDragon(studio, tile, group - 39);
    }
    return tile;
}

}  // namespace mkcontent
