#pragma once

// The section profiler, started and read out by a developer key. While it runs, code may
// queue start and stop events of named sections (ProfilerAddEvent); the queue is applied in
// one batch when the profiler stops, the time spent applying it is taken off the total, and
// the stamps (counts of the high-resolution counter, PerfTimer.h) are turned into
// milliseconds with one rate at the end. Section names are compared without regard to case;
// a name must stay valid until the profiler is started again. Main thread only.

#include <cstdint>
#include <string>

namespace Velm {

struct ProfilerEvent {
    const char* mName;
    uint64_t mStamp;
    bool mStart;  // false: a stop
};

// One section: nested starts count as calls, but only the outermost start and stop are
// timed.
struct ProfilerSection {
    std::string mName;
    int mCalls = 0;
    int mNesting = 0;
    uint64_t mStartStamp = 0;
    uint64_t mTicks = 0;
    double mTotal = 0.0;    // milliseconds once the profiler stopped
    double mLongest = 0.0;  // counts while running, milliseconds once stopped
};

// Counts per second of the profiler's stamps; 0 when there is no counter.
uint64_t MeasureCpuSpeed();

// Clears the sections and the queue; runs the profiler unless dontRun.
void ProfilerStart(bool dontRun = false);
bool ProfilerIsRunning();
// Stops, applies the queued events and turns every figure into milliseconds.
void ProfilerStop();
void ProfilerFlushEvents();
void ProfilerProcessEvent(const ProfilerEvent& event);
// Queues a start or stop of the named section, stamped now; nothing while stopped.
void ProfilerAddEvent(const char* name, bool start);
// "Total Time: <ms>\n" and one line per section in name order (lines end in "\n").
std::string ProfilerGetResults();
// The section by name, null when absent.
const ProfilerSection* ProfilerGetSection(const std::string& name);

}  // namespace Velm
