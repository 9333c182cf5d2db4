#include "game/shell/screens/GameMenuWidjet.h"

#include "game/shell/ProfileManager.h"
#include "game/shell/screens/ButtonColumn.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/HelpWidget.h"
#include "game/shell/screens/OptionsDialog.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Point.h"
#include "widgets/WidgetManager.h"

namespace Velm {

GameMenuWidjet_t::GameMenuWidjet_t(const std::string& fileName, bool levelRunning) : FlyWidget_t(fileName, 0, true) {
    mIsModal = true;
    UiDescription_t* ui = GetDescription();
    const Point* corner = ui->FindPoint("ButtonsXY");
    const Point* size = ui->FindPoint("ButtonsWH");
    ButtonColumn column(corner != nullptr ? corner->x : 0, corner != nullptr ? corner->y : 0,
                        size != nullptr ? size->x : mWidth, size != nullptr ? size->y : mHeight);
    for (const char* name : {"Help", "Options", "Quit", "Continue", "Replay"}) {
        if (Widget* button = ui->FindWidget(name)) {
            column.Add(button);
        }
    }
    column.Arrange(true, true, false, true);
    if (Widget* replay = ui->FindWidget("Replay")) {
        replay->SetVisible(levelRunning);
    }
}

GameMenuWidjet_t::~GameMenuWidjet_t() = default;

void GameMenuWidjet_t::Update() {
    FlyWidget_t::Update();
    if (flyState == kOut) {
        mResult = kOutResult;
    }
}

void GameMenuWidjet_t::KeyUp(int key) {
    if (key == 27) {
        ButtonDepress(kContinue);
    }
}

void GameMenuWidjet_t::ButtonDepress(int id) {
    GameApp* app = GameApp::Get();
    PlayUiSound(id == 5 || id == 6 ? "PrevNext" : "MouseDown");
    if (id == kOptions && app != nullptr) {
        auto* options = new OptionsDialog("ui/options.txt", app);
        options->mDialogListener = this;
        app->AddDialog(options);
        app->GetWidgetManager()->SetFocus(options);  // Esc closes it
    } else if (id == kHelp && app != nullptr) {
        HelpWidget_t::Open(app, this);
    } else if (id == kQuit && app != nullptr) {
        auto* quit = new FlyWidget_t(app->IsAdventureMode() ? "UI/QuitGame.txt" : "UI/QuitGameSimple.txt", 0, true);
        quit->mDialogListener = this;
        app->AddDialog(quit);
        app->GetWidgetManager()->SetFocus(quit);
    } else if (id == kContinue || id == kReplay) {
        FlyOut(id);
    }
    pendingResult = id;
}

void GameMenuWidjet_t::DialogButtonDepress(int dialogId, int result) {
    GameApp* app = GameApp::Get();
    if (dialogId == kQuitDialogId) {
        if (result == 1 && app != nullptr) {
            app->Shutdown();
        } else if (result == 2) {
            toMainMenu = true;
            FlyOut(pendingResult);
        } else if (result == 4) {
            toLevelList = true;
            ProfileManager_t::Instance()->EndGameAndSave();
            FlyOut(pendingResult);
        }
    }
    if (app != nullptr) {
        app->GetWidgetManager()->SetFocus(this);
        app->KillDialog(dialogId);
    }
}

}  // namespace Velm
