#include <gtest/gtest.h>

#include "SoundTestSupport.h"

using namespace soundtest;

namespace {

// Rings of 8 chunks of 100 stereo frames (400 bytes), so the tests can mix chunk by chunk.
constexpr uint32_t kChunkFrames = 100;
constexpr uint32_t kChunkBytes = kChunkFrames * 4;

class Stream : public ManualDevice {
protected:
    // Mixes chunk by chunk, doing the thread's work after each, and returns the left
    // channel of everything mixed.
    std::vector<int16_t> PlayChunks(int chunks) {
        std::vector<int16_t> left;
        for (int i = 0; i < chunks; ++i) {
            const auto out = Pull(kChunkFrames);
            for (uint32_t f = 0; f < kChunkFrames; ++f) left.push_back(out[2 * f]);
            Service();
        }
        return left;
    }
};

}  // namespace

TEST_F(Stream, OneAndAHalfChunksPlayThenSilenceThenOneCallback) {
    const auto pcm = Ramp(2, 150);
    const int handle = AddStream(Wav16(2, pcm), kChunkBytes, false, false);
    device.SetEndCallbackByHandle(handle, &CallbackLog::Record, 5);
    device.PlayByHandle(handle, 0);
    Service();

    const auto first = PlayChunks(1);
    EXPECT_TRUE(CallbackLog::Calls().empty());
    EXPECT_TRUE(device.IsPlayingByHandle(handle));
    const auto second = PlayChunks(1);
    ASSERT_EQ(CallbackLog::Calls().size(), 1u);
    EXPECT_EQ(CallbackLog::Calls()[0].first, handle);
    EXPECT_FALSE(device.IsPlayingByHandle(handle));

    for (uint32_t f = 0; f < 100; ++f) ASSERT_EQ(first[f], pcm[2 * f]) << f;
    for (uint32_t f = 0; f < 50; ++f) ASSERT_EQ(second[f], pcm[2 * (100 + f)]) << f;
    for (uint32_t f = 50; f < 100; ++f) ASSERT_EQ(second[f], 0) << "silence after the data, frame " << f;
    for (int16_t s : PlayChunks(3)) ASSERT_EQ(s, 0);
    EXPECT_EQ(CallbackLog::Calls().size(), 1u);

    // Played again by its handle, it starts from the beginning of its data.
    device.PlayByHandle(handle, 0);
    const auto again = PlayChunks(2);
    for (uint32_t f = 0; f < 150; ++f) ASSERT_EQ(again[f], pcm[2 * f]) << f;
    for (uint32_t f = 150; f < 200; ++f) ASSERT_EQ(again[f], 0) << f;
}

TEST_F(Stream, LongStreamRefillsTheRingInOrder) {
    // 20 chunks of data through a ring of 8: every frame comes out once, in order.
    const auto pcm = Ramp(2, 20 * kChunkFrames);
    const int handle = AddStream(Wav16(2, pcm), kChunkBytes, false, true);
    device.PlayByHandle(handle, 0);
    const auto left = PlayChunks(22);
    for (uint32_t f = 0; f < 20 * kChunkFrames; ++f) ASSERT_EQ(left[f], pcm[2 * f]) << f;
    for (uint32_t f = 20 * kChunkFrames; f < left.size(); ++f) ASSERT_EQ(left[f], 0) << f;
    EXPECT_EQ(device.FindSound(handle), nullptr) << "deleted after playing";
}

TEST_F(Stream, LoopingStreamShorterThanAChunkRepeatsSeamlessly) {
    const auto pcm = Ramp(2, 30);
    const int handle = AddStream(Wav16(2, pcm), kChunkBytes, true, false);
    device.PlayByHandle(handle, 0);
    const auto left = PlayChunks(20);  // two and a half times round the ring
    for (size_t f = 0; f < left.size(); ++f) ASSERT_EQ(left[f], pcm[2 * (f % 30)]) << f;
    EXPECT_TRUE(device.IsPlayingByHandle(handle));
    EXPECT_TRUE(CallbackLog::Calls().empty());
}

TEST_F(Stream, StreamWithoutSamplesIsRefused) {
    for (bool loop : {true, false}) {
        SCOPED_TRACE(loop ? "looping" : "once");
        Sound::Sound_t* sound = nullptr;
        const std::string empty = Wav16(2, {});
        FileDescr_t* file = NewMemFileDescr(empty.data(), unsigned(empty.size()), true);
        EXPECT_EQ(ThrownCode([&] {
                      device.CreateStreamingSound(3, &sound, file, Sound::kWaveWav, Sound::StreamBufferFlags(0), 8,
                                                  kChunkBytes, loop, false);
                  }),
                  9);
        EXPECT_EQ(sound, nullptr);
    }
    Sound::Sound_t* sound = nullptr;
    FileDescr_t* junk = NewMemFileDescr("junk", 4, true);
    EXPECT_EQ(ThrownCode([&] {
                  device.CreateStreamingSound(3, &sound, junk, Sound::kWaveWav, Sound::StreamBufferFlags(0), 8,
                                              kChunkBytes, false, false);
              }),
              6);
    EXPECT_EQ(ThrownCode([&] {
                  device.CreateStreamingSound(3, &sound, nullptr, Sound::kWaveWav, Sound::StreamBufferFlags(0), 8,
                                              kChunkBytes, false, false);
              }),
              7);
}

TEST_F(Stream, StoppedPartWayPlaysAgainFromTheStart) {
    const auto pcm = Ramp(2, 12 * kChunkFrames);
    const int handle = AddStream(Wav16(2, pcm), kChunkBytes, false, false);
    device.PlayByHandle(handle, 0);
    PlayChunks(10);
    device.StopByHandle(handle, 0, false);
    device.PlayByHandle(handle, 0);
    const auto left = PlayChunks(3);
    for (uint32_t f = 0; f < 3 * kChunkFrames; ++f) ASSERT_EQ(left[f], pcm[2 * f]) << f;
}

TEST_F(Stream, NotificationPositionsAreTheLastByteOfEachChunk) {
    const int handle = AddStream(Wav16(2, Ramp(2, 50)), kChunkBytes, true, false);
    auto* stream = static_cast<Sound::StreamingSound_t*>(device.FindSound(handle));
    ASSERT_TRUE(stream->IsStreaming());
    EXPECT_EQ(stream->GetChunkSize(), kChunkBytes);
    device.PlayByHandle(handle, 0);
    Pull(kChunkFrames - 1);
    EXPECT_FALSE(stream->GetNotifyEvent()->event.IsSet());
    Pull(1);
    EXPECT_TRUE(stream->GetNotifyEvent()->event.IsSet());
    Service();
    EXPECT_FALSE(stream->GetNotifyEvent()->event.IsSet());
    EXPECT_EQ(stream->GetWriteOffset(), kChunkBytes);
    EXPECT_EQ(stream->GetTotalPlayed(), kChunkBytes);
}
