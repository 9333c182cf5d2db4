// The routine table: its layout, the shared entries and the dispatch.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "raster/RasterFillers.h"
#include "raster/TriangleRasterizerTable.h"
#include "tests/raster/RasterTestUtil.h"

namespace {

using namespace RasterTest;
using Velm::TriangleRasterizer;
using Velm::TriangleRasterizerTable;

TEST(RasterTable, FormatCodesSelectSlots) {
    struct Case {
        uint32_t format;
        int slot;
    };
    const Case cases[] = {{0x8888, 0}, {0, 0}, {1, 0}, {0x888, 1}, {0x565, 2}, {0x555, 3}, {0x5650, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(Velm::RasterFormatSlot(c.format), c.slot);
    }
}

TEST(RasterTable, EveryEntryIsFilledWithSeventyFillersAndNone) {
    Velm::InitTriangleRasterizers();
    std::set<TriangleRasterizer> distinct;
    for (TriangleRasterizer routine : TriangleRasterizerTable) {
        ASSERT_NE(routine, nullptr);
        distinct.insert(routine);
    }
    EXPECT_EQ(distinct.size(), 71u);
    EXPECT_EQ(std::count(std::begin(TriangleRasterizerTable), std::end(TriangleRasterizerTable), &Velm::RasterTriNone),
              32);
}

TEST(RasterTable, NamedRoutinesSitInTheirEntries) {
    Velm::InitTriangleRasterizers();
    struct Case {
        int entry;
        TriangleRasterizer routine;
    };
    const Case cases[] = {
            {0, &Velm::RasterTriNone},
            {11, &Velm::RasterTriNone},
            {99, &Velm::RasterTriNone},
            {4, Velm::RasterTri8888VColor},
            {13, Velm::RasterTri8888VColor},
            {15, Velm::RasterTri8888VColorTint},
            {44, Velm::RasterTri888VColor},
            {78, Velm::RasterTri565VColorTint},
            {109, Velm::RasterTri555VColor},
            {16, Velm::RasterTri8888Tex},
            {48, Velm::RasterTri8888Tex},
            {17, Velm::RasterTri8888TexBilinear},
            {49, Velm::RasterTri8888TexBilinear},
            {50, Velm::RasterTri888TexTint},
            {80, Velm::RasterTri565Tex},
            {90, Velm::RasterTri565TexBlendTint},
            {115, Velm::RasterTri555TexTintBilinear},
            {31, Velm::RasterTri8888TexBlendVColorTintBilinear},
            {61, Velm::RasterTri888TexBlendVColorBilinear},
            {127, Velm::RasterTri555TexBlendVColorTintBilinear},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(TriangleRasterizerTable[c.entry], c.routine);
    }
}

TEST(RasterTable, UntexturedWithoutVertexColoursDrawsNothing) {
    const Velm::RasterVertex vertices[3] = {Vertex(0, 0, 0xffffffff), Vertex(8, 0, 0xffffffff),
                                            Vertex(0, 8, 0xffffffff)};
    for (uint32_t format : {0x8888u, 0x888u, 0x565u, 0x555u}) {
        for (unsigned flags : {0u, 1u, 2u, 3u, 8u, 9u, 10u, 11u}) {
            SCOPED_TRACE(testing::Message() << format << " flags " << flags);
            Canvas canvas(format, 8, 8);
            const std::vector<uint8_t> before = canvas.bytes;
            Draw(canvas, flags, vertices, nullptr, Velm::RasterTint{255, 255, 255, 255});
            EXPECT_EQ(canvas.bytes, before);
        }
    }
}

TEST(RasterTable, DispatchBeforeInitialisationDrawsNothing) {
    TriangleRasterizer saved[128];
    std::copy(std::begin(TriangleRasterizerTable), std::end(TriangleRasterizerTable), saved);
    std::fill(std::begin(TriangleRasterizerTable), std::end(TriangleRasterizerTable), nullptr);

    const Velm::RasterVertex vertices[3] = {Vertex(0, 0, 0xffffffff), Vertex(8, 0, 0xffffffff),
                                            Vertex(0, 8, 0xffffffff)};
    Canvas canvas(0x8888, 8, 8);
    const std::vector<uint8_t> before = canvas.bytes;
    Velm::RasterizeTriangle(false, false, true, false, vertices, canvas.data(), canvas.pitch, nullptr, nullptr,
                            canvas.format, false, Velm::RasterClip{0, 0, 8, 8});
    EXPECT_EQ(canvas.bytes, before);

    std::copy(std::begin(saved), std::end(saved), TriangleRasterizerTable);
}

TEST(RasterTable, SharedOpaqueEntryWritesFullAlphaInto888) {
    const std::vector<uint32_t> texels{Argb(0, 18, 52, 86)};
    const Velm::RasterTexture texture = Texture(texels, 1, 1);
    const Velm::RasterVertex vertices[3] = {Vertex(0, 0, 0, 0.5, 0.5), Vertex(8, 0, 0, 0.5, 0.5),
                                            Vertex(0, 8, 0, 0.5, 0.5)};
    for (unsigned flags : {16u, 17u}) {
        SCOPED_TRACE(flags);
        Canvas canvas(0x888, 8, 8);
        canvas.Fill(0);
        Draw(canvas, flags, vertices, &texture, Velm::RasterTint{255, 255, 255, 255});
        EXPECT_EQ(canvas.Get(1, 1) >> 24, 0xffu);
    }
}

TEST(RasterTable, MissingTextureOrTintDrawsNothing) {
    const Velm::RasterVertex vertices[3] = {Vertex(0, 0, 0xffffffff), Vertex(8, 0, 0xffffffff),
                                            Vertex(0, 8, 0xffffffff)};
    Velm::InitTriangleRasterizers();
    Velm::RasterTexture noPixels{};
    noPixels.width = 4;
    noPixels.height = 4;
    noPixels.texelCount = 16;
    Canvas canvas(0x8888, 8, 8);
    const std::vector<uint8_t> before = canvas.bytes;
    const Velm::RasterClip clip{0, 0, 8, 8};
    Velm::RasterizeTriangle(true, false, false, false, vertices, canvas.data(), canvas.pitch, &noPixels, nullptr,
                            canvas.format, false, clip);
    Velm::RasterizeTriangle(true, false, false, false, vertices, canvas.data(), canvas.pitch, nullptr, nullptr,
                            canvas.format, false, clip);
    Velm::RasterizeTriangle(false, false, true, true, vertices, canvas.data(), canvas.pitch, nullptr, nullptr,
                            canvas.format, false, clip);
    EXPECT_EQ(canvas.bytes, before);
}

TEST(RasterTable, EveryEntryStaysInTheClipAndKeepsItsFormatBits) {
    // Random triangles through all 128 entries: nothing outside the clip box
    // changes, 0x888 writes alpha 0xff and 0x555 writes bit 15 clear.
    uint32_t seed = 2024;
    auto next = [&]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::vector<uint32_t> texels(5 * 3);
    for (uint32_t& t : texels) t = next() * 2654435761u;
    const Velm::RasterTexture texture = Texture(texels, 5, 3);
    const Velm::RasterClip clip{3, 2, 17, 13};
    Velm::InitTriangleRasterizers();
    for (uint32_t format : {0x8888u, 0x888u, 0x565u, 0x555u}) {
        for (unsigned flags = 0; flags < 32; ++flags) {
            SCOPED_TRACE(testing::Message() << format << " flags " << flags);
            for (int n = 0; n < 20; ++n) {
                Canvas canvas(format, 20, 16, 6, 0x80);
                Velm::RasterVertex tri[3];
                for (Velm::RasterVertex& v : tri) {
                    v = Vertex(static_cast<int>(next() % 40) - 10 + (next() % 256) / 256.0,
                               static_cast<int>(next() % 30) - 8 + (next() % 256) / 256.0, next() * 2654435761u,
                               static_cast<int>(next() % 14) - 4 + (next() % 256) / 256.0,
                               static_cast<int>(next() % 10) - 3 + (next() % 256) / 256.0);
                }
                const Velm::RasterTint tint{static_cast<int32_t>(next() % 256), static_cast<int32_t>(next() % 256),
                                            static_cast<int32_t>(next() % 256), static_cast<int32_t>(next() % 256)};
                const std::vector<uint8_t> before = canvas.bytes;
                Velm::RasterizeTriangle((flags & 16) != 0, (flags & 8) != 0, (flags & 4) != 0, (flags & 2) != 0, tri,
                                        canvas.data(), canvas.pitch, &texture, &tint, format, (flags & 1) != 0, clip);
                for (size_t i = 0; i < canvas.bytes.size(); ++i) {
                    const int y = static_cast<int>(i / canvas.rowStep());
                    const int x = static_cast<int>(i % canvas.rowStep()) / canvas.bpp();
                    const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                    if (!inside) {
                        ASSERT_EQ(canvas.bytes[i], before[i]) << "byte " << i;
                    }
                }
                for (int y = clip.top; y < clip.bottom; ++y) {
                    for (int x = clip.left; x < clip.right; ++x) {
                        const uint32_t value = canvas.Get(x, y);
                        if (value == (canvas.bpp() == 2 ? 0x8080u : 0x80808080u)) continue;
                        if (format == 0x888) {
                            ASSERT_EQ(value >> 24, 0xffu);
                        }
                        if (format == 0x555) {
                            ASSERT_EQ(value & 0x8000u, 0u);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
