// Whole runs of the game on the content the build generates: the real screens from the logos
// through the title to the main menu, closed by a script, with the players and the score
// table saved; and the program itself ending with a message and exit code 1 when its content
// is missing, its debug lines in its log.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

// What a watched run does on the title screen, while the loading thread works.
enum class OnTitle {
    Nothing,
    // The window loses and regains the focus on every update.
    ToggleFocus,
    // The window's close button, before the loading thread starts its work.
    Close,
};

// The real game, watched update by update; it closes itself once the main menu is up.
class WatchedGame : public GameApp {
public:
    explicit WatchedGame(OnTitle onTitle = OnTitle::Nothing) : mOnTitle(onTitle) {
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
        if (shown(GetTitleScreen())) {
            Stage("title");
            if (mOnTitle == OnTitle::ToggleFocus) {
                WindowProc(GetMainWindow(), plat::WM_ACTIVATEAPP, 0, 0);
                WindowProc(GetMainWindow(), plat::WM_ACTIVATEAPP, 1, 0);
            } else if (mOnTitle == OnTitle::Close) {
                Close();
            }
        }
        if (shown(GetScreen(GameScreenId::MainMenu))) {
            Stage("main menu");
            Close();
        }
        // A run that never gets there is a failure, not a hang: two minutes.
        if (plat::NowMs() - mStartMs > 120000 && !IsShutdown()) {
            Stage("timed out");
            Shutdown();
        }
    }
    // The loading thread waits for a close on the title screen when the run asks for one, until
    // the main loop has acted on it (the window's close goes through the deferred queue).
    void LoadingThreadProc() override {
        if (mOnTitle == OnTitle::Close) {
            for (int ms = 0; ms < 20000 && !(mCloseSent.load() && IsShutdown()); ++ms) plat::SleepMs(1);
        }
        GameApp::LoadingThreadProc();
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
    // The window's close button, as the window would report it, once.
    void Close() {
        if (mCloseSent.load()) return;
        mCloseSent = true;
        WindowProc(GetMainWindow(), plat::WM_CLOSE, 0, 0);
    }

    OnTitle mOnTitle;
    uint64_t mStartMs = 0;
    std::atomic<bool> mCloseSent{false};
    bool mLogosClicked = false;
};

// What a watched run ended with.
struct RunResult {
    int exitCode = -1;
    std::vector<std::string> stages;
    double titleProgressAtEnd = 0.0;
    bool loadingFailed = true;
    bool screensBuilt = false;
};

// Runs the game on the generated content in the test's user folders.
// Runs the program through the shell, windowed, on the given content folder, its output into
// `out`; `prefix` goes before the program (an environment or a time limit). The exit code.
int RunProgram(const std::string& prefix, const std::string& content, const std::string& out, std::string* output) {
    const std::string command =
            prefix + "'" + VELM_TILES_PROGRAM + "' -windowed '-changedir=" + content + "' > '" + out + "' 2>&1";
    const int code = plat::RunChildProcess("/bin/sh", {"-c", command}, "");
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    *output = text.str();
    return code;
}

RunResult RunWatchedGame(OnTitle onTitle) {
    const std::string previous = plat::CurrentDirectory();
    GameApp::SetContentFolder(kContent + "/");
    RunResult result;
    {
        WatchedGame game(onTitle);
        result.exitCode = Velm::RunGameApp(game, "\"tiles\"");
        result.stages = game.stages;
        result.titleProgressAtEnd = game.titleProgressAtEnd;
        result.loadingFailed = game.IsLoadingFailed();
        result.screensBuilt = game.AreScreensBuilt();
    }
    GameApp::SetContentFolder("");
    plat::SetCurrentFolder(previous);
    return result;
}

TEST(GameRunTest, LogosTitleAndMainMenuThenACleanCloseSavesThePlayerFiles) {
    if (!HaveContent()) GTEST_SKIP() << "no generated content in " << kContent;
    UserFolders folders;
    const RunResult run = RunWatchedGame(OnTitle::Nothing);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.loadingFailed);
    const std::vector<std::string> expected = {"logos", "title", "main menu"};
    EXPECT_EQ(run.stages, expected);
    EXPECT_DOUBLE_EQ(run.titleProgressAtEnd, 1.0);
    EXPECT_TRUE(std::filesystem::exists(folders.DataFolder() + "/users.dat"));
    EXPECT_TRUE(std::filesystem::exists(folders.DataFolder() + "/scoretable.dat"));
}

// The window losing and regaining the focus while the title screen shows and the loading
// thread builds the screens: the application looks for a board to pause only among screens
// that are done (the thread-sanitizer build checks it), and the run goes on to the menu.
TEST(GameRunTest, FocusChangesOnTheTitleScreenWhileLoadingLeaveTheLoadAlone) {
    if (!HaveContent()) GTEST_SKIP() << "no generated content in " << kContent;
    UserFolders folders;
    const RunResult run = RunWatchedGame(OnTitle::ToggleFocus);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.stages, (std::vector<std::string>{"logos", "title", "main menu"}));
}

// A quit asked for on the title screen stops the load and ends the program normally (code 0,
// not the code of content that could not be loaded), and the players are still saved.
TEST(GameRunTest, QuittingOnTheTitleScreenEndsWithCodeZero) {
    if (!HaveContent()) GTEST_SKIP() << "no generated content in " << kContent;
    UserFolders folders;
    const RunResult run = RunWatchedGame(OnTitle::Close);
    EXPECT_FALSE(run.screensBuilt);
    EXPECT_FALSE(run.loadingFailed);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folders.DataFolder() + "/users.dat"));
}

// Without a display to show the window on (none named, or an X server that is not there),
// the program does not run on unseen: it says why and ends with code 1.
TEST(GameRunTest, WithoutADisplayTheProgramSaysWhyAndEnds) {
    if (!HaveContent()) GTEST_SKIP() << "no generated content in " << kContent;
    struct Case {
        const char* display;  // the environment's part
        const char* reason;
    };
    const Case kCases[] = {
            {"-u DISPLAY", "no display (DISPLAY is not set)"},
            {"DISPLAY=:4711", "cannot open the X display \":4711\""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.display);
        velmtest::TempDir work;
        UserFolders folders;
        std::string text;
        // A program that runs on unseen is stopped after two minutes (exit code 124).
        const int code =
                RunProgram(std::string("exec timeout 120 env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY ") + c.display + " ",
                           kContent, work / "out.txt", &text);
        if (code == 0 && text.empty()) GTEST_SKIP() << "another copy of the game is running";
        EXPECT_EQ(code, 1) << text;
        EXPECT_NE(text.find(std::string("The game's window could not be opened: video: ") + c.reason),
                  std::string::npos)
                << text;
    }
}

TEST(GameRunTest, TheProgramEndsWithCodeOneAndNamesTheMissingManifest) {
    velmtest::TempDir empty;
    UserFolders folders;
    std::string text;
    const int code = RunProgram("", empty.Path(), empty / "out.txt", &text);
    // One copy per user: a second start knocks on the running one and leaves quietly.
    if (code == 0 && text.empty()) GTEST_SKIP() << "another copy of the game is running";
    EXPECT_EQ(code, 1);
    EXPECT_NE(text.find("properties\\resources.xml"), std::string::npos) << text;
    // The display's debug lines went to the log, not to the terminal.
    EXPECT_EQ(text.find("Application requests"), std::string::npos) << text;
    std::ifstream log(folders.DataFolder() + "/" + Velm::kLogFileName);
    std::stringstream logText;
    logText << log.rdbuf();
    EXPECT_NE(logText.str().find("Application requests"), std::string::npos) << logText.str();
}

}  // namespace
