#pragma once

// Whole runs of the game on the generated content, headless: the application with its real
// screens and loop, and the few steps every scripted road takes (a fresh player folder, the
// content check, a pair of tile clicks).

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>

#include "game/board/Layout.h"
#include "game/shell/screens/GameApp.h"
#include "tests/platform/TempDir.h"
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

}  // namespace roadtest
