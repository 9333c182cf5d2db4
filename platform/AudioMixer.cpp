#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/Audio.h"
#include "platform/AudioMixRun.h"

namespace plat {
namespace audio {

// The samples of a voice, shared by its duplicates.
struct VoiceData {
    std::vector<uint8_t> bytes;
};

struct MixerCore {
    explicit MixerCore(uint32_t rate) : outputRate(rate) {}

    std::mutex mutex;
    const uint32_t outputRate;
    std::vector<Voice*> voices;  // every live voice, in creation order
    Listener3D listener;
    MixLoopKind mixLoop = MixLoopKind::kSse2;
    std::vector<float> accumulator;  // interleaved stereo, one Mix call
};

namespace {

// Largest voice we accept: far above any sound of the game (a 10-minute stereo track at
// 44.1 kHz is 106 MB) and small enough that a broken size field cannot exhaust memory.
constexpr uint32_t kMaxVoiceBytes = 256u << 20;
constexpr float kPi = 3.14159265358979f;

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Minus(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }

bool FormatPlayable(const PcmFormat& f) {
    return (f.channels == 1 || f.channels == 2) && (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           f.samplesPerSec >= kFrequencyMin && f.samplesPerSec <= kFrequencyMax;
}

// Left and right gain of a 3-D voice from its distance, cone and direction.
void Gains3D(const Voice3D& p, uint32_t flags, const Listener3D& listener, float& left, float& right) {
    Vec3 rel = p.mode == kMode3DHeadRelative ? p.position : Minus(p.position, listener.position);
    const float distance = Length(rel);

    float gain = 1.0f;
    const float minD = p.minDistance;
    if (distance > p.maxDistance && (flags & kMute3DAtMaxDistance)) {
        gain = 0.0f;
    } else if (minD > 0.0f) {
        const float d = std::min(std::max(distance, minD), std::max(p.maxDistance, minD));
        gain = minD / (minD + listener.rolloffFactor * (d - minD));
    }

    // Cone: full inside half the inside angle, the outside volume beyond half the outside
    // angle, millibels interpolated between.
    const float coneLength = Length(p.coneOrientation);
    if (distance > 0.0f && coneLength > 0.0f && (p.insideConeAngle < 360 || p.outsideConeAngle < 360)) {
        const Vec3 toListener{-rel.x, -rel.y, -rel.z};
        float c = Dot(p.coneOrientation, toListener) / (coneLength * distance);
        c = std::min(1.0f, std::max(-1.0f, c));
        const float angle = 2.0f * std::acos(c) * 180.0f / kPi;  // full cone angle that reaches the listener
        const float inside = float(p.insideConeAngle);
        const float outside = std::max(float(p.outsideConeAngle), inside);
        float mb = 0.0f;
        if (angle >= outside) {
            mb = float(p.coneOutsideVolume);
        } else if (angle > inside) {
            mb = float(p.coneOutsideVolume) * (angle - inside) / (outside - inside);
        }
        gain *= GainFromMillibels(int32_t(mb));
    }

    // Pan: the share of the direction along the listener's right-hand axis.
    float x = 0.0f;
    if (distance > 0.0f) {
        if (p.mode == kMode3DHeadRelative) {
            x = rel.x / distance;
        } else {
            const Vec3 rightAxis = Cross(listener.top, listener.front);
            const float rightLength = Length(rightAxis);
            if (rightLength > 0.0f) x = Dot(rel, rightAxis) / (rightLength * distance);
        }
    }
    x = std::min(1.0f, std::max(-1.0f, x));
    left *= gain * (x > 0.0f ? 1.0f - x : 1.0f);
    right *= gain * (x < 0.0f ? 1.0f + x : 1.0f);
}

}  // namespace

float GainFromMillibels(int32_t millibels) {
    if (millibels <= kVolumeSilent) return 0.0f;
    if (millibels >= 0) return 1.0f;
    return std::pow(10.0f, float(millibels) / 2000.0f);
}

// ---- Voice ----

Voice::Voice(std::shared_ptr<MixerCore> core, const BufferDesc& desc, std::shared_ptr<VoiceData> data)
        : mCore(std::move(core)), mDesc(desc), mData(std::move(data)), mFrequency(desc.format.samplesPerSec) {}

Voice::~Voice() {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    auto& voices = mCore->voices;
    voices.erase(std::remove(voices.begin(), voices.end(), this), voices.end());
}

bool Voice::Lock(uint32_t offset, uint32_t bytes, LockedRegion& region, bool entire) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    const uint32_t size = uint32_t(mData->bytes.size());
    if (entire || bytes == 0) {
        offset = 0;
        bytes = size;
    }
    if (mLocked || offset >= size || bytes > size) return false;
    mLocked = true;
    mLockOffset = offset;
    mLockScratch.resize(bytes);
    const uint32_t first = std::min(bytes, size - offset);
    std::memcpy(mLockScratch.data(), mData->bytes.data() + offset, first);
    std::memcpy(mLockScratch.data() + first, mData->bytes.data(), bytes - first);
    region.part1 = mLockScratch.data();
    region.bytes1 = first;
    region.part2 = bytes > first ? mLockScratch.data() + first : nullptr;
    region.bytes2 = bytes - first;
    return true;
}

bool Voice::Unlock() {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    if (!mLocked) return false;
    const uint32_t size = uint32_t(mData->bytes.size());
    const uint32_t bytes = uint32_t(mLockScratch.size());
    const uint32_t first = std::min(bytes, size - mLockOffset);
    std::memcpy(mData->bytes.data() + mLockOffset, mLockScratch.data(), first);
    std::memcpy(mData->bytes.data(), mLockScratch.data() + first, bytes - first);
    mLocked = false;
    return true;
}

bool Voice::Play(bool looping) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mPlaying = true;
    mLooping = looping;
    return true;
}

void Voice::Stop() {
    // Set under the lock, as the mixer does: once the voice is seen stopped its events may go.
    std::lock_guard<std::mutex> lock(mCore->mutex);
    if (!mPlaying) return;
    mPlaying = false;
    for (const Notification& n : mNotifications) {
        if (n.offset == kOffsetStop) n.event->Set();
    }
}

bool Voice::IsPlaying() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mPlaying;
}

bool Voice::IsLooping() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mLooping;
}

void Voice::GetCurrentPosition(uint32_t* play, uint32_t* write) const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    const uint32_t block = mDesc.format.BlockAlign();
    const uint32_t frames = uint32_t(mData->bytes.size()) / block;
    if (play) *play = mFrame * block;
    if (write) {
        const uint64_t lead = mPlaying ? uint64_t(mFrequency) / 100 : 0;
        *write = uint32_t((mFrame + lead) % frames) * block;
    }
}

bool Voice::SetCurrentPosition(uint32_t offset) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    const uint32_t block = mDesc.format.BlockAlign();
    if (offset / block >= mData->bytes.size() / block) return false;
    mFrame = offset / block;
    mFraction = 0;
    return true;
}

bool Voice::SetVolume(int32_t millibels) {
    if (!(mDesc.flags & kCtrlVolume) || millibels < kVolumeSilent || millibels > kVolumeFull) return false;
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mVolume = millibels;
    return true;
}

int32_t Voice::GetVolume() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mVolume;
}

bool Voice::SetPan(int32_t millibels) {
    if (!(mDesc.flags & kCtrlPan) || millibels < kPanLeft || millibels > kPanRight) return false;
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mPan = millibels;
    return true;
}

int32_t Voice::GetPan() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mPan;
}

bool Voice::SetFrequency(uint32_t hz) {
    if (!(mDesc.flags & kCtrlFrequency)) return false;
    if (hz == kFrequencyOriginal) hz = mDesc.format.samplesPerSec;
    if (hz < kFrequencyMin || hz > kFrequencyMax) return false;
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mFrequency = hz;
    return true;
}

uint32_t Voice::GetFrequency() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mFrequency;
}

bool Voice::SetNotificationPositions(const std::vector<Notification>& notifications) {
    if (!(mDesc.flags & kCtrlPositionNotify)) return false;
    for (const Notification& n : notifications) {
        if (!n.event || (n.offset != kOffsetStop && n.offset >= mDesc.bytes)) return false;
    }
    std::lock_guard<std::mutex> lock(mCore->mutex);
    if (mPlaying) return false;
    mNotifications = notifications;
    return true;
}

bool Voice::Set3D(const Voice3D& params) {
    if (!(mDesc.flags & kCtrl3D)) return false;
    std::lock_guard<std::mutex> lock(mCore->mutex);
    m3D = params;
    return true;
}

bool Voice::Get3D(Voice3D& params) const {
    if (!(mDesc.flags & kCtrl3D)) return false;
    std::lock_guard<std::mutex> lock(mCore->mutex);
    params = m3D;
    return true;
}

// ---- Mixer ----

Mixer::Mixer(uint32_t outputRate)
        : mCore(std::make_shared<MixerCore>(outputRate == 0 ? kOutputRate
                                                            : std::min(std::max(outputRate, 1000u), 384000u))) {}

Mixer::~Mixer() = default;

uint32_t Mixer::OutputRate() const { return mCore->outputRate; }

std::unique_ptr<Voice> Mixer::CreateVoice(const BufferDesc& desc) {
    if (!FormatPlayable(desc.format) || desc.bytes < desc.format.BlockAlign() || desc.bytes > kMaxVoiceBytes) {
        return nullptr;
    }
    auto data = std::make_shared<VoiceData>();
    data->bytes.assign(desc.bytes, desc.format.bitsPerSample == 8 ? 0x80 : 0x00);
    std::unique_ptr<Voice> voice(new Voice(mCore, desc, std::move(data)));
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mCore->voices.push_back(voice.get());
    return voice;
}

std::unique_ptr<Voice> Mixer::Duplicate(const Voice& source) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    if (source.mCore != mCore) return nullptr;
    std::unique_ptr<Voice> voice(new Voice(mCore, source.mDesc, source.mData));
    voice->mVolume = source.mVolume;
    voice->mPan = source.mPan;
    voice->mFrequency = source.mFrequency;
    voice->m3D = source.m3D;
    mCore->voices.push_back(voice.get());
    return voice;
}

void Mixer::SetListener(const Listener3D& listener) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mCore->listener = listener;
}

Listener3D Mixer::GetListener() const {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    return mCore->listener;
}

void Mixer::Mix(int16_t* out, size_t frames) {
    std::vector<Event*> fire;
    {
        std::lock_guard<std::mutex> lock(mCore->mutex);
        std::vector<float>& acc = mCore->accumulator;
        acc.assign(frames * 2, 0.0f);
        for (Voice* v : mCore->voices) {
            if (!v->mPlaying) continue;
            const uint32_t block = v->mDesc.format.BlockAlign();
            const uint32_t frameCount = uint32_t(v->mData->bytes.size() / block);

            float left = (v->mDesc.flags & kCtrlVolume) ? GainFromMillibels(v->mVolume) : 1.0f;
            float right = left;
            if (v->mDesc.flags & kCtrlPan) {
                if (v->mPan > 0) left *= GainFromMillibels(-v->mPan);
                if (v->mPan < 0) right *= GainFromMillibels(v->mPan);
            }
            if ((v->mDesc.flags & kCtrl3D) && v->m3D.mode != kMode3DDisable) {
                Gains3D(v->m3D, v->mDesc.flags, mCore->listener, left, right);
            }

            const uint64_t step = (uint64_t(v->mFrequency) << 32) / mCore->outputRate;
            const uint32_t startFrame = v->mFrame;
            uint64_t advanced = 0;
            MixSource source;
            source.data = v->mData->bytes.data();
            source.frameCount = frameCount;
            source.bitsPerSample = v->mDesc.format.bitsPerSample;
            source.channels = v->mDesc.format.channels;
            source.looping = v->mLooping;
            const bool ended = MixVoice(mCore->mixLoop, source, step, left, right, acc.data(), frames, v->mFrame,
                                        v->mFraction, advanced);

            // A position notification fires when the cursor moved over its frame, however
            // often a short looping voice wrapped within this call.
            for (const Notification& n : v->mNotifications) {
                if (n.offset == kOffsetStop) {
                    if (ended) fire.push_back(n.event);
                    continue;
                }
                const uint32_t target = n.offset / block;
                const uint64_t distance = (uint64_t(target) + frameCount - startFrame) % frameCount;
                if (distance < advanced) fire.push_back(n.event);
            }
            if (ended) v->mPlaying = false;
        }
        StoreMix(mCore->mixLoop, acc.data(), out, frames * 2);
        // Set while the voices are still locked: an ended voice may be destroyed, and its
        // events freed with their owner, as soon as the lock is free.
        for (Event* e : fire) e->Set();
    }
}

void Mixer::SetMixLoop(MixLoopKind kind) {
    std::lock_guard<std::mutex> lock(mCore->mutex);
    mCore->mixLoop = kind;
}

}  // namespace audio
}  // namespace plat
