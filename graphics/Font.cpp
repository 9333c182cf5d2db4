#include "graphics/Font.h"

namespace Velm {

Font::~Font() = default;
int Font::GetAscent() { return ascent; }
int Font::GetAscentPadding() { return ascentPadding; }
int Font::GetDescent() { return height - ascent; }
int Font::GetHeight() { return height; }
int Font::GetLineSpacingOffset() { return lineSpacingOffset; }
int Font::GetLineSpacing() { return height + lineSpacingOffset; }
int Font::StringWidth(const std::string&) { return 0; }
int Font::CharWidth(char c) { return StringWidth(std::string(1, c)); }
int Font::CharWidthKern(char c, char) { return CharWidth(c); }
void Font::DrawString(Graphics*, int, int, const std::string&, const Color&, const Rect&) {}

}  // namespace Velm
