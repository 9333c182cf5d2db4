// Undo: random sequences of moves undone one by one give back the dealt board;
// undo with nothing to undo, or while a tool's move is pending, changes nothing;
// loading a board ends whatever the last one left running.

#include "game/board/Layout.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardPlaySupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

// The classic pyramid with, below it, a row of linked tiles (ends 7, link 8),
// eight tool tiles and two fixed-face tiles listed one after the other.
std::vector<TileLine> UndoBoard() {
    std::vector<TileLine> tiles = ClassicLayoutTiles();
    tiles.push_back({0, 18, 0, 7});
    tiles.push_back({0, 18, 2, 8});
    tiles.push_back({0, 18, 4, 7});
    const int toolKinds[] = {1, 2, 4, 5, 5, 1, 2, 4};
    for (int k = 0; k < 8; ++k) tiles.push_back({0, 20, 4 * k, toolKinds[k]});
    tiles.push_back({0, 22, 0, 3});
    tiles.push_back({0, 22, 4, 3});
    return tiles;
}

struct TileState {
    bool active;
    int face;
    int kind;
    int cells[4][3];
    bool visible;
    const Velm::BoardTileGroup* group;
    bool hidden;
    bool operator==(const TileState& o) const {
        return active == o.active && face == o.face && kind == o.kind &&
               std::memcmp(cells, o.cells, sizeof(cells)) == 0 && visible == o.visible && group == o.group &&
               hidden == o.hidden;
    }
};

struct BoardState {
    std::vector<TileState> tiles;
    std::string grid;
    int activeTileCount;
    int playableTileCount;
    std::vector<std::pair<int, int>> pairs;
};

BoardState Snapshot(Layout_t& layout) {
    BoardState s;
    for (int i = 0; i < layout.itemCount; ++i) {
        const Velm::LayoutCell_t& c = layout.Cell(i);
        TileState t{c.active, c.face, c.kind, {}, c.visible, c.group, SpriteOf(layout, i)->hidden};
        for (int k = 0; k < 4; ++k) {
            const Velm::LayoutCell_t& cell = layout.tiles[i].cells[k];
            t.cells[k][0] = cell.layer;
            t.cells[k][1] = cell.row;
            t.cells[k][2] = cell.column;
        }
        s.tiles.push_back(t);
    }
    s.grid.assign(reinterpret_cast<const char*>(layout.grid), sizeof(layout.grid));
    s.activeTileCount = layout.activeTileCount;
    s.playableTileCount = layout.playableTileCount;
    s.pairs = layout.availablePairs;
    std::sort(s.pairs.begin(), s.pairs.end());
    return s;
}

void ExpectSameBoard(const BoardState& a, const BoardState& b) {
    ASSERT_EQ(a.tiles.size(), b.tiles.size());
    for (size_t i = 0; i < a.tiles.size(); ++i) EXPECT_TRUE(a.tiles[i] == b.tiles[i]) << "tile " << i;
    EXPECT_TRUE(a.grid == b.grid);
    EXPECT_EQ(a.activeTileCount, b.activeTileCount);
    EXPECT_EQ(a.playableTileCount, b.playableTileCount);
    EXPECT_EQ(a.pairs, b.pairs);
}

struct Board {
    FakeTileSets sets = PlayTileSets();
    RecVisuals visuals;
    EventLog events;
    std::unique_ptr<Layout_t> layout = std::make_unique<Layout_t>();

    explicit Board(const std::vector<TileLine>& tiles) {
        layout->SetTileSets(&sets);
        layout->SetVisuals(&visuals);
        layout->SetListener(&events);
        layout->Init();
        EXPECT_TRUE(layout->LoadFromText(LayoutText(tiles, -1, 24, 40), "undo")) << layout->GetLoadError();
        NameSprites(*layout);
    }
    void Hover(int tile) {
        const std::pair<int, int> p = PointOn(*layout, tile);
        layout->HandleMouseMove(p.first, p.second);
    }
    void Click(int tile) {
        Hover(tile);
        layout->HandleClick(0, 0);
    }
};

// Plays random moves through mouse input, as the player and the play screen
// would: pairs (ordinary, linked ends, fixed faces), the hint tile and the
// swap, change and remover tools. Returns the number of moves made.
int PlayRandomMoves(Board& b, std::mt19937& rng, int maxMoves) {
    Layout_t& layout = *b.layout;
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const size_t historyBefore = layout.history.size();
    int moves = 0;
    for (; moves < maxMoves; ++moves) {
        std::vector<std::pair<int, int>> pairs;
        std::vector<int> tools;
        std::vector<int> ordinary;
        for (int i = 0; i < layout.itemCount; ++i) {
            const Velm::LayoutCell_t& c = layout.Cell(i);
            if (!c.active) continue;
            if (c.kind == 0) ordinary.push_back(i);
            if (!layout.IsTileFree(i)) continue;
            if (c.kind == 1 || c.kind == 2 || c.kind == 4 || c.kind == 5) tools.push_back(i);
            for (int j = i + 1; j < layout.itemCount; ++j) {
                const Velm::LayoutCell_t& d = layout.Cell(j);
                if (d.active && c.kind != 1 && c.kind != 2 && c.kind != 4 && c.kind != 5 && c.kind == d.kind &&
                    layout.CanRemovePair(i, j)) {
                    pairs.emplace_back(i, j);
                }
            }
        }
        // Two ordinary tiles the mouse can reach (covered tiles may have no
        // point of their own), tried in random order.
        std::shuffle(ordinary.begin(), ordinary.end(), rng);
        std::vector<int> targets;
        for (size_t k = 0; k < ordinary.size() && targets.size() < 2; ++k) {
            if (PointOn(layout, ordinary[k]).first >= 0) targets.push_back(ordinary[k]);
        }
        const bool useTool = !tools.empty() && targets.size() >= 2 && (pairs.empty() || rng() % 3 == 0);
        if (!useTool && pairs.empty()) break;
        if (!useTool) {
            const std::pair<int, int> pair = pairs[pick(pairs.size())];
            b.Click(pair.first);
            b.Click(pair.second);
        } else {
            const int tool = tools[pick(tools.size())];
            const int kind = layout.Cell(tool).kind;
            b.Click(tool);
            const int x = targets[0];
            const int y = targets[1];
            if (kind == 1) {
                b.Click(x);
                b.Click(y);
                layout.ApplySwap();
            } else if (kind == 2) {
                b.Click(x);
                b.Click(y);
            } else if (kind == 4) {
                b.Click(x);
                const std::vector<int> remove = layout.removerTargets;
                for (int t : remove) layout.RemoveTile(t, 0, true, true);
                layout.FinishRemoverBonus();
            }
        }
        // Every action above is exactly one move, and leaves nothing pending.
        EXPECT_EQ(layout.history.size(), historyBefore + static_cast<size_t>(moves) + 1);
        EXPECT_FALSE(layout.IsOperationPending());
        EXPECT_EQ(layout.toolMode, 0);
        if (::testing::Test::HasFailure()) break;
    }
    return moves;
}

TEST(LayoutUndo, RandomMovesUndoneGiveBackTheDealtBoard) {
    int totalMoves = 0;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Board b(UndoBoard());
        plat::CrtSrand(seed);
        b.layout->Deal(true);
        const BoardState dealt = Snapshot(*b.layout);
        std::mt19937 rng(seed);
        const int moves = PlayRandomMoves(b, rng, 40);
        ASSERT_FALSE(::testing::Test::HasFailure());
        totalMoves += moves;
        ASSERT_GT(moves, 0);
        for (int k = 0; k < moves; ++k) ASSERT_TRUE(b.layout->Undo()) << "undo " << k;
        ExpectSameBoard(Snapshot(*b.layout), dealt);

        // Nothing more to undo: nothing changes, the last undone records stay
        // for nobody to charge again.
        const Velm::LayoutMoveList lastUndone = b.layout->currentMove;
        const size_t eventCount = b.events.events.size();
        EXPECT_FALSE(b.layout->Undo());
        ExpectSameBoard(Snapshot(*b.layout), dealt);
        EXPECT_EQ(b.layout->currentMove.size(), lastUndone.size());
        EXPECT_EQ(b.events.events.size(), eventCount);
    }
    EXPECT_GT(totalMoves, 12 * 10);
}

TEST(LayoutUndo, PartialUndoMatchesTheBoardAtThatMove) {
    Board b(UndoBoard());
    plat::CrtSrand(77);
    b.layout->Deal(true);
    std::mt19937 rng(77);
    std::vector<BoardState> before;
    for (int k = 0; k < 12; ++k) {
        before.push_back(Snapshot(*b.layout));
        if (PlayRandomMoves(b, rng, 1) == 0) {
            before.pop_back();
            break;
        }
        ASSERT_EQ(b.layout->history.size(), before.size());
    }
    ASSERT_FALSE(before.empty());
    while (!before.empty()) {
        ASSERT_TRUE(b.layout->Undo());
        ExpectSameBoard(Snapshot(*b.layout), before.back());
        before.pop_back();
    }
}

TEST(LayoutUndo, EmptyHistoryChangesNothing) {
    Board b({{0, 0, 0}, {0, 0, 4}});
    b.layout->SetTileFace(0, 3);
    b.layout->SetTileFace(1, 3);
    b.layout->FindAvailablePairs();
    const BoardState start = Snapshot(*b.layout);
    EXPECT_FALSE(b.layout->Undo());
    ExpectSameBoard(Snapshot(*b.layout), start);
    EXPECT_TRUE(b.layout->currentMove.empty());

    // One pair, one undo, then more presses: only the first one undoes.
    b.Click(0);
    b.Click(1);
    EXPECT_FALSE(b.layout->Cell(0).active);
    EXPECT_TRUE(b.layout->Undo());
    ASSERT_EQ(b.layout->currentMove.size(), 2u);
    EXPECT_EQ(b.layout->currentMove[0].tile, 0);
    EXPECT_EQ(b.layout->currentMove[1].tile, 1);
    ExpectSameBoard(Snapshot(*b.layout), start);
    for (int press = 0; press < 3; ++press) EXPECT_FALSE(b.layout->Undo());
    ExpectSameBoard(Snapshot(*b.layout), start);
    // Undo leaves the selection, the tool and the combo as they are.
    EXPECT_EQ(b.layout->comboCount, 1);
}

TEST(LayoutUndo, MovedTilesGoBackToTheirCells) {
    Board b({{0, 0, 0}, {0, 0, 4}});
    Layout_t& layout = *b.layout;
    layout.SetTileFace(0, 3);
    // A tile flown from column 0 to column 10, recorded as the swap mode does.
    Velm::LayoutFlight_t flight;
    flight.tile = 0;
    flight.oldColumn = 0.0f;
    flight.newColumn = 10.0f;
    layout.currentMove.clear();
    layout.RecordMove(flight);
    ASSERT_EQ(layout.currentMove.size(), 1u);
    EXPECT_EQ(layout.currentMove[0].action, Velm::LayoutMove_t::kMoved);
    EXPECT_FLOAT_EQ(layout.currentMove[0].newColumn, 10.0f);
    layout.RemoveTile(0, 0, false, false);
    for (int k = 0; k < 4; ++k) layout.tiles[0].cells[k].column = 10 + (k & 1);
    layout.Cell(0).SetActive(true);
    layout.RebuildGrid();
    layout.history.push_back(layout.currentMove);
    EXPECT_TRUE(layout.IsOccupied(0, 0, 10));

    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(layout.Cell(0).column, 0);
    EXPECT_EQ(layout.tiles[0].cells[3].column, 1);
    EXPECT_EQ(layout.tiles[0].cells[3].row, 1);
    EXPECT_FALSE(layout.IsOccupied(0, 0, 10));
    EXPECT_TRUE(layout.IsOccupied(0, 1, 1));
    EXPECT_FLOAT_EQ(layout.Cell(0).x, 14.0f + 29.0f);
    EXPECT_FLOAT_EQ(SpriteOf(layout, 0)->cx, 14.0f + 29.0f);
}

TEST(LayoutUndo, LoadEndsWhatTheLastBoardLeftRunning) {
    const std::vector<TileLine> tiles = {{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 4, 0, 1}};
    Board b(tiles);
    Layout_t& layout = *b.layout;
    layout.SetTileFace(0, 3);
    layout.SetTileFace(1, 3);
    layout.SetTileFace(2, 5);
    // A swap is pending: its two tiles are hidden until the animation ends.
    b.Click(3);
    b.Click(0);
    b.Click(2);
    ASSERT_EQ(layout.pendingOperation, Layout_t::kPendingSwap);
    EXPECT_TRUE(SpriteOf(layout, 0)->hidden);
    EXPECT_TRUE(SpriteOf(layout, 2)->hidden);
    layout.Cell(1).effect = b.visuals.MakeComboHint(0, 0, 1);
    layout.StartShuffle();  // refused while pending
    EXPECT_EQ(layout.shuffleMode, Layout_t::kShuffleNone);

    // The play screen drops its animations and loads the next level: no old
    // callback runs, nobody is notified, and the new board plays.
    b.events.events.clear();
    ASSERT_TRUE(layout.LoadFromText(LayoutText(tiles), "next"));
    EXPECT_TRUE(b.events.events.empty());
    EXPECT_EQ(layout.pendingOperation, Layout_t::kNothingPending);
    EXPECT_EQ(layout.toolMode, 0);
    EXPECT_TRUE(layout.currentMove.empty());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(SpriteOf(layout, i)->hidden) << i;
    EXPECT_EQ(layout.Cell(1).effect, nullptr);
    layout.ApplySwap();  // a late end of the old animation changes nothing
    EXPECT_TRUE(layout.history.empty());
    EXPECT_TRUE(b.events.events.empty());

    layout.SetTileFace(0, 3);
    layout.SetTileFace(1, 3);
    b.Click(0);
    b.Click(1);
    EXPECT_FALSE(layout.Cell(1).active);
    EXPECT_EQ(layout.history.size(), 1u);
}

TEST(LayoutUndo, LoadStopsARunningShuffle) {
    Board b({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 0, 12}});
    Layout_t& layout = *b.layout;
    layout.Deal(true);
    layout.StartShuffle();
    layout.Update();
    ASSERT_EQ(layout.shuffleMode, Layout_t::kShuffleDeal);
    ASSERT_TRUE(layout.LoadFromText(LayoutText({{0, 0, 0}, {0, 0, 4}}), "next"));
    EXPECT_EQ(layout.shuffleMode, Layout_t::kShuffleNone);
    EXPECT_TRUE(layout.shuffleAnims.empty());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(layout.Cell(i).shuffleAnim, nullptr);
    b.events.events.clear();
    const int faces[] = {layout.Cell(0).face, layout.Cell(1).face};
    for (int tick = 0; tick < 20; ++tick) layout.Update();
    EXPECT_TRUE(b.events.events.empty());  // no deal, no shuffle end on the new board
    EXPECT_EQ(layout.Cell(0).face, faces[0]);
    EXPECT_EQ(layout.Cell(1).face, faces[1]);
}

}  // namespace
