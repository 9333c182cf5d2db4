#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/particles/EmitterPath.h"
#include "engine/particles/ParticleGraph.h"
#include "engine/particles/Spline.h"

namespace {

TEST(ParticleGraphTest, ValuesBetweenAndBeyondTheKeys) {
    struct Case {
        const char* why;
        const char* text;
        float x;
        float value;
    };
    const Case cases[] = {
            {"halfway", "0,10;1,20", 0.5f, 15},
            {"at the end", "0,10;1,20", 1.0f, 20},
            {"beyond the end counts as 1", "0,10;1,20", 3.0f, 20},
            {"first key", "0,10;1,20", 0.0f, 10},
            {"three keys, second segment", "0,0;0.5,10;1,0", 0.75f, 5},
            {"keys ending early hold the last value", "0,4;0.5,8", 0.9f, 8},
            {"single key everywhere", "0.3,7", 0.0f, 7},
            {"single key everywhere, far", "0.3,7", 0.9f, 7},
            {"no key", "", 0.5f, 0},
            {"unreadable items are left out", "0,10;junk;1,20", 0.5f, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ParticleGraph_t graph;
        graph.Read(c.text);
        EXPECT_NEAR(graph.Evaluate(c.x), c.value, 1e-4);
    }
}

TEST(ParticleGraphTest, AddKeyAppendsOrReplaces) {
    ParticleGraph_t graph;
    graph.Read("0,1;1,3");
    graph.AddKey(0, 50, true);
    EXPECT_EQ(graph.Evaluate(0.7f), 50);
    graph.AddKey(1, 150, false);
    EXPECT_NEAR(graph.Evaluate(0.5f), 100, 1e-4);
}

TEST(ParticleColorGraphTest, ChannelsInterpolateAlphaDoesNot) {
    struct Case {
        const char* why;
        const char* text;
        float x;
        Velm::Color colour;
    };
    const Case cases[] = {
            {"red to transparent blue, halfway", "0,0xFFFF0000;1,0x000000FF", 0.5f, Velm::Color(128, 0, 127, 255)},
            {"at the last key", "0,0xFFFF0000;1,0x000000FF", 1.0f, Velm::Color(0, 0, 255, 0)},
            {"decimal colours", "0,4278190335", 0.2f, Velm::Color(0, 0, 255, 255)},
            {"a zero alpha stays zero", "0,0x00112233", 0.5f, Velm::Color(0x11, 0x22, 0x33, 0)},
            {"no key is opaque black", "", 0.5f, Velm::Color(0, 0, 0, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ParticleColorGraph_t graph;
        graph.Read(c.text);
        EXPECT_EQ(graph.Evaluate(c.x), c.colour);
    }
}

TEST(EmitterPathTest, PointsAlongEachKindOfPath) {
    struct Case {
        const char* why;
        int type;
        const char* points;
        float t;
        int x, y;
    };
    const Case cases[] = {
            {"open polyline halfway", 3, "1.0;0;0,0,100,0,", 0.5f, 50, 0},
            {"open polyline at speed 2 wraps to the start", 3, "2.0;0;0,0,100,0,", 0.5f, 0, 0},
            {"closed polyline on its closing segment", 3, "1.0;1;0,0,100,0,100,100,", 0.9f, 24, 24},
            {"rectangle starts at its top-left corner", 2, "1.0,400,300,200,150", 0.0f, 300, 225},
            {"rectangle a quarter round", 2, "1.0,400,300,200,150", 0.25f, 475, 225},
            {"rectangle on its right side", 2, "1.0,400,300,200,150", 0.4f, 500, 305},
            {"ellipse starts at its left point", 1, "1.0,400,300,200,100", 0.0f, 300, 300},
            {"spline through three points ends at the last", 0, "1.0;0;0,0,100,100,200,0,", 0.9999f, 199, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<EmitterPath_t> path = MakeEmitterPath(c.type);
        ASSERT_NE(path, nullptr);
        path->Load(c.points);
        path->MoveTo(c.t, false);
        EXPECT_NEAR(path->x, c.x, 1);
        EXPECT_NEAR(path->y, c.y, 1);
        EXPECT_EQ(path->parameter, c.t);
        EXPECT_EQ(path->GetType(), c.type);
    }
    EXPECT_EQ(MakeEmitterPath(4), nullptr);
}

TEST(EmitterPathTest, LengthsOfPolylinesAndSplines) {
    PolylinePath_t closed;
    closed.Load("1.0;1;0,0,100,0,100,100,");
    EXPECT_NEAR(closed.totalLength, 341.42f, 0.01f);
    PolylinePath_t open;
    open.Load("1.0;0;0,0,100,0,100,100,");
    EXPECT_NEAR(open.totalLength, 200.0f, 0.01f);

    Spline_t line;
    line.AddPoint(0, 0);
    line.AddPoint(100, 0);
    EXPECT_EQ(line.GetSegmentCount(), 1);
    EXPECT_NEAR(line.GetLength(), 100.0f, 0.01f);
    struct Case {
        float length;
        int x, y;
    };
    const Case cases[] = {{-5, 0, 0}, {0, 0, 0}, {50, 50, 0}, {100, 100, 0}, {500, 100, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const Velm::Point p = line.PointAtLength(c.length);
        EXPECT_NEAR(p.x, c.x, 1);
        EXPECT_EQ(p.y, c.y);
    }
    EXPECT_EQ(line.TangentAtLength(50), (std::pair<double, double>(1.0, 0.0)));
    EXPECT_EQ(line.TangentAtLength(-1), (std::pair<double, double>(0.0, 0.0)));
    EXPECT_NEAR(line.LengthAtPosition(30, 5), 30.0f, 0.5f);
    EXPECT_EQ(line.LengthAtPosition(30, 50), 0.0f);

    Spline_t twoClosed;
    twoClosed.SetClosed(true);
    twoClosed.AddPoint(0, 0);
    twoClosed.AddPoint(100, 0);
    EXPECT_EQ(twoClosed.GetSegmentCount(), 0);
    EXPECT_EQ(twoClosed.GetLength(), 0.0f);
    EXPECT_EQ(twoClosed.PointAtLength(10).x, 0);
}

TEST(SplineTest, ClosedSplineIsSmoothAllTheWayRound) {
    Spline_t ring;
    ring.SetClosed(true);
    const int pts[5][2] = {{0, 0}, {100, -20}, {160, 60}, {80, 140}, {-30, 90}};
    for (const auto& p : pts) ring.AddPoint(p[0], p[1]);
    ASSERT_EQ(ring.GetSegmentCount(), 5);
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        const int next = (k + 1) % 5;
        for (const auto* coefs : {&ring.xCoefs, &ring.yCoefs}) {
            const SplineCoef_t& a = (*coefs)[k];
            const SplineCoef_t& b = (*coefs)[next];
            EXPECT_NEAR(a.At(1), b.a, 1e-3);                  // continuous
            EXPECT_NEAR(a.b + 2 * a.c + 3 * a.d, b.b, 1e-3);  // same slope
            EXPECT_NEAR(2 * a.c + 6 * a.d, 2 * b.c, 1e-2);    // same curvature
        }
    }
}

TEST(SplineTest, EditingPoints) {
    Spline_t s;
    s.AddPoint(0, 0);
    s.AddPoint(100, 0);
    s.AddPoint(200, 0);
    s.InsertPointAfter(0);
    ASSERT_EQ(s.GetPointCount(), 4);
    EXPECT_NEAR(s.GetPoint(1).x, 50, 1);
    s.RemovePoint(1);
    EXPECT_EQ(s.GetPointCount(), 3);
    s.MovePoint(2, 300, 0);
    EXPECT_EQ(s.GetPoint(2).x, 300);
    s.MovePoint(9, 1, 1);  // out of range: nothing
    EXPECT_EQ(s.GetPoint(9).x, 0);
    EXPECT_EQ(s.HitTestPoint(105, 3), 1);
    EXPECT_EQ(s.HitTestPoint(150, 50), -1);
    EXPECT_EQ(s.HitTestCurve(150, 60).first, -1);
    EXPECT_GE(s.HitTestCurve(150, 2).first, 0);
    s.Clear();
    EXPECT_EQ(s.GetPointCount(), 0);
    EXPECT_EQ(s.GetLength(), 0.0f);
}

TEST(EmitterPathTest, SaveAndLoadAgainGivesTheSamePath) {
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        std::unique_ptr<EmitterPath_t> path = MakeEmitterPath(type);
        path->Load(type == 1 || type == 2 ? "1.5,410,320,100,60" : "1.5;1;5,5,60,80,120,10,");
        std::string text;
        path->Save(text);
        std::unique_ptr<EmitterPath_t> again = MakeEmitterPath(type);
        again->Load(text);
        std::string text2;
        again->Save(text2);
        EXPECT_EQ(text, text2);
        for (float t : {0.1f, 0.45f, 0.8f}) {
            path->MoveTo(t, false);
            again->MoveTo(t, false);
            EXPECT_EQ(path->x, again->x);
            EXPECT_EQ(path->y, again->y);
        }
    }
}

TEST(EmitterPathTest, HandlesOfTheEditor) {
    RectPath_t rect;
    rect.Load("1.0,400,300,200,150");
    EXPECT_EQ(rect.HitTest(400, 228), 1);  // top middle
    rect.MoveHandle(1, 400, 250);
    EXPECT_EQ(rect.height, 100);
    EXPECT_EQ(rect.HitTest(500, 300), 3);  // right middle: moves the rectangle
    rect.MoveHandle(3, 510, 305);
    EXPECT_EQ(rect.centreX, 410);
    EXPECT_EQ(rect.centreY, 305);
    EXPECT_EQ(rect.HitTest(0, 0), -1);

    EllipsePath_t ellipse;
    ellipse.Load("1.0,400,300,200,100");
    EXPECT_EQ(ellipse.HitTest(302, 300), 0);
    ellipse.MoveHandle(0, 350, 300);
    EXPECT_EQ(ellipse.width, 100);

    PolylinePath_t poly;
    poly.Load("1.0;0;0,0,100,0,200,0,");
    EXPECT_EQ(poly.HitTest(3, 2), -2);  // the position handle sits on the start
    EXPECT_EQ(poly.HitTest(99, 5), 1);
    poly.MoveHandle(-2, 130, 10);
    EXPECT_EQ(poly.handleX, 130);
    EXPECT_EQ(poly.handleY, 0);
    EXPECT_NEAR(poly.startOffset, 130.0f, 0.01f);
    poly.MoveTo(0, true);
    EXPECT_EQ(poly.x, 130);
}

TEST(EmitterPathTest, DegeneratePathsStayWhereTheyAre) {
    PolylinePath_t same;
    same.Load("1.0;0;5,5,5,5,");
    same.MoveTo(0.5f, false);
    EXPECT_EQ(same.x, 5);
    EXPECT_EQ(same.y, 5);
    PolylinePath_t empty;
    empty.MoveTo(0.5f, false);
    EXPECT_EQ(empty.x, -1);
    RectPath_t flat;
    flat.Load("1.0,10,10,0,0");
    flat.MoveTo(std::nanf(""), false);
    EXPECT_EQ(flat.x, 10);
    SplinePath_t nothing;
    nothing.MoveTo(0.3f, false);
    EXPECT_EQ(nothing.x, 0);
}

}  // namespace
