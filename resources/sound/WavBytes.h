#pragma once

// Writing RIFF WAVE images byte by byte: numbers are little-endian, tags four characters.

#include <cstdint>
#include <vector>

namespace Velm {
namespace wav {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((v >> (8 * i)) & 0xFF));
}

inline void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// "RIFF" with `riffSize`, "WAVE" and a 16-byte PCM "fmt " chunk (format tag 1); the
// chunks after it are the caller's.
inline void PutPcmHead(std::vector<uint8_t>& out, uint32_t riffSize, uint16_t channels, uint32_t samplesPerSec,
                       uint16_t bitsPerSample) {
    const uint32_t blockAlign = uint32_t(channels) * bitsPerSample / 8;
    PutTag(out, "RIFF");
    Put32(out, riffSize);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, channels);
    Put32(out, samplesPerSec);
    Put32(out, samplesPerSec * blockAlign);
    Put16(out, blockAlign);
    Put16(out, bitsPerSample);
}

}  // namespace wav
}  // namespace Velm
