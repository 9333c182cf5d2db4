#pragma once

// TrueType faces for the content generator, read with FreeType: lines of text and single
// glyphs (any Unicode code point, e.g. the mahjong tiles of Symbola) as coverage masks, and
// styled captions (gradient fill, outline, drop shadow) for buttons, banners and titles.
// Build tool only: the game draws text through its own fonts.

#include <cstdint>
#include <memory>
#include <string>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class FontFace {
public:
    // Null when the file cannot be read as a font.
    static std::unique_ptr<FontFace> Open(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool HasGlyph(uint32_t codePoint) const;
    // Width in pixels of a line of UTF-8 text at the em height.
    int Measure(const std::string& utf8, int pixelHeight);
    // A line of text as a mask (alpha = coverage) as wide as the text and one line high, the
    // baseline at the face's ascent.
    Canvas Text(const std::string& utf8, int pixelHeight);
    // One glyph as a mask, cropped to its ink.
    Canvas Glyph(uint32_t codePoint, int pixelHeight);

private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl;
};

struct CaptionStyle {
    int pixelHeight = 32;
    Rgba top = Argb(0xFFFFFFFF);  // fill, top of the line to its bottom
    Rgba bottom = Argb(0xFFFFE080);
    Rgba outline = Argb(0xFF402000);
    int outlineWidth = 2;
    Rgba shadow = Argb(0x90000000);
    int shadowOffset = 3;
    Rgba glow = Argb(0x00000000);  // soft halo when alpha > 0
    int glowRadius = 8;
};

// The text painted in the style on a transparent canvas with room for outline, glow and
// shadow.
Canvas Caption(FontFace& face, const std::string& text, const CaptionStyle& style);

// Splits UTF-8 into code points (bad bytes are taken as Latin-1).
std::u32string DecodeUtf8(const std::string& text);

}  // namespace mkcontent
