#include "tools/mkcontent/ComicPanels.h"

#include <algorithm>
#include <cmath>

#include "tools/mkcontent/Scenery.h"
#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {

constexpr int kSceneW = 420, kSceneH = 200;

Canvas LakeScene(Studio& s, uint32_t seed, bool moon) {
    Canvas scene = s.NightSky(kSceneW, kSceneH, seed, 1.5f);
    if (moon) PaintMoon(scene, 350, 44, 20);
    PaintRidges(scene, 260, seed, 1);
    PaintWater(scene, 120, moon ? 350 : -400, seed);
    return scene;
}

// A trail of sparks along a curve from a to b, brightest at its head.
void SparkTrail(Canvas& c, float ax, float ay, float bx, float by, float lift) {
    for (int k = 0; k <= 30; ++k) {
        const float t = static_cast<float>(k) / 30.0f;
        const float x = ax + (bx - ax) * t, y = ay + (by - ay) * t - lift * 4 * t * (1 - t);
        const float r = 1.5f + 2.5f * t;
        for (int dy = -6; dy <= 6; ++dy)
            for (int dx = -6; dx <= 6; ++dx) {
                const float d2 = static_cast<float>(dx * dx + dy * dy) / (r * r);
                c.Add(static_cast<int>(x) + dx, static_cast<int>(y) + dy, Argb(0xFFFFE090),
                      (0.3f + 0.7f * t) * std::exp(-d2));
            }
    }
}

Canvas LanternsGoOut(Studio& s) {
    Canvas scene = LakeScene(s, 94, true);
    for (int k = 0; k < 6; ++k) {
        const float x = 40 + static_cast<float>(k) * 64, y = 140 + static_cast<float>(k % 2) * 14;
        PaintLantern(scene, x, y, 26, k == 5, true);
    }
    return scene;
}

Canvas PairLightsLantern(Studio& s) {
    Canvas scene = LakeScene(s, 95, false);
    PaintLantern(scene, 330, 110, 34, true, true);
    PaintLantern(scene, 250, 150, 22, false, true);
    PaintLantern(scene, 390, 160, 22, false, true);
    const Rgba coin = Argb(0xFFB5162E), glow = Argb(0xFFFFD070);
    PaintSmallTile(s, scene, 24, 112, coin, glow);
    PaintSmallTile(s, scene, 96, 112, coin, glow);
    SparkTrail(scene, 110, 112, 318, 110, 70);
    return scene;
}

Canvas DarkLakeAndTiles(Studio& s) {
    Canvas scene = LakeScene(s, 96, false);
    for (int k = 0; k < 4; ++k)
        PaintLantern(scene, 200 + static_cast<float>(k) * 58, 132 + static_cast<float>(k % 2) * 12, 22, false, true);
    // The shore in the lower left with a heap of tiles, its top pair glowing.
    scene.Paint(Polygon({0, 150, 120, 160, 170, 200, 0, 200}), Solid(Argb(0xFF0A0C18)), 0, 140, 180, 60);
    const Rgba dark = Argb(0xFF1550A8), coin = Argb(0xFF0F7A3A);
    for (int k = 0; k < 3; ++k) PaintSmallTile(s, scene, 4 + k * 46, 136, k == 1 ? coin : dark, Rgba());
    PaintSmallTile(s, scene, 26, 92, Argb(0xFFB5162E), Argb(0xFFFFD070));
    PaintSmallTile(s, scene, 72, 92, Argb(0xFFB5162E), Argb(0xFFFFD070));
    return scene;
}

}  // namespace

Canvas StoryPanel(Studio& s, int index) {
    static const char* const kLines[kStoryPanelCount][2] = {
            {"The lanterns on the lake", "went out one by one."},
            {"Each pair of tiles you match", "lights one of them again."},
            {"The lanterns of the lake went dark.", "Match the tiles to light them again!"},
    };
    const int which = (std::max(1, index) - 1) % kStoryPanelCount;
    Canvas panel = s.Panel(460, 320, 20, Argb(0xF0203060));
    const Canvas scene = which == 0 ? LanternsGoOut(s) : which == 1 ? PairLightsLantern(s) : DarkLakeAndTiles(s);
    panel.Draw(scene, 20, 20);
    CaptionStyle text;
    text.pixelHeight = 24;
    text.top = Argb(0xFFFFF4D8);
    text.bottom = Argb(0xFFFFE0A0);
    text.outline = Argb(0xFF101840);
    text.shadowOffset = 2;
    panel.Draw(s.Banner(440, 44, kLines[which][0], text, false), 10, 222);
    panel.Draw(s.Banner(440, 44, kLines[which][1], text, false), 10, 262);
    return panel;
}

}  // namespace mkcontent
