// Surface images: the choice of path, the surface's life (build, colour key, read-back,
// locks), and the fill and line routines, in every surface format on padded rows.
#include <gtest/gtest.h>

#include "graphics/TriangleRasterizer.h"
#include "tests/graphics/DisplayFixture.h"

namespace Velm {
namespace {

using test::AllFormats;
using test::DisplayRig;
using test::ForEachFormat;
using test::SurfaceFormat;
using test::SurfaceValue;
using test::SurfaceValues;

uint32_t Masks(const DDInterface& d) { return d.mRedMask | d.mGreenMask | d.mBlueMask; }

// A channel value (0..255) placed in a mask: the top bits of the byte.
uint32_t Put(const DDInterface& d, int channel, uint32_t value) {
    const int bits[3] = {d.mRedBits, d.mGreenBits, d.mBlueBits};
    const int shifts[3] = {d.mRedShift, d.mGreenShift, d.mBlueShift};
    return (value >> (8 - bits[channel])) << shifts[channel];
}

TEST(SurfaceImage, EveryFormatSetsUp) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) { EXPECT_EQ(rig.result, RESULT_OK); });
}

TEST(SurfaceImage, TranslucentImagesStayInMemory) {
    DisplayRig rig(AllFormats()[0]);
    auto image = rig.Filled(4, 4, 0x80FF0000);
    image->FillRect(Rect(0, 0, 2, 2), Color(0, 255, 0), 0);
    image->DrawLine(0, 3, 1, 2, Color(0, 0, 255), 0);
    image->Blt(rig.Filled(2, 2, 0xFFFFFFFF).get(), 2, 2, Rect(0, 0, 2, 2), Color::White, 0);
    EXPECT_EQ(image->mSurface, nullptr);
    EXPECT_FALSE(image->BuildSurface());
    EXPECT_EQ(image->GetBits()[0], 0xFF00FF00u);
    EXPECT_EQ(image->GetBits()[15], 0xFFFFFFFFu);
}

TEST(SurfaceImage, ReadBackAfterSurfacePath) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        auto image = rig.Filled(3, 2, 0xFF102030);
        image->FillRect(Rect(0, 0, 1, 1), Color(255, 255, 255), 0);
        ASSERT_NE(image->mSurface, nullptr);
        EXPECT_EQ(image->bits, nullptr);  // the surface holds the only copy
        const uint32_t* bits = image->GetBits();
        ASSERT_NE(bits, nullptr);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(bits[i] >> 24, 255u);
        EXPECT_EQ(bits[6], MemoryImage::kGuardWord);
        const uint32_t white16 = f.use555 ? 0xFFF8F8F8u : 0xFFF8FCF8u;
        EXPECT_EQ(bits[0], f.bits == 16 ? white16 : 0xFFFFFFFFu);
        EXPECT_TRUE(image->mSurface->CanariesIntact());
    });
}

TEST(SurfaceImage, ColourKeyedImageReadsBackTransparent) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        // The first transparent pixel's colour collides with an opaque one: another key is
        // searched.
        auto image = rig.Image(3, 1, {0x00000000, 0xFF000000, 0xFFFFFFFF});
        ASSERT_TRUE(image->BuildSurface());
        ASSERT_TRUE(image->mSurface->HasColorKey());
        const uint32_t key = image->mSurface->ColorKey();
        EXPECT_NE(key, SurfaceValue(*image, 1, 0));
        EXPECT_NE(key, SurfaceValue(*image, 2, 0));
        EXPECT_EQ(SurfaceValue(*image, 0, 0), key);
        // A display reset: the caches are freed (surface read back), then restored.
        image->DropMemoryCopies();
        image->FreeAllCaches();
        EXPECT_EQ(image->mSurface, nullptr);
        ASSERT_NE(image->bits, nullptr);
        EXPECT_EQ(image->bits[0] >> 24, 0u);
        EXPECT_EQ(image->bits[1], 0xFF000000u);
        image->MarkBitsChanged();
        image->RefreshAlphaFlags();
        EXPECT_TRUE(image->hasTrans);
        EXPECT_TRUE(image->RestoreSurface());
        EXPECT_NE(image->mSurface, nullptr);
    });
}

TEST(SurfaceImage, ImageOutlivingTheDisplayKeepsItsPixels) {
    std::unique_ptr<DDImage> image;
    {
        DisplayRig rig(AllFormats()[2]);
        image = rig.Target(2, 2, 0xFF0A0B0C);
        EXPECT_EQ(image->bits, nullptr);
    }
    EXPECT_EQ(image->mDDInterface, nullptr);
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->bits[0], 0xFF0A0B0Cu);
    image->FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0), 0);
    EXPECT_EQ(image->GetBits()[0], 0xFFFF0000u);
}

TEST(SurfaceImage, NestedLocks) {
    DisplayRig rig(AllFormats()[2]);
    auto image = rig.Filled(2, 2, 0xFF000000);
    ASSERT_TRUE(image->LockSurface());
    ASSERT_TRUE(image->LockSurface());
    EXPECT_EQ(image->mLockCount, 2);
    EXPECT_TRUE(image->mSurface->IsLocked());
    image->UnlockSurface();
    EXPECT_TRUE(image->mSurface->IsLocked());
    image->UnlockSurface();
    EXPECT_FALSE(image->mSurface->IsLocked());
    EXPECT_EQ(image->mLockCount, 0);
}

// A display copy inside an outer lock unlocks and locks again; when that second lock fails,
// the next routine locks afresh instead of writing through a stale pointer.
TEST(SurfaceImage, FailedRelockAfterDisplayCopy) {
    DisplayRig rig(AllFormats()[2]);
    auto dest = rig.Target(4, 4, 0xFF000000);
    auto source = rig.Target(2, 2, 0xFFFFFFFF);
    ASSERT_TRUE(dest->LockSurface());
    plat::dd::InjectFault(plat::dd::Op::Lock, plat::dd::kErrSurfaceLost);
    dest->Blt(source.get(), 0, 0, Rect(0, 0, 2, 2), Color::White, 0);
    dest->FillRect(Rect(3, 3, 1, 1), Color(255, 255, 255), 0);
    dest->UnlockSurface();
    EXPECT_FALSE(dest->mSurface->IsLocked());
    EXPECT_EQ(SurfaceValue(*dest, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(SurfaceValue(*dest, 3, 3), 0xFFFFFFu);
}

TEST(SurfaceImage, VideoMemorySwitch) {
    DisplayRig rig(AllFormats()[2]);
    auto image = rig.Target(2, 2, 0xFF112233);
    plat::dd::Surface* before = image->mSurface.get();
    image->SetVideoMemory(false);
    EXPECT_EQ(image->mSurface.get(), before);
    image->SetVideoMemory(true);
    EXPECT_EQ(image->mSurface, nullptr);
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->bits[0], 0xFF112233u);
}

TEST(SurfaceImage, CreateKeepsAlphaFlags) {
    DisplayRig rig(AllFormats()[0]);
    auto image = rig.Filled(2, 2, 0xFF000000);
    image->hasTrans = false;
    image->hasAlpha = false;
    image->Create(5, 5);
    EXPECT_FALSE(image->hasTrans);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_EQ(image->width, 5);
}

// Fault of the old design: a surface routine that could not lock dropped the only pixels.
TEST(SurfaceImage, FailedLockKeepsThePixels) {
    DisplayRig rig(AllFormats()[0]);
    auto image = rig.Filled(2, 2, 0xFF336699);
    plat::dd::InjectFault(plat::dd::Op::Lock, plat::dd::kErrSurfaceBusy);
    image->FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0), 0);
    ASSERT_NE(image->bits, nullptr);
    EXPECT_EQ(image->bits[0], 0xFF336699u);
    plat::dd::InjectFault(plat::dd::Op::CreateSurface, plat::dd::kErrOutOfMemory);
    auto other = rig.Filled(2, 2, 0xFF336699);
    other->DrawLine(0, 0, 1, 1, Color(255, 0, 0), 0);
    ASSERT_NE(other->bits, nullptr);
    EXPECT_EQ(other->bits[3], 0xFF336699u);
}

TEST(SurfaceImage, DegenerateLinesBecomeFills) {
    DisplayRig rig(AllFormats()[2]);
    auto image = rig.Target(6, 8, 0xFF000000);
    image->DrawLine(3.0, 5.0, 3.0, 5.0, Color(255, 255, 255), 0);
    std::vector<uint32_t> values = SurfaceValues(*image);
    int changed = 0;
    for (uint32_t v : values) changed += v != 0;
    EXPECT_EQ(changed, 1);
    EXPECT_NE(SurfaceValue(*image, 3, 5), 0u);
    image->DrawLineAA(0.0, 1.0, 5.0, 1.0, Color(255, 255, 255), 0);
    for (int x = 0; x < 6; ++x) EXPECT_NE(SurfaceValue(*image, x, 1), 0u);
}

TEST(SurfaceImage, AdditiveAntiAliasedLineDrawsNothingButDropsCopies) {
    DisplayRig rig(AllFormats()[0]);
    auto image = rig.Filled(4, 4, 0xFF000000);
    ASSERT_TRUE(image->BuildSurface());
    image->DrawLineAA(0, 0, 3, 2, Color(255, 255, 255), 1);
    EXPECT_EQ(image->bits, nullptr);
    for (uint32_t v : SurfaceValues(*image)) EXPECT_EQ(v, 0u);
}

TEST(SurfaceImage, CoverageSpansWithNoSpansDoNothing) {
    DisplayRig rig(AllFormats()[0]);
    auto image = rig.Filled(4, 4, 0xFF000000);
    image->FillSpansWithCoverage(nullptr, 0, Color(255, 255, 255), 0, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(image->mSurface, nullptr);
    EXPECT_NE(image->bits, nullptr);
}

int gLastFormat = 0;
void CaptureFormat(const TriVertex*, int, const StripTexture*, const Color&, int, const Rect&,
                   const StripTarget& target, bool, bool) {
    gLastFormat = target.pixelFormat;
}

TEST(SurfaceImage, MatrixBlitFormatCodes) {
    const TriangleStripRasterizer previous = GetTriangleStripRasterizer();
    SetTriangleStripRasterizer(&CaptureFormat);
    const int expected[] = {0x565, 0x555, 0x888, 0x888, 0};
    for (size_t i = 0; i < AllFormats().size(); ++i) {
        SCOPED_TRACE(AllFormats()[i].name);
        DisplayRig rig(AllFormats()[i]);
        auto image = rig.Target(8, 8, 0xFF000000);
        auto source = rig.Filled(2, 2, 0xFFFFFFFF);
        gLastFormat = 0;
        image->BltMatrix(source.get(), 4, 4, Matrix3(), Rect(0, 0, 8, 8), Color::White, 0, Rect(0, 0, 2, 2), false);
        EXPECT_EQ(gLastFormat, expected[i]);
    }
    SetTriangleStripRasterizer(previous);
}

// ---- Fills ----

TEST(SurfaceFill, OpaqueAndTranslucentFills) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        auto image = rig.Target(8, 4, 0xFF000000);
        image->FillRect(Rect(1, 1, 3, 2), Color(255, 255, 255), 0);
        // White fills the whole field in every format.
        const uint32_t white = f.bits == 16 ? Masks(d) : 0xFFFFFFu;
        EXPECT_EQ(SurfaceValue(*image, 1, 1), white);
        EXPECT_EQ(SurfaceValue(*image, 3, 2), white);
        EXPECT_EQ(SurfaceValue(*image, 0, 0), 0u);
        EXPECT_EQ(SurfaceValue(*image, 4, 1), 0u);
        // Half-transparent red over that white.
        image->FillRect(Rect(1, 1, 1, 1), Color(255, 0, 0, 128), 0);
        uint32_t expected = 0;
        const uint32_t m[3] = {d.mRedMask, d.mGreenMask, d.mBlueMask};
        const uint32_t c[3] = {255, 0, 0};
        for (int k = 0; k < 3; ++k) {
            if (f.bits == 16)
                expected += (((((c[k] * 128 + 128) >> 8) + 1) * m[k]) >> 8) & m[k];
            else
                expected += (((((c[k] * 128 + 127) >> 8) + 1) * m[k]) >> 8) & m[k];
        }
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = white & m[k];
            expected += f.bits == 16 ? (((v * 128 + m[k]) >> 8) & m[k]) : (((v * 128) >> 8) & m[k]);
        }
        EXPECT_EQ(SurfaceValue(*image, 1, 1), expected);
        EXPECT_TRUE(image->mSurface->CanariesIntact());
    });
}

// A wide translucent fill over varied pixels: every pixel by the per-channel formula.
TEST(SurfaceFill, WideTranslucentFill) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        std::vector<uint32_t> pixels(19 * 3);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x0A1B2Cu + 0x10203u);
        auto image = rig.Image(19, 3, pixels);
        ASSERT_TRUE(image->BuildSurface());
        image->DropMemoryCopies();
        const std::vector<uint32_t> before = SurfaceValues(*image);
        for (int a : {1, 77, 128, 254}) {
            SCOPED_TRACE(a);
            const std::vector<uint32_t> start = SurfaceValues(*image);
            image->FillRect(Rect(1, 0, 17, 3), Color(200, 30, 255, a), 0);
            const uint32_t m[3] = {d.mRedMask, d.mGreenMask, d.mBlueMask};
            const uint32_t c[3] = {200, 30, 255};
            const uint32_t A = static_cast<uint32_t>(a);
            uint32_t F = 0;
            for (int k = 0; k < 3; ++k)
                F += (((((c[k] * A + (f.bits == 16 ? 128 : 127)) >> 8) + 1) * m[k]) >> 8) & m[k];
            const std::vector<uint32_t> after = SurfaceValues(*image);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 19; ++x) {
                    const uint32_t v = start[y * 19 + x];
                    uint32_t expected = v;
                    if (x >= 1 && x < 18) {
                        expected = F;
                        for (int k = 0; k < 3; ++k)
                            expected += f.bits == 16 ? ((((v & m[k]) * (256 - A) + m[k]) >> 8) & m[k])
                                                     : ((((v & m[k]) * (256 - A)) >> 8) & m[k]);
                    }
                    EXPECT_EQ(after[y * 19 + x], expected) << x << "," << y;
                }
        }
        EXPECT_NE(SurfaceValues(*image), before);
        EXPECT_TRUE(image->mSurface->CanariesIntact());
    });
}

TEST(SurfaceFill, AdditiveFills) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        auto image = rig.Target(4, 4, 0xFF204060);
        const std::vector<uint32_t> before = SurfaceValues(*image);
        image->FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255, 0), 1);
        EXPECT_EQ(SurfaceValues(*image), before);
        image->FillRect(Rect(0, 0, 2, 2), Color(0, 64, 255, 255), 1);
        // Green adds its top bits; blue saturates.
        EXPECT_EQ(SurfaceValue(*image, 0, 0), Put(d, 0, 0x20) | (Put(d, 1, 0x40) + Put(d, 1, 64)) | d.mBlueMask);
        image->FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255, 255), 1);
        EXPECT_EQ(SurfaceValue(*image, 3, 3), Masks(d));
        EXPECT_TRUE(image->mSurface->CanariesIntact());
    });
}

// ---- Lines ----

TEST(SurfaceLine, BresenhamWalkAndColour) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        auto image = rig.Target(6, 4, 0xFF000000);
        image->DrawLine(0, 0, 3, 1, Color(255, 255, 255), 0);
        // PH of white: one step below full in every channel.
        const uint32_t m[3] = {d.mRedMask, d.mGreenMask, d.mBlueMask};
        uint32_t ph = 0;
        for (uint32_t mask : m) ph += ((255 * mask + (mask >> 1)) >> 8) & mask;
        const std::pair<int, int> drawn[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}};
        int count = 0;
        for (uint32_t v : SurfaceValues(*image)) count += v != 0;
        EXPECT_EQ(count, 4);
        for (const auto& p : drawn) EXPECT_EQ(SurfaceValue(*image, p.first, p.second), ph);
        if (f.bits == 16 && !f.use555 && !f.bgr) {
            EXPECT_EQ(ph, (30u << 11) | (62u << 5) | 30u);
        }
        // A y-major line, drawn in the other direction, gives the same pixels.
        auto other = rig.Target(4, 6, 0xFF000000);
        other->DrawLine(1, 3, 0, 0, Color(255, 255, 255), 1);
        int additive = 0;
        for (uint32_t v : SurfaceValues(*other)) additive += v != 0;
        EXPECT_EQ(additive, 4);
        EXPECT_EQ(SurfaceValue(*other, 0, 0), Masks(d));
        EXPECT_TRUE(image->mSurface->CanariesIntact());
        EXPECT_TRUE(other->mSurface->CanariesIntact());
    });
}

TEST(SurfaceLine, AntiAliasedLines) {
    ForEachFormat([&](const SurfaceFormat& f, DisplayRig& rig) {
        auto image = rig.Target(8, 8, 0xFF000000);
        image->DrawLineAA(0, 0, 4, 4, Color(255, 255, 255), 0);
        const uint32_t first = SurfaceValue(*image, 0, 0);
        if (f.bits == 32) {
            EXPECT_EQ(first, 0xFDFDFDu);  // white (0xFEFEFE) at weight 255
        } else {
            EXPECT_NE(first, 0u);
        }
        EXPECT_NE(SurfaceValue(*image, 4, 4), 0u);
        EXPECT_NE(SurfaceValue(*image, 2, 2), 0u);
        EXPECT_TRUE(image->mSurface->CanariesIntact());

        // Truncated end points that coincide: that one pixel only.
        auto point = rig.Target(8, 8, 0xFF000000);
        point->DrawLineAA(3.2, 5.1, 3.7, 5.6, Color(255, 255, 255), 0);
        int changed = 0;
        for (uint32_t v : SurfaceValues(*point)) changed += v != 0;
        EXPECT_EQ(changed, 1);
        EXPECT_NE(SurfaceValue(*point, 3, 5), 0u);
    });
}

// Fault of the old design: the side pixel of a steep line at column 0 landed in the previous
// row (and at the last column, in the row's padding).
TEST(SurfaceLine, AntiAliasedSidePixelStaysInTheRow) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        auto left = rig.Target(4, 8, 0xFF000000);
        left->DrawLineAA(1.5, 0.5, 0.2, 7.5, Color(255, 255, 255), 0);
        for (int y = 0; y < 8; ++y) EXPECT_EQ(SurfaceValue(*left, 3, y), 0u) << y;
        EXPECT_TRUE(left->mSurface->CanariesIntact());
        auto right = rig.Target(4, 8, 0xFF000000);
        right->DrawLineAA(2.5, 0.5, 3.7, 7.5, Color(255, 255, 255), 0);
        EXPECT_TRUE(right->mSurface->CanariesIntact());
    });
}

TEST(SurfaceFill, CoverageSpans) {
    ForEachFormat([&](const SurfaceFormat&, DisplayRig& rig) {
        const DDInterface& d = *rig.display;
        auto image = rig.Target(4, 2, 0xFF000000);
        const uint8_t coverage[8] = {255, 0, 128, 255, 0, 0, 0, 0};
        const Span spans[] = {Span(0, 0, 4)};
        image->FillSpansWithCoverage(spans, 1, Color(255, 255, 255), 0, coverage, 0, 0, 4, 2);
        const uint32_t m[3] = {d.mRedMask, d.mGreenMask, d.mBlueMask};
        const uint32_t P = ((255 * m[0]) >> 8 & m[0]) + ((255 * m[1]) >> 8 & m[1]) + ((255 * m[2]) >> 8 & m[2]);
        auto expect = [&](uint32_t A) {
            uint32_t out = 0;
            for (uint32_t mask : m) out += (((P & mask) * A) >> 8) & mask;
            return out;
        };
        EXPECT_EQ(SurfaceValue(*image, 0, 0), expect(255));
        EXPECT_EQ(SurfaceValue(*image, 1, 0), 0u);
        EXPECT_EQ(SurfaceValue(*image, 2, 0), expect((129 * 255) >> 8));
        EXPECT_EQ(SurfaceValue(*image, 0, 1), 0u);
        EXPECT_TRUE(image->mSurface->CanariesIntact());
    });
}

}  // namespace
}  // namespace Velm
