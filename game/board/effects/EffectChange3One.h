#pragma once

#include "engine/anim/DrawObject.h"

namespace Velm {
class Image;
}

class EffectChange3One;

class EffectChange3OneListener {
public:
    virtual ~EffectChange3OneListener() = default;
    // The last cycle of a limited ring has ended; called once, from its update.
    virtual void OnRingDone(EffectChange3One* ring) = 0;
};

// A ring growing from a tile and fading: each cycle picks one of the five ring pictures of
// BoardEffectResources at random (the C runtime generator), starts at scale 0.35 to 0.4 and
// alpha 255, grows by 0.02 to 0.03 and loses 5 alpha per update, and ends at scale 2.5. With the
// cycle limit -1 it never ends (its owner deletes it). The play screen's tool ring is endless,
// drawn in the tool tile's layer; the remover's hit ring runs one cycle. Main thread only.
class EffectChange3One : public DrawObject {
public:
    EffectChange3One(int x, int y, int xOffset, int yOffset, EffectChange3OneListener* listener, bool additive);

    bool Update() override;
    void Draw(Velm::Graphics* g) override;

    float maxScale = 2.5f;
    int cycleLimit = 1;  // -1 endless
    int layer = 0;
    float x = 0;
    float y = 0;
    float scale = 0;
    float growth = 0;
    Velm::Image* picture = nullptr;
    float alpha = 255;
    EffectChange3OneListener* listener = nullptr;
    int updates = 0;
    bool additive = false;
    int cyclesDone = 0;

private:
    void StartCycle();
};
