// Image fonts: active layers by point size and tags, scaling, measuring with kerning, and
// drawing through the order buckets.

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>

#include "graphics/FontData.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "tests/graphics/FontTestSupport.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

// Pixels drawn through a tinting blit may be one step off the exact product.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

// A font over a glyph image of 8 x 4 pixels whose left half is opaque white; 'a' and 'b'
// both use that half, advance 4, ascent 4.
struct FontFixture {
    velmtest::TempDir dir;
    test::RecordingFontHost host;

    std::unique_ptr<ImageFont> Make(const std::string& layers) {
        std::vector<uint32_t> pixels(8 * 4, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) pixels[y * 8 + x] = 0xFFFFFFFF;
        host.AddImage(dir / "g.png", test::MakeImage(8, 4, pixels));
        const std::string path = test::WriteText(dir, "font.txt", layers);
        auto font = std::make_unique<ImageFont>(&host, path);
        EXPECT_TRUE(font->fontData->initialized) << (host.popups.empty() ? "" : host.popups[0]);
        return font;
    }
};

std::string Layer(const std::string& name, const std::string& extra) {
    return "CreateLayer " + name + "; LayerSetImage " + name + " g.png; LayerSetImageMap " + name +
           " ('a' 'b') ((0 0 4 4) (0 0 4 4)); LayerSetCharWidths " + name + " ('a' 'b') (4 4); LayerSetAscent " + name +
           " 4;\n" + extra + "\n";
}

TEST(ImageFontTest, LowerBaseOrderIsDrawnForTheWholeStringFirst) {
    struct Case {
        const char* why;
        const char* orders;
        uint32_t atX2;  // where 'a' of the first layer and 'a' of the second overlap
    };
    const Case cases[] = {
            // The second layer is shifted 2 pixels right, so its 'a' overlaps both 'a' and 'b' of
            // the first.
            {"second layer lower: drawn first everywhere", "LayerSetBaseOrder Red 1;", 0xFFFF0000},
            {"equal orders: string order, then layer order", "", 0xFF0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FontFixture fixture;
        auto font =
                fixture.Make(Layer("Red", "LayerSetColorMult Red 0xFF0000;") +
                             Layer("Blue", "LayerSetColorMult Blue 0x0000FF; LayerSetOffset Blue (2 0);") + c.orders);
        std::unique_ptr<MemoryImage> dest(test::MakeFilled(12, 4, 0xFF000000));
        Graphics g(dest.get());
        g.SetColor(Color::White);
        g.SetFont(font.get());
        g.DrawString("ab", 0, 4);
        EXPECT_TRUE(Near(test::Pixel(*dest, 2, 0), c.atX2));
        EXPECT_TRUE(Near(test::Pixel(*dest, 4, 0), 0xFFFF0000u));  // 'b' of Red is drawn after 'a' of Blue
        EXPECT_TRUE(Near(test::Pixel(*dest, 9, 0), 0xFF0000FFu));  // only Blue's 'b' reaches here
        EXPECT_TRUE(Near(test::Pixel(*dest, 0, 0), 0xFFFF0000u));
    }
}

TEST(ImageFontTest, PointRangesAndTagsSelectLayers) {
    FontFixture fixture;
    auto font = fixture.Make(
            Layer("Base", "LayerSetHeight Base 5;") +
            Layer("Small", "LayerPointRange Small 10 14; LayerSetAscent Small 7; LayerSetHeight Small 9;") +
            Layer("Shadow", "LayerRequireTags Shadow ('shadow'); LayerSetHeight Shadow 11;") +
            Layer("NotBig", "LayerExcludeTags NotBig ('big');") + "SetDefaultPointSize 12;");
    struct Case {
        const char* why;
        int pointSize;
        const char* addTag;
        size_t layers;
        int ascent;
        int height;
    };
    const Case cases[] = {
            {"default size 12: the small layer takes part", 12, "", 3, 7, 9},
            {"size 16: the small layer drops out", 16, "", 2, 4, 5},
            {"back to 12", 12, "", 3, 7, 9},
            {"a required tag added", 16, "Shadow", 3, 4, 11},
            {"an excluded tag added", 16, "big", 2, 4, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        font->SetPointSize(c.pointSize);
        if (c.addTag[0] != 0) {
            EXPECT_TRUE(font->AddTag(c.addTag));
        }
        font->EnsureActiveLayers();
        EXPECT_EQ(font->activeLayers.size(), c.layers);
        EXPECT_EQ(font->GetAscent(), c.ascent);
        EXPECT_EQ(font->GetHeight(), c.height);
    }
    EXPECT_EQ(font->GetDefaultPointSize(), 12);
}

TEST(ImageFontTest, Tags) {
    FontFixture fixture;
    auto font = fixture.Make(Layer("m", ""));
    EXPECT_TRUE(font->AddTag("glow"));
    EXPECT_TRUE(font->HasTag("GLOW"));
    EXPECT_TRUE(font->HasTag("Glow"));
    EXPECT_FALSE(font->AddTag("Glow"));
    EXPECT_FALSE(font->RemoveTag("none"));
    EXPECT_TRUE(font->RemoveTag("gLoW"));
    EXPECT_FALSE(font->HasTag("glow"));
}

TEST(ImageFontTest, LayerMadeForTwiceTheSizeMeasuresAndDrawsAtHalf) {
    FontFixture fixture;
    auto font = fixture.Make(
            "CreateLayer m; LayerSetImage m g.png; LayerSetImageMap m ('a') ((0 0 4 4)); LayerSetCharWidths m ('a') "
            "(9);\n"
            "LayerSetAscent m 4; LayerSetPointSize m 20; SetDefaultPointSize 20;");
    EXPECT_EQ(font->CharWidth('a'), 9);
    font->SetPointSize(10);
    EXPECT_EQ(font->CharWidth('a'), 4);
    EXPECT_EQ(font->GetAscent(), 2);
    ASSERT_EQ(font->activeLayers.size(), 1u);
    EXPECT_TRUE(font->activeLayers.front().ownsImage);
    EXPECT_EQ(font->activeLayers.front().charRects[static_cast<unsigned char>('a')], Rect(0, 0, 2, 2));

    std::unique_ptr<MemoryImage> dest(test::MakeFilled(8, 8, 0xFF000000));
    Graphics g(dest.get());
    g.SetColor(Color::White);
    std::list<Rect> drawn;
    int width = 0;
    font->DrawStringWithLayers(&g, 1, 4, "aa", Color::White, g.clip, &drawn, &width);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(drawn, (std::list<Rect>{Rect(1, 2, 2, 2), Rect(5, 2, 2, 2)}));
    EXPECT_TRUE(Near(test::Pixel(*dest, 1, 2), 0xFFFFFFFFu));
    EXPECT_TRUE(Near(test::Pixel(*dest, 3, 2), 0xFF000000u));

    // A copy keeps its own scaled glyphs.
    std::unique_ptr<Font> copy(font->Duplicate());
    ImageFont* imageCopy = static_cast<ImageFont*>(copy.get());
    ASSERT_EQ(imageCopy->activeLayers.size(), 1u);
    EXPECT_NE(imageCopy->activeLayers.front().scaledImage, font->activeLayers.front().scaledImage);
    EXPECT_EQ(font->fontData->refCount, 2);
    EXPECT_EQ(copy->CharWidth('a'), 4);
}

TEST(ImageFontTest, KerningAndSpacingAfterCharacterMap) {
    FontFixture fixture;
    auto font = fixture.Make(
            Layer("m", "LayerSetKerningPairs m ('ab') (-1); LayerSetSpacing m 2; SetCharMap ('A') ('a');"));
    EXPECT_EQ(font->CharWidthKern('b', 'a'), 4 - 1 + 2);
    EXPECT_EQ(font->CharWidthKern('b', 'A'), 4 - 1 + 2);
    EXPECT_EQ(font->CharWidthKern('a', 0), 4);
    EXPECT_EQ(font->StringWidth("ab"), 4 + 5);
    EXPECT_EQ(font->StringWidth(""), 0);
    EXPECT_EQ(font->CharWidth('z'), 0);
}

TEST(ImageFontTest, StringsNeedingMoreThanThePoolAreCut) {
    FontFixture fixture;
    auto font = fixture.Make(Layer("m", "") + Layer("n", ""));
    std::unique_ptr<MemoryImage> dest(test::MakeFilled(16, 16, 0));
    Graphics g(dest.get());
    std::list<Rect> drawn;
    int width = 0;
    const std::string text(3000, 'a');
    font->DrawStringWithLayers(&g, 0, 8, text, Color::White, g.clip, &drawn, &width);
    EXPECT_EQ(drawn.size(), 4096u);
    EXPECT_EQ(width, 2048 * 4);  // the rest is neither drawn nor advanced over
}

TEST(ImageFontTest, ColourMultiplyAndAdd) {
    struct Case {
        const char* why;
        const char* colours;
        Color caller;
        uint32_t pixel;
    };
    // clang-format off
    const Case cases[] = {
            {"white multiply, nothing added: the caller's colour", "", Color(10, 200, 30), 0xFF0AC81Eu},
            {"red added at full: red whatever the caller's red", "LayerSetColorAdd m 0x01FF0000;", Color(10, 200, 30),
             0xFFFFC81Eu},
            {"multiply halves green", "LayerSetColorMult m (1 0.5 1 1);", Color(255, 255, 255), 0xFFFF7FFFu},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FontFixture fixture;
        auto font = fixture.Make(Layer("m", c.colours));
        std::unique_ptr<MemoryImage> dest(test::MakeFilled(4, 4, 0xFF000000));
        Graphics g(dest.get());
        g.SetColor(c.caller);
        g.SetFont(font.get());
        g.DrawString("a", 0, 4);
        EXPECT_TRUE(Near(test::Pixel(*dest, 0, 0), c.pixel));
        EXPECT_EQ(g.GetColor(), c.caller);
        EXPECT_FALSE(g.GetTintImages());
    }
}

TEST(ImageFontTest, AdditiveLayer) {
    FontFixture fixture;
    auto font = fixture.Make(Layer("m", "LayerSetDrawMode m 1;"));
    std::unique_ptr<MemoryImage> dest(test::MakeFilled(4, 4, 0xFF102030));
    Graphics g(dest.get());
    g.SetColor(Color(0x10, 0x10, 0x10));
    g.SetFont(font.get());
    g.DrawString("a", 0, 4);
    EXPECT_TRUE(Near(test::Pixel(*dest, 0, 0), 0xFF203040u, 3));  // added, not blended
    EXPECT_EQ(g.GetDrawMode(), 0);
}

TEST(ImageFontTest, FailedDescriptorMeasuresZeroAndDrawsNothing) {
    velmtest::TempDir dir;
    test::RecordingFontHost host;
    ImageFont font(&host, test::WriteText(dir, "bad.txt", "CreateLayer m; Nonsense;"));
    EXPECT_FALSE(font.fontData->initialized);
    EXPECT_EQ(font.StringWidth("abc"), 0);
    std::unique_ptr<MemoryImage> dest(test::MakeFilled(4, 4, 0xFF000000));
    Graphics g(dest.get());
    std::list<Rect> drawn;
    int width = 7;
    font.DrawStringWithLayers(&g, 0, 4, "abc", Color::White, g.clip, &drawn, &width);
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(drawn.empty());
    EXPECT_TRUE(Near(test::Pixel(*dest, 0, 0), 0xFF000000u));

    ImageFont missing(&host, dir / "none.txt");
    EXPECT_FALSE(missing.fontData->initialized);
    EXPECT_EQ(missing.StringWidth("abc"), 0);
}

TEST(ImageFontTest, CharactersAbove127IndexTheTables) {
    FontFixture fixture;
    auto font = fixture.Make(Layer("m", "LayerSetCharWidths m ('\xE9') (6);"));
    EXPECT_EQ(font->CharWidth('\xE9'), 6);
    EXPECT_EQ(font->StringWidth("a\xE9"), 10);
}

}  // namespace
}  // namespace Velm
