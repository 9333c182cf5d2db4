#pragma once

namespace Velm {

// The game mode of a level. The name of each value is also the text-table key of
// the mode's label.
enum GameType {
    GameUsual = 0,
    GameSwapColl = 1,
    GameOneColl = 2,
    GameMemory = 3,
    GameLogicalPair = 4,
    GameOneUnPairColl = 5,
    Game4Rivers = 6
};

}  // namespace Velm
