// The logger window: its widget tree drawn headless, its program's loop on SDL's dummy
// video driver, and the program started and fed by a logger through the process host.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/logwindow/LogWindowProgram.h"
#include "engine/logwindow/LogWindowScreen.h"
#include "engine/logwindow/ProcessLogWindowHost.h"
#include "engine/util/Log.h"
#include "graphics/MemoryImage.h"
#include "platform/ChildProcess.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

namespace {

using Velm::LogWindowScreen;

uint32_t Point(int x, int y) {
    return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

// Pixels of the drawn window that are dark (text) in the given rows.
int DarkPixels(Velm::MemoryImage& image, int top, int bottom) {
    int dark = 0;
    const uint32_t* bits = image.GetBits();
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.GetWidth() - 16; ++x) {
            const uint32_t p = bits[y * image.GetWidth() + x];
            if (((p >> 16) & 0xFF) < 128 && ((p >> 8) & 0xFF) < 128 && (p & 0xFF) < 128) ++dark;
        }
    }
    return dark;
}

TEST(LogWindowScreen, LinesAreDrawnAsTheyArrive) {
    LogWindowScreen screen(320, 200);
    Velm::MemoryImage image(static_cast<Velm::ImageHost*>(nullptr));
    image.Create(320, 200);
    screen.Draw(&image);
    EXPECT_EQ(DarkPixels(image, 0, 200), 0) << "an empty white page";
    screen.AddLine("first line of the log");
    screen.Draw(&image);
    const int oneLine = DarkPixels(image, 0, 200);
    EXPECT_GT(oneLine, 20);
    screen.AddLine("second line, a little longer than the first");
    screen.Draw(&image);
    EXPECT_GT(DarkPixels(image, 0, 200), oneLine);
    ASSERT_EQ(screen.GetList()->GetLineCount(), 2);
    EXPECT_EQ(screen.GetList()->GetStringAt(1), "second line, a little longer than the first");
}

TEST(LogWindowScreen, NewLinesStayInViewUnlessScrolledUp) {
    LogWindowScreen screen(320, 100);
    for (int i = 0; i < 50; ++i) screen.AddLine("line " + std::to_string(i));
    Velm::ScrollbarWidget* bar = screen.GetScrollbar();
    EXPECT_TRUE(bar->AtBottom());
    EXPECT_GT(screen.GetList()->mPosition, 0.0);
    // The wheel, a notch up: the view leaves the bottom and stays put as lines arrive.
    screen.HandleMessage({plat::WM_MOUSEWHEEL, static_cast<uint32_t>(120) << 16, Point(10, 10)});
    const double scrolled = screen.GetList()->mPosition;
    EXPECT_FALSE(bar->AtBottom());
    screen.AddLine("line 50");
    EXPECT_EQ(screen.GetList()->mPosition, scrolled);
    bar->GoToBottom();
    screen.AddLine("line 51");
    EXPECT_TRUE(bar->AtBottom());
}

TEST(LogWindowScreen, CloseBoxHidesAndSizeFollowsTheWindow) {
    LogWindowScreen screen(LogWindowScreen::kDefaultWidth, LogWindowScreen::kDefaultHeight);
    EXPECT_EQ(screen.HandleMessage({plat::WM_CLOSE, 0, 0}), LogWindowScreen::Handled::Hide);
    EXPECT_EQ(screen.HandleMessage({plat::WM_SIZE, 0, Point(300, 150)}), LogWindowScreen::Handled::Taken);
    EXPECT_EQ(screen.GetWidth(), 300);
    EXPECT_EQ(screen.GetList()->mWidth, 300 - 16);
    EXPECT_EQ(screen.GetList()->mHeight, 150);
    EXPECT_EQ(screen.HandleMessage({plat::WM_KEYDOWN, 'A', 0}), LogWindowScreen::Handled::Ignored);
}

TEST(LogWindowScreen, OldestLinesGoPastTheLimit) {
    LogWindowScreen screen(200, 100);
    for (int i = 0; i < LogWindowScreen::kMaxLines + 3; ++i) screen.AddLine(std::to_string(i));
    EXPECT_EQ(screen.GetList()->GetLineCount(), LogWindowScreen::kMaxLines);
    EXPECT_EQ(screen.GetList()->GetStringAt(0), "3");
}

TEST(LogWindowProgram, CommandsRoundTrip) {
    LogWindowScreen screen(200, 100);
    bool shown = false;
    for (const std::string& encoded : {Velm::EncodeLogWindowShow(true), Velm::EncodeLogWindowLine("a\r\nb"),
                                       Velm::EncodeLogWindowLine(""), std::string("?junk\n")}) {
        ASSERT_EQ(encoded.back(), '\n');
        ASSERT_EQ(encoded.find('\n'), encoded.size() - 1) << "one command, one line";
        Velm::ApplyLogWindowCommand(encoded.substr(0, encoded.size() - 1), screen, &shown);
    }
    EXPECT_TRUE(shown);
    ASSERT_EQ(screen.GetList()->GetLineCount(), 2);
    EXPECT_EQ(screen.GetList()->GetStringAt(0), "a  b");
    Velm::ApplyLogWindowCommand("H", screen, &shown);
    EXPECT_FALSE(shown);
}

// The program's loop on the dummy video driver: shown on "S", the lines drawn, the close
// box hides the window, the end of the input ends the loop.
TEST(LogWindowProgram, WindowShowsLinesHidesOnCloseAndEndsWithTheInput) {
    Velm::LogWindowInput input;
    input.Push("Lhello");
    input.Push("S");
    int frames = 0;
    bool sawShown = false;
    bool sawHiddenAfterClose = false;
    const bool ran = Velm::RunLogWindow("Board log", input, [&](plat::Window& window, LogWindowScreen& screen) {
        ++frames;
        if (frames == 1) {
            EXPECT_EQ(screen.GetList()->GetLineCount(), 1);
            sawShown = window.IsVisible();
            window.PostMessage(plat::WM_CLOSE, 0, 0);
        } else if (frames == 2) {
            sawHiddenAfterClose = !window.IsVisible();
            input.Push("Lsecond");
        } else {
            EXPECT_EQ(screen.GetList()->GetLineCount(), 2);
            input.Close();
        }
    });
    ASSERT_TRUE(ran);
    EXPECT_TRUE(sawShown);
    EXPECT_TRUE(sawHiddenAfterClose);
    EXPECT_GE(frames, 3);
}

// A logger whose own-window flag is set starts the window program through the host,
// feeds it its lines and, destroyed, ends it.
TEST(LogWindowProcess, LoggerStartsFeedsAndEndsTheProgram) {
    ASSERT_TRUE(plat::IsExecutableFile(VELM_LOG_WINDOW_PROGRAM));
    Velm::ProcessLogWindowHost host(VELM_LOG_WINDOW_PROGRAM);
    SetLogWindowHost(&host);
    {
        Log_t log;
        log.SetOutputs(Log_t::kOwnWindow);
        ASSERT_NE(log.GetWindowLogger()->GetWindow(), nullptr);
        log.Write("one\ntwo\n");
        log.GetWindowLogger()->Show(false);
    }
    SetLogWindowHost(nullptr);

    // The program itself, fed and closed: it ends cleanly at the end of its input.
    std::string error;
    std::unique_ptr<plat::ChildPipe> pipe =
            plat::ChildPipe::Start(VELM_LOG_WINDOW_PROGRAM, {"Shared log window"}, &error);
    ASSERT_NE(pipe, nullptr) << error;
    EXPECT_TRUE(pipe->Write(Velm::EncodeLogWindowShow(true) + Velm::EncodeLogWindowLine("x")));
    EXPECT_EQ(pipe->CloseAndWait(), 0);
}

TEST(LogWindowProcess, MissingProgramLeavesTheLoggerWithoutAWindow) {
    Velm::ProcessLogWindowHost host("/nonexistent/velm_log_window");
    SetLogWindowHost(&host);
    Log_t log;
    log.SetOutputs(Log_t::kOwnWindow);
    EXPECT_TRUE(log.GetWindowLogger()->IsShown());
    EXPECT_EQ(log.GetWindowLogger()->GetWindow(), nullptr);
    log.Write("goes nowhere");
    SetLogWindowHost(nullptr);
}

}  // namespace
