#include "graphics/D3DTester.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/D3DHost.h"
#include "platform/Settings.h"

namespace Velm {
namespace {

const char* const kKey = "SOFTWARE\\Test\\Game";

struct TempDir {
    TempDir() {
        path = std::filesystem::temp_directory_path() / ("velm_d3dtest_" + std::to_string(std::rand()));
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

// A card that reports what the test says: identity and video memory.
class FakeCard : public D3DTestEnvironment {
public:
    bool GetAdapterIdentifier(uint8_t guid[16], std::string* driver, std::string* description) override {
        std::memset(guid, 0x42, 16);
        *driver = "fake";
        *description = "Fake Card 3000";
        return true;
    }
    plat::dd::Result GetAvailableVidMem(uint64_t* totalBytes) override {
        *totalBytes = videoBytes;
        return plat::dd::kOk;
    }
    uint64_t videoBytes = 64ull << 20;
};

struct Fixture {
    Fixture() : settings((dir.path / "registry.txt").string()), host(&settings, kKey) {}
    std::unique_ptr<D3DTester> Tester(uint64_t videoBytes = 64ull << 20) {
        auto card = std::make_unique<FakeCard>();
        card->videoBytes = videoBytes;
        auto tester = std::make_unique<D3DTester>(&host, std::move(card));
        tester->mListFolder = dir.path.string();
        return tester;
    }
    void StoreCache(unsigned minMb, unsigned recMb, const std::string& failure, const std::string& warning) {
        const std::string key = std::string(kKey) + "\\Test3D";
        settings.SetDword(key, "Version", 2);
        settings.SetDword(key, "MinVidMemory", minMb);
        settings.SetDword(key, "RecVidMemory", recMb);
        settings.SetBinary(key, "DisplayGUID", std::vector<uint8_t>(16, 0x42));
        settings.SetString(key, "FailureReason", failure);
        settings.SetString(key, "Warning", warning);
    }
    std::string Stored(const char* name) {
        std::string text;
        settings.GetString(std::string(kKey) + "\\Test3D", name, &text);
        return text;
    }
    TempDir dir;
    plat::Settings settings;
    D3DHost host;
};

TEST(D3DTesterCache, MatchingPassSkipsRenderingAndKeepsTheWarning) {
    Fixture f;
    f.StoreCache(6, 14, "", "stored warning");
    auto tester = f.Tester();
    tester->RunTest(nullptr);
    EXPECT_EQ(tester->mFailureReason, "");
    EXPECT_EQ(tester->mWarning, "stored warning");
    EXPECT_FALSE(tester->mResultsChanged);
}

TEST(D3DTesterCache, MismatchesInvalidateTheCache) {
    struct Case {
        const char* why;
        unsigned minMb, recMb;
    };
    const Case kCases[] = {{"recommended memory changed", 6, 20}, {"minimum changed", 8, 14}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        f.StoreCache(c.minMb, c.recMb, "", "stored warning");
        auto tester = f.Tester();
        tester->RunTest(nullptr);
        EXPECT_TRUE(tester->mResultsChanged);
        EXPECT_NE(tester->mWarning, "stored warning");
        EXPECT_EQ(f.Stored("FailureReason"), tester->mFailureReason);
    }
}

TEST(D3DTesterCache, StoredFailureRendersAgainWithoutBeingFresh) {
    Fixture f;
    f.StoreCache(6, 14, "old failure", "");
    auto tester = f.Tester();
    tester->RunTest(nullptr);
    EXPECT_FALSE(tester->mResultsChanged);
    EXPECT_NE(tester->mFailureReason, "old failure");
    EXPECT_EQ(f.Stored("FailureReason"), tester->mFailureReason);
}

TEST(D3DTesterMemory, Thresholds) {
    struct Case {
        const char* why;
        uint64_t videoBytes;
        unsigned minMb;
        bool fails;
    };
    const Case kCases[] = {
            {"63 MB plus a 3 MB desktop pass 64", 63ull << 20, 64, false},
            {"60 MB plus 3 fail 64", 60ull << 20, 64, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        auto tester = f.Tester(c.videoBytes);
        tester->mMinVidMemory = c.minMb;
        tester->mRecVidMemory = c.minMb;
        tester->RunTest(nullptr);
        EXPECT_EQ(tester->mFailureReason == "Not enough video memory.", c.fails);
    }
}

TEST(D3DTesterCards, ListsAndDriverAge) {
    struct Case {
        const char* why;
        const char* blocked;
        int year;
        const char* description;
        bool supported;
    };
    // clang-format off
    const Case kCases[] = {
            {"blocked list ignores case", "  Radeon 7000 \n\n", 2005, "ATI RADEON 7000 Series", false},
            {"old ATI card", nullptr, 2001, "ATI Rage 128", true},
            {"old other card", nullptr, 2001, "S3 Savage", false},
            {"new other card", nullptr, 2004, "S3 Savage", true},
            {"software renderer", "llvmpipe\nsoftpipe\nswrast\n", 2022, "llvmpipe (LLVM 15.0.6, 256 bits) (Mesa)", false},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Fixture f;
        if (c.blocked != nullptr) std::ofstream(f.dir.path / "vhwb.dat") << c.blocked;
        auto tester = f.Tester();
        tester->mDriverYear = c.year;
        EXPECT_EQ(tester->IsCardSupported(c.description), c.supported);
    }
}

TEST(D3DTesterImage, UniformCheck) {
    D3DTestImage image;
    image.Resize(100, 100);
    image.Fill(0xFF7E007Fu);  // red 126, blue 127: distance 1
    EXPECT_EQ(image.CheckUniform(0x7F007F, 10, 10), 0);
    image.mBits[5] = 0xFF6F007Fu;  // red 15 lower: 225, not above 768, but not uniform
    EXPECT_EQ(image.CheckUniform(0x7F007F, 10, 10), 1);
    image.mBits[5] = 0xFF00007Fu;
    EXPECT_EQ(image.CheckUniform(0x7F007F, 10, 10), 2);
}

TEST(D3DTesterImage, TwentyFourBitSurfaceThrowsUnlocked) {
    D3DTester tester(nullptr, std::make_unique<FakeCard>());
    tester.mTestSurface =
            std::make_shared<plat::dd::Surface>(100, 100, plat::dd::PixelFormat{24, 0xFF0000, 0xFF00, 0xFF}, 0, 0, 0);
    tester.mTestImage.Resize(100, 100);
    try {
        tester.CopyPrimary();
        FAIL() << "no exception";
    } catch (const D3DTester::TestException& e) {
        EXPECT_EQ(e.mMessage, "Can't test 24-bit mode.");
    }
    EXPECT_FALSE(tester.mTestSurface->IsLocked());
}

// The five render tests on the real device, in a 32-bit and a 16-bit desktop.
TEST(D3DTesterRender, PassesIn8888And565) {
    std::string why;
    if (!plat::d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why;
    for (int bits : {32, 16}) {
        SCOPED_TRACE(bits);
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = bits;
        plat::dd::SetDisplayConfig(config);
        {
            // The test surface comes in the desktop's depth.
            std::unique_ptr<plat::dd::Device> device;
            ASSERT_EQ(plat::dd::Device::Create(true, &device), plat::dd::kOk);
            plat::dd::SurfaceRequest request;
            request.flags = plat::dd::kDescCaps | plat::dd::kDescHeight | plat::dd::kDescWidth;
            request.caps = plat::dd::kCapsOffscreenPlain | plat::dd::kCaps3DDevice;
            request.width = request.height = 100;
            std::shared_ptr<plat::dd::Surface> surface;
            ASSERT_EQ(device->CreateSurface(request, &surface), plat::dd::kOk);
            EXPECT_EQ(surface->Format().bitCount, bits);
        }
        Fixture f;
        auto tester = std::make_unique<D3DTester>(&f.host);  // the real card
        tester->mListFolder = f.dir.path.string();
        tester->mUseRegistry = false;
        tester->RunTest(nullptr);
        plat::dd::SetDisplayConfig(plat::dd::DisplayConfig());
        EXPECT_EQ(tester->mFailureReason, "");
        EXPECT_EQ(tester->mWarning, "");
        EXPECT_TRUE(tester->mTestSurface == nullptr);  // released at the end
    }
}

}  // namespace
}  // namespace Velm

namespace Velm {
namespace {

TEST(D3DTesterRender, DeviceFailureBecomesTheFailureReason) {
    std::string why;
    if (!plat::d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why;
    Fixture f;
    auto tester = std::make_unique<D3DTester>(&f.host);
    tester->mListFolder = f.dir.path.string();
    tester->mUseRegistry = false;
    plat::d3d7::InjectFault(plat::d3d7::Op::DrawPrimitive, plat::dd::kErrGeneric, 2);
    tester->RunTest(nullptr);
    plat::d3d7::ClearFaults();
    EXPECT_EQ(tester->mFailureReason.rfind("DXError - DrawPrimitive: ", 0), 0u) << tester->mFailureReason;
}

}  // namespace
}  // namespace Velm
