#include "game/shell/screens/GameLayouts.h"

#include "game/board/GlobalLayouts.h"

namespace Velm {

namespace {

Layout_t* const kLayouts[] = {&gLayoutUsual,     &gLayoutSwapColl,      &gLayoutOneColl, &gLayoutMemory,
                              &gLayoutLogicPair, &gLayoutDifferentPair, &gLayout4Rivers};

}  // namespace

void InitGameLayouts(const BoardTileSets* tileSets, BoardVisuals* visuals) {
    for (Layout_t* layout : kLayouts) {
        layout->SetTileSets(tileSets);
        layout->SetVisuals(visuals);
        layout->Init();
    }
}

void ReleaseLayoutPictures(Layout_t& layout) {
    layout.ClearTiles();
    for (LayoutTile_t& tile : layout.tiles) {
        for (LayoutCell_t& cell : tile.cells) {
            cell.effect.reset();
            cell.sprite.reset();
            cell.group = nullptr;
        }
    }
    layout.selectionMarker.reset();
    layout.selectionMarker2.reset();
    layout.hoverMarker.reset();
    layout.shuffleAnims.clear();
    layout.bridgeShine.reset();
    layout.blockedPicture.reset();
    layout.SetTileSets(nullptr);
    layout.SetVisuals(nullptr);
}

void ReleaseGameLayouts() {
    for (Layout_t* layout : kLayouts) ReleaseLayoutPictures(*layout);
}

}  // namespace Velm
