#include "engine/logwindow/LogWindowProgram.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "engine/logwindow/LogWindowScreen.h"
#include "graphics/MemoryImage.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace Velm {

namespace {

// The widgets' timer (held scroll buttons repeat on it).
const uint32_t kTimerPeriodMs = 20;
// The longest wait for input between two looks at the window's queue.
const int kInputWaitMs = 5;

}  // namespace

std::string EncodeLogWindowLine(const std::string& line) {
    std::string command = "L" + line;
    std::replace(command.begin(), command.end(), '\n', ' ');
    std::replace(command.begin(), command.end(), '\r', ' ');
    return command + "\n";
}

std::string EncodeLogWindowShow(bool show) { return show ? "S\n" : "H\n"; }

void ApplyLogWindowCommand(const std::string& command, LogWindowScreen& screen, bool* shown) {
    if (command.empty()) return;
    switch (command[0]) {
        case 'L': screen.AddLine(command.substr(1)); break;
        case 'S': *shown = true; break;
        case 'H': *shown = false; break;
        default: break;
    }
}

void LogWindowInput::Push(const std::string& command) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mCommands.push_back(command);
    }
    mArrived.notify_one();
}

void LogWindowInput::Close() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mClosed = true;
    }
    mArrived.notify_one();
}

bool LogWindowInput::Take(std::vector<std::string>* out, int waitMs) {
    std::unique_lock<std::mutex> lock(mMutex);
    mArrived.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return mClosed || !mCommands.empty(); });
    out->assign(mCommands.begin(), mCommands.end());
    mCommands.clear();
    return !(mClosed && out->empty());
}

bool RunLogWindow(const std::string& title, LogWindowInput& input,
                  const std::function<void(plat::Window&, LogWindowScreen&)>& afterFrame) {
    plat::Window::Params params;
    params.title = title;
    params.width = LogWindowScreen::kDefaultWidth;
    params.height = LogWindowScreen::kDefaultHeight;
    std::string error;
    std::unique_ptr<plat::Window> window = plat::Window::Create(params, &error);
    if (!window) {
        plat::DebugOutput("velm_log_window: no window (" + error + ").\n");
        return false;
    }
    LogWindowScreen screen(params.width, params.height);
    MemoryImage frame(static_cast<ImageHost*>(nullptr));
    frame.Create(params.width, params.height);
    window->SetTimer(kTimerPeriodMs);
    bool shown = false;
    bool redraw = true;
    std::vector<std::string> commands;
    for (;;) {
        if (!input.Take(&commands, kInputWaitMs)) return true;
        for (const std::string& command : commands) {
            const bool wasShown = shown;
            ApplyLogWindowCommand(command, screen, &shown);
            if (shown != wasShown) {
                if (shown)
                    window->Show(false);
                else
                    window->Hide();
            }
            redraw = true;
        }
        plat::WindowMessage message;
        while (window->PeekMessage(&message)) {
            if (message.message == plat::WM_TIMER) {
                screen.Tick();
                continue;
            }
            redraw = true;
            switch (screen.HandleMessage(message)) {
                case LogWindowScreen::Handled::Hide:
                    shown = false;
                    window->Hide();
                    break;
                case LogWindowScreen::Handled::Taken: break;
                case LogWindowScreen::Handled::Ignored: window->DefaultHandling(message); break;
            }
        }
        if (redraw) {
            if (frame.GetWidth() != screen.GetWidth() || frame.GetHeight() != screen.GetHeight())
                frame.Create(screen.GetWidth(), screen.GetHeight());
            screen.Draw(&frame);
            window->Present(frame.GetBits(), frame.GetWidth(), frame.GetHeight(), frame.GetWidth() * 4);
            redraw = false;
            if (afterFrame) afterFrame(*window, screen);
        }
    }
}

}  // namespace Velm
