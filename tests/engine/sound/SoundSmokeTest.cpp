// The whole sound path on a real output: SDL's "disk" driver writes what the sound card
// would have played into a file. A description and a music cross-fade are played through
// the sound API; the file must hold sound while they play and only silence once they are
// stopped.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "SoundTestSupport.h"
#include "engine/sound/SoundApi.h"
#include "engine/storage/FileStg.h"
#include "engine/storage/Stg.h"
#include "tests/platform/TempDir.h"

using namespace soundtest;

namespace {

// A sine of `frames` stereo frames at kRate.
std::string Tone(uint32_t frames, double hz, int16_t amplitude) {
    std::vector<int16_t> s;
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t v = int16_t(amplitude * std::sin(2.0 * 3.14159265358979 * hz * i / kRate));
        s.push_back(v);
        s.push_back(v);
    }
    return Wav16(2, s);
}

uintmax_t FileSize(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

// Waits (bounded, against a stuck driver) until the output file has grown by `bytes`.
bool WaitForOutput(const std::string& path, uintmax_t bytes) {
    const uintmax_t start = FileSize(path);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (FileSize(path) < start + bytes) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Sound::UpdateSound();
    }
    return true;
}

// Largest absolute sample in [from, to) bytes of 16-bit output.
int Peak(const std::string& bytes, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from & ~size_t(1); i + 1 < to && i + 1 < bytes.size(); i += 2) {
        int16_t v;
        std::memcpy(&v, bytes.data() + i, 2);
        peak = std::max(peak, std::abs(int(v)));
    }
    return peak;
}

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const std::string& file) {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        mHadDriver = driver != nullptr;
        if (driver) mDriver = driver;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
    }
    ~EnvironmentGuard() {
        if (mHadDriver) {
            setenv("SDL_AUDIODRIVER", mDriver.c_str(), 1);
        } else {
            unsetenv("SDL_AUDIODRIVER");
        }
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }

private:
    bool mHadDriver = false;
    std::string mDriver;
};

}  // namespace

TEST(SoundSmoke, DiskOutputHoldsSoundWhilePlayingAndSilenceAfterStop) {
    velmtest::TempDir dir;
    const std::string output = dir / "out.raw";
    std::filesystem::create_directories(dir / "sounds");
    std::filesystem::create_directories(dir / "sounddescr");
    Stg_t* sounds = OpenStorage(dir / "sounds", false);
    Stg_t* descrs = OpenStorage(dir / "sounddescr", false);
    PutFile(descrs, "chime", "WaveName=chime\nGroup=Effect\nIsLoop=1\n");
    PutFile(descrs, "background", "WaveName=theme\nGroup=Music\nIsStreamed=1\nIsLoop=1\n");
    PutFile(sounds, "chime.wav", Tone(11025, 660.0, 8000));
    PutFile(sounds, "theme.wav", Tone(44100, 220.0, 8000));
    PutFile(sounds, "other.wav", Tone(44100, 330.0, 8000));
    Sound::SetSoundsStorage(sounds);
    Sound::SetSoundDescrStorage(descrs);

    bool opened = false;
    size_t playFrom = 0, playTo = 0, silentFrom = 0;
    {
        EnvironmentGuard env(output);
        ASSERT_TRUE(Sound::InitSound(nullptr, false));
        opened = Sound::GetSoundDevice()->HasAudio();
        if (opened) {
            Sound::SetGroupVolume(1, 100);
            Sound::SetGroupVolume(3, 100);
            ASSERT_TRUE(WaitForOutput(output, 4096));
            playFrom = size_t(FileSize(output));
            EXPECT_GT(Sound::PlaySound("chime"), 0);
            EXPECT_TRUE(Sound::PlayMusic("theme", 100, 100));
            ASSERT_TRUE(WaitForOutput(output, 44100 * 4 / 4));  // a quarter of a second
            EXPECT_TRUE(Sound::PlayMusic("other", 100, 100));   // the cross-fade
            ASSERT_TRUE(WaitForOutput(output, 44100 * 4 / 4));
            playTo = size_t(FileSize(output));

            Sound::StopMusic(0);
            Sound::StopGroup(5, 0);
            // What the driver had mixed before the stop may still be written: skip ahead
            // by a generous number of its buffers.
            ASSERT_TRUE(WaitForOutput(output, 8 * 4096));
            silentFrom = size_t(FileSize(output));
            ASSERT_TRUE(WaitForOutput(output, 44100 * 4 / 4));
        }
        Sound::ShutdownSound();
    }
    Sound::SetSoundsStorage(nullptr);
    Sound::SetSoundDescrStorage(nullptr);
    sounds->Release();
    descrs->Release();
    if (!opened) GTEST_SKIP() << "SDL has no disk driver here";

    std::ifstream in(output, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), silentFrom);
    EXPECT_GT(Peak(bytes, playFrom, playTo), 2000) << "sound while playing";
    EXPECT_EQ(Peak(bytes, silentFrom, bytes.size()), 0) << "silence after the stop";
}
