#include "graphics/D3DTester.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "graphics/D3DHost.h"
#include "graphics/TextureData.h"
#include "platform/Files.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

using plat::d3d7::TLVertex;

int HighestBit(uint32_t mask) {
    int bit = -1;
    for (int i = 0; i < 32; ++i) {
        if (mask & (1u << i)) bit = i;
    }
    return bit;
}

// Moves a channel so that the highest bit of its mask lands on bit `top`.
uint32_t PlaceChannel(uint32_t pixel, uint32_t mask, int top) {
    const int high = HighestBit(mask);
    if (high < 0) return 0;
    const uint32_t value = pixel & mask;
    const int shift = top - high;
    const uint32_t placed = shift >= 0 ? value << shift : value >> -shift;
    return placed & (0xFFu << (top - 7));
}

int Distance(uint32_t a, uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        sum += d * d;
    }
    return sum;
}

}  // namespace

void DXError(plat::dd::Result result, const char* label) {
    if (plat::dd::Failed(result))
        throw D3DTester::TestException(std::string("DXError - ") + label + ": " + GetDirectXErrorName(result));
}

// ---- D3DTestImage ----

void D3DTestImage::Resize(int width, int height) {
    mBits.clear();
    mWidth = mHeight = 0;
    if (width > 0 && height > 0) {
        mBits.resize(static_cast<size_t>(width) * height);
        mWidth = width;
        mHeight = height;
    }
}

void D3DTestImage::Fill(uint32_t argb) { std::fill(mBits.begin(), mBits.end(), argb); }

void D3DTestImage::FillStripes() {
    for (int y = 0; y < mHeight; ++y) {
        for (int x = 0; x < mWidth; ++x)
            mBits[static_cast<size_t>(y) * mWidth + x] = (x & 1) ? 0xFFFFFFFFu : 0xFF000000u;
    }
}

int D3DTestImage::CheckUniform(uint32_t expected, int blockWidth, int blockHeight) const {
    bool uniform = true;
    for (int y = 0; y < std::min(blockHeight, mHeight); ++y) {
        for (int x = 0; x < std::min(blockWidth, mWidth); ++x) {
            const uint32_t p = mBits[static_cast<size_t>(y) * mWidth + x];
            if (Distance(p, expected) > 768) return 2;
            if (p != mBits[0]) uniform = false;
        }
    }
    return uniform ? 0 : 1;
}

int D3DTestImage::CountStripeErrors(int blockWidth, int blockHeight) const {
    int errors = 0;
    for (int y = 0; y < std::min(blockHeight, mHeight); ++y) {
        for (int x = 0; x < std::min(blockWidth, mWidth); ++x) {
            const uint32_t expected = (x & 1) ? 0xFFFFFFu : 0;
            if (Distance(mBits[static_cast<size_t>(y) * mWidth + x], expected) > 768) ++errors;
        }
    }
    return errors;
}

// ---- Environment ----

bool D3DTestEnvironment::GetAdapterIdentifier(uint8_t guid[16], std::string* driver, std::string* description) {
    plat::d3d7::AdapterIdentity identity;
    if (plat::dd::Failed(plat::d3d7::GetAdapterIdentity(&identity))) return false;
    std::memcpy(guid, identity.identifier, 16);
    *driver = identity.driver;
    *description = identity.description;
    return true;
}

plat::dd::Result D3DTestEnvironment::GetAvailableVidMem(uint64_t* totalBytes) {
    return plat::d3d7::GetAvailableVidMem(totalBytes);
}

// ---- D3DTester ----

D3DTester::D3DTester(D3DHost* host, std::unique_ptr<D3DTestEnvironment> environment)
        : mHost(host), mEnvironment(std::move(environment)) {
    if (!mEnvironment) mEnvironment = std::make_unique<D3DTestEnvironment>();
}

D3DTester::~D3DTester() { Cleanup(); }

bool D3DTester::SetFailureReason(const std::string& text) {
    mFailureReason = text;
    return false;
}

void D3DTester::Cleanup() {
    mTexture1.reset();
    mTexture2.reset();
    mDevice.reset();
    mTestSurface.reset();
    mOwnDirectDraw.reset();
    mDirectDraw = nullptr;
    mHasKey = false;
}

void D3DTester::RunTest(plat::dd::Device* directDraw) {
    if (mHost == nullptr || !mHost->IsPlayingDemo()) {
        mWriteResults = false;
        if (SetupTest(directDraw)) {
            RunRenderTests();
        } else if (mUseRegistry && !mWriteResults) {
            std::string stored;
            mResultsChanged = !(mHost != nullptr && mHost->RegistryReadString("Test3D\\FailureReason", &stored));
            mWriteResults = true;
        }
        if (mWriteResults) WriteResults();
        Cleanup();
    }
    if (mHost != nullptr) {
        mHost->DemoSyncString(&mFailureReason);
        mHost->DemoSyncString(&mWarning);
        mHost->DemoSyncBool(&mResultsChanged);
    }
}

bool D3DTester::SetupTest(plat::dd::Device* directDraw) {
    try {
        Cleanup();
        mDriverYear = 0;
        if (mUseRegistry && mHost != nullptr) mHasKey = mHost->RegistryCreateKey("Test3D");

        if (directDraw != nullptr) {
            mDirectDraw = directDraw;
        } else {
            DXError(plat::dd::Device::Create(true, &mOwnDirectDraw), "DirectDrawCreateEx");
            mDirectDraw = mOwnDirectDraw.get();
        }

        if (!mEnvironment->GetAdapterIdentifier(mDisplayGUID, &mDriver, &mDescription))
            DXError(plat::dd::kErrNoDirectDrawHw, "GetDeviceIdentifier");

        uint64_t videoBytes = 0;
        const plat::dd::Result memory = mEnvironment->GetAvailableVidMem(&videoBytes);
        if (plat::dd::Failed(memory)) {
            mWarning = FormatString("GetAvailableVidMem failed: %s", GetDirectXErrorName(memory).c_str());
        } else {
            int width = 0, height = 0, bits = 0;
            if (mHost != nullptr) mHost->GetDesktop(&width, &height, &bits);
            const uint64_t desktop = static_cast<uint64_t>(bits / 8) * width * height;
            const unsigned megabytes = static_cast<unsigned>((videoBytes + desktop) >> 20);
            if (megabytes < mMinVidMemory) return SetFailureReason("Not enough video memory.");
            if (megabytes < mRecVidMemory) mWarning = "Low video memory.";
        }

        if (mUseRegistry) {
            if (ReadCachedResult()) return false;
            mWriteResults = true;
        }
        mFailureReason.clear();
        mWarning.clear();

        if (!mDriver.empty() && mDriver.find('/') != std::string::npos) {
            const int64_t seconds = plat::FileModifiedTime(mDriver);
            if (seconds > 0) {
                const std::time_t t = static_cast<std::time_t>(seconds);
                if (const std::tm* parts = std::gmtime(&t)) mDriverYear = parts->tm_year + 1900;
            }
        }

        if (!IsCardSupported(mDescription)) mWarning = FormatString("Unsupported video card: %s", mDescription.c_str());

        std::string why;
        if (!plat::d3d7::IsAvailable(&why)) DXError(plat::dd::kErrNoDirectDrawHw, "QueryInterface IID_IDirect3D7");
        DXError(mDirectDraw->SetCooperativeLevel(false), "SetCooperativeLevel");

        plat::dd::SurfaceRequest request;
        request.flags = plat::dd::kDescCaps | plat::dd::kDescHeight | plat::dd::kDescWidth;
        request.caps = plat::dd::kCapsOffscreenPlain | plat::dd::kCaps3DDevice;
        request.width = 100;
        request.height = 100;
        DXError(mDirectDraw->CreateSurface(request, &mTestSurface), "CreateSurface (Primary)");
        mTestImage.Resize(100, 100);

        DXError(plat::d3d7::Device::Create(mTestSurface.get(), &mDevice), "CreateDevice");
        int formats = 0;
        for (const plat::d3d7::PixelFormat& format : mDevice->EnumTextureFormats())
            formats |= GetPixelFormatType(format);

        mUse4444 = false;
        if (!(formats & TextureFormat_A8R8G8B8)) {
            mWarning = "A8R8G8B8 texture format not supported.";
            if (!(formats & TextureFormat_A4R4G4B4))
                return SetFailureReason("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
            mUse4444 = true;
        }
        const plat::d3d7::PixelFormat format =
                MakePixelFormat(mUse4444 ? TextureFormat_A4R4G4B4 : TextureFormat_A8R8G8B8);
        DXError(mDevice->CreateTexture(64, 64, format, &mTexture1), "CreateSurface (TextureSurface1)");
        DXError(mDevice->CreateTexture(64, 64, format, &mTexture2), "CreateSurface (TextureSurfacd2)");
        return true;
    } catch (const TestException& e) {
        return SetFailureReason(e.mMessage);
    }
}

bool D3DTester::ReadCachedResult() {
    mResultsChanged = true;
    if (!mHasKey || mHost == nullptr) return false;
    uint32_t value = 0;
    if (!mHost->RegistryReadInteger("Test3D\\Version", &value) || value != 2) return false;
    if (!mHost->RegistryReadInteger("Test3D\\MinVidMemory", &value) || value != mMinVidMemory) return false;
    if (!mHost->RegistryReadInteger("Test3D\\RecVidMemory", &value) || value != mRecVidMemory) return false;
    std::vector<uint8_t> guid;
    if (!mHost->RegistryReadData("Test3D\\DisplayGUID", &guid) || guid.size() != 16 ||
        std::memcmp(guid.data(), mDisplayGUID, 16) != 0)
        return false;
    std::string failure, warning;
    if (!mHost->RegistryReadString("Test3D\\FailureReason", &failure) ||
        !mHost->RegistryReadString("Test3D\\Warning", &warning))
        return false;
    mFailureReason = failure.substr(0, 4095);
    mWarning = warning.substr(0, 4095);
    mResultsChanged = false;
    return mFailureReason.empty();
}

void D3DTester::WriteResults() {
    if (!mHasKey || mHost == nullptr) return;
    mHost->RegistryWriteInteger("Test3D\\Version", 2);
    mHost->RegistryWriteInteger("Test3D\\MinVidMemory", mMinVidMemory);
    mHost->RegistryWriteInteger("Test3D\\RecVidMemory", mRecVidMemory);
    mHost->RegistryWriteData("Test3D\\DisplayGUID", std::vector<uint8_t>(mDisplayGUID, mDisplayGUID + 16));
    mHost->RegistryWriteString("Test3D\\FailureReason", mFailureReason);
    mHost->RegistryWriteString("Test3D\\Warning", mWarning);
}

bool D3DTester::FindCardInList(std::FILE* file, const std::string& description) {
    if (file == nullptr || std::feof(file)) return false;
    char line[4000];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const std::string entry = TrimString(line);
        if (!entry.empty() && FindNoCase(description.c_str(), entry.c_str()) >= 0) return true;
    }
    return false;
}

bool D3DTester::IsCardSupported(const std::string& description) {
    const std::string folder = mListFolder.empty() ? std::string() : mListFolder + "/";
    if (std::FILE* bad = std::fopen((folder + "vhwb.dat").c_str(), "r")) {
        const bool listed = FindCardInList(bad, description);
        std::fclose(bad);
        if (listed) return false;
    }
    if (std::FILE* good = std::fopen((folder + "vhw.dat").c_str(), "r")) {
        const bool listed = FindCardInList(good, description);
        std::fclose(good);
        return listed;
    }
    if (mDriverYear < 2002 && FindNoCase(description.c_str(), "nvidia") < 0 &&
        FindNoCase(description.c_str(), "radeon") < 0)
        return FindNoCase(description.c_str(), "ati ") >= 0;
    return true;
}

// ---- Render tests ----

void D3DTester::DrawTestImage(const D3DTestImage& image, float x, float y, uint32_t diffuse) {
    plat::d3d7::Texture* texture = mTexture1.get();
    for (int by = 0; by < image.mHeight; by += 64) {
        for (int bx = 0; bx < image.mWidth; bx += 64) {
            const int w = std::min(64, image.mWidth - bx), h = std::min(64, image.mHeight - by);
            uint8_t* texels = nullptr;
            int pitch = 0;
            DXError(texture->Lock(false, &texels, &pitch), "Lock Texture");
            if (w < 64 || h < 64) std::memset(texels, 0, static_cast<size_t>(pitch) * 64);
            for (int row = 0; row < h; ++row) {
                const uint32_t* in = image.mBits.data() + static_cast<size_t>(by + row) * image.mWidth + bx;
                uint8_t* out = texels + static_cast<size_t>(row) * pitch;
                for (int col = 0; col < w; ++col) {
                    if (mUse4444) {
                        const uint16_t t = static_cast<uint16_t>(ArgbToTexel(in[col], TextureFormat_A4R4G4B4));
                        std::memcpy(out + 2 * col, &t, 2);
                    } else {
                        std::memcpy(out + 4 * col, &in[col], 4);
                    }
                }
            }
            DXError(texture->Unlock(), "Texture Unlock");
            DXError(mDevice->SetTexture(texture), "SetTexture theTexture");
            const float left = x + bx - 0.5f, top = y + by - 0.5f;
            const float u = w / 64.0f, v = h / 64.0f;
            TLVertex quad[4];
            const float xs[4] = {left, left, left + 64, left + 64};
            const float ys[4] = {top, top + 64, top, top + 64};
            const float us[4] = {0, 0, u, u};
            const float vs[4] = {0, v, 0, v};
            for (int i = 0; i < 4; ++i) {
                quad[i].x = xs[i];
                quad[i].y = ys[i];
                quad[i].color = diffuse;
                quad[i].tu = us[i];
                quad[i].tv = vs[i];
            }
            DXError(mDevice->DrawPrimitive(plat::d3d7::kTriangleStrip, quad, 4), "DrawPrimitive");
            DXError(mDevice->SetTexture(nullptr), "SetTexture NULL");
        }
    }
}

void D3DTester::CopyPrimary() {
    plat::dd::SurfaceDesc desc;
    DXError(mTestSurface->Lock(&desc), "CopyPrimary Lock");
    const int bits = desc.format.bitCount;
    if (bits != 16 && bits != 32) {
        mTestSurface->Unlock();
        throw TestException(bits == 24 ? "Can't test 24-bit mode." : "Invalid Color Depth");
    }
    for (int y = 0; y < mTestImage.mHeight && y < desc.height; ++y) {
        const uint8_t* row = desc.pixels + static_cast<size_t>(y) * desc.pitch;
        for (int x = 0; x < mTestImage.mWidth && x < desc.width; ++x) {
            uint32_t p;
            if (bits == 32) {
                std::memcpy(&p, row + 4 * x, 4);
            } else {
                uint16_t h;
                std::memcpy(&h, row + 2 * x, 2);
                p = h;
            }
            mTestImage.mBits[static_cast<size_t>(y) * mTestImage.mWidth + x] =
                    0xFF000000u | PlaceChannel(p, desc.format.redMask, 23) |
                    PlaceChannel(p, desc.format.greenMask, 15) | PlaceChannel(p, desc.format.blueMask, 7);
        }
    }
    mTestSurface->Unlock();
}

void D3DTester::BeginTestScene(uint32_t srcBlend, uint32_t destBlend) {
    using namespace plat::d3d7;
    DXError(mDevice->BeginScene(), "");
    DXError(mDevice->Clear(0xFF000000u), "Clear");
    DXError(mDevice->SetRenderState(kRsAlphaBlendEnable, 1), "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
    DXError(mDevice->SetRenderState(kRsSrcBlend, srcBlend), srcBlend == kBlendSrcAlpha
                                                                    ? "D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA"
                                                                    : "D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE");
    DXError(mDevice->SetRenderState(kRsDestBlend, destBlend), destBlend == kBlendInvSrcAlpha
                                                                      ? "D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA"
                                                                      : "D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE");
    DXError(mDevice->SetRenderState(kRsCullMode, kCullNone), "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
}

bool D3DTester::RunBlendTest(uint32_t srcBlend, uint32_t destBlend, bool modulate, uint32_t firstFill,
                             uint32_t secondFill, uint32_t diffuse, uint32_t expected, const char* failure,
                             const char* warning) {
    try {
        BeginTestScene(srcBlend, destBlend);
        if (modulate)
            DXError(mDevice->SetTextureStageState(plat::d3d7::kTssAlphaOp, plat::d3d7::kTopModulate),
                    "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
        D3DTestImage image;
        image.Resize(64, 64);
        image.Fill(firstFill);
        DrawTestImage(image, 0, 0, 0xFFFFFFFFu);
        image.Fill(secondFill);
        DrawTestImage(image, 0, 0, diffuse);
        mDevice->EndScene();
        CopyPrimary();
    } catch (const TestException& e) {
        if (mDevice && mDevice->InScene()) mDevice->EndScene();
        return SetFailureReason(e.mMessage);
    }
    const int check = mTestImage.CheckUniform(expected, 10, 10);
    if (check == 2) return SetFailureReason(failure);
    if (check == 1) mWarning = warning;
    return true;
}

bool D3DTester::TestAlphaBlend() {
    return RunBlendTest(plat::d3d7::kBlendSrcAlpha, plat::d3d7::kBlendInvSrcAlpha, false, 0xFF0000FFu, 0x80FF0000u,
                        0xFFFFFFFFu, 0x7F007F, "Alpha blend Not Supported", "Alpha blend test not uniform.");
}

bool D3DTester::TestAdditiveBlend() {
    return RunBlendTest(plat::d3d7::kBlendOne, plat::d3d7::kBlendOne, false, 0xFF404040u, 0xFF404040u, 0xFFFFFFFFu,
                        0x808080, "Additive blend not supported.", "Additive blend test not uniform.");
}

bool D3DTester::TestAlphaAddBlend() {
    return RunBlendTest(plat::d3d7::kBlendSrcAlpha, plat::d3d7::kBlendOne, false, 0xFF404040u, 0x80808080u, 0xFFFFFFFFu,
                        0x808080, "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform.");
}

bool D3DTester::TestAlphaModulatedBlend() {
    return RunBlendTest(plat::d3d7::kBlendSrcAlpha, plat::d3d7::kBlendInvSrcAlpha, true, 0xFF0000FFu, 0xFFFF0000u,
                        0x80FFFFFFu, 0x7F007F, "AlphaModulated blend not supported.",
                        "AlphaModulated blend test not uniform.");
}

bool D3DTester::TestClipping() {
    try {
        BeginTestScene(plat::d3d7::kBlendSrcAlpha, plat::d3d7::kBlendInvSrcAlpha);
        D3DTestImage image;
        image.Resize(64, 64);
        image.FillStripes();
        DrawTestImage(image, -2, -2, 0xFFFFFFFFu);
        mDevice->EndScene();
        CopyPrimary();
    } catch (const TestException& e) {
        if (mDevice && mDevice->InScene()) mDevice->EndScene();
        return SetFailureReason(e.mMessage);
    }
    if (mTestImage.CountStripeErrors(62, 62) > 0) mWarning = "Clip problem detected.";
    return true;
}

bool D3DTester::RunRenderTests() {
    return TestAlphaBlend() && TestAdditiveBlend() && TestAlphaAddBlend() && TestAlphaModulatedBlend() &&
           TestClipping();
}

}  // namespace Velm
