#pragma once

// Makes a bitmap font from a TrueType font: a font descriptor file and its glyph sheet, a PNG
// of white glyphs whose alpha is the glyph coverage. The descriptor has one layer, "Main",
// made for the given point size (96 dpi), with every printable character of code page 1252
// that the font has: its rectangle in the sheet, its offset from the pen (left bearing, and
// the distance from the top of the ascent), its advance and the font's kerning pairs.

#include <string>

namespace mkfont {

struct Options {
    std::string fontPath;  // TrueType file
    int pointSize = 14;
    std::string descriptorPath;  // written; the sheet goes beside it
    std::string imageName;       // file name of the sheet, relative to the descriptor's folder
};

// False with a reason in *error when the font cannot be opened or a file cannot be written.
bool MakeFont(const Options& options, std::string* error);

// A character string written as a quoted token of the descriptor language.
std::string QuoteToken(const std::string& text);

}  // namespace mkfont
