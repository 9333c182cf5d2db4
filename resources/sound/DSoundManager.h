#pragma once

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

    void SetVolume(double volume) override;
    double GetMasterVolume() override;
    void SetMasterVolume(double volume) override;
    SoundInstance* GetSoundInstance(int soundId) override;
    int GetNumSounds() override;
    void StopAllSounds() override;

    bool HasSound() const { return mHasSound; }
    double GetVolume() const { return mVolume; }

private:
    bool mHasSound;
    bool mUseDecoder;
    double mVolume;
    double mMasterVolume;
};

} // namespace Velm
