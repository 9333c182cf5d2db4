#include <gtest/gtest.h>

#include <memory>

#include "engine/anim/FadingImage.h"
#include "engine/anim/StillImage.h"
#include "graphics/Graphics.h"
#include "tests/engine/anim/AnimTestSupport.h"

using animtest::RecordingImage;

namespace {

struct CountingListener : AlphaStaticImageListener {
    void OnFadeStarted() override { ++calls; }
    int calls = 0;
};

TEST(FadingImageTest, DelayCountsDownThenTellsTheListenerOnceThenFades) {
    FadingImage_t fade;
    CountingListener listener;
    fade.listener = &listener;
    fade.startDelay = 3;
    fade.step = 10;
    EXPECT_FALSE(fade.Update());
    EXPECT_FALSE(fade.Update());
    EXPECT_EQ(listener.calls, 0);
    EXPECT_FALSE(fade.Update());  // the delay runs out: the listener hears of it, alpha stays
    EXPECT_EQ(listener.calls, 1);
    EXPECT_FLOAT_EQ(fade.alpha, 0);
    EXPECT_FALSE(fade.Update());
    EXPECT_FLOAT_EQ(fade.alpha, 10);
    EXPECT_EQ(listener.calls, 1);
}

TEST(FadingImageTest, NoDelayNeverTellsTheListener) {
    FadingImage_t fade;
    CountingListener listener;
    fade.listener = &listener;
    fade.step = 100;
    for (int i = 0; i < 5; ++i) fade.Update();
    EXPECT_EQ(listener.calls, 0);
    EXPECT_FLOAT_EQ(fade.alpha, 255);
}

TEST(FadingImageTest, LastStepLandsExactlyOnTheTarget) {
    struct Case {
        const char* why;
        float alpha, step, target;
    };
    const Case cases[] = {
            {"fading in overshoots", 254.995f, 0.01f, 255.0f},
            {"fading out undershoots", 0.005f, -0.01f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FadingImage_t fade;
        fade.alpha = c.alpha;
        fade.step = c.step;
        fade.targetAlpha = c.target;
        EXPECT_TRUE(fade.Update());
        EXPECT_EQ(fade.alpha, c.target);
        EXPECT_TRUE(fade.Update());  // stays finished
    }
}

TEST(FadingImageTest, SetAlphaHoldsTheOpacity) {
    FadingImage_t fade;
    fade.SetAlpha(80);
    EXPECT_TRUE(fade.Update());
    EXPECT_FLOAT_EQ(fade.alpha, 80);
}

TEST(FadingImageTest, DrawTintsByAlphaTimesOpacity) {
    struct Case {
        const char* why;
        float alpha, opacity;
        size_t blits;
        Velm::Color colour;
    };
    const Case cases[] = {
            {"full alpha, full opacity: untinted", 255, 255, 1, Velm::Color(255, 255, 255, 255)},
            {"full alpha, half opacity: white at 128", 255, 128, 1, Velm::Color(255, 255, 255, 128)},
            {"half alpha, full opacity", 128, 255, 1, Velm::Color(255, 255, 255, 128)},
            {"alpha 0 draws nothing", 0, 255, 0, Velm::Color()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<Velm::MemoryImage> picture(animtest::MakeImage(10, 10));
        RecordingImage dest;
        Velm::Graphics g(&dest);
        FadingImage_t fade;
        fade.SetImagePtr(picture.get());
        fade.alpha = c.alpha;
        fade.Draw(&g, c.opacity);
        ASSERT_EQ(dest.blits.size(), c.blits);
        if (c.blits == 1) {
            EXPECT_EQ(dest.blits[0].color, c.colour);
        }
        EXPECT_FALSE(g.GetTintImages());  // the tint flag is put back
        EXPECT_EQ(g.GetDrawMode(), 0);
    }
}

TEST(PictureTest, CentredPictureWithoutRectangleIsPlacedByHalfItsSize) {
    std::unique_ptr<Velm::MemoryImage> picture(animtest::MakeImage(61, 75));
    RecordingImage dest;
    Velm::Graphics g(&dest);
    FadingImage_t fade;
    fade.SetImagePtr(picture.get());
    fade.SetAlpha(255);
    fade.centred = true;
    fade.x = 100;
    fade.y = 100;
    fade.Draw(&g, 255);
    StillImage_t still;
    still.SetImagePtr(picture.get());
    still.centred = true;
    still.x = 100;
    still.y = 100;
    still.Draw(&g, 255);
    ASSERT_EQ(dest.blits.size(), 2u);
    for (const animtest::Blit& b : dest.blits) {
        EXPECT_EQ(b.x, 70);
        EXPECT_EQ(b.y, 63);
    }
}

TEST(PictureTest, FloatPositionsOnlyWhen3DAccelerated) {
    animtest::ScopedHooks hooks;
    std::unique_ptr<Velm::MemoryImage> picture(animtest::MakeImage(8, 8));
    for (bool is3D : {false, true}) {
        SCOPED_TRACE(is3D);
        hooks.is3D = is3D;
        RecordingImage dest;
        Velm::Graphics g(&dest);
        StillImage_t still;
        still.SetImagePtr(picture.get());
        still.x = 10.5f;
        still.y = 20.75f;
        still.additive = true;
        still.Draw(&g, 255);
        ASSERT_EQ(dest.blits.size(), 1u);
        EXPECT_EQ(dest.blits[0].kind, is3D ? "BltF" : "Blt");
        EXPECT_EQ(dest.blits[0].x, is3D ? 10.5f : 10.0f);
        EXPECT_EQ(dest.blits[0].drawMode, 1);
        EXPECT_EQ(g.GetDrawMode(), 0);
    }
}

TEST(StillImageTest, TintOnlyWhenTheColourIsNotOpaque) {
    struct Case {
        const char* why;
        Velm::Color colour;
        float opacity;
        Velm::Color drawn;
    };
    const Case cases[] = {
            {"opaque colour ignores opacity", Velm::Color(0, 0, 0, 255), 0, Velm::Color(255, 255, 255, 255)},
            {"translucent black tints", Velm::Color(0, 0, 0, 128), 255, Velm::Color(0, 0, 0, 128)},
            {"opacity scales the tint alpha", Velm::Color(10, 20, 30, 200), 128, Velm::Color(10, 20, 30, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::unique_ptr<Velm::MemoryImage> picture(animtest::MakeImage(4, 4));
        RecordingImage dest;
        Velm::Graphics g(&dest);
        StillImage_t still;
        still.SetImagePtr(picture.get());
        still.colour = c.colour;
        still.Draw(&g, c.opacity);
        ASSERT_EQ(dest.blits.size(), 1u);
        EXPECT_EQ(dest.blits[0].color, c.drawn);
    }
}

TEST(StillImageTest, HiddenOrWithoutImageDrawsNothing) {
    std::unique_ptr<Velm::MemoryImage> picture(animtest::MakeImage(4, 4));
    RecordingImage dest;
    Velm::Graphics g(&dest);
    StillImage_t none;
    none.Draw(&g, 255);
    StillImage_t hidden;
    hidden.SetImagePtr(picture.get());
    hidden.visible = false;
    hidden.Draw(&g, 255);
    EXPECT_TRUE(dest.blits.empty());
}

TEST(StillImageTest, PivotOfACentredSpriteWithoutRectangleIsItsPosition) {
    StillImage_t still;
    still.centred = true;
    still.x = 33;
    still.y = 44;
    EXPECT_EQ(still.GetPivotX(), 33);
    EXPECT_EQ(still.GetPivotY(), 44);
    still.srcRect = Velm::Rect(0, 0, 20, 10);
    EXPECT_EQ(still.GetPivotX(), 43);
    EXPECT_EQ(still.GetPivotY(), 49);
}

TEST(StillImageTest, ImagesByNameAreOwnedAndReloaded) {
    animtest::ScopedHooks hooks;
    hooks.fileSizes["tiles/a.png"] = {12, 9};
    StillImage_t still;
    still.SetImage("tiles/a.png");
    ASSERT_NE(still.image, nullptr);
    EXPECT_EQ(still.image->GetWidth(), 12);
    still.ReloadImage();  // the old image is deleted (the sanitizer build would see a leak)
    ASSERT_NE(still.image, nullptr);
    EXPECT_EQ(hooks.getImageCalls, 2);
    still.ReleaseImage();
    EXPECT_EQ(still.image, nullptr);
    EXPECT_EQ(still.imageName, "tiles/a.png");

    FadingImage_t missing;
    missing.SetImage("no/such.png");
    EXPECT_EQ(missing.image, nullptr);
    RecordingImage dest;
    Velm::Graphics g(&dest);
    missing.SetAlpha(255);
    missing.Draw(&g, 255);
    EXPECT_TRUE(dest.blits.empty());
}

}  // namespace
