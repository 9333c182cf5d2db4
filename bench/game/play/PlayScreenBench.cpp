// The full play-screen frame on the software path (BoardFrameScene.h: the stage background,
// the classic board of 144 tiles with pictures, twenty fading tiles, the labels and the pause
// shadow) at 1024 x 768 on one core, beside pixman doing the same blits (PixmanReplay.h):
//   ours/memory/8888     drawn into a memory image of 8888 pixels
//   ours/display/8888    drawn on the display's drawing surface in X8R8G8B8 (the game's screen
//                        without 3D), and the same in R5G6B5 (ours/display/565)
//   pixman/8888, /565    the frame's recorded blits and fills composited by pixman onto a
//                        screen of that format
// Goals: the frame in 8888 within 5 ms and no slower than pixman's sum of the same blits (the
// 565 row is held to the same marks, for reference).
// Run with --benchmark_repetitions=N on a busy machine: the closing table takes the median of
// the runs. No display window and no application: the screen runs on a recording host.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/FrameOnDisplay.h"
#include "bench/game/ComparisonTable.h"
#include "bench/game/PixmanReplay.h"
#include "bench/game/SoftwareDisplay.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/game/board/screen/BoardFrameScene.h"

namespace {

using boardframe::kHeight;
using boardframe::kWidth;

boardframe::BoardFrameScene& Scene() {
    static boardframe::BoardFrameScene scene;
    return scene;
}

// The frame drawn once into a memory image: what the other runs are held against.
const std::vector<uint32_t>& Reference() {
    static const std::vector<uint32_t> frame = Scene().DrawnPixels();
    return frame;
}

// How much of a run's picture (XRGB, read by pixelAt(x, y)) is the reference's.
template <typename PixelAt>
double SamePicturePercent(PixelAt pixelAt) {
    return benchgame::SamePicturePercent(kWidth, kHeight, pixelAt,
                                         [](int x, int y) { return Reference()[static_cast<size_t>(y) * kWidth + x]; });
}

void OursMemory(benchmark::State& state) {
    Velm::MemoryImage screen(nullptr);
    screen.Create(kWidth, kHeight);
    Velm::Graphics g(&screen);
    for (auto _ : state) {
        Scene().Draw(&g);
        benchmark::ClobberMemory();
    }
    state.counters["tiles"] = Scene().ActiveTiles();
}

// The frame's calls, recorded once.
const benchgame::RecordingImage& Recorded() {
    static const std::unique_ptr<benchgame::RecordingImage> recorder = [] {
        auto image = std::make_unique<benchgame::RecordingImage>();
        image->Create(kWidth, kHeight);
        Velm::Graphics g(image.get());
        Scene().Draw(&g);
        return image;
    }();
    return *recorder;
}

// Drops the display-format caches of every picture the frame draws: a picture keeps the
// premultiplied copy of the first display that drew it (the application drops them at each
// display change; the scene's pictures are not registered with one).
void FreeDisplayCaches() {
    for (const benchgame::DrawCall& call : Recorded().calls) {
        if (auto* image = dynamic_cast<Velm::MemoryImage*>(call.image)) image->FreeAllCaches();
    }
}

// The display's software drawing surface in 16 or 32 bits per pixel.
void OursDisplay(benchmark::State& state, int bits) {
    benchgame::SoftwareDisplay display(bits);
    if (!display.Error().empty()) {
        state.SkipWithError(display.Error().c_str());
        return;
    }
    FreeDisplayCaches();
    Velm::DDImage* screen = display.Screen();
    Velm::Graphics g(screen);
    for (auto _ : state) {
        screen->LockSurface();
        Scene().Draw(&g);
        screen->UnlockSurface();
        benchmark::ClobberMemory();
    }
    state.counters["same_picture_pct"] = SamePicturePercent([&display](int x, int y) { return display.PixelAt(x, y); });
    FreeDisplayCaches();
}

void Pixman(benchmark::State& state, pixman_format_code_t format) {
    const benchgame::RecordingImage& recorder = Recorded();
    benchgame::PixmanReplay replay(recorder.calls, format, kWidth, kHeight);
    for (auto _ : state) {
        replay.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["composites"] = replay.Composites();
    state.counters["same_picture_pct"] = SamePicturePercent([&replay, format](int x, int y) {
        return format == PIXMAN_r5g6b5 ? plat::dd::ToXrgb(replay.Pixel16(x, y), plat::dd::PixelFormat::R5G6B5())
                                       : replay.Pixel32(x, y);
    });
    state.counters["not_replayed"] = recorder.unreplayed;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("ours/memory/8888", OursMemory)->Unit(benchmark::kMillisecond);
    for (int bits : {32, 16}) {
        const std::string format = bits == 32 ? "8888" : "565";
        benchmark::RegisterBenchmark(("ours/display/" + format).c_str(), [bits](benchmark::State& s) {
            OursDisplay(s, bits);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("pixman/" + format).c_str(), [bits](benchmark::State& s) {
            Pixman(s, bits == 32 ? PIXMAN_x8r8g8b8 : PIXMAN_r5g6b5);
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchframe::MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchgame::PrintComparison(reporter, {{"ours/memory/8888", "pixman/8888", 5.0, 1.0},
                                          {"ours/display/8888", "pixman/8888", 5.0, 1.0},
                                          {"ours/display/565", "pixman/565", 5.0, 1.0}});
    benchmark::Shutdown();
    return 0;
}
