// The board's engine pictures drawn onto a real picture.

#include <gtest/gtest.h>

#include <memory>

#include "game/board/screen/EngineBoardVisuals.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/engine/anim/AnimTestSupport.h"

namespace {

uint32_t PixelAt(Velm::MemoryImage& image, int x, int y) {
    return image.GetBits()[y * image.GetWidth() + x] & 0xFFFFFF;
}

// The combo hint blinks on its tile only: at the top of its fade it covers the 58 x 68 picture
// centred on the tile, at the board's alpha, and nothing around it.
TEST(EngineBoardVisuals, ComboHintStaysOnItsTileAtTheBoardAlpha) {
    struct Case {
        float boardAlpha;
        uint32_t centre;  // the grey the white picture leaves on black
    };
    for (const Case& c : {Case{255, 0xFFFFFF}, Case{0, 0x000000}}) {
        SCOPED_TRACE(c.boardAlpha);
        animtest::ScopedHooks hooks;
        hooks.resources["IMAGE_BLINK_COLL"] = animtest::MakeImage(58, 68);
        std::unique_ptr<Velm::MemoryImage> screen(animtest::MakeImage(400, 300, 0xFF000000));
        std::unique_ptr<Velm::TileEffect> hint = Velm::EngineBoardVisuals().MakeComboHint(200, 150, 2);
        for (int tick = 0; tick < Velm::EngineBoardVisuals::kHintHalfCycleTicks - 1; ++tick) hint->Update();
        hint->SetScale(c.boardAlpha);
        Velm::Graphics g(screen.get());
        hint->Draw(&g);
        EXPECT_EQ(PixelAt(*screen, 200, 150), c.centre);
        EXPECT_EQ(PixelAt(*screen, 200 - 28, 150 - 33), c.centre);
        for (const auto& outside : {std::make_pair(200 - 32, 150), std::make_pair(200 + 32, 150),
                                    std::make_pair(200, 150 - 38), std::make_pair(10, 10), std::make_pair(390, 290)})
            EXPECT_EQ(PixelAt(*screen, outside.first, outside.second), 0u) << outside.first << "," << outside.second;
    }
}

}  // namespace
