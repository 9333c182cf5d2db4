// The play screen driven by synthetic input on a seeded board: selection, removal, undo,
// shuffle, hint and each tool, with the sounds asked for, the score and the buttons' states.

#include <gtest/gtest.h>

#include "game/board/effects/EffectChange3One.h"
#include "tests/game/board/screen/ScreenTestSupport.h"
#include "widgets/ButtonWidget.h"

namespace {

using screentest::ScreenFixture;
using Velm::BoardWidjet_t;
using Velm::Layout_t;

class BoardScreen : public ::testing::Test {
protected:
    void SetUp() override {
        fixture = std::make_unique<ScreenFixture>(std::vector<screentest::LevelSpec>{{"Play", 0, 20}});
        fixture->EnterAndPlay();
        fixture->UsePlayFaces();
        fixture->host->sounds.clear();
    }
    ScreenFixture& F() { return *fixture; }
    Layout_t& L() { return fixture->Layout(); }
    BoardWidjet_t& B() { return *fixture->board; }
    // Runs updates until the layout has no pending tool move (or the budget runs out).
    void SettleTools() {
        for (int i = 0; i < 1000 && L().IsOperationPending(); ++i) B().Update();
        F().Ticks(2);
    }
    std::unique_ptr<ScreenFixture> fixture;
};

TEST_F(BoardScreen, SelectingAndRemovingAPairScoresTwiceTheClassValue) {
    F().ClickTile(0);
    EXPECT_EQ(F().host->Count("SelectColl"), 1);
    F().ClickTile(1);
    EXPECT_EQ(F().host->Count("RemoveColl"), 1);
    EXPECT_FALSE(L().Cell(0).active);
    EXPECT_FALSE(L().Cell(1).active);
    EXPECT_EQ(F().Score(), 300);
    EXPECT_GT(B().listA.Count(), 0);
    EXPECT_EQ(B().listB.Count(), 2);  // the two score numbers
}

TEST_F(BoardScreen, UndoGivesBackThePointsOfTheUndoneMoveOnly) {
    F().ClickTile(0);
    F().ClickTile(1);
    F().ClickTile(2);
    F().ClickTile(3);
    EXPECT_EQ(F().Score(), 600);
    F().Ticks(1);
    EXPECT_FALSE(B().undoButton->mDisabled);
    B().ButtonDepress(BoardWidjet_t::kUndo);
    EXPECT_EQ(F().host->Count("undo"), 1);
    EXPECT_EQ(F().Score(), 300);
    EXPECT_TRUE(L().Cell(2).active);
    EXPECT_TRUE(L().Cell(3).active);

    // With a swap waiting for its flight the layout refuses the undo: nothing is charged.
    F().ClickTile(9);
    F().ClickTile(14);
    F().ClickTile(2);
    ASSERT_TRUE(L().IsOperationPending());
    F().Ticks(1);
    EXPECT_TRUE(B().undoButton->mDisabled);
    EXPECT_TRUE(B().shuffleButton->mDisabled);
    B().ButtonDepress(BoardWidjet_t::kUndo);
    EXPECT_EQ(F().Score(), 300);
}

TEST_F(BoardScreen, ShuffleAndHint) {
    F().Ticks(1);
    EXPECT_FALSE(B().shuffleButton->mDisabled);
    B().ButtonDepress(BoardWidjet_t::kShuffle);
    EXPECT_EQ(F().host->Count("Shuffle"), 1);
    EXPECT_NE(L().shuffleMode, Layout_t::kShuffleNone);
    EXPECT_FALSE(F().host->Count("MouseDown"));
    for (int i = 0; i < 200 && L().shuffleMode != Layout_t::kShuffleNone; ++i) B().Update();
    EXPECT_EQ(L().shuffleMode, Layout_t::kShuffleNone);

    L().FindAvailablePairs();
    ASSERT_FALSE(L().availablePairs.empty());
    B().ButtonDepress(BoardWidjet_t::kHint);
    EXPECT_EQ(F().host->Count("Hint"), 1);
    EXPECT_EQ(B().listD.Count(), 2);
}

TEST_F(BoardScreen, HintWithoutPairsDoesNothing) {
    L().availablePairs.clear();
    for (int i = 0; i < L().GetItemCount(); ++i) L().Cell(i).SetActive(false);
    L().RebuildGrid();
    L().FindAvailablePairs();
    B().ButtonDepress(BoardWidjet_t::kHint);
    EXPECT_EQ(F().host->Count("Hint"), 0);
    EXPECT_EQ(B().listD.Count(), 0);
}

TEST_F(BoardScreen, SwapToolFliesAndAppliesOnce) {
    F().ClickTile(9);
    EXPECT_EQ(F().host->Count("swap"), 1);
    ASSERT_TRUE(B().toolRing);
    F().ClickTile(0);
    F().ClickTile(2);
    EXPECT_EQ(F().host->Count("swapbonus"), 1);
    EXPECT_FALSE(B().toolRing);
    SettleTools();
    EXPECT_EQ(F().host->Count("SwapDone"), 1);
    EXPECT_FALSE(L().IsOperationPending());
    EXPECT_EQ(L().Cell(0).face, 7);
    EXPECT_EQ(L().Cell(2).face, 5);
    EXPECT_EQ(L().history.size(), 1u);
}

TEST_F(BoardScreen, ChangeToolFlashesAndChangesFaces) {
    F().ClickTile(10);
    EXPECT_EQ(F().host->Count("change"), 1);
    F().ClickTile(0);
    F().ClickTile(2);
    EXPECT_EQ(F().host->Count("changebonus"), 1);
    SettleTools();
    EXPECT_EQ(L().Cell(2).face, 5);
    EXPECT_EQ(L().Cell(3).face, 5);
}

TEST_F(BoardScreen, RemoverFliesToEachTargetAndFinishes) {
    F().ClickTile(11);
    EXPECT_EQ(F().host->Count("swap"), 1);  // the remover sounds like the swap tool
    F().ClickTile(4);
    EXPECT_EQ(F().host->Count("remover"), 1);
    ASSERT_TRUE(L().IsOperationPending());
    SettleTools();
    EXPECT_FALSE(L().IsOperationPending());
    EXPECT_FALSE(L().Cell(4).active);
    EXPECT_FALSE(L().Cell(5).active);
    EXPECT_TRUE(L().Cell(13).active) << "the fixed face 9 is no ordinary tile";
}

TEST_F(BoardScreen, HintTileMarksThePartnersOfEachSelection) {
    F().ClickTile(12);
    EXPECT_EQ(B().hintTicks, BoardWidjet_t::kHintToolTicks);
    F().ClickTile(0);
    EXPECT_EQ(B().listD.Count(), 2);  // the selected tile and its partner
    // A right click does not end the hint time.
    B().MouseUp(5, 5, -1);
    EXPECT_GT(B().hintTicks, 0);
}

TEST_F(BoardScreen, RightClickDropsAToolNotUsedYet) {
    F().ClickTile(9);
    ASSERT_TRUE(B().toolRing);
    B().MouseUp(5, 5, -1);
    EXPECT_EQ(L().toolMode, Layout_t::kNoTool);
    EXPECT_FALSE(B().toolRing);
    // With no tool a right click changes nothing.
    B().MouseUp(5, 5, -1);
    EXPECT_EQ(L().toolMode, Layout_t::kNoTool);
}

TEST_F(BoardScreen, ClicksOutsidePlayDoNothing) {
    B().boardState = BoardWidjet_t::kStateIdle;
    F().ClickTile(0);
    EXPECT_EQ(L().selected, -1);
    EXPECT_TRUE(F().host->sounds.empty());
}

TEST_F(BoardScreen, EscapeOpensTheGameMenuAndItsResultRestarts) {
    B().KeyUp(0x1B);
    EXPECT_TRUE(F().host->Opened(Velm::BoardDialog::GameMenu));
    EXPECT_EQ(B().openDialogs, 1);
    const int timeBefore = B().timeValue;
    F().Ticks(10);
    EXPECT_EQ(B().timeValue, timeBefore) << "time stands while a window is open";
    B().DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
    EXPECT_EQ(B().openDialogs, 0);
    EXPECT_EQ(B().boardState, BoardWidjet_t::kStateLevelName);
}

// A restart or the game menu in the middle of a tool's flight: the new board has no pending
// move, no stale history, and the cleared flight never reaches it.
TEST_F(BoardScreen, RestartDuringAFlightLeavesNoStaleMoveOrFrozenBoard) {
    struct Flight {
        const char* why;
        std::vector<int> clicks;
    };
    const Flight flights[] = {{"swap", {9, 0, 2}}, {"remover", {11, 4}}, {"change", {10, 0, 2}}};
    for (const Flight& flight : flights) {
        SCOPED_TRACE(flight.why);
        fixture = std::make_unique<ScreenFixture>(std::vector<screentest::LevelSpec>{{"Play", 0, 20}});
        fixture->EnterAndPlay();
        fixture->UsePlayFaces();
        for (int tile : flight.clicks) F().ClickTile(tile);
        F().Ticks(3);
        B().ButtonDepress(BoardWidjet_t::kMenu);
        B().DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
        EXPECT_FALSE(L().IsOperationPending());
        EXPECT_TRUE(L().history.empty());
        EXPECT_TRUE(B().listA.IsEmpty());
        B().DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
        F().Ticks(400);
        EXPECT_EQ(B().boardState, BoardWidjet_t::kStatePlaying);
        EXPECT_TRUE(L().history.empty());
        EXPECT_FALSE(L().IsOperationPending());
        for (int i = 0; i < L().GetItemCount(); ++i) EXPECT_TRUE(L().Cell(i).active) << "tile " << i;
        // The new board plays.
        L().FindAvailablePairs();
        ASSERT_FALSE(L().availablePairs.empty());
        const auto pair = L().availablePairs.front();
        F().ClickTile(pair.first);
        F().ClickTile(pair.second);
        EXPECT_EQ(L().history.size(), 1u);
    }
}

}  // namespace

namespace {

// Swap mode through the screen: every swap flies, is applied, its groups scored and its
// regrouping flights and change flashes run to their ends; the board is never left waiting.
TEST(BoardSwapMode, SwapsRunToTheirEndsAndARestartMidwayLeavesNothingPending) {
    for (bool restartMidway : {false, true}) {
        SCOPED_TRACE(restartMidway ? "restart in the middle of each swap" : "swaps played out");
        ScreenFixture f({{"Classic", 1, 20}}, false, 99);
        f.EnterAndPlay();
        Layout_t& layout = f.Layout();
        int swaps = 0;
        for (int round = 0; round < 8; ++round) {
            layout.FindAvailablePairs();
            if (layout.availablePairs.empty()) break;
            const auto swap = layout.availablePairs.front();
            f.ClickTile(swap.first);
            f.ClickTile(swap.second);
            if (!layout.IsOperationPending()) continue;
            ++swaps;
            if (restartMidway) {
                f.Ticks(10);
                f.board->ButtonDepress(BoardWidjet_t::kMenu);
                f.board->DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
                EXPECT_FALSE(layout.IsOperationPending());
                EXPECT_TRUE(layout.history.empty());
                f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
                f.Ticks(400);
                ASSERT_EQ(f.board->boardState, BoardWidjet_t::kStatePlaying);
                continue;
            }
            for (int i = 0; i < 3000 && layout.IsOperationPending(); ++i) f.board->Update();
            ASSERT_FALSE(layout.IsOperationPending()) << "a swap-mode move never ended";
            f.Ticks(300);
            ASSERT_FALSE(layout.IsOperationPending());
        }
        EXPECT_GT(swaps, 0);
        if (!restartMidway) {
            EXPECT_EQ(f.host->Count("SwapDone"), swaps);
            EXPECT_GT(f.Score(), 0);
        }
    }
}

}  // namespace

namespace {

// The swap mode's regrouping flights: each tile flies on the screen and its arrival reaches
// the layout, once; a restart while they fly leaves a board that plays.
TEST(BoardSwapMode, RegroupingFlightsEndOnArrivalOrOnTheNextLoad) {
    for (bool restartMidway : {false, true}) {
        SCOPED_TRACE(restartMidway ? "restart while the tiles fly" : "flights arrive");
        ScreenFixture f({{"Classic", 1, 20}}, false, 5);
        f.EnterAndPlay();
        auto& layout = Velm::gLayoutSwapColl;
        // Leave the first tile of the bottom row alone: its neighbours go.
        const int alone = 0;
        const std::vector<int> neighbours = layout.CollectNeighbours(alone);
        for (int n : neighbours) layout.RemoveTile(n, 0, false, true);
        layout.RebuildGrid();
        ASSERT_GT(layout.StartRegroupFlights(), 0);
        ASSERT_TRUE(layout.IsOperationPending());
        EXPECT_GT(f.board->listB.Count(), 0);
        if (restartMidway) {
            f.Ticks(5);
            f.board->ButtonDepress(BoardWidjet_t::kMenu);
            f.board->DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
            EXPECT_FALSE(layout.IsOperationPending());
            EXPECT_TRUE(f.board->listB.IsEmpty());
            f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
            f.Ticks(400);
            EXPECT_EQ(f.board->boardState, BoardWidjet_t::kStatePlaying);
            EXPECT_TRUE(layout.history.empty());
        } else {
            for (int i = 0; i < 100 && layout.IsOperationPending(); ++i) f.board->Update();
            EXPECT_FALSE(layout.IsOperationPending());
        }
    }
}

}  // namespace
