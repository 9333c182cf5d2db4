#pragma once

#include "engine/anim/DrawObject.h"
#include "engine/anim/FadingImage.h"

namespace Velm {
struct LayoutCell_t;
}

// A removed or used tile's picture fading away where the tile was: waits `delay` updates, then
// fades from 255 to 0 over `fadeTicks` updates (done on update delay + fadeTicks). The picture
// and the owner tile are not owned. In the play screen's effect list A. Main thread only.
class SimpleEffect2 : public DrawObject {
public:
    SimpleEffect2(int x, int y, Velm::Image* picture, const Velm::LayoutCell_t* owner, int delay, int fadeTicks);

    bool Update() override;
    void Draw(Velm::Graphics* g) override;

    const Velm::LayoutCell_t* owner = nullptr;
    float alphaScale = 255;
    FadingImage_t picture;
    int delay = 0;
};

// The random integer in [lo, hi) of the C runtime generator: lo + trunc(rand() x (hi - lo) /
// 32767), a result equal to hi becoming lo.
int RandomInRange(int lo, int hi);
