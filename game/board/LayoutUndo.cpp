#include "game/board/Layout.h"

#include <algorithm>

namespace Velm {

// --- Pair removal ---------------------------------------------------------------

void Layout_t::RemoveSelectedPair() {
    const int first = selected;
    const int second = hovered;
    if (!IsActiveTile(first) || !IsActiveTile(second) || first == second) return;
    currentMove.clear();
    RemoveTile(first, LayoutMove_t::kRemoved, true, true);
    RemoveTile(second, LayoutMove_t::kRemoved, true, true);
    const int links = RemoveLinkedTiles(first, second);
    Listener().OnPairRemoved(&Cell(first));
    if (links > 0) Listener().OnLinkedTilesRemoved();
    history.push_back(currentMove);
    hovered = selected = hitTile = hintCursor = -1;
    FindAvailablePairs();
    CountCombo(second);
    lastRemovalTick = tickCount;
    Listener().OnBoardChanged();
}

void Layout_t::CountCombo(int second) {
    if (!comboBonusActive) {
        comboCount = tickCount - lastRemovalTick < kComboWindow ? comboCount + 1 : 0;
    } else {
        comboCount = comboCount > 0 ? comboCount - 1 : 0;
    }
    LayoutCell_t* tile = IsUsedTile(second) ? &Cell(second) : nullptr;
    if (!comboBonusActive && comboCount >= 2) Listener().OnCombo(comboCount, tile);
    if (!comboBonusActive && comboCount == kComboBonusCount) {
        comboBonusActive = true;
        comboBonusTimer = kComboBonusTicks;
        Listener().OnComboBonus(tile);
    }
    if (comboBonusActive) ShowComboHint();
}

void Layout_t::TickCombo() {
    ++tickCount;
    // The bonus ends when its time is up, or on the tick after the removal that
    // counted it down to 0.
    if (comboBonusTimer > 0 || (comboBonusActive && comboCount != 0)) {
        comboBonusTimer = std::max(comboBonusTimer - 1, 0);
        if (comboBonusTimer == 0 || comboCount == 0) {
            comboBonusActive = false;
            comboCount = 0;
        }
    }
}

void Layout_t::ShowComboHint() {
    if (availablePairs.empty()) return;
    const int a = availablePairs.front().first;
    const int b = availablePairs.front().second;
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.effect && i != a && i != b) cell.effect.reset();
    }
    const int cycles = comboBonusTimer / 100;
    for (int t : {a, b}) {
        LayoutCell_t& cell = Cell(t);
        cell.effect = Visuals().MakeComboHint(static_cast<int>(cell.x), static_cast<int>(cell.y), cycles);
    }
}

void Layout_t::RemoveTileByCell(const LayoutCell_t* cell, int action) {
    if (cell == nullptr) return;
    RemoveTile(cell->tileIndex, action, true, true);
}

void Layout_t::RecordMove(const LayoutFlight_t& flight) {
    if (flight.tile < 0 || flight.tile >= kMaxTiles) return;
    LayoutMove_t move;
    move.tile = flight.tile;
    move.face = Cell(flight.tile).face;
    move.action = LayoutMove_t::kMoved;
    move.oldColumn = flight.oldColumn;
    move.oldRow = flight.oldRow;
    move.oldLayer = flight.oldLayer;
    move.newColumn = flight.newColumn;
    move.newRow = flight.newRow;
    move.newLayer = flight.newLayer;
    currentMove.push_back(move);
}

// --- Linked tiles ------------------------------------------------------------------

int Layout_t::RemoveLinkedTiles(int a, int b) {
    if (!IsUsedTile(a) || !IsUsedTile(b)) return 0;
    const int kindA = Cell(a).kind;
    const int kindB = Cell(b).kind;
    if (kindA == kOrdinary && kindB == kOrdinary) return 0;

    auto anyActiveOfKind = [this](int kind) {
        for (int i = 0; i < itemCount; ++i) {
            if (Cell(i).active && Cell(i).kind == kind) return true;
        }
        return false;
    };
    int removed = 0;
    auto removeLinks = [&](int end, int kind) {
        if (kind == kOrdinary || anyActiveOfKind(kind) || !IsLinkIntact(end, kind, true, false)) return;
        for (int i = 0; i < itemCount; ++i) {
            if (Cell(i).active && Cell(i).kind == kind + 1) {
                RemoveTile(i, LayoutMove_t::kRemovedLink, true, true);
                ++removed;
            }
        }
    };
    removeLinks(a, kindA);
    if (kindB != kindA) removeLinks(b, kindB);
    return removed;
}

bool Layout_t::IsLinkIntact(int start, int kind, bool fromStart, bool requireEnds) {
    auto lowestOfKind = [&](int except) {
        for (int i = 0; i < itemCount; ++i) {
            if (i != except && Cell(i).kind == kind) return i;
        }
        return -1;
    };
    int firstEnd = start;
    if (!fromStart) {
        const int lowest = lowestOfKind(-1);
        if (lowest >= 0) firstEnd = lowest;
    }
    if (!IsUsedTile(firstEnd)) return false;
    const int secondEnd = lowestOfKind(firstEnd);
    // A kind with a single end tile has no link.
    if (secondEnd < 0) return false;

    const LayoutCell_t& one = Cell(firstEnd);
    const LayoutCell_t& two = Cell(secondEnd);
    if (requireEnds && !one.active && !two.active) return false;

    if (one.y == two.y) {
        // A horizontal link: the file lists it left end, links, right end.
        const bool oneIsLeft = one.column <= two.column;
        const int left = oneIsLeft ? firstEnd : secondEnd;
        const int right = oneIsLeft ? secondEnd : firstEnd;
        for (int i = left + 1; i < right; ++i) {
            if (!Cell(i).active || Cell(i).kind != kind + 1) return false;
        }
        return true;
    }

    // A vertical link: the cells between the ends in the upper end's column.
    const int layer = (one.active || !two.active) ? one.layer : two.layer;
    const LayoutCell_t& upper = one.row <= two.row ? one : two;
    const LayoutCell_t& lower = one.row <= two.row ? two : one;
    for (int r = upper.row + 2; r <= lower.row - 2; ++r) {
        const int t = FindTileAt(layer, r, upper.column);
        if (t < 0 || !Cell(t).active || Cell(t).kind != kind + 1) return false;
    }
    return true;
}

// --- Undo ----------------------------------------------------------------------------

bool Layout_t::Undo() {
    if (IsOperationPending() || history.empty()) return false;
    currentMove.clear();
    // Records are restored in order; a tile recorded more than once in a move
    // ends with the face of its last record.
    const LayoutMoveList move = std::move(history.back());
    history.pop_back();
    bool moved = false;
    for (const LayoutMove_t& record : move) {
        currentMove.push_back(record);
        const int t = record.tile;
        if (t < 0 || t >= kMaxTiles) continue;
        LayoutCell_t& cell = Cell(t);
        const bool wasInactive = !cell.active;
        if (wasInactive) {
            EnsureSprite(t);
            cell.SetActive(true);
        }
        SetTileFace(t, record.face);
        if (wasInactive && record.action == LayoutMove_t::kHintUsed) {
            Listener().OnBonusModeEnded(kToolNumberHint, &cell);
        } else if (record.action == LayoutMove_t::kMoved) {
            MarkGrid(t, 0);
            SetTileCells(t, static_cast<int>(record.oldLayer), static_cast<int>(record.oldRow),
                         static_cast<int>(record.oldColumn));
            PlaceSprite(t);
            moved = true;
        }
        MarkGrid(t, 1);
    }
    // A tile back in its old cells takes its old place in the drawing order.
    if (moved) BuildDrawLists();
    FindAvailablePairs();
    RecountTiles();
    UpdateVisibility();
    return true;
}

}  // namespace Velm
