#pragma once

#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Velm {

class Graphics;

// The interface through which all text is measured and drawn. Metrics are in pixels; a string
// is drawn with its baseline at the given y, and the ascent is the distance from the top of a
// line to the baseline. Bitmap fonts and system fonts implement it.
class Font {
public:
    int ascent = 0;
    int ascentPadding = 0;  // moves the first line of wrapped text up
    int height = 0;         // line height
    int lineSpacingOffset = 0;

    Font() = default;
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font();

    virtual int GetAscent();
    virtual int GetAscentPadding();
    virtual int GetDescent();  // height - ascent
    virtual int GetHeight();
    virtual int GetLineSpacingOffset();
    virtual int GetLineSpacing();  // height + lineSpacingOffset
    virtual int StringWidth(const std::string& text);
    virtual int CharWidth(char c);
    // Advance of c after prev (0: none), kerning and spacing included.
    virtual int CharWidthKern(char c, char prev);
    // Applies the context's translation itself; draws nothing outside clip.
    virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip);
    // A new independent copy owned by the caller.
    virtual Font* Duplicate() = 0;
};

}  // namespace Velm
