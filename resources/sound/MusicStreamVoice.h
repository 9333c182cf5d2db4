#pragma once

// One song streamed through the mixer: a MusicStream decoded a chunk at a time into a
// looping ring voice of half a second, refilled (Pump) behind the play cursor. The ring
// goes on past the song's end with silence until the next Pump sees the cursor pass the
// end, then the voice stops; a looping song rewinds its stream instead and plays on.
//
// Not thread-safe: its owner (MusicLibrary) serialises every call, its refill thread's
// included. Pump must run more often than the ring lasts (half a second), else a stretch
// of the ring plays twice.

#include <cstdint>
#include <memory>

#include "platform/Audio.h"
#include "resources/sound/MusicStream.h"

namespace Velm {

class MusicStreamVoice {
public:
    // Null when the mixer cannot make a voice of the stream's format.
    static std::unique_ptr<MusicStreamVoice> Create(plat::audio::Mixer& mixer, std::unique_ptr<MusicStream> stream);

    // From the first frame when `restart` or when the song has ended, else from where it
    // was stopped or paused.
    bool Play(bool loop, bool restart);
    // Stops and keeps the position.
    void Stop();
    bool IsPlaying() const { return mVoice->IsPlaying(); }
    // Moves to frame `position` (PCM songs) or order `position` (tracker modules) and
    // plays on from there if it was playing.
    bool SetPosition(uint64_t position);
    void SetVolume(int32_t millibels) { mVoice->SetVolume(millibels); }
    void SetGain(int32_t millibels) { mStream->SetGain(millibels); }
    // Refills the ring up to the play cursor; stops the voice once the song's end played.
    void Pump();
    uint32_t BlockAlign() const { return mVoice->Desc().format.BlockAlign(); }
    // Bytes of PCM held at once: the ring.
    size_t HeldBytes() const { return mVoice->Desc().bytes; }

private:
    MusicStreamVoice(std::unique_ptr<MusicStream> stream, std::unique_ptr<plat::audio::Voice> voice);
    // Fills the ring from the stream's current position and puts the cursor at its start.
    void Refill();
    void Write(uint32_t frames);
    // Decodes `frames` frames into `out`; past the end of a song that does not loop,
    // silence, noting where the song ended.
    void Produce(int16_t* out, uint32_t frames);

    std::unique_ptr<MusicStream> mStream;
    std::unique_ptr<plat::audio::Voice> mVoice;
    uint32_t mRingFrames;
    uint64_t mWritten = 0;         // frames written into the ring since Refill
    uint64_t mPlayed = 0;          // frames the cursor has passed since Refill
    uint32_t mLastCursor = 0;      // frame of the cursor at the last Pump
    uint64_t mEndAt = UINT64_MAX;  // mWritten at which the song ended, when it did
    bool mLoop = false;
    bool mEnded = true;  // nothing written yet, or played to the end
};

}  // namespace Velm
