#include "game/shell/screens/GameAppBoardHost.h"

#include <memory>

#include "engine/sound/SoundApi.h"
#include "game/board/effects/BoardEffectResources.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/GameMenuWidjet.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/HighScoresDialog.h"
#include "game/shell/screens/LevelCompleteWidget.h"
#include "game/shell/screens/TipWidget.h"
#include "game/shell/ui/FlyMessage.h"
#include "game/shell/ui/FlyWidget.h"
#include "game/shell/ui/PauseDialog.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiValueReader.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

// The board's music callback, called by the sound API on the main thread.
void (*gMusicEnd)() = nullptr;
void MusicEnded(int /*handle*/, int /*argument*/) {
    if (gMusicEnd != nullptr) gMusicEnd();
}

void SetLabel(FlyWidget_t& window, const char* name, const std::string& text) {
    if (auto* label = dynamic_cast<HyperlinkWidget*>(window.GetDescription()->FindWidget(name))) label->mLabel = text;
}

// The fonts and pictures of the board's effects, from the game's bound resources.
void BindEffectResources() {
    BoardEffectResources& resources = GetBoardEffectResources();
    resources.numbersFont = FONT_NUMBERS;
    resources.defaultFont = FONT_DEFAULT;
    resources.sparkle = IMAGE_SPARKLE;
    resources.lightning = IMAGE_LIGHTNING;
    resources.rings[0] = IMAGE_RING_BLUE;
    resources.rings[1] = IMAGE_RING_GREEN;
    resources.rings[2] = IMAGE_RING_PURPLE;
    resources.rings[3] = IMAGE_RING_YELLOW;
    resources.rings[4] = IMAGE_RING_RED;
}

}  // namespace

std::unique_ptr<BoardWidjet_t> MakeGameBoard(GameApp* app) {
    auto board = std::make_unique<BoardWidjet_t>(std::make_unique<GameAppBoardHost>(app));
    BindEffectResources();
    return board;
}

int GameAppBoardHost::PlaySound(const std::string& name) { return mApp->PlaySound(name, false); }
void GameAppBoardHost::FadeOutSoundEffects() { mApp->FadeOutSoundEffects(); }
void GameAppBoardHost::StopMusic() { mApp->StopMusic(); }

void GameAppBoardHost::PlayMusicTrack(const std::string& file, void (*onEnd)()) {
    gMusicEnd = onEnd;
    Sound::PlayMusicWithCallback("backgroundnoloop", file.c_str(), &MusicEnded, 0);
}

void GameAppBoardHost::SwitchScreen(int code) { mApp->SwitchScreen(code); }

bool GameAppBoardHost::OpenDialog(const BoardDialogRequest& request, DialogListener* listener) {
    std::unique_ptr<Dialog> dialog;
    switch (request.kind) {
        case BoardDialog::LevelName: {
            auto window = std::make_unique<FlyMessage>("UI/LevelName.txt", std::string());
            window->displayTime = 200;
            SetLabel(*window, "Stage", request.stageText);
            SetLabel(*window, "LevelName", request.levelName);
            SetLabel(*window, "GameTypeLbl", request.modeText);
            dialog = std::move(window);
            break;
        }
        case BoardDialog::Pause: dialog = std::make_unique<PauseDialog>("UI/pauseDialog.txt"); break;
        case BoardDialog::NoMoves: {
            auto window = std::make_unique<FlyWidget_t>("UI/OneParaLeft.txt", BoardDialogId::kNoMoves, true);
            SetLabel(*window, "Message1", request.text);
            dialog = std::move(window);
            break;
        }
        case BoardDialog::FlyMessage: {
            auto window = std::make_unique<FlyMessage>("UI/flywindowUI.txt", request.text);
            window->mId = request.dialogId;
            dialog = std::move(window);
            break;
        }
        case BoardDialog::Lose: {
            auto window = std::make_unique<FlyWidget_t>("UI/LoseGameUI.txt", BoardDialogId::kLose, true);
            if (request.hideReplay) {
                if (Widget* replay = window->GetDescription()->FindWidget("ReplayNewBoard")) replay->SetVisible(false);
            }
            dialog = std::move(window);
            break;
        }
        case BoardDialog::GameMenu: dialog = std::make_unique<GameMenuWidjet_t>("UI/GameMenuUI.txt", true); break;
        case BoardDialog::LevelComplete: {
            LevelCompleteWidget_t::LevelResult result{};
            for (size_t i = 0; i < result.size(); ++i) result[i] = request.scores[i];
            auto window = std::make_unique<LevelCompleteWidget_t>("ui/LevelComplete.txt", result);
            SetLabel(*window, "LevelLbl", request.levelLabel);
            dialog = std::move(window);
            break;
        }
        case BoardDialog::HelpPage: {
            auto window = std::make_unique<HelpWidget_t>(mApp, false);
            window->PlaceCentred(*mApp);
            window->AdvancePages(request.page);
            window->SetSinglePageMode(true);
            dialog = std::move(window);
            break;
        }
        case BoardDialog::Tip: {
            auto tip = std::make_unique<TipWidget>(request.text);
            tip->tipId = request.tipIndex;
            tip->tipValue = request.tipValue;
            tip->mDialogListener = listener;
            tip->PlaceAt(request.pointX, request.pointY);
            // A tip does not take the keyboard from the board.
            mApp->AddDialog(tip.release());
            return true;
        }
        case BoardDialog::HighScores:
            // The score table screen is not one of the board's windows in this game.
            return false;
    }
    if (!dialog) return false;
    dialog->mDialogListener = listener;
    Dialog* shown = dialog.release();
    mApp->AddDialog(shown);
    mApp->GetWidgetManager()->SetFocus(shown);
    return true;
}

bool GameAppBoardHost::IsDialogOpen(int dialogId) { return mApp->GetDialog(dialogId) != nullptr; }
void GameAppBoardHost::KillDialog(int dialogId) { mApp->KillDialog(dialogId); }

bool GameAppBoardHost::ReadDialogFlag(int dialogId, const std::string& name) {
    Dialog* dialog = mApp->GetDialog(dialogId);
    if (auto* menu = dynamic_cast<GameMenuWidjet_t*>(dialog)) {
        if (name == "toMainMenu") return menu->toMainMenu;
        if (name == "toLevelList") return menu->toLevelList;
    }
    if (auto* window = dynamic_cast<FlyWidget_t*>(dialog)) {
        if (auto* box = dynamic_cast<Checkbox*>(window->GetDescription()->FindWidget(name))) return box->mChecked;
    }
    return false;
}

void GameAppBoardHost::CloseTip(bool onlyWhenOld) { mApp->CloseTip(onlyWhenOld); }

void GameAppBoardHost::ShowLevelError(const std::string& textKey, const std::string& detail) {
    UiLog("play screen: " + textKey + ": " + detail);
    auto window = std::make_unique<FlyMessage>("UI/flywindowUI.txt", TextTable_t::Instance()->Lookup(textKey));
    Dialog* shown = window.release();
    mApp->AddDialog(shown);
}

int GameAppBoardHost::InsertHighScore(const std::string& name, int score, int stage, int level) {
    mLastPlace = HighScoreTable_t::Instance()->Insert(name, score, stage, level);
    return mLastPlace;
}

void GameAppBoardHost::TellGameOverPlace(bool placed) {
    // The story after the last stage reads the score table's show argument to go on to the
    // table (1) or to the main menu; the table then shows the new entry highlighted.
    BaseDialogWidget* table = mApp->GetScreen(GameScreenId::HighScores);
    if (table == nullptr) return;
    table->mShowArgument = placed ? 1 : 0;
    if (auto* scores = dynamic_cast<HighScoresDialog*>(table)) scores->SetHighlight(placed ? mLastPlace : -1);
}

void GameAppBoardHost::SetFocus(Widget* widget) { mApp->GetWidgetManager()->SetFocus(widget); }
void GameAppBoardHost::SetDefaultCursor() { mApp->SetCursorImage(0, IMAGE_CUSTOM_POINTER); }
int GameAppBoardHost::GetWidth() { return mApp->GetWidth(); }
int GameAppBoardHost::GetHeight() { return mApp->GetHeight(); }
bool GameAppBoardHost::IsDebugMode() { return mApp->debugMode; }
bool GameAppBoardHost::IsControlDown() { return mApp->mCtrlDown; }
bool GameAppBoardHost::IsSmoothUpdating() { return mApp->IsSmoothUpdating(); }
bool GameAppBoardHost::IsAdventureMode() { return mApp->IsAdventureMode(); }
StageCatalogue_t* GameAppBoardHost::GetStageCatalogue() { return mApp->GetStageCatalogue(); }
const BonusSettings& GameAppBoardHost::GetBonusSettings() { return mApp->GetBonusSettings(); }
MusicPlaylist_t* GameAppBoardHost::GetMusicPlaylist() { return &mApp->GetMusicPlaylist(); }

Image* GameAppBoardHost::GetResourceImage(int resourceId) {
    return reinterpret_cast<Image*>(GetResourceById(resourceId));
}

}  // namespace Velm
