#pragma once

// The pictures of the help pages, made of real tiles laid out as the board lays them: free and
// blocked tiles ("images/help/page1"), the helper tiles ("images/help/page3"), and one picture
// per game mode ("images/help/swap", "onepair", "memory", "logic", "oddpair", "rivers").

#include <vector>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

// classic: the 50 group pictures of the first set; pairs: those of the logical-pairs set.
void MakeHelpPictures(Studio& studio, const std::vector<Canvas>& classic, const std::vector<Canvas>& pairs);

}  // namespace mkcontent
