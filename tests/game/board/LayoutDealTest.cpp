#include "game/board/Layout.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardSolver.h"
#include "tests/game/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

std::unique_ptr<TestLayout> LoadText(const std::string& text, const Velm::BoardTileSets* sets = nullptr) {
    auto layout = std::make_unique<TestLayout>();
    layout->SetTileSets(sets);
    layout->Init();
    EXPECT_TRUE(layout->LoadFromText(text, "deal")) << layout->GetLoadError();
    return layout;
}

std::vector<int> Faces(const Layout_t& layout) {
    std::vector<int> faces;
    for (int i = 0; i < layout.itemCount; ++i) faces.push_back(layout.Cell(i).face);
    return faces;
}

// The documented shuffle of the deal face list, for checking which entry a deal used.
std::vector<int> ShuffledDealFaces(unsigned seed) {
    plat::CrtSrand(seed);
    std::vector<int> list(Layout_t::DealFaces().begin(), Layout_t::DealFaces().end());
    for (size_t k = 1; k < list.size(); ++k) std::swap(list[k], list[static_cast<size_t>(plat::CrtRand()) % (k + 1)]);
    return list;
}

// Two layers whose peeling passes all hold an even number of tiles, so every
// deal of it leaves no tile over.
std::string EvenPassLayout() {
    std::vector<TileLine> tiles;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 6; ++c) tiles.push_back({0, 2 * r, 2 * c});
    }
    for (int r = 1; r < 3; ++r) {
        for (int c = 1; c < 5; ++c) tiles.push_back({1, 2 * r, 2 * c});
    }
    return LayoutText(tiles);
}

TEST(LayoutDeal, DealFaceTable) {
    const auto& faces = Layout_t::DealFaces();
    struct Entry {
        int position;
        int face;
    };
    const Entry entries[] = {{0, 1},    {3, 1},    {4, 2},    {107, 27}, {108, 28}, {111, 31},
                             {112, 32}, {127, 35}, {128, 36}, {131, 39}, {132, 40}, {143, 42}};
    for (const Entry& e : entries) EXPECT_EQ(faces[static_cast<size_t>(e.position)], e.face) << e.position;
    std::vector<int> list = {9};
    auto layout = std::make_unique<Layout_t>();
    layout->FillFaceList(list);
    EXPECT_EQ(list.size(), 144u);
}

TEST(LayoutDeal, TwoFreeTilesGetOneFaceAndMakeAPair) {
    auto layout = LoadText(LayoutText({{0, 0, 0}, {0, 0, 4}}));
    plat::CrtSrand(5);
    layout->Deal(true);
    EXPECT_GT(layout->Cell(0).face, 0);
    EXPECT_EQ(layout->Cell(0).face, layout->Cell(1).face);
    EXPECT_EQ(layout->tiles[1].cells[3].face, layout->Cell(1).face);
    ASSERT_EQ(layout->availablePairs.size(), 1u);
    EXPECT_EQ(layout->playableTileCount, 2);
}

TEST(LayoutDeal, OddPassLeavesATileOverWithTheNextFace) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        auto layout = LoadText(LayoutText({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}}));
        const std::vector<int> list = ShuffledDealFaces(seed);
        plat::CrtSrand(seed);
        layout->Deal(false);
        std::map<int, int> count;
        for (int f : Faces(*layout)) ++count[f];
        // The pass's pair took entry 0, the left-over entry 1.
        EXPECT_EQ(count[list[0]] + (list[0] == list[1] ? 0 : count[list[1]]), 3);
        EXPECT_GE(count[list[0]], 2);
    }
}

TEST(LayoutDeal, RetriesOnlyWhenAsked) {
    // A stack of two: each pass frees one tile, both are left over and paired with
    // one face, and the lower one is covered, so no pair is ever available. Every
    // attempt uses the next entry of the face list.
    const std::string text = LayoutText({{0, 0, 4}, {1, 0, 4}});
    unsigned seed = 1;
    std::vector<int> list = ShuffledDealFaces(seed);
    while (list[0] == list[10]) list = ShuffledDealFaces(++seed);

    auto once = LoadText(text);
    plat::CrtSrand(seed);
    once->Deal(false);
    EXPECT_EQ(once->Cell(0).face, list[0]);
    EXPECT_EQ(once->Cell(1).face, list[0]);
    EXPECT_TRUE(once->availablePairs.empty());

    auto retried = LoadText(text);
    plat::CrtSrand(seed);
    retried->Deal(true);
    EXPECT_EQ(retried->Cell(0).face, list[10]);  // eleven attempts
    EXPECT_TRUE(retried->availablePairs.empty());
}

TEST(LayoutDeal, ResetsTheComboState) {
    auto layout = LoadText(LayoutText({{0, 0, 0}, {0, 0, 4}}));
    layout->comboCount = 3;
    layout->comboBonusActive = true;
    layout->tickCount = 40;
    layout->Deal(true);
    EXPECT_EQ(layout->comboCount, 0);
    EXPECT_FALSE(layout->comboBonusActive);
    EXPECT_EQ(layout->lastRemovalTick, 40);
}

TEST(LayoutDeal, SpecialTilesArePeeledButNotDealt) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    // A swap tool at column 0, then three ordinary tiles in the row.
    auto layout = LoadText(LayoutText({{0, 0, 0, 1}, {0, 0, 2}, {0, 0, 4}, {0, 0, 6}}), &sets);
    const int toolFace = layout->Cell(0).face;
    EXPECT_EQ(toolFace, 44);
    for (unsigned seed = 1; seed <= 10; ++seed) {
        plat::CrtSrand(seed);
        layout->Deal(true);
        EXPECT_EQ(layout->Cell(0).face, toolFace);
        EXPECT_EQ(layout->Cell(0).kind, 1);
        EXPECT_EQ(layout->Cell(0).group, sets.sets[0].GetGroup(43));
        for (int i = 1; i < 4; ++i) {
            EXPECT_GE(layout->Cell(i).face, 1);
            EXPECT_LE(layout->Cell(i).face, 42);
        }
    }
}

TEST(LayoutDeal, SameSeedSameDeal) {
    auto a = LoadText(ClassicLayoutText());
    auto b = LoadText(ClassicLayoutText());
    plat::CrtSrand(1234);
    a->Deal(true);
    plat::CrtSrand(1234);
    b->Deal(true);
    EXPECT_EQ(Faces(*a), Faces(*b));
    EXPECT_EQ(a->availablePairs, b->availablePairs);
    plat::CrtSrand(1235);
    b->Deal(true);
    EXPECT_NE(Faces(*a), Faces(*b));
}

TEST(LayoutDeal, InvariantsOverManySeeds) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    auto layout = LoadText(ClassicLayoutText(), &sets);
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        plat::CrtSrand(seed);
        layout->Deal(true);
        std::map<int, int> count;
        for (int i = 0; i < layout->itemCount; ++i) {
            const Velm::LayoutCell_t& cell = layout->Cell(i);
            ASSERT_GE(cell.face, 1);
            ASSERT_LE(cell.face, 42);
            ASSERT_EQ(cell.group, sets.sets[0].GetGroup(cell.face - 1));
            ++count[cell.face];
        }
        for (const auto& entry : count) EXPECT_EQ(entry.second % 2, 0) << "face " << entry.first;
        EXPECT_FALSE(layout->availablePairs.empty());
        EXPECT_EQ(layout->playableTileCount, 144);
        for (const auto& p : layout->availablePairs) EXPECT_TRUE(layout->CanRemovePair(p.first, p.second));
    }
}

TEST(LayoutDeal, DealWithoutLeftOversClearsByPlayingItsPasses) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    const std::string text = EvenPassLayout();
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        auto layout = LoadText(text, &sets);
        plat::CrtSrand(seed);
        layout->Deal(true);
        EXPECT_EQ(PlayPassesInOrder(*layout), PassResult::Cleared);
    }
}

// A tile lying on another beside two free tiles: the first pass peels three tiles, one of
// them left over, and the second the tile below. When the top tile is the one left over, it
// and the tile below would make a pair that cannot be taken: the deal is made again.
TEST(LayoutDeal, ALeftOverPairNeverLiesOneTileOnTheOther) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    auto layout = LoadText(LayoutText({{0, 0, 0}, {1, 0, 0}, {0, 0, 4}, {0, 0, 8}}), &sets);
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        plat::CrtSrand(seed);
        layout->Deal(true);
        ASSERT_EQ(layout->GetDealtPairs().size(), 2u);
        for (const std::pair<int, int>& pair : layout->GetDealtPairs()) {
            EXPECT_FALSE(std::min(pair.first, pair.second) == 0 && std::max(pair.first, pair.second) == 1);
        }
        EXPECT_TRUE(PlayDealtPairs(*layout));
    }
}

// The layouts the shipped stage files play in the usual game (game type 0).
std::vector<std::string> ShippedUsualBoards() {
    const std::string content = VELM_CONTENT_DIR;
    std::vector<std::string> boards;
    for (const char* stageFile : {"stage1.txt", "stage2.txt", "simple1.txt", "simple2.txt"}) {
        std::ifstream in(content + "/stages/" + stageFile);
        EXPECT_TRUE(in.good()) << stageFile;
        std::string line;
        std::string layout;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("[", 0) == 0) layout.clear();
            if (line.rfind("Layout=", 0) == 0) layout = line.substr(7);
            if (line == "Type=0" && !layout.empty() && std::find(boards.begin(), boards.end(), layout) == boards.end())
                boards.push_back(layout);
        }
    }
    return boards;
}

// Every deal of every shipped usual-game board can be finished without a shuffle: each of
// 1,000 seeded deals of each is cleared by playing its own pairs as they come free.
TEST(LayoutDeal, EverySeededDealOfTheShippedUsualBoardsCanBeFinished) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    const std::vector<std::string> boards = ShippedUsualBoards();
    ASSERT_NE(std::find(boards.begin(), boards.end(), "classic.lay"), boards.end());
    for (const std::string& board : boards) {
        SCOPED_TRACE(board);
        std::ifstream in(std::string(VELM_CONTENT_DIR) + "/layouts/" + board, std::ios::binary);
        ASSERT_TRUE(in.good());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto layout = LoadText(text, &sets);
        int unfinished = 0;
        for (unsigned seed = 1; seed <= 1000; ++seed) {
            plat::CrtSrand(seed);
            layout->Deal(true);
            ASSERT_EQ(static_cast<int>(layout->GetDealtPairs().size()) * 2, layout->CountActiveTiles());
            if (!PlayDealtPairs(*layout)) {
                ++unfinished;
                ADD_FAILURE() << board << ": the deal of seed " << seed << " cannot be finished";
            }
        }
        EXPECT_EQ(unfinished, 0);
    }
}

TEST(LayoutDeal, CollectFreeOrdinaryTilesAppendsInIndexOrder) {
    auto layout = LoadText(LayoutText({{0, 0, 0}, {0, 0, 2}, {0, 0, 4}, {0, 4, 0, 6}, {1, 0, 2}}));
    std::vector<int> list = {99};
    EXPECT_TRUE(layout->CollectFreeOrdinaryTiles(list));
    EXPECT_EQ(list, (std::vector<int>{99, 0, 2, 4}));
    EXPECT_TRUE(layout->IsUncovered(4));
    EXPECT_TRUE(layout->IsUncovered(0));  // half covered only
}

}  // namespace
