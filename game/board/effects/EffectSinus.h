#pragma once

#include <memory>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "engine/anim/Trajectories.h"
#include "engine/anim/TrajectoryMoveObj.h"
#include "game/board/effects/Particle.h"

class SwapListener {
public:
    virtual ~SwapListener() = default;
    // The mover has arrived; called once, from the effect's update. Never from its destruction:
    // a flight cleared away before it arrives reports nothing.
    virtual void OnSwapEffectDone() = 0;
};

// One tile of the swap tool flying to the other tile's place along an arc (a third of the
// distance to the side), arriving after half a unit of travel time (50 updates) whatever its
// length, trailing sparks (IMAGE_SPARKLE of BoardEffectResources, the framework's Velm::Random).
// The creator gives the mover its sprite and starts it. Done once arrived and every spark is
// gone. The listener (may be null) is not owned. Main thread only.
class EffectSinus : public DrawObject {
public:
    // Spark constants: tuning values of this effect's source file (indices 0 to 4 in this order),
    // which the developer's reparse key changes while the game runs.
    static int SparkEveryUpdates();
    static int SparksPerSpawn();
    static float SparkSpeedX();
    static float SparkSpeedY();
    static float GravityDivisor();

    EffectSinus(int x1, int y1, int x2, int y2, int unused, SwapListener* listener);
    ~EffectSinus() override;

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    std::unique_ptr<Trajectory_t> arc;
    std::unique_ptr<TrajectoryMoveObj_t> mover;
    SwapListener* listener = nullptr;
    int updates = 0;
    std::vector<std::unique_ptr<Velm::Particle>> sparks;
    bool arrivalReported = false;

private:
    void SpawnSparks();
};
