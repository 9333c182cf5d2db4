#pragma once

// Sound synthesis for the content generator: mono sample buffers at 22050 Hz built from
// oscillators, noise and envelopes, written as 16-bit WAV or encoded as Ogg Vorbis
// (libvorbisenc). Everything is deterministic: noise comes from a seeded generator and the
// Ogg stream has a fixed serial number.

#include <cstdint>
#include <string>
#include <vector>

namespace mkcontent {

constexpr int kSampleRate = 22050;

using Samples = std::vector<float>;  // -1 .. 1

// Seconds to a sample count.
size_t SampleCount(float seconds);

// A tone: sine partials (frequency multiples with weights) under an attack/decay envelope,
// frequency gliding from f0 to f1.
Samples Tone(float seconds, float f0, float f1, const std::vector<float>& partials, float attack, float decay);
// Noise through a one-pole low-pass (cutoff in Hz) under an attack/decay envelope.
Samples Noise(float seconds, float cutoff, float attack, float decay, uint32_t seed);
// Adds b into a from sample offset (seconds), scaled.
void MixInto(Samples& a, const Samples& b, float atSeconds, float gain = 1.0f);
// Scales so that the loudest sample is peak.
void Normalise(Samples& s, float peak);

bool WriteWav(const std::string& path, const Samples& s, int channels = 1);
// Interleaved samples (channels 1 or 2) as Ogg Vorbis at the quality (-0.1 .. 1).
bool WriteOgg(const std::string& path, const Samples& interleaved, int channels, float quality);

}  // namespace mkcontent
