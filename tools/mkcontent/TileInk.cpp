#include "tools/mkcontent/TileInk.h"

#include <algorithm>
#include <cmath>

#include "tools/mkcontent/FontFace.h"
#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
}  // namespace

Canvas TrimmedGlyph(FontFace& face, uint32_t codePoint, int pixelHeight, bool mahjongFrame) {
    Canvas glyph = face.Glyph(codePoint, pixelHeight);
    if (!mahjongFrame) return glyph;
    // The mahjong glyphs draw their own tile outline: keep what lies inside it.
    const int insetX = std::max(2, glyph.Width() * 12 / 100), insetY = std::max(2, glyph.Height() * 9 / 100);
    return glyph.Crop(insetX, insetY, glyph.Width() - 2 * insetX, glyph.Height() - 2 * insetY);
}

Canvas FittedGlyph(FontFace& face, uint32_t codePoint, int boxW, int boxH, bool mahjongFrame) {
    const int probe = 100;
    const Canvas first = TrimmedGlyph(face, codePoint, probe, mahjongFrame);
    const float scale = std::min(static_cast<float>(boxW) / static_cast<float>(first.Width()),
                                 static_cast<float>(boxH) / static_cast<float>(first.Height()));
    return TrimmedGlyph(face, codePoint, std::max(6, static_cast<int>(static_cast<float>(probe) * scale)),
                        mahjongFrame);
}

Canvas Emboldened(const Canvas& mask, float radius) {
    const int pad = kBoldPad;
    Canvas bold(mask.Width() + 2 * pad, mask.Height() + 2 * pad);
    const int reach = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < bold.Height(); ++y)
        for (int x = 0; x < bold.Width(); ++x) {
            float a = 0;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const float pen =
                            Clamp01(radius + 0.5f - std::hypot(static_cast<float>(dx), static_cast<float>(dy)));
                    a = std::max(a, mask.Get(x - pad + dx, y - pad + dy).a * pen);
                }
            bold.Set(x, y, Rgba{1, 1, 1, a});
        }
    return bold;
}

void PaintGlyphOnTile(Canvas& tile, const Canvas& mask, const GlyphInk& colour, int rank, const Rgba& flat,
                      float lift) {
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const int ox = fx + (fw - mask.Width()) / 2, oy = fy + (fh - mask.Height()) / 2 + static_cast<int>(lift);
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            const float a = mask.Get(x, y).a;
            if (a <= 0) continue;
            const float u = static_cast<float>(x) / static_cast<float>(mask.Width());
            const float v = static_cast<float>(y) / static_cast<float>(mask.Height());
            const Rgba c = colour ? colour(u, v, rank) : flat;
            tile.Blend(ox + x, oy + y, Scale(c, 1.1f - 0.25f * v), a);
        }
}

void PaintCorner(Studio& studio, Canvas& tile, const char* text, const Rgba& colour) {
    if (text[0] == 0) return;
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const Canvas mask = studio.GetFaces().sansBold->Text(text, 11);
    tile.DrawMask(mask, fx + 2, fy, colour);
}

const DotPattern& GetDotPattern(int rank) {
    static const DotPattern kPatterns[9] = {
            {0.38f, {{0.5f, 0.5f}}},
            {0.23f, {{0.5f, 0.25f}, {0.5f, 0.75f}}},
            {0.19f, {{0.22f, 0.18f}, {0.5f, 0.5f}, {0.78f, 0.82f}}},
            {0.2f, {{0.27f, 0.25f}, {0.73f, 0.25f}, {0.27f, 0.75f}, {0.73f, 0.75f}}},
            {0.18f, {{0.22f, 0.2f}, {0.78f, 0.2f}, {0.5f, 0.5f}, {0.22f, 0.8f}, {0.78f, 0.8f}}},
            {0.17f, {{0.27f, 0.17f}, {0.73f, 0.17f}, {0.27f, 0.5f}, {0.73f, 0.5f}, {0.27f, 0.83f}, {0.73f, 0.83f}}},
            {0.14f,
             {{0.2f, 0.13f}, {0.5f, 0.27f}, {0.8f, 0.41f}, {0.3f, 0.66f}, {0.7f, 0.66f}, {0.3f, 0.91f}, {0.7f, 0.91f}}},
            {0.135f,
             {{0.28f, 0.12f},
              {0.72f, 0.12f},
              {0.28f, 0.37f},
              {0.72f, 0.37f},
              {0.28f, 0.63f},
              {0.72f, 0.63f},
              {0.28f, 0.88f},
              {0.72f, 0.88f}}},
            {0.15f,
             {{0.18f, 0.17f},
              {0.5f, 0.17f},
              {0.82f, 0.17f},
              {0.18f, 0.5f},
              {0.5f, 0.5f},
              {0.82f, 0.5f},
              {0.18f, 0.83f},
              {0.5f, 0.83f},
              {0.82f, 0.83f}}},
    };
    return kPatterns[std::clamp(rank, 1, 9) - 1];
}

}  // namespace mkcontent
