#pragma once

// The music back-end for samples, on our MusicLibrary: a song is a sample decoded from an
// Ogg Vorbis file and kept, converted, as a plain WAV file in the per-user cache
// ("cached/" + the file's own name + ".wav", so equal names in different folders share
// one cache file); the cache is used whenever it exists. A sample may have an intro that
// plays once before its loop part repeats (LoadSampleWithIntro). LoadMusic loads a tracker
// module (read from the disk by name) streamed as it plays; its play offset is the order
// it starts at.
//
// Song volumes (0..1) are scaled by the music volume; fades step once per Update as in
// BassMusicInterface. Unloading, pausing or resuming every song, the cap setter and
// amplification do nothing on this back-end. Main thread only.

#include <memory>
#include <string>

#include "resources/sound/MusicInterface.h"
#include "resources/sound/MusicLibrary.h"
#include "resources/sound/MusicSongTable.h"

namespace Velm {

struct FModSongRecord {
    MusicLibrary::Channel sample = 0;  // 0 for a module
    MusicLibrary::Channel module = 0;  // 0 for a sample
    MusicFade fade;
    bool loop = false;

    MusicLibrary::Channel Handle() const { return module != 0 ? module : sample; }
};

class FModMusicInterface : public MusicInterface {
public:
    // On the shared library; the window is not needed.
    explicit FModMusicInterface(void* window);
    explicit FModMusicInterface(std::shared_ptr<MusicLibrary> library);
    ~FModMusicInterface() override;

    bool LoadMusic(int songId, const std::string& fileName) override;
    void PlayMusic(int songId, int offset = 0, bool noLoop = false) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) override;
    void FadeOut(int songId, bool stopWhenSilent = true, double speed = 0.004) override;
    void FadeOutAll(bool stopWhenSilent = true, double speed = 0.004) override;
    void SetSongVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double volume) override;
    void Update() override;

    // `introName` and `loopName` without extension; both must decode to the same format.
    virtual bool LoadSampleWithIntro(int songId, const std::string& introName, const std::string& loopName, bool loop);
    // `fileName` without extension.
    virtual bool LoadSample(int songId, const std::string& fileName, bool loop);
    // The sample of `fileName` (without extension) from the cache, else decoded from
    // fileName + ".ogg" and written to the cache; 0 when neither loads.
    MusicLibrary::Channel LoadCachedSample(const std::string& fileName);
    // Where LoadCachedSample keeps the sample; "" when no per-user folder is set (then
    // nothing is cached).
    static std::string CachePath(const std::string& fileName);

    const FModSongRecord* GetSong(int songId) const;
    MusicLibrary& Library() { return *mLibrary; }

private:
    FModSongRecord* Find(int songId);
    void SendVolume(const FModSongRecord& song);

    std::shared_ptr<MusicLibrary> mLibrary;
    MusicSongTable<FModSongRecord> mSongs;  // declared after the library: freed before it
    double mMusicVolume = 1.0;
    int mModuleVolumeScale = 100;
    int mSampleVolumeScale = 100;
};

}  // namespace Velm
