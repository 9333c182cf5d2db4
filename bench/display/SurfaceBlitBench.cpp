// Small blits onto the display's 32-bit (X8R8G8B8) drawing surface, ours against pixman on the
// same surface pixels, and a closing table of the medians of the repetitions (nine, interleaved
// at random with pixman's, unless the command line says otherwise) with the ratio ours / pixman's (below 1 means we are faster).
//
// The cases:
//   opaque/N    200 blits of an opaque N x N memory image at scattered places, N from 16 to
//               256 (pixman: SRC of an x8r8g8b8 image of the same pixels)
//   palette     144 tile faces of 64 x 80 from a palettised (indexed) image, drawn white as the
//               board draws its tiles: opaque face, transparent rounded corners, a soft border
//               and a translucent shadow (pixman: OVER of the same picture expanded to
//               premultiplied 32-bit pixels)
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/FrameOnDisplay.h"
#include "bench/display/MedianRunReporter.h"
#include "bench/display/RepresentativeFrame.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/DdDevice.h"
#include "platform/DebugOutput.h"

using namespace Velm;
using namespace benchframe;

namespace {

constexpr int kOpaqueSizes[] = {16, 32, 64, 128, 256};
constexpr int kBlits = 200;
constexpr int kTileWidth = 64;
constexpr int kTileHeight = 80;

// An opaque picture of n x n with a little of everything in each channel.
std::vector<uint32_t> OpaquePixels(int n) {
    std::vector<uint32_t> p(static_cast<size_t>(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            p[static_cast<size_t>(y) * n + x] = 0xFF000000u | static_cast<uint32_t>(x * 7 & 0xFF) << 16 |
                                                static_cast<uint32_t>(y * 5 & 0xFF) << 8 |
                                                static_cast<uint32_t>((x + y * 3) & 0xFF);
    return p;
}

// A tile face of under 256 colours: a shaded face with a three-colour emblem, corners cut round and
// transparent, a two-pixel antialiased rim and a four-pixel translucent shadow at the right and
// bottom.
std::vector<uint32_t> TileFacePixels() {
    constexpr int w = kTileWidth, h = kTileHeight, shadow = 4, face = w - shadow, faceH = h - shadow;
    std::vector<uint32_t> p(static_cast<size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& out = p[static_cast<size_t>(y) * w + x];
            if (x >= face || y >= faceH) {
                // The shadow, fading outwards, under the face's lower right.
                if (x >= shadow && y >= shadow) {
                    const int depth = std::max(x - face, y - faceH);
                    out = static_cast<uint32_t>(120 - depth * 25) << 24;
                }
                continue;
            }
            // Distance inside the face's rounded outline (corners of radius 6).
            const int cx = std::max(0, std::max(6 - x, x - (face - 7)));
            const int cy = std::max(0, std::max(6 - y, y - (faceH - 7)));
            const int inside = 6 - static_cast<int>(std::sqrt(static_cast<double>(cx * cx + cy * cy)) + 0.5);
            const int edge = std::min(inside, std::min(std::min(x, face - 1 - x), std::min(y, faceH - 1 - y)));
            if (edge < 0) continue;
            // Neighbouring pixels differ, as in a drawn face: 24 shades of ivory, 8 of each
            // emblem colour.
            const uint32_t shade = static_cast<uint32_t>((x * 3 + y * 5) % 24);
            uint32_t rgb = 0xF0E8D0u - shade * 0x030303u;
            const int ex = x - face / 2, ey = y - faceH / 2;
            if (ex * ex + ey * ey < 14 * 14) rgb = ((ex * ey > 0) ? 0xC02020u : 0x2060C0u) + (shade % 8) * 0x050505u;
            if (std::abs(ex) < 3 || std::abs(ey) < 3) rgb = 0x208040u + (shade % 8) * 0x040404u;
            const uint32_t a = edge >= 2 ? 255u : static_cast<uint32_t>(90 + edge * 80);
            out = a << 24 | rgb;
        }
    return p;
}

// The display in X8R8G8B8, its screen image locked around every iteration.
struct Surface32 {
    FrameHost host;
    std::unique_ptr<DDInterface> display;

    Surface32() {
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = 32;
        plat::dd::SetDisplayConfig(config);
        display = std::make_unique<DDInterface>(&host);
        plat::CapturedDebugOutput quiet;
        if (display->Init(nullptr, true) != RESULT_OK)
            std::fprintf(stderr, "display set-up failed: %s\n", display->LastError().c_str());
    }
    DDImage* Screen() { return display->GetScreenImage(); }
    pixman_image_t* PixmanView() {
        plat::dd::Surface* surface = display->GetDrawSurface();
        return pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight,
                                        reinterpret_cast<uint32_t*>(surface->MutableRow(0)), surface->Pitch());
    }
};

// kBlits places for an n x n image, inside the surface, scattered.
std::vector<Placement> Places(int n) {
    std::vector<Placement> places;
    uint32_t state = 777u + static_cast<uint32_t>(n);
    for (int i = 0; i < kBlits; ++i) {
        state = state * 1664525u + 1013904223u;
        const int x = static_cast<int>((state >> 8) % static_cast<uint32_t>(kWidth - n));
        state = state * 1664525u + 1013904223u;
        const int y = static_cast<int>((state >> 8) % static_cast<uint32_t>(kHeight - n));
        places.push_back({x, y});
    }
    return places;
}

std::unique_ptr<MemoryImage> PalettisedTile() {
    std::unique_ptr<MemoryImage> tile = Memory(TileFacePixels(), kTileWidth, kTileHeight);
    if (!tile->Palletize()) std::fprintf(stderr, "the tile face has more than 256 colours\n");
    return tile;
}

void OpaqueOurs(benchmark::State& state, int n) {
    Surface32 surface;
    std::unique_ptr<MemoryImage> image = Memory(OpaquePixels(n), n, n);
    const std::vector<Placement> places = Places(n);
    DDImage* screen = surface.Screen();
    screen->Blt(image.get(), 0, 0, Rect(0, 0, n, n), Color::White, 0);  // builds the native copy
    for (auto _ : state) {
        screen->LockSurface();
        for (const Placement& p : places) screen->Blt(image.get(), p.x, p.y, Rect(0, 0, n, n), Color::White, 0);
        screen->UnlockSurface();
        benchmark::ClobberMemory();
    }
}

void OpaquePixman(benchmark::State& state, int n) {
    Surface32 surface;
    std::vector<uint32_t> pixels = OpaquePixels(n);
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_x8r8g8b8, n, n, pixels.data(), n * 4);
    pixman_image_t* dest = surface.PixmanView();
    const std::vector<Placement> places = Places(n);
    for (auto _ : state) {
        for (const Placement& p : places)
            pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, 0, 0, 0, 0, p.x, p.y, n, n);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(dest);
}

void PaletteOurs(benchmark::State& state) {
    Surface32 surface;
    std::unique_ptr<MemoryImage> tile = PalettisedTile();
    DDImage* screen = surface.Screen();
    const Rect all(0, 0, kTileWidth, kTileHeight);
    screen->Blt(tile.get(), 0, 0, all, Color::White, 0);  // builds the palette's native words and the runs
    const Scene& s = TheScene();
    for (auto _ : state) {
        screen->LockSurface();
        for (const Placement& p : s.tilePos) screen->Blt(tile.get(), p.x, p.y, all, Color::White, 0);
        screen->UnlockSurface();
        benchmark::ClobberMemory();
    }
}

void PalettePixman(benchmark::State& state) {
    Surface32 surface;
    std::unique_ptr<MemoryImage> tile = PalettisedTile();
    // The same premultiplied words ours draws from, pixel by pixel.
    const uint32_t* native = tile->GetNativeAlphaData(surface.display->GetNativeFormat());
    std::vector<uint32_t> pixels(static_cast<size_t>(kTileWidth) * kTileHeight);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = native[tile->colorIndices[i]];
    pixman_image_t* source =
            pixman_image_create_bits(PIXMAN_a8r8g8b8, kTileWidth, kTileHeight, pixels.data(), kTileWidth * 4);
    pixman_image_t* dest = surface.PixmanView();
    const Scene& s = TheScene();
    for (auto _ : state) {
        for (const Placement& p : s.tilePos)
            pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, dest, 0, 0, 0, 0, p.x, p.y, kTileWidth,
                                     kTileHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(dest);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> cases;
    for (int n : kOpaqueSizes) {
        const std::string name = "opaque/" + std::to_string(n);
        cases.push_back(name);
        benchmark::RegisterBenchmark(("ours/" + name).c_str(), [n](benchmark::State& s) {
            OpaqueOurs(s, n);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("pixman/" + name).c_str(), [n](benchmark::State& s) {
            OpaquePixman(s, n);
        })->Unit(benchmark::kMicrosecond);
    }
    cases.push_back("palette");
    benchmark::RegisterBenchmark("ours/palette", PaletteOurs)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("pixman/palette", PalettePixman)->Unit(benchmark::kMicrosecond);
    InitializeComparableRuns(argc, argv);
    MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-14s %12s %12s %8s\n", "case", "ours (us)", "pixman (us)", "ratio");
    for (const std::string& name : cases) {
        double ours = 0, theirs = 0;
        if (!reporter.Median("ours/" + name, &ours) || !reporter.Median("pixman/" + name, &theirs)) continue;
        std::printf("%-14s %12.1f %12.1f %8.2f\n", name.c_str(), ours / 1000, theirs / 1000, ours / theirs);
    }
    benchmark::Shutdown();
    return 0;
}
