#include "game/board/effects/EffectMultiply.h"

#include "game/board/LayoutCell.h"

namespace {

void StartSystem(ParticleSystem_t& system, int x, int y, const std::string& file) {
    system.LoadFile(file);
    system.SetPosition(static_cast<float>(x), static_cast<float>(y));
}

}  // namespace

EffectMultiply::EffectMultiply(int px, int py, int burstKind) : x(static_cast<float>(px)), y(static_cast<float>(py)) {
    StartSystem(system, px, py, FileOfKind(burstKind));
}

const char* EffectMultiply::FileOfKind(int burstKind) {
    switch (burstKind) {
        case 0: return "particles/doneitemstrawberry.ini";
        case 1: return "particles/doneitembilberry.ini";
        case 2: return "particles/doneitemmushroom.ini";
        default: return "particles/doneitem.ini";
    }
}

bool EffectMultiply::Update() {
    if (done) return true;
    done = system.Update();
    return done;
}

void EffectMultiply::Advance(float ticks) {
    if (!done) system.Advance(ticks);
}

void EffectMultiply::Draw(Velm::Graphics* g) {
    if (!done) system.Draw(g);
}

EffectParticle::EffectParticle(int x, int y, const std::string& particleFile) {
    StartSystem(system, x, y, particleFile);
}

bool EffectParticle::Update() {
    if (done) return true;
    done = system.Update();
    return done;
}

void EffectParticle::Advance(float ticks) {
    if (!done) system.Advance(ticks);
}

void EffectParticle::Draw(Velm::Graphics* g) {
    if (!done) system.Draw(g);
}

EffectBonusChange::EffectBonusChange(const std::vector<Velm::LayoutCell_t*>& tiles, BonusChangeListener* changeListener)
        : listener(changeListener) {
    static const char* const kFlashes[] = {"particles/flashfxred.ini", "particles/flashfxblue.ini",
                                           "particles/flashfxgreen.ini", "particles/flashfxyellow.ini"};
    for (const Velm::LayoutCell_t* tile : tiles) {
        if (tile == nullptr) continue;
        for (const char* file : kFlashes) {
            bursts.push_back(
                    std::make_unique<EffectParticle>(static_cast<int>(tile->x), static_cast<int>(tile->y), file));
        }
    }
}

bool EffectBonusChange::Update() {
    if (done) return true;
    bool allDone = true;
    for (auto& burst : bursts) allDone = burst->Update() && allDone;
    if (allDone) {
        done = true;
        if (listener != nullptr) listener->OnBonusChangeDone();
    }
    return done;
}

void EffectBonusChange::Advance(float ticks) {
    for (auto& burst : bursts) burst->Advance(ticks);
}

void EffectBonusChange::Draw(Velm::Graphics* g) {
    for (auto& burst : bursts) burst->Draw(g);
}
