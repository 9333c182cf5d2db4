#include "platform/D3D7.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace plat;

class D3D7Test : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why;
        surface = std::make_unique<dd::Surface>(16, 8, dd::PixelFormat::X8R8G8B8(), 0, 4, 8);  // padded rows, canaries
        ASSERT_EQ(d3d7::Device::Create(surface.get(), &device), dd::kOk);
    }
    void TearDown() override {
        device.reset();
        if (surface) {
            EXPECT_TRUE(surface->CanariesIntact());
        }
        d3d7::ClearFaults();
    }
    uint32_t Rgb(int x, int y) const { return surface->PixelAt(x, y) & 0xFFFFFF; }

    std::unique_ptr<dd::Surface> surface;
    std::unique_ptr<d3d7::Device> device;
};

TEST_F(D3D7Test, TexturesRoundTripInEveryFormat) {
    struct Case {
        const char* why;
        d3d7::PixelFormat format;
    };
    const Case kCases[] = {
            {"A8R8G8B8", d3d7::PixelFormat::A8R8G8B8()},
            {"A4R4G4B4", d3d7::PixelFormat::A4R4G4B4()},
            {"R5G6B5", d3d7::PixelFormat::R5G6B5()},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        std::shared_ptr<d3d7::Texture> texture;
        ASSERT_EQ(device->CreateTexture(5, 3, c.format, &texture), dd::kOk);  // odd width: rows are not padded
        uint8_t* bits = nullptr;
        int pitch = 0;
        ASSERT_EQ(texture->Lock(false, &bits, &pitch), dd::kOk);
        ASSERT_EQ(pitch, 5 * texture->BytesPerTexel());
        std::vector<uint8_t> written(static_cast<size_t>(pitch) * 3);
        for (size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint8_t>(i * 37 + 11);
        std::memcpy(bits, written.data(), written.size());
        EXPECT_EQ(texture->Lock(false, &bits, &pitch), dd::kErrSurfaceBusy);
        ASSERT_EQ(texture->Unlock(), dd::kOk);
        ASSERT_EQ(texture->Lock(true, &bits, &pitch), dd::kOk);
        EXPECT_EQ(std::vector<uint8_t>(bits, bits + written.size()), written);
        EXPECT_EQ(texture->Unlock(), dd::kOk);
        EXPECT_EQ(texture->Unlock(), dd::kErrNotLocked);
    }
    std::shared_ptr<d3d7::Texture> palette;
    EXPECT_EQ(device->CreateTexture(8, 8, d3d7::PixelFormat{0x60, 8, 0, 0, 0, 0}, &palette),
              dd::kErrInvalidPixelFormat);
}

TEST_F(D3D7Test, ViewportLimitsClear) {
    ASSERT_EQ(device->Clear(0xFF000000u), dd::kOk);
    ASSERT_EQ(device->SetViewport(2, 1, 4, 3), dd::kOk);
    ASSERT_EQ(device->Clear(0xFFFF0000u), dd::kOk);
    ASSERT_EQ(device->BeginScene(), dd::kOk);
    EXPECT_EQ(device->BeginScene(), static_cast<dd::Result>(0x887600B2u));
    ASSERT_EQ(device->EndScene(), dd::kOk);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            ASSERT_EQ(Rgb(x, y), inside ? 0xFF0000u : 0u) << x << "," << y;
        }
}

TEST_F(D3D7Test, BlendStatesAndModulate) {
    struct Case {
        const char* why;
        uint32_t src, dest;
        uint32_t background, color, expected;
    };
    const Case kCases[] = {
            {"source alpha over", d3d7::kBlendSrcAlpha, d3d7::kBlendInvSrcAlpha, 0xFF0000FFu, 0x80FF0000u, 0x7F007F},
            {"one plus one", d3d7::kBlendOne, d3d7::kBlendOne, 0xFF404040u, 0xFF404040u, 0x808080},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ASSERT_EQ(device->Clear(c.background), dd::kOk);
        device->SetRenderState(d3d7::kRsAlphaBlendEnable, 1);
        device->SetRenderState(d3d7::kRsSrcBlend, c.src);
        device->SetRenderState(d3d7::kRsDestBlend, c.dest);
        device->SetTexture(nullptr);
        d3d7::TLVertex v[4];
        const float xs[4] = {-0.5f, -0.5f, 15.5f, 15.5f}, ys[4] = {-0.5f, 7.5f, -0.5f, 7.5f};
        for (int i = 0; i < 4; ++i) {
            v[i].x = xs[i];
            v[i].y = ys[i];
            v[i].color = c.color;
        }
        ASSERT_EQ(device->DrawPrimitive(d3d7::kTriangleStrip, v, 4), dd::kOk);
        device->BeginScene();
        device->EndScene();
        const uint32_t got = Rgb(7, 3);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(static_cast<int>(got >> shift & 0xFF), static_cast<int>(c.expected >> shift & 0xFF), 1);
    }
}

// A texture of one colour in A8R8G8B8.
std::shared_ptr<d3d7::Texture> Filled(d3d7::Device& device, int width, int height, uint32_t argb) {
    std::shared_ptr<d3d7::Texture> texture;
    if (device.CreateTexture(width, height, d3d7::PixelFormat::A8R8G8B8(), &texture) != dd::kOk) return nullptr;
    uint8_t* bits = nullptr;
    int pitch = 0;
    if (texture->Lock(false, &bits, &pitch) != dd::kOk) return nullptr;
    for (int i = 0; i < width * height; ++i) std::memcpy(bits + 4 * i, &argb, 4);
    texture->Unlock();
    return texture;
}

// The four corners of a quad from (x, y) to (x + w, y + h) in pixels, the whole texture on it.
void DrawQuad(d3d7::Device& device, float x, float y, float w, float h) {
    d3d7::TLVertex v[4];
    const float xs[4] = {x, x, x + w, x + w}, ys[4] = {y, y + h, y, y + h};
    const float us[4] = {0, 0, 1, 1}, vs[4] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        v[i].x = xs[i] - 0.5f;
        v[i].y = ys[i] - 0.5f;
        v[i].tu = us[i];
        v[i].tv = vs[i];
    }
    device.DrawPrimitive(d3d7::kTriangleStrip, v, 4);
}

uint32_t ReadTexel(d3d7::Texture& texture, int x, int y) {
    uint8_t* bits = nullptr;
    int pitch = 0;
    if (texture.Lock(true, &bits, &pitch) != dd::kOk) return 0xDEADBEEFu;
    uint32_t p;
    std::memcpy(&p, bits + y * pitch + 4 * x, 4);
    texture.Unlock();
    return p;
}

TEST_F(D3D7Test, SmallTexturesTakingTurnsAreOneDrawCall) {
    auto red = Filled(*device, 3, 5, 0xFFFF0000u);
    auto green = Filled(*device, 4, 4, 0xFF00FF00u);
    auto blue = Filled(*device, 2, 2, 0xFF0000FFu);
    ASSERT_TRUE(red && green && blue);
    device->Clear(0xFF000000u);
    device->Finish();
    const uint64_t calls = device->DrawCallCount();
    d3d7::Texture* order[] = {red.get(), green.get(), blue.get(), red.get()};
    for (int i = 0; i < 4; ++i) {
        device->SetTexture(order[i]);
        DrawQuad(*device, static_cast<float>(i * 4), 0, 4, 8);
    }
    device->BeginScene();
    device->EndScene();
    EXPECT_EQ(device->DrawCallCount() - calls, 1u);
    const uint32_t expected[] = {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFF0000u};
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x) ASSERT_EQ(Rgb(i * 4 + x, y), expected[i]) << i << ": " << x << "," << y;
}

TEST_F(D3D7Test, LinearFilteringReadsNothingOfTheNeighbours) {
    // Made one after the other, so they lie side by side in the atlas.
    auto white = Filled(*device, 4, 4, 0xFFFFFFFFu);
    auto red = Filled(*device, 4, 4, 0xFFFF0000u);
    auto blue = Filled(*device, 4, 4, 0xFF0000FFu);
    ASSERT_TRUE(white && red && blue);
    device->SetTextureStageState(d3d7::kTssMinFilter, d3d7::kFilterLinear);
    device->SetTextureStageState(d3d7::kTssMagFilter, d3d7::kFilterLinear);
    device->SetTexture(red.get());
    DrawQuad(*device, 0, 0, 16, 8);  // stretched four times, two times
    device->BeginScene();
    device->EndScene();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(Rgb(x, y), 0xFF0000u) << x << "," << y;
}

TEST_F(D3D7Test, ManyTexturesKeepTheirTexelsAsPlacesAreFreedAndTaken) {
    // More than one atlas page of 64 x 64 textures, a texture too large for the atlas, and
    // places freed and taken again by textures of the same and of other sizes.
    std::vector<std::shared_ptr<d3d7::Texture>> textures;
    std::vector<uint32_t> colours;
    auto add = [&](int w, int h) {
        const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(textures.size() * 2654435761u >> 8);
        textures.push_back(Filled(*device, w, h, colour));
        colours.push_back(colour);
        ASSERT_NE(textures.back(), nullptr);
    };
    for (int i = 0; i < 300; ++i) add(64, 64);
    add(300, 20);
    for (size_t i = 0; i < textures.size(); i += 2) textures[i].reset();
    for (int i = 0; i < 100; ++i) add(64, 64);
    for (int i = 0; i < 40; ++i) add(100, 30);
    for (size_t i = 0; i < textures.size(); ++i) {
        if (textures[i] == nullptr) continue;
        SCOPED_TRACE(i);
        const int w = textures[i]->Width(), h = textures[i]->Height();
        EXPECT_EQ(ReadTexel(*textures[i], 0, 0), colours[i]);
        EXPECT_EQ(ReadTexel(*textures[i], w - 1, h - 1), colours[i]);
    }
}

TEST_F(D3D7Test, UnblendedRectanglesOnWholePixelsKeepTheirTexels) {
    // A 16-bit texture of distinct texels, drawn opaque and untinted one to one from a part of
    // it, cut by the viewport; then a fill. Both come out exact wherever they land.
    std::shared_ptr<d3d7::Texture> texture;
    ASSERT_EQ(device->CreateTexture(8, 8, d3d7::PixelFormat::R5G6B5(), &texture), dd::kOk);
    uint8_t* bits = nullptr;
    int pitch = 0;
    ASSERT_EQ(texture->Lock(false, &bits, &pitch), dd::kOk);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint16_t texel = static_cast<uint16_t>((x * 4) << 11 | (y * 8) << 5 | (x + y));
            std::memcpy(bits + y * pitch + 2 * x, &texel, 2);
        }
    ASSERT_EQ(texture->Unlock(), dd::kOk);
    auto expanded = [](int x, int y) {
        auto widen = [](uint32_t v, int width) { return (v << (8 - width) | v >> (2 * width - 8)) & 0xFF; };
        return widen(static_cast<uint32_t>(x * 4), 5) << 16 | widen(static_cast<uint32_t>(y * 8), 6) << 8 |
               widen(static_cast<uint32_t>(x + y), 5);
    };
    ASSERT_EQ(device->Clear(0xFF000000u), dd::kOk);
    ASSERT_EQ(device->SetViewport(4, 0, 12, 8), dd::kOk);
    device->SetRenderState(d3d7::kRsAlphaBlendEnable, 1);
    device->SetRenderState(d3d7::kRsSrcBlend, d3d7::kBlendSrcAlpha);
    device->SetRenderState(d3d7::kRsDestBlend, d3d7::kBlendInvSrcAlpha);
    device->SetTexture(texture.get());
    // Texels (2, 1) to (6, 5) onto pixels (3, 2) to (7, 6).
    d3d7::TLVertex v[4];
    const float xs[4] = {2.5f, 2.5f, 6.5f, 6.5f}, ys[4] = {1.5f, 5.5f, 1.5f, 5.5f};
    const float us[4] = {0.25f, 0.25f, 0.75f, 0.75f}, vs[4] = {0.125f, 0.625f, 0.125f, 0.625f};
    for (int i = 0; i < 4; ++i) {
        v[i].x = xs[i];
        v[i].y = ys[i];
        v[i].tu = us[i];
        v[i].tv = vs[i];
    }
    ASSERT_EQ(device->DrawPrimitive(d3d7::kTriangleStrip, v, 4), dd::kOk);
    device->SetTexture(nullptr);
    for (d3d7::TLVertex& corner : v) {
        corner.x += 6;  // pixels (9, 2) to (13, 6)
        corner.color = 0xFF123456u;
    }
    ASSERT_EQ(device->DrawPrimitive(d3d7::kTriangleStrip, v, 4), dd::kOk);
    device->BeginScene();
    device->EndScene();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t expected = 0;
            if (x >= 4 && x < 7 && y >= 2 && y < 6) expected = expanded(x - 3 + 2, y - 2 + 1);
            if (x >= 9 && x < 13 && y >= 2 && y < 6) expected = 0x123456;
            ASSERT_EQ(Rgb(x, y), expected) << x << "," << y;
        }
}

TEST_F(D3D7Test, FaultsFailTheNextCallOnce) {
    d3d7::InjectFault(d3d7::Op::DrawPrimitive, dd::kErrGeneric, 1);
    d3d7::TLVertex v[3];
    EXPECT_EQ(device->DrawPrimitive(d3d7::kTriangleList, v, 3), dd::kOk);
    EXPECT_EQ(device->DrawPrimitive(d3d7::kTriangleList, v, 3), dd::kErrGeneric);
    EXPECT_EQ(device->DrawPrimitive(d3d7::kTriangleList, v, 3), dd::kOk);
    EXPECT_EQ(device->DrawPrimitive(static_cast<d3d7::Primitive>(99), v, 3), dd::kErrInvalidParams);
}

TEST_F(D3D7Test, AdapterIdentityIsStable) {
    d3d7::AdapterIdentity first, second;
    ASSERT_EQ(d3d7::GetAdapterIdentity(&first), dd::kOk);
    ASSERT_EQ(d3d7::GetAdapterIdentity(&second), dd::kOk);
    EXPECT_FALSE(first.renderer.empty());
    EXPECT_NE(first.description.find(first.renderer), std::string::npos);
    EXPECT_EQ(std::memcmp(first.identifier, second.identifier, 16), 0);
    d3d7::Caps caps;
    ASSERT_EQ(device->GetCaps(&caps), dd::kOk);
    EXPECT_GE(caps.maxTextureWidth, 1024);
    EXPECT_EQ(caps.textureCaps & d3d7::kTexCapsAlphaPalette, 0u);
}

}  // namespace
