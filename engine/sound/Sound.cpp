#include "engine/sound/Sound.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundError.h"

namespace Sound {
namespace {

std::atomic<int> gLastHandle{0};

plat::audio::Vec3 ToVec(const Math::Vector_t& v) { return plat::audio::Vec3{v.x, v.y, v.z}; }

}  // namespace

Sound_t::Sound_t(int group, SoundDevice_t* device, std::unique_ptr<plat::audio::Voice> buffer, uint32_t bufferSize,
                 std::unique_ptr<WaveFile_t> source, std::unique_ptr<NotifyEvent_t> notify, bool loop,
                 bool deleteAfterPlay)
        : mBuffer(std::move(buffer)),
          mBufferSize(bufferSize),
          mSource(std::move(source)),
          mLoop(loop),
          mDeleteAfterPlay(deleteAfterPlay),
          mNotify(std::move(notify)),
          mDevice(device),
          mGroup(group) {
    if (mBuffer) {
        FillBuffer(loop);
        mBuffer->SetCurrentPosition(0);
    }
    mHandle = ++gLastHandle;
}

Sound_t::~Sound_t() {
    mBuffer.reset();
    mSource.reset();
    if (mNotify) mNotify->event.Reset();
}

int32_t Sound_t::LimitedVolume() const {
    const int64_t sum = int64_t(mVolume) + mGroupAttenuation;
    return int32_t(std::min<int64_t>(0, std::max<int64_t>(kFadeFloor, sum)));
}

void Sound_t::SetBufferVolume(int32_t volume) {
    if (mBuffer) mBuffer->SetVolume(std::min(plat::audio::kVolumeFull, std::max(plat::audio::kVolumeSilent, volume)));
}

uint8_t Sound_t::SilenceByte() const { return mSource && mSource->GetFormat().bitsPerSample == 8 ? 0x80 : 0x00; }

void Sound_t::EnsureRestored(bool& restored) {
    if (!mBuffer) throw errSnd_e(kErrBadInit);
    restored = false;
}

bool Sound_t::ReadLooped(uint8_t* out, uint32_t bytes, bool loop, unsigned firstReadError, unsigned rewindError,
                         unsigned laterReadError) {
    uint32_t done = 0;
    bool rewound = false;
    while (done < bytes) {
        unsigned got = 0;
        try {
            mSource->Read(out + done, bytes - done, &got);
        } catch (const err_e&) {
            throw errSnd_e(rewound ? laterReadError : firstReadError);
        }
        done += got;
        if (done == bytes) break;
        // A source that gives nothing even right after a rewind would loop here for ever.
        if (!loop || (got == 0 && rewound)) {
            std::memset(out + done, SilenceByte(), bytes - done);
            return false;
        }
        if (!mSource->Rewind()) throw errSnd_e(rewindError);
        rewound = true;
    }
    return true;
}

void Sound_t::FillBuffer(bool loop) {
    bool restored = false;
    EnsureRestored(restored);
    if (!mSource) throw errSnd_e(kErrBadInit);
    plat::audio::LockedRegion region;
    if (!mBuffer->Lock(0, 0, region, true)) throw errSnd_e(kErrLockBuffer);
    try {
        if (!mSource->Rewind()) throw errSnd_e(kErrResetFile);
        ReadLooped(region.part1, region.bytes1, loop, kErrReadFile, kErrResetFile, kErrReadBuffer);
    } catch (...) {
        mBuffer->Unlock();
        throw;
    }
    mBuffer->Unlock();
}

void Sound_t::StartPlayVolume(int fadeInMs) {
    if (fadeInMs > 0) {
        StartFade(fadeInMs, kFadeFloor, LimitedVolume(), false);
    } else {
        mCurrentVolume = LimitedVolume();
        mFading = false;
    }
    mEnded = false;
    mPaused = false;
    SetBufferVolume(mCurrentVolume);
}

void Sound_t::StartFade(int ms, int32_t from, int32_t target, bool stopAfter) {
    mFadeSteps = std::max(1, ms / kFadeStepMs);
    mFadeCounter = 0;
    mCurrentVolume = from;
    mFadeTarget = target;
    mFadeStep = (target - from) / mFadeSteps;
    mFading = true;
    mStopAfterFade = stopAfter;
}

void Sound_t::Play(int fadeInMs) {
    bool restored = false;
    EnsureRestored(restored);
    if (restored) {
        FillBuffer(false);
        Rewind();
    }
    StartPlayVolume(fadeInMs);
    if (!mBuffer->Play(mLoop)) throw errSnd_e(kErrPlaySound);
}

void Sound_t::Stop() {
    if (mBuffer) mBuffer->Stop();  // sets the stop notification of a playing voice
    if (mNotify) mNotify->event.Reset();
    FireEndCallback();
    mEnded = true;
    mPaused = false;
    if (mDevice) mDevice->Wake();
}

void Sound_t::Pause() {
    if (mPaused) return;
    mPaused = true;
    if (mBuffer) mBuffer->Stop();
    // A paused sound has not ended: the stop notification is not for it.
    if (mNotify) mNotify->event.Reset();
}

void Sound_t::Resume() {
    if (!mPaused) return;
    mPaused = false;
    if (mBuffer) mBuffer->Play(mLoop || IsStreaming());
}

void Sound_t::Rewind() { SetPositionMs(0); }

bool Sound_t::OnNotify() {
    if (mNotify) mNotify->event.Reset();
    if (!mLoop && !mPaused) {
        Stop();
        Rewind();
    }
    return false;
}

void Sound_t::SetEndCallback(EndCallback_t callback, int argument) {
    mEndCallback = callback;
    mEndArgument = argument;
}

void Sound_t::FireEndCallback() {
    EndCallback_t callback = mEndCallback;
    mEndCallback = nullptr;
    if (callback) callback(mHandle, mEndArgument);
}

void Sound_t::FadeOut(int fadeOutMs) {
    const int32_t from = mBuffer ? mBuffer->GetVolume() : 0;
    StartFade(fadeOutMs, from, kFadeFloor, true);
}

bool Sound_t::Update(int /*elapsedMs*/) {
    if (!mFading) return false;
    ++mFadeCounter;
    mCurrentVolume = mFadeCounter >= mFadeSteps ? mFadeTarget : mCurrentVolume + mFadeStep;
    SetBufferVolume(mCurrentVolume);
    if (mFadeCounter <= mFadeSteps) return false;
    mFading = false;
    if (!mStopAfterFade) return false;
    Stop();
    return true;
}

unsigned Sound_t::GetDurationMs() {
    if (!mBuffer || !mSource) throw errSnd_e(kErrBadInit);
    return mSource->GetDurationMs();
}

void Sound_t::SetVolume(int32_t attenuation, bool apply) {
    mVolume = attenuation;
    if (apply && mBuffer) SetBufferVolume(LimitedVolume());
}

void Sound_t::SetGroupVolume(int32_t attenuation, bool apply) {
    mGroupAttenuation = attenuation;
    if (!apply || !mBuffer) return;
    if (mFading && mFadeStep < 1) return;  // a fade-out runs on to its end
    mFading = false;                       // a fade-in gives way to the new volume
    mCurrentVolume = LimitedVolume();
    SetBufferVolume(mCurrentVolume);
}

void Sound_t::SetPositionMs(unsigned ms) {
    if (!mBuffer || !mSource) throw errSnd_e(kErrBadInit);
    const uint64_t bytes = uint64_t(ms) * mSource->GetFormat().avgBytesPerSec / 1000;
    if (bytes > 0xFFFFFFFFu || !mBuffer->SetCurrentPosition(uint32_t(bytes))) throw errSnd_e(kErrSetPosition);
}

plat::audio::Voice* Sound_t::Get3DBuffer() {
    if (!mBuffer) throw errSnd_e(kErrBadInit);
    if (!(mBuffer->Desc().flags & plat::audio::kCtrl3D)) throw errSnd_e(kErrQueryInterface);
    return mBuffer.get();
}

void Sound_t::AttachTo3DSource(const Source3D_t* source, const Math::Vector_t& localPosition,
                               const Math::Vector_t& localConeOrientation) {
    mSource3D = source;
    mLocalPosition = localPosition;
    mLocalConeOrientation = localConeOrientation;
    if (!source) return;
    plat::audio::Voice* voice = Get3DBuffer();
    plat::audio::Voice3D params;
    voice->Get3D(params);
    Math::Vector_t position;
    Math::TransformPoint(localPosition, source->GetTransform(), position);
    params.position = ToVec(position);
    try {
        Math::Vector_t cone;
        Math::TransformDirection(source->GetTransform(), localConeOrientation, cone);
        params.coneOrientation = ToVec(cone);
    } catch (const Math::InvalidSecondArgument_e&) {
        // A degenerate transform keeps the old cone orientation.
    }
    voice->Set3D(params);
}

}  // namespace Sound
