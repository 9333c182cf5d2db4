#pragma once

// One playing sound of the engine's sound system: a mixer voice that holds all of the
// sound's PCM (a static sound), its wave source, and the state the streaming thread works
// on: the volume (the description's attenuation plus the group's, in hundredths of a
// decibel, limited to -9000..0 on the voice), a fade in 20 ms steps, an end callback that
// fires at most once per setting, and a notification event through which the mixer wakes
// the streaming thread when the sound stops.
//
// Sounds are made by SoundDevice_t (CreateStaticSound), live in its list and are deleted
// by it. Every operation runs under the device's lock: the main thread reaches sounds
// through the device's by-handle operations, the streaming thread runs Update and
// OnNotify. Handles are 1, 2, 3, ... in creation order over the whole program; 0 is none.

#include <cstdint>
#include <memory>

#include "engine/sound/SoundTypes.h"
#include "engine/sound/WaveFile.h"
#include "platform/Audio.h"
#include "platform/Event.h"

namespace Sound {

class Sound_t;
class SoundDevice_t;

// The notification record of a sound: a manual-reset event the mixer sets, and the sound
// the streaming thread hands it to.
struct NotifyEvent_t {
    plat::Event event{true, false};
    Sound_t* owner = nullptr;
};

// Called with the sound's handle and the argument given with the callback.
using EndCallback_t = void (*)(int handle, int argument);

// A 3-D object a sound can follow: its transform places the sound's local position and
// cone orientation in the world (row vectors, see Transform3D.h).
class Source3D_t {
public:
    virtual ~Source3D_t() = default;
    virtual const Math::Matrix_t& GetTransform() const = 0;
};

// Fades step every 20 ms (one refill tick); volumes run from kFadeFloor up or down to it.
constexpr int kFadeStepMs = 20;
constexpr int32_t kFadeFloor = -9000;

class Sound_t {
public:
    // Takes the voice, the source and the notification record. With a voice the whole
    // voice is filled from the source (looping it when `loop`) and the cursor set to 0.
    Sound_t(int group, SoundDevice_t* device, std::unique_ptr<plat::audio::Voice> buffer, uint32_t bufferSize,
            std::unique_ptr<WaveFile_t> source, std::unique_ptr<NotifyEvent_t> notify, bool loop, bool deleteAfterPlay);
    virtual ~Sound_t();
    Sound_t(const Sound_t&) = delete;
    Sound_t& operator=(const Sound_t&) = delete;

    // Starts the sound from its present position; with a fade-in it rises from -9000 to
    // its volume in fadeInMs / 20 steps (at least one).
    virtual void Play(int fadeInMs);
    // Stops (the cursor stays), fires the end callback, marks the sound ended and wakes
    // the streaming thread.
    virtual void Stop();
    virtual void Pause();
    virtual void Resume();
    virtual void Rewind();
    virtual NotifyEvent_t* GetNotifyEvent() { return mNotify.get(); }
    // The stop notification of a static sound: stops and rewinds it. Answers whether the
    // streaming thread must rebuild its wait list (never for a static sound).
    virtual bool OnNotify();
    virtual void SetEndCallback(EndCallback_t callback, int argument);
    virtual void FireEndCallback();
    // Falls from the present volume to -9000 in fadeOutMs / 20 steps, then stops.
    virtual void FadeOut(int fadeOutMs);
    // One 20 ms tick of a running fade. The step count's tick sets exactly the target;
    // the tick after it ends the fade (and stops the sound after a fade-out), answering
    // true so that the thread rebuilds its wait list.
    virtual bool Update(int elapsedMs);
    virtual unsigned GetDurationMs();
    virtual bool IsStreaming() const { return false; }

    void SetVolume(int32_t attenuation, bool apply);
    // During a fade-out only stores the value; a running fade-in is cancelled.
    void SetGroupVolume(int32_t attenuation, bool apply);
    void SetPositionMs(unsigned ms);
    // The voice for 3-D settings; throws errSnd_e 8 without a voice, 23 when the voice
    // has no 3-D control.
    plat::audio::Voice* Get3DBuffer();
    // Follows `source`: the local position (as a point) and cone orientation (as a
    // direction) go through the source's transform to the voice's 3-D parameters.
    void AttachTo3DSource(const Source3D_t* source, const Math::Vector_t& localPosition,
                          const Math::Vector_t& localConeOrientation);

    // The volume given to the voice: volume + group attenuation within -9000..0.
    int32_t LimitedVolume() const;
    int GetHandle() const { return mHandle; }
    int GetGroup() const { return mGroup; }
    bool IsEnded() const { return mEnded; }
    // For a sound that stopped by itself (the end of a stream).
    void MarkEnded() { mEnded = true; }
    bool IsLooping() const { return mLoop; }
    bool IsDeleteAfterPlay() const { return mDeleteAfterPlay; }
    void SetDeleteAfterPlay(bool on) { mDeleteAfterPlay = on; }
    bool IsFading() const { return mFading; }
    int32_t GetCurrentVolume() const { return mCurrentVolume; }
    plat::audio::Voice* GetBuffer() const { return mBuffer.get(); }
    WaveFile_t* GetSource() const { return mSource.get(); }

protected:
    // The voice cannot be lost on this platform; this only checks that there is one.
    void EnsureRestored(bool& restored);
    // Writes the whole voice from the rewound source, looping it or padding silence.
    void FillBuffer(bool loop);
    // Fills `bytes` bytes at `out` from the source: a looping sound rewinds and reads on,
    // any other pads silence. Answers false when the source ended before the
    // bytes were full. Failures throw errSnd_e with the given codes.
    bool ReadLooped(uint8_t* out, uint32_t bytes, bool loop, unsigned firstReadError, unsigned rewindError,
                    unsigned laterReadError);
    uint8_t SilenceByte() const;
    void SetBufferVolume(int32_t volume);
    void StartFade(int ms, int32_t from, int32_t target, bool stopAfter);
    // The start of a play: a fade up from the floor over `fadeInMs` (none for 0 or less,
    // then the volume at once), the sound no longer ended or paused, the voice's volume
    // set. The voice itself is started by the caller.
    void StartPlayVolume(int fadeInMs);

    std::unique_ptr<plat::audio::Voice> mBuffer;
    uint32_t mBufferSize;
    std::unique_ptr<WaveFile_t> mSource;
    bool mLoop;
    bool mDeleteAfterPlay;
    std::unique_ptr<NotifyEvent_t> mNotify;
    SoundDevice_t* mDevice;
    EndCallback_t mEndCallback = nullptr;
    int mEndArgument = 0;
    int32_t mVolume = 0;
    int32_t mGroupAttenuation = 0;
    int mGroup;
    bool mEnded = false;
    bool mFading = false;
    bool mStopAfterFade = false;
    bool mPaused = false;
    int mFadeSteps = 0;
    int mFadeCounter = 0;
    int32_t mCurrentVolume = 0;
    int32_t mFadeStep = 0;
    int32_t mFadeTarget = 0;
    const Source3D_t* mSource3D = nullptr;
    Math::Vector_t mLocalPosition{0, 0, 0};
    Math::Vector_t mLocalConeOrientation{0, 0, 1};
    int mHandle;
};

}  // namespace Sound
