// Full-screen (1024 x 768) software blits of memory images against pixman doing the same
// work on the same pixels. After the runs it prints, per case, our median time over the
// repetitions, pixman's and the ratio (ours / pixman's: below 1 means we are faster).
//
// Cases:
//   normal_runs    a source of opaque, transparent and half-transparent runs over an opaque
//                  image (our run-length path; pixman OVER with the premultiplied source)
//   normal_opaque  an opaque source over an opaque image (one long opaque run; pixman SRC)
//   normal_grey    the run source tinted grey (128, 128, 128) (our blend path; pixman OVER
//                  through a component-alpha solid grey mask)
//   additive       the run source added (our saturating add; pixman ADD)
//   rotated        the run source turned by 0.3 rad about its centre, bilinear (pixman OVER
//                  with a rotation transform and the bilinear filter)
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/MedianRunReporter.h"
#include "graphics/Color.h"
#include "graphics/MemoryImage.h"

using namespace Velm;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr double kAngle = 0.3;

uint32_t RunPixel(int x, int y) {
    // Runs of 64 opaque, 32 transparent and 16 half-transparent pixels with varied colours.
    const int phase = (x + y * 7) % 112;
    const uint32_t rgb = (static_cast<uint32_t>(x * 13 + y) & 0xFF) << 16 | (static_cast<uint32_t>(y * 5) & 0xFF) << 8 |
                         (static_cast<uint32_t>(x ^ y) & 0xFF);
    if (phase < 64) return 0xFF000000u | rgb;
    if (phase < 96) return 0;
    return 0x80000000u | rgb;
}

uint32_t Premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    auto ch = [&](int shift) { return ((((p >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

struct Pixels {
    std::vector<uint32_t> runs, opaque, background;
    std::vector<uint32_t> runsPremultiplied;
    Pixels() : runs(kWidth * kHeight), opaque(kWidth * kHeight), background(kWidth * kHeight) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const size_t i = static_cast<size_t>(y) * kWidth + x;
                runs[i] = RunPixel(x, y);
                opaque[i] = RunPixel(x, y) | 0xFF000000u;
                background[i] =
                        0xFF000000u | static_cast<uint32_t>((x * 3) & 0xFF) << 8 | static_cast<uint32_t>(y & 0xFF);
            }
        runsPremultiplied.resize(runs.size());
        for (size_t i = 0; i < runs.size(); ++i) runsPremultiplied[i] = Premultiply(runs[i]);
    }
};

const Pixels& Data() {
    static const Pixels data;
    return data;
}

std::unique_ptr<MemoryImage> MakeImage(const std::vector<uint32_t>& pixels) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(pixels.data(), kWidth, kHeight, true);
    return image;
}

enum Case { NormalRuns, NormalOpaque, NormalGrey, Additive, Rotated };

void Ours(benchmark::State& state, Case which) {
    auto source = MakeImage(which == NormalOpaque ? Data().opaque : Data().runs);
    auto dest = MakeImage(Data().background);
    const Rect all(0, 0, kWidth, kHeight);
    source->GetRLAlphaData();  // the cache is built once, as for any static image
    for (auto _ : state) {
        switch (which) {
            case NormalRuns:
            case NormalOpaque: dest->Blt(source.get(), 0, 0, all, Color::White, 0); break;
            case NormalGrey: dest->Blt(source.get(), 0, 0, all, Color(128, 128, 128), 0); break;
            case Additive: dest->Blt(source.get(), 0, 0, all, Color::White, 1); break;
            case Rotated:
                dest->BltRotated(source.get(), 0, 0, all, all, Color::White, 0, kAngle, kWidth / 2.0f, kHeight / 2.0f);
                break;
        }
        benchmark::DoNotOptimize(dest->bits);
    }
}

void Pixman(benchmark::State& state, Case which) {
    std::vector<uint32_t> src = which == NormalOpaque ? Data().opaque : Data().runsPremultiplied;
    std::vector<uint32_t> dst = Data().background;
    pixman_image_t* srcImage = pixman_image_create_bits(which == NormalOpaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8,
                                                        kWidth, kHeight, src.data(), kWidth * 4);
    pixman_image_t* dstImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
    pixman_image_t* mask = nullptr;
    if (which == NormalGrey) {
        const pixman_color_t grey = {0x8080, 0x8080, 0x8080, 0xFFFF};
        mask = pixman_image_create_solid_fill(&grey);
        pixman_image_set_component_alpha(mask, 1);
    }
    if (which == Rotated) {
        // Destination -> source: about the centre, turned back by the angle.
        pixman_f_transform f;
        pixman_f_transform_init_translate(&f, -kWidth / 2.0, -kHeight / 2.0);
        pixman_f_transform_rotate(&f, nullptr, std::cos(kAngle), std::sin(kAngle));
        pixman_f_transform_translate(&f, nullptr, kWidth / 2.0, kHeight / 2.0);
        pixman_transform_t t;
        pixman_transform_from_pixman_f_transform(&t, &f);
        pixman_image_set_transform(srcImage, &t);
        pixman_image_set_filter(srcImage, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    const pixman_op_t op = which == NormalOpaque ? PIXMAN_OP_SRC : which == Additive ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
    for (auto _ : state) {
        pixman_image_composite32(op, srcImage, mask, dstImage, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dst.data());
    }
    if (mask) pixman_image_unref(mask);
    pixman_image_unref(srcImage);
    pixman_image_unref(dstImage);
}

const char* const kNames[] = {"normal_runs", "normal_opaque", "normal_grey", "additive", "rotated"};

}  // namespace

int main(int argc, char** argv) {
    for (int i = 0; i < 5; ++i) {
        const Case which = static_cast<Case>(i);
        benchmark::RegisterBenchmark((std::string("ours/") + kNames[i]).c_str(), [which](benchmark::State& s) {
            Ours(s, which);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("pixman/") + kNames[i]).c_str(), [which](benchmark::State& s) {
            Pixman(s, which);
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchframe::MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-14s %12s %12s %8s\n", "case", "ours (us)", "pixman (us)", "ratio");
    for (const char* name : kNames) {
        double ours = 0, theirs = 0;
        if (!reporter.Median(std::string("ours/") + name, &ours) ||
            !reporter.Median(std::string("pixman/") + name, &theirs))
            continue;
        std::printf("%-14s %12.1f %12.1f %8.2f\n", name, ours / 1000, theirs / 1000, ours / theirs);
    }
    benchmark::Shutdown();
    return 0;
}
