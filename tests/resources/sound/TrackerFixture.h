#pragma once

// Tracker modules built in memory for the music tests, each with one looping square-wave
// sample of 32 bytes a cycle struck on the first channel (panned left) at row 0 of each
// pattern, at the default speed (6 ticks of 20 ms a row: a row lasts 0.12 s).
// - ModFile: a four-channel MOD ("M.K."), one pattern per entry of `periods`, each
//   playing that Amiga period and breaking to the next after `rows` rows. Period 428
//   plays the sample at 8287 Hz, a tone of 259 Hz.
// - XmFile: an XM of one pattern of `rows` rows playing C-4, the sample's own rate of
//   8363 Hz: a tone of 261 Hz.
// - S3mFile: an S3M of one pattern breaking after `rows` rows, playing C-4 at the
//   sample's C4 rate of 8363 Hz: a tone of 261 Hz.

#include <cstdint>
#include <string>
#include <vector>

namespace sndtest {

inline std::string ModFile(const std::vector<int>& periods, int rows) {
    constexpr int kCycle = 32;
    constexpr int kSampleBytes = kCycle * 8;
    std::string f(20, '\0');
    f.replace(0, 9, "test song");
    for (int s = 0; s < 31; ++s) {
        std::string header(30, '\0');
        if (s == 0) {
            header[22] = char((kSampleBytes / 2) >> 8);  // length in words, big-endian
            header[23] = char((kSampleBytes / 2) & 0xFF);
            header[25] = 64;                             // volume
            header[28] = char((kSampleBytes / 2) >> 8);  // the whole sample loops
            header[29] = char((kSampleBytes / 2) & 0xFF);
        } else {
            header[29] = 1;  // an empty sample's loop length is one word
        }
        f += header;
    }
    f.push_back(char(periods.size()));
    f.push_back(char(127));
    std::string orders(128, '\0');
    for (size_t i = 0; i < periods.size(); ++i) orders[i] = char(i);
    f += orders;
    f += "M.K.";
    for (int period : periods) {
        std::string pattern(64 * 4 * 4, '\0');
        pattern[0] = char((period >> 8) & 0x0F);  // sample 1, high bits of the period
        pattern[1] = char(period & 0xFF);
        pattern[2] = char(0x10);  // sample 1, no effect
        const size_t last = size_t(rows - 1) * 16;
        pattern[last + 2] = char(0x0D);  // pattern break to the next one
        f += pattern;
    }
    for (int i = 0; i < kSampleBytes; ++i) f.push_back(char((i % kCycle) < kCycle / 2 ? 100 : -100));
    return f;
}

inline void PutLe(std::string& f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) f.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string Padded(const std::string& text, size_t size) {
    std::string s = text.substr(0, size);
    s.resize(size, '\0');
    return s;
}

inline std::string XmFile(int rows) {
    constexpr int kCycle = 32;
    constexpr int kSampleBytes = kCycle * 8;
    std::string f = "Extended Module: " + Padded("test song", 20) + char(0x1A) + Padded("velm tests", 20);
    PutLe(f, 0x0104, 2);                                                // version
    PutLe(f, 276, 4);                                                   // header size from this field on
    for (int v : {1, 0, 2, 1, 1, 1, 6, 125}) PutLe(f, uint32_t(v), 2);  // orders .. linear periods, speed, tempo
    f += std::string(256, '\0');                                        // order 0 plays pattern 0
    // The pattern, unpacked: five bytes a channel and row.
    std::string cells(size_t(rows) * 2 * 5, '\0');
    cells[0] = char(49);  // C-4
    cells[1] = char(1);   // instrument 1
    PutLe(f, 9, 4);
    f.push_back(0);
    PutLe(f, uint32_t(rows), 2);
    PutLe(f, uint32_t(cells.size()), 2);
    f += cells;
    // The instrument and its one sample.
    PutLe(f, 263, 4);
    f += Padded("square", 22);
    f.push_back(0);
    PutLe(f, 1, 2);   // one sample
    PutLe(f, 40, 4);  // sample header size
    f += std::string(263 - 33, '\0');
    PutLe(f, kSampleBytes, 4);
    PutLe(f, 0, 4);
    PutLe(f, kSampleBytes, 4);                                                  // loops whole
    f += std::string{char(64), char(0), char(1), char(128), char(0), char(0)};  // volume .. forward loop, centre
    f += Padded("square", 22);
    int8_t previous = 0;
    for (int i = 0; i < kSampleBytes; ++i) {  // 8-bit deltas
        const int8_t value = (i % kCycle) < kCycle / 2 ? 100 : -100;
        f.push_back(char(int8_t(value - previous)));
        previous = value;
    }
    return f;
}

inline std::string S3mFile(int rows) {
    constexpr int kCycle = 32;
    constexpr int kSampleBytes = kCycle * 8;
    std::string f = Padded("test song", 28);
    f += std::string{char(0x1A), char(16), 0, 0};
    for (int v : {2, 1, 1, 0, 0x1320, 2})
        PutLe(f, uint32_t(v), 2);  // orders, instruments, patterns, flags, tracker, unsigned samples
    f += "SCRM";
    f += std::string{char(64), char(6), char(125), char(0xB0), 0, 0};
    f += std::string(8, '\0');
    PutLe(f, 0, 2);
    std::string channels(32, char(255));
    channels[0] = 0;  // left 1
    channels[1] = 8;  // right 1
    f += channels;
    f += std::string{0, char(255)};  // order 0, then the end marker
    // Parapointers (units of 16 bytes): the instrument at 112, the pattern at 192, the
    // sample data after the pattern.
    PutLe(f, 112 / 16, 2);
    PutLe(f, 192 / 16, 2);
    f.resize(112, '\0');
    std::string pattern;
    pattern += std::string{char(32), char(0x40), char(1)};  // C-4, instrument 1
    pattern.push_back(0);
    for (int row = 1; row < 64; ++row) {
        if (row == rows - 1) pattern += std::string{char(128 | 0), char(3), char(0)};  // C00: break to the next order
        pattern.push_back(0);
    }
    const size_t sampleAt = (192 + 2 + pattern.size() + 15) / 16 * 16;
    f.push_back(1);  // a sample
    f += Padded("square.raw", 12);
    f.push_back(char((sampleAt / 16) >> 16));
    PutLe(f, uint32_t(sampleAt / 16), 2);
    PutLe(f, kSampleBytes, 4);
    PutLe(f, 0, 4);
    PutLe(f, kSampleBytes, 4);
    f += std::string{char(64), 0, 0, char(1)};  // volume, -, unpacked, looping
    PutLe(f, 8363, 4);
    f += std::string(12, '\0');
    f += Padded("square", 28);
    f += "SCRS";
    f.resize(192, '\0');
    PutLe(f, uint32_t(pattern.size() + 2), 2);
    f += pattern;
    f.resize(sampleAt, '\0');
    for (int i = 0; i < kSampleBytes; ++i) f.push_back(char((i % kCycle) < kCycle / 2 ? 228 : 28));  // unsigned
    return f;
}

}  // namespace sndtest
