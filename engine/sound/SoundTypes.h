#pragma once

// Plain records of the engine's sound system, laid out as the sound descriptions and the
// sound objects use them: the PCM wave format of a source, the 3-D parameters of one
// sound and of the listener, and the flag words that select a sound's abilities.

#include <cstdint>

#include "engine/util/Transform3D.h"

namespace Sound {

constexpr uint16_t kWaveFormatPcm = 1;

// The 18-byte wave format header of WAV files and raw PCM blocks (little-endian on disk).
struct WAVEFORMATEX {
    uint16_t formatTag = 0;  // 1 = PCM, the only kind played
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;  // bytes of one frame (all channels)
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};
constexpr unsigned kWaveFormatBytes = 18;

// Decodes the 18 bytes of a wave format header.
WAVEFORMATEX DecodeWaveFormat(const uint8_t* bytes);
void EncodeWaveFormat(const WAVEFORMATEX& format, uint8_t* bytes);

// 3-D modes of a sound.
enum : uint32_t { kMode3DNormal = 0, kMode3DHeadRelative = 1, kMode3DDisable = 2 };

// 3-D parameters of one sound: positions in world units, angles in degrees, the cone's
// outside volume in hundredths of a decibel.
struct DS3DBUFFER {
    uint32_t size = 64;
    Math::Vector_t position{0, 0, 0};
    Math::Vector_t velocity{0, 0, 0};
    uint32_t insideConeAngle = 0;
    uint32_t outsideConeAngle = 360;
    Math::Vector_t coneOrientation{0, 1, 0};
    int32_t coneOutsideVolume = 0;
    float minDistance = 0.1f;
    float maxDistance = 15.0f;
    uint32_t mode = kMode3DNormal;
};

// The listener: where the player's ears are and which way they face.
struct DS3DLISTENER {
    uint32_t size = 64;
    Math::Vector_t position{0, -10000, 0};
    Math::Vector_t velocity{0, 0, 0};
    Math::Vector_t orientFront{0, 0, -1};
    Math::Vector_t orientTop{0, 1, 0};
    float distanceFactor = 1.0f;
    float rolloffFactor = 1.0f;
    float dopplerFactor = 1.0f;
};

// Flags of a sound description.
enum : uint32_t {
    kDescr3D = 0x01,
    kDescrStreamed = 0x02,
    kDescrLoop = 0x04,
    kDescrPlayOnStart = 0x08,
    kDescrReleaseWaveAfterPlay = 0x10,
    kDescrLoadOnStart = 0x20,
    kDescrDeleteAfterPlay = 0x40,
    kDescrMuteAfterMaxDistance = 0x80,
};

// Buffer capability words (the bits of plat::audio::BufferFlags).
constexpr uint32_t kBufferPositionNotify = 0x00100;
constexpr uint32_t kBufferStreamExtra = 0x10100;  // position notification, accurate play cursor

// Capabilities of a static sound's buffer: 0x101E8, or with 3-D 0x101B8 (no pan), plus
// 0x20000 (mute beyond the maximum distance) for a 3-D sound that asks for it.
uint32_t StaticBufferFlags(uint32_t descrFlags);
// Capabilities of a streamed sound's buffer before kBufferStreamExtra is added.
uint32_t StreamBufferFlags(uint32_t descrFlags);

// Wave kinds of a sound's data.
enum : int { kWaveWav = 0, kWaveOgg = 1, kWaveUnknown = 2 };

}  // namespace Sound
