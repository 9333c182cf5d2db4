// Text layout of Graphics: one line with inline colour codes and justification, and blocks
// of text wrapped at word boundaries. Colour codes are part of the string: "^RRGGBB^"
// switches to that colour, "^oldclr^" back to the colour of the start of the call, and "^^"
// writes one caret; they are read only while colorCodes is set. y coordinates are baselines.

#include <algorithm>

#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Velm {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // anything else counts as 0
}

}  // namespace

int Graphics::WriteString(const std::string& text, int x, int y, int width, int justification, bool draw, int offset,
                          int length, int startColour) {
    if (font == nullptr) return 0;
    if (startColour == -1) startColour = static_cast<int>(color.ToInt());
    if (draw && (justification == 0 || justification == 1)) {
        const int measured = WriteString(text, x, y, width, justification, false, offset, length, startColour);
        x += justification == 0 ? (width - measured) / 2 : width - measured;
    }
    const int size = static_cast<int>(text.size());
    offset = std::max(0, std::min(offset, size));
    const int end = (length < 0 || offset + length > size) ? size : offset + length;

    int advance = 0;
    std::string run;
    int pos = offset;
    while (pos < end) {
        const char c = text[static_cast<size_t>(pos)];
        if (c != '^' || !colorCodes) {
            run += c;
            ++pos;
            continue;
        }
        if (pos + 1 < end && text[static_cast<size_t>(pos + 1)] == '^') {
            run += '^';
            pos += 2;
            continue;
        }
        // A code is '^', six characters and a closing character; a caret without room for
        // one ends the text.
        if (pos > end - 8) break;
        const std::string code = text.substr(static_cast<size_t>(pos + 1), 6);
        Color next;
        if (code == "oldclr") {
            next = Color(startColour & 0xFFFFFF, 255);
        } else if (code[0] == 'o') {
            next = Color(0, 0, 0);
        } else {
            next = Color(HexDigit(code[0]) * 16 + HexDigit(code[1]), HexDigit(code[2]) * 16 + HexDigit(code[3]),
                         HexDigit(code[4]) * 16 + HexDigit(code[5]));
        }
        if (draw) {
            if (!run.empty()) font->DrawString(this, x + advance, y, run, color, clip);
            color = Color(next.red, next.green, next.blue, color.alpha);
        }
        advance += font->StringWidth(run);
        run.clear();
        pos += 8;
    }
    if (draw && !run.empty()) font->DrawString(this, x + advance, y, run, color, clip);
    return advance + font->StringWidth(run);
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing, int justification,
                               int* maxWidth, int maxChars, int* lineOffset) {
    if (font == nullptr) return 0;
    Font* f = font;
    if (lineSpacing == -1) lineSpacing = f->GetLineSpacing();
    const Color startColor = color;
    const int startColour = static_cast<int>(color.ToInt());
    const int size = static_cast<int>(text.size());

    // Characters of [start, start + count) cut at maxChars; 0 or less means nothing to write.
    auto limitCount = [&](int start, int count) {
        if (maxChars >= 0 && start + count > maxChars) count = maxChars - start;
        return count;
    };
    auto writeLine = [&](int xOffset, int baseline, int start, int count) {
        return WriteString(text, rect.x + xOffset, rect.y + baseline, rect.width, justification, true, start, count,
                           startColour);
    };

    int y0 = f->GetAscent() - f->GetAscentPadding();  // baseline of the current line below rect.y
    int lineStart = 0;
    int i = 0;
    int breakAt = -1;
    char prev = 0;
    char lastChar = 0;
    int widest = 0;
    int xOffset = lineOffset != nullptr ? *lineOffset : 0;
    int lineWidth = xOffset;
    bool stopped = false;
    while (i < size) {
        const char c = text[static_cast<size_t>(i)];
        lastChar = c;
        if (c == '^' && colorCodes && i + 1 < size) {
            if (text[static_cast<size_t>(i + 1)] == '^') {
                ++i;  // the pair measures as one caret
            } else {
                i += 8;  // a code has no width
                continue;
            }
        } else if (c == ' ') {
            breakAt = i;
        } else if (c == '\n') {
            breakAt = i;
            lineWidth = rect.width + 1;  // forces the break
            ++i;
        }
        lineWidth += f->CharWidthKern(c, prev);
        prev = c;
        if (lineWidth <= rect.width) {
            ++i;
            continue;
        }

        if (breakAt >= 0) {
            // Lines ended at a space or newline are written only when their baseline is in view.
            const int baseline = static_cast<int>(rect.y + y0 + transY);
            if (baseline >= clip.y && baseline < clip.y + clip.height + lineSpacing) {
                const int count = limitCount(lineStart, breakAt - lineStart);
                if (count > 0 || breakAt - lineStart == 0) {
                    const int written = writeLine(xOffset, y0, lineStart, std::max(count, 0));
                    widest = std::max(widest, written);
                }
            }
            if (xOffset + lineWidth < 0) {
                stopped = true;
                break;
            }
            const bool newline = text[static_cast<size_t>(breakAt)] == '\n';
            i = breakAt + 1;
            if (!newline)
                while (i < size && text[static_cast<size_t>(i)] == ' ') ++i;
        } else {
            // A word longer than the line is broken before the character that did not fit,
            // keeping at least one character on the line.
            if (i == lineStart) ++i;
            const int count = limitCount(lineStart, i - lineStart);
            if (count <= 0) {
                stopped = true;
                break;
            }
            const int written = writeLine(xOffset, y0, lineStart, count);
            if (written < 0) {
                stopped = true;
                break;
            }
            widest = std::max(widest, written);
            if (lineOffset != nullptr) *lineOffset = written;
        }
        y0 += lineSpacing;
        lineStart = i;
        breakAt = -1;
        prev = 0;
        xOffset = 0;
        lineWidth = 0;
    }
    if (!stopped) {
        if (lineStart < size) {
            const int count = limitCount(lineStart, size - lineStart);
            if (count > 0) {
                const int written = writeLine(xOffset, y0, lineStart, count);
                if (written >= 0) {
                    widest = std::max(widest, written);
                    if (lineOffset != nullptr) *lineOffset = written;
                    y0 += lineSpacing;
                }
            }
        } else if (lastChar == '\n') {
            y0 += lineSpacing;
            if (lineOffset != nullptr) *lineOffset = 0;
        }
    }
    color = startColor;
    if (maxWidth != nullptr) *maxWidth = widest;
    return y0 + f->GetDescent() - lineSpacing;
}

int Graphics::DrawStringWordWrapped(const std::string& text, int x, int y, int wrapWidth, int lineSpacing,
                                    int justification, int* maxWidth) {
    if (font == nullptr) return 0;
    const Rect rect(x, y - font->GetAscent() + font->GetAscentPadding(), wrapWidth, 0);
    return WriteWordWrapped(rect, text, lineSpacing, justification, maxWidth, -1, nullptr);
}

int Graphics::GetWordWrappedHeight(int width, const std::string& text, int lineSpacing, int* maxWidth) {
    Graphics scratch;
    scratch.SetFont(font);
    return scratch.WriteWordWrapped(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth, -1, nullptr);
}

}  // namespace Velm
