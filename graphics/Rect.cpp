#include "graphics/Rect.h"

#include <algorithm>

namespace Velm {

Rect Rect::Intersection(const Rect& other) const {
    const int left = std::max(x, other.x);
    const int right = std::min(x + width, other.x + other.width);
    const int top = std::max(y, other.y);
    const int bottom = std::min(y + height, other.y + other.height);
    if (right - left < 0 || bottom - top < 0) return Rect(0, 0, 0, 0);
    return Rect(left, top, right - left, bottom - top);
}

bool operator==(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

DRect DRect::Intersection(const DRect& other) const {
    const double left = std::max(x, other.x);
    const double right = std::min(x + width, other.x + other.width);
    const double top = std::max(y, other.y);
    const double bottom = std::min(y + height, other.y + other.height);
    if (right - left < 0 || bottom - top < 0) return DRect(0, 0, 0, 0);
    return DRect(left, top, right - left, bottom - top);
}

}  // namespace Velm
