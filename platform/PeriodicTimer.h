#pragma once

// A periodic timer that threads wait on (what a waitable timer was): once started, its
// auto-reset event is set when the first period is due and then every period, so it can
// stand in a WaitAny list beside other events. Ticks that nobody took do not pile up: a
// late waiter sees one signal. Periods are real milliseconds, kept by a thread of its own.
// Start and Stop from one owning thread; any thread may wait on Signal().

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/Event.h"

namespace plat {

class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // (Re)arms the timer: first signal after `firstDueMs`, then every `periodMs` (a period
    // of 0 signals once).
    void Start(uint32_t firstDueMs, uint32_t periodMs);
    void Stop();

    Event& Signal() { return mSignal; }

private:
    void Run(uint32_t firstDueMs, uint32_t periodMs);

    Event mSignal{false, false};
    std::mutex mMutex;
    std::condition_variable mWake;
    bool mStopping = false;
    std::thread mThread;
};

}  // namespace plat
