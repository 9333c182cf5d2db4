#pragma once

// The sample loops of the software mixer (Mixer::Mix calls them under the mixer's lock):
// one voice resampled by linear interpolation, weighted by its left and right gains and
// added into a float accumulator of interleaved stereo frames; and the accumulator rounded
// and clipped into the signed 16-bit output.
//
// Every loop has two forms: the plain C++ loop, and an SSE2 form that does four output
// frames at a time (built where the compiler targets SSE2, which every x86-64 does). The
// SSE2 form makes the same float operations in the same order on every frame, so both give
// the same output bit for bit; MixLoopKind::kSse2 falls back to the plain loops where the
// build has no SSE2. This file is compiled without floating-point contraction, so neither
// form can be fused into multiply-adds that the other lacks.
//
// Positions in a voice are frames with a 32-bit fraction: frame << 32 | fraction. `step`
// is the distance the cursor moves per output frame (source rate / output rate << 32).

#include <cstddef>
#include <cstdint>

#include "platform/Audio.h"

namespace plat {
namespace audio {

// True when MixLoopKind::kSse2 runs the SSE2 loops in this build.
bool HaveSse2MixLoops();

// One voice's samples as the loops read them: 8-bit unsigned or 16-bit signed
// little-endian, mono or interleaved stereo, `frameCount` (at least 1) whole frames.
struct MixSource {
    const uint8_t* data = nullptr;
    uint32_t frameCount = 0;
    uint16_t bitsPerSample = 16;
    uint16_t channels = 2;
    bool looping = false;
};

// Adds `frames` output frames of `source` into `acc` (2 x frames floats) until they are
// done or a voice that does not loop passes its last frame. The last frame interpolates
// towards the first when looping, towards itself otherwise. The cursor (`frame`,
// `fraction`) moves on and wraps when looping; `advanced` grows by the source frames the
// cursor moved over. Returns true when the voice ended (the cursor is then 0).
bool MixVoice(MixLoopKind kind, const MixSource& source, uint64_t step, float gainLeft, float gainRight, float* acc,
              size_t frames, uint32_t& frame, uint32_t& fraction, uint64_t& advanced);

// The inner run of MixVoice: adds `frames` output frames from position `pos` on, every one
// of which reads its frame and the next inside the voice (the caller guarantees it).
// Returns the position after the last frame.
using MixRunFn = uint64_t (*)(const uint8_t* data, uint64_t pos, uint64_t step, float gainLeft, float gainRight,
                              float* acc, size_t frames);
// The run of one format (8 or 16 bits, 1 or 2 channels); null for another format.
MixRunFn MixRunFor(MixLoopKind kind, uint16_t bitsPerSample, uint16_t channels);

// Rounds each accumulated sample to the nearest integer (ties to even) and clips it to
// -32768..32767; a NaN gives -32768.
void StoreMix(MixLoopKind kind, const float* acc, int16_t* out, size_t samples);

}  // namespace audio
}  // namespace plat
