#pragma once

// Helpers of the framework sound tests: sound files built in memory, files written into
// a temporary folder that is also the current folder (sound names are relative, as the
// program gives them), and a per-user folder inside it for the cache.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/base/Paths.h"
#include "tests/platform/TempDir.h"

namespace sndtest {

inline void Put16(std::string& s, uint32_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
inline void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}
inline void PutBe32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string Chunk(const char* id, const std::string& body, bool pad = true) {
    std::string c(id, 4);
    Put32(c, uint32_t(body.size()));
    c += body;
    if (pad && (body.size() & 1)) c.push_back('\0');
    return c;
}

inline std::string Fmt(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
    std::string b;
    Put16(b, tag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * channels * bits / 8);
    Put16(b, uint16_t(channels * bits / 8));
    Put16(b, bits);
    return Chunk("fmt ", b);
}

inline std::string Samples16(const std::vector<int16_t>& s) {
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

inline std::string Riff(const std::string& chunks) {
    std::string f = "RIFF";
    Put32(f, uint32_t(4 + chunks.size()));
    return f + "WAVE" + chunks;
}

inline std::string Wav16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
    return Riff(Fmt(channels, rate, 16) + Chunk("data", Samples16(samples)));
}

inline std::vector<int16_t> Ramp(size_t count, int start = 100, int step = 3) {
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i) s[i] = int16_t(start + step * int(i % 5000));
    return s;
}

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The Ogg Vorbis fixture made at build time (16-bit stereo sine at 22050 Hz), or "".
inline std::string OggFixture() {
#ifdef VELM_OGG_FIXTURE
    return ReadAll(VELM_OGG_FIXTURE);
#else
    return "";
#endif
}

// The MP3 fixture made at build time by LAME (mono 440 Hz sine, 1.5 s at 44100 Hz), or "".
inline std::string Mp3Fixture() {
#ifdef VELM_MP3_FIXTURE
    return ReadAll(VELM_MP3_FIXTURE);
#else
    return "";
#endif
}

// A temporary folder that is the current folder for the test, with the per-user folder
// "appdata" inside it.
class SoundFolder : public ::testing::Test {
protected:
    void SetUp() override {
        saved = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        Velm::SetAppDataFolder(dir.Path() + "/appdata/");
    }
    void TearDown() override {
        Velm::SetAppDataFolder("");
        std::filesystem::current_path(saved);
    }

    void Write(const std::string& relative, const std::string& bytes) {
        const std::filesystem::path p = std::filesystem::path(dir.Path()) / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string Path(const std::string& relative) const { return dir / relative; }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(Path(relative)); }

    velmtest::TempDir dir;
    std::filesystem::path saved;
};

}  // namespace sndtest
