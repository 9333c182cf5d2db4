// One layout object per game mode, picked by game type.

#include "game/board/GameType.h"
#include "game/board/GlobalLayouts.h"

#include <gtest/gtest.h>

namespace {

TEST(GlobalLayouts, EachGameTypeHasItsModesLayout) {
    struct Case {
        int type;
        Velm::Layout_t* layout;
    };
    const Case cases[] = {{Velm::GameUsual, &Velm::gLayoutUsual},
                          {Velm::GameSwapColl, &Velm::gLayoutSwapColl},
                          {Velm::GameOneColl, &Velm::gLayoutOneColl},
                          {Velm::GameMemory, &Velm::gLayoutMemory},
                          {Velm::GameLogicalPair, &Velm::gLayoutLogicPair},
                          {Velm::GameOneUnPairColl, &Velm::gLayoutDifferentPair},
                          {Velm::Game4Rivers, &Velm::gLayout4Rivers},
                          {7, &Velm::gLayoutUsual},
                          {-1, &Velm::gLayoutUsual}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(&Velm::LayoutForGameType(c.type), c.layout);
    }
}

}  // namespace
