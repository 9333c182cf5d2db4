// Whole runs of the game on the content the build generates: the real screens from the logos
// through the title to the main menu, closed by a script, with the players and the score
// table saved; and the program itself ending with a message and exit code 1 when its content
// is missing, its debug lines in its log.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/shell/screens/ProgramEntry.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/WindowMessages.h"
#include "tests/game/shell/screens/GameAppTestSupport.h"
#include "widgets/WidgetManager.h"

namespace {

using Velm::GameApp;
using Velm::GameScreenId;

const std::string kContent = VELM_BUILD_CONTENT;

bool HaveContent() { return std::filesystem::exists(kContent + "/properties/resources.xml"); }

// A fresh settings and data home for one run.
class UserFolders {
public:
    UserFolders() {
        setenv("XDG_CONFIG_HOME", (mDir / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (mDir / "data").c_str(), 1);
    }
    std::string DataFolder() const { return mDir / "data/Ossmire/Tilvoria"; }

private:
    velmtest::TempDir mDir;
};

// The real game, watched update by update; it closes itself once the main menu is up.
class WatchedGame : public GameApp {
public:
    WatchedGame() {
        mOnlyAllowOneCopyToRun = false;  // other tests may run a game at the same time
        mStartMs = plat::NowMs();
    }
    void UpdateFrames() override {
        Velm::WidgetManager* manager = GetWidgetManager();
        auto shown = [manager](Velm::Widget* widget) {
            return widget != nullptr && manager->HasWidget(widget) && widget->mVisible;
        };
        GameApp::UpdateFrames();
        if (shown(GetLogosScreen())) {
            Stage("logos");
            // A click ends the splashes early (after their fade-out and gap).
            if (!mLogosClicked) {
                mLogosClicked = true;
                GetLogosScreen()->MouseDown(100, 100, 1);
            }
        }
        if (shown(GetTitleScreen())) Stage("title");
        if (shown(GetScreen(GameScreenId::MainMenu))) {
            Stage("main menu");
            if (!mCloseSent) {
                // The window's close button, as the window would report it.
                mCloseSent = true;
                WindowProc(GetMainWindow(), plat::WM_CLOSE, 0, 0);
            }
        }
        // A run that never gets there is a failure, not a hang: two minutes.
        if (plat::NowMs() - mStartMs > 120000 && !IsShutdown()) {
            Stage("timed out");
            Shutdown();
        }
    }
    // The title's bar when loading has ended, just before the title leaves: the tasks done
    // against the total it was given.
    void LoadingThreadCompleted() override {
        const int total = mNumLoadingThreadTasks.load();
        if (total > 0 && GetTitleScreen() != nullptr && GetTitleScreen()->mVisible)
            titleProgressAtEnd = static_cast<double>(mCompletedLoadingThreadTasks.load()) / total;
        GameApp::LoadingThreadCompleted();
    }
    void Stage(const std::string& name) {
        if (stages.empty() || stages.back() != name) stages.push_back(name);
    }

    std::vector<std::string> stages;
    double titleProgressAtEnd = 0.0;

private:
    uint64_t mStartMs = 0;
    bool mCloseSent = false;
    bool mLogosClicked = false;
};

TEST(GameRunTest, LogosTitleAndMainMenuThenACleanCloseSavesThePlayerFiles) {
    if (!HaveContent()) GTEST_SKIP() << "no generated content in " << kContent;
    UserFolders folders;
    const std::string previous = plat::CurrentDirectory();
    GameApp::SetContentFolder(kContent + "/");
    int exitCode = -1;
    std::vector<std::string> stages;
    double progress = 0.0;
    {
        WatchedGame game;
        exitCode = Velm::RunGameApp(game, "\"tiles\"");
        stages = game.stages;
        progress = game.titleProgressAtEnd;
        EXPECT_FALSE(game.IsLoadingFailed());
    }
    GameApp::SetContentFolder("");
    plat::SetCurrentFolder(previous);

    EXPECT_EQ(exitCode, 0);
    const std::vector<std::string> expected = {"logos", "title", "main menu"};
    EXPECT_EQ(stages, expected);
    EXPECT_DOUBLE_EQ(progress, 1.0);
    EXPECT_TRUE(std::filesystem::exists(folders.DataFolder() + "/users.dat"));
    EXPECT_TRUE(std::filesystem::exists(folders.DataFolder() + "/scoretable.dat"));
}

TEST(GameRunTest, TheProgramEndsWithCodeOneAndNamesTheMissingManifest) {
    velmtest::TempDir empty;
    UserFolders folders;
    const std::string out = empty / "out.txt";
    const std::string command = std::string("'") + VELM_TILES_PROGRAM + "' -windowed '-changedir=" + empty.Path() +
                                "' > '" + out + "' 2>&1";
    const int code = plat::RunChildProcess("/bin/sh", {"-c", command}, "");
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    // One copy per user: a second start knocks on the running one and leaves quietly.
    if (code == 0 && text.str().empty()) GTEST_SKIP() << "another copy of the game is running";
    EXPECT_EQ(code, 1);
    EXPECT_NE(text.str().find("properties\\resources.xml"), std::string::npos) << text.str();
    // The display's debug lines went to the log, not to the terminal.
    EXPECT_EQ(text.str().find("Application requests"), std::string::npos) << text.str();
    std::ifstream log(folders.DataFolder() + "/" + Velm::kLogFileName);
    std::stringstream logText;
    logText << log.rdbuf();
    EXPECT_NE(logText.str().find("Application requests"), std::string::npos) << logText.str();
}

}  // namespace
