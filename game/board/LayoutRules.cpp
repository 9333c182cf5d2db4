#include "game/board/BoardRandom.h"
#include "game/board/Layout.h"

#include <algorithm>

namespace Velm {

bool Layout_t::IsFreeFromAboveAt(int layer, int row, int column) const {
    if (layer + 1 >= std::min(layerCount, kLayers)) return true;
    const int above = layer + 1;
    return !IsOccupied(above, row, column) && !IsOccupied(above, row, column + 1) &&
           !IsOccupied(above, row + 1, column) && !IsOccupied(above, row + 1, column + 1);
}

bool Layout_t::IsFreeFromAbove(int tile) const {
    if (tile < 0) return false;
    if (tile >= itemCount) return true;
    const LayoutCell_t& cell = Cell(tile);
    return IsFreeFromAboveAt(cell.layer, cell.row, cell.column);
}

bool Layout_t::IsSideFree(int tile) const {
    if (tile < 0) return false;
    if (tile >= itemCount) return true;
    const LayoutCell_t& cell = Cell(tile);
    const int l = cell.layer;
    const int r = cell.row;
    const int c = cell.column;
    if (c == 0) return true;
    if (!IsOccupied(l, r, c - 1) && !IsOccupied(l, r + 1, c - 1) && IsFreeFromAbove(tile)) return true;
    return !IsOccupied(l, r, c + 2) && !IsOccupied(l, r + 1, c + 2);
}

bool Layout_t::IsFreeUsual(int tile) const {
    if (tile < 0) return false;
    if (tile >= itemCount) return true;
    const LayoutCell_t& cell = Cell(tile);
    const int l = cell.layer;
    const int r = cell.row;
    const int c = cell.column;
    if (!IsFreeFromAboveAt(l, r, c)) return false;
    // Free from above, so an open left side counts as well as an open right side.
    if (c == 0) return true;
    if (!IsOccupied(l, r, c - 1) && !IsOccupied(l, r + 1, c - 1)) return true;
    return !IsOccupied(l, r, c + 2) && !IsOccupied(l, r + 1, c + 2);
}

bool Layout_t::IsTileFree(int tile) { return IsFreeUsual(tile); }

bool Layout_t::IsTileBlocked(const LayoutCell_t* cell, int tile) {
    int kind = kOrdinary;
    if (cell != nullptr)
        kind = cell->kind;
    else if (tile >= 0 && tile < kMaxTiles)
        kind = Cell(tile).kind;
    if (kind == kCollection) return false;
    return !IsFreeUsual(tile);
}

bool Layout_t::MatchedFaces(int a, int b, bool byFace, int& faceA, int& faceB) const {
    faceA = a;
    faceB = b;
    if (byFace) return true;
    if (a < 0 || a >= kMaxTiles || b < 0 || b >= kMaxTiles) return false;
    faceA = Cell(a).face;
    faceB = Cell(b).face;
    return true;
}

bool Layout_t::TilesMatch(int a, int b, bool byFace) {
    int faceA = a;
    int faceB = b;
    if (!MatchedFaces(a, b, byFace, faceA, faceB)) return false;
    // A tile without a face matches nothing.
    if (faceA <= 0 || faceB <= 0) return false;
    if (faceA == faceB) return true;
    // Special faces match only themselves; the others also by family.
    if (faceA >= kFirstSpecialFace || faceB >= kFirstSpecialFace) return false;
    const int* family = FaceFamilies();
    const int familyA = family[faceA];
    return (familyA == 1 || familyA == 2) && familyA == family[faceB];
}

const int* Layout_t::FaceFamilies() {
    if (mFamiliesPinned) return mFaceFamily.data();
    const BoardTileSet* set = CurrentTileSet();
    if (!mFamiliesValid || set != mFamiliesSet) {
        mFaceFamily.fill(0);
        for (int face = 1; face < kFirstSpecialFace && set != nullptr; ++face) {
            const BoardTileGroup* group = set->GetGroup(face - 1);
            mFaceFamily[static_cast<size_t>(face)] = group != nullptr ? group->GetGroupNumber() : 0;
        }
        mFamiliesSet = set;
        mFamiliesValid = true;
    }
    return mFaceFamily.data();
}

bool Layout_t::CanRemovePair(int a, int b) {
    if (!IsUsedTile(a) || !IsUsedTile(b)) return false;
    return TilesMatch(a, b, false) && IsFreeUsual(a) && IsFreeUsual(b);
}

void Layout_t::FindAvailablePairs() {
    hintCursor = -1;
    availablePairs.clear();
    // The free rule is evaluated once per tile; pairs come out in (i, j) order
    // before the shuffle, as a walk over every pair would give them.
    int candidates[kMaxTiles];
    int count = 0;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && (cell.kind == kOrdinary || cell.kind == kCollection) && IsFreeUsual(i)) {
            candidates[count++] = i;
        }
    }
    // Nothing changes the tile set during the search: read its families once.
    FaceFamilies();
    mFamiliesPinned = true;
    for (int x = 0; x < count; ++x) {
        const int i = candidates[x];
        for (int y = x + 1; y < count; ++y) {
            const int j = candidates[y];
            if (Cell(i).kind == Cell(j).kind && TilesMatch(i, j, false)) availablePairs.emplace_back(i, j);
        }
    }
    mFamiliesPinned = false;
    RandomShuffle(availablePairs);
}

bool Layout_t::IsCleared() {
    bool hasCollection = false;
    for (int i = 0; i < itemCount; ++i) {
        if (Cell(i).kind == kCollection) {
            hasCollection = true;
            break;
        }
    }
    const int wanted = hasCollection ? kCollection : kOrdinary;
    for (int i = 0; i < itemCount; ++i) {
        if (Cell(i).active && Cell(i).kind == wanted) return false;
    }
    return true;
}

}  // namespace Velm
