// Songs of every format the music back-ends load, streamed through the mixer: WAV, Ogg
// Vorbis (fixture made by the Vorbis encoder), MP3 (fixture made by LAME) and tracker
// modules (built in memory). The mixer is pulled by hand in steps of one update (10 ms)
// with the library's Update between them, as the application would run it.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SoundFixtures.h"
#include "TrackerFixture.h"
#include "platform/Audio.h"
#include "platform/DebugOutput.h"
#include "resources/sound/BassMusicInterface.h"
#include "resources/sound/FModMusicInterface.h"
#include "resources/sound/MusicLibrary.h"
#include "resources/sound/MusicStream.h"

using namespace sndtest;

namespace {

constexpr uint32_t kRate = 44100;
constexpr size_t kUpdateFrames = kRate / 100;

std::vector<int16_t> Sine(size_t frames, uint32_t rate, double hertz) {
    std::vector<int16_t> s(frames);
    for (size_t i = 0; i < frames; ++i)
        s[i] = int16_t(12000 * std::sin(2 * 3.14159265358979 * hertz * double(i) / rate));
    return s;
}

// What one stretch of output sounds like on the left channel (the Ogg fixture's right one
// has another tone; a module's first channel is panned left): its loudness and its pitch.
struct Heard {
    double rms = 0;
    double hertz = 0;
};

Heard Analyse(const std::vector<int>& left, double seconds) {
    Heard heard;
    size_t rises = 0;
    double sum = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        sum += double(left[i]) * left[i];
        if (i > 0 && left[i - 1] < 0 && left[i] >= 0) ++rises;
    }
    heard.rms = std::sqrt(sum / double(left.size() ? left.size() : 1));
    heard.hertz = double(rises) / seconds;
    return heard;
}

class StreamedMusic : public SoundFolder {
protected:
    // Plays on for `seconds`, one update at a time.
    Heard Listen(double seconds) {
        const size_t updates = size_t(seconds * 100);
        std::vector<int> left;
        std::vector<int16_t> out(kUpdateFrames * 2);
        for (size_t u = 0; u < updates; ++u) {
            mixer->Mix(out.data(), kUpdateFrames);
            for (size_t i = 0; i < kUpdateFrames; ++i) left.push_back(out[2 * i]);
            library->Update();
        }
        return Analyse(left, seconds);
    }

    std::shared_ptr<plat::audio::Mixer> mixer = std::make_shared<plat::audio::Mixer>(kRate);
    std::shared_ptr<Velm::MusicLibrary> library = std::make_shared<Velm::MusicLibrary>(mixer);
};

struct FormatCase {
    const char* file;
    double hertz;    // the tone it plays
    double seconds;  // how long the song lasts
};

}  // namespace

class EveryFormat : public StreamedMusic, public ::testing::WithParamInterface<FormatCase> {
protected:
    void SetUp() override {
        StreamedMusic::SetUp();
        const std::string file = GetParam().file;
        std::string bytes;
        if (file == "song.wav") bytes = Wav16(1, 22050, Sine(22050 * 6 / 10, 22050, 440));
        if (file == "song.ogg") bytes = OggFixture();
        if (file == "song.mp3") bytes = Mp3Fixture();
        if (file == "song.mod") bytes = ModFile({428, 428}, 4);  // two patterns of 0.48 s
        if (file == "song.xm") bytes = XmFile(8);
        if (file == "song.s3m") bytes = S3mFile(8);
        if (bytes.empty()) GTEST_SKIP() << "no fixture for " << file;
        Write(file, bytes);
    }
};

TEST_P(EveryFormat, PlaysAtItsPitchLoopsWhenAskedAndStopsToSilence) {
    const FormatCase c = GetParam();
    Velm::BassMusicInterface music(library);
    ASSERT_TRUE(music.LoadMusic(1, c.file));
    ASSERT_TRUE(music.LoadMusic(2, c.file));

    // Once: it sounds at its pitch, then ends and falls silent.
    music.PlayMusic(1, 0, true);
    const Heard first = Listen(0.4);
    EXPECT_GT(first.rms, 1000.0);
    EXPECT_NEAR(first.hertz, c.hertz, c.hertz * 0.05);
    Listen(c.seconds);
    EXPECT_FALSE(music.IsPlaying(1)) << "a song played once ends";
    EXPECT_EQ(Listen(0.1).rms, 0.0);

    // Looping: still sounding after twice its length, until it is stopped.
    music.PlayMusic(2, 0, false);
    Listen(c.seconds * 2);
    EXPECT_TRUE(music.IsPlaying(2));
    const Heard again = Listen(0.3);
    EXPECT_GT(again.rms, 1000.0);
    EXPECT_NEAR(again.hertz, c.hertz, c.hertz * 0.05);
    music.StopMusic(2);
    EXPECT_EQ(Listen(0.1).rms, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Music, EveryFormat,
                         ::testing::Values(FormatCase{"song.wav", 440, 0.6}, FormatCase{"song.ogg", 440, 1.5},
                                           FormatCase{"song.mp3", 440, 1.5}, FormatCase{"song.mod", 259, 0.96},
                                           FormatCase{"song.xm", 261, 0.96}, FormatCase{"song.s3m", 261, 0.96}),
                         [](const ::testing::TestParamInfo<FormatCase>& param) {
                             return std::string(param.param.file).substr(5);
                         });

TEST_F(StreamedMusic, BrokenFilesAreRefusedAndNamedOnTheLog) {
    const std::string mod = ModFile({428}, 4);
    const std::string mp3 = Mp3Fixture();
    const std::string ogg = OggFixture();
    const std::string garbage(4000, 'x');
    struct Case {
        const char* file;
        std::string bytes;
    };
    std::vector<Case> cases = {
            {"cut.mod", mod.substr(0, 200)},
            {"cut.xm", XmFile(8).substr(0, 300)},
            {"cut.s3m", S3mFile(8).substr(0, 90)},
            {"junk.mod", garbage},
            {"junk.xm", garbage},
            {"junk.s3m", garbage},
            {"junk.it", "IMPM" + garbage},
            {"junk.mp3", garbage},
            {"junk.ogg", "OggS" + garbage},
            {"cut.wav", Wav16(1, 22050, Sine(100, 22050, 440)).substr(0, 30)},
            {"empty.mod", ""},
            // Whole patterns, but cut before the sample data: nothing to play.
            {"nosamples.mod", mod.substr(0, mod.size() - 256)},
            {"zeros.mod", std::string(mod.size(), '\0')},
    };
    if (!mp3.empty()) cases.push_back({"cut.mp3", mp3.substr(0, 100)});
    if (!ogg.empty()) {
        cases.push_back({"cut.ogg", ogg.substr(0, 60)});
        // The header pages whole, cut where the first page of sound begins.
        const size_t sound = ogg.find("OggS", ogg.find("OggS", 4) + 4);
        ASSERT_NE(sound, std::string::npos);
        cases.push_back({"headers.ogg", ogg.substr(0, sound)});
    }
    Velm::BassMusicInterface bass(library);
    Velm::FModMusicInterface fmod(library);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Write(c.file, c.bytes);
        plat::CapturedDebugOutput log;
        EXPECT_FALSE(bass.LoadMusic(1, c.file));
        EXPECT_NE(log.Text().find(std::string("\"") + c.file + "\" not loaded: "), std::string::npos) << log.Text();
        EXPECT_EQ(bass.GetSong(1), nullptr);
        bass.PlayMusic(1);  // the game goes on without the song
        EXPECT_FALSE(bass.IsPlaying(1));
    }
    plat::CapturedDebugOutput log;
    EXPECT_FALSE(bass.LoadMusic(1, "absent.xm"));
    EXPECT_FALSE(fmod.LoadMusic(1, "absent.it"));
    EXPECT_FALSE(fmod.LoadMusic(1, "junk.xm"));
    EXPECT_NE(log.Text().find("\"absent.xm\" not loaded: cannot open the file"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("\"junk.xm\" not loaded: tracker module"), std::string::npos) << log.Text();
}

TEST_F(StreamedMusic, AModuleStartsAtTheOrderItIsGiven) {
    // Order 0 plays period 428 (259 Hz), order 1 an octave up (period 214).
    Write("two.mod", ModFile({428, 214}, 16));
    Velm::BassMusicInterface bass(library);
    ASSERT_TRUE(bass.LoadMusic(1, "two.mod"));
    bass.PlayMusic(1, 1, true);
    EXPECT_NEAR(Listen(0.5).hertz, 518, 518 * 0.05);
    bass.PlayMusic(1, 0, true);
    EXPECT_NEAR(Listen(0.5).hertz, 259, 259 * 0.05);

    Velm::FModMusicInterface fmod(library);
    ASSERT_TRUE(fmod.LoadMusic(2, "two.mod"));
    bass.StopMusic(1);
    fmod.PlayMusic(2, 1, true);
    EXPECT_NEAR(Listen(0.5).hertz, 518, 518 * 0.05);
    EXPECT_TRUE(fmod.IsPlaying(2));
    fmod.PauseMusic(2);
    EXPECT_EQ(Listen(0.1).rms, 0.0);
    fmod.ResumeMusic(2);
    EXPECT_GT(Listen(0.1).rms, 1000.0);
}

TEST_F(StreamedMusic, AmplifyScalesAModule) {
    Write("one.mod", ModFile({428}, 64));
    Velm::BassMusicInterface bass(library);
    ASSERT_TRUE(bass.LoadMusic(1, "one.mod"));
    bass.PlayMusic(1);
    const double normal = Listen(0.3).rms;
    bass.SetMusicAmplify(1, 0.25);  // half of the library's unity of 50
    Listen(0.6);                    // what the ring already held plays out
    EXPECT_NEAR(Listen(0.3).rms, normal / 2, normal * 0.1);
}

TEST_F(StreamedMusic, AStreamHoldsHalfASecondWhateverTheSongsLength) {
    // A module of 64 patterns: over 30 s of music.
    Write("long.mod", ModFile(std::vector<int>(64, 428), 64));
    const auto streamed = library->LoadStream("long.mod");
    ASSERT_NE(streamed, 0u);
    EXPECT_EQ(library->HeldPcmBytes(streamed), kRate / 2 * 4);

    std::string error;
    auto stream = Velm::OpenMusicStream("long.mod", &error);
    ASSERT_TRUE(stream) << error;
    Velm::DecodedSound whole;
    ASSERT_TRUE(Velm::DecodeWholeStream(*stream, whole));
    EXPECT_GT(whole.data.size(), size_t(kRate) * 4 * 30);
}

TEST_F(StreamedMusic, Mp3DecodesWholeForTheSoundManager) {
    const std::string mp3 = Mp3Fixture();
    if (mp3.empty()) GTEST_SKIP() << "no MP3 fixture";
    Write("tone.mp3", mp3);
    Velm::DecodedSound sound;
    ASSERT_TRUE(Velm::DecodeSoundFile("tone.mp3", sound));
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.samplesPerSec, 44100u);
    EXPECT_NEAR(double(sound.data.size()) / 2 / 44100, 1.5, 0.1);
    Write("bad.mp3", std::string(3000, 'x'));
    EXPECT_FALSE(Velm::DecodeSoundFile("bad.mp3", sound));
}

// On the sound card's output the library refills its streams on a thread of its own. SDL's
// "disk" driver records, in real time, what the sound card would have played.
TEST_F(StreamedMusic, TheRefillThreadFeedsTheSoundCard) {
    Write("song.mod", ModFile({428, 428}, 4));  // 0.96 s
    const std::string file = Path("out.raw");
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    bool opened = false;
    bool ended = false;
    {
        auto card = std::make_shared<plat::audio::Mixer>();
        auto output = plat::audio::OpenOutput(card);
        if (output) {
            opened = true;
            auto shared = std::make_shared<Velm::MusicLibrary>(card, std::move(output));
            Velm::BassMusicInterface music(shared);
            ASSERT_TRUE(music.LoadMusic(1, "song.mod"));
            music.PlayMusic(1, 0, true);
            for (int waited = 0; waited < 500 && !ended; ++waited) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                ended = !music.IsPlaying(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    if (previous) {
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    } else {
        unsetenv("SDL_AUDIODRIVER");
    }
    unsetenv("SDL_DISKAUDIOFILE");
    if (!opened) GTEST_SKIP() << "SDL has no disk driver here";
    EXPECT_TRUE(ended) << "the song played once ends by itself";

    const std::string bytes = ReadAll(file);
    std::vector<int16_t> recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    size_t start = 0;
    while (start < recorded.size() && recorded[start] == 0) ++start;
    const size_t frames = kRate * 96 / 100;
    ASSERT_GE(recorded.size(), start + frames * 2);
    std::vector<int> left;
    for (size_t i = 0; i < frames; ++i) left.push_back(recorded[start + 2 * i]);
    const Heard heard = Analyse(left, 0.96);
    EXPECT_GT(heard.rms, 1000.0);
    EXPECT_NEAR(heard.hertz, 259, 259 * 0.05) << "no stretch of the ring played twice or skipped";
    // After the song, silence (allowing a tenth of a second for the last row's release).
    for (size_t i = start + size_t(kRate) * 2 * 120 / 100; i < recorded.size(); ++i) ASSERT_EQ(recorded[i], 0) << i;
}

TEST_F(StreamedMusic, TheGeneratorsModulePlays) {
#ifndef VELM_MODULE_FIXTURE
    GTEST_SKIP() << "no tracker module in this build";
#else
    Velm::BassMusicInterface music(library);
    ASSERT_TRUE(music.LoadMusic(1, VELM_MODULE_FIXTURE));
    music.PlayMusic(1);
    EXPECT_GT(Listen(2.0).rms, 500.0);
    EXPECT_TRUE(music.IsPlaying(1));
#endif
}
