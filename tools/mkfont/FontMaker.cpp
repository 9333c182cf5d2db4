#include "tools/mkfont/FontMaker.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"
#include "resources/ImageLib.h"
#include "resources/base/Paths.h"
#include "resources/base/StringUtils.h"

namespace mkfont {

namespace {

const int kSheetWidth = 256;
const int kPadding = 1;  // transparent pixels around every glyph

struct Glyph {
    unsigned char byte = 0;
    plat::text::GlyphImage image;
    int sheetX = 0;
    int sheetY = 0;
};

// Printable bytes of code page 1252: no control characters, no DEL, none of the bytes the
// code page leaves undefined.
bool IsPrintable(unsigned char byte) {
    if (byte < 32 || byte == 127) return false;
    if (byte >= 0x80 && byte < 0xA0) return plat::text::DecodeByte(byte, plat::text::kAnsiCharset) != byte;
    return true;
}

}  // namespace

std::string QuoteToken(const std::string& text) {
    // Single quotes unless the text holds one; inside quotes a backslash escapes the next
    // character, so the quote character and the backslash are escaped.
    const char quote = text.find('\'') != std::string::npos ? '"' : '\'';
    std::string token(1, quote);
    for (char c : text) {
        if (c == '\\' || c == quote) token += '\\';
        token += c;
    }
    return token + quote;
}

bool MakeFont(const Options& options, std::string* error) {
    plat::text::FontRequest request;
    request.path = options.fontPath;
    request.pixelHeight = plat::text::PointsToPixels(options.pointSize);
    if (!plat::FileExists(options.fontPath)) {
        *error = "cannot open font " + options.fontPath;
        return false;
    }
    std::unique_ptr<plat::text::TextFont> font = plat::text::TextFont::Open(request);
    if (!font) {
        *error = "cannot open font " + options.fontPath;
        return false;
    }

    std::vector<Glyph> glyphs;
    for (int byte = 0; byte < 256; ++byte) {
        if (!IsPrintable(static_cast<unsigned char>(byte))) continue;
        Glyph glyph;
        glyph.byte = static_cast<unsigned char>(byte);
        if (!font->RenderGlyph(glyph.byte, &glyph.image)) continue;
        glyphs.push_back(std::move(glyph));
    }

    // Rows of glyphs, left to right, each glyph with a transparent border.
    int x = kPadding;
    int y = kPadding;
    int rowHeight = 0;
    int sheetWidth = kSheetWidth;
    for (Glyph& glyph : glyphs) {
        sheetWidth = std::max(sheetWidth, glyph.image.width + 2 * kPadding);
        if (x + glyph.image.width + kPadding > sheetWidth) {
            x = kPadding;
            y += rowHeight + kPadding;
            rowHeight = 0;
        }
        glyph.sheetX = x;
        glyph.sheetY = y;
        x += glyph.image.width + kPadding;
        rowHeight = std::max(rowHeight, glyph.image.height);
    }
    const int sheetHeight = y + rowHeight + kPadding;

    std::vector<uint32_t> pixels(static_cast<size_t>(sheetWidth) * sheetHeight, 0x00FFFFFFu);
    for (const Glyph& glyph : glyphs)
        for (int row = 0; row < glyph.image.height; ++row)
            for (int col = 0; col < glyph.image.width; ++col) {
                const uint32_t coverage = glyph.image.coverage[static_cast<size_t>(row) * glyph.image.width + col];
                pixels[static_cast<size_t>(glyph.sheetY + row) * sheetWidth + glyph.sheetX + col] =
                        (coverage << 24) | 0xFFFFFFu;
            }
    const std::string folder = Velm::GetFolderPart(options.descriptorPath, true);
    ImageLib::Image sheet;
    sheet.mWidth = sheetWidth;
    sheet.mHeight = sheetHeight;
    sheet.mBits = pixels.data();  // lent: taken back before the picture goes
    const bool written = ImageLib::WritePNGImage(folder + options.imageName, &sheet);
    sheet.mBits = nullptr;
    if (!written) {
        *error = "cannot write " + folder + options.imageName;
        return false;
    }

    const int ascent = font->GetAscent();
    std::string chars;
    std::string rects;
    std::string widths;
    std::string offsets;
    for (const Glyph& glyph : glyphs) {
        const bool empty = glyph.image.width == 0 || glyph.image.height == 0;
        chars += " " + QuoteToken(std::string(1, static_cast<char>(glyph.byte)));
        rects += empty ? " (0 0 0 0)"
                       : Velm::FormatString(" (%d %d %d %d)", glyph.sheetX, glyph.sheetY, glyph.image.width,
                                            glyph.image.height);
        widths += Velm::FormatString(" %d", glyph.image.advance);
        offsets += Velm::FormatString(" (%d %d)", glyph.image.left, ascent - glyph.image.top);
    }
    std::string pairs;
    std::string kerning;
    for (const Glyph& first : glyphs)
        for (const Glyph& second : glyphs) {
            const int amount = font->GetKerning(first.byte, second.byte);
            if (amount == 0) continue;
            const char pair[2] = {static_cast<char>(first.byte), static_cast<char>(second.byte)};
            pairs += " " + QuoteToken(std::string(pair, 2));
            kerning += Velm::FormatString(" %d", std::max(-128, std::min(127, amount)));
        }

    std::string text;
    text += "# Made by mkfont from " + Velm::GetFileNamePart(options.fontPath) +
            Velm::FormatString(" at %d points (%d pixels).\n", options.pointSize, request.pixelHeight);
    text += "Define Chars (" + chars.substr(chars.empty() ? 0 : 1) + ");\n";
    text += Velm::FormatString("SetDefaultPointSize %d;\n", options.pointSize);
    text += "CreateLayer Main;\n";
    text += "LayerSetImage Main " + QuoteToken(options.imageName) + ";\n";
    text += Velm::FormatString("LayerSetPointSize Main %d;\n", options.pointSize);
    text += Velm::FormatString("LayerSetAscent Main %d;\n", ascent);
    text += Velm::FormatString("LayerSetHeight Main %d;\n", font->GetHeight());
    text += "LayerSetCharOffsets Main Chars (" + offsets.substr(offsets.empty() ? 0 : 1) + ");\n";
    text += "LayerSetImageMap Main Chars (" + rects.substr(rects.empty() ? 0 : 1) + ");\n";
    text += "LayerSetCharWidths Main Chars (" + widths.substr(widths.empty() ? 0 : 1) + ");\n";
    if (!pairs.empty()) text += "LayerSetKerningPairs Main (" + pairs.substr(1) + ") (" + kerning.substr(1) + ");\n";
    std::string writeError;
    if (!plat::WriteFileAtomic(options.descriptorPath, text.data(), text.size(), &writeError)) {
        *error = "cannot write " + options.descriptorPath + ": " + writeError;
        return false;
    }
    return true;
}

}  // namespace mkfont
