#include "app/devaids/PerfTimer.h"

#include <chrono>

#include "platform/Clock.h"

namespace Velm {

namespace {
const uint64_t kNanosecondsPerSecond = 1000000000;
}

uint64_t PerfCounterNow() {
    plat::Clock& clock = plat::CurrentClock();
    if (dynamic_cast<plat::RealClock*>(&clock) == nullptr) return clock.NowMs() * 1000000;
    // The real clock reads the same monotonic clock in whole milliseconds.
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
}

uint64_t PerfCounterFrequency() { return kNanosecondsPerSecond; }

void PerfTimer::Start() {
    mRunning = true;
    mStart = PerfCounterNow();
}

void PerfTimer::Stop() {
    if (!mRunning) return;
    CalcDuration();
    mRunning = false;
}

void PerfTimer::CalcDuration() {
    const uint64_t elapsed = PerfCounterNow() - mStart;
    mDuration = static_cast<double>(elapsed) * 1000.0 / static_cast<double>(PerfCounterFrequency());
}

double PerfTimer::GetDuration() {
    if (mRunning) CalcDuration();
    return mDuration;
}

}  // namespace Velm
