// The two layer modes: one layer at a time from the top, the odd-pair mode
// (two single tiles clear the layer) and the one-pair mode (one matching pair
// clears the layer).

#include "game/board/LayoutDifferentPair.h"
#include "game/board/LayoutOneColl.h"
#include "platform/CrtRand.h"
#include "tests/game/board/ModeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>

namespace {

using boardtest::At;
using boardtest::ModeBoard;
using boardtest::TileLine;
using Velm::LayoutDifferentPair_t;
using Velm::LayoutOneColl_t;

// Six tiles in a row on layer 0 and two tiles on layer 1 above its left end.
std::vector<TileLine> TwoLayers() {
    std::vector<TileLine> tiles;
    for (int x = 0; x < 6; ++x) tiles.push_back(At(x, 0));
    tiles.push_back(At(0, 2, 1));
    tiles.push_back(At(1, 2, 1));
    return tiles;
}

TEST(OddPairMode, SingleTilesClearTheLayerInEitherOrder) {
    // Faces A, B, C, C, D, D on layer 0 (the tiles of layer 1 are gone).
    for (const char* script : {"pair 0 1", "pair 1 0"}) {
        SCOPED_TRACE(script);
        ModeBoard<LayoutDifferentPair_t> board;
        board.Load({At(0, 0), At(1, 0), At(2, 0), At(3, 0), At(4, 0), At(5, 0)}, {1, 2, 3, 3, 4, 4});
        LayoutDifferentPair_t& layout = *board.layout;
        ASSERT_EQ(layout.currentLayer, 0);
        layout.FindAvailablePairs();
        EXPECT_EQ(board.Pairs(), "0-1");
        EXPECT_FALSE(layout.CanRemovePair(2, 3));  // twins are no pair here
        EXPECT_FALSE(layout.CanRemovePair(0, 2));
        board.Run(script);
        for (int t = 0; t < 6; ++t) EXPECT_FALSE(layout.Cell(t).active) << t;
        EXPECT_EQ(layout.currentLayer, -1);
        EXPECT_TRUE(layout.IsCleared());
        ASSERT_EQ(layout.history.size(), 1u);
        EXPECT_EQ(layout.history.back().size(), 6u);
        const std::string events = board.Events();
        EXPECT_NE(events.find("changed layerRemoved(5 4 3 2)"), std::string::npos) << events;
    }
}

TEST(OnePairMode, OnlyTheMatchingPairOfTheLayer) {
    ModeBoard<LayoutOneColl_t> board;
    board.Load({At(0, 0), At(1, 0), At(2, 0), At(3, 0), At(4, 0)}, {1, 1, 3, 4, 5});
    EXPECT_EQ(board.Pairs(), "0-1");
    EXPECT_TRUE(board.layout->CanRemovePair(0, 1));
    EXPECT_FALSE(board.layout->CanRemovePair(2, 3));
    board.Run("pair 2 3");
    EXPECT_TRUE(board.layout->Cell(2).active);
    board.Run("pair 0 1");
    EXPECT_TRUE(board.layout->IsCleared());
    for (int t = 0; t < 5; ++t) EXPECT_FALSE(board.layout->Cell(t).active);
}

TEST(LayerModes, MatchRuleIsFaceEqualityWithSpecialFacesAllMatching) {
    struct Case {
        int a;
        int b;
        bool match;
    };
    const Case cases[] = {{3, 3, true},   {3, 4, false},  {28, 29, false} /* no families */,
                          {44, 44, true}, {44, 47, true}, {43, 44, false},
                          {0, 0, false}};
    ModeBoard<LayoutDifferentPair_t> board;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " " + std::to_string(c.b));
        EXPECT_EQ(board.layout->TilesMatch(c.a, c.b, true), c.match);
    }
}

TEST(LayerModes, OnlyTheCurrentLayerIsHoveredAndPlayed) {
    ModeBoard<LayoutDifferentPair_t> board;
    board.Load(TwoLayers(), {1, 2, 3, 3, 4, 4, 5, 6});
    LayoutDifferentPair_t& layout = *board.layout;
    EXPECT_EQ(layout.currentLayer, 1);
    EXPECT_EQ(layout.topLayer, 1);
    EXPECT_EQ(board.Pairs(), "6-7");
    // A tile of layer 0 outside the upper tiles: hit, not hovered, no notification.
    board.Run("hover 5");
    EXPECT_EQ(layout.hitTile, 5);
    EXPECT_EQ(layout.hovered, -1);
    EXPECT_EQ(board.Events(), "");
    EXPECT_TRUE(layout.IsTileBlocked(&layout.Cell(5), 5));
    EXPECT_FALSE(layout.IsTileBlocked(&layout.Cell(6), 6));
    board.Run("hover 6");
    EXPECT_EQ(board.Events(), "hover(6)");
    board.Run("hover 6");
    EXPECT_EQ(board.Events(), "hover(6) hover(-)");
}

TEST(LayerModes, UndoBringsTheLayerBackAndStopsAtTheTop) {
    ModeBoard<LayoutDifferentPair_t> board;
    board.Load(TwoLayers(), {1, 2, 3, 3, 4, 4, 5, 6});
    LayoutDifferentPair_t& layout = *board.layout;
    EXPECT_FALSE(layout.Undo());  // nothing played at the top layer
    EXPECT_EQ(layout.currentLayer, 1);
    board.Run("pair 6 7");
    EXPECT_EQ(layout.currentLayer, 0);
    EXPECT_EQ(board.Pairs(), "0-1");
    EXPECT_TRUE(layout.Undo());
    EXPECT_EQ(layout.currentLayer, 1);
    EXPECT_TRUE(layout.Cell(6).active);
    EXPECT_TRUE(layout.Cell(7).active);
    EXPECT_EQ(board.Pairs(), "6-7");
    EXPECT_FALSE(layout.Undo());
    EXPECT_EQ(layout.currentLayer, 1);
}

TEST(LayerModes, UndoOfAMoveThatClearedNoLayerKeepsTheLayer) {
    // Layer 1: the pair 6, 7. Layer 0: a hint tile (kind 5) among its tiles.
    std::vector<TileLine> tiles = TwoLayers();
    tiles[5].kind = 5;
    ModeBoard<LayoutDifferentPair_t> board;
    board.Load(tiles, {1, 2, 3, 3, 0, 0, 5, 6});
    LayoutDifferentPair_t& layout = *board.layout;
    layout.SetTileFace(4, 9);
    board.Run("pair 6 7");
    ASSERT_EQ(layout.currentLayer, 0);
    board.Run("hover 5; click");
    ASSERT_FALSE(layout.Cell(5).active);
    ASSERT_EQ(layout.history.size(), 2u);
    // Undoing the hint tile brings it back on layer 0 and layer 0 stays in play;
    // layer 1 was cleared and stays cleared.
    EXPECT_TRUE(layout.Undo());
    EXPECT_TRUE(layout.Cell(5).active);
    EXPECT_EQ(layout.currentLayer, 0);
    EXPECT_FALSE(layout.Cell(6).active);
    EXPECT_EQ(board.Pairs(), "0-1 0-4 1-4");
    // The next undo brings layer 1 back.
    EXPECT_TRUE(layout.Undo());
    EXPECT_EQ(layout.currentLayer, 1);
}

TEST(LayerModes, UndoWaitsForAToolOrPendingMove) {
    ModeBoard<LayoutDifferentPair_t> board;
    board.Load(TwoLayers(), {1, 2, 3, 3, 4, 4, 5, 6});
    board.Run("pair 6 7");
    board.layout->toolMode = Velm::Layout_t::kToolSwap;
    EXPECT_FALSE(board.layout->Undo());
    EXPECT_EQ(board.layout->currentLayer, 0);
    board.layout->toolMode = Velm::Layout_t::kNoTool;
    board.layout->pendingOperation = Velm::Layout_t::kPendingRemover;
    EXPECT_FALSE(board.layout->Undo());
    EXPECT_EQ(board.layout->currentLayer, 0);
}

TEST(LayerModes, EmptyBoardIsClearedAndAGapLeavesNoPair) {
    ModeBoard<LayoutOneColl_t> empty;
    empty.Load({});
    empty.layout->Deal(true);
    EXPECT_TRUE(empty.layout->IsCleared());

    // Layers 2 and 0 hold tiles, layer 1 none.
    ModeBoard<LayoutOneColl_t> board;
    board.Load({At(0, 0), At(1, 0), At(0, 0, 2), At(1, 0, 2)}, {1, 1, 2, 2});
    board.Run("pair 2 3");
    EXPECT_EQ(board.layout->currentLayer, 1);
    EXPECT_EQ(board.Pairs(), "");
    EXPECT_FALSE(board.layout->IsCleared());
}

TEST(LayerModes, DealRefusesALayerOfMoreThan42Tiles) {
    std::vector<TileLine> tiles;
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 4; ++x) tiles.push_back(At(x, y));  // 44 tiles on layer 0
    }
    ModeBoard<LayoutOneColl_t> board;
    board.Load(tiles);
    plat::CrtSrand(3);
    board.layout->Deal(true);
    EXPECT_NE(board.layout->GetDealError().find("44 tiles"), std::string::npos) << board.layout->GetDealError();
    for (int t = 0; t < board.layout->itemCount; ++t) EXPECT_EQ(board.layout->Cell(t).face, 0);

    tiles.pop_back();
    tiles.pop_back();  // 42 tiles: dealt
    board.Load(tiles);
    board.layout->Deal(true);
    EXPECT_EQ(board.layout->GetDealError(), "");
    // Exactly one pair, of two tiles of one face.
    const std::string pairs = board.Pairs();
    EXPECT_EQ(std::count(pairs.begin(), pairs.end(), '-'), 1) << pairs;
    ASSERT_FALSE(board.layout->availablePairs.empty());
    const std::pair<int, int> pair = board.layout->availablePairs.front();
    EXPECT_EQ(board.layout->Cell(pair.first).face, board.layout->Cell(pair.second).face);
}

// Layers of 2 .. 10 and 12 tiles (a stack of rows, one row per layer, 12 at the
// bottom, 2 at the top), odd sizes included.
std::vector<TileLine> LayerStack() {
    std::vector<TileLine> tiles;
    for (int layer = 0; layer < 10; ++layer) {
        const int count = layer == 0 ? 12 : 11 - layer;
        for (int x = 0; x < count; ++x) tiles.push_back(At(x, 0, layer));
    }
    return tiles;
}

// Faces of the tiles of one layer, by count of equal faces.
std::map<int, int> FaceCounts(Velm::Layout_t& layout, int layer) {
    std::map<int, int> counts;
    for (int t = 0; t < layout.itemCount; ++t) {
        if (layout.Cell(t).active && layout.Cell(t).layer == layer) ++counts[layout.Cell(t).face];
    }
    return counts;
}

TEST(LayerModes, DealInvariantsOverManySeeds) {
    ModeBoard<LayoutDifferentPair_t> odd;
    ModeBoard<LayoutOneColl_t> one;
    odd.Load(LayerStack());
    one.Load(LayerStack());
    for (unsigned seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        plat::CrtSrand(seed);
        odd.layout->Deal(true);
        one.layout->Deal(true);
        ASSERT_EQ(odd.layout->GetDealError(), "");
        ASSERT_EQ(one.layout->currentLayer, 9);
        for (int layer = 0; layer < 10; ++layer) {
            const int size = layer == 0 ? 12 : 11 - layer;
            // Odd-pair: exactly two single faces (three on a layer of three),
            // every face dealt, no face outside the standard set.
            int singles = 0;
            for (auto [face, count] : FaceCounts(*odd.layout, layer)) {
                ASSERT_GE(face, 1);
                ASSERT_LE(face, 42);
                singles += count == 1 ? 1 : 0;
            }
            ASSERT_EQ(singles, size == 3 ? 3 : 2) << "layer " << layer;
            // One-pair: exactly one face twice, all others once.
            int twice = 0;
            for (auto [face, count] : FaceCounts(*one.layout, layer)) {
                ASSERT_GE(face, 1);
                ASSERT_LE(count, 2);
                twice += count == 2 ? 1 : 0;
            }
            ASSERT_EQ(twice, 1) << "layer " << layer;
        }
        // Both play through, one pair per layer, from the top down.
        for (Velm::LayoutDifferentPair_t* layout : {static_cast<Velm::LayoutDifferentPair_t*>(odd.layout.get()),
                                                    static_cast<Velm::LayoutDifferentPair_t*>(one.layout.get())}) {
            for (int layer = 9; layer >= 0; --layer) {
                ASSERT_EQ(layout->currentLayer, layer);
                ASSERT_FALSE(layout->availablePairs.empty());
                layout->selected = layout->availablePairs.front().first;
                layout->hovered = layout->availablePairs.front().second;
                ASSERT_TRUE(layout->CanRemovePair(layout->hovered, layout->selected));
                layout->RemoveSelectedPair();
            }
            ASSERT_TRUE(layout->IsCleared());
            ASSERT_EQ(layout->CountActiveTiles(), 0);
            // Undo all the way back restores the whole board and the top layer.
            while (layout->Undo()) {
            }
            ASSERT_EQ(layout->currentLayer, 9);
            ASSERT_EQ(layout->CountActiveTiles(), layout->itemCount);
        }
    }
}

}  // namespace
