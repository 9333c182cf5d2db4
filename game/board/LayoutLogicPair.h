#pragma once

#include "game/board/Layout.h"

#include <vector>

namespace Velm {

// Game type 4 ("GameLogicalPair"): the tiles show the faces of a dedicated tile
// set, always the last of the catalogue, whose ordinary groups (type 0) come in
// partner pairs: face 1 with face 2, 3 with 4, and so on. A tile matches only its
// logical partner, never a copy of itself; collection tiles match each other. The
// change and remover tools are taken out of the layout at load. Everything else
// (freedom, available pairs, removal, combos, undo, shuffle) is the usual game.
class LayoutLogicPair_t : public Layout_t {
public:
    // The usual peeling deal, with one face list entry per logical pair: a pair
    // made in the peeling gets faces f and f + 1 (f odd). Refused (GetDealError,
    // faces untouched) when the logic tile set holds fewer than two ordinary
    // groups.
    void Deal(bool retryUntilPairs) override;
    // Face numbers fa, fb; ta, tb the types of their groups in the logic tile set.
    // Special faces (ta not 0) match when both are collection faces (type 6);
    // ordinary ones when both are ordinary and one is odd and the other its
    // successor.
    bool TilesMatch(int a, int b, bool byFace) override;
    // The catalogue's last tile set, whatever tile set is current.
    const BoardTileSet* CurrentTileSet() override;
    // Change and remover tool tiles become ordinary tiles; when their number is
    // odd, the first other tool, hint, fixed-face or linked tile does too, so the
    // tiles to deal stay even.
    void AfterLoad() override;

    // The odd face numbers 1, 3, 5, ... one per logical pair: n / 2 entries for n
    // ordinary groups in the logic tile set.
    void FillLogicFaceList(std::vector<int>& list);

private:
    int GroupType(int face);
};

}  // namespace Velm
