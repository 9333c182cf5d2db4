// Volumes, the mute count and the framework's sound objects.

#include "app/VelmAppBase.h"
#include "resources/sound/BassMusicInterface.h"
#include "resources/sound/FModMusicInterface.h"
#include "resources/sound/MusicInterface.h"
#include "resources/sound/SoundManager.h"

namespace Velm {

double VelmAppBase::GetMusicVolume() { return mMusicVolume; }

double VelmAppBase::GetSfxVolume() { return mSfxVolume; }

bool VelmAppBase::IsMuted() { return mMuteCount > 0; }

void VelmAppBase::SetMusicVolume(double volume) {
    mMusicVolume = volume;
    if (mMusicInterface != nullptr) mMusicInterface->SetVolume(mMuteCount > 0 ? 0.0 : volume);
}

void VelmAppBase::SetSfxVolume(double volume) {
    mSfxVolume = volume;
    if (mSoundManager != nullptr) mSoundManager->SetVolume(mMuteCount > 0 ? 0.0 : volume);
}

double VelmAppBase::GetMasterVolume() { return mSoundManager != nullptr ? mSoundManager->GetMasterVolume() : 0.0; }

void VelmAppBase::SetMasterVolume(double volume) {
    if (mSoundManager != nullptr) mSoundManager->SetMasterVolume(volume);
}

void VelmAppBase::ApplyVolumes() {
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

void VelmAppBase::Mute(bool automatic) {
    ++mMuteCount;
    if (automatic) ++mAutoMuteCount;
    ApplyVolumes();
}

void VelmAppBase::Unmute(bool automatic) {
    if (mMuteCount > 0) {
        --mMuteCount;
        if (automatic) --mAutoMuteCount;
    }
    ApplyVolumes();
}

void VelmAppBase::PlaySample(int id) {
    if (mSoundManager == nullptr) return;
    SoundInstance* instance = mSoundManager->GetSoundInstance(id);
    if (instance != nullptr) instance->Play(false, true);
}

void VelmAppBase::PlaySample(int id, int pan) {
    if (mSoundManager == nullptr) return;
    SoundInstance* instance = mSoundManager->GetSoundInstance(id);
    if (instance != nullptr) {
        instance->SetPan(pan);
        instance->Play(false, true);
    }
}

MusicInterface* VelmAppBase::CreateMusicInterface(void* window) {
    // With no sound the silent base; the sample player with the decoder flag, else the
    // stream player.
    if (mNoSoundNeeded) return new MusicInterface();
    if (mUseAltMusicLibrary) return new FModMusicInterface(window);
    return new BassMusicInterface(window);
}

}  // namespace Velm
