#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SoundTestSupport.h"
#include "platform/Clock.h"

using namespace soundtest;

namespace {

const uint32_t kStaticFlags = Sound::StaticBufferFlags(0);

}  // namespace

using StaticSound = ManualDevice;

TEST_F(StaticSound, PlaysToItsEndThenStopsRewindsAndCallsBackOnce) {
    const auto pcm = Ramp(1, 100);
    const int handle = AddStatic(Wav16(1, pcm), kStaticFlags, false, false);
    ASSERT_GT(handle, 0);
    device.SetEndCallbackByHandle(handle, &CallbackLog::Record, 42);
    device.PlayByHandle(handle, 0);
    Service();
    EXPECT_TRUE(device.IsPlayingByHandle(handle));

    const auto out = Pull(130);
    for (size_t i = 0; i < 130; ++i) {
        ASSERT_EQ(out[2 * i], i < 100 ? pcm[i] : 0) << i;
        ASSERT_EQ(out[2 * i + 1], i < 100 ? pcm[i] : 0) << i;
    }
    EXPECT_FALSE(device.IsPlayingByHandle(handle));
    EXPECT_TRUE(CallbackLog::Calls().empty()) << "the thread's work has not run yet";
    Service();
    ASSERT_EQ(CallbackLog::Calls().size(), 1u);
    EXPECT_EQ(CallbackLog::Calls()[0], std::make_pair(handle, 42));
    Sound::Sound_t* sound = device.FindSound(handle);
    ASSERT_NE(sound, nullptr) << "kept: not marked delete-after-play";
    EXPECT_TRUE(sound->IsEnded());
    uint32_t cursor = 1;
    sound->GetBuffer()->GetCurrentPosition(&cursor, nullptr);
    EXPECT_EQ(cursor, 0u);

    // Played again by its handle, from the start; the callback was used up.
    device.PlayByHandle(handle, 0);
    EXPECT_EQ(Pull(1)[0], pcm[0]);
    Pull(200);
    Service();
    EXPECT_EQ(CallbackLog::Calls().size(), 1u);
}

TEST_F(StaticSound, DeleteAfterPlayLeavesTheListWhenEnded) {
    const int handle = AddStatic(Wav16(2, Ramp(2, 50)), kStaticFlags, false, true);
    device.PlayByHandle(handle, 0);
    Service();
    EXPECT_EQ(device.GetSoundCount(), 1u);
    Pull(60);
    Service();
    EXPECT_EQ(device.FindSound(handle), nullptr);
    EXPECT_EQ(device.GetSoundCount(), 0u);
    EXPECT_FALSE(device.IsPlayingByHandle(handle));
    device.PlayByHandle(handle, 0);  // a gone handle does nothing
    device.StopByHandle(handle, 0, true);
}

TEST_F(StaticSound, LoopingSoundRepeatsUntilStopped) {
    const auto pcm = Ramp(1, 10);
    const int handle = AddStatic(Wav16(1, pcm), kStaticFlags, true, false);
    EXPECT_EQ(device.FindSound(handle)->GetNotifyEvent(), nullptr) << "a looping static sound has no notification";
    device.SetEndCallbackByHandle(handle, &CallbackLog::Record, 7);
    device.PlayByHandle(handle, 0);
    const auto out = Pull(95);
    for (size_t i = 0; i < 95; ++i) ASSERT_EQ(out[2 * i], pcm[i % 10]) << i;
    Service();
    EXPECT_TRUE(device.IsPlayingByHandle(handle));
    device.StopByHandle(handle, 0, true);
    EXPECT_EQ(CallbackLog::Calls().size(), 1u) << "a stop calls back at once";
    EXPECT_FALSE(device.IsPlayingByHandle(handle));
    Service();
    EXPECT_EQ(device.GetSoundCount(), 0u);
}

TEST_F(StaticSound, VolumeIsTheLimitedSumOfBothAttenuations) {
    const int handle = AddStatic(Wav16(1, std::vector<int16_t>(40, 20000)), kStaticFlags, true, false);
    Sound::Sound_t* sound = device.FindSound(handle);
    struct Case {
        int32_t volume;
        int32_t group;
        int32_t applied;
    };
    const Case cases[] = {{0, 0, 0}, {-300, -302, -602}, {-5000, -10000, -9000}, {500, 0, 0}};
    for (const Case& c : cases) {
        sound->SetVolume(c.volume, false);
        sound->SetGroupVolume(c.group, true);
        EXPECT_EQ(sound->GetBuffer()->GetVolume(), c.applied);
    }
    sound->SetVolume(0, false);
    device.SetGroupAttenuation(1, -602);
    device.PlayByHandle(handle, 0);
    EXPECT_NEAR(Pull(1)[0], 10000, 20);
}

TEST_F(StaticSound, BadArgumentsAndBadDataThrow) {
    const std::string wav = Wav16(1, Ramp(1, 4));
    const std::string empty = Wav16(1, {});
    const std::string bits24 = Riff(FmtChunk(2, kRate, 24) + DataChunk({1, 2, 3}));
    struct Case {
        const char* why;
        const std::string* data;  // null for no data
        int kind;
        bool noOut;
        int code;
    };
    const Case cases[] = {
            {"no data", nullptr, 0, false, 7},
            {"no out", &wav, 0, true, 7},
            {"kind 3", &wav, 3, false, 7},
            {"no samples", &empty, 0, false, 9},
            {"24-bit samples", &bits24, 0, false, 22},
            {"WAV junk", nullptr, 0, false, 6},
            {"Ogg junk", nullptr, 1, false, 6},
    };
    const std::string junk = "junk";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Sound::Sound_t* sound = nullptr;
        const std::string* data = c.data ? c.data : (c.code == 6 ? &junk : nullptr);
        const int code = ThrownCode([&] {
            device.CreateStaticSound(1, c.noOut ? nullptr : &sound, data ? data->data() : nullptr,
                                     data ? unsigned(data->size()) : 10, c.kind, kStaticFlags, false, false, false);
        });
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(sound, nullptr);
    }
    EXPECT_EQ(device.GetSoundCount(), 0u);
}

TEST_F(StaticSound, StopGroupFiveSparesGroupTwoButMarksEverySound) {
    const int effect = AddStatic(Wav16(1, Ramp(1, 50)), kStaticFlags, true, false, 1);
    const int world = AddStatic(Wav16(1, Ramp(1, 50)), kStaticFlags, true, false, 2);
    device.PlayByHandle(effect, 0);
    device.PlayByHandle(world, 0);
    device.StopGroup(5, 0);
    EXPECT_FALSE(device.IsPlayingByHandle(effect));
    EXPECT_TRUE(device.IsPlayingByHandle(world));
    EXPECT_TRUE(device.FindSound(world)->IsDeleteAfterPlay());
    Service();
    EXPECT_EQ(device.FindSound(effect), nullptr);
    ASSERT_NE(device.FindSound(world), nullptr);
    device.StopGroup(2, 0);
    Service();
    EXPECT_EQ(device.GetSoundCount(), 0u);
}

TEST_F(StaticSound, EverySoundIsWaitedOnBeyondSixtyThree) {
    std::vector<int> handles;
    for (int i = 0; i < 70; ++i) {
        const int h = AddStatic(Wav16(1, Ramp(1, 10 + i)), kStaticFlags, false, false);
        device.SetEndCallbackByHandle(h, &CallbackLog::Record, i);
        handles.push_back(h);
    }
    for (int h : handles) device.PlayByHandle(h, 0);
    Service();
    Pull(100);
    Service();
    ASSERT_EQ(CallbackLog::Calls().size(), 70u);
    for (int h : handles) EXPECT_TRUE(device.FindSound(h)->IsEnded());
}

TEST_F(StaticSound, ThreeDimensionalParameters) {
    const int flat = AddStatic(Wav16(1, Ramp(1, 10)), kStaticFlags, true, false);
    const int spatial = AddStatic(Wav16(1, Ramp(1, 10)), Sound::StaticBufferFlags(Sound::kDescr3D), true, false);
    Sound::DS3DBUFFER params;
    params.position = {1, 2, 3};
    params.maxDistance = 40;
    EXPECT_EQ(ThrownCode([&] { device.Set3DParamsByHandle(spatial, nullptr); }), 7);
    EXPECT_EQ(ThrownCode([&] { device.Set3DParamsByHandle(0, &params); }), 7);
    EXPECT_EQ(ThrownCode([&] { device.Set3DParamsByHandle(flat, &params); }), 23);
    device.Set3DParamsByHandle(spatial, &params);
    plat::audio::Voice3D got;
    ASSERT_TRUE(device.FindSound(spatial)->GetBuffer()->Get3D(got));
    EXPECT_FLOAT_EQ(got.position.z, 3.0f);
    EXPECT_FLOAT_EQ(got.maxDistance, 40.0f);
    EXPECT_FLOAT_EQ(got.minDistance, 0.1f);
    EXPECT_FLOAT_EQ(mixer->GetListener().position.y, -10000.0f);
    EXPECT_EQ(Sound::StaticBufferFlags(Sound::kDescr3D | Sound::kDescrMuteAfterMaxDistance), 0x301B8u);
    EXPECT_EQ(Sound::StreamBufferFlags(Sound::kDescr3D), 0x101B8u);
}

TEST(SoundDevice, WithoutAMixerNothingIsMadeAndNothingThrows) {
    Sound::SoundDevice_t device;
    device.StartOnMixer(nullptr, 2, 2, 22050, 16, true);
    EXPECT_FALSE(device.HasAudio());
    const std::string wav = Wav16(1, Ramp(1, 10));
    Sound::Sound_t* sound = nullptr;
    device.CreateStaticSound(1, &sound, wav.data(), unsigned(wav.size()), 0, 0x101E8, false, false, false);
    EXPECT_EQ(sound, nullptr);
    device.CreateStreamingSound(1, &sound, NewMemFileDescr(wav.data(), unsigned(wav.size()), true), 0, 0x101A8, 8, 400,
                                false, false);
    EXPECT_EQ(sound, nullptr);
    device.PlayByHandle(1, 0);
    device.StopGroup(5, 100);
    EXPECT_FALSE(device.IsPlayingByHandle(1));
    device.Stop();
}

TEST(SoundDevice, NoSoundCardMeansNoSound) {
    const char* previous = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_AUDIODRIVER", "velm-no-such-driver", 1);
    {
        Sound::SoundDevice_t device;
        device.Start(nullptr, 2, 2, 22050, 16);
        EXPECT_FALSE(device.HasAudio());
        EXPECT_TRUE(device.IsThreadRunning());
    }
    if (previous) {
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    } else {
        unsetenv("SDL_AUDIODRIVER");
    }
}

TEST(SoundDevice, AFailedStartLeavesNoThreadToWaitFor) {
    struct Case {
        const char* why;
        int level;
        int channels;
        int rate;
        int bits;
        unsigned code;
    };
    const Case cases[] = {
            {"cooperative level", 0, 2, 22050, 16, 2},
            {"12 bits", 2, 2, 22050, 12, 4},
            {"six channels", 2, 6, 22050, 16, 4},
            {"rate", 2, 2, 1000, 16, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Sound::SoundDevice_t device;
        EXPECT_EQ(ThrownCode([&] {
                      device.StartOnMixer(std::make_shared<plat::audio::Mixer>(), c.level, c.channels, c.rate, c.bits,
                                          true);
                  }),
                  int(c.code));
        EXPECT_FALSE(device.IsThreadRunning());
        EXPECT_FALSE(device.HasAudio());
        device.Stop();  // returns at once; the destructor stops again
    }
}

namespace {

plat::Event* gEnded = nullptr;
void SetEnded(int, int) { gEnded->Set(); }

}  // namespace

TEST(SoundDevice, TheStreamingThreadEndsASoundAndStopsCleanly) {
    auto mixer = std::make_shared<plat::audio::Mixer>(kRate);
    Sound::SoundDevice_t device;
    device.StartOnMixer(mixer, 2, 2, 22050, 16, true);
    ASSERT_TRUE(device.IsThreadRunning());
    plat::Event ended(true, false);
    gEnded = &ended;
    const std::string wav = Wav16(1, Ramp(1, 64));
    Sound::Sound_t* sound = nullptr;
    {
        plat::ScopedLock lock(device.Lock());
        device.CreateStaticSound(1, &sound, wav.data(), unsigned(wav.size()), 0, Sound::StaticBufferFlags(0), false,
                                 true, false);
        ASSERT_NE(sound, nullptr);
        device.AddSound(sound);
    }
    const int handle = sound->GetHandle();
    device.SetEndCallbackByHandle(handle, &SetEnded, 0);
    device.PlayByHandle(handle, 0);
    std::vector<int16_t> out(2 * 100);
    mixer->Mix(out.data(), 100);
    // The thread answers the stop notification; the bound only keeps a hang from lasting.
    EXPECT_TRUE(ended.Wait(10000));
    // With delete-after-play the thread drops it at its next rebuild.
    for (int i = 0; i < 1000 && device.GetSoundCount() != 0; ++i) plat::SleepMs(5);
    EXPECT_EQ(device.GetSoundCount(), 0u);
    device.Stop();
    EXPECT_FALSE(device.IsThreadRunning());
    gEnded = nullptr;
}

TEST(SoundDevice, PlaysOnTheSoundCardFromStartToEnd) {
    // The whole road: the SDL output pulls the mixer (the dummy driver in CI), the mixer
    // sets the stop notification, the streaming thread calls back.
    Sound::SoundDevice_t device;
    device.Start(nullptr, 2, 2, 22050, 16);
    if (!device.HasAudio()) GTEST_SKIP() << "no audio device here";
    plat::Event ended(true, false);
    gEnded = &ended;
    const std::string wav = Wav16(2, Ramp(2, 2205));  // 0.1 s
    Sound::Sound_t* sound = nullptr;
    device.CreateStaticSound(1, &sound, wav.data(), unsigned(wav.size()), 0, Sound::StaticBufferFlags(0), false, true,
                             false);
    ASSERT_NE(sound, nullptr);
    device.AddSound(sound);
    const int handle = sound->GetHandle();
    device.SetEndCallbackByHandle(handle, &SetEnded, 0);
    device.PlayByHandle(handle, 0);
    EXPECT_TRUE(ended.Wait(10000));
    device.Stop();
    gEnded = nullptr;
}
