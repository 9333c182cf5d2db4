#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/Audio.h"
#include "platform/DebugOutput.h"

using namespace plat::audio;

// The SDL output pulls the mixer on its own thread. Under SDL_AUDIODRIVER=dummy the
// callback still runs, so a short voice reaches its end; on a machine where no driver
// opens at all the answer is "no sound" and the test skips.
TEST(AudioOutput, PlaysAVoiceToItsEndThroughTheCallback) {
    auto mixer = std::make_shared<Mixer>();
    auto output = OpenOutput(mixer);
    if (!output) GTEST_SKIP() << "no audio device here";
    EXPECT_NE(std::string(output->DriverName()), "");

    BufferDesc d;
    d.flags = kCtrlVolume | kCtrlPositionNotify;
    d.format.channels = 2;
    d.format.samplesPerSec = 22050;
    d.format.bitsPerSample = 16;
    d.bytes = 2205 * 4;  // 0.1 s
    auto voice = mixer->CreateVoice(d);
    ASSERT_TRUE(voice);
    plat::Event stopped(true, false);
    ASSERT_TRUE(voice->SetNotificationPositions({{kOffsetStop, &stopped}}));
    voice->Play(false);
    // A generous bound only to keep a broken driver from hanging the run.
    EXPECT_TRUE(stopped.Wait(10000));
    EXPECT_FALSE(voice->IsPlaying());
    output.reset();
}

TEST(AudioOutput, NullMixerIsNoSound) { EXPECT_FALSE(OpenOutput(nullptr)); }

// SDL's "disk" driver writes what the callback produced to a file: what we mixed is what
// the sound card would have played, sample for sample.
TEST(AudioOutput, DiskDriverRecordsExactlyWhatWasMixed) {
    velmtest::TempDir dir;
    const std::string file = dir.Path() + "/out.raw";
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);

    std::vector<int16_t> ramp(4410);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = int16_t(100 + 7 * i);
    bool opened = false;
    {
        auto mixer = std::make_shared<Mixer>();
        auto output = OpenOutput(mixer);
        if (output) {
            opened = true;
            BufferDesc d;
            d.flags = kCtrlPositionNotify;
            d.format.channels = 1;
            d.format.samplesPerSec = kOutputRate;
            d.format.bitsPerSample = 16;
            d.bytes = uint32_t(ramp.size() * 2);
            auto voice = mixer->CreateVoice(d);
            LockedRegion r;
            ASSERT_TRUE(voice->Lock(0, 0, r, true));
            std::memcpy(r.part1, ramp.data(), r.bytes1);
            voice->Unlock();
            plat::Event stopped(true, false);
            voice->SetNotificationPositions({{kOffsetStop, &stopped}});
            voice->Play(false);
            EXPECT_TRUE(stopped.Wait(10000));
        }
    }
    if (previous) {
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_AUDIODRIVER");
    }
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    if (!opened) GTEST_SKIP() << "SDL has no disk driver here";

    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    size_t start = 0;
    while (start + 1 < recorded.size() && recorded[start] == 0) ++start;
    ASSERT_GE(recorded.size(), start + ramp.size() * 2);
    for (size_t i = 0; i < ramp.size(); ++i) {
        ASSERT_EQ(recorded[start + 2 * i], ramp[i]) << i;
        ASSERT_EQ(recorded[start + 2 * i + 1], ramp[i]) << i;
    }
}
