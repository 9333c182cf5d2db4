// The surface routines' SSE2 and AVX2 loops against their plain forms, bit for bit, in every surface
// format: translucent fills of widths 1 to 20 at odd offsets, normal, tinted and additive blits of
// random sources whose runs start and end anywhere, palettised and opaque sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/PixelRows.h"
#include "tests/graphics/DisplayFixture.h"
#include "tests/graphics/SimdLevels.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

using test::DisplayRig;
using test::ForEachFormat;
using test::SurfaceFormat;
using test::SurfaceValues;

uint32_t Next(std::mt19937& rng) { return static_cast<uint32_t>(rng()); }

// Random pixels in runs of one alpha class (transparent, opaque or translucent) of length 1
// to 9, so that the run walk hands the wide loops every short length.
std::vector<uint32_t> RandomRuns(std::mt19937& rng, size_t count) {
    std::vector<uint32_t> pixels(count);
    uint32_t alpha = 255;
    size_t left = 0;
    for (uint32_t& p : pixels) {
        if (left == 0) {
            const uint32_t pick = Next(rng) % 3;
            alpha = pick == 0 ? 0 : (pick == 1 ? 255 : 1 + Next(rng) % 254);
            left = 1 + Next(rng) % 9;
        }
        --left;
        p = (alpha << 24) | (Next(rng) & 0xFFFFFF);
    }
    return pixels;
}

// Draws with the plain forms and at every SIMD level onto equal targets of opaque noise and
// expects equal surfaces.
template <typename Draw>
void ExpectSameBothWays(DisplayRig& rig, std::mt19937& rng, Draw draw, int targetWidth = 40) {
    // Opaque noise under every target, so that a pixel landing in its neighbour's place shows.
    std::vector<uint32_t> noise(static_cast<size_t>(targetWidth) * 12);
    for (uint32_t& p : noise) p = 0xFF000000u | (Next(rng) & 0xFFFFFF);
    std::unique_ptr<MemoryImage> background(test::MakeImage(targetWidth, 12, noise));
    test::SimdLevelGuard keep;
    auto drawAt = [&](PixelRows::SimdLevel level) {
        PixelRows::SetSimdLevel(PixelRows::SimdLevel::Plain);
        auto target = rig.Target(targetWidth, 12, 0xFF000000u);
        target->Blt(background.get(), 0, 0, Rect(0, 0, targetWidth, 12), Color::White, 0);
        PixelRows::SetSimdLevel(level);
        draw(*target);
        return SurfaceValues(*target);
    };
    const std::vector<uint32_t> plain = drawAt(PixelRows::SimdLevel::Plain);
    for (PixelRows::SimdLevel level : test::SimdLevels()) ASSERT_EQ(plain, drawAt(level)) << test::SimdLevelName(level);
}

TEST(SurfaceSimd, TranslucentFillsMatchPlainForm) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(7);
        for (int width = 1; width <= 20; ++width) {
            const Color color(static_cast<int>(Next(rng) & 0xFF), static_cast<int>(Next(rng) & 0xFF),
                              static_cast<int>(Next(rng) & 0xFF), static_cast<int>(1 + Next(rng) % 254));
            const int x = static_cast<int>(Next(rng) % 9);
            SCOPED_TRACE(width);
            ExpectSameBothWays(rig, rng, [&](DDImage& target) { target.FillRect(Rect(x, 1, width, 3), color, 0); });
        }
    });
}

TEST(SurfaceSimd, BlitsMatchPlainForms) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(11);
        // White, grey and coloured tints, each opaque and translucent.
        const Color tints[] = {Color::White, Color(128, 128, 128), Color(60, 60, 60, 90), Color(250, 230, 160),
                               Color(250, 20, 130, 200)};
        for (int round = 0; round < 24; ++round) {
            const int w = 1 + static_cast<int>(Next(rng) % 33), h = 1 + static_cast<int>(Next(rng) % 5);
            std::unique_ptr<MemoryImage> source(test::MakeImage(w, h, RandomRuns(rng, static_cast<size_t>(w) * h)));
            const int x = static_cast<int>(Next(rng) % 7), y = static_cast<int>(Next(rng) % 5);
            // Starting a column in puts the walk's first read inside a run; the rectangle still
            // ends at the image's right edge, as Blt's callers clip it to the source.
            const int left = static_cast<int>(Next(rng) % 2) % w;
            const Rect srcRect(left, 0, w - left, h);
            for (const Color& tint : tints)
                for (int mode : {0, 1}) {
                    SCOPED_TRACE(round * 10 + mode);
                    ExpectSameBothWays(rig, rng,
                                       [&](DDImage& target) { target.Blt(source.get(), x, y, srcRect, tint, mode); });
                }
        }
    });
}

TEST(SurfaceSimd, OneOrTwoPixelRowEndsMatchPlainFormsOverManyRows) {
    // Blits like a glyph's (a group of eight or more and one or two pixels over), of even and odd
    // heights, so that row ends are worked two rows together and a last row on its own, at odd
    // columns of targets of two pitches; tinted, grey, translucent and additive.
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(37);
        const Color tints[] = {Color::White, Color(128, 128, 128), Color(250, 230, 160), Color(60, 60, 60, 90)};
        for (int width : {1, 2, 9, 10, 17, 18})
            for (int h : {4, 5, 7, 8, 11}) {
                std::unique_ptr<MemoryImage> source(
                        test::MakeImage(width, h, RandomRuns(rng, static_cast<size_t>(width) * h)));
                const int x = static_cast<int>(Next(rng) % 5);
                for (int targetWidth : {40, 29})
                    for (const Color& tint : tints)
                        for (int mode : {0, 1}) {
                            SCOPED_TRACE(testing::Message() << width << " x " << h << " at " << x << " mode " << mode);
                            ExpectSameBothWays(
                                    rig, rng,
                                    [&](DDImage& target) {
                                        target.Blt(source.get(), x, 12 - h, Rect(0, 0, width, h), tint, mode);
                                    },
                                    targetWidth);
                        }
            }
    });
}

TEST(SurfaceSimd, PalettisedBlitsMatchPlainForm) {
    // Palettised sources drawn white, straight and mirrored, cut by clips on every side: widths
    // that leave every remainder after the groups of eight and sixteen, runs of all three kinds
    // starting and ending anywhere, and rows longer than one group. Every other source is
    // taller and uses up to the whole palette (256 entries), so that indices reach every part of it.
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(17);
        for (int round = 0; round < 30; ++round) {
            const bool wholePalette = round % 2 == 1;
            const int w = 1 + static_cast<int>(Next(rng) % 52);
            const int h = wholePalette ? 8 + static_cast<int>(Next(rng) % 5) : 1 + static_cast<int>(Next(rng) % 6);
            std::vector<uint32_t> pixels = RandomRuns(rng, static_cast<size_t>(w) * h);
            // Few enough colours for a palette: four translucent alphas and eight colours, or two
            // translucent alphas and 64 colours.
            for (uint32_t& p : pixels) {
                uint32_t a = p >> 24;
                if (wholePalette) {
                    if (a != 0 && a != 255) a = 1 + (a % 2) * 120;
                    p = a << 24 | (p & 63) * 0x030405u;
                    continue;
                }
                if (a != 0 && a != 255) a = 1 + (a % 4) * 60;
                p = a << 24 | ((p & 7) * 0x1F2F3Fu & 0xFFFFFF);
            }
            std::unique_ptr<MemoryImage> source(test::MakeImage(w, h, pixels));
            ASSERT_TRUE(source->Palletize());
            const int x = static_cast<int>(Next(rng) % 9) - 2, y = static_cast<int>(Next(rng) % 5) - 1;
            const Rect clip(static_cast<int>(Next(rng) % 4), static_cast<int>(Next(rng) % 3),
                            20 + static_cast<int>(Next(rng) % 44), 6 + static_cast<int>(Next(rng) % 6));
            for (bool mirror : {false, true}) {
                SCOPED_TRACE(testing::Message() << "round " << round << " width " << w << (mirror ? " mirrored" : ""));
                ExpectSameBothWays(
                        rig, rng,
                        [&](DDImage& target) {
                            Graphics g(&target);
                            g.SetClipRect(clip.x, clip.y, clip.width, clip.height);
                            g.DrawImageMirror(source.get(), x, y, Rect(0, 0, w, h), mirror);
                        },
                        64);
            }
            EXPECT_NE(source->colorIndices, nullptr);  // drawn through the palette
        }
    });
}

TEST(SurfaceSimd, OpaqueBlitsMatchPlainFormAtEveryWidthAndColumn) {
    // Opaque sources copied onto the surface: every width from 1 to 40 (below, at and past the
    // groups of the wide copies) and widths about 64 (where the copy changes its form) at every
    // column of a 32-byte period, so that the destination's alignment takes every value; and a
    // rectangle cut out of the source's middle.
    std::vector<int> widths;
    for (int width = 1; width <= 40; ++width) widths.push_back(width);
    for (int width : {63, 64, 65, 71, 100}) widths.push_back(width);
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(29);
        for (int width : widths) {
            std::vector<uint32_t> pixels(static_cast<size_t>(width) * 4);
            for (uint32_t& p : pixels) p = 0xFF000000u | (Next(rng) & 0xFFFFFF);
            std::unique_ptr<MemoryImage> source(test::MakeImage(width, 4, pixels));
            for (int x = 0; x < 8; ++x) {
                SCOPED_TRACE(testing::Message() << "width " << width << " x " << x);
                ExpectSameBothWays(
                        rig, rng,
                        [&](DDImage& target) { target.Blt(source.get(), x, 2, Rect(0, 0, width, 4), Color::White, 0); },
                        112);
            }
            if (width > 2)
                ExpectSameBothWays(
                        rig, rng,
                        [&](DDImage& target) {
                            target.Blt(source.get(), 5, 1, Rect(1, 1, width - 2, 2), Color::White, 0);
                        },
                        112);
        }
    });
}

TEST(SurfaceSimd, ShortRowsMatchPlainFormsAtEveryWidth) {
    // Normal and additive blits, nearest stretches and sub-pixel placements of every width from 1
    // to 17 (no group of four or eight, one and a tail, two and a tail), at odd and even columns of
    // targets of two pitches, untinted, grey and coloured.
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(31);
        const Color tints[] = {Color::White, Color(128, 128, 128), Color(250, 20, 130, 200)};
        for (int width = 1; width <= 17; ++width) {
            const int h = 3;
            std::unique_ptr<MemoryImage> source(
                    test::MakeImage(width, h, RandomRuns(rng, static_cast<size_t>(width) * h)));
            for (int x : {0, 1, 3})
                for (int targetWidth : {40, 29})
                    for (const Color& tint : tints) {
                        SCOPED_TRACE(testing::Message() << "width " << width << " x " << x << " pitch " << targetWidth);
                        for (int mode : {0, 1})
                            ExpectSameBothWays(
                                    rig, rng,
                                    [&](DDImage& target) {
                                        target.Blt(source.get(), x, 1, Rect(0, 0, width, h), tint, mode);
                                    },
                                    targetWidth);
                        ExpectSameBothWays(
                                rig, rng,
                                [&](DDImage& target) {
                                    target.StretchBlt(source.get(), Rect(x, 1, width + width / 2, h + 2),
                                                      Rect(0, 0, width, h), Rect(0, 0, targetWidth, 12), tint, 0, true);
                                },
                                targetWidth);
                        ExpectSameBothWays(
                                rig, rng,
                                [&](DDImage& target) {
                                    target.BltF(source.get(), x + 0.37f, 1.61f, Rect(0, 0, width, h),
                                                Rect(0, 0, targetWidth, 12), tint, 0);
                                },
                                targetWidth);
                    }
        }
    });
}

TEST(SurfaceSimd, RotatedBlitsMatchPlainForms) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(5);
        const Color tints[] = {Color::White, Color(250, 20, 130, 200)};
        for (int round = 0; round < 18; ++round) {
            const int w = 2 + static_cast<int>(Next(rng) % 30), h = 2 + static_cast<int>(Next(rng) % 12);
            std::unique_ptr<MemoryImage> source(test::MakeImage(w, h, RandomRuns(rng, static_cast<size_t>(w) * h)));
            const float x = static_cast<float>(Next(rng) % 1600) / 100.0f - 4.0f;
            const float y = static_cast<float>(Next(rng) % 800) / 100.0f - 4.0f;
            // Every third round unturned: a sub-pixel placement, whose weights stay the same
            // along a row.
            const double turn = static_cast<double>(Next(rng) % 6284) / 1000.0 - 3.142;
            const double angle = round % 3 == 0 ? 0.0 : turn;
            for (const Color& tint : tints)
                for (int mode : {0, 1}) {
                    SCOPED_TRACE(round * 10 + mode);
                    ExpectSameBothWays(rig, rng, [&](DDImage& target) {
                        target.BltRotated(source.get(), x, y, Rect(0, 0, w, h), Rect(0, 0, 40, 12), tint, mode, angle,
                                          w / 2.0f, h / 2.0f);
                    });
                }
        }
    });
}

TEST(SurfaceSimd, NearestStretchesMatchPlainForms) {
    // The surface loop, straight and mirrored, enlarging and shrinking, at widths that leave
    // every remainder after the groups of four; sources with transparent and all-zero pixels, and
    // black ones with alpha (skipped by the additive stretch only when the whole word is 0).
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(23);
        const Color tints[] = {Color::White, Color(250, 20, 130, 200), Color(90, 255, 10)};
        for (int round = 0; round < 12; ++round) {
            const int w = 1 + static_cast<int>(Next(rng) % 20), h = 1 + static_cast<int>(Next(rng) % 6);
            std::vector<uint32_t> pixels = RandomRuns(rng, static_cast<size_t>(w) * h);
            for (uint32_t& p : pixels)
                if (Next(rng) % 5 == 0)
                    p = 0;
                else if (Next(rng) % 6 == 0)
                    p &= 0xFF000000u;
            std::unique_ptr<MemoryImage> source(test::MakeImage(w, h, pixels));
            const Rect destRect(static_cast<int>(Next(rng) % 9) - 3, static_cast<int>(Next(rng) % 5) - 1,
                                1 + static_cast<int>(Next(rng) % 45), 1 + static_cast<int>(Next(rng) % 14));
            for (const Color& tint : tints)
                for (int mode : {0, 1})
                    for (bool mirror : {false, true}) {
                        SCOPED_TRACE(round * 10 + mode * 2 + (mirror ? 1 : 0));
                        ExpectSameBothWays(rig, rng, [&](DDImage& target) {
                            if (mirror)
                                target.StretchBltMirrored(source.get(), destRect, Rect(0, 0, w, h), Rect(0, 0, 40, 12),
                                                          tint, mode, true);
                            else
                                target.StretchBlt(source.get(), destRect, Rect(0, 0, w, h), Rect(0, 0, 40, 12), tint,
                                                  mode, true);
                        });
                    }
        }
    });
}

TEST(SurfaceSimd, EnlargingStretchesMatchPlainFormsToTheImageEnd) {
    // Enlarging (or at the same size), a group of eight destination pixels takes its columns from eight
    // neighbouring source words: every width and scale here puts such groups at the start, the
    // middle and the very end of the source (its last row's last words), opaque, translucent,
    // clear and all-zero, and the clip cuts groups at odd places; one row is wider than a
    // sprite's.
    struct Case {
        int w, h, destWidth, destX, clipRight;
    };
    const Case cases[] = {{8, 3, 9, 0, 40},   {8, 2, 40, 0, 40},  {9, 4, 17, 3, 40},
                          {13, 3, 23, 1, 37}, {21, 2, 37, 2, 40}, {16, 5, 31, 0, 29},
                          {11, 1, 40, 0, 40}, {12, 2, 12, 1, 40}, {13, 3, 300, 5, 320}};
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        std::mt19937 rng(31);
        const Color tints[] = {Color::White, Color(250, 20, 130, 200)};
        for (const Case& c : cases) {
            std::vector<uint32_t> pixels = RandomRuns(rng, static_cast<size_t>(c.w) * c.h);
            for (size_t i = 0; i < pixels.size(); ++i)
                if (i % 7 == 3) pixels[i] = 0;
            std::unique_ptr<MemoryImage> source(test::MakeImage(c.w, c.h, pixels));
            for (const Color& tint : tints)
                for (int mode : {0, 1}) {
                    SCOPED_TRACE(testing::Message() << c.w << " to " << c.destWidth << " mode " << mode);
                    ExpectSameBothWays(
                            rig, rng,
                            [&](DDImage& target) {
                                target.StretchBlt(source.get(), Rect(c.destX, 1, c.destWidth, 10), Rect(0, 0, c.w, c.h),
                                                  Rect(0, 0, c.clipRight, 12), tint, mode, true);
                            },
                            std::max(40, c.clipRight));
                }
        }
    });
}

}  // namespace
}  // namespace Velm
