#pragma once

// The engine sound API: the only way the game reaches the sound system. Sounds are played
// by the name of their description (SoundDescr.h) and addressed afterwards by an integer
// handle, 0 meaning "nothing plays". Music is one description ("Background") switched
// with a cross-fade.
//
// Volume types and groups: 0 Dialog, 1 Effect, 2 World, 3 Music, 4 Interf. A group's
// volume (0..100) becomes an attenuation of trunc(log10(v / 100) x 2000) hundredths of a
// decibel (-10000 at 0): 100 -> 0, 50 -> -602, 10 -> -2000, 1 -> -4000. Dialog sounds
// take the dialog volume, Effect, World and Interf the effects volume, Music the music
// volume. All volumes are 0 until set.
//
// Threads: every function is called on the main thread. End callbacks of music never run
// on the streaming thread: the streaming thread only queues them, and UpdateSound, called
// by the game once per update, runs them on the main thread.

#include <cstdint>
#include <memory>

#include "engine/sound/Sound.h"

class Stg_t;

namespace plat {
namespace audio {
class Mixer;
}
}  // namespace plat

namespace Sound {

class SoundDescr_t;
class SoundDescrList_t;
class SoundDevice_t;

// Reads every description of the description storage (none when that storage is not
// set: the system then starts and plays nothing), then starts the device on the sound
// card (22050 Hz, 16-bit stereo, no sound when there is no card). Storage and start-up
// errors leave it by exception (errStg_e, errSnd_e, Sync_t, Thread_t). With `noStreaming`
// music is decoded whole into a static sound instead of streamed.
bool InitSound(void* window, bool noStreaming);
// As InitSound, on a mixer the caller pulls (null: no sound); without `runThread` the
// caller does the streaming thread's work through GetSoundDevice().
bool InitSoundOnMixer(std::shared_ptr<plat::audio::Mixer> mixer, bool noStreaming, bool runThread);
// Drops queued and registered end callbacks, stops both musics at once, deletes the
// descriptions and the device.
void ShutdownSound();
bool IsSoundReady();

// Runs, on the calling (main) thread, the end callbacks queued since the last call.
void UpdateSound();

// Types 0, 1 and 3 store a volume (0..100); type 6 is ignored. Live sounds whose group
// equals the type get the new attenuation at once.
void SetGroupVolume(int volumeType, int volume);
int GetGroupVolume(int volumeType);
// The attenuation of a group volume, in hundredths of a decibel.
int32_t GroupAttenuation(int volume);
// Stores the attenuation of the description's group in it; answers the group's volume.
int ApplyGroupVolume(SoundDescr_t* descr);
// Stops (or fades out) every sound of the group; 5 means every group but World (2).
void StopGroup(int group, int fadeOutMs);
int StopSound(int handle, int fadeOutMs, bool release);
bool IsSoundPlaying(int handle);

void SetSoundsStorage(Stg_t* storage);
void SetSoundDescrStorage(Stg_t* storage);
Stg_t* GetSoundsStorage();
Stg_t* GetSoundDescrStorage();
// Nothing sets it; dialog sounds that are not streamed find no wave file.
Stg_t* GetDialogStorage();

// Plays a description; 0 when nothing plays (every error is caught). With a 3-D source
// the sound of a 3-D description follows that source.
int PlayDescription(SoundDescr_t* descr, int fadeInMs, const Source3D_t* source);
int PlaySound(const char* descrName, int fadeInMs = 0, const Source3D_t* source = nullptr);
// Plays the description with another wave file, which the description keeps afterwards.
int PlaySoundAs(const char* descrName, const char* waveName, int fadeInMs = 0, const Source3D_t* source = nullptr);

// Cross-fades to `waveName` on the description "Background": an earlier music still
// fading out stops at once, the current one fades out over `fadeOutMs`, the new one fades
// in over `fadeInMs`. False when "Background" is missing or nothing plays.
bool PlayMusic(const char* waveName, int fadeInMs, int fadeOutMs);
// Switches music at once on the named description, without fades; `callback` (may be
// null) is called on the main thread, from UpdateSound, once the music has ended.
bool PlayMusicWithCallback(const char* descrName, const char* waveName, EndCallback_t callback, int argument);
// Fades out both musics without their end callbacks; the music name stays.
int StopMusic(int fadeOutMs);
const char* GetCurrentMusicName();

// For tests and tools: the live objects (null when not started) and the music handles.
SoundDevice_t* GetSoundDevice();
SoundDescrList_t* GetSoundDescrList();
int GetCurrentMusicHandle();
int GetPreviousMusicHandle();

}  // namespace Sound
