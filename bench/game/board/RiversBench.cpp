// The rivers mode's pair search: a route search for every matching pair of
// tiles free from above, after every move. Boards: a full layer (20 by 12 tiles,
// every coarse cell of the board taken) and the same layer with half of its
// tiles taken away at random, where far more routes are open. The peer is the
// plain walk over every pair of used tiles through CanRemovePair.
// Aim: a pair search under 2 ms on either board.

#include "game/board/Layout4Rivers.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

struct Fixture {
    boardtest::FakeTileSets sets;
    std::unique_ptr<Velm::Layout4Rivers_t> layout = std::make_unique<Velm::Layout4Rivers_t>();
    explicit Fixture(bool halfCleared) {
        sets.sets.push_back(boardtest::MakeStandardTileSet());
        layout->SetTileSets(&sets);
        layout->Init();
        std::vector<boardtest::TileLine> tiles;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 20; ++x) tiles.push_back({0, 2 * y, 2 * x});
        }
        layout->LoadFromText(boardtest::LayoutText(tiles, 1, 24, 40, "FullLayer"), "full layer");
        plat::CrtSrand(7);
        // Faces in order from the standard set: about six tiles per face.
        for (int t = 0; t < layout->itemCount; ++t) {
            layout->SetTileFace(t, Velm::Layout_t::DealFaces()[static_cast<size_t>(t % 144)]);
        }
        if (halfCleared) {
            for (int t = 0; t < layout->itemCount; ++t) {
                if (plat::CrtRand() % 2 == 0) layout->RemoveTile(t, 0, false, true);
            }
        }
    }
};

void PairSearch(benchmark::State& state) {
    Fixture f(state.range(0) != 0);
    for (auto _ : state) {
        f.layout->FindAvailablePairs();
        benchmark::DoNotOptimize(f.layout->availablePairs.data());
    }
    state.counters["pairs"] = static_cast<double>(f.layout->availablePairs.size());
}
BENCHMARK(PairSearch)->Arg(0)->Arg(1)->ArgName("halfCleared")->Unit(benchmark::kMicrosecond);

void AllPairsWalk(benchmark::State& state) {
    Fixture f(state.range(0) != 0);
    Velm::Layout4Rivers_t& layout = *f.layout;
    for (auto _ : state) {
        int count = 0;
        for (int i = 0; i < layout.itemCount; ++i) {
            for (int j = i + 1; j < layout.itemCount; ++j) {
                if (layout.Cell(i).active && layout.Cell(j).active && layout.CanRemovePair(i, j)) ++count;
            }
        }
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(AllPairsWalk)->Arg(0)->Arg(1)->ArgName("halfCleared")->Unit(benchmark::kMicrosecond);

}  // namespace
