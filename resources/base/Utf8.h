#pragma once

#include <cstdint>

namespace Velm {

// Decodes one UTF-8 character whose lead byte has been read; readByte(uint8_t&)
// supplies the continuation bytes and returns false at the end of the input.
// Sequences of up to five bytes are taken. False for a malformed sequence
// (bad lead or continuation byte, input ending inside the sequence), an
// overlong form, a surrogate (0xD800..0xDFFF), 0xFFFE or 0xFFFF.
template <class ReadByte>
bool DecodeUtf8Char(uint8_t lead, ReadByte readByte, uint32_t* value) {
    int extra;
    uint32_t v;
    if (lead < 0x80) {
        *value = lead;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        v = lead & 0x1F;
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        v = lead & 0x0F;
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        v = lead & 0x07;
        extra = 3;
    } else if ((lead & 0xFC) == 0xF8) {
        v = lead & 0x03;
        extra = 4;
    } else {
        return false;  // a continuation byte, 1111110x, 0xFE or 0xFF
    }
    uint8_t first = 0;
    for (int k = 0; k < extra; ++k) {
        uint8_t next = 0;
        if (!readByte(next) || (next & 0xC0) != 0x80) return false;
        if (k == 0) first = next;
        v = v * 64 + (next & 0x3F);
    }
    const bool overlong =
            (extra == 1 && (lead == 0xC0 || lead == 0xC1)) || (extra == 2 && lead == 0xE0 && (first & 0x20) == 0) ||
            (extra == 3 && lead == 0xF0 && (first & 0x30) == 0) || (extra == 4 && lead == 0xF8 && (first & 0x38) == 0);
    if (overlong || (v >= 0xD800 && v <= 0xDFFF) || v == 0xFFFE || v == 0xFFFF) return false;
    *value = v;
    return true;
}

}  // namespace Velm
