// The screenshot key in an application with its real display, on the software path and on the
// 3D path (the GL device, headless on llvmpipe): the saved picture holds what was drawn into
// the frame. In 3D the drawing surface is the device's target, whose pixels the device holds
// until the surface is locked.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "graphics/Color.h"
#include "graphics/Graphics.h"
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

INSTANTIATE_TEST_SUITE_P(Paths, ScreenshotPathTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& path) { return path.param ? "ThreeD" : "Software"; });

}  // namespace
