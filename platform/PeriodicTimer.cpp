#include "platform/PeriodicTimer.h"

#include "platform/FaultHandler.h"

#include <chrono>

namespace plat {

PeriodicTimer::~PeriodicTimer() { Stop(); }

void PeriodicTimer::Start(uint32_t firstDueMs, uint32_t periodMs) {
    Stop();
    mSignal.Reset();
    mStopping = false;
    mThread = std::thread([this, firstDueMs, periodMs] {
        FaultStack faultStack;
        Run(firstDueMs, periodMs);
    });
}

void PeriodicTimer::Stop() {
    if (!mThread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
    }
    mWake.notify_all();
    mThread.join();
}

void PeriodicTimer::Run(uint32_t firstDueMs, uint32_t periodMs) {
    // Due times advance by whole periods from the start, so the rate does not drift.
    auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(firstDueMs);
    std::unique_lock<std::mutex> lock(mMutex);
    for (;;) {
        if (mWake.wait_until(lock, due, [this] { return mStopping; })) return;
        mSignal.Set();
        if (periodMs == 0) return;
        due += std::chrono::milliseconds(periodMs);
        const auto now = std::chrono::steady_clock::now();
        if (due < now) due = now;  // after a long stall, go on from now instead of bursting
    }
}

}  // namespace plat
