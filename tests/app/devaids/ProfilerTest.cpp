// The stopwatch, the section profiler and its report, the debugger-output formatter and the
// nesting counter; time comes from a virtual clock.

#include "app/devaids/Profiler.h"

#include <gtest/gtest.h>

#include "app/devaids/DebugOutputFormat.h"
#include "app/devaids/PerfTimer.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

namespace {

TEST(PerfTimer, MeasuresMillisecondsOfTheClock) {
    plat::VirtualClock clock(1000);
    plat::ScopedClock scoped(clock);
    Velm::PerfTimer timer;
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 0.0);
    timer.Start();
    clock.Advance(250);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 250.0);  // read while running
    clock.Advance(50);
    timer.Stop();
    clock.Advance(1000);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 300.0);
    // A second stop keeps the old duration.
    timer.Stop();
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 300.0);
}

TEST(PerfTimer, RealCounterMovesForward) {
    const uint64_t before = Velm::PerfCounterNow();
    plat::SleepMs(2);
    EXPECT_GE(Velm::PerfCounterNow() - before, 1000000u);
    EXPECT_EQ(Velm::MeasureCpuSpeed(), 1000000000u);
}

TEST(Profiler, NestedStartsCountCallsButTimeTheOutermostPair) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scoped(clock);
    Velm::ProfilerStart(false);
    EXPECT_TRUE(Velm::ProfilerIsRunning());
    Velm::ProfilerAddEvent("Draw", true);
    clock.Advance(4);
    Velm::ProfilerAddEvent("draw", true);  // same section: names ignore case
    clock.Advance(2);
    Velm::ProfilerAddEvent("Draw", false);
    clock.Advance(2);
    Velm::ProfilerAddEvent("Draw", false);
    clock.Advance(1);
    Velm::ProfilerAddEvent("Update", true);
    clock.Advance(1);
    Velm::ProfilerAddEvent("Update", false);
    Velm::ProfilerAddEvent("Update", true);
    clock.Advance(2);
    Velm::ProfilerAddEvent("Update", false);
    Velm::ProfilerAddEvent("Never", false);  // a stop without a start changes nothing
    clock.Advance(8);
    Velm::ProfilerStop();
    EXPECT_FALSE(Velm::ProfilerIsRunning());

    const Velm::ProfilerSection* draw = Velm::ProfilerGetSection("DRAW");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->mCalls, 2);
    EXPECT_DOUBLE_EQ(draw->mTotal, 8.0);
    EXPECT_EQ(Velm::ProfilerGetSection("Never"), nullptr);
    EXPECT_EQ(Velm::ProfilerGetResults(),
              "Total Time: 20.00\n"
              "Draw (2 calls, %40.00 time): 8.00 (4.00 avg, 8.00 longest)\n"
              "Update (2 calls, %15.00 time): 3.00 (1.50 avg, 2.00 longest)\n");
}

TEST(Profiler, EventsCountOnlyWhileRunning) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scoped(clock);
    Velm::ProfilerStart(true);  // prepared, not running
    EXPECT_FALSE(Velm::ProfilerIsRunning());
    Velm::ProfilerAddEvent("Draw", true);
    Velm::ProfilerStart(false);
    clock.Advance(10);
    Velm::ProfilerAddEvent("Draw", false);  // the start was dropped
    Velm::ProfilerStop();
    EXPECT_EQ(Velm::ProfilerGetResults(), "Total Time: 10.00\n");
    // The results stay readable; a new start clears them.
    Velm::ProfilerStart(true);
    EXPECT_EQ(Velm::ProfilerGetResults(), "Total Time: 0.00\n");
}

TEST(Profiler, ExtraStopDoesNotSpoilTheSection) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scoped(clock);
    Velm::ProfilerStart(false);
    Velm::ProfilerAddEvent("Draw", true);
    clock.Advance(3);
    Velm::ProfilerAddEvent("Draw", false);
    Velm::ProfilerAddEvent("Draw", false);
    Velm::ProfilerAddEvent("Draw", true);
    clock.Advance(5);
    Velm::ProfilerAddEvent("Draw", false);
    Velm::ProfilerStop();
    const Velm::ProfilerSection* draw = Velm::ProfilerGetSection("Draw");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->mCalls, 2);
    EXPECT_DOUBLE_EQ(draw->mTotal, 8.0);
    EXPECT_DOUBLE_EQ(draw->mLongest, 5.0);
}

TEST(DebugOutputFormat, FormatsToTheDebugSink) {
    plat::CapturedDebugOutput captured;
    Velm::OutputDebugFormat("Loaded %d images in %s\n", 12, "0.5s");
    EXPECT_EQ(captured.Text(), "Loaded 12 images in 0.5s\n");
}

TEST(DebugOutputFormat, NestingCounterNeverGoesBelowZero) {
    EXPECT_EQ(Velm::AdjustNestingCounter(true), 0);
    EXPECT_EQ(Velm::AdjustNestingCounter(false), 1);
    EXPECT_EQ(Velm::AdjustNestingCounter(false), 2);
    EXPECT_EQ(Velm::AdjustNestingCounter(true), 1);
    EXPECT_EQ(Velm::AdjustNestingCounter(true), 0);
    EXPECT_EQ(Velm::AdjustNestingCounter(true), 0);
}

}  // namespace
