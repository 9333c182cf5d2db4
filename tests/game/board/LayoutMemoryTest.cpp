// The memory mode: two tiles turned up, shown for 50 ticks, then removed or
// turned face down again.

#include "game/board/LayoutMemory.h"
#include "tests/game/board/ModeTestSupport.h"

#include <gtest/gtest.h>

namespace {

using boardtest::At;
using boardtest::ModeBoard;
using Velm::LayoutMemory_t;

// Tiles 0 .. 3 apart in a row (faces 5, 6, 5, 6); tile 4 lies on tile 3 (face 5).
struct MemoryBoard : ModeBoard<LayoutMemory_t> {
    MemoryBoard() { Load({At(0, 0), At(2, 0), At(4, 0), At(6, 0), At(6, 0, 1)}, {5, 6, 5, 6, 5}); }
};

TEST(MemoryMode, MatchingTilesShowForFiftyTicksThenGo) {
    MemoryBoard board;
    board.events.logHover = false;
    board.Run("hover 0; click; hover 2; click");
    LayoutMemory_t& memory = *board.layout;
    EXPECT_EQ(memory.selected, 0);
    EXPECT_EQ(memory.secondTile, 2);
    EXPECT_EQ(memory.revealTimer, 50);
    EXPECT_TRUE(memory.revealMatched);
    EXPECT_EQ(board.Events(), "select(0) ->used ->used");
    board.Run("tick 49");
    EXPECT_TRUE(memory.Cell(0).active);
    EXPECT_TRUE(memory.Cell(2).active);
    board.Run("tick 1");
    EXPECT_FALSE(memory.Cell(0).active);
    EXPECT_FALSE(memory.Cell(2).active);
    EXPECT_EQ(memory.selected, -1);
    EXPECT_EQ(memory.secondTile, -1);
    EXPECT_EQ(board.Events(), "select(0) ->used ->used pair(0) changed");
    ASSERT_EQ(memory.history.size(), 1u);
    EXPECT_EQ(memory.history.back()[0].tile, 2);  // the second tile first
    EXPECT_TRUE(memory.Undo());
    EXPECT_TRUE(memory.Cell(0).active);
}

TEST(MemoryMode, DifferentFacesAreRejectedAtOnceAndTurnedBack) {
    MemoryBoard board;
    board.events.logHover = false;
    board.Run("hover 0; click; hover 1; click");
    EXPECT_EQ(board.Events(), "select(0) ->used rejected ->used");
    EXPECT_FALSE(board.layout->revealMatched);
    board.Run("tick 50");
    EXPECT_EQ(board.layout->selected, -1);
    EXPECT_EQ(board.layout->secondTile, -1);
    EXPECT_TRUE(board.layout->Cell(0).active);
    EXPECT_TRUE(board.layout->Cell(1).active);
    EXPECT_TRUE(board.layout->history.empty());
}

TEST(MemoryMode, MouseIsFrozenWhileTwoTilesShow) {
    MemoryBoard board;
    board.Run("hover 0; click; hover 1; click");
    board.events.events.clear();
    board.Run("hover 2; away");
    EXPECT_EQ(board.layout->hovered, 1);
    EXPECT_EQ(board.Events(), "");
    // A click meanwhile starts the 50 ticks again.
    board.Run("tick 20; click");
    EXPECT_EQ(board.layout->revealTimer, 50);
}

// The two tiles show for exactly 50 updates after the last click on the second one: after
// 49 they are still up and the mouse still frozen; the 50th ends the reveal, and the next
// mouse move is taken again.
TEST(MemoryMode, RevealEndsOnTheFiftiethUpdate) {
    struct Case {
        const char* why;
        const char* turnUp;
        int removedAfter;  // -1: turned face down again
    };
    const Case cases[] = {
            {"matching pair", "hover 0; click; hover 2; click", 2},
            {"different faces", "hover 0; click; hover 1; click", -1},
            {"click again after 20 updates", "hover 0; click; hover 1; click; tick 20; click", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        MemoryBoard board;
        board.Run(c.turnUp);
        const int second = board.layout->secondTile;
        ASSERT_GE(second, 0);
        board.Run("tick 49; hover 3");
        EXPECT_EQ(board.layout->revealTimer, 1);
        EXPECT_EQ(board.layout->selected, 0);
        EXPECT_EQ(board.layout->secondTile, second);
        EXPECT_EQ(board.layout->hovered, second) << "the mouse is frozen until the end";
        EXPECT_TRUE(board.layout->Cell(second).active);
        board.Run("tick 1");
        EXPECT_EQ(board.layout->revealTimer, 0);
        EXPECT_EQ(board.layout->selected, -1);
        EXPECT_EQ(board.layout->secondTile, -1);
        EXPECT_EQ(board.layout->Cell(second).active, c.removedAfter < 0);
        board.Run("hover 3");
        EXPECT_EQ(board.layout->hovered, 3);
    }
}

TEST(MemoryMode, ClickingTheFirstTileAgainChangesNothing) {
    MemoryBoard board;
    board.Run("hover 0; click; hover 0; click");
    EXPECT_EQ(board.layout->selected, 0);
    EXPECT_EQ(board.layout->secondTile, -1);
    EXPECT_EQ(board.layout->revealTimer, 0);
}

TEST(MemoryMode, CoveredTileCannotBeTurnedUpFirstOrSecond) {
    MemoryBoard board;
    board.events.logHover = false;
    // Tile 3 lies under tile 4; a point of tile 3 outside tile 4 is still hit.
    board.Run("hover 3; click");
    EXPECT_EQ(board.layout->selected, -1);
    EXPECT_EQ(board.Events(), "rejected ->unused");
    board.events.events.clear();
    board.Run("hover 1; click; hover 3; click");
    EXPECT_EQ(board.layout->selected, 1);
    EXPECT_EQ(board.layout->secondTile, -1);
    EXPECT_EQ(board.layout->revealTimer, 0);
    EXPECT_EQ(board.Events(), "select(1) ->used rejected ->unused");
    // The free tile on top can be.
    board.Run("hover 4; click");
    EXPECT_EQ(board.layout->secondTile, 4);
}

TEST(MemoryMode, PairsCountHiddenFacesOfUncoveredTiles) {
    MemoryBoard board;
    EXPECT_EQ(board.Pairs(), "0-2 0-4 2-4");
    EXPECT_TRUE(board.layout->IsTileFree(1));
    EXPECT_FALSE(board.layout->IsTileFree(3));

    // Sides do not block: the middle tile of three side by side is turned up
    // (after the invalid-click notice of a tile blocked at both sides).
    ModeBoard<LayoutMemory_t> row;
    row.Load({At(0, 0), At(1, 0), At(2, 0)}, {5, 6, 5});
    row.events.logHover = false;
    EXPECT_TRUE(row.layout->IsTileFree(1));
    row.Run("hover 1; click");
    EXPECT_EQ(row.layout->selected, 1);
    EXPECT_EQ(row.Events(), "invalid select(1) ->used");
}

TEST(MemoryMode, DrawsFaceDownExceptTheTurnedUpTiles) {
    MemoryBoard board;
    boardtest::NameSprites(*board.layout);
    board.Run("hover 0; click; hover 2; click");
    board.visuals.log.clear();
    board.layout->Draw(nullptr);
    const boardtest::Log& log = board.visuals.log;
    auto count = [&](const std::string& prefix) {
        int n = 0;
        for (const std::string& line : log) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    };
    EXPECT_EQ(count("tile0 "), 1);
    EXPECT_EQ(count("tile2 "), 1);
    EXPECT_EQ(count("tile1"), 0);
    // Face down: tiles 1 and 4 (tile 3 is hidden under tile 4 only partly, so drawn).
    EXPECT_EQ(count("sprite#"), 3);
    // The face-down picture of tile 1 stands with its corner on the anchor cell.
    const Velm::LayoutCell_t& one = board.layout->Cell(1);
    const std::string corner = "sprite#" + std::to_string(static_cast<int>(one.x) - 29) + "," +
                               std::to_string(static_cast<int>(one.y) - 34) + " a=255";
    EXPECT_EQ(count(corner), 1);
    EXPECT_EQ(count("select"), 0);
}

TEST(MemoryMode, LoadingForgetsTurnedUpTiles) {
    MemoryBoard board;
    board.layout->secondTile = 2;
    board.layout->revealTimer = 7;
    board.layout->revealMatched = true;
    board.Load({At(0, 0), At(1, 0)}, {5, 5});
    EXPECT_EQ(board.layout->secondTile, -1);
    EXPECT_EQ(board.layout->revealTimer, 0);
    EXPECT_FALSE(board.layout->revealMatched);
}

}  // namespace
