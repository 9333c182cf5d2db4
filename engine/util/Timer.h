#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

// Elapsed time in seconds for the engine. The engine sound thread starts the global timer
// when it begins and takes a lap on every refill tick, handing the lap in whole
// milliseconds to every playing sound.
//
// Time comes from the program clock (plat::CurrentClock), so a test that installs a
// virtual clock drives every timer. ExactTimer_t reads that clock as a 64-bit counter
// with the frequency of the shared state; SimpleTimer_t keeps a 32-bit millisecond
// reading whose difference survives one wrap of the clock. A timer has no lock: each one
// belongs to one thread.

// Decided on first use: whether the counter of ExactTimer_t exists, its counts per
// second, and how many Timer_t objects live. While any lives, the system's timer
// resolution is held at 1 ms (on this platform there is nothing to set, so
// resolutionHeld only records it).
struct TimerSharedState {
    bool hasPerformanceCounter = true;
    int64_t frequency = 1000;
    std::atomic<int> livingTimers{0};
    std::atomic<bool> resolutionHeld{false};
};
TimerSharedState& GetTimerSharedState();

class ITimer_t {
public:
    virtual ~ITimer_t() = default;
    // Takes the reference reading now.
    virtual void Start() = 0;
    // Seconds since the reference; the reference stays.
    virtual double GetElapsed() = 0;
    // Seconds since the reference, which then moves to this reading, so consecutive laps
    // add up to the whole time without gaps.
    virtual double GetLap() = 0;
};

class ExactTimer_t : public ITimer_t {
public:
    void Start() override;
    double GetElapsed() override;
    double GetLap() override;

private:
    int64_t mReference = 0;  // counter reading
};

class SimpleTimer_t : public ITimer_t {
public:
    void Start() override;
    double GetElapsed() override;
    double GetLap() override;

private:
    uint32_t mReference = 0;  // milliseconds, wrapping
};

// Owns an ExactTimer_t when the counter exists, else a SimpleTimer_t, started at
// construction.
class Timer_t {
public:
    Timer_t();
    virtual ~Timer_t();
    Timer_t(const Timer_t&) = delete;
    Timer_t& operator=(const Timer_t&) = delete;

    ITimer_t* GetTimer() const { return mTimer.get(); }

private:
    std::unique_ptr<ITimer_t> mTimer;
};

// The engine's one timer, made on first use and destroyed at exit; used by the sound
// thread alone.
Timer_t& GlobalTimer();
