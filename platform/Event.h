#pragma once

// Events that threads wait on (what Win32 event objects were). A manual-reset event stays
// signalled until Reset; an auto-reset event is reset by the one wait that it releases.
// WaitAny waits for the first of several events, like WaitForMultipleObjects with
// wait-all false. Any thread may set, reset or wait. Timeouts are real milliseconds.

#include <cstdint>
#include <vector>

namespace plat {

constexpr uint32_t kWaitInfinite = 0xFFFFFFFFu;
constexpr int kWaitTimeout = -1;

class Event {
public:
    explicit Event(bool manualReset = true, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // True when the event was (or became) set within the timeout.
    bool Wait(uint32_t timeoutMs = kWaitInfinite);

private:
    friend int WaitAny(const std::vector<Event*>& events, uint32_t timeoutMs);
    const bool mManualReset;
    bool mSet;  // guarded by the one lock shared by all events
};

// Waits until one of `events` is set; returns the index of the lowest-numbered set event
// (resetting it when it is auto-reset), or kWaitTimeout. With an empty list it only times
// out (at once when the timeout is infinite).
int WaitAny(const std::vector<Event*>& events, uint32_t timeoutMs = kWaitInfinite);

}  // namespace plat
