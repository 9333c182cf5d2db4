#include "game/board/LayoutModeRules.h"

#include "game/board/BoardRandom.h"
#include "game/board/Layout.h"

namespace Velm {

namespace {

// Face numbers from here on are the special faces that all match each other in
// the layer and memory modes.
constexpr int kFirstMatchAllFace = 44;

}  // namespace

bool FaceEqualityMatch(int faceA, int faceB) {
    if (faceA <= 0 || faceB <= 0) return false;
    if (faceA >= kFirstMatchAllFace && faceB >= kFirstMatchAllFace) return true;
    return faceA == faceB;
}

bool CanRemoveUncoveredMatch(Layout_t& layout, int a, int b) {
    if (a < 0 || b < 0 || a >= layout.itemCount || b >= layout.itemCount) return false;
    return layout.TilesMatch(a, b, false) && layout.IsFreeFromAbove(a) && layout.IsFreeFromAbove(b);
}

bool CanHoverUncovered(const Layout_t& layout, int tile) {
    if (tile < 0 || tile >= Layout_t::kMaxTiles) return false;
    if (layout.toolMode != Layout_t::kNoTool) return layout.Cell(tile).kind == Layout_t::kOrdinary;
    return layout.IsFreeFromAbove(tile);
}

void FindUncoveredPairs(Layout_t& layout, const std::function<bool(int, int)>& extra) {
    layout.hintCursor = -1;
    layout.availablePairs.clear();
    int candidates[Layout_t::kMaxTiles];
    int count = 0;
    for (int i = 0; i < layout.itemCount; ++i) {
        const LayoutCell_t& cell = layout.Cell(i);
        if (cell.active && (cell.kind == Layout_t::kOrdinary || cell.kind == Layout_t::kCollection) &&
            layout.IsFreeFromAbove(i)) {
            candidates[count++] = i;
        }
    }
    for (int x = 0; x < count; ++x) {
        const int i = candidates[x];
        for (int y = x + 1; y < count; ++y) {
            const int j = candidates[y];
            if (layout.Cell(i).kind != layout.Cell(j).kind || !layout.TilesMatch(i, j, false)) continue;
            if (extra && !extra(i, j)) continue;
            layout.availablePairs.emplace_back(i, j);
        }
    }
    RandomShuffle(layout.availablePairs);
}

}  // namespace Velm
