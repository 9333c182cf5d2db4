#pragma once

// The scripted player of the whole-game runs: looks at what the game shows after an update
// and answers as a player would, with clicks and keys through the window. One script serves
// both roads: the simple game (a level from the list, back to the menu) and the adventure
// (comic, map, each stage's level, the closing story, the score table), each ending with the
// menu's exit confirmed by Enter.

#include <string>

#include "game/board/Layout.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/screens/ComixWidget.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/HighScoresDialog.h"
#include "game/shell/screens/LevelCompleteWidget.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/SimpleWidget.h"
#include "game/shell/ui/FlyWidget.h"
#include "game/shell/ui/UserNameDialog.h"
#include "tests/game/run/RunSupport.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace runtest {

// The first visible, enabled button with the id under a widget (the UI files' text labels are
// links, mostly of id 0, and are passed over).
inline Velm::Widget* FindButton(Velm::WidgetContainer* root, int id) {
    if (root == nullptr) return nullptr;
    for (Velm::Widget* child : root->mWidgets) {
        if (!child->mVisible) continue;
        auto* button = dynamic_cast<Velm::ButtonWidget*>(child);
        if (button != nullptr && button->mId == id && !child->mDisabled &&
            dynamic_cast<Velm::HyperlinkWidget*>(child) == nullptr)
            return child;
        if (Velm::Widget* found = FindButton(child, id)) return found;
    }
    return nullptr;
}

// Clicks both tiles of the first pair that can be played now, in window coordinates; false
// when there is none.
inline bool ClickFirstPair(PlayerRun& run, Velm::BoardWidjet_t& board) {
    Velm::Layout_t* layout = board.CurrentLayout();
    if (layout == nullptr) return false;
    layout->FindAvailablePairs();
    if (layout->availablePairs.empty() || layout->IsOperationPending()) return false;
    const Velm::Point origin = board.GetAbsPos();
    const std::pair<int, int> pair = layout->availablePairs[0];
    for (int tile : {pair.first, pair.second}) {
        run.ClickAt(origin.x + static_cast<int>(layout->Cell(tile).x),
                    origin.y + static_cast<int>(layout->Cell(tile).y));
    }
    return true;
}

// The roads are cut short and made the same for a recording and its playback, whatever the
// content's levels are: the levels the road plays are on the two-tile layout, and the score
// table starts from its defaults (it lives on from an earlier run in the same process).
// Adventure: each stage is its first level only.
inline void ShortAdventure(PlayerRun& run) {
    StageCatalogue_t* stages = run.GetAdventureStages();
    for (const auto& stage : stages->stages) {
        stage->games0.resize(1);
        for (const auto& level : stage->games0) level->layout = "pair.lay";
    }
    HighScoreTable_t::Instance()->SetDefaults();
}

// Simple game: the first level of the list, the one its Play starts.
inline void ShortSimple(PlayerRun& run) {
    StageCatalogue_t* stages = run.GetSimpleStages();
    if (!stages->stages.empty() && !stages->stages[0]->games0.empty())
        stages->stages[0]->games0[0]->layout = "pair.lay";
    HighScoreTable_t::Instance()->SetDefaults();
}

// The level-complete window, once its four values are shown, is closed by its own Ok
// operation after every update of a recorded run and of its playback alike: a click on its Ok
// button through the window does not reach the button in a headless run (the lead knows).
inline void CloseLevelComplete(PlayerRun& run) {
    auto* done = dynamic_cast<Velm::LevelCompleteWidget_t*>(run.GetDialog(Velm::BoardDialogId::kLevelComplete));
    if (done != nullptr && done->IsRevealed(3) && done->flyState == Velm::FlyWidget_t::kResting &&
        done->GetFade().target > 0.0f)
        done->ButtonDepress(0);
}

// The player of one road. Acts at most once per pause of kPause updates (screens fly and fade
// in between), tile clicks excepted, and never while input is still queued.
class ScriptedPlayer {
public:
    static constexpr int kPause = 40;

    explicit ScriptedPlayer(bool adventure) : mAdventure(adventure) {}

    bool Finished() const { return mExitAsked; }

    void operator()(PlayerRun& run) {
        if (!run.GetDeferredMessages().empty() || run.GetUpdateCount() < mNextAction) return;
        if (Act(run)) mNextAction = run.GetUpdateCount() + kPause;
    }

private:
    bool Act(PlayerRun& run) {
        using Velm::GameScreenId;
        Velm::UserNameDialog* name = run.userNameDialog;
        if (name != nullptr && name->flyState == 1 && run.GetDialog(Velm::MainScreen::kNameDialogId) != nullptr) {
            if (mNameTyped) return false;
            mNameTyped = true;
            run.Click(name->GetEdit());
            run.Type("Road");
            return run.Click(FindButton(name, Velm::UserNameDialog::kConfirmButton));
        }
        if (Velm::Dialog* help = run.GetDialog(HelpWidget_t::kDialogId)) return run.Click(FindButton(help, 2));
        auto* done = dynamic_cast<Velm::LevelCompleteWidget_t*>(run.GetDialog(Velm::BoardDialogId::kLevelComplete));
        if (done != nullptr) return false;  // closed by CloseLevelComplete

        if (run.Shown(GameScreenId::MainMenu)) {
            Velm::BaseDialogWidget* menu = run.GetScreen(GameScreenId::MainMenu);
            if (run.GetDialog(Velm::MainScreen::kNameDialogId) != nullptr) return false;
            if (!mRoadDone) {
                return run.Click(FindButton(
                        menu, mAdventure ? Velm::MainScreen::kAdventureGame : Velm::MainScreen::kSimpleGame));
            }
            if (!mExitAsked) {
                // Exit asks first; Enter, queued behind the click, confirms it.
                mExitAsked = true;
                run.Click(FindButton(menu, Velm::MainScreen::kExit));
                run.Key(plat::VK_RETURN);
                return true;
            }
            return false;
        }
        if (run.Shown(GameScreenId::SimpleList)) {
            Velm::BaseDialogWidget* list = run.GetScreen(GameScreenId::SimpleList);
            return run.Click(FindButton(list, !mRoadDone ? Velm::SimpleWidget_t::kPlay : Velm::SimpleWidget_t::kBack));
        }
        if (run.Shown(GameScreenId::Comix))
            return run.Click(FindButton(run.GetScreen(GameScreenId::Comix), Velm::ComixWidget::kSkipButton));
        if (run.Shown(GameScreenId::Map)) return run.Click(FindButton(run.GetScreen(GameScreenId::Map), 2));
        if (run.Shown(GameScreenId::GameOver)) {
            run.ClickAt(500, 300);
            return true;
        }
        if (run.Shown(GameScreenId::HighScores)) {
            mRoadDone = true;
            return run.Click(FindButton(run.GetScreen(GameScreenId::HighScores), Velm::HighScoresDialog::kBack));
        }
        if (run.Shown(GameScreenId::Board)) {
            if (!mAdventure) mRoadDone = true;
            auto* board = dynamic_cast<Velm::BoardWidjet_t*>(run.GetScreen(GameScreenId::Board));
            if (board == nullptr || board->boardState != Velm::BoardWidjet_t::kStatePlaying ||
                run.GetDialog(Velm::BoardDialogId::kLevelName) != nullptr)
                return false;
            // A few updates between pairs, for the clicks to arrive.
            if (board->CurrentLayout()->CountPlayableTiles() > 0 && ClickFirstPair(run, *board))
                mNextAction = run.GetUpdateCount() + 5;
            return false;
        }
        return false;
    }

    bool mAdventure;
    bool mNameTyped = false;
    bool mRoadDone = false;
    bool mExitAsked = false;
    int mNextAction = 0;
};

}  // namespace runtest
