#pragma once

#include <vector>

namespace Velm {

// Frame timing of an animated sprite sheet, owned by its image. Delays are in update ticks.
class CelAnimation {
public:
    enum Type { None = 0, Once = 1, PingPong = 2, Loop = 3 };
    // Largest cel count of a sheet side and frame count of an animation: the manifest reader
    // refuses more (a ping-pong over two billion cels would ask for gigabytes).
    static constexpr int kMaxCels = 4096;
    static constexpr int kMaxFrames = 2 * kMaxCels;

    int type = None;
    int frameDelay = 1;
    int numCels = 1;                 // after Compute: the number of frames
    std::vector<int> perFrameDelay;  // empty: every frame waits frameDelay
    std::vector<int> frameMap;       // cel of each frame; empty: frame i shows cel i
    int totalTime = 0;

    // Fills numCels, the ping-pong frame map, the first and last frames' delays (when above
    // 0) and totalTime from a cel count (1 to kMaxCels; outside it is brought in). totalTime
    // stops at INT_MAX.
    void Compute(int cels, int beginDelay, int endDelay);
};

}  // namespace Velm
