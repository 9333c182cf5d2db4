#pragma once

// The faces of the "Red lacquer" set: the same 42 groups as the classic set (see TileSets.h),
// drawn on a warm cream face in lacquer inks (black, vermilion, teal, ochre) and drawn
// anew: dots as holed coins, bamboo as painted stalks, characters as a large numeral over the
// sign of the suit, winds as compass letters, and dragons, flowers and seasons as pictures of
// their own.

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

// The face of group 0 .. 41 on a tile blank with the given back colour.
Canvas LacquerFace(Studio& studio, int group, const Rgba& back);

}  // namespace mkcontent
