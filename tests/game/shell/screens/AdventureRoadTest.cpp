// A scripted headless run of the adventure on the generated content: a new adventure, the
// comic skipped once and watched once, the map, every level of both stages played to its end
// (back to the map between the stages, its current marker moved on), one level lost to the
// clock and replayed, the hint tip shown once, and after the last level the closing story and
// the score table with the new entry highlighted.
//
// The player's actions are made on the widgets themselves; the application runs its real loop
// in between. To keep the run short each stage is cut to its first two levels, both played on
// the two-tile layout.

#include <gtest/gtest.h>

#include <string>

#include "game/board/GlobalLayouts.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/screens/ComixWidget.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/GameOverWidget.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/HighScoresDialog.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/MapWidget.h"
#include "game/shell/screens/TipWidget.h"
#include "game/shell/ui/FlyWidget.h"
#include "graphics/Image.h"
#include "tests/game/shell/screens/RoadTestSupport.h"

#ifndef VELM_CONTENT_DIR
#define VELM_CONTENT_DIR ""
#endif

namespace {

using Velm::GameApp;
using Velm::GameScreenId;

using AdventureApp = roadtest::RoadApp;

// The help page of a level's mode comes up the first time the mode is played and holds the
// clock: centred at the size of its picture, one page with Close and no page buttons. The
// player closes it.
void CloseHelpPage(AdventureApp& app) {
    auto* help = dynamic_cast<HelpWidget_t*>(app.GetDialog(HelpWidget_t::kDialogId));
    if (help == nullptr) return;
    ASSERT_NE(Velm::IMAGE_HELP_BACK, nullptr);
    EXPECT_EQ(help->mWidth, Velm::IMAGE_HELP_BACK->GetWidth());
    EXPECT_EQ(help->mHeight, Velm::IMAGE_HELP_BACK->GetHeight());
    EXPECT_EQ(help->mX, (app.GetWidth() - help->mWidth) / 2);
    EXPECT_EQ(help->mY, (app.GetHeight() - help->mHeight) / 2);
    EXPECT_TRUE(help->closeButton != nullptr && help->closeButton->mVisible);
    EXPECT_TRUE(help->nextButton != nullptr && !help->nextButton->mVisible);
    help->ButtonDepress(2);
}

// Waits for play to start.
bool WaitForPlay(AdventureApp& app, Velm::BoardWidjet_t& board) {
    return app.RunUntil([&] {
        CloseHelpPage(app);
        return board.boardState == Velm::BoardWidjet_t::kStatePlaying &&
               app.GetDialog(HelpWidget_t::kDialogId) == nullptr;
    });
}

TEST(AdventureRoad, FromTheComicOverBothStagesToTheScoreTable) {
    const std::string content = VELM_CONTENT_DIR;
    if (!roadtest::ContentHas(content, {"ui/map.txt", "ui/comix.txt", "ui/gameover.txt", "ui/highscores.txt",
                                        "ui/board.txt", "ui/levelname.txt", "ui/levelcomplete.txt", "ui/losegameui.txt",
                                        "stages/stages.txt", "data/gameover.txt", "layouts/pair.lay", "termins.txt"})) {
        GTEST_SKIP() << "content in '" << content << "' is not complete";
    }
    roadtest::RoadHome home(content);

    AdventureApp app;
    app.Init();
    ASSERT_FALSE(app.IsShutdown());
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }, 60000));
    auto* menu = dynamic_cast<Velm::MainScreen*>(app.GetScreen(GameScreenId::MainMenu));
    auto* comic = dynamic_cast<Velm::ComixWidget*>(app.GetScreen(GameScreenId::Comix));
    auto* map = dynamic_cast<Velm::MapWidget_t*>(app.GetScreen(GameScreenId::Map));
    auto* board = dynamic_cast<Velm::BoardWidjet_t*>(app.GetScreen(GameScreenId::Board));
    auto* gameOver = dynamic_cast<Velm::GameOverWidget*>(app.GetScreen(GameScreenId::GameOver));
    auto* scores = dynamic_cast<Velm::HighScoresDialog*>(app.GetScreen(GameScreenId::HighScores));
    ASSERT_TRUE(menu != nullptr && comic != nullptr && map != nullptr && board != nullptr && gameOver != nullptr &&
                scores != nullptr);
    StageCatalogue_t* stages = app.GetAdventureStages();
    ASSERT_EQ(stages->GetStageCount(), 2);
    for (const auto& stage : stages->stages) {
        stage->games0.resize(2);
        for (const auto& level : stage->games0) level->layout = "pair.lay";
    }
    HighScoreTable_t::Instance()->SetDefaults();

    // A new adventure without a player: the name first, then the comic, skipped.
    menu->ButtonDepress(Velm::MainScreen::kAdventureGame);
    ASSERT_TRUE(roadtest::EnterName(app, "Road"));
    // (Game time runs fast: on a busy machine the comic may have played to its end before a
    // step of the loop shows it without its ice cover.)
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Comix) || app.Shown(GameScreenId::Map); }));
    if (app.Shown(GameScreenId::Comix)) comic->ButtonDepress(Velm::ComixWidget::kSkipButton);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Map); }, 1000));
    ASSERT_EQ(map->GetMarkers().size(), 2u);
    EXPECT_EQ(map->GetMarkers()[0].state, Velm::MapWidget_t::kCurrent);
    const int firstRingX = map->GetRingX();

    // Back to the menu and a new adventure again: this time the comic is watched to its end.
    map->ButtonDepress(1);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }));
    menu->ButtonDepress(Velm::MainScreen::kAdventureGame);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Comix); }));
    ASSERT_TRUE(app.RunUntil([&] { return comic->GetStep() == Velm::ComixWidget::kZooming; }, 2000));
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Map); }, 2000));

    // Stage one: its first level is lost to the clock and replayed, then all three are won.
    map->ButtonDepress(2);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Board); }));
    ASSERT_TRUE(WaitForPlay(app, *board));
    board->timeValue = 1;
    ASSERT_TRUE(app.RunUntil([&] { return app.GetDialog(Velm::BoardDialogId::kLose) != nullptr; }, 1000));
    auto* lose = dynamic_cast<Velm::FlyWidget_t*>(app.GetDialog(Velm::BoardDialogId::kLose));
    ASSERT_NE(lose, nullptr);
    ASSERT_TRUE(app.RunUntil([&] { return lose->flyState == Velm::FlyWidget_t::kResting; }));
    lose->ButtonDepress(1);  // replay
    ASSERT_TRUE(app.RunUntil([&] { return app.GetDialog(Velm::BoardDialogId::kLose) == nullptr; }));
    ASSERT_TRUE(WaitForPlay(app, *board));
    EXPECT_GT(board->timeValue, 100);
    Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
    EXPECT_FALSE(progress->tipSeen[23]);
    for (int level = 0; level < 2; ++level) {
        SCOPED_TRACE("stage 1, level " + std::to_string(level + 1));
        ASSERT_TRUE(roadtest::PlayToTheEnd(app, *board, [&] { CloseHelpPage(app); }));
        // The hint tip came up at the first pair; the end of the level closed it as seen.
        EXPECT_TRUE(progress->tipSeen[23]);
        EXPECT_EQ(app.GetDialog(Velm::TipWidget::kDialogId), nullptr);
        ASSERT_TRUE(roadtest::CloseLevelComplete(app));
    }
    // Back on the map, the current marker is the second stage's first level.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Map); }, 2000));
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProgress()->stage, 1);
    EXPECT_EQ(map->GetMarkers()[0].state, Velm::MapWidget_t::kCurrent);
    EXPECT_NE(map->GetRingX(), firstRingX);

    // Stage two, the last: after its last level the closing story, then the score table.
    map->ButtonDepress(2);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Board); }));
    for (int level = 0; level < 2; ++level) {
        SCOPED_TRACE("stage 2, level " + std::to_string(level + 1));
        ASSERT_TRUE(roadtest::PlayToTheEnd(app, *board, [&] { CloseHelpPage(app); }));
        ASSERT_TRUE(roadtest::CloseLevelComplete(app));
    }
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::GameOver); }, 2000));
    EXPECT_EQ(gameOver->GetStory().GetPageCount(), 1);
    EXPECT_EQ(scores->mShowArgument, 1);
    ASSERT_TRUE(app.RunUntil(
            [&] {
                gameOver->MouseDown(500, 300, 1);
                return app.screenToShow == scores;
            },
            50));
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::HighScores); }));
    const HighScoreEntry_t* first = HighScoreTable_t::Instance()->GetEntry(scores->GetHighlight());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "Road");
    EXPECT_EQ(first->score, ProfileManager_t::Instance()->GetCurrentProgress()->totalScore);

    // Back goes to the main menu, and out.
    scores->ButtonDepress(Velm::HighScoresDialog::kBack);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }));
    app.Shutdown();
    app.RunUntil([&] { return app.IsShutdown(); }, 100);
    EXPECT_TRUE(app.IsShutdown());
}

}  // namespace
