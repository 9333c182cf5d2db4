#pragma once

// The play screen's backgrounds: one scene per stage, each by day (dusk) and by night, with
// the middle, where the board stands, darkened a little. The scenes are numbered as their
// pictures, "images/stages/day<n>" and "night<n>":
//   1 the moonlit lake (floating lanterns), 2 the bamboo grove, 3 the silver mountains
//   (snowy peaks), 4 the temple garden (pagodas and a string of lanterns).

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

constexpr int kStageSceneCount = 4;

Canvas StageScene(Studio& s, int scene, bool night);

}  // namespace mkcontent
