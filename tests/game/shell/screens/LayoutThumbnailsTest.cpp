#include "game/shell/screens/LayoutThumbnails.h"

#include <gtest/gtest.h>

#include "game/board/Layout.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"

namespace {

using Velm::LayoutThumbnails;

int CountPixels(Velm::MemoryImage& image, uint32_t argb) {
    const uint32_t* bits = image.GetBits();
    int n = 0;
    for (int i = 0; i < image.width * image.height; ++i) n += bits[i] == argb ? 1 : 0;
    return n;
}

std::unique_ptr<Velm::MemoryImage> MakeThumbnail() {
    auto thumb = std::make_unique<Velm::MemoryImage>();
    thumb->Create(LayoutThumbnails::kThumbnailWidth, LayoutThumbnails::kThumbnailHeight);
    return thumb;
}

TEST(LayoutThumbnails, DrawsBlankFacesScaledDownAndEmptiesTheModel) {
    TempDir dir;
    screenstest::WriteGridLayout(dir, "grid.lay", 2, 6, 12);
    const screenstest::CurrentDir here(dir.Path());
    const auto tilesets = screenstest::MakeTilesets(0xFF20C040u);

    LayoutThumbnails thumbnails(tilesets.get());
    thumbnails.Acquire();
    auto thumb = MakeThumbnail();
    ASSERT_TRUE(thumbnails.Render("grid.lay", *thumb));

    // The model is emptied after each picture.
    EXPECT_EQ(thumbnails.GetLayout().GetItemCount(), 0);
    // Tiles cover x from 14 + 24c - 29 and y from 85 + 31r - 34 on the 1024 x 768
    // board; at a fifth of the size the middle of the block is blank-face
    // colour, and the far corner stays clear.
    const uint32_t* bits = thumb->GetBits();
    const int w = thumb->width;
    EXPECT_EQ(bits[30 * w + 40], 0xFF20C040u);
    EXPECT_EQ(bits[(thumb->height - 1) * w + (w - 1)], 0u);
    EXPECT_GT(CountPixels(*thumb, 0xFF20C040u), 1000);
}

TEST(LayoutThumbnails, MissingLayoutOrScratchGivesAClearedThumbnail) {
    TempDir dir;
    screenstest::WriteGridLayout(dir, "grid.lay", 1, 2, 2);
    const screenstest::CurrentDir here(dir.Path());
    const auto tilesets = screenstest::MakeTilesets();
    LayoutThumbnails thumbnails(tilesets.get());
    auto thumb = MakeThumbnail();
    thumb->FillRect(Velm::Rect(0, 0, thumb->width, thumb->height), Velm::Color(255, 0, 0), 0);

    // Without the scratch image (list not shown) nothing is drawn.
    EXPECT_FALSE(thumbnails.Render("grid.lay", *thumb));
    EXPECT_EQ(CountPixels(*thumb, 0u), thumb->width * thumb->height);

    thumbnails.Acquire();
    ASSERT_TRUE(thumbnails.Render("grid.lay", *thumb));
    EXPECT_GT(CountPixels(*thumb, 0xFFFFFFFFu), 0);
    // A missing layout after a good one: cleared, and nothing of the last one left.
    EXPECT_FALSE(thumbnails.Render("missing.lay", *thumb));
    EXPECT_EQ(CountPixels(*thumb, 0u), thumb->width * thumb->height);
    EXPECT_EQ(thumbnails.GetLayout().GetItemCount(), 0);

    thumbnails.Release();
    EXPECT_FALSE(thumbnails.HasScratch());
}

}  // namespace
