#include "game/board/effects/Particle.h"

#include "engine/anim/EngineHooks.h"
#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform.h"

namespace Velm {

Particle::Particle(float velocityX, float velocityY, float gravityPerTick, Image* image)
        : vx(velocityX), vy(velocityY), gravity(gravityPerTick), picture(image) {}

void Particle::Advance(float ticks) {
    if (alpha <= 0) return;
    ++advances;
    vy += gravity * ticks;
    x += vx * ticks;
    y += vy * ticks;
    alpha -= fade;
    if (alpha > 255) alpha = 0;
    if (celPeriod > 0 && advances % celPeriod == 0 && picture != nullptr) {
        const int cels = picture->numRows * picture->numCols;
        cel = cels > 0 ? (cel + 1) % cels : 0;
    }
}

void Particle::Draw(Graphics* g) {
    if (alpha <= 0 || picture == nullptr) return;
    g->PushState();
    g->SetTintImages(true);
    g->SetColor(Color(colour.red, colour.green, colour.blue, static_cast<int>(alpha)));
    if (additive) g->SetDrawMode(DRAWMODE_ADDITIVE);
    const Rect celRect = picture->GetCelRect(cel);
    const bool in3D = EngineHooks::Is3DAccelerated();
    if (scale == 1) {
        if (in3D) {
            // Twice: additive sparks glow brighter on the 3D path.
            g->DrawImageF(picture, x, y, celRect);
            g->DrawImageF(picture, x, y, celRect);
        } else {
            g->DrawImage(picture, static_cast<int>(x), static_cast<int>(y), celRect);
        }
    } else {
        Transform transform;
        transform.Scale(scale, scale);
        transform.Translate(x, y);
        if (in3D)
            g->DrawImageTransformF(picture, transform, celRect, 0, 0);
        else
            g->DrawImageTransform(picture, transform, celRect, 0, 0);
    }
    g->PopState();
}

}  // namespace Velm
