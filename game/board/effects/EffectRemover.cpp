#include "game/board/effects/EffectRemover.h"

#include <cmath>

#include "engine/anim/EngineHooks.h"
#include "game/board/effects/BoardEffectResources.h"
#include "platform/CrtRand.h"
#include "resources/base/Random.h"
// Last: the tuning-value macros.
#include "app/devaids/ModVal.h"

namespace {
constexpr float kDegreesToRadians = 3.14159265f / 180.0f;

int RandomBelow(int range) {
    return range > 0 ? static_cast<int>(static_cast<unsigned>(Velm::Random()) % static_cast<unsigned>(range)) : 0;
}
}  // namespace

// In index order: the markers of this file are numbered as they stand.
float EffectRemover::SparkSpeedX() { return M(0.25f); }
float EffectRemover::SparkSpeedY() { return M(0.25f); }
float EffectRemover::GravityDivisor() { return M(5000.0f); }

EffectRemover::EffectRemover(int startX, int startY, const std::vector<std::pair<int, int>>& targets,
                             EffectRemoverListener* removerListener)
        : listener(removerListener), arrivedBits(targets.size(), false) {
    for (size_t i = 0; i < targets.size(); ++i) {
        const float dx = static_cast<float>(targets[i].first - startX);
        const float dy = static_cast<float>(targets[i].second - startY);
        const float side = (i % 2 == 0) ? -1.0f : 1.0f;
        auto arc = Trajectories_t::MakeArc(startX, startY, targets[i].first, targets[i].second,
                                           std::sqrt(dx * dx + dy * dy) * side / 6.0f);
        auto mover = std::make_unique<TrajectoryMoveObj_t>(0, 0, arc->totalLength, arc.get(), false,
                                                           Velm::Color(0, 0, 0, 0), false, false);
        mover->speed = 1.2f * arc->totalLength;
        mover->LoadFile("data/remover.anim");
        mover->Start();
        arcs.push_back(std::move(arc));
        movers.push_back(std::move(mover));
    }
}

EffectRemover::~EffectRemover() = default;

Velm::Color EffectRemover::MoverColour(int mover) {
    static const Velm::Color kColours[kColourCount] = {Velm::Color(255, 0, 0, 255), Velm::Color(0, 255, 0, 255),
                                                       Velm::Color(0, 0, 255, 255), Velm::Color(255, 0, 255, 255),
                                                       Velm::Color(0, 255, 255, 255)};
    const int index = ((mover % kColourCount) + kColourCount) % kColourCount;
    return kColours[index];
}

void EffectRemover::SpawnSpark(int mover) {
    const float angle = static_cast<float>(RandomBelow(360)) * kDegreesToRadians;
    const float divisor = GravityDivisor();
    const float gravity = divisor != 0.0f ? static_cast<float>(RandomBelow(100)) / divisor : 0.0f;
    auto spark = std::make_unique<Velm::Particle>(SparkSpeedX() * std::cos(angle), -SparkSpeedY() * std::sin(angle),
                                                  gravity, GetBoardEffectResources().lightning);
    spark->colour = (plat::CrtRand() % 2 == 0) ? Velm::Color(255, 255, 255, 255) : MoverColour(mover);
    spark->alpha = static_cast<float>(spark->colour.alpha);
    spark->x = movers[static_cast<size_t>(mover)]->x;
    spark->y = movers[static_cast<size_t>(mover)]->y;
    spark->fade = 3;
    spark->additive = true;
    sparks.push_back(std::move(spark));
}

bool EffectRemover::Update() {
    if (done) return true;
    if (!allArrived) {
        ++updates;
        for (size_t i = 0; i < movers.size(); ++i) SpawnSpark(static_cast<int>(i));
        for (size_t i = 0; i < movers.size(); ++i) {
            if (movers[i]->HasArrived() && !arrivedBits[i]) {
                arrivedBits[i] = true;
                if (listener != nullptr) listener->OnRemoverTargetReached(this, static_cast<int>(i));
            }
        }
        bool all = true;
        for (bool bit : arrivedBits) all = all && bit;
        allArrived = all;
    }
    if (allArrived) done = sparks.empty();
    if (done && !doneReported) {
        doneReported = true;
        if (listener != nullptr) listener->OnRemoverDone(this);
    }
    return done;
}

void EffectRemover::Advance(float ticks) {
    for (auto& mover : movers) mover->Advance(ticks);
    for (size_t i = 0; i < sparks.size();) {
        sparks[i]->Advance(ticks);
        if (sparks[i]->IsDone())
            sparks.erase(sparks.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void EffectRemover::Draw(Velm::Graphics* g) {
    const size_t stride = EngineHooks::Is3DAccelerated() ? 1 : 2;
    for (size_t i = 0; i < sparks.size(); i += stride) sparks[i]->Draw(g);
}
