#pragma once

#include <string>

namespace Velm {

// One playing (or ready) copy of a loaded sound effect, in one of the manager's channels.
// Callers never delete an instance: they call Release when done (or play it with
// auto-release), and the manager deletes released instances when it reuses their channel.
class SoundInstance {
public:
    virtual ~SoundInstance() = default;
    // Stops, then marks the instance released.
    virtual void Release() = 0;
    // Volume factors (1 = as recorded) and pans (-10000 full left .. 10000 full right);
    // the base values come from the sound's id, the others from the caller.
    virtual void SetBaseVolume(double baseVolume) = 0;
    virtual void SetBasePan(int basePan) = 0;
    // Plays `semitones` higher (or lower) than recorded.
    virtual void AdjustPitch(double semitones) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    // Plays from the start; with autoRelease the instance releases itself once finished.
    virtual bool Play(bool looping, bool autoRelease) = 0;
    // Stops, rewinds and clears auto-release.
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Releases a finished auto-release instance first.
    virtual bool IsReleased() = 0;
    virtual double GetVolume() = 0;
};

// The framework's sound-effect manager: sounds loaded under ids 0..255, each played
// through new instances in up to 32 channels. Main thread only (loading may run on the
// loading thread, one id per call).
class SoundManager {
public:
    virtual ~SoundManager() = default;
    // Sound output is available.
    virtual bool Initialized() = 0;
    // The id already loaded from this name (exact match), else the highest free id loaded
    // from it; -1 when no id is free or loading fails.
    virtual int FindOrLoadSound(const std::string& fileName) = 0;
    // Loads the file (name without extension) under an id 0..255, releasing what the id
    // held; false when the id is out of range or no form of the file could be read. A
    // manager without sound output loads nothing, keeps the id free and returns true.
    virtual bool LoadSound(unsigned int soundId, const std::string& fileName) = 0;
    // Frees the sound of the id, if any.
    virtual void ReleaseSound(unsigned int soundId) = 0;
    // The volume factor of every sound effect, 0..1.
    virtual void SetVolume(double volume) = 0;
    // Volume factor and pan of instances made later; false when the id is out of range.
    virtual bool SetBaseVolume(unsigned int soundId, double baseVolume) = 0;
    virtual bool SetBasePan(unsigned int soundId, int panning) = 0;
    // A new instance of a loaded sound in a free channel, or null.
    virtual SoundInstance* GetSoundInstance(int soundId) = 0;
    // Frees every loaded sound (the names stay).
    virtual void ReleaseSounds() = 0;
    // Deletes every channel's instance.
    virtual void ReleaseChannels() = 0;
    // The program's overall output volume, 0..1.
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    // The application's window was made again.
    virtual void SetCooperativeWindow(void* window, bool windowed) = 0;
    // Stops every channel's instance; auto-release instances are reclaimed later.
    virtual void StopAllSounds() = 0;
    // The lowest id that holds no sound, or -1 when all are in use.
    virtual int GetFreeSoundId() = 0;
    virtual int GetNumSounds() = 0;
};

}  // namespace Velm
