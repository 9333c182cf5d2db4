#include "game/board/effects/HintEffect.h"

HintEffect::HintEffect(float x, float y) {
    drawLayer = 1;
    anims[0].LoadFile("data/hint.anim");
    anims[0].SetPositionF(x, y);
    anims[0].Start();
}

bool HintEffect::Update() {
    anims[0].Update();
    const int before = updates++;
    if (before > 500) done = true;
    return done;
}

void HintEffect::DrawTransformed(Velm::Graphics* g) {
    anims[0].SetColor(Velm::Color(255, 255, 255, static_cast<int>(alpha)));
    anims[0].DrawTransformed(g);
}
