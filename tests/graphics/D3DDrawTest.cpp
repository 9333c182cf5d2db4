#include "graphics/D3DInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Color.h"
#include "graphics/D3DHost.h"
#include "graphics/DDImage.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/TextureData.h"
#include "platform/DebugOutput.h"
#include "platform/Settings.h"
#include "tests/graphics/SkipWithoutGl.h"

namespace Velm {
namespace {

struct TempDir {
    TempDir() {
        path = std::filesystem::temp_directory_path() / ("velm_d3d_" + std::to_string(std::rand()));
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    uint32_t seed = 12345;
    for (uint32_t& p : pixels) {
        seed = seed * 1103515245u + 12345u;
        p = 0xFF000000u | (seed >> 8 & 0xFFFFFF);
    }
    return pixels;
}

uint32_t Rgb(const plat::dd::Surface& surface, int x, int y) { return surface.PixelAt(x, y) & 0xFFFFFF; }

TEST(D3DDraw, FillRectCoversExactlyItsPixels) {
    SKIP_WITHOUT_GL();
    plat::dd::Surface surface(40, 30, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 40, 30)) << gD3DError;
    d3d.FillRect(Rect(10, 5, 8, 6), Color(255, 0, 0), 0);
    d3d.FinishScene();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 18 && y >= 5 && y < 11;
            ASSERT_EQ(Rgb(surface, x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
        }
    }
    EXPECT_TRUE(gD3DError.empty());
}

TEST(D3DDraw, LineEndsOnItsLastPoint) {
    SKIP_WITHOUT_GL();
    plat::dd::Surface surface(20, 10, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 20, 10));
    d3d.DrawLine(2, 3, 12, 3, Color(0, 255, 0), 0);
    d3d.FinishScene();
    for (int x = 2; x <= 12; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(Rgb(surface, x, 3), 0x00FF00u);
    }
    EXPECT_EQ(Rgb(surface, 1, 3), 0u);
    EXPECT_EQ(Rgb(surface, 2, 4), 0u);
}

TEST(D3DDraw, OpaqueBlitMatchesSoftwarePath) {
    SKIP_WITHOUT_GL();
    struct Case {
        const char* why;
        int width, height, x, y;
        Rect src;
    };
    const Case kCases[] = {
            {"one piece", 37, 23, 5, 7, Rect(0, 0, 37, 23)},
            {"several pieces, part of the source", 300, 70, 3, 2, Rect(20, 4, 270, 60)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::vector<uint32_t> pixels = Pattern(c.width, c.height);
        MemoryImage image(nullptr);
        image.SetBits(pixels.data(), c.width, c.height);
        image.flags = ImageFlag_UseA8R8G8B8;

        MemoryImage software(nullptr);
        const std::vector<uint32_t> black(320 * 80, 0xFF000000u);
        software.SetBits(black.data(), 320, 80);
        software.Blt(&image, c.x, c.y, c.src, Color::White, 0);

        plat::dd::Surface surface(320, 80, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
        D3DInterface d3d(nullptr);
        ASSERT_TRUE(d3d.CreateDevice(&surface, 320, 80));
        d3d.Blt(&image, static_cast<float>(c.x), static_cast<float>(c.y), c.src, Color::White, 0, false);
        d3d.FinishScene();
        const uint32_t* expected = software.GetBits();
        int differences = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 320; ++x) differences += Rgb(surface, x, y) != (expected[y * 320 + x] & 0xFFFFFF);
        }
        EXPECT_EQ(differences, 0);
        // The textures read back into the image's pixels.
        std::vector<uint32_t> back(pixels.size(), 0);
        ASSERT_NE(image.textureData, nullptr);
        EXPECT_TRUE(image.textureData->CopyToImage(&image, back.data()));
        EXPECT_EQ(back, pixels);
    }
}

TEST(D3DDraw, SurfaceWritesBetweenDrawsAreKept) {
    SKIP_WITHOUT_GL();
    plat::dd::Surface surface(16, 16, plat::dd::PixelFormat::R5G6B5(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 16, 16));
    d3d.FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255), 0);
    plat::dd::Box box{8, 8, 12, 12};
    ASSERT_EQ(surface.Blt(&box, nullptr, nullptr, plat::dd::kBltColorFill, 0x001F), plat::dd::kOk);
    d3d.FillRect(Rect(4, 0, 4, 4), Color(255, 0, 0), 0);
    d3d.FinishScene();
    EXPECT_EQ(surface.PixelAt(1, 1), 0xFFFFu);
    EXPECT_EQ(surface.PixelAt(9, 9), 0x001Fu);
    EXPECT_EQ(surface.PixelAt(5, 1), 0xF800u);
    EXPECT_EQ(surface.PixelAt(14, 14), 0u);
}

TEST(D3DDraw, ClippedPolygonsAndTriangles) {
    SKIP_WITHOUT_GL();
    plat::dd::Surface surface(32, 32, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 32, 32));
    const Point two[2] = {Point(0, 0), Point(10, 10)};
    d3d.FillPoly(two, 2, nullptr, Color(255, 255, 255), 0, 0, 0);
    const Point triangle[3] = {Point(40, 40), Point(50, 40), Point(45, 50)};
    const Rect clip(0, 0, 32, 32);
    d3d.FillPoly(triangle, 3, &clip, Color(255, 255, 255), 0, 0, 0);
    d3d.FinishScene();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(Rgb(surface, x, y), 0u);
    EXPECT_TRUE(gD3DError.empty());
}

TEST(D3DDraw, TriangleAcrossTwoColumnsIsSplitByPiece) {
    VertexList in;
    plat::d3d7::TLVertex a, b, c;
    a.tu = 0.2f;
    b.tu = 1.7f;
    c.tu = 1.0f;
    a.tv = 0.1f;
    b.tv = 0.1f;
    c.tv = 0.9f;
    for (float shift : {0.0f, 1.0f}) {
        SCOPED_TRACE(shift);
        in.clear();
        for (plat::d3d7::TLVertex v : {a, b, c}) {
            v.tu -= shift;
            in.push_back(v);
        }
        ClipToTextureSquare(in);
        ASSERT_GE(in.size(), 3);
        for (int i = 0; i < in.size(); ++i) {
            EXPECT_GE(in[i].tu, -1e-5f);
            EXPECT_LE(in[i].tu, 1.0f + 1e-5f);
        }
    }
}

TEST(VertexListTest, GrowsPastItsInlineRoom) {
    VertexList list;
    EXPECT_EQ(list.capacity(), 100);
    for (int i = 0; i < 101; ++i) {
        plat::d3d7::TLVertex v;
        v.x = static_cast<float>(i);
        list.push_back(v);
    }
    EXPECT_EQ(list.capacity(), 200);
    EXPECT_EQ(list[100].x, 100.0f);
    list.reserve(500);
    EXPECT_EQ(list.capacity(), 500);
    EXPECT_EQ(list[0].x, 0.0f);
}

// The display in 3D with a device fault: the next present fails and turns 3D off, and the
// run-time error is stored once, with the first failure's label.
TEST(D3DDraw, ForcedDrawFailureTurns3DOffAtThePresent) {
    SKIP_WITHOUT_GL();
    TempDir dir;
    plat::Settings settings((dir.path / "registry.txt").string());
    D3DHost host(&settings, "SOFTWARE\\Test\\Game");
    DisplayHost displayHost;
    DDInterface display(&displayHost);
    display.Set3DLayer(std::make_unique<D3DInterface>(&host));
    auto* d3d = static_cast<D3DInterface*>(display.Get3DLayer());
    display.mIs3D = true;
    plat::CapturedDebugOutput quiet;
    ASSERT_EQ(display.Init(nullptr, true), 0) << display.LastError();
    ASSERT_TRUE(display.mIs3D);

    // The screen image draws through the device; the present brings the pixels to the surface.
    display.GetScreenImage()->FillRect(Rect(2, 3, 4, 5), Color(0, 0, 255), 0);
    EXPECT_TRUE(display.Redraw());
    EXPECT_EQ(Rgb(*display.GetDrawSurface(), 3, 4), 0x0000FFu);
    EXPECT_EQ(Rgb(*display.GetDrawSurface(), 1, 4), 0u);

    d3d->FillRect(Rect(0, 0, 10, 10), Color(255, 0, 0), 0);
    EXPECT_TRUE(display.Redraw());

    plat::d3d7::InjectFault(plat::d3d7::Op::DrawPrimitive, plat::dd::kErrGeneric);
    d3d->FillRect(Rect(0, 0, 10, 10), Color(255, 0, 0), 0);
    plat::d3d7::InjectFault(plat::d3d7::Op::DrawPrimitive, plat::dd::kErrOutOfMemory);
    d3d->DrawLine(0, 0, 5, 5, Color(255, 0, 0), 0);
    d3d->FinishScene();  // text drawn mid-frame ends the scene; the error must survive it
    EXPECT_FALSE(display.Redraw());
    EXPECT_FALSE(display.mIs3D);
    std::string stored;
    ASSERT_TRUE(settings.GetString("SOFTWARE\\Test\\Game\\Test3D", "RuntimeError", &stored));
    EXPECT_EQ(stored.rfind("DrawPrimitive (Rect): ", 0), 0u) << stored;
    plat::d3d7::ClearFaults();
    gD3DError.clear();
}

}  // namespace
}  // namespace Velm

namespace Velm {
namespace {

// An application that runs in 3D and reads images back from their textures.
class Host3D : public ImageHost {
public:
    bool Is3DAccelerated() override { return true; }
    bool ReadBackTexture(MemoryImage* image, uint32_t* out) override {
        return image->textureData != nullptr && image->textureData->CopyToImage(image, out);
    }
};

TEST(D3DTextures, PixelsAreDroppedOnlyWhenTheTexturesHoldThemAll) {
    SKIP_WITHOUT_GL();
    struct Case {
        const char* why;
        bool lockFails;
        bool keepsBits;
    };
    const Case kCases[] = {{"upload complete", false, false}, {"upload failed", true, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Host3D host;
        const std::vector<uint32_t> pixels = Pattern(70, 20);
        MemoryImage image(&host);
        image.SetBits(pixels.data(), 70, 20);
        image.flags = ImageFlag_UseA8R8G8B8;
        image.DiscardBits();  // asks for the pixels to go once another copy exists
        ASSERT_NE(image.bits, nullptr);
        plat::dd::Surface surface(80, 30, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
        D3DInterface d3d(nullptr);
        ASSERT_TRUE(d3d.CreateDevice(&surface, 80, 30));
        if (c.lockFails) plat::d3d7::InjectFault(plat::d3d7::Op::LockTexture, plat::dd::kErrGeneric);
        d3d.Blt(&image, 0, 0, Rect(0, 0, 70, 20), Color::White, 0, false);
        d3d.FinishScene();
        EXPECT_EQ(image.bits != nullptr, c.keepsBits);
        EXPECT_EQ(gD3DError.empty(), !c.lockFails) << gD3DError;
        const uint32_t* bits = image.GetBits();
        ASSERT_NE(bits, nullptr);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bits));
        plat::d3d7::ClearFaults();
        gD3DError.clear();
    }
}

TEST(D3DTextures, TexturesReleasedOnAnotherThreadAreDeletedAtTheNextDraw) {
    SKIP_WITHOUT_GL();
    const std::vector<uint32_t> pixels = Pattern(16, 16);
    MemoryImage image(nullptr);
    image.SetBits(pixels.data(), 16, 16);
    plat::dd::Surface surface(16, 16, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 16, 16));
    d3d.Blt(&image, 0, 0, Rect(0, 0, 16, 16), Color::White, 0, false);
    ASSERT_NE(image.textureData, nullptr);
    std::thread loader([&] { d3d.FreeImageTexture(&image); });
    loader.join();
    EXPECT_EQ(image.textureData, nullptr);
    EXPECT_EQ(plat::d3d7::PendingTextureDeletes(), 1u);
    d3d.FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0), 0);
    EXPECT_EQ(plat::d3d7::PendingTextureDeletes(), 0u);
    d3d.FinishScene();
    EXPECT_EQ(Rgb(surface, 1, 1), 0xFF0000u);
    // An opaque image without flags is drawn from an R5G6B5 texture: each channel keeps its
    // top bits, give or take the device's widening of 5 and 6 bits to 8.
    const uint32_t drawn = Rgb(surface, 8, 8), source = pixels[8 * 16 + 8];
    for (int shift : {0, 8, 16}) {
        SCOPED_TRACE(shift);
        EXPECT_LE(std::abs(static_cast<int>(drawn >> shift & 0xFF) - static_cast<int>(source >> shift & 0xFF)), 8);
    }
}

}  // namespace
}  // namespace Velm

namespace Velm {
namespace {

TEST(D3DDraw, NothingIsDrawnWhileTheWindowIsMinimised) {
    SKIP_WITHOUT_GL();
    struct MinimisedHost : D3DHost {
        bool IsMinimized() override { return true; }
    } host;
    plat::dd::Surface surface(8, 8, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(&host);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 8, 8));
    d3d.FillRect(Rect(0, 0, 8, 8), Color(255, 255, 255), 0);
    d3d.FinishScene();
    EXPECT_EQ(Rgb(surface, 4, 4), 0u);
    EXPECT_FALSE(d3d.PreDraw());
}

}  // namespace
}  // namespace Velm

namespace Velm {
namespace {

TEST(D3DDraw, TexturedTrianglesSpanSeveralPieces) {
    SKIP_WITHOUT_GL();
    std::vector<uint32_t> pixels(128 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) pixels[y * 128 + x] = x < 64 ? 0xFFFF0000u : 0xFF00FF00u;
    MemoryImage image(nullptr);
    image.SetBits(pixels.data(), 128, 64);
    image.flags = ImageFlag_Use64By64Subdivisions | ImageFlag_UseA8R8G8B8;  // two pieces side by side
    plat::dd::Surface surface(128, 64, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 128, 64));
    const TriVertex quad[2][3] = {
            {{0, 0, 0, 0, 0}, {128, 0, 1, 0, 0}, {0, 64, 0, 1, 0}},
            {{128, 0, 1, 0, 0}, {128, 64, 1, 1, 0}, {0, 64, 0, 1, 0}},
    };
    d3d.DrawTexturedTriangles(quad, 2, Color::White, 0, &image, 0, 0, false);
    d3d.FinishScene();
    ASSERT_NE(image.textureData, nullptr);
    EXPECT_EQ(image.textureData->columns, 2);
    EXPECT_TRUE(gD3DError.empty()) << gD3DError;
    for (int y : {2, 30, 61})
        for (int x : {2, 40, 62, 66, 100, 125}) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(Rgb(surface, x, y), x < 64 ? 0xFF0000u : 0x00FF00u);
        }
}

}  // namespace
}  // namespace Velm

namespace Velm {
namespace {

TEST(D3DDraw, MirroredStretchedAndClippedBlits) {
    SKIP_WITHOUT_GL();
    const uint32_t a = 0xFFFF0000u, b = 0xFF00FF00u, c = 0xFF0000FFu, d = 0xFFFFFFFFu;
    const uint32_t row[4] = {a, b, c, d};
    MemoryImage image(nullptr);
    image.SetBits(row, 4, 1);
    image.flags = ImageFlag_UseA8R8G8B8;
    plat::dd::Surface surface(16, 4, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0);
    D3DInterface d3d(nullptr);
    ASSERT_TRUE(d3d.CreateDevice(&surface, 16, 4));
    d3d.BltMirror(&image, 0, 0, Rect(0, 0, 4, 1), Color::White, 0, false);
    d3d.StretchBlt(&image, Rect(4, 1, 8, 2), Rect(0, 0, 2, 1), nullptr, Color::White, 0, true, false);
    const Rect clip(1, 3, 2, 1);
    d3d.BltClipF(&image, 0, 3, Rect(0, 0, 4, 1), &clip, Color::White, 0);
    d3d.FinishScene();
    struct Probe {
        int x, y;
        uint32_t rgb;
    };
    const Probe kProbes[] = {
            {0, 0, d & 0xFFFFFF},
            {1, 0, c & 0xFFFFFF},
            {2, 0, b & 0xFFFFFF},
            {3, 0, a & 0xFFFFFF},
            {4, 1, a & 0xFFFFFF},
            {7, 2, a & 0xFFFFFF},
            {8, 1, b & 0xFFFFFF},
            {11, 2, b & 0xFFFFFF},
            {12, 1, 0},
            {0, 3, 0},
            {1, 3, b & 0xFFFFFF},
            {2, 3, c & 0xFFFFFF},
            {3, 3, 0},
    };
    for (const Probe& p : kProbes) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(Rgb(surface, p.x, p.y), p.rgb);
    }
}

}  // namespace
}  // namespace Velm
