#pragma once

#include "game/board/LayoutDifferentPair.h"

namespace Velm {

// Game type 2 ("GameOneColl"): played one layer at a time like the odd-pair mode,
// but every layer holds exactly one matching pair among tiles that are otherwise
// all different; removing that pair removes the whole layer. Hover, undo, match
// rule, clearing and pair removal are those of LayoutDifferentPair_t.
class LayoutOneColl_t : public LayoutDifferentPair_t {
public:
    // Matching pairs of two ordinary tiles of the current layer; shuffled.
    void FindAvailablePairs() override;
    // The tiles match and both are free from above.
    bool CanRemovePair(int a, int b) override;

protected:
    // Tiles 0 and 1 share the first face; every later tile gets a face of its
    // own. A layer of a single tile gets one face and has no pair.
    void AssignLayerFaces(const std::vector<int>& tiles, const std::vector<int>& faces) override;
};

}  // namespace Velm
