#include "game/board/LayoutSwapColl.h"

#include "game/board/BoardRandom.h"
#include "game/board/LayoutModeRules.h"
#include "platform/CrtRand.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace Velm {

// --- Rules ---------------------------------------------------------------------------

bool LayoutSwapColl_t::AreAdjacent(int a, int b) const {
    if (a < 0 || b < 0 || a >= kMaxTiles || b >= kMaxTiles) return false;
    const LayoutCell_t& one = Cell(a);
    const LayoutCell_t& two = Cell(b);
    if (one.layer != two.layer) return false;
    const int dc = std::abs(one.column - two.column);
    const int dr = std::abs(one.row - two.row);
    return (dc <= 1 && dr <= 2) || (dc <= 2 && dr <= 1);
}

std::vector<int> LayoutSwapColl_t::CollectNeighbours(int tile) const {
    std::vector<int> out;
    for (int i = 0; i < itemCount; ++i) {
        if (i == tile || !Cell(i).active || Cell(i).kind != kOrdinary) continue;
        if (AreAdjacent(tile, i)) out.push_back(i);
    }
    return out;
}

std::vector<int> LayoutSwapColl_t::Neighbours(int tile) const {
    if (mNeighboursCached && tile >= 0 && tile < static_cast<int>(mNeighbourCache.size())) {
        return mNeighbourCache[static_cast<size_t>(tile)];
    }
    return CollectNeighbours(tile);
}

bool LayoutSwapColl_t::TilesMatch(int a, int b, bool byFace) {
    int faceA = a;
    int faceB = b;
    if (!MatchedFaces(a, b, byFace, faceA, faceB)) return false;
    return faceA > 0 && faceA == faceB;
}

bool LayoutSwapColl_t::CanHover(int tile) { return CanHoverUncovered(*this, tile); }

bool LayoutSwapColl_t::IsTileFree(int tile) { return !IsHidden(tile); }

bool LayoutSwapColl_t::IsTileBlocked(const LayoutCell_t* cell, int tile) {
    if (cell != nullptr) tile = cell->tileIndex;
    return !IsFreeFromAbove(tile);
}

bool LayoutSwapColl_t::IsCleared() {
    bool hasCollection = false;
    for (int i = 0; i < itemCount; ++i) {
        if (Cell(i).kind == kCollection) hasCollection = true;
    }
    int left = 0;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (!cell.active) continue;
        if (hasCollection && cell.kind == kCollection) return false;
        if (cell.kind == kOrdinary || cell.kind == kCollection) ++left;
    }
    return hasCollection || left <= 2;
}

bool LayoutSwapColl_t::PickMatchingNeighbour(int tile, const std::vector<int>& list, int* out) {
    std::vector<int> matching;
    for (int t : list) {
        if (UsualMatch(tile, t)) matching.push_back(t);
    }
    if (matching.empty()) return false;
    const int pick = matching[static_cast<size_t>(plat::CrtRand()) % matching.size()];
    if (out != nullptr) *out = pick;
    return true;
}

bool LayoutSwapColl_t::CanRemovePair(int a, int b) {
    swapPartnerA = swapPartnerB = -1;
    if (!IsUsedTile(a) || !IsUsedTile(b) || a == b) return false;
    if (Cell(a).kind != kOrdinary || Cell(b).kind != kOrdinary) return false;
    std::vector<int> aroundA = CollectNeighbours(a);
    aroundA.erase(std::remove(aroundA.begin(), aroundA.end(), b), aroundA.end());
    std::vector<int> aroundB = CollectNeighbours(b);
    aroundB.erase(std::remove(aroundB.begin(), aroundB.end(), a), aroundB.end());
    // After the exchange a lies in b's place among b's neighbours, and b in a's.
    const bool joinsA = PickMatchingNeighbour(a, aroundB, &swapPartnerA);
    const bool joinsB = PickMatchingNeighbour(b, aroundA, &swapPartnerB);
    return joinsA || joinsB;
}

void LayoutSwapColl_t::FindAvailablePairs() {
    hintCursor = -1;
    availablePairs.clear();
    std::vector<int> order;
    for (int i = 0; i < itemCount; ++i) order.push_back(i);
    RandomShuffle(order);
    auto playable = [this](int t) { return Cell(t).active && Cell(t).kind == kOrdinary && IsFreeFromAbove(t); };
    const size_t n = order.size();
    for (size_t i = 0; i < n && availablePairs.size() < static_cast<size_t>(kMaxSwaps); ++i) {
        const int f = order[i];
        if (!playable(f)) continue;
        for (size_t j = i + 1; j < n && availablePairs.size() < static_cast<size_t>(kMaxSwaps); ++j) {
            const int g = order[j];
            if (!playable(g) || !TilesMatch(f, g, false)) continue;
            // Exchanging f with a free neighbour of its twin g puts f next to g.
            std::vector<int> around = Neighbours(g);
            RandomShuffle(around);
            for (int candidate : around) {
                if (candidate != f && IsFreeFromAbove(candidate)) {
                    availablePairs.emplace_back(f, candidate);
                    break;
                }
            }
        }
    }
    RandomShuffle(availablePairs);
}

void LayoutSwapColl_t::CollectSelectedPartners(std::vector<LayoutCell_t*>& out) {
    if (!IsUsedTile(selected)) return;
    const size_t first = out.size();
    out.push_back(&Cell(selected));
    for (const std::pair<int, int>& pair : availablePairs) {
        int other = -1;
        if (pair.first == selected)
            other = pair.second;
        else if (pair.second == selected)
            other = pair.first;
        if (other < 0) continue;
        if (std::find(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), &Cell(other)) != out.end()) continue;
        out.push_back(&Cell(other));
    }
}

// --- Play ----------------------------------------------------------------------------

void LayoutSwapColl_t::RemoveFront(int tile, std::vector<LayoutCell_t*>* list) {
    if (!IsActiveTile(tile)) return;
    RecordFace(tile, LayoutMove_t::kRemoved, false);
    RemoveTile(tile, LayoutMove_t::kRemoved, false, true);
    if (list != nullptr) list->push_back(&Cell(tile));
}

void LayoutSwapColl_t::RemoveSelectedPair() {
    const int first = hovered;
    const int second = selected;
    if (!IsActiveTile(first) || !IsActiveTile(second) || first == second) return;
    swapFirst = first;
    swapSecond = second;
    currentMove.clear();
    pendingOperation = kPendingSwap;
    mSwapFromPair = true;
    // Hidden before the notification, so a listener that applies the swap at
    // once leaves both pictures shown.
    for (int t : {first, second}) {
        if (Cell(t).sprite) Cell(t).sprite->SetHidden(true);
    }
    hovered = selected = hitTile = hintCursor = -1;
    Listener().OnSwapBonusUsed(&Cell(second), &Cell(first), nullptr);
}

void LayoutSwapColl_t::ApplySwap() {
    if (pendingOperation != kPendingSwap) return;
    pendingOperation = kNothingPending;
    const bool fromPair = mSwapFromPair;
    mSwapFromPair = false;
    // The swap tool joins no neighbours; partners left from an earlier swap test
    // do not count.
    const int partnerA = fromPair ? swapPartnerA : -1;
    const int partnerB = fromPair ? swapPartnerB : -1;
    const int a = swapFirst;
    const int b = swapSecond;
    std::vector<LayoutCell_t*> removed;
    std::vector<LayoutCell_t*> isolated;
    if (IsUsedTile(a) && IsUsedTile(b)) {
        const int faceA = Cell(a).face;
        const int faceB = Cell(b).face;
        if (IsActiveTile(partnerA)) {
            // b's place will show a's face next to partnerA.
            RemoveFront(b, &removed);
            RemoveFront(partnerA, &removed);
            RecordFace(a, LayoutMove_t::kRemoved, false);
        }
        if (IsActiveTile(partnerB)) {
            RemoveFront(a, &removed);
            RemoveFront(partnerB, &removed);
            RecordFace(b, LayoutMove_t::kRemoved, false);
        }
        SetTileFace(a, faceB);
        SetTileFace(b, faceA);
        for (int t : {a, b}) {
            if (Cell(t).sprite) Cell(t).sprite->SetHidden(false);
        }
    }
    RemoveIsolatedTiles(isolated);
    FindAvailablePairs();
    if (!removed.empty() || !isolated.empty()) {
        removed.insert(removed.end(), isolated.begin(), isolated.end());
        Listener().OnGroupRemoved(&removed, 0);
        Listener().OnGroupFacesChanged(&isolated);
    }
    swapPartnerA = swapPartnerB = -1;
    history.push_back(currentMove);
    hovered = selected = hitTile = -1;
    toolMode = kNoTool;
    UpdateVisibility();
    Listener().OnSwapApplied();
}

void LayoutSwapColl_t::RemoveIsolatedTiles(std::vector<LayoutCell_t*>& out) {
    bool removedAny = true;
    while (removedAny) {
        removedAny = false;
        for (int i = 0; i < itemCount; ++i) {
            if (!Cell(i).active || Cell(i).kind != kOrdinary || !CollectNeighbours(i).empty()) continue;
            const int face = Cell(i).face;
            RemoveFront(i, &out);
            removedAny = true;
            for (int j = 0; j < itemCount; ++j) {
                if (j != i && Cell(j).active && Cell(j).kind == kOrdinary && Cell(j).face == face) {
                    RemoveFront(j, &out);
                    break;
                }
            }
        }
    }
}

void LayoutSwapColl_t::ApplyChangeBonus(int /*unused*/) {
    std::vector<LayoutCell_t*> changed;
    const int tool = RecordChange(changed);
    if (tool < 0) return;
    // The move waits for ResolveGroups, after the play screen's change effect.
    pendingOperation = kPendingChange;
    Listener().OnChangeBonusUsed(&changed, &Cell(tool));
    hovered = selected = hitTile = bonusTile = hintCursor = -1;
    FindAvailablePairs();
    toolMode = kNoTool;
    Listener().OnChangeApplied();
}

void LayoutSwapColl_t::ResolveGroups() {
    if (pendingOperation == kPendingChange) {
        pendingOperation = kNothingPending;
    } else {
        // Called on its own: a move of its own, and never over another pending one.
        if (IsOperationPending()) return;
        currentMove.clear();
    }
    std::vector<LayoutCell_t*> removed;
    for (int i = 0; i < itemCount; ++i) {
        if (!Cell(i).active || Cell(i).kind != kOrdinary) continue;
        for (int n : CollectNeighbours(i)) {
            if (!TilesMatch(i, n, false)) continue;
            RemoveFront(i, &removed);
            RemoveFront(n, &removed);
            break;
        }
    }
    std::vector<LayoutCell_t*> isolated;
    RemoveIsolatedTiles(isolated);
    FindAvailablePairs();
    if (!removed.empty() || !isolated.empty()) {
        removed.insert(removed.end(), isolated.begin(), isolated.end());
        Listener().OnGroupRemoved(&removed, 0);
        Listener().OnGroupFacesChanged(&isolated);
    }
    if (!currentMove.empty()) history.push_back(currentMove);
}

// --- Regrouping flights --------------------------------------------------------------

void LayoutSwapColl_t::MoveTileTo(int tile, int layer, int row, int column) {
    if (!IsUsedTile(tile)) return;
    MarkGrid(tile, 0);
    SetTileCells(tile, layer, row, column);
    if (Cell(tile).active) MarkGrid(tile, 1);
    PlaceSprite(tile);
}

int LayoutSwapColl_t::FindFlightTarget(int tile) {
    if (!IsUsedTile(tile)) return -1;
    const LayoutCell_t& mover = Cell(tile);
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (i == tile || !cell.active || cell.kind != kOrdinary || cell.layer != mover.layer) continue;
        if (UsualMatch(tile, i)) continue;
        if (CollectNeighbours(i).empty()) continue;
        const int distance = std::abs(cell.column - mover.column) + std::abs(cell.row - mover.row);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool LayoutSwapColl_t::NearestSlotBeside(int target, int mover, int* row, int* column) {
    if (!IsUsedTile(target) || !IsUsedTile(mover)) return false;
    static constexpr int kOffsets[8][2] = {{-2, 0}, {-2, 1}, {2, 0}, {2, 1}, {0, -2}, {1, -2}, {0, 2}, {1, 2}};
    const LayoutCell_t& anchor = Cell(target);
    const LayoutCell_t& moving = Cell(mover);
    const int layer = anchor.layer;
    auto ownCell = [&](int r, int c) {
        for (const LayoutCell_t& cell : tiles[mover].cells) {
            if (cell.layer == layer && cell.row == r && cell.column == c) return true;
        }
        return false;
    };
    auto slotFree = [&](int r, int c) {
        if (r < 0 || c < 0 || r + 1 >= std::min(rowCount, kRows) || c + 1 >= std::min(colCount, kColumns)) return false;
        for (int dr = 0; dr < 2; ++dr) {
            for (int dc = 0; dc < 2; ++dc) {
                if (IsOccupied(layer, r + dr, c + dc) && !ownCell(r + dr, c + dc)) return false;
            }
        }
        for (size_t k = 0; k + 2 < mClaimedSlots.size(); k += 3) {
            if (mClaimedSlots[k] == layer && std::abs(mClaimedSlots[k + 1] - r) < 2 &&
                std::abs(mClaimedSlots[k + 2] - c) < 2) {
                return false;
            }
        }
        return true;
    };
    int bestDistance = -1;
    for (const auto& offset : kOffsets) {
        const int c = anchor.column + offset[0];
        const int r = anchor.row + offset[1];
        if (!slotFree(r, c)) continue;
        const int dc = c - moving.column;
        const int dr = r - moving.row;
        const int distance = dc * dc + dr * dr;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            *row = r;
            *column = c;
        }
    }
    return bestDistance >= 0;
}

int LayoutSwapColl_t::PlanAndMoveFlights() {
    flights.clear();
    finishedFlights = 0;
    mClaimedSlots.clear();
    for (int t = 0; t < itemCount; ++t) {
        const LayoutCell_t& cell = Cell(t);
        if (!cell.active || cell.kind != kOrdinary || !CollectNeighbours(t).empty()) continue;
        const int target = FindFlightTarget(t);
        int row = 0;
        int column = 0;
        if (target < 0 || !NearestSlotBeside(target, t, &row, &column)) continue;
        LayoutFlight_t flight;
        flight.tile = t;
        flight.oldColumn = static_cast<float>(cell.column);
        flight.oldRow = static_cast<float>(cell.row);
        flight.oldLayer = static_cast<float>(cell.layer);
        flight.newColumn = static_cast<float>(column);
        flight.newRow = static_cast<float>(row);
        flight.newLayer = static_cast<float>(Cell(target).layer);
        flights.push_back(flight);
        mClaimedSlots.insert(mClaimedSlots.end(), {Cell(target).layer, row, column});
        if (cell.sprite) cell.sprite->SetHidden(true);
    }
    for (const LayoutFlight_t& flight : flights) {
        MoveTileTo(flight.tile, static_cast<int>(flight.newLayer), static_cast<int>(flight.newRow),
                   static_cast<int>(flight.newColumn));
    }
    mClaimedSlots.clear();
    mArrived.assign(flights.size(), false);
    if (!flights.empty()) {
        BuildDrawLists();
        UpdateVisibility();
    }
    return static_cast<int>(flights.size());
}

void LayoutSwapColl_t::AnnounceFlights() {
    if (flights.empty()) return;
    pendingOperation = kPendingFlights;
    Listener().OnTilesMoved(&flights);
}

int LayoutSwapColl_t::StartRegroupFlights() {
    if (IsOperationPending()) return 0;
    currentMove.clear();
    const int count = PlanAndMoveFlights();
    if (count == 0) return 0;
    for (const LayoutFlight_t& flight : flights) RecordMove(flight);
    history.push_back(currentMove);
    hovered = selected = hitTile = -1;
    FindAvailablePairs();
    AnnounceFlights();
    return count;
}

void LayoutSwapColl_t::OnTileMoveFinished(int record) {
    if (pendingOperation != kPendingFlights || record < 0 || record >= static_cast<int>(flights.size())) return;
    if (mArrived[static_cast<size_t>(record)]) return;
    mArrived[static_cast<size_t>(record)] = true;
    const int tile = flights[static_cast<size_t>(record)].tile;
    if (IsUsedTile(tile) && Cell(tile).sprite) Cell(tile).sprite->SetHidden(false);
    ++finishedFlights;
    if (finishedFlights < static_cast<int>(flights.size())) return;
    pendingOperation = kNothingPending;
    SettleAfterFlights();
}

void LayoutSwapColl_t::SettleAfterFlights() {
    if (IsOperationPending()) return;
    currentMove.clear();
    std::vector<LayoutCell_t*> removed;
    for (int i = 0; i < itemCount; ++i) {
        if (!Cell(i).active || Cell(i).kind != kOrdinary) continue;
        int partner = -1;
        if (!PickMatchingNeighbour(i, CollectNeighbours(i), &partner)) continue;
        RemoveFront(i, &removed);
        RemoveFront(partner, &removed);
    }
    if (removed.empty()) return;
    PlanAndMoveFlights();
    for (const LayoutFlight_t& flight : flights) RecordMove(flight);
    Listener().OnGroupRemoved(&removed, 0);
    history.push_back(currentMove);
    hovered = selected = hitTile = -1;
    FindAvailablePairs();
    AnnounceFlights();
}

// --- Deal ------------------------------------------------------------------------------

void LayoutSwapColl_t::ClearFace(int tile) {
    for (LayoutCell_t& cell : tiles[tile].cells) cell.face = 0;
    Cell(tile).group = nullptr;
}

std::vector<int> LayoutSwapColl_t::CollectUndealtNeighbours(int tile) const {
    std::vector<int> out;
    for (int n : Neighbours(tile)) {
        if (Cell(n).face == 0) out.push_back(n);
    }
    return out;
}

std::vector<int> LayoutSwapColl_t::CollectDistantTiles(int tile, bool undealtOnly) const {
    std::vector<int> out;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (i == tile || !cell.active || cell.kind != kOrdinary || AreAdjacent(tile, i)) continue;
        if (undealtOnly && cell.face != 0) continue;
        out.push_back(i);
    }
    return out;
}

std::vector<int> LayoutSwapColl_t::CollectMatchingTiles(int tile) {
    std::vector<int> out;
    for (int i = 0; i < itemCount; ++i) {
        if (i == tile || !Cell(i).active || Cell(i).kind != kOrdinary) continue;
        if (UsualMatch(tile, i)) out.push_back(i);
    }
    return out;
}

std::vector<int> LayoutSwapColl_t::CollectFaces(const std::vector<int>& list) const {
    std::vector<int> faces;
    for (int t : list) {
        if (t >= 0 && t < kMaxTiles && Cell(t).face != 0) faces.push_back(Cell(t).face);
    }
    return faces;
}

std::vector<int> LayoutSwapColl_t::FacesAround(int tile) const { return CollectFaces(Neighbours(tile)); }

int LayoutSwapColl_t::PickFreeFace(const std::vector<int>& faces1, const std::vector<int>& faces2,
                                   const std::vector<int>& candidates) {
    auto clashes = [this](int face, const std::vector<int>& faces) {
        for (int other : faces) {
            if (Layout_t::TilesMatch(face, other, true)) return true;
        }
        return false;
    };
    for (int face : candidates) {
        if (!clashes(face, faces1) && !clashes(face, faces2)) return face;
    }
    return 0;
}

std::pair<int, int> LayoutSwapColl_t::PickSeparatedPair(const std::vector<int>& list1,
                                                        const std::vector<int>& list2) const {
    for (size_t i = 0; i < list1.size(); ++i) {
        for (size_t j = 0; j < list2.size(); ++j) {
            if (!AreAdjacent(list1[i], list2[j])) return {static_cast<int>(i), static_cast<int>(j)};
        }
    }
    for (size_t i = 0; i < list1.size(); ++i) {
        for (size_t j = 0; j < list2.size(); ++j) {
            if (Cell(list1[i]).face == 0 && Cell(list2[j]).face == 0) return {static_cast<int>(i), static_cast<int>(j)};
        }
    }
    return {0, 0};
}

void LayoutSwapColl_t::DealAround(int a, int b) {
    std::vector<int> list1{a};
    std::vector<int> list2{b};
    for (int n : CollectUndealtNeighbours(a)) list1.push_back(n);
    for (int n : CollectUndealtNeighbours(b)) list2.push_back(n);
    RandomShuffle(swapFaces);
    const size_t rounds = std::min(list1.size(), list2.size());
    for (size_t k = 0; k < rounds && !list1.empty() && !list2.empty(); ++k) {
        const std::pair<int, int> pick = PickSeparatedPair(list1, list2);
        const int x = list1[static_cast<size_t>(pick.first)];
        const int y = list2[static_cast<size_t>(pick.second)];
        list1.erase(list1.begin() + pick.first);
        list2.erase(list2.begin() + pick.second);
        if (x == y || Cell(x).face != 0 || Cell(y).face != 0) continue;
        const int face = PickFreeFace(FacesAround(x), FacesAround(y), swapFaces);
        // No face fits beside both: they wait for the repair or the next attempt.
        if (face == 0) continue;
        SetTileFace(x, face);
        SetTileFace(y, face);
        // Every call deals two more tiles, so the recursion ends.
        DealAround(x, y);
    }
}

bool LayoutSwapColl_t::SeedGroup(const std::vector<int>& group) {
    // Every round deals its first tile or ends the seeding.
    for (size_t round = 0; round <= group.size(); ++round) {
        int first = -1;
        for (int t : group) {
            if (Cell(t).face == 0) {
                first = t;
                break;
            }
        }
        if (first < 0) return true;
        int second = -1;
        const std::vector<int> distant = CollectDistantTiles(first, true);
        if (!distant.empty()) {
            second = distant.front();
        } else {
            for (auto it = group.rbegin(); it != group.rend(); ++it) {
                if (*it != first && Cell(*it).face == 0) {
                    second = *it;
                    break;
                }
            }
        }
        if (second < 0) return false;
        DealAround(first, second);
        if (Cell(first).face == 0) return false;
    }
    return false;
}

bool LayoutSwapColl_t::HasMatchingNeighbour(int tile) {
    for (int n : Neighbours(tile)) {
        if (UsualMatch(tile, n)) return true;
    }
    return false;
}

bool LayoutSwapColl_t::RepairGroup(const std::vector<int>& group) {
    // Each step gives two faces to four tiles; a group that keeps producing
    // matching neighbours is given up after a bounded number of steps.
    const size_t limit = 4 * group.size() + 16;
    for (size_t step = 0; step < limit; ++step) {
        int t = -1;
        int m = -1;
        for (int x : group) {
            if (PickMatchingNeighbour(x, Neighbours(x), &m)) {
                t = x;
                break;
            }
        }
        if (t < 0) return true;
        int q = -1;
        int q2 = -1;
        for (int x : group) {
            if (x == t || x == m) continue;
            for (int y : CollectMatchingTiles(x)) {
                if (y != t && y != m) {
                    q = x;
                    q2 = y;
                    break;
                }
            }
            if (q >= 0) break;
        }
        // No other pair to trade faces with: this match cannot be repaired.
        if (q < 0) return false;
        const int faceI = PickFreeFace(FacesAround(t), FacesAround(q2), swapFaces);
        std::vector<int> aroundM = FacesAround(m);
        aroundM.push_back(faceI);
        const int faceJ = PickFreeFace(aroundM, FacesAround(q), swapFaces);
        if (faceI == 0 || faceJ == 0) return false;
        SetTileFace(t, faceI);
        SetTileFace(q2, faceI);
        SetTileFace(q, faceJ);
        SetTileFace(m, faceJ);
    }
    return false;
}

void LayoutSwapColl_t::Deal(bool retryUntilPairs) {
    SetDealError("");
    lastRemovalTick = tickCount;
    comboCount = 0;
    dealAttempts = 0;
    ForgetFaceFamilies();
    FillFaceList(swapFaces);
    RandomShuffle(swapFaces);

    // A refused deal gives every tile back the face it had before.
    std::vector<int> facesBefore(static_cast<size_t>(itemCount));
    for (int i = 0; i < itemCount; ++i) facesBefore[static_cast<size_t>(i)] = Cell(i).face;

    std::vector<std::vector<int>> groups(static_cast<size_t>(std::max(layerCount, 1)));
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (!cell.active || cell.kind != kOrdinary) continue;
        const size_t group = static_cast<size_t>(std::clamp(cell.groupValue, 0, kMaxTiles));
        if (group >= groups.size()) groups.resize(group + 1);
        groups[group].push_back(i);
        ClearFace(i);
    }
    // Nothing moves during the deal: the neighbours are found once.
    mNeighbourCache.assign(static_cast<size_t>(itemCount), {});
    for (int i = 0; i < itemCount; ++i) mNeighbourCache[static_cast<size_t>(i)] = CollectNeighbours(i);
    mNeighboursCached = true;

    std::string failure;
    while (dealAttempts < kDealAttempts) {
        ++dealAttempts;
        for (std::vector<int>& group : groups) RandomShuffle(group);
        for (const std::vector<int>& group : groups) {
            if (group.empty()) continue;
            RandomShuffle(swapFaces);
            SeedGroup(group);
            RepairGroup(group);
        }
        FindAvailablePairs();

        failure.clear();
        for (int i = 0; i < itemCount && failure.empty(); ++i) {
            const LayoutCell_t& cell = Cell(i);
            if (!cell.active) continue;
            if (cell.kind == kOrdinary && cell.face == 0)
                failure = "a tile got no face";
            else if (HasMatchingNeighbour(i))
                failure = "matching tiles lie side by side";
        }
        if (failure.empty() && retryUntilPairs && availablePairs.empty()) failure = "no swap is possible";
        if (failure.empty()) break;
    }
    mNeighboursCached = false;
    mNeighbourCache.clear();
    if (!failure.empty()) {
        for (int i = 0; i < itemCount; ++i) {
            const int face = facesBefore[static_cast<size_t>(i)];
            if (face == 0)
                ClearFace(i);
            else
                SetTileFace(i, face);
        }
        FindAvailablePairs();
        SetDealError("swap deal failed after " + std::to_string(dealAttempts) + " attempts: " + failure);
    }
    RefreshSpecialTiles();
}

}  // namespace Velm
