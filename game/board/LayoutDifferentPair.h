#pragma once

#include "game/board/Layout.h"

#include <vector>

namespace Velm {

// Game type 5 ("GameOneUnPairColl"), and the base of the one-pair layer mode: the
// layout is played one layer at a time from the highest layer down. Every layer
// holds pairs of identical tiles and exactly two tiles without a twin; removing
// those two removes the whole layer. Only tiles of the current layer can be
// hovered and chosen; tiles of other layers are drawn as blocked.
//
// Faces match by equality (FaceEqualityMatch: faces 44 and above all match each
// other); the tile set's families do not apply. These modes count no combos and
// remove no linked tiles.
class LayoutDifferentPair_t : public Layout_t {
public:
    // The deal collects different faces for every layer from the standard set,
    // which holds 42: a layout with a larger layer is refused.
    static constexpr int kMaxLayerTiles = 42;

    // Another active tile of the current layer matches the tile.
    bool HasPartnerOnLayer(int tile);

    // Undoes the last move as the usual game does and makes the highest layer
    // among the tiles brought back current again when it lies above the current
    // one (a layer's pair brings its layer back; a hint tile or tool move of the
    // current layer changes nothing). False, and nothing changes, when there is
    // nothing to undo or a tool or an operation is under way.
    bool Undo() override;
    // Deals layer by layer: the odd-pair mode gives each layer two single faces
    // and twins for the rest. Refused (GetDealError, faces untouched) when a
    // layer holds more than 42 tiles.
    void Deal(bool retryUntilPairs) override;
    // Hovers only tiles of the current layer; other hits hover nothing and send
    // nothing. No free or kind test, so an active tool's own tile can be chosen
    // again to drop the tool.
    void HandleMouseMove(int x, int y) override;
    bool TilesMatch(int a, int b, bool byFace) override;
    // Pairs of two ordinary tiles of the current layer neither of which has a
    // partner there; shuffled.
    void FindAvailablePairs() override;
    // Both free from above and neither with a partner on the current layer; the
    // two need not match each other.
    bool CanRemovePair(int a, int b) override;
    // Every layer is cleared.
    bool IsCleared() override;
    // Removes the pair and every other tile of the current layer as one move,
    // and goes one layer down.
    void RemoveSelectedPair() override;
    // Not hidden under the layer above.
    bool IsTileFree(int tile) override;
    // Every tile off the current layer.
    bool IsTileBlocked(const LayoutCell_t* cell, int tile) override;
    // topLayer becomes the highest layer holding an active tile.
    void AfterLoad() override;

    int currentLayer = -1;  // the layer being played; -1 when every layer is cleared
    int topLayer = -1;      // the highest layer with an active tile after load

protected:
    // How the tiles of one layer (shuffled, c = tiles.size()) get the c different
    // faces collected for it. The odd-pair mode: tiles 0 and 1 get faces 0 and 1,
    // then two tiles per face; an odd last tile joins the twins before it (or,
    // on a layer of three, takes a third single face), so the layer keeps exactly
    // two tiles without a twin.
    virtual void AssignLayerFaces(const std::vector<int>& tiles, const std::vector<int>& faces);
    // The deal shared by both layer modes.
    void DealLayers();
};

}  // namespace Velm
