#pragma once

#include "game/board/Layout.h"

#include <memory>
#include <string>

namespace Velm {

// Game type 3 ("GameMemory"): all tiles lie face down. The player turns up one
// tile (`selected`), then a second (`secondTile`); both stay face up for
// kRevealTicks update ticks, then the pair is removed when the faces match, or
// both turn face down again. Tiles need only be free from above, the first and
// the second alike. Faces match by equality (FaceEqualityMatch). The face-down
// picture is group 42 (face 43) of the current tile set. Everything else,
// the deal included, is the usual game.
class LayoutMemory_t : public Layout_t {
public:
    static constexpr int kRevealTicks = 50;
    // Top-left corner of the face-down picture from a tile's pivot, pixels.
    static constexpr int kFaceDownOffsetX = 29;
    static constexpr int kFaceDownOffsetY = 34;
    static constexpr int kFaceDownGroup = 42;

    // Forgets any turned-up tiles, then loads as usual.
    bool Load(const std::string& layoutName) override;
    // The usual tick, then the reveal timer: when it runs out the pair is removed
    // (faces matched) or both tiles turn face down again.
    void Update() override;
    // First click turns up a free tile; a second click on another tile that is
    // free from above turns it up and starts the reveal timer (a click on a
    // covered tile is only rejected). Ignored (false) while an operation is
    // pending.
    bool HandleClick(int x, int y) override;
    // Frozen while two tiles are shown; otherwise any hit tile is hovered (with a
    // tool only ordinary tiles and the tool's own tile).
    void HandleMouseMove(int x, int y) override;
    bool TilesMatch(int a, int b, bool byFace) override;
    // Active pairs of two ordinary or two collection tiles that match and are
    // free from above (the hidden faces still count); shuffled.
    void FindAvailablePairs() override;
    // The tiles match and both are free from above.
    bool CanRemovePair(int a, int b) override;
    // Removes secondTile and selected as one move; no combos, no linked tiles.
    void RemoveSelectedPair() override;
    // Free from above only.
    bool IsTileFree(int tile) override;
    // Every load path forgets the turned-up tiles.
    void AfterLoad() override;

    int secondTile = -1;         // the second tile turned up
    int revealTimer = 0;         // ticks the two tiles stay face up
    bool revealMatched = false;  // the two tiles turned up match

protected:
    // Face up (its own picture) for the two turned-up tiles, face down for the
    // rest. The hover marker is drawn as usual, the selection marker never.
    void DrawTileFace(Graphics* g, LayoutCell_t& cell, int alpha) override;
    bool DrawsSelectionMarker() const override { return false; }

private:
    void ForgetReveal();

    std::unique_ptr<TileSprite> mFaceDown;
};

}  // namespace Velm
