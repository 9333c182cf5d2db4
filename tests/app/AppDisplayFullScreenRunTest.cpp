// The program as a new user starts it in full screen (`tiles` from the build folder, fresh
// settings and data folders) on a virtual X server whose screen is wider in shape than the
// program's 1024 x 768 frame, driven by xdotool:
// - the window covers the screen and the frame is letterboxed (black bars above and below,
//   the picture across the whole width);
// - a name typed into the first-run name dialog and a click on the dialog's OK, at the place
//   the letterboxed frame shows it, make the player: users.dat is written;
// - Alt+Enter goes back to a window of the frame's size.
// Skips itself where Xvfb or xdotool is not installed.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/ChildProcess.h"
#include "tests/platform/TempDir.h"
#include "tests/platform/XvfbScreen.h"

namespace {

using velmtest::ReadFile;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;
// The centre of the name dialog's OK button in frame pixels.
constexpr int kOkX = 400;
constexpr int kOkY = 482;

// The shell script: X server, program, then the steps, each leaving a file in the work folder
// ("display", "full.xwd", "geometry-full", "users", "geometry-windowed", "tiles.log").
// Arguments: work folder, build folder, program, click x, click y. Exits 2 when the X server
// does not start, 3 when the program's window does not appear, 4 when its content does not
// finish loading. Each step waits for what it needs (the window, the end of loading, the
// players' file, the window of the frame's size), polling up to a limit generous enough for a
// loaded machine, not for a fixed time.
std::string RunScript() {
    std::ostringstream s;
    s << "work=$1; build=$2; tiles=$3; clickx=$4; clicky=$5; "
         // waitfor <tenths of a second> <command...>: polls the command until it succeeds.
         "waitfor() { n=$1; shift; while [ $n -gt 0 ]; do \"$@\" && return 0; sleep 0.1; n=$((n - 1)); done; "
         "return 1; }; "
         "mkdir -p \"$work/fb\" \"$work/config\" \"$work/data\"; "
         "Xvfb -displayfd 3 -screen 0 "
      << kScreenWidth << "x" << kScreenHeight
      << "x24 -fbdir \"$work/fb\" -nolisten tcp 3>\"$work/display\" 2>\"$work/xvfb.log\" & xvfb=$!; "
         "if ! waitfor 600 test -s \"$work/display\"; then kill $xvfb; wait $xvfb; exit 2; fi; "
         "export DISPLAY=:$(cat \"$work/display\"); "
         // The program starts only once the X server answers.
         "answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }; waitfor 600 answers; "
         "(cd \"$build\" && exec env -u SDL_VIDEODRIVER -u VELM_NONINTERACTIVE SDL_AUDIODRIVER=dummy "
         "XDG_CONFIG_HOME=\"$work/config\" XDG_DATA_HOME=\"$work/data\" \"$tiles\" >\"$work/tiles.log\" 2>&1) & "
         "game=$!; "
         "finish() { kill $game 2>/dev/null; wait $game; kill $xvfb; wait $xvfb; exit $1; }; "
         "window() { id=$(xdotool search --onlyvisible --pid $game 2>/dev/null | head -n 1); [ -n \"$id\" ]; }; "
         "waitfor 1200 window || finish 3; "
         // The content loads before the name dialog shows; the program says when it is done, in
         // its log in the data folder.
         "waitfor 1800 sh -c 'cat \"$0\"/data/*/*/tiles.log 2>/dev/null | grep -q \"Resource Loading Time\"' "
         "\"$work\" || finish 4; "
         // The ice cover and the dialog's flight in take about a second.
         "sleep 3; "
         "xdotool getwindowgeometry --shell $id >\"$work/geometry-full\"; "
         "cp \"$work/fb/Xvfb_screen0\" \"$work/full.xwd\"; "
         "xdotool type --delay 60 Tester; sleep 0.5; "
         "xdotool mousemove $clickx $clicky; sleep 0.3; xdotool click 1; "
         "users() { find \"$work/data\" -name users.dat | grep -q .; }; "
         "waitfor 600 users; "
         "find \"$work/data\" -name users.dat >\"$work/users\"; "
         "xdotool key alt+Return; "
         "windowed() { for w in $(xdotool search --onlyvisible --pid $game 2>/dev/null); do "
         "xdotool getwindowgeometry --shell $w; done >\"$work/geometry-windowed\"; "
         "grep -q '^WIDTH="
      << kFrameWidth
      << "$' \"$work/geometry-windowed\"; }; "
         "waitfor 600 windowed; "
         "finish 0";
    return s.str();
}

// WIDTH and HEIGHT of the first window in `xdotool getwindowgeometry --shell` output.
void ParseGeometry(const std::string& text, int* width, int* height) {
    *width = *height = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("WIDTH=", 0) == 0 && *width == 0) *width = std::stoi(line.substr(6));
        if (line.rfind("HEIGHT=", 0) == 0 && *height == 0) *height = std::stoi(line.substr(7));
    }
}

TEST(AppDisplayFullScreen, CoversTheScreenLetterboxedTakesAClickAndAltEnterGoesBackToAWindow) {
    if (!velmtest::FindOnPath("Xvfb").has_value()) GTEST_SKIP() << "Xvfb is not installed";
    if (!velmtest::FindOnPath("xdotool").has_value()) GTEST_SKIP() << "xdotool is not installed";
    // Where the letterboxed frame sits: the screen's width, bars above and below.
    const int placeHeight = kScreenWidth * kFrameHeight / kFrameWidth;
    const int bar = (kScreenHeight - placeHeight) / 2;
    ASSERT_GT(bar, 8) << "the screen must be taller in shape than the frame";
    const int clickX = kOkX * kScreenWidth / kFrameWidth;
    const int clickY = bar + kOkY * placeHeight / kFrameHeight;

    velmtest::TempDir work;
    const int code = plat::RunChildProcess("/bin/sh",
                                           {"-c", RunScript(), "full-screen", work.Path(), VELM_BUILD_DIR,
                                            VELM_TILES_PROGRAM, std::to_string(clickX), std::to_string(clickY)},
                                           "");
    if (code == 2) GTEST_SKIP() << "Xvfb did not start: " << ReadFile(work / "xvfb.log");
    const std::string log = ReadFile(work / "tiles.log");
    ASSERT_NE(code, 3) << "no window appeared; program output:\n" << log;
    ASSERT_NE(code, 4) << "the content did not finish loading; program output:\n" << log;
    ASSERT_EQ(code, 0) << log;

    int width = 0, height = 0;
    ParseGeometry(ReadFile(work / "geometry-full"), &width, &height);
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);

    std::string error;
    const std::optional<velmtest::Screen> screen = velmtest::ReadXwd(work / "full.xwd", &error);
    ASSERT_TRUE(screen.has_value()) << error;
    ASSERT_EQ(screen->width, kScreenWidth);
    ASSERT_EQ(screen->height, kScreenHeight);
    int barPixels = 0;
    for (int x = 0; x < kScreenWidth; ++x)
        for (int y = 0; y < bar - 1; ++y)
            barPixels += (screen->At(x, y) != 0) + (screen->At(x, kScreenHeight - 1 - y) != 0);
    EXPECT_EQ(barPixels, 0) << "the bars above and below the picture are not black";
    const velmtest::Box picture = velmtest::DrawnBox(*screen);
    EXPECT_LE(picture.left, 2);
    EXPECT_GE(picture.right, kScreenWidth - 2);
    EXPECT_GE(picture.top, bar - 1);
    EXPECT_LE(picture.bottom, kScreenHeight - bar + 1);
    EXPECT_GT(picture.Height(), placeHeight * 9 / 10) << "no picture between the bars";

    EXPECT_NE(ReadFile(work / "users").find("users.dat"), std::string::npos)
            << "the click on OK made no player; program output:\n"
            << log;

    ParseGeometry(ReadFile(work / "geometry-windowed"), &width, &height);
    EXPECT_EQ(width, kFrameWidth) << "Alt+Enter left no window of the frame's size";
    EXPECT_EQ(height, kFrameHeight);
}

}  // namespace
