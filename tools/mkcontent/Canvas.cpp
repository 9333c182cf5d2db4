#include "tools/mkcontent/Canvas.h"

#include <algorithm>
#include <cmath>

#include "resources/ImageLib.h"

namespace mkcontent {

namespace {

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^ static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Lattice(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    return static_cast<float>(Hash(x, y, seed) & 0xFFFF) / 65535.0f;
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

// One box-blur pass of a single channel along rows (stride 1) or columns.
void BoxPass(std::vector<float>& v, int w, int h, int radius, bool rows) {
    std::vector<float> out(v.size());
    const int lines = rows ? h : w;
    const int length = rows ? w : h;
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) -> float& {
            return rows ? v[static_cast<size_t>(line) * w + i] : v[static_cast<size_t>(i) * w + line];
        };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < length) ? at(i) : 0;
        for (int i = 0; i < length; ++i) {
            const size_t index = rows ? static_cast<size_t>(line) * w + i : static_cast<size_t>(i) * w + line;
            out[index] = sum * norm;
            const int add = i + radius + 1;
            const int drop = i - radius;
            if (add < length) sum += at(add);
            if (drop >= 0) sum -= at(drop);
        }
    }
    v.swap(out);
}

}  // namespace

Rgba Argb(uint32_t argb) {
    return Rgba{static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
                static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Scale(const Rgba& c, float factor) {
    return Rgba{Clamp01(c.r * factor), Clamp01(c.g * factor), Clamp01(c.b * factor), c.a};
}

Rgba WithAlpha(const Rgba& c, float alpha) { return Rgba{c.r, c.g, c.b, alpha}; }

Distance RoundRect(float x, float y, float w, float h, float radius) {
    const float cx = x + w / 2, cy = y + h / 2, hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Distance Circle(float cx, float cy, float radius) {
    return [=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; };
}

Distance Ring(float cx, float cy, float radius, float thickness) {
    return [=](float px, float py) { return std::fabs(std::hypot(px - cx, py - cy) - radius) - thickness / 2; };
}

Distance Polygon(std::vector<float> xy) {
    return [xy](float px, float py) {
        const size_t n = xy.size() / 2;
        float best = 1e9f;
        bool inside = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float ax = xy[2 * j], ay = xy[2 * j + 1], bx = xy[2 * i], by = xy[2 * i + 1];
            const float ex = bx - ax, ey = by - ay, wx = px - ax, wy = py - ay;
            const float len = ex * ex + ey * ey;
            const float t = len > 0 ? Clamp01((wx * ex + wy * ey) / len) : 0;
            best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
            if ((ay > py) != (by > py) && px < ax + (py - ay) * ex / ey) inside = !inside;
        }
        return inside ? -best : best;
    };
}

Distance Star(float cx, float cy, float outer, float inner, int points, float turn) {
    std::vector<float> xy;
    for (int i = 0; i < points * 2; ++i) {
        const float angle = turn + static_cast<float>(i) * 3.14159265f / static_cast<float>(points);
        const float r = (i % 2 == 0) ? outer : inner;
        xy.push_back(cx + r * std::sin(angle));
        xy.push_back(cy - r * std::cos(angle));
    }
    return Polygon(std::move(xy));
}

Shader Solid(const Rgba& c) {
    return [c](float, float) { return c; };
}

Shader VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom) {
    return [=](float, float y) { return Mix(top, bottom, Clamp01((y - y0) / (y1 - y0))); };
}

Canvas::Canvas(int w, int h, const Rgba& fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

Rgba Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgba();
    return pixels[static_cast<size_t>(y) * width + x];
}

void Canvas::Set(int x, int y, const Rgba& c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixels[static_cast<size_t>(y) * width + x] = c;
}

void Canvas::Blend(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    Rgba& d = pixels[static_cast<size_t>(y) * width + x];
    const float sa = Clamp01(c.a * coverage);
    if (sa <= 0) return;
    const float outA = sa + d.a * (1 - sa);
    if (outA <= 0) return;
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / outA;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / outA;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / outA;
    d.a = outA;
}

void Canvas::Add(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    Rgba& d = pixels[static_cast<size_t>(y) * width + x];
    const float s = Clamp01(c.a * coverage);
    if (d.a <= 0) {
        d = Rgba{c.r, c.g, c.b, s};
        return;
    }
    d.r = Clamp01(d.r + c.r * s);
    d.g = Clamp01(d.g + c.g * s);
    d.b = Clamp01(d.b + c.b * s);
    d.a = Clamp01(d.a + s * (1 - d.a));
}

void Canvas::Fill(const Shader& shader) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Set(x, y, shader(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
}

void Canvas::Paint(const Distance& shape, const Shader& shader, int bx, int by, int bw, int bh) {
    if (bw <= 0 || bh <= 0) {
        bx = 0;
        by = 0;
        bw = width;
        bh = height;
    }
    const int x0 = std::max(0, bx), y0 = std::max(0, by);
    const int x1 = std::min(width, bx + bw), y1 = std::min(height, by + bh);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float coverage = Clamp01(0.5f - shape(px, py));
            if (coverage > 0) Blend(x, y, shader(px, py), coverage);
        }
}

void Canvas::Draw(const Canvas& other, int x, int y, const Rgba& tint, bool additive) {
    for (int sy = 0; sy < other.height; ++sy)
        for (int sx = 0; sx < other.width; ++sx) {
            const Rgba& s = other.pixels[static_cast<size_t>(sy) * other.width + sx];
            if (s.a <= 0) continue;
            const Rgba c{s.r * tint.r, s.g * tint.g, s.b * tint.b, s.a * tint.a};
            if (additive)
                Add(x + sx, y + sy, c);
            else
                Blend(x + sx, y + sy, c);
        }
}

Canvas Canvas::BlurredAlpha(int radius) const {
    std::vector<float> alpha(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) alpha[i] = pixels[i].a;
    if (radius > 0)
        for (int pass = 0; pass < 3; ++pass) {
            BoxPass(alpha, width, height, radius, true);
            BoxPass(alpha, width, height, radius, false);
        }
    Canvas out(width, height);
    for (size_t i = 0; i < pixels.size(); ++i) out.pixels[i] = Rgba{1, 1, 1, alpha[i]};
    return out;
}

void Canvas::DrawMask(const Canvas& mask, int x, int y, const Rgba& colour, float strength, bool additive) {
    for (int sy = 0; sy < mask.height; ++sy)
        for (int sx = 0; sx < mask.width; ++sx) {
            const float coverage = mask.pixels[static_cast<size_t>(sy) * mask.width + sx].a * strength;
            if (coverage <= 0) continue;
            if (additive)
                Add(x + sx, y + sy, colour, coverage);
            else
                Blend(x + sx, y + sy, colour, coverage);
        }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int sy = 0; sy < h; ++sy)
        for (int sx = 0; sx < w; ++sx) out.Set(sx, sy, Get(x + sx, y + sy));
    return out;
}

bool Canvas::SavePng(const std::string& path) const {
    ImageLib::Image image;
    image.mWidth = width;
    image.mHeight = height;
    image.mBits = new uint32_t[pixels.size()];
    for (size_t i = 0; i < pixels.size(); ++i) {
        const Rgba& p = pixels[i];
        auto byte = [](float v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0f)); };
        // Fully transparent pixels are stored as transparent white, so that filtered edges
        // do not darken.
        image.mBits[i] = p.a <= 0 ? 0x00FFFFFFu : (byte(p.a) << 24) | (byte(p.r) << 16) | (byte(p.g) << 8) | byte(p.b);
    }
    return ImageLib::WritePNGImage(path, &image);
}

float TileNoise(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        const int p = period << o;
        const float fx = x * static_cast<float>(1 << o), fy = y * static_cast<float>(1 << o);
        const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
        const float tx = Smooth(fx - static_cast<float>(ix)), ty = Smooth(fy - static_cast<float>(iy));
        const uint32_t s = seed + static_cast<uint32_t>(o) * 7919u;
        const float a = Lattice(ix, iy, p, s), b = Lattice(ix + 1, iy, p, s);
        const float c = Lattice(ix, iy + 1, p, s), d = Lattice(ix + 1, iy + 1, p, s);
        sum += amplitude * (a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty);
        total += amplitude;
        amplitude *= 0.5f;
    }
    return sum / total;
}

uint32_t Lcg::Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

float Lcg::Unit() { return static_cast<float>(Next() & 0xFFFFFF) / 16777215.0f; }

}  // namespace mkcontent
