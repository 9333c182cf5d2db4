// The application's display through the 3D layer on the GL device (Mesa's llvmpipe on an
// EGL surfaceless context here); skips itself where no GL context can be made.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/AppDisplay.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/D3D7.h"
#include "platform/DdPresenter.h"
#include "platform/DdSurface.h"
#include "resources/base/StringUtils.h"
#include "tests/app/AppDisplayTestSupport.h"

namespace displaytest {
namespace {

#define SKIP_WITHOUT_GL()                                                                               \
    do {                                                                                                \
        std::string why;                                                                                \
        if (!plat::d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why; \
    } while (0)

Velm::DDInterface& DeviceOf(DisplayApp& app) {
    return dynamic_cast<Velm::AppDisplay*>(app.GetDisplay())->GetDDInterface();
}

// The presented drawing buffer as XRGB.
std::vector<uint32_t> DrawnPixels(DisplayApp& app) {
    const plat::dd::Surface* surface = DeviceOf(app).GetDrawSurface();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x)
            pixels.push_back(plat::dd::ToXrgb(surface->PixelAt(x, y), surface->Format()));
    return pixels;
}

TEST_F(DisplayAppTest, ThreeDFrameEqualsTheSoftwareFrame) {
    SKIP_WITHOUT_GL();
    std::unique_ptr<DisplayApp> owner = std::make_unique<DisplayApp>(&mSettings, mDir.Path());
    DisplayApp& app = *owner;
    app.Init();
    app.ShowScene();
    const std::vector<uint32_t> softwareShown = app.DrawAndReadBack();
    const std::vector<uint32_t> software = DrawnPixels(app);
    ExpectScene(software, app.mWidth);

    app.Set3DAcceleration(true, true);
    ASSERT_TRUE(app.Is3DAccelerated()) << DeviceOf(app).LastError();
    ASSERT_NE(DeviceOf(app).Get3DLayer(), nullptr);
    const std::vector<uint32_t> hardwareShown = app.DrawAndReadBack();
    EXPECT_TRUE(app.Is3DAccelerated()) << "the present found a 3D error: " << Velm::gD3DError;
    // The image went to the device as textures.
    EXPECT_NE(app.mPicture->textureData, nullptr);
    // The opaque image comes out bit for bit as in software; the fills within a step (the
    // surface fill's packing).
    const std::vector<uint32_t> hardware = DrawnPixels(app);
    ExpectScene(hardware, app.mWidth);
    ASSERT_EQ(hardware.size(), software.size());
    int farApart = 0;
    for (size_t i = 0; i < hardware.size(); ++i) farApart += ChannelDistance(hardware[i], software[i]) > 1;
    EXPECT_EQ(farApart, 0);
    if (!softwareShown.empty() && !hardwareShown.empty()) {
        EXPECT_EQ(ImageDifferences(hardwareShown, app.mWidth), 0);
        EXPECT_EQ(hardwareShown[5 * app.mWidth + 5] & 0xFFFFFF, hardware[5 * app.mWidth + 5]);
    }

    // Pixels dropped once the textures hold them are read back from the textures.
    app.mPicture->DiscardBits();
    EXPECT_EQ(app.mPicture->bits, nullptr);
    const uint32_t* back = app.mPicture->GetBits();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(back, back + kImageWidth * kImageHeight), Pattern(kImageWidth, kImageHeight));

    // Switched on by hand on a card nobody tested: the end asks whether to keep it.
    mAnswers = {plat::kIdYes};
    const std::string key = app.Key();
    owner.reset();
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_NE(mBoxes[0].find("was switched on during this session"), std::string::npos);
    uint32_t stored = 0;
    EXPECT_TRUE(mSettings.GetDword(key, "Is3D", &stored));
    EXPECT_EQ(stored, 1u);
}

// The "Is3D" setting asks for the video-card test; its outcome decides whether 3D stays on.
// A fresh outcome makes the setting be asked for again (the stored choice is erased).
TEST_F(DisplayAppTest, CardTestDecidesWhether3DIsUsed) {
    SKIP_WITHOUT_GL();
    plat::d3d7::AdapterIdentity adapter;
    ASSERT_FALSE(plat::dd::Failed(plat::d3d7::GetAdapterIdentity(&adapter)));
    bool softwareRenderer = false;
    for (const char* name : {"llvmpipe", "softpipe", "swrast"})
        softwareRenderer = softwareRenderer || Velm::StringToLower(adapter.description).find(name) != std::string::npos;

    struct Row {
        const char* why;
        bool shippedList;  // run from the build's content folder, with its "vhwb.dat"
        bool is3D;
    };
    const Row rows[] = {
            {"the shipped list names the software renderers: 3D stays off", true, false},
            {"without lists the card passes: 3D is on", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        if (row.shippedList && !softwareRenderer) continue;  // a real card is not on the list
        velmtest::TempDir empty;
        const std::string folder = row.shippedList ? std::string(VELM_CONTENT_DIR) : empty.Path();
        if (row.shippedList) {
            ASSERT_TRUE(std::ifstream(folder + "/vhwb.dat").good()) << "the build did not copy vhwb.dat";
        }
        DisplayApp app(&mSettings, folder);
        mSettings.SetDword(app.Key(), "Is3D", 1);
        app.Init();
        EXPECT_TRUE(app.GetDisplay()->Test3DRan());
        EXPECT_TRUE(app.Is3DAccelerationSupported());
        EXPECT_EQ(app.Is3DAccelerated(), row.is3D) << DeviceOf(app).LastError();
        EXPECT_EQ(app.Is3DAccelerationRecommended(), !row.shippedList);
        uint32_t value = 0;
        EXPECT_FALSE(mSettings.GetDword(app.Key(), "Is3D", &value));
        std::string warning;
        ASSERT_TRUE(mSettings.GetString(app.Key() + "\\Test3D", "Warning", &warning));
        EXPECT_EQ(warning.rfind("Unsupported video card: ", 0) == 0, row.shippedList) << warning;
        app.ShowScene();
        app.DrawAndReadBack();
        ExpectScene(DrawnPixels(app), app.mWidth);
        EXPECT_EQ(app.Is3DAccelerated(), row.is3D);
    }
    EXPECT_TRUE(mBoxes.empty());
}

// A drawing call that fails in 3D makes the present fail; the application sets the display up
// again in software and goes on drawing. The failure is kept under the application's key.
TEST_F(DisplayAppTest, A3DDrawingErrorEndsInSoftwareDrawing) {
    SKIP_WITHOUT_GL();
    DisplayApp app(&mSettings, mDir.Path());
    app.Init();
    app.ShowScene();
    app.Set3DAcceleration(true, true);
    ASSERT_TRUE(app.Is3DAccelerated());

    plat::d3d7::InjectFault(plat::d3d7::Op::DrawPrimitive, plat::dd::kErrGeneric);
    app.GetWidgetManager()->MarkAllDirty();
    app.DrawFrame();
    plat::d3d7::ClearFaults();
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_TRUE(app.mDisplayLost);
    EXPECT_EQ(app.GetWidgetManager()->mImage, static_cast<Velm::Image*>(DeviceOf(app).GetScreenImage()));
    std::string error;
    ASSERT_TRUE(mSettings.GetString(app.Key() + "\\Test3D", "RuntimeError", &error));
    EXPECT_EQ(error.rfind("DrawPrimitive", 0), 0u) << error;

    app.DrawFrame();  // the lost display's present
    EXPECT_FALSE(app.mDisplayLost);
    app.DrawAndReadBack();
    ExpectScene(DrawnPixels(app), app.mWidth);
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_TRUE(mBoxes.empty());
    Velm::gD3DError.clear();
}

// A 3D set-up that fails ends in software drawing, without a message.
TEST_F(DisplayAppTest, Failed3DSetUpFallsBackToSoftware) {
    DisplayApp app(&mSettings, mDir.Path());
    app.Init();
    app.ShowScene();
    plat::d3d7::InjectFault(plat::d3d7::Op::CreateDevice, plat::dd::kErrGeneric);
    app.Set3DAcceleration(true, true);
    plat::d3d7::ClearFaults();
    EXPECT_FALSE(app.Is3DAccelerated());
    EXPECT_TRUE(app.mUserChanged3D);
    EXPECT_EQ(app.GetWidgetManager()->mImage, static_cast<Velm::Image*>(DeviceOf(app).GetScreenImage()));
    app.DrawAndReadBack();
    ExpectScene(DrawnPixels(app), app.mWidth);
    EXPECT_TRUE(mBoxes.empty());
    Velm::gD3DError.clear();
}

}  // namespace
}  // namespace displaytest
