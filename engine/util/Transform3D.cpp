#include "engine/util/Transform3D.h"

#include <cfloat>
#include <cmath>

namespace Math {

Vector_t& TransformPoint(const Vector_t& p, const Matrix_t& matrix, Vector_t& out) {
    const float* m = matrix.m;
    float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
    if (w == 0.0f) {
        out = Vector_t{FLT_MAX, FLT_MAX, FLT_MAX};
        return out;
    }
    float r = 1.0f / w;
    Vector_t result{(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12]) * r,
                    (p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13]) * r,
                    (p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]) * r};
    out = result;
    return out;
}

Vector_t& TransformDirection(const Matrix_t& matrix, const Vector_t& d, Vector_t& out) {
    const float* m = matrix.m;
    float w = d.x * m[3] + d.y * m[7] + d.z * m[11] + m[15];
    if (std::fabs(w) < std::sqrt(FLT_EPSILON)) throw InvalidSecondArgument_e();
    float r = 1.0f / w;
    Vector_t result{(d.x * m[0] + d.y * m[4] + d.z * m[8]) * r, (d.x * m[1] + d.y * m[5] + d.z * m[9]) * r,
                    (d.x * m[2] + d.y * m[6] + d.z * m[10]) * r};
    out = result;
    return out;
}

}  // namespace Math
