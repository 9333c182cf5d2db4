#pragma once

#include "game/board/Layout.h"

#include <climits>
#include <utility>
#include <vector>

namespace Velm {

// Game type 6 ("Game4Rivers"): two matching tiles that are both free from above
// may be removed when a route of at most three straight segments (at most two
// turns) joins them through empty space. Sides do not block, and no tile is ever
// drawn as blocked. Everything else is the usual game.
//
// Routes run on a coarse grid of 16 rows by 24 columns: a tile anchored at column
// c, row r occupies the coarse cell (x, y) = (c / 2 + 2, r / 2 + 2) whatever its
// layer, so tiles lie in x 2 .. 21 and y 2 .. 13. The ring x = 1, x = 22, y = 1,
// y = 14 is always empty and lets routes run around the board; the outermost ring
// is wall. A cell is blocked when any active tile other than the two of the pair
// occupies it.
class Layout4Rivers_t : public Layout_t {
public:
    static constexpr int kRouteRows = 16;
    static constexpr int kRouteColumns = 24;
    // routeGrid values: empty, blocked, the target's cell; the wave writes the
    // distance from the target (target 1, its neighbours 2, ...).
    static constexpr int kRouteEmpty = 0;
    static constexpr int kRouteBlocked = 1000;
    static constexpr int kRouteTarget = 1;
    // The segment count of a search that found no route.
    static constexpr int kNoRoute = INT_MAX;
    static constexpr int kMaxSegments = 3;

    static int CoarseX(int column) { return column / 2 + 2; }
    static int CoarseY(int row) { return row / 2 + 2; }

    // Searches a route from tile a to tile b. segments receives the number of
    // straight segments of the route found, or kNoRoute. False when no route can
    // exist because the target's cell is walled in on all four sides; true with
    // kNoRoute when the start is cut off from the target. Callers accept a pair
    // only on true with at most kMaxSegments segments. The route's cells (x, y),
    // every cell from the start's to the target's, go to routePoints.
    //
    // Order of the search: neighbouring cells (one segment); the fewest segments
    // among the shortest routes, found by a walk over (cell, direction) along the
    // distance wave from the target rather than by listing the routes one by one;
    // when that needs more than three, U-shaped routes around a column (left of
    // both tiles, then right) and around a row (above, then below) with three.
    // Every route of at most two turns is a shortest route or such a U, so the
    // count is the fewest segments of any route whenever that is at most three.
    bool FindRoute(int a, int b, int* segments);
    // FindRoute succeeded with at most three segments.
    bool HasShortRoute(int a, int b);

    // Match (usual rule), both free from above, and a short route.
    bool CanRemovePair(int a, int b) override;
    // Active pairs of two ordinary or two collection tiles that match, are free
    // from above and are joined by a short route; shuffled.
    void FindAvailablePairs() override;
    // Free from above only.
    bool IsTileFree(int tile) override;
    bool IsTileBlocked(const LayoutCell_t* cell, int tile) override;

    int routeGrid[kRouteRows][kRouteColumns] = {};
    std::vector<std::pair<int, int>> routePoints;  // coarse (x, y) of the last route

protected:
    bool CanHover(int tile) override;

private:
    // Counts, per coarse cell, the active tiles on it (all layers), so a batch of
    // searches on an unchanged board counts them once.
    void CountOccupancy();
    bool SearchRoute(int a, int b, int* segments);
    void SearchShortestRoutes(int sx, int sy, int tx, int ty, int* segments);

    int mOccupancy[kRouteRows][kRouteColumns] = {};
};

}  // namespace Velm
