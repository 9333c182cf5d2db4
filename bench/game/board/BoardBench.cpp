// Deal plus available-pair count (deals per second) and the pair search alone,
// on the classic 144-tile layout. The peer of the pair search is the plain walk
// over every pair of used tiles through CanRemovePair.
// Aims: 20,000 deals per second or more; a pair search under 10 microseconds.

#include "game/board/Layout.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Fixture {
    boardtest::FakeTileSets sets;
    std::unique_ptr<Velm::Layout_t> layout = std::make_unique<Velm::Layout_t>();
    Fixture() {
        sets.sets.push_back(boardtest::MakeStandardTileSet());
        layout->SetTileSets(&sets);
        layout->Init();
        layout->LoadFromText(boardtest::ClassicLayoutText(), "classic");
        plat::CrtSrand(1);
        layout->Deal(true);
    }
};

void BM_DealAndPairCount(benchmark::State& state) {
    Fixture f;
    unsigned seed = 1;
    for (auto _ : state) {
        plat::CrtSrand(seed++);
        f.layout->Deal(true);
        benchmark::DoNotOptimize(f.layout->availablePairs.size());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DealAndPairCount);

void BM_PairSearch(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.layout->FindAvailablePairs();
        benchmark::DoNotOptimize(f.layout->availablePairs.data());
    }
}
BENCHMARK(BM_PairSearch);

void BM_PairSearchAllPairsWalk(benchmark::State& state) {
    Fixture f;
    Velm::Layout_t& layout = *f.layout;
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
BENCHMARK(BM_PairSearchAllPairsWalk);

}  // namespace
