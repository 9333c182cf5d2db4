#pragma once

// System fonts and text (what GDI fonts and TextOut were), on fontconfig and FreeType.
//
// A font is asked for by face name (resolved through fontconfig to an installed face, so
// "Arial" or "Tahoma" become DejaVu Sans where only DejaVu is installed) or by the path of a
// font file, with its em height in pixels (point sizes are converted at 96 dpi by the
// caller, see PointsToPixels), bold, italic and underline. Bold and italic are synthesised
// when the resolved face has no such style. Metrics follow GDI's: the ascent and descent are
// the font's OS/2 Windows ascent and descent scaled to the em height, and the line height is
// their sum. Strings are byte strings decoded through the Windows code page of the font's
// character set (1252 for ANSI); characters the face lacks come from a fallback face
// (DejaVu Sans). Glyphs are hinted and anti-aliased in greyscale; advances are whole pixels
// and no pair kerning is applied when strings are measured or drawn.
//
// A TextFont may be used from any thread; calls are serialised inside.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {
namespace text {

// Windows character set codes that choose the code page of byte strings.
constexpr int kAnsiCharset = 0;          // 1252
constexpr int kDefaultCharset = 1;       // 1252
constexpr int kEastEuropeCharset = 238;  // 1250
constexpr int kRussianCharset = 204;     // 1251

// Pixels to draw into: 16 or 32 bits per pixel, the channels where their masks say (any
// other bits of a pixel are kept); pitch may exceed width times the pixel size.
struct PixelTarget {
    void* pixels = nullptr;
    int pitchBytes = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    uint32_t redMask = 0xFF0000;
    uint32_t greenMask = 0xFF00;
    uint32_t blueMask = 0xFF;
};

struct FontRequest {
    std::string face;      // family name, resolved through fontconfig
    std::string path;      // when not empty, this font file is opened instead of a face
    int pixelHeight = 16;  // em height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int charSet = kAnsiCharset;
};

// One rendered glyph: coverage 0..255, row after row (width bytes per row), placed with its
// top-left corner at (pen + left, baseline - top).
struct GlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
};

class TextFont {
public:
    // Null when neither the request nor the fallback face can be opened.
    static std::unique_ptr<TextFont> Open(const FontRequest& request);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    const FontRequest& GetRequest() const;
    // The font file the request resolved to.
    std::string GetFilePath() const;
    int GetAscent() const;
    int GetDescent() const;
    int GetHeight() const;  // ascent + descent

    // Advance width of the string in pixels (0 for an empty string).
    int MeasureString(const std::string& bytes);
    // Blends the string in the colour 0xRRGGBB over the target with the top of its line at
    // top; nothing is drawn outside [clipLeft, clipRight) x [clipTop, clipBottom) or the
    // target.
    void DrawString(const std::string& bytes, int x, int top, uint32_t rgb, const PixelTarget& target, int clipLeft,
                    int clipTop, int clipRight, int clipBottom);
    // The glyph of one byte of the font's code page; false when the byte maps to no
    // character.
    bool RenderGlyph(unsigned char byte, GlyphImage* out);
    // Kerning in pixels between two bytes, from the font's kerning table (0 when none).
    int GetKerning(unsigned char left, unsigned char right);

private:
    struct Impl;
    explicit TextFont(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl;
};

// pointSize * dpi / 72, rounded to the nearest pixel as MulDiv rounds.
int PointsToPixels(int pointSize, int dpi = 96);
// The Unicode character of a byte in the code page of a Windows character set (1252 for a
// set without a table of its own); a byte the code page leaves undefined becomes the control
// character of the same number, as Windows converts it.
uint32_t DecodeByte(unsigned char byte, int charSet);

}  // namespace text
}  // namespace plat
