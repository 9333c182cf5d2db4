// The display device: set-up results and error texts under injected failures, the published
// pixel format, saturation tables, refresh clamp, letterboxing and the null presenter.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Graphics.h"
#include "platform/DdPresenter.h"
#include "platform/Window.h"
#include "tests/graphics/DisplayFixture.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

using test::DisplayRig;
using test::FakeDisplayHost;

struct Fake3D : public Display3D {
    int tests = 0;
    bool initOk = true;
    CardTestOutcome outcome;
    bool RunCardTest(DDInterface&, int, int, CardTestOutcome* out) override {
        ++tests;
        *out = outcome;
        return true;
    }
    bool InitD3D(DDInterface&) override { return initOk; }
    void Cleanup() override {}
    std::string LastError() override { return initOk ? "" : "no device"; }
    void ClearLastError() override {}
    void EndSceneIfOpen() override {}
    bool IsTransformStackEmpty() override { return true; }
    void FreeImageTexture(MemoryImage*) override {}
    void FillPoly(const Point*, int, const Rect*, const Color&, int, int, int) override {}
    void FillRect(const Rect&, const Color&, int) override {}
    void DrawLine(double, double, double, double, const Color&, int) override {}
    void Blt(Image*, float, float, const Rect&, const Color&, int, bool) override {}
    void BltClipF(Image*, float, float, const Rect&, const Rect*, const Color&, int) override {}
    void BltMirror(Image*, float, float, const Rect&, const Color&, int, bool) override {}
    void StretchBlt(Image*, const Rect&, const Rect&, const Rect*, const Color&, int, bool, bool) override {}
    void BltRotate(Image*, float, float, const Rect*, const Color&, int, double, float, float, const Rect&) override {}
    void BltTransformed(Image*, const Rect*, const Color&, int, const Rect&, const Matrix3&, bool, float, float,
                        bool) override {}
    void DrawTexturedTriangles(const TriVertex (*)[3], int, const Color&, int, Image*, float, float, bool) override {}
};

plat::dd::DisplayConfig Config(int bits, bool use555 = false, bool bgr = false, int hz = 60) {
    plat::dd::DisplayConfig config;
    config.desktopBitsPerPixel = bits;
    config.use555 = use555;
    config.bgrOrder = bgr;
    config.monitorHz = hz;
    return config;
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { plat::dd::ClearFaults(); }
    void TearDown() override {
        plat::dd::ClearFaults();
        plat::dd::SetDisplayConfig(plat::dd::DisplayConfig());
    }
    plat::CapturedDebugOutput log;
};

TEST_F(DisplayTest, ResultNames) {
    EXPECT_EQ(DisplayResultName(0), "RESULT_OK");
    EXPECT_EQ(DisplayResultName(3), "RESULT_SURFACE_FAIL");
    EXPECT_EQ(DisplayResultName(6), "RESULT_INVALID_COLORDEPTH");
    EXPECT_EQ(DisplayResultName(7), "RESULT_UNKNOWN");
    EXPECT_EQ(DisplayResultName(-1), "RESULT_UNKNOWN");
}

TEST_F(DisplayTest, AspectRatioWidth) {
    EXPECT_TRUE(AspectRatio(4, 3).IsNarrowerThan(AspectRatio(16, 9)));
    EXPECT_FALSE(AspectRatio(4, 3).IsNarrowerThan(AspectRatio(4, 3)));
    EXPECT_FALSE(AspectRatio(16, 9).IsNarrowerThan(AspectRatio(4, 3)));
    EXPECT_TRUE(AspectRatio(1024, 768) == AspectRatio(4, 3));
}

TEST_F(DisplayTest, PublishedPixelFormat) {
    struct Case {
        const char* why;
        int bits;
        bool use555, bgr;
        int widths[3], shifts[3];
        bool standardOrder;
    };
    const Case cases[] = {
            {"565", 16, false, false, {5, 6, 5}, {11, 5, 0}, true},
            {"555", 16, true, false, {5, 5, 5}, {10, 5, 0}, true},
            {"XRGB", 32, false, false, {8, 8, 8}, {16, 8, 0}, true},
            {"XBGR: red lowest", 32, false, true, {8, 8, 8}, {0, 8, 16}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        plat::dd::SetDisplayConfig(Config(c.bits, c.use555, c.bgr));
        FakeDisplayHost host;
        DDInterface display(&host);
        ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
        EXPECT_EQ(display.mRGBBits, c.bits);
        EXPECT_EQ(display.mRedBits, c.widths[0]);
        EXPECT_EQ(display.mGreenBits, c.widths[1]);
        EXPECT_EQ(display.mBlueBits, c.widths[2]);
        EXPECT_EQ(display.mRedShift, c.shifts[0]);
        EXPECT_EQ(display.mGreenShift, c.shifts[1]);
        EXPECT_EQ(display.mBlueShift, c.shifts[2]);
        EXPECT_EQ(DDInterface::IsStandardRGBOrder(), c.standardOrder);
        ASSERT_NE(display.GetScreenImage(), nullptr);
        EXPECT_EQ(display.GetScreenImage()->width, host.width);
        EXPECT_EQ(display.GetNativeFormat().bitsPerPixel, c.bits);
    }
}

TEST_F(DisplayTest, SaturationTables) {
    plat::dd::SetDisplayConfig(Config(16, true));
    FakeDisplayHost host;
    DDInterface display(&host);
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    // A 5-bit channel: 63 entries, 31 to 62 all holding 31.
    for (int i = 0; i <= 62; ++i) EXPECT_EQ(display.mRedAddTable[i], i < 31 ? i : 31) << i;
    plat::dd::SetDisplayConfig(Config(16));
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(display.mGreenAddTable[126], 63);
    EXPECT_EQ(display.mGreenAddTable[40], 40);
}

// The drawing loops align their stores to the row: with a pitch of whole cache lines every
// row must start one, whatever the heap hands out for the surface's size.
TEST_F(DisplayTest, SurfacePixelsStartACacheLine) {
    std::vector<std::unique_ptr<plat::dd::Surface>> surfaces;
    for (int width : {1, 3, 16, 17, 64, 100, 640, 1024})
        for (int height : {1, 2, 9, 768}) {
            surfaces.push_back(
                    std::make_unique<plat::dd::Surface>(width, height, plat::dd::PixelFormat::R5G6B5(), 0, 0, 0));
            surfaces.push_back(
                    std::make_unique<plat::dd::Surface>(width, height, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 0));
        }
    for (const auto& surface : surfaces) {
        SCOPED_TRACE(testing::Message() << surface->Width() << "x" << surface->Height());
        EXPECT_EQ(reinterpret_cast<uintptr_t>(surface->Row(0)) % 64, 0u);
    }
    plat::dd::Surface padded(1024, 4, plat::dd::PixelFormat::X8R8G8B8(), 0, 0, 64);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(padded.Row(0)) % 64, 0u);
    EXPECT_TRUE(padded.CanariesIntact());
}

TEST_F(DisplayTest, UnusableDesktopDepth) {
    for (int bits : {8, 24}) {
        SCOPED_TRACE(bits);
        plat::dd::SetDisplayConfig(Config(bits));
        FakeDisplayHost host;
        DDInterface display(&host);
        EXPECT_EQ(display.Init(nullptr, true), RESULT_INVALID_COLORDEPTH);
        EXPECT_FALSE(display.Redraw(nullptr));
    }
}

TEST_F(DisplayTest, RefreshRateClamp) {
    struct Case {
        int hz;
        unsigned rate;
        int ms;
        bool broken;
        bool verticalBlank = true;  // presents can wait for it
    };
    const Case cases[] = {{0, 60, 16, true},   {59, 60, 16, true},  {120, 100, 10, true},
                          {75, 75, 13, false}, {60, 60, 16, false}, {60, 60, 16, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        SCOPED_TRACE(c.verticalBlank);
        plat::dd::DisplayConfig config = Config(32, false, false, c.hz);
        config.verticalBlank = c.verticalBlank;
        plat::dd::SetDisplayConfig(config);
        FakeDisplayHost host;
        DDInterface display(&host);
        ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
        EXPECT_EQ(display.mRefreshRate, c.rate);
        EXPECT_EQ(display.mMillisecondsPerFrame, c.ms);
        EXPECT_EQ(host.vsyncBroken, c.broken);
    }
}

TEST_F(DisplayTest, InjectedFailuresGiveResultAndText) {
    using plat::dd::Op;
    struct Case {
        const char* why;
        bool windowed;
        Op op;
        int skip;
        int result;
        const char* error;
    };
    const plat::dd::Result oom = plat::dd::kErrOutOfMemory;
    // clang-format off
    const Case cases[] = {
                {"create", true, Op::DirectDrawCreateEx, 0, RESULT_DD_CREATE_FAIL, "DirectDrawCreateEx: E_OUTOFMEMORY"},
                {"query", true, Op::QueryInterface, 0, RESULT_DD_CREATE_FAIL,
                 "QueryrInterface IID_IDirectDraw: E_OUTOFMEMORY"},
                {"windowed primary", true, Op::CreateSurface, 0, RESULT_SURFACE_FAIL,
                 "CreateSurface Windowed Primary: E_OUTOFMEMORY"},
                {"windowed draw surface", true, Op::CreateSurface, 1, RESULT_SURFACE_FAIL,
                 "CreateSurface Windowed DrawSurface: E_OUTOFMEMORY"},
                {"windowed clipper", true, Op::CreateClipper, 0, RESULT_FAIL, "CreateClipper Windowed: E_OUTOFMEMORY"},
                {"old cursor area", true, Op::CreateSurface, 2, RESULT_SURFACE_FAIL,
                 "CreateSurface OldCursorArea: E_OUTOFMEMORY"},
                {"new cursor area", true, Op::CreateSurface, 3, RESULT_SURFACE_FAIL,
                 "CreateSurface NewCursorArea: E_OUTOFMEMORY"},
                {"exclusive", false, Op::SetCooperativeLevel, 0, RESULT_EXCLUSIVE_FAIL,
                 "SetCooperativeLevel FullScreen: E_OUTOFMEMORY"},
                {"mode", false, Op::SetDisplayMode, 0, RESULT_DISPCHANGE_FAIL, "SetDisplayMode FullScreen: E_OUTOFMEMORY"},
                {"full-screen primary", false, Op::CreateSurface, 0, RESULT_SURFACE_FAIL,
                 "CreateSurface FullScreen Primary: E_OUTOFMEMORY"},
                {"back buffer", false, Op::GetAttachedSurface, 0, RESULT_SURFACE_FAIL, "GetAttachedSurface: E_OUTOFMEMORY"},
                {"full-screen draw surface", false, Op::CreateSurface, 1, RESULT_SURFACE_FAIL,
                 "CreateSurface FullScreen DrawSurface: E_OUTOFMEMORY"},
                {"full-screen clipper", false, Op::CreateClipper, 0, RESULT_FAIL,
                 "CreateClipper FullScreen: E_OUTOFMEMORY"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        plat::dd::SetDisplayConfig(Config(32));
        FakeDisplayHost host;
        DDInterface display(&host);
        plat::dd::ClearFaults();
        plat::dd::InjectFault(c.op, oom, c.skip);
        EXPECT_EQ(display.Init(nullptr, c.windowed), c.result);
        EXPECT_EQ(display.LastError(), c.error);
        EXPECT_FALSE(display.Redraw(nullptr));
        // The next set-up starts over and succeeds.
        plat::dd::ClearFaults();
        EXPECT_EQ(display.Init(nullptr, c.windowed), RESULT_OK);
        EXPECT_TRUE(display.Redraw(nullptr));
    }
}

TEST_F(DisplayTest, FailedPresentKeepsItsLabel) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    DDInterface display(&host);
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    plat::dd::InjectFault(plat::dd::Op::Blt, plat::dd::kErrSurfaceLost);
    EXPECT_FALSE(display.Redraw(nullptr));
    EXPECT_EQ(display.LastError(), "Redraw Windowed: DDERR_SURFACELOST");

    ASSERT_EQ(display.Init(nullptr, false), RESULT_OK);
    plat::dd::InjectFault(plat::dd::Op::Flip, plat::dd::kErrSurfaceLost);
    EXPECT_FALSE(display.Redraw(nullptr));
    EXPECT_EQ(display.LastError(), "Redraw FullScreen Flip: DDERR_SURFACELOST");
}

TEST_F(DisplayTest, ThreeDWithoutLayerFailsSetUp) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    DDInterface display(&host);
    display.mIs3D = true;
    EXPECT_EQ(display.Init(nullptr, true), RESULT_3D_INIT_FAIL);
    EXPECT_EQ(display.LastError().rfind("3D init error: ", 0), 0u);
}

TEST_F(DisplayTest, LetterboxedFullScreenIn3D) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    host.width = 1024;
    host.height = 768;
    host.depth = 32;
    host.desktopWidth = 1920;
    host.desktopHeight = 1080;
    DDInterface display(&host);
    display.Set3DLayer(std::unique_ptr<Display3D>(new Fake3D()));
    display.mIs3D = true;
    ASSERT_EQ(display.Init(nullptr, false), RESULT_OK);
    EXPECT_TRUE(display.mIsWidescreen);
    EXPECT_EQ(display.mDisplayWidth, 1920);
    EXPECT_EQ(display.mDisplayHeight, 1080);
    EXPECT_EQ(display.mPresentationRect, Rect(240, 0, 1440, 1080));
    EXPECT_EQ(display.GetPrimarySurface()->Width(), 1920);

    // Without 3D the mode is the drawing size.
    display.mIs3D = false;
    ASSERT_EQ(display.Init(nullptr, false), RESULT_OK);
    EXPECT_FALSE(display.mIsWidescreen);
    EXPECT_EQ(display.GetPrimarySurface()->Width(), 1024);
    EXPECT_EQ(display.mPresentationRect, Rect(0, 0, 1024, 768));
    EXPECT_EQ(host.presentation, Rect(0, 0, 1024, 768));
}

TEST_F(DisplayTest, ThreeDModePaths) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    DDInterface display(&host);
    display.Set3DLayer(std::unique_ptr<Display3D>(new Fake3D()));
    display.mIs3D = true;
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    DDImage* screen = display.GetScreenImage();
    // The drawing surface belongs to the 3D layer: no software locks.
    EXPECT_TRUE(screen->IsDrawingSurfaceIn3D());
    EXPECT_FALSE(screen->LockSurface());
    EXPECT_FALSE(screen->UnlockSurface());
    EXPECT_EQ(screen->mLockCount, 0);
    // Any other image draws into its memory pixels.
    DDImage other(&display);
    const std::vector<uint32_t> black(4, 0xFF000000);
    other.SetBits(black.data(), 2, 2, true);
    std::unique_ptr<MemoryImage> white(test::MakeFilled(2, 2, 0xFFFFFFFF));
    other.Blt(white.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
    EXPECT_EQ(other.mSurface, nullptr);
    EXPECT_EQ(other.GetBits()[0], 0xFFFFFFFFu);
    EXPECT_EQ(other.GetBits()[1], 0xFF000000u);
}

TEST_F(DisplayTest, CardTestRunsOnceAndDecides) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    host.auto3D = true;
    DDInterface display(&host);
    Fake3D* layer = new Fake3D();
    layer->outcome.fresh = true;
    display.Set3DLayer(std::unique_ptr<Display3D>(layer));
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(layer->tests, 1);
    EXPECT_TRUE(display.Is3D());
    EXPECT_TRUE(host.testRunNotified);
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(layer->tests, 1);
}

TEST_F(DisplayTest, SecondInitReleasesEverySurface) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    DDInterface display(&host);
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    const size_t images = display.mDDImageSet.size();  // screen and cursor areas
    EXPECT_EQ(images, 3u);
    ASSERT_EQ(display.Init(nullptr, true), RESULT_OK);
    EXPECT_EQ(display.mDDImageSet.size(), images);
}

TEST_F(DisplayTest, CursorImage) {
    plat::dd::SetDisplayConfig(Config(32));
    FakeDisplayHost host;
    DDInterface display(&host);
    MemoryImage a(nullptr), b(nullptr);
    EXPECT_TRUE(display.SetCursorImage(&a));
    EXPECT_FALSE(display.SetCursorImage(&a));
    EXPECT_TRUE(display.SetCursorImage(&b));
    EXPECT_EQ(display.GetCursorImage(), &b);
}

// A test pattern drawn into the screen image comes out of the presenter unchanged.
TEST_F(DisplayTest, TestPatternThroughNullPresenter) {
    for (const test::SurfaceFormat& format : test::AllFormats()) {
        SCOPED_TRACE(format.name);
        for (bool windowed : {true, false}) {
            SCOPED_TRACE(windowed);
            DisplayRig rig(format);
            rig.host.depth = format.bits;
            ASSERT_EQ(rig.display->Init(nullptr, windowed), RESULT_OK);
            DDImage* screen = rig.display->GetScreenImage();
            Graphics g(screen);
            ASSERT_TRUE(screen->LockSurface());
            for (int i = 0; i < 8; ++i) {
                g.SetColor(Color((i * 37) & 0xFF, (i * 91) & 0xFF, (255 - i * 29) & 0xFF));
                g.FillRect(i * 8, 0, 8, 24);
                g.SetColor(Color((i * 53) & 0xFF, 255 - i * 31, (i * 17) & 0xFF));
                g.FillRect(0, 24 + i * 3, 64, 3);
            }
            ASSERT_TRUE(screen->UnlockSurface());
            ASSERT_TRUE(rig.display->Redraw(nullptr));
            auto* presenter = dynamic_cast<plat::dd::NullPresenter*>(rig.display->GetDirectDraw()->GetPresenter());
            ASSERT_NE(presenter, nullptr);
            ASSERT_EQ(presenter->Width(), 64);
            ASSERT_EQ(presenter->Height(), 48);
            plat::dd::Surface* drawSurface = rig.display->GetDrawSurface();
            int differences = 0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    if (presenter->PixelAt(x, y) != drawSurface->PixelAt(x, y)) ++differences;
            EXPECT_EQ(differences, 0);
            // The first band is pure blue.
            const uint32_t first = presenter->PixelAt(0, 0);
            EXPECT_EQ(first & (rig.display->mRedMask | rig.display->mGreenMask), 0u);
            EXPECT_NE(first & rig.display->mBlueMask, 0u);
            EXPECT_TRUE(drawSurface->CanariesIntact());
        }
    }
}

// The window presenter shows the frame in the window, converted to XRGB.
TEST_F(DisplayTest, WindowPresenterShowsTheFrame) {
    for (const test::SurfaceFormat& format : {test::AllFormats()[0], test::AllFormats()[3]}) {
        SCOPED_TRACE(format.name);
        plat::Window::Params params;
        params.title = "display test";
        params.width = 64;
        params.height = 48;
        std::string error;
        std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
        if (!window) GTEST_SKIP() << "no window: " << error;
        window->Show(false);
        DisplayRig rig(format);
        ASSERT_EQ(rig.display->Init(window.get(), true), RESULT_OK);
        DDImage* screen = rig.display->GetScreenImage();
        screen->FillRect(Rect(0, 0, 64, 48), Color(10, 20, 30), 0);
        screen->FillRect(Rect(8, 4, 20, 10), Color(250, 128, 0), 0);
        ASSERT_TRUE(rig.display->Redraw(nullptr));
        std::vector<uint32_t> shown;
        int width = 0, height = 0;
        if (!window->ReadBack(&shown, &width, &height)) GTEST_SKIP() << "the window cannot be read back here";
        ASSERT_EQ(width, 64);
        ASSERT_EQ(height, 48);
        plat::dd::Surface* drawn = rig.display->GetDrawSurface();
        for (int y = 0; y < 48; y += 5)
            for (int x = 0; x < 64; x += 7)
                EXPECT_EQ(shown[y * 64 + x] & 0xFFFFFF, plat::dd::ToXrgb(drawn->PixelAt(x, y), drawn->Format()))
                        << x << "," << y;
    }
}

// The presenter is told to wait for the vertical blank exactly when the application asks for
// it and does not pace frames itself (soft VSync), and always for a full-screen flip.
TEST_F(DisplayTest, PresentsWaitForTheVerticalBlankWhenAsked) {
    struct SyncHost : public test::FakeDisplayHost {
        bool wait = false;
        bool soft = false;
        bool popup = false;
        bool WaitForVSync() override { return wait; }
        bool SoftVSync() override { return soft; }
        bool IsPopupOpen() override { return popup; }
    };
    struct RecordingPresenter : public plat::dd::Presenter {
        int vsync = -1;  // never told
        bool Present(const plat::dd::Surface&) override { return true; }
        void SetVSync(bool on) override { vsync = on ? 1 : 0; }
    };
    struct Row {
        const char* why;
        bool windowed, wait, soft, popup;
        int vsync;
    };
    const Row rows[] = {
            {"windowed, asked", true, true, false, false, 1},
            {"windowed, not asked", true, false, false, false, 0},
            {"windowed, the loop paces itself", true, true, true, false, 0},
            {"full screen flip", false, false, false, false, 1},
            {"full screen blit under a popup", false, true, false, true, 0},
    };
    plat::dd::SetDisplayConfig(Config(32));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        SyncHost host;
        host.depth = 32;
        host.wait = row.wait;
        host.soft = row.soft;
        host.popup = row.popup;
        DDInterface display(&host);
        ASSERT_EQ(display.Init(nullptr, row.windowed), RESULT_OK);
        auto presenter = std::make_shared<RecordingPresenter>();
        display.GetDirectDraw()->SetPresenter(presenter);
        ASSERT_TRUE(display.Redraw(nullptr));
        EXPECT_EQ(presenter->vsync, row.vsync);
    }
}

}  // namespace
}  // namespace Velm
