// The representative game frame of the display's benchmark (bench/display) on a 1024 x 768
// drawing surface, in R5G6B5 and X8R8G8B8, drawn twice on the same display: by the software
// surface blitters, and through the 3D path (the GL device; Mesa's llvmpipe on a machine
// without a GPU). The 3D timings include ending the scene, which reads the rendered pixels back
// into the drawing surface, so both columns measure pixels in the surface. A table at the end
// prints, per format and step, both times and the ratio (gl / software: below 1 means the 3D
// path is faster). Run with --benchmark_repetitions=N on a busy machine: the table takes the
// fastest run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/RepresentativeFrame.h"
#include "graphics/D3DHost.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/D3D7.h"
#include "platform/DdDevice.h"
#include "platform/DebugOutput.h"

using namespace Velm;
using namespace benchframe;

namespace {


// The display in one format, in software or in 3D, and the frame's images.
struct Rig {
    struct Host : DisplayHost {
        int GetLogicalWidth() override { return kWidth; }
        int GetLogicalHeight() override { return kHeight; }
        ImageHost* GetImageHost() override { return nullptr; }
    } frameHost;
    D3DHost d3dHost;
    std::unique_ptr<DDInterface> display;
    D3DInterface* d3d = nullptr;
    std::unique_ptr<DDImage> background;
    std::vector<std::unique_ptr<MemoryImage>> tiles;
    std::unique_ptr<MemoryImage> particle, sprite, rotated;
    bool ok = true;

    Rig(int bits, bool use3D) {
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = bits;
        plat::dd::SetDisplayConfig(config);
        display = std::make_unique<DDInterface>(&frameHost);
        auto layer = std::make_unique<D3DInterface>(&d3dHost);
        d3d = layer.get();
        display->Set3DLayer(std::move(layer));
        display->mIs3D = use3D;
        plat::CapturedDebugOutput quiet;
        if (display->Init(nullptr, true) != RESULT_OK) {
            std::fprintf(stderr, "display set-up failed: %s\n", display->LastError().c_str());
            ok = false;
            return;
        }
        const Scene& s = TheScene();
        background = std::make_unique<DDImage>(display.get());
        background->SetBits(s.background.data(), kWidth, kHeight, true);
        background->BuildSurface();
        for (const auto& t : s.tiles)
            tiles.push_back(Memory(t, 64, 80));
        particle = Memory(s.particle, 16, 16);
        sprite = Memory(s.sprite, 32, 32);
        rotated = Memory(s.rotated, 64, 64);
    }
    ~Rig() {
        // Textures go before their images.
        if (display != nullptr)
            display->Cleanup();
    }
    DDImage* Screen() { return display->GetScreenImage(); }
};

void Draw(Rig& rig, Step step) {
    DDImage* screen = rig.Screen();
    const Scene& s = TheScene();
    const Rect all(0, 0, kWidth, kHeight);
    switch (step) {
        case Background:
            screen->Blt(rig.background.get(), 0, 0, all, Color::White, 0);
            break;
        case Tiles:
            for (size_t i = 0; i < s.tilePos.size(); ++i)
                screen->Blt(rig.tiles[i % 8].get(), s.tilePos[i].x, s.tilePos[i].y, Rect(0, 0, 64, 80), Color::White,
                            0);
            break;
        case Grey:
            for (size_t i = 0; i < 40; ++i)
                screen->Blt(rig.tiles[i % 8].get(), s.tilePos[i].x + 5, s.tilePos[i].y + 5, Rect(0, 0, 64, 80),
                            Color(128, 128, 128), 0);
            break;
        case Particles:
            for (size_t i = 0; i < 100; ++i)
                screen->Blt(rig.particle.get(), s.particlePos[i].x, s.particlePos[i].y, Rect(0, 0, 16, 16),
                            Color::White, 1);
            break;
        case Scaled:
            for (size_t i = 100; i < 200; ++i)
                screen->StretchBlt(rig.particle.get(), Rect(s.particlePos[i].x, s.particlePos[i].y, 24, 24),
                                   Rect(0, 0, 16, 16), all, Color::White, 1, true);
            break;
        case Fractional:
            for (size_t i = 0; i < 30; ++i)
                screen->BltF(rig.sprite.get(), s.particlePos[i].x + 0.37f, s.particlePos[i].y + 0.61f,
                             Rect(0, 0, 32, 32), all, Color::White, 0);
            break;
        case Rotated:
            for (int i = 0; i < 10; ++i)
                screen->BltRotated(rig.rotated.get(), static_cast<float>(100 + i * 80), 300.0f, Rect(0, 0, 64, 64), all,
                                   Color::White, 0, 0.3 + i * 0.5, 32.0f, 32.0f);
            break;
        case Fill:
            screen->FillRect(all, Color(0, 0, 0, 128), 0);
            break;
        default:
            break;
    }
}

void Run(benchmark::State& state, int bits, Step step, bool use3D) {
    std::string why;
    if (use3D && !plat::d3d7::IsAvailable(&why)) {
        state.SkipWithError(("no GL context: " + why).c_str());
        return;
    }
    Rig rig(bits, use3D);
    if (!rig.ok) {
        state.SkipWithError("display set-up failed");
        return;
    }
    for (auto _ : state) {
        if (step == Frame) {
            for (int s = 0; s < Frame; ++s)
                Draw(rig, static_cast<Step>(s));
        } else {
            Draw(rig, step);
        }
        if (use3D)
            rig.d3d->FinishScene();  // the rendered pixels reach the drawing surface
        benchmark::ClobberMemory();
    }
    if (use3D && !gD3DError.empty())
        state.SkipWithError(("3D error: " + gD3DError).c_str());
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanos;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                const std::string name = run.run_name.str();
                const double value = run.GetAdjustedRealTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                const auto found = nanos.find(name);
                if (found == nanos.end() || value < found->second)
                    nanos[name] = value;
            }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int formats[] = {16, 32};
    for (int bits : formats)
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + kStepNames[i];
            benchmark::RegisterBenchmark(("software/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                Run(s, bits, step, false);
            })->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("gl/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                Run(s, bits, step, true);
            })->Unit(benchmark::kMicrosecond);
        }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    plat::d3d7::AdapterIdentity identity;
    if (!plat::dd::Failed(plat::d3d7::GetAdapterIdentity(&identity)))
        std::printf("\n3D device: %s\n", identity.description.c_str());
    std::printf("\n%-18s %14s %12s %8s\n", "format/step", "software (us)", "gl (us)", "ratio");
    for (int bits : formats)
        for (const char* name : kStepNames) {
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + name;
            const auto software = reporter.nanos.find("software/" + suffix);
            const auto gl = reporter.nanos.find("gl/" + suffix);
            if (software == reporter.nanos.end() || gl == reporter.nanos.end())
                continue;
            std::printf("%-18s %14.1f %12.1f %8.2f\n", suffix.c_str(), software->second / 1000, gl->second / 1000,
                        gl->second / software->second);
        }
    benchmark::Shutdown();
    return 0;
}
