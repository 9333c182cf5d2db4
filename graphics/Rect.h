#pragma once

namespace Velm {

// Integer rectangle in pixels: covers columns x .. x+width-1 and rows y .. y+height-1;
// a width or height of 0 or less is empty.
class Rect {
public:
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    Rect() = default;
    Rect(int rx, int ry, int rw, int rh) : x(rx), y(ry), width(rw), height(rh) {}

    // Overlap of the two. Touching rectangles give a zero-width (or zero-height) rectangle at
    // the shared edge; a negative overlap gives (0, 0, 0, 0). Edges beyond the int range are
    // taken as they are (worked in 64 bits), and the overlap's size is capped at the largest
    // int.
    Rect Intersection(const Rect& other) const;

    // Both in 64 bits: a rectangle that ends beyond the largest int never wraps.
    bool Contains(int px, int py) const {
        return px >= x && py >= y && static_cast<long long>(px) < static_cast<long long>(x) + width &&
               static_cast<long long>(py) < static_cast<long long>(y) + height;
    }
    // Lies inside (0, 0, areaWidth, areaHeight); an empty rectangle lies inside when its
    // corner does.
    bool LiesWithin(int areaWidth, int areaHeight) const {
        return x >= 0 && y >= 0 && static_cast<long long>(x) + width <= areaWidth &&
               static_cast<long long>(y) + height <= areaHeight;
    }
};

bool operator==(const Rect& a, const Rect& b);
bool operator!=(const Rect& a, const Rect& b);

// The same rectangle in doubles, for clipping scaled and rotated blits without losing the
// fraction of a source pixel.
class DRect {
public:
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    DRect() = default;
    DRect(double rx, double ry, double rw, double rh) : x(rx), y(ry), width(rw), height(rh) {}
    explicit DRect(const Rect& r) : x(r.x), y(r.y), width(r.width), height(r.height) {}

    DRect Intersection(const DRect& other) const;
};

}  // namespace Velm
