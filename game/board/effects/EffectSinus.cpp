#include "game/board/effects/EffectSinus.h"

#include <cmath>

#include "game/board/effects/BoardEffectResources.h"
#include "graphics/Image.h"
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
int EffectSinus::SparkEveryUpdates() { return M(2); }
int EffectSinus::SparksPerSpawn() { return M(4); }
float EffectSinus::SparkSpeedX() { return M(0.25f); }
float EffectSinus::SparkSpeedY() { return M(0.25f); }
float EffectSinus::GravityDivisor() { return M(5000.0f); }

EffectSinus::EffectSinus(int x1, int y1, int x2, int y2, int /*unused*/, SwapListener* swapListener)
        : listener(swapListener) {
    if (x1 == x2 && y1 == y2) {
        done = true;
        return;
    }
    const float dx = static_cast<float>(x2 - x1);
    const float dy = static_cast<float>(y2 - y1);
    const float distance = std::sqrt(dx * dx + dy * dy);
    arc = Trajectories_t::MakeArc(x1, y1, x2, y2, distance * 0.33333334f);
    mover = std::make_unique<TrajectoryMoveObj_t>(x1, y1, arc->totalLength, arc.get(), false, Velm::Color(0, 0, 0, 0),
                                                  false, false);
    mover->speed = 2 * arc->totalLength;
}

EffectSinus::~EffectSinus() = default;

void EffectSinus::SpawnSparks() {
    Velm::Image* picture = GetBoardEffectResources().sparkle;
    const int celWidth = picture != nullptr ? picture->GetCelWidth() : 0;
    const int celHeight = picture != nullptr ? picture->GetCelHeight() : 0;
    const int count = SparksPerSpawn();
    const float speedX = SparkSpeedX();
    const float speedY = SparkSpeedY();
    const float gravityDivisor = GravityDivisor();
    for (int k = 0; k < count; ++k) {
        const float angle = static_cast<float>(RandomBelow(360)) * kDegreesToRadians;
        const float gravity = gravityDivisor != 0.0f ? static_cast<float>(RandomBelow(100)) / gravityDivisor : 0.0f;
        auto spark =
                std::make_unique<Velm::Particle>(speedX * std::cos(angle), -speedY * std::sin(angle), gravity, picture);
        spark->colour = Velm::Color(255, 255, 255, 255);
        // A picture whose cels are not smaller than 40 by 50 gets no random offset.
        spark->x = mover->x + static_cast<float>(RandomBelow(40 - celWidth));
        spark->y = mover->y + static_cast<float>(RandomBelow(50 - celHeight));
        spark->fade = 3;
        spark->celPeriod = 1;
        spark->additive = true;
        sparks.push_back(std::move(spark));
    }
}

bool EffectSinus::Update() {
    if (done) return true;
    mover->Update();
    const bool arrived = mover->HasArrived();
    ++updates;
    const int every = SparkEveryUpdates();
    if (!arrived && every > 0 && updates % every == 0) SpawnSparks();
    done = arrived && sparks.empty();
    if (arrived && !arrivalReported) {
        arrivalReported = true;
        if (listener != nullptr) listener->OnSwapEffectDone();
    }
    return done;
}

void EffectSinus::Advance(float ticks) {
    if (done) return;
    mover->Advance(ticks);
    for (size_t i = 0; i < sparks.size();) {
        sparks[i]->Advance(ticks);
        if (sparks[i]->IsDone())
            sparks.erase(sparks.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void EffectSinus::Draw(Velm::Graphics* g) {
    if (done) return;
    if (!mover->HasArrived()) mover->Draw(g);
    for (auto& spark : sparks) spark->Draw(g);
}
