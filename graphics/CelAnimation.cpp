#include "graphics/CelAnimation.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace Velm {

void CelAnimation::Compute(int cels, int beginDelay, int endDelay) {
    numCels = std::min(std::max(cels, 1), kMaxCels);
    if (frameDelay < 1) frameDelay = 1;
    if (type == PingPong && numCels > 1) {
        frameMap.clear();
        for (int i = 0; i < numCels; ++i) frameMap.push_back(i);
        for (int i = numCels - 2; i >= 1; --i) frameMap.push_back(i);
    }
    if (!frameMap.empty()) numCels = static_cast<int>(frameMap.size());
    if (beginDelay > 0) {
        if (perFrameDelay.empty()) perFrameDelay.resize(1, 0);
        perFrameDelay[0] = beginDelay;
    }
    if (endDelay > 0) {
        if (static_cast<int>(perFrameDelay.size()) < numCels) perFrameDelay.resize(numCels, 0);
        perFrameDelay[numCels - 1] = endDelay;
    }
    // Summed wide: delays come from the manifest and may be as large as an int holds.
    int64_t total = 0;
    if (!perFrameDelay.empty()) {
        perFrameDelay.resize(numCels, 0);
        for (int& delay : perFrameDelay) {
            if (delay < 1) delay = frameDelay;
            total += delay;
        }
    } else {
        total = static_cast<int64_t>(numCels) * frameDelay;
    }
    totalTime = static_cast<int>(std::min<int64_t>(total, INT_MAX));
}

}  // namespace Velm
