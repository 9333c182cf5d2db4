#pragma once

#include <string>

#include "resources/sound/SoundManager.h"

namespace Velm {

// The framework's sound-effect manager. Made without a window it produces no
// sound: nothing loads and every play is refused, which is how the game runs
// it (the game plays its sounds through the engine's sound system).
class DSoundManager : public SoundManager {
public:
    // window: the main window, or null for the silent manager.
    DSoundManager(void* window, bool useDecoder);
    ~DSoundManager() override;

    bool LoadSound(unsigned int soundId, const std::string& fileName) override;
    void ReleaseSound(unsigned int soundId) override;
    bool SetBaseVolume(unsigned int soundId, double baseVolume) override;
    bool SetBasePan(unsigned int soundId, int panning) override;
    int GetFreeSoundId() override;
    void SetVolume(double volume) override;
    double GetMasterVolume() override;
    void SetMasterVolume(double volume) override;
    SoundInstance* GetSoundInstance(int soundId) override;
    int GetNumSounds() override;
    void StopAllSounds() override;

    bool HasSound() const { return mHasSound; }
    double GetVolume() const { return mVolume; }

private:
    static const int kMaxSounds = 256;

    bool mHasSound;
    // Per id: whether it holds a loaded sound, the name it was loaded from,
    // and the base volume and pan of its instances.
    bool mLoaded[kMaxSounds] = {};
    std::string mFileNames[kMaxSounds];
    double mBaseVolumes[kMaxSounds];
    int mBasePans[kMaxSounds] = {};
    bool mUseDecoder;
    double mVolume;
    double mMasterVolume;
};

} // namespace Velm
