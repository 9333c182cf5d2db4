#pragma once

// The high-resolution counter and the millisecond stopwatch on it (what the performance
// counter was). The counter counts nanoseconds of the monotonic clock; while a test has
// installed a clock of its own (plat::SetCurrentClock), the counter follows that clock
// instead, in whole milliseconds, so that stopwatches run on the test's time.

#include <cstdint>

namespace Velm {

uint64_t PerfCounterNow();
// Counts per second: always 1,000,000,000.
uint64_t PerfCounterFrequency();

// A stopwatch in milliseconds. Any thread, one object per thread.
class PerfTimer {
public:
    PerfTimer() = default;

    void Start();
    // Fixes the duration; a timer that is not running keeps its old one.
    void Stop();
    void CalcDuration();
    // Milliseconds from Start to Stop, or to now while running.
    double GetDuration();

private:
    uint64_t mStart = 0;
    double mDuration = 0.0;
    bool mRunning = false;
};

}  // namespace Velm
