#include "game/board/Layout4Rivers.h"

#include "game/board/LayoutModeRules.h"

#include <algorithm>
#include <cstring>

namespace Velm {

namespace {

// Step directions in the order the descent tries them: y + 1, y - 1, x + 1, x - 1.
constexpr int kDirX[4] = {0, 0, 1, -1};
constexpr int kDirY[4] = {1, -1, 0, 0};

bool InsideRouteGrid(int x, int y) {
    return x >= 0 && x < Layout4Rivers_t::kRouteColumns && y >= 0 && y < Layout4Rivers_t::kRouteRows;
}

}  // namespace

bool Layout4Rivers_t::IsTileFree(int tile) { return IsFreeFromAbove(tile); }

bool Layout4Rivers_t::IsTileBlocked(const LayoutCell_t* /*cell*/, int /*tile*/) { return false; }

bool Layout4Rivers_t::CanHover(int tile) { return CanHoverUncovered(*this, tile); }

bool Layout4Rivers_t::CanRemovePair(int a, int b) {
    if (!IsUsedTile(a) || !IsUsedTile(b) || a == b) return false;
    // The usual match rule, whatever a derived class makes of TilesMatch.
    if (!Layout_t::TilesMatch(a, b, false) || !IsFreeFromAbove(a) || !IsFreeFromAbove(b)) return false;
    return HasShortRoute(a, b);
}

bool Layout4Rivers_t::HasShortRoute(int a, int b) {
    int segments = kNoRoute;
    return FindRoute(a, b, &segments) && segments <= kMaxSegments;
}

void Layout4Rivers_t::FindAvailablePairs() {
    CountOccupancy();
    FindUncoveredPairs(*this, [this](int i, int j) {
        int segments = kNoRoute;
        return SearchRoute(i, j, &segments) && segments <= kMaxSegments;
    });
}

bool Layout4Rivers_t::FindRoute(int a, int b, int* segments) {
    CountOccupancy();
    return SearchRoute(a, b, segments);
}

void Layout4Rivers_t::CountOccupancy() {
    std::memset(mOccupancy, 0, sizeof(mOccupancy));
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (!cell.active) continue;
        const int x = CoarseX(cell.column);
        const int y = CoarseY(cell.row);
        if (InsideRouteGrid(x, y)) ++mOccupancy[y][x];
    }
}

bool Layout4Rivers_t::SearchRoute(int a, int b, int* segments) {
    int found = kNoRoute;
    if (segments == nullptr) segments = &found;
    // Every way out without a route leaves the count beyond any limit.
    *segments = kNoRoute;
    routePoints.clear();
    if (!IsUsedTile(a) || !IsUsedTile(b) || a == b) return false;

    const int sx = CoarseX(Cell(a).column);
    const int sy = CoarseY(Cell(a).row);
    const int tx = CoarseX(Cell(b).column);
    const int ty = CoarseY(Cell(b).row);
    if (!InsideRouteGrid(sx, sy) || !InsideRouteGrid(tx, ty)) return false;

    // Neighbouring cells, or two tiles sharing one coarse cell: one segment.
    const int dx = std::abs(sx - tx);
    const int dy = std::abs(sy - ty);
    if (dx + dy <= 1) {
        *segments = 1;
        routePoints.emplace_back(sx, sy);
        if (dx + dy == 1) routePoints.emplace_back(tx, ty);
        return true;
    }

    // A cell blocked for this pair: the wall ring, or another active tile on it.
    auto blockedFor = [&](int x, int y) {
        if (!InsideRouteGrid(x, y) || x == 0 || y == 0 || x == kRouteColumns - 1 || y == kRouteRows - 1) return true;
        int others = mOccupancy[y][x];
        if (x == sx && y == sy) --others;
        if (x == tx && y == ty) --others;
        return others > 0;
    };
    // Most pairs of a crowded board end here, before the grid is prepared: the
    // target walled in on all four sides (no route can reach it), or the start.
    auto walledIn = [&](int x, int y) {
        for (int d = 0; d < 4; ++d) {
            if (!blockedFor(x + kDirX[d], y + kDirY[d])) return false;
        }
        return true;
    };
    if (walledIn(tx, ty)) return false;
    if (walledIn(sx, sy)) return true;

    // The grid: the outer ring is wall, every cell of another active tile blocked.
    for (int y = 0; y < kRouteRows; ++y) {
        for (int x = 0; x < kRouteColumns; ++x) {
            const bool ring = x == 0 || y == 0 || x == kRouteColumns - 1 || y == kRouteRows - 1;
            int others = mOccupancy[y][x];
            if (x == sx && y == sy) --others;
            if (x == tx && y == ty) --others;
            routeGrid[y][x] = ring || others > 0 ? kRouteBlocked : kRouteEmpty;
        }
    }
    routeGrid[sy][sx] = kRouteEmpty;
    routeGrid[ty][tx] = kRouteTarget;
    auto open = [this](int x, int y) { return InsideRouteGrid(x, y) && routeGrid[y][x] != kRouteBlocked; };

    // The shortest routes first: a route of one or two segments is always one
    // of them, so their fewest segments are the fewest of all routes whenever
    // that is at most two.
    SearchShortestRoutes(sx, sy, tx, ty, segments);
    if (*segments <= kMaxSegments) return true;

    // A route of three segments that is not a shortest one goes around a column
    // or a row beyond both tiles (a U). The wave left the blocked cells as they
    // were, so `open` still tells them apart.
    auto foundU = [&](int x1, int y1, int x2, int y2) {
        *segments = 3;
        routePoints.clear();
        routePoints.emplace_back(sx, sy);
        const int corners[3][2] = {{x1, y1}, {x2, y2}, {tx, ty}};
        int x = sx;
        int y = sy;
        for (const auto& corner : corners) {
            while (x != corner[0] || y != corner[1]) {
                x += x < corner[0] ? 1 : (x > corner[0] ? -1 : 0);
                y += y < corner[1] ? 1 : (y > corner[1] ? -1 : 0);
                routePoints.emplace_back(x, y);
            }
        }
        return true;
    };

    // U-shaped routes around a column: along both rows to a common column beyond
    // both tiles, then along that column. Left of both first, then right.
    if (sy != ty) {
        int leftS = sx;
        while (open(leftS - 1, sy)) --leftS;
        int leftT = tx;
        while (open(leftT - 1, ty)) --leftT;
        int rightS = sx;
        while (open(rightS + 1, sy)) ++rightS;
        int rightT = tx;
        while (open(rightT + 1, ty)) ++rightT;
        auto columnOpen = [&](int k) {
            for (int y = std::min(sy, ty); y <= std::max(sy, ty); ++y) {
                if (!open(k, y)) return false;
            }
            return true;
        };
        for (int k = std::max(leftS, leftT); k < std::min(sx, tx); ++k) {
            if (columnOpen(k)) return foundU(k, sy, k, ty);
        }
        for (int k = std::max(sx, tx) + 1; k <= std::min(rightS, rightT); ++k) {
            if (columnOpen(k)) return foundU(k, sy, k, ty);
        }
    }
    // The same around a row: above both tiles first, then below.
    if (sx != tx) {
        int upS = sy;
        while (open(sx, upS - 1)) --upS;
        int upT = ty;
        while (open(tx, upT - 1)) --upT;
        int downS = sy;
        while (open(sx, downS + 1)) ++downS;
        int downT = ty;
        while (open(tx, downT + 1)) ++downT;
        auto rowOpen = [&](int k) {
            for (int x = std::min(sx, tx); x <= std::max(sx, tx); ++x) {
                if (!open(x, k)) return false;
            }
            return true;
        };
        for (int k = std::max(upS, upT); k < std::min(sy, ty); ++k) {
            if (rowOpen(k)) return foundU(sx, k, tx, k);
        }
        for (int k = std::max(sy, ty) + 1; k <= std::min(downS, downT); ++k) {
            if (rowOpen(k)) return foundU(sx, k, tx, k);
        }
    }

    return true;
}

void Layout4Rivers_t::SearchShortestRoutes(int sx, int sy, int tx, int ty, int* segments) {
    // Wave: breadth first from the target, each empty cell gets its distance.
    int order[kRouteRows * kRouteColumns][2];
    int head = 0;
    int tail = 0;
    order[tail][0] = tx;
    order[tail][1] = ty;
    ++tail;
    while (head < tail) {
        const int x = order[head][0];
        const int y = order[head][1];
        ++head;
        const int w = routeGrid[y][x];
        for (int d = 0; d < 4; ++d) {
            const int nx = x + kDirX[d];
            const int ny = y + kDirY[d];
            if (!InsideRouteGrid(nx, ny) || routeGrid[ny][nx] != kRouteEmpty) continue;
            routeGrid[ny][nx] = w + 1;
            order[tail][0] = nx;
            order[tail][1] = ny;
            ++tail;
            // Every cell nearer the target than the start has its value now: the
            // descent needs no more of the wave.
            if (nx == sx && ny == sy) head = tail;
        }
    }
    // The start cut off from the target: searched, and no route.
    if (routeGrid[sy][sx] == kRouteEmpty) return;

    // Descent: along the wave every step goes to a cell one nearer the target;
    // these are the shortest routes. best[y][x][d] is the fewest segments of a
    // shortest route from (x, y) whose first step goes in direction d, counted
    // for the cells in wave order (nearest first).
    static constexpr int kNone = INT_MAX / 2;
    int best[kRouteRows][kRouteColumns][4];
    for (int k = 0; k < tail; ++k) {
        const int x = order[k][0];
        const int y = order[k][1];
        for (int d = 0; d < 4; ++d) best[y][x][d] = kNone;
        if (k == 0) continue;  // the target itself
        const int w = routeGrid[y][x];
        for (int d = 0; d < 4; ++d) {
            const int nx = x + kDirX[d];
            const int ny = y + kDirY[d];
            if (!InsideRouteGrid(nx, ny) || routeGrid[ny][nx] != w - 1) continue;
            if (nx == tx && ny == ty) {
                best[y][x][d] = 1;
                continue;
            }
            int fewest = kNone;
            for (int e = 0; e < 4; ++e) {
                if (best[ny][nx][e] >= kNone) continue;
                fewest = std::min(fewest, best[ny][nx][e] + (e == d ? 0 : 1));
            }
            best[y][x][d] = fewest;
        }
    }

    // Walk the best route from the start into routePoints, cell by cell.
    int x = sx;
    int y = sy;
    int direction = -1;
    int count = kNone;
    for (int d = 0; d < 4; ++d) {
        if (best[sy][sx][d] < count) {
            count = best[sy][sx][d];
            direction = d;
        }
    }
    if (direction < 0) return;
    *segments = count;
    routePoints.emplace_back(x, y);
    int remaining = count;
    while (!(x == tx && y == ty)) {
        x += kDirX[direction];
        y += kDirY[direction];
        routePoints.emplace_back(x, y);
        if (x == tx && y == ty) break;
        // Keep going straight when that is as good; otherwise turn.
        int next = -1;
        if (best[y][x][direction] == remaining) {
            next = direction;
        } else {
            for (int e = 0; e < 4; ++e) {
                if (e != direction && best[y][x][e] + 1 == remaining) {
                    next = e;
                    break;
                }
            }
            --remaining;
        }
        if (next < 0) break;  // cannot happen on a consistent wave
        direction = next;
    }
}

}  // namespace Velm
