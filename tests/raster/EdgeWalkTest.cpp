// Coverage of the edge walk that every span filler runs: the top-left rule,
// degenerate triangles, shared edges and the clamp of spans to the clip box.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "raster/EdgeWalk.h"
#include "raster/FixedPoint.h"
#include "tests/raster/RasterTestUtil.h"

namespace {

using Velm::RasterClip;
using Velm::Raster::WalkTriangle;
using Velm::Raster::WalkVertex;

constexpr int kSize = 40;

// Counts the visits of each pixel of a kSize x kSize grid of 32-bit cells.
struct Grid {
    std::vector<uint32_t> cells = std::vector<uint32_t>(kSize * kSize, 0);

    void Walk(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
              RasterClip clip = RasterClip{0, 0, kSize, kSize}) {
        const WalkVertex<0> a{x0, y0, {0}};
        const WalkVertex<0> b{x1, y1, {0}};
        const WalkVertex<0> c{x2, y2, {0}};
        WalkTriangle<uint32_t, 0, false>(a, b, c, cells.data(), kSize * 4, clip,
                                         [](uint32_t* pixel, const int32_t*) { ++*pixel; });
    }
    uint32_t At(int x, int y) const { return cells[static_cast<size_t>(y * kSize + x)]; }
    int Total() const {
        int total = 0;
        for (uint32_t c : cells) total += static_cast<int>(c);
        return total;
    }
};

int32_t Fx(double v) { return RasterTest::Fx(v); }

TEST(RasterEdgeWalk, FixedPointHelpers) {
    EXPECT_EQ(Velm::Raster::Ceil(Fx(2.0)), 2);
    EXPECT_EQ(Velm::Raster::Ceil(Fx(2.0) + 1), 3);
    EXPECT_EQ(Velm::Raster::Ceil(Fx(-1.5)), -1);
    EXPECT_EQ(Velm::Raster::Ceil16(Fx(-1.5)), Fx(-1.0));
    // 1/3 in 16.16 floors toward minus infinity for both signs.
    EXPECT_EQ(Velm::Raster::HighMul(Fx(1), Velm::Raster::Recip(Fx(3))), 21845);
    EXPECT_EQ(Velm::Raster::HighMul(-Fx(1), Velm::Raster::Recip(Fx(3))), -21846);
    EXPECT_EQ(Velm::Raster::FxMul(Fx(1.5), Fx(-2.0)), Fx(-3.0));
}

struct Span {
    int line, first, last;
};
struct CoverageCase {
    const char* why;
    double x0, y0, x1, y1, x2, y2;
    std::vector<Span> spans;  // every drawn pixel; nothing else
};

// clang-format off
const CoverageCase kCoverage[] = {
        {"top and left inclusive, bottom and right exclusive", 2, 10, 8, 10, 5, 12, {{10, 2, 7}, {11, 4, 6}}},
        {"same triangle in another vertex order", 5, 12, 8, 10, 2, 10, {{10, 2, 7}, {11, 4, 6}}},
        {"flat bottom: the apex line is empty", 4, 0, 0, 2, 8, 2, {{1, 2, 5}}},
        {"flat top", 0, 0, 8, 0, 4, 2, {{0, 0, 7}, {1, 2, 5}}},
        {"no scan line inside", 0, 10.25, 8, 10.5, 3, 10.75, {}},
        {"vertical line", 0, 0, 0, 5, 0, 9, {}},
        {"two equal vertices", 3, 3, 3, 3, 7, 9, {}},
        {"collinear slanted", 1, 1, 4, 4, 9, 9, {}},
        {"fractional vertices sample at integer points", 2.5, 0.5, 6.25, 0.5, 2.5, 3.5, {{1, 3, 5}, {2, 3, 4}, {3, 3, 3}}},
};
// clang-format on

TEST(RasterEdgeWalk, CoverageFollowsSamplePoints) {
    for (const CoverageCase& c : kCoverage) {
        SCOPED_TRACE(c.why);
        Grid grid;
        grid.Walk(Fx(c.x0), Fx(c.y0), Fx(c.x1), Fx(c.y1), Fx(c.x2), Fx(c.y2));
        int expectedTotal = 0;
        for (const Span& s : c.spans) {
            for (int x = s.first; x <= s.last; ++x) EXPECT_EQ(grid.At(x, s.line), 1u) << x << "," << s.line;
            expectedTotal += s.last - s.first + 1;
        }
        EXPECT_EQ(grid.Total(), expectedTotal);
    }
}

// Deterministic pseudo-random numbers for the invariant sweeps.
struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

// Exact coverage of a triangle with integer vertices under the sampling rule:
// line j in [top.y, bottom.y), pixel i with left x <= i < right x.
std::vector<uint32_t> ReferenceCoverage(int x0, int y0, int x1, int y1, int x2, int y2) {
    struct P {
        int64_t x, y;
    };
    P v[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
    if (v[0].y > v[1].y) std::swap(v[0], v[1]);
    if (v[1].y > v[2].y) std::swap(v[1], v[2]);
    if (v[0].y > v[1].y) std::swap(v[0], v[1]);
    std::vector<uint32_t> cells(kSize * kSize, 0);
    const P top = v[0], mid = v[1], bottom = v[2];
    if (top.y == bottom.y) return cells;
    // Sign of (long edge x at mid.y) - mid.x, times the long edge's dy.
    const int64_t side = (top.x - mid.x) * (bottom.y - top.y) + (bottom.x - top.x) * (mid.y - top.y);
    if (side == 0) return cells;
    const bool longIsLeft = side < 0;
    for (int64_t j = top.y; j < bottom.y; ++j) {
        const P a = j < mid.y ? top : mid;
        const P b = j < mid.y ? mid : bottom;
        for (int64_t i = 0; i < kSize; ++i) {
            // i - x on an edge, scaled by the edge's dy (positive).
            const int64_t longDy = bottom.y - top.y;
            const int64_t iLong = i * longDy - (top.x * longDy + (bottom.x - top.x) * (j - top.y));
            const int64_t shortDy = b.y - a.y;
            const int64_t iShort = i * shortDy - (a.x * shortDy + (b.x - a.x) * (j - a.y));
            const bool inside = longIsLeft ? (iLong >= 0 && iShort < 0) : (iShort >= 0 && iLong < 0);
            if (inside) cells[static_cast<size_t>(j * kSize + i)] = 1;
        }
    }
    return cells;
}

TEST(RasterEdgeWalk, IntegerVerticesFollowTheTopLeftRule) {
    Lcg rng{12345};
    for (int n = 0; n < 2000; ++n) {
        const int x0 = rng.Below(kSize), y0 = rng.Below(kSize), x1 = rng.Below(kSize), y1 = rng.Below(kSize),
                  x2 = rng.Below(kSize), y2 = rng.Below(kSize);
        SCOPED_TRACE(std::to_string(x0) + "," + std::to_string(y0) + " " + std::to_string(x1) + "," +
                     std::to_string(y1) + " " + std::to_string(x2) + "," + std::to_string(y2));
        Grid grid;
        grid.Walk(Fx(x0), Fx(y0), Fx(x1), Fx(y1), Fx(x2), Fx(y2));
        ASSERT_EQ(grid.cells, ReferenceCoverage(x0, y0, x1, y1, x2, y2));
    }
}

TEST(RasterEdgeWalk, BothTriangulationsOfAConvexQuadCoverEachPixelOnce) {
    Lcg rng{777};
    int tested = 0;
    for (int n = 0; n < 1000; ++n) {
        // Corners of a jittered box, in 1/256 pixel steps, clockwise.
        auto jitter = [&]() { return rng.Below(6 * 256) - 3 * 256; };
        const int32_t left = (4 + rng.Below(8)) * 256, right = (24 + rng.Below(10)) * 256;
        const int32_t top = (4 + rng.Below(8)) * 256, bottom = (24 + rng.Below(10)) * 256;
        int32_t q[4][2] = {{left + jitter(), top + jitter()},
                           {right + jitter(), top + jitter()},
                           {right + jitter(), bottom + jitter()},
                           {left + jitter(), bottom + jitter()}};
        for (auto& p : q) {
            p[0] <<= 8;
            p[1] <<= 8;
        }
        Grid first, second;
        first.Walk(q[0][0], q[0][1], q[1][0], q[1][1], q[2][0], q[2][1]);
        first.Walk(q[0][0], q[0][1], q[2][0], q[2][1], q[3][0], q[3][1]);
        second.Walk(q[0][0], q[0][1], q[1][0], q[1][1], q[3][0], q[3][1]);
        second.Walk(q[1][0], q[1][1], q[2][0], q[2][1], q[3][0], q[3][1]);
        EXPECT_LE(*std::max_element(first.cells.begin(), first.cells.end()), 1u);
        EXPECT_LE(*std::max_element(second.cells.begin(), second.cells.end()), 1u);
        ASSERT_EQ(first.cells, second.cells) << "quad " << n;
        ++tested;
    }
    EXPECT_EQ(tested, 1000);
}

TEST(RasterEdgeWalk, SliversWithWrappingSlopesStayInsideTheClip) {
    const RasterClip clip{5, 5, 30, 30};
    Lcg rng{99};
    for (int n = 0; n < 500; ++n) {
        // A few pixels apart horizontally, a tiny fraction of a pixel apart
        // vertically, straddling a scan line: short-edge slopes wrap.
        const int32_t line = (6 + rng.Below(20)) << 16;
        const int32_t x0 = rng.Below(kSize) << 16, x1 = (rng.Below(kSize * 40) - kSize * 20) * 65536;
        const int32_t x2 = (rng.Below(kSize) << 16) + rng.Below(1 << 16);
        Grid grid;
        grid.Walk(x0, line - 1 - rng.Below(3), x1, line + rng.Below(3), x2, line + 1 + rng.Below(3), clip);
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
                    ASSERT_EQ(grid.At(x, y), 0u) << x << "," << y;
                }
            }
        }
    }
}

TEST(RasterEdgeWalk, PositionsAtTheFixedPointLimitDrawNothing) {
    // The bottom's line number wraps past the top's: no line lies between.
    Grid grid;
    grid.Walk(0, 0x7fff0000, 5 * 65536, 0x7fff0000, 0, 0x7fff0001);
    EXPECT_EQ(grid.Total(), 0);
}

TEST(RasterEdgeWalk, ClampedSpansKeepTheirInterpolation) {
    // u = x across the triangle; a span cut by the clip starts with the value
    // of its first visible pixel.
    const WalkVertex<1> a{Fx(0), Fx(0), {Fx(0)}};
    const WalkVertex<1> b{Fx(16), Fx(0), {Fx(16)}};
    const WalkVertex<1> c{Fx(0), Fx(16), {Fx(0)}};
    std::vector<uint32_t> cells(kSize * kSize, 0xffffffffu);
    WalkTriangle<uint32_t, 1, false>(
            a, b, c, cells.data(), kSize * 4, RasterClip{3, 2, 10, 6},
            [](uint32_t* pixel, const int32_t* attr) { *pixel = static_cast<uint32_t>(attr[0]); });
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool inClip = x >= 3 && x < 10 && y >= 2 && y < 6;
            const uint32_t expected = inClip && x + y < 16 ? static_cast<uint32_t>(Fx(x)) : 0xffffffffu;
            EXPECT_EQ(cells[static_cast<size_t>(y * kSize + x)], expected) << x << "," << y;
        }
}

}  // namespace
