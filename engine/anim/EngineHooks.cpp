#include "engine/anim/EngineHooks.h"

#include <algorithm>

namespace {
EngineHooks_t gHooks;
}

void SetEngineHooks(const EngineHooks_t& hooks) { gHooks = hooks; }

const EngineHooks_t& GetEngineHooks() { return gHooks; }

namespace EngineHooks {

Velm::Image* GetImage(const std::string& path) { return gHooks.getImage ? gHooks.getImage(path) : nullptr; }

bool Is3DAccelerated() { return gHooks.is3DAccelerated ? gHooks.is3DAccelerated() : false; }

bool AddSpriteImage(const std::string& imageFile, const std::string& alphaFile, const std::string& attributes) {
    return gHooks.addSpriteImage ? gHooks.addSpriteImage(imageFile, alphaFile, attributes) : false;
}

Velm::Image* GetImagePtr(const std::string& id) { return gHooks.getImagePtr ? gHooks.getImagePtr(id) : nullptr; }

Velm::Image* GetResourceImage(const std::string& name) {
    return gHooks.getResourceImage ? gHooks.getResourceImage(name) : nullptr;
}

unsigned RGBToHSL(int red, int green, int blue) {
    return gHooks.rgbToHsl ? gHooks.rgbToHsl(red, green, blue) : RgbToHsl(red, green, blue);
}

unsigned HSLToRGB(int hue, int saturation, int lightness) {
    return gHooks.hslToRgb ? gHooks.hslToRgb(hue, saturation, lightness) : HslToRgb(hue, saturation, lightness);
}

}  // namespace EngineHooks

unsigned HslToRgb(int h, int s, int l) {
    const int m2 = l < 128 ? (s + 255) * l / 255 : s + l - s * l / 255;
    const int m1 = 2 * l - m2;
    const int sector = 6 * h / 256;
    const int k = (h - sector * 256 / 6) * 6;
    const double v = static_cast<double>(m2 - m1) * k / 255.0;
    const int up = std::min(255, static_cast<int>(m1 + v));
    const int down = std::max(0, static_cast<int>(m2 - v));
    int r = 0, g = 0, b = 0;
    switch (sector) {
        case 0:
            r = m2;
            g = up;
            b = m1;
            break;
        case 1:
            r = down;
            g = m2;
            b = m1;
            break;
        case 2:
            r = m1;
            g = m2;
            b = up;
            break;
        case 3:
            r = m1;
            g = down;
            b = m2;
            break;
        case 4:
            r = up;
            g = m1;
            b = m2;
            break;
        default:
            r = m2;
            g = m1;
            b = down;
            break;
    }
    auto lane = [](int v8) { return static_cast<unsigned>(std::clamp(v8, 0, 255)); };
    return 0xFF000000u | lane(r) << 16 | lane(g) << 8 | lane(b);
}

unsigned RgbToHsl(int r, int g, int b) {
    const int maxC = std::max(r, std::max(g, b));
    const int minC = std::min(r, std::min(g, b));
    const int l = (maxC + minC) / 2;
    const int d = maxC - minC;
    int h = 0;
    int s = 0;
    if (d != 0) {
        s = d * 256 / (l <= 128 ? maxC + minC : 512 - maxC - minC);
        int sixths;
        if (r == maxC)
            sixths = g == minC ? 1280 + (maxC - b) * 256 / d : 256 + (g - maxC) * 256 / d;
        else if (g == maxC)
            sixths = b == minC ? 256 + (maxC - r) * 256 / d : 768 + (b - maxC) * 256 / d;
        else
            sixths = r == minC ? 768 + (maxC - g) * 256 / d : 1280 + (r - maxC) * 256 / d;
        // Pure reds come out as hue 256, which is hue 0 once more.
        h = (sixths / 6) % 256;
    }
    auto lane = [](int v8) { return static_cast<unsigned>(std::clamp(v8, 0, 255)); };
    return 0xFF000000u | lane(l) << 16 | lane(s) << 8 | lane(h);
}
