// Random input over the whole game: a player that clicks buttons and empty places, drags,
// presses keys, types, loses and regains the focus, and minimises, maximises and restores the
// window, for a bounded time, starting from a player who has already played (so the menus
// lead on to the list, the map and the board). No crash, no hang (the watchdog), no sanitizer
// report; afterwards the player files still load whole.
//
// Seeded: a failure names the seed of its session, and
//   VELM_RANDOM_SEED=<seed> VELM_RANDOM_SECONDS=<s> ctest -R test_game_random_input
// replays it. VELM_RANDOM_SECONDS (default 60) is the wall time of all sessions together.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "game/shell/HighScoreTable.h"
#include "game/shell/ProfileManager.h"
#include "platform/SyntheticInput.h"
#include "tests/game/run/PlayerScripts.h"
#include "tests/game/run/RunSupport.h"
#include "widgets/WidgetManager.h"

namespace {

using runtest::PlayerRun;

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// Every visible, enabled button of the widget tree.
void CollectButtons(Velm::WidgetContainer* root, std::vector<Velm::Widget*>& out) {
    for (Velm::Widget* child : root->mWidgets) {
        if (!child->mVisible) continue;
        if (dynamic_cast<Velm::ButtonWidget*>(child) != nullptr && !child->mDisabled) out.push_back(child);
        CollectButtons(child, out);
    }
}

class RandomPlayer {
public:
    explicit RandomPlayer(unsigned seed) : mRandom(seed) {}

    void operator()(PlayerRun& run) {
        if (Pick(6) != 0) return;
        plat::Window& window = *run.GetMainWindow();
        const int width = run.mWidth;
        const int height = run.mHeight;
        switch (Pick(12)) {
            case 0:
            case 1:
            case 2:
            case 3: {
                // Most clicks go to a button, so the run moves on between the screens.
                std::vector<Velm::Widget*> buttons;
                CollectButtons(run.GetWidgetManager(), buttons);
                if (!buttons.empty()) {
                    run.Click(buttons[static_cast<size_t>(Pick(static_cast<int>(buttons.size())))]);
                    break;
                }
                run.ClickAt(Pick(width), Pick(height));
                break;
            }
            case 4: run.ClickAt(Pick(width), Pick(height), Pick(3) == 0); break;
            case 5: {
                // A drag: pressed in one place, moved in steps, released in another.
                int x = Pick(width);
                int y = Pick(height);
                run.MoveTo(x, y);
                plat::SynthesizeButton(window, 1, true, 1, x, y);
                for (int step = 0; step < 4; ++step) {
                    x = Pick(width);
                    y = Pick(height);
                    run.MoveTo(x, y);
                }
                plat::SynthesizeButton(window, 1, false, 1, x, y);
                break;
            }
            case 6: {
                static const int kKeys[] = {plat::VK_RETURN,
                                            plat::VK_ESCAPE,
                                            plat::VK_SPACE,
                                            plat::VK_LEFT,
                                            plat::VK_RIGHT,
                                            plat::VK_UP,
                                            plat::VK_DOWN,
                                            plat::VK_TAB,
                                            plat::VK_BACK,
                                            plat::VK_DELETE,
                                            plat::VK_HOME,
                                            plat::VK_END,
                                            plat::VK_F1,
                                            'A',
                                            'Z',
                                            '1'};
                run.Key(kKeys[Pick(static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0])))]);
                break;
            }
            case 7: {
                std::string text;
                const int length = 1 + Pick(6);
                for (int i = 0; i < length; ++i) text += static_cast<char>('a' + Pick(26));
                run.Type(text);
                break;
            }
            case 8: plat::SynthesizeWheel(window, Pick(5) - 2); break;
            case 9:
                plat::SynthesizeWindowEvent(window, mFocused ? plat::SyntheticWindowEvent::FocusLost
                                                             : plat::SyntheticWindowEvent::FocusGained);
                mFocused = !mFocused;
                break;
            case 10:
                plat::SynthesizeWindowEvent(window, Pick(2) == 0 ? plat::SyntheticWindowEvent::Minimized
                                                                 : plat::SyntheticWindowEvent::Maximized);
                break;
            default:
                plat::SynthesizeWindowEvent(window, plat::SyntheticWindowEvent::Restored);
                if (!mFocused) {
                    plat::SynthesizeWindowEvent(window, plat::SyntheticWindowEvent::FocusGained);
                    mFocused = true;
                }
                break;
        }
    }

private:
    int Pick(int n) { return n > 0 ? static_cast<int>(mRandom() % static_cast<unsigned>(n)) : 0; }

    std::mt19937 mRandom;
    bool mFocused = true;
};

TEST(RandomInput, EveryScreenTakesRandomInputAndThePlayerFilesStillLoad) {
    if (!runtest::HaveContent()) GTEST_SKIP() << "no generated content in " << runtest::ContentFolder();
    const unsigned baseSeed = static_cast<unsigned>(EnvInt("VELM_RANDOM_SEED", 20261210));
    const int seconds = EnvInt("VELM_RANDOM_SECONDS", 60);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int sessions = 0;
    do {
        const unsigned seed = baseSeed + static_cast<unsigned>(sessions++);
        SCOPED_TRACE("session seed " + std::to_string(seed));
        const runtest::RunHome home;
        runtest::PlantKeptPlayer(home);
        {
            runtest::Watchdog watchdog(600, "random session with seed " + std::to_string(seed));
            RandomPlayer player(seed);
            PlayerRun run;
            run.script = [&player](PlayerRun& r) { player(r); };
            // Two minutes of game time, unless a click on Exit and an Enter end it first.
            EXPECT_EQ(run.Run("", 2 * 60 * 1000), 0);
            std::string switches;
            for (const std::string& line : run.trace) switches += " " + line;
            std::printf("session %u: %d updates, switches (update:code)%s\n", seed, run.GetUpdateCount(),
                        switches.c_str());
        }
        // The files left behind load whole: every listed player's file is read without repair
        // (a random click may have deleted the player, or made another).
        ASSERT_TRUE(std::filesystem::exists(home.DataFolder() + "/users.dat"));
        ProfileManager_t profiles;
        profiles.Load(home.DataFolder() + "/users.dat");
        for (int i = 0; i < profiles.GetProfileCount(); ++i) {
            profiles.SetCurrentIndex(i);
            EXPECT_TRUE(profiles.GetProfile(i)->damagedFileImage.empty()) << profiles.GetProfile(i)->name;
        }
        HighScoreTable_t scores;
        EXPECT_TRUE(scores.Load(home.DataFolder() + "/scoretable.dat"));
    } while (std::chrono::steady_clock::now() < end && !HasFatalFailure());
    RecordProperty("sessions", sessions);
}

}  // namespace
