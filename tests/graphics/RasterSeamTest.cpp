#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/TriangleRasterizer.h"
#include "raster/TriangleRasterizerTable.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;
using namespace Velm::test;

namespace {

struct StripCall {
    std::vector<TriVertex> vertices;
    bool textured = false;
    int textureWidth = 0;
    bool textureHasTrans = false;
    Color color;
    Rect clip;
    int pitch = 0;
    int format = 0;
    int width = 0;
    int height = 0;
    bool bilinear = false;
    bool vertexColors = false;
};

std::vector<StripCall> gCalls;

void RecordStrip(const TriVertex* vertices, int count, const StripTexture* texture, const Color& color, int,
                 const Rect& clip, const StripTarget& target, bool bilinear, bool vertexColors) {
    StripCall call;
    call.vertices.assign(vertices, vertices + count);
    call.textured = texture != nullptr;
    if (texture) {
        call.textureWidth = texture->width;
        call.textureHasTrans = texture->hasTrans;
    }
    call.color = color;
    call.clip = clip;
    call.pitch = target.pitchBytes;
    call.format = target.pixelFormat;
    call.width = target.width;
    call.height = target.height;
    call.bilinear = bilinear;
    call.vertexColors = vertexColors;
    // Mark the first destination pixel so the test can see the strip reached the pixels.
    static_cast<uint32_t*>(target.bits)[0] = 0xFFABCDEF;
    gCalls.push_back(call);
}

class RasterSeamTest : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        mPrevious = GetTriangleStripRasterizer();
        SetTriangleStripRasterizer(&RecordStrip);
    }
    void TearDown() override { SetTriangleStripRasterizer(mPrevious); }
    TriangleStripRasterizer mPrevious = nullptr;
};

}  // namespace

TEST(RasterSeamDefaultTest, SoftwareRasteriserDrawsOnceItsTableIsFilled) {
    InitTriangleRasterizers();
    std::unique_ptr<MemoryImage> texture(MakeFilled(4, 4, 0xFF00FF00));
    std::unique_ptr<MemoryImage> dest(MakeFilled(8, 8, 0xFF000000));
    dest->BltMatrix(texture.get(), 4, 4, Matrix3(), Rect(0, 0, 8, 8), Color::White, 0, Rect(0, 0, 4, 4), false);
    const std::vector<uint32_t> pixels = Pixels(*dest);
    // The 4 x 4 texture centred on (4, 4) covers the middle of the image.
    EXPECT_EQ(pixels[4 * 8 + 4] & 0x00FFFFFF, 0x0000FF00u);
    EXPECT_EQ(pixels[0] & 0x00FFFFFF, 0u);
    EXPECT_TRUE(GuardIntact(*dest));
}

TEST(RasterSeamDefaultTest, WithoutARasteriserNothingIsDrawn) {
    const TriangleStripRasterizer previous = GetTriangleStripRasterizer();
    SetTriangleStripRasterizer(nullptr);
    std::unique_ptr<MemoryImage> texture(MakeFilled(4, 4, 0xFFFFFFFF));
    ASSERT_TRUE(texture->Palletize());
    std::unique_ptr<MemoryImage> dest(MakeFilled(8, 8, 0x12345678));
    const int before = dest->changeCount;
    dest->BltMatrix(texture.get(), 4, 4, Matrix3(), Rect(0, 0, 8, 8), Color::White, 0, Rect(0, 0, 4, 4), false);
    const TriVertex tri[1][3] = {{TriVertex{0, 0, 0, 0, 0}, TriVertex{4, 0, 1, 0, 0}, TriVertex{0, 4, 0, 1, 0}}};
    dest->BltTexturedTriangles(texture.get(), tri, 1, Rect(0, 0, 8, 8), Color::White, 0, 0, 0, false);
    EXPECT_EQ(Pixels(*dest), std::vector<uint32_t>(64, 0x12345678));
    EXPECT_GT(dest->changeCount, before);
    EXPECT_TRUE(GuardIntact(*dest));
    EXPECT_NE(texture->colorIndices, nullptr);  // the texture is left as it was
    SetTriangleStripRasterizer(previous);
}

TEST_F(RasterSeamTest, MatrixBlitIsOneCentredQuad) {
    std::unique_ptr<MemoryImage> texture(MakeFilled(8, 4, 0x80FFFFFF));
    std::unique_ptr<MemoryImage> dest(MakeFilled(10, 10, 0));
    Matrix3 m;
    m.Scale(2, 1);
    dest->BltMatrix(texture.get(), 5, 6, m, Rect(-5, 0, 50, 50), Color(1, 2, 3), 0, Rect(2, 0, 4, 4), true);
    ASSERT_EQ(gCalls.size(), 1u);
    const StripCall& call = gCalls[0];
    ASSERT_EQ(call.vertices.size(), 4u);
    // Corner (-2, -2) scaled to (-4, -2), moved by (5, 6) and by -0.5 to pixel centres.
    EXPECT_FLOAT_EQ(call.vertices[0].x, 0.5f);
    EXPECT_FLOAT_EQ(call.vertices[0].y, 3.5f);
    EXPECT_FLOAT_EQ(call.vertices[0].u, 0.25f);
    EXPECT_FLOAT_EQ(call.vertices[0].v, 0.0f);
    EXPECT_FLOAT_EQ(call.vertices[3].x, 8.5f);
    EXPECT_FLOAT_EQ(call.vertices[3].y, 7.5f);
    EXPECT_FLOAT_EQ(call.vertices[3].u, 0.75f);
    EXPECT_FLOAT_EQ(call.vertices[3].v, 1.0f);
    EXPECT_EQ(call.vertices[1].color, 0xFFFFFFFFu);
    EXPECT_TRUE(call.textured);
    EXPECT_EQ(call.textureWidth, 8);
    EXPECT_EQ(call.clip, Rect(0, 0, 10, 10));  // kept inside the destination
    EXPECT_EQ(call.pitch, 40);
    EXPECT_EQ(call.width, 10);
    EXPECT_EQ(call.height, 10);
    EXPECT_EQ(call.format, 0x8888);
    EXPECT_TRUE(call.bilinear);
    EXPECT_FALSE(call.vertexColors);
    EXPECT_EQ(call.color, Color(1, 2, 3));
    EXPECT_EQ(Pixel(*dest, 0, 0), 0xFFABCDEFu);
    EXPECT_TRUE(GuardIntact(*dest));
}

TEST_F(RasterSeamTest, TrianglesAreOffsetAndFlagVertexColours) {
    std::unique_ptr<MemoryImage> dest(MakeFilled(10, 10, 0));
    dest->ForceAlphaFlags(false, false);
    const TriVertex tris[2][3] = {
            {TriVertex{0, 0, 0, 0, 0}, TriVertex{4, 0, 1, 0, 0}, TriVertex{0, 4, 0, 1, 0}},
            {TriVertex{1, 1, 0, 0, 0xFF00FF00}, TriVertex{5, 1, 1, 0, 0}, TriVertex{1, 5, 0, 1, 0}},
    };
    Image notMemory;
    dest->BltTexturedTriangles(&notMemory, tris, 2, Rect(0, 0, 10, 10), Color::White, 0, 1.5f, -1, false);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_FALSE(gCalls[0].vertexColors);
    EXPECT_TRUE(gCalls[1].vertexColors);
    EXPECT_FALSE(gCalls[0].textured);  // a source that is not a memory image draws untextured
    EXPECT_FLOAT_EQ(gCalls[1].vertices[1].x, 6.5f);
    EXPECT_FLOAT_EQ(gCalls[1].vertices[1].y, 0.0f);
    EXPECT_EQ(gCalls[0].format, 0x888);  // forced opaque destination
}

TEST_F(RasterSeamTest, TextureGetsFreshPixelsAndFlags) {
    std::unique_ptr<MemoryImage> texture(MakeFilled(2, 2, 0x00000000));
    ASSERT_TRUE(texture->Palletize());
    std::unique_ptr<MemoryImage> dest(MakeFilled(4, 4, 0));
    dest->BltMatrix(texture.get(), 2, 2, Matrix3(), Rect(0, 0, 4, 4), Color::White, 0, Rect(0, 0, 2, 2), false);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_TRUE(gCalls[0].textureHasTrans);
    EXPECT_NE(texture->bits, nullptr);
}
