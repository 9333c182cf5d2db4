#include "game/board/Layout.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

std::unique_ptr<Layout_t> LoadTiles(const std::vector<TileLine>& tiles, const Velm::BoardTileSets* sets = nullptr,
                                    int layers = -1, int rows = 24, int columns = 40) {
    auto layout = std::make_unique<Layout_t>();
    layout->SetTileSets(sets);
    layout->Init();
    EXPECT_TRUE(layout->LoadFromText(LayoutText(tiles, layers, rows, columns), "rules")) << layout->GetLoadError();
    return layout;
}

void SetFaces(Layout_t& layout, const std::vector<int>& faces) {
    for (size_t i = 0; i < faces.size(); ++i) layout.SetTileFace(static_cast<int>(i), faces[i]);
}

struct FreeCase {
    const char* why;
    std::vector<TileLine> tiles;
    int layers;  // -1: highest layer + 1
    int tile;
    bool freeFromAbove;
    bool sideFree;
};

TEST(LayoutRules, FreeAndBlockedTiles) {
    // clang-format off
    const FreeCase cases[] = {
            {"single tile", {{0, 4, 4}}, -1, 0, true, true},
            {"column 0 is side-free whatever lies right", {{0, 0, 0}, {0, 0, 2}}, -1, 0, true, true},
            {"middle of a row of three", {{0, 0, 2}, {0, 0, 4}, {0, 0, 6}}, -1, 1, true, false},
            {"left end of a row", {{0, 0, 2}, {0, 0, 4}, {0, 0, 6}}, -1, 0, true, true},
            {"right end of a row", {{0, 0, 2}, {0, 0, 4}, {0, 0, 6}}, -1, 2, true, true},
            {"one lower cell on the left and a tile on the right", {{0, 0, 4}, {0, 1, 2}, {0, 0, 6}}, -1, 0, true, false},
            {"one upper cell on the right, left open", {{0, 2, 4}, {0, 1, 6}}, -1, 0, true, true},
            {"covered from above", {{0, 0, 4}, {1, 0, 4}}, -1, 0, false, true},
            {"half covered from above", {{0, 0, 4}, {1, 1, 5}}, -1, 0, false, true},
            {"the covering tile is free", {{0, 0, 4}, {1, 1, 5}}, -1, 1, true, true},
            {"left open but covered counts only on the right",
             {{0, 0, 4}, {0, 0, 6}, {1, 0, 4}}, -1, 0, false, false},
            {"right open needs nothing above", {{0, 0, 4}, {0, 0, 2}, {1, 0, 4}}, -1, 0, false, true},
            {"top of ten layers, cells above outside the grid", {{9, 0, 4}}, 10, 0, true, true},
            {"declared top layer", {{2, 0, 4}, {0, 0, 0}}, 3, 0, true, true},
            {"anchor column 38, right cells outside the grid", {{0, 0, 36}, {0, 0, 38}}, -1, 1, true, true},
    };
    // clang-format on
    for (const FreeCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto layout = LoadTiles(c.tiles, nullptr, c.layers);
        EXPECT_EQ(layout->IsFreeFromAbove(c.tile), c.freeFromAbove);
        EXPECT_EQ(layout->IsSideFree(c.tile), c.sideFree);
        EXPECT_EQ(layout->IsTileFree(c.tile), c.freeFromAbove && c.sideFree);
        EXPECT_EQ(layout->IsTileBlocked(&layout->Cell(c.tile), c.tile), !(c.freeFromAbove && c.sideFree));
    }
}

TEST(LayoutRules, CollectionTilesAreNeverDrawnBlocked) {
    auto layout = LoadTiles({{0, 0, 2, 6}, {0, 0, 4, 6}, {0, 0, 6, 6}});
    EXPECT_FALSE(layout->IsTileFree(1));
    EXPECT_FALSE(layout->IsTileBlocked(&layout->Cell(1), 1));
}

TEST(LayoutRules, IndicesOutsideTheBoard) {
    auto layout = LoadTiles({{0, 0, 2}, {0, 0, 4}});
    EXPECT_FALSE(layout->IsTileFree(-1));
    EXPECT_TRUE(layout->IsFreeFromAbove(2));  // unused records have nothing above them
    EXPECT_TRUE(layout->IsFreeFromAbove(Layout_t::kMaxTiles - 1));
    EXPECT_FALSE(layout->CanRemovePair(0, 7));
    EXPECT_FALSE(layout->CanRemovePair(-1, 0));
}

struct MatchCase {
    const char* why;
    int faceA;
    int faceB;
    bool match;
};

TEST(LayoutRules, MatchingFaces) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    const MatchCase cases[] = {
            {"equal ordinary faces", 4, 4, true},
            {"different ordinary faces", 4, 5, false},
            {"family 1 (flowers)", 28, 31, true},
            {"family 2 (seasons)", 36, 39, true},
            {"families 1 and 2 differ", 28, 36, false},
            {"family and an ordinary face", 28, 27, false},
            {"special face index 44 with itself", 45, 45, true},
            {"special faces 44 and 45", 45, 46, false},
            {"special face and an ordinary face", 45, 4, false},
            {"ordinary face and a special face", 4, 45, false},
            {"no face yet", 0, 0, false},
            {"no face and a face", 0, 4, false},
            {"negative face", -1, -1, false},
            {"face beyond the tile set", 60, 60, true},
    };
    auto layout = LoadTiles({{0, 0, 0}, {0, 0, 4}}, &sets);
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(layout->FacesMatch(c.faceA, c.faceB), c.match);
        EXPECT_EQ(layout->FacesMatch(c.faceB, c.faceA), c.match);
        for (Velm::LayoutCell_t& cell : layout->tiles[0].cells) cell.face = c.faceA;
        for (Velm::LayoutCell_t& cell : layout->tiles[1].cells) cell.face = c.faceB;
        EXPECT_EQ(layout->TilesMatch(0, 1, false), c.match);
        EXPECT_EQ(layout->CanRemovePair(0, 1), c.match);
    }
}

TEST(LayoutRules, WithoutATileSetOnlyEqualFacesMatch) {
    auto layout = LoadTiles({{0, 0, 0}, {0, 0, 4}});
    EXPECT_TRUE(layout->FacesMatch(28, 28));
    EXPECT_FALSE(layout->FacesMatch(28, 29));
    EXPECT_EQ(layout->CurrentTileSet(), nullptr);
    EXPECT_EQ(layout->FindFaceByType(1), 0);
}

TEST(LayoutRules, CanRemovePairNeedsBothFree) {
    // 0 and 2 match; 2 is held between 1 and 3.
    auto layout = LoadTiles({{0, 0, 0}, {0, 4, 0}, {0, 4, 2}, {0, 4, 4}});
    SetFaces(*layout, {7, 3, 7, 9});
    EXPECT_FALSE(layout->CanRemovePair(0, 2));
    layout->RemoveTile(1, 0, false, true);
    EXPECT_TRUE(layout->CanRemovePair(0, 2));
    EXPECT_EQ(layout->activeTileCount, 3);
}

TEST(LayoutRules, AvailablePairs) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    struct Case {
        const char* why;
        std::vector<TileLine> tiles;
        std::vector<int> faces;
        std::vector<std::pair<int, int>> pairs;  // sorted
        int removed = -1;
    };
    // clang-format off
    const Case cases[] = {
            {"two free matching tiles", {{0, 0, 0}, {0, 0, 4}}, {5, 5}, {{0, 1}}},
            {"three of a face make three pairs", {{0, 0, 0}, {0, 0, 4}, {0, 0, 8}}, {5, 5, 5}, {{0, 1}, {0, 2}, {1, 2}}},
            {"a blocked partner", {{0, 0, 0}, {0, 0, 2}, {0, 0, 4}}, {5, 5, 5}, {{0, 2}}},
            {"a covered partner", {{0, 0, 0}, {0, 0, 4}, {1, 0, 4}}, {5, 5, 6}, {}},
            {"flower family", {{0, 0, 0}, {0, 0, 4}}, {28, 30}, {{0, 1}}},
            {"tool tiles are never available", {{0, 0, 0, 1}, {0, 0, 4, 1}}, {}, {}},
            {"collection pairs only with collection",
             {{0, 0, 0, 6}, {0, 0, 4, 6}, {0, 4, 0}, {0, 4, 2}, {0, 4, 4}}, {0, 0, 3, 8, 9}, {{0, 1}}},
            {"an inactive tile is not available", {{0, 0, 0}, {0, 0, 4}, {0, 0, 8}}, {5, 5, 5}, {{0, 2}}, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto layout = LoadTiles(c.tiles, &sets);
        SetFaces(*layout, c.faces);
        if (c.removed >= 0) layout->RemoveTile(c.removed, 0, false, true);
        layout->hintCursor = 3;
        layout->FindAvailablePairs();
        EXPECT_EQ(layout->hintCursor, -1);
        std::vector<std::pair<int, int>> pairs = layout->availablePairs;
        for (const std::pair<int, int>& p : pairs) EXPECT_LT(p.first, p.second);
        std::sort(pairs.begin(), pairs.end());
        EXPECT_EQ(pairs, c.pairs);
    }
}

TEST(LayoutRules, AvailablePairsAreShuffledBySeed) {
    auto layout = LoadTiles({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 0, 12}, {0, 0, 16}});
    SetFaces(*layout, {5, 5, 5, 5, 5});
    plat::CrtSrand(77);
    layout->FindAvailablePairs();
    const auto first = layout->availablePairs;
    plat::CrtSrand(77);
    layout->FindAvailablePairs();
    EXPECT_EQ(layout->availablePairs, first);
    EXPECT_EQ(first.size(), 10u);
}

struct ClearedCase {
    const char* why;
    std::vector<TileLine> tiles;
    std::vector<int> removed;
    bool cleared;
};

TEST(LayoutRules, ClearedBoard) {
    const ClearedCase cases[] = {
            {"ordinary tiles left", {{0, 0, 0}, {0, 0, 4}}, {0}, false},
            {"all ordinary tiles gone", {{0, 0, 0}, {0, 0, 4}}, {0, 1}, true},
            {"only tool and fixed-face tiles left", {{0, 0, 0}, {0, 0, 4, 1}, {0, 0, 8, 3}, {0, 0, 12, 5}}, {0}, true},
            {"collection tiles left", {{0, 0, 0, 6}, {0, 0, 4, 6}, {0, 0, 8}}, {2}, false},
            {"collection tiles gone, ordinary left", {{0, 0, 0, 6}, {0, 0, 4, 6}, {0, 0, 8}}, {0, 1}, true},
    };
    for (const ClearedCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto layout = LoadTiles(c.tiles);
        for (int t : c.removed) layout->RemoveTile(t, 0, true, true);
        EXPECT_EQ(layout->IsCleared(), c.cleared);
        EXPECT_EQ(layout->currentMove.size(), c.removed.size());
    }
}

TEST(LayoutRules, HiddenUnderAFullBlockAbove) {
    // Tile 0 on layer 0 at (row 2, column 2); above it tiles covering rows 2..4,
    // columns 1..3 of layer 1 hide it.
    std::vector<TileLine> tiles = {{0, 2, 2}, {1, 2, 1}, {1, 4, 1}, {1, 2, 3}, {1, 4, 3}};
    auto layout = LoadTiles(tiles);
    EXPECT_TRUE(layout->IsHidden(0));
    EXPECT_FALSE(layout->Cell(0).visible);
    layout->RemoveTile(4, 0, false, true);
    EXPECT_FALSE(layout->IsHidden(0));
    EXPECT_TRUE(layout->Cell(0).visible);

    auto edge = LoadTiles({{0, 2, 0}, {1, 2, 0}, {1, 4, 0}, {1, 2, 2}, {1, 4, 2}});
    EXPECT_FALSE(edge->IsHidden(0));  // column 0 is never hidden
}

TEST(LayoutRules, DrawOrderRunsAlongDiagonals) {
    auto layout = LoadTiles({{0, 2, 8}, {0, 2, 10}, {0, 0, 10}, {1, 0, 0}});
    ASSERT_EQ(layout->drawLists.size(), 2u);
    const auto& order = layout->drawLists[0];
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0]->tileIndex, 2);
    EXPECT_EQ(order[1]->tileIndex, 1);
    EXPECT_EQ(order[2]->tileIndex, 0);
    EXPECT_EQ(layout->drawLists[1].size(), 1u);
}

TEST(LayoutRules, CountersAndLookups) {
    auto layout = LoadTiles({{0, 0, 0}, {0, 0, 4, 6}, {2, 0, 8, 1}, {1, 4, 4}});
    EXPECT_EQ(layout->CountPlayableTiles(), 3);
    EXPECT_EQ(layout->CountNonCollectionTiles(), 3);
    EXPECT_EQ(layout->HighestActiveLayer(), 2);
    EXPECT_TRUE(layout->HasSpecialTiles());
    layout->RemoveTile(2, 0, false, true);
    EXPECT_FALSE(layout->HasSpecialTiles());
    EXPECT_EQ(layout->HighestActiveLayer(), 1);
    EXPECT_EQ(layout->FindTileAt(2, 0, 8), 2);  // inactive tiles are still found
    EXPECT_EQ(layout->FindActiveTileAt(2, 0, 8), -1);
    layout->ClearTiles();
    EXPECT_EQ(layout->itemCount, 0);
    EXPECT_FALSE(layout->IsOccupied(0, 0, 0));
}

}  // namespace

namespace {

TEST(LayoutRules, CellsBelowTheGridAreEmpty) {
    // A tile on the two bottom rows: the 3 by 3 block above it reaches row 24,
    // outside the grid, so it is never hidden even with every grid cell above full.
    auto layout = LoadTiles({{0, 22, 2}, {1, 22, 1}, {1, 22, 3}});
    EXPECT_FALSE(layout->IsHidden(0));
    EXPECT_TRUE(layout->Cell(0).visible);
    EXPECT_FALSE(layout->IsOccupied(1, 24, 2));
    EXPECT_FALSE(layout->IsOccupied(10, 0, 0));
    EXPECT_FALSE(layout->IsOccupied(-1, 0, 0));
}

TEST(LayoutRules, BlankFacesForThumbnails) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    auto layout = LoadTiles({{0, 0, 0}, {0, 0, 4}}, &sets);
    layout->SetTileFace(0, 12);
    EXPECT_EQ(layout->Cell(0).group, sets.sets[0].GetGroup(11));
    layout->SetTileFace(0, 0);  // no face: nothing changes
    EXPECT_EQ(layout->Cell(0).face, 12);
    layout->ShowBlankFaces();
    EXPECT_EQ(layout->Cell(0).group, sets.sets[0].GetGroup(49));
    EXPECT_EQ(layout->Cell(1).group, sets.sets[0].GetGroup(49));
    EXPECT_EQ(layout->Cell(0).face, 12);
}

}  // namespace
