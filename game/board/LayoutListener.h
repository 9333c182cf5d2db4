#pragma once

#include "game/board/LayoutCell.h"

#include <vector>

namespace Velm {

class Graphics;

// The only way a layout talks to the world: the play screen implements this and
// is set as the current layout's listener when a level starts. Every operation has
// an empty default, so a listener overrides only what it needs; a layout without
// a listener notifies a listener that does nothing.
//
// Tile arguments point at a tile's first cell. Lists belong to the sender and are
// valid only during the call: copy them to keep them. Calls come from inside the
// layout's operations on the main thread, so a listener may call back into the
// layout. Tool numbers: 1 swap, 2 change, 3 remover, 4 hint.
class LayoutListener {
public:
    virtual ~LayoutListener() = default;

    // Both tiles of a pair (and its links) are off the board; the tile is the
    // selected one of the pair.
    virtual void OnPairRemoved(LayoutCell_t* /*tile*/) {}
    virtual void OnClickRejected() {}
    virtual void OnSelectionChanged(LayoutCell_t* /*tile*/) {}  // null: selection cleared
    virtual void OnHoverChanged(LayoutCell_t* /*tile*/) {}      // null: nothing new hovered
    virtual void OnPairReshuffled(LayoutCell_t* /*a*/, LayoutCell_t* /*b*/) {}
    virtual void OnNoMoreMoves() {}
    virtual void OnInvalidClick() {}
    virtual void OnLinkedTilesRemoved() {}
    virtual void OnBoardChanged() {}
    virtual void OnLevelComplete() {}
    virtual void OnSwapBonusUsed(LayoutCell_t* /*a*/, LayoutCell_t* /*b*/, LayoutCell_t* /*tool*/) {}
    virtual void OnRemoverBonusUsed(const std::vector<LayoutCell_t*>* /*targets*/, LayoutCell_t* /*tool*/) {}
    virtual void OnChangeBonusUsed(const std::vector<LayoutCell_t*>* /*changed*/, LayoutCell_t* /*tool*/) {}
    virtual void OnSwapTargetChosen() {}
    virtual void OnChangeTargetChosen() {}
    // The faces were dealt again (or rebalanced) at the shuffle's middle frame.
    virtual void OnShuffleFacesChanged() {}
    virtual void OnSwapApplied() {}
    virtual void OnChangeApplied() {}
    virtual void OnRemoverApplied() {}
    virtual void OnShuffleFinished() {}
    virtual void OnBonusTileActivated(int /*tool*/, LayoutCell_t* /*tile*/) {}
    virtual void OnBonusModeEnded(int /*tool*/, LayoutCell_t* /*tile*/) {}
    virtual void OnDrawLayer(int /*layer*/, Graphics* /*g*/) {}
    virtual void OnDrawTileEffects(Graphics* /*g*/, LayoutCell_t* /*tile*/) {}
    virtual void OnCombo(int /*comboCount*/, LayoutCell_t* /*tile*/) {}
    virtual void OnComboBonus(LayoutCell_t* /*tile*/) {}
    virtual void OnGroupRemoved(const std::vector<LayoutCell_t*>* /*removed*/, int /*unused*/) {}
    virtual void OnGroupFacesChanged(const std::vector<LayoutCell_t*>* /*tiles*/) {}
    virtual void OnLayerTilesRemoved(const std::vector<LayoutCell_t*>* /*others*/,
                                     const std::vector<LayoutCell_t*>* /*second*/) {}
    // The swap mode's regrouping; each arrival is reported back with
    // Layout_t::OnTileMoveFinished(record index).
    virtual void OnTilesMoved(const std::vector<LayoutFlight_t>* /*flights*/) {}
};

}  // namespace Velm
