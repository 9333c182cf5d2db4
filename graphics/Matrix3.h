#pragma once

#include "graphics/Vector.h"

namespace Velm {

// 3x3 float matrix, row-major m[row][column], acting on column vectors:
//   x' = m[0][0]*x + m[0][1]*y + m[0][2],  y' = m[1][0]*x + m[1][1]*y + m[1][2].
// Translate, Rotate and Scale multiply on the left, so an operation called later applies
// after (outside) the earlier ones.
class Matrix3 {
public:
    float m[3][3];

    Matrix3();  // identity
    void LoadIdentity();

    Matrix3 Multiply(const Matrix3& other) const;  // this x other
    Vector2 TransformPoint(const Vector2& p) const;
    Vector3 TransformVector(const Vector3& v) const;

    void Translate(float tx, float ty);
    // Radians. With the screen's y axis pointing down a positive angle turns counter-clockwise:
    // (1, 0) goes to (cos a, -sin a).
    void Rotate(float angle);
    void Scale(float sx, float sy);
};

}  // namespace Velm
