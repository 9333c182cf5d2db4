// The strip entry: clipping, conversion, flags, and the invariants that hold
// for every format and feature set (nothing outside the clip, padded rows
// untouched, transparent textures change nothing).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "raster/RasterizeTriangleStrip.h"
#include "raster/TriangleClipper.h"
#include "raster/TriangleRasterizerTable.h"
#include "tests/raster/RasterTestUtil.h"

namespace {

using namespace RasterTest;
using Velm::RasterColor;
using Velm::RasterRect;
using Velm::RasterTarget;
using Velm::RasterTextureImage;
using Velm::TriVertex;

constexpr RasterColor kWhiteColor{255, 255, 255, 255};
const uint32_t kFormats[] = {0x8888, 0x888, 0x565, 0x555};

RasterTarget Target(Canvas& canvas) {
    return RasterTarget{canvas.data(), canvas.width, canvas.height, canvas.pitch, canvas.format};
}

void Strip(Canvas& canvas, const std::vector<TriVertex>& vertices, const RasterTextureImage* texture,
           const RasterColor& colour, const RasterRect& clip, bool bilinear, bool vertexColors, int drawMode = 0) {
    Velm::InitTriangleRasterizers();
    Velm::RasterizeTriangleStrip(vertices.data(), static_cast<int>(vertices.size()), texture, colour, drawMode, clip,
                                 Target(canvas), bilinear, vertexColors);
}

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    float Range(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Next() % 65536) / 65535.0f; }
};

TEST(RasterStrip, ShortStripsDrawNothing) {
    const std::vector<TriVertex> all{{0, 0, 0, 0, 0xffffffff}, {8, 0, 0, 0, 0xffffffff}, {0, 8, 0, 0, 0xffffffff}};
    for (int count = 0; count < 3; ++count) {
        SCOPED_TRACE(count);
        Canvas canvas(0x8888, 8, 8);
        const std::vector<uint8_t> before = canvas.bytes;
        Velm::InitTriangleRasterizers();
        Velm::RasterizeTriangleStrip(all.data(), count, nullptr, kWhiteColor, 0, RasterRect{0, 0, 8, 8}, Target(canvas),
                                     false, true);
        EXPECT_EQ(canvas.bytes, before);
    }
}

TEST(RasterStrip, FourVerticesDrawTwoTrianglesOfOneSquare) {
    // (V0, V1, V2) then (V1, V3, V2): an 8 x 8 square with no pixel twice
    // (a second blend would darken it).
    const std::vector<TriVertex> quad{
            {0, 0, 0, 0, 0x80ffffff}, {8, 0, 0, 0, 0x80ffffff}, {0, 8, 0, 0, 0x80ffffff}, {8, 8, 0, 0, 0x80ffffff}};
    Canvas canvas(0x8888, 12, 12);
    canvas.Fill(Argb(255, 0, 0, 0));
    Strip(canvas, quad, nullptr, kWhiteColor, RasterRect{0, 0, 12, 12}, false, true);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(canvas.Get(x, y), x < 8 && y < 8 ? Argb(255, 127, 127, 127) : Argb(255, 0, 0, 0))
                    << x << "," << y;
}

TEST(RasterStrip, LastColumnAndRowOfTheClipAreNotDrawn) {
    const std::vector<TriVertex> quad{{-10, -10, 0, 0, 0xffffffff},
                                      {200, -10, 0, 0, 0xffffffff},
                                      {-10, 200, 0, 0, 0xffffffff},
                                      {200, 200, 0, 0, 0xffffffff}};
    for (uint32_t format : kFormats) {
        SCOPED_TRACE(format);
        Canvas canvas(format, 100, 50);
        canvas.Fill(0);
        Strip(canvas, quad, nullptr, kWhiteColor, RasterRect{0, 0, 100, 50}, false, true);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x) ASSERT_EQ(canvas.Get(x, y) != 0, x < 99 && y < 49) << x << "," << y;
    }
}

TEST(RasterStrip, PaddedRowsAndBytesOutsideTheClipKeepTheirCanaries) {
    Lcg rng{4242};
    const std::vector<uint32_t> texels(16 * 16, Argb(128, 200, 100, 50));
    const RasterTextureImage texture{texels.data(), 16, 16, false, true};
    for (uint32_t format : kFormats) {
        for (unsigned pad : {0u, 3u, 6u, 10u}) {
            for (int features = 0; features < 8; ++features) {
                SCOPED_TRACE(testing::Message() << format << " pad " << pad << " features " << features);
                const bool textured = (features & 1) != 0;
                const bool bilinear = (features & 2) != 0;
                const RasterColor colour = (features & 4) != 0 ? RasterColor{200, 150, 100, 180} : kWhiteColor;
                Canvas canvas(format, 30, 20, pad);
                const RasterRect clip{4, 3, 20, 12};
                std::vector<TriVertex> strip;
                for (int i = 0; i < 12; ++i) {
                    strip.push_back(TriVertex{rng.Range(-20, 50), rng.Range(-20, 40), rng.Range(-1, 2),
                                              rng.Range(-1, 2), 0xc0ffffff ^ (rng.Next() & 0x3f3f3f3f)});
                }
                Strip(canvas, strip, textured ? &texture : nullptr, colour, clip, bilinear, true);
                const size_t rowStep = canvas.rowStep();
                for (size_t i = 0; i < canvas.bytes.size(); ++i) {
                    const int y = static_cast<int>(i / rowStep);
                    const int x = static_cast<int>((i % rowStep) / static_cast<size_t>(canvas.bpp()));
                    const bool inside = y >= clip.y && y < clip.y + clip.height - 1 && x >= clip.x &&
                                        x < clip.x + clip.width - 1 &&
                                        (i % rowStep) < size_t(canvas.width) * canvas.bpp();
                    if (!inside) {
                        ASSERT_EQ(canvas.bytes[i], 0xa5) << "byte " << i;
                    }
                }
            }
        }
    }
}

TEST(RasterStrip, FullyTransparentTextureChangesNothing) {
    Lcg rng{31337};
    std::vector<uint32_t> texels(8 * 8);
    for (uint32_t& t : texels) t = rng.Next() & 0x00ffffff;
    const RasterTextureImage texture{texels.data(), 8, 8, true, false};
    const std::vector<TriVertex> quad{
            {1, 1, 0, 0, 0xff808080}, {30, 2, 1, 0, 0xffffffff}, {2, 25, 0, 1, 0x80ffffff}, {28, 27, 1, 1, 0x10ffffff}};
    for (uint32_t format : kFormats) {
        for (int features = 0; features < 8; ++features) {
            SCOPED_TRACE(testing::Message() << format << " features " << features);
            Canvas canvas(format, 32, 32);
            for (uint8_t& b : canvas.bytes) b = static_cast<uint8_t>(rng.Next());
            const std::vector<uint8_t> before = canvas.bytes;
            const RasterColor colour = (features & 4) != 0 ? RasterColor{255, 128, 64, 100} : kWhiteColor;
            Strip(canvas, quad, &texture, colour, RasterRect{0, 0, 32, 32}, (features & 1) != 0, (features & 2) != 0);
            EXPECT_EQ(canvas.bytes, before);
        }
    }
}

TEST(RasterStrip, TextureCoordinatesAreScaledToTexels) {
    // u = 0.5 on a texture three texels wide is 1.5 texels: texel 1.
    const std::vector<uint32_t> texels{Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255)};
    const RasterTextureImage texture{texels.data(), 3, 1, false, false};
    const std::vector<TriVertex> tri{{0, 0, 0.5f, 0.5f, 0}, {8, 0, 0.5f, 0.5f, 0}, {0, 8, 0.5f, 0.5f, 0}};
    Canvas canvas(0x8888, 8, 8);
    canvas.Fill(0);
    Strip(canvas, tri, &texture, kWhiteColor, RasterRect{0, 0, 8, 8}, false, false);
    EXPECT_EQ(canvas.Get(1, 1), Argb(255, 0, 255, 0));
}

TEST(RasterStrip, FractionalPositionsTruncateToFixedPoint) {
    // x = 2.5: the first pixel of every line is 3.
    const std::vector<TriVertex> tri{
            {2.5f, 0, 0, 0, 0xffffffff}, {8, 0, 0, 0, 0xffffffff}, {2.5f, 6, 0, 0, 0xffffffff}};
    Canvas canvas(0x8888, 10, 10);
    canvas.Fill(0);
    Strip(canvas, tri, nullptr, kWhiteColor, RasterRect{0, 0, 10, 10}, false, true);
    EXPECT_EQ(canvas.Get(2, 0), 0u);
    EXPECT_NE(canvas.Get(3, 0), 0u);
    EXPECT_NE(canvas.Get(7, 0), 0u);
    EXPECT_EQ(canvas.Get(8, 0), 0u);
}

struct FlagCase {
    const char* why;
    RasterColor colour;
    bool hasTrans, hasAlpha, bilinear;
    uint32_t dest;
    uint32_t expected;  // pixel (0, 0) of a one-to-one mapped 4 x 4 white texture
};

TEST(RasterStrip, FlagsFollowTheColourAndTheTexture) {
    const std::vector<uint32_t> texels(16, 0xffffffffu);
    const FlagCase cases[] = {
            {"opaque white is no tint", kWhiteColor, false, false, false, 0, Argb(255, 255, 255, 255)},
            {"alpha 254 tints", RasterColor{255, 255, 255, 254}, false, false, false, 0, Argb(255, 254, 254, 254)},
            {"bilinear on an opaque texture blends", kWhiteColor, false, false, true, 0, Argb(62, 251, 251, 251)},
            {"bilinear over opaque black", kWhiteColor, false, false, true, Argb(255, 0, 0, 0), Argb(255, 62, 62, 62)},
            {"translucent texture without bilinear", kWhiteColor, false, true, false, 0, Argb(255, 255, 255, 255)},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.why);
        const RasterTextureImage texture{texels.data(), 4, 4, c.hasTrans, c.hasAlpha};
        // u = x and v = y in texels at each pixel's sample point.
        const std::vector<TriVertex> tri{{0, 0, 0, 0, 0}, {8, 0, 2, 0, 0}, {0, 8, 0, 2, 0}};
        Canvas canvas(0x8888, 16, 16);
        canvas.Fill(c.dest);
        Strip(canvas, tri, &texture, c.colour, RasterRect{0, 0, 16, 16}, c.bilinear, false);
        EXPECT_EQ(canvas.Get(0, 0), c.expected);
    }
}

struct MappingCase {
    int x, y;
    uint32_t unblended, blendedOverClear;
};

TEST(RasterStrip, OneToOneBilinearMappingAtTheTextureBorder) {
    const std::vector<uint32_t> texels(16, 0xffffffffu);
    const Velm::RasterTexture texture = Texture(texels, 4, 4);
    const Velm::RasterVertex tri[3] = {Vertex(0, 0, 0, 0, 0), Vertex(8, 0, 0, 8, 0), Vertex(0, 8, 0, 0, 8)};
    const MappingCase cases[] = {
            {0, 0, Argb(255, 62, 62, 62), Argb(62, 251, 251, 251)},
            {1, 0, Argb(255, 125, 125, 125), Argb(125, 253, 253, 253)},
            {3, 0, Argb(255, 125, 125, 125), Argb(125, 253, 253, 253)},
            {0, 1, Argb(255, 188, 188, 188), Argb(188, 254, 254, 254)},
            {1, 1, Argb(255, 251, 251, 251), Argb(255, 251, 251, 251)},
    };
    Canvas unblended(0x8888, 16, 16), blended(0x8888, 16, 16);
    unblended.Fill(0);
    blended.Fill(0);
    Draw(unblended, Velm::kRasterTextured | Velm::kRasterBilinear, tri, &texture, Velm::RasterTint{});
    Draw(blended, Velm::kRasterTextured | Velm::kRasterBlended | Velm::kRasterBilinear, tri, &texture,
         Velm::RasterTint{});
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(unblended.Get(c.x, c.y), c.unblended);
        EXPECT_EQ(blended.Get(c.x, c.y), c.blendedOverClear);
    }
}

TEST(RasterStrip, NearestFetchOutsideTheTexture) {
    // u = -0.5 reads nothing (opaque black when unblended); u = 4.5 on a row
    // of four reads the first texel of the next row.
    std::vector<uint32_t> texels(8, Argb(255, 10, 10, 10));
    texels[4] = Argb(255, 1, 2, 3);
    const Velm::RasterTexture texture = Texture(texels, 4, 2);
    struct Case {
        const char* why;
        double u, v;
        uint32_t expected;
    };
    const Case cases[] = {{"negative u", -0.5, 0.5, Argb(255, 0, 0, 0)},
                          {"u past the row's end", 4.5, 0.5, Argb(255, 1, 2, 3)},
                          {"v past the last row", 0.5, 2.5, Argb(255, 0, 0, 0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Velm::RasterVertex tri[3] = {Vertex(0, 0, 0, c.u, c.v), Vertex(8, 0, 0, c.u, c.v),
                                           Vertex(0, 8, 0, c.u, c.v)};
        Canvas canvas(0x8888, 8, 8);
        canvas.Fill(Argb(0, 9, 9, 9));
        Draw(canvas, Velm::kRasterTextured, tri, &texture, Velm::RasterTint{});
        EXPECT_EQ(canvas.Get(1, 1), c.expected);
    }
}

TEST(RasterClipper, NewVertexInterpolatesFromTheOutsideVertex) {
    const TriVertex a{-10, 0, 0, 0, 0x00000000};
    const TriVertex b{10, 4, 1, 0.5f, 0xffffffff};
    TriVertex made{};
    Velm::ClipVertexAtX(a, b, made, 0);
    EXPECT_EQ(made.x, 0.0f);
    EXPECT_EQ(made.y, 2.0f);
    EXPECT_EQ(made.u, 0.5f);
    EXPECT_EQ(made.v, 0.25f);
    EXPECT_EQ(made.color, 0x7f7f7f7fu);
}

TEST(RasterClipper, PolygonsAndBounds) {
    const TriVertex t0{0, 0, 0, 0, 0}, t1{5, 0, 0, 0, 0}, t2{0, 5, 0, 0, 0};
    const TriVertex* triangle[3] = {&t0, &t1, &t2};
    const TriVertex* output[Velm::kClipListSize];
    Velm::ClipVertexPool pool;

    // Vertices exactly on the bounds stay and make no new vertex.
    EXPECT_EQ(Velm::ClipTriangle(triangle, output, 0, 5, 0, 5, pool), 3);
    EXPECT_EQ(pool.count, 0);
    EXPECT_EQ(output[0], &t0);
    EXPECT_EQ(output[1], &t1);
    EXPECT_EQ(output[2], &t2);
    EXPECT_EQ(output[3], nullptr);

    // Cutting one corner makes a quad; cutting all three a hexagon.
    EXPECT_EQ(Velm::ClipTriangle(triangle, output, 0, 4, 0, 10, pool), 4);
    EXPECT_EQ(Velm::ClipTriangle(triangle, output, 0.5f, 4, 0.5f, 4, pool), 5);
    // Wholly outside.
    EXPECT_EQ(Velm::ClipTriangle(triangle, output, 6, 9, 0, 9, pool), 0);
}

TEST(RasterStrip, TintedFansTintEachVertexOnce) {
    // A triangle cut into a pentagon is drawn as a fan of three; every pixel
    // gets the same tinted vertex colour.
    const std::vector<TriVertex> tri{{-4, -4, 0, 0, 0xffc8c8c8}, {40, 2, 0, 0, 0xffc8c8c8}, {2, 40, 0, 0, 0xffc8c8c8}};
    for (uint32_t format : kFormats) {
        SCOPED_TRACE(format);
        Canvas canvas(format, 24, 24);
        canvas.Fill(0);
        Strip(canvas, tri, nullptr, RasterColor{128, 128, 128, 255}, RasterRect{0, 0, 24, 24}, false, true);
        const uint32_t first = canvas.Get(0, 0);
        EXPECT_NE(first, 0u);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 23; ++x)
                if (canvas.Get(x, y) != 0) {
                    ASSERT_EQ(canvas.Get(x, y), first) << x << "," << y;
                }
    }
}

TEST(RasterStrip, TintedFillersLeaveTheVertexRecordsAlone) {
    Velm::RasterVertex tri[3] = {Vertex(0, 0, 0xc8643219), Vertex(8, 0, 0xc8643219), Vertex(0, 8, 0xc8643219)};
    const Velm::RasterVertex copy[3] = {tri[0], tri[1], tri[2]};
    Canvas canvas(0x8888, 8, 8);
    Draw(canvas, Velm::kRasterVertexColors | Velm::kRasterTinted, tri, nullptr, Velm::RasterTint{128, 64, 32, 16});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tri[i].a, copy[i].a);
        EXPECT_EQ(tri[i].r, copy[i].r);
        EXPECT_EQ(tri[i].g, copy[i].g);
        EXPECT_EQ(tri[i].b, copy[i].b);
    }
}

TEST(RasterStrip, ColoursJustOutsideTheirRangeAreClamped) {
    struct Case {
        const char* why;
        unsigned flags;
        int32_t a, r;
        uint32_t dest, expected;
    };
    const std::vector<uint32_t> texels{0xffffffffu};
    const Velm::RasterTexture texture = Texture(texels, 1, 1);
    // clang-format off
    const Case cases[] = {
            {"gouraud red just below 0 writes no red", Velm::kRasterVertexColors, 0xff0000, -1, 0, Argb(255, 0, 0, 0)},
            {"gouraud alpha just below 0 is skipped", Velm::kRasterVertexColors, -1, 0xff0000, Argb(1, 2, 3, 4),
             Argb(1, 2, 3, 4)},
            {"textured alpha just below 0 is not opaque", Velm::kRasterTextured | Velm::kRasterVertexColors, -1,
             0xff0000, Argb(255, 100, 100, 100), Argb(254, 99, 99, 99)},
            {"gouraud red above 255.99 stays 255", Velm::kRasterVertexColors, 0xff0000, 0x1000000, 0,
             Argb(255, 255, 0, 0)},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Velm::RasterVertex tri[3] = {Vertex(0, 0, 0, 0.5, 0.5), Vertex(8, 0, 0, 0.5, 0.5), Vertex(0, 8, 0, 0.5, 0.5)};
        for (Velm::RasterVertex& v : tri) {
            v.a = c.a;
            v.r = c.r;
        }
        Canvas canvas(0x8888, 8, 8);
        canvas.Fill(c.dest);
        Draw(canvas, c.flags, tri, &texture, Velm::RasterTint{});
        EXPECT_EQ(canvas.Get(1, 1), c.expected);
    }
}

TEST(RasterStrip, NonFiniteAndHugeCoordinatesAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<uint32_t> texels(4, 0xffffffffu);
    const RasterTextureImage texture{texels.data(), 2, 2, false, false};
    const std::vector<std::vector<TriVertex>> strips = {
            {{nan, 0, 0, 0, 0xffffffff}, {8, 0, 0, 0, 0xffffffff}, {0, 8, 0, 0, 0xffffffff}},
            {{0, 0, 0, 0, 0xffffffff}, {inf, 0, 0, 0, 0xffffffff}, {0, -inf, 0, 0, 0xffffffff}},
            {{0, 0, nan, 0, 0xffffffff}, {8, 0, 0, 0, 0xffffffff}, {0, 8, 0, 0, 0xffffffff}},
            {{-3e38f, 0, 1e30f, 0, 0xffffffff}, {3e38f, 1, -1e30f, 0, 0xffffffff}, {0, 3e38f, 0, 0, 0xffffffff}},
    };
    for (size_t i = 0; i < strips.size(); ++i) {
        SCOPED_TRACE(i);
        Canvas canvas(0x8888, 8, 8, 8);
        Strip(canvas, strips[i], &texture, kWhiteColor, RasterRect{0, 0, 8, 8}, true, false);
        // Whatever was drawn stayed inside the canvas rows.
        for (int y = 0; y < 8; ++y)
            for (size_t b = 32; b < canvas.pitch; ++b) ASSERT_EQ(canvas.bytes[y * canvas.pitch + b], 0xa5);
    }
    // The finite triangles of a strip are still drawn around a broken one.
    const std::vector<TriVertex> strip{
            {0, 0, 0, 0, 0xffffffff}, {8, 0, 0, 0, 0xffffffff}, {0, 8, 0, 0, 0xffffffff}, {nan, nan, 0, 0, 0xffffffff}};
    Canvas canvas(0x8888, 8, 8);
    canvas.Fill(0);
    Strip(canvas, strip, nullptr, kWhiteColor, RasterRect{0, 0, 8, 8}, false, true);
    EXPECT_EQ(canvas.Get(1, 1), 0xffffffffu);
}

TEST(RasterStrip, TexturesWithoutPixelsAreNotRead) {
    const std::vector<TriVertex> tri{{0, 0, 0, 0, 0xffffffff}, {8, 0, 1, 0, 0xffffffff}, {0, 8, 0, 1, 0xffffffff}};
    const std::vector<uint32_t> texels(4, 0xffffffffu);
    const RasterTextureImage cases[] = {{nullptr, 16, 16, false, false}, {texels.data(), -2, -2, false, false}};
    for (const RasterTextureImage& texture : cases) {
        Canvas canvas(0x8888, 8, 8);
        const std::vector<uint8_t> before = canvas.bytes;
        Strip(canvas, tri, &texture, kWhiteColor, RasterRect{0, 0, 8, 8}, false, true);
        EXPECT_EQ(canvas.bytes, before);
    }
}

TEST(RasterStrip, ClipBeyondTheDestinationIsCut) {
    const std::vector<TriVertex> quad{{-50, -50, 0, 0, 0xffffffff},
                                      {90, -50, 0, 0, 0xffffffff},
                                      {-50, 90, 0, 0, 0xffffffff},
                                      {90, 90, 0, 0, 0xffffffff}};
    for (uint32_t format : kFormats) {
        SCOPED_TRACE(format);
        Canvas canvas(format, 10, 6, 4);
        Strip(canvas, quad, nullptr, kWhiteColor, RasterRect{-20, -20, 100, 100}, false, true);
        for (size_t i = 0; i < canvas.bytes.size(); ++i) {
            if (i % canvas.rowStep() >= size_t(10 * canvas.bpp())) {
                ASSERT_EQ(canvas.bytes[i], 0xa5) << i;
            }
        }
        EXPECT_NE(canvas.Get(0, 0), canvas.Get(9, 5));  // the last column and row stay undrawn
    }
}

TEST(RasterStrip, DrawModeIsNotRead) {
    const std::vector<TriVertex> tri{{0, 0, 0, 0, 0x80ff8040}, {8, 0, 0, 0, 0x80ff8040}, {0, 8, 0, 0, 0x80ff8040}};
    Canvas normal(0x8888, 8, 8), additive(0x8888, 8, 8);
    Strip(normal, tri, nullptr, kWhiteColor, RasterRect{0, 0, 8, 8}, false, true, 0);
    Strip(additive, tri, nullptr, kWhiteColor, RasterRect{0, 0, 8, 8}, false, true, 1);
    EXPECT_EQ(normal.bytes, additive.bytes);
}

}  // namespace
