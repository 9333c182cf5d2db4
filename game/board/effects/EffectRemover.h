#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "engine/anim/Trajectories.h"
#include "engine/anim/TrajectoryMoveObj.h"
#include "game/board/effects/Particle.h"

class EffectRemover;

class EffectRemoverListener {
public:
    virtual ~EffectRemoverListener() = default;
    // Mover `target` has arrived; once per target, in the order they arrive.
    virtual void OnRemoverTargetReached(EffectRemover* effect, int target) = 0;
    // Every mover has arrived and its sparks are gone; once. Neither call comes from the
    // effect's destruction: a remover cleared away early reports nothing more.
    virtual void OnRemoverDone(EffectRemover* effect) = 0;
};

// The remover tool's flight: one invisible mover ("data/remover.anim") per target along an arc
// from the start point, consecutive movers bowing to opposite sides, each arriving after 1 / 1.2
// units of travel time (84 updates), each trailing one spark per update (IMAGE_LIGHTNING of
// BoardEffectResources, white or the mover's colour). The listener is not owned. The effect's
// mode (DrawObject::mode) tells the play screen's listener whose flight it is: 0 the remover
// tool. Main thread only.
class EffectRemover : public DrawObject {
public:
    // Spark constants: tuning values of this effect's source file (indices 0 to 2 in this order),
    // which the developer's reparse key changes while the game runs.
    static float SparkSpeedX();
    static float SparkSpeedY();
    static float GravityDivisor();
    static constexpr int kColourCount = 5;

    EffectRemover(int startX, int startY, const std::vector<std::pair<int, int>>& targets,
                  EffectRemoverListener* listener);
    ~EffectRemover() override;

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;
    // The spark colour of mover i when the coin falls that way; cycles through the table.
    static Velm::Color MoverColour(int mover);

    EffectRemoverListener* listener = nullptr;
    bool allArrived = false;
    int updates = 0;
    std::vector<std::unique_ptr<Velm::Particle>> sparks;
    std::vector<std::unique_ptr<Trajectory_t>> arcs;
    std::vector<std::unique_ptr<TrajectoryMoveObj_t>> movers;
    std::vector<bool> arrivedBits;
    bool doneReported = false;

private:
    void SpawnSpark(int mover);
};
