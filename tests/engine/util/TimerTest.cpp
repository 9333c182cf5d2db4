#include "engine/util/Timer.h"

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

// Restores the shared counter setting a test changed.
struct CounterSetting {
    bool saved = GetTimerSharedState().hasPerformanceCounter;
    explicit CounterSetting(bool available) { GetTimerSharedState().hasPerformanceCounter = available; }
    ~CounterSetting() { GetTimerSharedState().hasPerformanceCounter = saved; }
};

TEST(Timer, KindFollowsTheCounter) {
    plat::VirtualClock clock(1000);
    plat::ScopedClock installed(clock);
    struct Case {
        bool counter;
        bool exact;
    };
    const Case kCases[] = {{true, true}, {false, false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.counter);
        CounterSetting setting(c.counter);
        Timer_t timer;
        EXPECT_EQ(dynamic_cast<ExactTimer_t*>(timer.GetTimer()) != nullptr, c.exact);
        EXPECT_EQ(dynamic_cast<SimpleTimer_t*>(timer.GetTimer()) != nullptr, !c.exact);
    }
}

TEST(Timer, LapsAndElapsedOnBothKinds) {
    for (bool counter : {true, false}) {
        SCOPED_TRACE(counter ? "exact" : "simple");
        plat::VirtualClock clock(5000);
        plat::ScopedClock installed(clock);
        CounterSetting setting(counter);
        Timer_t timer;
        ITimer_t* t = timer.GetTimer();
        clock.Advance(20);
        EXPECT_NEAR(t->GetElapsed(), 0.02, 1e-6);
        EXPECT_NEAR(t->GetElapsed(), 0.02, 1e-6) << "elapsed keeps the reference";
        EXPECT_NEAR(t->GetLap(), 0.02, 1e-6);
        EXPECT_NEAR(t->GetElapsed(), 0.0, 1e-9) << "the lap moved the reference";
        clock.Advance(20);
        EXPECT_NEAR(t->GetLap(), 0.02, 1e-6);
        // Laps add up to the whole time without gaps.
        double total = 0;
        for (int i = 0; i < 50; ++i) {
            clock.Advance(7);
            total += t->GetLap();
        }
        EXPECT_NEAR(total, 0.35, 1e-5);
        t->Start();
        EXPECT_NEAR(t->GetElapsed(), 0.0, 1e-9);
    }
}

TEST(Timer, SimpleTimerSurvivesTheMillisecondWrap) {
    plat::VirtualClock clock(0xFFFFFFFFull - 4);
    plat::ScopedClock installed(clock);
    CounterSetting setting(false);
    Timer_t timer;
    clock.Advance(15);
    EXPECT_NEAR(timer.GetTimer()->GetElapsed(), 0.015, 1e-6);
}

TEST(Timer, ResolutionHeldWhileAnyTimerLives) {
    TimerSharedState& shared = GetTimerSharedState();
    // The global timer may already live when the tests run in another order.
    const int before = shared.livingTimers;
    {
        Timer_t first;
        EXPECT_TRUE(shared.resolutionHeld);
        {
            Timer_t second;
            EXPECT_EQ(shared.livingTimers, before + 2);
        }
        EXPECT_EQ(shared.livingTimers, before + 1);
        EXPECT_TRUE(shared.resolutionHeld);
    }
    EXPECT_EQ(shared.livingTimers, before);
    EXPECT_EQ(shared.resolutionHeld, before > 0);
}

TEST(Timer, GlobalTimerIsOneObject) {
    EXPECT_EQ(&GlobalTimer(), &GlobalTimer());
    EXPECT_NE(GlobalTimer().GetTimer(), nullptr);
}

}  // namespace
