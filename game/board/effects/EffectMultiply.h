#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "engine/particles/ParticleSystem.h"

namespace Velm {
struct LayoutCell_t;
}

// Particle bursts on tiles, run by the engine's emitter effects. Each is done when its system
// is. Main thread only.

// The burst of a removed tile; the kind (the face group's type) picks the file:
// 0 "particles/doneitemstrawberry.ini", 1 "particles/doneitembilberry.ini",
// 2 "particles/doneitemmushroom.ini", any other "particles/doneitem.ini".
class EffectMultiply : public DrawObject {
public:
    EffectMultiply(int x, int y, int burstKind);
    static const char* FileOfKind(int burstKind);

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    float alpha = 255;
    float x = 0;
    float y = 0;
    ParticleSystem_t system;
};

// One burst from a given particle file.
class EffectParticle : public DrawObject {
public:
    EffectParticle(int x, int y, const std::string& particleFile);

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    ParticleSystem_t system;
};

class BonusChangeListener {
public:
    virtual ~BonusChangeListener() = default;
    // Every burst of the change has ended; called once, from the effect's update. Never from
    // its destruction: a change cleared away before its end reports nothing.
    virtual void OnBonusChangeDone() = 0;
};

// The change tool's flashes: four bursts on every changed tile, "particles/flashfxred.ini",
// "...blue", "...green" and "...yellow" in this order. The listener (may be null) is not owned.
class EffectBonusChange : public DrawObject {
public:
    EffectBonusChange(const std::vector<Velm::LayoutCell_t*>& tiles, BonusChangeListener* listener);

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    BonusChangeListener* listener = nullptr;
    std::vector<std::unique_ptr<EffectParticle>> bursts;
};
