#include "tools/mkcontent/TileSets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "tools/mkcontent/HelpPictures.h"
#include "tools/mkcontent/LacquerFaces.h"
#include "tools/mkcontent/Studio.h"
#include "tools/mkcontent/TextFiles.h"
#include "tools/mkcontent/TileInk.h"

namespace mkcontent {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Colours of the faces: suits must be told apart at a glance.
const uint32_t kNavy = 0xFF1B2B6E, kCrimson = 0xFFB5162E, kJade = 0xFF0F7A3A, kBlue = 0xFF1550A8;

// A coloured glyph: colour chosen per pixel from its place in the glyph (u, v in 0..1).
using GlyphColour = Rgba (*)(float u, float v, int rank);

Rgba DotColour(float u, float v, int rank) {
    const float d = std::hypot(u - 0.5f, v - 0.5f);
    if (rank == 1) return d < 0.16f ? Argb(kCrimson) : d < 0.3f ? Argb(kJade) : Argb(kBlue);
    if (rank == 5 || rank == 9) return d < 0.14f ? Argb(kCrimson) : Argb(kBlue);
    if (rank == 7) return v < 0.42f ? Argb(kJade) : Argb(kCrimson);
    return (rank % 2 == 0 && v > 0.5f) ? Argb(kJade) : Argb(kBlue);
}

Rgba BambooColour(float u, float v, int rank) {
    if (rank == 1) return v < 0.45f ? Argb(kCrimson) : Argb(kJade);
    if (rank == 5 || rank == 7 || rank == 9) return std::fabs(u - 0.5f) < 0.14f ? Argb(kCrimson) : Argb(kJade);
    return Argb(kJade);
}

Rgba CharacterColour(float, float v, int) { return v < 0.45f ? Argb(kNavy) : Argb(kCrimson); }
Rgba WindColour(float, float, int) { return Argb(kNavy); }
Rgba DragonColour(float, float, int rank) { return rank == 0 ? Argb(kCrimson) : rank == 1 ? Argb(kJade) : Argb(kBlue); }
Rgba FlowerColour(float, float v, int rank) {
    const uint32_t blossoms[4] = {0xFFD0307A, 0xFFE06A10, 0xFF8A2BB0, 0xFFC81E3C};
    return v < 0.62f ? Argb(blossoms[rank % 4]) : Argb(kJade);
}
Rgba SeasonColour(float, float v, int rank) {
    const uint32_t seasons[4] = {0xFF2E9A3C, 0xFFE0301E, 0xFFC86A0A, 0xFF2A6AC8};
    return Mix(Argb(seasons[rank % 4]), Argb(kNavy), Clamp01(v - 0.6f));
}

struct FaceSpec {
    uint32_t codePoint;
    GlyphColour colour;
    int rank;
    const char* corner;  // small index in the upper left corner, "" for none
};

FaceSpec ClassicFace(int index) {
    static const char* const kDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    if (index < 9) return {0x1F019u + static_cast<uint32_t>(index), DotColour, index + 1, kDigits[index]};
    if (index < 18) return {0x1F010u + static_cast<uint32_t>(index - 9), BambooColour, index - 8, kDigits[index - 9]};
    if (index < 27)
        return {0x1F007u + static_cast<uint32_t>(index - 18), CharacterColour, index - 17, kDigits[index - 18]};
    if (index < 31) return {0x1F026u + static_cast<uint32_t>(index - 27), SeasonColour, index - 27, ""};
    if (index < 35) {
        static const char* const kWinds[] = {"E", "S", "W", "N"};
        return {0x1F000u + static_cast<uint32_t>(index - 31), WindColour, 0, kWinds[index - 31]};
    }
    if (index < 39) return {0x1F022u + static_cast<uint32_t>(index - 35), FlowerColour, index - 35, ""};
    return {0x1F004u + static_cast<uint32_t>(index - 39), DragonColour, index - 39, ""};
}

// Logical pairs: two pictures that belong together, and the colour both are drawn in.
struct LogicPair {
    uint32_t first;
    uint32_t second;
    uint32_t colour;
};

const LogicPair kLogicPairs[] = {
        {0x2600, 0x263E, 0xFFD08A00},    // sun, moon
        {0x2654, 0x2655, 0xFF6A2A9A},    // king, queen
        {0x2642, 0x2640, 0xFF2A5AB8},    // man, woman
        {0x2601, 0x2602, 0xFF3A6A9A},    // cloud, umbrella
        {0x2693, 0x26F5, 0xFF1A4A8A},    // anchor, sailboat
        {0x1F511, 0x1F512, 0xFFA06A10},  // key, lock
        {0x231B, 0x23F0, 0xFF8A4A1A},    // hourglass, alarm clock
        {0x266A, 0x266B, 0xFF2A2A6A},    // note, notes
        {0x1F41D, 0x1F36F, 0xFFC08000},  // bee, honey
        {0x1F41F, 0x1F3A3, 0xFF1A7AA0},  // fish, fishing rod
        {0x1F525, 0x1F4A7, 0xFFD0401A},  // fire, water drop
        {0x1F331, 0x1F333, 0xFF1A8A3A},  // seedling, tree
        {0x1F577, 0x1F578, 0xFF4A4A4A},  // spider, web
        {0x26C4, 0x2744, 0xFF3A7AC8},    // snowman, snowflake
        {0x1F381, 0x1F380, 0xFFC0204A},  // gift, ribbon
        {0x1F50B, 0x1F50C, 0xFF2A8A5A},  // battery, plug
        {0x1F4A1, 0x1F526, 0xFFB08A00},  // light bulb, torch
        {0x1F347, 0x1F377, 0xFF7A1A6A},  // grapes, wine
        {0x1F682, 0x1F683, 0xFF5A3A2A},  // locomotive, carriage
        {0x270F, 0x1F4DD, 0xFF3A3A8A},   // pencil, memo
        {0x1F697, 0x26FD, 0xFFB0301A},   // car, fuel pump
};
static_assert(sizeof(kLogicPairs) / sizeof(kLogicPairs[0]) == 21, "the logic set holds 21 pairs");

// The dots suit painted as solid coins (disc, ivory ring, coloured centre) in the usual
// patterns: the symbol font draws its dots as hairline rings that fade at tile size. The
// patterns sit below the corner number.
void PaintDots(Canvas& tile, int rank) {
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const float bx = static_cast<float>(fx) + 3, by = static_cast<float>(fy) + 12;
    const float bw = static_cast<float>(fw) - 6, bh = static_cast<float>(fh) - 15;
    const DotPattern& pattern = GetDotPattern(rank);
    const float r = pattern.radius * bw;
    const Rgba ivory = Argb(0xFFFAF3DF);
    for (const DotPattern::Dot& d : pattern.dots) {
        const float cx = bx + d.u * bw, cy = by + d.v * bh;
        // The single dot takes its colours ring by ring; the others one colour each.
        tile.Paint(Circle(cx, cy, r), [&](float x, float y) {
            return rank == 1 ? DotColour((x - bx) / bw, (y - by) / bh, rank) : DotColour(d.u, d.v, rank);
        });
        tile.Paint(Ring(cx, cy, r * 0.6f, std::max(1.2f, r * 0.16f)), Solid(ivory));
        if (rank == 1) tile.Paint(Ring(cx, cy, r * 0.25f, 1.4f), Solid(ivory));
    }
}

Canvas FaceDown(Studio& studio, const Rgba& back) {
    Canvas tile = studio.TileBlank(back);
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const float x = static_cast<float>(fx), y = static_cast<float>(fy), w = static_cast<float>(fw),
                h = static_cast<float>(fh);
    tile.Paint(RoundRect(x + 1, y + 1, w - 2, h - 2, 5), [&](float px, float py) {
        const float lattice =
                std::fabs(std::fmod(px + py + 100.0f, 10.0f) - 5) + std::fabs(std::fmod(px - py + 100.0f, 10.0f) - 5);
        return Mix(Scale(back, 1.25f), Scale(back, 0.85f), Clamp01(lattice / 6.0f));
    });
    tile.Paint(Star(x + w / 2, y + h / 2, 13, 6, 8, 0),
               VerticalGradient(y + h / 2 - 13, Argb(0xFFFFF0B0), y + h / 2 + 13, Argb(0xFFC89020)));
    return tile;
}

Canvas CollectionFace(Studio& studio, const Rgba& back) {
    Canvas tile = studio.TileBlank(back);
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const float cx = static_cast<float>(fx) + static_cast<float>(fw) / 2,
                cy = static_cast<float>(fy) + static_cast<float>(fh) / 2;
    tile.Paint(Circle(cx, cy, 18), VerticalGradient(cy - 18, Argb(0xFFFFE27A), cy + 18, Argb(0xFFB07A10)));
    tile.Paint(Ring(cx, cy, 14, 1.5f), Solid(Argb(0xFF8A5A08)));
    tile.Paint(RoundRect(cx - 5, cy - 5, 10, 10, 1), Solid(Argb(0xFFF8F0D8)));
    tile.Paint(Ring(cx, cy, 18, 1.2f), Solid(Argb(0xFF7A4A08)));
    return tile;
}

// Tool and fixed faces (types 1 to 5): a symbol in a coloured disc.
Canvas ToolFace(Studio& studio, const Rgba& back, int type) {
    static const uint32_t kSymbols[5] = {0x21C4, 0x267B, 0x2605, 0x2692, 0x2753};  // swap, change, fixed, remove, hint
    static const uint32_t kColours[5] = {0xFF1F6FC0, 0xFF1E8A44, 0xFFB0247A, 0xFFC0401A, 0xFFC8A000};
    Canvas tile = studio.TileBlank(back);
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const float cx = static_cast<float>(fx) + static_cast<float>(fw) / 2,
                cy = static_cast<float>(fy) + static_cast<float>(fh) / 2;
    const Rgba colour = Argb(kColours[type - 1]);
    tile.Paint(Circle(cx, cy, 20), VerticalGradient(cy - 20, Scale(colour, 1.4f), cy + 20, Scale(colour, 0.7f)));
    tile.Paint(Ring(cx, cy, 20, 1.5f), Solid(Scale(colour, 0.5f)));
    FontFace& face = studio.GetFaces().symbols->HasGlyph(kSymbols[type - 1]) ? *studio.GetFaces().symbols
                                                                             : *studio.GetFaces().sansBold;
    const Canvas mask = FittedGlyph(face, kSymbols[type - 1], 26, 26, false);
    tile.DrawMask(mask, static_cast<int>(cx) - mask.Width() / 2, static_cast<int>(cy) - mask.Height() / 2,
                  Argb(0xFFFFFFFF));
    return tile;
}

std::string SetFileText(const std::string& folder, bool logicSet) {
    std::string text = "; Tile groups in order g00 .. g49; made by mkcontent.\n";
    for (int i = 0; i < kTileGroupCount; ++i) {
        const TileGroupInfo info = GetTileGroupInfo(i, logicSet);
        char section[160];
        std::snprintf(section, sizeof section, "[g%02d]\ngroup=%d\ntype=%d\nsprite=%s/t%02d\neffect=\nEffectType=-1\n",
                      i, info.group, info.type, folder.c_str(), i);
        text += section;
    }
    return text;
}

}  // namespace

TileGroupInfo GetTileGroupInfo(int index, bool logicSet) {
    TileGroupInfo info{0, 0};
    if (index >= 27 && index <= 30) info.group = 1;
    if (index >= 35 && index <= 38) info.group = 2;
    if (index == 43) info.type = 6;
    if (index >= 44 && index <= 48) info.type = index - 43;
    if (logicSet && (index == 42 || index == 49)) info.type = 7;
    return info;
}

std::vector<std::string> MakeTileSets(Studio& studio) {
    struct SetLook {
        const char* folder;
        uint32_t back;
        bool logic;
        bool lacquer;
    };
    const SetLook sets[] = {
            {"tilesets/classic", 0xFF1E7A5A, false, false},
            {"tilesets/lacquer", 0xFF8A2A2A, false, true},
            {"tilesets/pairs", 0xFF2A4A8A, true, false},
    };
    FontFace& symbols = *studio.GetFaces().symbols;
    std::vector<std::string> files;
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    std::vector<std::vector<Canvas>> paintedSets;
    for (const SetLook& look : sets) {
        const Rgba back = Argb(look.back);
        std::vector<Canvas> painted;
        for (int i = 0; i < kTileGroupCount; ++i) {
            Canvas tile;
            if (i < 42 && look.lacquer) {
                tile = LacquerFace(studio, i, back);
            } else if (i < 42 && !look.logic) {
                const FaceSpec spec = ClassicFace(i);
                tile = studio.TileBlank(back);
                const bool corner = spec.corner[0] != 0;
                if (spec.colour == DotColour) {
                    PaintDots(tile, spec.rank);
                } else {
                    const Canvas mask = Emboldened(FittedGlyph(symbols, spec.codePoint, fw - 6 - 2 * kBoldPad,
                                                               fh - (corner ? 10 : 6) - 2 * kBoldPad, true),
                                                   spec.colour == BambooColour ? 1.3f : 0.9f);
                    PaintGlyphOnTile(tile, mask, spec.colour, spec.rank, Rgba(), corner ? 3.0f : 0.0f);
                }
                if (spec.corner[0] != 0) PaintCorner(studio, tile, spec.corner, spec.colour(0.5f, 0.2f, spec.rank));
            } else if (i < 42) {
                const LogicPair& pair = kLogicPairs[i / 2];
                const uint32_t cp = i % 2 == 0 ? pair.first : pair.second;
                tile = studio.TileBlank(back);
                FontFace& face = symbols.HasGlyph(cp) ? symbols : *studio.GetFaces().sansBold;
                const Canvas mask =
                        Emboldened(FittedGlyph(face, cp, fw - 10 - 2 * kBoldPad, fh - 16 - 2 * kBoldPad, false), 0.9f);
                PaintGlyphOnTile(tile, mask, GlyphInk(), 0, Argb(pair.colour), 0);
            } else if (i == 42) {
                tile = FaceDown(studio, back);
            } else if (i == 43) {
                tile = CollectionFace(studio, back);
            } else if (i < 49) {
                tile = ToolFace(studio, back, i - 43);
            } else {
                tile = studio.TileBlank(back);
            }
            char name[32];
            std::snprintf(name, sizeof name, "/t%02d", i);
            studio.Save(std::string(look.folder) + name, tile);
            painted.push_back(tile);
        }
        paintedSets.push_back(std::move(painted));
        const std::string file = std::string(look.folder) + ".set";
        WriteText(studio.Root(), file, SetFileText(look.folder, look.logic), true);
        files.push_back(file);
    }
    MakeHelpPictures(studio, paintedSets.front(), paintedSets.back());
    std::string index = "[Tilesets]\n";
    for (size_t i = 0; i < files.size(); ++i) index += std::to_string(i) + "=" + files[i] + "\n";
    WriteText(studio.Root(), "tilesets/tilesets.set", index, true);
    return files;
}

}  // namespace mkcontent
