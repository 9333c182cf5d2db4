// Writes a mono 16-bit PCM WAV file of a sine tone for the music tests, the input of the
// MP3 encoder run at build time: MakeToneWav <file> <hertz> <seconds> <rate>.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    const double hertz = std::atof(argv[2]);
    const double seconds = std::atof(argv[3]);
    const uint32_t rate = uint32_t(std::atol(argv[4]));
    const uint32_t frames = uint32_t(seconds * rate);
    std::string f = "RIFF";
    Put(f, 36 + frames * 2, 4);
    f += "WAVEfmt ";
    Put(f, 16, 4);
    Put(f, 1, 2);
    Put(f, 1, 2);
    Put(f, rate, 4);
    Put(f, rate * 2, 4);
    Put(f, 2, 2);
    Put(f, 16, 2);
    f += "data";
    Put(f, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2.0 * 3.14159265358979323846 * hertz * double(i) / rate);
        Put(f, uint32_t(uint16_t(int16_t(std::lround(v * 32767.0)))), 2);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    const bool ok = std::fwrite(f.data(), 1, f.size(), out) == f.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
