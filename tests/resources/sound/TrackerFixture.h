#pragma once

// A four-channel MOD ("M.K.") tracker module built in memory for the music tests: one
// looping square-wave sample of 32 bytes a cycle and one pattern per entry of `periods`,
// each striking the sample on channel 1 at row 0 with that Amiga period and breaking to
// the next pattern after `rows` rows. At the default speed (6 ticks of 20 ms a row) a
// pattern lasts rows x 0.12 s; period 428 plays the sample at 8287 Hz, a tone of 259 Hz.

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

}  // namespace sndtest
