// An automatic player clears a seeded simple-mode level through the real screen with
// synthetic clicks and reaches the level-complete window with the expected score.

#include <gtest/gtest.h>

#include "tests/game/board/screen/ScreenTestSupport.h"

namespace {

using screentest::ScreenFixture;
using Velm::BoardWidjet_t;

// The deal pairs tiles pass by pass: the free tiles of each pass pair among themselves. The
// player pairs the free tiles it finds with the layout's own rule and clicks each pair,
// waiting long enough between pairs that no combo forms.
TEST(BoardAutoPlayer, ClearsASeededLevelAndReachesLevelComplete) {
    ScreenFixture f({{"Classic", 0, 20}}, false, 12345);
    f.EnterAndPlay();
    Velm::Layout_t& layout = f.Layout();
    int expected = 0;
    int pairs = 0;
    while (!layout.IsCleared() && pairs < 200) {
        std::vector<int> pass;
        ASSERT_TRUE(layout.CollectFreeOrdinaryTiles(pass));
        std::vector<bool> used(pass.size(), false);
        bool any = false;
        for (size_t i = 0; i < pass.size(); ++i) {
            if (used[i]) continue;
            for (size_t j = i + 1; j < pass.size(); ++j) {
                if (used[j] || !layout.CanRemovePair(pass[i], pass[j])) continue;
                used[i] = used[j] = true;
                expected += 2 * f.board->ClassValue(&layout.Cell(pass[i]));
                f.ClickTile(pass[i]);
                f.ClickTile(pass[j]);
                ASSERT_FALSE(layout.Cell(pass[i]).active);
                f.Ticks(Velm::Layout_t::kComboWindow + 1);
                ++pairs;
                any = true;
                break;
            }
        }
        ASSERT_TRUE(any) << "stuck after " << pairs << " pairs";
    }
    EXPECT_EQ(pairs, 72);
    EXPECT_EQ(f.host->Count("RemoveColl"), 72);
    for (int i = 0; i < 1000 && !f.host->Opened(Velm::BoardDialog::LevelComplete); ++i) f.board->Update();
    ASSERT_TRUE(f.host->Opened(Velm::BoardDialog::LevelComplete));
    EXPECT_EQ(f.host->Count("LevelComplete"), 1);
    EXPECT_EQ(f.board->scores[3], expected);
    EXPECT_EQ(f.host->dialogs.back().request.scores[3], expected);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelComplete, 1);
    EXPECT_EQ(f.host->switches.back(), 21);
}

}  // namespace
