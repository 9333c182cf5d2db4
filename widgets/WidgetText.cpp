#include "widgets/WidgetText.h"

#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"

namespace Velm {

int TextStringWidth(Font* font, const std::string& text) { return font != nullptr ? font->StringWidth(text) : 0; }

int TextCharWidth(Font* font, char c) { return font != nullptr ? font->CharWidth(c) : 0; }

int TextAscent(Font* font) { return font != nullptr ? font->GetAscent() : 0; }

int TextAscentPadding(Font* font) { return font != nullptr ? font->GetAscentPadding() : 0; }

int TextHeight(Font* font) { return font != nullptr ? font->GetHeight() : 0; }

int TextLineSpacing(Font* font) { return font != nullptr ? font->GetLineSpacing() : 0; }

Font* TextDuplicateFont(Font* font) { return font != nullptr ? font->Duplicate() : nullptr; }

void TextDeleteFont(Font* font) { delete font; }

Font* TextCreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic, bool underline) {
    WidgetApp* app = WidgetApp::Get();
    if (app == nullptr) return nullptr;
    return app->CreateSysFont(face, pointSize, charSet, bold, italic, underline);
}

void TextDrawString(Graphics* g, const std::string& text, int x, int y) {
    Font* font = g->GetFont();
    if (font == nullptr || text.empty()) return;
    g->DrawString(text, x, y);
}

int TextWriteString(Graphics* g, const std::string& text, int x, int y, int width, int justification, bool draw,
                    int offset, int length) {
    return g->WriteString(text, x, y, width, justification, draw, offset, length, -1);
}

int TextWriteWordWrapped(Graphics* g, const Rect& rect, const std::string& text, int lineSpacing, int justification) {
    return g->WriteWordWrapped(rect, text, lineSpacing, justification, nullptr, -1, nullptr);
}

int TextWordWrappedHeight(Font* font, int width, const std::string& text, int lineSpacing) {
    Graphics measure;
    measure.SetFont(font);
    return measure.GetWordWrappedHeight(width, text, lineSpacing, nullptr);
}

}  // namespace Velm
