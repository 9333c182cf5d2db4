#include "graphics/Matrix3.h"

#include <cmath>

namespace Velm {

Matrix3::Matrix3() { LoadIdentity(); }

void Matrix3::LoadIdentity() {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = (r == c) ? 1.0f : 0.0f;
}

Matrix3 Matrix3::Multiply(const Matrix3& other) const {
    Matrix3 result;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            float sum = 0;
            for (int k = 0; k < 3; ++k) sum += m[r][k] * other.m[k][c];
            result.m[r][c] = sum;
        }
    }
    return result;
}

Vector2 Matrix3::TransformPoint(const Vector2& p) const {
    return Vector2(m[0][0] * p.x + m[0][1] * p.y + m[0][2], m[1][0] * p.x + m[1][1] * p.y + m[1][2]);
}

Vector3 Matrix3::TransformVector(const Vector3& v) const {
    return Vector3(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                   m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
}

void Matrix3::Translate(float tx, float ty) {
    Matrix3 t;
    t.m[0][2] = tx;
    t.m[1][2] = ty;
    *this = t.Multiply(*this);
}

void Matrix3::Rotate(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix3 r;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    *this = r.Multiply(*this);
}

void Matrix3::Scale(float sx, float sy) {
    Matrix3 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    *this = s.Multiply(*this);
}

}  // namespace Velm
