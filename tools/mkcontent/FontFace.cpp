#include "tools/mkcontent/FontFace.h"

#include <algorithm>
#include <cmath>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace mkcontent {

struct FontFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Impl() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
    bool Load(uint32_t codePoint, int pixelHeight) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
        return FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0;
    }
    int Ascent() const { return static_cast<int>(std::ceil(static_cast<double>(face->size->metrics.ascender) / 64.0)); }
    int Height() const {
        return static_cast<int>(
                std::ceil(static_cast<double>(face->size->metrics.ascender - face->size->metrics.descender) / 64.0));
    }
};

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra > 0 && i + static_cast<size_t>(extra) >= text.size()) extra = 0;
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char n = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((n & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (!ok) {
            cp = c;
            extra = 0;
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

FontFace::FontFace(std::unique_ptr<Impl> i) : impl(std::move(i)) {}
FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(const std::string& path) {
    auto impl = std::make_unique<Impl>();
    if (FT_Init_FreeType(&impl->library) != 0) return nullptr;
    if (FT_New_Face(impl->library, path.c_str(), 0, &impl->face) != 0) return nullptr;
    return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

bool FontFace::HasGlyph(uint32_t codePoint) const { return FT_Get_Char_Index(impl->face, codePoint) != 0; }

int FontFace::Measure(const std::string& utf8, int pixelHeight) {
    int width = 0;
    for (char32_t cp : DecodeUtf8(utf8))
        if (impl->Load(cp, pixelHeight)) width += static_cast<int>(impl->face->glyph->advance.x >> 6);
    return width;
}

Canvas FontFace::Text(const std::string& utf8, int pixelHeight) {
    const int width = std::max(1, Measure(utf8, pixelHeight) + 2);
    impl->Load(' ', pixelHeight);
    const int ascent = impl->Ascent();
    Canvas mask(width, impl->Height() + 2);
    int pen = 1;
    for (char32_t cp : DecodeUtf8(utf8)) {
        if (!impl->Load(cp, pixelHeight)) continue;
        const FT_GlyphSlot g = impl->face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const float v =
                        static_cast<float>(g->bitmap.buffer[row * static_cast<unsigned>(g->bitmap.pitch) + col]) /
                        255.0f;
                const int x = pen + g->bitmap_left + static_cast<int>(col);
                const int y = 1 + ascent - g->bitmap_top + static_cast<int>(row);
                const Rgba old = mask.Get(x, y);
                mask.Set(x, y, Rgba{1, 1, 1, std::max(old.a, v)});
            }
        pen += static_cast<int>(g->advance.x >> 6);
    }
    return mask;
}

Canvas FontFace::Glyph(uint32_t codePoint, int pixelHeight) {
    if (!impl->Load(codePoint, pixelHeight)) return Canvas(1, 1);
    const FT_GlyphSlot g = impl->face->glyph;
    Canvas mask(std::max(1u, g->bitmap.width), std::max(1u, g->bitmap.rows));
    for (unsigned row = 0; row < g->bitmap.rows; ++row)
        for (unsigned col = 0; col < g->bitmap.width; ++col)
            mask.Set(static_cast<int>(col), static_cast<int>(row),
                     Rgba{1, 1, 1,
                          static_cast<float>(g->bitmap.buffer[row * static_cast<unsigned>(g->bitmap.pitch) + col]) /
                                  255.0f});
    return mask;
}

Canvas Caption(FontFace& face, const std::string& text, const CaptionStyle& style) {
    const Canvas mask = face.Text(text, style.pixelHeight);
    const int margin = style.outlineWidth + std::max(style.shadowOffset, style.glow.a > 0 ? style.glowRadius : 0) + 2;
    Canvas padded(mask.Width() + 2 * margin, mask.Height() + 2 * margin);
    padded.DrawMask(mask, margin, margin, Rgba{1, 1, 1, 1});
    // The outline: the mask grown by the outline width (a disc of offsets).
    Canvas grown(padded.Width(), padded.Height());
    const int w = style.outlineWidth;
    for (int dy = -w; dy <= w; ++dy)
        for (int dx = -w; dx <= w; ++dx) {
            if (dx * dx + dy * dy > w * w + w) continue;
            for (int y = 0; y < mask.Height(); ++y)
                for (int x = 0; x < mask.Width(); ++x) {
                    const float a = mask.Get(x, y).a;
                    if (a <= 0) continue;
                    const int gx = x + margin + dx, gy = y + margin + dy;
                    const Rgba old = grown.Get(gx, gy);
                    if (a > old.a) grown.Set(gx, gy, Rgba{1, 1, 1, a});
                }
        }
    Canvas out(padded.Width(), padded.Height());
    if (style.glow.a > 0) {
        const Canvas halo = grown.BlurredAlpha(style.glowRadius / 2);
        out.DrawMask(halo, 0, 0, style.glow, 1.6f);
    }
    if (style.shadow.a > 0) out.DrawMask(grown.BlurredAlpha(1), style.shadowOffset, style.shadowOffset, style.shadow);
    if (w > 0) out.DrawMask(grown, 0, 0, style.outline);
    const float top = static_cast<float>(margin), bottom = static_cast<float>(margin + mask.Height());
    for (int y = 0; y < padded.Height(); ++y)
        for (int x = 0; x < padded.Width(); ++x) {
            const float a = padded.Get(x, y).a;
            if (a <= 0) continue;
            const float t = std::min(1.0f, std::max(0.0f, (static_cast<float>(y) - top) / (bottom - top)));
            out.Blend(x, y, Mix(style.top, style.bottom, t), a);
        }
    return out;
}

}  // namespace mkcontent
