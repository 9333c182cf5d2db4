#include "game/board/BoardRandom.h"
#include "game/board/Layout.h"
#include "platform/CrtRand.h"

#include <algorithm>
#include <cstring>

namespace Velm {

bool Layout_t::CollectFreeOrdinaryTiles(std::vector<int>& list) const {
    const size_t before = list.size();
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.kind == kOrdinary && IsFreeUsual(i)) list.push_back(i);
    }
    return list.size() > before;
}

bool Layout_t::IsUncovered(int tile) const {
    if (!IsUsedTile(tile)) return true;
    const LayoutCell_t& cell = Cell(tile);
    if (cell.layer + 1 >= std::min(layerCount, kLayers)) return true;
    const int above = cell.layer + 1;
    return !(IsOccupied(above, cell.row, cell.column) && IsOccupied(above, cell.row, cell.column + 1) &&
             IsOccupied(above, cell.row + 1, cell.column) && IsOccupied(above, cell.row + 1, cell.column + 1));
}

void Layout_t::Deal(bool retryUntilPairs) {
    std::vector<int> faceList;
    FillFaceList(faceList);
    RandomShuffle(faceList);
    DealByPeeling(faceList, false, retryUntilPairs);
}

void Layout_t::DealByPeeling(const std::vector<int>& faceList, bool partnerFaces, bool retryUntilPairs) {
    comboCount = 0;
    comboBonusActive = false;
    lastRemovalTick = tickCount;
    DropTileEffects();
    ForgetFaceFamilies();
    mDealError.clear();
    mDealtPairs.clear();
    if (faceList.empty()) {
        mDealError = "no faces to deal";
        return;
    }

    // The peeling works on the board itself and puts it back from these copies:
    // only the grid, the activity and the kind of the tiles change meanwhile.
    unsigned char savedGrid[kLayers][kRows][kColumns];
    std::memcpy(savedGrid, grid, sizeof(grid));
    bool savedActive[kMaxTiles];
    int savedKind[kMaxTiles];
    for (int i = 0; i < itemCount; ++i) {
        savedActive[i] = Cell(i).active;
        savedKind[i] = Cell(i).kind;
    }
    auto restore = [&] {
        std::memcpy(grid, savedGrid, sizeof(grid));
        for (int i = 0; i < itemCount; ++i) {
            Cell(i).active = savedActive[i];
            Cell(i).kind = savedKind[i];
        }
    };

    std::vector<std::pair<int, int>> assignments;  // (tile, face)
    std::vector<int> leftOvers;
    std::vector<int> freeTiles;
    std::vector<int> chosen;
    std::vector<std::pair<int, int>> dealtPairs;
    int attempt = 0;
    unsigned cursor = 0;
    auto nextFace = [&] { return faceList[cursor % faceList.size()]; };
    const int secondOffset = partnerFaces ? 1 : 0;

    for (;;) {
        assignments.clear();
        leftOvers.clear();
        restore();
        // Every tile takes part in the peeling; only ordinary tiles get faces.
        for (int i = 0; i < itemCount; ++i) {
            if (Cell(i).active) Cell(i).kind = kOrdinary;
        }
        for (;;) {
            freeTiles.clear();
            if (!CollectFreeOrdinaryTiles(freeTiles)) break;
            RandomShuffle(freeTiles);
            chosen.clear();
            for (int t : freeTiles) {
                if (savedKind[t] == kOrdinary) chosen.push_back(t);
            }
            if (chosen.size() % 2 != 0) {
                leftOvers.push_back(chosen.back());
                chosen.pop_back();
            }
            for (size_t j = 0; j + 1 < chosen.size(); j += 2) {
                const int face = nextFace();
                assignments.emplace_back(chosen[j], face);
                assignments.emplace_back(chosen[j + 1], face + secondOffset);
                ++cursor;
            }
            for (int t : freeTiles) {
                Cell(t).active = false;
                MarkGrid(t, 0);
            }
        }
        restore();
        for (const std::pair<int, int>& assignment : assignments) SetTileFace(assignment.first, assignment.second);
        // Left-overs are paired across passes, without the guarantee of the passes.
        for (size_t i = 0; i < leftOvers.size(); i += 2) {
            const int face = nextFace();
            SetTileFace(leftOvers[i], face);
            if (i + 1 < leftOvers.size()) {
                SetTileFace(leftOvers[i + 1], face + secondOffset);
                ++cursor;
            }
        }
        // A left-over pair may lie one tile on the other, or on a tile that waits for it: such
        // a deal cannot be finished without a shuffle, and is dealt again.
        dealtPairs.clear();
        for (size_t j = 0; j + 1 < assignments.size(); j += 2)
            dealtPairs.emplace_back(assignments[j].first, assignments[j + 1].first);
        for (size_t i = 0; i + 1 < leftOvers.size(); i += 2) dealtPairs.emplace_back(leftOvers[i], leftOvers[i + 1]);
        const bool finishable = leftOvers.size() < 2 || CanTakeOffDealtPairs(dealtPairs, savedKind);
        restore();
        FindAvailablePairs();
        playableTileCount = CountPlayableTiles();
        ++attempt;
        if (attempt > 10 || !retryUntilPairs || (!availablePairs.empty() && finishable)) break;
    }
    mDealtPairs = std::move(dealtPairs);
    RefreshSpecialTiles();
}

bool Layout_t::CanTakeOffDealtPairs(const std::vector<std::pair<int, int>>& pairs, const int* ownKinds) {
    std::vector<bool> taken(pairs.size(), false);
    size_t left = pairs.size();
    auto takeOff = [this](int tile) {
        Cell(tile).active = false;
        MarkGrid(tile, 0);
    };
    for (bool progress = true; progress && left > 0;) {
        progress = false;
        for (int i = 0; i < itemCount; ++i) {
            if (Cell(i).active && ownKinds[i] != kOrdinary && IsFreeUsual(i)) {
                takeOff(i);
                progress = true;
            }
        }
        for (size_t k = 0; k < pairs.size(); ++k) {
            if (taken[k] || !IsFreeUsual(pairs[k].first) || !IsFreeUsual(pairs[k].second)) continue;
            takeOff(pairs[k].first);
            takeOff(pairs[k].second);
            taken[k] = true;
            --left;
            progress = true;
        }
    }
    return left == 0;
}

void Layout_t::ForgetShuffleAnims() {
    for (LayoutTile_t& tile : tiles) tile.cells[0].shuffleAnim = nullptr;
    shuffleAnims.clear();
}

void Layout_t::StopShuffle() {
    ForgetShuffleAnims();
    shuffleMode = kShuffleNone;
    shuffleMidpointDone = false;
}

void Layout_t::StartShuffle() {
    if (IsOperationPending()) return;
    shuffleMidpointDone = false;
    shuffleMode = kShuffleDeal;
    ForgetShuffleAnims();
    const int n = CountNonCollectionTiles();
    if (n > 0) {
        shuffleAnims.push_back(Visuals().MakeShuffleAnim());
        for (int k = 1; k < n; ++k) shuffleAnims.push_back(shuffleAnims.front()->Clone());
    }
    size_t next = 0;
    for (int i = 0; i < itemCount && next < shuffleAnims.size(); ++i) {
        LayoutCell_t& cell = Cell(i);
        if (!cell.active || cell.kind != kOrdinary || !IsUncovered(i)) continue;
        BoardAnim* anim = shuffleAnims[next++].get();
        anim->SetPosition(cell.x + 5.0f, cell.y - 5.0f);
        anim->SetSpin(1);
        anim->Start();
        cell.shuffleAnim = anim;
    }
}

bool Layout_t::StartRebalance() {
    rebalanceList.clear();
    std::vector<int> facesSeen;
    for (int a = 0; a < itemCount; ++a) {
        const LayoutCell_t& cell = Cell(a);
        if (!cell.active || cell.kind == kCollection) continue;
        bool seen = false;
        for (int face : facesSeen) {
            if (FacesMatch(face, cell.face)) {
                seen = true;
                break;
            }
        }
        if (seen) continue;
        int classSize = 1;
        for (int b = 0; b < itemCount; ++b) {
            if (b != a && Cell(b).active && Cell(b).kind != kCollection && TilesMatch(a, b, false)) ++classSize;
        }
        if (classSize % 2 != 0) {
            rebalanceList.push_back(a);
            facesSeen.push_back(cell.face);
        }
    }
    if (rebalanceList.size() < 2 || rebalanceList.size() % 2 != 0) return false;

    shuffleMidpointDone = false;
    shuffleMode = kShuffleRebalance;
    ForgetShuffleAnims();
    shuffleAnims.push_back(Visuals().MakeShuffleAnim());
    for (size_t k = 1; k < rebalanceList.size(); ++k) shuffleAnims.push_back(shuffleAnims.front()->Clone());
    bool started = false;
    for (size_t k = 0; k < rebalanceList.size(); ++k) {
        const int t = rebalanceList[k];
        if (!IsUncovered(t)) continue;
        LayoutCell_t& cell = Cell(t);
        BoardAnim* anim = shuffleAnims[k].get();
        anim->SetPosition(cell.x + 5.0f, cell.y - 5.0f);
        anim->SetSpin(1);
        anim->Start();
        cell.shuffleAnim = anim;
        started = true;
    }
    return started;
}

void Layout_t::ReshufflePairs() {
    if (history.empty()) return;
    for (size_t k = 0; k + 1 < rebalanceList.size(); k += 2) {
        const int a = rebalanceList[k];
        const int b = rebalanceList[k + 1];
        if (!IsUsedTile(a) || !IsUsedTile(b)) continue;
        int index = plat::CrtRand() * kDealFaceCount / plat::kCrtRandMax;
        if (index >= kDealFaceCount) index = 0;
        const int face = mDealFaces[static_cast<size_t>(index)];
        for (int t : {a, b}) {
            LayoutMove_t move;
            move.tile = t;
            move.face = Cell(t).face;
            move.action = LayoutMove_t::kRemoved;
            history.back().push_back(move);
            currentMove.push_back(move);
        }
        SetTileFace(a, face);
        SetTileFace(b, face);
        Listener().OnPairReshuffled(&Cell(a), &Cell(b));
    }
    rebalanceList.clear();
    FindAvailablePairs();
}

void Layout_t::AdvanceShuffle() {
    if (shuffleMode == kShuffleNone && shuffleAnims.empty()) return;
    const bool changesFaces = shuffleMode != kShuffleNone;
    bool running = false;
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (!cell.active || cell.shuffleAnim == nullptr) continue;
        if (changesFaces && !shuffleMidpointDone &&
            cell.shuffleAnim->GetFrameIndex() == cell.shuffleAnim->GetFrameCount() / 2) {
            shuffleMidpointDone = true;
            if (shuffleMode == kShuffleDeal)
                Deal(true);
            else if (shuffleMode == kShuffleRebalance)
                ReshufflePairs();
            Listener().OnShuffleFacesChanged();
            // The listener may have started another animation or dropped this one.
            if (cell.shuffleAnim == nullptr) continue;
        }
        cell.shuffleAnim->Advance();
        if (cell.shuffleAnim->IsDone())
            cell.shuffleAnim = nullptr;
        else
            running = true;
    }
    if (running) return;
    if (!changesFaces) {
        ForgetShuffleAnims();
        return;
    }
    if (!shuffleMidpointDone && !rebalanceList.empty() && rebalanceList.size() % 2 == 0) {
        ReshufflePairs();
        Listener().OnShuffleFacesChanged();
    }
    shuffleMode = kShuffleNone;
    Listener().OnShuffleFinished();
}

}  // namespace Velm
