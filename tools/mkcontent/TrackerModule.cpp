#include "tools/mkcontent/TrackerModule.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

#include "tools/mkcontent/Audio.h"

namespace mkcontent {

namespace {

constexpr int kRows = 64;
constexpr int kChannels = 4;

// Amiga periods of the middle octave, C to B; the octave below doubles them, above halves.
const int kPeriods[12] = {428, 404, 381, 360, 340, 321, 303, 286, 270, 254, 240, 226};

int Period(int semitone) {  // 0 = C of the middle octave, -12..23
    const int octave = semitone < 0 ? -1 : semitone / 12;
    const int period = kPeriods[(semitone + 12) % 12];
    return octave < 0 ? period * 2 : period >> octave;
}

struct Sample {
    std::vector<int8_t> data;  // even length
    bool loops;
};

// One cycle of `length` samples with the given sine partials, peak 120.
Sample Cycle(int length, const std::vector<float>& partials) {
    std::vector<float> wave(size_t(length), 0.0f);
    float peak = 0.0f;
    for (int i = 0; i < length; ++i) {
        for (size_t p = 0; p < partials.size(); ++p) {
            wave[size_t(i)] += partials[p] * std::sin(2.0f * 3.14159265f * float(p + 1) * float(i) / float(length));
        }
        peak = std::fmax(peak, std::fabs(wave[size_t(i)]));
    }
    Sample s{{}, true};
    for (float v : wave) s.data.push_back(int8_t(std::lround(v / peak * 120.0f)));
    return s;
}

Sample Drum() {
    Samples noise = Noise(0.25f, 900, 0.001f, 0.08f, 71);
    Normalise(noise, 0.9f);
    Sample s{{}, false};
    for (float v : noise) s.data.push_back(int8_t(std::lround(v * 127.0f)));
    if (s.data.size() % 2) s.data.push_back(0);
    return s;
}

void Put16Be(std::string& f, int v) {
    f.push_back(char((v >> 8) & 0xFF));
    f.push_back(char(v & 0xFF));
}

// One cell: sample number (1-based, 0 none), period (0 none), effect and its parameter.
void Cell(std::string& pattern, int row, int channel, int sample, int period, int effect, int parameter) {
    const size_t at = size_t(row * kChannels + channel) * 4;
    pattern[at] = char((sample & 0xF0) | ((period >> 8) & 0x0F));
    pattern[at + 1] = char(period & 0xFF);
    pattern[at + 2] = char(((sample & 0x0F) << 4) | (effect & 0x0F));
    pattern[at + 3] = char(parameter);
}

std::string Pattern(int root) {
    std::string pattern(size_t(kRows * kChannels * 4), '\0');
    static const int kTune[16] = {0, 3, 7, 10, 12, 10, 7, 3, 5, 7, 3, 0, -2, 0, 3, 7};
    for (int step = 0; step < 16; ++step) {
        const int row = step * 4;
        Cell(pattern, row, 0, 1, Period(root + kTune[step] + 12), 0xC, 40);  // lead, volume 40
        Cell(pattern, row + 3, 0, 0, 0, 0xC, 0);                             // and cut short
        if (step % 2 == 0) Cell(pattern, row, 1, 2, Period(root - 12 + (step % 4 == 2 ? 7 : 0)), 0xC, 48);
        if (step % 2 == 1) Cell(pattern, row, 2, 3, Period(0), 0xC, 36);  // drum off the beat
    }
    return pattern;
}

}  // namespace

bool WriteTrackerModule(const std::string& path) {
    const std::vector<Sample> samples = {Cycle(32, {1.0f, 0.5f, 0.3f, 0.15f}), Cycle(64, {1.0f, 0.0f, 0.33f}), Drum()};
    static const char kNames[3][23] = {"lead", "bass", "drum"};
    std::string f(20, '\0');
    f.replace(0, 10, "velm theme");
    for (int i = 0; i < 31; ++i) {
        std::string header(22, '\0');
        const int words = i < 3 ? int(samples[size_t(i)].data.size() / 2) : 0;
        if (i < 3) header.replace(0, 4, kNames[i]);
        f += header;
        Put16Be(f, words);
        f.push_back(0);                     // finetune
        f.push_back(char(i < 3 ? 64 : 0));  // volume
        const bool loops = i < 3 && samples[size_t(i)].loops;
        Put16Be(f, 0);                  // loop start
        Put16Be(f, loops ? words : 1);  // loop length; 1 word means none
    }
    static const int kOrders[] = {0, 1, 0, 2, 3, 1};
    f.push_back(char(sizeof kOrders / sizeof kOrders[0]));
    f.push_back(char(127));
    std::string orders(128, '\0');
    for (size_t i = 0; i < sizeof kOrders / sizeof kOrders[0]; ++i) orders[i] = char(kOrders[i]);
    f += orders;
    f += "M.K.";
    for (int root : {0, 5, 7, 3}) f += Pattern(root);
    for (const Sample& s : samples) f.append(reinterpret_cast<const char*>(s.data.data()), s.data.size());
    std::ofstream out(path, std::ios::binary);
    out << f;
    return bool(out.flush());
}

}  // namespace mkcontent
