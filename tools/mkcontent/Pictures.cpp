#include "tools/mkcontent/Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/mkcontent/AdventureMaps.h"
#include "tools/mkcontent/ComicPanels.h"
#include "tools/mkcontent/Scenery.h"
#include "tools/mkcontent/StageScenes.h"
#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

const char kGameName[] = "Moonlit Tiles";

Canvas TitleText(Studio& s, int width, int height, int pixelHeight) {
    CaptionStyle style;
    style.pixelHeight = pixelHeight;
    style.top = Argb(0xFFFFF6D0);
    style.bottom = Argb(0xFFE0A030);
    style.outline = Argb(0xFF3A1E00);
    style.outlineWidth = 3;
    style.shadowOffset = 4;
    style.glow = Argb(0xFFFFD070);
    style.glowRadius = 14;
    return s.Banner(width, height, kGameName, style, true);
}

Canvas TitleBack(Studio& s) {
    Canvas c = s.NightSky(1024, 768, 11, 0.9f);
    PaintMoon(c, 800, 150, 62);
    PaintRidges(c, 560, 5, 3);
    PaintWater(c, 620, 800, 3);
    c.Draw(TitleText(s, 900, 200, 96), 62, 170);
    // The glass tube the loading bar fills (the bar is 40 x 360 at 954, 360).
    c.Paint(RoundRect(958, 356, 32, 368, 16), Solid(Argb(0x60000000)));
    c.Paint([](float x, float y) { return std::fabs(RoundRect(958, 356, 32, 368, 16)(x, y)) - 1.2f; },
            Solid(Argb(0x90FFE8B0)));
    CaptionStyle sub;
    sub.pixelHeight = 26;
    sub.top = Argb(0xFFE8ECFF);
    sub.bottom = Argb(0xFFB8C4F0);
    sub.outline = Argb(0xFF101840);
    sub.outlineWidth = 2;
    c.Draw(s.Banner(800, 60, "A quiet game of matching tiles", sub, false), 112, 350);
    return c;
}

Canvas GameBack(Studio& s) {
    Canvas c = s.NightSky(1024, 768, 21, 1.1f);
    PaintMoon(c, 170, 120, 48);
    PaintRidges(c, 600, 9, 3);
    PaintWater(c, 660, 170, 4);
    return c;
}

// The comic's page (ui/comix.txt puts it at the top-left corner): a dusk sky with the chapter's
// heading in the lower left, below the place where the closing picture first shows at half
// size; the story panel stands in the lower right.
Canvas ComicPage(Studio& s) {
    Canvas c = s.Dusk(1024, 768, 92);
    PaintRidges(c, 700, 92, 2);
    CaptionStyle heading;
    heading.pixelHeight = 44;
    heading.glow = Argb(0xFFFFD070);
    c.Draw(s.Banner(520, 90, "The Moonlit Lake", heading, true), 20, 470);
    CaptionStyle sub;
    sub.pixelHeight = 24;
    sub.top = Argb(0xFFE8ECFF);
    sub.bottom = Argb(0xFFB8C4F0);
    sub.outline = Argb(0xFF101840);
    c.Draw(s.Banner(520, 50, "Chapter one", sub, false), 20, 550);
    return c;
}

// Behind the stage's map: a dark wooden table (the map of a stage covers it where it reaches).
Canvas MapBack(Studio&) {
    Canvas c(1024, 768);
    c.Fill([](float x, float y) {
        const float grain = TileNoise(x / 300.0f, y / 8.0f, 16, 3, 33);
        return Mix(Argb(0xFF2A1608), Argb(0xFF4A2A12), grain);
    });
    return c;
}

Canvas Bar(bool top) {
    Canvas c(1024, 70);
    c.Fill(VerticalGradient(0, Argb(top ? 0xF0301010 : 0xF0200A0A), 70, Argb(top ? 0xF0140606 : 0xF0381414)));
    const float line = top ? 64 : 4;
    c.Paint(RoundRect(0, line - 2, 1024, 4, 2),
            VerticalGradient(line - 2, Argb(0xFFFFE08A), line + 2, Argb(0xFF9A6A1A)));
    return c;
}

Canvas CursorPicture(int which) {
    // The hot spot is the centre of the 64 x 64 picture: shapes start there.
    Canvas c(64, 64);
    Distance shape;
    switch (which) {
        case 0: shape = Polygon({32, 32, 32, 56, 38, 50, 43, 60, 47, 58, 42, 48, 50, 48}); break;
        case 1: {  // a pointing hand, the finger tip at the centre
            const Distance finger = RoundRect(29, 31, 8, 20, 4);
            const Distance palm = RoundRect(29, 42, 20, 17, 5);
            const Distance thumb = RoundRect(23, 46, 9, 7, 3.5f);
            shape = [=](float x, float y) { return std::min(finger(x, y), std::min(palm(x, y), thumb(x, y))); };
            break;
        }
        case 2: {  // a hand gripping a tile: four curled fingers over the palm, the thumb at the side
            std::vector<Distance> parts{RoundRect(21, 27, 25, 20, 7), RoundRect(13, 31, 13, 8, 4),
                                        RoundRect(15, 33, 9, 8, 4)};
            for (int k = 0; k < 4; ++k)
                parts.push_back(RoundRect(21 + 6.4f * static_cast<float>(k), 20, 6.2f, 13, 3.1f));
            shape = [=](float x, float y) {
                float d = 1e9f;
                for (const Distance& part : parts) d = std::min(d, part(x, y));
                return d;
            };
            break;
        }
        default: {  // an I-beam
            const Distance stem = RoundRect(31, 22, 2, 20, 1);
            const Distance topBar = RoundRect(26, 21, 12, 2, 1);
            const Distance bottomBar = RoundRect(26, 41, 12, 2, 1);
            shape = [=](float x, float y) { return std::min(stem(x, y), std::min(topBar(x, y), bottomBar(x, y))); };
            break;
        }
    }
    c.Paint([&](float x, float y) { return shape(x - 1.5f, y - 2) - 1.5f; }, Solid(Argb(0x60000000)));
    c.Paint([&](float x, float y) { return shape(x, y) - 1.6f; }, Solid(Argb(0xFF101010)));
    c.Paint(shape, VerticalGradient(20, Argb(0xFFFFFFFF), 60, Argb(0xFFFFE8B0)));
    if (which == 2) {  // the creases between the fingers and under them
        for (int k = 1; k < 4; ++k) {
            const float x = 21 + 6.4f * static_cast<float>(k) - 0.1f;
            c.Paint(RoundRect(x - 0.6f, 22, 1.2f, 9, 0.6f), Solid(Argb(0xFF101010)));
        }
        c.Paint(RoundRect(23, 32, 21, 1.2f, 0.6f), Solid(Argb(0xFF101010)));
    }
    return c;
}

// The lock on a level card that is not open yet (the level list draws the level's number on
// its body, at the middle of the lower 40 of its 88 pixels).
Canvas LockPicture() {
    Canvas c(72, 88);
    Canvas shadow(72, 88);
    shadow.Paint(RoundRect(10, 42, 52, 42, 8), Solid(Argb(0xFF000000)));
    c.DrawMask(shadow.BlurredAlpha(3), 2, 3, Argb(0xFF000000), 0.6f);
    const Distance shackle = [](float x, float y) {
        const float d = y < 26 ? std::hypot(x - 36, y - 26) : std::fabs(x - 36);
        return std::max(std::fabs(d - 16) - 4.5f, y - 46);
    };
    c.Paint([&](float x, float y) { return shackle(x, y) - 1.2f; }, Solid(Argb(0xFF202020)));
    c.Paint(shackle, VerticalGradient(6, Argb(0xFFF0F0F8), 46, Argb(0xFF8A8A98)));
    const Distance body = RoundRect(10, 40, 52, 44, 8);
    c.Paint([&](float x, float y) { return body(x, y) - 1.4f; }, Solid(Argb(0xFF3A2408)));
    c.Paint(body, VerticalGradient(40, Argb(0xFFFFE38A), 84, Argb(0xFFB07418)));
    c.Paint(RoundRect(14, 43, 44, 8, 4), Solid(Argb(0x60FFFFFF)));
    return c;
}

Canvas Progress() {
    Canvas c(40, 360);
    c.Paint(RoundRect(8, 2, 24, 356, 12), VerticalGradient(0, Argb(0xFFFFF4C0), 360, Argb(0xFFE08A20)));
    c.Paint(RoundRect(12, 6, 7, 348, 3.5f), Solid(Argb(0x70FFFFFF)));
    return c;
}

Canvas CheckBox() {
    Canvas c(48, 24);
    for (int i = 0; i < 2; ++i) {
        const float x = static_cast<float>(i * 24);
        c.Paint(RoundRect(x + 2, 2, 20, 20, 4), VerticalGradient(2, Argb(0xFFF6D77E), 22, Argb(0xFF8A5A1C)));
        c.Paint(RoundRect(x + 4, 4, 16, 16, 3), VerticalGradient(4, Argb(0xFF1A2450), 20, Argb(0xFF0A1030)));
        if (i == 1)
            c.Paint(Polygon({x + 6, 12, x + 10, 17, x + 19, 5, x + 20, 7, x + 10, 20, x + 5, 14}),
                    Solid(Argb(0xFF7CFF7A)));
    }
    return c;
}

Canvas SliderTrack() {
    Canvas c(200, 12);
    c.Paint(RoundRect(1, 2, 198, 8, 4), VerticalGradient(2, Argb(0xFF05081A), 10, Argb(0xFF303A70)));
    return c;
}

Canvas SliderThumb() {
    Canvas c(20, 24);
    c.Paint(RoundRect(2, 1, 16, 22, 6), VerticalGradient(1, Argb(0xFFFFF0B0), 23, Argb(0xFFB07A20)));
    c.Paint(RoundRect(5, 4, 10, 8, 4), Solid(Argb(0x60FFFFFF)));
    return c;
}

// A strip of cels side by side.
Canvas Strip(int cels, int w, int h, const std::function<void(Canvas&, float, float, int)>& paint) {
    Canvas c(w * cels, h);
    for (int i = 0; i < cels; ++i) paint(c, static_cast<float>(i * w), 0, i);
    return c;
}

Canvas SparkleStrip(Studio& s) {
    return Strip(4, 12, 12, [&](Canvas& c, float x, float, int i) {
        c.Draw(s.Sparkle(12, Mix(Argb(0xFFFFE080), Argb(0xFF80E0FF), static_cast<float>(i) / 3.0f)),
               static_cast<int>(x), 0);
    });
}

Canvas LightningStrip() {
    return Strip(4, 32, 48, [](Canvas& c, float x, float, int i) {
        Lcg random(100 + static_cast<uint32_t>(i));
        float px = x + 16, py = 0;
        Canvas bolt(c.Width(), 48);
        while (py < 48) {
            const float nx = x + 6 + random.Unit() * 20, ny = py + 6 + random.Unit() * 6;
            const float ax = px, ay = py;
            bolt.Paint(
                    [&](float qx, float qy) {
                        const float ex = nx - ax, ey = ny - ay;
                        const float t = Clamp01(((qx - ax) * ex + (qy - ay) * ey) / (ex * ex + ey * ey));
                        return std::hypot(qx - ax - ex * t, qy - ay - ey * t) - 1.2f;
                    },
                    Solid(Argb(0xFFFFFFFF)), static_cast<int>(x), 0, 32, 48);
            px = nx;
            py = ny;
        }
        c.DrawMask(bolt.BlurredAlpha(2), 0, 0, Argb(0xFF80B0FF), 1.5f, true);
        c.DrawMask(bolt, 0, 0, Argb(0xFFFFFFFF));
    });
}

// A far bolt across the right of the menu sky, drawn additively over the scene.
Canvas SkyLightning() {
    Canvas bolt(1024, 520);
    Lcg random(404);
    float x = 760, y = 0;
    std::vector<std::pair<float, float>> points{{x, y}};
    while (y < 470) {
        x += (random.Unit() - 0.45f) * 50;
        y += 15 + random.Unit() * 25;
        points.push_back({x, y});
    }
    Canvas line(1024, 520);
    for (size_t i = 1; i < points.size(); ++i) {
        const float ax = points[i - 1].first, ay = points[i - 1].second, ex = points[i].first - ax,
                    ey = points[i].second - ay;
        line.Paint(
                [&](float qx, float qy) {
                    const float t = Clamp01(((qx - ax) * ex + (qy - ay) * ey) / (ex * ex + ey * ey));
                    return std::hypot(qx - ax - ex * t, qy - ay - ey * t) - 1.6f;
                },
                Solid(Argb(0xFFFFFFFF)), static_cast<int>(std::min(ax, ax + ex)) - 4, static_cast<int>(ay) - 4,
                static_cast<int>(std::fabs(ex)) + 9, static_cast<int>(ey) + 9);
    }
    bolt.DrawMask(line.BlurredAlpha(10), 0, 0, Argb(0xFF4060C0), 2.0f, true);
    bolt.DrawMask(line.BlurredAlpha(3), 0, 0, Argb(0xFF90B0FF), 1.5f, true);
    bolt.DrawMask(line, 0, 0, Argb(0xFFFFFFFF), 1.0f, true);
    return bolt;
}

// The outline of a tile's face for the hover, selection and hint markers; the face of a tile
// picture sits at (9, 1, 48, 61) of 58 x 68, so the marker is placed to match when both are
// centred. A band of the colour between a dark edge outside and a light line inside: drawn
// normally (not as light), it reads over ivory tiles on a bright board as well as over a dark
// sky. Strength 0..1 pulses the band's glow and brightness; the band itself stays.
Canvas MarkerFrame(int w, int h, const Rgba& colour, float strength) {
    Canvas c(w, h);
    const float ox = static_cast<float>(w - 58) / 2, oy = static_cast<float>(h - 68) / 2;
    const Distance face = RoundRect(ox + 9, oy + 1, 48, 61, 6);
    Canvas halo(w, h);
    halo.Paint([&](float x, float y) { return std::fabs(face(x, y)) - 3.0f; }, Solid(Argb(0xFFFFFFFF)));
    c.DrawMask(halo.BlurredAlpha(2), 0, 0, Scale(colour, 0.6f), 0.5f + 0.5f * strength);
    c.Paint([&](float x, float y) { return std::fabs(face(x, y) - 0.5f) - 4.2f; }, Solid(Argb(0xE8101018)));
    c.Paint([&](float x, float y) { return std::fabs(face(x, y) - 0.5f) - 2.0f; },
            Solid(Mix(Scale(colour, 0.8f), colour, strength)));
    c.Paint([&](float x, float y) { return std::fabs(face(x, y) + 1.0f) - 0.6f; },
            Solid(WithAlpha(Mix(colour, Argb(0xFFFFFFFF), 0.7f), 0.6f + 0.4f * strength)));
    return c;
}

Canvas OverSheet() {
    return Strip(8, 64, 72, [](Canvas& c, float x, float, int i) {
        const float pulse = std::sin(static_cast<float>(i) * 3.14159f / 7.0f);
        c.Draw(MarkerFrame(64, 72, Argb(0xFFFFB020), pulse), static_cast<int>(x), 0);
    });
}

Canvas SimpleBut(Studio& s) {
    Canvas c(1080, 200);
    for (int state = 0; state < 4; ++state) {
        const Rgba body = state == 1   ? Argb(0xFF3A2A10)
                          : state == 2 ? Argb(0xFF1E2E5A)
                          : state == 3 ? Argb(0xFF2A2A2A)
                                       : Argb(0xFF15204A);
        Canvas panel = s.Panel(270, 200, 18, body);
        if (state == 3) panel = panel.Crop(0, 0, 270, 200);
        // The window the level thumbnail is drawn into: 207 x 125 at (31, 54).
        panel.Paint(RoundRect(28, 51, 213, 131, 6), Solid(Argb(0xD0050814)));
        c.Draw(panel, state * 270, 0, state == 3 ? Rgba{0.6f, 0.6f, 0.6f, 0.8f} : Rgba{1, 1, 1, 1});
        if (state == 1) {
            Canvas glow(270, 200);
            glow.Paint([](float x, float y) { return std::fabs(RoundRect(6, 6, 256, 186, 18)(x, y)) - 2; },
                       Solid(Argb(0xFFFFFFFF)));
            c.DrawMask(glow.BlurredAlpha(3), 270, 0, Argb(0xFFFFD050), 1.6f, true);
        }
    }
    return c;
}

Canvas SnowSheet(Studio& s) {
    // Eight frames of a turning burst of sparkles: the shuffle animation.
    return Strip(8, 64, 64, [&](Canvas& c, float x, float, int i) {
        for (int k = 0; k < 6; ++k) {
            const float angle = static_cast<float>(k) * 1.047f + static_cast<float>(i) * 0.26f;
            const float r = 10 + 14 * static_cast<float>(i) / 7.0f;
            const Canvas spark = s.Sparkle(16, Mix(Argb(0xFFB0E0FF), Argb(0xFFFFFFFF), static_cast<float>(k % 2)));
            c.Draw(spark, static_cast<int>(x + 32 + r * std::cos(angle)) - 8,
                   static_cast<int>(32 + r * std::sin(angle)) - 8,
                   Rgba{1, 1, 1, 1.0f - 0.6f * static_cast<float>(i) / 7.0f});
        }
    });
}

Canvas TileShade(const Rgba& colour) {
    Canvas c(58, 68);
    c.Paint(RoundRect(9, 1, 48, 61, 6), Solid(colour));
    c.Paint(RoundRect(1, 7, 56, 60, 6), Solid(WithAlpha(colour, colour.a * 0.6f)));
    return c;
}

Canvas Balloon(bool round) {
    Canvas c(300, 200);
    const Distance body =
            round ? Distance([](float x, float y) { return (std::hypot((x - 150) / 140, (y - 90) / 80) - 1) * 80; })
                  : RoundRect(10, 10, 280, 160, 24);
    const Distance tail = Polygon({110, 150, 150, 160, 90, 195});
    const Distance all = [=](float x, float y) { return std::min(body(x, y), tail(x, y)); };
    c.Paint([&](float x, float y) { return all(x, y) - 2.5f; }, Solid(Argb(0xFF3A2A10)));
    c.Paint(all, VerticalGradient(10, Argb(0xFFFFFFFF), 190, Argb(0xFFF0E6D0)));
    return c;
}

Canvas MapMarker(bool complete) {
    Canvas c(48, 48);
    c.Paint(Circle(24, 26, 19), Solid(Argb(0x70000000)));
    c.Paint(Circle(24, 24, 19), VerticalGradient(5, Argb(complete ? 0xFFFFE88A : 0xFFB8C8E8), 43,
                                                 Argb(complete ? 0xFFB07A10 : 0xFF4A5A8A)));
    c.Paint(Ring(24, 24, 16, 1.5f), Solid(Argb(0xA0FFFFFF)));
    if (complete)
        c.Paint(Star(24, 25, 11, 5, 5, 0), Solid(Argb(0xFFFFFFFF)));
    else
        c.Paint(Circle(24, 24, 5), Solid(Argb(0xFF1A2450)));
    return c;
}

// The score table's sky with the rank of each row, 1 to 10, right-aligned left of the names,
// and a faint band behind every row. The rows are those of ui/highscores.txt: its
// "TableRowStart" y of 180 and the screen's fixed 40 pixels a row; the names are drawn
// centred around x 379, the scores around x 752, their text about 6 pixels above the row y.
Canvas HighScoreBack(Studio& s) {
    constexpr int kRowStart = 180;
    constexpr int kRowPitch = 40;
    constexpr int kRankRight = 282;
    Canvas c = s.NightSky(1024, 768, 101, 1.0f);
    CaptionStyle style;
    style.pixelHeight = 20;
    style.top = Argb(0xFFE8EEFF);
    style.bottom = Argb(0xFFA8B8E8);
    style.outline = Argb(0xFF101830);
    style.outlineWidth = 1;
    style.shadowOffset = 2;
    for (int i = 0; i < 10; ++i) {
        const float centre = static_cast<float>(kRowStart + kRowPitch * i - 6);
        c.Paint(RoundRect(230, centre - 16, 600, 32, 10), Solid(Argb(i % 2 == 0 ? 0x30A0B8FF : 0x1CA0B8FF)));
        const Canvas rank = Caption(*s.GetFaces().sansBold, std::to_string(i + 1) + ".", style);
        c.Draw(rank, kRankRight - rank.Width(), static_cast<int>(centre) - rank.Height() / 2);
    }
    return c;
}

Canvas Arrow(Studio& s, bool right) {
    Canvas symbol(48, 48);
    const float d = right ? 1.0f : -1.0f;
    symbol.Paint(Polygon({24 - 7 * d, 13, 24 + 9 * d, 24, 24 - 7 * d, 35}), Solid(Argb(0xFFFFFFFF)));
    return s.SymbolButtonSheet(48, 48, symbol.Crop(0, 0, 48, 48), Argb(0xFF1E4E8C));
}

Canvas DigitsStrip(Studio& s) {
    CaptionStyle style;
    style.pixelHeight = 24;
    style.outlineWidth = 2;
    return Caption(*s.GetFaces().sansBold, "0123456789", style);
}

Canvas GoldChain() {
    Canvas c(32, 16);
    c.Paint(Ring(9, 8, 6, 2.5f), Solid(Argb(0xFFE0B040)));
    c.Paint(Ring(23, 8, 6, 2.5f), Solid(Argb(0xFFC89020)));
    return c;
}

Canvas Banner(Studio& s, const char* text, uint32_t top, uint32_t bottom) {
    CaptionStyle style;
    style.pixelHeight = 64;
    style.top = Argb(top);
    style.bottom = Argb(bottom);
    style.outline = Argb(0xFF2A1400);
    style.outlineWidth = 3;
    style.glow = Argb(0xC0000000);
    style.glowRadius = 10;
    return s.Banner(600, 120, text, style, true);
}

// A 4-state button sheet of the board bar.
Canvas BoardButton(Studio& s, const char* caption, uint32_t base) {
    return s.ButtonSheet(120, 40, caption, Argb(base), 15);
}
Canvas MenuButton(Studio& s, const char* caption, uint32_t base) {
    return s.ButtonSheet(260, 56, caption, Argb(base), 24);
}

}  // namespace

std::map<std::string, std::function<Canvas(Studio&)>> GetResourcePainters() {
    std::map<std::string, std::function<Canvas(Studio&)>> p;
    p["IMAGE_CUSTOM_POINTER"] = [](Studio&) { return CursorPicture(0); };
    p["IMAGE_CUSTOM_HAND"] = [](Studio&) { return CursorPicture(1); };
    p["IMAGE_CUSTOM_DRAGGING"] = [](Studio&) { return CursorPicture(2); };
    p["IMAGE_CUSTOM_TEXT"] = [](Studio&) { return CursorPicture(3); };
    p["IMAGE_TITLE_BACK"] = TitleBack;
    p["IMAGE_TITLE_PROGRESS"] = [](Studio&) { return Progress(); };
    p["IMAGE_CHECKBOX"] = [](Studio&) { return CheckBox(); };
    p["IMAGE_DIALOG_BOX"] = [](Studio& s) { return s.Panel(500, 350, 24, Argb(0xF0182A5C)); };
    p["IMAGE_DIALOG_SELECTUSER"] = [](Studio& s) { return s.Panel(500, 400, 24, Argb(0xF0182A5C)); };
    // The player window (ui/changeuser.txt): its list draws brown text on a clear ground, so it
    // sits on a paper inset (the list is at 60, 90, 360 x 200, its scroll bar to the right).
    p["IMAGE_DIALOG_USER"] = [](Studio& s) {
        Canvas c = s.Panel(500, 400, 24, Argb(0xF01E2250));
        c.Draw(Parchment(400, 216, 57), 50, 82);
        c.Paint([](float x, float y) { return std::fabs(RoundRect(50, 82, 400, 216, 3)(x, y)) - 1.0f; },
                Solid(Argb(0xFFC8A050)));
        return c;
    };
    p["IMAGE_DIALOG"] = [](Studio& s) { return s.Panel(520, 300, 24, Argb(0xF0182A5C)); };
    p["IMAGE_LEVELCOMPLETE"] = [](Studio& s) { return s.Panel(520, 420, 28, Argb(0xF0203060)); };
    p["IMAGE_HELP_BACK"] = [](Studio& s) { return s.Panel(800, 600, 30, Argb(0xF0142250)); };
    p["IMAGE_TIP"] = [](Studio& s) { return s.Panel(351, 243, 20, Argb(0xF02A3A6A)); };
    p["IMAGE_DIALOG_BUTTON"] = [](Studio& s) { return s.ButtonSheet(200, 48, "", Argb(0xFF1E4E8C), 18); };
    p["IMAGE_BUTTON_BOARD_HINT"] = [](Studio& s) { return BoardButton(s, "Hint", 0xFF1E6E5A); };
    p["IMAGE_BUTTON_BOARD_MENU"] = [](Studio& s) { return BoardButton(s, "Menu", 0xFF6A2A2A); };
    p["IMAGE_BUTTON_BOARD_SHUFFLE"] = [](Studio& s) { return BoardButton(s, "Shuffle", 0xFF1E4E8C); };
    p["IMAGE_BUTTON_BOARD_UNDO"] = [](Studio& s) { return BoardButton(s, "Undo", 0xFF4A3A7A); };
    p["IMAGE_SLIDER_TRACK"] = [](Studio&) { return SliderTrack(); };
    p["IMAGE_SLIDER_THUMB"] = [](Studio&) { return SliderThumb(); };
    p["IMAGE_SPARKLE"] = SparkleStrip;
    p["IMAGE_MAIN_STAR_SPARKLE"] = [](Studio& s) { return s.Sparkle(16, Argb(0xFFFFF0A0)); };
    p["IMAGE_GAME_BACK"] = GameBack;
    p["IMAGE_BUTTON_PLAY"] = [](Studio& s) { return MenuButton(s, "Adventure", 0xFF1E4E8C); };
    p["IMAGE_BUTTON_SIMPLE"] = [](Studio& s) { return MenuButton(s, "Free Play", 0xFF1E6E5A); };
    p["IMAGE_BUTTON_HIGHSCORES"] = [](Studio& s) { return MenuButton(s, "High Scores", 0xFF4A3A7A); };
    p["IMAGE_BUTTON_HELP"] = [](Studio& s) { return MenuButton(s, "Help", 0xFF4A3A7A); };
    p["IMAGE_BUTTON_OPTIONS"] = [](Studio& s) { return MenuButton(s, "Options", 0xFF4A3A7A); };
    p["IMAGE_BUTTON_EXIT"] = [](Studio& s) { return MenuButton(s, "Exit", 0xFF7A2A2A); };
    p["IMAGE_MAIN_CLOUDS1"] = [](Studio& s) { return s.Clouds(512, 200, 51, 0.5f); };
    p["IMAGE_MAIN_CLOUDS2"] = [](Studio& s) { return s.Clouds(512, 200, 52, 0.4f); };
    p["IMAGE_MAIN_TITLE"] = [](Studio& s) { return TitleText(s, 600, 150, 70); };
    p["IMAGE_MAP_BACK"] = MapBack;
    p["IMAGE_MAIN_TOP"] = [](Studio&) { return Bar(true); };
    p["IMAGE_MAIN_BOTTOM"] = [](Studio&) { return Bar(false); };
    p["IMAGE_NUMBERS"] = DigitsStrip;
    p["IMAGE_BUTTON_PAGESCROLL"] = [](Studio& s) { return Arrow(s, true); };
    p["IMAGE_OVER"] = [](Studio&) { return OverSheet(); };
    p["IMAGE_SIMPLE_BUT"] = SimpleBut;
    p["IMAGE_PARTICLES"] = [](Studio& s) { return s.SoftDot(16, Argb(0xFFFFFFFF), 0.3f); };
    p["IMAGE_SNOW"] = SnowSheet;
    p["IMAGE_COLLGRAY"] = [](Studio&) { return TileShade(Argb(0x80404048)); };
    p["IMAGE_GOLDCHAIN"] = [](Studio&) { return GoldChain(); };
    p["IMAGE_TIP_ARROW"] = [](Studio&) {
        Canvas c(40, 30);
        c.Paint(Polygon({2, 2, 38, 2, 20, 28}), VerticalGradient(0, Argb(0xFFF6D77E), 30, Argb(0xFF8A5A1C)));
        return c;
    };
    p["IMAGE_DIALOG_CIRCLE"] = [](Studio&) { return Balloon(true); };
    p["IMAGE_DIALOG_RECT"] = [](Studio&) { return Balloon(false); };
    p["IMAGE_TIME_IS_OVER"] = [](Studio& s) { return Banner(s, "Time is up!", 0xFFFFE0D0, 0xFFE04020); };
    p["IMAGE_LEVEL_COMPLETE"] = [](Studio& s) { return Banner(s, "Level complete!", 0xFFFFF8D0, 0xFFE0A020); };
    p["IMAGE_TIME_BONUS"] = [](Studio& s) { return Banner(s, "Time bonus!", 0xFFE8FFD0, 0xFF40B040); };
    p["IMAGE_RING_BLUE"] = [](Studio& s) { return s.RingPicture(64, Argb(0xFF3A8AFF)); };
    p["IMAGE_RING_GREEN"] = [](Studio& s) { return s.RingPicture(64, Argb(0xFF3AD06A)); };
    p["IMAGE_RING_PURPLE"] = [](Studio& s) { return s.RingPicture(64, Argb(0xFFB04AE0)); };
    p["IMAGE_RING_RED"] = [](Studio& s) { return s.RingPicture(64, Argb(0xFFF04A3A)); };
    p["IMAGE_RING_YELLOW"] = [](Studio& s) { return s.RingPicture(64, Argb(0xFFFFD03A)); };
    // The combo bonus's blinking pair: an outline around the face that leaves the tile readable.
    p["IMAGE_BLINK_COLL"] = [](Studio&) { return MarkerFrame(58, 68, Argb(0xFFFFE040), 1.0f); };
    p["IMAGE_LIGHTNING"] = [](Studio&) { return LightningStrip(); };
    p["IMAGE_EFFECTMODE"] = [](Studio& s) { return s.SoftDot(16, Argb(0xFFFFE080), 0.6f); };
    p["IMAGE_MAP_LEVEL_UNCOMPLETE"] = [](Studio&) { return MapMarker(false); };
    p["IMAGE_MAP_LEVEL_COMPLETE"] = [](Studio&) { return MapMarker(true); };
    return p;
}

void MakeDataPictures(Studio& s) {
    // Animation sheets named by the .anim and .spr files.
    s.Save("images/anim/selected", Strip(8, 64, 72, [](Canvas& c, float x, float, int i) {
               const float pulse = std::sin(static_cast<float>(i) * 3.14159f / 7.0f);
               c.Draw(MarkerFrame(64, 72, Argb(0xFF40C8FF), pulse), static_cast<int>(x), 0);
           }));
    s.Save("images/anim/hint", Strip(8, 64, 72, [](Canvas& c, float x, float, int i) {
               const float pulse = std::sin(static_cast<float>(i) * 3.14159f / 7.0f);
               c.Draw(MarkerFrame(64, 72, Argb(0xFF40E040), pulse), static_cast<int>(x), 0);
           }));
    s.Save("images/anim/shadow", TileShade(Argb(0x60000000)));
    s.Save("images/anim/bridgeshine", Strip(4, 32, 32, [&](Canvas& c, float x, float, int i) {
               c.Draw(s.Sparkle(32, Argb(0xFFFFFFFF)), static_cast<int>(x), 0,
                      Rgba{1, 1, 1, 0.4f + 0.2f * static_cast<float>(i)});
           }));
    s.Save("images/anim/waves", [] {
        Canvas c(256, 64);
        c.Fill([](float x, float y) {
            const float crest = 8 + 5 * std::sin(x / 256 * 6.2832f * 4) + 3 * std::sin(x / 256 * 6.2832f * 7);
            const float a = Clamp01((y - crest) / 4) * Clamp01((64 - y) / 30);
            const float foam = std::exp(-std::pow((y - crest - 2) / 2.0f, 2.0f));
            return Rgba{0.45f + 0.5f * foam, 0.55f + 0.4f * foam, 0.85f, 0.35f * a + 0.4f * foam};
        });
        return c;
    }());
    s.Save("images/anim/waves2", [] {
        Canvas c(256, 48);
        c.Fill([](float x, float y) {
            const float crest = 6 + 4 * std::sin(x / 256 * 6.2832f * 3 + 1) + 2 * std::sin(x / 256 * 6.2832f * 9);
            const float a = Clamp01((y - crest) / 4) * Clamp01((48 - y) / 20);
            const float foam = std::exp(-std::pow((y - crest - 2) / 2.0f, 2.0f));
            return Rgba{0.35f + 0.5f * foam, 0.45f + 0.4f * foam, 0.8f, 0.3f * a + 0.3f * foam};
        });
        return c;
    }());
    s.Save("images/anim/coll", Strip(8, 64, 64, [&](Canvas& c, float x, float, int i) {
               c.Draw(s.RingPicture(64, Argb(0xFF3A8AFF)), static_cast<int>(x), 0,
                      Rgba{1, 1, 1, 0.5f + 0.5f * std::sin(static_cast<float>(i) * 0.785f)});
           }));
    s.Save("images/anim/remover", Strip(8, 64, 64, [&](Canvas& c, float x, float, int i) {
               c.Draw(s.RingPicture(64, Argb(0xFFF04A3A)), static_cast<int>(x), 0,
                      Rgba{1, 1, 1, 0.5f + 0.5f * std::sin(static_cast<float>(i) * 0.785f)});
           }));
    s.Save("images/anim/userbar", [&] {
        Canvas c(600, 36);
        c.Paint(RoundRect(2, 2, 596, 32, 10), VerticalGradient(2, Argb(0xC0405090), 34, Argb(0xC0182050)));
        return c;
    }());
    // The main menu's fire, torch and lightning.
    for (int i = 0; i < 8; ++i) {
        Canvas flame(48, 72);
        flame.Fill([&](float x, float y) {
            const float n = TileNoise(x / 10.0f, (y + static_cast<float>(i) * 9.0f) / 10.0f, 64, 3, 61);
            const float width = 18 * Clamp01((y - 6) / 66) * (0.7f + 0.5f * n);
            const float d = std::fabs(x - 24 - 3 * std::sin(y / 9 + static_cast<float>(i))) / std::max(1.0f, width);
            const float heat = Clamp01(1 - d) * Clamp01((y - 4) / 30);
            return Rgba{1, 0.35f + 0.6f * heat, 0.1f + 0.5f * heat * heat, Clamp01(heat * 1.6f)};
        });
        char name[48];
        std::snprintf(name, sizeof name, "images/main/fire%d", i);
        s.Save(name, flame);
    }
    s.Save("images/main/fakel", [] {
        Canvas c(40, 140);
        c.Paint(RoundRect(16, 30, 8, 108, 3), VerticalGradient(30, Argb(0xFF7A4A1A), 140, Argb(0xFF3A200A)));
        c.Paint(RoundRect(10, 24, 20, 12, 4), Solid(Argb(0xFF5A3A1A)));
        return c;
    }());
    s.Save("images/main/lightning", SkyLightning());
    s.Save("images/ui/arrowleft", Arrow(s, false));
    s.Save("images/ui/lock", LockPicture());
    // Comic, high-score and help pictures.
    s.Save("images/comix/back1", s.NightSky(1024, 768, 91, 0.8f));
    s.Save("images/comix/back2", ComicPage(s));
    s.Save("images/comix/image", GameBack(s));
    for (int i = 1; i <= 3; ++i) s.Save("images/loc/comix" + std::to_string(i), StoryPanel(s, i));
    s.Save("images/highscore", HighScoreBack(s));
    {
        CaptionStyle style;
        style.pixelHeight = 54;
        style.glow = Argb(0xFFFFD070);
        s.Save("images/loc/highscores", s.Banner(600, 100, "High Scores", style, true));
    }
    {
        Canvas splash = s.NightSky(1024, 768, 7, 0.7f);
        PaintMoon(splash, 512, 300, 90);
        CaptionStyle style;
        style.pixelHeight = 40;
        splash.Draw(s.Banner(800, 100, "Velm Studio presents", style, false), 112, 520);
        s.Save("branding/splash1", splash);
    }
}

void MakeStagePictures(Studio& s) {
    for (int i = 1; i <= kStageSceneCount; ++i) {
        s.Save("images/stages/day" + std::to_string(i), StageScene(s, i, false));
        s.Save("images/stages/night" + std::to_string(i), StageScene(s, i, true));
    }
    for (int i = 1; i <= 2; ++i) s.Save("images/stages/map" + std::to_string(i), StageMap(s, i));
}

}  // namespace mkcontent
