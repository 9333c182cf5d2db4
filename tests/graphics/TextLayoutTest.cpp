// Text layout of Graphics with a fixed-width test font: colour codes, justification and word
// wrapping.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

// Every character is 10 pixels wide except '1' (7); ascent 8, padding 2, height 12, line
// spacing 15. Records what it is asked to draw.
class FixedFont : public Font {
public:
    struct Draw {
        int x;
        int y;
        std::string text;
        Color color;
    };
    std::vector<Draw> draws;

    FixedFont() {
        ascent = 8;
        ascentPadding = 2;
        height = 12;
        lineSpacingOffset = 3;
    }
    int CharWidthKern(char c, char) override { return c == '1' ? 7 : 10; }
    int StringWidth(const std::string& text) override {
        int width = 0;
        for (char c : text) width += CharWidthKern(c, 0);
        return width;
    }
    void DrawString(Graphics*, int x, int y, const std::string& text, const Color& color, const Rect&) override {
        draws.push_back({x, y, text, color});
    }
    Font* Duplicate() override { return new FixedFont(*this); }

    // "text@x,y" for every draw, joined by " | ".
    std::string Drawn() const {
        std::string out;
        for (const Draw& d : draws)
            out += (out.empty() ? "" : " | ") + d.text + "@" + std::to_string(d.x) + "," + std::to_string(d.y);
        return out;
    }
};

struct TextContext {
    std::unique_ptr<MemoryImage> image{test::MakeFilled(200, 100, 0)};
    Graphics g{image.get()};
    FixedFont font;
    TextContext() {
        g.SetFont(&font);
        g.SetColor(Color(1, 2, 3, 200));
    }
};

TEST(TextLayoutTest, WriteStringColourCodes) {
    struct Case {
        const char* why;
        const char* text;
        bool codes;
        int width;
        const char* drawn;
    };
    const Case cases[] = {
            {"a code, a word, oldclr, a word", "^FF0000^red^oldclr^back", true, 70, "red@0,0 | back@30,0"},
            {"codes off: carets and digits are characters", "^FF0000^red", false, 110, "^FF0000^red@0,0"},
            {"two carets write one", "a^^b", true, 30, "a^b@0,0"},
            {"a caret among the last seven characters ends the text", "abc^12", true, 30, "abc@0,0"},
            {"a code at the start draws no empty run", "^00FF00^x", true, 10, "x@0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TextContext s;
        s.g.colorCodes = c.codes;
        EXPECT_EQ(s.g.WriteString(c.text, 0, 0, 0, -1, true, 0, -1, -1), c.width);
        EXPECT_EQ(s.font.Drawn(), c.drawn);
        s.font.draws.clear();
        EXPECT_EQ(s.g.WriteString(c.text, 0, 0, 0, -1, false, 0, -1, -1), c.width);  // measuring draws nothing
        EXPECT_TRUE(s.font.draws.empty());
    }
}

TEST(TextLayoutTest, CodeColours) {
    struct Case {
        const char* why;
        const char* text;
        Color color;
    };
    const Case cases[] = {
            {"hexadecimal digits", "^FF8000^x", Color(255, 128, 0, 200)},
            {"lower case is the same colour", "^ff8000^x", Color(255, 128, 0, 200)},
            {"characters that are not digits count as 0", "^FFzz0g^x", Color(255, 0, 0, 200)},
            {"o but not oldclr is black", "^o12345^x", Color(0, 0, 0, 200)},
            {"oldclr is the colour of the call", "^FF0000^^oldclr^x", Color(1, 2, 3, 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TextContext s;
        s.g.WriteString(c.text, 0, 0, 0, -1);
        ASSERT_FALSE(s.font.draws.empty());
        EXPECT_EQ(s.font.draws.back().color, c.color);
        EXPECT_EQ(s.g.GetColor(), c.color);  // the code colour stays in the Graphics
    }
}

TEST(TextLayoutTest, OldclrReturnsToAGivenStartColour) {
    TextContext s;
    s.g.WriteString("^FF0000^a^oldclr^b", 0, 0, 0, -1, true, 0, -1, 0x7F0A0B0C);
    EXPECT_EQ(s.font.draws.back().color, Color(10, 11, 12, 200));
}

TEST(TextLayoutTest, WriteStringRangeAndJustification) {
    struct Case {
        const char* why;
        const char* text;
        int width;
        int justification;
        int offset;
        int length;
        const char* drawn;
    };
    const Case cases[] = {
            {"centred with integer division", "1", 10, 0, 0, -1, "1@101,0"},
            {"right-aligned", "ab", 50, 1, 0, -1, "ab@130,0"},
            {"left for any other value", "ab", 50, -1, 0, -1, "ab@100,0"},
            {"codes take no width when centring", "^FF0000^ab", 40, 0, 0, -1, "ab@110,0"},
            {"a range", "abcdef", 0, -1, 2, 3, "cde@100,0"},
            {"a range too long runs to the end", "abcdef", 0, -1, 4, 10, "ef@100,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TextContext s;
        s.g.WriteString(c.text, 100, 0, c.width, c.justification, true, c.offset, c.length);
        EXPECT_EQ(s.font.Drawn(), c.drawn);
    }
}

struct WrapCase {
    const char* why;
    const char* text;
    int width;
    int maxChars;
    const char* drawn;
    int height;
};

// Baselines: 6, 21, 36, 51 (ascent 8 - padding 2, then 15 apart); the height of n lines is
// 6 + (n - 1) * 15 + 4.
const WrapCase kWrapCases[] = {
        {"two words that do not fit", "ab cd", 35, -1, "ab@0,6 | cd@0,21", 25},
        {"a word wider than the line is broken inside", "abcdefg", 35, -1, "abc@0,6 | def@0,21 | g@0,36", 40},
        {"a character wider than the line gets a line", "ab", 5, -1, "a@0,6 | b@0,21", 25},
        {"a newline breaks even when both fit", "a\nb", 100, -1, "a@0,6 | b@0,21", 25},
        {"a trailing newline adds an empty line", "ab\n", 100, -1, "ab@0,6", 25},
        {"two newlines and a letter are three lines", "\n\nA", 100, -1, "A@0,36", 40},
        {"spaces after a soft break are dropped", "ab   cd", 35, -1, "ab @0,6 | cd@0,21", 25},
        {"spaces after a newline stay", "ab\n  cd", 100, -1, "ab@0,6 |   cd@0,21", 25},
        {"codes take no width in wrapping", "^FF0000^abc", 35, -1, "abc@0,6", 10},
        {"two carets measure as one", "a^^bc d", 35, -1, "a^b@0,6 | c d@0,21", 25},
        {"maxChars cuts drawing but not layout", "abc def", 35, 5, "abc@0,6 | d@0,21", 25},
        {"maxChars reaching into a long word", "abcdefg", 35, 2, "ab@0,6", 10},
        {"an empty text", "", 100, -1, "", -5},
};

TEST(TextLayoutTest, WordWrapping) {
    for (const WrapCase& c : kWrapCases) {
        SCOPED_TRACE(c.why);
        TextContext s;
        const int used = s.g.WriteWordWrapped(Rect(0, 0, c.width, 0), c.text, -1, -1, nullptr, c.maxChars, nullptr);
        EXPECT_EQ(s.font.Drawn(), c.drawn);
        EXPECT_EQ(used, c.height);
        EXPECT_EQ(s.g.GetColor(), Color(1, 2, 3, 200));  // restored at the end
        if (c.maxChars < 0) {
            EXPECT_EQ(s.g.GetWordWrappedHeight(c.width, c.text, -1, nullptr), c.height);
        }
    }
}

TEST(TextLayoutTest, LinesOutsideTheClipAreSkippedButCounted) {
    TextContext s;
    s.g.SetClipRect(0, 0, 200, 20);
    // Baselines 6 and 21 lie before the clip's bottom plus one line spacing (35), 36 does not;
    // the last line is always written.
    const int used = s.g.WriteWordWrapped(Rect(0, 0, 25, 0), "aa bb cc dd", -1, -1, nullptr, -1, nullptr);
    EXPECT_EQ(s.font.Drawn(), "aa@0,6 | bb@0,21 | dd@0,51");
    EXPECT_EQ(used, 55);
}

TEST(TextLayoutTest, WrappedJustificationWidestLineAndLineOffset) {
    TextContext s;
    int widest = 0;
    int lineOffset = 15;
    s.g.WriteWordWrapped(Rect(10, 10, 50, 0), "abc de fgh", 20, 0, &widest, -1, &lineOffset);
    // The first line is indented by 15 and centred in 50: "abc" (30) fits, " de" would pass 50.
    EXPECT_EQ(s.font.Drawn(), "abc@35,16 | de@25,36 | fgh@20,56");
    EXPECT_EQ(widest, 30);
    EXPECT_EQ(lineOffset, 30);  // the width of the last line
}

TEST(TextLayoutTest, ColourCodesCarryOverLinesAndAreRestored) {
    TextContext s;
    s.g.WriteWordWrapped(Rect(0, 0, 35, 0), "^FF0000^ab cd", -1, -1, nullptr, -1, nullptr);
    ASSERT_EQ(s.font.draws.size(), 2u);
    EXPECT_EQ(s.font.draws[0].color, Color(255, 0, 0, 200));
    EXPECT_EQ(s.font.draws[1].color, Color(255, 0, 0, 200));
    EXPECT_EQ(s.g.GetColor(), Color(1, 2, 3, 200));
}

TEST(TextLayoutTest, DrawStringWordWrappedPutsTheFirstBaselineAtY) {
    TextContext s;
    const int used = s.g.DrawStringWordWrapped("ab cd", 5, 50, 35);
    EXPECT_EQ(s.font.Drawn(), "ab@5,50 | cd@5,65");
    EXPECT_EQ(used, 25);
}

TEST(TextLayoutTest, MeasuringDrawsNothingAnywhere) {
    TextContext s;
    EXPECT_EQ(s.g.GetWordWrappedHeight(35, "ab cd ef", -1, nullptr), 40);
    // The scratch Graphics has no image: the font is asked, but with nothing to draw into.
    for (const FixedFont::Draw& d : s.font.draws) EXPECT_FALSE(d.text.empty());
    EXPECT_EQ(s.g.GetColor(), Color(1, 2, 3, 200));
}

TEST(TextLayoutTest, NoFontWritesNothing) {
    Graphics g;
    EXPECT_EQ(g.WriteString("abc", 0, 0, 10, 0), 0);
    EXPECT_EQ(g.WriteWordWrapped(Rect(0, 0, 10, 0), "abc"), 0);
}

}  // namespace
}  // namespace Velm
