#include "widgets/WidgetText.h"

#include <algorithm>
#include <vector>

#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"

namespace Velm {

int TextStringWidth(Font* font, const std::string& text) {
    return font != nullptr ? font->StringWidth(text) : 0;
}

int TextCharWidth(Font* font, char c) { return font != nullptr ? font->CharWidth(c) : 0; }

int TextAscent(Font* font) { return font != nullptr ? font->GetAscent() : 0; }

int TextAscentPadding(Font* font) { return font != nullptr ? font->GetAscentPadding() : 0; }

int TextHeight(Font* font) { return font != nullptr ? font->GetHeight() : 0; }

int TextLineSpacing(Font* font) { return font != nullptr ? font->GetLineSpacing() : 0; }

Font* TextDuplicateFont(Font* font) { return font != nullptr ? font->Duplicate() : nullptr; }

void TextDeleteFont(Font* font) { delete font; }

Font* TextCreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                        bool underline) {
    WidgetApp* app = WidgetApp::Get();
    if (app == nullptr) return nullptr;
    return app->CreateSysFont(face, pointSize, charSet, bold, italic, underline);
}

void TextDrawString(Graphics* g, const std::string& text, int x, int y) {
    Font* font = g->GetFont();
    if (font == nullptr || text.empty()) return;
    g->DrawString(text, x, y);
}

// Plain text for now: colour codes are drawn as they are until the drawing
// layer's own text writer takes over this seam.
int TextWriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification,
                    bool draw, int offset, int length) {
    Font* font = g->GetFont();
    const int size = static_cast<int>(text.size());
    offset = std::max(0, std::min(offset, size));
    if (length < 0 || offset + length > size) length = size - offset;
    const std::string part = text.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
    const int advance = TextStringWidth(font, part);
    if (draw) {
        if (justification == 0)
            x += (width - advance) / 2;
        else if (justification == 1)
            x += width - advance;
        TextDrawString(g, part, x, y);
    }
    return advance;
}

namespace {

// Splits text into the lines word wrapping makes of it: breaks at spaces
// (dropped, with the spaces after a soft break) and newlines; a word longer
// than the width is broken inside, at least one character per line.
std::vector<std::string> WrapLines(Font* font, int width, const std::string& text) {
    std::vector<std::string> lines;
    const int size = static_cast<int>(text.size());
    int lineStart = 0;
    int i = 0;
    int breakAt = -1;
    bool breakIsNewline = false;
    int lineWidth = 0;
    char prev = 0;
    while (i < size) {
        const char c = text[i];
        if (c == ' ') {
            breakAt = i;
            breakIsNewline = false;
        } else if (c == '\n') {
            breakAt = i;
            breakIsNewline = true;
            lineWidth = width + 1;
        }
        if (c != '\n') lineWidth += font != nullptr ? font->CharWidthKern(c, prev) : 0;
        prev = c;
        if (lineWidth <= width) {
            i++;
            continue;
        }
        if (breakAt >= 0) {
            lines.push_back(text.substr(lineStart, breakAt - lineStart));
            i = breakAt + 1;
            if (!breakIsNewline)
                while (i < size && text[i] == ' ') i++;
        } else {
            if (i == lineStart) i++;
            lines.push_back(text.substr(lineStart, i - lineStart));
        }
        lineStart = i;
        breakAt = -1;
        breakIsNewline = false;
        lineWidth = 0;
        prev = 0;
    }
    if (lineStart < size)
        lines.push_back(text.substr(lineStart));
    else if (size > 0 && text[size - 1] == '\n')
        lines.push_back(std::string());
    return lines;
}

int WrappedHeight(Font* font, int lineCount, int lineSpacing) {
    return TextAscent(font) - TextAscentPadding(font) + (lineCount - 1) * lineSpacing +
           (font != nullptr ? font->GetDescent() : 0);
}

}  // namespace

int TextWriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing,
                         int justification) {
    Font* font = g->GetFont();
    if (lineSpacing == -1) lineSpacing = TextLineSpacing(font);
    const std::vector<std::string> lines = WrapLines(font, rect.width, text);
    int y = rect.y + TextAscent(font) - TextAscentPadding(font);
    // Word-wrap justification: -1 left, 0 centred, 1 right.
    const int writeJustify = justification == -1 ? -1 : justification;
    for (const std::string& line : lines) {
        TextWriteString(g, line, rect.x, y, rect.width, writeJustify, true, 0, -1);
        y += lineSpacing;
    }
    return WrappedHeight(font, static_cast<int>(lines.size()), lineSpacing);
}

int TextWordWrappedHeight(Font* font, int width, const std::string& text, int lineSpacing) {
    if (lineSpacing == -1) lineSpacing = TextLineSpacing(font);
    const std::vector<std::string> lines = WrapLines(font, width, text);
    return WrappedHeight(font, static_cast<int>(lines.size()), lineSpacing);
}

}  // namespace Velm
