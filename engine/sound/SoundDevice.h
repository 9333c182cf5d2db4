#pragma once

// The core of the engine's sound system: the mixer (with the sound card's output), the
// listener, the list of live sounds and the streaming thread. The thread wakes every
// 20 ms (volume fades), whenever a sound's notification event is set by the mixer
// (stream refills, the end of a static sound) and on a command (the list changed); it
// rebuilds its wait list from the sound list and deletes ended sounds that are marked
// delete-after-play.
//
// A device without a mixer is "no sound": every creation of a sound makes nothing (the
// out sound stays null), so every play answers handle 0, and nothing throws. This is what
// Start gives when no sound card can be opened.
//
// Locking: one re-entrant lock (Lock()) guards the sound list, every operation on a live
// sound and the wait list. Callers take it first; mixer calls are made under it; the
// mixer's own callback never takes it. End callbacks run under it (on the streaming
// thread for sounds that end by themselves).

#include <list>
#include <memory>
#include <thread>
#include <vector>

#include "engine/sound/Sound.h"
#include "engine/sound/SoundTypes.h"
#include "engine/storage/FileDescr.h"
#include "platform/Audio.h"
#include "platform/Event.h"
#include "platform/PeriodicTimer.h"
#include "platform/RecursiveLock.h"

namespace Sound {

class SoundDescr_t;

// The ring of a streamed sound: 8 chunks of 88200 bytes (half a second of 44.1 kHz 16-bit
// stereo each); the streaming thread refills one chunk per notification.
constexpr int kStreamChunkCount = 8;
constexpr uint32_t kStreamChunkBytes = 88200;

class SoundDevice_t {
public:
    SoundDevice_t();
    // Stop, then the events and the timer go.
    ~SoundDevice_t();
    SoundDevice_t(const SoundDevice_t&) = delete;
    SoundDevice_t& operator=(const SoundDevice_t&) = delete;

    // Opens the sound card (no sound when it cannot be opened) and starts the streaming
    // thread. `window` is not needed here. A cooperative level outside 1..4 throws
    // errSnd_e 2; a mixing format other than 1 or 2 channels, 8 or 16 bits, 8000 to
    // 192000 Hz throws 4. The thread is started last, after everything that can fail.
    void Start(void* window, int cooperativeLevel, int channels, int samplesPerSec, int bits);
    // As Start, on a mixer the caller pulls itself (null: no sound). Without `runThread`
    // no thread runs and the caller does the thread's work with ServicePending and
    // TimerTick, so that tests are deterministic.
    void StartOnMixer(std::shared_ptr<plat::audio::Mixer> mixer, int cooperativeLevel, int channels, int samplesPerSec,
                      int bits, bool runThread);
    // Ends the thread (when one was started) and deletes every sound; the device can be
    // started again. Safe to call more than once.
    void Stop();

    // Tells the thread that the sound list changed.
    void Wake();
    // A non-looping stream reached its end: end callback, ended, wake. Answers false.
    bool OnStreamEnded(Sound_t* sound);

    // By-handle operations; a handle that no live sound has does nothing (false).
    void PlayByHandle(int handle, int fadeInMs);
    void StopByHandle(int handle, int fadeOutMs, bool release);
    bool IsPlayingByHandle(int handle);
    void SetEndCallbackByHandle(int handle, EndCallback_t callback, int argument);
    // Null params or handle 0 throw errSnd_e 7.
    void Set3DParamsByHandle(int handle, const DS3DBUFFER* params);
    void Apply3DParams(Sound_t* sound, const DS3DBUFFER* params);
    // Marks every sound delete-after-play, then fades out (or, with 0 ms, stops) every
    // sound of `group`; group 5 means every sound not of group 2.
    void StopGroup(int group, int fadeOutMs);
    void SetGroupAttenuation(int group, int32_t attenuation);

    // A static sound over `size` bytes of wave data: a WAV file (kind 0, or any kind with
    // `raw` for a raw PCM block) or an Ogg Vorbis file (kind 1). The data is borrowed for
    // WAV and raw blocks (it is read while the sound is made and not afterwards) and
    // copied for Ogg. Without a mixer nothing is made. Throws errSnd_e: 7 null arguments
    // or another kind, 6 unreadable data, 9 no samples, 22 a voice the mixer refuses.
    void CreateStaticSound(int group, Sound_t** out, const void* data, unsigned size, int kind, uint32_t flags,
                           bool loop, bool deleteAfterPlay, bool raw);
    // A streamed sound over an open storage file, which it takes over (also when it
    // throws or makes nothing): `chunkCount` chunks of `chunkSize` bytes. Errors as
    // above; a source without samples is refused with 9, looping or not.
    void CreateStreamingSound(int group, Sound_t** out, FileDescr_t* file, int kind, uint32_t flags, int chunkCount,
                              uint32_t chunkSize, bool loop, bool deleteAfterPlay);
    // Appends a made sound to the list (taking it) and wakes the thread.
    void AddSound(Sound_t* sound);

    // A sound made from a description and appended to the list, stopped at position 0,
    // with the description's volume and group attenuation; null without a mixer. Errors
    // are thrown as by the Create functions. A static sound plays the description's
    // cached wave data (which it does not keep) and gets the end callback; a streamed
    // one takes over `file` (also when it throws) and, when 3-D, gets the description's
    // 3-D parameters at once.
    Sound_t* PlayStatic(SoundDescr_t* descr, EndCallback_t callback, int argument);
    Sound_t* PlayStreamed(SoundDescr_t* descr, FileDescr_t* file);

    // True when sounds can be made (a mixer is present).
    bool HasAudio() const { return mMixer != nullptr; }
    plat::audio::Mixer* GetMixer() const { return mMixer.get(); }
    plat::RecursiveLock& Lock() { return mLock; }
    const DS3DLISTENER& GetListenerParams() const { return mListenerParams; }
    // The live sound with this handle, or null (call under the lock).
    Sound_t* FindSound(int handle);
    size_t GetSoundCount();
    bool IsThreadRunning() const { return mThreadStarted; }

    // The thread's work, for a device started without thread: handles every event of the
    // wait list that is set (a command, a sound's notification) until none is left.
    // Answers how many were handled.
    int ServicePending();
    // One 20 ms refill tick: a step of every running fade.
    void TimerTick();

private:
    void StartCommon(std::shared_ptr<plat::audio::Mixer> mixer, std::unique_ptr<plat::audio::Output> output,
                     int cooperativeLevel, int channels, int samplesPerSec, int bits, bool runThread);
    void ThreadMain();
    // Handles wait-list entry `index` (1 command, 2 timer, 3.. a sound) under the lock.
    void HandleSignal(size_t index, NotifyEvent_t* owner);
    void RebuildWaitList();
    void DeleteAllSounds();

    std::shared_ptr<plat::audio::Mixer> mMixer;
    std::unique_ptr<plat::audio::Output> mOutput;
    DS3DLISTENER mListenerParams;

    std::thread mThread;
    bool mThreadStarted = false;

    // Parallel: the events to wait on and, for sounds, their notification records.
    // Entry 0 the stop event, 1 the command event, 2 the refill timer.
    std::vector<plat::Event*> mWaitEvents;
    std::vector<NotifyEvent_t*> mWaitOwners;
    std::list<Sound_t*> mSounds;  // owned, in creation order

    plat::Event mStopEvent{true, false};
    plat::Event mDoneEvent{true, false};
    plat::Event mCommandEvent{true, false};
    plat::PeriodicTimer mRefillTimer;
    plat::RecursiveLock mLock;
};

}  // namespace Sound
