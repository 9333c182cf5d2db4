#include "tools/mkcontent/AdventureMaps.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/mkcontent/Scenery.h"
#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

const Rgba kInk = Argb(0xFF3A2410);

// An inked outline of the shape: a line of the given width along its edge.
void Outline(Canvas& c, const Distance& shape, float width, int bx, int by, int bw, int bh) {
    c.Paint([&](float x, float y) { return std::fabs(shape(x, y)) - width / 2; }, Solid(kInk), bx, by, bw, bh);
}

void Cartouche(Studio& s, Canvas& c, const char* name) {
    Canvas shadow(1024, 140);
    shadow.Paint(RoundRect(262, 28, 500, 76, 14), Solid(Argb(0xFF000000)));
    c.DrawMask(shadow.BlurredAlpha(4), 4, 6, Argb(0xFF000000), 0.35f);
    c.Paint(RoundRect(262, 24, 500, 76, 14), VerticalGradient(24, Argb(0xFFFBF0D0), 100, Argb(0xFFE8CF98)), 250, 14,
            524, 100);
    Outline(c, RoundRect(262, 24, 500, 76, 14), 2.5f, 250, 14, 524, 100);
    Outline(c, RoundRect(270, 32, 484, 60, 10), 1.0f, 250, 14, 524, 100);
    CaptionStyle style;
    style.pixelHeight = 40;
    style.top = Argb(0xFF6A1E10);
    style.bottom = Argb(0xFF3A1008);
    style.outline = Argb(0xFFFFF6DC);
    style.outlineWidth = 1;
    style.shadowOffset = 0;
    c.Draw(s.Banner(480, 70, name, style, true), 272, 27);
}

// A dotted road through the points (Catmull-Rom), a dot every few pixels.
void DottedRoad(Canvas& c, const std::vector<std::pair<float, float>>& points) {
    const int count = static_cast<int>(points.size());
    for (int i = 0; i + 1 < count; ++i) {
        const auto& p0 = points[static_cast<size_t>(std::max(0, i - 1))];
        const auto& p1 = points[static_cast<size_t>(i)];
        const auto& p2 = points[static_cast<size_t>(i + 1)];
        const auto& p3 = points[static_cast<size_t>(std::min(count - 1, i + 2))];
        const float length = std::hypot(p2.first - p1.first, p2.second - p1.second);
        const int dots = std::max(2, static_cast<int>(length / 14));
        for (int k = 0; k < dots; ++k) {
            const float t = static_cast<float>(k) / static_cast<float>(dots), t2 = t * t, t3 = t2 * t;
            auto at = [&](float a0, float a1, float a2, float a3) {
                return 0.5f * (2 * a1 + (-a0 + a2) * t + (2 * a0 - 5 * a1 + 4 * a2 - a3) * t2 +
                               (-a0 + 3 * a1 - 3 * a2 + a3) * t3);
            };
            const float x = at(p0.first, p1.first, p2.first, p3.first);
            const float y = at(p0.second, p1.second, p2.second, p3.second);
            c.Paint(Circle(x, y, 3.2f), Solid(Argb(0xD07A2A10)), static_cast<int>(x) - 5, static_cast<int>(y) - 5, 10,
                    10);
        }
    }
}

// Little inked trees scattered where the mask function allows them.
template <typename Allowed>
void Trees(Canvas& c, uint32_t seed, int count, Allowed allowed) {
    Lcg random(seed);
    for (int i = 0; i < count; ++i) {
        const float x = 40 + random.Unit() * 944, y = 130 + random.Unit() * 540;
        if (!allowed(x, y)) continue;
        const int bx = static_cast<int>(x) - 12, by = static_cast<int>(y) - 22;
        c.Paint(RoundRect(x - 1.2f, y - 4, 2.4f, 10, 1), Solid(kInk), bx, by, 24, 34);
        c.Paint(Circle(x, y - 10, 8), Solid(Argb(0xFF6A8A3A)), bx, by, 24, 34);
        Outline(c, Circle(x, y - 10, 8), 1.4f, bx, by, 24, 34);
    }
}

// ---- The lake ----

Distance LakeShape() {
    return [](float x, float y) {
        const float n = TileNoise(x / 90.0f, y / 90.0f, 64, 2, 303);
        return (std::hypot((x - 540) / 350, (y - 410) / 215) - 1 + 0.22f * (n - 0.5f)) * 200;
    };
}

void PaintLakeMap(Studio& s, Canvas& c) {
    const Distance lake = LakeShape();
    c.Paint(
            lake,
            [](float x, float y) {
                const float wave = std::sin(y * 0.6f + std::sin(x * 0.05f) * 2.0f);
                return Mix(Argb(0xB05A8AB0), Argb(0xC03A6A9A), Clamp01(wave * 0.5f + 0.5f));
            },
            150, 160, 780, 500);
    Outline(c, lake, 2.5f, 150, 160, 780, 500);
    Trees(c, 41, 110, [&](float x, float y) {
        return lake(x, y) > 14 && !(y > 640 && (x < 280 || x > 744)) && !(y < 120) &&
               std::hypot(x - 880, y - 215) > 90 && std::hypot(x - 245, y - 560) > 70;
    });

    // Level 1: the lantern pier on the south-west shore.
    c.Paint(Polygon({200, 585, 300, 515, 312, 528, 212, 598}), Solid(Argb(0xFF8A5A2A)), 190, 500, 140, 110);
    Outline(c, Polygon({200, 585, 300, 515, 312, 528, 212, 598}), 1.5f, 190, 500, 140, 110);
    for (int k = 1; k < 6; ++k) {
        const float t = static_cast<float>(k) / 6.0f;
        c.Paint(RoundRect(200 + 100 * t - 1, 585 - 70 * t - 2, 2, 16, 1), Solid(kInk), 190, 500, 140, 110);
    }
    c.Paint(RoundRect(303, 470, 3, 55, 1.5f), Solid(kInk), 290, 440, 40, 100);
    PaintLantern(c, 304, 462, 26, true, false);

    // Level 2: the stepped pyramid on its island.
    const Distance island = [](float x, float y) { return (std::hypot((x - 560) / 95, (y - 395) / 58) - 1) * 60; };
    c.Paint(island, Solid(Argb(0xFFD8C08A)), 450, 320, 220, 150);
    Outline(c, island, 2.0f, 450, 320, 220, 150);
    for (int step = 0; step < 5; ++step) {
        const float w = 120 - 22 * static_cast<float>(step), y = 400 - 16 * static_cast<float>(step);
        c.Paint(RoundRect(560 - w / 2, y - 16, w, 17, 1),
                Solid(Mix(Argb(0xFFC8A060), Argb(0xFFE8D0A0), static_cast<float>(step) / 4)), 480, 300, 160, 130);
        Outline(c, RoundRect(560 - w / 2, y - 16, w, 17, 1), 1.3f, 480, 300, 160, 130);
    }

    // Level 3: the butterfly garden on the north-east shore: flower beds and a great butterfly.
    Lcg random(77);
    for (int k = 0; k < 40; ++k) {
        const float x = 810 + 140 * random.Unit(), y = 170 + 110 * random.Unit();
        if (std::hypot(x - 880, y - 215) > 75) continue;
        const uint32_t colours[3] = {0xFFD0407A, 0xFFE0A020, 0xFF8A3AB0};
        c.Paint(Circle(x, y, 3.5f), Solid(Argb(colours[k % 3])), static_cast<int>(x) - 6, static_cast<int>(y) - 6, 12,
                12);
    }
    for (const float side : {-1.0f, 1.0f}) {
        const Distance upper = [=](float x, float y) {
            return (std::hypot((x - (880 + side * 24)) / 24, (y - 192) / 18) - 1) * 18;
        };
        const Distance lower = [=](float x, float y) {
            return (std::hypot((x - (880 + side * 17)) / 15, (y - 222) / 13) - 1) * 13;
        };
        c.Paint(upper, Solid(Argb(0xFFE07A20)), 830, 160, 100, 90);
        c.Paint(lower, Solid(Argb(0xFFD04A10)), 830, 160, 100, 90);
        Outline(c, upper, 1.6f, 830, 160, 100, 90);
        Outline(c, lower, 1.6f, 830, 160, 100, 90);
        c.Paint(Circle(880 + side * 26, 190, 5), Solid(Argb(0xFFFFF0C0)), 830, 160, 100, 90);
    }
    c.Paint(RoundRect(877, 180, 6, 50, 3), Solid(kInk), 830, 160, 100, 90);
    DottedRoad(c, {{250, 620}, {360, 560}, {470, 470}, {560, 445}, {700, 360}, {800, 300}, {880, 258}});
    Cartouche(s, c, "The Moonlit Lake");
}

// ---- The mountains ----

void PaintMountainMap(Studio& s, Canvas& c) {
    // A range of inked peaks across the north, hatched on their shaded sides.
    const float peaks[][3] = {{120, 250, 80}, {250, 210, 95}, {380, 260, 70}, {470, 200, 90},
                              {620, 240, 75}, {720, 300, 60}, {940, 260, 70}, {560, 170, 60}};
    for (const auto& p : peaks) {
        const float x = p[0], top = p[1], half = p[2];
        const std::vector<float> shape{x - half, top + half * 1.1f, x, top, x + half, top + half * 1.1f};
        const int bx = static_cast<int>(x - half) - 2, by = static_cast<int>(top) - 2;
        const int bw = static_cast<int>(2 * half) + 4, bh = static_cast<int>(half * 1.1f) + 4;
        c.Paint(
                Polygon(shape),
                [&](float px, float py) {
                    const bool shade = px > x + (py - top) * 0.05f;
                    const float hatch = shade ? Clamp01(1.5f - std::fabs(std::fmod(px + py, 7.0f) - 3.5f)) : 0;
                    const bool snow = py < top + half * 0.35f;
                    Rgba colour = snow ? Argb(0xFFF8F4EA) : Argb(0xFFC8B088);
                    return Mix(colour, kInk, hatch * 0.6f);
                },
                bx, by, bw, bh);
        Outline(c, Polygon(shape), 1.8f, bx, by, bw, bh);
    }
    // A river down from the mountains, under the moon bridge, to the south.
    std::vector<std::pair<float, float>> river{{792, 262}, {800, 330}, {770, 420}, {820, 520}, {760, 620}, {800, 768}};
    for (size_t i = 0; i + 1 < river.size(); ++i) {
        const float ax = river[i].first, ay = river[i].second, bx = river[i + 1].first, by = river[i + 1].second;
        const Distance segment = [=](float x, float y) {
            const float ex = bx - ax, ey = by - ay;
            const float t = Clamp01(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey));
            return std::hypot(x - ax - ex * t, y - ay - ey * t) - 9;
        };
        const int left = static_cast<int>(std::min(ax, bx)) - 14, top = static_cast<int>(std::min(ay, by)) - 14;
        const int w = static_cast<int>(std::fabs(bx - ax)) + 28, h = static_cast<int>(std::fabs(by - ay)) + 28;
        c.Paint([&](float x, float y) { return segment(x, y) - 2; }, Solid(kInk), left, top, w, h);
        c.Paint(segment, Solid(Argb(0xFF6A9AC0)), left, top, w, h);
    }
    Trees(c, 43, 120, [](float x, float y) {
        return y > 360 && std::fabs(x - 790) > 50 && !(y > 640 && (x < 280 || x > 744)) &&
               std::hypot(x - 230, y - 520) > 95 && std::hypot(x - 500, y - 420) > 60;
    });

    // Level 1: the fortress on its hill: a wall with battlements between two towers.
    c.Paint([](float x, float y) { return (std::hypot((x - 230) / 130, (y - 552) / 42) - 1) * 42; },
            Solid(Argb(0x40806030)), 96, 506, 268, 92);
    auto block = [&](float x, float y, float w, float h) {
        c.Paint(RoundRect(x, y, w, h, 1), Solid(Argb(0xFFB8A890)), 130, 420, 210, 150);
        Outline(c, RoundRect(x, y, w, h, 1), 1.5f, 130, 420, 210, 150);
    };
    block(170, 500, 120, 50);
    for (int k = 0; k < 6; ++k) block(172 + static_cast<float>(k) * 20, 490, 10, 12);
    block(150, 462, 36, 88);
    block(274, 462, 36, 88);
    for (const float tx : {150.0f, 274.0f})
        for (int k = 0; k < 3; ++k) block(tx + static_cast<float>(k) * 13, 452, 10, 12);
    c.Paint(RoundRect(218, 518, 24, 32, 10), Solid(kInk), 130, 420, 210, 150);

    // Level 2: the riddle stone: a standing stone with a question carved in it.
    const Distance stone = RoundRect(478, 330, 46, 92, 18);
    c.Paint(stone, VerticalGradient(330, Argb(0xFFA8A8A0), 422, Argb(0xFF707068)), 460, 320, 90, 110);
    Outline(c, stone, 2.0f, 460, 320, 90, 110);
    CaptionStyle carved;
    carved.pixelHeight = 40;
    carved.top = kInk;
    carved.bottom = kInk;
    carved.outline = Argb(0x00000000);
    carved.outlineWidth = 0;
    carved.shadowOffset = 0;
    const Canvas question = Caption(*s.GetFaces().serifBold, "?", carved);
    c.Draw(question, 501 - question.Width() / 2, 350);

    // Level 3: the moon bridge: a round arch over the river's gorge.
    const Distance arch = [](float x, float y) {
        const float d = std::hypot(x - 790, y - 300);
        return std::max(std::fabs(d - 44) - 6, y - 300);
    };
    c.Paint(arch, Solid(Argb(0xFFC04A2A)), 730, 240, 120, 70);
    Outline(c, arch, 1.6f, 730, 240, 120, 70);
    for (int k = 0; k <= 8; ++k) {
        const float a = 3.14159f * static_cast<float>(k) / 8;
        const float x = 790 - 50 * std::cos(a), y = 300 - 50 * std::sin(a);
        c.Paint(RoundRect(x - 1, y - 12, 2, 12, 1), Solid(kInk), 730, 230, 120, 80);
    }
    DottedRoad(c, {{230, 600}, {330, 560}, {430, 470}, {500, 445}, {620, 400}, {720, 350}, {790, 325}});
    Cartouche(s, c, "The Silver Mountains");
}

}  // namespace

const std::array<MapPlace, 3>& GetMapPlaces(int stage) {
    // Each marker stands at the foot of its place, over the road.
    static const std::array<MapPlace, 3> kLake{{{276, 478}, {536, 420}, {856, 234}}};
    static const std::array<MapPlace, 3> kMountains{{{206, 540}, {477, 422}, {766, 300}}};
    return stage == 2 ? kMountains : kLake;
}

Canvas StageMap(Studio& s, int stage) {
    Canvas c = Parchment(1024, 768, stage == 2 ? 32 : 31);
    if (stage == 2)
        PaintMountainMap(s, c);
    else
        PaintLakeMap(s, c);
    return c;
}

}  // namespace mkcontent
