// The software triangle rasteriser against pixman's transformed composite, on
// the same scenes in the same run: many rotated soft-alpha sprites and one
// opaque full-screen image rotated by 3 degrees, each with nearest and with
// bilinear sampling, into a 1024 x 768 32-bit destination (0x888 here,
// x8r8g8b8 for pixman). Prints Mpix/s of both and their ratio at the end.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/display/MedianRunReporter.h"
#include "raster/RasterizeTriangleStrip.h"
#include "raster/TriangleRasterizerTable.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSprite = 64;
constexpr int kSpriteCount = 300;

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return static_cast<double>(Next() % 100000) / 100000.0; }
};

struct Placement {
    double cx, cy, angle;
};

// One drawn image: straight-alpha texels for us, premultiplied for pixman.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> straight;
    std::vector<uint32_t> premultiplied;
    bool translucent = false;
};

Picture SoftSprite() {
    Picture p;
    p.width = p.height = kSprite;
    p.translucent = true;
    Lcg rng{7};
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const double dx = (x + 0.5 - kSprite / 2.0) / (kSprite / 2.0);
            const double dy = (y + 0.5 - kSprite / 2.0) / (kSprite / 2.0);
            const double falloff = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
            const uint32_t a = static_cast<uint32_t>(std::lround(255.0 * falloff));
            const uint32_t r = rng.Next() & 0xff, g = rng.Next() & 0xff, b = rng.Next() & 0xff;
            p.straight.push_back((a << 24) | (r << 16) | (g << 8) | b);
            p.premultiplied.push_back((a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255));
        }
    }
    return p;
}

Picture OpaqueScreen() {
    Picture p;
    p.width = kWidth;
    p.height = kHeight;
    Lcg rng{11};
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const uint32_t texel = 0xff000000u | (rng.Next() & 0xffffff);
        p.straight.push_back(texel);
        p.premultiplied.push_back(texel);
    }
    return p;
}

std::vector<Placement> SpritePlacements() {
    Lcg rng{3};
    std::vector<Placement> out;
    for (int i = 0; i < kSpriteCount; ++i) {
        out.push_back({50 + rng.Unit() * (kWidth - 100), 50 + rng.Unit() * (kHeight - 100), rng.Unit() * 6.283});
    }
    return out;
}

const std::vector<Placement> kScreenPlacement{{kWidth / 2.0, kHeight / 2.0, 3.0 * 3.14159265358979 / 180.0}};

struct Scene {
    const char* name;
    const Picture* picture;
    const std::vector<Placement>* placements;
    bool bilinear;
};

// Every repetition's rate, so that the closing table prints their median.
std::map<std::string, std::vector<double>> gMpixPerSecond;
std::map<std::string, double> gPixelsPerFrame;

class Destination {
public:
    Destination() : pixels_(static_cast<size_t>(kWidth) * kHeight, 0xff202020u) {}
    uint32_t* data() { return pixels_.data(); }
    void Clear() { std::fill(pixels_.begin(), pixels_.end(), 0xff202020u); }

private:
    std::vector<uint32_t> pixels_;
};

void DrawOurs(const Scene& scene, Destination& destination) {
    const Picture& p = *scene.picture;
    const Velm::RasterTextureImage texture{p.straight.data(), p.width, p.height, false, p.translucent};
    const Velm::RasterTarget target{destination.data(), kWidth, kHeight, kWidth * 4, Velm::kRasterFormat888};
    const Velm::RasterRect clip{0, 0, kWidth, kHeight};
    const Velm::RasterColor white{255, 255, 255, 255};
    for (const Placement& at : *scene.placements) {
        const double c = std::cos(at.angle), s = std::sin(at.angle);
        Velm::TriVertex quad[4];
        const double corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (int i = 0; i < 4; ++i) {
            const double lx = (corners[i][0] - 0.5) * p.width, ly = (corners[i][1] - 0.5) * p.height;
            quad[i] = Velm::TriVertex{static_cast<float>(at.cx + c * lx - s * ly),
                                      static_cast<float>(at.cy + s * lx + c * ly), static_cast<float>(corners[i][0]),
                                      static_cast<float>(corners[i][1]), 0xffffffffu};
        }
        Velm::RasterizeTriangleStrip(quad, 4, &texture, white, 0, clip, target, scene.bilinear, false);
    }
}

void DrawPixman(const Scene& scene, pixman_image_t* source, pixman_image_t* destination) {
    const Picture& p = *scene.picture;
    pixman_image_set_filter(source, scene.bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (const Placement& at : *scene.placements) {
        const double c = std::cos(at.angle), s = std::sin(at.angle);
        // Bounding box of the rotated picture in the destination.
        const double hw = p.width / 2.0, hh = p.height / 2.0;
        const double ex = std::fabs(c) * hw + std::fabs(s) * hh, ey = std::fabs(s) * hw + std::fabs(c) * hh;
        const int x0 = std::max(0, static_cast<int>(std::floor(at.cx - ex)));
        const int y0 = std::max(0, static_cast<int>(std::floor(at.cy - ey)));
        const int x1 = std::min(kWidth, static_cast<int>(std::ceil(at.cx + ex)));
        const int y1 = std::min(kHeight, static_cast<int>(std::ceil(at.cy + ey)));
        // Destination offset q (from the box origin) to source: the inverse
        // rotation about the picture's centre.
        const double tx = c * (x0 - at.cx) + s * (y0 - at.cy) + hw;
        const double ty = -s * (x0 - at.cx) + c * (y0 - at.cy) + hh;
        pixman_transform_t transform;
        pixman_transform_init_identity(&transform);
        transform.matrix[0][0] = pixman_double_to_fixed(c);
        transform.matrix[0][1] = pixman_double_to_fixed(s);
        transform.matrix[0][2] = pixman_double_to_fixed(tx);
        transform.matrix[1][0] = pixman_double_to_fixed(-s);
        transform.matrix[1][1] = pixman_double_to_fixed(c);
        transform.matrix[1][2] = pixman_double_to_fixed(ty);
        pixman_image_set_transform(source, &transform);
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, destination, 0, 0, 0, 0, x0, y0, x1 - x0, y1 - y0);
    }
}

// Pixels of the destination that the scene covers, counted once from our
// drawing into a cleared buffer.
double CoveredPixels(const Scene& scene) {
    auto found = gPixelsPerFrame.find(scene.name);
    if (found != gPixelsPerFrame.end()) return found->second;
    Destination destination;
    const uint32_t marker = 0xff000000u;
    std::fill(destination.data(), destination.data() + kWidth * kHeight, marker);
    // Draw a white opaque stand-in of the same shape: every covered pixel changes.
    Picture shape;
    shape.width = scene.picture->width;
    shape.height = scene.picture->height;
    shape.straight.assign(static_cast<size_t>(shape.width) * shape.height, 0xffffffffu);
    const Scene probe{scene.name, &shape, scene.placements, false};
    DrawOurs(probe, destination);
    double covered = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) covered += destination.data()[i] != marker ? 1 : 0;
    // Overlapping sprites are drawn once per sprite: count each sprite.
    if (scene.placements->size() > 1) covered = static_cast<double>(scene.placements->size()) * kSprite * kSprite;
    gPixelsPerFrame[scene.name] = covered;
    return covered;
}

void Record(benchmark::State& state, const std::string& key, double pixelsPerFrame,
            std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double frames = static_cast<double>(state.iterations());
    const double mpix = seconds > 0 ? pixelsPerFrame * frames / seconds / 1e6 : 0;
    state.counters["Mpix/s"] = mpix;
    gMpixPerSecond[key].push_back(mpix);
}

void BenchOurs(benchmark::State& state, const Scene* scene) {
    Velm::InitTriangleRasterizers();
    const double pixels = CoveredPixels(*scene);
    Destination destination;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        DrawOurs(*scene, destination);
        benchmark::DoNotOptimize(destination.data());
    }
    Record(state, std::string(scene->name) + "/velm", pixels, std::chrono::steady_clock::now() - start);
}

void BenchPixman(benchmark::State& state, const Scene* scene) {
    const double pixels = CoveredPixels(*scene);
    Destination destination;
    const Picture& p = *scene->picture;
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, p.width, p.height,
                                                      const_cast<uint32_t*>(p.premultiplied.data()), p.width * 4);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, destination.data(), kWidth * 4);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        DrawPixman(*scene, source, target);
        benchmark::DoNotOptimize(destination.data());
    }
    Record(state, std::string(scene->name) + "/pixman", pixels, std::chrono::steady_clock::now() - start);
    pixman_image_unref(source);
    pixman_image_unref(target);
}

}  // namespace

int main(int argc, char** argv) {
    const Picture sprite = SoftSprite();
    const Picture screen = OpaqueScreen();
    const std::vector<Placement> sprites = SpritePlacements();
    const Scene scenes[] = {
            {"sprites_nearest", &sprite, &sprites, false},
            {"sprites_bilinear", &sprite, &sprites, true},
            {"opaque_rotated_nearest", &screen, &kScreenPlacement, false},
            {"opaque_rotated_bilinear", &screen, &kScreenPlacement, true},
    };
    for (const Scene& scene : scenes) {
        benchmark::RegisterBenchmark((std::string(scene.name) + "/velm").c_str(), BenchOurs, &scene)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(scene.name) + "/pixman").c_str(), BenchPixman, &scene)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-26s %12s %12s %8s\n", "scene", "velm Mpix/s", "pixman Mpix/s", "ratio");
    for (const Scene& scene : scenes) {
        const auto ours = gMpixPerSecond.find(std::string(scene.name) + "/velm");
        const auto theirs = gMpixPerSecond.find(std::string(scene.name) + "/pixman");
        if (ours == gMpixPerSecond.end() || theirs == gMpixPerSecond.end()) continue;
        const double oursMedian = benchframe::MedianRunReporter::MedianOf(ours->second);
        const double theirsMedian = benchframe::MedianRunReporter::MedianOf(theirs->second);
        std::printf("%-26s %12.1f %12.1f %8.2f\n", scene.name, oursMedian, theirsMedian,
                    theirsMedian > 0 ? oursMedian / theirsMedian : 0.0);
    }
    return 0;
}
