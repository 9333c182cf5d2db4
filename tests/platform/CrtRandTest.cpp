#include "platform/CrtRand.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

TEST(CrtRandTest, SeedOneGivesTheClassicSequence) {
    plat::CrtSrand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(plat::CrtRand(), value);
}

TEST(CrtRandTest, ReseedingRepeatsTheSequenceAndValuesStayInRange) {
    plat::CrtSrand(12345);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) {
        int v = plat::CrtRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, plat::kCrtRandMax);
        first.push_back(v);
    }
    plat::CrtSrand(12345);
    for (int v : first) EXPECT_EQ(plat::CrtRand(), v);
}

TEST(CrtRandTest, StateIsPerThreadAndStartsAtSeedOne) {
    plat::CrtSrand(999);
    plat::CrtRand();
    int fromOtherThread = -1;
    std::thread t([&] { fromOtherThread = plat::CrtRand(); });
    t.join();
    EXPECT_EQ(fromOtherThread, 41);
}
