#pragma once

// Monotonic millisecond time for the whole program (what GetTickCount, timeGetTime and
// Sleep were). Code reads time only through the process-wide current clock, so a test
// can install a VirtualClock and drive a whole run deterministically.
//
// Values are milliseconds from an arbitrary start; keep differences, not absolute values.
// Code that kept tick counts in 32 bits may truncate: differences still work across the
// wrap. Some callers take 0 for "not started yet", so a virtual clock for whole runs
// should start above 0. Both clocks may be used from any thread.

#include <atomic>
#include <cstdint>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
    // Blocks the calling thread for at least `ms` milliseconds (a virtual clock only
    // advances).
    virtual void SleepMs(uint32_t ms) = 0;
};

// The system's monotonic clock (milliseconds since boot, as GetTickCount counted).
class RealClock : public Clock {
public:
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
};

// A clock for tests: time stands still until the program sleeps (SleepMs advances it by
// the requested time at once) or the test calls Advance.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(uint64_t startMs = 0) : mNowMs(startMs) {}
    uint64_t NowMs() override { return mNowMs.load(); }
    void SleepMs(uint32_t ms) override { mNowMs.fetch_add(ms); }
    void Advance(uint64_t ms) { mNowMs.fetch_add(ms); }

private:
    std::atomic<uint64_t> mNowMs;
};

// The process-wide clock: a RealClock unless a test installed another.
Clock& CurrentClock();
// Installs `clock` (not owned; must outlive its use) or, with nullptr, the real clock again.
void SetCurrentClock(Clock* clock);

// Shorthands for CurrentClock().NowMs() / SleepMs().
uint64_t NowMs();
void SleepMs(uint32_t ms);

// Installs a clock for the life of a scope (tests), then restores the previous one.
class ScopedClock {
public:
    explicit ScopedClock(Clock& clock) : mPrevious(&CurrentClock()) { SetCurrentClock(&clock); }
    ~ScopedClock() { SetCurrentClock(mPrevious); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    Clock* mPrevious;
};

}  // namespace plat
