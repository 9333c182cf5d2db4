#pragma once

#include <cstdint>

namespace Velm {

// MT19937 whose outputs have their top bit cleared, so values run from 0 to
// 0x7FFFFFFF. One global instance serves the framework; it is seeded with 4357
// before main runs, from the tick count at start-up, and from a demo's stored
// seed on playback so that a replay draws the same numbers. Main thread only.
class MersenneTwister {
public:
    static const int kStateSize = 624;

    explicit MersenneTwister(uint32_t seed = 4357) { Seed(seed); }
    // A seed of 0 is taken as 4357.
    void Seed(uint32_t seed);
    int Next();

private:
    void Regenerate();

    uint32_t mState[kStateSize];
    int mIndex;
};

void SeedRandom(uint32_t seed);
int Random();

}  // namespace Velm
