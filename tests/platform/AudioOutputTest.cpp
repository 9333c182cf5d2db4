#include <gtest/gtest.h>

#include <string>

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
