#include "app/devaids/FrameRateCounter.h"

#include "resources/base/StringUtils.h"

namespace Velm {

void FrameRateCounter::Restart() {
    mStopwatch.Start();
    mFrames = 0;
    mFramesPerSecond = 0;
    mRestart = true;
    mStarted = true;
}

bool FrameRateCounter::CountFrame() {
    // An overlay switched on without the key that restarts the counter would otherwise
    // wait for ever on a stopwatch that never ran.
    if (!mStarted) Restart();
    ++mFrames;
    if (mStopwatch.GetDuration() < 1000.0 && !mRestart) return false;
    mStopwatch.Stop();
    if (mRestart) {
        mRestart = false;
        mFramesPerSecond = 0;
    } else {
        mFramesPerSecond = static_cast<int>(mFrames * 1000.0 / mStopwatch.GetDuration() + 0.5);
    }
    mStopwatch.Start();
    mFrames = 0;
    return true;
}

std::string FormatDemoTime(int updatesLeft, int frameTimeMs) {
    long long ms = static_cast<long long>(updatesLeft) * frameTimeMs;
    if (ms < 0) ms = 0;
    const long long seconds = ms / 1000;
    return FormatString("%02lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

}  // namespace Velm
