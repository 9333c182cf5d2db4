#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/D3D7.h"
#include "platform/DdDevice.h"

namespace Velm {

class D3DHost;

// A small ARGB picture the test draws from or reads back into (0xAARRGGBB, row after row).
class D3DTestImage {
public:
    virtual ~D3DTestImage() = default;
    // Drops the pixels; then, when both sizes are above 0, makes width x height (uncleared).
    void Resize(int width, int height);
    void Fill(uint32_t argb);
    // Even columns 0xFF000000, odd columns 0xFFFFFFFF.
    void FillStripes();
    // 0: every pixel of the top-left block is within a squared RGB distance of 768 of expected
    // and all are equal; 1: within the distance but not all equal; 2: some pixel is wrong.
    int CheckUniform(uint32_t expected, int blockWidth, int blockHeight) const;
    // Pixels of the top-left block that are not black in even and white in odd columns.
    int CountStripeErrors(int blockWidth, int blockHeight) const;

    std::vector<uint32_t> mBits;
    int mWidth = 0;
    int mHeight = 0;
};

// What the test reads about the machine, kept apart so that tests can stand in for a card.
// The default asks the GL device (plat::d3d7) and the host's desktop.
class D3DTestEnvironment {
public:
    virtual ~D3DTestEnvironment() = default;
    virtual bool GetAdapterIdentifier(uint8_t guid[16], std::string* driver, std::string* description);
    virtual plat::dd::Result GetAvailableVidMem(uint64_t* totalBytes);
};

// The video-card test: decides whether this card can be trusted with 3D drawing. It
// identifies the adapter, checks video memory against two thresholds, consults the card lists
// ("vhwb.dat": cards that must not use 3D; "vhw.dat": the only cards that may) and the
// driver's age, then draws five small scenes with the blend modes the 3D layer uses and reads
// the pixels back. The outcome is a failure reason and a warning (empty when none) and whether
// it is fresh (not taken from the cached result under the registry key "Test3D").
// Made by the 3D layer at the display's first set-up; main thread only.
class D3DTester {
public:
    class TestException : public std::exception {
    public:
        explicit TestException(std::string message) : mMessage(std::move(message)) {}
        std::string mMessage;
    };

    explicit D3DTester(D3DHost* host, std::unique_ptr<D3DTestEnvironment> environment = nullptr);
    virtual ~D3DTester();
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;

    // The whole test; directDraw is the display's device or null (the test then makes one).
    void RunTest(plat::dd::Device* directDraw);
    bool SetupTest(plat::dd::Device* directDraw);
    bool RunRenderTests();
    bool TestAlphaBlend();
    bool TestAdditiveBlend();
    bool TestAlphaAddBlend();
    bool TestAlphaModulatedBlend();
    bool TestClipping();
    bool ReadCachedResult();
    void WriteResults();
    bool IsCardSupported(const std::string& description);
    bool FindCardInList(std::FILE* file, const std::string& description);
    void Cleanup();
    bool SetFailureReason(const std::string& text);
    // Reads the test surface into the captured image; throws for depths other than 16 and
    // 32 with the surface unlocked again.
    void CopyPrimary();

    // Test surface, textures and device while the test runs.
    D3DHost* mHost;
    std::unique_ptr<D3DTestEnvironment> mEnvironment;
    plat::dd::Device* mDirectDraw = nullptr;
    std::unique_ptr<plat::dd::Device> mOwnDirectDraw;
    std::shared_ptr<plat::dd::Surface> mTestSurface;
    std::shared_ptr<plat::d3d7::Texture> mTexture1;
    std::shared_ptr<plat::d3d7::Texture> mTexture2;
    std::unique_ptr<plat::d3d7::Device> mDevice;
    bool mHasKey = false;

    uint8_t mDisplayGUID[16] = {};
    std::string mDriver;
    std::string mDescription;
    D3DTestImage mTestImage;  // the captured 100 x 100 result
    std::string mFailureReason;
    std::string mWarning;
    unsigned mMinVidMemory = 6;  // MB
    unsigned mRecVidMemory = 14;
    bool mUseRegistry = true;
    bool mWriteResults = false;
    bool mResultsChanged = false;  // fresh
    int mDriverYear = 0;
    bool mUse4444 = false;    // test textures in A4R4G4B4
    std::string mListFolder;  // where the card lists are looked for ("" = current folder)

private:
    bool RunBlendTest(uint32_t srcBlend, uint32_t destBlend, bool modulate, uint32_t firstFill, uint32_t secondFill,
                      uint32_t diffuse, uint32_t expected, const char* failure, const char* warning);
    void BeginTestScene(uint32_t srcBlend, uint32_t destBlend);
    void DrawTestImage(const D3DTestImage& image, float x, float y, uint32_t diffuse);
};

// Throws D3DTester::TestException "DXError - label: NAME" for a failed result.
void DXError(plat::dd::Result result, const char* label);

}  // namespace Velm
