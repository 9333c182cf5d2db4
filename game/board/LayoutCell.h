#pragma once

#include "game/board/BoardVisuals.h"

#include <memory>
#include <vector>

namespace Velm {

class BoardTileGroup;

// One grid cell covered by a tile. A tile covers a 2 by 2 block of cells on one
// layer and is stored as four consecutive cells (LayoutTile_t): its anchor (column
// c, row r), then (c + 1, r), (c, r + 1), (c + 1, r + 1). Layer, face, kind, tile
// index and group value are equal in all four; the remaining fields are kept in
// the first cell only, and listeners and lists always receive a pointer to a
// tile's first cell.
struct LayoutCell_t {
    bool active = false;  // the tile is on the board
    int column = 0;
    int row = 0;
    int layer = 0;
    int face = 0;  // 1-based face number into the current tile set; 0 = no face yet
    int kind = 0;  // 0 ordinary, 1 swap, 2 change, 3 fixed face, 4 remover, 5 hint, 6 collection, 7+ linked
    std::unique_ptr<TileSprite> sprite;     // owned; made on first use, kept across levels
    BoardAnim* shuffleAnim = nullptr;       // running shuffle animation over the tile; not owned
    const BoardTileGroup* group = nullptr;  // the face's group in the current tile set; not owned
    bool settled = false;                   // merge bookkeeping
    int homeLayer = 0;                      // merge bookkeeping: the layer before the merge lifted the tile
    float x = 0.0f;                         // the sprite's pivot on screen, pixels
    float y = 0.0f;
    int tileIndex = -1;
    int groupValue = 0;                  // fifth number of the tile's layout line; the swap mode deals by it
    bool listed = false;                 // draw-order bookkeeping
    std::unique_ptr<TileEffect> effect;  // owned; the combo hint and similar
    bool visible = true;                 // active and not hidden under the layer above

    // On a tile's first cell: false deletes the attached effect and takes the tile
    // off; true puts it on (the layout makes the sprite). No change, no effect.
    void SetActive(bool on);
};

struct LayoutTile_t {
    LayoutCell_t cells[4];
};

// One record of a move in the undo history. The positions are used by action 2
// (moved) only and are zero otherwise.
struct LayoutMove_t {
    enum Action {
        kRemoved = 0,      // removed, or its face changed
        kRemovedLink = 1,  // removed as a link between two linked tiles
        kMoved = 2,        // moved to another cell
        kHintUsed = 3      // a hint tile consumed by a click
    };
    int tile = -1;
    int face = 0;  // the face before the move
    int action = kRemoved;
    float oldColumn = 0.0f;
    float oldRow = 0.0f;
    float oldLayer = 0.0f;
    float newColumn = 0.0f;
    float newRow = 0.0f;
    float newLayer = 0.0f;
};

using LayoutMoveList = std::vector<LayoutMove_t>;

// One tile flying to new cells (swap mode's regrouping), sent to the listener.
struct LayoutFlight_t {
    int tile = -1;
    float newColumn = 0.0f;
    float newRow = 0.0f;
    float newLayer = 0.0f;
    float oldColumn = 0.0f;
    float oldRow = 0.0f;
    float oldLayer = 0.0f;
};

}  // namespace Velm
