// System fonts on DejaVu Sans: metrics, measuring, and both drawing paths (straight onto a
// surface, and the two-rendering recovery into a memory image).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/SysFont.h"
#include "graphics/TextSurface.h"
#include "platform/Text.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A memory image that offers its own pixels as the surface text is drawn on.
class SurfaceImage : public MemoryImage, public TextSurface {
public:
    int begins = 0;
    int ends = 0;
    bool refuse = false;

    SurfaceImage(int w, int h, uint32_t argb) : MemoryImage(static_cast<ImageHost*>(nullptr)) {
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, argb);
        SetBits(pixels.data(), w, h);
    }
    bool BeginSurfaceText(plat::text::PixelTarget* target) override {
        if (refuse) return false;
        ++begins;
        target->pixels = GetBits();
        target->pitchBytes = width * 4;
        target->width = width;
        target->height = height;
        target->format = plat::text::PixelFormat::Xrgb8888;
        return true;
    }
    void EndSurfaceText() override {
        ++ends;
        MarkBitsChanged();
    }
};

// Bounds of the pixels that differ from the background.
struct Ink {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;   // last inked column
    int bottom = -1;  // last inked row
    int count = 0;
};

Ink FindInk(MemoryImage& image, uint32_t background) {
    Ink ink;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (test::Pixel(image, x, y) != background) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
    return ink;
}

TEST(SysFontTest, MetricsOfDejaVuSans) {
    struct Case {
        int pointSize;
        int ascent;
        int height;
        int hello;
    };
    // 96 dpi: 9 pt = 12 px, 12 pt = 16 px, 14 pt = 19 px; ascent and descent from the OS/2
    // Windows metrics (1901 and 483 of 2048 units).
    const Case cases[] = {{9, 11, 14, 29}, {12, 15, 19, 40}, {14, 18, 22, 48}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointSize);
        SysFont font(kDejaVuSans, c.pointSize);
        ASSERT_NE(font.font, nullptr);
        EXPECT_EQ(font.GetAscent(), c.ascent);
        EXPECT_EQ(font.GetHeight(), c.height);
        EXPECT_EQ(font.GetDescent(), c.height - c.ascent);
        EXPECT_EQ(font.GetAscentPadding(), 0);
        EXPECT_EQ(font.GetLineSpacing(), c.height);
        EXPECT_EQ(font.StringWidth("Hello"), c.hello);
        EXPECT_EQ(font.StringWidth(""), 0);
        // No pair kerning: "AV" is the sum of its letters.
        EXPECT_EQ(font.StringWidth("AV"), font.CharWidth('A') + font.CharWidth('V'));
        EXPECT_EQ(font.CharWidthKern('V', 'A'), font.CharWidth('V'));
    }
}

TEST(SysFontTest, FaceNamesResolveToInstalledFaces) {
    for (const char* face : {"Arial", "Tahoma", "Times New Roman", "NoSuchFaceAnywhere"}) {
        SCOPED_TRACE(face);
        SysFont font(face, 12);
        ASSERT_NE(font.font, nullptr);
        EXPECT_GT(font.GetHeight(), 0);
        EXPECT_GT(font.StringWidth("abc"), 0);
    }
}

TEST(SysFontTest, MemoryPathRecoversColourAndCoverage) {
    SysFont font(kDejaVuSans, 12);
    std::unique_ptr<MemoryImage> dest(test::MakeFilled(60, 30, 0xFF000000));
    Graphics g(dest.get());
    g.SetFont(&font);
    g.SetColor(Color(255, 0, 0));
    g.DrawString("Hi", 5, 20);
    const Ink ink = FindInk(*dest, 0xFF000000);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + font.StringWidth("Hi") - 1);
    EXPECT_GE(ink.top, 20 - font.GetAscent());
    EXPECT_LT(ink.bottom, 20);  // "Hi" has nothing below the baseline
    int solid = 0;
    for (int y = 0; y < dest->height; ++y)
        for (int x = 0; x < dest->width; ++x) {
            const uint32_t p = test::Pixel(*dest, x, y);
            EXPECT_EQ(test::G(p), 0);
            EXPECT_EQ(test::B(p), 0);
            if (p == 0xFFFF0000u) ++solid;
        }
    EXPECT_GT(solid, 0);  // the stems are fully covered
}

TEST(SysFontTest, SurfacePathDrawsOnePixelLower) {
    SysFont font(kDejaVuSans, 12);
    std::unique_ptr<MemoryImage> memory(test::MakeFilled(60, 30, 0xFF000000));
    SurfaceImage surface(60, 30, 0xFF000000);
    for (Image* dest : {static_cast<Image*>(memory.get()), static_cast<Image*>(&surface)}) {
        Graphics g(dest);
        g.SetFont(&font);
        g.SetColor(Color::White);
        g.Translate(2, 1);
        g.DrawString("Hi", 3, 19);
    }
    EXPECT_EQ(surface.begins, 1);
    EXPECT_EQ(surface.ends, 1);
    const Ink onMemory = FindInk(*memory, 0xFF000000);
    const Ink onSurface = FindInk(surface, 0xFF000000);
    ASSERT_GT(onMemory.count, 0);
    ASSERT_GT(onSurface.count, 0);
    EXPECT_EQ(onSurface.left, onMemory.left);
    EXPECT_EQ(onSurface.top, onMemory.top + 1);
    EXPECT_EQ(onSurface.bottom, onMemory.bottom + 1);
    EXPECT_GE(onMemory.left, 5);  // translated
}

TEST(SysFontTest, SurfaceThatCannotBeLockedIsLeftAlone) {
    SysFont font(kDejaVuSans, 12);
    SurfaceImage surface(40, 20, 0xFF000000);
    surface.refuse = true;
    Graphics g(&surface);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString("Hi", 0, 15);
    EXPECT_EQ(FindInk(surface, 0xFF000000).count, 0);
    EXPECT_EQ(surface.ends, 0);
}

TEST(SysFontTest, ShadowAndBoldOffsets) {
    // A white "l" over grey: the shadow darkens the column right of the stroke and the row
    // below it; simulated bold widens the stroke by one column. Neither changes the width.
    struct Case {
        const char* why;
        bool shadow;
        bool bold;
        bool surface;
        int extraRight;   // inked columns added on the right
        int extraBottom;  // inked rows added below
    };
    const Case cases[] = {
        {"plain, memory", false, false, false, 0, 0},
        {"shadow, memory", true, false, false, 1, 1},
        {"bold, memory", false, true, false, 1, 0},
        {"shadow and bold, memory", true, true, false, 2, 1},
        {"shadow, surface", true, false, true, 1, 1},
        {"shadow and bold, surface", true, true, true, 2, 1},
    };
    const uint32_t grey = 0xFF808080;
    SysFont plain(kDejaVuSans, 14);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SysFont font(kDejaVuSans, 14);
        font.drawShadow = c.shadow;
        font.simulateBold = c.bold;
        EXPECT_EQ(font.StringWidth("l"), plain.StringWidth("l"));

        std::unique_ptr<MemoryImage> reference(test::MakeFilled(30, 30, grey));
        std::unique_ptr<MemoryImage> drawn(c.surface ? new SurfaceImage(30, 30, grey) : test::MakeFilled(30, 30, grey));
        std::unique_ptr<MemoryImage> plainDrawn(c.surface ? new SurfaceImage(30, 30, grey)
                                                          : test::MakeFilled(30, 30, grey));
        for (auto pair : {std::make_pair(&plain, plainDrawn.get()), std::make_pair(&font, drawn.get())}) {
            Graphics g(pair.second);
            g.SetFont(pair.first);
            g.SetColor(Color::White);
            g.DrawString("l", 5, 20);
        }
        const Ink base = FindInk(*plainDrawn, grey);
        const Ink ink = FindInk(*drawn, grey);
        ASSERT_GT(base.count, 0);
        EXPECT_EQ(ink.left, base.left);
        // On the memory path the text is rendered into a bitmap exactly as wide as the
        // measured string, which cuts what reaches past it.
        const int lastColumn = 5 + font.StringWidth("l") - 1;
        EXPECT_EQ(ink.right, c.surface ? base.right + c.extraRight : std::min(base.right + c.extraRight, lastColumn));
        EXPECT_EQ(ink.bottom, base.bottom + c.extraBottom);
        if (c.shadow) {
            // Below the stroke, one pixel right: darker than the background.
            const uint32_t p = test::Pixel(*drawn, base.left + 1, base.bottom + 1);
            EXPECT_LT(test::R(p), 0x80);
        }
    }
}

TEST(SysFontTest, DuplicateDrawsPlainly) {
    SysFont font(kDejaVuSans, 12, true);
    font.drawShadow = true;
    font.simulateBold = true;
    std::unique_ptr<Font> copy(font.Duplicate());
    SysFont* sysCopy = static_cast<SysFont*>(copy.get());
    EXPECT_FALSE(sysCopy->drawShadow);
    EXPECT_FALSE(sysCopy->simulateBold);
    EXPECT_EQ(copy->GetAscent(), font.GetAscent());
    EXPECT_EQ(copy->StringWidth("Bold"), font.StringWidth("Bold"));
    EXPECT_NE(sysCopy->font.get(), font.font.get());
}

TEST(SysFontTest, EmptyStringAndNoImageDrawNothing) {
    SysFont font(kDejaVuSans, 12);
    std::unique_ptr<MemoryImage> dest(test::MakeFilled(20, 20, 0xFF000000));
    Graphics g(dest.get());
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString("", 0, 15);
    EXPECT_EQ(FindInk(*dest, 0xFF000000).count, 0);
    Graphics nowhere;
    nowhere.SetFont(&font);
    nowhere.DrawString("Hi", 0, 15);  // a Graphics without an image changes nothing
}

TEST(SysFontTest, CharactersAbove127DrawTheirGlyphs) {
    SysFont font(kDejaVuSans, 12);
    for (const char* text : {"\xE9", "\x80", "\xDF"}) {  // e acute, euro sign, sharp s in code page 1252
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(text[0])));
        EXPECT_GT(font.StringWidth(text), 0);
        std::unique_ptr<MemoryImage> dest(test::MakeFilled(20, 20, 0xFF000000));
        Graphics g(dest.get());
        g.SetFont(&font);
        g.SetColor(Color::White);
        g.DrawString(text, 2, 15);
        EXPECT_GT(FindInk(*dest, 0xFF000000).count, 0);
    }
    // "é" differs from "e": the accent reaches above the letter.
    std::unique_ptr<MemoryImage> plain(test::MakeFilled(20, 20, 0xFF000000));
    std::unique_ptr<MemoryImage> accented(test::MakeFilled(20, 20, 0xFF000000));
    for (auto pair : {std::make_pair("e", plain.get()), std::make_pair("\xE9", accented.get())}) {
        Graphics g(pair.second);
        g.SetFont(&font);
        g.SetColor(Color::White);
        g.DrawString(pair.first, 2, 15);
    }
    EXPECT_LT(FindInk(*accented, 0xFF000000).top, FindInk(*plain, 0xFF000000).top);
}

TEST(PlatTextTest, CodePages) {
    struct Case {
        unsigned char byte;
        int charSet;
        uint32_t character;
    };
    const Case cases[] = {
        {'A', plat::text::kAnsiCharset, 'A'},
        {0x80, plat::text::kAnsiCharset, 0x20AC},
        {0xE9, plat::text::kAnsiCharset, 0xE9},
        {0x81, plat::text::kAnsiCharset, 0x81},  // undefined in 1252: the control character
        {0xC0, plat::text::kRussianCharset, 0x410},
        {0xA3, plat::text::kEastEuropeCharset, 0x141},
        {0x9C, 12345, 0x153},  // sets without a table of their own read as 1252
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(plat::text::DecodeByte(c.byte, c.charSet), c.character);
    }
    EXPECT_EQ(plat::text::PointsToPixels(12), 16);
    EXPECT_EQ(plat::text::PointsToPixels(9), 12);
    EXPECT_EQ(plat::text::PointsToPixels(10), 13);  // 13.33 rounds down
    EXPECT_EQ(plat::text::PointsToPixels(11), 15);  // 14.67 rounds up
}

TEST(PlatTextTest, SixteenBitTargetsAndClipping) {
    plat::text::FontRequest request;
    request.path = kDejaVuSans;
    request.pixelHeight = 16;
    auto font = plat::text::TextFont::Open(request);
    ASSERT_NE(font, nullptr);
    for (plat::text::PixelFormat format : {plat::text::PixelFormat::Rgb565, plat::text::PixelFormat::Rgb555}) {
        // Padded pitch with canary words past each row.
        const int width = 40;
        const int height = 20;
        const int pitchWords = width + 4;
        std::vector<uint16_t> pixels(static_cast<size_t>(pitchWords) * height, 0xBEEF);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * pitchWords + x] = 0;
        plat::text::PixelTarget target;
        target.pixels = pixels.data();
        target.pitchBytes = pitchWords * 2;
        target.width = width;
        target.height = height;
        target.format = format;
        font->DrawString("WWWWWW", 0, 0, 0xFFFFFF, target, 5, 0, 30, 20);
        int inked = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < pitchWords; ++x) {
                const uint16_t p = pixels[static_cast<size_t>(y) * pitchWords + x];
                if (x >= width) {
                    EXPECT_EQ(p, 0xBEEF);
                } else if (x < 5 || x >= 30) {
                    EXPECT_EQ(p, 0) << x << "," << y;
                } else if (p != 0) {
                    ++inked;
                }
            }
        }
        EXPECT_GT(inked, 0);
    }
}

TEST(PlatTextTest, MissingFontFileFallsBack) {
    plat::text::FontRequest request;
    request.path = "/nonexistent/font.ttf";
    auto font = plat::text::TextFont::Open(request);
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->GetFilePath().find("DejaVu"), std::string::npos);
}

}  // namespace
}  // namespace Velm
