#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/Point.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;
using namespace Velm::test;

TEST(FillTest, FillRows) {
    struct Case {
        const char* why;
        uint32_t before;
        Color color;
        int mode;
        uint32_t after;
    };
    const Case cases[] = {
            {"half red over transparent", 0x00000000, Color(255, 0, 0, 128), DRAWMODE_NORMAL, 0x80FE0000},
            {"half red over opaque black", 0xFF000000, Color(255, 0, 0, 128), DRAWMODE_NORMAL, 0xFF7F0000},
            {"opaque is stored", 0x12345678, Color(1, 2, 3, 255), DRAWMODE_NORMAL, 0xFF010203},
            {"alpha 0 changes nothing", 0x12345678, Color(255, 255, 255, 0), DRAWMODE_NORMAL, 0x12345678},
            {"additive fills are normal fills", 0xFF000000, Color(255, 0, 0, 128), DRAWMODE_ADDITIVE, 0xFF7F0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> image(MakeFilled(3, 3, c.before));
        image->FillRect(Rect(1, 1, 1, 1), c.color, c.mode);
        EXPECT_EQ(Pixel(*image, 1, 1), c.after);
        EXPECT_EQ(Pixel(*image, 0, 0), c.before);
        EXPECT_EQ(Pixel(*image, 2, 2), c.before);
        EXPECT_TRUE(GuardIntact(*image));
    }
}

TEST(FillTest, RectOutsideTheImageIsCut) {
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 4, 0));
    image->FillRect(Rect(-2, 2, 10, 10), Color(9, 9, 9), 0);
    image->ClearRect(Rect(3, 3, 5, 5));
    EXPECT_EQ(Pixel(*image, 0, 2), 0xFF090909u);
    EXPECT_EQ(Pixel(*image, 3, 3), 0u);
    EXPECT_EQ(Pixel(*image, 0, 1), 0u);
    EXPECT_TRUE(GuardIntact(*image));
}

TEST(FillTest, DrawRectOutlinesWidthPlusOne) {
    std::unique_ptr<MemoryImage> image(MakeFilled(6, 6, 0));
    image->DrawRect(Rect(1, 1, 3, 3), Color(255, 255, 255), 0);
    int set = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool edge = (x >= 1 && x <= 4 && y >= 1 && y <= 4) && (x == 1 || x == 4 || y == 1 || y == 4);
            EXPECT_EQ(Pixel(*image, x, y) != 0, edge) << x << "," << y;
            set += Pixel(*image, x, y) != 0;
        }
    EXPECT_EQ(set, 12);
}

TEST(FillTest, FillSpansDrawsEachSpan) {
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 3, 0));
    const Span spans[] = {Span(0, 1, 2), Span(2, 0, 4)};
    image->FillSpans(spans, 2, Color(1, 1, 1), 0);
    EXPECT_EQ(Pixel(*image, 0, 0), 0u);
    EXPECT_EQ(Pixel(*image, 1, 0), 0xFF010101u);
    EXPECT_EQ(Pixel(*image, 2, 0), 0xFF010101u);
    EXPECT_EQ(Pixel(*image, 0, 1), 0u);
    EXPECT_EQ(Pixel(*image, 3, 2), 0xFF010101u);
}

TEST(LineTest, DiagonalNormalLineStores254) {
    std::unique_ptr<MemoryImage> image(MakeFilled(5, 5, 0));
    image->DrawLine(0, 0, 4, 4, Color::White, DRAWMODE_NORMAL);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Pixel(*image, i, i), 0xFFFEFEFEu) << i;
    EXPECT_EQ(Pixel(*image, 1, 0), 0u);
    EXPECT_TRUE(GuardIntact(*image));
}

TEST(LineTest, HorizontalLineIsAFill) {
    std::unique_ptr<MemoryImage> image(MakeFilled(5, 2, 0));
    image->DrawLine(3.7, 1, 0.2, 1, Color::White, DRAWMODE_NORMAL);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(*image, x, 1), 0xFFFFFFFFu) << x;
    EXPECT_EQ(Pixel(*image, 4, 1), 0u);
    // An additive horizontal line is drawn as a normal fill.
    std::unique_ptr<MemoryImage> additive(MakeFilled(3, 1, 0xFF100000));
    additive->DrawLine(0, 0, 2, 0, Color(100, 0, 0), DRAWMODE_ADDITIVE);
    EXPECT_EQ(Pixel(*additive, 1, 0), 0xFF640000u);
}

TEST(LineTest, DiagonalAdditiveLineSaturates) {
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 4, 0xFFC80000));
    image->DrawLine(0, 0, 3, 3, Color(100, 0, 0, 255), DRAWMODE_ADDITIVE);
    EXPECT_EQ(R(Pixel(*image, 2, 2)), 255);
    EXPECT_EQ(R(Pixel(*image, 2, 1)), 200);
}

TEST(LineTest, TranslucentLineBlends) {
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 4, 0xFF000000));
    image->DrawLine(0, 0, 3, 3, Color(200, 0, 0, 128), DRAWMODE_NORMAL);
    // ((((128*200+128)>>8)*255+127)>>8) + 0 = 100
    EXPECT_EQ(Pixel(*image, 1, 1), 0xFF640000u);
}

TEST(LineTest, ShallowLineCoversEveryColumnOnce) {
    std::unique_ptr<MemoryImage> image(MakeFilled(10, 5, 0));
    image->DrawLine(0, 0, 9, 3, Color::White, DRAWMODE_NORMAL);
    for (int x = 0; x < 10; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 5; ++y) inColumn += Pixel(*image, x, y) != 0;
        EXPECT_EQ(inColumn, 1) << x;
    }
    EXPECT_NE(Pixel(*image, 0, 0), 0u);
    EXPECT_NE(Pixel(*image, 9, 3), 0u);
}

TEST(LineTest, AntialiasedSidePixelNeverWrapsIntoThePreviousRow) {
    // A steep line going left that reaches column 0: its side pixel would be at x = -1, which is
    // the last pixel of the row above.
    std::unique_ptr<MemoryImage> image(MakeFilled(8, 8, 0));
    image->DrawLineAA(2.5, 0.5, 0.0, 7.0, Color::White, DRAWMODE_NORMAL);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(Pixel(*image, 7, y), 0u) << y;
    EXPECT_TRUE(GuardIntact(*image));
    EXPECT_NE(Pixel(*image, 0, 7), 0u);
}

TEST(LineTest, AntialiasedLineCoverage) {
    // Exact diagonal from whole pixels: the fraction stays 0, so every pixel gets full coverage
    // and the side pixels get none.
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 4, 0));
    image->DrawLineAA(0, 0, 3, 3, Color(255, 0, 0), DRAWMODE_NORMAL);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixel(*image, i, i), 0xFFFF0000u) << i;
    EXPECT_EQ(Pixel(*image, 1, 0), 0u);
    // A half step per row splits coverage between the pixel and its side pixel.
    std::unique_ptr<MemoryImage> steep(MakeFilled(4, 5, 0xFF000000));
    steep->DrawLineAA(0, 0, 2, 4, Color(255, 255, 255), DRAWMODE_NORMAL);
    // Row 1: f = 0x8000 -> pixel coverage 127, side pixel coverage 128.
    // Over opaque black with weight w = s: red = (255 * w) >> 8.
    EXPECT_EQ(R(Pixel(*steep, 0, 1)), 126);
    EXPECT_EQ(R(Pixel(*steep, 1, 1)), 127);
    // Additive antialiased lines have no memory-image form.
    std::unique_ptr<MemoryImage> additive(MakeFilled(4, 4, 0));
    additive->DrawLineAA(0, 0, 3, 2, Color::White, DRAWMODE_ADDITIVE);
    EXPECT_EQ(Pixels(*additive), std::vector<uint32_t>(16, 0));
}

TEST(CoverageTest, ZeroCoverageSkipsThePixel) {
    std::unique_ptr<MemoryImage> image(MakeFilled(3, 1, 0xFF000000));
    const uint8_t coverage[] = {255, 0, 255};
    const Span span(0, 0, 3);
    image->FillSpansWithCoverage(&span, 1, Color(0, 255, 0), 0, coverage, 0, 0, 3, 1);
    EXPECT_EQ(Pixel(*image, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(*image, 1, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(*image, 2, 0), 0xFF00FF00u);
}

TEST(CoverageTest, CoverageOriginAndPitch) {
    std::unique_ptr<MemoryImage> image(MakeFilled(4, 4, 0xFF000000));
    // Coverage map of 2 x 2 placed at (2, 1) with a pitch of 3 (one padding byte per row).
    const uint8_t coverage[] = {255, 127, 9, 0, 255, 9};
    const Span spans[] = {Span(1, 2, 2), Span(2, 2, 2), Span(3, 2, 2)};  // the last row has no coverage
    image->FillSpansWithCoverage(spans, 3, Color(255, 255, 255), 0, coverage, 2, 1, 3, 2);
    EXPECT_EQ(Pixel(*image, 2, 1), 0xFFFFFFFFu);
    EXPECT_EQ(R(Pixel(*image, 3, 1)), 126);  // s = (255*128)>>8 = 127, red = (255*127)>>8
    EXPECT_EQ(Pixel(*image, 2, 2), 0xFF000000u);
    EXPECT_EQ(Pixel(*image, 3, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*image, 2, 3), 0xFF000000u);
    EXPECT_TRUE(GuardIntact(*image));
}

TEST(BlitTest, RunLengthPathCopiesSkipsAndBlends) {
    const std::vector<uint32_t> row = {0xFF112233, 0xFF445566, 0xFF778899, 0x00FFFFFF, 0x00FFFFFF, 0x80FF0000};
    std::unique_ptr<MemoryImage> source(MakeImage(6, 1, row));
    std::unique_ptr<MemoryImage> dest(MakeFilled(6, 1, 0xFF000080));
    dest->Blt(source.get(), 0, 0, Rect(0, 0, 6, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_TRUE(source->drawn);
    EXPECT_EQ(Pixel(*dest, 0, 0), 0xFF112233u);
    EXPECT_EQ(Pixel(*dest, 2, 0), 0xFF778899u);
    EXPECT_EQ(Pixel(*dest, 3, 0), 0xFF000080u);
    EXPECT_EQ(Pixel(*dest, 4, 0), 0xFF000080u);
    // ((0x80 * 128) >> 8) + ((0 * 128) >> 8) = 64 blue; red (255*128)>>8 = 127.
    EXPECT_EQ(Pixel(*dest, 5, 0), 0xFF7F0040u);
    EXPECT_TRUE(GuardIntact(*dest));
}

namespace {

// One source pixel blitted onto one destination pixel.
struct OnePixelBlit {
    const char* why;
    uint32_t dst, src;
    Color color;
    uint32_t expected;
};

template <size_t N>
void ExpectOnePixelBlits(const OnePixelBlit (&cases)[N], int drawMode) {
    for (const OnePixelBlit& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<MemoryImage> source(MakeImage(1, 1, {c.src}));
        std::unique_ptr<MemoryImage> dest(MakeImage(1, 1, {c.dst}));
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 1, 1), c.color, drawMode);
        EXPECT_EQ(Pixel(*dest, 0, 0), c.expected);
    }
}

}  // namespace

TEST(BlitTest, BlendPathForTranslucentDestinationOrTint) {
    const OnePixelBlit cases[] = {
            {"opaque source onto transparent destination", 0x00000000, 0xFF102030, Color::White, 0xFF102030},
            {"half source onto transparent destination", 0x00000000, 0x80FF0000, Color::White, 0x80FE0000},
            {"tint halves red", 0xFF000000, 0xFFFF0000, Color(128, 255, 255, 255), 0xFF7F0000},
            {"tint alpha halves the source", 0xFF000000, 0xFFFF0000, Color(255, 255, 255, 128), 0xFF7F0000},
            {"transparent source pixel skipped", 0x80000000, 0x00FFFFFF, Color::White, 0x80000000},
    };
    ExpectOnePixelBlits(cases, DRAWMODE_NORMAL);
}

TEST(BlitTest, AdditiveRows) {
    const OnePixelBlit cases[] = {
            {"opaque source adds its channels", 0x80C80A00, 0xFF640A01, Color::White, 0x80FF1401},
            {"tint scales the addition", 0xFF000000, 0xFFFF0000, Color(128, 255, 255, 255), 0xFF7F0000},
            {"half alpha in a source with alpha", 0xFF000000, 0x80FF0000, Color::White, 0xFF7F0000},
    };
    ExpectOnePixelBlits(cases, DRAWMODE_ADDITIVE);
}

TEST(BlitTest, PalettisedSourceDrawsLikeItsPixels) {
    const std::vector<uint32_t> pixels = {0xFF112233, 0x00000000, 0x80FF0000, 0xFF112233};
    std::unique_ptr<MemoryImage> plain(MakeImage(2, 2, pixels));
    std::unique_ptr<MemoryImage> indexed(MakeImage(2, 2, pixels));
    ASSERT_TRUE(indexed->Palletize());
    for (int mode : {DRAWMODE_NORMAL, DRAWMODE_ADDITIVE}) {
        SCOPED_TRACE(mode);
        std::unique_ptr<MemoryImage> a(MakeFilled(3, 3, 0xFF203040));
        std::unique_ptr<MemoryImage> b(MakeFilled(3, 3, 0xFF203040));
        a->Blt(plain.get(), 1, 1, Rect(0, 0, 2, 2), Color::White, mode);
        b->Blt(indexed.get(), 1, 1, Rect(0, 0, 2, 2), Color::White, mode);
        EXPECT_EQ(Pixels(*a), Pixels(*b));
    }
    EXPECT_NE(indexed->colorIndices, nullptr);  // read through the palette, not converted
}

TEST(BlitTest, NonMemorySourceAndUnknownModeDrawNothing) {
    Image notMemory;
    notMemory.width = notMemory.height = 2;
    std::unique_ptr<MemoryImage> source(MakeFilled(2, 2, 0xFFFFFFFF));
    std::unique_ptr<MemoryImage> dest(MakeFilled(2, 2, 0xFF000000));
    dest->Blt(&notMemory, 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
    dest->Blt(source.get(), 0, 0, Rect(0, 0, 2, 2), Color::White, 7);
    EXPECT_EQ(Pixels(*dest), std::vector<uint32_t>(4, 0xFF000000));
    EXPECT_TRUE(source->drawn);
}

// Invariant: drawing a fully transparent source, whatever its colour channels, changes nothing,
// through every blit and mode.
TEST(InvariantTest, TransparentSourceChangesNothing) {
    Lcg rng(7);
    std::vector<uint32_t> clearPixels(8 * 8), destPixels(12 * 12);
    for (uint32_t& p : clearPixels) p = rng.Next() & 0x00FFFFFF;
    for (uint32_t& p : destPixels) p = rng.Next();
    std::unique_ptr<MemoryImage> source(MakeImage(8, 8, clearPixels));
    struct Op {
        const char* why;
        std::function<void(MemoryImage&)> draw;
    };
    const Rect all(0, 0, 8, 8), clip(0, 0, 12, 12);
    const Op ops[] = {
            {"blit normal", [&](MemoryImage& d) { d.Blt(source.get(), 2, 2, all, Color::White, 0); }},
            {"blit tinted", [&](MemoryImage& d) { d.Blt(source.get(), 2, 2, all, Color(10, 200, 30, 90), 0); }},
            {"blit additive", [&](MemoryImage& d) { d.Blt(source.get(), 2, 2, all, Color::White, 1); }},
            {"blit additive tinted", [&](MemoryImage& d) { d.Blt(source.get(), 2, 2, all, Color(9, 8, 7, 200), 1); }},
            {"rotated",
             [&](MemoryImage& d) { d.BltRotated(source.get(), 2.3f, 1.7f, all, clip, Color::White, 0, 0.7, 4, 4); }},
            {"rotated additive",
             [&](MemoryImage& d) { d.BltRotated(source.get(), 2, 2, all, clip, Color::White, 1, 2.0, 4, 4); }},
            {"sub-pixel",
             [&](MemoryImage& d) { d.BltF(source.get(), 1.5f, 2.25f, all, clip, Color(1, 2, 3, 200), 0); }},
            {"fast stretch",
             [&](MemoryImage& d) { d.StretchBlt(source.get(), Rect(0, 0, 12, 11), all, clip, Color::White, 0, true); }},
            {"slow stretch up",
             [&](MemoryImage& d) {
                 d.StretchBlt(source.get(), Rect(0, 0, 12, 11), all, clip, Color::White, 0, false);
             }},
            {"slow stretch down",
             [&](MemoryImage& d) { d.StretchBlt(source.get(), Rect(1, 1, 5, 3), all, clip, Color::White, 0, false); }},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.why);
        for (bool opaqueDest : {false, true}) {
            std::vector<uint32_t> pixels = destPixels;
            if (opaqueDest)
                for (uint32_t& p : pixels) p |= 0xFF000000;
            std::unique_ptr<MemoryImage> dest(MakeImage(12, 12, pixels));
            op.draw(*dest);
            EXPECT_EQ(Pixels(*dest), pixels);
            EXPECT_TRUE(GuardIntact(*dest));
        }
    }
}

TEST(BlitTest, OutOfRangeBlitIsCutToBothImages) {
    std::unique_ptr<MemoryImage> source(MakeFilled(4, 4, 0xFFFFFFFF));
    std::unique_ptr<MemoryImage> dest(MakeFilled(4, 4, 0xFF000000));
    dest->Blt(source.get(), 2, 2, Rect(1, 1, 6, 6), Color::White, 0);
    dest->Blt(source.get(), -3, 0, Rect(0, 0, 4, 1), Color::White, 1);
    EXPECT_EQ(Pixel(*dest, 3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*dest, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*dest, 1, 0), 0xFF000000u);
    EXPECT_TRUE(GuardIntact(*dest));
    // Rectangles ending beyond the largest int are cut, not wrapped to a negative width.
    std::unique_ptr<MemoryImage> untouched(MakeFilled(4, 4, 0xFF000000));
    untouched->Blt(source.get(), 0, 0, Rect(1, 0, INT_MAX, 1), Color::White, 0);
    untouched->Blt(source.get(), 1, 0, Rect(0, 1, 1, INT_MAX), Color::White, 0);
    EXPECT_EQ(Pixel(*untouched, 2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*untouched, 3, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(*untouched, 1, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(*untouched, 1, 3), 0xFF000000u);
    EXPECT_TRUE(GuardIntact(*untouched));
}

// Invariant: whatever is drawn through a drawing context, nothing outside its clip changes and
// the guard word after the pixels survives. Antialiased lines are left out of the clip check:
// their fringe pixel may lie one pixel beside the clipped line.
TEST(InvariantTest, NoWriteOutsideTheClipAndTheGuardSurvives) {
    Lcg rng(99);
    std::vector<uint32_t> sourcePixels(13 * 9);
    for (uint32_t& p : sourcePixels) p = rng.Next();
    std::unique_ptr<MemoryImage> source(MakeImage(13, 9, sourcePixels));
    std::unique_ptr<MemoryImage> indexed(MakeImage(13, 9, std::vector<uint32_t>(13 * 9, 0x80FF8000)));
    ASSERT_TRUE(indexed->Palletize());
    auto coord = [&](int range) { return static_cast<int>(rng.Next() % (2 * range)) - range / 2; };
    for (int i = 0; i < 400; ++i) {
        std::vector<uint32_t> start(37 * 23);
        for (uint32_t& p : start) p = rng.Next();
        std::unique_ptr<MemoryImage> dest(MakeImage(37, 23, start));
        Graphics g(dest.get());
        g.Translate(coord(10), coord(10));
        g.transX += (rng.Next() % 100) / 100.0f;
        g.SetClipRect(coord(30), coord(20), static_cast<int>(rng.Next() % 40), static_cast<int>(rng.Next() % 30));
        const Rect clip = g.clip;
        g.SetColor(Color(rng.Next() & 0xFF, rng.Next() & 0xFF, rng.Next() & 0xFF,
                         rng.Next() % 3 ? 255 : rng.Next() & 0xFF));
        g.SetDrawMode(static_cast<int>(rng.Next() % 2));
        g.SetTintImages(rng.Next() % 2 == 0);
        g.SetFastStretch(rng.Next() % 2 == 0);
        MemoryImage* src = rng.Next() % 4 ? source.get() : indexed.get();
        const int op = static_cast<int>(rng.Next() % 11);
        SCOPED_TRACE(testing::Message() << "case " << i << " op " << op);
        switch (op) {
            case 0: g.FillRect(coord(40), coord(30), coord(40), coord(30)); break;
            case 1: g.DrawRect(coord(40), coord(30), coord(40), coord(30)); break;
            case 2: g.ClearRect(coord(40), coord(30), coord(40), coord(30)); break;
            case 3: g.DrawLine(coord(60), coord(40), coord(60), coord(40)); break;
            case 4: g.DrawLineAA(coord(60), coord(40), coord(60), coord(40)); break;
            case 5: g.DrawImage(src, coord(40), coord(30)); break;
            case 6: g.DrawImageF(src, coord(40) + 0.37f, coord(30) + 0.61f); break;
            case 7: g.DrawImageRotatedF(src, coord(40) + 0.5f, coord(30), (rng.Next() % 628) / 100.0, 6.5f, 4); break;
            case 8: g.DrawImage(src, coord(40), coord(30), coord(60), coord(40)); break;
            case 9: g.DrawImageBox(Rect(coord(40), coord(30), coord(60), coord(40)), src); break;
            case 10: g.DrawImage(src, Rect(coord(40), coord(30), coord(60), coord(40)), Rect(1, 2, 7, 5)); break;
        }
        ASSERT_TRUE(GuardIntact(*dest));
        if (op == 4) continue;
        const std::vector<uint32_t> after = Pixels(*dest);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x)
                if (!clip.Contains(x, y)) {
                    ASSERT_EQ(after[y * 37 + x], start[y * 37 + x]) << x << "," << y;
                }
    }
}
