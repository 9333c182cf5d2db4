#pragma once

// The record of live allocations made through a debug allocation path, each with its size
// and the source file and line that made it, and the leak report written from it. One
// tracker exists for the process (GetMemoryTracker): made during static initialisation,
// destroyed during static shutdown, when it writes the report if SetReportMemoryLeaksAtExit
// asked for it. Nothing registers allocations unless a debug allocation path calls
// AddTrack and RemoveTrack. Any thread: the tracker's lock serialises registration and the
// report.

#include <cstdint>
#include <map>
#include <string>

#include "resources/base/CriticalSection.h"

namespace Velm {

class MemoryTracker {
public:
    struct AllocInfo {
        int mSize = 0;
        std::string mFile;
        int mLine = 0;
    };

    MemoryTracker();
    ~MemoryTracker();
    MemoryTracker(const MemoryTracker&) = delete;
    MemoryTracker& operator=(const MemoryTracker&) = delete;

    void AddTrack(const void* address, int size, const char* file, int line);
    void RemoveTrack(const void* address);

    // The report, allocations in address order; timeText is the time as asctime writes it
    // (ending in its own line feed):
    //   "Memory Leak Report for <time>" / "<file>(<line>) : Leak <n> byte[s]" per record /
    //   59 '-' / "Total Unfreed: <n> bytes (<n / 1024>KB)" and an empty line.
    std::string ReportText(const std::string& timeText);
    // Writes the report with the local time now to the file (whole or not at all) and, when
    // that worked, to the debugger output after a "\n". False when the file could not be
    // written.
    bool WriteReport(const std::string& path);

private:
    std::map<uintptr_t, AllocInfo> mMap;
    CriticalSection mCritSect;
};

MemoryTracker& GetMemoryTracker();

// Writes the process tracker's report to "mem_leaks.txt" in the current folder; nothing
// when the tracker does not exist (before static initialisation or after its shutdown).
void WriteMemoryLeakReport();
// Whether the tracker writes the report when it is destroyed; off by default.
void SetReportMemoryLeaksAtExit(bool on);

}  // namespace Velm
