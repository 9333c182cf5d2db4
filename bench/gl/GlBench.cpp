// The representative game frame of the display's benchmark (bench/display) on a 1024 x 768
// drawing surface, in R5G6B5 and X8R8G8B8, drawn three ways on the same display: by the
// software surface blitters; through the 3D path (the GL device; Mesa's llvmpipe on a machine
// without a GPU) ending the scene, which reads the rendered pixels back into the drawing
// surface; and through the 3D path waiting for GL to finish drawing but leaving the pixels in
// the device, which is what a frame costs when it is shown straight from the GL context. A
// table at the end prints, per format and step, the three times and the ratios to software
// (below 1 means the 3D path is faster). Run with --benchmark_repetitions=N: the table takes the
// median of the repetitions.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/FrameOnDisplay.h"
#include "bench/display/MedianRunReporter.h"
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
    FrameHost frameHost;
    D3DHost d3dHost;
    std::unique_ptr<DDInterface> display;
    D3DInterface* d3d = nullptr;
    FrameImages images;
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
        images.Load(display.get());
    }
    ~Rig() {
        // Textures go before their images.
        if (display != nullptr) display->Cleanup();
    }
    DDImage* Screen() { return display->GetScreenImage(); }
};

// How a frame is drawn and finished.
enum class Path { Software, GlReadBack, GlInDevice };
const char* const kPathNames[] = {"software", "gl", "gl-in-device"};

void Run(benchmark::State& state, int bits, Step step, Path path) {
    const bool use3D = path != Path::Software;
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
    plat::d3d7::Device* device = rig.d3d->GetDevice();
    const uint64_t drawsBefore = device != nullptr ? device->DrawCallCount() : 0;
    const uint64_t readBacksBefore = device != nullptr ? device->ReadBackCount() : 0;
    for (auto _ : state) {
        if (step == Frame) {
            for (int s = 0; s < Frame; ++s) DrawStep(rig.Screen(), rig.images, static_cast<Step>(s));
        } else {
            DrawStep(rig.Screen(), rig.images, step);
        }
        if (path == Path::GlReadBack)
            rig.d3d->FinishScene();  // the rendered pixels reach the drawing surface
        else if (path == Path::GlInDevice && rig.d3d->GetDevice() != nullptr)
            rig.d3d->GetDevice()->Finish();  // drawn, and left in the device
        benchmark::ClobberMemory();
    }
    if (device != nullptr && state.iterations() > 0) {
        const double n = static_cast<double>(state.iterations());
        state.counters["draws"] = static_cast<double>(device->DrawCallCount() - drawsBefore) / n;
        state.counters["readbacks"] = static_cast<double>(device->ReadBackCount() - readBacksBefore) / n;
    }
    if (use3D && !gD3DError.empty()) state.SkipWithError(("3D error: " + gD3DError).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const int formats[] = {16, 32};
    const Path paths[] = {Path::Software, Path::GlReadBack, Path::GlInDevice};
    for (int bits : formats)
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + kStepNames[i];
            for (Path path : paths)
                benchmark::RegisterBenchmark((std::string(kPathNames[static_cast<int>(path)]) + "/" + suffix).c_str(),
                                             [bits, step, path](benchmark::State& s) { Run(s, bits, step, path); })
                        ->Unit(benchmark::kMicrosecond);
        }
    benchmark::Initialize(&argc, argv);
    MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    plat::d3d7::AdapterIdentity identity;
    if (!plat::dd::Failed(plat::d3d7::GetAdapterIdentity(&identity)))
        std::printf("\n3D device: %s\n", identity.description.c_str());
    std::printf("\n%-18s %14s %10s %10s %8s %8s\n", "format/step", "software (us)", "gl (us)", "in-dev (us)", "ratio",
                "in-dev");
    for (int bits : formats)
        for (const char* name : kStepNames) {
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + name;
            double software = 0, gl = 0, inDevice = 0;
            if (!reporter.Median("software/" + suffix, &software) || !reporter.Median("gl/" + suffix, &gl) ||
                !reporter.Median("gl-in-device/" + suffix, &inDevice))
                continue;
            std::printf("%-18s %14.1f %10.1f %10.1f %8.2f %8.2f\n", suffix.c_str(), software / 1000, gl / 1000,
                        inDevice / 1000, gl / software, inDevice / software);
        }
    benchmark::Shutdown();
    return 0;
}
