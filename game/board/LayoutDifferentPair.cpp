#include "game/board/LayoutDifferentPair.h"

#include "game/board/BoardRandom.h"
#include "game/board/LayoutModeRules.h"

#include <algorithm>
#include <string>

namespace Velm {

bool LayoutDifferentPair_t::TilesMatch(int a, int b, bool byFace) {
    int faceA = a;
    int faceB = b;
    return MatchedFaces(a, b, byFace, faceA, faceB) && FaceEqualityMatch(faceA, faceB);
}

bool LayoutDifferentPair_t::HasPartnerOnLayer(int tile) {
    if (!IsUsedTile(tile)) return false;
    for (int i = 0; i < itemCount; ++i) {
        if (i == tile || !Cell(i).active || Cell(i).layer != currentLayer) continue;
        if (TilesMatch(tile, i, false)) return true;
    }
    return false;
}

bool LayoutDifferentPair_t::IsTileFree(int tile) { return !IsHidden(tile); }

bool LayoutDifferentPair_t::IsTileBlocked(const LayoutCell_t* cell, int tile) {
    if (cell == nullptr) {
        if (tile < 0 || tile >= kMaxTiles) return true;
        cell = &Cell(tile);
    }
    return cell->layer != currentLayer;
}

bool LayoutDifferentPair_t::IsCleared() { return currentLayer == -1; }

void LayoutDifferentPair_t::AfterLoad() {
    // Nothing on the board: nothing to play, cleared at once.
    topLayer = CountActiveTiles() > 0 ? HighestActiveLayer() : -1;
    currentLayer = topLayer;
}

void LayoutDifferentPair_t::HandleMouseMove(int x, int y) {
    const int previous = hovered;
    hovered = hitTile = HitTest(x, y);
    if (hovered < 0 || hovered == previous) {
        Listener().OnHoverChanged(nullptr);
        return;
    }
    if (Cell(hovered).layer == currentLayer) {
        AnnounceHover(previous);
        return;
    }
    hovered = -1;
}

bool LayoutDifferentPair_t::CanRemovePair(int a, int b) {
    if (!IsUsedTile(a) || !IsUsedTile(b) || a == b) return false;
    return IsFreeFromAbove(a) && IsFreeFromAbove(b) && !HasPartnerOnLayer(a) && !HasPartnerOnLayer(b);
}

void LayoutDifferentPair_t::FindAvailablePairs() {
    hintCursor = -1;
    availablePairs.clear();
    std::vector<int> singles;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.kind == kOrdinary && cell.layer == currentLayer && !HasPartnerOnLayer(i)) {
            singles.push_back(i);
        }
    }
    for (size_t x = 0; x < singles.size(); ++x) {
        for (size_t y = x + 1; y < singles.size(); ++y) availablePairs.emplace_back(singles[x], singles[y]);
    }
    RandomShuffle(availablePairs);
}

void LayoutDifferentPair_t::RemoveSelectedPair() {
    const int first = selected;
    const int second = hovered;
    if (!IsActiveTile(first) || !IsActiveTile(second) || first == second) return;
    currentMove.clear();
    RemoveTile(second, LayoutMove_t::kRemoved, true, true);
    RemoveTile(first, LayoutMove_t::kRemoved, true, true);
    Listener().OnPairRemoved(&Cell(first));

    // The rest of the layer goes with the pair, in drawing order.
    std::vector<LayoutCell_t*> others;
    for (const std::vector<LayoutCell_t*>& list : drawLists) {
        for (LayoutCell_t* cell : list) {
            const int t = cell->tileIndex;
            if (!cell->active || !cell->sprite || cell->layer != currentLayer || t == first || t == second) continue;
            RemoveTile(t, LayoutMove_t::kRemoved, true, true);
            others.push_back(cell);
        }
    }
    history.push_back(currentMove);

    --currentLayer;
    hovered = selected = hitTile = -1;
    FindAvailablePairs();
    hintCursor = -1;
    Listener().OnBoardChanged();
    const std::vector<LayoutCell_t*> none;
    Listener().OnLayerTilesRemoved(&others, &none);
}

bool LayoutDifferentPair_t::Undo() {
    if (!CanUndo() || history.empty()) return false;
    if (!Layout_t::Undo()) return false;
    // currentMove now holds the records brought back.
    int highest = -1;
    for (const LayoutMove_t& record : currentMove) {
        if (IsActiveTile(record.tile)) highest = std::max(highest, Cell(record.tile).layer);
    }
    if (topLayer >= 0) highest = std::min(highest, topLayer);
    if (highest > currentLayer) {
        currentLayer = highest;
        // A selection left on the layer below is not on the played layer any more.
        if (selected >= 0) {
            selected = -1;
            SelectHoveredTile();
        }
        hovered = -1;
        FindAvailablePairs();
    }
    return true;
}

void LayoutDifferentPair_t::Deal(bool /*retryUntilPairs*/) { DealLayers(); }

void LayoutDifferentPair_t::DealLayers() {
    SetDealError("");
    const int layers = std::clamp(layerCount, 0, kLayers);
    std::vector<std::vector<int>> byLayer(static_cast<size_t>(layers));
    for (int i = 0; i < kMaxTiles; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (!cell.active || cell.layer < 0 || cell.layer >= layers) continue;
        byLayer[static_cast<size_t>(cell.layer)].push_back(i);
    }
    // Every tile of a layer needs a face of its own kind, and the standard set
    // has only 42 different faces: such a layout cannot be dealt.
    for (int layer = 0; layer < layers; ++layer) {
        const size_t count = byLayer[static_cast<size_t>(layer)].size();
        if (count > static_cast<size_t>(kMaxLayerTiles)) {
            SetDealError("layer " + std::to_string(layer) + " holds " + std::to_string(count) +
                         " tiles, more than the " + std::to_string(kMaxLayerTiles) + " different faces of the deal");
            return;
        }
    }

    std::vector<int> faceList;
    FillFaceList(faceList);
    RandomShuffle(faceList);
    currentLayer = CountActiveTiles() > 0 ? HighestActiveLayer() : -1;

    size_t cursor = 0;
    std::vector<int> collected;
    for (std::vector<int>& list : byLayer) {
        if (list.empty()) continue;
        RandomShuffle(list);
        collected.clear();
        // One pass over the whole face list meets every different face.
        for (size_t steps = 0; collected.size() < list.size() && steps < faceList.size(); ++steps) {
            const int face = faceList[cursor % faceList.size()];
            if (std::find(collected.begin(), collected.end(), face) == collected.end()) collected.push_back(face);
            RandomShuffle(collected);
            ++cursor;
        }
        if (collected.size() < list.size()) {
            SetDealError("not enough different faces for a layer");
            return;
        }
        AssignLayerFaces(list, collected);
    }
    RefreshSpecialTiles();
    FindAvailablePairs();
}

void LayoutDifferentPair_t::AssignLayerFaces(const std::vector<int>& list, const std::vector<int>& faces) {
    const size_t c = list.size();
    if (c == 0) return;
    if (c == 1) {
        SetTileFace(list[0], faces[0]);
        return;
    }
    SetTileFace(list[0], faces[0]);
    SetTileFace(list[1], faces[1]);
    size_t face = 2;
    size_t k = 2;
    for (; k + 1 < c; k += 2, ++face) {
        SetTileFace(list[k], faces[face]);
        SetTileFace(list[k + 1], faces[face]);
    }
    if (k < c) {
        // An odd last tile: with twins before it, it joins them; on a layer of
        // three it is a third single tile (any two of the three clear the layer).
        SetTileFace(list[k], c >= 5 ? faces[face - 1] : faces[face]);
    }
}

}  // namespace Velm
