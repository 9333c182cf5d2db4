// Blits onto surface images: straight, mirrored, additive and tinted blits, rotated and
// stretched blits, in every surface format on padded rows with canaries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/graphics/DisplayFixture.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

using test::AllFormats;
using test::DisplayRig;
using test::ForEachFormat;
using test::SurfaceFormat;
using test::SurfaceValue;
using test::SurfaceValues;

// Pixels of every alpha class: transparent, opaque and translucent, in runs of varied length.
std::vector<uint32_t> Mixed(int w, int h, uint32_t seed) {
    test::Lcg rng(seed);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    uint32_t alpha = 255;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (rng.Next() % 4 == 0) {
            const uint32_t pick = rng.Next() % 3;
            alpha = pick == 0 ? 0 : (pick == 1 ? 255 : 1 + rng.Next() % 254);
        }
        pixels[i] = (alpha << 24) | (rng.Next() & 0xFFFFFF);
    }
    return pixels;
}

std::vector<uint32_t> FlippedRows(const std::vector<uint32_t>& pixels, int w, int h) {
    std::vector<uint32_t> out(pixels.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out[static_cast<size_t>(y) * w + x] = pixels[static_cast<size_t>(y) * w + (w - 1 - x)];
    return out;
}

MemoryImage* Memory(int w, int h, const std::vector<uint32_t>& pixels) { return test::MakeImage(w, h, pixels); }

TEST(SurfaceBlit, TransparentSourceChangesNothing) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        auto dest = rig.Target(8, 8, 0xFF406080);
        std::unique_ptr<MemoryImage> source(test::MakeFilled(4, 4, 0x00FFFFFF));
        const std::vector<uint32_t> before = SurfaceValues(*dest);
        for (int mode : {0, 1})
            for (const Color& color : {Color::White, Color(10, 200, 30, 128)}) {
                dest->Blt(source.get(), 2, 2, Rect(0, 0, 4, 4), color, mode);
                dest->BltMirrored(source.get(), 1, 3, Rect(0, 0, 4, 4), color, mode);
            }
        // Transparent black adds nothing either.
        std::unique_ptr<MemoryImage> black(test::MakeFilled(4, 4, 0xFF000000));
        dest->Blt(black.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, 1);
        dest->BltMirrored(black.get(), 4, 4, Rect(0, 0, 4, 4), Color::White, 1);
        EXPECT_EQ(SurfaceValues(*dest), before);
        EXPECT_TRUE(dest->mSurface->CanariesIntact());
    });
}

TEST(SurfaceBlit, ColourKeyedSourceWritesOpaquePixelsOnly) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const NativePixelFormat& native = rig.display->GetNativeFormat();
        auto dest = rig.Target(4, 2, 0xFF000000);
        const std::vector<uint32_t> pixels = {0xFF123456, 0x00FFFFFF, 0xFFABCDEF, 0x00000000,
                                              0x00FF0000, 0xFFFFFFFF, 0xFF000000, 0xFF808080};
        std::unique_ptr<MemoryImage> source(Memory(4, 2, pixels));
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 4, 2), Color::White, 0);
        const uint32_t low = f.bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        for (int i = 0; i < 8; ++i) {
            const uint32_t v = SurfaceValue(*dest, i % 4, i / 4);
            if (pixels[i] >> 24 == 0) {
                EXPECT_EQ(v, 0u) << i;
            } else {
                EXPECT_EQ(v, native.FromArgb(pixels[i]) & low) << i;
            }
        }
        // The same through the display's own copy from a surface image with a colour key.
        auto onSurface = rig.Image(4, 2, pixels);
        ASSERT_TRUE(onSurface->BuildSurface());
        auto copied = rig.Target(4, 2, 0xFF000000);
        copied->Blt(onSurface.get(), 0, 0, Rect(0, 0, 4, 2), Color::White, 0);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(SurfaceValue(*copied, i % 4, i / 4) & (low & 0xFFFFFF),
                      SurfaceValue(*dest, i % 4, i / 4) & (low & 0xFFFFFF))
                    << i;
    });
}

// Translucent source pixels over opaque white, worked by hand per format. The source is
// premultiplied into the display's format first (c x (a + 1) >> 8, then cut to the channel):
// black at alpha 128 adds nothing, white at 128 adds 0x80 per 8-bit channel (16 of 5 bits,
// 32 of 6 bits), red at 192 adds 0xC0 (24 of 5 bits) to red only. The destination keeps
// (256 - a) / 256 of itself: on 16-bit surfaces cut to a 5-bit weight, 16 of 32 for a = 128
// and 8 of 32 for a = 192, so white 31/63/31 becomes 15/31/15 and 7/15/7. On 32-bit surfaces
// 0xFF becomes 0x7F and 0x3F, and the top byte is the source's alpha.
TEST(SurfaceBlit, TranslucentPixelBlend) {
    struct Case {
        const char* format;
        uint32_t halfBlack, halfWhite, mostlyRed;
    };
    const Case kCases[] = {
            {"R5G6B5", 0x7BEF, 0xFFFF, 0xF9E7},
            {"X1R5G5B5", 0x3DEF, 0x7FFF, 0x7CE7},
            {"X8R8G8B8", 0x807F7F7Fu, 0x80FFFFFFu, 0xC0FF3F3Fu},
            {"X8B8G8R8", 0x807F7F7Fu, 0x80FFFFFFu, 0xC03F3FFFu},
            {"B5G6R5", 0x7BEF, 0xFFFF, 0x39FF},
    };
    int checked = 0;
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const Case* c = nullptr;
        for (const Case& row : kCases)
            if (std::string(row.format) == f.name) c = &row;
        ASSERT_NE(c, nullptr);
        auto dest = rig.Target(3, 1, 0xFFFFFFFF);
        std::unique_ptr<MemoryImage> source(Memory(3, 1, {0x80000000, 0x80FFFFFF, 0xC0FF0000}));
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0), c->halfBlack);
        EXPECT_EQ(SurfaceValue(*dest, 1, 0), c->halfWhite);
        EXPECT_EQ(SurfaceValue(*dest, 2, 0), c->mostlyRed);
        EXPECT_TRUE(dest->mSurface->CanariesIntact());
        ++checked;
    });
    EXPECT_EQ(checked, 5);
}

TEST(SurfaceBlit, GreyTintHalvesOpaqueWhite) {
    struct Case {
        SurfaceFormat format;
        uint32_t expected;
    };
    const Case cases[] = {
            {AllFormats()[0], (15u << 11) | (31u << 5) | 15u},
            {AllFormats()[1], (15u << 10) | (15u << 5) | 15u},
            {AllFormats()[2], 0x7F7F7Fu},
            {AllFormats()[3], 0x7F7F7Fu},
            {AllFormats()[4], (15u << 11) | (31u << 5) | 15u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.name);
        DisplayRig rig(c.format);
        auto dest = rig.Target(2, 1, 0xFF000000);
        std::unique_ptr<MemoryImage> source(test::MakeFilled(2, 1, 0xFFFFFFFF));
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 2, 1), Color(128, 128, 128, 255), 0);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0), c.expected);
        EXPECT_EQ(SurfaceValue(*dest, 1, 0), c.expected);
    }
}

TEST(SurfaceBlit, AdditiveSaturates) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        auto dest = rig.Target(3, 1, 0xFF808080);
        std::unique_ptr<MemoryImage> source(Memory(3, 1, {0xFFC0C0C0, 0xFF000000, 0xFF202020}));
        const uint32_t gray = SurfaceValue(*dest, 1, 0);
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 3, 1), Color::White, 1);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0), d.mRedMask | d.mGreenMask | d.mBlueMask);
        EXPECT_EQ(SurfaceValue(*dest, 1, 0), gray);
        const uint32_t native = d.GetNativeFormat().FromArgb(0xFF202020);
        uint32_t sum = 0;
        for (uint32_t m : {d.mRedMask, d.mGreenMask, d.mBlueMask}) sum += (gray & m) + (native & m);
        EXPECT_EQ(SurfaceValue(*dest, 2, 0), sum);
    });
}

// Every routine against its twin: mirrored equals blitting the pre-flipped source, the
// opaque copy equals the run path, and a stretch of scale 1 equals a plain blit.
TEST(SurfaceBlit, MirroredEqualsPreFlipped) {
    const Color colors[] = {Color::White, Color(128, 128, 128, 255), Color(200, 100, 50, 180),
                            Color(255, 255, 255, 254)};
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        const int w = 13, h = 5;
        const std::vector<uint32_t> pixels = Mixed(w, h, 7);
        std::unique_ptr<MemoryImage> source(Memory(w, h, pixels));
        std::unique_ptr<MemoryImage> flipped(Memory(w, h, FlippedRows(pixels, w, h)));
        for (int mode : {0, 1})
            for (const Color& color : colors) {
                SCOPED_TRACE(mode);
                auto a = rig.Target(20, 9, 0xFF3A6F91);
                auto b = rig.Target(20, 9, 0xFF3A6F91);
                a->BltMirrored(source.get(), 3, 2, Rect(0, 0, w, h), color, mode);
                b->Blt(flipped.get(), 3, 2, Rect(0, 0, w, h), color, mode);
                EXPECT_EQ(SurfaceValues(*a), SurfaceValues(*b));
                // Part of the rectangle: what is cut on the left of the source is the right of
                // the flipped one.
                auto c = rig.Target(20, 9, 0xFF3A6F91);
                auto e = rig.Target(20, 9, 0xFF3A6F91);
                c->BltMirrored(source.get(), 1, 1, Rect(4, 1, 7, 3), color, mode);
                e->Blt(flipped.get(), 1, 1, Rect(w - 4 - 7, 1, 7, 3), color, mode);
                EXPECT_EQ(SurfaceValues(*c), SurfaceValues(*e));
                EXPECT_TRUE(a->mSurface->CanariesIntact());
                EXPECT_TRUE(c->mSurface->CanariesIntact());
            }
        // A single column lands where the plain blit puts it.
        auto g = rig.Target(4, 4, 0xFF000000);
        auto k = rig.Target(4, 4, 0xFF000000);
        g->BltMirrored(source.get(), 2, 0, Rect(5, 0, 1, 4), Color::White, 0);
        k->Blt(source.get(), 2, 0, Rect(5, 0, 1, 4), Color::White, 0);
        EXPECT_EQ(SurfaceValues(*g), SurfaceValues(*k));
    });
}

// Long translucent runs (the wide loops) against the mirrored walk of the flipped source (a
// pixel at a time).
TEST(SurfaceBlit, LongTranslucentRuns) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        const int w = 37, h = 3;
        std::vector<uint32_t> pixels(w * h);
        for (int i = 0; i < w * h; ++i)
            pixels[i] =
                    (static_cast<uint32_t>(1 + (i * 7) % 254) << 24) | static_cast<uint32_t>(i * 0x030507 + 0x405060);
        std::unique_ptr<MemoryImage> source(Memory(w, h, pixels));
        std::unique_ptr<MemoryImage> flipped(Memory(w, h, FlippedRows(pixels, w, h)));
        auto a = rig.Target(40, 4, 0xFFC08040);
        auto b = rig.Target(40, 4, 0xFFC08040);
        a->Blt(source.get(), 1, 0, Rect(0, 0, w, h), Color::White, 0);
        b->BltMirrored(flipped.get(), 1, 0, Rect(0, 0, w, h), Color::White, 0);
        EXPECT_EQ(SurfaceValues(*a), SurfaceValues(*b));
    });
}

TEST(SurfaceBlit, OpaqueCopyEqualsRunPath) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        for (bool withHoles : {false, true}) {
            const int w = 11, h = 4;
            std::vector<uint32_t> pixels = Mixed(w, h, 3);
            for (uint32_t& p : pixels) p = ((p >> 24) < 128 && withHoles) ? (p & 0xFFFFFF) : (p | 0xFF000000);
            std::unique_ptr<MemoryImage> copyPath(Memory(w, h, pixels));
            std::unique_ptr<MemoryImage> runPath(Memory(w, h, pixels));
            ASSERT_FALSE(copyPath->hasAlpha);
            runPath->ForceAlphaFlags(runPath->hasTrans, true);
            auto a = rig.Target(16, 6, 0xFF5A5A5A);
            auto b = rig.Target(16, 6, 0xFF5A5A5A);
            a->Blt(copyPath.get(), 2, 1, Rect(1, 0, 9, 4), Color::White, 0);
            b->Blt(runPath.get(), 2, 1, Rect(1, 0, 9, 4), Color::White, 0);
            EXPECT_EQ(SurfaceValues(*a), SurfaceValues(*b));
        }
    });
}

TEST(SurfaceBlit, ScaleOneStretchEqualsBlit) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const int w = 9, h = 5;
        std::vector<uint32_t> pixels = Mixed(w, h, 11);
        for (uint32_t& p : pixels) p |= 0xFF000000;
        std::unique_ptr<MemoryImage> source(Memory(w, h, pixels));
        for (bool mirrored : {false, true}) {
            auto a = rig.Target(12, 8, 0xFF224466);
            auto b = rig.Target(12, 8, 0xFF224466);
            const Rect dest(2, 1, w, h);
            if (mirrored) {
                a->StretchBltMirrored(source.get(), dest, Rect(0, 0, w, h), Rect(0, 0, 12, 8), Color::White, 0, true);
                b->BltMirrored(source.get(), 2, 1, Rect(0, 0, w, h), Color::White, 0);
            } else {
                a->StretchBlt(source.get(), dest, Rect(0, 0, w, h), Rect(0, 0, 12, 8), Color::White, 0, true);
                b->Blt(source.get(), 2, 1, Rect(0, 0, w, h), Color::White, 0);
            }
            EXPECT_EQ(SurfaceValues(*a), SurfaceValues(*b));
        }
        // The display's own scaled copy from a surface image agrees too.
        auto onSurface = rig.Image(w, h, pixels);
        auto c = rig.Target(12, 8, 0xFF224466);
        auto e = rig.Target(12, 8, 0xFF224466);
        c->StretchBlt(onSurface.get(), Rect(2, 1, w, h), Rect(0, 0, w, h), Rect(0, 0, 12, 8), Color::White, 0, true);
        e->Blt(source.get(), 2, 1, Rect(0, 0, w, h), Color::White, 0);
        const uint32_t low = f.bits == 16 ? 0xFFFFu : 0xFFFFFFu;
        const std::vector<uint32_t> cv = SurfaceValues(*c), ev = SurfaceValues(*e);
        for (size_t i = 0; i < cv.size(); ++i) EXPECT_EQ(cv[i] & low, ev[i] & low) << i;
    });
}

TEST(SurfaceBlit, VolatileSourceBlendsArgb) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        auto dest = rig.Target(2, 1, 0xFF000000);
        std::unique_ptr<MemoryImage> source(Memory(2, 1, {0xFFFFFFFF, 0x00FFFFFF}));
        source->SetVolatile(true);
        dest->Blt(source.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
        const uint32_t full = rig.display->mRedMask | rig.display->mGreenMask | rig.display->mBlueMask;
        const uint32_t v = SurfaceValue(*dest, 0, 0);
        // Near white (the blend weights by 255 / 256), and a transparent pixel leaves black.
        EXPECT_NE(v, 0u);
        EXPECT_EQ(v & ~full, 0u);
        EXPECT_EQ(SurfaceValue(*dest, 1, 0), 0u);
        if (f.bits == 32 && !f.bgr) {
            EXPECT_EQ(v, 0xFEFEFEu);
        }
    });
}

TEST(SurfaceBlit, RunLongerThanRectangleIsCut) {
    DisplayRig rig(AllFormats()[2]);
    auto dest = rig.Target(10, 1, 0xFF000000);
    std::unique_ptr<MemoryImage> source(test::MakeFilled(10, 1, 0x80FFFFFF));
    dest->Blt(source.get(), 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
    EXPECT_NE(SurfaceValue(*dest, 2, 0), 0u);
    EXPECT_EQ(SurfaceValue(*dest, 3, 0), 0u);
}

// ---- Rotated ----

TEST(SurfaceRotate, AngleZeroAtWholePosition) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const int w = 6, h = 5;
        std::vector<uint32_t> pixels(w * h);
        for (int i = 0; i < w * h; ++i)
            pixels[i] =
                    0xFF000000u | (static_cast<uint32_t>(i * 8) << 16) | 0x4000u | static_cast<uint32_t>(250 - i * 8);
        std::unique_ptr<MemoryImage> source(Memory(w, h, pixels));
        auto dest = rig.Target(10, 8, 0xFF000000);
        dest->BltF(source.get(), 2.0f, 1.0f, Rect(0, 0, w, h), Rect(0, 0, 10, 8), Color::White, 0);
        auto reference = rig.Target(10, 8, 0xFF000000);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const int sx = x - 2, sy = y - 1;
                const bool drawn = sx >= 1 && sx <= w - 2 && sy >= 0 && sy <= h - 2;
                const uint32_t v = SurfaceValue(*dest, x, y);
                if (!drawn) {
                    EXPECT_EQ(v, 0u) << x << "," << y;
                    continue;
                }
                // In place; the sample weighs 254 of 255, so each channel may lose up to 2.
                const uint32_t argb = dest->SurfaceToArgb(v);
                const uint32_t src = pixels[sy * w + sx];
                for (int shift : {16, 8, 0}) {
                    const int got = static_cast<int>((argb >> shift) & 0xFF);
                    const int want = static_cast<int>((src >> shift) & 0xFF);
                    EXPECT_LE(std::abs(got - want), f.bits == 16 ? 8 : 2) << x << "," << y;
                }
            }
        EXPECT_TRUE(dest->mSurface->CanariesIntact());
        // Too narrow to filter: nothing.
        const std::vector<uint32_t> before = SurfaceValues(*dest);
        dest->BltRotated(source.get(), 3.3f, 2.1f, Rect(0, 0, 1, 4), Rect(0, 0, 10, 8), Color::White, 0, 0.7, 0, 0);
        EXPECT_EQ(SurfaceValues(*dest), before);
    });
}

TEST(SurfaceRotate, TurnedImageStaysInsideTheClip) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::unique_ptr<MemoryImage> source(Memory(8, 8, Mixed(8, 8, 5)));
        for (int mode : {0, 1})
            for (const Color& color : {Color::White, Color(90, 200, 40, 200)}) {
                auto dest = rig.Target(16, 16, 0xFF102030);
                const uint32_t outside = SurfaceValue(*dest, 0, 0);
                dest->BltRotated(source.get(), 4.5f, 3.25f, Rect(0, 0, 8, 8), Rect(2, 2, 12, 12), color, mode, 0.6,
                                 4.0f, 4.0f);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        if (x < 2 || y < 2 || x >= 14 || y >= 14) {
                            EXPECT_EQ(SurfaceValue(*dest, x, y), outside) << x << "," << y;
                        }
                EXPECT_TRUE(dest->mSurface->CanariesIntact());
            }
    });
}

// The byte-lane steps of the standard order and the per-channel steps of the BGR order work
// the same sums: the two 32-bit layouts give the same picture, channels swapped.
TEST(SurfaceRotate, BgrOrderMatchesRgbOrder) {
    std::unique_ptr<MemoryImage> source(Memory(9, 7, Mixed(9, 7, 21)));
    std::vector<std::vector<uint32_t>> pictures[2];
    for (int order = 0; order < 2; ++order) {
        DisplayRig rig(AllFormats()[order == 0 ? 2 : 3]);
        source->FreeSoftwareCaches();
        for (int mode : {0, 1})
            for (const Color& color : {Color::White, Color(90, 200, 40, 200)}) {
                auto dest = rig.Target(16, 16, 0xFF204080);
                dest->BltRotated(source.get(), 3.3f, 2.7f, Rect(0, 0, 9, 7), Rect(0, 0, 16, 16), color, mode, 0.45,
                                 4.0f, 3.0f);
                dest->BltF(source.get(), 5.5f, 8.25f, Rect(0, 0, 9, 7), Rect(0, 0, 16, 16), color, mode);
                std::vector<uint32_t> values = SurfaceValues(*dest);
                if (order == 1)
                    for (uint32_t& v : values) v = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
                pictures[order].push_back(values);
            }
    }
    ASSERT_EQ(pictures[0].size(), pictures[1].size());
    for (size_t i = 0; i < pictures[0].size(); ++i) EXPECT_EQ(pictures[0][i], pictures[1][i]) << i;
}

// Fault of the old design: a source that is no memory image dropped the destination's pixels.
TEST(SurfaceRotate, ForeignSourceKeepsTheDestination) {
    DisplayRig rig(AllFormats()[0]);
    Image foreign;
    foreign.width = foreign.height = 4;
    auto dest = rig.Filled(8, 8, 0xFF445566);
    dest->BltRotated(&foreign, 1, 1, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, 0.5, 2, 2);
    dest->StretchBltMirrored(&foreign, Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, true);
    dest->StretchBlt(&foreign, Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, true);
    ASSERT_NE(dest->bits, nullptr);
    EXPECT_EQ(dest->bits[0], 0xFF445566u);
}

// ---- Stretched ----

TEST(SurfaceStretch, ClippingAndMirroring) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::unique_ptr<MemoryImage> source(Memory(2, 1, {0xFFFF0000, 0xFF0000FF}));
        auto dest = rig.Target(8, 4, 0xFF000000);
        const std::vector<uint32_t> before = SurfaceValues(*dest);
        dest->StretchBlt(source.get(), Rect(10, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 8, 4), Color::White, 0, true);
        EXPECT_EQ(SurfaceValues(*dest), before);
        // Mirrored, doubled: red (column 0) ends on the right.
        dest->StretchBltMirrored(source.get(), Rect(0, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 8, 4), Color::White, 0,
                                 false);
        const DDInterface& d = *rig.display;
        EXPECT_EQ(SurfaceValue(*dest, 3, 0) & d.mRedMask, d.mRedMask);
        EXPECT_EQ(SurfaceValue(*dest, 2, 1) & d.mRedMask, d.mRedMask);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0) & d.mBlueMask, d.mBlueMask);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0) & d.mRedMask, 0u);
        // Clipping away the right of the destination removes the left (red) of the source.
        auto clipped = rig.Target(8, 4, 0xFF000000);
        clipped->StretchBltMirrored(source.get(), Rect(0, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 2, 4), Color::White, 0,
                                    true);
        EXPECT_EQ(SurfaceValue(*clipped, 1, 0) & d.mRedMask, 0u);
        EXPECT_EQ(SurfaceValue(*clipped, 1, 0) & d.mBlueMask, d.mBlueMask);
        EXPECT_EQ(SurfaceValue(*clipped, 2, 0), 0u);
        EXPECT_TRUE(clipped->mSurface->CanariesIntact());
    });
}

TEST(SurfaceStretch, SkippedSamples) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        // Alpha 0 is skipped in normal mode; only an all-zero word in additive mode.
        std::unique_ptr<MemoryImage> source(Memory(2, 1, {0x00000000, 0x01000000}));
        auto dest = rig.Target(4, 1, 0xFF808080);
        const std::vector<uint32_t> before = SurfaceValues(*dest);
        dest->StretchBlt(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 0, true);
        EXPECT_EQ(SurfaceValue(*dest, 0, 0), before[0]);
        EXPECT_NE(SurfaceValue(*dest, 3, 0), before[3]);  // alpha 1 darkens a little
        const std::vector<uint32_t> middle = SurfaceValues(*dest);
        dest->StretchBlt(source.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 1, true);
        // Black with alpha 1 adds nothing (the 32-bit normal step left the alpha byte on top).
        const std::vector<uint32_t> after = SurfaceValues(*dest);
        for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i] & 0xFFFFFF, middle[i] & 0xFFFFFF) << i;
        EXPECT_TRUE(dest->mSurface->CanariesIntact());
    });
}

TEST(SurfaceStretch, FilteredStretchGoesThroughATemporaryImage) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::unique_ptr<MemoryImage> source(test::MakeFilled(4, 4, 0xFFFFFFFF));
        auto dest = rig.Target(8, 8, 0xFF000000);
        dest->StretchBlt(source.get(), Rect(0, 0, 8, 8), Rect(0, 0, 4, 4), Rect(0, 0, 6, 8), Color(255, 0, 0, 255), 0,
                         false);
        const DDInterface& d = *rig.display;
        // Tinted red once, inside the clip only.
        EXPECT_NE(SurfaceValue(*dest, 3, 3) & d.mRedMask, 0u);
        EXPECT_EQ(SurfaceValue(*dest, 3, 3) & (d.mGreenMask | d.mBlueMask), 0u);
        EXPECT_EQ(SurfaceValue(*dest, 6, 3), 0u);
        EXPECT_TRUE(dest->mSurface->CanariesIntact());
    });
}

}  // namespace
}  // namespace Velm
