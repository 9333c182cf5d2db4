// The mixer's SSE2 sample loops against its plain C++ loops, bit for bit: the inner run on
// random positions, steps, gains and accumulators of every format; the rounding into 16-bit
// output on edge values; and whole mixers of both forms on random voices.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/AudioMixRun.h"
#include "platform/Event.h"

using namespace plat::audio;

namespace {

struct Format {
    uint16_t bits;
    uint16_t channels;
};
const Format kFormats[] = {{8, 1}, {8, 2}, {16, 1}, {16, 2}};

class Random {
public:
    explicit Random(uint32_t seed) : mEngine(seed) {}
    uint32_t Below(uint32_t n) { return uint32_t(mEngine() % n); }
    uint32_t Between(uint32_t low, uint32_t high) { return low + Below(high - low + 1); }
    uint64_t Bits64() { return (uint64_t(mEngine()) << 32) | mEngine(); }
    float Unit() { return float(mEngine() >> 8) / float(1u << 24); }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    // A frame count: often 1..9 (shorter than one group of the SSE2 loop, or a group and a
    // tail), else up to `most`.
    uint32_t Frames(uint32_t most) { return OneIn(2) ? Between(1, 9) : Between(1, most); }
    // A step per output frame: the common exact ratios, or anything a voice can ask for.
    uint64_t Step() {
        const uint64_t exact[] = {1ull << 31, 1ull << 32, 1ull << 33, (22050ull << 32) / 48000};
        if (OneIn(2)) return exact[Below(4)];
        return Between(uint32_t((uint64_t(kFrequencyMin) << 32) / 384000), 1u << 31) * uint64_t(Between(1, 8));
    }
    float Gain() {
        const uint32_t pick = Below(8);
        return pick == 0 ? 0.0f : pick == 1 ? 1.0f : Unit();
    }
    std::vector<uint8_t> Bytes(size_t n) {
        std::vector<uint8_t> b(n);
        for (uint8_t& x : b) x = uint8_t(mEngine());
        return b;
    }

private:
    std::mt19937 mEngine;
};

bool SameBits(const float* a, const float* b, size_t n) { return std::memcmp(a, b, n * sizeof(float)) == 0; }

}  // namespace

TEST(MixLoops, Sse2RunAddsTheSameBitsAsThePlainRun) {
    if (!HaveSse2MixLoops()) GTEST_SKIP() << "this build has no SSE2 loops";
    Random rng(7);
    for (const Format& format : kFormats) {
        SCOPED_TRACE(testing::Message() << format.bits << "-bit, " << format.channels << " channel(s)");
        const MixRunFn plain = MixRunFor(MixLoopKind::kPlain, format.bits, format.channels);
        const MixRunFn sse2 = MixRunFor(MixLoopKind::kSse2, format.bits, format.channels);
        ASSERT_TRUE(plain && sse2);
        ASSERT_NE(plain, sse2);
        const uint32_t block = format.bits / 8u * format.channels;
        for (int trial = 0; trial < 3000; ++trial) {
            const size_t frames = rng.Frames(300);
            const uint64_t step = rng.Step();
            const uint64_t start = (uint64_t(rng.Below(8)) << 32) | rng.Bits64() >> 32;
            // Frames read: up to the one after the last output frame's cursor.
            const uint32_t voiceFrames = uint32_t((start + (frames - 1) * step) >> 32) + 2 + rng.Below(3);
            const std::vector<uint8_t> data = rng.Bytes(size_t(voiceFrames) * block);
            const float left = rng.Gain();
            const float right = rng.Gain();
            // The accumulator starts at any float sum, at any float offset, with a margin
            // after it that must stay as it is.
            const size_t offset = rng.Below(4);
            std::vector<float> before(offset + 2 * frames + 8);
            for (float& x : before) x = (rng.Unit() - 0.5f) * 200000.0f;
            std::vector<float> byPlain = before;
            std::vector<float> bySse2 = before;
            const uint64_t endPlain = plain(data.data(), start, step, left, right, byPlain.data() + offset, frames);
            const uint64_t endSse2 = sse2(data.data(), start, step, left, right, bySse2.data() + offset, frames);
            ASSERT_EQ(endPlain, start + frames * step);
            ASSERT_EQ(endSse2, endPlain) << "trial " << trial;
            ASSERT_TRUE(SameBits(byPlain.data(), bySse2.data(), byPlain.size()))
                    << "trial " << trial << ": " << frames << " frames from " << start << " by " << step;
            ASSERT_TRUE(SameBits(before.data() + offset + 2 * frames, bySse2.data() + offset + 2 * frames, 8));
        }
    }
}

TEST(MixLoops, StoreRoundsToNearestEvenAndClipsInBothForms) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float mixed;
        int16_t stored;
    };
    const Case kCases[] = {
            {0.0f, 0},         {-0.0f, 0},          {0.5f, 0},           {1.5f, 2},           {2.5f, 2},
            {-0.5f, 0},        {-1.5f, -2},         {0.49999997f, 0},    {1e-40f, 0},         {-2.4f, -2},
            {32766.5f, 32766}, {32767.0f, 32767},   {32767.5f, 32767},   {32768.0f, 32767},   {1e10f, 32767},
            {inf, 32767},      {-32767.5f, -32768}, {-32768.0f, -32768}, {-32768.5f, -32768}, {-32769.0f, -32768},
            {-1e10f, -32768},  {-inf, -32768},      {nan, -32768},
    };
    std::vector<float> mixed;
    for (const Case& c : kCases) mixed.push_back(c.mixed);
    for (MixLoopKind kind : {MixLoopKind::kPlain, MixLoopKind::kSse2}) {
        SCOPED_TRACE(kind == MixLoopKind::kPlain ? "plain" : "SSE2");
        // One at a time (the plain tail) and all at once (groups of eight and a tail).
        for (size_t i = 0; i < mixed.size(); ++i) {
            int16_t one = 1234;
            StoreMix(kind, &mixed[i], &one, 1);
            EXPECT_EQ(one, kCases[i].stored) << "from " << kCases[i].mixed;
        }
        std::vector<int16_t> all(mixed.size());
        StoreMix(kind, mixed.data(), all.data(), all.size());
        for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i], kCases[i].stored) << "from " << kCases[i].mixed;
    }
}

TEST(MixLoops, Sse2StoreGivesThePlainStoreOnRandomSums) {
    Random rng(11);
    for (int trial = 0; trial < 2000; ++trial) {
        const size_t samples = rng.Frames(100) - 1;  // 0 too
        const size_t offset = rng.Below(4);
        std::vector<float> mixed(offset + samples);
        for (float& x : mixed) {
            x = (rng.Unit() - 0.5f) * 80000.0f;
            if (rng.OneIn(4)) x = std::floor(x) + 0.5f;  // ties
        }
        std::vector<int16_t> byPlain(offset + samples + 4, 77);
        std::vector<int16_t> bySse2 = byPlain;
        StoreMix(MixLoopKind::kPlain, mixed.data() + offset, byPlain.data() + offset, samples);
        StoreMix(MixLoopKind::kSse2, mixed.data() + offset, bySse2.data() + offset, samples);
        ASSERT_EQ(byPlain, bySse2) << "trial " << trial;
    }
}

namespace {

// The same random voices on two mixers: index 0 runs the plain loops, 1 the SSE2 loops.
class MixerPair {
public:
    explicit MixerPair(uint32_t rate) {
        const MixLoopKind kinds[] = {MixLoopKind::kPlain, MixLoopKind::kSse2};
        for (int m = 0; m < 2; ++m) {
            mMixers[m] = std::make_unique<Mixer>(rate);
            mMixers[m]->SetMixLoop(kinds[m]);
        }
    }

    void AddVoice(Random& rng) {
        const Format format = kFormats[rng.Below(4)];
        BufferDesc desc;
        desc.flags =
                kCtrlVolume | kCtrlPan | kCtrlFrequency | kCtrlPositionNotify | (rng.OneIn(4) ? uint32_t(kCtrl3D) : 0u);
        desc.format = {format.channels, rng.Between(kFrequencyMin, 48000), format.bits};
        desc.bytes = rng.Frames(3000) * desc.format.BlockAlign();
        const std::vector<uint8_t> bytes = rng.Bytes(desc.bytes);  // full scale: sums clip
        const int32_t volume = rng.OneIn(4) ? kVolumeFull : -int32_t(rng.Below(3000));
        const int32_t pan = int32_t(rng.Between(0, 20000)) - 10000;
        const uint32_t frequency = rng.OneIn(3) ? kFrequencyOriginal : rng.Between(kFrequencyMin, kFrequencyMax);
        const uint32_t cursor = rng.Below(desc.bytes);  // any byte: odd offsets round down
        const bool looping = rng.OneIn(2);
        Voice3D placed;
        placed.position = {rng.Unit() * 4 - 2, rng.Unit() * 4 - 2, rng.Unit() * 4 - 2};
        placed.mode = rng.Below(3);
        std::vector<uint32_t> marks = {kOffsetStop};
        for (uint32_t n = rng.Below(4); n > 0; --n) marks.push_back(rng.Below(desc.bytes));

        for (int m = 0; m < 2; ++m) {
            auto voice = mMixers[m]->CreateVoice(desc);
            ASSERT_TRUE(voice);
            LockedRegion region;
            ASSERT_TRUE(voice->Lock(0, 0, region, true));
            std::memcpy(region.part1, bytes.data(), bytes.size());
            ASSERT_TRUE(voice->Unlock());
            ASSERT_TRUE(voice->SetVolume(volume));
            ASSERT_TRUE(voice->SetPan(pan));
            ASSERT_TRUE(voice->SetFrequency(frequency));
            ASSERT_TRUE(voice->SetCurrentPosition(cursor));
            if (desc.flags & kCtrl3D) {
                ASSERT_TRUE(voice->Set3D(placed));
            }
            std::vector<Notification> notifications;
            for (uint32_t mark : marks) {
                mEvents[m].push_back(std::make_unique<plat::Event>(true, false));
                notifications.push_back({mark, mEvents[m].back().get()});
            }
            ASSERT_TRUE(voice->SetNotificationPositions(notifications));
            ASSERT_TRUE(voice->Play(looping));
            mVoices[m].push_back(std::move(voice));
        }
    }

    // Mixes one block on both and compares the output, the cursors and the notifications.
    void MixAndCompare(size_t frames, const std::string& where) {
        std::vector<int16_t> out[2] = {std::vector<int16_t>(frames * 2, 1), std::vector<int16_t>(frames * 2, 2)};
        for (int m = 0; m < 2; ++m) mMixers[m]->Mix(out[m].data(), frames);
        ASSERT_EQ(out[0], out[1]) << where;
        for (size_t v = 0; v < mVoices[0].size(); ++v) {
            uint32_t play[2] = {};
            for (int m = 0; m < 2; ++m) mVoices[m][v]->GetCurrentPosition(&play[m], nullptr);
            ASSERT_EQ(play[0], play[1]) << where << ", voice " << v;
            ASSERT_EQ(mVoices[0][v]->IsPlaying(), mVoices[1][v]->IsPlaying()) << where << ", voice " << v;
        }
        for (size_t i = 0; i < mEvents[0].size(); ++i) {
            ASSERT_EQ(mEvents[0][i]->IsSet(), mEvents[1][i]->IsSet()) << where << ", event " << i;
            for (int m = 0; m < 2; ++m) mEvents[m][i]->Reset();
        }
    }

private:
    std::unique_ptr<Mixer> mMixers[2];
    std::vector<std::unique_ptr<Voice>> mVoices[2];
    std::vector<std::unique_ptr<plat::Event>> mEvents[2];
};

}  // namespace

TEST(MixLoops, MixersOfBothFormsPlayRandomVoicesAlike) {
    Random rng(2026);
    const uint32_t kRates[] = {8000, 22050, 44100, 48000};
    for (int scene = 0; scene < 150; ++scene) {
        MixerPair pair(kRates[rng.Below(4)]);
        for (uint32_t n = rng.Between(1, 8); n > 0; --n) pair.AddVoice(rng);
        if (HasFatalFailure()) return;
        for (int block = 0; block < 12; ++block) {
            pair.MixAndCompare(rng.Frames(1500), "scene " + std::to_string(scene) + ", block " + std::to_string(block));
            if (HasFatalFailure()) return;
        }
    }
}
