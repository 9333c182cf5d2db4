#pragma once

#include "graphics/Matrix3.h"

namespace Velm {

// A 2D transform that keeps the cheap cases in plain fields so the drawing layer can use a
// plain, mirrored, stretched or rotated blit for them:
//   simple form:  p -> Post * (Rotation or Scale) * Pre * p   (each factor optional)
// Once an operation cannot be expressed that way the transform turns complex for good (until
// Reset) and the matrix alone describes it. While simple, scaleX is positive or exactly -1
// (a left-right mirror) and scaleY is never negative; rotation and scale never coexist.
class Transform {
public:
    Matrix3 matrix;  // valid when not dirty, or when complex
    bool dirty;      // the matrix must be rebuilt from the simple fields
    bool complex;    // only the matrix describes the transform
    bool hasRotation;
    bool hasScale;
    float preX, preY;    // applied first
    float postX, postY;  // applied last
    float scaleX, scaleY;
    float rotation;  // radians

    Transform();
    void Reset();

    void Translate(float tx, float ty);
    void Rotate(float angle);
    void Scale(float sx, float sy);

    void UpdateMatrix();
    const Matrix3& GetMatrix();
};

}  // namespace Velm
