#include "platform/Clock.h"

#include <gtest/gtest.h>

TEST(ClockTest, VirtualClockMovesOnlyWhenTheProgramSleeps) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scope(clock);
    EXPECT_EQ(plat::NowMs(), 5000u);
    EXPECT_EQ(plat::NowMs(), 5000u);
    plat::SleepMs(10);
    EXPECT_EQ(plat::NowMs(), 5010u);
    clock.Advance(90);
    EXPECT_EQ(plat::NowMs(), 5100u);
}

TEST(ClockTest, ScopedClockRestoresThePreviousClock) {
    plat::Clock* before = &plat::CurrentClock();
    {
        plat::VirtualClock outer;
        plat::ScopedClock outerScope(outer);
        {
            plat::VirtualClock inner(7);
            plat::ScopedClock innerScope(inner);
            EXPECT_EQ(&plat::CurrentClock(), &inner);
        }
        EXPECT_EQ(&plat::CurrentClock(), &outer);
    }
    EXPECT_EQ(&plat::CurrentClock(), before);
}

TEST(ClockTest, RealClockNeverGoesBackwards) {
    plat::RealClock clock;
    uint64_t last = clock.NowMs();
    for (int i = 0; i < 1000; ++i) {
        uint64_t now = clock.NowMs();
        ASSERT_GE(now, last);
        last = now;
    }
    clock.SleepMs(2);
    EXPECT_GE(clock.NowMs(), last + 2);
}
