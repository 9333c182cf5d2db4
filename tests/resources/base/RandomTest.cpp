#include "resources/base/Random.h"

#include <gtest/gtest.h>

namespace {

TEST(MersenneTwister, ReferenceSequenceWithTopBitCleared) {
    // The reference MT19937 outputs for seed 5489 are 3499211612, 581869302,
    // 3890346734; each comes back with bit 31 cleared.
    Velm::MersenneTwister mt(5489);
    EXPECT_EQ(mt.Next(), 1351727964);
    EXPECT_EQ(mt.Next(), 581869302);
    EXPECT_EQ(mt.Next(), static_cast<int>(3890346734u & 0x7FFFFFFFu));
}

TEST(MersenneTwister, SeedZeroMeans4357) {
    Velm::MersenneTwister a(0), b(4357);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(a.Next(), b.Next());
}

TEST(MersenneTwister, RegeneratesAfterOneState) {
    Velm::MersenneTwister a(5489);
    // The 10000th reference output for seed 5489 is 4123659995.
    int v = 0;
    for (int i = 0; i < 10000; ++i) v = a.Next();
    EXPECT_EQ(v, static_cast<int>(4123659995u & 0x7FFFFFFFu));
}

TEST(MersenneTwister, GlobalReseedRestartsSequence) {
    Velm::SeedRandom(12345);
    const int first = Velm::Random();
    const int second = Velm::Random();
    Velm::SeedRandom(12345);
    EXPECT_EQ(Velm::Random(), first);
    EXPECT_EQ(Velm::Random(), second);
    EXPECT_GE(first, 0);
}

}  // namespace
