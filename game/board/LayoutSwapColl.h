#pragma once

#include "game/board/Layout.h"
#include "game/board/LayoutCell.h"

#include <utility>
#include <vector>

namespace Velm {

// Game type 1 ("GameSwapColl"): instead of removing pairs, the player exchanges
// two tiles so that one of them comes to lie next to a tile with the same face;
// such neighbours are then removed together. Tiles left without any neighbour are
// removed automatically with a tile of the same face. The deal places equal faces
// apart, so that no two neighbours match at the start.
//
// Neighbours: two tiles on the same layer whose anchors differ by at most 1
// column and 2 rows, or 2 columns and 1 row. Two match rules are used: the mode's
// own TilesMatch is plain face equality; the swap test, the deal and the
// regrouping use the usual rule of Layout_t (the tile set's families).
//
// A swap goes: first tile selected; second tile clicked and the swap test passes;
// RemoveSelectedPair (swap pending, both pictures hidden); the play screen
// animates the exchange and calls ApplySwap (faces exchanged, joined neighbours
// and isolated tiles removed, one move in the history). The swap tool ends in the
// same ApplySwap without neighbours to join.
class LayoutSwapColl_t : public Layout_t {
public:
    static constexpr int kMaxSwaps = 21;
    static constexpr int kDealAttempts = 51;

    // --- Rules ----------------------------------------------------------------
    bool AreAdjacent(int a, int b) const;
    // The other used tiles that are active, ordinary and adjacent, in index order.
    std::vector<int> CollectNeighbours(int tile) const;
    // Equal face numbers (face 0 matches nothing).
    bool TilesMatch(int a, int b, bool byFace) override;
    // The usual rule of the board, on two tiles.
    bool UsualMatch(int a, int b) { return Layout_t::TilesMatch(a, b, false); }
    // The swap test: both tiles ordinary, and after the exchange a's face lies
    // next to a tile matching it or b's does. Picks the neighbours each will join
    // (swapPartnerA, swapPartnerB; at random among several). The click passes the
    // hovered tile as a and the selected tile as b.
    bool CanRemovePair(int a, int b) override;
    // Possible swaps (at most 21), shuffled: (f, n) where exchanging f with n
    // puts f next to its twin.
    void FindAvailablePairs() override;
    // With collection tiles in the layout: none of them left; otherwise at most
    // two ordinary or collection tiles left.
    bool IsCleared() override;
    // Not hidden under the layer above.
    bool IsTileFree(int tile) override;
    // Not free from above.
    bool IsTileBlocked(const LayoutCell_t* cell, int tile) override;
    // The selected tile and the other tile of every available swap holding it.
    void CollectSelectedPartners(std::vector<LayoutCell_t*>& out) override;

    // --- Play -------------------------------------------------------------------
    // Starts the swap of the hovered and the selected tile (swap pending).
    void RemoveSelectedPair() override;
    // Ends a pending swap (from a click or from the swap tool). Nothing unless a
    // swap is pending.
    void ApplySwap() override;
    // The change tool with face equality. The move waits (change pending) for
    // ResolveGroups, which the play screen calls after its change effect.
    void ApplyChangeBonus(int unused) override;
    // Removes every ordinary tile with a neighbour of equal face together with
    // the first such neighbour, then the isolated tiles, and enters the move.
    void ResolveGroups() override;
    // Removes, pass after pass, every ordinary tile without a neighbour together
    // with the first other ordinary tile of its face; appends them to out.
    void RemoveIsolatedTiles(std::vector<LayoutCell_t*>& out);

    // --- Regrouping flights -----------------------------------------------------
    // Moves every ordinary tile without neighbours into the nearest free place
    // beside the nearest tile that does not match it and has a neighbour, and
    // tells the listener (OnTilesMoved). The flights are pending until every
    // arrival is reported with OnTileMoveFinished. Returns the number of flights.
    // Nothing in play starts it: after every swap and change the isolated tiles
    // are removed, so no tile is left without neighbours to fly.
    int StartRegroupFlights();
    // An arrival: the record's tile is shown again; after the last arrival the
    // board settles (SettleAfterFlights).
    void OnTileMoveFinished(int record) override;
    // Removes every ordinary tile that has a matching neighbour (usual rule)
    // together with one such neighbour, and flies the tiles left alone.
    void SettleAfterFlights();
    // The nearest tile (column plus row distance, the first on ties) on the same
    // layer that does not match the tile (usual rule) and has a neighbour.
    int FindFlightTarget(int tile);
    // Of the eight places beside target at anchor offsets (-2, 0), (-2, +1),
    // (+2, 0), (+2, +1), (0, -2), (+1, -2), (0, +2), (+1, +2) on its layer, the
    // free one (inside the grid, its four cells empty and not planned for another
    // flight) nearest in straight-line distance to the mover; false when none.
    bool NearestSlotBeside(int target, int mover, int* row, int* column);
    // Puts the tile on other cells of the same layer (grid, cells, sprite).
    void MoveTileTo(int tile, int layer, int row, int column);

    // --- Deal -------------------------------------------------------------------
    // Deals by group value (the fifth number of the layout lines): each face goes
    // to two tiles that do not touch, and never next to a face it would match;
    // a repair step exchanges faces where neighbours still match. At most 51
    // attempts, each also bounded; when the last attempt still fails (a tile
    // without a face, matching neighbours, or no swap with retryUntilPairs), the
    // deal is refused: every tile gets back the face it had before the deal,
    // GetDealError says why and dealAttempts counts the tries.
    void Deal(bool retryUntilPairs) override;
    bool PickMatchingNeighbour(int tile, const std::vector<int>& list, int* out);
    std::vector<int> CollectUndealtNeighbours(int tile) const;
    std::vector<int> CollectDistantTiles(int tile, bool undealtOnly) const;
    std::vector<int> CollectMatchingTiles(int tile);
    std::vector<int> CollectFaces(const std::vector<int>& list) const;
    // The first candidate face that matches (usual rule) no face of either list;
    // 0 when none.
    int PickFreeFace(const std::vector<int>& faces1, const std::vector<int>& faces2,
                     const std::vector<int>& candidates);
    // The first (i, j) whose tiles do not touch; else the first whose tiles both
    // have no face; else (0, 0).
    std::pair<int, int> PickSeparatedPair(const std::vector<int>& list1, const std::vector<int>& list2) const;
    void DealAround(int a, int b);

    // --- Data -------------------------------------------------------------------
    std::vector<LayoutFlight_t> flights;
    int finishedFlights = 0;
    int swapPartnerA = -1;  // the neighbour the first tile of a pending swap joins
    int swapPartnerB = -1;  // the neighbour the second tile joins
    std::vector<int> swapFaces;
    int dealAttempts = 0;  // attempts the last deal made

protected:
    bool CanHover(int tile) override;

private:
    // Whether two tiles of the board touch with matching faces (usual rule).
    bool HasMatchingNeighbour(int tile);
    bool RepairGroup(const std::vector<int>& group);
    bool SeedGroup(const std::vector<int>& group);
    std::vector<int> FacesAround(int tile) const;
    void ClearFace(int tile);
    // Removes a tile, its record at the front of currentMove: a move's records
    // are undone in order and the last record of a tile wins, so the first face
    // recorded in the move (the face before it) is the one brought back.
    void RemoveFront(int tile, std::vector<LayoutCell_t*>* list);
    // Neighbours of a tile; during a deal from a table made once for the deal.
    std::vector<int> Neighbours(int tile) const;
    int PlanAndMoveFlights();
    void AnnounceFlights();

    bool mSwapFromPair = false;  // the pending swap came from RemoveSelectedPair
    bool mNeighboursCached = false;
    std::vector<std::vector<int>> mNeighbourCache;
    std::vector<int> mClaimedSlots;  // anchors (layer, row, column) of planned flights, three ints each
    std::vector<bool> mArrived;
};

}  // namespace Velm
