#pragma once

// The closing table of the game benchmarks that run beside pixman: per row our time, pixman's
// and the ratio (ours / pixman's: below 1 means we are faster), from the median of each
// benchmark's runs (MedianRunReporter), with the row's goal in milliseconds.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/display/MedianRunReporter.h"

namespace benchgame {

struct ComparisonRow {
    std::string ours;  // benchmark names
    std::string pixman;
    double goalMs;     // at most this long
    double goalRatio;  // at most this many times pixman's time
};

inline void PrintComparison(const benchframe::MedianRunReporter& reporter, const std::vector<ComparisonRow>& rows) {
    std::printf("\n%-28s %10s %12s %7s %9s %9s\n", "frame", "ours (ms)", "pixman (ms)", "ratio", "goal (ms)",
                "goal ratio");
    for (const ComparisonRow& row : rows) {
        double ours = 0, theirs = 0;
        if (!reporter.Median(row.ours, &ours) || !reporter.Median(row.pixman, &theirs)) continue;
        const double oursMs = ours / 1e6;
        const double theirsMs = theirs / 1e6;
        const double ratio = oursMs / theirsMs;
        std::printf("%-28s %10.2f %12.2f %7.2f %9.1f %9.2f  time %s, ratio %s\n", row.ours.c_str(), oursMs, theirsMs,
                    ratio, row.goalMs, row.goalRatio, oursMs <= row.goalMs ? "met" : "MISSED",
                    ratio <= row.goalRatio ? "met" : "MISSED");
    }
}

}  // namespace benchgame
