// Font descriptor commands: what each builds, and the message each failure shows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/FontData.h"
#include "graphics/ImageFont.h"
#include "tests/graphics/FontTestSupport.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

// The message of each error box, without the file header and the line and command tail.
std::vector<std::string> Messages(const test::RecordingFontHost& host, const std::string& path) {
    std::vector<std::string> messages;
    const std::string header = "Font Descriptor Error in " + path + "\r\n";
    for (std::string text : host.popups) {
        if (text.compare(0, header.size(), header) == 0) text.erase(0, header.size());
        const size_t tail = text.find(" on Line ");
        if (tail != std::string::npos) text.erase(tail);
        messages.push_back(text);
    }
    return messages;
}

struct Loaded {
    test::RecordingFontHost host;
    FontData data;
    std::string path;
    std::vector<std::string> messages;

    Loaded(const velmtest::TempDir& dir, const std::string& text) {
        host.AddImage(dir / "glyphs.png", test::MakeFilled(20, 10, 0xFFFFFFFF));
        path = test::WriteText(dir, "font.txt", text);
        data.Load(&host, path);
        messages = Messages(host, path);
    }
    FontLayer& Layer(const std::string& name) { return *data.layerNames.at(name); }
};

struct CommandCase {
    const char* why;
    const char* text;
    bool initialized;
    std::vector<std::string> messages;
};

const char kType[] = "Invalid Paramater Type";

// clang-format off
const CommandCase kCommandCases[] = {
        {"unknown command", "Bogus 1", false, {"Unknown Command"}},
        {"too few parameters", "CreateLayer", false, {"Invalid Number of Parameters"}},
        {"too many parameters", "CreateLayer a b", false, {"Invalid Number of Parameters"}},
        {"command names in any case", "createlayer main; LAYERSETASCENT Main 5", true, {}},
        {"an int token in quotes", "CreateLayer m; LayerSetAscent m '5'", false, {kType}},
        {"an int token naming a define", "Define five 5; CreateLayer m; LayerSetAscent m five", false, {kType}},
        {"an int token given as a list", "CreateLayer m; LayerSetAscent m (5)", false, {kType}},
        {"integers inside lists may come from defines", "Define w 7; CreateLayer m; LayerSetCharWidths m ('a' 'b') (w 3)",
         true, {}},
        {"a define named by an immediate", "Define 5 x", false, {kType}},
        {"a define named in quotes", "Define 'n' x", false, {kType}},
        {"a define whose list does not resolve", "Define x (nope)", false, {"Unable to Dereference \"nope\""}},
        {"a layer created twice", "CreateLayer m; CreateLayer M; LayerSetAscent m 3", true, {"Layer Already Exists"}},
        {"a layer nobody created", "LayerSetAscent nope 1", false, {"Undefined Layer", kType}},
        {"a layer given as a list", "CreateLayer m; LayerSetAscent (m) 1", false, {kType}},
        {"draw mode 2", "CreateLayer m; LayerSetDrawMode m 2", false, {kType}},
        {"draw mode 1", "CreateLayer m; LayerSetDrawMode m 1", true, {}},
        {"an image map before the image", "CreateLayer m; LayerSetImageMap m ('a') ((0 0 1 1))", false,
         {"Layer image not set"}},
        {"an image that does not load", "CreateLayer m; LayerSetImage m missing.png", false, {"Failed to Load Image"}},
        {"an image rectangle past the right edge",
         "CreateLayer m; LayerSetImage m glyphs.png; LayerSetImageMap m ('a' 'b') ((0 0 5 5) (15 0 6 10))", false,
         {"Image rectangle out of bounds"}},
        {"an image rectangle above the top",
         "CreateLayer m; LayerSetImage m glyphs.png; LayerSetImageMap m ('a') ((0 -1 5 5))", false,
         {"Image rectangle out of bounds"}},
        {"an image rectangle touching the edges",
         "CreateLayer m; LayerSetImage m glyphs.png; LayerSetImageMap m ('a') ((15 0 5 10))", true, {}},
        {"an image map of different lengths",
         "CreateLayer m; LayerSetImage m glyphs.png; LayerSetImageMap m ('a' 'b') ((0 0 5 5))", false,
         {"List Size Mismatch"}},
        {"a character map of different lengths", "SetCharMap ('a' 'b') ('c')", false, {"List Size Mismatch"}},
        {"a character entry of two characters", "CreateLayer m; LayerSetCharWidths m ('a' 'bc' 'd') (1 2 3)", false, {kType}},
        {"a kerning pair of one character", "CreateLayer m; LayerSetKerningPairs m ('ab' 'c') (1 2)", false, {kType}},
        {"kerning values out of range are stored as signed bytes", "CreateLayer m; LayerSetKerningPairs m ('ab') (200)",
         true, {}},
        {"an offset that is not a pair", "CreateLayer m; LayerSetCharOffsets m ('a') ((1 2 3))", false, {kType}},
        {"a layer offset of three numbers", "CreateLayer m; LayerSetOffset m (1 2 3)", false, {kType}},
        {"a colour of three numbers", "CreateLayer m; LayerSetColorMult m (1 1 1)", false, {kType}},
        {"a colour token that is not a number", "CreateLayer m; LayerSetColorAdd m red", false, {kType}},
        {"a point range", "CreateLayer m; LayerPointRange m 10 14", true, {}},
        {"tags as a string list", "CreateLayer m; LayerRequireTags m ('shadow' \"big\"); LayerExcludeTags m ('small')", true, {}},
        {"tags from an undefined name", "CreateLayer m; LayerRequireTags m tagList", false,
         {"Unable to Dereference \"tagList\"", kType}},
        {"a layer copied from a missing layer", "CreateLayerFrom m nope", false, {"Undefined Layer", kType}},
};
// clang-format on

TEST(FontDataTest, CommandTable) {
    velmtest::TempDir dir;
    for (const CommandCase& c : kCommandCases) {
        SCOPED_TRACE(c.why);
        Loaded loaded(dir, c.text);
        EXPECT_EQ(loaded.data.initialized, c.initialized);
        EXPECT_EQ(loaded.messages, c.messages);
    }
}

TEST(FontDataTest, LayerFieldsFromCommands) {
    velmtest::TempDir dir;
    Loaded loaded(dir,
                  "SetDefaultPointSize 14;\n"
                  "CreateLayer Main;\n"
                  "LayerSetImage Main 'glyphs.png';\n"
                  "LayerSetCharOffsets Main ('a') ((1 -2));\n"
                  "LayerSetImageMap Main ('a' 'b') ((0 0 5 8) (15 0 5 10));\n"
                  "LayerSetCharWidths Main ('a' 'b') (6 0x7);\n"
                  "LayerSetCharOrders Main ('b') (-3);\n"
                  "LayerSetKerningPairs Main ('ab' 'ba') (-2 200);\n"
                  "LayerSetAscent Main 9; LayerSetAscentPadding Main 1; LayerSetHeight Main 12;\n"
                  "LayerSetLineSpacingOffset Main 2; LayerSetSpacing Main 1; LayerSetBaseOrder Main 4;\n"
                  "LayerSetPointSize Main 20; LayerPointRange Main 8 -1; LayerSetDrawMode Main 1;\n"
                  "LayerSetOffset Main (3 4);\n"
                  "LayerSetColorMult Main 0xFF8000; LayerSetColorAdd Main 0x80FF0000;\n"
                  "LayerRequireTags Main ('Shadow'); LayerExcludeTags Main ('big' 'small');\n"
                  "CreateLayerFrom Copy main;\n");
    ASSERT_TRUE(loaded.data.initialized) << (loaded.messages.empty() ? "" : loaded.messages[0]);
    EXPECT_EQ(loaded.data.defaultPointSize, 14);
    FontLayer& main = loaded.Layer("MAIN");
    const CharData& a = main.chars[static_cast<unsigned char>('a')];
    const CharData& b = main.chars[static_cast<unsigned char>('b')];
    EXPECT_EQ(a.imageRect, Rect(0, 0, 5, 8));
    EXPECT_EQ(b.imageRect, Rect(15, 0, 5, 10));
    EXPECT_EQ(a.offset.x, 1);
    EXPECT_EQ(a.offset.y, -2);
    EXPECT_EQ(a.width, 6);
    EXPECT_EQ(b.width, 7);
    EXPECT_EQ(b.order, -3);
    EXPECT_EQ(a.kerningOffsets[static_cast<unsigned char>('b')], -2);
    EXPECT_EQ(b.kerningOffsets[static_cast<unsigned char>('a')], -56);
    EXPECT_EQ(main.defaultHeight, 10);  // the tallest rectangle plus its offset
    EXPECT_EQ(main.ascent, 9);
    EXPECT_EQ(main.ascentPadding, 1);
    EXPECT_EQ(main.height, 12);
    EXPECT_EQ(main.lineSpacingOffset, 2);
    EXPECT_EQ(main.spacing, 1);
    EXPECT_EQ(main.baseOrder, 4);
    EXPECT_EQ(main.pointSize, 20);
    EXPECT_EQ(main.minPointSize, 8);
    EXPECT_EQ(main.maxPointSize, -1);
    EXPECT_EQ(main.drawMode, 1);
    EXPECT_EQ(main.offset.x, 3);
    EXPECT_EQ(main.offset.y, 4);
    EXPECT_EQ(main.colorMult, Color(255, 128, 0, 255));
    EXPECT_EQ(main.colorAdd, Color(255, 0, 0, 128));
    EXPECT_EQ(main.requiredTags, (std::vector<std::string>{"SHADOW"}));
    EXPECT_EQ(main.excludedTags, (std::vector<std::string>{"BIG", "SMALL"}));
    EXPECT_EQ(main.image.GetImage(), loaded.Layer("COPY").image.GetImage());
    EXPECT_EQ(loaded.Layer("COPY").chars[static_cast<unsigned char>('a')].width, 6);
    EXPECT_EQ(loaded.data.layers.size(), 2u);
}

TEST(FontDataTest, ColourListIsFractionsOfFull) {
    velmtest::TempDir dir;
    Loaded loaded(dir, "CreateLayer m; LayerSetColorMult m (1 0.5 0 1)");
    ASSERT_TRUE(loaded.data.initialized);
    EXPECT_EQ(loaded.Layer("M").colorMult, Color(255, 127, 0, 255));
}

TEST(FontDataTest, ImagePathsAreRelativeToTheDescriptorAndPalettisedOnFirstLoad) {
    velmtest::TempDir dir;
    test::RecordingFontHost host;
    std::filesystem::create_directory(dir / "fonts");
    host.AddImage(dir / "fonts/../img/g.png", test::MakeFilled(4, 4, 0xFFFFFFFF));
    host.AddImage(dir / "img/g.png", test::MakeFilled(4, 4, 0xFFFFFFFF));
    const std::string path = test::WriteText(dir, "fonts/f.txt", "CreateLayer m; LayerSetImage m '../img/g.png'");
    FontData data;
    data.Load(&host, path);
    ASSERT_TRUE(data.initialized) << (host.popups.empty() ? "" : host.popups[0]);
    ASSERT_EQ(host.requestedPaths.size(), 1u);
    EXPECT_EQ(host.requestedPaths[0], dir / "img/g.png");
    EXPECT_NE(data.layerNames["M"]->image.GetImage()->palette, nullptr);
}

TEST(FontDataTest, CharacterMapAndItsMismatch) {
    velmtest::TempDir dir;
    Loaded good(dir, "SetCharMap ('A' 'B') ('a' 'b')");
    ASSERT_TRUE(good.data.initialized);
    EXPECT_EQ(good.data.charMap[static_cast<unsigned char>('A')], 'a');
    EXPECT_EQ(good.data.charMap[static_cast<unsigned char>('C')], 'C');

    Loaded bad(dir, "SetCharMap ('A' 'B') ('a')");
    EXPECT_EQ(bad.data.charMap[static_cast<unsigned char>('A')], 'A');
}

TEST(FontDataTest, PerCharacterEntriesOfTheRightFormStillTakeEffect) {
    velmtest::TempDir dir;
    Loaded loaded(dir, "CreateLayer m; LayerSetCharWidths m ('a' 'bc' 'd') (1 2 3)");
    FontLayer& layer = loaded.Layer("M");
    EXPECT_EQ(layer.chars[static_cast<unsigned char>('a')].width, 1);
    EXPECT_EQ(layer.chars[static_cast<unsigned char>('d')].width, 3);
}

TEST(FontDataTest, DefineThatFailsHasRemovedTheEarlierOne) {
    velmtest::TempDir dir;
    Loaded loaded(dir, "Define x 1; Define x (nope)");
    EXPECT_EQ(loaded.data.Dereference("X"), nullptr);
}

TEST(FontDataTest, DefinesAndRectListsAsText) {
    velmtest::TempDir dir;
    test::RecordingFontHost host;
    host.AddImage(dir / "glyphs.png", test::MakeFilled(20, 10, 0xFFFFFFFF));
    const std::string path =
            test::WriteText(dir, "font.txt",
                            "Define Name 'Sans Serif'; define ref name; Define L (1 'two' name);\n"
                            "CreateHorzSpanRectList Rects (2 1 0 9) (4 5 6);\n"
                            "CreateLayer m; LayerSetImage m glyphs.png; LayerSetImageMap m ('a' 'b' 'c') rects");
    ImageFont font(&host, path);
    ASSERT_TRUE(font.fontData->initialized) << (host.popups.empty() ? "" : host.popups[0]);
    EXPECT_EQ(font.GetDefine("name"), "'Sans Serif'");
    EXPECT_EQ(font.GetDefine("REF"), "'Sans Serif'");
    EXPECT_EQ(font.GetDefine("l"), "(1, two, 'Sans Serif')");
    EXPECT_EQ(font.GetDefine("rects"), "((2, 1, 4, 9), (6, 1, 5, 9), (11, 1, 6, 9))");
    EXPECT_EQ(font.GetDefine("missing"), "");
    EXPECT_EQ(font.fontData->layerNames["M"]->chars[static_cast<unsigned char>('c')].imageRect, Rect(11, 1, 6, 9));
}

TEST(FontDataTest, LegacyWidthFile) {
    velmtest::TempDir dir;
    std::unique_ptr<MemoryImage> image(test::MakeFilled(30, 12, 0xFFFFFFFF));
    const std::string path = test::WriteText(dir, "widths.txt", "5 10\na 4 b 6\nC 7\n");
    FontData data;
    ASSERT_TRUE(data.LoadLegacy(image.get(), path));
    ASSERT_TRUE(data.initialized);
    FontLayer& layer = *data.layerNames.at("");
    EXPECT_EQ(layer.chars[static_cast<unsigned char>(' ')].width, 5);
    EXPECT_EQ(layer.ascent, 10);
    EXPECT_EQ(layer.defaultHeight, 12);
    EXPECT_EQ(layer.chars[static_cast<unsigned char>('b')].imageRect, Rect(4, 0, 6, 12));
    EXPECT_EQ(layer.chars[static_cast<unsigned char>('C')].imageRect, Rect(10, 0, 7, 12));
    // Missing upper-case letters are drawn with the lower-case glyphs and the other way round.
    EXPECT_EQ(data.charMap[static_cast<unsigned char>('A')], 'a');
    EXPECT_EQ(data.charMap[static_cast<unsigned char>('c')], 'C');
    EXPECT_EQ(data.charMap[static_cast<unsigned char>('a')], 'a');
    EXPECT_FALSE(data.LoadLegacy(image.get(), path));

    ImageFont font(image.get(), path);
    EXPECT_EQ(font.StringWidth("AB"), 4 + 6);
}

TEST(FontDataTest, LegacyWidthFileMissingOrBroken) {
    velmtest::TempDir dir;
    std::unique_ptr<MemoryImage> image(test::MakeFilled(8, 8, 0xFFFFFFFF));
    FontData missing;
    EXPECT_FALSE(missing.LoadLegacy(image.get(), dir / "none.txt"));
    EXPECT_FALSE(missing.initialized);
    FontData broken;
    EXPECT_FALSE(broken.LoadLegacy(image.get(), test::WriteText(dir, "w.txt", "junk")));
    EXPECT_FALSE(broken.initialized);
}

}  // namespace
}  // namespace Velm
