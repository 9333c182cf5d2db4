// Screenshots of an application with its real display, on the software path and on the 3D
// path (the GL device on llvmpipe): the saved picture holds what was drawn into the frame,
// headless and in a window on a virtual X server, where it must be the frame the window shows.
// In 3D the drawing surface is the device's target, whose pixels the device holds until the
// surface is locked.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "platform/Window.h"
#include "resources/ImageLib.h"
#include "resources/base/Paths.h"
#include "tests/app/WindowTestSupport.h"

namespace {

using windowtest::WindowApp;

class ScreenshotPathTest : public windowtest::WindowAppTest, public ::testing::WithParamInterface<bool> {
protected:
    ScreenshotPathTest() : mOldAppData(Velm::GetAppDataFolder()) {
        Velm::SetAppDataFolder(mDir.Path() + "/");
        mApp = std::make_unique<WindowApp>(&mSettings);
        mApp->OpenWindow();
    }
    ~ScreenshotPathTest() override {
        mApp.reset();
        Velm::SetAppDataFolder(mOldAppData);
    }

    std::string mOldAppData;
    std::unique_ptr<WindowApp> mApp;
};

TEST_P(ScreenshotPathTest, SavesTheDrawnFrame) {
    const bool use3D = GetParam();
    mApp->Set3DAcceleration(use3D, true);
    if (use3D && !mApp->Is3DAccelerated()) GTEST_SKIP() << "no GL context for the 3D path here";
    ASSERT_EQ(mApp->Is3DAccelerated(), use3D);

    Velm::Graphics g(mApp->GetWidgetManager()->mImage);
    g.SetColor(Velm::Color(0, 0, 0));
    g.FillRect(0, 0, mApp->GetWidth(), mApp->GetHeight());
    g.SetColor(Velm::Color(0x20, 0x80, 0xE0));
    g.FillRect(10, 20, 40, 30);
    mApp->Redraw(nullptr);
    mApp->TakeScreenshot();

    const std::string file = mDir.Path() + "/_screenshots/image1.png";
    ASSERT_TRUE(std::filesystem::exists(file)) << "no screenshot was saved";
    std::unique_ptr<ImageLib::Image> shot(ImageLib::GetPNGImage(file));
    ASSERT_NE(shot, nullptr);
    ASSERT_EQ(shot->mWidth, mApp->GetWidth());
    ASSERT_EQ(shot->mHeight, mApp->GetHeight());
    // The software fill may round a channel by one.
    const auto near = [&](int x, int y, uint32_t rgb) {
        const uint32_t pixel = shot->mBits[y * shot->mWidth + x];
        for (int shift : {0, 8, 16}) {
            const int got = static_cast<int>((pixel >> shift) & 0xFF);
            const int want = static_cast<int>((rgb >> shift) & 0xFF);
            if (got < want - 1 || got > want + 1) return false;
        }
        return true;
    };
    EXPECT_TRUE(near(10, 20, 0x2080E0u));
    EXPECT_TRUE(near(49, 49, 0x2080E0u));
    EXPECT_TRUE(near(50, 49, 0));
    EXPECT_TRUE(near(9, 20, 0));
    EXPECT_TRUE(near(200, 200, 0));
}

// ---- In a window on a virtual X server (ctest entry test_app_devaids_xvfb) ----

bool UnderXvfb() {
    const char* flag = std::getenv("VELM_XVFB");
    return flag != nullptr && std::string(flag) == "1" && std::getenv("DISPLAY") != nullptr;
}

// Two frames shown in turn, the screenshot taken after the second: it is that frame, pixel for
// pixel as the window shows it (without a software cursor, a 3D frame goes to the window
// straight from the device).
TEST_P(ScreenshotPathTest, XvfbSavesTheFrameTheWindowShows) {
    if (!UnderXvfb()) GTEST_SKIP() << "runs under xvfb-run only (ctest entry test_app_devaids_xvfb)";
    const bool use3D = GetParam();
    mApp->Set3DAcceleration(use3D, true);
    ASSERT_EQ(mApp->Is3DAccelerated(), use3D) << "the drawing path could not be set up";

    Velm::Graphics g(mApp->GetWidgetManager()->mImage);
    for (const Velm::Color& colour : {Velm::Color(0xE0, 0x40, 0x20), Velm::Color(0x20, 0x80, 0xE0)}) {
        g.SetColor(Velm::Color(0, 0, 0));
        g.FillRect(0, 0, mApp->GetWidth(), mApp->GetHeight());
        g.SetColor(colour);
        g.FillRect(10, 20, 40, 30);
        mApp->Redraw(nullptr);
    }
    mApp->TakeScreenshot();
    std::vector<uint32_t> shown;
    int width = 0, height = 0;
    ASSERT_TRUE(mApp->GetMainWindow()->ReadBack(&shown, &width, &height));

    std::unique_ptr<ImageLib::Image> shot(ImageLib::GetPNGImage(mDir.Path() + "/_screenshots/image1.png"));
    ASSERT_NE(shot, nullptr) << "no screenshot was saved";
    ASSERT_EQ(shot->mWidth, width);
    ASSERT_EQ(shot->mHeight, height);
    int differing = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if ((shot->mBits[i] & 0xFFFFFFu) != (shown[i] & 0xFFFFFFu)) ++differing;
    }
    EXPECT_EQ(differing, 0) << "pixels of the screenshot differ from the window's";
    EXPECT_NEAR(static_cast<int>(shot->mBits[25 * width + 20] & 0xFF), 0xE0, 1) << "not the last frame";
}

INSTANTIATE_TEST_SUITE_P(Paths, ScreenshotPathTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& path) { return path.param ? "ThreeD" : "Software"; });

}  // namespace
