#include "platform/AudioMixRun.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {
namespace audio {

namespace {

constexpr float kFractionScale = 1.0f / 4294967296.0f;

template <int Bits>
inline float SampleAt(const uint8_t* frame, int channel) {
    if (Bits == 8) return (float(frame[channel]) - 128.0f) * 256.0f;
    int16_t s;
    std::memcpy(&s, frame + 2 * channel, 2);
    return float(s);
}

inline float FractionOf(uint64_t pos) { return float(uint32_t(pos)) * kFractionScale; }

// One output frame: the voice at `t` of the way from frame `f0` to frame `f1`, times the
// gains, added to out[0] (left) and out[1] (right). A mono voice feeds both sides.
template <int Bits, int Channels>
inline void MixFrame(const uint8_t* f0, const uint8_t* f1, float t, float gainLeft, float gainRight, float* out) {
    const float l0 = SampleAt<Bits>(f0, 0);
    const float l = l0 + (SampleAt<Bits>(f1, 0) - l0) * t;
    float r = l;
    if (Channels == 2) {
        const float r0 = SampleAt<Bits>(f0, 1);
        r = r0 + (SampleAt<Bits>(f1, 1) - r0) * t;
    }
    out[0] += l * gainLeft;
    out[1] += r * gainRight;
}

template <int Bits, int Channels>
uint64_t MixRunPlain(const uint8_t* data, uint64_t pos, uint64_t step, float gainLeft, float gainRight, float* acc,
                     size_t frames) {
    constexpr uint32_t kBlock = Channels * Bits / 8;
    for (size_t k = 0; k < frames; ++k) {
        const uint8_t* f0 = data + size_t(pos >> 32) * kBlock;
        MixFrame<Bits, Channels>(f0, f0 + kBlock, FractionOf(pos), gainLeft, gainRight, acc + 2 * k);
        pos += step;
    }
    return pos;
}

#if defined(__SSE2__)

// Four fractions (1/2^32) as floats, rounded as the plain loop's float(uint32_t): the
// upper and lower 16 bits convert exactly, so their sum is the one rounding.
inline __m128 Unit(__m128i fractions) {
    const __m128 high = _mm_cvtepi32_ps(_mm_srli_epi32(fractions, 16));
    const __m128 low = _mm_cvtepi32_ps(_mm_and_si128(fractions, _mm_set1_epi32(0xFFFF)));
    return _mm_mul_ps(_mm_add_ps(_mm_mul_ps(high, _mm_set1_ps(65536.0f)), low), _mm_set1_ps(kFractionScale));
}

// The signed 16-bit number in the upper half of each 32-bit lane, as a float.
inline __m128 UpperHalves(__m128i v) { return _mm_cvtepi32_ps(_mm_srai_epi32(v, 16)); }
inline __m128 LowerHalves(__m128i v) { return UpperHalves(_mm_slli_epi32(v, 16)); }

inline __m128 Lerp(__m128 from, __m128 to, __m128 t) { return _mm_add_ps(from, _mm_mul_ps(_mm_sub_ps(to, from), t)); }

inline void Accumulate(float* out, __m128 samples, __m128 gains) {
    _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), _mm_mul_ps(samples, gains)));
}

// Four output frames of a mono voice. Each 32-bit lane of `pairs` holds one frame's
// sample at the cursor (lower 16 bits) and the next sample (upper 16 bits).
inline void MixMono4(__m128i pairs, __m128 t, __m128 gains, float* out) {
    const __m128 s = Lerp(LowerHalves(pairs), UpperHalves(pairs), t);
    Accumulate(out, _mm_unpacklo_ps(s, s), gains);
    Accumulate(out + 4, _mm_unpackhi_ps(s, s), gains);
}

// Two output frames of a stereo voice. `frames` holds, for each of them, four 16-bit
// samples: left and right at the cursor, then left and right of the next frame; `t2` holds
// the first frame's fraction twice, then the second's twice.
inline void MixStereo2(__m128i frames, __m128 t2, __m128 gains, float* out) {
    const __m128i cursorsThenNext = _mm_shuffle_epi32(frames, _MM_SHUFFLE(3, 1, 2, 0));
    const __m128 at = UpperHalves(_mm_unpacklo_epi16(cursorsThenNext, cursorsThenNext));
    const __m128 next = UpperHalves(_mm_unpackhi_epi16(cursorsThenNext, cursorsThenNext));
    Accumulate(out, Lerp(at, next, t2), gains);
}

template <typename T>
inline T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The lower or upper eight 8-bit samples b of `bytes` as the 16-bit samples
// (b - 128) * 256 in the same order: each byte with its top bit flipped becomes the upper
// byte of a 16-bit lane.
inline __m128i Widen8Lower(__m128i bytes) {
    return _mm_unpacklo_epi8(_mm_setzero_si128(), _mm_xor_si128(bytes, _mm_set1_epi8(-128)));
}
inline __m128i Widen8Upper(__m128i bytes) {
    return _mm_unpackhi_epi8(_mm_setzero_si128(), _mm_xor_si128(bytes, _mm_set1_epi8(-128)));
}

template <int Bits, int Channels>
uint64_t MixRunSse2(const uint8_t* data, uint64_t pos, uint64_t step, float gainLeft, float gainRight, float* acc,
                    size_t frames) {
    constexpr uint32_t kBlock = Channels * Bits / 8;
    const __m128 gains = _mm_setr_ps(gainLeft, gainRight, gainLeft, gainRight);
    // The fractions of the next four frames; adding four steps in 32-bit lanes drops the
    // whole frames as the 64-bit position's lower half does.
    const uint32_t fraction0 = uint32_t(pos);
    const uint32_t fractionStep = uint32_t(step);
    __m128i fractions = _mm_setr_epi32(int32_t(fraction0), int32_t(fraction0 + fractionStep),
                                       int32_t(fraction0 + 2 * fractionStep), int32_t(fraction0 + 3 * fractionStep));
    const __m128i fractionStep4 = _mm_set1_epi32(int32_t(4 * fractionStep));
    size_t k = 0;
    for (; k + 4 <= frames; k += 4) {
        const uint8_t* f[4];
        f[0] = data + size_t(pos >> 32) * kBlock;
        f[1] = data + size_t((pos + step) >> 32) * kBlock;
        f[2] = data + size_t((pos + 2 * step) >> 32) * kBlock;
        f[3] = data + size_t((pos + 3 * step) >> 32) * kBlock;
        pos += 4 * step;
        const __m128 t = Unit(fractions);
        fractions = _mm_add_epi32(fractions, fractionStep4);
        float* out = acc + 2 * k;
        if (Channels == 1) {
            __m128i pairs;
            if (Bits == 16) {
                pairs = _mm_setr_epi32(Load<int32_t>(f[0]), Load<int32_t>(f[1]), Load<int32_t>(f[2]),
                                       Load<int32_t>(f[3]));
            } else {
                pairs = Widen8Lower(_mm_setr_epi16(Load<int16_t>(f[0]), Load<int16_t>(f[1]), Load<int16_t>(f[2]),
                                                   Load<int16_t>(f[3]), 0, 0, 0, 0));
            }
            MixMono4(pairs, t, gains, out);
        } else {
            __m128i first;
            __m128i second;
            if (Bits == 16) {
                first = _mm_set_epi64x(Load<int64_t>(f[1]), Load<int64_t>(f[0]));
                second = _mm_set_epi64x(Load<int64_t>(f[3]), Load<int64_t>(f[2]));
            } else {
                const __m128i bytes = _mm_setr_epi32(Load<int32_t>(f[0]), Load<int32_t>(f[1]), Load<int32_t>(f[2]),
                                                     Load<int32_t>(f[3]));
                first = Widen8Lower(bytes);
                second = Widen8Upper(bytes);
            }
            MixStereo2(first, _mm_unpacklo_ps(t, t), gains, out);
            MixStereo2(second, _mm_unpackhi_ps(t, t), gains, out + 4);
        }
    }
    return MixRunPlain<Bits, Channels>(data, pos, step, gainLeft, gainRight, acc + 2 * k, frames - k);
}

#endif

inline int16_t Pcm16(float sample) {
    const float s = std::nearbyint(sample);
    return s >= 32767.0f ? int16_t(32767) : (s > -32768.0f ? int16_t(s) : int16_t(-32768));
}

void StoreMixPlain(const float* acc, int16_t* out, size_t samples) {
    for (size_t i = 0; i < samples; ++i) out[i] = Pcm16(acc[i]);
}

#if defined(__SSE2__)
// Clipping before the conversion gives what the plain loop's clipping after rounding
// gives: the conversion rounds to nearest with ties to even as nearbyint does (both follow
// the current rounding mode), and a NaN becomes the lower bound at the first clip.
void StoreMixSse2(const float* acc, int16_t* out, size_t samples) {
    const __m128 low = _mm_set1_ps(-32768.0f);
    const __m128 high = _mm_set1_ps(32767.0f);
    size_t i = 0;
    for (; i + 8 <= samples; i += 8) {
        const __m128i a = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_loadu_ps(acc + i), low), high));
        const __m128i b = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_loadu_ps(acc + i + 4), low), high));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(a, b));
    }
    StoreMixPlain(acc + i, out + i, samples - i);
}
#endif

template <int Bits, int Channels>
MixRunFn RunOf(MixLoopKind kind) {
#if defined(__SSE2__)
    if (kind == MixLoopKind::kSse2) return &MixRunSse2<Bits, Channels>;
#else
    static_cast<void>(kind);
#endif
    return &MixRunPlain<Bits, Channels>;
}

// Most frames go through the run, which needs no bounds checks because the frame after
// the current one exists; only the last frame of the voice takes the careful path (its
// successor is the first frame when looping, itself otherwise).
template <int Bits, int Channels>
bool MixVoiceOf(MixLoopKind kind, const MixSource& source, uint64_t step, float gainLeft, float gainRight, float* acc,
                size_t frames, uint32_t& frame, uint32_t& fraction, uint64_t& advanced) {
    constexpr uint32_t kBlock = Channels * Bits / 8;
    const MixRunFn run = RunOf<Bits, Channels>(kind);
    const uint8_t* data = source.data;
    const uint32_t frameCount = source.frameCount;
    const uint64_t end = uint64_t(frameCount) << 32;
    const uint64_t lastFrame = uint64_t(frameCount - 1) << 32;
    uint64_t pos = (uint64_t(frame) << 32) | fraction;
    size_t n = 0;
    while (n < frames) {
        if (pos < lastFrame) {
            size_t count = size_t((lastFrame - pos + step - 1) / step);
            if (count > frames - n) count = frames - n;
            const uint64_t startPos = pos;
            pos = run(data, pos, step, gainLeft, gainRight, acc + 2 * n, count);
            advanced += (pos >> 32) - (startPos >> 32);
            n += count;
        } else {
            const uint32_t index = uint32_t(pos >> 32);
            const uint8_t* f0 = data + size_t(index) * kBlock;
            MixFrame<Bits, Channels>(f0, source.looping ? data : f0, FractionOf(pos), gainLeft, gainRight, acc + 2 * n);
            ++n;
            pos += step;
            advanced += (pos >> 32) - index;
        }
        if (pos >= end) {
            if (!source.looping) {
                advanced -= (pos >> 32) - frameCount;  // only the frames that exist were played
                frame = 0;
                fraction = 0;
                return true;
            }
            pos = (uint64_t((pos >> 32) % frameCount) << 32) | uint32_t(pos);
        }
    }
    frame = uint32_t(pos >> 32);
    fraction = uint32_t(pos);
    return false;
}

}  // namespace

bool HaveSse2MixLoops() {
#if defined(__SSE2__)
    return true;
#else
    return false;
#endif
}

MixRunFn MixRunFor(MixLoopKind kind, uint16_t bitsPerSample, uint16_t channels) {
    switch (bitsPerSample * 10 + channels) {
        case 81: return RunOf<8, 1>(kind);
        case 82: return RunOf<8, 2>(kind);
        case 161: return RunOf<16, 1>(kind);
        case 162: return RunOf<16, 2>(kind);
        default: return nullptr;
    }
}

bool MixVoice(MixLoopKind kind, const MixSource& source, uint64_t step, float gainLeft, float gainRight, float* acc,
              size_t frames, uint32_t& frame, uint32_t& fraction, uint64_t& advanced) {
    switch (source.bitsPerSample * 10 + source.channels) {
        case 81:
            return MixVoiceOf<8, 1>(kind, source, step, gainLeft, gainRight, acc, frames, frame, fraction, advanced);
        case 82:
            return MixVoiceOf<8, 2>(kind, source, step, gainLeft, gainRight, acc, frames, frame, fraction, advanced);
        case 161:
            return MixVoiceOf<16, 1>(kind, source, step, gainLeft, gainRight, acc, frames, frame, fraction, advanced);
        default:
            return MixVoiceOf<16, 2>(kind, source, step, gainLeft, gainRight, acc, frames, frame, fraction, advanced);
    }
}

void StoreMix(MixLoopKind kind, const float* acc, int16_t* out, size_t samples) {
#if defined(__SSE2__)
    if (kind == MixLoopKind::kSse2) {
        StoreMixSse2(acc, out, samples);
        return;
    }
#else
    static_cast<void>(kind);
#endif
    StoreMixPlain(acc, out, samples);
}

}  // namespace audio
}  // namespace plat
