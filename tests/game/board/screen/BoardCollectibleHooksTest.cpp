// The play screen's collectible hooks: idle at every level start, a click the layout leaves
// reaches the jewels, and a found jewel counts as the kind says.

#include <gtest/gtest.h>

#include <cmath>

#include "game/board/effects/CollectibleHooks.h"
#include "tests/game/board/screen/ScreenTestSupport.h"

namespace {

using screentest::ScreenFixture;

class BoardHooksTest : public ::testing::Test {
protected:
    void TearDown() override {
        JewelsManager_t::Instance().jewels.clear();
        CollectibleRegistry_t::Instance().Clear();
    }
    // A jewel of the given kind with its picture's box at (x, y), 20 x 20.
    static Jewel_t& AddJewel(int x, int y, int kind) {
        Jewel_t jewel;
        jewel.x = x;
        jewel.y = y;
        jewel.width = 20;
        jewel.height = 20;
        jewel.kind = kind;
        JewelsManager_t::Instance().jewels.push_back(jewel);
        return JewelsManager_t::Instance().jewels.back();
    }
};

TEST_F(BoardHooksTest, LevelStartLeavesTheProgressValueAtZeroWithoutItems) {
    ScreenFixture f({{"Play", 0, 5}}, true);
    f.EnterAndPlay();
    EXPECT_EQ(f.board->collectibles.itemsNeeded, 0);
    EXPECT_EQ(f.board->collectibles.value.current, 0.0f);
    EXPECT_FALSE(std::isnan(f.board->collectibles.value.target));
    EXPECT_EQ(JewelsManager_t::Instance().listener, f.board.get());
}

TEST_F(BoardHooksTest, AClickOnAnEmptySpotReachesTheJewels) {
    ScreenFixture f({{"Play", 0, 5}}, false);
    f.EnterAndPlay();
    const int score = f.Score();
    // Nothing there: nothing happens.
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 0);
    // A score jewel at that spot is found once.
    Jewel_t& jewel = AddJewel(990, 750, 1);  // counts as a score jewel in simple mode
    f.board->MouseUp(1000, 760, 1);
    EXPECT_TRUE(jewel.taken);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 1);
    EXPECT_EQ(f.board->collectibles.jewelCounter, 1);
    EXPECT_EQ(f.Score(), score);  // stages give score jewels no points here
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 1);
}

TEST_F(BoardHooksTest, AnItemJewelCountsAndFliesToTheValue) {
    ScreenFixture f({{"Play", 0, 5}}, true);
    f.EnterAndPlay();
    Progress_t* record = ProfileManager_t::Instance()->GetCurrentProgress();
    const int before = record->jewelCount;
    AddJewel(990, 750, 1);
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(record->jewelCount, before + 1);
    EXPECT_EQ(f.host->Count("jewelfound"), 1);
    ASSERT_EQ(f.board->listC.Count(), 1);
    EXPECT_EQ(f.board->listC.At(0)->mode, 1);
    EXPECT_EQ(f.board->listC.At(0)->factor, 0.0f);  // no item needed: no share
}

}  // namespace
