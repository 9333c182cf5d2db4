// The main road of the simple game, headless on the generated content: logos, title, main
// menu, a new player, simple game, the level list, the first level's slot, play, the level
// name, every pair cleared by clicks, level complete with the time bonus in the total, back to
// the list showing the best score and time, back to the menu, exit. To keep the run short the
// first level is played on the two-tile layout.
//
// The player's actions are made on the widgets themselves (a click is the widget's own click
// operation, a tile click the board's mouse operations at the tile's centre); the application
// runs its real loop in between.

#include <gtest/gtest.h>

#include <string>

#include "game/board/screen/BoardWidjet.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/LevelCompleteWidget.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/SimpleWidget.h"
#include "game/shell/ui/UiDescription.h"
#include "platform/SyntheticInput.h"
#include "platform/WindowMessages.h"
#include "tests/game/shell/screens/RoadTestSupport.h"
#include "widgets/ButtonWidget.h"

#ifndef VELM_CONTENT_DIR
#define VELM_CONTENT_DIR ""
#endif

namespace {

using Velm::GameScreenId;

std::string LabelOf(Velm::UiDescription_t* ui, const char* name) {
    auto* label = dynamic_cast<Velm::ButtonWidget*>(ui->FindWidget(name));
    return label != nullptr ? label->mLabel : std::string("<missing>");
}

TEST(SimpleRoad, FirstLevelFromTheMenuAndBack) {
    const std::string content = VELM_CONTENT_DIR;
    if (!roadtest::ContentHas(content, {"ui/simpleui.txt", "ui/levelcomplete.txt", "ui/board.txt", "ui/levelname.txt",
                                        "stages/stagessimple.txt", "termins.txt", "particles/levelcomplete.ini",
                                        "layouts/pair.lay"})) {
        GTEST_SKIP() << "content in '" << content << "' is not complete";
    }
    const roadtest::RoadHome home(content);
    roadtest::RoadApp app;
    app.Init();
    ASSERT_FALSE(app.IsShutdown());

    // Logos, title and loading; the title leaves for the main menu by itself.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }, 60000));
    auto* menu = dynamic_cast<Velm::MainScreen*>(app.GetScreen(GameScreenId::MainMenu));
    ASSERT_NE(menu, nullptr);
    StageCatalogue_t* stages = app.GetSimpleStages();
    ASSERT_GT(stages->GetStageCount(), 0);
    ASSERT_FALSE(stages->stages[0]->games0.empty());
    stages->stages[0]->games0[0]->layout = "pair.lay";

    // The first run: the menu asks for the new player's name by itself.
    ASSERT_TRUE(roadtest::EnterName(app, "Road"));
    ASSERT_TRUE(app.RunUntil([&] {
        return ProfileManager_t::Instance()->GetProfileCount() == 1 &&
               app.GetDialog(Velm::MainScreen::kNameDialogId) == nullptr;
    }));
    ASSERT_EQ(ProfileManager_t::Instance()->GetProfile(0)->name, "Road");

    // Simple game: a new game goes straight to the level list.
    menu->ButtonDepress(Velm::MainScreen::kSimpleGame);
    // The level list, on page 0 with the first slot chosen and two levels open.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::SimpleList); }));
    auto* list = dynamic_cast<Velm::SimpleWidget_t*>(app.GetScreen(GameScreenId::SimpleList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetPage(), 0);
    EXPECT_EQ(list->GetSlots()[0].state, Velm::SimpleLevelList::SlotState::Open);
    EXPECT_EQ(list->GetSlots()[1].state, Velm::SimpleLevelList::SlotState::Open);
    EXPECT_NE(list->GetThumbnail(0), nullptr);
    EXPECT_EQ(LabelOf(list->GetDescription(), "ScoreLbl"), TextTable_t::Instance()->Lookup("NotPlayed"));
    list->CheckboxChecked(1, true);
    list->ButtonDepress(Velm::SimpleWidget_t::kPlay);

    // The board: the level name comes and goes, then the tiles are playable. (Conditions that
    // hold once reached: a busy machine may run many updates in one step of the loop.)
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Board); }));
    auto* board = dynamic_cast<Velm::BoardWidjet_t*>(app.GetScreen(GameScreenId::Board));
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(app.RunUntil([&] {
        return board->boardState == Velm::BoardWidjet_t::kStatePlaying &&
               app.GetDialog(Velm::BoardDialogId::kLevelName) == nullptr;
    }));
    // Every pair by two clicks; the board checks for a cleared layout once its effects end.
    ASSERT_TRUE(roadtest::PlayToTheEnd(app, *board));

    // Level complete: the bonus is in the total at once; the four values show in turn.
    Velm::LevelCompleteWidget_t* done = roadtest::LevelComplete(app);
    ASSERT_NE(done, nullptr);
    const int bonus = done->GetTimeBonus();
    EXPECT_GT(bonus, 0);
    // A new player's total: the level's score (added when the board was cleared) and the bonus.
    const int total = done->GetLevelScore() + bonus;
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProgress()->totalScore, total);
    ASSERT_TRUE(roadtest::CloseLevelComplete(app));

    // Back to the list, which shows the level's best score and time.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::SimpleList); }));
    const LevelRecord_t* record = ProfileManager_t::Instance()->FindLevelRecord(0);
    ASSERT_NE(record, nullptr);
    EXPECT_GT(record->bestScore, 0);
    EXPECT_EQ(LabelOf(list->GetDescription(), "ScoreLbl"), Velm::SimpleLevelList::BestScoreText(record->bestScore));
    EXPECT_TRUE(list->GetDescription()->FindWidget("TimeLbl")->mVisible);
    EXPECT_EQ(LabelOf(list->GetDescription(), "TimeLbl"), Velm::SimpleLevelList::BestTimeText(record->bestTime));
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProgress()->totalScore, total);

    // Back to the menu, and out.
    list->ButtonDepress(Velm::SimpleWidget_t::kBack);
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }));
    // Exit asks first and waits for the answer; Enter, already queued, confirms it.
    ASSERT_NE(app.GetMainWindow(), nullptr);
    ASSERT_TRUE(plat::SynthesizeKey(*app.GetMainWindow(), plat::VK_RETURN, true, false, false));
    ASSERT_TRUE(plat::SynthesizeKey(*app.GetMainWindow(), plat::VK_RETURN, false, false, false));
    menu->ButtonDepress(Velm::MainScreen::kExit);
    EXPECT_TRUE(app.IsShutdown());
}

}  // namespace
