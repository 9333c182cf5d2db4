// The factory of the program's screens. Screens that are not part of the program yet are
// plain stand-ins: the logos hand over at once, the title shows its two pictures with the
// loading progress and leaves for the main menu when loading is done, and the other screens
// show an empty dark screen.

#include <memory>

#include "game/shell/ResourceIds.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/GameScreenFactory.h"
#include "game/shell/screens/SimpleWidget.h"
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

// Hands over to the application on its first update.
class StandInLogos : public StandInScreen {
public:
    explicit StandInLogos(GameApp& app) : mApp(app) {}
    void Update() override {
        if (mDone) return;
        mDone = true;
        mApp.OnLogosFinished();
    }

private:
    GameApp& mApp;
    bool mDone = false;
};

// The title: its back picture and the progress picture filling from the bottom up.
class StandInTitle : public StandInScreen {
public:
    explicit StandInTitle(GameApp& app) : mApp(app) {}
    void Draw(Graphics* g) override {
        if (IMAGE_TITLE_BACK != nullptr) {
            g->DrawImage(IMAGE_TITLE_BACK, 0, 0);
        } else {
            StandInScreen::Draw(g);
        }
        Image* progress = IMAGE_TITLE_PROGRESS;
        if (progress == nullptr) return;
        const int width = progress->GetWidth();
        const int height = progress->GetHeight();
        const int filled = static_cast<int>(mApp.GetLoadingThreadProgress() * height);
        if (filled <= 0) return;
        const int x = (mWidth - width) / 2;
        const int y = mHeight - height - 40;
        g->DrawImage(progress, x, y + height - filled, Rect(0, height - filled, width, filled));
    }
    void MouseDown(int, int, int) override {
        if (mLoaded) Leave();
    }
    using StandInScreen::MouseDown;
    void OnLoadingDone() {
        mLoaded = true;
        Leave();
    }

private:
    void Leave() {
        if (mApp.UnloadTitleScreenResources()) mApp.SwitchScreen(GameApp::kTitleToMain);
    }
    GameApp& mApp;
    bool mLoaded = false;
};

class ProgramScreenFactory : public GameScreenFactory {
public:
    std::unique_ptr<BaseDialogWidget> MakeLogos(GameApp& app) override { return std::make_unique<StandInLogos>(app); }
    std::unique_ptr<BaseDialogWidget> MakeTitle(GameApp& app) override { return std::make_unique<StandInTitle>(app); }
    std::unique_ptr<BaseDialogWidget> MakeScreen(GameScreenId id, GameApp& app) override {
        if (id == GameScreenId::SimpleList) return std::make_unique<SimpleWidget_t>(&app);
        return std::make_unique<StandInScreen>();
    }
    void OnLoadingDone(BaseDialogWidget& title) override {
        if (auto* standIn = dynamic_cast<StandInTitle*>(&title)) standIn->OnLoadingDone();
    }
    void PauseBoardOnFocusLoss(BaseDialogWidget& board, GameApp& app) override {
        (void)board;
        (void)app;
    }
    bool ReadTipWindow(Dialog& tip, int* ageTicks, int* tipIndex) override {
        (void)tip;
        (void)ageTicks;
        (void)tipIndex;
        return false;
    }
};

}  // namespace

std::unique_ptr<GameScreenFactory> MakeGameScreenFactory() { return std::make_unique<ProgramScreenFactory>(); }

}  // namespace Velm
