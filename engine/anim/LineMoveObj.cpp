#include "engine/anim/LineMoveObj.h"

LineMoveObj::LineMoveObj(int fromX, int fromY, int toX, int toY, float moveSpeed, LineMoveObjListener* moveListener)
        : listener(moveListener),
          speed(moveSpeed),
          startX(static_cast<float>(fromX)),
          startY(static_cast<float>(fromY)),
          endX(static_cast<float>(toX)),
          endY(static_cast<float>(toY)),
          currentX(static_cast<float>(fromX)),
          currentY(static_cast<float>(fromY)) {}

Velm::Vector2 LineMoveObj::StepToward(const Velm::Vector2& from, const Velm::Vector2& to, float ticks) const {
    const Velm::Vector2 dir = Velm::Vector2(to.x - from.x, to.y - from.y).Normalized();
    return Velm::Vector2(from.x + dir.x * speed * ticks, from.y + dir.y * speed * ticks);
}

void LineMoveObj::Advance(float ticks) {
    if (done) return;
    const Velm::Vector2 next = StepToward(Velm::Vector2(currentX, currentY), Velm::Vector2(endX, endY), ticks);
    currentX = next.x;
    currentY = next.y;
    const float ex = endX - startX, ey = endY - startY;
    const float cx = currentX - startX, cy = currentY - startY;
    if (ex * ex + ey * ey <= cx * cx + cy * cy) {
        currentX = endX;
        currentY = endY;
        arrived = true;
        done = true;
        if (listener != nullptr) listener->OnLineMoveDone(this);
    }
    SetPositionF(currentX, currentY);
}

void LineMoveObj::Start() {
    AnimObject2::Start();
    arrived = false;
}
