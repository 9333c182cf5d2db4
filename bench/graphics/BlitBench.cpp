// Full-screen (1024 x 768) software blits of memory images against pixman doing the same
// work on the same pixels. After the runs it prints, per case, our median time over the
// repetitions (nine, interleaved at random with pixman's, unless the command line says
// otherwise), pixman's and the ratio (ours / pixman's: below 1 means we are faster).
//
// Cases:
//   normal_runs    a source of opaque, transparent and half-transparent runs over an opaque
//                  image (our run-length path; pixman OVER with the premultiplied source)
//   normal_opaque  an opaque source over an opaque image (one long opaque run; pixman SRC)
//   normal_grey    the run source tinted grey (128, 128, 128) (our blend path). Pixman's
//                  exact form of the same picture: OVER of a premultiplied copy of the source
//                  with the tint already applied to its colour channels. The tinting is done
//                  once before timing, as the premultiplying of every pixman source is, so
//                  pixman's time holds the compositing only while ours holds the tint too.
//                  Before the runs the bench draws both once and stops when they differ by
//                  more than the rounding of pixman's division by 255 (see GreyCheck).
//   normal_grey_mask  our same blit against pixman OVER through a component-alpha solid grey
//                  mask: not the same picture (the mask also weights the destination, so half
//                  the background shows through, up to 127 units off); shown for reference.
//   additive       the run source added (our saturating add; pixman ADD)
//   rotated        the run source turned by 0.3 rad about its centre, bilinear (pixman OVER
//                  with a rotation transform and the bilinear filter)
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Our blend's tint by (128, 128, 128): each colour channel c * 128 / 256, the alpha kept.
uint32_t GreyTint(uint32_t p) { return (p & 0xFF000000u) | ((p >> 1) & 0x007F7F7Fu); }

uint32_t Premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    auto ch = [&](int shift) { return ((((p >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

struct Pixels {
    std::vector<uint32_t> runs, opaque, background;
    std::vector<uint32_t> runsPremultiplied, greyPremultiplied;
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
        greyPremultiplied.resize(runs.size());
        for (size_t i = 0; i < runs.size(); ++i) greyPremultiplied[i] = Premultiply(GreyTint(runs[i]));
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

// NormalGreyMask draws what NormalGrey draws on our side; only pixman's form differs.
enum Case { NormalRuns, NormalOpaque, NormalGrey, NormalGreyMask, Additive, Rotated, kCases };

// One blit of the case by our code onto dest.
void OursOnce(MemoryImage* dest, MemoryImage* source, Case which) {
    const Rect all(0, 0, kWidth, kHeight);
    switch (which) {
        case NormalRuns:
        case NormalOpaque: dest->Blt(source, 0, 0, all, Color::White, 0); break;
        case NormalGrey:
        case NormalGreyMask: dest->Blt(source, 0, 0, all, Color(128, 128, 128), 0); break;
        case Additive: dest->Blt(source, 0, 0, all, Color::White, 1); break;
        case Rotated:
            dest->BltRotated(source, 0, 0, all, all, Color::White, 0, kAngle, kWidth / 2.0f, kHeight / 2.0f);
            break;
        case kCases: break;
    }
}

std::unique_ptr<MemoryImage> OursSource(Case which) {
    auto source = MakeImage(which == NormalOpaque ? Data().opaque : Data().runs);
    source->GetRLAlphaData();  // the cache is built once, as for any static image
    return source;
}

void Ours(benchmark::State& state, Case which) {
    auto source = OursSource(which);
    auto dest = MakeImage(Data().background);
    for (auto _ : state) {
        OursOnce(dest.get(), source.get(), which);
        benchmark::DoNotOptimize(dest->bits);
    }
}

// Pixman set up for one case on copies of the pixels; Run composites once onto dst.
struct PixmanCase {
    std::vector<uint32_t> src, dst;
    pixman_image_t* srcImage = nullptr;
    pixman_image_t* dstImage = nullptr;
    pixman_image_t* mask = nullptr;
    pixman_op_t op = PIXMAN_OP_OVER;

    explicit PixmanCase(Case which);
    ~PixmanCase() {
        if (mask) pixman_image_unref(mask);
        pixman_image_unref(srcImage);
        pixman_image_unref(dstImage);
    }
    PixmanCase(const PixmanCase&) = delete;
    PixmanCase& operator=(const PixmanCase&) = delete;
    void Run() { pixman_image_composite32(op, srcImage, mask, dstImage, 0, 0, 0, 0, 0, 0, kWidth, kHeight); }
};

PixmanCase::PixmanCase(Case which)
        : src(which == NormalOpaque ? Data().opaque
              : which == NormalGrey ? Data().greyPremultiplied
                                    : Data().runsPremultiplied),
          dst(Data().background) {
    srcImage = pixman_image_create_bits(which == NormalOpaque ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8, kWidth, kHeight,
                                        src.data(), kWidth * 4);
    dstImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, dst.data(), kWidth * 4);
    if (which == NormalGreyMask) {
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
    op = which == NormalOpaque ? PIXMAN_OP_SRC : which == Additive ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
}

void Pixman(benchmark::State& state, Case which) {
    PixmanCase pixman(which);
    for (auto _ : state) {
        pixman.Run();
        benchmark::DoNotOptimize(pixman.dst.data());
    }
}

// The largest difference of any colour channel between our grey-tinted blit and pixman's form
// of the case, each drawn once on the background.
int GreyDifference(Case pixmanForm) {
    auto source = OursSource(NormalGrey);
    auto dest = MakeImage(Data().background);
    OursOnce(dest.get(), source.get(), NormalGrey);
    PixmanCase pixman(pixmanForm);
    pixman.Run();
    const uint32_t* ours = dest->GetBits();
    int worst = 0;
    for (size_t i = 0; i < pixman.dst.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((ours[i] >> shift) & 0xFF);
            const int b = static_cast<int>((pixman.dst[i] >> shift) & 0xFF);
            worst = std::max(worst, std::abs(a - b));
        }
    return worst;
}

// Our blend rounds with shifts by 8 and pixman divides by 255 with rounding, in the
// premultiplying and in OVER: the same picture is within two units per channel.
constexpr int kRoundingUnits = 2;

bool GreyCheck() {
    const int exact = GreyDifference(NormalGrey);
    const int masked = GreyDifference(NormalGreyMask);
    std::printf("normal_grey: ours against pixman's pre-tinted OVER differs by at most %d (through the mask: %d)\n",
                exact, masked);
    if (exact <= kRoundingUnits) return true;
    std::fprintf(stderr, "normal_grey: pixman's pre-tinted form is not our picture (off by %d)\n", exact);
    return false;
}

const char* const kNames[] = {"normal_runs", "normal_opaque", "normal_grey", "normal_grey_mask", "additive", "rotated"};

}  // namespace

int main(int argc, char** argv) {
    if (!GreyCheck()) return 1;
    for (int i = 0; i < kCases; ++i) {
        const Case which = static_cast<Case>(i);
        if (which != NormalGreyMask)
            benchmark::RegisterBenchmark((std::string("ours/") + kNames[i]).c_str(), [which](benchmark::State& s) {
                Ours(s, which);
            })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("pixman/") + kNames[i]).c_str(), [which](benchmark::State& s) {
            Pixman(s, which);
        })->Unit(benchmark::kMicrosecond);
    }
    benchframe::InitializeComparableRuns(argc, argv);
    benchframe::MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-17s %12s %12s %8s\n", "case", "ours (us)", "pixman (us)", "ratio");
    for (int i = 0; i < kCases; ++i) {
        const char* name = kNames[i];
        const char* oursName = i == NormalGreyMask ? kNames[NormalGrey] : name;
        double ours = 0, theirs = 0;
        if (!reporter.Median(std::string("ours/") + oursName, &ours) ||
            !reporter.Median(std::string("pixman/") + name, &theirs))
            continue;
        std::printf("%-17s %12.1f %12.1f %8.2f\n", name, ours / 1000, theirs / 1000, ours / theirs);
    }
    std::printf("(normal_grey_mask: pixman draws another picture there, shown for reference only)\n");
    benchmark::Shutdown();
    return 0;
}
