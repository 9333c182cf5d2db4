#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/particles/ParticleSystem.h"
#include "engine/particles/SimpleParticleSystem.h"
#include "graphics/Graphics.h"
#include "tests/engine/anim/AnimTestSupport.h"
#include "tests/platform/TempDir.h"

using animtest::WriteIni;

namespace {

class SimpleSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<SimpleParticleSystem_t> System(const std::vector<std::string>& keys, float stepsPerSecond = 50) {
        std::vector<std::string> lines = {"[Default]", "colColorStart=1,1,1,1", "colColorEnd=1,0,0,0.5"};
        lines.insert(lines.end(), keys.begin(), keys.end());
        const std::string path = dir / ("system" + std::to_string(++files) + ".ini");
        WriteIni(path, lines);
        return std::make_unique<SimpleParticleSystem_t>(path, stepsPerSecond);
    }
    velmtest::TempDir dir;
    animtest::ScopedHooks hooks;
    int files = 0;
};

TEST_F(SimpleSystemTest, EmissionRemainderCarriesOver) {
    // 10 per second in steps of 0.02 s: 0.2 of a particle per step, one born every fifth step
    // (single-precision sums of 0.2 may reach 1 one step late).
    auto system = System({"nEmission=10", "fParticleLifeMin=100", "fParticleLifeMax=100"});
    system->FireAt(100, 100);
    std::vector<int> births;
    for (int step = 1; step <= 60; ++step) {
        const int before = system->particleCount;
        system->Step(0.02f);
        ASSERT_LE(system->particleCount - before, 1);
        if (system->particleCount > before) births.push_back(step);
    }
    ASSERT_GE(births.size(), 11u);
    EXPECT_GE(births[0], 5);
    EXPECT_LE(births[0], 6);
    for (size_t i = 1; i < births.size(); ++i) EXPECT_NEAR(births[i] - births[i - 1], 5, 1) << "birth " << i;
    EXPECT_LT(system->emissionRemainder, 1.0f);
}

TEST_F(SimpleSystemTest, NoMoreThanFiveHundredAlive) {
    auto system = System({"nEmission=100000", "fParticleLifeMin=0.03", "fParticleLifeMax=0.03"});
    system->FireAt(0, 0);
    system->Step(0.02f);
    EXPECT_EQ(system->particleCount, SimpleParticleSystem_t::kMaxParticles);
    system->Step(0.02f);
    EXPECT_EQ(system->particleCount, SimpleParticleSystem_t::kMaxParticles);  // none born while full
    system->Step(0.02f);  // all 500 reach their life together: they die, then 500 new are born
    EXPECT_EQ(system->particleCount, SimpleParticleSystem_t::kMaxParticles);
    for (int i = 0; i < system->particleCount; ++i) EXPECT_EQ(system->particles[i].age, 0.0f);
}

TEST_F(SimpleSystemTest, AtMostOneFixedStepPerAdvance) {
    auto system = System({"nEmission=50", "fParticleLifeMin=100", "fParticleLifeMax=100"});
    system->FireAt(0, 0);
    system->Advance(10);  // 0.1 s: one step of 0.02 s, the rest dropped
    EXPECT_EQ(system->particleCount, 1);
    EXPECT_LT(system->accumulator, system->stepInterval);
    auto whole = System({"nEmission=50", "fParticleLifeMin=100", "fParticleLifeMax=100"}, 0);
    whole->FireAt(0, 0);
    whole->Advance(10);  // no step rate: one step of the whole 0.1 s, 5 particles (4.99999 in floats)
    EXPECT_NEAR(whole->particleCount, 5, 1);
}

TEST_F(SimpleSystemTest, LifetimeStopsEmissionAndTheParticlesRunOut) {
    auto system = System({"fLifetime=2", "nEmission=20", "fParticleLifeMin=0.5", "fParticleLifeMax=0.5"});
    EXPECT_TRUE(system->IsStopped());  // until fired
    system->FireAt(0, 0);
    EXPECT_FALSE(system->IsStopped());
    for (int i = 0; i < 99; ++i) system->Step(0.02f);
    EXPECT_FALSE(system->IsStopped());
    for (int i = 0; i < 2; ++i) system->Step(0.02f);
    EXPECT_TRUE(system->IsStopped());
    EXPECT_GT(system->particleCount, 0);
    for (int i = 0; i < 30; ++i) system->Step(0.02f);
    EXPECT_EQ(system->particleCount, 0);
    EXPECT_FALSE(system->IsDone());  // the owner removes it; the system never sets done
}

TEST_F(SimpleSystemTest, TextureRectanglesSkipBadItems) {
    auto system = System({"TextureRect0=0,0,16,16", "TextureRect1=bad", "TextureRect2=16,0,16,16",
                          "TextureRect4=32,0,16,16", "TextureRect5=,1,2,3,"});
    ASSERT_EQ(system->textureRects.size(), 2u);
    EXPECT_EQ(system->textureRects[1], Velm::Rect(16, 0, 16, 16));
}

TEST_F(SimpleSystemTest, RectangleOutsideTheImageIsNeverDrawn) {
    hooks.fileSizes["images/particles.png"] = {16, 16};
    auto system = System({"TextureRect0=0,0,64,8", "nEmission=100"});
    ASSERT_NE(system->image, nullptr);  // the default image file, owned by the system
    auto fits = System({"TextureRect0=0,0,8,8", "nEmission=100", "iDrawMode=1"});
    for (auto* s : {system.get(), fits.get()}) {
        s->FireAt(50, 50);
        s->Step(0.1f);
        ASSERT_GT(s->particleCount, 0);
    }
    animtest::RecordingImage dest;
    Velm::Graphics g(&dest);
    system->Draw(&g);
    EXPECT_TRUE(dest.blits.empty());
    fits->Draw(&g);
    EXPECT_EQ(dest.blits.size(), static_cast<size_t>(fits->particleCount));
    EXPECT_EQ(dest.blits[0].drawMode, 1);
    EXPECT_EQ(g.GetDrawMode(), 0);
    EXPECT_FALSE(g.GetTintImages());
}

// Appear mode 2 (ellipse) with an axis of size 0 never left its loop: the game hung.
TEST_F(SimpleSystemTest, EllipseAreaWithAFlatAxis) {
    struct Case {
        const char* why;
        const char* sizeX;
        const char* sizeY;
        float halfX, halfY;
    };
    const Case cases[] = {
            {"no width", "SizeX=0", "SizeY=40", 0, 20},
            {"no height", "SizeX=40", "SizeY=0", 20, 0},
            {"a point", "SizeX=0", "SizeY=0", 0, 0},
            {"a proper ellipse", "SizeX=60", "SizeY=20", 30, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto system = System({"AppearMode=2", c.sizeX, c.sizeY, "nEmission=200", "fSpeedMin=0", "fSpeedMax=0",
                              "fParticleLifeMin=10", "fParticleLifeMax=10"});
        system->FireAt(100, 100);
        system->Step(0.1f);
        ASSERT_EQ(system->particleCount, 20);
        for (int i = 0; i < system->particleCount; ++i) {
            const float dx = system->particles[i].x - 100, dy = system->particles[i].y - 100;
            EXPECT_LE(std::fabs(dx), c.halfX + 1e-4f);
            EXPECT_LE(std::fabs(dy), c.halfY + 1e-4f);
        }
    }
}

TEST_F(SimpleSystemTest, WithoutColoursNothingIsBorn) {
    const std::string path = dir / "bare.ini";
    WriteIni(path, {"[Default]", "nEmission=100"});
    SimpleParticleSystem_t system(path, 50);
    system.FireAt(0, 0);
    system.Step(0.1f);
    EXPECT_EQ(system.particleCount, 0);
}

TEST_F(SimpleSystemTest, ScalarColourKeysAndDefaults) {
    const std::string path = dir / "scalar.ini";
    WriteIni(path, {"[Default]", "colColorStartR=0.5", "colColorEndA=0", "fSpeedMin=3"});
    SimpleParticleSystem_t system(path, 50);
    ASSERT_EQ(system.startColours.size(), 1u);
    EXPECT_EQ(system.startColours[0].red, 0.5f);
    EXPECT_EQ(system.startColours[0].green, 1.0f);
    EXPECT_EQ(system.endColours[0].alpha, 0.0f);
    EXPECT_EQ(system.speedMin, 3.0f);
    EXPECT_EQ(system.speedMax, 1.0f);
    EXPECT_EQ(system.emission, 50);
    SimpleParticleSystem_t noFile("not an ini name", 50);
    EXPECT_TRUE(noFile.startColours.empty());
}

// A small fixture set of effects and flat-key systems, each run for 500 updates: no particle
// may ever stand at a position that is not a number.
TEST_F(SimpleSystemTest, FiveHundredUpdatesWithoutNaN) {
    std::unique_ptr<Velm::MemoryImage> spark(animtest::MakeImage(8, 8));
    std::unique_ptr<Velm::MemoryImage> mask(animtest::MakeImage(4, 4, 0x000000FF));
    hooks.resources["spark"] = spark.get();
    hooks.resources["mask"] = mask.get();
    const std::vector<std::vector<std::string>> effects = {
            {"[Main]", "Time=1", "[Item1]", "EMISSION_RANGE=0,1", "Image=spark", "NUMBER=0,40;1,5", "LIFE=0,0.5",
             "LIFE_VAR=0,0.4", "SIZE=0,1;1,0", "SIZE_VAR=0,0.5", "VELOCITY=0,2", "START_SPREAD=0,6.28", "WIDTH=0,30",
             "HEIGHT=0,30", "SPIN=0,0.1", "SPIN_VAR=0,1", "ALPHA=0,255;1,0", "COLOR=0,0xFFFF0000;1,0x000000FF"},
            {"[Main]", "Time=0.5", "[Item1]", "EMISSION_RANGE=0,1", "Image=spark", "Shape=1", "ShapeName=mask",
             "NUMBER=0,10", "LIFE=0,0.3", "WIDTH=0,20", "HEIGHT=0,20", "TANGENT_ACCEL=0,0.3", "MOTION_RAND=0,1"},
            {"[Main]", "[Item1]", "EMISSION_RANGE=0,1", "Image=spark", "Shape=2", "NUMBER=0,12", "LIFE=0,0.4",
             "WIDTH=0,0", "HEIGHT=0,0", "TANGENT_ACCEL=0,1", "PivotX=4", "PivotY=-3", "DrawReverse=1", "NeverEnding=1"},
            {"[Main]", "[Item1]", "EMISSION_RANGE=0,1", "Image=spark", "Shape=3", "NUMBER=0,12", "LIFE=0,0",
             "WIDTH=0,0", "HEIGHT=0,40", "UseDeltaAngle=1", "START_DIRECTION=0,1"},
            {"[Main]",
             "[Item1]",
             "EMISSION_RANGE=0,1",
             "Image=spark",
             "Shape=3",
             "NUMBER=0,8",
             "LIFE=0,0.4",
             "WIDTH=0,50",
             "HEIGHT=0,40",
             "UseDeltaAngle=1",
             "LineIndex=0",
             "TrMoveItems=1",
             "TRAJECTORY_SPEED=0,2",
             "[Item2]",
             "EMISSION_RANGE=0,1",
             "Image=spark",
             "NUMBER=0,5",
             "LIFE=0,0.2",
             "LineIndex=1",
             "[Item3]",
             "EMISSION_RANGE=0,1",
             "NUMBER=0,5",
             "LineIndex=2",
             "[Item4]",
             "NUMBER=0,5",
             "LineIndex=3",
             "[Line1]",
             "Type=0",
             "Points=1.0;0;0,0,50,80,120,10,",
             "[Line2]",
             "Type=1",
             "Points=1.0,200,200,100,50",
             "[Line3]",
             "Type=2",
             "Points=1.0,200,200,0,0",
             "[Line4]",
             "Type=3",
             "Points=1.0;1;5,5,5,5,"},
            {"[Main]", "Time=0", "[Item1]", "EMISSION_RANGE=0,1", "NUMBER=0,3", "LIFE=0,1"},
    };
    for (size_t e = 0; e < effects.size(); ++e) {
        SCOPED_TRACE("effect " + std::to_string(e));
        const std::string path = dir / ("fixture" + std::to_string(e) + ".ini");
        WriteIni(path, effects[e]);
        ParticleSystem_t effect;
        effect.LoadFile(path);
        effect.SetPosition(100, 100);
        std::unique_ptr<Velm::MemoryImage> target(animtest::MakeImage(200, 200, 0));
        Velm::Graphics g(target.get());
        for (int tick = 0; tick < 500; ++tick) {
            effect.Update();
            effect.Advance(1.0f);
            if (tick % 50 == 0) effect.Draw(&g);
            for (auto& emitter : effect.emitters) {
                ASSERT_TRUE(std::isfinite(emitter->x) && std::isfinite(emitter->y)) << "tick " << tick;
                for (const EmitterParticle_t& p : emitter->particles)
                    ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "tick " << tick;
            }
        }
    }
    hooks.fileSizes["images/particles.png"] = {16, 16};
    const std::vector<std::vector<std::string>> systems = {
            {"nEmission=300", "fRadialAccelMin=-5", "fRadialAccelMax=5", "fTangentialAccelMin=2",
             "fTangentialAccelMax=4", "fGravityMin=1", "fGravityMax=2", "fSpinStart=1", "fSpinEnd=3",
             "fParticleLifeMin=0.2", "fParticleLifeMax=1"},
            {"AppearMode=1", "SizeX=50", "SizeY=0", "bRelative=1", "fLifetime=3", "fParticleLifeMin=0",
             "fParticleLifeMax=0"},
            {"AppearMode=2", "SizeX=0", "SizeY=0", "fSpeedMin=0", "fSpeedMax=0", "fRadialAccelMin=10",
             "fRadialAccelMax=10", "bUseRandomRect=0", "TextureRect0=0,0,8,8", "TextureRect1=8,8,8,8"},
            {"AppearMode=7", "colColorStart=2,2,2,2;0,0,0,0", "colColorEnd=-1,-1,-1,-1"},
    };
    for (size_t s = 0; s < systems.size(); ++s) {
        SCOPED_TRACE("system " + std::to_string(s));
        auto system = System(systems[s], 100);
        std::unique_ptr<Velm::MemoryImage> target(animtest::MakeImage(200, 200, 0));
        Velm::Graphics g(target.get());
        system->FireAt(100, 100);
        for (int tick = 0; tick < 500; ++tick) {
            if (tick % 100 == 0) system->FireAt(100.0f + tick / 10, 100);
            system->Advance(1.0f);
            if (tick % 50 == 0) system->Draw(&g);
            for (int i = 0; i < system->particleCount; ++i)
                ASSERT_TRUE(std::isfinite(system->particles[i].x) && std::isfinite(system->particles[i].y))
                        << "tick " << tick;
        }
    }
    hooks.resources.clear();
}

}  // namespace
