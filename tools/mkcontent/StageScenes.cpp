#include "tools/mkcontent/StageScenes.h"

#include <cmath>

#include "tools/mkcontent/Scenery.h"
#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {

void Lake(Canvas& c, bool night, uint32_t seed) {
    if (night) PaintMoon(c, 984, 128, 30);  // right of the level list's cards
    PaintRidges(c, 580, seed, 2);
    PaintWater(c, 560, night ? 984 : 512, seed);
    // Lanterns floating at the sides of the lake, the far ones smaller.
    // (The level list shows this picture too: its texts stand at the left above y 640.)
    const float lanterns[][3] = {{26, 598, 20},  {64, 690, 34},  {176, 716, 38}, {270, 664, 22}, {380, 740, 30},
                                 {966, 604, 24}, {880, 650, 30}, {984, 700, 38}, {790, 592, 18}, {826, 724, 38}};
    for (const auto& l : lanterns) PaintLantern(c, l[0], l[1], l[2], true, true);
}

void Bamboo(Canvas& c, bool night, uint32_t seed) {
    PaintRidges(c, 720, seed, 2);
    Lcg random(seed);
    // Far stalks pale and thin, near ones dark and wide, only at the sides.
    for (int depth = 0; depth < 3; ++depth) {
        const float shade = static_cast<float>(depth) / 2.0f;
        const Rgba colour =
                night ? Mix(Argb(0xFF2A4A4A), Argb(0xFF08140E), shade) : Mix(Argb(0xFF6A7A5A), Argb(0xFF14240E), shade);
        for (int k = 0; k < 5; ++k) {
            const float width = 9 + 6 * static_cast<float>(depth);
            const float x = 10 + static_cast<float>(k) * 48 + 30 * random.Unit() - 10 * static_cast<float>(depth);
            PaintBambooStalk(c, x, -10, width, colour, seed + static_cast<uint32_t>(depth * 10 + k));
            PaintBambooStalk(c, 1014 - x, -10, width, colour, seed + 100 + static_cast<uint32_t>(depth * 10 + k));
        }
    }
    if (!night) return;
    for (int k = 0; k < 40; ++k) {  // fireflies
        const float x = random.Unit() < 0.5f ? 20 + 220 * random.Unit() : 780 + 220 * random.Unit();
        const float y = 200 + 540 * random.Unit();
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                const float d2 = static_cast<float>(dx * dx + dy * dy) / 6.0f;
                c.Add(static_cast<int>(x) + dx, static_cast<int>(y) + dy, Argb(0xFFE0FF80), std::exp(-d2));
            }
    }
}

void Mountains(Canvas& c, bool night, uint32_t seed) {
    if (night) PaintMoon(c, 140, 110, 26);
    PaintPeaks(c, 768, 620, seed, night ? Argb(0xFF2A3460) : Argb(0xFF5A5078),
               night ? Argb(0xFFC8D4F0) : Argb(0xFFFFE8E0));
    PaintRidges(c, 760, seed + 5, 2);
}

void Temple(Canvas& c, bool night, uint32_t seed) {
    if (night) PaintMoon(c, 512, 120, 30);
    PaintRidges(c, 760, seed, 1);
    const Rgba silhouette = night ? Argb(0xFF0A0C1C) : Argb(0xFF2A1A2A);
    PaintPagoda(c, 105, 768, 190, 5, silhouette);
    PaintPagoda(c, 935, 768, 150, 4, silhouette);
    c.Paint(RoundRect(-10, 740, 1044, 40, 4), Solid(silhouette), 0, 730, 1024, 38);
    // A string of lanterns across the top, sagging between its ends.
    for (int x = 0; x < 1024; ++x) {
        const float t = static_cast<float>(x) / 1023.0f;
        const float y = 78 + 60 * 4 * t * (1 - t);
        c.Blend(x, static_cast<int>(y), Argb(0xFF1A1010), 1.0f);
    }
    for (int k = 0; k < 9; ++k) {
        const float x = 62 + static_cast<float>(k) * 112.5f, t = x / 1023.0f;
        PaintLantern(c, x, 78 + 240 * t * (1 - t) + 16, 24, true, false);
    }
}

}  // namespace

Canvas StageScene(Studio& s, int scene, bool night) {
    const uint32_t seed = (night ? 80u : 70u) + static_cast<uint32_t>(scene);
    Canvas c = night ? s.NightSky(1024, 768, seed, 0.6f) : s.Dusk(1024, 768, seed);
    switch (scene) {
        case 1: Lake(c, night, seed); break;
        case 2: Bamboo(c, night, seed); break;
        case 3: Mountains(c, night, seed); break;
        default: Temple(c, night, seed); break;
    }
    // The board area darkened a little so that the tiles stand out.
    Canvas veil(1024, 768);
    veil.Paint(RoundRect(20, 80, 984, 620, 30), Solid(Argb(0xFF000000)));
    c.DrawMask(veil.BlurredAlpha(20), 0, 0, Argb(0xFF000010), night ? 0.25f : 0.35f);
    return c;
}

}  // namespace mkcontent
