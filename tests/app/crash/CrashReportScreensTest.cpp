// The crash report windows as widget trees, driven with window messages and no real window.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/crash/CrashReportDialog.h"
#include "app/crash/CrashReportScreens.h"
#include "app/http/HTTPTransfer.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/SyntheticInput.h"
#include "platform/TcpSocket.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "tests/app/http/LocalHttpServer.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"

namespace {

using Velm::CrashReportDialog;
using Velm::CrashReportScreens;

Velm::CrashReportData SampleData() {
    Velm::CrashReportData data;
    data.title = "Exception at 0001:00000010";
    data.report = "Exception: Access Violation\r\nModule: game\r\n\r\nStack:\tmain\r\n";
    data.submitHost = "127.0.0.1:9";
    data.appPresent = true;
    data.productName = "Prod";
    data.productVersion = "1.0";
    return data;
}

void Send(CrashReportScreens& screens, uint32_t message, int x, int y) {
    plat::WindowMessage m;
    m.message = message;
    m.lParam = plat::MakeLParam(x, y);
    screens.HandleMessage(m);
}

// Moves over the button, presses and releases it, as the window's messages would.
void Click(CrashReportScreens& screens, const std::string& label) {
    Velm::ButtonWidget* button = screens.FindButton(label);
    ASSERT_NE(button, nullptr) << label;
    const int x = button->mX + button->mWidth / 2;
    const int y = button->mY + button->mHeight / 2;
    Send(screens, plat::WM_MOUSEMOVE, x, y);
    Send(screens, plat::WM_LBUTTONDOWN, x, y);
    Send(screens, plat::WM_LBUTTONUP, x, y);
    screens.Sync();
}

void Type(CrashReportScreens& screens, const std::string& text) {
    for (char c : text) {
        plat::WindowMessage m;
        m.message = plat::WM_CHAR;
        m.wParam = static_cast<unsigned char>(c);
        screens.HandleMessage(m);
    }
}

void PressKey(CrashReportScreens& screens, int key) {
    plat::WindowMessage m;
    m.message = plat::WM_KEYDOWN;
    m.wParam = static_cast<uint32_t>(key);
    screens.HandleMessage(m);
    m.message = plat::WM_KEYUP;
    screens.HandleMessage(m);
}

std::string Describe(const CrashReportScreens& screens, const std::vector<CrashReportDialog::Button>& buttons) {
    std::string text;
    for (const CrashReportDialog::Button& b : buttons) {
        Velm::ButtonWidget* w = screens.FindButton(b.label);
        if (w == nullptr) {
            text += b.label + " missing;";
            continue;
        }
        text += b.label + "@" + std::to_string(w->mX) + "," + std::to_string(w->mY) + " " + std::to_string(w->mWidth) +
                "x" + std::to_string(w->mHeight) + (w->mDisabled ? " disabled" : "") + ";";
    }
    return text;
}

TEST(CrashReportScreensTest, ButtonsSitWhereTheDialogueSays) {
    struct Case {
        const char* why;
        bool host;
        bool app;
        std::vector<std::string> presses;
        CrashReportDialog::Window window;
        const char* buttons;
    };
    // clang-format off
    const Case kCases[] = {
            {"no host", false, true, {}, CrashReportDialog::ERROR_WINDOW, "Close Now@8,268 384x24;"},
            {"no application", true, false, {}, CrashReportDialog::ERROR_WINDOW,
             "Send Report@8,268 188x24 disabled;Close Now@204,268 188x24;"},
            {"error window", true, true, {}, CrashReportDialog::ERROR_WINDOW,
             "Send Report@8,268 188x24;Close Now@204,268 188x24;"},
            {"details window", true, true, {"Send Report"}, CrashReportDialog::DETAILS_WINDOW,
             "Continue@8,268 188x24;Abort@204,268 188x24;"},
            {"progress window", true, true, {"Send Report", "Continue"}, CrashReportDialog::PROGRESS_WINDOW,
             "Abort@72,36 96x22;"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::CrashReportData data = SampleData();
        if (!c.host) data.submitHost.clear();
        data.appPresent = c.app;
        CrashReportDialog dialog(c.host, c.app);
        for (const std::string& label : c.presses) dialog.Press(label);
        CrashReportScreens screens(data, &dialog);
        EXPECT_TRUE(screens.Sync());
        EXPECT_FALSE(screens.Sync());
        ASSERT_EQ(screens.GetWindow(), c.window);
        EXPECT_EQ(Describe(screens, dialog.GetButtons()), c.buttons);
        const CrashReportScreens::Frame frame = CrashReportScreens::GetFrame(c.window);
        EXPECT_EQ(frame.width, c.window == CrashReportDialog::PROGRESS_WINDOW ? 240 : 400);
        EXPECT_EQ(frame.height, c.window == CrashReportDialog::PROGRESS_WINDOW ? 64 : 300);
    }
}

TEST(CrashReportScreensTest, ErrorWindowListsTheReportLineByLine) {
    Velm::CrashReportData data = SampleData();
    CrashReportDialog dialog(true, true);
    CrashReportScreens screens(data, &dialog);
    screens.Sync();
    EXPECT_EQ(CrashReportScreens::GetFrame(screens.GetWindow()).caption, "Fatal Error!");
    ASSERT_NE(screens.GetReportBox(), nullptr);
    const std::vector<std::string> expected = {"Exception: Access Violation", "Module: game", "", "Stack: main"};
    EXPECT_EQ(screens.GetReportBox()->mLines, expected);
    EXPECT_EQ(screens.GetUserTextBox(), nullptr);
}

TEST(CrashReportScreensTest, ButtonsAndCloseBoxMoveThroughTheDialogue) {
    struct Case {
        const char* why;
        bool app;
        std::vector<std::string> clicks;
        bool close;
        CrashReportDialog::Window end;
    };
    const Case kCases[] = {
            {"close now", true, {"Close Now"}, false, CrashReportDialog::DONE},
            {"close box of the error window", true, {}, true, CrashReportDialog::DONE},
            {"send report", true, {"Send Report"}, false, CrashReportDialog::DETAILS_WINDOW},
            {"disabled send report", false, {"Send Report"}, false, CrashReportDialog::ERROR_WINDOW},
            {"abort in the details", true, {"Send Report", "Abort"}, false, CrashReportDialog::DONE},
            {"close box of the details", true, {"Send Report"}, true, CrashReportDialog::DONE},
            {"continue", true, {"Send Report", "Continue"}, false, CrashReportDialog::PROGRESS_WINDOW},
            // The progress window's close box only asks the upload to stop.
            {"close box of the progress", true, {"Send Report", "Continue"}, true, CrashReportDialog::PROGRESS_WINDOW},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        Velm::CrashReportData data = SampleData();
        data.appPresent = c.app;
        CrashReportDialog dialog(true, c.app);
        CrashReportScreens screens(data, &dialog);
        screens.Sync();
        for (const std::string& label : c.clicks) Click(screens, label);
        if (c.close) {
            plat::WindowMessage close;
            close.message = plat::WM_CLOSE;
            EXPECT_TRUE(screens.HandleMessage(close));
            screens.Sync();
        }
        EXPECT_EQ(dialog.GetWindow(), c.end);
        EXPECT_EQ(screens.GetWindow(), c.end);
        EXPECT_EQ(screens.GetManager() == nullptr, c.end == CrashReportDialog::DONE);
    }
}

TEST(CrashReportScreensTest, TypedDetailsReachTheRequestBody) {
    velmtest::OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    ASSERT_TRUE(server.Listening());
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(server.Port());

    CrashReportDialog dialog(true, true);
    CrashReportScreens screens(data, &dialog);
    screens.Sync();
    Click(screens, "Send Report");
    ASSERT_EQ(screens.GetWindow(), CrashReportDialog::DETAILS_WINDOW);
    EXPECT_EQ(CrashReportScreens::GetFrame(screens.GetWindow()).caption, "Error Details");
    ASSERT_NE(screens.GetUserTextBox(), nullptr);

    // The field has the focus from the start; a click into it keeps it.
    Type(screens, "It brokx");
    PressKey(screens, plat::VK_BACK);
    Send(screens, plat::WM_LBUTTONDOWN, 100, 150);
    Send(screens, plat::WM_LBUTTONUP, 100, 150);
    PressKey(screens, plat::VK_END);
    Type(screens, "e when I clicked.");
    EXPECT_EQ(screens.GetUserTextBox()->mString, "It broke when I clicked.");

    Click(screens, "Continue");
    ASSERT_EQ(screens.GetWindow(), CrashReportDialog::PROGRESS_WINDOW);
    EXPECT_EQ(dialog.GetUserText(), "It broke when I clicked.");

    Velm::HTTPTransfer transfer;
    int asked = 0;
    for (int i = 0; i < 5000 && dialog.GetWindow() == CrashReportDialog::PROGRESS_WINDOW; ++i) {
        screens.Tick(transfer, [&asked] {
            ++asked;
            return false;
        });
        plat::SleepMs(1);
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_DONE);
    EXPECT_EQ(dialog.GetWindow(), CrashReportDialog::DONE);

    Velm::CrashReportData sent = data;
    sent.userText = "It broke when I clicked.";
    const std::string request = server.Request();
    EXPECT_EQ(request, Velm::BuildCrashReportRequest(sent, {}));
    EXPECT_NE(request.find("name=\"usertext\"\r\n\r\nIt broke when I clicked.\r\n"), std::string::npos);

    EXPECT_TRUE(screens.Sync());
    EXPECT_EQ(screens.GetManager(), nullptr);
}

TEST(CrashReportScreensTest, ProgressWindowFollowsTheTransfer) {
    // A server that takes the request and never answers: the transfer keeps running.
    velmtest::OneShotServer server("", 7, true);
    ASSERT_TRUE(server.Listening());
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(server.Port());

    CrashReportDialog dialog(true, true);
    CrashReportScreens screens(data, &dialog);
    screens.Sync();
    Click(screens, "Send Report");
    Click(screens, "Continue");
    ASSERT_EQ(screens.GetWindow(), CrashReportDialog::PROGRESS_WINDOW);
    EXPECT_EQ(CrashReportScreens::GetFrame(screens.GetWindow()).caption, "Submitting Report");
    EXPECT_EQ(screens.GetStatusText(), "Please Wait");

    Velm::HTTPTransfer transfer;
    const auto neverAsked = [] {
        ADD_FAILURE() << "no failure expected";
        return false;
    };
    // 50 ticks of 20 ms make a second of the status line.
    for (int i = 0; i < 5 * 50; ++i) screens.Tick(transfer, neverAsked);
    EXPECT_EQ(screens.GetStatusText(), "Please Wait . . . . .");
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_COMPLETED);

    // "Abort" stops the transfer; its end closes the window.
    Click(screens, "Abort");
    for (int i = 0; i < 5000 && dialog.GetWindow() == CrashReportDialog::PROGRESS_WINDOW; ++i) {
        screens.Tick(transfer, neverAsked);
        plat::SleepMs(1);
    }
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_ABORTED);
    EXPECT_EQ(dialog.GetWindow(), CrashReportDialog::DONE);
}

TEST(CrashReportScreensTest, FailedUploadAsksAndRetrySendsAgain) {
    int port = 0;
    ASSERT_TRUE(velmtest::ClosedPort(port));
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(port);

    CrashReportDialog dialog(true, true);
    CrashReportScreens screens(data, &dialog);
    screens.Sync();
    Click(screens, "Send Report");
    Click(screens, "Continue");

    Velm::HTTPTransfer transfer;
    int asked = 0;
    for (int i = 0; i < 5000 && dialog.GetWindow() == CrashReportDialog::PROGRESS_WINDOW; ++i) {
        screens.Tick(transfer, [&] {
            ++asked;
            return asked < 2;  // Retry once, then Cancel
        });
        plat::SleepMs(1);
    }
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(dialog.GetWindow(), CrashReportDialog::DONE);
    // The transfer was reset before each question.
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_NOT_STARTED);
}

TEST(CrashReportScreensTest, DrawsEachWindowIntoAnImageOfItsSize) {
    Velm::CrashReportData data = SampleData();
    CrashReportDialog dialog(true, true);
    CrashReportScreens screens(data, &dialog);
    const CrashReportDialog::Window kWindows[] = {CrashReportDialog::ERROR_WINDOW, CrashReportDialog::DETAILS_WINDOW,
                                                  CrashReportDialog::PROGRESS_WINDOW};
    for (CrashReportDialog::Window window : kWindows) {
        SCOPED_TRACE(static_cast<int>(window));
        screens.Sync();
        ASSERT_EQ(screens.GetWindow(), window);
        const CrashReportScreens::Frame frame = CrashReportScreens::GetFrame(window);
        Velm::MemoryImage screen(static_cast<Velm::ImageHost*>(nullptr));
        screen.Create(frame.width, frame.height);
        screens.Draw(&screen);
        const uint32_t* bits = screen.GetBits();
        // The face grey in the top-left corner.
        EXPECT_EQ(bits[1 * frame.width + 1] & 0xFFFFFF, 0xD4D0C8u);
        if (window != CrashReportDialog::PROGRESS_WINDOW) {
            // Inside the report box or the user's text box: white.
            EXPECT_EQ(bits[250 * frame.width + 200] & 0xFFFFFF, 0xFFFFFFu);
        }
        EXPECT_EQ(bits[frame.width * frame.height], Velm::MemoryImage::kGuardWord);
        if (window == CrashReportDialog::ERROR_WINDOW)
            Click(screens, "Send Report");
        else if (window == CrashReportDialog::DETAILS_WINDOW)
            Click(screens, "Continue");
    }
}

TEST(CrashReportScreensTest, DetailsBoxWrapsTheTextAndKeepsTheCaretInView) {
    Velm::CrashReportData data = SampleData();
    CrashReportDialog dialog(true, true);
    dialog.Press("Send Report");
    CrashReportScreens screens(data, &dialog);
    screens.Sync();
    Velm::EditWidget* box = screens.GetUserTextBox();
    ASSERT_NE(box, nullptr);
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word" + std::to_string(i) + " ";
    Type(screens, words);
    ASSERT_EQ(box->mString, words);

    // Box coordinates are the window's less the box's top-left (8, 92); text starts 4 in.
    const int lineHeight = box->mFont->GetHeight();
    ASSERT_GT(lineHeight, 0);
    struct Case {
        const char* why;
        int line;
    };
    const Case kCases[] = {{"first line", 0}, {"second line", 1}, {"third line", 2}};
    int previous = -1;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const int y = 92 + 4 + c.line * lineHeight + lineHeight / 2;
        Send(screens, plat::WM_LBUTTONDOWN, 8 + 1, y);
        Send(screens, plat::WM_LBUTTONUP, 8 + 1, y);
        // The start of a line: the text's start or just after a blank.
        const int caret = box->mCursorPos;
        EXPECT_GT(caret, previous);
        EXPECT_TRUE(caret == 0 || words[static_cast<size_t>(caret - 1)] == ' ') << caret;
        previous = caret;
    }
    // Typing goes in at the caret.
    Type(screens, "X");
    EXPECT_EQ(box->mString.substr(static_cast<size_t>(previous), 2), "Xw");

    // Far more text than the box shows: at the end the top line has scrolled away, and
    // back at the start it is the first again.
    for (int i = 0; i < 20; ++i) Type(screens, words);
    PressKey(screens, plat::VK_END);
    EXPECT_GT(box->GetCharAt(4, 4), 0);
    PressKey(screens, plat::VK_HOME);
    EXPECT_EQ(box->GetCharAt(4, 4), 0);
}

// The whole dialogue in real windows on SDL's in-memory video driver, with input put into
// the system's queue as a user would make it.
TEST(CrashReportWindowRunTest, UserSendsTheReportThroughTheWindows) {
    velmtest::OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    ASSERT_TRUE(server.Listening());
    Velm::CrashReportData data = SampleData();
    data.submitHost = "127.0.0.1:" + std::to_string(server.Port());

    CrashReportDialog dialog(true, true);
    Velm::HTTPTransfer transfer;
    std::vector<std::string> seen;
    int frames = 0;
    CrashReportDialog::Window acted = CrashReportDialog::DONE;
    const bool ran = Velm::RunCrashReportWindows(dialog, data, transfer, [&](plat::Window& window) {
        ++frames;
        int width = 0;
        int height = 0;
        window.GetClientSize(&width, &height);
        std::vector<uint32_t> pixels;
        int shownWidth = 0;
        int shownHeight = 0;
        const bool shown = window.ReadBack(&pixels, &shownWidth, &shownHeight) && !pixels.empty();
        const std::string record = std::to_string(width) + "x" + std::to_string(height) +
                                   (shown && (pixels[0] & 0xFFFFFF) == 0xD4D0C8u ? " grey" : " not grey");
        if (seen.empty() || seen.back() != record) seen.push_back(record);
        if (frames > 5000) {
            // Something is stuck: close whatever is open so that the run ends.
            plat::SynthesizeWindowEvent(window, plat::SyntheticWindowEvent::Close);
            return;
        }
        if (dialog.GetWindow() == acted) return;
        acted = dialog.GetWindow();
        if (acted == CrashReportDialog::DETAILS_WINDOW) plat::SynthesizeText("Crashed at start");
        if (acted != CrashReportDialog::PROGRESS_WINDOW) {
            // "Send Report", then "Continue": the first button of the row.
            plat::SynthesizeMouseMove(window, 100, 280);
            plat::SynthesizeButton(window, 1, true, 1, 100, 280);
            plat::SynthesizeButton(window, 1, false, 1, 100, 280);
        }
    });
    ASSERT_TRUE(ran);
    EXPECT_EQ(dialog.GetWindow(), CrashReportDialog::DONE);
    EXPECT_EQ(transfer.GetResult(), Velm::HTTPTransfer::RESULT_DONE);
    EXPECT_LE(frames, 5000);
    const std::vector<std::string> expected = {"400x300 grey", "240x64 grey"};
    EXPECT_EQ(seen, expected);

    Velm::CrashReportData sent = data;
    sent.userText = "Crashed at start";
    EXPECT_EQ(server.Request(), Velm::BuildCrashReportRequest(sent, {}));
}

}  // namespace
