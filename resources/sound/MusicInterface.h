#pragma once

#include <string>

namespace Velm {

// The framework's music back-end. Songs are loaded under integer ids and then
// played, paused, faded and stopped by id; Update runs the fades once per
// game update. This base class is the silent back-end: every operation does
// nothing, which is what the application creates when sound is switched off.
// Main thread only.
class MusicInterface {
public:
    MusicInterface() = default;
    virtual ~MusicInterface() = default;

    virtual bool LoadMusic(int songId, const std::string& fileName);
    virtual void PlayMusic(int songId, int offset = 0, bool noLoop = false);
    virtual void StopMusic(int songId);
    virtual void PauseMusic(int songId);
    virtual void ResumeMusic(int songId);
    virtual void StopAllMusic();
    virtual void UnloadMusic(int songId);
    virtual void UnloadAllMusic();
    virtual void PauseAllMusic();
    virtual void ResumeAllMusic();
    virtual void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false);
    virtual void FadeOut(int songId, bool stopWhenSilent = true, double speed = 0.004);
    virtual void FadeOutAll(bool stopWhenSilent = true, double speed = 0.004);
    virtual void SetSongVolume(int songId, double volume);
    virtual void SetSongMaxVolume(int songId, double volume);
    virtual bool IsPlaying(int songId);
    // The music volume, 0..1.
    virtual void SetVolume(double volume);
    virtual void SetMusicAmplify(int songId, double amplify);
    virtual void Update();
};

}  // namespace Velm
