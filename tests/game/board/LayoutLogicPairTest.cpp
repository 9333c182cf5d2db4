// The logical-pairs mode: faces matched with their logical partner through the
// last tile set of the catalogue.

#include "game/board/LayoutLogicPair.h"
#include "platform/CrtRand.h"
#include "tests/game/board/ModeTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using boardtest::At;
using boardtest::FakeTileSet;
using boardtest::ModeBoard;
using boardtest::TileLine;
using Velm::LayoutLogicPair_t;

// The logic tile set: `ordinary` groups of type 0 (faces 1 .. ordinary), then
// the special faces: collection (type 6) twice, swap 1, change 2, remover 4,
// hint 5, fixed 3.
FakeTileSet LogicTileSet(int ordinary) {
    FakeTileSet set;
    set.groups.resize(static_cast<size_t>(ordinary));
    for (int type : {6, 6, 1, 2, 4, 5, 3}) {
        set.groups.emplace_back();
        set.groups.back().type = type;
    }
    return set;
}

struct LogicBoard : ModeBoard<LayoutLogicPair_t> {
    explicit LogicBoard(int ordinary = 20) {
        sets.sets.push_back(LogicTileSet(ordinary));  // the last set; the current one stays the standard set
        layout->SetTileSets(&sets);
    }
};

TEST(LogicPairs, PartnersMatchAndCopiesDoNot) {
    LogicBoard board;
    struct Case {
        int a;
        int b;
        bool match;
    };
    // Faces 21 and 22 are the collection faces of the logic set, 23 the swap tool.
    const Case cases[] = {{3, 4, true},   {4, 3, true},   {4, 5, false},   {3, 3, false},
                          {1, 2, true},   {19, 20, true}, {20, 21, false}, {21, 22, true},
                          {21, 21, true}, {21, 3, false}, {23, 23, false}, {0, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " " + std::to_string(c.b));
        EXPECT_EQ(board.layout->TilesMatch(c.a, c.b, true), c.match);
    }
    // Through tiles, and in the pair list.
    board.Load({At(0, 0), At(3, 0), At(6, 0), At(9, 0)}, {3, 4, 4, 5});
    EXPECT_EQ(board.Pairs(), "0-1 0-2");
}

TEST(LogicPairs, UsesTheLastTileSetAndItsFaceList) {
    LogicBoard board;
    EXPECT_EQ(board.layout->CurrentTileSet(), &board.sets.sets.back());
    std::vector<int> list = {99};
    board.layout->FillLogicFaceList(list);
    EXPECT_EQ(list, (std::vector<int>{1, 3, 5, 7, 9, 11, 13, 15, 17, 19}));
    LogicBoard odd(7);
    odd.layout->FillLogicFaceList(list);
    EXPECT_EQ(list, (std::vector<int>{1, 3, 5}));
}

TEST(LogicPairs, ChangeAndRemoverToolsBecomeOrdinaryInPairs) {
    struct Case {
        const char* name;
        std::vector<int> kinds;
        std::vector<int> expected;
    };
    const Case cases[] = {
            {"change and swap", {0, 2, 1, 0}, {0, 0, 0, 0}},
            {"change alone", {0, 2, 0, 0}, {0, 0, 0, 0}},
            {"change, hint and collection", {6, 2, 5, 1}, {6, 0, 0, 1}},
            {"change and remover", {2, 4, 1, 3}, {0, 0, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogicBoard board;
        std::vector<TileLine> tiles;
        for (size_t i = 0; i < c.kinds.size(); ++i) tiles.push_back(At(3 * static_cast<int>(i), 0, 0, c.kinds[i]));
        board.Load(tiles);
        for (size_t i = 0; i < c.kinds.size(); ++i) {
            for (const Velm::LayoutCell_t& cell : board.layout->tiles[i].cells)
                EXPECT_EQ(cell.kind, c.expected[i]) << i;
        }
    }
}

TEST(LogicPairs, EveryDealtPairIsAnOddFaceAndItsSuccessor) {
    LogicBoard board;
    board.Load(boardtest::ClassicLayoutTiles());
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        plat::CrtSrand(seed);
        board.layout->Deal(true);
        ASSERT_EQ(board.layout->GetDealError(), "");
        std::map<int, int> counts;
        for (int t = 0; t < board.layout->itemCount; ++t) ++counts[board.layout->Cell(t).face];
        for (auto [face, count] : counts) {
            ASSERT_GE(face, 1);
            ASSERT_LE(face, 20);
            // Each face comes with as many partners as copies.
            const int partner = face % 2 == 1 ? face + 1 : face - 1;
            ASSERT_EQ(counts[partner], count) << "face " << face;
        }
        // The deal retries until a pair is available; every available pair is a
        // logical pair.
        ASSERT_FALSE(board.layout->availablePairs.empty());
        for (auto [a, b] : board.layout->availablePairs) {
            const int fa = board.layout->Cell(a).face;
            const int fb = board.layout->Cell(b).face;
            ASSERT_EQ(std::min(fa, fb) % 2, 1);
            ASSERT_EQ(std::max(fa, fb), std::min(fa, fb) + 1);
        }
        // Restore for the next seed.
        board.Load(boardtest::ClassicLayoutTiles());
    }
}

TEST(LogicPairs, DealIsRefusedWithoutTwoOrdinaryFaces) {
    LogicBoard board(1);
    board.Load({At(0, 0), At(3, 0)});
    board.layout->Deal(true);
    EXPECT_NE(board.layout->GetDealError(), "");
    EXPECT_EQ(board.layout->Cell(0).face, 0);
}

}  // namespace
