#pragma once

// The figures behind the diagnostic overlays: the frame-rate counter, refreshed once a
// second of its stopwatch (a PerfTimer, so a test's clock drives it), and the text of the
// remaining demo time.

#include <string>

#include "app/devaids/PerfTimer.h"

namespace Velm {

class FrameRateCounter {
public:
    // Starts the stopwatch with no frames counted; the next frame shows a rate of 0 at once.
    void Restart();
    // Counts one frame. True when the rate was recomputed and its text must be rewritten:
    // once at least 1,000 ms passed on the stopwatch (frames x 1000 / ms, rounded), or right
    // after Restart (0). The first frame ever counted restarts the counter.
    bool CountFrame();
    int GetFramesPerSecond() const { return mFramesPerSecond; }

private:
    PerfTimer mStopwatch;
    int mFrames = 0;
    int mFramesPerSecond = 0;
    bool mRestart = false;
    bool mStarted = false;
};

// "hh:mm:ss" of updatesLeft updates of frameTimeMs each; a negative count reads as 0.
std::string FormatDemoTime(int updatesLeft, int frameTimeMs);

}  // namespace Velm
