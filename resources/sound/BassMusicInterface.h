#pragma once

// The music back-end for streams and tracker modules, on our MusicLibrary (the sound
// card's output). Streams ("wav", "ogg", "mp3") are read from the disk by name; any other
// extension is a tracker module (MOD, S3M, XM, IT, ...), read whole through the resource
// pack. Both are decoded a chunk at a time as they play. A module's play offset names the
// order it starts at (its low 16 bits). A song that does not load is reported on the debug
// log and LoadMusic answers false.
//
// Each song has a volume (0..1), a fade step added to it on every Update (per update,
// not per second), a cap (the ceiling of fades and the volume a plain play starts at)
// and a flag to stop it once a fade-out reaches silence. Main thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "resources/sound/MusicInterface.h"
#include "resources/sound/MusicLibrary.h"
#include "resources/sound/MusicSongTable.h"

namespace Velm {

struct BassSongRecord {
    MusicLibrary::Channel module = 0;  // 0 for a stream
    MusicLibrary::Channel stream = 0;  // 0 for a module
    MusicFade fade;                    // volume 0 at load, cap 1

    MusicLibrary::Channel Handle() const { return module != 0 ? module : stream; }
};

class BassMusicInterface : public MusicInterface {
public:
    // On the shared library; the window is not needed.
    explicit BassMusicInterface(void* window);
    // On a given library (tests).
    explicit BassMusicInterface(std::shared_ptr<MusicLibrary> library);
    ~BassMusicInterface() override;

    bool LoadMusic(int songId, const std::string& fileName) override;
    void PlayMusic(int songId, int offset = 0, bool noLoop = false) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void UnloadMusic(int songId) override;
    void UnloadAllMusic() override;
    void PauseAllMusic() override;
    void ResumeAllMusic() override;
    void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) override;
    void FadeOut(int songId, bool stopWhenSilent = true, double speed = 0.004) override;
    void FadeOutAll(bool stopWhenSilent = true, double speed = 0.004) override;
    void SetSongVolume(int songId, double volume) override;
    void SetSongMaxVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double volume) override;
    void SetMusicAmplify(int songId, double amplify) override;
    void Update() override;

    const BassSongRecord* GetSong(int songId) const;
    MusicLibrary& Library() { return *mLibrary; }

private:
    BassSongRecord* Find(int songId);
    void SendVolume(const BassSongRecord& song);
    // Starts a stream from `offset` (-1: where it stands), looping unless `noLoop`.
    void StartStream(const BassSongRecord& song, int offset, bool noLoop);
    // Starts a module from the start of order `offset & 0xFFFF`.
    void PlayModuleAt(const BassSongRecord& song, int offset, bool noLoop);
    // A play or a fade-in's start; a fade-in of a module with offset -1 restarts it.
    void Start(const BassSongRecord& song, int offset, bool noLoop, bool fadingIn);

    std::shared_ptr<MusicLibrary> mLibrary;
    MusicSongTable<BassSongRecord> mSongs;  // declared after the library: freed before it
};

}  // namespace Velm
