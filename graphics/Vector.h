#pragma once

namespace Velm {

class Vector2 {
public:
    float x = 0;
    float y = 0;
    Vector2() = default;
    Vector2(float vx, float vy) : x(vx), y(vy) {}

    // Unit vector in the same direction; the zero vector comes back unchanged.
    Vector2 Normalized() const;
};

class Vector3 {
public:
    float x = 0;
    float y = 0;
    float z = 0;
    Vector3() = default;
    Vector3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
};

}  // namespace Velm
