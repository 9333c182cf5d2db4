// One representative game frame on a 1024 x 768 drawing surface, in R5G6B5 and X8R8G8B8,
// drawn by the surface blitters and by pixman on the same surface pixels. Every step of the
// frame is timed alone and the whole frame together; at the end a table prints, per format
// and step, our time, pixman's and the ratio (ours / pixman's: below 1 means we are faster).
// Run with --benchmark_repetitions=N: the table takes the median of the repetitions. The 565
// rows compare a cheaper operation than pixman's: our 16-bit blend weights the destination with
// a 5-bit alpha (up to 4 units off an exact blend; pixman at most 2).
//
// The frame:
//   background  a 1024 x 768 opaque image (ours: the display's surface copy; pixman SRC)
//   tiles       144 tiles of 64 x 80 with soft (translucent) edges (pixman OVER)
//   grey        40 of those tiles tinted grey (128, 128, 128) (pixman OVER through a
//               component-alpha solid mask)
//   particles   100 additive 16 x 16 particles (pixman ADD)
//   scaled      100 additive particles scaled to 24 x 24, nearest pixel (pixman ADD with a
//               scale transform, nearest filter)
//   stretch_blend   40 soft sprites scaled from 32 x 32 to 48 x 48, nearest pixel (pixman OVER
//                   with a scale transform, nearest filter)
//   stretch_tinted  the same tinted (200, 160, 255) (pixman OVER through a component-alpha
//                   solid mask)
//   fractional  30 sprites of 32 x 32 at fractional positions, bilinear (pixman OVER with a
//               translation, bilinear filter)
//   rotated     10 images of 64 x 64 turned about their centres, bilinear (pixman OVER with a
//               rotation, bilinear filter)
//   text        12 lines of 60 glyphs of 10 x 16, each a tinted blit from an antialiased glyph
//               sheet as an image font draws (pixman OVER of the colour through the glyph's
//               alpha)
//   fill        a half-transparent black full-screen fill (pixman OVER with a solid source)
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
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

uint32_t Premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    auto ch = [&](int shift) { return ((((p >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

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
    std::vector<std::vector<uint32_t>> storage;
    std::vector<uint16_t> background16;

    pixman_image_t* Premultiplied(const std::vector<uint32_t>& pixels, int w, int h) {
        storage.emplace_back(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i) storage.back()[i] = Premultiply(pixels[i]);
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
        particle = Premultiplied(s.particle, 16, 16);
        sprite = Premultiplied(s.sprite, 32, 32);
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
        for (pixman_image_t* image :
             {dest, background, particle, sprite, rotated, greyMask, tintMask, glyphs, textColor, fill})
            pixman_image_unref(image);
    }

    void SetTransform(pixman_image_t* image, const pixman_f_transform& f) {
        pixman_transform_t t;
        pixman_transform_from_pixman_f_transform(&t, &f);
        pixman_image_set_transform(image, &t);
    }

    void Draw(Step step) {
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
                    pixman_image_composite32(PIXMAN_OP_OVER, tiles[i % 8], greyMask, dest, 0, 0, 0, 0,
                                             s.tilePos[i].x + 5, s.tilePos[i].y + 5, 64, 80);
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
                pixman_f_transform f;
                pixman_f_transform_init_scale(&f, 32.0 / 48.0, 32.0 / 48.0);
                SetTransform(sprite, f);
                pixman_image_set_filter(sprite, PIXMAN_FILTER_NEAREST, nullptr, 0);
                for (size_t i = 40; i < 80; ++i)
                    pixman_image_composite32(PIXMAN_OP_OVER, sprite, step == StretchBlend ? nullptr : tintMask, dest, 0,
                                             0, 0, 0, s.particlePos[i].x, s.particlePos[i].y, 48, 48);
                pixman_image_set_filter(sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
                pixman_image_set_transform(sprite, nullptr);
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

void RunPixman(benchmark::State& state, int bits, Step step) {
    Rig rig(bits);
    PixmanRig pixman(rig, bits);
    for (auto _ : state) {
        if (step == Frame) {
            for (int s = 0; s < Frame; ++s) pixman.Draw(static_cast<Step>(s));
        } else {
            pixman.Draw(step);
        }
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int formats[] = {16, 32};
    for (int bits : formats)
        for (int i = 0; i < StepCount; ++i) {
            const Step step = static_cast<Step>(i);
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + kStepNames[i];
            benchmark::RegisterBenchmark(("ours/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                RunOurs(s, bits, step);
            })->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("pixman/" + suffix).c_str(), [bits, step](benchmark::State& s) {
                RunPixman(s, bits, step);
            })->Unit(benchmark::kMicrosecond);
        }
    benchmark::Initialize(&argc, argv);
    MedianRunReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-18s %12s %12s %8s\n", "format/step", "ours (us)", "pixman (us)", "ratio");
    for (int bits : formats)
        for (const char* name : kStepNames) {
            const std::string suffix = std::string(bits == 16 ? "565/" : "8888/") + name;
            double ours = 0, theirs = 0;
            if (!reporter.Median("ours/" + suffix, &ours) || !reporter.Median("pixman/" + suffix, &theirs)) continue;
            std::printf("%-18s %12.1f %12.1f %8.2f\n", suffix.c_str(), ours / 1000, theirs / 1000, ours / theirs);
        }
    std::printf(
            "\nThe 565 rows compare a cheaper operation: our 16-bit blend weights the destination with a 5-bit\n"
            "alpha (up to 4 units off an exact blend), pixman's with the full 8 bits (at most 2 off).\n");
    benchmark::Shutdown();
    return 0;
}
