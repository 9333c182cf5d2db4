#pragma once

#include <functional>

namespace Velm {

class Layout_t;

// Rules that several game modes share, kept in one place and called by the modes'
// layout classes.

// The match rule of the layer modes and the memory mode, on face numbers: two
// faces match when both are 44 or more (special faces), otherwise only when they
// are equal. The tile set's matching families do not apply; face 0 (no face yet)
// matches nothing.
bool FaceEqualityMatch(int faceA, int faceB);

// The pair test of the one-pair layer mode and the memory mode: the two tiles
// match by the layout's own rule (TilesMatch through its table) and both are free
// from above. Kinds and activity are the caller's business.
bool CanRemoveUncoveredMatch(Layout_t& layout, int a, int b);

// The hover rule of the rivers and swap modes: without a tool a hit tile stays
// hovered when it is free from above (no side test); with a tool active only
// ordinary tiles can be chosen, free or not.
bool CanHoverUncovered(const Layout_t& layout, int tile);

// Rebuilds the layout's availablePairs with every pair i < j of used tiles that
// are both active, both ordinary or both collection tiles, free from above, that
// match by the layout's rule and pass `extra` (may be empty); then shuffles the
// list and clears the hint cursor. The rivers and memory modes use it.
void FindUncoveredPairs(Layout_t& layout, const std::function<bool(int, int)>& extra);

}  // namespace Velm
