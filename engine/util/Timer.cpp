#include "engine/util/Timer.h"

#include "platform/Clock.h"

namespace {

// The performance counter of this platform: the program clock, counted in milliseconds.
int64_t ReadCounter() { return static_cast<int64_t>(plat::NowMs()); }

uint32_t ReadMilliseconds() { return static_cast<uint32_t>(plat::NowMs()); }

}  // namespace

TimerSharedState& GetTimerSharedState() {
    static TimerSharedState state;
    return state;
}

void ExactTimer_t::Start() { mReference = ReadCounter(); }

double ExactTimer_t::GetElapsed() {
    int64_t now = ReadCounter();
    return static_cast<double>(now - mReference) / static_cast<double>(GetTimerSharedState().frequency);
}

double ExactTimer_t::GetLap() {
    int64_t now = ReadCounter();
    double lap = static_cast<double>(now - mReference) / static_cast<double>(GetTimerSharedState().frequency);
    mReference = now;
    return lap;
}

void SimpleTimer_t::Start() { mReference = ReadMilliseconds(); }

double SimpleTimer_t::GetElapsed() {
    uint32_t now = ReadMilliseconds();
    return static_cast<float>(now - mReference) * 0.001f;
}

double SimpleTimer_t::GetLap() {
    uint32_t now = ReadMilliseconds();
    double lap = static_cast<float>(now - mReference) * 0.001f;
    mReference = now;
    return lap;
}

Timer_t::Timer_t() {
    TimerSharedState& shared = GetTimerSharedState();
    if (shared.livingTimers.fetch_add(1) == 0) shared.resolutionHeld = true;
    if (shared.hasPerformanceCounter) {
        mTimer.reset(new ExactTimer_t());
    } else {
        mTimer.reset(new SimpleTimer_t());
    }
    mTimer->Start();
}

Timer_t::~Timer_t() {
    mTimer.reset();
    TimerSharedState& shared = GetTimerSharedState();
    if (shared.livingTimers.fetch_sub(1) == 1) shared.resolutionHeld = false;
}

Timer_t& GlobalTimer() {
    static Timer_t timer;
    return timer;
}
