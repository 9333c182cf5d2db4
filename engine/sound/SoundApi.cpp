#include "engine/sound/SoundApi.h"

#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/sound/SoundDescr.h"
#include "engine/sound/SoundDevice.h"
#include "engine/storage/Stg.h"
#include "platform/Audio.h"

namespace Sound {
namespace {

// The device's mixing format: 22050 Hz, 16-bit stereo, priority level.
constexpr int kCooperativeLevel = 2;
constexpr int kChannels = 2;
constexpr int kSampleRate = 22050;
constexpr int kBits = 16;
constexpr size_t kMusicNameMax = 255;

SoundDescrList_t* gDescrList = nullptr;
SoundDevice_t* gDevice = nullptr;
bool gReady = false;
bool gNoStreaming = false;
int gDialogVolume = 0;
int gEffectsVolume = 0;
int gMusicVolume = 0;
Stg_t* gDescrStorage = nullptr;
Stg_t* gSoundsStorage = nullptr;
Stg_t* gDialogStorage = nullptr;
int gCurrentMusic = 0;
int gPreviousMusic = 0;
std::string gCurrentMusicName;

// End callbacks of music. The device calls QueueEndCallback on whichever thread ends the
// sound (the streaming thread for a stream that runs out); it only notes the handle.
// UpdateSound, on the main thread, runs the registered callback of each noted handle.
struct CallbackQueue {
    std::mutex mutex;
    std::map<int, std::pair<EndCallback_t, int>> registered;  // handle -> callback, argument
    std::vector<int> ended;                                   // handles, in the order they ended
};

CallbackQueue& Callbacks() {
    static CallbackQueue queue;
    return queue;
}

void QueueEndCallback(int handle, int /*argument*/) {
    CallbackQueue& q = Callbacks();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.ended.push_back(handle);
}

void ForgetCallback(int handle) {
    CallbackQueue& q = Callbacks();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.registered.erase(handle);
}

void ClearCallbacks() {
    CallbackQueue& q = Callbacks();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.registered.clear();
    q.ended.clear();
}

void StopMusicNow(int handle) {
    if (handle != 0 && gDevice) gDevice->StopByHandle(handle, 0, true);
}

// Steps 1 and 2 of every music switch: the music still fading out from the switch before
// stops at once; the current one becomes the previous one, faded out or stopped.
void RetireMusic(int fadeOutMs) {
    if (gPreviousMusic != 0) {
        StopMusicNow(gPreviousMusic);
        gPreviousMusic = 0;
    }
    if (gCurrentMusic != 0) {
        gDevice->StopByHandle(gCurrentMusic, fadeOutMs, true);
        gPreviousMusic = gCurrentMusic;
    }
}

bool FinishMusicSwitch(int handle, const char* waveName) {
    gCurrentMusic = handle;
    if (handle != 0) {
        gCurrentMusicName = std::string(waveName ? waveName : "").substr(0, kMusicNameMax);
        return true;
    }
    gCurrentMusicName.clear();
    return false;
}

void DestroyAll() {
    delete gDescrList;
    gDescrList = nullptr;
    delete gDevice;
    gDevice = nullptr;
}

template <typename StartFn>
bool InitCommon(bool noStreaming, StartFn start) {
    if (gReady) ShutdownSound();
    ClearCallbacks();
    try {
        gDescrList = new SoundDescrList_t;
        // No description storage (it could not be opened): no descriptions, and every
        // play answers 0.
        gDescrList->Load(gDescrStorage);
        gDevice = new SoundDevice_t;
        start(*gDevice);
    } catch (...) {
        DestroyAll();
        throw;
    }
    gCurrentMusic = 0;
    gPreviousMusic = 0;
    gReady = true;
    gNoStreaming = noStreaming;
    return true;
}

}  // namespace

bool InitSound(void* window, bool noStreaming) {
    return InitCommon(noStreaming, [window](SoundDevice_t& device) {
        device.Start(window, kCooperativeLevel, kChannels, kSampleRate, kBits);
    });
}

bool InitSoundOnMixer(std::shared_ptr<plat::audio::Mixer> mixer, bool noStreaming, bool runThread) {
    return InitCommon(noStreaming, [&mixer, runThread](SoundDevice_t& device) {
        device.StartOnMixer(std::move(mixer), kCooperativeLevel, kChannels, kSampleRate, kBits, runThread);
    });
}

void ShutdownSound() {
    // The callbacks go first: stopping the music below must not start new music.
    ClearCallbacks();
    for (int* handle : {&gPreviousMusic, &gCurrentMusic}) {
        if (*handle != 0 && gDevice) {
            gDevice->SetEndCallbackByHandle(*handle, nullptr, 0);
            gDevice->StopByHandle(*handle, 0, true);
        }
        *handle = 0;
    }
    DestroyAll();
    gReady = false;
}

bool IsSoundReady() { return gReady; }

void UpdateSound() {
    CallbackQueue& q = Callbacks();
    std::vector<int> ended;
    {
        std::lock_guard<std::mutex> lock(q.mutex);
        ended.swap(q.ended);
    }
    for (int handle : ended) {
        std::pair<EndCallback_t, int> entry{nullptr, 0};
        {
            std::lock_guard<std::mutex> lock(q.mutex);
            auto it = q.registered.find(handle);
            if (it == q.registered.end()) continue;  // cleared since it ended
            entry = it->second;
            q.registered.erase(it);
        }
        // Outside the lock: the callback usually starts the next music.
        if (entry.first) entry.first(handle, entry.second);
    }
}

int32_t GroupAttenuation(int volume) {
    if (volume <= 0) return -10000;
    if (volume > 100) return 0;
    return int32_t(std::trunc(std::log10(volume / 100.0) * 2000.0));
}

void SetGroupVolume(int volumeType, int volume) {
    if (volumeType == 6) return;
    if (volumeType == kGroupDialog) gDialogVolume = volume;
    if (volumeType == kGroupEffect) gEffectsVolume = volume;
    if (volumeType == kGroupMusic) gMusicVolume = volume;
    if (gDevice) gDevice->SetGroupAttenuation(volumeType, GroupAttenuation(volume));
}

int GetGroupVolume(int volumeType) {
    switch (volumeType) {
        case kGroupDialog: return gDialogVolume;
        case kGroupEffect: return gEffectsVolume;
        case kGroupMusic: return gMusicVolume;
        default: return 0;
    }
}

int ApplyGroupVolume(SoundDescr_t* descr) {
    int volume = 0;
    switch (descr->GetGroup()) {
        case kGroupDialog: volume = gDialogVolume; break;
        case kGroupEffect:
        case kGroupWorld:
        case kGroupInterf: volume = gEffectsVolume; break;
        case kGroupMusic: volume = gMusicVolume; break;
        default: volume = 0; break;
    }
    descr->SetGroupAttenuation(GroupAttenuation(volume));
    return volume;
}

void StopGroup(int group, int fadeOutMs) {
    if (gDevice) gDevice->StopGroup(group, fadeOutMs);
}

int StopSound(int handle, int fadeOutMs, bool release) {
    if (gDevice) gDevice->StopByHandle(handle, fadeOutMs, release);
    return 0;
}

bool IsSoundPlaying(int handle) { return gDevice && gDevice->IsPlayingByHandle(handle); }

void SetSoundsStorage(Stg_t* storage) { gSoundsStorage = storage; }
void SetSoundDescrStorage(Stg_t* storage) { gDescrStorage = storage; }
Stg_t* GetSoundsStorage() { return gSoundsStorage; }
Stg_t* GetSoundDescrStorage() { return gDescrStorage; }
Stg_t* GetDialogStorage() { return gDialogStorage; }

int PlayDescription(SoundDescr_t* descr, int fadeInMs, const Source3D_t* source) {
    if (!descr || !gDevice) return 0;
    try {
        Sound_t* sound = nullptr;
        if (descr->GetFlags() & kDescrStreamed) {
            ApplyGroupVolume(descr);
            Stg_t* storage = gSoundsStorage;
            if (!storage || !descr->HasWaveName()) return 0;
            const std::string& wave = descr->GetWaveName();
            int kind = kWaveWav;
            std::string name = wave + ".wav";
            if (storage->IsFilePresent(wave + ".ogg")) {
                kind = kWaveOgg;
                name = wave + ".ogg";
            }
            FileDescr_t* file = storage->OpenFile(name, false);  // a missing file throws
            descr->SetWaveKind(kind);
            sound = gDevice->PlayStreamed(descr, file);
        } else {
            if (!descr->HasWaveData()) descr->PreloadWave();
            ApplyGroupVolume(descr);
            try {
                sound = gDevice->PlayStatic(descr, nullptr, 0);
            } catch (...) {
                if (descr->GetFlags() & kDescrReleaseWaveAfterPlay) descr->FreeWaveData();
                throw;
            }
            if (descr->GetFlags() & kDescrReleaseWaveAfterPlay) descr->FreeWaveData();
        }
        if (!sound) return 0;  // no sound card
        const int handle = sound->GetHandle();
        if (descr->GetFlags() & kDescr3D) {
            if (source) {
                plat::ScopedLock lock(gDevice->Lock());
                if (Sound_t* live = gDevice->FindSound(handle)) {
                    gDevice->Apply3DParams(live, &descr->Params3D());
                    live->AttachTo3DSource(source, descr->Params3D().position, descr->Params3D().coneOrientation);
                }
            } else {
                gDevice->Set3DParamsByHandle(handle, &descr->Params3D());
            }
        }
        gDevice->PlayByHandle(handle, fadeInMs);
        return handle;
    } catch (...) {
        return 0;
    }
}

int PlaySound(const char* descrName, int fadeInMs, const Source3D_t* source) {
    if (!gDescrList || !descrName) return 0;
    SoundDescr_t* descr = gDescrList->Find(descrName);
    if (!descr) return 0;
    return PlayDescription(descr, fadeInMs, source);
}

int PlaySoundAs(const char* descrName, const char* waveName, int fadeInMs, const Source3D_t* source) {
    if (!gDescrList || !descrName) return 0;
    SoundDescr_t* descr = gDescrList->Find(descrName);
    if (!descr) return 0;
    if (waveName && *waveName) descr->SetWaveName(waveName);
    return PlayDescription(descr, fadeInMs, source);
}

bool PlayMusic(const char* waveName, int fadeInMs, int fadeOutMs) {
    if (!gDevice || !gDescrList) return false;
    RetireMusic(fadeOutMs);
    SoundDescr_t* descr = gDescrList->Find("Background");
    if (!descr) return false;
    if (gNoStreaming) descr->SetFlags(descr->GetFlags() & ~kDescrStreamed);
    descr->SetWaveName(waveName);
    return FinishMusicSwitch(PlayDescription(descr, fadeInMs, nullptr), waveName);
}

bool PlayMusicWithCallback(const char* descrName, const char* waveName, EndCallback_t callback, int argument) {
    if (!gDevice || !gDescrList) return false;
    RetireMusic(0);
    SoundDescr_t* descr = descrName ? gDescrList->Find(descrName) : nullptr;
    if (!descr) return false;
    if (gNoStreaming) descr->SetFlags(descr->GetFlags() & ~kDescrStreamed);
    descr->SetWaveName(waveName);
    const int handle = PlayDescription(descr, 0, nullptr);
    if (handle != 0 && callback) {
        {
            CallbackQueue& q = Callbacks();
            std::lock_guard<std::mutex> lock(q.mutex);
            q.registered[handle] = {callback, argument};
        }
        gDevice->SetEndCallbackByHandle(handle, &QueueEndCallback, 0);
    }
    return FinishMusicSwitch(handle, waveName);
}

int StopMusic(int fadeOutMs) {
    for (int* handle : {&gCurrentMusic, &gPreviousMusic}) {
        if (*handle != 0 && gDevice) {
            ForgetCallback(*handle);
            gDevice->SetEndCallbackByHandle(*handle, nullptr, 0);
            gDevice->StopByHandle(*handle, fadeOutMs, true);
        }
        *handle = 0;
    }
    return 0;
}

const char* GetCurrentMusicName() { return gCurrentMusicName.c_str(); }

SoundDevice_t* GetSoundDevice() { return gDevice; }
SoundDescrList_t* GetSoundDescrList() { return gDescrList; }
int GetCurrentMusicHandle() { return gCurrentMusic; }
int GetPreviousMusicHandle() { return gPreviousMusic; }

}  // namespace Sound
