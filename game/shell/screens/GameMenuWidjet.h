#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

class GameApp;

// The menu the play screen opens during a level (dialog 55 from its UI file):
// "Options" (1), "Help" (2), "Quit" (3), "Continue" (4, also Esc) and "Replay"
// (5, shown only while a level is running). Quit asks in a second fly-in
// (dialog 301) whether to leave the program (1), go back to the main menu (2)
// or to the level list (4); the board reads toMainMenu and toLevelList once the
// menu has flown out. Its own result is the id of the last button; once out,
// its dialog result is 1000. Main thread.
class GameMenuWidjet_t : public FlyWidget_t {
public:
    enum { kOptions = 1, kHelp = 2, kQuit = 3, kContinue = 4, kReplay = 5 };
    static constexpr int kQuitDialogId = 301;
    static constexpr int kOutResult = 1000;

    // levelRunning: the board plays a level that has not ended (Replay shown).
    GameMenuWidjet_t(const std::string& fileName, bool levelRunning);
    ~GameMenuWidjet_t() override;

    void Update() override;
    void KeyUp(int key) override;
    void ButtonDepress(int id) override;
    void DialogButtonDepress(int dialogId, int result) override;

    bool toMainMenu = false;
    bool toLevelList = false;
};

}  // namespace Velm
