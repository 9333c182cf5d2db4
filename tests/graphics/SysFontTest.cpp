// System fonts on DejaVu Sans: metrics, measuring, and both drawing paths (straight onto a
// surface, and the two-rendering recovery into a memory image).

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "graphics/SysFont.h"
#include "platform/DdSurface.h"
#include "platform/Text.h"
#include "tests/graphics/TestImages.h"

namespace Velm {
namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Something to draw on: a memory image, or a surface image over a bare display surface
// (no display; padded pitch and canary bytes around the pixels).
struct Canvas {
    std::unique_ptr<MemoryImage> memory;
    std::unique_ptr<DDImage> surfaceImage;
    std::shared_ptr<plat::dd::Surface> surface;

    static Canvas Memory(int w, int h, uint32_t argb) {
        Canvas canvas;
        canvas.memory.reset(test::MakeFilled(w, h, argb));
        return canvas;
    }
    // fill is in the surface's own format.
    static Canvas Surface(int w, int h, uint32_t fill,
                          const plat::dd::PixelFormat& format = plat::dd::PixelFormat::X8R8G8B8()) {
        Canvas canvas;
        canvas.surface = std::make_shared<plat::dd::Surface>(w, h, format, 0u, 12, 16);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) canvas.surface->SetPixelAt(x, y, fill);
        canvas.surfaceImage = std::make_unique<DDImage>(nullptr);
        canvas.surfaceImage->SetSurface(canvas.surface);
        return canvas;
    }
    Image* Target() { return memory ? static_cast<Image*>(memory.get()) : surfaceImage.get(); }
    int Width() { return Target()->width; }
    int Height() { return Target()->height; }
    // The pixel as stored: ARGB for a memory image, the surface's own value for a surface.
    uint32_t At(int x, int y) { return memory ? test::Pixel(*memory, x, y) : surface->PixelAt(x, y); }
    void Draw(Font* font, const Color& color, const std::string& text, int x, int y, int dx = 0, int dy = 0) {
        Graphics g(Target());
        g.SetFont(font);
        g.SetColor(color);
        g.Translate(dx, dy);
        g.DrawString(text, x, y);
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

Ink FindInk(Canvas& canvas, uint32_t background) {
    Ink ink;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.At(x, y) != background) {
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
    Canvas canvas = Canvas::Memory(60, 30, 0xFF000000);
    canvas.Draw(&font, Color(255, 0, 0), "Hi", 5, 20);
    const Ink ink = FindInk(canvas, 0xFF000000);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + font.StringWidth("Hi") - 1);
    EXPECT_GE(ink.top, 20 - font.GetAscent());
    EXPECT_LT(ink.bottom, 20);  // "Hi" has nothing below the baseline
    int solid = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const uint32_t p = canvas.At(x, y);
            EXPECT_EQ(test::G(p), 0);
            EXPECT_EQ(test::B(p), 0);
            if (p == 0xFFFF0000u) ++solid;
        }
    EXPECT_GT(solid, 0);  // the stems are fully covered
}

TEST(SysFontTest, SurfacePathDrawsOnePixelLower) {
    SysFont font(kDejaVuSans, 12);
    Canvas memory = Canvas::Memory(60, 30, 0xFF000000);
    Canvas surface = Canvas::Surface(60, 30, 0);
    memory.Draw(&font, Color::White, "Hi", 3, 19, 2, 1);
    surface.Draw(&font, Color::White, "Hi", 3, 19, 2, 1);
    const Ink onMemory = FindInk(memory, 0xFF000000);
    const Ink onSurface = FindInk(surface, 0);
    ASSERT_GT(onMemory.count, 0);
    ASSERT_GT(onSurface.count, 0);
    EXPECT_EQ(onSurface.left, onMemory.left);
    EXPECT_EQ(onSurface.top, onMemory.top + 1);
    EXPECT_EQ(onSurface.bottom, onMemory.bottom + 1);
    EXPECT_GE(onMemory.left, 5);  // translated
    EXPECT_TRUE(surface.surface->CanariesIntact());
    EXPECT_FALSE(surface.surface->IsLocked());
    EXPECT_EQ(surface.surfaceImage->bits, nullptr);  // the surface holds the only copy now
}

TEST(SysFontTest, SurfacePathInEverySurfaceFormat) {
    struct Case {
        const char* why;
        plat::dd::PixelFormat format;
        uint32_t fullRed;
    };
    const Case cases[] = {
            {"32-bit", plat::dd::PixelFormat::X8R8G8B8(), 0xFF0000},
            {"32-bit BGR", plat::dd::PixelFormat::X8B8G8R8(), 0xFF},
            {"16-bit 565", plat::dd::PixelFormat::R5G6B5(), 0xF800},
            {"16-bit 555", plat::dd::PixelFormat::X1R5G5B5(), 0x7C00},
    };
    SysFont font(kDejaVuSans, 12);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Canvas canvas = Canvas::Surface(50, 24, 0, c.format);
        canvas.Draw(&font, Color(255, 0, 0), "Hi", 2, 18);
        int full = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                const uint32_t p = canvas.At(x, y);
                EXPECT_EQ(p & ~c.format.redMask, 0u);
                if (p == c.fullRed) ++full;
            }
        EXPECT_GT(full, 0);
        EXPECT_TRUE(canvas.surface->CanariesIntact());
    }
}

TEST(SysFontTest, SurfaceLockedByTheCallerIsDrawnThroughItsLock) {
    SysFont font(kDejaVuSans, 12);
    Canvas canvas = Canvas::Surface(40, 20, 0);
    ASSERT_TRUE(canvas.surfaceImage->LockSurface());
    canvas.Draw(&font, Color::White, "Hi", 0, 15);
    EXPECT_TRUE(canvas.surface->IsLocked());
    EXPECT_TRUE(canvas.surfaceImage->UnlockSurface());
    EXPECT_GT(FindInk(canvas, 0).count, 0);
}

TEST(SysFontTest, SurfaceImageThatGetsNoSurfaceIsNotDrawnOn) {
    SysFont font(kDejaVuSans, 12);
    DDImage image(nullptr);  // no display: no surface can be built
    std::vector<uint32_t> pixels(40 * 20, 0xFF000000);
    image.SetBits(pixels.data(), 40, 20);
    Graphics g(&image);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.DrawString("Hi", 0, 15);
    EXPECT_EQ(image.GetBits()[40 * 5 + 3], 0xFF000000u);
    for (int i = 0; i < 40 * 20; ++i) ASSERT_EQ(image.GetBits()[i], 0xFF000000u) << i;
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
            {"plain, memory", false, false, false, 0, 0}, {"shadow, memory", true, false, false, 1, 1},
            {"bold, memory", false, true, false, 1, 0},   {"shadow and bold, memory", true, true, false, 2, 1},
            {"shadow, surface", true, false, true, 1, 1}, {"shadow and bold, surface", true, true, true, 2, 1},
    };
    SysFont plain(kDejaVuSans, 14);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SysFont font(kDejaVuSans, 14);
        font.drawShadow = c.shadow;
        font.simulateBold = c.bold;
        EXPECT_EQ(font.StringWidth("l"), plain.StringWidth("l"));

        const uint32_t grey = c.surface ? 0x808080u : 0xFF808080u;
        Canvas drawn = c.surface ? Canvas::Surface(30, 30, grey) : Canvas::Memory(30, 30, grey);
        Canvas plainDrawn = c.surface ? Canvas::Surface(30, 30, grey) : Canvas::Memory(30, 30, grey);
        plainDrawn.Draw(&plain, Color::White, "l", 5, 20);
        drawn.Draw(&font, Color::White, "l", 5, 20);
        const Ink base = FindInk(plainDrawn, grey);
        const Ink ink = FindInk(drawn, grey);
        ASSERT_GT(base.count, 0);
        EXPECT_EQ(ink.left, base.left);
        // On the memory path the text is rendered into a bitmap exactly as wide as the
        // measured string, which cuts what reaches past it.
        const int lastColumn = 5 + font.StringWidth("l") - 1;
        EXPECT_EQ(ink.right, c.surface ? base.right + c.extraRight : std::min(base.right + c.extraRight, lastColumn));
        EXPECT_EQ(ink.bottom, base.bottom + c.extraBottom);
        if (c.shadow) {
            // Below the stroke, one pixel right: darker than the background.
            EXPECT_LT(test::R(drawn.At(base.left + 1, base.bottom + 1)), 0x80);
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
    for (bool surface : {false, true}) {
        Canvas canvas = surface ? Canvas::Surface(20, 20, 0) : Canvas::Memory(20, 20, 0xFF000000);
        canvas.Draw(&font, Color::White, "", 0, 15);
        EXPECT_EQ(FindInk(canvas, surface ? 0u : 0xFF000000u).count, 0);
    }
    Graphics nowhere;
    nowhere.SetFont(&font);
    nowhere.DrawString("Hi", 0, 15);  // a Graphics without an image changes nothing
}

TEST(SysFontTest, CharactersAbove127DrawTheirGlyphs) {
    SysFont font(kDejaVuSans, 12);
    for (const char* text : {"\xE9", "\x80", "\xDF"}) {  // e acute, euro sign, sharp s in code page 1252
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(text[0])));
        EXPECT_GT(font.StringWidth(text), 0);
        Canvas canvas = Canvas::Memory(20, 20, 0xFF000000);
        canvas.Draw(&font, Color::White, text, 2, 15);
        EXPECT_GT(FindInk(canvas, 0xFF000000).count, 0);
    }
    // The e acute differs from e: the accent reaches above the letter.
    Canvas plain = Canvas::Memory(20, 20, 0xFF000000);
    Canvas accented = Canvas::Memory(20, 20, 0xFF000000);
    plain.Draw(&font, Color::White, "e", 2, 15);
    accented.Draw(&font, Color::White, "\xE9", 2, 15);
    EXPECT_LT(FindInk(accented, 0xFF000000).top, FindInk(plain, 0xFF000000).top);
}

TEST(SysFontTest, CharactersTheFaceLacksComeFromTheFallbackFace) {
    // The math face has no Cyrillic; byte 0xC0 of code page 1251 is the Cyrillic capital A.
    const char kMathFace[] = "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf";
    SysFont math(nullptr, kMathFace, 12, plat::text::kRussianCharset, false, false, false);
    SysFont sans(nullptr, kDejaVuSans, 12, plat::text::kRussianCharset, false, false, false);
    ASSERT_NE(math.font, nullptr);
    EXPECT_EQ(math.font->GetFilePath(), kMathFace);
    EXPECT_EQ(math.StringWidth("\xC0"), sans.StringWidth("\xC0"));
    plat::text::GlyphImage glyph;
    EXPECT_TRUE(math.font->RenderGlyph(0xC0, &glyph));
    EXPECT_GT(glyph.width, 0);
    Canvas canvas = Canvas::Memory(20, 20, 0xFF000000);
    canvas.Draw(&math, Color::White, "\xC0", 2, 15);
    EXPECT_GT(FindInk(canvas, 0xFF000000).count, 0);
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

TEST(PlatTextTest, SurfaceFormatsAndClipping) {
    plat::text::FontRequest request;
    request.path = kDejaVuSans;
    request.pixelHeight = 16;
    auto font = plat::text::TextFont::Open(request);
    ASSERT_NE(font, nullptr);
    struct Format {
        const char* why;
        int bits;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        uint32_t fullRed;  // pure red at full coverage
    };
    const Format formats[] = {
            {"32-bit XRGB", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF0000},
            {"32-bit XBGR", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF},
            {"16-bit 565", 16, 0xF800, 0x07E0, 0x001F, 0xF800},
            {"16-bit BGR 565", 16, 0x001F, 0x07E0, 0xF800, 0x001F},
            {"16-bit 555", 16, 0x7C00, 0x03E0, 0x001F, 0x7C00},
    };
    for (const Format& f : formats) {
        SCOPED_TRACE(f.why);
        // Padded pitch with canary bytes past each row.
        const int width = 40;
        const int height = 20;
        const int bytes = f.bits / 8;
        const int pitch = width * bytes + 8;
        std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * height, 0xA5);
        for (int y = 0; y < height; ++y) std::fill_n(pixels.begin() + y * pitch, width * bytes, 0);
        plat::text::PixelTarget target;
        target.pixels = pixels.data();
        target.pitchBytes = pitch;
        target.width = width;
        target.height = height;
        target.bitsPerPixel = f.bits;
        target.redMask = f.red;
        target.greenMask = f.green;
        target.blueMask = f.blue;
        font->DrawString("WWWWWW", 0, 0, 0xFF0000, target, 5, 0, 30, 20);
        int full = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < pitch / bytes; ++x) {
                uint32_t p = 0;
                std::memcpy(&p, &pixels[static_cast<size_t>(y) * pitch + x * bytes], bytes);
                if (x >= width) {
                    EXPECT_EQ(p, bytes == 2 ? 0xA5A5u : 0xA5A5A5A5u);
                } else if (x < 5 || x >= 30) {
                    EXPECT_EQ(p, 0u) << x << "," << y;
                } else {
                    EXPECT_EQ(p & ~f.red, 0u) << x << "," << y;  // red text only touches red bits
                    if (p == f.fullRed) ++full;
                }
            }
        }
        EXPECT_GT(full, 0);
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
