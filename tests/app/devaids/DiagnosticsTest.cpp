// Developer keys, overlays, screenshots, the image dump and the video statistics.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/devaids/DebugKeys.h"
#include "app/devaids/FrameRateCounter.h"
#include "app/devaids/ImageDump.h"
#include "app/devaids/Screenshot.h"
#include "app/devaids/VideoStats.h"
#include "graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/WindowMessages.h"
#include "resources/ImageLib.h"
#include "resources/base/Paths.h"
#include "tests/app/WindowTestSupport.h"

namespace {

using Velm::DebugKeyAction;

// ---- The developer-key table ----

struct KeyCase {
    const char* why;
    int key;
    bool shift, ctrl, alt;
    DebugKeyAction action;
    bool usedUp;
};

const int kF2 = 0x71, kF3 = 0x72, kF8 = 0x77, kF10 = 0x79, kF11 = 0x7A;

const KeyCase kKeys[] = {
        {"Alt+R reparses", 'R', false, false, true, DebugKeyAction::ReparseModValues, false},
        {"R alone does nothing", 'R', false, false, false, DebugKeyAction::None, false},
        {"Shift+Ctrl+R does nothing", 'R', true, true, false, DebugKeyAction::None, false},
        {"F2 profiler", kF2, false, false, false, DebugKeyAction::ToggleProfiler, false},
        {"F2 ignores modifiers", kF2, true, true, true, DebugKeyAction::ToggleProfiler, false},
        {"Shift+F3 steps the overlay mode", kF3, true, false, false, DebugKeyAction::StepOverlayMode, false},
        {"F3 toggles the overlay", kF3, false, true, false, DebugKeyAction::ToggleOverlay, false},
        {"Shift+F8 switches 3D", kF8, true, false, false, DebugKeyAction::Toggle3D, true},
        {"F8 video statistics", kF8, false, false, false, DebugKeyAction::ShowVideoStats, true},
        {"Ctrl+F10 slow motion", kF10, false, true, false, DebugKeyAction::ToggleSlowMotion, true},
        {"Ctrl wins over Shift on F10", kF10, true, true, false, DebugKeyAction::ToggleSlowMotion, true},
        {"Shift+F10 runs", kF10, true, false, false, DebugKeyAction::RunSteps, true},
        {"F10 single step", kF10, false, false, false, DebugKeyAction::SingleStep, true},
        {"Shift+F11 image dump", kF11, true, false, false, DebugKeyAction::DumpImageList, true},
        {"F11 screenshot", kF11, false, false, true, DebugKeyAction::TakeScreenshot, true},
        {"another key", 'A', true, true, true, DebugKeyAction::None, false},
};

TEST(DebugKeys, TableMapsKeyAndModifiersToAction) {
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.why);
        const Velm::DebugKeyEntry entry = Velm::LookupDebugKey(c.key, c.shift, c.ctrl, c.alt);
        EXPECT_EQ(entry.action, c.action);
        EXPECT_EQ(entry.usedUp, c.usedUp);
    }
}

// ---- Overlay figures ----

TEST(FrameRateOverlay, ShowsZeroFirstThenOnceASecond) {
    plat::VirtualClock clock(1000);
    plat::ScopedClock scoped(clock);
    Velm::FrameRateCounter counter;
    counter.Restart();
    EXPECT_TRUE(counter.CountFrame());
    EXPECT_EQ(counter.GetFramesPerSecond(), 0);
    // 60 frames 16 ms apart: no refresh until the stopwatch reaches a second.
    int refreshes = 0;
    for (int i = 0; i < 62; ++i) {
        clock.Advance(16);
        if (counter.CountFrame()) ++refreshes;
    }
    EXPECT_EQ(refreshes, 0);
    clock.Advance(16);  // 1,008 ms, 63 frames
    EXPECT_TRUE(counter.CountFrame());
    EXPECT_EQ(counter.GetFramesPerSecond(), 63);  // 62.5 rounds up
    clock.Advance(999);
    EXPECT_FALSE(counter.CountFrame());
    clock.Advance(1);
    EXPECT_TRUE(counter.CountFrame());
    EXPECT_EQ(counter.GetFramesPerSecond(), 2);
}

TEST(FrameRateOverlay, CounterNeverRestartedStartsItself) {
    plat::VirtualClock clock(1000);
    plat::ScopedClock scoped(clock);
    Velm::FrameRateCounter counter;
    EXPECT_TRUE(counter.CountFrame());
    clock.Advance(1000);
    EXPECT_TRUE(counter.CountFrame());
    EXPECT_EQ(counter.GetFramesPerSecond(), 1);
}

TEST(DemoTimeOverlay, Text) {
    struct Case {
        int updates;
        const char* text;
    } const cases[] = {
            {0, "00:00:00"},    {99, "00:00:00"},     {100, "00:00:01"},
            {6000, "00:01:00"}, {366100, "01:01:01"}, {-50, "00:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.updates);
        EXPECT_EQ(Velm::FormatDemoTime(c.updates, 10), c.text);
    }
}

// ---- Screenshot numbers ----

TEST(Screenshots, NumberFollowsTheLargest) {
    struct Case {
        const char* why;
        std::vector<std::string> names;
        int next;
    } const cases[] = {
            {"empty folder", {}, 1},
            {"7 and 12", {"image7.png", "image12.png"}, 13},
            {"upper-case extension", {"image3.PNG"}, 1},
            {"other names", {"shot9.png", "image.png", "imageX.png", "image5.jpg", "image5.png.bak"}, 1},
            {"negative number", {"image-4.png"}, 1},
            {"leading zeros", {"image009.png"}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Velm::NextScreenshotNumber(c.names), c.next);
    }
}

// ---- Image dump ----

Velm::ImageMemoryFigures SmallImage() {
    Velm::ImageMemoryFigures f;
    f.width = 2;
    f.height = 2;
    f.bits = 16;
    f.rlAlpha = 4;
    f.hasAlpha = true;
    f.path = "images/small.png";
    return f;
}

Velm::ImageMemoryFigures SurfaceImage() {
    Velm::ImageMemoryFigures f;
    f.width = 1000;
    f.height = 1;
    f.surface = 4000;
    f.hasTexture = true;
    f.texture = 4096;
    f.textureFormat = 2;
    f.isVolatile = true;
    f.forced = true;
    return f;
}

TEST(ImageDump, HtmlForTwoImages) {
    const std::vector<Velm::ImageMemoryFigures> figures = {SmallImage(), SurfaceImage()};
    const std::vector<size_t> order = Velm::ImageDumpOrder(figures);
    ASSERT_EQ(order, (std::vector<size_t>{1, 0}));
    const std::vector<Velm::ImageMemoryFigures> sorted = {figures[1], figures[0]};
    const std::string expected =
            "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>Thu Dec 10 13:22:27 2026\n</B></FONT><BR>\n"
            "Total Image Allocation: 8,116 bytes<BR><TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>"
            "<TR><TD><A HREF=img0000.png><IMG SRC=thumb0000.jpg WIDTH=64 HEIGHT=64></A></TD>"
            "<TD ALIGN=RIGHT>1000 x 1<BR>8,096 bytes</TD>"
            "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>DDSurface<BR>4,000</TD><TD>Texture<BR>A4R4G4B4<BR>4,096</TD>"
            "<TD>Volatile</TD><TD>Forced</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>"
            "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD></TR>"
            "<TR><TD><A HREF=img0001.png><IMG SRC=thumb0001.jpg WIDTH=64 HEIGHT=64></A></TD>"
            "<TD ALIGN=RIGHT>2 x 2<BR>20 bytes</TD>"
            "<TD>mBits<BR>16</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>"
            "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>HasAlpha</TD><TD>&nbsp;</TD>"
            "<TD>&nbsp;</TD><TD>RLAlpha<BR>4</TD><TD>&nbsp;</TD><TD>images/small.png</TD></TR>"
            "<TD>Totals</TD><TD>8,116</TD><TD>16</TD><TD>0</TD><TD>4,000</TD><TD>4,096</TD>"
            "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>"
            "<TD>0</TD><TD>4</TD><TD>0</TD><TD>&nbsp;</TD>"
            "</TABLE></CENTER></BODY></HTML>";
    EXPECT_EQ(Velm::ImageDumpHtml("Thu Dec 10 13:22:27 2026\n", sorted), expected);
}

TEST(ImageDump, EqualTotalsKeepTheirOrder) {
    std::vector<Velm::ImageMemoryFigures> figures(3, SmallImage());
    figures[1].bits = 100;
    EXPECT_EQ(Velm::ImageDumpOrder(figures), (std::vector<size_t>{1, 0, 2}));
}

TEST(ImageDump, FiguresOfAMemoryImage) {
    Velm::MemoryImage image(nullptr);
    image.Create(4, 2);
    image.GetBits();
    image.path = "a.png";
    Velm::ImageMemoryFigures f = Velm::GetImageMemoryFigures(&image);
    EXPECT_EQ(f.bits, 32);
    EXPECT_EQ(f.surface, 0);
    EXPECT_EQ(f.palletized, 0);
    EXPECT_FALSE(f.hasTexture);
    EXPECT_EQ(f.path, "a.png");
    ASSERT_TRUE(image.Palletize());
    f = Velm::GetImageMemoryFigures(&image);
    EXPECT_EQ(f.palletized, 8 + 1024);
}

TEST(ImageDump, ThumbnailTakesTheNearestPixel) {
    // 2 x 2 source: each quarter of the thumbnail is one source pixel.
    const uint32_t pixels[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    const std::vector<uint32_t> thumb = Velm::MakeThumbnail(pixels, 2, 2);
    ASSERT_EQ(thumb.size(), 64u * 64u);
    EXPECT_EQ(thumb[0], 0xFF000001u);
    EXPECT_EQ(thumb[31], 0xFF000001u);
    EXPECT_EQ(thumb[32], 0xFF000002u);
    EXPECT_EQ(thumb[32 * 64], 0xFF000003u);
    EXPECT_EQ(thumb[64 * 64 - 1], 0xFF000004u);
}

TEST(ImageDump, ThousandsSeparators) {
    EXPECT_EQ(Velm::FormatThousands64(0), "0");
    EXPECT_EQ(Velm::FormatThousands64(999), "999");
    EXPECT_EQ(Velm::FormatThousands64(1000), "1,000");
    EXPECT_EQ(Velm::FormatThousands64(12345678901LL), "12,345,678,901");
    EXPECT_EQ(Velm::FormatThousands64(-1234), "-1,234");
}

// ---- Video statistics ----

TEST(VideoStats, TextWithFakeFigures) {
    Velm::VideoStats stats;
    stats.is3D = true;
    stats.support = "Recommended";
    stats.numImages = 42;
    stats.numSounds = 7;
    stats.videoMemoryTotal = 64 * 1024 * 1024;
    stats.videoMemoryFree = 16 * 1024 * 1024;
    stats.textureBytes = 3 * 1024 * 1024 + 512;
    stats.formatImages[0] = 10;
    stats.formatBytes[0] = 2 * 1024 * 1024;
    stats.formatImages[2] = 5;
    stats.formatBytes[2] = 1024 * 1024 + 512;
    EXPECT_EQ(Velm::VideoStatsText(stats),
              "3D-Mode is On (3D is Recommended on this system)\r\n\r\n"
              "Num Images: 42\r\n"
              "Num Sounds: 7\r\n"
              "Video Memory: 49,152/65,536 KB\r\n"
              "Texture Memory: 3,072 KB\r\n"
              "A8R8G8B8: 10 - 2,048 KB\r\n"
              "A4R4G4B4: 0 - 0 KB\r\n"
              "R5G6B5: 5 - 1,024 KB\r\n"
              "Palette8: 0 - 0 KB\r\n");
}

TEST(VideoStats, SupportWord) {
    EXPECT_EQ(Velm::Support3DWord(true, false, false), "Recommended");
    EXPECT_EQ(Velm::Support3DWord(true, false, true), "Supported");
    EXPECT_EQ(Velm::Support3DWord(true, true, false), "Unsupported");
    EXPECT_EQ(Velm::Support3DWord(false, false, false), "Unsupported");
}

// ---- The operations on an application ----

using windowtest::WindowApp;

class DiagnosticsAppTest : public windowtest::WindowAppTest {
protected:
    DiagnosticsAppTest() : mOldAppData(Velm::GetAppDataFolder()) {
        Velm::SetAppDataFolder(mDir.Path() + "/");
        mApp = std::make_unique<WindowApp>(&mSettings);
        mApp->mUseFakeDisplay = true;
        mApp->OpenWindow();
    }
    ~DiagnosticsAppTest() override {
        mApp.reset();
        Velm::SetAppDataFolder(mOldAppData);
    }

    bool Press(int key, bool shift = false, bool ctrl = false, bool alt = false) {
        Velm::WidgetManager* manager = mApp->GetWidgetManager();
        manager->mKeyDown[plat::VK_SHIFT] = shift;
        manager->mKeyDown[plat::VK_CONTROL] = ctrl;
        manager->mKeyDown[plat::VK_MENU] = alt;
        const bool usedUp = mApp->DebugKeyDown(key);
        manager->mKeyDown[plat::VK_SHIFT] = false;
        manager->mKeyDown[plat::VK_CONTROL] = false;
        manager->mKeyDown[plat::VK_MENU] = false;
        return usedUp;
    }

    std::string mOldAppData;
    std::unique_ptr<WindowApp> mApp;
};

TEST_F(DiagnosticsAppTest, SpeedAndStepKeys) {
    EXPECT_TRUE(Press(kF10, false, true));
    EXPECT_DOUBLE_EQ(mApp->mSpeedFactor, 0.25);
    EXPECT_TRUE(Press(kF10, false, true));
    EXPECT_DOUBLE_EQ(mApp->mSpeedFactor, 1.0);
    mApp->mSpeedFactor = 1.5;
    Press(kF10, false, true);
    EXPECT_DOUBLE_EQ(mApp->mSpeedFactor, 0.25);

    EXPECT_TRUE(Press(kF10));
    EXPECT_EQ(mApp->mStepMode, 1);
    mApp->mUpdateFTimeAcc = 50;
    EXPECT_TRUE(Press(kF10, true));
    EXPECT_EQ(mApp->mStepMode, 0);
    EXPECT_DOUBLE_EQ(mApp->mUpdateFTimeAcc, 0.0);
}

TEST_F(DiagnosticsAppTest, ReparseWithoutChangesWarnsAndForgetsHeldKeys) {
    Velm::WidgetManager* manager = mApp->GetWidgetManager();
    const int keyX = 'X';
    manager->mKeyDown[keyX] = true;
    EXPECT_FALSE(Press('R'));
    EXPECT_TRUE(mBoxes.empty());
    EXPECT_TRUE(manager->mKeyDown[keyX]);
    EXPECT_FALSE(Press('R', false, false, true));
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0].rfind("MODVAL WARNING!: WARNING: No file changes detected.  Files parsed: \r\n  ", 0), 0u)
            << mBoxes[0];
    EXPECT_FALSE(manager->mKeyDown[keyX]);
}

TEST_F(DiagnosticsAppTest, ProfilerKeyShowsTheResults) {
    EXPECT_FALSE(Press(kF2));
    mClock.Advance(30);
    EXPECT_FALSE(Press(kF2));
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "Perf Results: Total Time: 30.00\n");
}

TEST_F(DiagnosticsAppTest, OverlayKeysAndTheFrameRateOverlay) {
    EXPECT_FALSE(Press(kF3));
    EXPECT_TRUE(mApp->mShowFPS);
    EXPECT_EQ(mApp->mShowFPSMode, 0);
    EXPECT_FALSE(Press(kF3, true));
    EXPECT_TRUE(mApp->mShowFPS);
    EXPECT_EQ(mApp->mShowFPSMode, 1);
    Press(kF3, true);
    EXPECT_EQ(mApp->mShowFPSMode, 0);

    // The next frame carries the overlay: an opaque 50 pixel wide box 10 pixels from the
    // lower right corner.
    mApp->mForceRedraw = true;
    mApp->DrawFrame();
    Velm::MemoryImage* screen = mApp->mFake->GetScreenImage();
    const uint32_t* bits = screen->GetBits();
    const int w = screen->width;
    const int h = screen->height;
    EXPECT_EQ(bits[(h - 11) * w + (w - 60)], 0xFF000000u);  // left column of the box, black
    EXPECT_EQ(bits[(h - 11) * w + (w - 61)] >> 24, 0u);     // left of it: untouched
    EXPECT_EQ(bits[(h - 10) * w + (w - 60)] >> 24, 0u);     // below it: untouched

    EXPECT_FALSE(Press(kF3));
    EXPECT_FALSE(mApp->mShowFPS);
}

TEST_F(DiagnosticsAppTest, ScreenshotsAreNumbered) {
    Velm::MemoryImage* screen = mApp->mFake->GetScreenImage();
    screen->GetBits()[0] = 0xFF112233;
    screen->MarkBitsChanged();
    const std::string folder = mDir.Path() + "/_screenshots";
    EXPECT_TRUE(Press(kF11));
    EXPECT_TRUE(std::filesystem::exists(folder + "/image1.png"));
    std::ofstream(folder + "/image7.png") << "x";
    std::ofstream(folder + "/image12.png") << "x";
    mApp->TakeScreenshot();
    ASSERT_TRUE(std::filesystem::exists(folder + "/image13.png"));
    std::unique_ptr<ImageLib::Image> shot(ImageLib::GetPNGImage(folder + "/image13.png"));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->mWidth, mApp->GetWidth());
    EXPECT_EQ(shot->mBits[0], 0xFF112233u);
}

TEST_F(DiagnosticsAppTest, ImageDumpReplacesTheFolder) {
    Velm::MemoryImage image(mApp.get());
    image.Create(3, 3);
    image.GetBits()[4] = 0xFF00FF00;
    image.MarkBitsChanged();
    const std::string folder = mDir.Path() + "/_dump";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/stale.txt") << "old";

    EXPECT_TRUE(Press(kF11, true));
    EXPECT_FALSE(std::filesystem::exists(folder + "/stale.txt"));
    std::ifstream in(folder + "/imagelist.html");
    std::stringstream html;
    html << in.rdbuf();
    EXPECT_EQ(html.str().rfind("<HTML><BODY BGCOLOR=EEEEFF>", 0), 0u);
    EXPECT_NE(html.str().find("3 x 3<BR>36 bytes"), std::string::npos);
    const int images = mApp->GetMemoryImageCount();
    for (int n = 0; n < images; ++n) {
        char name[32];
        std::snprintf(name, sizeof(name), "/img%04d.png", n);
        EXPECT_TRUE(std::filesystem::exists(folder + name)) << name;
        std::snprintf(name, sizeof(name), "/thumb%04d.jpg", n);
        EXPECT_TRUE(std::filesystem::exists(folder + name)) << name;
    }
}

TEST_F(DiagnosticsAppTest, VideoStatsBox) {
    EXPECT_TRUE(Press(kF8));
    ASSERT_EQ(mBoxes.size(), 1u);
    const std::string expectedStart =
            "Video Stats: 3D-Mode is Off (3D is Unsupported on this system)\r\n\r\nNum Images: " +
            std::to_string(mApp->GetMemoryImageCount()) + "\r\n";
    EXPECT_EQ(mBoxes[0].rfind(expectedStart, 0), 0u) << mBoxes[0];
    EXPECT_NE(mBoxes[0].find("Video Memory: 0/0 KB\r\n"), std::string::npos);
    EXPECT_NE(mBoxes[0].find("Palette8: 0 - 0 KB\r\n"), std::string::npos);
}

}  // namespace
