#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace benchframe {

// benchmark::Initialize with the runs made comparable on a busy machine: unless it sets them, every
// benchmark runs nine repetitions of at least 0.1 s, the repetitions of all the benchmarks run
// in a random interleaved order, so that ours and the peer's sample the same spells of the
// machine's load instead of one after the other, and the console shows each benchmark's
// aggregates, not its every run.
inline void InitializeComparableRuns(int argc, char** argv) {
    static char repetitions[] = "--benchmark_repetitions=9";
    static char minTime[] = "--benchmark_min_time=0.1";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char aggregates[] = "--benchmark_display_aggregates_only=true";
    std::vector<char*> args(argv, argv + argc);
    auto given = [&](const char* flag) {
        for (int i = 1; i < argc; ++i)
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) return true;
        return false;
    };
    if (!given("--benchmark_repetitions")) args.push_back(repetitions);
    if (!given("--benchmark_min_time")) args.push_back(minTime);
    if (!given("--benchmark_enable_random_interleaving")) args.push_back(interleave);
    if (!given("--benchmark_display_aggregates_only") && !given("--benchmark_report_aggregates_only"))
        args.push_back(aggregates);
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
}

// The console report, keeping per benchmark name the real time in nanoseconds of every run that
// ended without error, so that the closing tables can print the median of the repetitions
// (--benchmark_repetitions), neither the fastest nor the last. With
// --benchmark_report_aggregates_only the single runs are not reported; the library's own
// "median" aggregate stands in for them.
class MedianRunReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double nanos = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                mNanos[run.run_name.str()].push_back(nanos);
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                mAggregateMedians[run.run_name.str()] = nanos;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median real time in nanoseconds of the named benchmark's runs (the mean of the middle
    // two for an even count), else its reported median aggregate; false when it has neither.
    bool Median(const std::string& name, double* nanos) const {
        const auto found = mNanos.find(name);
        if (found != mNanos.end() && !found->second.empty()) {
            *nanos = MedianOf(found->second);
            return true;
        }
        const auto aggregate = mAggregateMedians.find(name);
        if (aggregate == mAggregateMedians.end()) return false;
        *nanos = aggregate->second;
        return true;
    }

    static double MedianOf(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> mNanos;
    std::map<std::string, double> mAggregateMedians;
};

}  // namespace benchframe
