#include "game/board/effects/EffectChange3One.h"

#include "engine/anim/EngineHooks.h"
#include "game/board/effects/BoardEffectResources.h"
#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "graphics/Transform.h"
#include "platform/CrtRand.h"

namespace {
float RandomUpTo(float range) {
    return static_cast<float>(plat::CrtRand()) * range / static_cast<float>(plat::kCrtRandMax);
}
}  // namespace

EffectChange3One::EffectChange3One(int px, int py, int xOffset, int yOffset, EffectChange3OneListener* ringListener,
                                   bool drawAdditive)
        : x(static_cast<float>(px + xOffset)),
          y(static_cast<float>(py + yOffset)),
          listener(ringListener),
          additive(drawAdditive) {
    StartCycle();
}

void EffectChange3One::StartCycle() {
    const int pick = plat::CrtRand() * 4 / plat::kCrtRandMax;
    picture = GetBoardEffectResources().rings[pick];
    scale = 0.35f + RandomUpTo(0.05f);
    growth = 0.02f + RandomUpTo(0.01f);
    alpha = 255;
}

bool EffectChange3One::Update() {
    if (done) return true;
    ++updates;
    scale += growth;
    alpha -= 5;
    if (alpha < 0) alpha = 0;
    if (scale >= maxScale) {
        ++cyclesDone;
        if (cycleLimit != -1 && cyclesDone >= cycleLimit) {
            done = true;
            if (listener != nullptr) listener->OnRingDone(this);
            return true;
        }
        StartCycle();
    }
    return false;
}

void EffectChange3One::Draw(Velm::Graphics* g) {
    if (done || picture == nullptr) return;
    g->PushState();
    g->SetTintImages(true);
    if (additive) g->SetDrawMode(Velm::DRAWMODE_ADDITIVE);
    Velm::Transform transform;
    transform.Scale(scale, scale);
    transform.Translate(x, y);
    g->SetColor(Velm::Color(255, 255, 255, static_cast<int>(alpha)));
    if (EngineHooks::Is3DAccelerated())
        g->DrawImageTransformF(picture, transform, 0, 0);
    else
        g->DrawImageTransform(picture, transform, 0, 0);
    g->PopState();
}
