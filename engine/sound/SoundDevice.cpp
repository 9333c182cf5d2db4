#include "engine/sound/SoundDevice.h"

#include <exception>
#include <string>
#include <system_error>

#include "engine/sound/SoundDescr.h"
#include "engine/sound/SoundError.h"
#include "engine/sound/StreamingSound.h"
#include "engine/sound/WaveOggFile.h"
#include "engine/util/Timer.h"
#include "platform/DebugOutput.h"
#include "platform/FaultHandler.h"

namespace Sound {
namespace {

constexpr uint32_t kRefillPeriodMs = 20;
constexpr size_t kStopIndex = 0;
constexpr size_t kCommandIndex = 1;
constexpr size_t kTimerIndex = 2;
// ServicePending's bound on one call, against a notification that sets itself again at
// once (it never should).
constexpr int kMaxServiceRounds = 100000;

plat::audio::Vec3 ToVec(const Math::Vector_t& v) { return plat::audio::Vec3{v.x, v.y, v.z}; }

plat::audio::Voice3D ToVoice3D(const DS3DBUFFER& p) {
    plat::audio::Voice3D v;
    v.position = ToVec(p.position);
    v.velocity = ToVec(p.velocity);
    v.insideConeAngle = p.insideConeAngle;
    v.outsideConeAngle = p.outsideConeAngle;
    v.coneOrientation = ToVec(p.coneOrientation);
    v.coneOutsideVolume = p.coneOutsideVolume;
    v.minDistance = p.minDistance;
    v.maxDistance = p.maxDistance;
    v.mode = p.mode;
    return v;
}

plat::audio::Listener3D ToListener(const DS3DLISTENER& p) {
    plat::audio::Listener3D l;
    l.position = ToVec(p.position);
    l.velocity = ToVec(p.velocity);
    l.front = ToVec(p.orientFront);
    l.top = ToVec(p.orientTop);
    l.distanceFactor = p.distanceFactor;
    l.rolloffFactor = p.rolloffFactor;
    l.dopplerFactor = p.dopplerFactor;
    return l;
}

// The mixer's voice for a source's format; throws errSnd_e 22 when it cannot be made.
std::unique_ptr<plat::audio::Voice> MakeVoice(plat::audio::Mixer& mixer, const WAVEFORMATEX& format, uint32_t flags,
                                              uint32_t bytes) {
    if (format.formatTag != kWaveFormatPcm || format.blockAlign == 0 ||
        format.blockAlign != format.channels * (format.bitsPerSample / 8)) {
        throw errSnd_e(kErrCreateBuffer);
    }
    plat::audio::BufferDesc desc;
    desc.flags = flags;
    desc.bytes = bytes;
    desc.format.channels = format.channels;
    desc.format.samplesPerSec = format.samplesPerSec;
    desc.format.bitsPerSample = format.bitsPerSample;
    auto voice = mixer.CreateVoice(desc);
    if (!voice) throw errSnd_e(kErrCreateBuffer);
    return voice;
}

void Log(const std::string& text) { plat::DebugOutput("sound: " + text + "\n"); }

}  // namespace

uint32_t StaticBufferFlags(uint32_t descrFlags) {
    if (!(descrFlags & kDescr3D)) return 0x101E8;
    return (descrFlags & kDescrMuteAfterMaxDistance) ? 0x301B8 : 0x101B8;
}

uint32_t StreamBufferFlags(uint32_t descrFlags) {
    uint32_t flags = (descrFlags & kDescrMuteAfterMaxDistance) ? 0x301A0 : 0x101A0;
    if (descrFlags & kDescr3D) flags |= 0x10;
    return flags | 0x08;
}

SoundDevice_t::SoundDevice_t() { RebuildWaitList(); }

SoundDevice_t::~SoundDevice_t() { Stop(); }

void SoundDevice_t::Start(void* /*window*/, int cooperativeLevel, int channels, int samplesPerSec, int bits) {
    auto mixer = std::make_shared<plat::audio::Mixer>();
    auto output = plat::audio::OpenOutput(mixer);
    if (!output) mixer.reset();  // no sound card: the game runs silently
    StartCommon(std::move(mixer), std::move(output), cooperativeLevel, channels, samplesPerSec, bits, true);
}

void SoundDevice_t::StartOnMixer(std::shared_ptr<plat::audio::Mixer> mixer, int cooperativeLevel, int channels,
                                 int samplesPerSec, int bits, bool runThread) {
    StartCommon(std::move(mixer), nullptr, cooperativeLevel, channels, samplesPerSec, bits, runThread);
}

void SoundDevice_t::StartCommon(std::shared_ptr<plat::audio::Mixer> mixer, std::unique_ptr<plat::audio::Output> output,
                                int cooperativeLevel, int channels, int samplesPerSec, int bits, bool runThread) {
    Stop();
    if (mixer) {
        // The checks of what DirectSound once refused; nothing is kept when one fails.
        if (cooperativeLevel < 1 || cooperativeLevel > 4) throw errSnd_e(kErrCooperativeLevel);
        if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || samplesPerSec < 8000 ||
            samplesPerSec > 192000) {
            throw errSnd_e(kErrPrimaryFormat);
        }
        mixer->SetListener(ToListener(mListenerParams));
    }
    {
        plat::ScopedLock lock(mLock);
        mOutput = std::move(output);
        mMixer = std::move(mixer);
    }
    if (!runThread) return;
    // Last, so that no failure above leaves a thread behind for Stop to wait on.
    try {
        mStopEvent.Reset();
        mDoneEvent.Reset();
        mThread = std::thread([this] {
            plat::FaultStack faultStack;
            ThreadMain();
        });
        mThreadStarted = true;
    } catch (const std::system_error&) {
        throw Thread_t::NotCreated_e;
    }
}

void SoundDevice_t::Stop() {
    if (mThreadStarted) {
        mStopEvent.Set();
        mThread.join();
        mThreadStarted = false;
        mDoneEvent.Reset();
    }
    DeleteAllSounds();
    plat::ScopedLock lock(mLock);
    mOutput.reset();  // the callback has stopped pulling before the mixer goes
    mMixer.reset();
}

void SoundDevice_t::DeleteAllSounds() {
    plat::ScopedLock lock(mLock);
    for (Sound_t* s : mSounds) delete s;
    mSounds.clear();
    RebuildWaitList();
}

void SoundDevice_t::Wake() {
    plat::ScopedLock lock(mLock);
    mCommandEvent.Set();
}

bool SoundDevice_t::OnStreamEnded(Sound_t* sound) {
    sound->FireEndCallback();
    sound->MarkEnded();
    Wake();
    return false;
}

Sound_t* SoundDevice_t::FindSound(int handle) {
    plat::ScopedLock lock(mLock);
    for (Sound_t* s : mSounds) {
        if (s->GetHandle() == handle) return s;
    }
    return nullptr;
}

size_t SoundDevice_t::GetSoundCount() {
    plat::ScopedLock lock(mLock);
    return mSounds.size();
}

void SoundDevice_t::PlayByHandle(int handle, int fadeInMs) {
    plat::ScopedLock lock(mLock);
    if (Sound_t* s = FindSound(handle)) {
        s->Play(fadeInMs);
        Wake();
    }
}

void SoundDevice_t::StopByHandle(int handle, int fadeOutMs, bool release) {
    plat::ScopedLock lock(mLock);
    Sound_t* s = FindSound(handle);
    if (!s) return;
    if (release) s->SetDeleteAfterPlay(true);
    if (fadeOutMs > 0) {
        s->FadeOut(fadeOutMs);
    } else {
        s->Stop();
    }
}

bool SoundDevice_t::IsPlayingByHandle(int handle) {
    plat::ScopedLock lock(mLock);
    Sound_t* s = FindSound(handle);
    return s && s->GetBuffer() && s->GetBuffer()->IsPlaying();
}

void SoundDevice_t::SetEndCallbackByHandle(int handle, EndCallback_t callback, int argument) {
    plat::ScopedLock lock(mLock);
    if (Sound_t* s = FindSound(handle)) s->SetEndCallback(callback, argument);
}

void SoundDevice_t::Set3DParamsByHandle(int handle, const DS3DBUFFER* params) {
    if (!params || handle == 0) throw errSnd_e(kErrBadParams);
    Sound_t* s = FindSound(handle);
    Apply3DParams(s, params);
}

void SoundDevice_t::Apply3DParams(Sound_t* sound, const DS3DBUFFER* params) {
    if (!sound || !params) throw errSnd_e(kErrBadParams);
    plat::ScopedLock lock(mLock);
    // The whole record at once; the mixer takes every field as it is.
    sound->Get3DBuffer()->Set3D(ToVoice3D(*params));
}

void SoundDevice_t::StopGroup(int group, int fadeOutMs) {
    plat::ScopedLock lock(mLock);
    for (Sound_t* s : mSounds) s->SetDeleteAfterPlay(true);
    for (Sound_t* s : mSounds) {
        const bool chosen = group == 5 ? s->GetGroup() != 2 : s->GetGroup() == group;
        if (!chosen) continue;
        if (fadeOutMs > 0) {
            s->FadeOut(fadeOutMs);
        } else {
            s->Stop();
        }
    }
}

void SoundDevice_t::SetGroupAttenuation(int group, int32_t attenuation) {
    plat::ScopedLock lock(mLock);
    for (Sound_t* s : mSounds) {
        if (s->GetGroup() == group) s->SetGroupVolume(attenuation, true);
    }
}

void SoundDevice_t::CreateStaticSound(int group, Sound_t** out, const void* data, unsigned size, int kind,
                                      uint32_t flags, bool loop, bool deleteAfterPlay, bool raw) {
    if (!mMixer) return;
    if (!data || !out) throw errSnd_e(kErrBadParams);
    std::unique_ptr<WaveFile_t> source;
    if (kind == kWaveWav || raw) {
        source = std::make_unique<WaveWavFile_t>();
        if (raw) {
            source->OpenRaw(data, size);
        } else {
            source->OpenMemory(data, size);
        }
    } else if (kind == kWaveOgg) {
        source = std::make_unique<WaveOggFile_t>();
        source->OpenMemory(data, size, true);  // the decoder reads it for as long as the sound lives
    } else {
        throw errSnd_e(kErrBadParams);
    }
    const uint32_t bytes = source->GetDataSize();
    if (bytes == 0) throw errSnd_e(kErrBadFileData);
    auto voice = MakeVoice(*mMixer, source->GetFormat(), flags, bytes);

    std::unique_ptr<NotifyEvent_t> notify;
    if (!loop) {
        if (!(flags & kBufferPositionNotify)) throw errSnd_e(kErrQueryInterface);
        notify = std::make_unique<NotifyEvent_t>();
        if (!voice->SetNotificationPositions({{plat::audio::kOffsetStop, &notify->event}})) {
            throw errSnd_e(kErrSetNotifications);
        }
    }
    NotifyEvent_t* record = notify.get();
    auto sound = std::make_unique<Sound_t>(group, this, std::move(voice), bytes, std::move(source), std::move(notify),
                                           loop, deleteAfterPlay);
    // The voice holds all the samples now; a WAV source lets go of the borrowed bytes.
    if (kind == kWaveWav || raw) sound->GetSource()->Close();
    if (record) record->owner = sound.get();
    *out = sound.release();
}

void SoundDevice_t::CreateStreamingSound(int group, Sound_t** out, FileDescr_t* file, int kind, uint32_t flags,
                                         int chunkCount, uint32_t chunkSize, bool loop, bool deleteAfterPlay) {
    if (!mMixer || !out || (kind != kWaveWav && kind != kWaveOgg) || chunkCount < 1 || chunkSize == 0) {
        if (file) file->Close();
        if (!mMixer) return;
        throw errSnd_e(kErrBadParams);
    }
    if (!file) throw errSnd_e(kErrBadParams);
    std::unique_ptr<WaveFile_t> source;
    if (kind == kWaveWav) {
        source = std::make_unique<WaveWavFile_t>();
    } else {
        source = std::make_unique<WaveOggFile_t>();
    }
    source->Open(file);  // the source owns the file from here on
    // A stream without samples would spin for ever refilling its ring when it loops.
    if (source->GetDataSize() == 0) throw errSnd_e(kErrBadFileData);

    const WAVEFORMATEX& format = source->GetFormat();
    if (format.blockAlign == 0 || chunkSize % format.blockAlign != 0 ||
        uint64_t(chunkCount) * chunkSize > 0xFFFFFFFFu) {
        throw errSnd_e(kErrCreateBuffer);
    }
    const uint32_t bytes = uint32_t(chunkCount) * chunkSize;
    auto voice = MakeVoice(*mMixer, format, flags | kBufferStreamExtra, bytes);

    auto notify = std::make_unique<NotifyEvent_t>();
    std::vector<plat::audio::Notification> positions;
    for (int i = 0; i < chunkCount; ++i) positions.push_back({uint32_t(i + 1) * chunkSize - 1, &notify->event});
    if (!voice->SetNotificationPositions(positions)) throw errSnd_e(kErrSetNotifications);

    NotifyEvent_t* record = notify.get();
    auto sound = std::make_unique<StreamingSound_t>(group, this, std::move(voice), bytes, std::move(source),
                                                    std::move(notify), chunkSize, loop, deleteAfterPlay);
    record->owner = sound.get();
    *out = sound.release();
}

void SoundDevice_t::AddSound(Sound_t* sound) {
    if (!sound) return;
    plat::ScopedLock lock(mLock);
    mSounds.push_back(sound);
    Wake();
}

Sound_t* SoundDevice_t::PlayStatic(SoundDescr_t* descr, EndCallback_t callback, int argument) {
    if (!descr) throw errSnd_e(kErrBadParams);
    if (!mMixer) return nullptr;
    const std::vector<uint8_t>& data = descr->GetWaveData();
    if (data.empty()) throw errSnd_e(kErrBadParams);
    const uint32_t flags = descr->GetFlags();
    Sound_t* made = nullptr;
    CreateStaticSound(descr->GetGroup(), &made, data.data(), unsigned(data.size()), descr->GetWaveKind(),
                      StaticBufferFlags(flags), (flags & kDescrLoop) != 0, (flags & kDescrDeleteAfterPlay) != 0,
                      descr->IsRaw());
    if (!made) return nullptr;
    std::unique_ptr<Sound_t> sound(made);
    sound->SetEndCallback(callback, argument);
    sound->SetVolume(descr->GetVolume(), false);
    sound->SetGroupVolume(descr->GetGroupAttenuation(), true);
    AddSound(sound.get());
    return sound.release();
}

Sound_t* SoundDevice_t::PlayStreamed(SoundDescr_t* descr, FileDescr_t* file) {
    if (!descr) {
        if (file) file->Close();
        throw errSnd_e(kErrBadParams);
    }
    const uint32_t flags = descr->GetFlags();
    Sound_t* made = nullptr;
    CreateStreamingSound(descr->GetGroup(), &made, file, descr->GetWaveKind(), StreamBufferFlags(flags),
                         kStreamChunkCount, kStreamChunkBytes, (flags & kDescrLoop) != 0,
                         (flags & kDescrDeleteAfterPlay) != 0);
    if (!made) return nullptr;
    std::unique_ptr<Sound_t> sound(made);
    if (flags & kDescr3D) Apply3DParams(sound.get(), &descr->Params3D());
    sound->SetVolume(descr->GetVolume(), false);
    sound->SetGroupVolume(descr->GetGroupAttenuation(), true);
    AddSound(sound.get());
    return sound.release();
}

void SoundDevice_t::RebuildWaitList() {
    plat::ScopedLock lock(mLock);
    mWaitEvents.clear();
    mWaitOwners.clear();
    mWaitEvents.push_back(&mStopEvent);
    mWaitOwners.push_back(nullptr);
    mCommandEvent.Reset();
    mWaitEvents.push_back(&mCommandEvent);
    mWaitOwners.push_back(nullptr);
    mWaitEvents.push_back(&mRefillTimer.Signal());
    mWaitOwners.push_back(nullptr);
    // Every sound is waited on, however many there are.
    for (auto it = mSounds.begin(); it != mSounds.end();) {
        Sound_t* s = *it;
        if (s->IsEnded() && s->IsDeleteAfterPlay()) {
            delete s;
            it = mSounds.erase(it);
            continue;
        }
        if (NotifyEvent_t* n = s->GetNotifyEvent()) {
            mWaitEvents.push_back(&n->event);
            mWaitOwners.push_back(n);
            if (s->IsEnded()) n->event.Reset();
        }
        ++it;
    }
}

void SoundDevice_t::HandleSignal(size_t index, NotifyEvent_t* owner) {
    plat::ScopedLock lock(mLock);
    try {
        if (index == kCommandIndex) {
            RebuildWaitList();
        } else if (index == kTimerIndex) {
            TimerTick();
        } else if (owner && owner->owner) {
            // A stop made on another thread resets the event under this lock; a signal
            // seen before that reset is no longer for us.
            if (!owner->event.IsSet()) return;
            if (owner->owner->OnNotify()) RebuildWaitList();
        }
    } catch (const err_e& e) {
        // The refill or fade step is lost; the thread goes on with the next signal.
        Log(std::string(e.GetName()) + ": " + e.GetMessage());
    } catch (const std::exception& e) {
        Log(e.what());
    }
}

void SoundDevice_t::TimerTick() {
    plat::ScopedLock lock(mLock);
    const int elapsedMs = int(GlobalTimer().GetTimer()->GetLap() * 1000.0);
    for (Sound_t* s : mSounds) {
        if (s->Update(elapsedMs)) {
            RebuildWaitList();
            break;
        }
    }
}

void SoundDevice_t::ThreadMain() {
    mRefillTimer.Start(kRefillPeriodMs, kRefillPeriodMs);
    GlobalTimer().GetTimer()->Start();
    for (;;) {
        std::vector<plat::Event*> events;
        std::vector<NotifyEvent_t*> owners;
        {
            plat::ScopedLock lock(mLock);
            events = mWaitEvents;
            owners = mWaitOwners;
        }
        const int result = plat::WaitAny(events);
        // Anything but an index of the list (a failed wait) is never taken for a sound.
        if (result < 0 || size_t(result) >= events.size()) continue;
        if (size_t(result) == kStopIndex) break;
        HandleSignal(size_t(result), owners[size_t(result)]);
    }
    mRefillTimer.Stop();
    mDoneEvent.Set();
    mStopEvent.Reset();
}

int SoundDevice_t::ServicePending() {
    int handled = 0;
    for (int round = 0; round < kMaxServiceRounds; ++round) {
        std::vector<plat::Event*> events;
        std::vector<NotifyEvent_t*> owners;
        {
            plat::ScopedLock lock(mLock);
            events = mWaitEvents;
            owners = mWaitOwners;
        }
        size_t index = 0;
        for (size_t i = kCommandIndex; i < events.size(); ++i) {
            if (i != kTimerIndex && events[i]->IsSet()) {
                index = i;
                break;
            }
        }
        if (index == 0) break;
        HandleSignal(index, owners[index]);
        ++handled;
    }
    return handled;
}

}  // namespace Sound
