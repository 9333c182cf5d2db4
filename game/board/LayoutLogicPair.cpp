#include "game/board/LayoutLogicPair.h"

#include "game/board/BoardRandom.h"

namespace Velm {

const BoardTileSet* LayoutLogicPair_t::CurrentTileSet() {
    const BoardTileSets* sets = GetTileSets();
    return sets != nullptr ? sets->GetLastTileSet() : nullptr;
}

int LayoutLogicPair_t::GroupType(int face) {
    const BoardTileSet* set = CurrentTileSet();
    const BoardTileGroup* group = set != nullptr ? set->GetGroup(face - 1) : nullptr;
    return group != nullptr ? group->GetType() : 0;
}

bool LayoutLogicPair_t::TilesMatch(int a, int b, bool byFace) {
    int faceA = a;
    int faceB = b;
    if (!MatchedFaces(a, b, byFace, faceA, faceB)) return false;
    if (faceA <= 0 || faceB <= 0) return false;
    const int typeA = GroupType(faceA);
    const int typeB = GroupType(faceB);
    if (typeA != kOrdinary) return typeA == kCollection && typeB == kCollection;
    if (typeB != kOrdinary) return false;
    return (faceA % 2 == 1 && faceB == faceA + 1) || (faceB % 2 == 1 && faceA == faceB + 1);
}

void LayoutLogicPair_t::FillLogicFaceList(std::vector<int>& list) {
    list.clear();
    const BoardTileSet* set = CurrentTileSet();
    int ordinary = 0;
    for (int i = 0; set != nullptr && i < set->GetGroupCount(); ++i) {
        const BoardTileGroup* group = set->GetGroup(i);
        if (group != nullptr && group->GetType() == kOrdinary) ++ordinary;
    }
    for (int k = 0; k < ordinary / 2; ++k) list.push_back(2 * k + 1);
}

void LayoutLogicPair_t::AfterLoad() {
    auto makeOrdinary = [this](int tile) {
        for (LayoutCell_t& cell : tiles[tile].cells) cell.kind = kOrdinary;
    };
    int changed = 0;
    for (int i = 0; i < itemCount; ++i) {
        if (!Cell(i).sprite) continue;
        if (Cell(i).kind == kChangeTool || Cell(i).kind == kRemoverTool) {
            makeOrdinary(i);
            ++changed;
        }
    }
    if (changed % 2 == 0) return;
    for (int i = 0; i < itemCount; ++i) {
        const int kind = Cell(i).kind;
        if (Cell(i).sprite && kind != kOrdinary && kind != kCollection) {
            makeOrdinary(i);
            return;
        }
    }
}

void LayoutLogicPair_t::Deal(bool retryUntilPairs) {
    std::vector<int> faceList;
    FillLogicFaceList(faceList);
    if (faceList.empty()) {
        SetDealError("the logic tile set holds fewer than two ordinary faces");
        return;
    }
    RandomShuffle(faceList);
    DealByPeeling(faceList, true, retryUntilPairs);
}

}  // namespace Velm
