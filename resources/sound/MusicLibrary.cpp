#include "resources/sound/MusicLibrary.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/DebugOutput.h"

namespace Velm {
namespace {

std::mutex gSharedMutex;
std::weak_ptr<MusicLibrary> gShared;

// How often the refill thread tops up the streamed channels' rings (half a second each).
constexpr std::chrono::milliseconds kRefillPeriod(20);

using Guard = std::lock_guard<std::recursive_mutex>;

}  // namespace

MusicLibrary::MusicLibrary(std::shared_ptr<plat::audio::Mixer> mixer, std::unique_ptr<plat::audio::Output> output)
        : mMixer(std::move(mixer)), mOutput(std::move(output)) {
    if (mOutput) mRefill = std::thread([this] { RefillLoop(); });
}

MusicLibrary::~MusicLibrary() {
    {
        Guard guard(mLock);
        mQuit = true;
    }
    mWake.notify_all();
    if (mRefill.joinable()) mRefill.join();
    mChannels.clear();
    mOutput.reset();  // the output stops pulling before the mixer goes
}

void MusicLibrary::RefillLoop() {
    std::unique_lock<std::recursive_mutex> lock(mLock);
    while (!mQuit) {
        PumpStreams();
        mWake.wait_for(lock, kRefillPeriod);
    }
}

void MusicLibrary::PumpStreams() {
    for (auto& entry : mChannels) {
        if (entry.second->stream) entry.second->stream->Pump();
    }
}

void MusicLibrary::ReportLoadFailure(const std::string& name, const std::string& reason) {
    plat::DebugOutput("Music \"" + name + "\" not loaded: " + reason + "\n");
}

std::shared_ptr<MusicLibrary> MusicLibrary::Acquire() {
    std::lock_guard<std::mutex> lock(gSharedMutex);
    std::shared_ptr<MusicLibrary> library = gShared.lock();
    if (library) return library;
    auto mixer = std::make_shared<plat::audio::Mixer>();
    auto output = plat::audio::OpenOutput(mixer);
    if (!output) mixer.reset();  // no sound card: a library that loads nothing
    library = std::make_shared<MusicLibrary>(std::move(mixer), std::move(output));
    gShared = library;
    return library;
}

int32_t MusicLibrary::MillibelsFromGain(double factor) {
    if (!(factor > 0.0)) return plat::audio::kVolumeSilent;
    const double mB = 2000.0 * std::log10(factor);
    return mB < plat::audio::kVolumeSilent ? plat::audio::kVolumeSilent : int32_t(std::min(mB, 2400.0));
}

int32_t MusicLibrary::MillibelsFromVolume(double volume) {
    if (!(volume > 0.0)) return plat::audio::kVolumeSilent;
    if (volume >= 1.0) return plat::audio::kVolumeFull;
    const double mB = 2000.0 * std::log10(volume);
    return mB < plat::audio::kVolumeSilent ? plat::audio::kVolumeSilent : int32_t(mB);
}

MusicLibrary::ChannelData* MusicLibrary::Find(Channel channel) {
    auto it = mChannels.find(channel);
    return it != mChannels.end() ? it->second.get() : nullptr;
}

const MusicLibrary::ChannelData* MusicLibrary::Find(Channel channel) const {
    auto it = mChannels.find(channel);
    return it != mChannels.end() ? it->second.get() : nullptr;
}

std::unique_ptr<plat::audio::Voice> MusicLibrary::MakeVoice(const DecodedSound& sound, const uint8_t* pcm,
                                                            size_t bytes) {
    if (!mMixer || bytes == 0 || bytes > 0xFFFFFFFFu) return nullptr;
    plat::audio::BufferDesc desc;
    desc.flags = plat::audio::kCtrlVolume | plat::audio::kLocSoftware;
    desc.bytes = uint32_t(bytes);
    desc.format.channels = sound.channels;
    desc.format.samplesPerSec = sound.samplesPerSec;
    desc.format.bitsPerSample = sound.bitsPerSample;
    auto voice = mMixer->CreateVoice(desc);
    if (!voice) return nullptr;
    plat::audio::LockedRegion region;
    if (!voice->Lock(0, 0, region, true)) return nullptr;
    std::memcpy(region.part1, pcm, region.bytes1);
    voice->Unlock();
    return voice;
}

MusicLibrary::Channel MusicLibrary::Add(std::unique_ptr<ChannelData> c) {
    Guard guard(mLock);
    const Channel id = mNext++;
    ApplyVolume(*c);
    mChannels[id] = std::move(c);
    return id;
}

MusicLibrary::Channel MusicLibrary::AddStream(std::unique_ptr<MusicStream> stream, const std::string& name,
                                              const std::string& error) {
    if (!stream) {
        ReportLoadFailure(name, error);
        return 0;
    }
    auto c = std::make_unique<ChannelData>();
    c->stream = MusicStreamVoice::Create(*mMixer, std::move(stream));
    if (!c->stream) {
        ReportLoadFailure(name, "the mixer cannot play its format");
        return 0;
    }
    return Add(std::move(c));
}

MusicLibrary::Channel MusicLibrary::LoadStream(const std::string& path) {
    if (!mMixer) return 0;  // no sound: nothing to say
    std::string error;
    auto stream = OpenMusicStream(path, &error);
    return AddStream(std::move(stream), path, error);
}

MusicLibrary::Channel MusicLibrary::LoadStream(const DecodedSound& sound) {
    auto c = std::make_unique<ChannelData>();
    c->sound = sound;
    c->voice = MakeVoice(c->sound, c->sound.data.data(), c->sound.data.size());
    if (!c->voice) return 0;
    return Add(std::move(c));
}

MusicLibrary::Channel MusicLibrary::LoadModule(const void* data, size_t size, const std::string& name) {
    if (!mMixer) return 0;
    std::string error;
    auto stream = OpenModuleStream(data, size, &error);
    return AddStream(std::move(stream), name, error);
}

MusicLibrary::Channel MusicLibrary::JoinSamples(Channel intro, Channel loop) {
    Guard guard(mLock);
    ChannelData* a = Find(intro);
    ChannelData* b = Find(loop);
    if (!a || !b || a == b || a->stream || b->stream || a->introBytes != 0 || b->introBytes != 0) return 0;
    if (a->sound.channels != b->sound.channels || a->sound.samplesPerSec != b->sound.samplesPerSec ||
        a->sound.bitsPerSample != b->sound.bitsPerSample) {
        return 0;
    }
    auto c = std::make_unique<ChannelData>();
    c->sound = a->sound;
    c->introBytes = a->sound.data.size();
    c->sound.data.insert(c->sound.data.end(), b->sound.data.begin(), b->sound.data.end());
    c->voice = std::move(a->voice);
    c->loopVoice = std::move(b->voice);
    Free(intro);
    Free(loop);
    return Add(std::move(c));
}

void MusicLibrary::Free(Channel channel) {
    Guard guard(mLock);
    if (ChannelData* c = Find(channel)) {
        if (c->stream) c->stream->Stop();
        if (c->voice) c->voice->Stop();
        if (c->loopVoice) c->loopVoice->Stop();
        mChannels.erase(channel);
    }
}

plat::audio::Voice* MusicLibrary::ActiveVoice(ChannelData& c) {
    return c.inLoopPart && c.loopVoice ? c.loopVoice.get() : c.voice.get();
}

bool MusicLibrary::Play(Channel channel, bool loop, bool restart) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    if (!c) return false;
    c->looping = loop;
    if (c->stream) {
        c->paused = false;
        c->started = true;
        // Without `restart` a stopped or paused song goes on from where it was; the stream
        // starts over by itself when it has played to its end.
        return c->stream->Play(loop, restart);
    }
    plat::audio::Voice* voice = ActiveVoice(*c);
    bool fromStart = restart;
    if (!fromStart && !c->paused && !voice->IsPlaying()) {
        // A channel that played to its end starts again.
        uint32_t cursor = 0;
        voice->GetCurrentPosition(&cursor, nullptr);
        fromStart = cursor + c->sound.BlockAlign() >= voice->Desc().bytes;
    }
    if (fromStart) {
        c->voice->Stop();
        if (c->loopVoice) c->loopVoice->Stop();
        c->inLoopPart = false;
        c->voice->SetCurrentPosition(0);
        if (c->loopVoice) c->loopVoice->SetCurrentPosition(0);
        voice = c->voice.get();
    }
    c->paused = false;
    c->started = true;
    ApplyVolume(*c);
    // A joined sample plays its intro once; Update then starts the loop part.
    const bool voiceLoops = c->loopVoice ? (c->inLoopPart && loop) : loop;
    return voice->Play(voiceLoops);
}

void MusicLibrary::Stop(Channel channel) {
    Guard guard(mLock);
    if (ChannelData* c = Find(channel)) {
        if (c->stream) {
            c->stream->Stop();
        } else {
            ActiveVoice(*c)->Stop();
        }
        c->paused = false;
        c->started = false;
    }
}

void MusicLibrary::Pause(Channel channel) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    if (!c || !(c->stream ? c->stream->IsPlaying() : ActiveVoice(*c)->IsPlaying())) return;
    if (c->stream) {
        c->stream->Stop();
    } else {
        ActiveVoice(*c)->Stop();
    }
    c->paused = true;
}

bool MusicLibrary::Resume(Channel channel) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    return c && Play(channel, c->looping, false);
}

MusicLibrary::State MusicLibrary::GetState(Channel channel) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    if (!c) return kStopped;
    if (c->paused) return kPaused;
    if (c->stream) return c->stream->IsPlaying() ? kPlaying : kStopped;
    if (ActiveVoice(*c)->IsPlaying()) return kPlaying;
    // A joined sample between its intro and its loop part (until the next Update).
    if (c->loopVoice && c->started && !c->inLoopPart) return kPlaying;
    return kStopped;
}

bool MusicLibrary::SetPosition(Channel channel, uint64_t byteOffset) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    if (!c) return false;
    if (c->stream) return c->stream->SetPosition(byteOffset / c->stream->BlockAlign());
    const uint32_t block = c->sound.BlockAlign();
    byteOffset -= byteOffset % (block ? block : 1);
    if (c->loopVoice) {
        const bool inLoop = byteOffset >= c->introBytes;
        plat::audio::Voice* target = inLoop ? c->loopVoice.get() : c->voice.get();
        const uint64_t offset = inLoop ? byteOffset - c->introBytes : byteOffset;
        if (offset >= target->Desc().bytes) return false;
        if (inLoop != c->inLoopPart) {
            const bool wasPlaying = ActiveVoice(*c)->IsPlaying();
            ActiveVoice(*c)->Stop();
            c->inLoopPart = inLoop;
            if (wasPlaying) target->Play(inLoop && c->looping);
        }
        return target->SetCurrentPosition(uint32_t(offset));
    }
    if (byteOffset >= c->voice->Desc().bytes) return false;
    return c->voice->SetCurrentPosition(uint32_t(byteOffset));
}

bool MusicLibrary::SetOrder(Channel channel, int order) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    return c && c->stream && order >= 0 && c->stream->SetPosition(uint64_t(order));
}

void MusicLibrary::SetAmplify(Channel channel, double factor) {
    Guard guard(mLock);
    ChannelData* c = Find(channel);
    if (c && c->stream) c->stream->SetGain(MillibelsFromGain(factor));
}

void MusicLibrary::ApplyVolume(ChannelData& c) {
    const int32_t mB = MillibelsFromVolume(c.volume * mMasterVolume);
    if (c.stream) c.stream->SetVolume(mB);
    if (c.voice) c.voice->SetVolume(mB);
    if (c.loopVoice) c.loopVoice->SetVolume(mB);
}

void MusicLibrary::SetVolume(Channel channel, double volume) {
    Guard guard(mLock);
    if (ChannelData* c = Find(channel)) {
        c->volume = volume;
        ApplyVolume(*c);
    }
}

double MusicLibrary::GetVolume(Channel channel) const {
    Guard guard(mLock);
    const ChannelData* c = Find(channel);
    return c ? c->volume : 0.0;
}

void MusicLibrary::SetMasterVolume(double volume) {
    Guard guard(mLock);
    mMasterVolume = volume;
    for (auto& entry : mChannels) ApplyVolume(*entry.second);
}

const DecodedSound* MusicLibrary::GetSound(Channel channel) const {
    Guard guard(mLock);
    const ChannelData* c = Find(channel);
    return c && !c->stream ? &c->sound : nullptr;
}

size_t MusicLibrary::HeldPcmBytes(Channel channel) const {
    Guard guard(mLock);
    const ChannelData* c = Find(channel);
    if (!c) return 0;
    return c->stream ? c->stream->HeldBytes() : c->sound.data.size();
}

void MusicLibrary::Update() {
    Guard guard(mLock);
    for (auto& entry : mChannels) {
        ChannelData& c = *entry.second;
        if (!c.loopVoice || !c.started || c.inLoopPart || c.paused || c.voice->IsPlaying()) continue;
        c.inLoopPart = true;
        c.loopVoice->SetCurrentPosition(0);
        c.loopVoice->Play(c.looping);
    }
    PumpStreams();
}

}  // namespace Velm
