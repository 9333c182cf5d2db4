#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SoundTestSupport.h"
#include "engine/sound/WaveOggFile.h"
#include "resources/sound/MusicStream.h"
#include "resources/sound/SoundDecoder.h"
#include "tests/platform/TempDir.h"

using namespace soundtest;

namespace {

// tone.ogg: 33075 frames (1.5 s) of a stereo sine at 22050 Hz, 440 Hz left, 660 Hz right.
constexpr uint32_t kFixtureFrames = 33075;

std::string Fixture(const char* path = VELM_OGG_FIXTURE) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(OggFile, DecodesTheWholeStream) {
    const std::string bytes = Fixture();
    ASSERT_FALSE(bytes.empty());
    Sound::WaveOggFile_t ogg;
    ogg.OpenMemory(bytes.data(), unsigned(bytes.size()));
    const Sound::WAVEFORMATEX& f = ogg.GetFormat();
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.samplesPerSec, 22050u);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.avgBytesPerSec, 88200u);
    EXPECT_EQ(ogg.GetDataSize(), kFixtureFrames * 4);
    EXPECT_NEAR(double(ogg.GetDurationMs()), 1500.0, 2.0);

    std::vector<int16_t> pcm(kFixtureFrames * 2 + 100);
    unsigned total = 0;
    for (;;) {
        unsigned read = 0;
        // An odd byte count: only whole frames come back.
        ogg.Read(reinterpret_cast<char*>(pcm.data()) + total, 4001, &read);
        EXPECT_EQ(read % 4, 0u);
        if (read == 0) break;
        total += read;
    }
    EXPECT_EQ(total, kFixtureFrames * 4);
    // A sine of amplitude one half: the decoded peak is near 16384.
    int peak = 0;
    for (uint32_t i = 2000; i < 4000; ++i) peak = std::max(peak, std::abs(int(pcm[2 * i])));
    EXPECT_NEAR(peak, 16384, 1200);

    ASSERT_TRUE(ogg.Rewind());
    std::vector<int16_t> again(400);
    unsigned read = 0;
    ogg.Read(again.data(), 800, &read);
    EXPECT_EQ(read, 800u);
    EXPECT_EQ(std::vector<int16_t>(pcm.begin(), pcm.begin() + 400), again);
}

TEST(OggFile, JunkIsBadFileFormat) {
    const std::string bytes = Fixture();
    const std::string broken[] = {"OggS but nothing more", bytes.substr(0, 60), std::string(4096, 'x')};
    for (const std::string& b : broken) {
        Sound::WaveOggFile_t ogg;
        EXPECT_EQ(ThrownCode([&] { ogg.OpenMemory(b.data(), unsigned(b.size())); }), 6);
        unsigned read = 0;
        char buffer[8];
        EXPECT_EQ(ThrownCode([&] { ogg.Read(buffer, 8, &read); }), 8);
    }
}

// Damaged copies of the two fixtures: cut anywhere, with runs of bytes overwritten at places
// through the file (headers, first pages, the middle), and with whole pages out of place.
std::vector<std::pair<std::string, std::string>> DamagedCopies() {
    std::vector<std::pair<std::string, std::string>> copies;
    for (const char* path : {VELM_OGG_FIXTURE, VELM_OGG_LONG_FIXTURE}) {
        const std::string bytes = Fixture(path);
        const std::string name = path == std::string(VELM_OGG_FIXTURE) ? "short" : "long";
        for (size_t cut = 100; cut < bytes.size(); cut += 13 + cut / 20)
            copies.emplace_back(name + " cut at " + std::to_string(cut), bytes.substr(0, cut));
        for (size_t at = 40; at < bytes.size(); at += 97 + at / 4) {
            for (size_t length : {1, 16}) {
                std::string damaged = bytes;
                for (size_t i = at; i < std::min(bytes.size(), at + length); ++i) damaged[i] = char(~damaged[i]);
                copies.emplace_back(name + " " + std::to_string(length) + " flipped at " + std::to_string(at), damaged);
            }
        }
        // Damage that keeps every page's checksum: a page dropped, repeated or swapped with the next.
        std::vector<std::string> pages;
        for (size_t at = 0; at + 27 <= bytes.size();) {
            const size_t segments = uint8_t(bytes[at + 26]);
            size_t length = 27 + segments;
            for (size_t i = 0; i < segments && at + 27 + i < bytes.size(); ++i) length += uint8_t(bytes[at + 27 + i]);
            pages.push_back(bytes.substr(at, length));
            at += length;
        }
        for (size_t page = 0; page < pages.size(); ++page) {
            std::string dropped, twice, swapped;
            for (size_t i = 0; i < pages.size(); ++i) {
                if (i != page) dropped += pages[i];
                twice += pages[i];
                if (i == page) twice += pages[i];
                if (page + 1 < pages.size()) swapped += pages[i == page ? i + 1 : i == page + 1 ? page : i];
            }
            const std::string at = std::to_string(page);
            copies.emplace_back(name + " page " + at + " dropped", dropped);
            copies.emplace_back(name + " page " + at + " twice", twice);
            if (page + 1 < pages.size()) copies.emplace_back(name + " pages " + at + " and next swapped", swapped);
        }
    }
    return copies;
}

// Every damaged copy gets the same verdict from the three Ogg paths: the engine's wave file,
// the music stream (read from the disk) and the whole-file decoder of engine sounds each open
// it exactly when it yields a sound, and then give the same samples. A cut that leaves the
// headers but no sound is refused by all; what decodes plays in all, also where the file can
// no longer seek back.
TEST(OggFile, DamagedFilesGetTheSameVerdictInAllThreeReaders) {
    velmtest::TempDir dir;
    int opened = 0;
    int refused = 0;
    for (const auto& copy : DamagedCopies()) {
        const std::string& name = copy.first;
        const std::string& part = copy.second;
        SCOPED_TRACE(name);
        Velm::DecodedSound decoded;
        const bool decodes = Velm::DecodeOggData(reinterpret_cast<const uint8_t*>(part.data()), part.size(), decoded);
        Sound::WaveOggFile_t ogg;
        const int code = ThrownCode([&] { ogg.OpenMemory(part.data(), unsigned(part.size())); });
        const std::string file = dir / "song.ogg";
        {
            std::ofstream out(file, std::ios::binary);
            out << part;
        }
        std::string error;
        const std::unique_ptr<Velm::MusicStream> music = Velm::OpenMusicStream(file, &error);
        ASSERT_EQ(code == -1, decodes) << "thrown " << code;
        ASSERT_EQ(music != nullptr, decodes) << error;
        if (!decodes) {
            EXPECT_EQ(code, 6);
            ++refused;
            continue;
        }
        ++opened;
        std::string pcm(decoded.data.size() + 4096, '\0');
        unsigned total = 0;
        for (unsigned read = 1; read > 0; total += read) ogg.Read(&pcm[total], 4096, &read);
        ASSERT_EQ(total, decoded.data.size());
        EXPECT_EQ(pcm.substr(0, total), std::string(decoded.data.begin(), decoded.data.end()));
        Velm::DecodedSound streamed;
        ASSERT_TRUE(Velm::DecodeWholeStream(*music, streamed));
        EXPECT_EQ(streamed.data, decoded.data);
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}

using OggSound = ManualDevice;

TEST_F(OggSound, StaticAndStreamedOggPlayTheSameSamples) {
    const std::string bytes = Fixture();
    Sound::WaveOggFile_t ogg;
    ogg.OpenMemory(bytes.data(), unsigned(bytes.size()));
    std::vector<int16_t> reference(2 * 2000);
    unsigned read = 0;
    ogg.Read(reference.data(), unsigned(reference.size() * 2), &read);

    Sound::Sound_t* sound = nullptr;
    device.CreateStaticSound(1, &sound, bytes.data(), unsigned(bytes.size()), Sound::kWaveOgg,
                             Sound::StaticBufferFlags(0), false, false, false);
    ASSERT_NE(sound, nullptr);
    device.AddSound(sound);
    EXPECT_NEAR(double(sound->GetDurationMs()), 1500.0, 2.0);
    device.PlayByHandle(sound->GetHandle(), 0);
    auto out = Pull(2000);
    EXPECT_EQ(out, reference);
    device.StopByHandle(sound->GetHandle(), 0, true);

    Sound::Sound_t* stream = nullptr;
    device.CreateStreamingSound(3, &stream, NewMemFileDescr(bytes.data(), unsigned(bytes.size()), true),
                                Sound::kWaveOgg, Sound::StreamBufferFlags(0), 8, 1000 * 4, false, false);
    ASSERT_NE(stream, nullptr);
    device.AddSound(stream);
    device.SetEndCallbackByHandle(stream->GetHandle(), &CallbackLog::Record, 0);
    device.PlayByHandle(stream->GetHandle(), 0);
    std::vector<int16_t> streamed;
    for (int i = 0; i < 40; ++i) {
        auto part = Pull(1000);
        streamed.insert(streamed.end(), part.begin(), part.end());
        Service();
    }
    EXPECT_EQ(std::vector<int16_t>(streamed.begin(), streamed.begin() + 4000), reference);
    EXPECT_EQ(CallbackLog::Calls().size(), 1u) << "1.5 s of data in 40 chunks of 1000 frames ends once";
}
