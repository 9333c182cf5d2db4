#include "game/board/LayoutOneColl.h"

#include "game/board/BoardRandom.h"
#include "game/board/LayoutModeRules.h"

namespace Velm {

bool LayoutOneColl_t::CanRemovePair(int a, int b) {
    if (a == b) return false;
    return CanRemoveUncoveredMatch(*this, a, b);
}

void LayoutOneColl_t::FindAvailablePairs() {
    hintCursor = -1;
    availablePairs.clear();
    std::vector<int> onLayer;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.kind == kOrdinary && cell.layer == currentLayer) onLayer.push_back(i);
    }
    for (size_t x = 0; x < onLayer.size(); ++x) {
        for (size_t y = x + 1; y < onLayer.size(); ++y) {
            if (TilesMatch(onLayer[x], onLayer[y], false)) availablePairs.emplace_back(onLayer[x], onLayer[y]);
        }
    }
    RandomShuffle(availablePairs);
}

void LayoutOneColl_t::AssignLayerFaces(const std::vector<int>& list, const std::vector<int>& faces) {
    for (size_t i = 0; i < list.size(); ++i) SetTileFace(list[i], faces[i < 2 ? 0 : i]);
}

}  // namespace Velm
