#pragma once

#include <string>

#include "widgets/WidgetGeometry.h"

namespace Velm {

class Font;
class Graphics;

// The one seam through which the widgets measure and draw text. Every
// function accepts a null font (measures 0, draws nothing), so a widget
// without a font works and draws no text. Main thread only.

int TextStringWidth(Font* font, const std::string& text);
int TextCharWidth(Font* font, char c);
int TextAscent(Font* font);
int TextAscentPadding(Font* font);
int TextHeight(Font* font);
int TextLineSpacing(Font* font);
// An independent copy owned by the caller (null for null).
Font* TextDuplicateFont(Font* font);
void TextDeleteFont(Font* font);
// A system font through the application (WidgetApp::CreateSysFont); null
// when there is no application or it has no system fonts.
Font* TextCreateSysFont(const std::string& face, int pointSize, int charSet, bool bold = false, bool italic = false,
                        bool underline = false);

// Draws with the Graphics' current font and colour, baseline at y.
void TextDrawString(Graphics* g, const std::string& text, int x, int y);
// One line with colour codes; justification 0 centred in width, 1 right,
// else left; returns the advance width of text[offset .. offset+length).
int TextWriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification, bool draw,
                    int offset, int length);
// Wrapped to rect.width from the baseline rect.y + ascent - ascentPadding;
// lineSpacing -1 is the font's; justification -1 left, 0 centred, 1 right.
// Returns the height used.
int TextWriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing, int justification);
int TextWordWrappedHeight(Font* font, int width, const std::string& text, int lineSpacing);

}  // namespace Velm
