#pragma once

// A picture being painted by the content generator: straight-alpha RGBA in floats (0..1),
// row after row from the top-left corner. Shapes are given as signed distance functions
// (negative inside, in pixels) and painted with one pixel of anti-aliasing; colours come from
// a shader called per pixel. Single-threaded; one canvas per picture.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mkcontent {

struct Rgba {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

// 0xAARRGGBB to floats.
Rgba Argb(uint32_t argb);
Rgba Mix(const Rgba& a, const Rgba& b, float t);
Rgba Scale(const Rgba& c, float factor);  // RGB times factor, alpha kept
Rgba WithAlpha(const Rgba& c, float alpha);

using Distance = std::function<float(float x, float y)>;
using Shader = std::function<Rgba(float x, float y)>;

// Signed distances of common shapes.
Distance RoundRect(float x, float y, float w, float h, float radius);
Distance Circle(float cx, float cy, float radius);
Distance Ring(float cx, float cy, float radius, float thickness);
Distance Polygon(std::vector<float> xy);  // x0,y0,x1,y1,...; even-odd inside
Distance Star(float cx, float cy, float outer, float inner, int points, float turn);
Shader Solid(const Rgba& c);
Shader VerticalGradient(float y0, const Rgba& top, float y1, const Rgba& bottom);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, const Rgba& fill = Rgba());

    int Width() const { return width; }
    int Height() const { return height; }
    Rgba Get(int x, int y) const;
    void Set(int x, int y, const Rgba& c);
    // Source-over blending of c at the given coverage (0..1).
    void Blend(int x, int y, const Rgba& c, float coverage = 1.0f);
    // Additive light: RGB added times alpha and coverage, alpha raised.
    void Add(int x, int y, const Rgba& c, float coverage = 1.0f);

    void Fill(const Shader& shader);
    // Paints the shader where the distance is negative, inside the given bounding box (the
    // whole canvas when w <= 0).
    void Paint(const Distance& shape, const Shader& shader, int bx = 0, int by = 0, int bw = 0, int bh = 0);
    // The other canvas over this one at (x, y), its colours times tint.
    void Draw(const Canvas& other, int x, int y, const Rgba& tint = Rgba{1, 1, 1, 1}, bool additive = false);
    // A copy of the alpha channel blurred (three box passes), used for shadows and glows.
    Canvas BlurredAlpha(int radius) const;
    // The alpha of mask painted in the colour at (x, y).
    void DrawMask(const Canvas& mask, int x, int y, const Rgba& colour, float strength = 1.0f, bool additive = false);
    Canvas Crop(int x, int y, int w, int h) const;

    // Writes the picture as 8-bit RGBA PNG; false when it cannot.
    bool SavePng(const std::string& path) const;

private:
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
};

// Smooth value noise in 0..1 that tiles with the given period (in lattice cells), summed over
// octaves; deterministic for a seed.
float TileNoise(float x, float y, int period, int octaves, uint32_t seed);

// A small deterministic generator (linear congruential) for star fields and the like.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t Next();
    float Unit();  // 0 .. 1
private:
    uint32_t state;
};

}  // namespace mkcontent
