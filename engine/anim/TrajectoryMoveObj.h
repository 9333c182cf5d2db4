#pragma once

#include <vector>

#include "engine/anim/AnimObject2.h"
#include "engine/anim/Trajectories.h"
#include "graphics/Color.h"

// An animation that follows the cubic spline through a trajectory's points at speed (path
// pixels per unit of travel time; Advance adds ticks x 0.01 of travel time), optionally turning
// along the path (keepUpright off) and scaling between the points' scales. The trajectory is
// borrowed and must outlive the mover; it needs at least two points to move.
//   relative off: the path is the trajectory as stored;
//   relative on:  the path is moved so that its first point (anchorAtEnd off) or its last
//                 point (anchorAtEnd on) lies at (offsetX, offsetY).
// arcLength chooses between placing by the spline parameter and walking the curve in steps of
// about a pixel. The frame animation keeps running after arrival; owners remove the mover when
// HasArrived is true (IsDone stays false).
class TrajectoryMoveObj_t : public AnimObject2 {
public:
    TrajectoryMoveObj_t(int offsetX, int offsetY, float pathSpeed, Trajectory_t* path, bool relative,
                        const Velm::Color& moverColour, bool anchorAtEnd, bool arcLength);

    void SetPath(int offsetX, int offsetY, Trajectory_t* path, bool relative, bool anchorAtEnd);

    void Draw(Velm::Graphics* g) override { AnimObject2::Draw(g); }
    bool Update() override;
    void Advance(float ticks) override;
    // Adds the time step to the travel time and places the sprite on the path.
    void UpdateTransform() override;
    void Start() override;
    virtual bool HasArrived() { return arrived; }
    virtual bool IsMoving() { return !arrived; }

    Trajectory_t* trajectory = nullptr;
    bool keepUpright = true;
    float travelTime = 0;
    bool arcLengthStepping = false;
    unsigned pointCount = 0;
    float speed = 0;
    float timeStep = 0.01f;
    std::vector<SplineCoef_t> xCoefs;
    std::vector<SplineCoef_t> yCoefs;
    Velm::Color colour;  // kept for the owner
    bool arrived = false;

private:
    // Places the sprite on segment i, a path pixels short of its end; false when the segment
    // cannot hold the position and the next one is to be tried.
    bool PlaceOnSegment(int i, float a, float length);
};
