// Deals of the shipped boards, printed as a report: for every layout in the usual game, and
// for every stage level in its own mode, how many of the seeded deals leave a pair to take at
// the start. The deals are seeded, so the figures are fixed for a given deal.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "game/board/GlobalLayouts.h"
#include "game/board/Layout.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "platform/CrtRand.h"
#include "tests/content/ContentTree.h"

namespace {

// Deals the loaded layout with seeds 1 .. deals and counts the starts with an available pair.
int DealsWithAPair(Velm::Layout_t& layout, int deals) {
    int withPair = 0;
    for (int seed = 1; seed <= deals; ++seed) {
        plat::CrtSrand(static_cast<unsigned>(seed));
        layout.Deal(true);
        withPair += layout.availablePairs.empty() ? 0 : 1;
    }
    return withPair;
}

class ContentDeals : public ::testing::Test {
protected:
    void SetUp() override { tileSets.Load("tilesets/tilesets.set"); }
    TilesetCatalogue_t tileSets;
};

TEST_F(ContentDeals, EveryLayoutInTheUsualGameStartsWithAPair) {
    constexpr int kDeals = 1000;
    Velm::Layout_t layout;
    layout.SetTileSets(&tileSets);
    layout.Init();
    int layouts = 0;
    for (const std::string& file : contenttest::ListFiles()) {
        if (file.rfind("layouts/", 0) != 0) continue;
        const std::string name = file.substr(8);
        ASSERT_TRUE(layout.Load(name)) << name << ": " << layout.GetLoadError();
        const int withPair = DealsWithAPair(layout, kDeals);
        std::printf("%-16s %3d tiles: %4d of %d seeded deals start with a pair\n", name.c_str(),
                    layout.CountActiveTiles(), withPair, kDeals);
        EXPECT_EQ(withPair, kDeals) << name;
        ++layouts;
    }
    EXPECT_GE(layouts, 6);
}

TEST_F(ContentDeals, EveryStageLevelStartsWithAPairInItsMode) {
    constexpr int kDeals = 200;
    for (int type = 0; type <= 6; ++type) {
        Velm::LayoutForGameType(type).SetTileSets(&tileSets);
        Velm::LayoutForGameType(type).Init();
    }
    for (const char* list : {"stages/stagessimple.txt", "stages/stages.txt"}) {
        StageCatalogue_t catalogue(list);
        for (int s = 0; s < catalogue.GetStageCount(); ++s)
            for (const auto& level : catalogue.GetStage(s)->games0) {
                Velm::Layout_t& layout = Velm::LayoutForGameType(level->type);
                ASSERT_TRUE(layout.Load(level->layout)) << level->layout << ": " << layout.GetLoadError();
                const int withPair = DealsWithAPair(layout, kDeals);
                std::printf("%s %-16s mode %d: %4d of %d seeded deals start with a move\n", list, level->layout.c_str(),
                            level->type, withPair, kDeals);
                EXPECT_TRUE(layout.GetDealError().empty()) << level->layout << ": " << layout.GetDealError();
                EXPECT_EQ(withPair, kDeals)
                        << list << " " << level->name << " (" << level->layout << ", mode " << level->type << ")";
            }
    }
}

}  // namespace
