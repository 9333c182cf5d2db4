// A new player finishes a level with the mouse, in the program's window on a virtual X server,
// driven by xdotool as a person would play: the name typed into the first-run dialog, Free
// Play, Play on the level list, both tiles of the board clicked, OK on the level-complete
// window, Back to the menu, Exit confirmed with Enter. The program must end by itself with
// exit code 0, and the player's file must hold the level's best score. The X server keeps its
// screen in a file (Xvfb -fbdir), copied while the Exit question stands: the question's words
// must show inside the message box.
//
// The program runs from a folder of its own whose content is the generated content with one
// change: the first free-play level is played on the two-tile layout, so the tiles' places are
// known whatever the deal. The click places are frame pixels of the content's screens.
// Skips itself where Xvfb or xdotool is not installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "game/shell/ProfileManager.h"
#include "platform/ChildProcess.h"
#include "tests/platform/TempDir.h"
#include "tests/platform/XvfbScreen.h"

namespace {

using velmtest::ReadFile;

struct Click {
    const char* what;
    int x, y;     // in the window
    double wait;  // seconds after the click
};

// The road, in the order it is played. The two tiles of the pair layout lie side by side in
// the middle of the board.
const Click kRoad[] = {
        {"Free Play on the main menu", 510, 322, 3},
        {"Play on the level list", 843, 713, 8},
        {"the first tile", 478, 430, 0.4},
        {"the second tile", 527, 430, 8},
        {"OK on the level-complete window", 510, 527, 4},
        {"Back on the level list", 179, 713, 3},
        {"Exit on the main menu", 510, 585, 1},
};

// The message box of the Exit question, in the window: 500 x 350 around the centre of the
// 1024 x 768 frame, its body (the question) in 40,90,420,150 of the box.
constexpr int kBoxLeft = (1024 - 500) / 2;
constexpr int kBoxTop = (768 - 350) / 2;
const velmtest::Box kQuestionBody{kBoxLeft + 40, kBoxTop + 90, kBoxLeft + 40 + 420, kBoxTop + 90 + 150};

// The shell script: the program's folder, the X server, the program, then the road. Leaves in
// the work folder "display", "tiles.log", "exit" (the program's exit code, or "killed" when it
// did not end by itself), "geometry" (the window's place, as xdotool's shell lines) and
// "question.xwd" (the screen while the Exit question stands). Arguments: work folder, program,
// content folder. Exits 2 when the X server does not start, 3 when the program's window does
// not appear.
std::string RunScript() {
    std::ostringstream s;
    s << "work=$1; tiles=$2; content=$3; bin=\"$work/bin\"; "
         "mkdir -p \"$work/config\" \"$work/data\" \"$bin/content\"; "
         // The program finds its content next to itself.
         "ln \"$tiles\" \"$bin/tiles\" 2>/dev/null || cp \"$tiles\" \"$bin/tiles\"; "
         "for e in \"$content\"/*; do ln -s \"$e\" \"$bin/content/\"; done; "
         "rm \"$bin/content/stages\"; cp -r \"$content/stages\" \"$bin/content/stages\"; "
         "sed -i '0,/^Layout=/s/^Layout=[^\\r]*/Layout=pair.lay/' \"$bin/content/stages/simple1.txt\"; "
         "mkdir -p \"$work/fb\"; "
         "Xvfb -displayfd 3 -screen 0 1280x1024x24 -fbdir \"$work/fb\" -nolisten tcp 3>\"$work/display\" "
         "2>\"$work/xvfb.log\" & "
         "xvfb=$!; "
         "for i in $(seq 100); do [ -s \"$work/display\" ] && break; sleep 0.1; done; "
         "if [ ! -s \"$work/display\" ]; then kill $xvfb; wait $xvfb; exit 2; fi; "
         "export DISPLAY=:$(cat \"$work/display\"); "
         // The program starts only once the X server answers.
         "for i in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done; "
         "env -u SDL_VIDEODRIVER -u VELM_NONINTERACTIVE SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=\"$work/config\" "
         "XDG_DATA_HOME=\"$work/data\" \"$bin/tiles\" -windowed >\"$work/tiles.log\" 2>&1 & game=$!; "
         "finish() { kill $xvfb; wait $xvfb; exit $1; }; "
         "id=; for i in $(seq 300); do id=$(xdotool search --onlyvisible --pid $game 2>/dev/null | head -n 1); "
         "[ -n \"$id\" ] && break; sleep 0.1; done; "
         "if [ -z \"$id\" ]; then kill $game; wait $game; finish 3; fi; "
         "xdotool getwindowgeometry --shell $id >\"$work/geometry\"; "
         // The content loads for a few seconds before the name dialog shows.
         "sleep 8; xdotool type --delay 60 Mouse; xdotool key Return; "
         "for i in $(seq 100); do find \"$work/data\" -name Mouse.dat | grep -q . && break; sleep 0.1; done; "
         "sleep 2; ";
    for (const Click& click : kRoad) {
        s << "xdotool mousemove --window $id " << click.x << ' ' << click.y << "; sleep 0.2; xdotool click 1; sleep "
          << click.wait << "; ";
    }
    // The last click was Exit: its question stands.
    s << "cp \"$work/fb/Xvfb_screen0\" \"$work/question.xwd\"; xdotool key Return; "
         "for i in $(seq 150); do kill -0 $game 2>/dev/null || break; sleep 0.1; done; "
         "if kill -0 $game 2>/dev/null; then kill $game; wait $game; echo killed >\"$work/exit\"; "
         "else wait $game; echo $? >\"$work/exit\"; fi; "
         "finish 0";
    return s.str();
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// One value of xdotool's shell lines ("X=12"), -1 when missing.
int GeometryValue(const std::string& lines, const std::string& key) {
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0) return std::stoi(line.substr(key.size() + 1));
    }
    return -1;
}

// The road is played once; each test reads what it left.
class MouseLevelWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!velmtest::FindOnPath("Xvfb").has_value()) {
            skipped = "Xvfb is not installed";
            return;
        }
        if (!velmtest::FindOnPath("xdotool").has_value()) {
            skipped = "xdotool is not installed";
            return;
        }
        runFolder = new velmtest::TempDir;
        runCode = plat::RunChildProcess(
                "/bin/sh", {"-c", RunScript(), "mouse-level", runFolder->Path(), VELM_TILES_PROGRAM, VELM_CONTENT_DIR},
                "");
        if (runCode == 2) skipped = "Xvfb did not start: " + ReadFile(*runFolder / "xvfb.log");
    }
    static void TearDownTestSuite() {
        delete runFolder;
        runFolder = nullptr;
    }
    void SetUp() override {
        if (!skipped.empty()) GTEST_SKIP() << skipped;
        const std::string log = ReadFile(*runFolder / "tiles.log");
        ASSERT_NE(runCode, 3) << "no window appeared; program output:\n" << log;
        ASSERT_EQ(runCode, 0) << log;
    }

    static velmtest::TempDir* runFolder;
    static int runCode;
    static std::string skipped;
};

velmtest::TempDir* MouseLevelWindow::runFolder = nullptr;
int MouseLevelWindow::runCode = 0;
std::string MouseLevelWindow::skipped;

TEST_F(MouseLevelWindow, ANewPlayerFinishesALevelWithTheMouseAndLeaves) {
    const velmtest::TempDir& work = *runFolder;
    const std::string log = ReadFile(work / "tiles.log");

    std::string road;
    for (const Click& click : kRoad) road += std::string("\n  ") + click.what;
    EXPECT_EQ(Trimmed(ReadFile(work / "exit")), "0")
            << "the program did not leave by itself after the road:" << road << "\nprogram output:\n"
            << log;

    const std::string folder = work.Path() + "/data/Ossmire/Tilvoria";
    ProfileManager_t profiles;
    ASSERT_TRUE(profiles.Load(folder + "/users.dat")) << "no players list in " << folder;
    ASSERT_EQ(profiles.GetProfileCount(), 1);
    EXPECT_EQ(profiles.GetProfile(0)->name, "Mouse");
    profiles.SetCurrentIndex(0);
    const LevelRecord_t* record = profiles.FindLevelRecord(0);
    ASSERT_NE(record, nullptr) << "the first level was not recorded as played";
    EXPECT_GT(record->bestScore, 0);
    EXPECT_GT(record->bestTime, 0);
}

TEST_F(MouseLevelWindow, TheExitQuestionShowsItsWordsInsideTheBox) {
    const velmtest::TempDir& work = *runFolder;
    const std::string geometry = ReadFile(work / "geometry");
    const int windowX = GeometryValue(geometry, "X");
    const int windowY = GeometryValue(geometry, "Y");
    ASSERT_GE(windowX, 0) << "no window place: " << geometry;
    ASSERT_GE(windowY, 0) << "no window place: " << geometry;
    std::string error;
    const std::optional<velmtest::Screen> screen = velmtest::ReadXwd(work / "question.xwd", &error);
    ASSERT_TRUE(screen.has_value()) << error;

    // The words are drawn near-white on the box's dark blue; count such pixels and the rows and
    // columns they reach inside the question's rectangle.
    int light = 0;
    int top = kQuestionBody.bottom, bottom = kQuestionBody.top, left = kQuestionBody.right, right = kQuestionBody.left;
    for (int y = kQuestionBody.top; y < kQuestionBody.bottom; ++y) {
        for (int x = kQuestionBody.left; x < kQuestionBody.right; ++x) {
            const uint32_t pixel = screen->At(windowX + x, windowY + y);
            const bool nearWhite = (pixel >> 16 & 0xFF) >= 180 && (pixel >> 8 & 0xFF) >= 180 && (pixel & 0xFF) >= 180;
            if (!nearWhite) continue;
            ++light;
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
            left = std::min(left, x);
            right = std::max(right, x + 1);
        }
    }
    // A line of words: hundreds of pixels, spread over most of the width and a text's height.
    EXPECT_GE(light, 300) << "the question's rectangle holds no words";
    EXPECT_GE(right - left, 200) << "the words span " << left << ".." << right;
    EXPECT_GE(bottom - top, 10) << "the words span rows " << top << ".." << bottom;
}

}  // namespace
