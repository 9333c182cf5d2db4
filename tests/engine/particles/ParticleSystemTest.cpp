#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/particles/ParticleEmitter.h"
#include "engine/particles/ParticleSystem.h"
#include "engine/util/IniFile.h"
#include "graphics/Graphics.h"
#include "platform/CrtRand.h"
#include "tests/engine/anim/AnimTestSupport.h"
#include "tests/platform/TempDir.h"

using animtest::WriteIni;

namespace {

// An emitter read from one "Item" section, with the life and tick the effect would give it.
std::unique_ptr<ParticleEmitter_t> Emitter(const std::vector<std::string>& keys, float life = 2.0f) {
    // Emission range 1 (every particle NUMBER asks for) unless the keys say otherwise.
    std::string text = "[Item1]\r\nEMISSION_RANGE=0,1\r\n";
    for (const std::string& k : keys) text += k + "\r\n";
    IniFile_t ini;
    ini.Parse(text.data(), text.size(), true);
    auto emitter = std::make_unique<ParticleEmitter_t>();
    emitter->LoadItem(ini.GetSection("Item1"));
    emitter->life = life;
    emitter->ageStep = 0.01f;
    return emitter;
}

struct Progress : ParticleSystemListener {
    void OnEmitterProgress(int emitterIndex, float fraction) override {
        indices.push_back(emitterIndex);
        fractions.push_back(fraction);
    }
    std::vector<int> indices;
    std::vector<float> fractions;
};

TEST(ParticleEmitterTest, HoldsNumberAndDropsTheOldestWhenItFalls) {
    auto emitter = Emitter({"NUMBER=0,10", "EMISSION_RANGE=0,1", "LIFE=0,100"});
    emitter->Update();
    ASSERT_EQ(emitter->particles.size(), 10u);
    for (size_t i = 0; i < 10; ++i) emitter->particles[i].x = static_cast<float>(i);  // tag them, oldest first
    for (int i = 0; i < 5; ++i) emitter->Update();
    EXPECT_EQ(emitter->particles.size(), 10u);
    emitter->graphs[ParticleEmitter_t::NUMBER].AddKey(0, 4, true);
    emitter->Update();
    ASSERT_EQ(emitter->particles.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(emitter->particles[i].x, 6.0f + i);
}

TEST(ParticleEmitterTest, AbsurdNumbersAreCapped) {
    struct Case {
        const char* why;
        const char* number;
        size_t alive;
    };
    const Case cases[] = {
            {"a billion", "NUMBER=0,1e9", ParticleEmitter_t::kMaxParticles},
            {"negative", "NUMBER=0,-50", 0},
            {"not a number", "NUMBER=0,nan", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto emitter = Emitter({c.number, "LIFE=0,10"});
        emitter->Update();
        EXPECT_EQ(emitter->particles.size(), c.alive);
    }
}

TEST(ParticleEmitterTest, ListenerHearsTheProgressAndTheEndOnce) {
    struct Case {
        const char* why;
        const char* neverEnding;
        int ends;
    };
    const Case cases[] = {{"finite", "NeverEnding=0", 1}, {"never ending", "NeverEnding=1", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto emitter = Emitter({c.neverEnding, "NUMBER=0,0"}, 0.05f);
        Progress progress;
        emitter->listener = &progress;
        emitter->index = 3;
        for (int i = 0; i < 100; ++i) emitter->Update();
        int ends = 0;
        for (float f : progress.fractions) ends += f == 1.0f ? 1 : 0;
        EXPECT_EQ(ends, c.ends);
        EXPECT_EQ(emitter->finished, c.ends == 1);
        EXPECT_EQ(progress.indices.front(), 3);
        EXPECT_FLOAT_EQ(progress.fractions[1], 0.2f);
    }
}

TEST(ParticleEmitterTest, EmitterWaitsForItsParticlesBeforeFinishing) {
    auto emitter = Emitter({"NUMBER=0,3", "LIFE=0,0.2"}, 0.05f);
    int updates = 0;
    while (!emitter->finished && updates < 1000) {
        emitter->Update();
        ++updates;
    }
    EXPECT_TRUE(emitter->finished);
    EXPECT_GT(updates, 20);  // the last particles lived on after the emitter's 5 ticks
    EXPECT_TRUE(emitter->particles.empty());
}

TEST(ParticleEmitterTest, OutlineShapeGoesRoundTheSides) {
    auto emitter = Emitter({"Shape=2", "NUMBER=0,8", "WIDTH=0,40", "HEIGHT=0,20", "LIFE=0,10"});
    emitter->Reset(100, 100);
    emitter->Update();
    ASSERT_EQ(emitter->particles.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const EmitterParticle_t& p = emitter->particles[i];
        switch (i % 4) {
            case 0: EXPECT_EQ(p.y, 90); break;   // top
            case 1: EXPECT_EQ(p.x, 120); break;  // right
            case 2: EXPECT_EQ(p.y, 110); break;  // bottom
            default: EXPECT_EQ(p.x, 80); break;  // left
        }
    }
}

TEST(ParticleEmitterTest, EllipseOutlineAndDeltaAngles) {
    auto ring = Emitter({"Shape=3", "NUMBER=0,50", "WIDTH=0,100", "HEIGHT=0,60", "LIFE=0,10"});
    ring->Reset(0, 0);
    ring->Update();
    for (const EmitterParticle_t& p : ring->particles) {
        const float r = p.x * p.x / (50.0f * 50) + p.y * p.y / (30.0f * 30);
        EXPECT_LE(r, 1.01f);
        EXPECT_GE(r, 0.8f);
    }
    auto fan = Emitter({"UseDeltaAngle=1", "NUMBER=0,4", "START_DIRECTION=0,6.2831853", "LIFE=0,10"});
    fan->Update();
    ASSERT_EQ(fan->particles.size(), 4u);
    EXPECT_NEAR(fan->particles[1].dirX, 0.0f, 1e-5);  // a quarter turn each
    EXPECT_NEAR(fan->particles[1].dirY, 1.0f, 1e-5);
    auto noNumber = Emitter({"UseDeltaAngle=1", "NUMBER=0,0", "START_DIRECTION=0,1"});
    noNumber->SpawnParticle(1.0f);  // NUMBER 0 leaves the step alone instead of dividing by it
    EXPECT_TRUE(std::isfinite(noNumber->particles[0].dirX));
}

TEST(ParticleEmitterTest, MaskShapeSearchesOpaquePixelsAndGivesUp) {
    std::unique_ptr<Velm::MemoryImage> mask(
            animtest::MakeImage(2, 2, 0x000000FF));  // transparent blue: no pixel qualifies
    auto emitter = Emitter({"Shape=1", "NUMBER=0,3", "WIDTH=0,40", "HEIGHT=0,40", "LIFE=0,10"});
    emitter->Reset(70, 80);
    emitter->Update();  // no shape image: born at the origin
    ASSERT_EQ(emitter->particles.size(), 3u);
    EXPECT_EQ(emitter->particles[0].x, 0);
    emitter->Reset(70, 80);
    emitter->shapeImage = mask.get();
    emitter->Update();  // a mask without a usable pixel: the search ends at the emitter
    ASSERT_EQ(emitter->particles.size(), 3u);
    EXPECT_EQ(emitter->particles[0].x, 70);
    EXPECT_EQ(emitter->particles[0].y, 80);
    mask->GetBits()[3] = 0xFF000000;  // only pixel (1, 1) qualifies
    mask->MarkBitsChanged();
    emitter->Reset(70, 80);
    emitter->Update();
    for (const EmitterParticle_t& p : emitter->particles) {
        EXPECT_EQ(p.x, 70);  // 70 + trunc(1/2 x 40) - 20
        EXPECT_EQ(p.y, 80);
    }
}

TEST(ParticleEmitterTest, AdvanceMovesByVelocityAndWeightPerTick) {
    auto emitter = Emitter({"NUMBER=0,1", "LIFE=0,10", "VELOCITY=0,2", "START_DIRECTION=0,1.5707964", "WEIGHT=0,0.5"});
    emitter->Reset(10, 10);
    emitter->Update();
    ASSERT_EQ(emitter->particles.size(), 1u);
    const float x0 = emitter->particles[0].x, y0 = emitter->particles[0].y;
    emitter->Advance(2);
    EXPECT_NEAR(emitter->particles[0].x, x0 + 4, 1e-3);  // direction 90 degrees is to the right
    EXPECT_NEAR(emitter->particles[0].y, y0 + 1, 1e-3);
    emitter->SetPosition(20, 10, true);
    EXPECT_NEAR(emitter->particles[0].x, x0 + 14, 1e-3);
}

class EffectTest : public ::testing::Test {
protected:
    std::string Effect(const std::vector<std::string>& lines) {
        const std::string path = dir / ("effect" + std::to_string(++files) + ".ini");
        WriteIni(path, lines);
        return path;
    }
    velmtest::TempDir dir;
    animtest::ScopedHooks hooks;
    int files = 0;
};

TEST_F(EffectTest, LoadsEmittersImagesAndPaths) {
    std::unique_ptr<Velm::MemoryImage> spark(animtest::MakeImage(16, 8));
    hooks.resources["spark"] = spark.get();
    hooks.fileSizes["files/glow.png"] = {32, 32};
    const std::string path = Effect({"[Main]",
                                     "X=5",
                                     "Y=6",
                                     "Time=1.5",
                                     "[Item2]",
                                     "EMISSION_RANGE=0,1",
                                     "Image=files/glow.png",
                                     "TextRect=0,0,8,8",
                                     "LineIndex=0",
                                     "TrMoveItems=1",
                                     "[Item1]",
                                     "EMISSION_RANGE=0,1",
                                     "Image=spark",
                                     "LineIndex=4",
                                     "[Line1]",
                                     "Type=3",
                                     "Points=1.0;0;0,0,100,0,",
                                     "[Line2]",
                                     "Type=9",
                                     "[Other]",
                                     "Image=spark"});
    ParticleSystem_t effect;
    effect.LoadFile(path);
    EXPECT_EQ(effect.x, 5);
    EXPECT_EQ(effect.time, 1.5f);
    ASSERT_EQ(effect.emitters.size(), 2u);
    ParticleEmitter_t& first = *effect.emitters[0];  // Item1 sorts first
    ParticleEmitter_t& second = *effect.emitters[1];
    EXPECT_EQ(first.texture, spark.get());
    EXPECT_EQ(first.textureRect, Velm::Rect(0, 0, 16, 8));  // the whole texture
    EXPECT_EQ(first.path, nullptr);                         // index out of range
    EXPECT_EQ(first.life, 1.5f);
    EXPECT_EQ(first.x, 5);
    ASSERT_NE(second.texture, nullptr);
    EXPECT_EQ(second.textureRect, Velm::Rect(0, 0, 8, 8));
    ASSERT_EQ(effect.paths.size(), 1u);  // Type 9 makes no path
    EXPECT_EQ(second.path, effect.paths[0].get());
    EXPECT_TRUE(second.dragParticles);
    EXPECT_TRUE(effect.images["files/glow.png"].owned);
    EXPECT_FALSE(effect.images["spark"].owned);
    EXPECT_EQ(hooks.getImageCalls, 1);  // each name once
    hooks.resources.erase("spark");
}

TEST_F(EffectTest, EmitterTravelsOnItsPath) {
    const std::string path =
            Effect({"[Main]", "Time=1", "[Item1]", "EMISSION_RANGE=0,1", "NUMBER=0,1", "LIFE=0,10", "LineIndex=0",
                    "TRAJECTORY_SPEED=0,1", "[Line1]", "Type=3", "Points=1.0;0;0,0,100,0,"});
    ParticleSystem_t effect;
    effect.LoadFile(path);
    effect.SetPosition(0, 0);
    for (int i = 0; i < 50; ++i) {
        effect.Update();
        effect.Advance(1);
    }
    EXPECT_NEAR(effect.emitters[0]->x, 49, 1);
    EXPECT_EQ(effect.emitters[0]->y, 0);
}

TEST_F(EffectTest, MissingFileIsDoneAtOnce) {
    ParticleSystem_t effect;
    effect.LoadFile(dir / "nothing.ini");
    EXPECT_TRUE(effect.emitters.empty());
    EXPECT_TRUE(effect.Update());
    EXPECT_TRUE(effect.IsDone());
}

TEST_F(EffectTest, FinishesWhenEveryEmitterHasFinished) {
    const std::string path = Effect({"[Main]", "Time=0.1", "[Item1]", "EMISSION_RANGE=0,1", "NUMBER=0,2", "LIFE=0,0.05",
                                     "[Item2]", "NUMBER=0,0"});
    ParticleSystem_t effect;
    effect.LoadFile(path);
    Progress progress;
    effect.SetListener(&progress);
    effect.SetPosition(10, 10);
    int updates = 0;
    while (!effect.Update() && updates < 1000) ++updates;
    EXPECT_TRUE(effect.IsDone());
    EXPECT_LT(updates, 100);
    int ends = 0;
    for (size_t i = 0; i < progress.fractions.size(); ++i) ends += progress.fractions[i] == 1.0f ? 1 : 0;
    EXPECT_EQ(ends, 2);
}

// Building and running effects used to reseed the runtime's shared generator, so every later
// deal and shuffle of the game followed a fixed sequence.
TEST_F(EffectTest, EffectsLeaveTheGamesRandomSequenceAlone) {
    const std::string path = Effect({"[Main]", "[Item1]", "EMISSION_RANGE=0,1", "NUMBER=0,20", "LIFE=0,1",
                                     "LIFE_VAR=0,0.5", "WIDTH=0,50", "HEIGHT=0,50", "AngleType=1", "START_SPREAD=0,3"});
    plat::CrtSrand(4242);
    const int a = plat::CrtRand();
    const int b = plat::CrtRand();
    plat::CrtSrand(4242);
    {
        ParticleSystem_t effect;
        effect.LoadFile(path);
        effect.SetPosition(100, 100);
        for (int i = 0; i < 50; ++i) {
            effect.Update();
            effect.Advance(1);
        }
    }
    EXPECT_EQ(plat::CrtRand(), a);
    EXPECT_EQ(plat::CrtRand(), b);
}

TEST_F(EffectTest, EveryEffectReplaysTheSameParticles) {
    const std::string path =
            Effect({"[Main]", "[Item1]", "EMISSION_RANGE=0,1", "NUMBER=0,30", "LIFE=0,1", "LIFE_VAR=0,0.5",
                    "WIDTH=0,80", "HEIGHT=0,40", "VELOCITY=0,1", "START_SPREAD=0,6", "WEIGHT_VAR=0,0.3"});
    ParticleSystem_t one, two;
    one.LoadFile(path);
    plat::CrtRand();  // the game's generator moving on in between changes nothing
    two.LoadFile(path);
    one.SetPosition(50, 50);
    two.SetPosition(50, 50);
    for (int i = 0; i < 40; ++i) {
        one.Update();
        two.Update();
        one.Advance(1);
        two.Advance(1);
    }
    ASSERT_EQ(one.emitters[0]->particles.size(), two.emitters[0]->particles.size());
    for (size_t i = 0; i < one.emitters[0]->particles.size(); ++i) {
        EXPECT_EQ(one.emitters[0]->particles[i].x, two.emitters[0]->particles[i].x);
        EXPECT_EQ(one.emitters[0]->particles[i].y, two.emitters[0]->particles[i].y);
    }
}

TEST_F(EffectTest, DrawsEachParticleAndItsGlow) {
    std::unique_ptr<Velm::MemoryImage> spark(animtest::MakeImage(8, 8));
    hooks.resources["spark"] = spark.get();
    const std::string path =
            Effect({"[Main]", "[Item1]", "EMISSION_RANGE=0,1", "Image=spark", "NUMBER=0,3", "LIFE=0,10", "SIZE=0,1",
                    "ALPHA=0,200", "COLOR=0,0xFF102030", "Intense=1", "DrawAdditive=0"});
    ParticleSystem_t effect;
    effect.LoadFile(path);
    effect.SetPosition(100, 100);
    effect.Update();
    animtest::RecordingImage dest;
    Velm::Graphics g(&dest);
    effect.Draw(&g);
    ASSERT_EQ(dest.blits.size(), 6u);
    EXPECT_EQ(dest.blits[0].color, Velm::Color(0x10, 0x20, 0x30, 200));
    EXPECT_EQ(dest.blits[0].drawMode, 0);
    EXPECT_EQ(dest.blits[1].color, Velm::Color(255, 255, 255, 200));
    EXPECT_EQ(dest.blits[1].drawMode, 1);
    EXPECT_FALSE(g.GetTintImages());  // state restored
    hooks.resources.erase("spark");
}

}  // namespace
