// One representative game frame on a 1024 x 768 drawing surface, in R5G6B5 and X8R8G8B8,
// drawn by the surface blitters and by pixman on the same surface pixels. Every step of the
// frame is timed alone and the whole frame together; at the end a table prints, per format
// and step, our time, pixman's and the ratio (ours / pixman's: below 1 means we are faster).
// The table takes the median of the repetitions (nine, interleaved at random with pixman's,
// unless the command line says otherwise: InitializeComparableRuns). The 565
// rows compare a cheaper operation than pixman's: our 16-bit blend weights the destination with
// a 5-bit alpha (up to 4 units off an exact blend; pixman at most 2).
//
// The frame:
//   background  a 1024 x 768 opaque image (ours: the display's surface copy; pixman SRC)
//   tiles       144 tiles of 64 x 80 with soft (translucent) edges (pixman OVER)
//   grey        40 of those tiles tinted grey (128, 128, 128) (pixman OVER through a
//               component-alpha solid mask; exact: OVER of a pre-tinted premultiplied copy)
//   particles   100 additive 16 x 16 particles (pixman ADD)
//   scaled      100 additive particles scaled to 24 x 24, nearest pixel (pixman ADD with a
//               scale transform, nearest filter)
//   stretch_blend   40 soft sprites scaled from 32 x 32 to 48 x 48, nearest pixel (pixman OVER
//                   with a scale transform, nearest filter)
//   stretch_tinted  the same tinted (200, 160, 255) (pixman OVER through a component-alpha
//                   solid mask; exact: OVER of a pre-tinted premultiplied copy)
//   fractional  30 sprites of 32 x 32 at fractional positions, bilinear (pixman OVER with a
//               translation, bilinear filter)
//   rotated     10 images of 64 x 64 turned about their centres, bilinear (pixman OVER with a
//               rotation, bilinear filter)
//   text        12 lines of 60 glyphs of 10 x 16, each a tinted blit from an antialiased glyph
//               sheet as an image font draws (pixman OVER of the colour through the glyph's
//               alpha)
//   fill        a half-transparent black full-screen fill (pixman OVER with a solid source)
//
// A tinted blit multiplies the source's premultiplied colour by the tint and weights the
// destination by the source's own alpha. pixman's component-alpha mask weights the destination
// by the tinted alpha instead (half the background shows through a grey tint): a different,
// cheaper picture. Its exact form is a pre-tinted premultiplied copy drawn OVER; the table shows
// both and takes the ratio against the exact form, and checks before the runs that the exact
// form gives our pixels and how far the mask form is from them.
//
// Beside the frame the table prints its memory-traffic floor (TrafficFloor.h): each step's
// bytes at the memcpy and memset rates measured in the same run over blocks of the step's size.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/display/FrameOnDisplay.h"
#include "bench/display/MedianRunReporter.h"
#include "bench/display/RepresentativeFrame.h"
#include "bench/display/TrafficFloor.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "platform/DdDevice.h"
#include "platform/DebugOutput.h"

using namespace Velm;
using namespace benchframe;

namespace {

// p premultiplied by its alpha, each colour channel then multiplied by the tint's (0xRRGGBB).
uint32_t Premultiply(uint32_t p, uint32_t tint = 0xFFFFFF) {
    const uint32_t a = p >> 24;
    auto ch = [&](int shift) {
        const uint32_t c = (((p >> shift) & 0xFF) * a + 127) / 255;
        return ((c * ((tint >> shift) & 0xFF) + 127) / 255) << shift;
    };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

// The tints of the frame's tinted steps, as 0xRRGGBB.
constexpr uint32_t kGreyTint = 0x808080;
constexpr uint32_t kStretchTint = 0xC8A0FF;

// The display in one format and the frame's images on it.
struct Rig {
    FrameHost frameHost;
    std::unique_ptr<DDInterface> display;
    FrameImages images;
    plat::dd::SurfaceDesc locked;

    explicit Rig(int bits) {
        plat::dd::DisplayConfig config;
        config.desktopBitsPerPixel = bits;
        plat::dd::SetDisplayConfig(config);
        display = std::make_unique<DDInterface>(&frameHost);
        plat::CapturedDebugOutput quiet;
        if (display->Init(nullptr, true) != RESULT_OK)
            std::fprintf(stderr, "display set-up failed: %s\n", display->LastError().c_str());
        images.Load(display.get());
        // Build every cache once, as for any static image.
        const NativePixelFormat& f = display->GetNativeFormat();
        for (auto& t : images.tiles) {
            t->GetNativeAlphaData(f);
            t->GetRLAlphaData();
        }
        images.particle->GetNativeAlphaData(f);
        images.particle->GetRLAdditiveData(f);
        images.sprite->GetNativeAlphaData(f);
        images.glyphs->GetNativeAlphaData(f);
        images.glyphs->GetRLAlphaData();
    }
    DDImage* Screen() { return display->GetScreenImage(); }
};

// pixman over the same surface pixels, with premultiplied copies of the same images.
struct PixmanRig {
    pixman_image_t* dest = nullptr;
    pixman_image_t* background = nullptr;
    std::vector<pixman_image_t*> tiles;
    pixman_image_t* particle = nullptr;
    pixman_image_t* sprite = nullptr;
    pixman_image_t* rotated = nullptr;
    pixman_image_t* greyMask = nullptr;
    pixman_image_t* tintMask = nullptr;
    pixman_image_t* glyphs = nullptr;
    pixman_image_t* textColor = nullptr;
    pixman_image_t* fill = nullptr;
    // The exact forms of the tinted steps: pre-tinted premultiplied copies.
    std::vector<pixman_image_t*> greyTiles;
    pixman_image_t* tintedSprite = nullptr;
    std::vector<std::vector<uint32_t>> storage;
    std::vector<uint16_t> background16;

    pixman_image_t* Premultiplied(const std::vector<uint32_t>& pixels, int w, int h, uint32_t tint = 0xFFFFFF) {
        storage.emplace_back(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i) storage.back()[i] = Premultiply(pixels[i], tint);
        return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, storage.back().data(), w * 4);
    }

    PixmanRig(Rig& rig, int bits) {
        plat::dd::Surface* surface = rig.display->GetDrawSurface();
        const pixman_format_code_t format = bits == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
        dest = pixman_image_create_bits(format, kWidth, kHeight, reinterpret_cast<uint32_t*>(surface->MutableRow(0)),
                                        surface->Pitch());
        const Scene& s = TheScene();
        // The background in the destination's own format, as ours lives on a surface.
        if (bits == 16) {
            background16.resize(s.background.size());
            for (size_t i = 0; i < s.background.size(); ++i) {
                const uint32_t p = s.background[i];
                background16[i] = static_cast<uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F));
            }
            background = pixman_image_create_bits(format, kWidth, kHeight,
                                                  reinterpret_cast<uint32_t*>(background16.data()), kWidth * 2);
        } else {
            storage.push_back(s.background);
            background = pixman_image_create_bits(format, kWidth, kHeight, storage.back().data(), kWidth * 4);
        }
        for (const auto& t : s.tiles) tiles.push_back(Premultiplied(t, 64, 80));
        for (const auto& t : s.tiles) greyTiles.push_back(Premultiplied(t, 64, 80, kGreyTint));
        particle = Premultiplied(s.particle, 16, 16);
        sprite = Premultiplied(s.sprite, 32, 32);
        tintedSprite = Premultiplied(s.sprite, 32, 32, kStretchTint);
        rotated = Premultiplied(s.rotated, 64, 64);
        const pixman_color_t grey = {0x8080, 0x8080, 0x8080, 0xFFFF};
        greyMask = pixman_image_create_solid_fill(&grey);
        pixman_image_set_component_alpha(greyMask, 1);
        const pixman_color_t tint = {0xC8C8, 0xA0A0, 0xFFFF, 0xFFFF};
        tintMask = pixman_image_create_solid_fill(&tint);
        pixman_image_set_component_alpha(tintMask, 1);
        glyphs = Premultiplied(s.glyphs, kGlyphWidth * kGlyphColumns, kGlyphHeight * kGlyphRows);
        const pixman_color_t textTint = {0xFAFA, 0xE6E6, 0xA0A0, 0xFFFF};
        textColor = pixman_image_create_solid_fill(&textTint);
        const pixman_color_t halfBlack = {0, 0, 0, 0x8000};
        fill = pixman_image_create_solid_fill(&halfBlack);
        pixman_image_set_filter(sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        pixman_image_set_filter(rotated, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    }
    ~PixmanRig() {
        for (pixman_image_t* image : tiles) pixman_image_unref(image);
        for (pixman_image_t* image : greyTiles) pixman_image_unref(image);
        for (pixman_image_t* image :
             {dest, background, particle, sprite, rotated, greyMask, tintMask, glyphs, textColor, fill, tintedSprite})
            pixman_image_unref(image);
    }

    void SetTransform(pixman_image_t* image, const pixman_f_transform& f) {
        pixman_transform_t t;
        pixman_transform_from_pixman_f_transform(&t, &f);
        pixman_image_set_transform(image, &t);
    }

    // One step; exact draws the tinted steps from the pre-tinted copies instead of through masks.
    void Draw(Step step, bool exact = false) {
        const Scene& s = TheScene();
        switch (step) {
            case Background:
                pixman_image_composite32(PIXMAN_OP_SRC, background, nullptr, dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
                break;
            case Tiles:
                for (size_t i = 0; i < s.tilePos.size(); ++i)
                    pixman_image_composite32(PIXMAN_OP_OVER, tiles[i % 8], nullptr, dest, 0, 0, 0, 0, s.tilePos[i].x,
                                             s.tilePos[i].y, 64, 80);
                break;
            case Grey:
                for (size_t i = 0; i < 40; ++i)
                    pixman_image_composite32(PIXMAN_OP_OVER, exact ? greyTiles[i % 8] : tiles[i % 8],
                                             exact ? nullptr : greyMask, dest, 0, 0, 0, 0, s.tilePos[i].x + 5,
                                             s.tilePos[i].y + 5, 64, 80);
                break;
            case Particles:
                for (size_t i = 0; i < 100; ++i)
                    pixman_image_composite32(PIXMAN_OP_ADD, particle, nullptr, dest, 0, 0, 0, 0, s.particlePos[i].x,
                                             s.particlePos[i].y, 16, 16);
                break;
            case Scaled: {
                pixman_f_transform f;
                pixman_f_transform_init_scale(&f, 16.0 / 24.0, 16.0 / 24.0);
                SetTransform(particle, f);
                for (size_t i = 100; i < 200; ++i)
                    pixman_image_composite32(PIXMAN_OP_ADD, particle, nullptr, dest, 0, 0, 0, 0, s.particlePos[i].x,
                                             s.particlePos[i].y, 24, 24);
                pixman_image_set_transform(particle, nullptr);
                break;
            }
            case StretchBlend:
            case StretchTinted: {
                const bool masked = step == StretchTinted && !exact;
                pixman_image_t* source = step == StretchTinted && exact ? tintedSprite : sprite;
                pixman_f_transform f;
                pixman_f_transform_init_scale(&f, 32.0 / 48.0, 32.0 / 48.0);
                SetTransform(source, f);
                pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
                for (size_t i = 40; i < 80; ++i)
                    pixman_image_composite32(PIXMAN_OP_OVER, source, masked ? tintMask : nullptr, dest, 0, 0, 0, 0,
                                             s.particlePos[i].x, s.particlePos[i].y, 48, 48);
                pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
                pixman_image_set_transform(source, nullptr);
                break;
            }
            case Text:
                for (int line = 0; line < kTextLines; ++line)
                    for (int k = 0; k < kTextLength; ++k) {
                        const int g = s.text[static_cast<size_t>(line * kTextLength + k)];
                        pixman_image_composite32(PIXMAN_OP_OVER, textColor, glyphs, dest, 0, 0,
                                                 (g % kGlyphColumns) * kGlyphWidth, (g / kGlyphColumns) * kGlyphHeight,
                                                 60 + k * (kGlyphWidth - 1), 40 + line * 52, kGlyphWidth, kGlyphHeight);
                    }
                break;
            case Fractional: {
                pixman_f_transform f;
                pixman_f_transform_init_translate(&f, -0.37, -0.61);
                SetTransform(sprite, f);
                for (size_t i = 0; i < 30; ++i)
                    pixman_image_composite32(PIXMAN_OP_OVER, sprite, nullptr, dest, 0, 0, 0, 0, s.particlePos[i].x,
                                             s.particlePos[i].y, 33, 33);
                break;
            }
            case Rotated:
                for (int i = 0; i < 10; ++i) {
                    const double angle = 0.3 + i * 0.5;
                    // Destination box of 92 x 92 around the turned image; destination -> source.
                    pixman_f_transform f;
                    pixman_f_transform_init_translate(&f, -46, -46);
                    pixman_f_transform_rotate(&f, nullptr, std::cos(angle), std::sin(angle));
                    pixman_f_transform_translate(&f, nullptr, 32, 32);
                    SetTransform(rotated, f);
                    pixman_image_composite32(PIXMAN_OP_OVER, rotated, nullptr, dest, 0, 0, 0, 0, 100 + i * 80 - 14,
                                             300 - 14, 92, 92);
                }
                break;
            case Fill:
                pixman_image_composite32(PIXMAN_OP_OVER, fill, nullptr, dest, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
                break;
            default: break;
        }
    }
};

void RunOurs(benchmark::State& state, int bits, Step step) {
    Rig rig(bits);
    DDImage* screen = rig.Screen();
    for (auto _ : state) {
        screen->LockSurface();
        if (step == Frame) {
            for (int s = 0; s < Frame; ++s) DrawStep(screen, rig.images, static_cast<Step>(s));
        } else {
            DrawStep(screen, rig.images, step);
        }
        screen->UnlockSurface();
        benchmark::ClobberMemory();
    }
}

void RunPixman(benchmark::State& state, int bits, Step step, bool exact) {
    Rig rig(bits);
    PixmanRig pixman(rig, bits);
    for (auto _ : state) {
        if (step == Frame) {
            for (int s = 0; s < Frame; ++s) pixman.Draw(static_cast<Step>(s), exact);
        } else {
            pixman.Draw(step, exact);
        }
        benchmark::ClobberMemory();
    }
}

// Steps whose pixman picture has an exact form apart from its usual one.
bool HasExactForm(Step step) { return step == Grey || step == StretchTinted || step == Frame; }

// memcpy of `bytes` bytes, and memset: the rates of the traffic floor.
void RunCopy(benchmark::State& state, size_t bytes, bool set) {
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        if (set)
            std::memset(to.data(), static_cast<int>(state.iterations() & 0xFF), bytes);
        else
            std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// The bytes of a step's memcpy (read and written together as often as the step) and memset
// (written as often) blocks.
size_t CopyBytes(const Traffic& t) { return static_cast<size_t>((t.read + t.written) / 2); }
size_t SetBytes(const Traffic& t) { return static_cast<size_t>(t.written); }

// The surface after the background and one step, drawn by us or by pixman (masked or exact), as
// rows of pixels of the surface's format widened to 32 bits.
std::vector<uint32_t> Picture(Rig& rig, PixmanRig* pixman, int bits, Step step, bool exact) {
    if (pixman == nullptr) {
        DDImage* screen = rig.Screen();
        screen->LockSurface();
        DrawStep(screen, rig.images, Background);
        DrawStep(screen, rig.images, step);
        screen->UnlockSurface();
    } else {
        pixman->Draw(Background);
        pixman->Draw(step, exact);
    }
    plat::dd::Surface* surface = rig.display->GetDrawSurface();
    std::vector<uint32_t> out;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            out.push_back(bits == 16 ? reinterpret_cast<const uint16_t*>(surface->MutableRow(y))[x]
                                     : reinterpret_cast<const uint32_t*>(surface->MutableRow(y))[x] & 0xFFFFFF);
    return out;
}

// The largest difference of one colour channel between two pictures, in the surface's channel
// units (5 or 6 bits on 565, 8 on 8888).
int LargestDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int bits) {
    const int shifts565[] = {11, 5, 0}, masks565[] = {0x1F, 0x3F, 0x1F};
    int most = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const int shift = bits == 16 ? shifts565[c] : 8 * c, mask = bits == 16 ? masks565[c] : 0xFF;
            most = std::max(most, std::abs(int((a[i] >> shift) & mask) - int((b[i] >> shift) & mask)));
        }
    return most;
}

// Prints, for the tinted steps, how far pixman's masked and exact pictures are from ours, beside
// how far pixman's picture of the same step untinted is from ours untinted (the two blends round
// differently, and pixman's nearest samples of a stretch fall on other columns at places). False
// when the exact form is further from ours than that and one more rounding of the tint.
bool CheckExactForms() {
    bool close = true;
    const Step pairs[][2] = {{Tiles, Grey}, {StretchBlend, StretchTinted}};
    for (int bits : {16, 32}) {
        Rig rig(bits);
        PixmanRig pixman(rig, bits);
        for (const auto& pair : pairs) {
            const Step plain = pair[0], step = pair[1];
            const int untinted = LargestDifference(Picture(rig, nullptr, bits, plain, false),
                                                   Picture(rig, &pixman, bits, plain, false), bits);
            const std::vector<uint32_t> ours = Picture(rig, nullptr, bits, step, false);
            const int masked = LargestDifference(ours, Picture(rig, &pixman, bits, step, false), bits);
            const int exact = LargestDifference(ours, Picture(rig, &pixman, bits, step, true), bits);
            std::printf("%s/%s: largest channel difference from ours: pixman masked %d, exact %d (untinted %s %d)%s\n",
                        bits == 16 ? "565" : "8888", kStepNames[step], masked, exact, kStepNames[plain], untinted,
                        exact > untinted + 1 ? "  EXACT FORM DIFFERS" : "");
            close = close && exact <= untinted + 1;
        }
    }
    return close;
}

}  // namespace

int main(int argc, char** argv) {
    const bool exactFormsClose = CheckExactForms();
    const int formats[] = {16, 32};
    auto name = [](int bits, int step) { return std::string(bits == 16 ? "565/" : "8888/") + kStepNames[step]; };
    for (int bits : formats)
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = name(bits, i);
            benchmark::RegisterBenchmark(("ours/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                RunOurs(s, bits, step);
            })->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("pixman/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                RunPixman(s, bits, step, false);
            })->Unit(benchmark::kMicrosecond);
            if (HasExactForm(step))
                benchmark::RegisterBenchmark(("pixman-exact/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                    RunPixman(s, bits, step, true);
                })->Unit(benchmark::kMicrosecond);
            if (step == Frame) continue;
            const Traffic t = TrafficFloor::Of(step, bits / 8);
            for (bool set : {false, true}) {
                const size_t bytes = set ? SetBytes(t) : CopyBytes(t);
                benchmark::RegisterBenchmark(((set ? "memset/" : "memcpy/") + suffix).c_str(),
                                             [bytes, set](benchmark::State& s) { RunCopy(s, bytes, set); })
                        ->Unit(benchmark::kMicrosecond)
                        ->MinTime(0.1);
            }
        }
    InitializeComparableRuns(argc, argv);
    MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-20s %10s %10s %12s %8s %10s %8s\n", "format/step", "ours (us)", "pixman", "pixman exact", "ratio",
                "floor (us)", "/floor");
    for (int bits : formats) {
        double frameFloor = 0;
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = name(bits, i);
            double ours = 0, theirs = 0, exact = 0;
            if (!reporter.Median("ours/" + suffix, &ours) || !reporter.Median("pixman/" + suffix, &theirs)) continue;
            const bool hasExact = HasExactForm(step) && reporter.Median("pixman-exact/" + suffix, &exact);
            char exactText[16] = "";
            if (hasExact) std::snprintf(exactText, sizeof exactText, "%.1f", exact / 1000);
            // The floor: the step's bytes at the rates measured over blocks of its size; the frame's
            // is the sum of its steps'.
            double floor = frameFloor;
            if (step != Frame) {
                double copyNanos = 0, setNanos = 0;
                const Traffic t = TrafficFloor::Of(step, bits / 8);
                floor = -1;
                // The library names a run with its minimum time.
                auto rate = [&](const std::string& n, double* nanos) {
                    return reporter.Median(n, nanos) || reporter.Median(n + "/min_time:0.100", nanos);
                };
                if (rate("memcpy/" + suffix, &copyNanos) && rate("memset/" + suffix, &setNanos)) {
                    floor = TrafficFloor::Time(t, 2.0 * CopyBytes(t) / copyNanos, SetBytes(t) / setNanos) / 1000;
                    frameFloor += floor;
                }
            }
            std::printf("%-20s %10.1f %10.1f %12s %8.2f %10.1f %8.2f\n", suffix.c_str(), ours / 1000, theirs / 1000,
                        exactText, ours / (hasExact ? exact : theirs), floor, floor > 0 ? ours / 1000 / floor : 0.0);
        }
    }
    std::printf(
            "\nratio: ours / pixman's exact form where it has one (the tinted steps), else / pixman's.\n"
            "floor: the step's unavoidable bytes read and written at this run's memcpy and memset rates.\n"
            "The 565 rows compare a cheaper operation: our 16-bit blend weights the destination with a 5-bit\n"
            "alpha (up to 4 units off an exact blend), pixman's with the full 8 bits (at most 2 off).\n");
    if (!exactFormsClose) std::printf("\npixman's exact form of a tinted step does not give our pixels: see above.\n");
    benchmark::Shutdown();
    return exactFormsClose ? 0 : 1;
}
