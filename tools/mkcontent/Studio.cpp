#include "tools/mkcontent/Studio.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace mkcontent {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

Rgba Desaturate(const Rgba& c, float amount) {
    const float grey = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
    return Mix(c, Rgba{grey, grey, grey, c.a}, amount);
}

}  // namespace

Studio::Studio(const std::string& outputRoot, Faces& f) : root(outputRoot), faces(f) {}

void Studio::Save(const std::string& relativePath, const Canvas& picture) {
    const std::filesystem::path path = std::filesystem::path(root) / (relativePath + ".png");
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (picture.SavePng(path.string()))
        ++written;
    else
        ++failures;
}

Canvas Studio::NightSky(int width, int height, uint32_t seed, float starDensity) const {
    Canvas sky(width, height);
    const Rgba top = Argb(0xFF040818), middle = Argb(0xFF0E1D4A), low = Argb(0xFF2B2F6E), horizon = Argb(0xFF6A4C86);
    const float h = static_cast<float>(height);
    sky.Fill([&](float x, float y) {
        const float t = y / h;
        Rgba c = t < 0.55f   ? Mix(top, middle, t / 0.55f)
                 : t < 0.85f ? Mix(middle, low, (t - 0.55f) / 0.3f)
                             : Mix(low, horizon, (t - 0.85f) / 0.15f);
        // A faint band of distant stars across the sky.
        const float band = std::exp(-std::pow((y - 0.35f * h - 0.25f * x) / (0.12f * h), 2.0f));
        const float haze = TileNoise(x / 96.0f, y / 96.0f, 64, 4, seed) * band;
        c = Mix(c, Argb(0xFF5A6AB0), 0.35f * haze);
        return c;
    });
    Lcg random(seed);
    const int count = static_cast<int>(static_cast<float>(width * height) * starDensity / 1000.0f);
    for (int i = 0; i < count; ++i) {
        const float x = random.Unit() * static_cast<float>(width);
        const float y = std::pow(random.Unit(), 1.4f) * h * 0.9f;
        const float brightness = 0.3f + 0.7f * std::pow(random.Unit(), 3.0f);
        const float radius = 0.5f + 1.2f * brightness;
        const float tint = random.Unit();
        const Rgba colour = tint < 0.2f ? Argb(0xFFFFE8C0) : tint < 0.35f ? Argb(0xFFC8D8FF) : Argb(0xFFFFFFFF);
        const int ix = static_cast<int>(x), iy = static_cast<int>(y), r = static_cast<int>(radius * 3) + 2;
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                const float d =
                        std::hypot(static_cast<float>(ix + dx) + 0.5f - x, static_cast<float>(iy + dy) + 0.5f - y);
                float v = std::exp(-d * d / (radius * radius)) * brightness;
                if (brightness > 0.8f)  // the brightest twinkle with a cross
                    v += 0.5f * brightness *
                         (std::exp(-std::fabs(static_cast<float>(dx)) * 2.0f) *
                                  std::exp(-std::fabs(static_cast<float>(dy)) * 0.35f) +
                          std::exp(-std::fabs(static_cast<float>(dy)) * 2.0f) *
                                  std::exp(-std::fabs(static_cast<float>(dx)) * 0.35f));
                sky.Add(ix + dx, iy + dy, colour, Clamp01(v));
            }
    }
    return sky;
}

Canvas Studio::Dusk(int width, int height, uint32_t seed) const {
    Canvas sky(width, height);
    const float h = static_cast<float>(height);
    const Rgba a = Argb(0xFF1B2A5A), b = Argb(0xFF6C5A9C), c = Argb(0xFFF2A66A), d = Argb(0xFFFFD9A0);
    sky.Fill([&](float, float y) {
        const float t = y / h;
        return t < 0.5f ? Mix(a, b, t / 0.5f) : t < 0.8f ? Mix(b, c, (t - 0.5f) / 0.3f) : Mix(c, d, (t - 0.8f) / 0.2f);
    });
    sky.Draw(Clouds(width, height / 2, seed, 0.45f), 0, height / 5, Rgba{1, 0.92f, 0.95f, 0.7f});
    return sky;
}

Canvas Studio::Clouds(int width, int height, uint32_t seed, float cover) const {
    Canvas clouds(width, height);
    const float h = static_cast<float>(height);
    clouds.Fill([&](float x, float y) {
        // Tileable across the width; faded out at the top and bottom.
        const float n =
                TileNoise(x * 4.0f / static_cast<float>(width), y * 4.0f / static_cast<float>(width), 4, 5, seed);
        const float fade = std::sin(3.14159f * Clamp01(y / h));
        const float density = Clamp01((n - (1.0f - cover)) * 2.8f) * fade;
        const float light = 0.75f + 0.25f * (1.0f - y / h);
        return Rgba{light, light, std::min(1.0f, light + 0.05f), density * 0.9f};
    });
    return clouds;
}

Canvas Studio::Panel(int width, int height, float radius, const Rgba& body) const {
    Canvas panel(width, height);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Canvas shadow(width, height);
    shadow.Paint(RoundRect(8, 10, w - 14, h - 14, radius), Solid(Argb(0xFF000000)));
    panel.DrawMask(shadow.BlurredAlpha(3), 0, 0, Argb(0xFF000000), 0.55f);
    const Distance outer = RoundRect(4, 4, w - 10, h - 10, radius);
    panel.Paint(outer, VerticalGradient(4, Argb(0xFFF6D77E), h - 6, Argb(0xFF8A5A1C)));
    const Distance inner = RoundRect(8, 8, w - 18, h - 18, radius - 3);
    panel.Paint(inner, VerticalGradient(8, Scale(body, 1.35f), h - 10, Scale(body, 0.7f)));
    // A soft sheen over the upper part and a thin light line inside the rim.
    panel.Paint(RoundRect(12, 12, w - 26, (h - 26) * 0.45f, radius - 6),
                VerticalGradient(12, Argb(0x30FFFFFF), 12 + (h - 26) * 0.45f, Argb(0x00FFFFFF)));
    panel.Paint([&](float x, float y) { return std::fabs(inner(x, y) + 1.5f) - 0.6f; }, Solid(Argb(0x60FFF0C0)));
    return panel;
}

Canvas Studio::ButtonSheet(int width, int height, const std::string& caption, const Rgba& base, int textHeight) const {
    Canvas symbol;
    if (!caption.empty()) {
        CaptionStyle style;
        style.pixelHeight = textHeight;
        style.top = Argb(0xFFFFFFFF);
        style.bottom = Argb(0xFFFFE9B0);
        style.outline = Scale(base, 0.35f);
        style.outlineWidth = 2;
        style.shadowOffset = 2;
        symbol = Caption(*faces.sansBold, caption, style);
    }
    return SymbolButtonSheet(width, height, symbol, base);
}

Canvas Studio::SymbolButtonSheet(int width, int height, const Canvas& symbol, const Rgba& base) const {
    Canvas sheet(width, height * 4);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const float radius = std::min(h * 0.45f, 16.0f);
    for (int state = 0; state < 4; ++state) {
        const float top = static_cast<float>(state * height);
        const float press = state == 2 ? 1.5f : 0.0f;
        Rgba colour = state == 1 ? Scale(base, 1.3f) : state == 2 ? Scale(base, 0.8f) : base;
        if (state == 3) colour = Desaturate(Scale(base, 0.75f), 0.85f);
        if (state == 1) {  // a warm glow around the button under the pointer
            Canvas glow(width, height);
            glow.Paint(RoundRect(3, 3, w - 6, h - 6, radius), Solid(Argb(0xFFFFFFFF)));
            sheet.DrawMask(glow.BlurredAlpha(2), 0, static_cast<int>(top), Argb(0xFFFFD070), 0.9f);
        }
        sheet.Paint(RoundRect(3, top + 3 + press, w - 6, h - 7, radius), Solid(Argb(0x80000000)), 0,
                    static_cast<int>(top), width, height);
        const Distance body = RoundRect(2, top + 1 + press, w - 5, h - 6, radius);
        sheet.Paint(body,
                    VerticalGradient(top, Argb(state == 3 ? 0xFF8A8A8A : 0xFFF3D27A), top + h,
                                     Argb(state == 3 ? 0xFF505050 : 0xFF7A4E16)),
                    0, static_cast<int>(top), width, height);
        const Distance inside = RoundRect(4, top + 3 + press, w - 9, h - 10, radius - 2);
        sheet.Paint(inside, VerticalGradient(top + 3, Scale(colour, 1.25f), top + h - 7, Scale(colour, 0.65f)), 0,
                    static_cast<int>(top), width, height);
        sheet.Paint(RoundRect(7, top + 5 + press, w - 15, (h - 12) * 0.45f, radius - 4),
                    VerticalGradient(top + 5, Argb(0x70FFFFFF), top + 5 + (h - 12) * 0.45f, Argb(0x10FFFFFF)), 0,
                    static_cast<int>(top), width, height);
        if (symbol.Width() > 1) {
            const int sx = (width - symbol.Width()) / 2;
            const int sy = static_cast<int>(top) + (height - symbol.Height()) / 2 + static_cast<int>(press) - 1;
            Canvas clipped = symbol;
            if (state == 3)
                sheet.Draw(clipped, sx, sy, Rgba{0.75f, 0.75f, 0.75f, 0.6f});
            else
                sheet.Draw(clipped, sx, sy);
        }
    }
    return sheet;
}

Canvas Studio::Banner(int width, int height, const std::string& text, const CaptionStyle& style, bool serif) const {
    Canvas banner(width, height);
    CaptionStyle fitted = style;
    FontFace& face = serif ? *faces.serifBold : *faces.sansBold;
    while (fitted.pixelHeight > 8 &&
           face.Measure(text, fitted.pixelHeight) + 2 * (fitted.outlineWidth + fitted.glowRadius) + 8 > width)
        --fitted.pixelHeight;
    const Canvas caption = Caption(face, text, fitted);
    banner.Draw(caption, (width - caption.Width()) / 2, (height - caption.Height()) / 2);
    return banner;
}

Canvas Studio::RingPicture(int size, const Rgba& colour) const {
    // A thick band of the colour, lighter at the top, over a dark rim and a soft glow, with a
    // white core line: the rings are drawn small and fading, over light maps and dark boards
    // alike, so they need both the bright band and the dark edge to be seen.
    Canvas ring(size, size);
    const float c = static_cast<float>(size) / 2;
    const float r = c - 9;
    Canvas glow(size, size);
    glow.Paint(Ring(c, c, r, 12), Solid(Argb(0xFFFFFFFF)));
    ring.DrawMask(glow.BlurredAlpha(2), 0, 0, colour, 1.0f);
    ring.Paint(Ring(c, c, r, 10), Solid(WithAlpha(Scale(colour, 0.3f), 0.9f)));
    ring.Paint(Ring(c, c, r, 7),
               [&](float, float y) { return Mix(Scale(colour, 1.5f), colour, y / static_cast<float>(size)); });
    ring.Paint(Ring(c, c, r, 2), Solid(Argb(0xD0FFFFFF)));
    return ring;
}

Canvas Studio::SoftDot(int size, const Rgba& colour, float hardness) const {
    Canvas dot(size, size);
    const float c = static_cast<float>(size) / 2;
    dot.Fill([&](float x, float y) {
        const float d = std::hypot(x - c, y - c) / c;
        return WithAlpha(colour, colour.a * std::pow(Clamp01(1 - d), 2.0f - hardness));
    });
    return dot;
}

Canvas Studio::Sparkle(int size, const Rgba& colour) const {
    Canvas spark(size, size);
    const float c = static_cast<float>(size) / 2;
    spark.Fill([&](float x, float y) {
        const float dx = std::fabs(x - c) / c, dy = std::fabs(y - c) / c;
        const float cross = Clamp01(1 - dx) * std::exp(-dy * 9) + Clamp01(1 - dy) * std::exp(-dx * 9);
        const float core = std::exp(-(dx * dx + dy * dy) * 10);
        return WithAlpha(Mix(colour, Argb(0xFFFFFFFF), core), Clamp01(cross + core));
    });
    return spark;
}

void Studio::TileFaceRect(int* x, int* y, int* w, int* h) {
    *x = 9;
    *y = 1;
    *w = 48;
    *h = 61;
}

Canvas Studio::TileBlank(const Rgba& back) const { return TileBlank(back, Argb(0xFFFFFBEE), Argb(0xFFEFE2C2)); }

Canvas Studio::TileBlank(const Rgba& back, const Rgba& faceLight, const Rgba& faceDark) const {
    Canvas tile(58, 68);
    int fx, fy, fw, fh;
    TileFaceRect(&fx, &fy, &fw, &fh);
    const float x = static_cast<float>(fx), y = static_cast<float>(fy), w = static_cast<float>(fw),
                h = static_cast<float>(fh);
    // Shadow, coloured back layer, then the ivory body seen from its left and bottom sides.
    Canvas shadow(58, 68);
    shadow.Paint(RoundRect(x - 8, y + 5, w, h, 6), Solid(Argb(0xFF000000)));
    tile.DrawMask(shadow.BlurredAlpha(1), 0, 0, Argb(0xFF000000), 0.45f);
    for (int k = 7; k >= 4; --k)
        tile.Paint(RoundRect(x - static_cast<float>(k), y + static_cast<float>(k) - 1, w, h, 6),
                   Solid(Scale(back, 1.0f - 0.05f * static_cast<float>(k - 4))));
    for (int k = 3; k >= 1; --k)
        tile.Paint(RoundRect(x - static_cast<float>(k), y + static_cast<float>(k), w, h, 6),
                   Solid(Argb(k == 1 ? 0xFFE2D3AE : 0xFFD3C195)));
    const Distance face = RoundRect(x, y, w, h, 6);
    tile.Paint(face, [&](float px, float py) {
        // Warm ivory, lighter towards the top left.
        const float t = Clamp01(((px - x) / w + (py - y) / h) * 0.5f);
        return Mix(faceLight, faceDark, t);
    });
    // Bevel: a light inner edge at the top and left, a darker one at the bottom and right.
    tile.Paint([&](float px, float py) { return std::fabs(face(px, py) + 1.2f) - 0.7f; },
               [&](float px, float py) {
                   const float t = Clamp01(((px - x) / w + (py - y) / h) * 0.5f);
                   return Mix(Argb(0xD0FFFFFF), Argb(0x90B8A478), t);
               });
    return tile;
}

}  // namespace mkcontent
