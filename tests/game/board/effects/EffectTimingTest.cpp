// Timing rules of the effect list and of single effects.

#include <gtest/gtest.h>

#include <string>

#include "game/board/effects/EffectBlinkCell.h"
#include "game/board/effects/EffectChange3One.h"
#include "game/board/effects/EffectGo.h"
#include "game/board/effects/EffectMultiply.h"
#include "game/board/effects/ObjectsManager.h"
#include "game/board/effects/Particle.h"
#include "graphics/Graphics.h"
#include "tests/engine/anim/AnimTestSupport.h"

namespace {

// Counts what the list does to it.
struct ProbeObject : DrawObject {
    int updates = 0;
    int advances = 0;
    int draws = 0;
    int transformedDraws = 0;
    bool Update() override {
        ++updates;
        return false;
    }
    void Advance(float) override { ++advances; }
    void Draw(Velm::Graphics*) override { ++draws; }
    void DrawTransformed(Velm::Graphics*) override { ++transformedDraws; }
};

TEST(ObjectsManagerTiming, ADelayedObjectStartsOnTheFifthUpdateAndTicksFromTheSixth) {
    ObjectsManager list;
    auto* probe = new ProbeObject;
    list.AddObject(probe, 5);
    animtest::RecordingImage screen;
    Velm::Graphics g(&screen);
    for (int update = 1; update <= 6; ++update) {
        list.Update();
        list.AdvanceAll(1);
        list.Draw(&g);
        SCOPED_TRACE(update);
        EXPECT_EQ(probe->updates, update <= 5 ? 0 : 1);
        EXPECT_EQ(probe->advances, update < 5 ? 0 : update - 4);
        EXPECT_EQ(probe->draws, update < 5 ? 0 : update - 4);
    }
}

TEST(ObjectsManagerTiming, DrawLayerChoosesTheDrawCall) {
    ObjectsManager list;
    ProbeObject* probes[3];
    for (int layer = 0; layer < 3; ++layer) {
        probes[layer] = new ProbeObject;
        probes[layer]->drawLayer = layer;
        list.AddObject(probes[layer]);
    }
    animtest::RecordingImage screen;
    Velm::Graphics g(&screen);
    list.Update();
    list.AdvanceAll(1);
    list.Draw(&g);
    EXPECT_EQ(probes[0]->draws, 1);
    EXPECT_EQ(probes[0]->transformedDraws, 0);
    EXPECT_EQ(probes[1]->draws, 0);
    EXPECT_EQ(probes[1]->transformedDraws, 1);
    EXPECT_EQ(probes[2]->draws + probes[2]->transformedDraws, 0);
    EXPECT_EQ(probes[2]->updates, 1);
    EXPECT_EQ(probes[2]->advances, 1);
}

TEST(EffectTiming, SparkFadesOutAfter85Advances) {
    Velm::Particle spark(0.25f, 0, 0, nullptr);
    int advances = 0;
    while (!spark.IsDone() && advances < 1000) {
        spark.Advance(1);
        ++advances;
    }
    EXPECT_EQ(advances, 85);
}

TEST(EffectTiming, BlinkingCellTakes51UpdatesPerHalfCycle) {
    EffectBlinkCell blink(0, 0, nullptr, 0, 50, true, 1);
    EXPECT_EQ(blink.picture.step, 5.0f);
    int updates = 0;
    while (blink.picture.targetAlpha == 255 && updates < 1000) {
        blink.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 51);
    while (!blink.IsDone() && updates < 1000) {
        blink.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 102);
}

TEST(EffectTiming, BannerWithShortHoldLeavesWhenFullyShown) {
    EffectGo go(nullptr, 0, 0, 10, nullptr, 100);
    int updates = 0;
    while (go.phase == 0 && updates < 1000) {
        go.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 40);
}

TEST(EffectTiming, EndlessRingNeverFinishes) {
    EffectChange3One ring(0, 0, 5, -5, nullptr, true);
    ring.cycleLimit = -1;
    for (int i = 0; i < 5000; ++i) EXPECT_FALSE(ring.Update());
    EXPECT_GT(ring.cyclesDone, 10);
}

TEST(EffectTiming, BurstKindsPickTheirParticleFiles) {
    const struct {
        int kind;
        const char* file;
    } kKinds[] = {{0, "particles/doneitemstrawberry.ini"},
                  {1, "particles/doneitembilberry.ini"},
                  {2, "particles/doneitemmushroom.ini"},
                  {3, "particles/doneitem.ini"},
                  {7, "particles/doneitem.ini"}};
    for (const auto& k : kKinds) EXPECT_EQ(std::string(EffectMultiply::FileOfKind(k.kind)), k.file);
}

}  // namespace
