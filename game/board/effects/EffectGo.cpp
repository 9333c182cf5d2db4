#include "game/board/effects/EffectGo.h"

#include "engine/anim/EngineHooks.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform.h"

void EffectGo::Ramp::Step() {
    if (reached) return;
    value += step;
    // A small tolerance, so that a step like 255 / 100 lands on the target in exactly that
    // many steps despite rounding.
    constexpr float kTolerance = 0.001f;
    if ((step >= 0 && value >= target - kTolerance) || (step < 0 && value <= target + kTolerance)) {
        value = target;
        reached = true;
    }
}

EffectGo::EffectGo(Velm::Image* goPicture, int centreX, int centreY, int holdUpdates, EffectGoListener* goListener,
                   int fadeOutUpdates)
        : picture(goPicture),
          x(static_cast<float>(centreX)),
          y(static_cast<float>(centreY)),
          hold(holdUpdates),
          fadeOut(static_cast<float>(fadeOutUpdates)),
          listener(goListener) {}

bool EffectGo::Update() {
    if (done) return true;
    if (phase == 1) {
        zoom.Step();
        alpha.Step();
        if (alpha.reached) {
            done = true;
            if (listener != nullptr) listener->OnGoDone(this);
        }
        return done;
    }
    ++updates;
    if (halfway > 0) {
        if (updates >= halfway) {
            if (listener != nullptr) listener->OnGoHalfway(this);
            halfway = 0;
            updates = 0;
        }
        return false;
    }
    alpha.Step();
    if (alpha.reached && updates >= hold) {
        const float steps = fadeOut > 0 ? fadeOut : 1;
        alpha = Ramp{255, 0, -255.0f / steps, false};
        zoom = Ramp{1, finalZoom, (finalZoom - 1) / static_cast<float>(zoomUpdates), false};
        phase = 1;
    }
    return false;
}

void EffectGo::Draw(Velm::Graphics* g) {
    if (picture == nullptr || done) return;
    g->PushState();
    Velm::Transform transform;
    transform.Scale(zoom.value, zoom.value);
    transform.Translate(x, y);
    g->SetTintImages(true);
    g->SetColor(Velm::Color(255, 255, 255, static_cast<int>(alpha.value)));
    if (EngineHooks::Is3DAccelerated())
        g->DrawImageTransformF(picture, transform, 0, 0);
    else
        g->DrawImageTransform(picture, transform, 0, 0);
    g->PopState();
}
