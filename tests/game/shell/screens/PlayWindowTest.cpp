// The program as a new user starts it (`tiles -windowed` from the build folder, as ./play.sh
// does) on a virtual X server, with fresh settings and data folders. The X server keeps its
// screen in a file (Xvfb -fbdir, XWD format), which the test reads a few seconds in: the
// window must show the title and the menu, not a blank or single-colour area.
// Skips itself where Xvfb is not installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/ChildProcess.h"
#include "tests/platform/TempDir.h"
#include "tests/platform/XvfbScreen.h"

namespace {

using velmtest::Box;
using velmtest::DrawnBox;
using velmtest::FindOnPath;
using velmtest::ReadFile;
using velmtest::ReadXwd;
using velmtest::Screen;

// The seconds after the start at which the screen is copied.
const int kShotSeconds[] = {4, 8, 12};

// The X screen, larger than the window so that the window's place shows against the black
// root window.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

size_t DistinctColours(const Screen& screen, const Box& box) {
    std::unordered_set<uint32_t> colours;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) colours.insert(screen.At(x, y));
    }
    return colours.size();
}

// The shell script that runs the X server and the program, copies the screen at the given
// seconds and ends both. Arguments: work folder, build folder, program. It writes
// "display", "shot<seconds>.xwd", "tiles.log", and "alive" when the program still ran at
// the last copy.
std::string RunScript() {
    std::string shots;
    int previous = 0;
    for (int second : kShotSeconds) {
        shots += "sleep " + std::to_string(second - previous) + "; cp \"$work/fb/Xvfb_screen0\" \"$work/shot" +
                 std::to_string(second) + ".xwd\"; ";
        previous = second;
    }
    return "work=$1; build=$2; tiles=$3; mkdir -p \"$work/fb\" \"$work/config\" \"$work/data\"; "
           "Xvfb -displayfd 3 -screen 0 " +
           std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) +
           "x24 -fbdir \"$work/fb\" -nolisten tcp 3>\"$work/display\" 2>\"$work/xvfb.log\" & xvfb=$!; "
           "for i in $(seq 100); do [ -s \"$work/display\" ] && break; sleep 0.1; done; "
           "if [ ! -s \"$work/display\" ]; then kill $xvfb; wait $xvfb; exit 2; fi; "
           "(cd \"$build\" && exec env -u SDL_VIDEODRIVER -u VELM_NONINTERACTIVE DISPLAY=:$(cat \"$work/display\") "
           "XDG_CONFIG_HOME=\"$work/config\" XDG_DATA_HOME=\"$work/data\" \"$tiles\" -windowed "
           ">\"$work/tiles.log\" 2>&1) & game=$!; " +
           shots +
           "if kill -0 $game 2>/dev/null; then touch \"$work/alive\"; fi; "
           "kill $game 2>/dev/null; wait $game; kill $xvfb; wait $xvfb; exit 0";
}

TEST(PlayWindow, TheStartedProgramShowsTheTitleAndMenuInItsWindow) {
    if (!FindOnPath("Xvfb").has_value()) GTEST_SKIP() << "Xvfb is not installed";
    velmtest::TempDir work;
    const int code = plat::RunChildProcess(
            "/bin/sh", {"-c", RunScript(), "play-window", work.Path(), VELM_BUILD_DIR, VELM_TILES_PROGRAM}, "");
    if (code == 2) GTEST_SKIP() << "Xvfb did not start: " << ReadFile(work / "xvfb.log");
    ASSERT_EQ(code, 0);
    const std::string log = ReadFile(work / "tiles.log");
    EXPECT_TRUE(std::filesystem::exists(work / "alive")) << "the program ended early:\n" << log;

    // The window on the first copy that shows it whole; every copy's figures for a failure.
    std::string seen;
    bool shown = false;
    for (int second : kShotSeconds) {
        std::string error;
        const std::optional<Screen> screen = ReadXwd(work / ("shot" + std::to_string(second) + ".xwd"), &error);
        ASSERT_TRUE(screen.has_value()) << error;
        ASSERT_EQ(screen->width, kScreenWidth);
        const Box window = DrawnBox(*screen);
        // The title sits in the window's top third, the menu in the middle third.
        const int third = window.Height() / 3;
        const size_t title = DistinctColours(*screen, Box{window.left, window.top, window.right, window.top + third});
        const size_t menu =
                DistinctColours(*screen, Box{window.left, window.top + third, window.right, window.top + 2 * third});
        seen += "at " + std::to_string(second) + " s: window " + std::to_string(window.Width()) + " x " +
                std::to_string(window.Height()) + ", " + std::to_string(title) + " colours in the title third, " +
                std::to_string(menu) + " in the menu third\n";
        // The window is the program's 1024 x 768 (the picture may darken to black at an edge).
        if (window.Width() >= 900 && window.Height() >= 640 && title >= 1000 && menu >= 1000) {
            shown = true;
            break;
        }
    }
    EXPECT_TRUE(shown) << seen << "program output:\n" << log;
}

}  // namespace
