#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "platform/Audio.h"

using namespace plat::audio;

namespace {

// The mixer runs at the voices' own rate here, so every output sample is exactly a source
// sample times the gain.
constexpr uint32_t kRate = 22050;
constexpr uint32_t kAllControls = kCtrlVolume | kCtrlPan | kCtrlFrequency | kCtrlPositionNotify;

BufferDesc Desc16(uint16_t channels, uint32_t frames, uint32_t flags = kAllControls) {
    BufferDesc d;
    d.flags = flags;
    d.format.channels = channels;
    d.format.samplesPerSec = kRate;
    d.format.bitsPerSample = 16;
    d.bytes = frames * d.format.BlockAlign();
    return d;
}

void Write16(Voice& v, const std::vector<int16_t>& samples) {
    LockedRegion r;
    ASSERT_TRUE(v.Lock(0, 0, r, true));
    ASSERT_EQ(r.bytes1, samples.size() * 2);
    std::memcpy(r.part1, samples.data(), r.bytes1);
    ASSERT_TRUE(v.Unlock());
}

// Mono ramp 1000, 2000, ... so every frame is recognisable.
std::vector<int16_t> Ramp(uint32_t frames) {
    std::vector<int16_t> s(frames);
    for (uint32_t i = 0; i < frames; ++i) s[i] = int16_t(1000 + 10 * i);
    return s;
}

std::vector<int16_t> Pull(Mixer& m, size_t frames) {
    std::vector<int16_t> out(frames * 2);
    m.Mix(out.data(), frames);
    return out;
}

}  // namespace

TEST(AudioMixer, StaticVoicePlaysOnceThenSilenceAndNotifiesStopOnce) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 100));
    ASSERT_TRUE(voice);
    const auto data = Ramp(100);
    Write16(*voice, data);
    plat::Event stopped(true, false);
    ASSERT_TRUE(voice->SetNotificationPositions({{kOffsetStop, &stopped}}));
    ASSERT_TRUE(voice->Play(false));

    auto out = Pull(mixer, 60);
    EXPECT_FALSE(stopped.IsSet());
    EXPECT_TRUE(voice->IsPlaying());
    auto rest = Pull(mixer, 60);
    out.insert(out.end(), rest.begin(), rest.end());
    for (size_t i = 0; i < 120; ++i) {
        const int16_t want = i < 100 ? data[i] : 0;
        ASSERT_EQ(out[2 * i], want) << "frame " << i;
        ASSERT_EQ(out[2 * i + 1], want) << "frame " << i;
    }
    EXPECT_TRUE(stopped.IsSet());
    EXPECT_FALSE(voice->IsPlaying());

    stopped.Reset();
    Pull(mixer, 200);
    voice->Stop();  // already stopped: no second notification
    EXPECT_FALSE(stopped.IsSet());
}

TEST(AudioMixer, StopSetsTheStopNotificationBeforeReturningAndKeepsTheCursor) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 100));
    plat::Event stopped(true, false);
    ASSERT_TRUE(voice->SetNotificationPositions({{kOffsetStop, &stopped}}));
    voice->Play(false);
    Pull(mixer, 30);
    voice->Stop();
    EXPECT_TRUE(stopped.IsSet());
    uint32_t play = 0;
    voice->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 60u);  // 30 frames of 2 bytes
}

TEST(AudioMixer, LoopWrapsWithoutAGap) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 10));
    const auto data = Ramp(10);
    Write16(*voice, data);
    voice->Play(true);
    const auto out = Pull(mixer, 35);
    for (size_t i = 0; i < 35; ++i) ASSERT_EQ(out[2 * i], data[i % 10]) << "frame " << i;
    EXPECT_TRUE(voice->IsPlaying());
    uint32_t play = 0;
    voice->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 5u * 2);
}

TEST(AudioMixer, RingNotificationsFireAtTheLastByteOfEachChunk) {
    // A ring of 8 chunks with notifications at (i + 1) x chunk - 1, as a stream uses.
    constexpr uint32_t kChunkFrames = 100;
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(2, 8 * kChunkFrames));
    const uint32_t chunkBytes = kChunkFrames * 4;
    std::vector<plat::Event> events(8);
    std::vector<Notification> positions;
    for (uint32_t i = 0; i < 8; ++i) positions.push_back({(i + 1) * chunkBytes - 1, &events[i]});
    ASSERT_TRUE(voice->SetNotificationPositions(positions));
    voice->Play(true);

    Pull(mixer, kChunkFrames - 1);
    for (auto& e : events) EXPECT_FALSE(e.IsSet());
    Pull(mixer, 1);
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(events[i].IsSet(), i == 0) << i;

    // Once around the ring and into the next pass: each chunk in turn, then chunk 0 again.
    for (uint32_t pass = 1; pass <= 8; ++pass) {
        for (auto& e : events) e.Reset();
        Pull(mixer, kChunkFrames);
        for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(events[i].IsSet(), i == pass % 8) << "pass " << pass;
    }
}

TEST(AudioMixer, VolumeInMillibels) {
    struct Case {
        const char* why;
        int32_t millibels;
        double gain;
    };
    const Case cases[] = {
            {"full", 0, 1.0},
            {"-602 mB is half", -602, 0.5},
            {"-2000 mB is a tenth", -2000, 0.1},
            {"-10000 mB is silence", -10000, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Mixer mixer(kRate);
        auto voice = mixer.CreateVoice(Desc16(1, 4));
        Write16(*voice, {20000, 20000, 20000, 20000});
        ASSERT_TRUE(voice->SetVolume(c.millibels));
        voice->Play(true);
        const auto out = Pull(mixer, 4);
        EXPECT_NEAR(out[0], 20000 * c.gain, 20000 * 0.002 + 0.5);
        EXPECT_EQ(out[0], out[1]);
    }
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 4));
    EXPECT_FALSE(voice->SetVolume(1));
    EXPECT_FALSE(voice->SetVolume(-10001));
}

TEST(AudioMixer, PanSendsAFullyPannedVoiceToOneSide) {
    struct Case {
        const char* why;
        int32_t pan;
        int16_t left;
        int16_t right;
    };
    const Case cases[] = {
            {"centre", kPanCenter, 12000, 12000},
            {"full left", kPanLeft, 12000, 0},
            {"full right", kPanRight, 0, 12000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Mixer mixer(kRate);
        auto voice = mixer.CreateVoice(Desc16(1, 2));
        Write16(*voice, {12000, 12000});
        ASSERT_TRUE(voice->SetPan(c.pan));
        voice->Play(true);
        const auto out = Pull(mixer, 2);
        EXPECT_EQ(out[0], c.left);
        EXPECT_EQ(out[1], c.right);
    }
}

TEST(AudioMixer, DoubledFrequencyHalvesTheDuration) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 100));
    const auto data = Ramp(100);
    Write16(*voice, data);
    plat::Event stopped(true, false);
    voice->SetNotificationPositions({{kOffsetStop, &stopped}});
    ASSERT_TRUE(voice->SetFrequency(2 * kRate));
    voice->Play(false);
    const auto out = Pull(mixer, 49);
    for (size_t i = 0; i < 49; ++i) ASSERT_EQ(out[2 * i], data[2 * i]) << i;
    EXPECT_FALSE(stopped.IsSet());
    const auto last = Pull(mixer, 2);
    EXPECT_EQ(last[0], data[98]);
    EXPECT_EQ(last[2], 0);
    EXPECT_TRUE(stopped.IsSet());
    ASSERT_TRUE(voice->SetFrequency(kFrequencyOriginal));
    EXPECT_EQ(voice->GetFrequency(), kRate);
}

TEST(AudioMixer, HalfFrequencyInterpolatesBetweenFrames) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 3));
    Write16(*voice, {0, 1000, 2000});
    voice->SetFrequency(kRate / 2);
    voice->Play(false);
    const auto out = Pull(mixer, 6);
    const int16_t want[] = {0, 500, 1000, 1500, 2000, 2000};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[2 * i], want[i]) << i;
}

TEST(AudioMixer, DuplicateSharesSamplesButNotTheCursor) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 4));
    ASSERT_TRUE(voice->SetVolume(-602));
    auto copy = mixer.Duplicate(*voice);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetVolume(), -602);
    EXPECT_FALSE(copy->IsPlaying());
    Write16(*voice, {4000, 8000, 12000, 16000});  // written through the original after duplicating
    copy->SetVolume(0);
    copy->SetCurrentPosition(2 * 2);
    copy->Play(false);
    const auto out = Pull(mixer, 2);
    EXPECT_EQ(out[0], 12000);
    EXPECT_EQ(out[2], 16000);
    uint32_t play = 99;
    voice->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
    copy.reset();
    voice->Play(false);  // the original still owns its samples
    EXPECT_NEAR(Pull(mixer, 1)[0], 4000 * 0.5, 4);
}

TEST(AudioMixer, LockWrapsAroundTheEndInTwoParts) {
    Mixer mixer(kRate);
    auto voice = mixer.CreateVoice(Desc16(1, 8));
    LockedRegion r;
    ASSERT_TRUE(voice->Lock(12, 8, r));
    EXPECT_EQ(r.bytes1, 4u);
    EXPECT_EQ(r.bytes2, 4u);
    ASSERT_NE(r.part2, nullptr);
    EXPECT_FALSE(voice->Lock(0, 2, r)) << "locked twice";
    const int16_t a[2] = {1, 2}, b[2] = {3, 4};
    std::memcpy(r.part1, a, 4);
    std::memcpy(r.part2, b, 4);
    ASSERT_TRUE(voice->Unlock());
    voice->Play(false);
    const auto out = Pull(mixer, 8);
    const int16_t want[8] = {3, 4, 0, 0, 0, 0, 1, 2};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[2 * i], want[i]) << i;
    EXPECT_FALSE(voice->Lock(16, 2, r)) << "offset beyond the end";
    EXPECT_FALSE(voice->Lock(0, 18, r)) << "longer than the voice";
}

TEST(AudioMixer, EightBitStereoIsCentredOn128) {
    Mixer mixer(kRate);
    BufferDesc d;
    d.flags = kCtrlVolume;
    d.format.channels = 2;
    d.format.bitsPerSample = 8;
    d.format.samplesPerSec = kRate;
    d.bytes = 4;
    auto voice = mixer.CreateVoice(d);
    ASSERT_TRUE(voice);
    LockedRegion r;
    ASSERT_TRUE(voice->Lock(0, 4, r));
    EXPECT_EQ(r.part1[0], 0x80) << "a new 8-bit voice holds silence";
    const uint8_t bytes[4] = {0x80, 0xFF, 0x00, 0xC0};
    std::memcpy(r.part1, bytes, 4);
    voice->Unlock();
    voice->Play(false);
    const auto out = Pull(mixer, 2);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 127 * 256);
    EXPECT_EQ(out[2], -128 * 256);
    EXPECT_EQ(out[3], 64 * 256);
}

TEST(AudioMixer, VoicesAddUpAndClip) {
    Mixer mixer(kRate);
    auto a = mixer.CreateVoice(Desc16(1, 1));
    auto b = mixer.CreateVoice(Desc16(1, 1));
    Write16(*a, {30000});
    Write16(*b, {30000});
    a->Play(true);
    b->Play(true);
    EXPECT_EQ(Pull(mixer, 1)[0], 32767);
    Write16(*b, {-10000});
    EXPECT_EQ(Pull(mixer, 1)[0], 20000);
}

TEST(AudioMixer, RefusesWhatItCannotPlayAndControlsItLacks) {
    Mixer mixer(kRate);
    struct Case {
        const char* why;
        uint16_t channels;
        uint16_t bits;
        uint32_t rate;
        uint32_t bytes;
    };
    const Case bad[] = {
            {"three channels", 3, 16, kRate, 600},
            {"12 bits", 1, 12, kRate, 600},
            {"no samples", 1, 16, kRate, 0},
            {"less than a frame", 2, 16, kRate, 3},
            {"rate 0", 1, 16, 0, 600},
            {"absurd size", 2, 16, kRate, 0xFFFFFFF0u},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.why);
        BufferDesc d;
        d.format.channels = c.channels;
        d.format.bitsPerSample = c.bits;
        d.format.samplesPerSec = c.rate;
        d.bytes = c.bytes;
        EXPECT_FALSE(mixer.CreateVoice(d));
    }
    auto plain = mixer.CreateVoice(Desc16(1, 10, 0));
    ASSERT_TRUE(plain);
    plat::Event e;
    EXPECT_FALSE(plain->SetVolume(-100));
    EXPECT_FALSE(plain->SetPan(100));
    EXPECT_FALSE(plain->SetFrequency(11025));
    EXPECT_FALSE(plain->SetNotificationPositions({{0, &e}}));
    Voice3D p;
    EXPECT_FALSE(plain->Set3D(p));

    auto notify = mixer.CreateVoice(Desc16(1, 10));
    EXPECT_FALSE(notify->SetNotificationPositions({{20, &e}})) << "offset beyond the voice";
    notify->Play(true);
    EXPECT_FALSE(notify->SetNotificationPositions({{0, &e}})) << "while playing";
    EXPECT_FALSE(notify->SetCurrentPosition(20));
}

TEST(AudioMixer, ThreeDimensionalVoicesFollowTheListener) {
    Listener3D listener;  // at the origin, facing +z, top +y: +x is on the right
    struct Case {
        const char* why;
        Vec3 position;
        uint32_t flags;
        double left;
        double right;
    };
    const Case cases[] = {
            {"ahead at the minimum distance", {0, 0, 1}, 0, 1.0, 1.0},
            {"ahead at twice the minimum distance", {0, 0, 2}, 0, 0.5, 0.5},
            {"on the right", {1, 0, 0}, 0, 0.0, 1.0},
            {"on the left", {-1, 0, 0}, 0, 1.0, 0.0},
            {"beyond the maximum distance, held there", {0, 0, 100}, 0, 0.1, 0.1},
            {"beyond the maximum distance, muted", {0, 0, 100}, kMute3DAtMaxDistance, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Mixer mixer(kRate);
        mixer.SetListener(listener);
        auto voice = mixer.CreateVoice(Desc16(1, 1, kCtrlVolume | kCtrl3D | c.flags));
        Write16(*voice, {10000});
        Voice3D p;
        p.position = c.position;
        p.minDistance = 1.0f;
        p.maxDistance = 10.0f;
        ASSERT_TRUE(voice->Set3D(p));
        voice->Play(true);
        const auto out = Pull(mixer, 1);
        EXPECT_NEAR(out[0], 10000 * c.left, 2);
        EXPECT_NEAR(out[1], 10000 * c.right, 2);
    }
}

// The mixer runs on its own thread. Once a voice is seen to have ended, its stop notification
// is already set, so that its owner may destroy the voice and the event at once: the mixer
// never touches an event after it has let go of the voices.
TEST(AudioMixer, AnEndedVoiceHasSetItsStopNotificationWhenItIsSeenStopped) {
    Mixer mixer(kRate);
    std::atomic<bool> done{false};
    std::thread mixing([&] {
        std::vector<int16_t> out(2 * 64);
        while (!done.load()) mixer.Mix(out.data(), 64);
    });
    int notSetYet = 0;
    for (int round = 0; round < 20000; ++round) {
        auto voice = mixer.CreateVoice(Desc16(1, 16));
        ASSERT_TRUE(voice);
        auto stopped = std::make_unique<plat::Event>(true, false);
        ASSERT_TRUE(voice->SetNotificationPositions({{kOffsetStop, stopped.get()}}));
        ASSERT_TRUE(voice->Play(false));
        while (voice->IsPlaying()) {
        }
        if (!stopped->IsSet()) ++notSetYet;
        voice.reset();
        stopped.reset();
    }
    done.store(true);
    mixing.join();
    EXPECT_EQ(notSetYet, 0);
}
