#pragma once

// A sound streamed through a ring of chunks: the voice holds `chunk count` chunks and
// plays looping; each time the play cursor passes the end of a chunk the streaming thread
// refills that chunk from the source (OnNotify). A stream that does not loop plays its
// data, then silence, and stops once the cursor has played as many bytes as the source
// holds. Locking and threads as for Sound_t.

#include "engine/sound/Sound.h"

namespace Sound {

class StreamingSound_t : public Sound_t {
public:
    // The whole ring is filled from the start of the source (wrapping to the start when
    // looping, silence after the end otherwise).
    StreamingSound_t(int group, SoundDevice_t* device, std::unique_ptr<plat::audio::Voice> buffer, uint32_t bufferSize,
                     std::unique_ptr<WaveFile_t> source, std::unique_ptr<NotifyEvent_t> notify, uint32_t chunkSize,
                     bool loop, bool deleteAfterPlay);

    // Starts the ring from its first byte, always looping; a stream stopped part-way is
    // rewound first.
    void Play(int fadeInMs) override;
    // Back to the start of the source, with the ring filled again from there, so that a
    // replay begins with the first chunk.
    void Rewind() override;
    // Refills the chunk just played; at the end of a stream that does not loop, stops and
    // rewinds it and tells the device. Answers false.
    bool OnNotify() override;
    bool IsStreaming() const override { return true; }

    uint32_t GetChunkSize() const { return mChunkSize; }
    uint32_t GetTotalPlayed() const { return mTotalPlayed; }
    uint32_t GetWriteOffset() const { return mWriteOffset; }
    bool IsEndOfData() const { return mEndOfData; }

private:
    void FillRing();

    uint32_t mLastPlayCursor = 0;
    uint32_t mTotalPlayed = 0;
    uint32_t mChunkSize;
    uint32_t mWriteOffset = 0;  // the chunk refilled next
    bool mEndOfData = false;
};

}  // namespace Sound
