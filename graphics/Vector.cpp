#include "graphics/Vector.h"

#include <cmath>

namespace Velm {

Vector2 Vector2::Normalized() const {
    const float length = std::sqrt(x * x + y * y);
    if (length == 0) return *this;
    return Vector2(x / length, y / length);
}

}  // namespace Velm
