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
