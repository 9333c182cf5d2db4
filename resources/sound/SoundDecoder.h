#pragma once

// Whole-file decoding of the sound files the framework's sound manager and music players
// accept: PCM WAV files, Ogg Vorbis files (through Tremor, the integer decoder) and MP3
// files (through libmpg123). Other files fail, so a caller's load chain goes on to its
// next format. Files are read from the disk by name, never through the resource pack.
// Any thread; no shared state.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Velm {

// Interleaved PCM: 8-bit unsigned or 16-bit signed little-endian samples.
struct DecodedSound {
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> data;

    uint32_t BlockAlign() const { return uint32_t(channels) * bitsPerSample / 8; }
};

// By the extension after the last '.' (any letter case): "wav", "ogg" or "mp3". False for other
// extensions, for files that cannot be read and for broken or empty sounds.
bool DecodeSoundFile(const std::string& path, DecodedSound& out);
// Ogg Vorbis bytes to 16-bit PCM with the stream's channels (1 or 2) and rate.
bool DecodeOggData(const uint8_t* data, size_t size, DecodedSound& out);
// A RIFF WAVE image with PCM data (format tag 1, 1 or 2 channels, 8 or 16 bits); odd
// chunks are skipped with their pad byte, "data" may come before "fmt ".
bool DecodeWavData(const uint8_t* data, size_t size, DecodedSound& out);

}  // namespace Velm
