#include "graphics/TextureData.h"

#include <gtest/gtest.h>

#include "graphics/MemoryImage.h"

namespace Velm {
namespace {

// Limits of a device allowing 1024 texels a side and any aspect.
struct LimitsScope {
    explicit LimitsScope(int aspect = 65536, int maxSide = 1024) {
        saved = GetTextureLimits();
        TextureLimits& limits = GetTextureLimits();
        limits.minWidth = limits.minHeight = 1;
        limits.maxWidth = limits.maxHeight = maxSide;
        limits.maxAspectRatio = aspect;
        limits.supportedFormats = TextureFormat_A8R8G8B8 | TextureFormat_A4R4G4B4 | TextureFormat_R5G6B5;
    }
    ~LimitsScope() { GetTextureLimits() = saved; }
    TextureLimits saved;
};

TEST(PieceSizeTable, MatchesRanges) {
    struct Range {
        int first, last, entry;
    };
    const Range kRanges[] = {
            {0, 1, 1},       {2, 2, 2},      {3, 4, 4},       {5, 8, 8},       {9, 16, 16},       {17, 32, 32},
            {33, 64, 64},    {65, 191, 128}, {192, 320, 256}, {321, 383, 64},  {384, 384, 256},   {385, 447, 128},
            {448, 576, 512}, {577, 639, 64}, {640, 640, 512}, {641, 704, 128}, {705, 767, 64},    {768, 768, 512},
            {769, 832, 256}, {833, 895, 64}, {896, 896, 256}, {897, 959, 128}, {960, 1023, 1024},
    };
    for (const Range& r : kRanges) {
        for (int i = r.first; i <= r.last; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(GetPieceSizeTableEntry(i), r.entry);
        }
    }
}

TEST(TextureGrid, LayoutTable) {
    struct Case {
        const char* why;
        int aspect, width, height, flags;
        int pieceWidth, pieceHeight, columns, rows, lastColumnWidth, lastRowHeight;
        float uScale, vScale;
    };
    // clang-format off
    const Case kCases[] = {
                {"one exact piece", 65536, 64, 64, 0, 64, 64, 1, 1, 64, 64, 1.0f, 1.0f},
                {"large screen", 65536, 1024, 768, 0, 1024, 512, 1, 2, 1024, 256, 1.0f, 1.5f},
                {"800 x 600", 65536, 800, 600, 0, 256, 64, 4, 10, 32, 32, 3.125f, 9.375f},
                {"aspect 2 keeps 128 x 64", 2, 100, 37, 0, 128, 64, 1, 1, 128, 64, 100 / 128.0f, 37 / 64.0f},
                {"aspect 1 squares it", 1, 100, 37, 0, 128, 128, 1, 1, 128, 128, 100 / 128.0f, 37 / 128.0f},
                {"64 x 64 pieces everywhere", 65536, 200, 100, ImageFlag_Use64By64Subdivisions, 64, 64, 4, 2, 64, 64,
                 200 / 64.0f, 100 / 64.0f},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        LimitsScope limits(c.aspect);
        TextureData data;
        data.imageFlags = c.flags;
        data.ComputeGrid(c.width, c.height);
        EXPECT_EQ(data.pieceWidth, c.pieceWidth);
        EXPECT_EQ(data.pieceHeight, c.pieceHeight);
        ASSERT_EQ(data.columns, c.columns);
        ASSERT_EQ(data.rows, c.rows);
        EXPECT_EQ(data.pieces[static_cast<size_t>(c.columns) - 1].width, c.lastColumnWidth);
        EXPECT_EQ(data.pieces.back().height, c.lastRowHeight);
        EXPECT_FLOAT_EQ(data.uScale, c.uScale);
        EXPECT_FLOAT_EQ(data.vScale, c.vScale);
    }
}

TEST(TextureGrid, PieceLookupCutsToThePiece) {
    LimitsScope limits;
    TextureData data;
    data.ComputeGrid(800, 600);  // 256 x 64 pieces
    int w = 100, h = 100;
    float u1, v1, u2, v2;
    data.GetPiece(200, 10, w, h, u1, v1, u2, v2);
    EXPECT_EQ(w, 56);
    EXPECT_EQ(h, 54);
    EXPECT_FLOAT_EQ(u1, 200 / 256.0f);
    EXPECT_FLOAT_EQ(u2, 1.0f);
    EXPECT_FLOAT_EQ(v1, 10 / 64.0f);
    EXPECT_FLOAT_EQ(v2, 1.0f);
}

TEST(TextureGrid, DeviceMaximumAndMinimum) {
    LimitsScope limits(65536, 512);
    GetTextureLimits().minWidth = 16;
    int w = 2000, h = 3;
    GetTexturePieceSize(w, h, false, true, 0);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 4);
    int w2 = 5, h2 = 5;
    GetTexturePieceSize(w2, h2, true, true, 0);
    EXPECT_EQ(w2, 16);
    EXPECT_EQ(h2, 8);
}

TEST(TexelConversion, Table) {
    struct Case {
        const char* why;
        int format;
        uint32_t argb, texel, back;
    };
    const Case kCases[] = {
            {"565 red", TextureFormat_R5G6B5, 0xFFFF0000u, 0xF800, 0xFFF80000u},
            {"565 keeps top bits", TextureFormat_R5G6B5, 0xFF123456u, 0x11AA, 0xFF103450u},
            {"4444 nibbles", TextureFormat_A4R4G4B4, 0x80FF4020u, 0x8F42, 0xFFF04020u},
            {"8888 copies", TextureFormat_A8R8G8B8, 0x12345678u, 0x12345678u, 0x12345678u},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ArgbToTexel(c.argb, c.format), c.texel);
        EXPECT_EQ(TexelToArgb(c.texel, c.format), c.back);
    }
}

// The DirectDraw pixel format of each texture format, field by field as the 3D device is
// asked for it, and the formats that are recognised as none of them.
TEST(PixelFormats, FieldsOfEachTextureFormat) {
    struct Case {
        int code;
        plat::d3d7::PixelFormat format;  // flags, bits, alpha, red, green, blue masks
        int bytesPerTexel;
    };
    const Case kCases[] = {
            {1, {0x41, 32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF}, 4},
            {2, {0x41, 16, 0xF000, 0xF00, 0xF0, 0xF}, 2},
            {4, {0x40, 16, 0, 0xF800, 0x7E0, 0x1F}, 2},
            {8, {0x60, 8, 0, 0, 0, 0}, 1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.code);
        const plat::d3d7::PixelFormat made = MakePixelFormat(c.code);
        EXPECT_EQ(made.flags, c.format.flags);
        EXPECT_EQ(made.bitCount, c.format.bitCount);
        EXPECT_EQ(made.alphaMask, c.format.alphaMask);
        EXPECT_EQ(made.redMask, c.format.redMask);
        EXPECT_EQ(made.greenMask, c.format.greenMask);
        EXPECT_EQ(made.blueMask, c.format.blueMask);
        EXPECT_EQ(GetPixelFormatType(c.format), c.code);
        EXPECT_EQ(BytesPerTexel(c.code), c.bytesPerTexel);
    }
    struct Unknown {
        const char* why;
        plat::d3d7::PixelFormat format;
    };
    const Unknown kUnknown[] = {
            {"24-bit RGB", {0x40, 24, 0, 0xFF0000, 0xFF00, 0xFF}},
            {"32-bit without alpha pixels", {0x40, 32, 0, 0xFF0000, 0xFF00, 0xFF}},
            {"ABGR order", {0x41, 32, 0xFF000000u, 0xFF, 0xFF00, 0xFF0000}},
            {"555 is not 565", {0x40, 16, 0, 0x7C00, 0x3E0, 0x1F}},
            {"1555 is not 4444", {0x41, 16, 0x8000, 0x7C00, 0x3E0, 0x1F}},
            {"palette of 4 bits", {0x48, 4, 0, 0, 0, 0}},
    };
    for (const Unknown& u : kUnknown) {
        SCOPED_TRACE(u.why);
        EXPECT_EQ(GetPixelFormatType(u.format), 0);
    }
    EXPECT_EQ(MakePixelFormat(3).bitCount, plat::d3d7::PixelFormat().bitCount) << "no format of code 3";
}

}  // namespace
}  // namespace Velm
