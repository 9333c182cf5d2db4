#pragma once

// The opening comic's story panels ("images/loc/comix1" .. "comix3"): each a picture drawn to
// tell its two lines of story, framed on a panel with the lines under it.
//   1 "The lanterns on the lake went out one by one." - a row of lanterns on the lake, the
//     last still burning, the others snuffed and smoking.
//   2 "Each pair of tiles you match lights one of them again." - two alike tiles glowing, and
//     the spark of their match flying to a lantern that lights up.
//   3 "The lanterns of the lake went dark. Match the tiles to light them again!" - the dark
//     lake and its dark lanterns, and a heap of tiles on the shore with one pair glowing.

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

constexpr int kStoryPanelCount = 3;

Canvas StoryPanel(Studio& s, int index);

}  // namespace mkcontent
