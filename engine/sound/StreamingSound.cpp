#include "engine/sound/StreamingSound.h"

#include <cstring>

#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundError.h"

namespace Sound {

StreamingSound_t::StreamingSound_t(int group, SoundDevice_t* device, std::unique_ptr<plat::audio::Voice> buffer,
                                   uint32_t bufferSize, std::unique_ptr<WaveFile_t> source,
                                   std::unique_ptr<NotifyEvent_t> notify, uint32_t chunkSize, bool loop,
                                   bool deleteAfterPlay)
        : Sound_t(group, device, std::move(buffer), bufferSize, std::move(source), std::move(notify), loop,
                  deleteAfterPlay),
          mChunkSize(chunkSize) {}

void StreamingSound_t::FillRing() {
    FillBuffer(mLoop);
    mBuffer->SetCurrentPosition(0);
}

void StreamingSound_t::Play(int fadeInMs) {
    bool restored = false;
    EnsureRestored(restored);
    if (restored) {
        FillBuffer(mLoop);
        Rewind();
    } else if (mTotalPlayed != 0 || mWriteOffset != 0 || mEndOfData) {
        Rewind();  // stopped part-way: start again from the first chunk
    }
    StartPlayVolume(fadeInMs);
    if (!mBuffer->SetCurrentPosition(0)) throw errSnd_e(kErrSetPosition);
    mLastPlayCursor = 0;
    if (!mBuffer->Play(true)) throw errSnd_e(kErrPlaySound);
}

void StreamingSound_t::Rewind() {
    if (!mBuffer || !mSource) throw errSnd_e(kErrBadInit);
    mLastPlayCursor = 0;
    mTotalPlayed = 0;
    mWriteOffset = 0;
    mEndOfData = false;
    bool restored = false;
    EnsureRestored(restored);
    // The ring still holds the end of the last pass: it is filled again from the start
    // (FillBuffer rewinds the source), as when the sound was made.
    FillRing();
    if (!mBuffer->SetCurrentPosition(0)) throw errSnd_e(kErrSetPosition);
}

bool StreamingSound_t::OnNotify() {
    if (mNotify) mNotify->event.Reset();
    bool restored = false;
    EnsureRestored(restored);
    if (restored) FillBuffer(mLoop);

    plat::audio::LockedRegion region;
    if (!mBuffer->Lock(mWriteOffset, mChunkSize, region)) throw errSnd_e(kErrLockBuffer);
    if (region.bytes2 != 0) {
        mBuffer->Unlock();
        throw errSnd_e(kErrLockBuffer);
    }
    try {
        if (mEndOfData) {
            std::memset(region.part1, SilenceByte(), region.bytes1);
        } else if (!ReadLooped(region.part1, region.bytes1, mLoop, kErrReadFile, kErrResetFile, kErrReadBuffer)) {
            mEndOfData = true;
        }
    } catch (...) {
        mBuffer->Unlock();
        throw;
    }
    mBuffer->Unlock();

    uint32_t cursor = 0;
    mBuffer->GetCurrentPosition(&cursor, nullptr);
    const uint32_t played =
            cursor >= mLastPlayCursor ? cursor - mLastPlayCursor : cursor + mBufferSize - mLastPlayCursor;
    mTotalPlayed += played;
    mLastPlayCursor = cursor;

    if (mEndOfData && mTotalPlayed >= mSource->GetDataSize()) {
        mBuffer->Stop();
        Rewind();
        if (mNotify) mNotify->event.Reset();
        if (mDevice) mDevice->OnStreamEnded(this);
    } else {
        mWriteOffset = (mWriteOffset + mChunkSize) % mBufferSize;
    }
    return false;
}

}  // namespace Sound
