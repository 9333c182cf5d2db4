// The main road of the simple game, headless on the generated content: logos, title, main
// menu, a new player, simple game, the level list, the first level's slot, play, the level
// name, every pair cleared by clicks, level complete with the time bonus in the total, back to
// the list showing the best score and time, back to the menu, exit.
//
// The player's actions are made on the widgets themselves (a click is the widget's own click
// operation, a tile click the board's mouse operations at the tile's centre); the application
// runs its real loop in between.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "game/board/GlobalLayouts.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/LevelCompleteWidget.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/SimpleWidget.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UserNameDialog.h"
#include "platform/SyntheticInput.h"
#include "platform/WindowMessages.h"
#include "tests/platform/TempDir.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"

#ifndef VELM_CONTENT_DIR
#define VELM_CONTENT_DIR ""
#endif

namespace {

using Velm::GameApp;
using Velm::GameScreenId;

class RoadApp : public GameApp {
public:
    // Other programs of the build may run at the same time.
    // Game time runs twenty times faster than the clock.
    RoadApp() {
        mOnlyAllowOneCopyToRun = false;
        mSpeedFactor = 20.0;
    }

    // Steps the real loop until done() holds; false when it did not within the limit.
    bool RunUntil(const std::function<bool()>& done, int maxSteps = 20000) {
        for (int i = 0; i < maxSteps; ++i) {
            if (done()) return true;
            if (IsShutdown()) return false;
            UpdateApp();
        }
        return done();
    }
    bool Shown(GameScreenId id) {
        Velm::BaseDialogWidget* screen = GetScreen(id);
        return screen != nullptr && screen->mVisible && screenToShow == screen && !GetIce()->mVisible;
    }
};

std::string LabelOf(Velm::UiDescription_t* ui, const char* name) {
    auto* label = dynamic_cast<Velm::ButtonWidget*>(ui->FindWidget(name));
    return label != nullptr ? label->mLabel : std::string("<missing>");
}

// Content the road needs beyond what is built today: the UI files of the list and the dialog,
// the simple-mode stages and the texts.
bool ContentIsComplete(const std::string& content) {
    for (const char* file : {"ui/simpleui.txt", "ui/levelcomplete.txt", "ui/board.txt", "ui/levelname.txt",
                             "stages/stagessimple.txt", "termins.txt", "particles/levelcomplete.ini"}) {
        if (!std::filesystem::exists(content + "/" + file)) return false;
    }
    return true;
}

TEST(SimpleRoad, FirstLevelFromTheMenuAndBack) {
    const std::string content = VELM_CONTENT_DIR;
    if (!ContentIsComplete(content)) GTEST_SKIP() << "content in '" << content << "' is not complete";
    velmtest::TempDir home;
    setenv("XDG_DATA_HOME", home.Path("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.Path("config").c_str(), 1);
    GameApp::SetContentFolder(content + "/");

    RoadApp app;
    app.Init();
    ASSERT_FALSE(app.IsShutdown());

    // Logos, title and loading; the title leaves for the main menu by itself.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::MainMenu); }, 60000));
    auto* menu = dynamic_cast<Velm::MainScreen*>(app.GetScreen(GameScreenId::MainMenu));
    ASSERT_NE(menu, nullptr);

    // Simple game without a player: the name is asked for first.
    menu->ButtonDepress(Velm::MainScreen::kSimpleGame);
    ASSERT_TRUE(app.RunUntil([&] { return app.userNameDialog != nullptr && app.userNameDialog->flyState == 1; }));
    app.userNameDialog->GetEdit()->SetText("Road", true);
    app.userNameDialog->ButtonDepress(Velm::UserNameDialog::kConfirmButton);

    // The level list, on page 0 with the first slot chosen and two levels open.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::SimpleList); }));
    auto* list = dynamic_cast<Velm::SimpleWidget_t*>(app.GetScreen(GameScreenId::SimpleList));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(ProfileManager_t::Instance()->GetProfile(0)->name, "Road");
    EXPECT_EQ(list->GetPage(), 0);
    EXPECT_EQ(list->GetSlots()[0].state, Velm::SimpleLevelList::SlotState::Open);
    EXPECT_EQ(list->GetSlots()[1].state, Velm::SimpleLevelList::SlotState::Open);
    EXPECT_NE(list->GetThumbnail(0), nullptr);
    EXPECT_EQ(LabelOf(list->GetDescription(), "ScoreLbl"), TextTable_t::Instance()->Lookup("NotPlayed"));
    list->CheckboxChecked(1, true);
    list->ButtonDepress(Velm::SimpleWidget_t::kPlay);

    // The board: the level name comes and goes, then the tiles are playable.
    ASSERT_TRUE(app.RunUntil([&] { return app.Shown(GameScreenId::Board); }));
    ASSERT_TRUE(app.RunUntil([&] { return app.GetDialog(444) != nullptr; }));
    ASSERT_TRUE(app.RunUntil([&] { return app.GetDialog(444) == nullptr; }));
    Velm::Layout_t& layout = Velm::LayoutForGameType(0);
    Velm::BaseDialogWidget* board = app.GetScreen(GameScreenId::Board);
    // Every pair by two clicks; the board checks for a cleared layout once its effects end.
    ASSERT_TRUE(app.RunUntil(
            [&] {
                layout.FindAvailablePairs();
                if (layout.CountPlayableTiles() == 0 || app.GetDialog(15) != nullptr) return true;
                if (!layout.availablePairs.empty() && !layout.IsOperationPending()) {
                    for (int tile : {layout.availablePairs[0].first, layout.availablePairs[0].second}) {
                        const Velm::LayoutCell_t& cell = layout.Cell(tile);
                        board->MouseMove(static_cast<int>(cell.x), static_cast<int>(cell.y));
                        board->MouseDown(static_cast<int>(cell.x), static_cast<int>(cell.y), 1);
                        board->MouseUp(static_cast<int>(cell.x), static_cast<int>(cell.y), 1);
                    }
                }
                return false;
            },
            20000));

    // Level complete: the bonus is in the total at once; the four values show in turn.
    ASSERT_TRUE(app.RunUntil([&] { return app.GetDialog(15) != nullptr; }));
    auto* done = dynamic_cast<Velm::LevelCompleteWidget_t*>(app.GetDialog(15));
    ASSERT_NE(done, nullptr);
    const int bonus = done->GetTimeBonus();
    EXPECT_GT(bonus, 0);
    // A new player's total: the level's score (added when the board was cleared) and the bonus.
    const int total = done->GetLevelScore() + bonus;
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProgress()->totalScore, total);
    ASSERT_TRUE(app.RunUntil([&] { return done->IsRevealed(3); }));
    done->ButtonDepress(0);

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
