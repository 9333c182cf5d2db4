#include "platform/TextEncoding.h"

#include <cstdint>

namespace plat {
namespace {

// Code points of bytes 0x80..0x9F; the rest of the code page equals Latin-1.
const uint16_t kHighControls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The byte for a code point, or -1 when code page 1252 has none.
int ByteFor(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) return 0x80 + i;
    }
    return -1;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        uint8_t b = static_cast<uint8_t>(c);
        AppendUtf8(out, (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : b);
    }
    return out;
}

std::string Utf8ToCp1252(const std::string& text, char replacement) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t length;
        uint32_t cp;
        uint32_t minimum;
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        } else {
            out += replacement;  // stray continuation byte or invalid lead
            ++i;
            continue;
        }
        bool ok = i + length <= text.size();
        for (size_t k = 1; ok && k < length; ++k) {
            uint8_t next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                ok = false;
            } else {
                cp = (cp << 6) | (next & 0x3F);
            }
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed too.
        if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += replacement;
            ++i;
            continue;
        }
        int byte = ByteFor(cp);
        out += byte < 0 ? replacement : static_cast<char>(byte);
        i += length;
    }
    return out;
}

}  // namespace plat
