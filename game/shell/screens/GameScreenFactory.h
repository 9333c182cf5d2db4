#pragma once

#include <memory>

namespace Velm {

class BaseDialogWidget;
class Dialog;
class GameApp;

// The screens the loading thread builds, in the order it builds them.
enum class GameScreenId { MainMenu, Map, Board, HighScores, SimpleList, GameOver, Comix, Count };

// Builds the game's screens for the application and makes the few screen-specific calls the
// application needs, so that the application object depends only on the screen base. The
// application owns what it builds. The logos and the title are built on the main thread, the
// others on the loading thread (they must not touch the widget manager there). Tests install
// factories of stand-in screens.
class GameScreenFactory {
public:
    virtual ~GameScreenFactory() = default;

    virtual std::unique_ptr<BaseDialogWidget> MakeLogos(GameApp& app) = 0;
    virtual std::unique_ptr<BaseDialogWidget> MakeTitle(GameApp& app) = 0;
    // Null for a screen this program does not have.
    virtual std::unique_ptr<BaseDialogWidget> MakeScreen(GameScreenId id, GameApp& app) = 0;

    // The loading thread has ended: the title screen leaves for the main menu.
    virtual void OnLoadingDone(BaseDialogWidget& title) = 0;
    // The application lost the focus while the play screen is shown: pause a running game
    // unless something else already holds it.
    virtual void PauseBoardOnFocusLoss(BaseDialogWidget& board, GameApp& app) = 0;
    // The age (updates) and tip index of an open tip window; false when the dialog is not one.
    virtual bool ReadTipWindow(Dialog& tip, int* ageTicks, int* tipIndex) = 0;
};

// The factory of the real screens.
std::unique_ptr<GameScreenFactory> MakeGameScreenFactory();

}  // namespace Velm
