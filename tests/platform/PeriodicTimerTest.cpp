#include "platform/PeriodicTimer.h"

#include <gtest/gtest.h>

TEST(PeriodicTimerTest, SignalsRepeatedlyBesideOtherEventsAndStops) {
    plat::Event stop;
    plat::PeriodicTimer timer;
    timer.Start(1, 1);
    const std::vector<plat::Event*> list = {&stop, &timer.Signal()};
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(plat::WaitAny(list, plat::kWaitInfinite), 1);
    stop.Set();
    EXPECT_EQ(plat::WaitAny(list, plat::kWaitInfinite), 0);  // the lower index wins
    timer.Stop();
    timer.Signal().Reset();
    EXPECT_FALSE(timer.Signal().Wait(20));
}

TEST(PeriodicTimerTest, ZeroPeriodSignalsOnce) {
    plat::PeriodicTimer timer;
    timer.Start(0, 0);
    EXPECT_TRUE(timer.Signal().Wait(plat::kWaitInfinite));
    EXPECT_FALSE(timer.Signal().Wait(20));
}
