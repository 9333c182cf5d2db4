#pragma once

#include <cstdint>

// The random generator of one particle emitter: the C runtime's linear congruential generator
// (state = state * 214013 + 2531011, results (state >> 16) & 0x7FFF, 0..32767), seeded with
// kSeed and run kWarmUp steps at construction, so that every emitter replays the same sequence.
// It is the emitter's own: building or running an effect never touches the game's generators.
class EmitterRandom_t {
public:
    static constexpr uint32_t kSeed = 548485;
    static constexpr int kWarmUp = 1023;
    static constexpr int kMax = 32767;

    EmitterRandom_t() {
        for (int i = 0; i < kWarmUp; ++i) Next();
    }

    int Next() {
        mState = mState * 214013u + 2531011u;
        return static_cast<int>((mState >> 16) & 0x7FFFu);
    }

    // lo + Next() x (hi - lo) / 32767: both ends can come out.
    float Range(float lo, float hi) { return lo + static_cast<float>(Next()) * (hi - lo) / kMax; }

    // lo + trunc(Next() x (hi - lo) / 32767), hi itself counting as lo.
    int RangeInt(int lo, int hi) {
        const int v = lo + static_cast<int>(static_cast<float>(Next()) * static_cast<float>(hi - lo) / kMax);
        return v == hi ? lo : v;
    }

private:
    uint32_t mState = kSeed;
};
