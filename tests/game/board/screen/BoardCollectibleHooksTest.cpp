// The play screen's collectible and mini-game hooks: idle at every level start, a click the
// layout leaves reaches the jewels, a found jewel counts as the kind says; the story's end
// starts the level's mini-game, which runs in place of the board or behind its shadow, and a
// mini-game the registry cannot make leaves the level to the board.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "game/board/effects/CollectibleHooks.h"
#include "game/shell/ui/MiniGameRegistry.h"
#include "tests/game/board/screen/ScreenTestSupport.h"
#include "game/shell/ui/ButtonHint.h"
#include "widgets/ButtonWidget.h"

namespace {

using screentest::ScreenFixture;

class BoardHooksTest : public ::testing::Test {
protected:
    void TearDown() override {
        JewelsManager_t::Instance().jewels.clear();
        CollectibleRegistry_t::Instance().Clear();
    }
    // A jewel of the given kind with its picture's box at (x, y), 20 x 20.
    static Jewel_t& AddJewel(int x, int y, int kind) {
        Jewel_t jewel;
        jewel.x = x;
        jewel.y = y;
        jewel.width = 20;
        jewel.height = 20;
        jewel.kind = kind;
        JewelsManager_t::Instance().jewels.push_back(jewel);
        return JewelsManager_t::Instance().jewels.back();
    }
};

TEST_F(BoardHooksTest, LevelStartLeavesTheProgressValueAtZeroWithoutItems) {
    ScreenFixture f({{"Play", 0, 5}}, true);
    f.EnterAndPlay();
    EXPECT_EQ(f.board->collectibles.itemsNeeded, 0);
    EXPECT_EQ(f.board->collectibles.value.current, 0.0f);
    EXPECT_FALSE(std::isnan(f.board->collectibles.value.target));
    EXPECT_EQ(JewelsManager_t::Instance().listener, f.board.get());
}

TEST_F(BoardHooksTest, AClickOnAnEmptySpotReachesTheJewels) {
    ScreenFixture f({{"Play", 0, 5}}, false);
    f.EnterAndPlay();
    const int score = f.Score();
    // Nothing there: nothing happens.
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 0);
    // A score jewel at that spot is found once.
    Jewel_t& jewel = AddJewel(990, 750, 1);  // counts as a score jewel in simple mode
    f.board->MouseUp(1000, 760, 1);
    EXPECT_TRUE(jewel.taken);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 1);
    EXPECT_EQ(f.board->collectibles.jewelCounter, 1);
    EXPECT_EQ(f.Score(), score);  // stages give score jewels no points here
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(f.host->Count("jewelfoundscore"), 1);
}

TEST_F(BoardHooksTest, AnItemJewelCountsAndFliesToTheValue) {
    ScreenFixture f({{"Play", 0, 5}}, true);
    f.EnterAndPlay();
    Progress_t* record = ProfileManager_t::Instance()->GetCurrentProgress();
    const int before = record->jewelCount;
    AddJewel(990, 750, 1);
    f.board->MouseUp(1000, 760, 1);
    EXPECT_EQ(record->jewelCount, before + 1);
    EXPECT_EQ(f.host->Count("jewelfound"), 1);
    ASSERT_EQ(f.board->listC.Count(), 1);
    EXPECT_EQ(f.board->listC.At(0)->mode, 1);
    EXPECT_EQ(f.board->listC.At(0)->factor, 0.0f);  // no item needed: no share
}

// ---- Mini-game hooks ----

namespace minigames {

using Velm::BoardWidjet_t;

// A mini-game that records what the board does with it; it ends when asked to.
struct FakeMiniGame : Velm::MiniGame {
    using MiniGame::MiniGame;
    void Start() override { calls.push_back("start"); }
    void Update() override { ++updates; }
    void MouseUp(int, int, int) override { calls.push_back("click"); }
    void End() override {
        calls.push_back("end");
        ReportFinished();
    }
    void Finish() override { calls.push_back("finish"); }
    void Win() { ReportFinished(); }
    std::vector<std::string> calls;
    int updates = 0;
};

class MiniGameHooksTest : public ::testing::Test {
protected:
    void TearDown() override { Velm::MiniGameRegistry::Instance().SetCreatorForTests(nullptr); }

    // The registry makes fake games; the last one made is `game`.
    void RegistryMakesGames() {
        Velm::MiniGameRegistry::Instance().SetCreatorForTests([this](int, Velm::MiniGameListener* listener) {
            auto made = std::make_unique<FakeMiniGame>(listener);
            game = made.get();
            return made;
        });
    }
    // A playing adventure level of a stage that names mini-game `id` for it.
    std::unique_ptr<ScreenFixture> PlayingLevelNaming(int id) {
        auto f = std::make_unique<ScreenFixture>(std::vector<screentest::LevelSpec>{{"Play", 0, 5}}, true);
        f->catalogue.stages[0]->miniGames.emplace_back(0, id);
        f->EnterAndPlay();
        return f;
    }
    static bool Visible(Velm::Widget* widget) { return widget != nullptr && widget->mVisible; }
    static void TickUntil(ScreenFixture& f, int state, int limit = 400) {
        for (int i = 0; i < limit && f.board->boardState != state; ++i) f.board->Update();
    }

    FakeMiniGame* game = nullptr;
};

TEST_F(MiniGameHooksTest, ALevelNamingAMiniGameThatCannotBeMadeIsPlayedWithItsBars) {
    for (bool started : {false, true}) {
        SCOPED_TRACE(started ? "the profile marks it started" : "not started");
        ScreenFixture f({{"Play", 0, 5}}, true);
        f.catalogue.stages[0]->miniGames.emplace_back(0, 3);
        if (started) ProfileManager_t::Instance()->MarkMiniGameStarted(3);
        f.EnterAndPlay();
        EXPECT_EQ(f.board->miniGame, nullptr);
        EXPECT_FLOAT_EQ(f.board->topBar.targetAlpha, 255.0f);
        EXPECT_GT(f.board->topBar.alpha, 200.0f);
        EXPECT_GT(f.board->bottomBar.alpha, 200.0f);
    }
}

TEST_F(MiniGameHooksTest, TheStoryEndStartsTheMiniGameOrTheLevelName) {
    struct Case {
        const char* why;
        int id;
        bool registryMakes;
        int state;       // after the story's end
        bool levelName;  // the level-name window opened
        bool skipShown;
        bool controlsShown;
    };
    const Case cases[] = {
            {"no mini-game", -1, true, BoardWidjet_t::kStateLevelName, true, false, true},
            {"none the registry can make", 3, false, BoardWidjet_t::kStateLevelName, true, false, true},
            {"a game in place of the board", 3, true, BoardWidjet_t::kStateMiniGame, false, true, false},
            {"a board-handled game waits for the shadow", 10, true, BoardWidjet_t::kStateMiniGameShadow, false, false,
             true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.registryMakes) RegistryMakesGames();
        auto f = PlayingLevelNaming(c.id);
        f->host->dialogs.clear();
        f->board->miniGameId = c.id;
        f->board->OnHistoryDone();
        EXPECT_EQ(f->board->boardState, c.state);
        EXPECT_EQ(f->host->Opened(Velm::BoardDialog::LevelName), c.levelName);
        EXPECT_EQ(Visible(f->board->skipGameButton), c.skipShown);
        EXPECT_EQ(Visible(f->board->shuffleButton), c.controlsShown);
        EXPECT_FALSE(Visible(f->board->skipDialogButton));
        EXPECT_EQ(ProfileManager_t::Instance()->IsMiniGameStarted(3), c.state == BoardWidjet_t::kStateMiniGame);
        Velm::MiniGameRegistry::Instance().SetCreatorForTests(nullptr);
    }
}

TEST_F(MiniGameHooksTest, AMiniGameInPlaceOfTheBoardTakesThePointerAndEndsWithTheControlsBack) {
    RegistryMakesGames();
    auto f = PlayingLevelNaming(3);
    f->host->dialogs.clear();
    f->board->miniGameId = 3;
    f->board->OnHistoryDone();
    ASSERT_NE(game, nullptr);
    f->Ticks(3);
    EXPECT_EQ(game->updates, 3);
    EXPECT_TRUE(f->board->IsMiniGameShowing());
    f->board->MouseUp(100, 100, 1);
    EXPECT_EQ(game->calls, std::vector<std::string>{"click"});

    game->Win();
    EXPECT_TRUE(ProfileManager_t::Instance()->IsMiniGameCompleted(3));
    EXPECT_TRUE(Visible(f->board->shuffleButton));
    EXPECT_FALSE(Visible(f->board->skipGameButton));
    EXPECT_EQ(game->calls.back(), "finish");
    EXPECT_FALSE(f->host->Opened(Velm::BoardDialog::LevelName));  // won, not skipped
}

TEST_F(MiniGameHooksTest, SkipGameEndsTheGameAndTheLevelNameFollows) {
    RegistryMakesGames();
    auto f = PlayingLevelNaming(3);
    f->board->miniGameId = 3;
    f->board->OnHistoryDone();
    ASSERT_NE(game, nullptr);
    f->host->dialogs.clear();
    f->board->ButtonDepress(BoardWidjet_t::kSkipDialog);  // nothing in these states
    EXPECT_TRUE(game->calls.empty());
    f->board->ButtonDepress(BoardWidjet_t::kSkipGame);
    EXPECT_TRUE(game->WasSkipped());
    EXPECT_EQ(game->calls, (std::vector<std::string>{"end", "finish"}));
    EXPECT_FALSE(Visible(f->board->skipGameButton));
    EXPECT_TRUE(f->host->Opened(Velm::BoardDialog::LevelName));
    EXPECT_EQ(f->board->boardState, BoardWidjet_t::kStateLevelName);
}

TEST_F(MiniGameHooksTest, ABoardHandledGameRunsBetweenTheRiseAndFallOfItsShadow) {
    RegistryMakesGames();
    auto f = PlayingLevelNaming(10);
    f->board->miniGameId = 10;
    f->board->OnHistoryDone();
    ASSERT_EQ(f->board->boardState, BoardWidjet_t::kStateMiniGameShadow);
    ASSERT_NE(f->board->backShadow, nullptr);
    EXPECT_EQ(game, nullptr);  // made once the shadow has risen

    TickUntil(*f, BoardWidjet_t::kStateMiniGame);
    ASSERT_EQ(f->board->boardState, BoardWidjet_t::kStateMiniGame);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->calls, std::vector<std::string>{"start"});
    EXPECT_TRUE(Visible(f->board->skipGameButton));
    EXPECT_TRUE(Visible(f->board->hintButton));
    EXPECT_FALSE(Visible(f->board->shuffleButton));
    f->Ticks(200);  // the shadow falls and goes
    EXPECT_EQ(f->board->backShadow, nullptr);

    f->board->ButtonDepress(BoardWidjet_t::kSkipGame);
    EXPECT_EQ(f->board->boardState, BoardWidjet_t::kStateMiniGameClosing);
    EXPECT_NE(f->board->backShadow, nullptr);
    TickUntil(*f, BoardWidjet_t::kStateMiniGameClosed);
    ASSERT_EQ(f->board->boardState, BoardWidjet_t::kStateMiniGameClosed);
    EXPECT_EQ(game->calls.back(), "finish");
    f->host->dialogs.clear();
    TickUntil(*f, BoardWidjet_t::kStateLevelName);
    EXPECT_EQ(f->board->boardState, BoardWidjet_t::kStateLevelName);
    EXPECT_EQ(f->board->backShadow, nullptr);
    EXPECT_FALSE(Visible(f->board->skipGameButton));
    EXPECT_FALSE(Visible(f->board->hintButton));
    EXPECT_FLOAT_EQ(f->board->topBar.targetAlpha, 255.0f);
    EXPECT_TRUE(f->host->Opened(Velm::BoardDialog::LevelName));
}

TEST_F(MiniGameHooksTest, ABoardHandledGameTheRegistryCannotMakeGivesTheLevelBack) {
    auto f = PlayingLevelNaming(11);
    f->board->miniGameId = 11;
    f->board->OnHistoryDone();
    f->host->dialogs.clear();
    TickUntil(*f, BoardWidjet_t::kStateLevelName, 600);
    EXPECT_EQ(f->board->boardState, BoardWidjet_t::kStateLevelName);
    EXPECT_TRUE(f->host->Opened(Velm::BoardDialog::LevelName));
    EXPECT_EQ(f->board->backShadow, nullptr);
    EXPECT_FALSE(ProfileManager_t::Instance()->IsMiniGameStarted(11));
}

TEST_F(MiniGameHooksTest, TheDebugNumberPadStartsTheMiniGameOfTheDigit) {
    RegistryMakesGames();
    auto f = PlayingLevelNaming(-1);
    f->host->debug = true;
    f->board->KeyUp(0xC0);      // debug keys on
    f->board->KeyUp(0x60 + 4);  // number pad 4
    EXPECT_EQ(f->board->miniGameId, 4);
    EXPECT_EQ(f->board->boardState, BoardWidjet_t::kStateMiniGame);
    ASSERT_NE(game, nullptr);
    EXPECT_TRUE(ProfileManager_t::Instance()->IsMiniGameStarted(4));
}

}  // namespace minigames

}  // namespace
