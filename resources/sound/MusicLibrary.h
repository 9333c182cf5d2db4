#pragma once

// Our own small music library, what the two music back-ends (BassMusicInterface,
// FModMusicInterface) stand on: channels played once or looping, paused, stopped, with a
// volume each and one master volume, on a plat::audio mixer. A channel is either
// - streamed (LoadStream by file name, LoadModule): a song file (WAV, Ogg Vorbis, MP3 or
//   a tracker module, see MusicStream) decoded a chunk at a time into a small ring voice
//   as it plays, so it starts at once and holds little PCM; or
// - a sample decoded whole (LoadStream of a DecodedSound), which may be made of an intro
//   that plays once and a loop part that then repeats (JoinSamples).
// A song that cannot be loaded is reported on the debug log with its name and reason.
//
// One library is shared by every holder (Acquire); it plays on the sound card's output,
// opened when the first holder acquires it, and a thread of its own refills the streamed
// channels every 20 ms. Without a sound card it has no mixer and every load fails. Tests
// make their own library on a mixer they pull; it has no thread, and Update refills.
//
// Volumes are linear factors 0..1 (1 = as recorded), given to the mixer as millibels.
// Channel handles are 1, 2, 3, ...; 0 is none. Calls come from the main thread; one lock
// of the library keeps them apart from the refill thread.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Audio.h"
#include "resources/sound/MusicStreamVoice.h"
#include "resources/sound/SoundDecoder.h"

namespace Velm {

class MusicLibrary {
public:
    using Channel = uint32_t;
    enum State { kStopped = 0, kPlaying = 1, kPaused = 3 };

    // On `mixer` (null: no sound, every load fails); `output` plays it, if any.
    MusicLibrary(std::shared_ptr<plat::audio::Mixer> mixer, std::unique_ptr<plat::audio::Output> output = nullptr);
    ~MusicLibrary();
    MusicLibrary(const MusicLibrary&) = delete;
    MusicLibrary& operator=(const MusicLibrary&) = delete;

    // The shared library, made on the sound card when no holder has it.
    static std::shared_ptr<MusicLibrary> Acquire();

    plat::audio::Mixer* GetMixer() const { return mMixer.get(); }
    std::shared_ptr<plat::audio::Mixer> GetSharedMixer() const { return mMixer; }

    // A song file streamed as it plays, read from the disk by name (see OpenMusicStream:
    // "wav", "ogg", "mp3", any other extension a tracker module); 0 on failure.
    Channel LoadStream(const std::string& path);
    // A sample decoded whole; 0 on failure.
    Channel LoadStream(const DecodedSound& sound);
    // A tracker module streamed from its bytes (copied); `name` is for the log. 0 on failure.
    Channel LoadModule(const void* data, size_t size, const std::string& name);
    // Says on the debug log that the song `name` did not load, and why.
    static void ReportLoadFailure(const std::string& name, const std::string& reason);
    // A sample playing `intro` once and then repeating `loop`; both are freed. 0 when
    // either is missing or their formats differ.
    Channel JoinSamples(Channel intro, Channel loop);
    void Free(Channel channel);

    // From the start when `restart` (or when the channel has ended), else from where it
    // stopped or was paused.
    bool Play(Channel channel, bool loop, bool restart);
    // Stops and keeps the position.
    void Stop(Channel channel);
    void Pause(Channel channel);
    // Goes on from where it was paused or stopped, looping as before.
    bool Resume(Channel channel);
    State GetState(Channel channel);
    // Moves the play position to a byte offset of the PCM.
    bool SetPosition(Channel channel, uint64_t byteOffset);
    // Moves a tracker module to the start of an order (false for other channels).
    bool SetOrder(Channel channel, int order);
    // A tracker module's amplification, a gain factor (1 = as composed).
    void SetAmplify(Channel channel, double factor);
    void SetVolume(Channel channel, double volume);
    double GetVolume(Channel channel) const;
    void SetMasterVolume(double volume);
    double GetMasterVolume() const { return mMasterVolume; }

    // The decoded sound of a sample channel (null for none and for streamed channels).
    const DecodedSound* GetSound(Channel channel) const;
    // Bytes of PCM a channel holds: all of a sample, the ring of a streamed channel.
    size_t HeldPcmBytes(Channel channel) const;
    // Starts the loop part of joined samples whose intro has ended and refills the
    // streamed channels; call once per update.
    void Update();

    // Millibels of a linear volume: 2000 log10(v), -10000 at 0 and below.
    static int32_t MillibelsFromVolume(double volume);
    // Millibels of a gain factor that may exceed 1 (up to +24 dB), for tracker modules.
    static int32_t MillibelsFromGain(double factor);

private:
    struct ChannelData {
        std::unique_ptr<MusicStreamVoice> stream;       // a streamed channel; else a sample:
        DecodedSound sound;                             // intro + loop PCM for a joined sample
        size_t introBytes = 0;                          // 0 unless joined
        std::unique_ptr<plat::audio::Voice> voice;      // the whole sound, or the intro
        std::unique_ptr<plat::audio::Voice> loopVoice;  // the loop part of a joined sample
        bool started = false;                           // played and not stopped since
        bool inLoopPart = false;
        bool looping = false;
        bool paused = false;
        double volume = 1.0;
    };
    ChannelData* Find(Channel channel);
    const ChannelData* Find(Channel channel) const;
    std::unique_ptr<plat::audio::Voice> MakeVoice(const DecodedSound& sound, const uint8_t* pcm, size_t bytes);
    void ApplyVolume(ChannelData& c);
    plat::audio::Voice* ActiveVoice(ChannelData& c);
    Channel AddStream(std::unique_ptr<MusicStream> stream, const std::string& name, const std::string& error);
    Channel Add(std::unique_ptr<ChannelData> c);
    void PumpStreams();
    void RefillLoop();

    std::shared_ptr<plat::audio::Mixer> mMixer;
    std::unique_ptr<plat::audio::Output> mOutput;
    mutable std::recursive_mutex mLock;  // every channel, against the refill thread
    std::condition_variable_any mWake;
    bool mQuit = false;
    std::thread mRefill;  // only with an output
    std::map<Channel, std::unique_ptr<ChannelData>> mChannels;
    Channel mNext = 1;
    double mMasterVolume = 1.0;
};

// One update of a song's volume fade, the same in both music back-ends: the step is added
// to the volume; above the cap the volume is the cap and the fade ends; below 0 it is 0,
// the fade ends, and the answer says whether the song must now be stopped (when it was
// asked to stop once silent). A fade therefore lasts cap / step updates.
struct MusicFade {
    double volume = 0.0;
    double step = 0.0;
    double cap = 1.0;
    bool stopWhenSilent = false;

    // False when no fade runs (the song is left untouched).
    bool Step(bool& stopNow) {
        stopNow = false;
        if (step == 0.0) return false;
        volume += step;
        if (volume > cap) {
            volume = cap;
            step = 0.0;
        } else if (volume < 0.0) {
            volume = 0.0;
            step = 0.0;
            stopNow = stopWhenSilent;
        }
        return true;
    }
};

}  // namespace Velm
