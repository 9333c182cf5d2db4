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
    // the shared edge; a negative overlap gives (0, 0, 0, 0).
    Rect Intersection(const Rect& other) const;

    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
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
