#pragma once

#include "engine/anim/DrawObject.h"
#include "graphics/Color.h"

namespace Velm {

class Image;

// One spark of the swap and remover flights: moves by its velocity with gravity, loses `fade`
// alpha per advanced tick and steps its cel every `celPeriod` advances, wrapping at the
// picture's cel count. Moved only by Advance (ticks); Update does nothing. Done at alpha 0.
// The picture is not owned. Main thread only.
class Particle : public DrawObject {
public:
    Particle(float vx, float vy, float gravity, Image* picture);

    void Advance(float ticks) override;
    bool IsDone() override { return alpha <= 0; }
    void Draw(Graphics* g) override;

    float vx = 0;
    float vy = 0;
    float gravity = 0;
    float x = 0;
    float y = 0;
    float fade = 3;
    bool grow = false;
    int cel = 0;
    float alpha = 255;
    int advances = 0;
    Image* picture = nullptr;
    Color colour;
    float scale = 1;
    bool additive = true;
    int celPeriod = 6;
};

}  // namespace Velm
