#pragma once

// Whole runs of the game on the generated content, headless: the application with its real
// screens and loop, and the few steps every scripted road takes (a fresh player folder, the
// content check, a new player's name, the pairs of a level clicked, the level-complete window
// closed).

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "game/board/Layout.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/screens/LevelCompleteWidget.h"
#include "game/shell/ui/UserNameDialog.h"
#include "tests/platform/TempDir.h"
#include "widgets/EditWidget.h"
#include "widgets/Widget.h"

namespace roadtest {

class RoadApp : public Velm::GameApp {
public:
    // Other programs of the build may run at the same time; game time runs twenty times the
    // clock.
    RoadApp() {
        mOnlyAllowOneCopyToRun = false;
        mSpeedFactor = 20.0;
    }
    // A road that stopped half-way (a failed assertion) still shuts the application down
    // before it goes, as the player's exit would.
    ~RoadApp() override {
        if (!IsShutdown()) Shutdown();
    }

    // Steps the real loop until done() holds; false when it did not within the limit. The loop
    // runs on the clock, and a step that finds no update due returns at once, so the limit is
    // both a number of steps and a least time: on a fast machine thousands of steps may pass
    // within one update.
    bool RunUntil(const std::function<bool()>& done, int maxSteps = 20000) {
        const auto start = std::chrono::steady_clock::now();
        const auto leastTime = std::chrono::milliseconds(maxSteps / 2);
        for (int i = 0; i < maxSteps || std::chrono::steady_clock::now() - start < leastTime; ++i) {
            if (done()) return true;
            if (IsShutdown()) return false;
            UpdateApp();
        }
        return done();
    }
    // The screen is shown and the ice cover has gone.
    bool Shown(Velm::GameScreenId id) {
        Velm::BaseDialogWidget* screen = GetScreen(id);
        return screen != nullptr && screen->mVisible && screenToShow == screen && !GetIce()->mVisible;
    }
};

// Player files and settings in a fresh folder, and the content folder the application reads.
class RoadHome {
public:
    explicit RoadHome(const std::string& content) {
        setenv("XDG_DATA_HOME", mHome.Path("data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", mHome.Path("config").c_str(), 1);
        Velm::GameApp::SetContentFolder(content + "/");
    }
    ~RoadHome() { Velm::GameApp::SetContentFolder(""); }
    RoadHome(const RoadHome&) = delete;
    RoadHome& operator=(const RoadHome&) = delete;

private:
    velmtest::TempDir mHome;
};

// Every file the road reads is in the content folder.
inline bool ContentHas(const std::string& content, std::initializer_list<const char*> files) {
    for (const char* file : files) {
        if (!std::filesystem::exists(content + "/" + file)) return false;
    }
    return true;
}

// Clicks both tiles of the first available pair of the layout on the board (pointer moved
// there, pressed and released); false when no pair can be played now.
inline bool ClickFirstPair(Velm::Widget& board, Velm::Layout_t& layout) {
    layout.FindAvailablePairs();
    if (layout.availablePairs.empty() || layout.IsOperationPending()) return false;
    const std::pair<int, int> pair = layout.availablePairs[0];
    for (int tile : {pair.first, pair.second}) {
        const int x = static_cast<int>(layout.Cell(tile).x);
        const int y = static_cast<int>(layout.Cell(tile).y);
        board.MouseMove(x, y);
        board.MouseDown(x, y, 1);
        board.MouseUp(x, y, 1);
    }
    return true;
}

// Types a new player's name into the name window once it has flown in, and confirms it; false
// when the window did not come.
inline bool EnterName(RoadApp& app, const std::string& name) {
    if (!app.RunUntil([&] { return app.userNameDialog != nullptr && app.userNameDialog->flyState == 1; })) return false;
    app.userNameDialog->GetEdit()->SetText(name, true);
    app.userNameDialog->ButtonDepress(Velm::UserNameDialog::kConfirmButton);
    return true;
}

// Clicks the playable pairs of the board until the level-complete window opens; beforeLook
// (when given) runs at every step first, for the windows a road closes on the way.
inline bool PlayToTheEnd(RoadApp& app, Velm::BoardWidjet_t& board,
                         const std::function<void()>& beforeLook = std::function<void()>()) {
    Velm::Layout_t* layout = board.CurrentLayout();
    if (layout == nullptr) return false;
    return app.RunUntil([&] {
        if (app.GetDialog(Velm::BoardDialogId::kLevelComplete) != nullptr) return true;
        if (beforeLook) beforeLook();
        if (board.boardState != Velm::BoardWidjet_t::kStatePlaying) return false;
        ClickFirstPair(board, *layout);
        return false;
    });
}

// The open level-complete window.
inline Velm::LevelCompleteWidget_t* LevelComplete(RoadApp& app) {
    return dynamic_cast<Velm::LevelCompleteWidget_t*>(app.GetDialog(Velm::BoardDialogId::kLevelComplete));
}

// Closes the level-complete window with its Ok once its four values are all shown, and waits
// for it to go; false when there is none or it did not.
inline bool CloseLevelComplete(RoadApp& app) {
    Velm::LevelCompleteWidget_t* done = LevelComplete(app);
    if (done == nullptr || !app.RunUntil([&] { return done->IsRevealed(3); })) return false;
    done->ButtonDepress(0);
    return app.RunUntil([&] { return LevelComplete(app) == nullptr; });
}

}  // namespace roadtest
