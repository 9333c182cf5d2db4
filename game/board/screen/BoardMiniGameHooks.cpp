// The play screen's mini-game hooks: the story before a level hands over to the level's
// mini-game, which runs in place of the board (state 15), or, for the games the board plays
// behind its own shadow, after the shadow has risen (16) and until it has fallen again (17,
// 18). The registry makes no game in this program, so a level that names one is played on the
// board; a missing game is never used.

#include "game/board/screen/BoardWidjet.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/ui/ButtonHint.h"
#include "widgets/ButtonWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

namespace {
void SetShown(Widget* widget, bool shown) {
    if (widget != nullptr) widget->SetVisible(shown);
}
}  // namespace

bool BoardWidjet_t::IsMiniGameShowing() const {
    return boardState >= kStateMiniGame && boardState <= kStateMiniGameClosed;
}

void BoardWidjet_t::OnHistoryDone() {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    if (stage != nullptr) profiles->AddItemName(stage->GetNameByKey(levelNumber));
    profiles->Save();
    SetShown(skipDialogButton, false);
    if (miniGameId == -1) {
        ShowLevelName();
        return;
    }
    miniGame.reset();
    if (MiniGameRegistry::IsBoardHandled(miniGameId)) {
        FadeOutLabels(50, 255);
        boardState = kStateMiniGameShadow;
        stateTicks = 0;
        backShadow = std::make_unique<BackShadow>();
        return;
    }
    // A game the registry cannot make leaves the level to the board, labels and all.
    if (!CreateMiniGame()) {
        miniGameId = -1;
        ShowLevelName();
        return;
    }
    FadeOutLabels(50, 255);
}

bool BoardWidjet_t::CreateMiniGame() {
    miniGame = MiniGameRegistry::Instance().Create(miniGameId, this);
    if (!miniGame) return false;
    SetControlsVisible(false);
    SetShown(skipGameButton, true);
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->MarkMiniGameStarted(miniGameId);
    profiles->Save();
    boardState = kStateMiniGame;
    stateTicks = 0;
    return true;
}

void BoardWidjet_t::UpdateMiniGameStates() {
    switch (boardState) {
        case kStateMiniGameShadow:
            if (backShadow) backShadow->Update();
            if (backShadow && !backShadow->IsDone()) return;
            if (CreateMiniGame()) {
                SetShown(hintButton, true);
                miniGame->Start();
            } else {
                // Nothing to play behind the shadow: it falls again and the level goes on.
                miniGameId = -1;
                boardState = kStateMiniGameClosed;
                stateTicks = 0;
            }
            if (backShadow) backShadow->StartFadeOut();
            break;
        case kStateMiniGame:
            if (backShadow) {
                backShadow->Update();
                if (backShadow->IsDone()) backShadow.reset();
            }
            if (miniGame) miniGame->Update();
            break;
        case kStateMiniGameClosing:
            if (backShadow) backShadow->Update();
            if (backShadow && !backShadow->IsDone()) return;
            if (backShadow) backShadow->StartFadeOut();
            if (miniGame) miniGame->Finish();
            boardState = kStateMiniGameClosed;
            stateTicks = 0;
            break;
        case kStateMiniGameClosed:
            if (backShadow) backShadow->Update();
            if (backShadow && !backShadow->IsDone()) return;
            backShadow.reset();
            SetShown(skipGameButton, false);
            SetShown(hintButton, false);
            FadeInLabels(true, 200, 1);
            if (levelNameLbl != nullptr) levelNameLbl->SetAlphaFade(0, 0, 0);
            if (gameTypeLbl != nullptr) gameTypeLbl->SetAlphaFade(0, 0, 0);
            if (!miniGame || miniGame->WasSkipped()) ShowLevelName();
            break;
        default: break;
    }
}

void BoardWidjet_t::OnMiniGameFinished(MiniGame* game) {
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->MarkMiniGameCompleted(miniGameId);
    profiles->Save();
    if (MiniGameRegistry::IsBoardHandled(miniGameId)) {
        backShadow = std::make_unique<BackShadow>();
        boardState = kStateMiniGameClosing;
        stateTicks = 0;
        return;
    }
    FadeInLabels(true, 200, 1);
    SetControlsVisible(true);
    SetShown(skipGameButton, false);
    game->Finish();
    if (game->WasSkipped()) ShowLevelName();
}

}  // namespace Velm
