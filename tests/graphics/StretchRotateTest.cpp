#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "graphics/DrawMode.h"
#include "graphics/MemoryImage.h"
#include "graphics/RotatedRows.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;
using namespace Velm::test;

namespace {

// Per channel (c * k) >> 8 with alpha 255: a whole-pixel bilinear sample carries alpha weight
// 254 (k = 254); the filtered stretch writes with weight u = 255 (k = 255).
uint32_t Scaled(uint32_t p, uint32_t k) {
    return 0xFF000000u | ((((p >> 16) & 0xFF) * k >> 8) << 16) | ((((p >> 8) & 0xFF) * k >> 8) << 8) |
           ((p & 0xFF) * k >> 8);
}

}  // namespace

TEST(StretchRectsTest, ClippingRows) {
    struct Case {
        const char* why;
        Rect src, clip, dest;
        bool ok;
        double sx, sy, sw, sh;
        Rect clippedDest;
    };
    const Case cases[] = {
            {"no clipping", Rect(0, 0, 10, 10), Rect(0, 0, 100, 100), Rect(5, 5, 20, 20), true, 0, 0, 10, 10,
             Rect(5, 5, 20, 20)},
            {"clip inside a scaled pixel keeps the fraction", Rect(0, 0, 10, 10), Rect(6, 0, 100, 100),
             Rect(5, 5, 20, 20), true, 0.5, 0, 9.5, 10, Rect(6, 5, 19, 20)},
            {"clip at right and bottom", Rect(2, 2, 4, 4), Rect(0, 0, 10, 9), Rect(4, 5, 8, 8), true, 2, 2, 3, 2,
             Rect(4, 5, 6, 4)},
            {"wholly outside the clip", Rect(0, 0, 10, 10), Rect(0, 0, 5, 5), Rect(10, 10, 5, 5), false, 0, 0, 0, 0,
             Rect()},
            {"empty destination", Rect(0, 0, 10, 10), Rect(0, 0, 50, 50), Rect(1, 1, 0, 5), false, 0, 0, 0, 0, Rect()},
    };
    MemoryImage image(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DRect src;
        Rect dest;
        EXPECT_EQ(image.GetStretchRects(c.src, c.clip, c.dest, src, dest), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(dest, c.clippedDest);
        EXPECT_DOUBLE_EQ(src.x, c.sx);
        EXPECT_DOUBLE_EQ(src.y, c.sy);
        EXPECT_DOUBLE_EQ(src.width, c.sw);
        EXPECT_DOUBLE_EQ(src.height, c.sh);
    }
}

TEST(StretchRectsTest, MirroredClipTakesFromTheLeftOfTheSource) {
    MemoryImage image(nullptr);
    DRect src;
    Rect dest;
    // Destination 0..19 at scale 2; the clip removes its right 6 pixels, which show source
    // columns 0..2 once flipped.
    ASSERT_TRUE(image.GetStretchRectsMirrored(Rect(0, 0, 10, 10), Rect(0, 0, 14, 20), Rect(0, 0, 20, 20), src, dest));
    EXPECT_EQ(dest, Rect(0, 0, 14, 20));
    EXPECT_DOUBLE_EQ(src.x, 3);
    EXPECT_DOUBLE_EQ(src.width, 7);
}

TEST(StretchTest, FastStretchSamplesNearestColumns) {
    std::unique_ptr<MemoryImage> source(MakeImage(2, 1, {0xFF0000FF, 0xFF00FF00}));
    std::unique_ptr<MemoryImage> dest(MakeFilled(4, 1, 0));
    dest->StretchBlt(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 0, true);
    EXPECT_EQ(Pixels(*dest), (std::vector<uint32_t>{0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFF00FF00}));
    EXPECT_TRUE(source->drawn);

    std::unique_ptr<MemoryImage> tinted(MakeFilled(4, 1, 0));
    tinted->StretchBlt(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color(255, 0, 0), 0, true);
    EXPECT_EQ(Pixels(*tinted), std::vector<uint32_t>(4, 0));
}

TEST(StretchTest, SlowStretchAtScaleOneCopiesOpaquePixels) {
    Lcg rng(3);
    std::vector<uint32_t> pixels(5 * 4);
    for (uint32_t& p : pixels) p = rng.Next() | 0xFF000000;
    std::unique_ptr<MemoryImage> source(MakeImage(5, 4, pixels));
    std::unique_ptr<MemoryImage> dest(MakeFilled(5, 4, 0xFF000000));
    dest->StretchBlt(source.get(), Rect(0, 0, 5, 4), Rect(0, 0, 5, 4), Rect(0, 0, 5, 4), Color::White, 0, false);
    // The weights sum to 257 x 256, so each cell holds the source channel; it is then written
    // with weight 255.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Pixels(*dest)[i], Scaled(pixels[i], 255)) << i;
}

TEST(StretchTest, SlowStretchFilters) {
    // Shrinking a black-white pair to one pixel averages it.
    std::unique_ptr<MemoryImage> pair(MakeImage(2, 1, {0xFF000000, 0xFFFFFFFF}));
    std::unique_ptr<MemoryImage> one(MakeFilled(1, 1, 0xFF000000));
    one->StretchBlt(pair.get(), Rect(0, 0, 1, 1), Rect(0, 0, 2, 1), Rect(0, 0, 1, 1), Color::White, 0, false);
    EXPECT_NEAR(R(Pixel(*one, 0, 0)), 127, 1);
    EXPECT_EQ(A(Pixel(*one, 0, 0)), 255);
    // Enlarging it to three pixels interpolates: ends exact, middle between.
    std::unique_ptr<MemoryImage> three(MakeFilled(3, 1, 0xFF000000));
    three->StretchBlt(pair.get(), Rect(0, 0, 3, 1), Rect(0, 0, 2, 1), Rect(0, 0, 3, 1), Color::White, 0, false);
    EXPECT_EQ(R(Pixel(*three, 0, 0)), 0);
    EXPECT_NEAR(R(Pixel(*three, 1, 0)), 127, 1);
    EXPECT_EQ(R(Pixel(*three, 2, 0)), 254);
    // Colour and mode are not read by the filtered stretch.
    std::unique_ptr<MemoryImage> tinted(MakeFilled(3, 1, 0xFF000000));
    tinted->StretchBlt(pair.get(), Rect(0, 0, 3, 1), Rect(0, 0, 2, 1), Rect(0, 0, 3, 1), Color(0, 0, 0, 9), 1, false);
    EXPECT_EQ(Pixels(*tinted), Pixels(*three));
}

TEST(StretchTest, SlowStretchShrinkKeepsAUniformOpaqueSourceOpaque) {
    // Shrinking by ratios whose box weights do not divide the unit evenly once lost up to one
    // step per source pixel: 7 to 1 came out at alpha 247 and visibly darker. Every cell of a
    // uniform opaque source must come out as the scale-one result (alpha 255, weight 255).
    struct Case {
        const char* why;
        int srcW, srcH;
        Rect dest, clip;
    };
    const Case cases[] = {
            {"seven to one", 7, 7, Rect(0, 0, 1, 1), Rect(0, 0, 1, 1)},
            {"twelve to two", 12, 12, Rect(0, 0, 2, 2), Rect(0, 0, 2, 2)},
            {"uneven ratios", 29, 17, Rect(0, 0, 11, 6), Rect(0, 0, 11, 6)},
            {"shrink across, enlarge down", 13, 3, Rect(0, 0, 5, 8), Rect(0, 0, 5, 8)},
            {"clip inside a scaled pixel", 31, 23, Rect(-3, -2, 14, 9), Rect(0, 0, 9, 6)},
    };
    const uint32_t colour = 0xFF20C040;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> source(MakeImage(c.srcW, c.srcH, std::vector<uint32_t>(c.srcW * c.srcH, colour)));
        for (uint32_t under : {0x00000000u, 0xFF000000u}) {
            std::unique_ptr<MemoryImage> dest(MakeFilled(12, 10, under));
            dest->StretchBlt(source.get(), c.dest, Rect(0, 0, c.srcW, c.srcH), c.clip, Color::White, 0, false);
            const Rect drawn = c.dest.Intersection(c.clip);
            for (int y = drawn.y; y < drawn.y + drawn.height; ++y)
                for (int x = drawn.x; x < drawn.x + drawn.width; ++x)
                    EXPECT_EQ(Pixel(*dest, x, y), Scaled(colour, 255)) << x << "," << y << " over " << under;
        }
    }
}

TEST(StretchTest, StretchNeverWritesOutsideTheClip) {
    Lcg rng(11);
    std::vector<uint32_t> src(7 * 5);
    for (uint32_t& p : src) p = rng.Next();
    std::unique_ptr<MemoryImage> source(MakeImage(7, 5, src));
    const Rect clip(3, 2, 6, 5);
    for (bool fast : {true, false}) {
        for (const Rect& destRect : {Rect(-4, -3, 20, 17), Rect(4, 3, 3, 2), Rect(0, 0, 9, 9)}) {
            SCOPED_TRACE(fast);
            std::unique_ptr<MemoryImage> dest(MakeFilled(12, 10, 0x11223344));
            dest->StretchBlt(source.get(), destRect, Rect(0, 0, 7, 5), clip, Color::White, 0, fast);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x)
                    if (!clip.Contains(x, y)) {
                        EXPECT_EQ(Pixel(*dest, x, y), 0x11223344u) << x << "," << y;
                    }
            EXPECT_TRUE(GuardIntact(*dest));
        }
    }
}

TEST(RotateTest, BoundsRows) {
    struct Case {
        const char* why;
        float x, y;
        Rect src, clip;
        double angle;
        float cx, cy;
        bool ok;
        double bx, by, bw, bh;
    };
    const Case cases[] = {
            {"angle 0", 3, 4, Rect(0, 0, 10, 6), Rect(0, 0, 100, 100), 0, 0, 0, true, 3, 4, 10, 6},
            {"quarter turn about the centre", 0, 0, Rect(0, 0, 10, 6), Rect(-50, -50, 100, 100), M_PI / 2, 5, 3, true,
             2, -2, 6, 10},
            {"clipped", 3, 4, Rect(0, 0, 10, 6), Rect(0, 0, 8, 8), 0, 0, 0, true, 3, 4, 5, 4},
            {"outside the clip", 30, 4, Rect(0, 0, 10, 6), Rect(0, 0, 8, 8), 0, 0, 0, false, 0, 0, 0, 0},
    };
    MemoryImage image(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DRect box(-1, -1, -1, -1);
        float x = c.x, y = c.y;
        EXPECT_EQ(image.GetRotatedBounds(x, y, c.src, c.clip, c.angle, box, c.cx, c.cy), c.ok);
        if (!c.ok) {
            EXPECT_EQ(box.x, -1);  // untouched
            continue;
        }
        EXPECT_NEAR(box.x, c.bx, 1e-4);
        EXPECT_NEAR(box.y, c.by, 1e-4);
        EXPECT_NEAR(box.width, c.bw, 1e-4);
        EXPECT_NEAR(box.height, c.bh, 1e-4);
    }
}

TEST(RotateTest, AngleZeroAtWholePixelsDrawsInnerColumnsInPlace) {
    const int W = 5, H = 4;
    std::vector<uint32_t> pixels(W * H);
    for (int i = 0; i < W * H; ++i) pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x0A0B0C);
    std::unique_ptr<MemoryImage> source(MakeImage(W, H, pixels));
    std::unique_ptr<MemoryImage> dest(MakeFilled(10, 10, 0));
    dest->BltF(source.get(), 2, 3, Rect(0, 0, W, H), Rect(0, 0, 10, 10), Color::White, 0);
    EXPECT_TRUE(source->drawn);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const int sx = x - 2, sy = y - 3;
            const bool drawn = sx >= 1 && sx <= W - 2 && sy >= 0 && sy <= H - 2;
            if (drawn)
                EXPECT_EQ(Pixel(*dest, x, y), Scaled(pixels[sy * W + sx], 254)) << x << "," << y;
            else
                EXPECT_EQ(Pixel(*dest, x, y), 0u) << x << "," << y;
        }
    }
}

TEST(RotateTest, RowCutDividerTruncatesAsDivision) {
    // The rows' span cuts divide by the 16.16 steps through a reciprocal: every quotient must
    // be the built-in truncating one, at exact multiples, one either side, signs mixed, and the
    // widest numerators a cut meets.
    const int64_t divisors[] = {1, -1, 3, -7, 255, 65536, -65536, 65535, 46341, -23170, 1 << 17};
    std::mt19937_64 rng(3);
    for (int64_t d : divisors) {
        SCOPED_TRACE(d);
        const RotatedRows::Divider divide(d);
        std::vector<int64_t> numerators = {0, 1, -1, d, -d, (int64_t(1) << 34) - 1, -(int64_t(1) << 34)};
        for (int k = 0; k < 2000; ++k) {
            const int64_t n = static_cast<int64_t>(rng() % (uint64_t(1) << 35)) - (int64_t(1) << 34);
            const int64_t multiple = (n / d) * d;
            numerators.insert(numerators.end(), {n, multiple - 1, multiple, multiple + 1});
        }
        for (int64_t n : numerators) ASSERT_EQ(divide(n), n / d) << n;
    }
}

TEST(RotateTest, SourceUnderTwoPixelsDrawsNothing) {
    std::unique_ptr<MemoryImage> source(MakeFilled(1, 5, 0xFFFFFFFF));
    std::unique_ptr<MemoryImage> dest(MakeFilled(8, 8, 0));
    for (double angle : {0.0, 0.3, 1.0, 3.0}) {
        dest->BltRotated(source.get(), 2.5f, 1.25f, Rect(0, 0, 1, 5), Rect(0, 0, 8, 8), Color::White, 0, angle, 0, 2);
        dest->BltRotated(source.get(), 2.5f, 1.25f, Rect(0, 0, 1, 5), Rect(0, 0, 8, 8), Color::White, 1, angle, 0, 2);
    }
    EXPECT_EQ(Pixels(*dest), std::vector<uint32_t>(64, 0));
    EXPECT_TRUE(source->drawn);
}

TEST(RotateTest, FractionalBoxDrawsOneMoreRow) {
    std::unique_ptr<MemoryImage> source(MakeFilled(4, 4, 0xFFFFFFFF));
    std::unique_ptr<MemoryImage> dest(MakeFilled(8, 8, 0));
    // Box (1, 1.5, 4, 4): rows run while r < 4, starting at row 1, so rows 1..4 are visited.
    dest->BltF(source.get(), 1.0f, 1.5f, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0);
    int rowsTouched = 0;
    for (int y = 0; y < 8; ++y) {
        bool any = false;
        for (int x = 0; x < 8; ++x) any |= Pixel(*dest, x, y) != 0;
        rowsTouched += any;
    }
    EXPECT_EQ(rowsTouched, 3);  // the first visited row samples above the source and is cut
    EXPECT_EQ(Pixel(*dest, 0, 2), 0u);
}

TEST(RotateTest, BlendAndTintRows) {
    struct Case {
        const char* why;
        uint32_t src, dst;
        Color color;
        int mode;
        uint32_t expected;
    };
    // A uniform 3 x 3 source at angle 0 and whole pixels: every sample's weights sum to
    // 0xFFFF * alpha >> 16 at most, so an opaque source gives A = 254 (> 250: written opaque).
    const Case cases[] = {
            {"opaque source is written opaque", 0xFF204060, 0xFF000000, Color::White, 0, 0xFF1F3F5F},
            {"half source over transparent", 0x80FF0000, 0x00000000, Color::White, 0, 0x7EFD0000},
            {"tint of alpha 254 differs from white", 0xFF204060, 0xFF000000, Color(255, 255, 255, 254), 0, 0xFF1F3F5E},
            {"additive adds", 0xFF102030, 0x80101010, Color::White, 1, 0x801F2F3F},
            {"additive tinted", 0xFF804020, 0xFF000000, Color(128, 255, 255, 255), 1, 0xFF3F3F1F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> source(MakeFilled(3, 3, c.src));
        std::unique_ptr<MemoryImage> dest(MakeFilled(3, 3, c.dst));
        dest->BltF(source.get(), 0, 0, Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), c.color, c.mode);
        EXPECT_EQ(Pixel(*dest, 1, 0), c.expected);
        EXPECT_EQ(Pixel(*dest, 0, 0), c.dst);  // first column is cut
    }
}

// Many angles, centres and fractional positions: rotated blits never write outside the clip
// or past the buffer (the sanitizer build also checks the reads stay inside the source).
TEST(RotateTest, NeverWritesOutsideTheClip) {
    Lcg rng(5);
    std::vector<uint32_t> src(9 * 7);
    for (uint32_t& p : src) p = rng.Next() | 0x01000000;
    std::unique_ptr<MemoryImage> source(MakeImage(9, 7, src));
    const Rect clip(4, 3, 11, 9);
    for (int i = 0; i < 200; ++i) {
        const double angle = (static_cast<int>(rng.Next() % 2000) - 1000) / 100.0;
        const float x = (static_cast<int>(rng.Next() % 400) - 100) / 20.0f;
        const float y = (static_cast<int>(rng.Next() % 400) - 100) / 20.0f;
        const float cx = (rng.Next() % 90) / 10.0f, cy = (rng.Next() % 70) / 10.0f;
        const int mode = static_cast<int>(rng.Next() % 2);
        std::unique_ptr<MemoryImage> dest(MakeFilled(20, 16, 0x55555555));
        dest->BltRotated(source.get(), x, y, Rect(0, 0, 9, 7), clip, i % 3 ? Color::White : Color(10, 20, 30, 200),
                         mode, angle, cx, cy);
        for (int py = 0; py < 16; ++py)
            for (int px = 0; px < 20; ++px)
                if (!clip.Contains(px, py)) {
                    ASSERT_EQ(Pixel(*dest, px, py), 0x55555555u) << i;
                }
        ASSERT_TRUE(GuardIntact(*dest));
    }
}

TEST(RotateTest, SubRectangleReadsItsOwnRows) {
    // Source rows are 0x10 * row; the sub-rectangle starts at row 2 and column 1.
    std::vector<uint32_t> pixels(4 * 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x) pixels[y * 4 + x] = 0xFF000000u | static_cast<uint32_t>(0x10 * y + x);
    std::unique_ptr<MemoryImage> source(MakeImage(4, 5, pixels));
    std::unique_ptr<MemoryImage> dest(MakeFilled(4, 4, 0));
    dest->BltF(source.get(), 0, 0, Rect(1, 2, 3, 3), Rect(0, 0, 4, 4), Color::White, 0);
    EXPECT_EQ(Pixel(*dest, 1, 0), Scaled(pixels[2 * 4 + 2], 254));
    EXPECT_EQ(Pixel(*dest, 1, 1), Scaled(pixels[3 * 4 + 2], 254));
}
