// The registry of mini-games: this game has none to make, and two ids are played behind the
// board's own shadow.

#include <gtest/gtest.h>

#include "game/shell/ui/MiniGameRegistry.h"

namespace {

TEST(MiniGameRegistry, MakesNoGameAndNamesTheBoardHandledIds) {
    const Velm::MiniGameRegistry& registry = Velm::MiniGameRegistry::Instance();
    for (int id = -1; id <= 20; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(registry.Create(id, nullptr), nullptr);
        EXPECT_EQ(Velm::MiniGameRegistry::IsBoardHandled(id), id == 10 || id == 11);
    }
}

TEST(MiniGameRegistry, ASkippedGameSaysSoAndReportsItsEndToItsListener) {
    struct Listener : Velm::MiniGameListener {
        int ends = 0;
        void OnMiniGameFinished(Velm::MiniGame*) override { ++ends; }
    } listener;
    struct Quick : Velm::MiniGame {
        using MiniGame::MiniGame;
        void End() override { ReportFinished(); }
    } game(&listener);
    EXPECT_FALSE(game.WasSkipped());
    game.MarkSkipped();
    game.End();
    EXPECT_TRUE(game.WasSkipped());
    EXPECT_EQ(listener.ends, 1);
}

}  // namespace
