#include "app/devaids/Profiler.h"

#include <map>
#include <vector>

#include "app/devaids/PerfTimer.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

// The C library's case-insensitive order (ASCII letters folded to lower case).
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        const size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            const int ca = Lower(static_cast<unsigned char>(a[i]));
            const int cb = Lower(static_cast<unsigned char>(b[i]));
            if (ca != cb) return ca < cb;
        }
        return a.size() < b.size();
    }
    static int Lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }
};

struct ProfilerState {
    bool running = false;
    uint64_t startStamp = 0;
    uint64_t overhead = 0;
    int64_t tickRate = 0;
    double totalTime = 0.0;
    std::vector<ProfilerEvent> events;
    std::map<std::string, ProfilerSection, NoCaseLess> sections;
};

ProfilerState& State() {
    static ProfilerState state;
    return state;
}

}  // namespace

uint64_t MeasureCpuSpeed() {
    // The stamps are the high-resolution counter itself, whose rate is known: nothing to
    // calibrate.
    return PerfCounterFrequency();
}

void ProfilerStart(bool dontRun) {
    ProfilerState& state = State();
    state.sections.clear();
    state.events.clear();
    state.overhead = 0;
    state.totalTime = 0.0;
    if (!dontRun) state.running = true;
    state.startStamp = PerfCounterNow();
}

bool ProfilerIsRunning() { return State().running; }

void ProfilerStop() {
    ProfilerState& state = State();
    const uint64_t endStamp = PerfCounterNow();
    ProfilerFlushEvents();
    state.running = false;
    if (state.tickRate <= 0) {
        state.tickRate = static_cast<int64_t>(MeasureCpuSpeed());
        if (state.tickRate <= 0) state.tickRate = 1;
    }
    const double rate = static_cast<double>(state.tickRate);
    const int64_t ticks = static_cast<int64_t>(endStamp - state.startStamp) - static_cast<int64_t>(state.overhead);
    state.totalTime = static_cast<double>(ticks > 0 ? ticks : 0) * 1000.0 / rate;
    for (auto& entry : state.sections) {
        ProfilerSection& section = entry.second;
        section.mTotal = static_cast<double>(section.mTicks) * 1000.0 / rate;
        section.mLongest = section.mLongest * 1000.0 / rate;
    }
}

void ProfilerFlushEvents() {
    ProfilerState& state = State();
    const uint64_t before = PerfCounterNow();
    for (const ProfilerEvent& event : state.events) ProfilerProcessEvent(event);
    state.events.clear();
    state.overhead += PerfCounterNow() - before;
}

void ProfilerProcessEvent(const ProfilerEvent& event) {
    auto& sections = State().sections;
    if (event.mStart) {
        ProfilerSection& section = sections[event.mName];
        if (section.mName.empty()) section.mName = event.mName;
        ++section.mCalls;
        if (section.mNesting++ == 0) section.mStartStamp = event.mStamp;
        return;
    }
    const auto found = sections.find(event.mName);
    // A stop without an open start would leave the nesting below zero and the section
    // untimed from then on: it is ignored like a stop of an unknown section.
    if (found == sections.end() || found->second.mNesting <= 0) return;
    ProfilerSection& section = found->second;
    if (section.mNesting-- == 1) {
        const uint64_t elapsed = event.mStamp - section.mStartStamp;
        section.mTicks += elapsed;
        if (static_cast<double>(elapsed) > section.mLongest) section.mLongest = static_cast<double>(elapsed);
    }
}

void ProfilerAddEvent(const char* name, bool start) {
    ProfilerState& state = State();
    if (!state.running) return;
    state.events.push_back(ProfilerEvent{name, PerfCounterNow(), start});
}

std::string ProfilerGetResults() {
    const ProfilerState& state = State();
    std::string text = FormatString("Total Time: %.2f\n", state.totalTime);
    for (const auto& entry : state.sections) {
        const ProfilerSection& section = entry.second;
        const double share = state.totalTime > 0.0 ? section.mTotal / state.totalTime * 100.0 : 0.0;
        const double average = section.mCalls > 0 ? section.mTotal / section.mCalls : 0.0;
        text += FormatString("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", section.mName.c_str(),
                             section.mCalls, share, section.mTotal, average, section.mLongest);
    }
    return text;
}

const ProfilerSection* ProfilerGetSection(const std::string& name) {
    const auto& sections = State().sections;
    const auto found = sections.find(name);
    return found == sections.end() ? nullptr : &found->second;
}

}  // namespace Velm
