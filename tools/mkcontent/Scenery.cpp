#include "tools/mkcontent/Scenery.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
}  // namespace

void PaintMoon(Canvas& c, float cx, float cy, float r) {
    Canvas halo(c.Width(), c.Height());
    halo.Paint(Circle(cx, cy, r * 1.6f), Solid(Argb(0xFFFFFFFF)));
    c.DrawMask(halo.BlurredAlpha(static_cast<int>(r / 2)), 0, 0, Argb(0xFFFFF2C8), 0.35f, true);
    c.Paint(Circle(cx, cy, r), [&](float x, float y) {
        const float n = TileNoise(x / 14.0f, y / 14.0f, 64, 3, 77);
        const float shade = Clamp01(0.5f + ((x - cx) + (cy - y)) / (4 * r));
        return Mix(Argb(0xFFE8DDB8), Argb(0xFFFFFBEA), shade * (0.75f + 0.25f * n));
    });
}

// Layered mountain ridges across the bottom part, darker towards the viewer.
void PaintRidges(Canvas& c, float baseY, uint32_t seed, int layers) {
    const float w = static_cast<float>(c.Width());
    for (int layer = 0; layer < layers; ++layer) {
        const float depth = static_cast<float>(layer) / static_cast<float>(std::max(1, layers - 1));
        const Rgba colour = Mix(Argb(0xFF2A2F63), Argb(0xFF0A0D22), depth);
        const float top = baseY - 170 + 55 * static_cast<float>(layer);
        const float amplitude = 150 - 35 * static_cast<float>(layer);
        for (int x = 0; x < c.Width(); ++x) {
            const float fx = static_cast<float>(x);
            const float n = TileNoise(fx / w * 5.0f, static_cast<float>(layer) * 3.1f, 5, 5,
                                      seed + static_cast<uint32_t>(layer));
            const float ridge = top + amplitude * (1 - std::pow(n, 1.6f));
            for (int y = std::max(0, static_cast<int>(ridge) - 1); y < c.Height(); ++y) {
                const float coverage = Clamp01(static_cast<float>(y) + 1 - ridge);
                if (static_cast<float>(y) > baseY + 200) break;
                c.Blend(x, y, colour, coverage);
            }
        }
    }
}

// Still water from y to the bottom, mirroring the sky faintly, with glints under the moon.
void PaintWater(Canvas& c, float top, float moonX, uint32_t seed) {
    const float h = static_cast<float>(c.Height());
    for (int y = static_cast<int>(top); y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const float fy = static_cast<float>(y), fx = static_cast<float>(x);
            const float t = (fy - top) / (h - top);
            Rgba water = Mix(Argb(0xFF1A2558), Argb(0xFF070A1C), t);
            const float ripple = TileNoise(fx / 40.0f, fy / 6.0f, 256, 3, seed);
            const float glint =
                    std::exp(-std::pow((fx - moonX) / (50 + 120 * t), 2.0f)) * Clamp01(ripple * 1.8f - 0.8f);
            water = Mix(water, Argb(0xFFFFF0C0), glint * 0.8f);
            c.Blend(x, y, water);
        }
}

Canvas Parchment(int width, int height, uint32_t seed) {
    Canvas c(width, height);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    c.Fill([&](float x, float y) {
        const float n = TileNoise(x / 60.0f, y / 60.0f, 64, 5, seed);
        const float edge = std::min(std::min(x, w - x), std::min(y, h - y)) / 60.0f;
        const Rgba paper = Mix(Argb(0xFFC9A467), Argb(0xFFF3E2B8), n);
        return Mix(Argb(0xFF7A5224), paper, Clamp01(edge));
    });
    return c;
}

void PaintLantern(Canvas& c, float cx, float cy, float size, bool lit, bool water) {
    const float w = size * 0.72f, h = size;
    const int bx = static_cast<int>(cx - 2 * size), by = static_cast<int>(cy - 2 * size);
    const int bw = static_cast<int>(4 * size), bh = static_cast<int>(4 * size);
    if (lit) {
        const float r = size * 1.5f;
        for (int y = std::max(0, by); y < std::min(c.Height(), by + bh); ++y)
            for (int x = std::max(0, bx); x < std::min(c.Width(), bx + bw); ++x) {
                const float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy) / r;
                c.Add(x, y, Argb(0xFFFFB050), 0.55f * std::exp(-d * d * 2.5f));
            }
        if (water) {  // the lantern's light on the water, broken into ripples
            for (int y = static_cast<int>(cy + h / 2); y < std::min(c.Height(), static_cast<int>(cy + h * 3.5f)); ++y) {
                const float t = (static_cast<float>(y) - cy - h / 2) / (h * 3);
                const float half = w * (0.5f - 0.3f * t) * (0.65f + 0.35f * std::sin(static_cast<float>(y) * 0.45f));
                for (int x = static_cast<int>(cx - half); x <= static_cast<int>(cx + half); ++x)
                    if (x >= 0 && x < c.Width()) c.Add(x, y, Argb(0xFFFFC060), 0.45f * (1 - t));
            }
        }
    }
    const Distance body = [=](float x, float y) {
        return (std::hypot((x - cx) / (w / 2), (y - cy) / (h / 2)) - 1) * w / 2;
    };
    c.Paint(
            body,
            [&](float x, float y) {
                if (!lit) return Mix(Argb(0xFF3A2C3A), Argb(0xFF1A1420), (x - cx + w / 2) / w);
                const float d = std::hypot((x - cx) / w, (y - cy) / h);
                return Mix(Argb(0xFFFFF0B0), Argb(0xFFE0501A), std::min(1.0f, d * 1.8f));
            },
            bx, by, bw, bh);
    for (const float rib : {-0.22f, 0.0f, 0.22f})
        c.Paint(RoundRect(cx - w * 0.47f, cy + rib * h - 0.5f, w * 0.94f, 1.0f, 0.5f),
                Solid(Argb(lit ? 0x70802000 : 0x80000000)), bx, by, bw, bh);
    const Rgba cap = Argb(0xFF1A1010);
    c.Paint(RoundRect(cx - w * 0.25f, cy - h / 2 - 2, w * 0.5f, 3.5f, 1), Solid(cap), bx, by, bw, bh);
    c.Paint(RoundRect(cx - w * 0.25f, cy + h / 2 - 1.5f, w * 0.5f, 3.5f, 1), Solid(cap), bx, by, bw, bh);
    if (!lit) {  // a thread of smoke rising from the snuffed lantern
        for (int k = 0; k < 40; ++k) {
            const float t = static_cast<float>(k) / 39.0f;
            const float sx = cx + std::sin(t * 7.0f) * size * 0.25f, sy = cy - h / 2 - 3 - t * size * 1.6f;
            c.Paint(Circle(sx, sy, 1.0f + t * size * 0.07f), Solid(Argb(0xFFB0B0C0)), static_cast<int>(sx) - 8,
                    static_cast<int>(sy) - 8, 16, 16);
        }
    }
}

void PaintPagoda(Canvas& c, float cx, float baseY, float w, int tiers, const Rgba& colour) {
    float y = baseY;
    const int bx = static_cast<int>(cx - w), bw = static_cast<int>(2 * w);
    for (int i = 0; i < tiers; ++i) {
        const float tierW = w * (1 - 0.15f * static_cast<float>(i));
        const float bodyH = w * 0.26f * (1 - 0.08f * static_cast<float>(i));
        const float roofH = w * 0.14f;
        const int by = static_cast<int>(y - bodyH - roofH - w * 0.1f);
        const int bh = static_cast<int>(bodyH + roofH + w * 0.12f);
        c.Paint(RoundRect(cx - tierW * 0.36f, y - bodyH, tierW * 0.72f, bodyH + 1, 1), Solid(colour), bx, by, bw, bh);
        const float ry = y - bodyH, half = tierW * 0.62f;
        c.Paint(Polygon({cx - half - w * 0.06f, ry - roofH * 0.85f, cx - half, ry - roofH * 0.2f, cx - tierW * 0.36f,
                         ry, cx + tierW * 0.36f, ry, cx + half, ry - roofH * 0.2f, cx + half + w * 0.06f,
                         ry - roofH * 0.85f, cx + tierW * 0.25f, ry - roofH, cx - tierW * 0.25f, ry - roofH}),
                Solid(colour), bx, by, bw, bh);
        y = ry - roofH + 1;
    }
    c.Paint(RoundRect(cx - w * 0.02f, y - w * 0.3f, w * 0.04f, w * 0.3f + 1, 1), Solid(colour), bx,
            static_cast<int>(y - w * 0.35f), bw, static_cast<int>(w * 0.4f));
    for (int k = 1; k <= 3; ++k)
        c.Paint(Circle(cx, y - w * 0.07f * static_cast<float>(k), w * 0.035f), Solid(colour), bx,
                static_cast<int>(y - w * 0.35f), bw, static_cast<int>(w * 0.4f));
}

void PaintPeaks(Canvas& c, float baseY, float height, uint32_t seed, const Rgba& rock, const Rgba& snowColour) {
    struct Peak {
        float x, h, slope;
    };
    Lcg random(seed);
    std::vector<Peak> peaks;
    const float w = static_cast<float>(c.Width());
    for (int i = 0; i < 7; ++i) {
        const float x = (static_cast<float>(i) + 0.2f + 0.6f * random.Unit()) * w / 7.0f;
        // Tall at the sides of the picture, lower in the middle where the board stands.
        const float side = std::fabs(x / w - 0.5f) * 2;
        peaks.push_back(
                {x, height * (0.45f + 0.55f * side) * (0.8f + 0.2f * random.Unit()), 1.1f + 0.6f * random.Unit()});
    }
    // The tallest stand furthest back, paler in the haze; lower peaks stand in front of them.
    std::sort(peaks.begin(), peaks.end(), [](const Peak& a, const Peak& b) { return a.h > b.h; });
    for (size_t i = 0; i < peaks.size(); ++i) {
        const Peak& p = peaks[i];
        const float depth = static_cast<float>(i) / static_cast<float>(peaks.size() - 1);
        const Rgba body = Mix(rock, Scale(rock, 0.7f), depth);
        const uint32_t noiseSeed = seed + static_cast<uint32_t>(i);
        const int left = std::max(0, static_cast<int>(p.x - p.h / p.slope));
        const int right = std::min(c.Width() - 1, static_cast<int>(p.x + p.h / p.slope));
        for (int x = left; x <= right; ++x) {
            const float fx = static_cast<float>(x);
            const float jitter = 8 * TileNoise(fx / 16.0f, 0.5f, 64, 3, noiseSeed);
            const float ridge = baseY - (p.h - p.slope * std::fabs(fx - p.x)) + jitter;
            const bool lit = fx < p.x;
            const float snowLine = baseY - p.h * (0.72f + 0.08f * TileNoise(fx / 7.0f, 1.5f, 128, 2, noiseSeed + 50));
            for (int y = std::max(0, static_cast<int>(ridge) - 1); y < c.Height(); ++y) {
                const float fy = static_cast<float>(y);
                Rgba colour = Scale(fy < snowLine ? snowColour : body, lit ? 1.0f : 0.72f);
                colour = Mix(colour, Scale(rock, 0.45f), Clamp01((fy - ridge) / (baseY - ridge + 1)) * 0.7f);
                c.Blend(x, y, colour, Clamp01(fy + 1 - ridge));
            }
        }
    }
}

void PaintBambooStalk(Canvas& c, float x, float top, float width, const Rgba& colour, uint32_t seed) {
    Lcg random(seed);
    const int bx = static_cast<int>(x - 90), bw = 180;
    const float h = static_cast<float>(c.Height());
    c.Paint(
            RoundRect(x - width / 2, top, width, h - top + 10, width / 2),
            [&](float px, float) { return Mix(Scale(colour, 1.3f), colour, (px - x + width / 2) / width); }, bx,
            static_cast<int>(top) - 2, bw, static_cast<int>(h - top) + 4);
    for (float ny = top + 30 + 40 * random.Unit(); ny < h; ny += 60 + 30 * random.Unit()) {
        c.Paint(RoundRect(x - width / 2 - 1, ny - 1.5f, width + 2, 3, 1.5f), Solid(Scale(colour, 0.6f)), bx,
                static_cast<int>(ny) - 4, bw, 8);
        if (random.Unit() < 0.45f) continue;
        for (int leaf = 0; leaf < 3; ++leaf) {
            const float dir = random.Unit() < 0.5f ? -1.0f : 1.0f;
            const float len = 40 + 30 * random.Unit(), drop = -10 + 40 * random.Unit();
            const float tx = x + dir * len, ty = ny + drop;
            const float mx = (x + tx) / 2, my = (ny + ty) / 2 - 4;
            c.Paint(Polygon({x, ny, mx, my - 5, tx, ty, mx, my + 4}), Solid(Scale(colour, 0.9f)), bx,
                    static_cast<int>(ny) - 40, bw, 90);
        }
    }
}

void PaintSmallTile(Studio& s, Canvas& c, int x, int y, const Rgba& coin, const Rgba& glow) {
    Canvas tile = s.TileBlank(Argb(0xFF1E7A5A));
    tile.Paint(Circle(33, 31, 15), Solid(coin));
    tile.Paint(Ring(33, 31, 9, 1.6f), Solid(Argb(0xFFFAF3DF)));
    if (glow.a > 0) {
        Canvas halo(58 + 40, 68 + 40);
        halo.Draw(tile, 20, 20);
        c.DrawMask(halo.BlurredAlpha(8), x - 20, y - 20, glow, 1.6f, true);
    }
    c.Draw(tile, x, y);
}

}  // namespace mkcontent
