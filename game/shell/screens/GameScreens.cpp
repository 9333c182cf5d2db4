// The factory of the program's screens. Screens that are not part of the program yet are
// plain stand-ins that show an empty dark screen.

#include <memory>

#include "game/board/screen/BoardWidjet.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/screens/ComixWidget.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/GameAppBoardHost.h"
#include "game/shell/screens/GameOverWidget.h"
#include "game/shell/screens/GameScreenFactory.h"
#include "game/shell/screens/HighScoresDialog.h"
#include "game/shell/screens/LogosScreen.h"
#include "game/shell/screens/MainScreen.h"
#include "game/shell/screens/MapWidget.h"
#include "game/shell/screens/SimpleWidget.h"
#include "game/shell/screens/TipWidget.h"
#include "game/shell/screens/TitleScreen.h"
#include "game/shell/ui/BaseDialogWidget.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {

// Dialog id and flags of every full screen.
constexpr int kScreenDialogId = 1;

class StandInScreen : public BaseDialogWidget {
public:
    StandInScreen() : BaseDialogWidget(kScreenDialogId, false) {
        mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    }
    void Draw(Graphics* g) override {
        g->SetColor(Color(16, 24, 40));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void MouseDrag(int, int) override {}
};

class ProgramScreenFactory : public GameScreenFactory {
public:
    std::unique_ptr<BaseDialogWidget> MakeLogos(GameApp& app) override { return std::make_unique<LogosScreen>(&app); }
    std::unique_ptr<BaseDialogWidget> MakeTitle(GameApp& app) override { return std::make_unique<TitleScreen>(&app); }
    std::unique_ptr<BaseDialogWidget> MakeScreen(GameScreenId id, GameApp& app) override {
        if (id == GameScreenId::MainMenu) return std::make_unique<MainScreen>(&app);
        if (id == GameScreenId::SimpleList) return std::make_unique<SimpleWidget_t>(&app);
        if (id == GameScreenId::Board) return MakeGameBoard(&app);
        if (id == GameScreenId::Map) return std::make_unique<MapWidget_t>(&app);
        if (id == GameScreenId::HighScores) return std::make_unique<HighScoresDialog>(&app, -1);
        if (id == GameScreenId::GameOver) return std::make_unique<GameOverWidget>(&app);
        if (id == GameScreenId::Comix) return std::make_unique<ComixWidget>(&app);
        return std::make_unique<StandInScreen>();
    }
    void OnLoadingDone(BaseDialogWidget& title) override {
        if (auto* screen = dynamic_cast<TitleScreen*>(&title)) screen->OnLoadingDone();
    }
    void PauseBoardOnFocusLoss(BaseDialogWidget& board, GameApp& app) override {
        (void)app;
        if (auto* screen = dynamic_cast<BoardWidjet_t*>(&board)) screen->PauseOnFocusLoss();
    }
    bool ReadTipWindow(Dialog& tip, int* ageTicks, int* tipIndex) override {
        auto* window = dynamic_cast<TipWidget*>(&tip);
        if (window == nullptr) return false;
        *ageTicks = window->age;
        *tipIndex = window->tipId;
        return true;
    }
};

}  // namespace

std::unique_ptr<GameScreenFactory> MakeGameScreenFactory() { return std::make_unique<ProgramScreenFactory>(); }

}  // namespace Velm
