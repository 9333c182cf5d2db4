#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/anim/LineMoveObj.h"
#include "engine/anim/SpriteSheet.h"
#include "engine/anim/TiledScrollAnim.h"
#include "engine/anim/Trajectories.h"
#include "engine/anim/TrajectoryMoveObj.h"
#include "graphics/Graphics.h"
#include "tests/engine/anim/AnimTestSupport.h"

namespace {

TEST(SplineCoefficientsTest, NaturalSplineThroughIntegerSamples) {
    struct Case {
        const char* why;
        std::vector<int> samples;
        std::vector<SplineCoef_t> expected;
    };
    const Case cases[] = {
            {"one segment is a straight line", {0, 10}, {{0, 10, 0, 0}}},
            {"up and down", {0, 10, 0}, {{0, 15, 0, -5}, {10, 0, -15, 5}}},
            {"constant", {7, 7, 7}, {{7, 0, 0, 0}, {7, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const std::vector<SplineCoef_t> got =
                ComputeSplineCoefficients(static_cast<int>(c.samples.size()) - 1, c.samples.data());
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(got[i].a, c.expected[i].a, 1e-5);
            EXPECT_NEAR(got[i].b, c.expected[i].b, 1e-5);
            EXPECT_NEAR(got[i].c, c.expected[i].c, 1e-5);
            EXPECT_NEAR(got[i].d, c.expected[i].d, 1e-5);
            // Each segment runs from its sample to the next.
            EXPECT_NEAR(got[i].At(1.0f), static_cast<float>(c.samples[i + 1]), 1e-4);
        }
    }
    const int single[] = {5};
    EXPECT_TRUE(ComputeSplineCoefficients(0, single).empty());
}

TEST(TrajectoriesTest, ArcBulgesSidewaysAndMeasuresItsSpline) {
    const std::unique_ptr<Trajectory_t> arc = Trajectories_t::MakeArc(0, 0, 100, 0, 30);
    ASSERT_EQ(arc->points.size(), 3u);
    const int expected[3][2] = {{0, 0}, {50, 30}, {100, 0}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(arc->points[i].x, expected[i][0]);
        EXPECT_EQ(arc->points[i].y, expected[i][1]);
        EXPECT_EQ(arc->points[i].scale, 1.0f);
    }
    EXPECT_TRUE(arc->name.empty());
    EXPECT_NEAR(arc->totalLength, arc->points[0].segmentLength + arc->points[1].segmentLength, 1e-3);
    EXPECT_GT(arc->totalLength, 2 * std::sqrt(50.0f * 50 + 30 * 30));  // longer than the chords
    EXPECT_LT(arc->totalLength, 160.0f);
    EXPECT_NEAR(arc->points[0].segmentLength, arc->points[1].segmentLength, 1e-2);  // symmetric

    Trajectory_t line;
    line.points.resize(2);
    line.points[1].x = 100;
    Trajectories_t::ComputeLengths(line);
    EXPECT_NEAR(line.totalLength, 100.0f, 1e-2);
}

struct CountingListener : LineMoveObjListener {
    void OnLineMoveDone(LineMoveObj* mover) override {
        ++calls;
        last = mover;
    }
    int calls = 0;
    LineMoveObj* last = nullptr;
};

TEST(LineMoveObjTest, ArrivesOnTheFiftiethTickAndStandsOnTheEnd) {
    CountingListener listener;
    LineMoveObj mover(0, 0, 100, 0, 2.0f, &listener);
    mover.Advance(1);
    EXPECT_EQ(mover.currentX, 0);  // nothing moves before Start
    mover.Start();
    for (int i = 1; i < 50; ++i) {
        mover.Advance(1);
        ASSERT_FALSE(mover.HasArrived()) << i;
    }
    EXPECT_FLOAT_EQ(mover.x, 98);
    mover.Advance(1);
    EXPECT_TRUE(mover.HasArrived());
    EXPECT_FALSE(mover.IsMoving());
    EXPECT_TRUE(mover.done);
    EXPECT_EQ(mover.x, 100);
    EXPECT_EQ(mover.y, 0);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(listener.last, &mover);
    mover.Advance(1);
    EXPECT_EQ(listener.calls, 1);
}

TEST(LineMoveObjTest, StartEqualToEndArrivesOnTheFirstCall) {
    LineMoveObj mover(40, 40, 40, 40, 5.0f, nullptr);
    mover.Start();
    mover.Advance(0.5f);
    EXPECT_TRUE(mover.HasArrived());
    EXPECT_EQ(mover.x, 40);
}

class TrajectoryMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        path.points.resize(3);
        path.points[1].x = 100;
        path.points[1].y = 50;
        path.points[2].x = 200;
        Trajectories_t::ComputeLengths(path);
    }
    // Advances one tick at a time until arrival (bounded), then a few more.
    static void RunToEnd(TrajectoryMoveObj_t& mover) {
        for (int i = 0; i < 100000 && !mover.HasArrived(); ++i) mover.Advance(1);
        for (int i = 0; i < 5; ++i) mover.Advance(1);
    }
    Trajectory_t path;
};

TEST_F(TrajectoryMoveTest, WherePathsBeginAndEnd) {
    struct Case {
        const char* why;
        bool relative, anchorAtEnd, arcLength;
        float startX, startY, endX, endY, tolerance;
    };
    const Case cases[] = {
            {"as stored", false, false, false, 0, 0, 200, 0, 0.05f},
            {"relative, anchored at the start", true, false, false, 300, 200, 500, 200, 0.05f},
            {"relative, anchored at the end", true, true, false, 100, 200, 300, 200, 0.05f},
            {"anchored at the end, arc-length stepping", true, true, true, 100, 200, 300, 200, 0.05f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrajectoryMoveObj_t mover(300, 200, 100.0f, &path, c.relative, Velm::Color(), c.anchorAtEnd, c.arcLength);
        mover.Start();
        EXPECT_EQ(mover.x, 0);  // Start puts the sprite on the stored first point
        mover.Advance(0.01f);
        EXPECT_NEAR(mover.x, c.startX, 1.0f);
        EXPECT_NEAR(mover.y, c.startY, 1.0f);
        RunToEnd(mover);
        EXPECT_TRUE(mover.HasArrived());
        EXPECT_FALSE(mover.IsDone());
        EXPECT_NEAR(mover.x, c.endX, c.tolerance);
        EXPECT_NEAR(mover.y, c.endY, c.tolerance);
    }
}

TEST_F(TrajectoryMoveTest, MovesOnlyInAdvanceAndTurnsAlongThePath) {
    TrajectoryMoveObj_t mover(0, 0, 100.0f, &path, false, Velm::Color(), false, false);
    mover.keepUpright = false;
    mover.Start();
    mover.Advance(50);
    const float x = mover.x, y = mover.y;
    EXPECT_GT(x, 0);
    mover.Update();  // the frame animation: no movement
    EXPECT_EQ(mover.x, x);
    EXPECT_EQ(mover.y, y);
    EXPECT_TRUE(std::isfinite(mover.angle));
    EXPECT_NE(mover.angle, 0);
}

TEST_F(TrajectoryMoveTest, PathsTooShortToFollowStayPut) {
    Trajectory_t onePoint;
    onePoint.points.resize(1);
    onePoint.points[0].x = 7;
    TrajectoryMoveObj_t single(0, 0, 10.0f, &onePoint, true, Velm::Color(), true, false);
    single.Start();
    for (int i = 0; i < 10; ++i) single.Advance(1);
    EXPECT_EQ(single.x, 7);
    TrajectoryMoveObj_t none(0, 0, 10.0f, nullptr, false, Velm::Color(), false, true);
    none.Start();
    none.Advance(1);
    none.Update();
    EXPECT_EQ(none.x, 0);
}

TEST(TiledScrollAnimTest, OffsetWrapsAfterOneTile) {
    TiledScrollAnim_t scroll;
    scroll.tileWidth = 64;
    scroll.tileHeight = 64;
    scroll.speedX = 1;
    for (int i = 0; i < 63; ++i) scroll.Advance(1);
    EXPECT_FLOAT_EQ(scroll.scrollX, 63);
    scroll.Advance(1);
    EXPECT_EQ(scroll.scrollX, 0);
}

TEST(TiledScrollAnimTest, TilesCoverTheAreaAndANullTileDrawsNothing) {
    std::unique_ptr<Velm::MemoryImage> image(animtest::MakeImage(32, 32));
    SpriteSheet_t sheet;
    sheet.image = image.get();
    sheet.currentRect = Velm::Rect(0, 0, 32, 32);
    TiledScrollAnim_t scroll;
    scroll.SetSprite(&sheet);
    EXPECT_EQ(scroll.tileWidth, 32);
    scroll.areaWidth = 100;
    scroll.areaHeight = 50;
    scroll.speedX = 10;
    scroll.Start();
    struct Case {
        float advance;
        size_t blits;
    };
    // 4 columns x 2 rows with no offset; an offset of 10 starts a column at -22: still 4.
    const Case cases[] = {{0, 8}, {1, 8}};
    for (const Case& c : cases) {
        scroll.Advance(c.advance);
        animtest::RecordingImage dest;
        Velm::Graphics g(&dest);
        scroll.Draw(&g);
        EXPECT_EQ(dest.blits.size(), c.blits);
    }
    // A fractional offset: the first column starts left of the area, and every tile starts
    // where its neighbour ends, on whole pixels, so that their edges neither overlap nor
    // leave a gap.
    scroll.Advance(0.55f);
    animtest::RecordingImage dest;
    Velm::Graphics g(&dest);
    scroll.Draw(&g);
    ASSERT_EQ(dest.blits.size(), 8u);
    EXPECT_LT(dest.blits[0].src.width, 32) << "the first column is cut at the area's left edge";
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(dest.blits[i].x, dest.blits[i - 1].x + dest.blits[i - 1].src.width) << i;
    TiledScrollAnim_t empty;  // no sheet: no tile size
    empty.areaWidth = 100;
    empty.areaHeight = 100;
    empty.Start();
    animtest::RecordingImage none;
    Velm::Graphics noneGraphics(&none);
    empty.Draw(&noneGraphics);
    EXPECT_TRUE(none.blits.empty());
}

}  // namespace
