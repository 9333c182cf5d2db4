#include "resources/base/Random.h"

namespace Velm {

void MersenneTwister::Seed(uint32_t seed) {
    if (seed == 0) seed = 4357;
    mState[0] = seed;
    for (int i = 1; i < kStateSize; ++i)
        mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + static_cast<uint32_t>(i);
    mIndex = kStateSize;
}

void MersenneTwister::Regenerate() {
    for (int i = 0; i < kStateSize; ++i) {
        const uint32_t y = (mState[i] & 0x80000000u) | (mState[(i + 1) % kStateSize] & 0x7FFFFFFFu);
        mState[i] = mState[(i + 397) % kStateSize] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
    }
    mIndex = 0;
}

int MersenneTwister::Next() {
    if (mIndex >= kStateSize) Regenerate();
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return static_cast<int>(y & 0x7FFFFFFFu);
}

namespace {
MersenneTwister gRandom(4357);
}

void SeedRandom(uint32_t seed) { gRandom.Seed(seed); }

int Random() { return gRandom.Next(); }

}  // namespace Velm
