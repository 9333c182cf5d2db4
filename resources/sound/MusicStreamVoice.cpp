#include "resources/sound/MusicStreamVoice.h"

#include <algorithm>
#include <cstring>

namespace Velm {

std::unique_ptr<MusicStreamVoice> MusicStreamVoice::Create(plat::audio::Mixer& mixer,
                                                           std::unique_ptr<MusicStream> stream) {
    if (!stream) return nullptr;
    plat::audio::BufferDesc desc;
    desc.flags = plat::audio::kCtrlVolume | plat::audio::kLocSoftware;
    desc.format.channels = stream->Channels();
    desc.format.samplesPerSec = stream->SamplesPerSec();
    desc.format.bitsPerSample = 16;
    desc.bytes = std::max<uint32_t>(desc.format.samplesPerSec / 2, 256) * desc.format.BlockAlign();
    auto voice = mixer.CreateVoice(desc);
    if (!voice) return nullptr;
    return std::unique_ptr<MusicStreamVoice>(new MusicStreamVoice(std::move(stream), std::move(voice)));
}

MusicStreamVoice::MusicStreamVoice(std::unique_ptr<MusicStream> stream, std::unique_ptr<plat::audio::Voice> voice)
        : mStream(std::move(stream)),
          mVoice(std::move(voice)),
          mRingFrames(mVoice->Desc().bytes / mVoice->Desc().format.BlockAlign()) {}

void MusicStreamVoice::Produce(int16_t* out, uint32_t frames) {
    const uint16_t channels = mStream->Channels();
    uint32_t done = 0;
    bool rewound = false;  // a rewind that yields nothing ends even a looping song
    while (done < frames && mEndAt == UINT64_MAX) {
        const size_t got = mStream->Read(out + size_t(done) * channels, frames - done);
        done += uint32_t(got);
        if (got > 0) {
            rewound = false;
            continue;
        }
        if (mLoop && !rewound && mStream->Rewind()) {
            rewound = true;
            continue;
        }
        mEndAt = mWritten + done;
    }
    std::fill(out + size_t(done) * channels, out + size_t(frames) * channels, int16_t(0));
}

void MusicStreamVoice::Write(uint32_t frames) {
    if (frames == 0) return;
    const uint32_t block = mVoice->Desc().format.BlockAlign();
    plat::audio::LockedRegion region;
    if (!mVoice->Lock(uint32_t(mWritten % mRingFrames) * block, frames * block, region)) return;
    Produce(reinterpret_cast<int16_t*>(region.part1), region.bytes1 / block);
    mWritten += region.bytes1 / block;
    if (region.part2) {
        Produce(reinterpret_cast<int16_t*>(region.part2), region.bytes2 / block);
        mWritten += region.bytes2 / block;
    }
    mVoice->Unlock();
}

void MusicStreamVoice::Refill() {
    mVoice->Stop();
    mVoice->SetCurrentPosition(0);
    mWritten = 0;
    mPlayed = 0;
    mLastCursor = 0;
    mEndAt = UINT64_MAX;
    mEnded = false;
    Write(mRingFrames);
}

bool MusicStreamVoice::Play(bool loop, bool restart) {
    mLoop = loop;
    if (restart || mEnded) {
        if (!mStream->Rewind()) return false;
        Refill();
    }
    return mVoice->Play(true);
}

void MusicStreamVoice::Stop() { mVoice->Stop(); }

bool MusicStreamVoice::SetPosition(uint64_t position) {
    const bool wasPlaying = mVoice->IsPlaying();
    if (!mStream->Seek(position)) return false;
    Refill();
    return !wasPlaying || mVoice->Play(true);
}

void MusicStreamVoice::Pump() {
    if (mEnded) return;
    const uint32_t block = mVoice->Desc().format.BlockAlign();
    uint32_t cursor = 0;
    mVoice->GetCurrentPosition(&cursor, nullptr);
    cursor /= block;
    mPlayed += (cursor + mRingFrames - mLastCursor) % mRingFrames;
    mLastCursor = cursor;
    if (mPlayed >= mEndAt) {
        mVoice->Stop();
        mEnded = true;
        return;
    }
    // More than a whole ring went by since the last refill: write from where the cursor is.
    if (mWritten < mPlayed) mWritten = mPlayed;
    Write(uint32_t(mRingFrames - (mWritten - mPlayed)));
}

}  // namespace Velm
