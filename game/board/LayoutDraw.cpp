#include "game/board/Layout.h"

#include <algorithm>
#include <cstring>

namespace Velm {

// --- Drawing ---------------------------------------------------------------------

void Layout_t::Draw(Graphics* g) {
    const int alpha = static_cast<int>(fadeAlpha);
    for (size_t layer = 0; layer < drawLists.size(); ++layer) {
        for (LayoutCell_t* cell : drawLists[layer]) {
            if (!cell->active || !cell->sprite || !cell->visible) continue;
            // The play screen draws its per-tile effects under the tile.
            Listener().OnDrawTileEffects(g, cell);
            DrawTile(g, *cell, alpha);
        }
        // Then its effects that belong to this layer, under the next layer.
        Listener().OnDrawLayer(static_cast<int>(layer), g);
    }
}

void Layout_t::DrawTile(Graphics* g, LayoutCell_t& cell, int alpha) {
    const int index = cell.tileIndex;
    DrawTileFace(g, cell, alpha);
    if (cell.effect) {
        cell.effect->SetScale(fadeAlpha);
        cell.effect->Draw(g);
    }
    if (showBlocked && blockedPicture && IsTileBlocked(&cell, index)) {
        blockedPicture->SetCenter(cell.x, cell.y);
        blockedPicture->Draw(g, alpha);
    }
    if (cell.shuffleAnim != nullptr) cell.shuffleAnim->DrawTransformed(g, BoardAnim::kOwnColour);
    if (index == hovered && index != selected && hoverMarker) hoverMarker->Draw(g, alpha);
    if (index == selected && selectionMarker && DrawsSelectionMarker()) selectionMarker->DrawTransformed(g, alpha);
}

void Layout_t::DrawTileFace(Graphics* g, LayoutCell_t& cell, int alpha) { cell.sprite->Draw(g, alpha); }

// --- Per tick ----------------------------------------------------------------------

void Layout_t::Update() {
    TickCombo();

    if (fadeMode == 0) {
        fadeAlpha += fadeStep;
        if (fadeAlpha >= 255.0f) {
            fadeAlpha = 255.0f;
            fadeMode = 2;
        }
    } else if (fadeMode == 1) {
        fadeAlpha -= fadeStep;
        if (fadeAlpha <= 0.0f) {
            fadeAlpha = 0.0f;
            fadeMode = 2;
        }
    }

    if (selected >= 0 && selectionMarker) selectionMarker->Advance();
    if (hovered >= 0 && hoverMarker) hoverMarker->Advance();

    AdvanceShuffle();

    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (!cell.effect) continue;
        cell.effect->Update();
        if (cell.effect->IsDone()) cell.effect.reset();
    }
}

// --- Scan order ----------------------------------------------------------------------

void Layout_t::CollectTilesInScanOrder() {
    scanList.clear();
    unsigned char scratch[kLayers][kRows][kColumns];
    std::memcpy(scratch, grid, sizeof(scratch));
    auto clear = [&](int layer, int row, int column) {
        if (row >= 0 && row < kRows && column >= 0 && column < kColumns) scratch[layer][row][column] = 0;
    };
    const int layers = std::min(layerCount, kLayers);
    const int rows = std::min(rowCount, kRows);
    const int columns = std::min(colCount, kColumns);
    // Each tile is met first at its upper right cell; clearing its other cells
    // lists it once.
    for (int layer = 0; layer < layers; ++layer) {
        for (int r = 0; r < rows; ++r) {
            for (int c = columns - 1; c >= 0; --c) {
                if (scratch[layer][r][c] == 0) continue;
                const int tile = FindTileAt(layer, r, c);
                if (tile >= 0 && Cell(tile).active) scanList.push_back(tile);
                clear(layer, r, c);
                clear(layer, r + 1, c);
                clear(layer, r, c - 1);
                clear(layer, r + 1, c - 1);
            }
        }
    }
}

}  // namespace Velm
