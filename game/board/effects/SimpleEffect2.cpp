#include "game/board/effects/SimpleEffect2.h"

#include "platform/CrtRand.h"

SimpleEffect2::SimpleEffect2(int x, int y, Velm::Image* image, const Velm::LayoutCell_t* ownerTile, int delayTicks,
                             int fadeTicks)
        : owner(ownerTile), delay(delayTicks) {
    picture.SetImagePtr(image);
    picture.x = static_cast<float>(x);
    picture.y = static_cast<float>(y);
    picture.centred = true;
    picture.alpha = 255;
    picture.targetAlpha = 0;
    picture.step = -255.0f / static_cast<float>(fadeTicks > 0 ? fadeTicks : 1);
}

bool SimpleEffect2::Update() {
    if (done) return true;
    if (delay > 0) {
        --delay;
        return false;
    }
    picture.Update();
    done = picture.alpha == picture.targetAlpha;
    return done;
}

void SimpleEffect2::Draw(Velm::Graphics* g) {
    if (!done) picture.Draw(g, alphaScale);
}

int RandomInRange(int lo, int hi) {
    const int value = lo + static_cast<int>(static_cast<float>(plat::CrtRand()) * static_cast<float>(hi - lo) /
                                            static_cast<float>(plat::kCrtRandMax));
    return value == hi ? lo : value;
}
