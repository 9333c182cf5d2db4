#pragma once

#include "game/board/Layout.h"
#include "game/board/Layout4Rivers.h"
#include "game/board/LayoutDifferentPair.h"
#include "game/board/LayoutLogicPair.h"
#include "game/board/LayoutMemory.h"
#include "game/board/LayoutOneColl.h"
#include "game/board/LayoutSwapColl.h"

namespace Velm {

// The seven layouts, one object per game mode for the whole run. Each is set up
// once with Init after the start-up resources are loaded, then loaded and dealt
// again for every level of its mode.
extern Layout_t gLayoutUsual;                       // game type 0 and any type without a layout of its own
extern LayoutSwapColl_t gLayoutSwapColl;            // 1 "GameSwapColl"
extern LayoutOneColl_t gLayoutOneColl;              // 2 "GameOneColl"
extern LayoutMemory_t gLayoutMemory;                // 3 "GameMemory"
extern LayoutLogicPair_t gLayoutLogicPair;          // 4 "GameLogicalPair"
extern LayoutDifferentPair_t gLayoutDifferentPair;  // 5 "GameOneUnPairColl"
extern Layout4Rivers_t gLayout4Rivers;              // 6 "Game4Rivers"

// The layout of a game type; types outside 1 .. 6 play the usual game.
Layout_t& LayoutForGameType(int gameType);

}  // namespace Velm
