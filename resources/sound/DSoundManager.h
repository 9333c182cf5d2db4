#pragma once

// The framework's sound-effect manager on our plat::audio mixer. Up to 256 sounds are
// loaded, each into one voice that holds all of its PCM, and played through up to 32
// channels, each a DSoundInstance over a duplicate of a loaded voice (sharing its
// samples) with its own volume, pan and pitch.
//
// Loading a sound (name without extension) tries, in order: the per-user cache
// (GetAppDataFolder() + "cached\" + name + ".wav", only for relative names and only when
// the per-user folder is set), name + ".wav", then with the decoder name + ".mp3" (not
// supported, always skipped) and name + ".ogg", then name + ".au" (Sun audio, 8-bit
// mu-law or linear). A sound that had to be decoded or converted is written to the cache.
// WAV, cache and AU files are read through the resource pack; the decoder and the cache
// writer use the disk.
//
// Cached file: a RIFF WAVE file with a 16-byte "fmt " chunk, a "dep " chunk (u16 length n,
// the n bytes of the source file's name, the source's last-write time as a FILETIME:
// 100 ns units since 1601, u32 low then u32 high), a one-byte "xor " chunk (the key 0x9D)
// and "data", every byte XOR-ed with the key. The RIFF size is data size + 36; the "dep "
// and "xor " chunks are written without pad bytes even when odd. The cache is stale, and
// is rebuilt, once the source's last-write time differs.
//
// Volumes: an instance's attenuation is trunc((log10(9 v + 1) - 1) x 2333) hundredths
// of a decibel, v = effects volume x instance volume x base volume, silence below -2000.
// The master volume (what was the system's wave-out volume) is a gain over all of this
// manager's sounds. Made without a window (or without a sound card) the manager is
// silent: nothing loads, LoadSound succeeds, instances are silent.
//
// Main thread, except that sounds may be loaded on the loading thread, one id per call.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Audio.h"
#include "resources/sound/MusicLibrary.h"
#include "resources/sound/SoundManager.h"

namespace Velm {

class DSoundManager;

class DSoundInstance : public SoundInstance {
public:
    // Duplicates `source` (null: a silent instance without a voice).
    DSoundInstance(DSoundManager* manager, const plat::audio::Voice* source);
    ~DSoundInstance() override;
    DSoundInstance(const DSoundInstance&) = delete;
    DSoundInstance& operator=(const DSoundInstance&) = delete;

    void Release() override;
    void SetBaseVolume(double baseVolume) override;
    void SetBasePan(int basePan) override;
    void AdjustPitch(double semitones) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override { return mVolume; }

    // Gives the voice the attenuation of the present factors.
    void ApplyVolume();
    // Stops and rewinds like Stop, keeping the auto-release flag.
    void Halt();
    plat::audio::Voice* GetBuffer() const { return mBuffer.get(); }
    bool IsAutoRelease() const { return mAutoRelease; }

private:
    DSoundManager* mManager;
    std::unique_ptr<plat::audio::Voice> mBuffer;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    int mBasePan = 0;
    double mBaseVolume = 1.0;
    int mPan = 0;
    double mVolume = 1.0;
    uint32_t mBaseFrequency = 44100;
};

class DSoundManager : public SoundManager {
public:
    static constexpr int kMaxSounds = 256;
    static constexpr int kMaxChannels = 32;
    // The key of a cached file's "xor " chunk (the resource pack's key).
    static constexpr uint8_t kCacheKey = 0x9D;

    // window: the main window, or null for the silent manager. With a window the manager
    // plays on the sound card's output, shared with the music back-ends.
    DSoundManager(void* window, bool useDecoder);
    // On a mixer the caller pulls (tests); null is the silent manager.
    DSoundManager(std::shared_ptr<plat::audio::Mixer> mixer, bool useDecoder);
    ~DSoundManager() override;
    DSoundManager(const DSoundManager&) = delete;
    DSoundManager& operator=(const DSoundManager&) = delete;

    bool Initialized() override { return mMixer != nullptr; }
    int FindOrLoadSound(const std::string& fileName) override;
    bool LoadSound(unsigned int soundId, const std::string& fileName) override;
    void ReleaseSound(unsigned int soundId) override;
    void SetVolume(double volume) override;
    bool SetBaseVolume(unsigned int soundId, double baseVolume) override;
    bool SetBasePan(unsigned int soundId, int panning) override;
    SoundInstance* GetSoundInstance(int soundId) override;
    void ReleaseSounds() override;
    void ReleaseChannels() override;
    double GetMasterVolume() override { return mMasterVolume; }
    void SetMasterVolume(double volume) override;
    void SetCooperativeWindow(void* window, bool windowed) override;
    void StopAllSounds() override;
    int GetFreeSoundId() override;
    int GetNumSounds() override;

    bool HasSound() const { return mMixer != nullptr; }
    double GetVolume() const { return mEffectsVolume; }
    // Attenuation in hundredths of a decibel of an instance volume factor v (already
    // multiplied out); -10000 below -2000.
    static int32_t AttenuationFromVolume(double v);
    // The master gain in hundredths of a decibel, added to every instance's attenuation.
    int32_t MasterAttenuation() const;

    // The loading steps; each answers whether the id now holds the sound.
    bool ReadWavFile(unsigned int soundId, const std::string& path);
    bool ReadAuFile(unsigned int soundId, const std::string& path);
    bool LoadWithDecoder(unsigned int soundId, const std::string& path);
    // Writes the id's sound to the cache file (nothing for an empty path); failures only
    // leave no cache file.
    void WriteCachedWav(unsigned int soundId, const std::string& cachePath, const std::string& sourceName);
    // The file's last-write time as a FILETIME, read from the disk; 0 when it is missing.
    static uint64_t GetSourceFileTime(const std::string& name);
    // The cache path of a sound name; "" for names that are not cached.
    static std::string CachePath(const std::string& name);

    const plat::audio::Voice* GetSoundBuffer(unsigned int soundId) const;
    int GetDataSize(unsigned int soundId) const;
    const std::string& GetSoundFileName(unsigned int soundId) const;
    SoundInstance* GetChannel(int channel) const;

private:
    friend class DSoundInstance;
    // A free channel (after sweeping finished instances at most once a second), or -1.
    int FindFreeChannel();
    void ReleaseFinishedChannels();
    // Makes the voice of an id from PCM; false when the mixer refuses the format.
    bool StoreSound(unsigned int soundId, uint16_t channels, uint32_t rate, uint16_t bits, const uint8_t* pcm,
                    uint32_t bytes);
    plat::audio::Mixer* Mixer() const { return mMixer.get(); }

    std::shared_ptr<MusicLibrary> mLibrary;  // holds the sound card's output
    std::shared_ptr<plat::audio::Mixer> mMixer;
    std::unique_ptr<plat::audio::Voice> mSoundBuffers[kMaxSounds];
    std::string mFileNames[kMaxSounds];
    int32_t mDataSizes[kMaxSounds] = {};
    double mBaseVolumes[kMaxSounds];
    int32_t mBasePans[kMaxSounds] = {};
    DSoundInstance* mChannels[kMaxChannels] = {};
    double mEffectsVolume = 1.0;
    uint64_t mLastSweepMs = 0;
    bool mUseDecoder;
    double mMasterVolume = 1.0;
};

}  // namespace Velm
