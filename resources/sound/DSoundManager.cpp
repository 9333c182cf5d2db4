#include "resources/sound/DSoundManager.h"

namespace Velm {

DSoundManager::DSoundManager(void* window, bool useDecoder)
    : mHasSound(window != nullptr), mUseDecoder(useDecoder), mVolume(1.0), mMasterVolume(1.0)
{
    // No output device is opened by this manager yet: it loads no sounds, so
    // even with a window every play is refused.
    mHasSound = false;
    for (double& volume : mBaseVolumes) volume = 1.0;
}

bool DSoundManager::LoadSound(unsigned int soundId, const std::string& fileName) {
    if (soundId >= static_cast<unsigned int>(kMaxSounds)) return false;
    ReleaseSound(soundId);
    // Without an output device nothing is loaded and the id stays free.
    // Reading sound files comes with the output device.
    if (!mHasSound) return true;
    mFileNames[soundId] = fileName;
    return false;
}

void DSoundManager::ReleaseSound(unsigned int soundId) {
    if (soundId >= static_cast<unsigned int>(kMaxSounds) || !mLoaded[soundId]) return;
    mLoaded[soundId] = false;
    mFileNames[soundId].clear();
}

bool DSoundManager::SetBaseVolume(unsigned int soundId, double baseVolume) {
    if (soundId >= static_cast<unsigned int>(kMaxSounds)) return false;
    mBaseVolumes[soundId] = baseVolume;
    return true;
}

bool DSoundManager::SetBasePan(unsigned int soundId, int panning) {
    if (soundId >= static_cast<unsigned int>(kMaxSounds)) return false;
    mBasePans[soundId] = panning;
    return true;
}

int DSoundManager::GetFreeSoundId() {
    for (int id = 0; id < kMaxSounds; ++id) {
        if (!mLoaded[id]) return id;
    }
    return -1;
}

DSoundManager::~DSoundManager() {}

void DSoundManager::SetVolume(double volume) { mVolume = volume; }

double DSoundManager::GetMasterVolume() { return mMasterVolume; }

void DSoundManager::SetMasterVolume(double volume) { mMasterVolume = volume; }

SoundInstance* DSoundManager::GetSoundInstance(int) { return nullptr; }

int DSoundManager::GetNumSounds() {
    int count = 0;
    for (bool loaded : mLoaded) count += loaded ? 1 : 0;
    return count;
}

void DSoundManager::StopAllSounds() {}

} // namespace Velm
