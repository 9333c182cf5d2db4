#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace benchframe {

// The console report, keeping per benchmark name the real time in nanoseconds of every run that
// ended without error, so that the closing tables can print the median of the repetitions
// (--benchmark_repetitions), neither the fastest nor the last.
class MedianRunReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                mNanos[run.run_name.str()].push_back(run.GetAdjustedRealTime() * 1e9 /
                                                     benchmark::GetTimeUnitMultiplier(run.time_unit));
        ConsoleReporter::ReportRuns(runs);
    }

    // The median real time in nanoseconds of the named benchmark's runs (the mean of the middle
    // two for an even count); false when it has none.
    bool Median(const std::string& name, double* nanos) const {
        const auto found = mNanos.find(name);
        if (found == mNanos.end() || found->second.empty()) return false;
        *nanos = MedianOf(found->second);
        return true;
    }

    static double MedianOf(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> mNanos;
};

}  // namespace benchframe
