// The services of the game application that screens call while the game runs: the screen
// switch under the ice cover, message boxes, the name dialog, sounds, tips and fades.

#include <climits>

#include "engine/sound/SoundApi.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "game/shell/ui/MessageDialog.h"
#include "game/shell/ui/UserNameDialog.h"
#include "resources/ResourceManager.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

struct SwitchPair {
    int code;
    int leave;  // a GameScreenId, or kTitle
    int show;
};

constexpr int kTitle = -1;

constexpr int Id(GameScreenId id) { return static_cast<int>(id); }

// Screen left and screen shown of every switch code (kBack goes back instead).
const SwitchPair kSwitchPairs[] = {
        {ScreenSwitch::kMainToHighScores, Id(GameScreenId::MainMenu), Id(GameScreenId::HighScores)},
        {ScreenSwitch::kHighScoresToMain, Id(GameScreenId::HighScores), Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kGameOverToHighScores, Id(GameScreenId::GameOver), Id(GameScreenId::HighScores)},
        {ScreenSwitch::kMainToBoard, Id(GameScreenId::MainMenu), Id(GameScreenId::Board)},
        {ScreenSwitch::kBoardToMain, Id(GameScreenId::Board), Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kTitleToMain, kTitle, Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kBoardToMap, Id(GameScreenId::Board), Id(GameScreenId::Map)},
        {ScreenSwitch::kMapToBoard, Id(GameScreenId::Map), Id(GameScreenId::Board)},
        {ScreenSwitch::kMapToMain, Id(GameScreenId::Map), Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kMainToMap, Id(GameScreenId::MainMenu), Id(GameScreenId::Map)},
        {ScreenSwitch::kMainToSimple, Id(GameScreenId::MainMenu), Id(GameScreenId::SimpleList)},
        {ScreenSwitch::kSimpleToMain, Id(GameScreenId::SimpleList), Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kSimpleToBoard, Id(GameScreenId::SimpleList), Id(GameScreenId::Board)},
        {ScreenSwitch::kBoardToSimple, Id(GameScreenId::Board), Id(GameScreenId::SimpleList)},
        {ScreenSwitch::kBoardToGameOver, Id(GameScreenId::Board), Id(GameScreenId::GameOver)},
        {ScreenSwitch::kGameOverToMain, Id(GameScreenId::GameOver), Id(GameScreenId::MainMenu)},
        {ScreenSwitch::kMainToComix, Id(GameScreenId::MainMenu), Id(GameScreenId::Comix)},
        {ScreenSwitch::kComixToMap, Id(GameScreenId::Comix), Id(GameScreenId::Map)},
};

struct MessageBoxType {
    const char* file;
    const char* headerKey;
    const char* bodyKey;
};

// Message box types 1..9.
const MessageBoxType kMessageBoxes[] = {
        {"UI/messageboxOKC.txt", "Quit", "SureExit"},        {"UI/messagebox.txt", "Warning", "EnterCorrectName"},
        {"UI/messageboxOKC.txt", "", "DeleteWarning"},       {"UI/messageboxOKC.txt", "", "ResetHighScores"},
        {"UI/messagebox.txt", "NotSupported", "Error1"},     {"UI/messagebox.txt", "NotSupported", "Error2"},
        {"UI/messagebox.txt", "NoWindowedMode", "Error3"},   {"UI/messagebox.txt", "", "NoMorePlayersAvalible"},
        {"UI/messagebox.txt", "Warning", "PlayersRepaired"},
};

constexpr int kEffectGroup = 1;
constexpr int kEffectsFadeMs = 300;
constexpr int kMusicFadeMs = 500;

}  // namespace

void GameApp::SwitchScreen(int code) {
    // A screen that is not built (the loading thread has not finished, or this program has
    // no such screen) is never shown; the current screen stays. Until the loading thread has
    // built them all, the screens are its own.
    if (!mScreensBuilt) return;
    BaseDialogWidget* show = nullptr;
    BaseDialogWidget* leave = nullptr;
    if (code == ScreenSwitch::kBack) {
        show = screenToLeave;
        leave = screenToShow;
    } else {
        const SwitchPair* pair = nullptr;
        for (const SwitchPair& candidate : kSwitchPairs) {
            if (candidate.code == code) pair = &candidate;
        }
        if (pair == nullptr) return;
        leave = pair->leave == kTitle ? mTitleScreen.get() : mScreens[pair->leave].get();
        show = mScreens[pair->show].get();
    }
    if (show == nullptr || (code != ScreenSwitch::kTitleToMain && mIce == nullptr)) return;

    switchCode = code;
    screenToShow = show;
    screenToLeave = leave;
    if (code == ScreenSwitch::kMainToHighScores) {
        show->mShowArgument = 0;
        show->mSpare2 = 0;
    } else if (code == ScreenSwitch::kBoardToMap) {
        show->mShowArgument = 1;
    } else if (code == ScreenSwitch::kMainToMap) {
        show->mShowArgument = 0;
    }

    show->OnTransitionStarted(0);
    show->SetVisible(false);
    show->Resize(0, 0, mWidth, mHeight);
    if (code == ScreenSwitch::kTitleToMain) {
        OnIceCovered();
        OnIceCleared();
    } else {
        mIce->SetVisible(true);
        mWidgetManager->AddWidget(mIce.get());
        mIce->Start();
    }
    if (leave != nullptr && leave != show) {
        leave->SetVisible(false);
        leave->OnHidden();
        mWidgetManager->RemoveWidget(leave);
    }
}

void GameApp::OnIceCovered() {
    if (screenToShow == nullptr) return;
    screenToShow->SetVisible(true);
    mWidgetManager->AddWidget(screenToShow);
    if (mIce != nullptr && mWidgetManager->HasWidget(mIce.get())) mWidgetManager->BringToFront(mIce.get());
    screenToShow->OnShown();
}

void GameApp::OnIceCleared() {
    if (mIce != nullptr) {
        mIce->SetVisible(false);
        mWidgetManager->RemoveWidget(mIce.get());
    }
    if (screenToShow != nullptr) mWidgetManager->SetFocus(screenToShow);
}

bool GameApp::ShowMessageBox(int type) {
    if (type < 1 || type > static_cast<int>(sizeof(kMessageBoxes) / sizeof(kMessageBoxes[0]))) return false;
    const MessageBoxType& box = kMessageBoxes[type - 1];
    TextTable_t* texts = TextTable_t::Instance();
    auto* dialog =
            new MessageDialog(box.file, texts->Lookup(box.headerKey), texts->Lookup(box.bodyKey), kMessageBoxDialogId);
    // Registered under the reserved id whatever its file says.
    dialog->mId = kMessageBoxDialogId;
    // The wait below takes the answer and removes the box. A listener would remove and free it
    // already within the step that reports the answer, while the wait still reads it.
    dialog->mDialogListener = nullptr;
    AddDialog(dialog);
    mWidgetManager->SetFocus(dialog);
    const int result = dialog->WaitForResult(true);
    // A click on "Ok" flies out with 1; Enter answers 1000 at once.
    return result == MessageDialog::kConfirmed || result == MessageDialog::kEnterResult;
}

void GameApp::ShowUserNameDialog(int dialogId, int mode) {
    auto* dialog = new UserNameDialog("ui/newuser.txt", dialogId);
    dialog->mId = dialogId;
    dialog->mode = mode;
    AddDialog(dialog);
    userNameDialog = dialog;
}

int GameApp::PlaySound(const std::string& name, bool asBase) {
    if (asBase) return Sound::PlaySoundAs("base", name.c_str(), 0, nullptr);
    return Sound::PlaySound(name.c_str(), 0, nullptr);
}

StageCatalogue_t* GameApp::GetStageCatalogue() const {
    return IsAdventureMode() ? mAdventureStages.get() : mSimpleStages.get();
}

void GameApp::CloseTip(bool onlyWhenOld) {
    Dialog* tip = GetDialog(BoardDialogId::kTip);
    if (tip == nullptr) return;
    int age = INT_MAX;
    int tipIndex = -1;
    mFactory->ReadTipWindow(*tip, &age, &tipIndex);
    if (onlyWhenOld && age <= kTipMinAgeTicks) return;
    Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
    if (progress != nullptr && tipIndex >= 0 && tipIndex < static_cast<int>(progress->tipSeen.size()))
        progress->tipSeen[static_cast<size_t>(tipIndex)] = true;
    KillDialog(BoardDialogId::kTip);
}

void GameApp::FadeOutSoundEffects() { Sound::StopGroup(kEffectGroup, kEffectsFadeMs); }

void GameApp::StopMusic() { Sound::StopMusic(kMusicFadeMs); }

bool GameApp::UnloadTitleScreenResources() {
    if (!mScreensBuilt || mLoadingFailed) return false;
    mResourceManager->DeleteResources("TitleScreen");
    return true;
}

}  // namespace Velm
