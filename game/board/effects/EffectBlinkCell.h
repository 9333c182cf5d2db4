#pragma once

#include "engine/anim/DrawObject.h"
#include "engine/anim/FadingImage.h"

// A picture blinking on a cell: after the start delay it fades in from 0 to 255 and out again
// by 255 / period (integer division) per update, counting a cycle each time it is back at 0;
// done when the cycle limit (if any, above 0) is reached. The picture is not owned. Main thread
// only.
class EffectBlinkCell : public DrawObject {
public:
    EffectBlinkCell(float x, float y, Velm::Image* picture, int startDelay, int period, bool centred, int cycleLimit);

    bool Update() override;
    void Draw(Velm::Graphics* g) override;

    float scale = 255;
    FadingImage_t picture;
    int delayCounter = 0;
    int startDelay = 0;
    int period = 1;
    int cyclesDone = 0;
    int cycleLimit = 0;  // 0 or less: endless
};
