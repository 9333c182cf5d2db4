#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphics/Color.h"
#include "graphics/Matrix3.h"
#include "graphics/Rect.h"
#include "graphics/Transform.h"
#include "graphics/Vector.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;

TEST(ColorTest, PackedConstructorRows) {
    struct Case {
        const char* why;
        uint32_t value;
        Color expected;
    };
    const Case cases[] = {
            {"top byte 0 means opaque", 0x00FF8040u, Color(255, 128, 64, 255)},
            {"top byte kept as alpha", 0x80FF8040u, Color(255, 128, 64, 128)},
            {"opaque black", 0xFF000000u, Color(0, 0, 0, 255)},
            {"white", 0xFFFFFFFFu, Color(255, 255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Color(static_cast<int>(c.value)), c.expected);
    }
}

TEST(ColorTest, ConstructorsAndPacking) {
    EXPECT_EQ(Color(), Color(0, 0, 0, 255));
    EXPECT_EQ(Color(0x123456, 7), Color(0x12, 0x34, 0x56, 7));
    EXPECT_EQ(Color(1, 2, 3), Color(1, 2, 3, 255));
    EXPECT_EQ(Color(0x12, 0x34, 0x56, 0x78).ToInt(), 0x78123456u);
    Color c(10, 20, 30, 40);
    c.SetOpaqueFrom(Color(1, 2, 3, 4));
    EXPECT_EQ(c, Color(1, 2, 3, 255));
    EXPECT_TRUE(Color(255, 255, 255, 254) != Color::White);
}

TEST(ColorTest, IndexOperatorWritesOnlyChannels) {
    Color c(1, 2, 3, 4);
    c[0] = 10;
    c[3] = 40;
    c[7] = 99;  // scratch: no channel changes
    c[-1] = 98;
    EXPECT_EQ(c, Color(10, 2, 3, 40));
    EXPECT_EQ(c[1], 2);
}

TEST(RectTest, IntersectionRows) {
    struct Case {
        const char* why;
        Rect a, b, expected;
    };
    const Case cases[] = {
            {"touching gives zero width", Rect(0, 0, 10, 10), Rect(10, 0, 5, 5), Rect(10, 0, 0, 5)},
            {"apart gives all zeros", Rect(0, 0, 10, 10), Rect(11, 0, 5, 5), Rect(0, 0, 0, 0)},
            {"overlap", Rect(0, 0, 10, 10), Rect(5, -3, 10, 8), Rect(5, 0, 5, 5)},
            {"contained", Rect(0, 0, 10, 10), Rect(2, 3, 4, 5), Rect(2, 3, 4, 5)},
            {"touching below", Rect(0, 0, 10, 10), Rect(0, 10, 4, 4), Rect(0, 10, 4, 0)},
            {"apart vertically", Rect(0, 0, 10, 10), Rect(0, 12, 4, 4), Rect(0, 0, 0, 0)},
            {"ends beyond the largest int", Rect(0, 0, 10, 10), Rect(1, 0, INT_MAX, 1), Rect(1, 0, 9, 1)},
            {"starts at the largest int", Rect(0, 0, 10, 10), Rect(INT_MAX, INT_MAX, INT_MAX, 5), Rect(0, 0, 0, 0)},
            {"from the smallest int to past the largest", Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX),
             Rect(-5, -5, INT_MAX, INT_MAX), Rect(-5, -5, 4, 4)},
            {"both huge", Rect(INT_MIN + 1, 0, INT_MAX, 1), Rect(INT_MIN + 1, 0, INT_MAX, 1),
             Rect(INT_MIN + 1, 0, INT_MAX, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.a.Intersection(c.b), c.expected);
        EXPECT_EQ(c.b.Intersection(c.a), c.expected);
    }
}

TEST(RectTest, ContainsAndLiesWithinNeverWrap) {
    const Rect huge(1, 0, INT_MAX, 1);
    EXPECT_TRUE(huge.Contains(INT_MAX, 0));
    EXPECT_FALSE(huge.Contains(0, 0));
    EXPECT_FALSE(Rect(INT_MAX, 0, 1, 1).Contains(INT_MIN, 0));
    struct Case {
        Rect r;
        bool inside;
    };
    const Case cases[] = {
            {Rect(0, 0, 10, 10), true},      {Rect(2, 3, 8, 7), true},        {Rect(1, 0, 10, 1), false},
            {Rect(1, 0, INT_MAX, 1), false}, {Rect(0, 1, 1, INT_MAX), false}, {Rect(-1, 0, 1, 1), false},
            {Rect(INT_MAX, 0, 1, 1), false}, {Rect(10, 10, 0, 0), true},      {Rect(11, 0, 0, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r.x << "," << c.r.y << "," << c.r.width << "," << c.r.height);
        EXPECT_EQ(c.r.LiesWithin(10, 10), c.inside);
    }
}

TEST(RectTest, DRectIntersectionKeepsFractions) {
    const DRect r = DRect(0.5, 0.25, 10, 10).Intersection(DRect(2.75, 0, 3, 3));
    EXPECT_DOUBLE_EQ(r.x, 2.75);
    EXPECT_DOUBLE_EQ(r.y, 0.25);
    EXPECT_DOUBLE_EQ(r.width, 3);
    EXPECT_DOUBLE_EQ(r.height, 2.75);
    const DRect none = DRect(0, 0, 1, 1).Intersection(DRect(3, 3, 1, 1));
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.x, 0);
}

TEST(VectorTest, Normalized) {
    const Vector2 zero = Vector2(0, 0).Normalized();
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
    const Vector2 v = Vector2(3, 4).Normalized();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
}

TEST(Matrix3Test, RotateTurnsCounterClockwiseOnScreen) {
    Matrix3 m;
    m.Rotate(static_cast<float>(M_PI / 2));
    const Vector2 p = m.TransformPoint(Vector2(1, 0));
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, -1, 1e-6);
}

TEST(Matrix3Test, LaterOperationsApplyOutside) {
    Matrix3 m;
    m.Scale(2, 3);
    m.Translate(10, 20);
    const Vector2 p = m.TransformPoint(Vector2(1, 1));
    EXPECT_FLOAT_EQ(p.x, 12);
    EXPECT_FLOAT_EQ(p.y, 23);
    const Vector3 v = m.TransformVector(Vector3(1, 1, 0));
    EXPECT_FLOAT_EQ(v.x, 2);
    EXPECT_FLOAT_EQ(v.y, 3);
    EXPECT_FLOAT_EQ(v.z, 0);

    Matrix3 a, b;
    a.Translate(1, 2);
    b.Scale(2, 2);
    const Matrix3 ab = a.Multiply(b);  // scale first, then translate
    const Vector2 q = ab.TransformPoint(Vector2(1, 1));
    EXPECT_FLOAT_EQ(q.x, 3);
    EXPECT_FLOAT_EQ(q.y, 4);
}

namespace {

Vector2 Map(Transform t, float x, float y) { return t.GetMatrix().TransformPoint(Vector2(x, y)); }

}  // namespace

TEST(TransformTest, StateRows) {
    struct Case {
        const char* why;
        void (*build)(Transform&);
        bool complex, hasRotation, hasScale;
        float mapX, mapY;  // image of (1, 0)
    };
    const Case cases[] = {
            {"identity", [](Transform&) {}, false, false, false, 1, 0},
            {"translate then scale is complex",
             [](Transform& t) {
                 t.Translate(5, 0);
                 t.Scale(2, 2);
             },
             true, false, false, 12, 0},
            {"scale then translate stays simple",
             [](Transform& t) {
                 t.Scale(2, 2);
                 t.Translate(5, 0);
             },
             false, false, true, 7, 0},
            {"rotate then scale is complex",
             [](Transform& t) {
                 t.Rotate(0.5f);
                 t.Scale(2, 2);
             },
             true, true, false, 2 * std::cos(0.5f), -2 * std::sin(0.5f)},
            {"scale then rotate is complex",
             [](Transform& t) {
                 t.Scale(2, 1);
                 t.Rotate(static_cast<float>(M_PI / 2));
             },
             true, false, true, 0, -2},
            {"negative y scale is complex", [](Transform& t) { t.Scale(1, -1); }, true, false, false, 1, 0},
            {"mirror stays simple", [](Transform& t) { t.Scale(-1, 1); }, false, false, true, -1, 0},
            {"mirror twice is complex",
             [](Transform& t) {
                 t.Scale(-1, 1);
                 t.Scale(-1, 1);
             },
             true, false, true, 1, 0},
            {"rotations accumulate before the post-translation",
             [](Transform& t) {
                 t.Rotate(0.5f);
                 t.Translate(3, 0);
                 t.Rotate(0.25f);
             },
             false, true, false, std::cos(0.75f) + 3, -std::sin(0.75f)},
            {"complex translate goes to the matrix",
             [](Transform& t) {
                 t.Scale(1, -1);
                 t.Translate(1, 1);
             },
             true, false, false, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Transform t;
        c.build(t);
        EXPECT_EQ(t.complex, c.complex);
        EXPECT_EQ(t.hasRotation, c.hasRotation);
        EXPECT_EQ(t.hasScale, c.hasScale);
        const Vector2 p = Map(t, 1, 0);
        EXPECT_NEAR(p.x, c.mapX, 1e-5);
        EXPECT_NEAR(p.y, c.mapY, 1e-5);
    }
}

TEST(TransformTest, SimpleFieldsAndReset) {
    Transform t;
    t.Rotate(0.5f);
    t.Translate(3, 0);
    t.Rotate(0.25f);
    EXPECT_FLOAT_EQ(t.rotation, 0.75f);
    EXPECT_FLOAT_EQ(t.postX, 3);
    EXPECT_FLOAT_EQ(t.preX, 0);

    Transform m;
    m.Scale(-1, 1);
    EXPECT_FLOAT_EQ(m.scaleX, -1);
    m.Reset();
    EXPECT_FALSE(m.complex);
    EXPECT_FALSE(m.hasScale);
    EXPECT_FLOAT_EQ(m.scaleX, 1);
    EXPECT_TRUE(m.dirty);

    Transform pre;
    pre.Translate(4, 5);
    EXPECT_FLOAT_EQ(pre.preX, 4);
    EXPECT_FLOAT_EQ(pre.preY, 5);
    const Vector2 p = Map(pre, 0, 0);
    EXPECT_FLOAT_EQ(p.x, 4);
    EXPECT_FLOAT_EQ(p.y, 5);
}
