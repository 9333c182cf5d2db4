#pragma once

#include "game/board/Layout.h"

namespace Velm {

// The usual game's layout, one object for the whole run (game type 0 and any type
// without a layout of its own). Set up once with Init after the start-up
// resources are loaded; loaded and dealt again for every level.
extern Layout_t gLayoutUsual;

}  // namespace Velm
