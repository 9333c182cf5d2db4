#include "game/board/GlobalLayouts.h"

#include "game/board/GameType.h"

namespace Velm {

Layout_t gLayoutUsual;
LayoutSwapColl_t gLayoutSwapColl;
LayoutOneColl_t gLayoutOneColl;
LayoutMemory_t gLayoutMemory;
LayoutLogicPair_t gLayoutLogicPair;
LayoutDifferentPair_t gLayoutDifferentPair;
Layout4Rivers_t gLayout4Rivers;

Layout_t& LayoutForGameType(int gameType) {
    switch (gameType) {
        case GameSwapColl: return gLayoutSwapColl;
        case GameOneColl: return gLayoutOneColl;
        case GameMemory: return gLayoutMemory;
        case GameLogicalPair: return gLayoutLogicPair;
        case GameOneUnPairColl: return gLayoutDifferentPair;
        case Game4Rivers: return gLayout4Rivers;
        default: return gLayoutUsual;
    }
}

}  // namespace Velm
