#include "resources/sound/DSoundManager.h"

namespace Velm {

DSoundManager::DSoundManager(void* window, bool useDecoder)
    : mHasSound(window != nullptr), mUseDecoder(useDecoder), mVolume(1.0), mMasterVolume(1.0)
{
    // No output device is opened by this manager yet: it loads no sounds, so
    // even with a window every play is refused.
    mHasSound = false;
}

DSoundManager::~DSoundManager() {}

void DSoundManager::SetVolume(double volume) { mVolume = volume; }

double DSoundManager::GetMasterVolume() { return mMasterVolume; }

void DSoundManager::SetMasterVolume(double volume) { mMasterVolume = volume; }

SoundInstance* DSoundManager::GetSoundInstance(int) { return nullptr; }

int DSoundManager::GetNumSounds() { return 0; }

void DSoundManager::StopAllSounds() {}

} // namespace Velm
