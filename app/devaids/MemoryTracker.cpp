#include "app/devaids/MemoryTracker.h"

#include <ctime>

#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

// True while the process tracker exists.
bool gTracking = false;
bool gReportAtExit = false;

}  // namespace

MemoryTracker::MemoryTracker() = default;
MemoryTracker::~MemoryTracker() = default;

void MemoryTracker::AddTrack(const void* address, int size, const char* file, int line) {
    CritSectLock lock(mCritSect);
    AllocInfo& info = mMap[reinterpret_cast<uintptr_t>(address)];
    info.mSize = size;
    info.mFile = file != nullptr ? file : "";
    info.mLine = line;
}

void MemoryTracker::RemoveTrack(const void* address) {
    CritSectLock lock(mCritSect);
    mMap.erase(reinterpret_cast<uintptr_t>(address));
}

std::string MemoryTracker::ReportText(const std::string& timeText) {
    CritSectLock lock(mCritSect);
    std::string text = "Memory Leak Report for " + timeText;
    int64_t total = 0;
    for (const auto& entry : mMap) {
        const AllocInfo& info = entry.second;
        text += FormatString("%s(%d) : Leak %d byte%s\n", info.mFile.c_str(), info.mLine, info.mSize,
                             info.mSize > 1 ? "s" : "");
        total += info.mSize;
    }
    text += std::string(59, '-') + "\n";
    text += FormatString("Total Unfreed: %lld bytes (%lldKB)\n\n", static_cast<long long>(total),
                         static_cast<long long>(total / 1024));
    return text;
}

bool MemoryTracker::WriteReport(const std::string& path) {
    CritSectLock lock(mCritSect);
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    const std::string text = ReportText(local != nullptr ? std::asctime(local) : "\n");
    if (!plat::WriteFileAtomic(path, text.data(), text.size())) return false;
    plat::DebugOutput("\n" + text);
    return true;
}

namespace {

// The process tracker and the tracking flag's life: set once it is made, cleared at static
// shutdown right after the report at exit.
struct ProcessTracker {
    MemoryTracker tracker;
    ProcessTracker() { gTracking = true; }
    ~ProcessTracker() {
        if (gReportAtExit) tracker.WriteReport("mem_leaks.txt");
        gTracking = false;
    }
};

}  // namespace

MemoryTracker& GetMemoryTracker() {
    // Made during static initialisation (see below), destroyed at static shutdown.
    static ProcessTracker process;
    return process.tracker;
}

namespace {
// Brings the tracker into being during static initialisation.
[[maybe_unused]] const bool gTrackerMade = (GetMemoryTracker(), true);
}  // namespace

void WriteMemoryLeakReport() {
    if (!gTracking) return;
    GetMemoryTracker().WriteReport("mem_leaks.txt");
}

void SetReportMemoryLeaksAtExit(bool on) { gReportAtExit = on; }

}  // namespace Velm
