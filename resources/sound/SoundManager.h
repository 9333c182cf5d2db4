#pragma once

#include <string>

namespace Velm {

// One playing (or ready) copy of a loaded sound effect.
class SoundInstance {
public:
    virtual ~SoundInstance() = default;
    // Pan added to the instance's base pan (-10000 full left .. 10000 full right).
    virtual void SetPan(int pan) = 0;
    // Plays from the start; with autoRelease the instance frees itself when done.
    virtual bool Play(bool looping, bool autoRelease) = 0;
};

// The framework's sound-effect manager: sounds loaded under ids 0..255, each
// played through new instances. Main thread only.
class SoundManager {
public:
    virtual ~SoundManager() = default;
    // Loads the file (name without extension) under an id 0..255, releasing
    // what the id held; false when the id is out of range or no form of the
    // file could be read. A manager without sound output loads nothing, keeps
    // the id free and returns true.
    virtual bool LoadSound(unsigned int soundId, const std::string& fileName) = 0;
    // Frees the sound of the id, if any.
    virtual void ReleaseSound(unsigned int soundId) = 0;
    // Volume factor (1 = as recorded) and pan of instances made later; false
    // when the id is out of range.
    virtual bool SetBaseVolume(unsigned int soundId, double baseVolume) = 0;
    virtual bool SetBasePan(unsigned int soundId, int panning) = 0;
    // The lowest id that holds no sound, or -1 when all are in use.
    virtual int GetFreeSoundId() = 0;
    // The master volume of every sound effect, 0..1.
    virtual void SetVolume(double volume) = 0;
    // The program's overall output volume, 0..1.
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    // A new playable instance of a loaded sound in a free channel, or null.
    virtual SoundInstance* GetSoundInstance(int soundId) = 0;
    virtual int GetNumSounds() = 0;
    virtual void StopAllSounds() = 0;
};

} // namespace Velm
