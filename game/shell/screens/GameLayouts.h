#pragma once

namespace Velm {

class BoardTileSets;
class BoardVisuals;
class Layout_t;

// Set-up and release of the seven global layouts (one per game mode) for the application.
// The layouts live for the whole process, longer than the application and its resources, so
// they take their pictures from the visuals given here and give them back before the
// application goes. Main thread.

// Attaches the tile sets and the visuals (null: pictures that draw nothing) to every layout
// and sets it up. Must run before any layout file is loaded: a layout set up without visuals
// keeps blank pictures.
void InitGameLayouts(const BoardTileSets* tileSets, BoardVisuals* visuals);
// Deletes every picture, marker, animation and tile effect a layout holds and detaches the
// tile sets and visuals; the layouts are left empty.
void ReleaseGameLayouts();
// The same for one layout.
void ReleaseLayoutPictures(Layout_t& layout);

}  // namespace Velm
