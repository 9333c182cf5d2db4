#include "engine/util/Transform3D.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

using Math::Matrix_t;
using Math::Vector_t;

Matrix_t Identity() { return Matrix_t{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

void ExpectVector(const Vector_t& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Transform3D, Rows) {
    Matrix_t translate = Identity();
    translate.m[12] = 5;
    Matrix_t scaledW = Identity();
    scaledW.m[15] = 2;
    Matrix_t rows{{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 20, 30, 1}};
    Matrix_t tinyW = Identity();
    tinyW.m[15] = 0.0003f;

    struct Case {
        const char* why;
        Matrix_t matrix;
        Vector_t in;
        Vector_t point;
        Vector_t direction;
    };
    const Case kCases[] = {
            {"identity", Identity(), {1, 2, 3}, {1, 2, 3}, {1, 2, 3}},
            {"translation moves points only", translate, {1, 2, 3}, {6, 2, 3}, {1, 2, 3}},
            {"w of 2 halves both", scaledW, {2, 4, 6}, {1, 2, 3}, {1, 2, 3}},
            // [1 0 0 1] x M is the first row plus the translation row.
            {"x picks the first row", rows, {1, 0, 0}, {11, 22, 33}, {1, 2, 3}},
            {"z picks the third row", rows, {0, 0, 1}, {17, 28, 39}, {7, 8, 9}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Vector_t out{};
        Vector_t& point = Math::TransformPoint(c.in, c.matrix, out);
        EXPECT_EQ(&point, &out);
        ExpectVector(out, c.point.x, c.point.y, c.point.z);
        Vector_t& direction = Math::TransformDirection(c.matrix, c.in, out);
        EXPECT_EQ(&direction, &out);
        ExpectVector(out, c.direction.x, c.direction.y, c.direction.z);
    }

    Vector_t out{};
    Math::TransformPoint(Vector_t{3, 0, 0}, tinyW, out);
    EXPECT_FLOAT_EQ(out.x, 3 * (1.0f / 0.0003f));
    EXPECT_THROW(Math::TransformDirection(tinyW, Vector_t{3, 0, 0}, out), Math::InvalidSecondArgument_e);
}

TEST(Transform3D, VanishingW) {
    Matrix_t flat = Identity();
    flat.m[15] = 0;
    Vector_t out{1, 1, 1};
    Math::TransformPoint(Vector_t{1, 2, 3}, flat, out);
    ExpectVector(out, FLT_MAX, FLT_MAX, FLT_MAX);
    EXPECT_THROW(Math::TransformDirection(flat, Vector_t{1, 2, 3}, out), Math::InvalidSecondArgument_e);

    // A NaN w is not caught by the test and goes through.
    Matrix_t notANumber = Identity();
    notANumber.m[15] = NAN;
    EXPECT_NO_THROW(Math::TransformDirection(notANumber, Vector_t{1, 2, 3}, out));
    EXPECT_TRUE(std::isnan(out.x));
}

TEST(Transform3D, OutputMayBeTheInput) {
    Matrix_t translate = Identity();
    translate.m[13] = 1;
    translate.m[15] = 2;
    Vector_t v{2, 4, 6};
    Math::TransformPoint(v, translate, v);
    ExpectVector(v, 1, 2.5f, 3);
    Vector_t d{2, 4, 6};
    Math::TransformDirection(translate, d, d);
    ExpectVector(d, 1, 2, 3);
}

}  // namespace
