#pragma once

// 3-D vectors through 4x4 homogeneous matrices, used to place the engine's 3-D sounds.
// The matrix is stored row by row, m[4 * row + column], and vectors are rows multiplied
// on the left, [x y z 1] x M: the translation is m[12..14] and the homogeneous column is
// m[3], m[7], m[11], m[15].
namespace Math {

struct Vector_t {
    float x;
    float y;
    float z;
};

struct Matrix_t {
    float m[16];
};

// Thrown by TransformDirection when w is too close to 0 to divide by.
class InvalidSecondArgument_e {};

// Position through the whole matrix, divided by w; w exactly 0 gives FLT_MAX in every
// coordinate. `out` may be `p`.
Vector_t& TransformPoint(const Vector_t& p, const Matrix_t& matrix, Vector_t& out);

// Direction through the linear part only, still divided by w (which includes m[15]);
// |w| below sqrt(FLT_EPSILON) throws InvalidSecondArgument_e (a NaN w does not). `out`
// may be `d`.
Vector_t& TransformDirection(const Matrix_t& matrix, const Vector_t& d, Vector_t& out);

}  // namespace Math
