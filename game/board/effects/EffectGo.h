#pragma once

#include "engine/anim/DrawObject.h"

namespace Velm {
class Image;
}

class EffectGo;

class EffectGoListener {
public:
    virtual ~EffectGoListener() = default;
    // The picture has faded out; called once, from the effect's update.
    virtual void OnGoDone(EffectGo* effect) = 0;
    virtual void OnGoHalfway(EffectGo* /*effect*/) {}
};

// A large picture centred on the screen (level complete, time is over, combo bonus): fades in
// over 40 updates, holds until `hold` updates have passed, then fades out over `fadeOut` updates
// while zooming to 1.1 over 75 updates, and tells its listener. Not owned: the picture and the
// listener. In the play screen's effect list B. Main thread only.
class EffectGo : public DrawObject {
public:
    // A value moving by step toward its target.
    struct Ramp {
        float value = 0;
        float target = 0;
        float step = 0;
        bool reached = false;
        void Step();
    };

    EffectGo(Velm::Image* picture, int centreX, int centreY, int hold, EffectGoListener* listener, int fadeOut);

    bool Update() override;
    void Draw(Velm::Graphics* g) override;
    Velm::Image* GetPicture() const { return picture; }

    Ramp zoom{1, 1, 0, true};
    Ramp alpha{0, 255, 6.375f, false};
    Velm::Image* picture = nullptr;
    float x = 0;
    float y = 0;
    int phase = 0;  // 0 showing, 1 leaving
    int updates = 0;
    int hold = 0;
    float fadeOut = 0;
    EffectGoListener* listener = nullptr;
    float finalZoom = 1.1f;
    int zoomUpdates = 75;
    int halfway = 0;  // 0: none
};
