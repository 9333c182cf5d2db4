// The SSE2 and AVX2 row loops against their plain forms, bit for bit: the rows alone over
// widths 1 to 9 and longer at odd offsets, and whole memory-image blits of random images, sizes,
// tints and positions at every level the processor has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "graphics/Color.h"
#include "graphics/DrawMode.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelRows.h"
#include "tests/graphics/SimdLevels.h"

using namespace Velm;

namespace {

using SimdSwitch = test::SimdLevelGuard;

uint32_t Next(std::mt19937& rng) { return static_cast<uint32_t>(rng()); }

// Alphas drawn so that the edges (0, 1, 254, 255) come up often.
uint32_t RandomAlpha(std::mt19937& rng) {
    static const uint32_t kEdges[] = {0, 1, 2, 127, 128, 254, 255, 255};
    if (Next(rng) % 2 == 0) return kEdges[Next(rng) % 8];
    return Next(rng) & 0xFF;
}

uint32_t RandomPixel(std::mt19937& rng, uint32_t alpha) { return (alpha << 24) | (Next(rng) & 0xFFFFFF); }

std::vector<uint32_t> RandomPixels(std::mt19937& rng, size_t count, bool opaqueMostly) {
    std::vector<uint32_t> out(count);
    for (uint32_t& p : out) p = RandomPixel(rng, opaqueMostly && Next(rng) % 8 != 0 ? 255 : RandomAlpha(rng));
    return out;
}

// Runs op on copies of dst with the plain forms and at every SIMD level and expects equal rows.
template <typename Op>
void ExpectSameBothWays(const std::vector<uint32_t>& dst, Op op, const char* what, int width, int offset) {
    SimdSwitch keep;
    std::vector<uint32_t> plain = dst;
    PixelRows::SetSimdLevel(PixelRows::SimdLevel::Plain);
    op(plain.data());
    for (PixelRows::SimdLevel level : test::SimdLevels()) {
        std::vector<uint32_t> simd = dst;
        PixelRows::SetSimdLevel(level);
        op(simd.data());
        ASSERT_EQ(plain, simd) << what << " width " << width << " offset " << offset << " "
                               << test::SimdLevelName(level);
    }
}

TEST(PixelRowsTest, SimdLevelIsLoweredToWhatTheProcessorHas) {
    SimdSwitch keep;
    const PixelRows::SimdLevel best = PixelRows::BestSimdLevel();
    PixelRows::SetSimdLevel(PixelRows::SimdLevel::Avx512);
    EXPECT_EQ(best, PixelRows::GetSimdLevel());
    EXPECT_EQ(best == PixelRows::SimdLevel::Avx512, PixelRows::Avx512Enabled());
    EXPECT_EQ(static_cast<int>(best) >= static_cast<int>(PixelRows::SimdLevel::Avx2), PixelRows::Avx2Enabled());
    // The AVX2 forms run at the AVX-512 level too; the AVX-512 ones only there.
    PixelRows::SetSimdLevel(PixelRows::SimdLevel::Avx2);
    EXPECT_EQ(best != PixelRows::SimdLevel::Sse2, PixelRows::Avx2Enabled());
    EXPECT_FALSE(PixelRows::Avx512Enabled());
    PixelRows::SetSimdEnabled(false);
    EXPECT_EQ(PixelRows::SimdLevel::Plain, PixelRows::GetSimdLevel());
    EXPECT_FALSE(PixelRows::SimdEnabled());
    EXPECT_FALSE(PixelRows::Avx2Enabled());
    EXPECT_FALSE(PixelRows::Avx512Enabled());
    PixelRows::SetSimdEnabled(true);
    EXPECT_EQ(best, PixelRows::GetSimdLevel());
}

TEST(PixelRowsTest, RowsMatchPlainFormsAtEveryWidthAndOffset) {
    std::mt19937 rng(1234);
    const int widths[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 63, 257};
    for (int width : widths) {
        for (int offset = 0; offset < 4; ++offset) {
            const size_t size = static_cast<size_t>(width + 8);
            const std::vector<uint32_t> src = RandomPixels(rng, size, false);
            const std::vector<uint32_t> dst = RandomPixels(rng, size, true);
            const uint32_t* s = src.data() + offset;
            PixelRows::BlendTint plain;
            PixelRows::BlendTint tinted;
            tinted.white = false;
            tinted.r = Next(rng) & 0xFF;
            tinted.g = Next(rng) & 0xFF;
            tinted.b = Next(rng) & 0xFF;
            tinted.a = RandomAlpha(rng);
            ExpectSameBothWays(
                    dst, [&](uint32_t* d) { PixelRows::BlendRow(d + offset, s, width, plain); }, "blend", width,
                    offset);
            ExpectSameBothWays(
                    dst, [&](uint32_t* d) { PixelRows::BlendRow(d + offset, s, width, tinted); }, "tinted", width,
                    offset);
            ExpectSameBothWays(
                    dst, [&](uint32_t* d) { PixelRows::RunBlendRow(d + offset, s, width); }, "run", width, offset);
            ExpectSameBothWays(
                    dst, [&](uint32_t* d) { PixelRows::CopyRow(d + offset, s, width); }, "copy", width, offset);
            ExpectSameBothWays(
                    dst, [&](uint32_t* d) { PixelRows::OverOpaqueRow(d + offset, s, width); }, "over opaque", width,
                    offset);
            const uint32_t k[3] = {Next(rng) & 0xFF, Next(rng) & 0xFF, Next(rng) & 0xFF};
            for (int mode = 0; mode < 4; ++mode) {
                const bool white = mode & 1, weighted = mode & 2;
                ExpectSameBothWays(
                        dst, [&](uint32_t* d) { PixelRows::AddRow(d + offset, s, width, white, weighted, k); }, "add",
                        width, offset);
            }
        }
    }
}

TEST(PixelRowsTest, OpaqueSourcesUnderFullTintsMatchPlainForms) {
    // Rows of opaque source pixels (with a few translucent and clear ones among them) blended
    // with tints whose alpha is 255, which store the tinted colour whatever lies under it, and
    // with alpha 254, which must blend; over opaque and translucent destinations, at odd widths
    // and offsets.
    std::mt19937 rng(8642);
    const int widths[] = {1, 3, 7, 8, 9, 15, 16, 17, 31, 63, 257};
    const uint32_t tints[][4] = {{255, 255, 255, 255}, {128, 128, 128, 255}, {200, 30, 90, 255},
                                 {0, 0, 0, 255},       {128, 128, 128, 254}, {255, 255, 255, 254}};
    for (int width : widths) {
        for (int offset = 0; offset < 4; ++offset) {
            const size_t size = static_cast<size_t>(width + 8);
            std::vector<uint32_t> src(size);
            for (uint32_t& p : src) p = RandomPixel(rng, Next(rng) % 16 == 0 ? RandomAlpha(rng) : 255);
            for (int translucentDst = 0; translucentDst < 2; ++translucentDst) {
                const std::vector<uint32_t> dst = RandomPixels(rng, size, translucentDst == 0);
                for (const auto& t : tints) {
                    PixelRows::BlendTint tint;
                    tint.white = t[0] == 255 && t[1] == 255 && t[2] == 255;
                    tint.r = t[0];
                    tint.g = t[1];
                    tint.b = t[2];
                    tint.a = t[3];
                    ExpectSameBothWays(
                            dst,
                            [&](uint32_t* d) { PixelRows::BlendRow(d + offset, src.data() + offset, width, tint); },
                            "full tint", width, offset);
                }
            }
        }
    }
}

TEST(PixelRowsTest, WeightedAddRowsMatchPlainFormOnEdgeInputs) {
    // The weighted add's lane forms against the plain one over rows that add nothing, rows that
    // saturate every channel, and rows where groups adding nothing sit between others, onto
    // destinations of every kind, at odd widths and offsets; pixels past the row stay as they were.
    std::mt19937 rng(1357);
    const int widths[] = {1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 33, 255};
    enum Fill { Zero, Saturated, ZeroGroups, Random };
    for (int width : widths) {
        for (int offset = 0; offset < 4; ++offset) {
            const size_t size = static_cast<size_t>(width + 12);
            for (Fill fill : {Zero, Saturated, ZeroGroups, Random}) {
                std::vector<uint32_t> add(size);
                for (size_t i = 0; i < size; ++i) {
                    const uint32_t colour = Next(rng) & 0x00FFFFFFu;
                    add[i] = fill == Zero         ? 0
                             : fill == Saturated  ? 0x00FFFFFFu
                             : fill == ZeroGroups ? ((i / 8) % 2 == 0 ? 0 : colour)
                                                  : colour;
                }
                std::vector<uint32_t> dst = RandomPixels(rng, size, false);
                if (fill == Saturated)
                    for (size_t i = 0; i < size; i += 2) dst[i] |= 0x00FFFFFFu;
                ExpectSameBothWays(
                        dst, [&](uint32_t* d) { PixelRows::AddWeightedRow(d + offset, add.data() + offset, width); },
                        "weighted add", width, offset);
            }
        }
    }
}

TEST(PixelRowsTest, WeightedAddMatchesTheWeightingAdd) {
    // Every colour value under every alpha, over varied destinations, at widths that leave one
    // to three pixels past the groups of four: adding the kept weighted colours gives what the
    // untinted weighted add gives on the pixels themselves, in both forms.
    SimdSwitch keep;
    std::mt19937 rng(4321);
    std::vector<uint32_t> src(256 * 256 + 3);
    for (size_t i = 0; i < src.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(i) & 0xFF, a = static_cast<uint32_t>(i >> 8) & 0xFF;
        src[i] = (a << 24) | (c << 16) | (((c * 7 + 3) & 0xFF) << 8) | (255 - c);
    }
    std::vector<uint32_t> weighted(src.size());
    for (size_t i = 0; i < src.size(); ++i) weighted[i] = PixelRows::AddWeight(src[i]);
    const std::vector<uint32_t> dst = RandomPixels(rng, src.size(), false);
    const uint32_t k[3] = {255, 255, 255};
    for (int count : {static_cast<int>(src.size()), 1, 2, 3, 5, 6, 7}) {
        PixelRows::SetSimdEnabled(false);
        std::vector<uint32_t> expected = dst;
        PixelRows::AddRow(expected.data(), src.data(), count, true, true, k);
        for (int simd = 0; simd <= static_cast<int>(PixelRows::BestSimdLevel()); ++simd) {
            PixelRows::SetSimdLevel(static_cast<PixelRows::SimdLevel>(simd));
            std::vector<uint32_t> got = dst;
            PixelRows::AddWeightedRow(got.data(), weighted.data(), count);
            ASSERT_EQ(expected, got) << "count " << count << " simd " << simd;
        }
    }
}

// A memory image of random pixels; palettised when asked.
std::unique_ptr<MemoryImage> RandomImage(std::mt19937& rng, int width, int height, bool opaqueMostly, bool palettised) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    std::vector<uint32_t> pixels = RandomPixels(rng, static_cast<size_t>(width) * height, opaqueMostly);
    if (palettised) {
        // At most 256 colours, so that the image can be palettised.
        const std::vector<uint32_t> colours = RandomPixels(rng, 40, opaqueMostly);
        for (uint32_t& p : pixels) p = colours[Next(rng) % colours.size()];
    } else {
        // Runs of one alpha class, as real images have.
        for (size_t i = 1; i < pixels.size(); ++i)
            if (Next(rng) % 4 != 0) pixels[i] = (pixels[i - 1] & 0xFF000000u) | (pixels[i] & 0xFFFFFF);
    }
    image->SetBits(pixels.data(), width, height, true);
    if (palettised) {
        EXPECT_TRUE(image->Palletize());
    }
    return image;
}

std::vector<uint32_t> Pixels(MemoryImage& image) {
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + static_cast<size_t>(image.width) * image.height);
}

// Runs draw(dest) on fresh copies of a dw x dh background with the plain forms and at every
// SIMD level and returns whether all the images came out equal.
template <typename Draw>
::testing::AssertionResult SameBothWays(const std::vector<uint32_t>& background, int dw, int dh, Draw draw) {
    SimdSwitch keep;
    auto drawAt = [&](PixelRows::SimdLevel level) {
        PixelRows::SetSimdLevel(level);
        MemoryImage dest(nullptr);
        dest.SetBits(background.data(), dw, dh, true);
        draw(dest);
        return Pixels(dest);
    };
    const std::vector<uint32_t> plain = drawAt(PixelRows::SimdLevel::Plain);
    for (PixelRows::SimdLevel level : test::SimdLevels())
        if (drawAt(level) != plain)
            return ::testing::AssertionFailure() << "the " << test::SimdLevelName(level) << " forms drew other pixels";
    return ::testing::AssertionSuccess();
}

TEST(PixelRowsTest, MemoryImageBlitsMatchPlainForms) {
    std::mt19937 rng(99);
    const Color tints[] = {Color::White, Color(128, 128, 128), Color(200, 30, 90, 160), Color(255, 255, 255, 77)};
    for (int round = 0; round < 60; ++round) {
        const int sw = 1 + static_cast<int>(Next(rng) % 23), sh = 1 + static_cast<int>(Next(rng) % 7);
        const int dw = 1 + static_cast<int>(Next(rng) % 29), dh = 1 + static_cast<int>(Next(rng) % 9);
        auto source = RandomImage(rng, sw, sh, false, round % 3 == 2);
        // Opaque destinations take the run path, translucent ones the blend path.
        const std::vector<uint32_t> background = RandomPixels(rng, static_cast<size_t>(dw) * dh, round % 2 == 0);
        const int x = static_cast<int>(Next(rng) % 9) - 3, y = static_cast<int>(Next(rng) % 5) - 2;
        const Rect srcRect(static_cast<int>(Next(rng) % 3), 0, sw, sh);
        for (const Color& tint : tints) {
            for (int mode : {DRAWMODE_NORMAL, DRAWMODE_ADDITIVE}) {
                ASSERT_TRUE(SameBothWays(background, dw, dh,
                                         [&](MemoryImage& dest) { dest.Blt(source.get(), x, y, srcRect, tint, mode); }))
                        << "round " << round << " mode " << mode << " tint " << tint.red;
            }
        }
    }
}

TEST(PixelRowsTest, UntintedAdditiveBlitAddsWeightedColoursAndFollowsPixelChanges) {
    // The untinted additive blit of a translucent source (kept weighted colours) against the
    // weighting add run on the source's own rows, plain and palettised; after the source's
    // pixels change, the next blit adds the new ones.
    SimdSwitch keep;
    std::mt19937 rng(2024);
    const uint32_t k[3] = {255, 255, 255};
    for (int round = 0; round < 12; ++round) {
        const int sw = 1 + static_cast<int>(Next(rng) % 19), sh = 1 + static_cast<int>(Next(rng) % 6);
        auto source = RandomImage(rng, sw, sh, false, round % 3 == 2);
        const int dw = sw + 6, dh = sh + 3;
        const std::vector<uint32_t> background = RandomPixels(rng, static_cast<size_t>(dw) * dh, round % 2 == 0);
        const int x = static_cast<int>(Next(rng) % 5) - 2, y = static_cast<int>(Next(rng) % 3) - 1;
        for (int change = 0; change < 2; ++change) {
            if (change == 1) {
                // New pixels written in place: the kept colours must not outlive them.
                uint32_t* bits = source->GetBits();
                for (int i = 0; i < sw * sh; ++i) bits[i] = RandomPixel(rng, RandomAlpha(rng));
                bits[0] = 0x80FFFFFFu;  // keeps the source translucent
                source->MarkBitsChanged();
            }
            const std::vector<uint32_t> pixels = Pixels(*source);
            std::vector<uint32_t> expected = background;
            PixelRows::SetSimdEnabled(false);
            for (int row = 0; row < sh; ++row) {
                const int dy = y + row;
                if (dy < 0 || dy >= dh) continue;
                const int from = std::max(0, -x), to = std::min(sw, dw - x);
                if (to > from)
                    PixelRows::AddRow(expected.data() + static_cast<size_t>(dy) * dw + x + from,
                                      pixels.data() + static_cast<size_t>(row) * sw + from, to - from, true, true, k);
            }
            for (int simd = 0; simd <= static_cast<int>(PixelRows::BestSimdLevel()); ++simd) {
                PixelRows::SetSimdLevel(static_cast<PixelRows::SimdLevel>(simd));
                MemoryImage dest(nullptr);
                dest.SetBits(background.data(), dw, dh, true);
                dest.Blt(source.get(), x, y, Rect(0, 0, sw, sh), Color::White, DRAWMODE_ADDITIVE);
                ASSERT_EQ(expected, Pixels(dest)) << "round " << round << " change " << change << " simd " << simd;
            }
        }
    }
}

TEST(PixelRowsTest, RunBlitsOverOpaqueImagesMatchThePlainRunWalk) {
    // Untinted blits onto wholly opaque images (the run path): the SSE2 group loop against the
    // plain walk of the source's alpha runs, plain and palettised sources, mostly opaque and
    // mixed, clipped at every side.
    std::mt19937 rng(555);
    for (int round = 0; round < 60; ++round) {
        const int sw = 1 + static_cast<int>(Next(rng) % 37), sh = 1 + static_cast<int>(Next(rng) % 7);
        const int dw = 1 + static_cast<int>(Next(rng) % 41), dh = 1 + static_cast<int>(Next(rng) % 9);
        auto source = RandomImage(rng, sw, sh, round % 2 == 0, round % 3 == 2);
        std::vector<uint32_t> background = RandomPixels(rng, static_cast<size_t>(dw) * dh, true);
        for (uint32_t& p : background) p |= 0xFF000000u;
        const int x = static_cast<int>(Next(rng) % 9) - 3, y = static_cast<int>(Next(rng) % 5) - 2;
        const Rect srcRect(static_cast<int>(Next(rng) % 3), 0, sw, sh);
        ASSERT_TRUE(SameBothWays(
                background, dw, dh,
                [&](MemoryImage& dest) { dest.Blt(source.get(), x, y, srcRect, Color::White, DRAWMODE_NORMAL); }))
                << "round " << round;
    }
}

TEST(PixelRowsTest, RotatedBlitsMatchPlainForms) {
    // The lane form of the rotated rows against the plain one, over turned and sub-pixel
    // placements, opaque and translucent destinations, both modes and tints (tinted and
    // palettised blits keep the plain form, and must be unchanged by the switch too).
    std::mt19937 rng(7);
    const Color tints[] = {Color::White, Color(200, 30, 90, 160)};
    for (int round = 0; round < 80; ++round) {
        const int sw = 2 + static_cast<int>(Next(rng) % 40), sh = 2 + static_cast<int>(Next(rng) % 30);
        const int dw = 1 + static_cast<int>(Next(rng) % 50), dh = 1 + static_cast<int>(Next(rng) % 40);
        auto source = RandomImage(rng, sw, sh, round % 4 != 3, round % 5 == 4);
        const std::vector<uint32_t> background = RandomPixels(rng, static_cast<size_t>(dw) * dh, round % 2 == 0);
        const double angle = round % 6 == 0 ? 0.0 : (static_cast<double>(Next(rng) % 6284) / 1000.0 - 3.142);
        const float x = static_cast<float>(Next(rng) % 2000) / 100.0f - 8.0f;
        const float y = static_cast<float>(Next(rng) % 2000) / 100.0f - 8.0f;
        const float cx = static_cast<float>(Next(rng) % 100) / 10.0f, cy = static_cast<float>(Next(rng) % 100) / 10.0f;
        const Rect srcRect(0, 0, sw, sh);
        for (const Color& tint : tints) {
            for (int mode : {DRAWMODE_NORMAL, DRAWMODE_ADDITIVE}) {
                ASSERT_TRUE(SameBothWays(background, dw, dh,
                                         [&](MemoryImage& dest) {
                                             dest.BltRotated(source.get(), x, y, srcRect, Rect(0, 0, dw, dh), tint,
                                                             mode, angle, cx, cy);
                                         }))
                        << "round " << round << " mode " << mode << " angle " << angle;
            }
        }
    }
}

}  // namespace
