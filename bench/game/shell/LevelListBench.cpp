// One page of the simple-mode level list on one core: six 144-tile layouts
// (two layers of 6 x 12 tiles, a different file for each slot) loaded, drawn
// with blank faces into the 1024 x 768 scratch image and scaled into 207 x 125
// thumbnails; and the scaling alone, for comparison.
// Aim: a page well under one frame of the list's first show (under 16 ms).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "game/shell/screens/LayoutThumbnails.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"

namespace {

using Velm::LayoutThumbnails;

struct Page {
    TempDir dir;
    std::unique_ptr<screenstest::CurrentDir> here;
    std::unique_ptr<TilesetCatalogue_t> tilesets = screenstest::MakeTilesets();
    std::unique_ptr<LayoutThumbnails> renderer;
    std::vector<std::unique_ptr<Velm::MemoryImage>> thumbnails;

    Page() {
        for (int s = 0; s < 6; ++s) screenstest::WriteGridLayout(dir, "page" + std::to_string(s) + ".lay", 2, 6, 12);
        here = std::make_unique<screenstest::CurrentDir>(dir.Path());
        renderer = std::make_unique<LayoutThumbnails>(tilesets.get());
        renderer->Acquire();
        for (int s = 0; s < 6; ++s) {
            thumbnails.push_back(std::make_unique<Velm::MemoryImage>());
            thumbnails.back()->Create(LayoutThumbnails::kThumbnailWidth, LayoutThumbnails::kThumbnailHeight);
        }
    }
};

void BM_ListPageOfSixThumbnails(benchmark::State& state) {
    Page page;
    for (auto _ : state) {
        for (int s = 0; s < 6; ++s) {
            const bool drawn = page.renderer->Render("page" + std::to_string(s) + ".lay", *page.thumbnails[s]);
            benchmark::DoNotOptimize(drawn);
        }
    }
    state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_ListPageOfSixThumbnails)->Unit(benchmark::kMillisecond);

void BM_ScaleScratchIntoThumbnail(benchmark::State& state) {
    Velm::MemoryImage scratch;
    scratch.Create(LayoutThumbnails::kScratchWidth, LayoutThumbnails::kScratchHeight);
    scratch.FillRect(Velm::Rect(0, 0, 600, 400), Velm::Color(255, 255, 255), 0);
    Velm::MemoryImage thumbnail;
    thumbnail.Create(LayoutThumbnails::kThumbnailWidth, LayoutThumbnails::kThumbnailHeight);
    for (auto _ : state) {
        Velm::Graphics g(&thumbnail);
        g.SetFastStretch(true);
        g.DrawImage(&scratch, Velm::Rect(0, 0, thumbnail.width, thumbnail.height),
                    Velm::Rect(0, 0, scratch.width, scratch.height));
        benchmark::DoNotOptimize(thumbnail.GetBits());
    }
}
BENCHMARK(BM_ScaleScratchIntoThumbnail)->Unit(benchmark::kMicrosecond);

}  // namespace
