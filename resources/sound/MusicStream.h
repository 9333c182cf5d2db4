#pragma once

// Music decoders that deliver PCM a chunk at a time, so a song starts playing before the
// rest of it is decoded and only the encoded file (or, for Ogg and MP3, an open file) is
// held while it plays. One decoder per format, called through its library:
// - WAV: PCM files, parsed whole (they are what they play);
// - Ogg Vorbis: Tremor, reading the file from the disk as it plays;
// - MP3: libmpg123, reading the file from the disk as it plays;
// - tracker modules (MOD, S3M, XM, IT and the other formats libopenmpt knows): libopenmpt,
//   from a copy of the file in memory, rendered at 44100 Hz stereo.
// Every decoder gives interleaved signed 16-bit PCM, 1 or 2 channels.
//
// A stream that cannot be opened answers null with the reason in *error. One thread at a
// time per stream; streams share nothing.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/sound/SoundDecoder.h"

namespace Velm {

class MusicStream {
public:
    virtual ~MusicStream() = default;

    uint16_t Channels() const { return mChannels; }
    uint32_t SamplesPerSec() const { return mRate; }
    uint32_t BlockAlign() const { return uint32_t(mChannels) * 2; }

    // Decodes up to `frames` frames into `out` (Channels() samples a frame); fewer, down
    // to 0, at the end of the song.
    virtual size_t Read(int16_t* out, size_t frames) = 0;
    // Back to the first frame; false when the stream cannot go back.
    virtual bool Rewind() = 0;
    // To frame `frame` of a PCM song, or to order `frame` (row 0) of a tracker module.
    virtual bool Seek(uint64_t frame) = 0;
    // Tracker modules: a master gain in millibels (0 = as composed). Others ignore it.
    virtual void SetGain(int32_t) {}

protected:
    uint16_t mChannels = 2;
    uint32_t mRate = 44100;
};

// By the extension after the last '.' (any letter case): "wav", "ogg" and "mp3" are read
// from the disk by name; every other extension is a tracker module and `path` is read whole.
std::unique_ptr<MusicStream> OpenMusicStream(const std::string& path, std::string* error);
// A tracker module from its bytes (copied).
std::unique_ptr<MusicStream> OpenModuleStream(const void* data, size_t size, std::string* error);
// PCM already decoded, played from memory (copied).
std::unique_ptr<MusicStream> OpenPcmStream(const DecodedSound& sound, std::string* error);

// The format decoders behind OpenMusicStream.
// Ogg Vorbis opens only when its first sound decodes; the one from memory reads `data` as it
// plays (the bytes must outlive the stream).
std::unique_ptr<MusicStream> OpenOggStream(const std::string& path, std::string* error);
std::unique_ptr<MusicStream> OpenOggStream(const void* data, size_t size, std::string* error);
std::unique_ptr<MusicStream> OpenMp3Stream(const std::string& path, std::string* error);

// A decoder of type S opened with S::Open(args..., error); null when that fails.
template <class S, class... Args>
std::unique_ptr<MusicStream> OpenDecoder(std::string* error, const Args&... args) {
    auto stream = std::make_unique<S>();
    if (!stream->Open(args..., error)) return nullptr;
    return stream;
}

// Every frame of `stream` from where it stands, as 16-bit PCM. False when it gives none.
bool DecodeWholeStream(MusicStream& stream, DecodedSound& out);

}  // namespace Velm
