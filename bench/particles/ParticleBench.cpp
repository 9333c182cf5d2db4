// One frame of the board's busiest moment: 10 emitter effects of 300 live particles each,
// updated, advanced and drawn into a 1024 x 768 memory image. The flat-key particle system
// with the same particle count is the peer.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/anim/EngineHooks.h"
#include "engine/particles/ParticleSystem.h"
#include "engine/particles/SimpleParticleSystem.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace {

constexpr int kEffects = 10;
constexpr int kParticles = 300;

std::unique_ptr<Velm::MemoryImage> MakeImage(int width, int height, uint32_t argb) {
    auto image = std::make_unique<Velm::MemoryImage>(nullptr);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, argb);
    image->SetBits(pixels.data(), width, height, true);
    return image;
}

void WriteIni(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
}

// Writes the two particle files once and serves the texture through the engine hooks.
struct Fixture {
    Fixture() {
        dir = std::filesystem::temp_directory_path() / "velm-bench-particles";
        std::filesystem::create_directories(dir);
        effectPath = (dir / "effect.ini").string();
        simplePath = (dir / "simple.ini").string();
        WriteIni(effectPath, {"[Main]", "Time=2", "[Item1]", "Image=spark", "NeverEnding=1",
                              "NUMBER=0," + std::to_string(kParticles), "EMISSION_RANGE=0,1", "LIFE=0,1000000",
                              "WIDTH=0,400", "HEIGHT=0,300", "SIZE=0,1", "SPIN=0,0.05", "ALPHA=0,200",
                              "COLOR=0,0xFFFFC040", "Intense=0", "DrawAdditive=1"});
        WriteIni(simplePath, {"[Default]", "nEmission=" + std::to_string(kParticles * 50), "fLifetime=0.03",
                              "fParticleLifeMin=1000000", "fParticleLifeMax=1000000", "fSpeedMin=0", "fSpeedMax=0",
                              "AppearMode=1", "SizeX=400", "SizeY=300", "fSpinStart=0.05", "fSpinEnd=0.05",
                              "colColorStart=1,0.75,0.25,0.8", "colColorEnd=1,0.75,0.25,0.8", "iDrawMode=1"});
        texture = MakeImage(16, 16, 0xFFFFFFFF);
        EngineHooks_t hooks;
        hooks.getResourceImage = [this](const std::string& name) -> Velm::Image* {
            return name == "spark" ? texture.get() : nullptr;
        };
        SetEngineHooks(hooks);
    }
    ~Fixture() {
        SetEngineHooks(EngineHooks_t());
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::filesystem::path dir;
    std::string effectPath;
    std::string simplePath;
    std::unique_ptr<Velm::MemoryImage> texture;
};

void BM_EmitterEffects(benchmark::State& state) {
    Fixture fixture;
    std::vector<std::unique_ptr<ParticleSystem_t>> effects;
    for (int i = 0; i < kEffects; ++i) {
        auto effect = std::make_unique<ParticleSystem_t>();
        effect->LoadFile(fixture.effectPath);
        effect->SetPosition(100.0f + 80 * i, 380);
        effect->Update();
        effects.push_back(std::move(effect));
    }
    auto screen = MakeImage(1024, 768, 0xFF000000);
    Velm::Graphics g(screen.get());
    for (auto _ : state) {
        for (auto& effect : effects) {
            effect->Update();
            effect->Advance(1.0f);
            effect->Draw(&g);
        }
        benchmark::ClobberMemory();
    }
    state.counters["particles"] = static_cast<double>(effects[0]->emitters[0]->particles.size() * kEffects);
    state.SetItemsProcessed(state.iterations() * kEffects * kParticles);
}
BENCHMARK(BM_EmitterEffects)->Unit(benchmark::kMillisecond);

void BM_FlatKeySystems(benchmark::State& state) {
    Fixture fixture;
    std::vector<std::unique_ptr<SimpleParticleSystem_t>> systems;
    for (int i = 0; i < kEffects; ++i) {
        auto system = std::make_unique<SimpleParticleSystem_t>(fixture.simplePath, 0.0f);
        system->SetImage(fixture.texture.get());
        system->FireAt(100.0f + 80 * i, 380);
        system->Step(0.02f);
        systems.push_back(std::move(system));
    }
    auto screen = MakeImage(1024, 768, 0xFF000000);
    Velm::Graphics g(screen.get());
    for (auto _ : state) {
        for (auto& system : systems) {
            system->Advance(2.0f);
            system->Draw(&g);
        }
        benchmark::ClobberMemory();
    }
    state.counters["particles"] = static_cast<double>(systems[0]->particleCount * kEffects);
    state.SetItemsProcessed(state.iterations() * kEffects * kParticles);
}
BENCHMARK(BM_FlatKeySystems)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
