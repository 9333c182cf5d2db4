#pragma once

namespace Velm {

// Integer pixel position (vertex lists of polygon fills).
struct Point {
    int x = 0;
    int y = 0;
    Point() = default;
    Point(int px, int py) : x(px), y(py) {}
};

// One horizontal run of pixels of a filled shape: row y, columns x .. x+width-1.
struct Span {
    int y = 0;
    int x = 0;
    int width = 0;
    Span() = default;
    Span(int sy, int sx, int sw) : y(sy), x(sx), width(sw) {}
};

}  // namespace Velm
