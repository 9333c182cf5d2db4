#include "game/board/effects/EffectBlinkCell.h"

EffectBlinkCell::EffectBlinkCell(float x, float y, Velm::Image* image, int delayTicks, int periodTicks, bool centred,
                                 int cycles)
        : startDelay(delayTicks), period(periodTicks > 0 ? periodTicks : 1), cycleLimit(cycles) {
    picture.SetImagePtr(image);
    picture.x = x;
    picture.y = y;
    picture.centred = centred;
    picture.alpha = 0;
    picture.targetAlpha = 255;
    picture.step = static_cast<float>(255 / period);
}

bool EffectBlinkCell::Update() {
    if (done) return true;
    if (delayCounter < startDelay) {
        ++delayCounter;
        return false;
    }
    picture.Update();
    if (picture.alpha != picture.targetAlpha) return false;
    if (picture.targetAlpha >= 255) {
        picture.targetAlpha = 0;
        picture.step = -static_cast<float>(255 / period);
    } else {
        picture.targetAlpha = 255;
        picture.step = static_cast<float>(255 / period);
        ++cyclesDone;
        if (cycleLimit > 0 && cyclesDone >= cycleLimit) done = true;
    }
    return done;
}

void EffectBlinkCell::Draw(Velm::Graphics* g) {
    if (!done) picture.Draw(g, scale);
}
