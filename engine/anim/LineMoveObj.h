#pragma once

#include "engine/anim/AnimObject2.h"
#include "graphics/Vector.h"

class LineMoveObj;

class LineMoveObjListener {
public:
    virtual ~LineMoveObjListener() = default;
    virtual void OnLineMoveDone(LineMoveObj* mover) = 0;
};

// An animation that slides in a straight line from a start point to an end point at speed
// pixels per update tick, moved by Advance (fractional ticks). Like every AnimObject2 it does
// nothing until Start. On arrival it stands exactly on the end point, becomes done and tells
// its listener once.
class LineMoveObj : public AnimObject2 {
public:
    LineMoveObj(int fromX, int fromY, int toX, int toY, float moveSpeed, LineMoveObjListener* moveListener);

    void Advance(float ticks) override;
    // AnimObject2::Start; the current point is not reset.
    void Start() override;
    virtual bool HasArrived() { return arrived; }
    virtual bool IsMoving() { return !arrived; }

    // from + unit direction (to - from) x speed x ticks; a zero direction stays zero.
    Velm::Vector2 StepToward(const Velm::Vector2& from, const Velm::Vector2& to, float ticks) const;

    LineMoveObjListener* listener = nullptr;
    bool arrived = false;
    float speed = 0;
    float startX = 0, startY = 0;
    float endX = 0, endY = 0;
    float currentX = 0, currentY = 0;
};
