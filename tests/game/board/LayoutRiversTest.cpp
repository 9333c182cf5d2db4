// The rivers mode: routes of at most three straight segments through empty
// coarse cells and the margin ring, checked case by case and against a plain
// breadth-first search on random boards.

#include "game/board/Layout4Rivers.h"
#include "platform/CrtRand.h"
#include "tests/game/board/ModeTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <deque>
#include <random>

namespace {

using boardtest::At;
using boardtest::ModeBoard;
using boardtest::TileLine;
using Velm::Layout4Rivers_t;

// Faces: tiles 0 and 1 share face 5 (the pair under test unless the case names
// others); every other tile gets a face of its own.
std::vector<int> PairFaces(size_t count, int a, int b) {
    std::vector<int> faces(count);
    int next = 6;
    for (size_t i = 0; i < count; ++i) faces[i] = static_cast<int>(i) == a || static_cast<int>(i) == b ? 5 : next++;
    return faces;
}

struct RouteCase {
    const char* name;
    std::vector<TileLine> tiles;
    int a;
    int b;
    bool found;    // FindRoute's result
    int segments;  // kNoRoute, or the count
};

// The two outermost tile rows full: tiles 0 .. 19 the top row, 20 .. 39 below.
std::vector<TileLine> FullTopRows() {
    std::vector<TileLine> tiles;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 20; ++x) tiles.push_back(At(x, y));
    }
    return tiles;
}

TEST(RiversRoutes, CasesByShape) {
    const int none = Layout4Rivers_t::kNoRoute;
    // clang-format off
    const RouteCase cases[] = {
            {"side by side", {At(3, 3), At(4, 3)}, 0, 1, true, 1},
            {"same row, only empty cells between", {At(0, 5), At(9, 5), At(4, 6)}, 0, 1, true, 1},
            {"same column, only empty cells between", {At(6, 1), At(6, 9)}, 0, 1, true, 1},
            {"one turn", {At(3, 3), At(7, 6)}, 0, 1, true, 2},
            {"ends of the full outermost row, through the margin", FullTopRows(), 0, 19, true, 3},
            // A leaves only upwards, B is entered only from its left: three turns.
            {"needs three turns",
             {At(3, 3), At(6, 6), At(2, 3), At(4, 3), At(3, 4), At(6, 5), At(6, 7), At(7, 6)}, 0, 1, true, 4},
            {"target walled in", {At(2, 2), At(8, 8), At(7, 8), At(9, 8), At(8, 7), At(8, 9)}, 0, 1, false, none},
            {"start walled in", {At(8, 8), At(2, 2), At(7, 8), At(9, 8), At(8, 7), At(8, 9)}, 0, 1, true, none},
    };
    // clang-format on
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.name);
        ModeBoard<Layout4Rivers_t> board;
        board.Load(c.tiles, PairFaces(c.tiles.size(), c.a, c.b));
        Velm::Layout4Rivers_t& rivers = *board.layout;
        int segments = -7;
        EXPECT_EQ(rivers.FindRoute(c.a, c.b, &segments), c.found);
        EXPECT_EQ(segments, c.segments);
        const bool removable = c.found && c.segments <= 3;
        EXPECT_EQ(rivers.CanRemovePair(c.a, c.b), removable);
        EXPECT_EQ(rivers.CanRemovePair(c.b, c.a), removable);
        const std::string pair = std::to_string(std::min(c.a, c.b)) + "-" + std::to_string(std::max(c.a, c.b));
        const std::string pairs = " " + board.Pairs() + " ";
        EXPECT_EQ(pairs.find(" " + pair + " ") != std::string::npos, removable) << pairs;
    }
}

TEST(RiversRoutes, RouteCellsRunFromStartToTarget) {
    ModeBoard<Layout4Rivers_t> board;
    const std::vector<TileLine> tiles = FullTopRows();
    board.Load(tiles, PairFaces(tiles.size(), 0, 19));
    int segments = 0;
    ASSERT_TRUE(board.layout->FindRoute(0, 19, &segments));
    const auto& route = board.layout->routePoints;
    ASSERT_FALSE(route.empty());
    EXPECT_EQ(route.front(), std::make_pair(2, 2));
    EXPECT_EQ(route.back(), std::make_pair(21, 2));
    // Up into the margin ring, across, down.
    EXPECT_EQ(route[1], std::make_pair(2, 1));
    EXPECT_EQ(route[route.size() - 2], std::make_pair(21, 1));
    EXPECT_EQ(route.size(), 22u);
}

TEST(RiversRules, CoveredTileIsNeverRemovableAndNothingIsBlocked) {
    ModeBoard<Layout4Rivers_t> board;
    // Tiles 0 and 1 side by side; tile 2 lies on tile 0.
    board.Load({At(3, 3), At(4, 3), At(3, 3, 1)}, {5, 5, 9});
    Layout4Rivers_t& rivers = *board.layout;
    EXPECT_FALSE(rivers.CanRemovePair(0, 1));
    EXPECT_EQ(board.Pairs(), "");
    EXPECT_FALSE(rivers.IsTileFree(0));
    EXPECT_TRUE(rivers.IsTileFree(1));
    for (int t = 0; t < 3; ++t) EXPECT_FALSE(rivers.IsTileBlocked(&rivers.Cell(t), t));

    // Sides do not block: a tile between two neighbours is free and hovered.
    ModeBoard<Layout4Rivers_t> row;
    row.Load({At(2, 2), At(3, 2), At(4, 2), At(9, 9)}, {5, 7, 8, 5});
    EXPECT_TRUE(row.layout->IsTileFree(1));
    row.Run("hover 1");
    EXPECT_EQ(row.layout->hovered, 1);
    // A covered tile is not hovered.
    board.Run("hover 0");
    EXPECT_EQ(board.layout->hitTile, 0);
    EXPECT_EQ(board.layout->hovered, -1);
}

TEST(RiversRules, ClickRemovesPairJoinedByRoute) {
    ModeBoard<Layout4Rivers_t> board;
    board.Load({At(3, 3), At(7, 6), At(10, 10), At(12, 10)}, {5, 5, 8, 9});
    board.Run("pair 0 1");
    EXPECT_FALSE(board.layout->Cell(0).active);
    EXPECT_FALSE(board.layout->Cell(1).active);
    EXPECT_NE(board.Events().find("pair(0)"), std::string::npos);
}

// --- Differential test against a plain breadth-first search -------------------------

// Fewest segments of any route from S to T through open coarse cells, by a
// breadth-first search over (cell, direction) with turns counted; INT_MAX none.
int PlainFewestSegments(const bool open[16][24], int sx, int sy, int tx, int ty) {
    if (std::abs(sx - tx) + std::abs(sy - ty) <= 1) return 1;
    const int dx[4] = {0, 0, 1, -1};
    const int dy[4] = {1, -1, 0, 0};
    static int best[16][24][4];
    for (auto& row : best)
        for (auto& cell : row)
            for (int& d : cell) d = INT_MAX;
    std::deque<std::array<int, 3>> queue;
    for (int d = 0; d < 4; ++d) {
        const int x = sx + dx[d];
        const int y = sy + dy[d];
        if (x == tx && y == ty) return 1;
        if (x < 0 || y < 0 || x >= 24 || y >= 16 || !open[y][x]) continue;
        best[y][x][d] = 1;
        queue.push_back({x, y, d});
    }
    int result = INT_MAX;
    while (!queue.empty()) {
        const auto [x, y, d] = queue.front();
        queue.pop_front();
        const int here = best[y][x][d];
        for (int e = 0; e < 4; ++e) {
            const int cost = here + (e == d ? 0 : 1);
            const int nx = x + dx[e];
            const int ny = y + dy[e];
            if (nx == tx && ny == ty) {
                result = std::min(result, cost);
                continue;
            }
            if (nx < 0 || ny < 0 || nx >= 24 || ny >= 16 || !open[ny][nx] || best[ny][nx][e] <= cost) continue;
            best[ny][nx][e] = cost;
            if (e == d)
                queue.push_front({nx, ny, e});
            else
                queue.push_back({nx, ny, e});
        }
    }
    return result;
}

TEST(RiversRoutes, AgreesWithPlainSearchOnRandomBoards) {
    std::mt19937 random(20261210);
    int compared = 0;
    int removable = 0;
    for (int boardNumber = 0; boardNumber < 200; ++boardNumber) {
        // Random tiles on two layers, half offsets included, no two sharing a cell.
        const int wanted = 10 + static_cast<int>(random() % 90);
        std::vector<TileLine> tiles;
        bool used[2][24][40] = {};
        for (int k = 0; k < wanted * 4 && static_cast<int>(tiles.size()) < wanted; ++k) {
            const int layer = random() % 5 == 0 ? 1 : 0;
            const int row = static_cast<int>(random() % 23);
            const int column = static_cast<int>(random() % 39);
            if (used[layer][row][column] || used[layer][row + 1][column] || used[layer][row][column + 1] ||
                used[layer][row + 1][column + 1]) {
                continue;
            }
            used[layer][row][column] = used[layer][row + 1][column] = true;
            used[layer][row][column + 1] = used[layer][row + 1][column + 1] = true;
            tiles.push_back({layer, row, column});
        }
        ModeBoard<Layout4Rivers_t> board;
        board.Load(tiles, {}, 2);
        Layout4Rivers_t& rivers = *board.layout;
        const int n = static_cast<int>(tiles.size());
        for (int t = 0; t < n; ++t) rivers.SetTileFace(t, 5);
        for (int trial = 0; trial < 40; ++trial) {
            const int a = static_cast<int>(random() % n);
            const int b = static_cast<int>(random() % n);
            if (a == b) continue;
            bool open[16][24];
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 24; ++x) open[y][x] = x > 0 && y > 0 && x < 23 && y < 15;
            }
            for (int t = 0; t < n; ++t) {
                if (t == a || t == b) continue;
                open[tiles[t].row / 2 + 2][tiles[t].column / 2 + 2] = false;
            }
            const int sx = tiles[a].column / 2 + 2;
            const int sy = tiles[a].row / 2 + 2;
            const int tx = tiles[b].column / 2 + 2;
            const int ty = tiles[b].row / 2 + 2;
            open[sy][sx] = true;
            open[ty][tx] = true;
            const int expected = PlainFewestSegments(open, sx, sy, tx, ty);

            int segments = 0;
            const bool found = rivers.FindRoute(a, b, &segments);
            SCOPED_TRACE("board " + std::to_string(boardNumber) + " tiles " + std::to_string(a) + ", " +
                         std::to_string(b));
            ++compared;
            if (expected <= 3) {
                ++removable;
                ASSERT_TRUE(found);
                ASSERT_EQ(segments, expected);
                // The route runs cell by cell through open cells and has that many segments.
                const auto& route = rivers.routePoints;
                ASSERT_EQ(route.front(), std::make_pair(sx, sy));
                ASSERT_EQ(route.back(), std::make_pair(tx, ty));
                int counted = 0;
                int lastDirection = -1;
                for (size_t k = 1; k < route.size(); ++k) {
                    const int stepX = route[k].first - route[k - 1].first;
                    const int stepY = route[k].second - route[k - 1].second;
                    ASSERT_EQ(std::abs(stepX) + std::abs(stepY), 1);
                    if (k + 1 < route.size()) {
                        ASSERT_TRUE(open[route[k].second][route[k].first]);
                    }
                    const int direction = stepX != 0 ? 0 : 1;
                    if (direction != lastDirection) ++counted;
                    lastDirection = direction;
                }
                if (route.size() > 1) {
                    ASSERT_EQ(counted, expected);
                }
            } else {
                ASSERT_TRUE(!found || segments > 3) << "segments " << segments;
            }
            const bool uncovered = rivers.IsFreeFromAbove(a) && rivers.IsFreeFromAbove(b);
            ASSERT_EQ(rivers.CanRemovePair(a, b), expected <= 3 && uncovered);
        }
    }
    // The boards exercise both answers.
    EXPECT_GT(removable, compared / 10);
    EXPECT_LT(removable, compared);
}

}  // namespace
