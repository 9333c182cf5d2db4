#include "platform/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>

namespace plat {
namespace text {

namespace {

// Bytes 0x80..0xFF of the Windows code pages; bytes a code page leaves undefined map to the
// control character of the same number.
const uint16_t kCp1250[128] = {
        0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
        0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
        0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
        0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
        0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
        0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
        0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
        0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
        0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
        0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
const uint16_t kCp1251[128] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
        0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
        0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
        0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
        0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
        0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
        0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
        0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
        0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
        0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
const uint16_t kCp1252[128] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
        0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
        0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
        0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
        0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0,
        0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,
        0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA,
        0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
        0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
        0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// The face used when a request cannot be resolved and for characters a face lacks.
const char kFallbackFamily[] = "DejaVu Sans";

// FreeType's library object and every face are used under this one lock.
std::mutex& TextLock() {
    static std::mutex lock;
    return lock;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        return FT_Init_FreeType(&created) == 0 ? created : nullptr;
    }();
    return library;
}

struct ResolvedFace {
    std::string file;
    int index = 0;
    bool synthBold = false;
    bool synthItalic = false;
};

bool ResolveFamily(const std::string& family, bool bold, bool italic, ResolvedFace* out) {
    // Fontconfig's configuration lives until the process ends; FcFini releases it then.
    static const bool fontconfigReady = [] {
        if (FcInit() != FcTrue) return false;
        std::atexit(FcFini);
        return true;
    }();
    if (!fontconfigReady) return false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* file = nullptr;
    bool found = false;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        out->file = reinterpret_cast<const char*>(file);
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        out->index = index;
        out->synthBold = bold && weight < FC_WEIGHT_DEMIBOLD;
        out->synthItalic = italic && slant == FC_SLANT_ROMAN;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

struct Face {
    FT_Face face = nullptr;
    bool synthBold = false;
    bool synthItalic = false;

    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    ~Face() { Close(); }

    void Close() {
        if (face != nullptr) FT_Done_Face(face);
        face = nullptr;
    }

    bool Open(const ResolvedFace& resolved, int pixelHeight) {
        if (resolved.file.empty()) return false;
        if (FT_New_Face(Library(), resolved.file.c_str(), resolved.index, &face) != 0) {
            face = nullptr;
            return false;
        }
        synthBold = resolved.synthBold;
        synthItalic = resolved.synthItalic;
        return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) == 0;
    }
};

struct CachedGlyph {
    GlyphImage image;
    bool found = false;  // the primary or the fallback face has the character
};

// channel + (source - channel) * coverage / 255, rounded to the nearest value.
void BlendChannel(uint8_t& channel, int source, int coverage) {
    const int delta = (source - channel) * coverage;
    channel = static_cast<uint8_t>(channel + (delta >= 0 ? (delta + 127) / 255 : -((127 - delta) / 255)));
}

// Where one colour channel lies in a pixel, and how to widen it to 8 bits and back.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t channelMask) : mask(channelMask) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0) ++shift;
        while (bits < 32 - shift && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
    }
    int Read(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<int>(value >> (bits - 8));
        // Repeat the top bits into the low ones so that full scale stays 255.
        uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits) wide = (wide << bits) | value;
        return static_cast<int>(wide >> ((8 + bits - 1) / bits * bits - 8));
    }
    uint32_t Write(int value) const {
        if (bits == 0) return 0;
        const uint32_t scaled =
                bits >= 8 ? static_cast<uint32_t>(value) << (bits - 8) : static_cast<uint32_t>(value) >> (8 - bits);
        return (scaled << shift) & mask;
    }
};

struct PixelWriter {
    const PixelTarget& target;
    Channel red;
    Channel green;
    Channel blue;
    uint32_t keep;  // bits of a pixel that are no colour channel

    explicit PixelWriter(const PixelTarget& to)
            : target(to),
              red(to.redMask),
              green(to.greenMask),
              blue(to.blueMask),
              keep(~(to.redMask | to.greenMask | to.blueMask)) {}

    // Blends one pixel of colour (r, g, b) with coverage 0..255.
    void Blend(int x, int y, int r, int g, int b, int coverage) const {
        uint8_t* row = static_cast<uint8_t*>(target.pixels) + static_cast<ptrdiff_t>(y) * target.pitchBytes;
        uint32_t pixel =
                target.bitsPerPixel == 16 ? reinterpret_cast<uint16_t*>(row)[x] : reinterpret_cast<uint32_t*>(row)[x];
        uint8_t pr = static_cast<uint8_t>(red.Read(pixel));
        uint8_t pg = static_cast<uint8_t>(green.Read(pixel));
        uint8_t pb = static_cast<uint8_t>(blue.Read(pixel));
        BlendChannel(pr, r, coverage);
        BlendChannel(pg, g, coverage);
        BlendChannel(pb, b, coverage);
        pixel = (pixel & keep) | red.Write(pr) | green.Write(pg) | blue.Write(pb);
        if (target.bitsPerPixel == 16)
            reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(pixel);
        else
            reinterpret_cast<uint32_t*>(row)[x] = pixel;
    }
};

}  // namespace

struct TextFont::Impl {
    FontRequest request;
    std::string filePath;
    int pixelHeight = 1;
    Face primary;
    std::unique_ptr<Face> fallback;
    bool fallbackTried = false;
    int ascent = 0;
    int descent = 0;
    int underlineOffset = 1;  // below the baseline
    int underlineThickness = 1;
    std::map<uint32_t, CachedGlyph> cache;  // by character

    Face* Fallback() {
        if (!fallbackTried) {
            fallbackTried = true;
            ResolvedFace resolved;
            std::unique_ptr<Face> face(new Face());
            if (ResolveFamily(kFallbackFamily, request.bold, request.italic, &resolved) &&
                face->Open(resolved, pixelHeight))
                fallback = std::move(face);
        }
        return fallback.get();
    }

    const CachedGlyph& Glyph(uint32_t character) {
        auto it = cache.find(character);
        if (it != cache.end()) return it->second;
        CachedGlyph glyph;
        Face* face = &primary;
        FT_UInt index = FT_Get_Char_Index(primary.face, character);
        if (index == 0) {
            Face* other = Fallback();
            const FT_UInt otherIndex = other != nullptr ? FT_Get_Char_Index(other->face, character) : 0;
            if (otherIndex != 0) {
                face = other;
                index = otherIndex;
            }
        }
        glyph.found = index != 0;
        if (FT_Load_Glyph(face->face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            FT_GlyphSlot slot = face->face->glyph;
            if (face->synthItalic) FT_GlyphSlot_Oblique(slot);
            if (face->synthBold) FT_GlyphSlot_Embolden(slot);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bitmap = slot->bitmap;
                GlyphImage& image = glyph.image;
                image.width = static_cast<int>(bitmap.width);
                image.height = static_cast<int>(bitmap.rows);
                image.left = slot->bitmap_left;
                image.top = slot->bitmap_top;
                image.coverage.resize(static_cast<size_t>(image.width) * image.height);
                for (int row = 0; row < image.height; ++row) {
                    const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
                    std::copy(source, source + image.width,
                              image.coverage.begin() + static_cast<ptrdiff_t>(row) * image.width);
                }
            }
            glyph.image.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        }
        return cache.emplace(character, std::move(glyph)).first->second;
    }
};

TextFont::TextFont(std::unique_ptr<Impl> state) : impl(std::move(state)) {}

TextFont::~TextFont() {
    std::lock_guard<std::mutex> hold(TextLock());
    impl.reset();
}

std::unique_ptr<TextFont> TextFont::Open(const FontRequest& request) {
    std::lock_guard<std::mutex> hold(TextLock());
    if (Library() == nullptr) return nullptr;
    std::unique_ptr<Impl> state(new Impl());
    state->request = request;
    state->pixelHeight = std::max(1, request.pixelHeight);

    ResolvedFace resolved;
    bool opened = false;
    if (!request.path.empty()) {
        resolved.file = request.path;
        opened = state->primary.Open(resolved, state->pixelHeight);
        if (opened) {
            // A file names one style: what it lacks is synthesised.
            const FT_Long style = state->primary.face->style_flags;
            state->primary.synthBold = request.bold && (style & FT_STYLE_FLAG_BOLD) == 0;
            state->primary.synthItalic = request.italic && (style & FT_STYLE_FLAG_ITALIC) == 0;
        }
    } else if (ResolveFamily(request.face.empty() ? kFallbackFamily : request.face, request.bold, request.italic,
                             &resolved)) {
        opened = state->primary.Open(resolved, state->pixelHeight);
    }
    if (!opened) {
        state->primary.Close();
        if (!ResolveFamily(kFallbackFamily, request.bold, request.italic, &resolved) ||
            !state->primary.Open(resolved, state->pixelHeight))
            return nullptr;
    }
    state->filePath = resolved.file;

    FT_Face face = state->primary.face;
    const double scale = static_cast<double>(state->pixelHeight) / std::max<int>(1, face->units_per_EM);
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF) {
        state->ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        state->descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
        state->ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
        state->descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    }
    state->underlineOffset = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
    state->underlineThickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    return std::unique_ptr<TextFont>(new TextFont(std::move(state)));
}

const FontRequest& TextFont::GetRequest() const { return impl->request; }

std::string TextFont::GetFilePath() const { return impl->filePath; }

int TextFont::GetAscent() const { return impl->ascent; }

int TextFont::GetDescent() const { return impl->descent; }

int TextFont::GetHeight() const { return impl->ascent + impl->descent; }

int TextFont::MeasureString(const std::string& bytes) {
    std::lock_guard<std::mutex> hold(TextLock());
    int width = 0;
    for (char c : bytes)
        width += impl->Glyph(DecodeByte(static_cast<unsigned char>(c), impl->request.charSet)).image.advance;
    return width;
}

void TextFont::DrawString(const std::string& bytes, int x, int top, uint32_t rgb, const PixelTarget& target,
                          int clipLeft, int clipTop, int clipRight, int clipBottom) {
    if (target.pixels == nullptr || (target.bitsPerPixel != 16 && target.bitsPerPixel != 32)) return;
    const PixelWriter writer(target);
    const int left = std::max(clipLeft, 0);
    const int upper = std::max(clipTop, 0);
    const int right = std::min(clipRight, target.width);
    const int lower = std::min(clipBottom, target.height);
    if (left >= right || upper >= lower) return;
    const int r = static_cast<int>((rgb >> 16) & 0xFF);
    const int g = static_cast<int>((rgb >> 8) & 0xFF);
    const int b = static_cast<int>(rgb & 0xFF);

    std::lock_guard<std::mutex> hold(TextLock());
    const int baseline = top + impl->ascent;
    int pen = x;
    for (char c : bytes) {
        const GlyphImage& glyph = impl->Glyph(DecodeByte(static_cast<unsigned char>(c), impl->request.charSet)).image;
        const int gx = pen + glyph.left;
        const int gy = baseline - glyph.top;
        for (int row = std::max(0, upper - gy); row < glyph.height && gy + row < lower; ++row) {
            const uint8_t* coverage = glyph.coverage.data() + static_cast<ptrdiff_t>(row) * glyph.width;
            for (int col = std::max(0, left - gx); col < glyph.width && gx + col < right; ++col)
                if (coverage[col] != 0) writer.Blend(gx + col, gy + row, r, g, b, coverage[col]);
        }
        pen += glyph.advance;
    }
    if (impl->request.underline) {
        const int lineTop = baseline + impl->underlineOffset;
        for (int y = std::max(lineTop, upper); y < std::min(lineTop + impl->underlineThickness, lower); ++y)
            for (int px = std::max(x, left); px < std::min(pen, right); ++px) writer.Blend(px, y, r, g, b, 255);
    }
}

bool TextFont::RenderGlyph(unsigned char byte, GlyphImage* out) {
    std::lock_guard<std::mutex> hold(TextLock());
    const CachedGlyph& glyph = impl->Glyph(DecodeByte(byte, impl->request.charSet));
    *out = glyph.image;
    return glyph.found;
}

int TextFont::GetKerning(unsigned char left, unsigned char right) {
    std::lock_guard<std::mutex> hold(TextLock());
    FT_Face face = impl->primary.face;
    if (!FT_HAS_KERNING(face)) return 0;
    const FT_UInt first = FT_Get_Char_Index(face, DecodeByte(left, impl->request.charSet));
    const FT_UInt second = FT_Get_Char_Index(face, DecodeByte(right, impl->request.charSet));
    if (first == 0 || second == 0) return 0;
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(face, first, second, FT_KERNING_DEFAULT, &delta) != 0) return 0;
    return static_cast<int>(delta.x >> 6);
}

int PointsToPixels(int pointSize, int dpi) {
    // MulDiv rounds half away from zero.
    const long long product = static_cast<long long>(pointSize) * dpi;
    return static_cast<int>(product >= 0 ? (product + 36) / 72 : (product - 36) / 72);
}

uint32_t DecodeByte(unsigned char byte, int charSet) {
    if (byte < 0x80) return byte;
    switch (charSet) {
        case kEastEuropeCharset: return kCp1250[byte - 0x80];
        case kRussianCharset: return kCp1251[byte - 0x80];
        default: return kCp1252[byte - 0x80];
    }
}

}  // namespace text
}  // namespace plat
