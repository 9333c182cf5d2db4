// The representative game frame of the display's benchmark (bench/display) on a 1024 x 768
// drawing surface, in R5G6B5 and X8R8G8B8, drawn on the same display:
// - "software": by the software surface blitters;
// - "gl": through the 3D path (the GL device; Mesa's llvmpipe on a machine without a GPU) ending
//   the scene, which reads the rendered pixels back into the drawing surface (how frames were
//   shown before they went straight from the device);
// - "gl-in-device": through the 3D path waiting for GL to finish drawing but leaving the pixels
//   in the device, which is what a frame costs when it is shown straight from the GL context;
// and, when a window can be opened (an X display, for example under xvfb-run), drawn and
// presented in a 1024 x 768 window with the software cursor on:
// - "software+present": software drawing, then the display's present, with only the cursor
//   moving between frames (the window shows only what changed: the cursor's place);
// - "software+present-all": the same with every frame changed almost everywhere (the
//   half-transparent fill left out of every second frame), so that the whole frame is shown;
// - "gl+present": 3D drawing, then the present straight from the device.
// The window shows software frames through GL, or where GL draws in software (llvmpipe)
// through its own framebuffer in shared memory with the X server.
// Each benchmark also reports the device's GL draw calls and read-backs per frame. A table at
// the end prints, per format and step, the times and the ratios to software (below 1 means the
// 3D path is faster), and the presented frames beside the drawing alone with the present's
// own share. Run with --benchmark_repetitions=N: the table takes the median of the
// repetitions.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
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
#include "platform/Window.h"

using namespace Velm;
using namespace benchframe;

namespace {

// The display in one format, in software or in 3D, in a window or not, and the frame's images.
struct Rig {
    FrameHost frameHost;
    D3DHost d3dHost;
    std::unique_ptr<plat::Window> window;
    std::unique_ptr<DDInterface> display;
    D3DInterface* d3d = nullptr;
    FrameImages images;
    std::unique_ptr<MemoryImage> cursor;
    std::string error;

    Rig(int bits, bool use3D, bool inWindow) {
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = bits;
        plat::dd::SetDisplayConfig(config);
        if (inWindow) {
            plat::Window::Params params;
            params.title = "GL benchmark";
            params.width = kWidth;
            params.height = kHeight;
            window = plat::Window::Create(params, &error);
            if (window == nullptr) return;
            window->Show(false);
        }
        display = std::make_unique<DDInterface>(&frameHost);
        auto layer = std::make_unique<D3DInterface>(&d3dHost);
        d3d = layer.get();
        display->Set3DLayer(std::move(layer));
        display->mIs3D = use3D;
        plat::CapturedDebugOutput quiet;
        if (display->Init(window.get(), true) != RESULT_OK) {
            error = "display set-up failed: " + display->LastError();
            return;
        }
        images.Load(display.get());
        if (inWindow) {
            // The software cursor is on, as the game has it: a 32 x 32 arrow-sized image.
            cursor = Memory(BlobPixels(32, 0xFFFFFF), 32, 32);
            display->SetCursorImage(cursor.get());
            display->SetNextCursorPos(kWidth / 2, kHeight / 2);
        }
    }
    ~Rig() {
        // Textures go before their images.
        if (display != nullptr) display->Cleanup();
    }
    bool Ok() const { return error.empty(); }
    DDImage* Screen() { return display->GetScreenImage(); }
};

// How a frame is drawn and finished.
enum class Path { Software, GlReadBack, GlInDevice, SoftwarePresent, SoftwarePresentAll, GlPresent, Count };
const char* const kPathNames[] = {"software",  "gl", "gl-in-device", "software+present", "software+present-all",
                                  "gl+present"};

void Run(benchmark::State& state, int bits, Step step, Path path) {
    const bool use3D = path == Path::GlReadBack || path == Path::GlInDevice || path == Path::GlPresent;
    const bool inWindow = path == Path::SoftwarePresent || path == Path::SoftwarePresentAll || path == Path::GlPresent;
    std::string why;
    if (use3D && !inWindow && !plat::d3d7::IsAvailable(&why)) {
        state.SkipWithError(("no GL context: " + why).c_str());
        return;
    }
    Rig rig(bits, use3D, inWindow);
    if (!rig.Ok()) {
        state.SkipWithError(rig.error.c_str());
        return;
    }
    plat::d3d7::Device* device = rig.d3d->GetDevice();
    const uint64_t drawsBefore = device != nullptr ? device->DrawCallCount() : 0;
    const uint64_t readBacksBefore = device != nullptr ? device->ReadBackCount() : 0;
    int frame = 0;
    for (auto _ : state) {
        if (step == Frame) {
            // Every second frame of "software+present-all" leaves out the fill, its last step.
            const int steps = path == Path::SoftwarePresentAll && frame % 2 == 1 ? Fill : Frame;
            for (int s = 0; s < steps; ++s) DrawStep(rig.Screen(), rig.images, static_cast<Step>(s));
        } else {
            DrawStep(rig.Screen(), rig.images, step);
        }
        if (path == Path::GlReadBack) {
            rig.d3d->FinishScene();  // the rendered pixels reach the drawing surface
        } else if (path == Path::GlInDevice && device != nullptr) {
            device->Finish();  // drawn, and left in the device
        } else if (inWindow) {
            // The cursor moves a little every frame, as under a player's hand.
            rig.display->SetNextCursorPos(kWidth / 2 + frame % 64, kHeight / 2);
            if (!rig.display->Redraw(nullptr)) {
                state.SkipWithError("present failed");
                break;
            }
            ++frame;
        }
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
    // Windows only where there is a display to open them on (SDL picks X11 there). The first
    // window makes the process's GL context, which every 3D run then draws in (as in the game,
    // where the window comes before the device); the 3D device would otherwise make its own
    // context, from which no window can show frames.
    const bool windows = std::getenv("DISPLAY") != nullptr;
    std::unique_ptr<plat::Window> first;
    if (windows) {
        plat::Window::Params params;
        params.width = 64;
        params.height = 64;
        std::string error;
        first = plat::Window::Create(params, &error);
        if (first == nullptr) std::fprintf(stderr, "no window: %s\n", error.c_str());
    }
    for (int bits : formats)
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + kStepNames[i];
            for (int p = 0; p < static_cast<int>(Path::Count); ++p) {
                const Path path = static_cast<Path>(p);
                const bool inWindow =
                        path == Path::SoftwarePresent || path == Path::SoftwarePresentAll || path == Path::GlPresent;
                if (inWindow && (!windows || step != Frame)) continue;
                benchmark::RegisterBenchmark((std::string(kPathNames[p]) + "/" + suffix).c_str(),
                                             [bits, step, path](benchmark::State& s) { Run(s, bits, step, path); })
                        ->Unit(benchmark::kMicrosecond);
            }
        }
    benchmark::Initialize(&argc, argv);
    MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    plat::d3d7::AdapterIdentity identity;
    if (!plat::dd::Failed(plat::d3d7::GetAdapterIdentity(&identity)))
        std::printf("\n3D device: %s\n", identity.description.c_str());
    std::printf("\nDrawing (median, microseconds; ratios to software)\n");
    std::printf("%-18s %14s %10s %12s %8s %8s\n", "format/step", "software", "gl", "gl-in-dev", "gl", "in-dev");
    for (int bits : formats)
        for (const char* name : kStepNames) {
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + name;
            double software = 0, gl = 0, inDevice = 0;
            if (!reporter.Median("software/" + suffix, &software) || !reporter.Median("gl/" + suffix, &gl) ||
                !reporter.Median("gl-in-device/" + suffix, &inDevice))
                continue;
            std::printf("%-18s %14.1f %10.1f %12.1f %8.2f %8.2f\n", suffix.c_str(), software / 1000, gl / 1000,
                        inDevice / 1000, gl / software, inDevice / software);
        }
    bool header = false;
    for (int bits : formats) {
        const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + kStepNames[Frame];
        double drawing = 0, cursorOnly = 0, all = 0, gl = 0;
        if (!reporter.Median("software/" + suffix, &drawing) ||
            !reporter.Median("software+present/" + suffix, &cursorOnly) ||
            !reporter.Median("software+present-all/" + suffix, &all) || !reporter.Median("gl+present/" + suffix, &gl))
            continue;
        if (!header)
            std::printf(
                    "\nDrawn and presented in a window, software cursor on (median, microseconds; the present's "
                    "share is the presented frame less the drawing alone)\n%-18s %10s %14s %10s %14s %10s %10s\n",
                    "format/step", "drawing", "cursor moved", "present", "all changed", "present", "gl+present");
        header = true;
        std::printf("%-18s %10.1f %14.1f %10.1f %14.1f %10.1f %10.1f\n", suffix.c_str(), drawing / 1000,
                    cursorOnly / 1000, (cursorOnly - drawing) / 1000, all / 1000, (all - drawing) / 1000, gl / 1000);
    }
    benchmark::Shutdown();
    return 0;
}
