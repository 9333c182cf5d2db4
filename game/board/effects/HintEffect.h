#pragma once

#include "engine/anim/AnimObject2.h"
#include "engine/anim/DrawObject.h"

// The hint marker on one tile: the animation "data/hint.anim" at (x, y), drawn transformed (draw
// layer 1) in the board's fade (alpha, set by the play screen every tick). Done on its 502nd
// update. In the play screen's effect list D. Main thread only.
class HintEffect : public DrawObject {
public:
    HintEffect(float x, float y);

    bool Update() override;
    void DrawTransformed(Velm::Graphics* g) override;

    float alpha = 255;
    AnimObject2 anims[3];  // the first is used
    int updates = 0;
};
