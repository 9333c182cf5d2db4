#include "game/board/Layout.h"

#include <algorithm>

namespace Velm {

// --- Hit test and hover --------------------------------------------------------

int Layout_t::HitTest(int x, int y) const {
    auto inside = [&](int layer, int row, int column) {
        if (row < 0 || column < 0) return false;
        const int* rect = positions[layer][row][column];
        return x >= rect[0] && x < rect[0] + kHitWidth && y >= rect[1] && y < rect[1] + kHitHeight;
    };
    const int layers = std::min(layerCount, kLayers);
    const int rows = std::min(rowCount, kRows);
    const int columns = std::min(colCount, kColumns);
    // Higher layers first; on a layer, cells row by row from the top left, so the
    // tiles are tried in the order of their anchor cells.
    // The rectangles of one row of cells share their y (the layer shifts whole
    // rows), so rows whose tiles cannot reach the point are skipped at once.
    auto rowReaches = [&](int layer, int row) {
        if (row < 0) return false;
        const int top = positions[layer][row][0][1];
        return y >= top && y < top + kHitHeight;
    };
    for (int layer = layers - 1; layer >= 0; --layer) {
        for (int r = 0; r < rows; ++r) {
            if (!rowReaches(layer, r) && !rowReaches(layer, r - 1)) continue;
            for (int c = 0; c < columns; ++c) {
                if (grid[layer][r][c] == 0) continue;
                // The cell's tile has its anchor here or one cell up or left: skip
                // the search when the point lies in none of those hit rectangles.
                if (!inside(layer, r, c) && !inside(layer, r, c - 1) && !inside(layer, r - 1, c) &&
                    !inside(layer, r - 1, c - 1)) {
                    continue;
                }
                const int tile = FindTileAt(layer, r, c);
                if (tile < 0 || !Cell(tile).active) continue;
                const LayoutCell_t& anchor = Cell(tile);
                if (anchor.layer < 0 || anchor.layer >= kLayers || anchor.row < 0 || anchor.row > kRows ||
                    anchor.column < 0 || anchor.column > kColumns) {
                    continue;
                }
                const int* rect = positions[anchor.layer][anchor.row][anchor.column];
                if (x >= rect[0] && x < rect[0] + kHitWidth && y >= rect[1] && y < rect[1] + kHitHeight) return tile;
            }
        }
    }
    return -1;
}

bool Layout_t::CanHover(int tile) {
    // With a tool active only ordinary tiles can be chosen, free or not.
    if (toolMode != kNoTool) return Cell(tile).kind == kOrdinary;
    return IsFreeUsual(tile);
}

void Layout_t::HandleMouseMove(int x, int y) {
    const int previous = hovered;
    hovered = hitTile = HitTest(x, y);
    if (hovered >= 0 && !CanHover(hovered)) hovered = -1;
    AnnounceHover(previous);
}

void Layout_t::AnnounceHover(int previous) {
    if (hovered >= 0 && hovered != previous) {
        LayoutCell_t& cell = Cell(hovered);
        if (hoverMarker) {
            hoverMarker->SetPosition(cell.x, cell.y);
            hoverMarker->Start();
        }
        Listener().OnHoverChanged(&cell);
    } else {
        Listener().OnHoverChanged(nullptr);
    }
}

// --- Clicks ----------------------------------------------------------------------

void Layout_t::ReportInvalidClick() {
    if (toolMode == kNoTool && IsActiveTile(hitTile) && IsFreeFromAbove(hitTile) && !IsSideFree(hitTile)) {
        Listener().OnInvalidClick();
    }
}

bool Layout_t::HandleClick(int /*x*/, int /*y*/) {
    // The recorded move of a swap or remover is not in the history yet: nothing
    // may touch the board until the play screen has applied it.
    if (IsOperationPending()) return false;
    // A tile taken away since the last mouse move is not there to click.
    if (hovered >= 0 && !IsActiveTile(hovered)) hovered = -1;
    if (selected >= 0 && !IsActiveTile(selected)) selected = -1;

    ReportInvalidClick();

    if (selected >= 0 && hovered >= 0 && selected != hovered) {
        switch (toolMode) {
            case kToolSwap: {
                if (bonusTile < 0) return false;
                const int tool = bonusTile;
                swapFirst = selected;
                swapSecond = hovered;
                currentMove.clear();
                RecordFace(tool, LayoutMove_t::kRemoved, true);
                RecordFace(selected, LayoutMove_t::kRemoved, true);
                RecordFace(hovered, LayoutMove_t::kRemoved, true);
                RemoveTile(tool, LayoutMove_t::kRemoved, true, true);
                pendingOperation = kPendingSwap;
                // Hidden before the notification, so a listener that applies the
                // swap at once leaves both pictures shown.
                for (int t : {swapFirst, swapSecond}) {
                    if (Cell(t).sprite) Cell(t).sprite->SetHidden(true);
                }
                hovered = selected = hitTile = hintCursor = bonusTile = -1;
                Listener().OnSwapBonusUsed(&Cell(swapFirst), &Cell(swapSecond), &Cell(tool));
                return true;
            }
            case kToolChange:
                if (bonusTile < 0) return false;
                ApplyChangeBonus(0);
                return true;
            case kNoTool:
                if (CanRemovePair(hovered, selected)) {
                    RemoveSelectedPair();
                    return true;
                }
                Listener().OnClickRejected();
                break;
            default: break;
        }
    }

    switch (toolMode) {
        case kNoTool: {
            if (hovered < 0 || !IsTileFree(hovered)) {
                Listener().OnClickRejected();
                return false;
            }
            const int kind = Cell(hovered).kind;
            if (kind == kSwapTool || kind == kChangeTool || kind == kRemoverTool || kind == kHintTile) {
                currentMove.clear();
                if (kind == kHintTile) {
                    RemoveTile(hovered, LayoutMove_t::kHintUsed, true, true);
                    history.push_back(currentMove);
                }
                selected = hovered;
                SelectHoveredTile();
                hovered = selected = -1;
                return false;
            }
            selected = hovered;
            hovered = -1;
            SelectHoveredTile();
            return true;
        }
        case kToolSwap:
        case kToolChange: {
            if (hovered < 0 || bonusTile < 0) return false;
            if (hovered == bonusTile) {
                Listener().OnBonusModeEnded(toolMode, &Cell(bonusTile));
                toolMode = kNoTool;
                bonusTile = -1;
                return true;
            }
            if (toolMode == kToolSwap)
                Listener().OnSwapTargetChosen();
            else
                Listener().OnChangeTargetChosen();
            selected = hovered;
            SelectHoveredTile();
            return true;
        }
        case kToolRemover: {
            if (hovered < 0 || bonusTile < 0) return false;
            const int tool = bonusTile;
            if (hovered == tool) {
                Listener().OnBonusModeEnded(kToolRemover, &Cell(tool));
                toolMode = kNoTool;
                bonusTile = -1;
                return true;
            }
            std::vector<LayoutCell_t*> targets;
            std::vector<int> targetIndices;
            const int face = Cell(hovered).face;
            for (int i = 0; i < itemCount; ++i) {
                const LayoutCell_t& cell = Cell(i);
                if (cell.active && cell.kind == kOrdinary && FacesMatch(cell.face, face)) {
                    targets.push_back(&Cell(i));
                    targetIndices.push_back(i);
                }
            }
            // A remover with nothing to take would leave the board waiting for
            // an end that never comes: the click is refused and the tool stays.
            if (targets.empty()) {
                Listener().OnClickRejected();
                return false;
            }
            removerTargets = targetIndices;
            currentMove.clear();
            RecordFace(tool, LayoutMove_t::kRemoved, true);
            RemoveTile(tool, LayoutMove_t::kRemoved, true, true);
            pendingOperation = kPendingRemover;
            hovered = selected = hitTile = bonusTile = hintCursor = -1;
            Listener().OnRemoverBonusUsed(&targets, &Cell(tool));
            return true;
        }
        default: return false;
    }
}

void Layout_t::SelectHoveredTile() {
    if (listener == nullptr) return;
    if (selected < 0) {
        listener->OnSelectionChanged(nullptr);
        return;
    }
    LayoutCell_t& cell = Cell(selected);
    const int kind = cell.kind;
    const bool toolTile = kind == kSwapTool || kind == kChangeTool || kind == kRemoverTool || kind == kHintTile;
    // Every tile that stays selected gets the marker (fixed-face and linked tiles
    // too, or the marker would be drawn where it last stood).
    if (!toolTile && selectionMarker) {
        selectionMarker->SetPosition(cell.x, cell.y);
        selectionMarker->Start();
        if (hoverMarker) selectionMarker->CopyPhaseFrom(*hoverMarker);
    }
    listener->OnSelectionChanged(&cell);
    if (!toolTile) return;

    int tool = kToolNumberHint;
    bonusTile = selected;
    switch (kind) {
        case kSwapTool: tool = toolMode = kToolSwap; break;
        case kChangeTool: tool = toolMode = kToolChange; break;
        case kRemoverTool: tool = toolMode = kToolRemover; break;
        default: break;  // the hint tile leaves the tool mode as it is
    }
    hovered = selected = -1;
    Listener().OnBonusTileActivated(tool, &cell);
}

// --- Tools -------------------------------------------------------------------------

void Layout_t::ApplySwap() {
    if (pendingOperation != kPendingSwap) return;
    if (IsUsedTile(swapFirst) && IsUsedTile(swapSecond)) {
        const int faceFirst = Cell(swapFirst).face;
        const int faceSecond = Cell(swapSecond).face;
        SetTileFace(swapFirst, faceSecond);
        SetTileFace(swapSecond, faceFirst);
        for (int t : {swapFirst, swapSecond}) {
            if (Cell(t).sprite) Cell(t).sprite->SetHidden(false);
        }
    }
    history.push_back(currentMove);
    FindAvailablePairs();
    toolMode = kNoTool;
    pendingOperation = kNothingPending;
    UpdateVisibility();
    Listener().OnSwapApplied();
}

int Layout_t::RecordChange(std::vector<LayoutCell_t*>& changed) {
    if (!IsActiveTile(bonusTile) || !IsActiveTile(selected) || !IsActiveTile(hovered)) return -1;
    const int tool = bonusTile;
    const int sourceFace = Cell(selected).face;
    const int targetFace = Cell(hovered).face;
    currentMove.clear();
    RecordFace(tool, LayoutMove_t::kRemoved, true);
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (!cell.active || i == selected || !FacesMatch(cell.face, targetFace)) continue;
        changed.push_back(&cell);
        RecordFace(i, LayoutMove_t::kRemoved, true);
        SetTileFace(i, sourceFace);
    }
    RemoveTile(tool, LayoutMove_t::kRemoved, true, true);
    return tool;
}

void Layout_t::ApplyChangeBonus(int /*unused*/) {
    std::vector<LayoutCell_t*> changed;
    const int tool = RecordChange(changed);
    if (tool < 0) return;
    Listener().OnChangeBonusUsed(&changed, &Cell(tool));
    history.push_back(currentMove);
    hovered = selected = hitTile = bonusTile = hintCursor = -1;
    FindAvailablePairs();
    toolMode = kNoTool;
    Listener().OnChangeApplied();
}

void Layout_t::FinishRemoverBonus() {
    if (pendingOperation != kPendingRemover) return;
    removerTargets.clear();
    history.push_back(currentMove);
    FindAvailablePairs();
    toolMode = kNoTool;
    pendingOperation = kNothingPending;
    UpdateVisibility();
    Listener().OnRemoverApplied();
}

bool Layout_t::DropTool() {
    if (IsOperationPending()) return false;
    toolMode = kNoTool;
    bonusTile = -1;
    return true;
}

bool Layout_t::CanShuffle() const {
    return toolMode == kNoTool && !IsOperationPending() && shuffleMode != kShuffleDeal && CountNonCollectionTiles() > 0;
}

// --- Hints -------------------------------------------------------------------------

void Layout_t::CollectSelectedPartners(std::vector<LayoutCell_t*>& out) {
    if (!IsUsedTile(selected)) return;
    const size_t first = out.size();
    out.push_back(&Cell(selected));
    for (const std::pair<int, int>& pair : availablePairs) {
        for (int t : {pair.first, pair.second}) {
            if (!TilesMatch(t, selected, false)) continue;
            if (std::find(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), &Cell(t)) != out.end()) continue;
            out.push_back(&Cell(t));
        }
    }
}

LayoutCell_t* Layout_t::SelectedPartner() {
    if (selected < 0) return nullptr;
    for (const std::pair<int, int>& pair : availablePairs) {
        if (pair.first == selected) return &Cell(pair.second);
        if (pair.second == selected) return &Cell(pair.first);
    }
    return nullptr;
}

bool Layout_t::NextHint() {
    if (availablePairs.empty()) return false;
    hintCursor = (hintCursor + 1) % static_cast<int>(availablePairs.size());
    return true;
}

LayoutCell_t* Layout_t::HintTile(bool second) {
    if (hintCursor < 0 || hintCursor >= static_cast<int>(availablePairs.size())) return nullptr;
    const std::pair<int, int>& pair = availablePairs[static_cast<size_t>(hintCursor)];
    return &Cell(second ? pair.second : pair.first);
}

LayoutCell_t* Layout_t::LastMoveTile(int k) {
    if (history.empty() || k < 0 || k >= static_cast<int>(history.back().size())) return nullptr;
    const int tile = history.back()[static_cast<size_t>(k)].tile;
    if (tile < 0 || tile >= kMaxTiles) return nullptr;
    return &Cell(tile);
}

}  // namespace Velm
