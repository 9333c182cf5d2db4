// A new player finishes a level with the mouse, in the program's window on a virtual X server,
// driven by xdotool as a person would play: the name typed into the first-run dialog, Free
// Play, Play on the level list, both tiles of the board clicked, OK on the level-complete
// window, Back to the menu, Exit confirmed with Enter. The program must end by itself with
// exit code 0, and the player's file must hold the level's best score.
//
// The program runs from a folder of its own whose content is the generated content with one
// change: the first free-play level is played on the two-tile layout, so the tiles' places are
// known whatever the deal. The click places are frame pixels of the content's screens.
// Skips itself where Xvfb or xdotool is not installed.

#include <gtest/gtest.h>

#include <filesystem>
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

// The shell script: the program's folder, the X server, the program, then the road. Leaves in
// the work folder "display", "tiles.log", "exit" (the program's exit code, or "killed" when it
// did not end by itself). Arguments: work folder, program, content folder. Exits 2 when the X
// server does not start, 3 when the program's window does not appear.
std::string RunScript() {
    std::ostringstream s;
    s << "work=$1; tiles=$2; content=$3; bin=\"$work/bin\"; "
         "mkdir -p \"$work/config\" \"$work/data\" \"$bin/content\"; "
         // The program finds its content next to itself.
         "ln \"$tiles\" \"$bin/tiles\" 2>/dev/null || cp \"$tiles\" \"$bin/tiles\"; "
         "for e in \"$content\"/*; do ln -s \"$e\" \"$bin/content/\"; done; "
         "rm \"$bin/content/stages\"; cp -r \"$content/stages\" \"$bin/content/stages\"; "
         "sed -i '0,/^Layout=/s/^Layout=[^\\r]*/Layout=pair.lay/' \"$bin/content/stages/simple1.txt\"; "
         "Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>\"$work/display\" 2>\"$work/xvfb.log\" & "
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
         // The content loads for a few seconds before the name dialog shows.
         "sleep 8; xdotool type --delay 60 Mouse; xdotool key Return; "
         "for i in $(seq 100); do find \"$work/data\" -name Mouse.dat | grep -q . && break; sleep 0.1; done; "
         "sleep 2; ";
    for (const Click& click : kRoad) {
        s << "xdotool mousemove --window $id " << click.x << ' ' << click.y << "; sleep 0.2; xdotool click 1; sleep "
          << click.wait << "; ";
    }
    s << "xdotool key Return; "
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

TEST(MouseLevelWindow, ANewPlayerFinishesALevelWithTheMouseAndLeaves) {
    if (!velmtest::FindOnPath("Xvfb").has_value()) GTEST_SKIP() << "Xvfb is not installed";
    if (!velmtest::FindOnPath("xdotool").has_value()) GTEST_SKIP() << "xdotool is not installed";
    velmtest::TempDir work;
    const int code = plat::RunChildProcess(
            "/bin/sh", {"-c", RunScript(), "mouse-level", work.Path(), VELM_TILES_PROGRAM, VELM_CONTENT_DIR}, "");
    if (code == 2) GTEST_SKIP() << "Xvfb did not start: " << ReadFile(work / "xvfb.log");
    const std::string log = ReadFile(work / "tiles.log");
    ASSERT_NE(code, 3) << "no window appeared; program output:\n" << log;
    ASSERT_EQ(code, 0) << log;

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

}  // namespace
