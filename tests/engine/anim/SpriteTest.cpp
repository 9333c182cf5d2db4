#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/anim/AnimObject2.h"
#include "engine/anim/SpriteSheet.h"
#include "engine/util/IniFile.h"
#include "graphics/Graphics.h"
#include "platform/CrtRand.h"
#include "tests/engine/anim/AnimTestSupport.h"
#include "tests/platform/TempDir.h"

using animtest::WriteIni;

namespace {

class SpriteTest : public ::testing::Test {
protected:
    void TearDown() override { ClearSpriteSheetCache(); }

    // An animation read from "Main" keys plus a sheet section "Sheet" of 32 x 32 frames.
    std::unique_ptr<AnimObject2> Anim(const std::vector<std::string>& mainKeys) {
        std::vector<std::string> lines = {"[Main]", "Sprite=Sheet"};
        lines.insert(lines.end(), mainKeys.begin(), mainKeys.end());
        lines.insert(lines.end(), {"[Sheet]", "ImageFile=images/sheet", "Rects=0,0,32,32", "ColCount=8", "RowCount=1"});
        const std::string path = dir / ("anim" + std::to_string(++files) + ".anim");
        WriteIni(path, lines);
        auto anim = std::make_unique<AnimObject2>();
        anim->LoadFile(path);
        return anim;
    }

    velmtest::TempDir dir;
    animtest::ScopedHooks hooks;
    int files = 0;
};

TEST_F(SpriteTest, GridExpandsTheFirstRectangleRowByRow) {
    const std::string spr = dir / "grid.spr";
    WriteIni(spr, {"[Main]", "ImageFile=images/grid", "Rects=0,0,32,32", "ColCount=4", "RowCount=2", "ActiveRect=5"});
    SpriteSheet_t sheet;
    ASSERT_TRUE(sheet.LoadFile(spr));
    const Velm::Rect expected[] = {{0, 0, 32, 32},  {32, 0, 32, 32},  {64, 0, 32, 32},  {96, 0, 32, 32},
                                   {0, 32, 32, 32}, {32, 32, 32, 32}, {64, 32, 32, 32}, {96, 32, 32, 32}};
    ASSERT_EQ(sheet.rects.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sheet.rects[i], expected[i]);
    }
    EXPECT_EQ(sheet.currentRect, expected[5]);
    EXPECT_EQ(sheet.imageFile, "images/grid");
}

TEST_F(SpriteTest, BrokenSheetKeysLeaveWhatCanBeRead) {
    IniFile_t ini;
    const std::string text = "[Main]\r\nRects=1,2,3,4;5,6;7,8,9,10\r\nColCount=3\r\nActiveRect=9\r\n";
    ini.Parse(text.data(), text.size(), true);
    SpriteSheet_t sheet;
    EXPECT_TRUE(sheet.LoadFromSection(ini.GetSection("Main")));
    // The two-number item is left out; no rows means no grid; the index is out of range.
    ASSERT_EQ(sheet.rects.size(), 2u);
    EXPECT_EQ(sheet.rects[1], Velm::Rect(7, 8, 9, 10));
    EXPECT_EQ(sheet.currentRect, Velm::Rect());
}

TEST_F(SpriteTest, MissingSheetFileIsNullAndNotCached) {
    EXPECT_EQ(GetSpriteSheet(dir / "missing.spr", true, true), nullptr);
    WriteIni(dir / "missing.spr", {"[Main]", "ImageFile=x", "Rects=0,0,1,1"});
    EXPECT_NE(GetSpriteSheet(dir / "missing.spr", true, true), nullptr);  // tried again
}

TEST(SpriteAttributesTest, WordsAnywhereInTheText) {
    struct Case {
        const char* text;
        bool is3D;
        bool palletize, a4, dd, discard, a8, minSub, noAlpha;
    };
    const Case cases[] = {
            {"", false, true, false, false, false, false, false, false},
            {"nopal", false, false, false, false, false, false, false, false},
            {"a4r4g4b4 ddsurface", false, true, true, true, false, false, false, false},
            {"nobits", true, true, false, false, true, false, false, false},
            {"nobits2d", true, true, false, false, true, false, false, false},  // contains "nobits"
            {"nobits3d", false, true, false, false, true, false, false, false},
            {"a8r8g8b8,minsubdivide,noalpha", false, true, false, false, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.is3D ? " (3D)" : " (2D)"));
        const SpriteImageAttributes_t a = ParseSpriteImageAttributes(c.text, c.is3D);
        EXPECT_EQ(a.palletize, c.palletize);
        EXPECT_EQ(a.a4r4g4b4, c.a4);
        EXPECT_EQ(a.ddSurface, c.dd);
        EXPECT_EQ(a.discardBits, c.discard);
        EXPECT_EQ(a.a8r8g8b8, c.a8);
        EXPECT_EQ(a.minSubdivide, c.minSub);
        EXPECT_EQ(a.noAlpha, c.noAlpha);
    }
}

TEST_F(SpriteTest, AnimationsOfOneSheetFileShareOneCachedSheet) {
    const std::string spr = dir / "shared.spr";
    WriteIni(spr,
             {"[Main]", "ImageFile=images/shared", "AlphaFile=images/shared_", "Attributes=nopal", "Rects=0,0,16,16"});
    std::unique_ptr<Velm::MemoryImage> image(animtest::MakeImage(16, 16));
    hooks.resources["images/shared"] = nullptr;
    AnimObject2 a, b;
    a.SetSpriteByName(spr);
    b.SetSpriteByName(spr);
    ASSERT_NE(a.sheet, nullptr);
    EXPECT_EQ(a.sheet, b.sheet);
    EXPECT_EQ(a.sheet->name, spr);
    // Registered when created, and again while its image is still missing.
    ASSERT_EQ(hooks.registered.size(), 2u);
    EXPECT_EQ(hooks.registered[0], "images/shared|images/shared_|nopal");
    EXPECT_EQ(a.sheet->image, nullptr);
    hooks.resources["images/shared"] = image.get();
    ResolveSpriteSheetImages();
    EXPECT_EQ(a.sheet->image, image.get());
    hooks.resources.erase("images/shared");
}

TEST_F(SpriteTest, FrameTimingEndsOrHoldsOnTheLastEntry) {
    struct Case {
        const char* why;
        const char* endKey;
        bool done, holding;
    };
    const Case cases[] = {
            {"NeverEnding=0 finishes", "NeverEnding=0", true, false},
            {"StayOnLast=1 holds", "StayOnLast=1", false, true},
    };
    // Five ticks per entry: the index after each of the 15 updates.
    const int expected[15] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto anim = Anim({"Frames=0,1,2", "FrameDelay=5", c.endKey});
        anim->Start();
        for (int i = 0; i < 15; ++i) {
            SCOPED_TRACE(i + 1);
            const bool finished = anim->Update();
            EXPECT_EQ(anim->frameIndex, expected[i]);
            EXPECT_EQ(finished, i == 14 && c.done);
        }
        EXPECT_EQ(anim->done, c.done);
        EXPECT_EQ(anim->holding, c.holding);
        EXPECT_EQ(anim->IsPlaying(), !c.done);
    }
}

TEST_F(SpriteTest, LoopingAnimationWrapsAndNothingPlaysBeforeStart) {
    auto anim = Anim({"Frames=4,5", "FrameDelay=1"});
    EXPECT_TRUE(anim->done);
    EXPECT_TRUE(anim->IsStopped());
    anim->Update();
    EXPECT_EQ(anim->frameIndex, 0);
    anim->Start();
    const int expected[] = {1, 0, 1, 0};
    for (int e : expected) {
        anim->Update();
        EXPECT_EQ(anim->frameIndex, e);
    }
    EXPECT_FALSE(anim->done);
}

TEST_F(SpriteTest, ListTablesArePaddedToTheFrameCount) {
    auto anim = Anim({"Frames=3,4", "FrameDelays=2"});
    ASSERT_EQ(anim->delays.size(), 2u);
    EXPECT_EQ(anim->delays[0], 2);
    EXPECT_EQ(anim->delays[1], 0);
    EXPECT_EQ(anim->scales, (std::vector<float>{1.0f, 1.0f}));
}

TEST_F(SpriteTest, ScaleBetweenTwoEntries) {
    auto anim = Anim({"Frames=0,1", "FrameDelay=10", "Scales=1,2"});
    anim->Start();
    for (int i = 0; i < 5; ++i) anim->Update();
    EXPECT_FLOAT_EQ(anim->scale, 1.5f);
}

TEST_F(SpriteTest, DeltaAngleStepsTheAngleTable) {
    auto anim = Anim({"Frames=0,1,2,3", "UseDeltaAngle=-1", "Angle=90"});
    const float degrees[] = {90, 0, -90, -180};
    ASSERT_EQ(anim->angles.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(anim->angles[i], degrees[i] * 0.017453292f);
    EXPECT_EQ(anim->spin, -1);
}

// A frame delay of 0 (the default) must not divide by zero in the interpolations.
TEST_F(SpriteTest, ZeroDelayKeepsScaleAndAngleFinite) {
    struct Case {
        const char* why;
        const char* key;
    };
    const Case cases[] = {
            {"Scales list", "Scales=1,2,3"},
            {"Angles list", "Angles=0,90,180"},
            {"spin", "UseDeltaAngle=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto anim = Anim({"Frames=0,1,2", c.key});
        anim->Start();
        for (int i = 0; i < 10; ++i) {
            anim->Update();
            ASSERT_TRUE(std::isfinite(anim->scale));
            ASSERT_TRUE(std::isfinite(anim->angle));
        }
    }
    auto spinning = Anim({"Frames=0,1", "UseDeltaAngle=1"});
    spinning->Start();  // every transform rebuild turns by 360 / 2 frames / max(delay 0, 1) / |spin|
    EXPECT_FLOAT_EQ(spinning->angle, 180.0f);
    spinning->Update();
    EXPECT_FLOAT_EQ(spinning->angle, 360.0f);
}

Velm::Color FromHsl(int h, int s, int l) { return Velm::Color(static_cast<int>(HslToRgb(h, s, l))); }

TEST_F(SpriteTest, ColourCycleMovesThroughHueSaturationAndLightness) {
    auto anim = Anim({"Frames=0", "FrameDelay=1000", "StartColor=FFFF0000", "EndColor=800000FF", "ColorDelay=100"});
    ASSERT_EQ(anim->colourTable.size(), 3u);
    struct Row {
        int age;
        Velm::Color colour;
    };
    // Red is hue 0, blue hue 170 (saturation 255, lightness 127 both): halfway is hue 85.
    // clang-format off
    const Row rows[] = {
            {25, Velm::Color(FromHsl(85, 255, 127).red, FromHsl(85, 255, 127).green, FromHsl(85, 255, 127).blue, 192)},
            {50, Velm::Color(FromHsl(170, 255, 127).red, FromHsl(170, 255, 127).green, FromHsl(170, 255, 127).blue, 128)},
            {75, Velm::Color(FromHsl(85, 255, 127).red, FromHsl(85, 255, 127).green, FromHsl(85, 255, 127).blue, 191)},
            {100, FromHsl(0, 255, 127)},  // red again, through the HSL round trip
    };
    // clang-format on
    anim->Start();
    int age = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.age);
        while (age < row.age) {
            anim->Update();
            ++age;
        }
        EXPECT_EQ(anim->currentColour, row.colour);
    }
    const Velm::Color blue = FromHsl(170, 255, 127);
    EXPECT_LE(blue.red + blue.green, 4);
    EXPECT_GE(blue.blue, 250);
}

// A period below 2 divided by zero; an odd period read past the three-entry table.
TEST_F(SpriteTest, ShortAndOddColourPeriodsStayInsideTheTable) {
    struct Case {
        const char* why;
        const char* period;
        std::vector<Velm::Color> afterEachUpdate;
    };
    // Colours that differ from their partner go through the HSL round trip; equal ones do not.
    const Velm::Color red(255, 0, 0, 255), redHsl = FromHsl(0, 255, 127), blueHsl = FromHsl(170, 255, 127);
    // clang-format off
    const Case cases[] = {
            {"period 0: no cycle, the entry of the frame", "ColorDelay=0", {red, red, red}},
            {"period 1: no cycle", "ColorDelay=1", {red, red, red}},
            {"period 3: the odd last tick shows the start colour", "ColorDelay=3",
             {blueHsl, red, redHsl, blueHsl, red, redHsl}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto anim = Anim({"Frames=0", "FrameDelay=1000", "StartColor=FFFF0000", "EndColor=FF0000FF", c.period});
        anim->Start();
        for (size_t i = 0; i < c.afterEachUpdate.size(); ++i) {
            SCOPED_TRACE(i + 1);
            anim->Update();
            EXPECT_EQ(anim->currentColour, c.afterEachUpdate[i]);
        }
    }
}

TEST_F(SpriteTest, ColourListsAndSingleColour) {
    auto listed = Anim({"Frames=0,1,2", "Colors=0xFF00FF00,255"});
    ASSERT_EQ(listed->colourTable.size(), 3u);
    EXPECT_EQ(listed->colourTable[0], Velm::Color(0, 255, 0, 255));
    EXPECT_EQ(listed->colourTable[1], Velm::Color(0, 0, 255, 255));  // top byte 0 becomes opaque
    EXPECT_EQ(listed->colourTable[2], Velm::Color(0, 0, 0, 255));
    auto single = Anim({"Frames=0,1", "Color=80112233"});
    EXPECT_EQ(single->colourTable, (std::vector<Velm::Color>(2, Velm::Color(0x11, 0x22, 0x33, 0x80))));
    auto none = Anim({"Frames=0,1"});
    EXPECT_TRUE(none->colourTable.empty());
}

TEST_F(SpriteTest, RandomAngleDrawsFromTheRuntimeGenerator) {
    plat::CrtSrand(77);
    const int first = plat::CrtRand();
    plat::CrtSrand(77);
    auto anim = Anim({"Frames=0", "RandomAngle="});
    EXPECT_FLOAT_EQ(anim->angle, static_cast<float>(first * 0.00019165624591230046));
}

TEST_F(SpriteTest, DrawSetsTheFrameRectangleAndTints) {
    std::unique_ptr<Velm::MemoryImage> image(animtest::MakeImage(256, 32));
    auto anim = Anim({"Frames=2,3", "FrameDelay=1", "X=100", "Y=50", "Color=FF102030", "DrawAdditive=1"});
    ASSERT_NE(anim->sheet, nullptr);
    anim->sheet->image = image.get();
    animtest::RecordingImage dest;
    Velm::Graphics g(&dest);
    anim->Draw(&g);
    EXPECT_TRUE(dest.blits.empty());  // never started
    anim->Start();
    anim->Draw(&g);
    anim->Update();
    anim->Draw(&g);
    ASSERT_EQ(dest.blits.size(), 2u);
    EXPECT_EQ(dest.blits[0].src, Velm::Rect(64, 0, 32, 32));
    EXPECT_EQ(dest.blits[1].src, Velm::Rect(96, 0, 32, 32));
    EXPECT_EQ(dest.blits[0].x, 84);  // centred on (100, 50)
    EXPECT_EQ(dest.blits[0].y, 34);
    EXPECT_EQ(dest.blits[1].color, Velm::Color(0x10, 0x20, 0x30, 255));
    EXPECT_EQ(dest.blits[1].drawMode, 1);
    EXPECT_FALSE(g.GetTintImages());
    anim->DrawTransformed(&g);
    EXPECT_EQ(dest.blits.size(), 3u);
    anim->sheet->image = nullptr;
}

TEST_F(SpriteTest, StartFrameOutsideTheListStartsAtTheFirstEntry) {
    auto anim = Anim({"Frames=0,1", "FrameDelay=2", "StartFrame=7"});
    anim->Start();
    EXPECT_EQ(anim->frameIndex, 0);
    for (int i = 0; i < 6; ++i) anim->Update();
    auto inRange = Anim({"Frames=0,1", "StartFrame=1"});
    inRange->Start();
    EXPECT_EQ(inRange->frameIndex, 1);
}

TEST_F(SpriteTest, CopiesShareTheSheetButNeverOwnIt) {
    auto anim = Anim({"Frames=0,1", "FrameDelay=3", "X=5", "Y=6"});
    anim->SetSpriteCopy(anim->sheet);
    ASSERT_TRUE(anim->sheetOwned);
    AnimObject2 copy(*anim);
    EXPECT_EQ(copy.sheet, anim->sheet);
    EXPECT_FALSE(copy.sheetOwned);
    AnimObject2 other;
    other.CopyFrom(*anim);
    EXPECT_EQ(other.sheet, anim->sheet);
    EXPECT_FALSE(other.sheetOwned);
    EXPECT_EQ(other.x, 5);
    EXPECT_EQ(other.delays, anim->delays);
}

TEST_F(SpriteTest, MissingAnimationFileChangesNothing) {
    AnimObject2 anim;
    anim.x = 12;
    anim.LoadFile(dir / "none.anim");
    EXPECT_EQ(anim.x, 12);
    EXPECT_EQ(anim.sheet, nullptr);
    EXPECT_TRUE(anim.frames.empty());
}

}  // namespace
