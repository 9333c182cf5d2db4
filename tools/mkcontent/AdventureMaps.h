#pragma once

// The adventure's stage maps ("images/stages/map<n>", the stages' "MapImage"): an inked map
// on old paper for each stage, its name in a cartouche at the top, and the places its levels
// stand on drawn where the stage file puts the level markers ("MapPos": the top-left corners
// of the 48 x 48 markers, kept here as the feet of the places). Buttons of the map screen sit
// at the bottom corners, so the places keep clear of them.

#include <array>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

struct MapPlace {
    int markerX, markerY;  // top-left of the level's marker
};

// The three places of stage 1 (the lake) and stage 2 (the mountains), in level order.
const std::array<MapPlace, 3>& GetMapPlaces(int stage);

Canvas StageMap(Studio& s, int stage);

}  // namespace mkcontent
