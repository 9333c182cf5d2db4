#include "graphics/Rect.h"

#include <algorithm>
#include <limits>

namespace Velm {

Rect Rect::Intersection(const Rect& other) const {
    using Wide = long long;
    const int left = std::max(x, other.x);
    const Wide right = std::min(Wide{x} + width, Wide{other.x} + other.width);
    const int top = std::max(y, other.y);
    const Wide bottom = std::min(Wide{y} + height, Wide{other.y} + other.height);
    if (right - left < 0 || bottom - top < 0) return Rect(0, 0, 0, 0);
    const Wide most = std::numeric_limits<int>::max();
    return Rect(left, top, static_cast<int>(std::min(right - left, most)),
                static_cast<int>(std::min(bottom - top, most)));
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
