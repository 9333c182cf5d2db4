#pragma once

// The representative frame (RepresentativeFrame.h) drawn through the display: its images
// loaded onto a display and each step drawn by the screen image's blitters. Shared by the
// software and the 3D benchmarks, so both time exactly the same calls.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/display/RepresentativeFrame.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"

namespace benchframe {

// A host of the frame's size.
struct FrameHost : Velm::DisplayHost {
    int GetLogicalWidth() override { return kWidth; }
    int GetLogicalHeight() override { return kHeight; }
    Velm::ImageHost* GetImageHost() override { return nullptr; }
};

// The scene's images on one display: the background as a surface image, the rest as memory
// images. Must go before the display.
struct FrameImages {
    std::unique_ptr<Velm::DDImage> background;
    std::vector<std::unique_ptr<MemoryImage>> tiles;
    std::unique_ptr<MemoryImage> particle, sprite, rotated, glyphs;

    void Load(Velm::DDInterface* display) {
        const Scene& s = TheScene();
        background = std::make_unique<Velm::DDImage>(display);
        background->SetBits(s.background.data(), kWidth, kHeight, true);
        background->BuildSurface();
        for (const auto& t : s.tiles) tiles.push_back(Memory(t, 64, 80));
        particle = Memory(s.particle, 16, 16);
        sprite = Memory(s.sprite, 32, 32);
        rotated = Memory(s.rotated, 64, 64);
        glyphs = Memory(s.glyphs, kGlyphWidth * kGlyphColumns, kGlyphHeight * kGlyphRows);
    }
};

// One step of the frame on `screen` (Frame and StepCount draw nothing).
inline void DrawStep(Velm::DDImage* screen, const FrameImages& images, Step step) {
    using Velm::Color;
    using Velm::Rect;
    const Scene& s = TheScene();
    const Rect all(0, 0, kWidth, kHeight);
    switch (step) {
        case Background: screen->Blt(images.background.get(), 0, 0, all, Color::White, 0); break;
        case Tiles:
            for (size_t i = 0; i < s.tilePos.size(); ++i)
                screen->Blt(images.tiles[i % 8].get(), s.tilePos[i].x, s.tilePos[i].y, Rect(0, 0, 64, 80), Color::White,
                            0);
            break;
        case Grey:
            for (size_t i = 0; i < 40; ++i)
                screen->Blt(images.tiles[i % 8].get(), s.tilePos[i].x + 5, s.tilePos[i].y + 5, Rect(0, 0, 64, 80),
                            Color(128, 128, 128), 0);
            break;
        case Particles:
            for (size_t i = 0; i < 100; ++i)
                screen->Blt(images.particle.get(), s.particlePos[i].x, s.particlePos[i].y, Rect(0, 0, 16, 16),
                            Color::White, 1);
            break;
        case Scaled:
            for (size_t i = 100; i < 200; ++i)
                screen->StretchBlt(images.particle.get(), Rect(s.particlePos[i].x, s.particlePos[i].y, 24, 24),
                                   Rect(0, 0, 16, 16), all, Color::White, 1, true);
            break;
        case StretchBlend:
        case StretchTinted: {
            // 40 soft sprites scaled from 32 x 32 to 48 x 48, nearest pixel, normal mode.
            const Color color = step == StretchBlend ? Color::White : Color(200, 160, 255);
            for (size_t i = 40; i < 80; ++i)
                screen->StretchBlt(images.sprite.get(), Rect(s.particlePos[i].x, s.particlePos[i].y, 48, 48),
                                   Rect(0, 0, 32, 32), all, color, 0, true);
            break;
        }
        case Fractional:
            for (size_t i = 0; i < 30; ++i)
                screen->BltF(images.sprite.get(), s.particlePos[i].x + 0.37f, s.particlePos[i].y + 0.61f,
                             Rect(0, 0, 32, 32), all, Color::White, 0);
            break;
        case Rotated:
            for (int i = 0; i < 10; ++i)
                screen->BltRotated(images.rotated.get(), static_cast<float>(100 + i * 80), 300.0f, Rect(0, 0, 64, 64),
                                   all, Color::White, 0, 0.3 + i * 0.5, 32.0f, 32.0f);
            break;
        case Text:
            // One tinted blit per character from the glyph sheet, as an image font draws.
            for (int line = 0; line < kTextLines; ++line)
                for (int k = 0; k < kTextLength; ++k) {
                    const int g = s.text[static_cast<size_t>(line * kTextLength + k)];
                    screen->Blt(images.glyphs.get(), 60 + k * (kGlyphWidth - 1), 40 + line * 52,
                                Rect((g % kGlyphColumns) * kGlyphWidth, (g / kGlyphColumns) * kGlyphHeight, kGlyphWidth,
                                     kGlyphHeight),
                                Color(250, 230, 160), 0);
                }
            break;
        case Fill: screen->FillRect(all, Color(0, 0, 0, 128), 0); break;
        default: break;
    }
}

}  // namespace benchframe
