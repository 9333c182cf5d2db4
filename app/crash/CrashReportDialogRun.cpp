// The crash report windows on screen: one system window per window of the dialogue, made
// again whenever the dialogue moves on (each has its own caption, place and size), with the
// widget tree drawn into a memory image and presented.

#include <memory>
#include <string>

#include "app/crash/CrashReportScreens.h"
#include "app/http/HTTPTransfer.h"
#include "graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace Velm {

namespace {

// The progress window's poll and the edit field's caret run on this timer.
const uint32_t kTimerPeriodMs = 20;
// Rest between two looks at the queue when it was empty.
const int kIdleSleepMs = 5;

}  // namespace

bool RunCrashReportWindows(CrashReportDialog& dialog, const CrashReportData& data, HTTPTransfer& transfer,
                           const std::function<void(plat::Window&)>& afterFrame) {
    CrashReportScreens screens(data, &dialog);
    std::unique_ptr<plat::Window> window;
    MemoryImage screen(static_cast<ImageHost*>(nullptr));
    bool redraw = true;
    for (;;) {
        if (screens.Sync() || !window) {
            window.reset();
            if (screens.GetWindow() == CrashReportDialog::DONE) return true;
            const CrashReportScreens::Frame frame = CrashReportScreens::GetFrame(screens.GetWindow());
            plat::Window::Params params;
            params.title = frame.caption;
            params.width = frame.width;
            params.height = frame.height;
            params.x = frame.x;
            params.y = frame.y;
            std::string error;
            window = plat::Window::Create(params, &error);
            if (!window) {
                plat::DebugOutput("velm_crash_report: no report window (" + error + "); using message boxes.\n");
                return false;
            }
            screen.Create(frame.width, frame.height);
            window->SetTimer(kTimerPeriodMs);
            window->Show(true);
            redraw = true;
        }

        bool busy = false;
        plat::WindowMessage message;
        while (dialog.GetWindow() == screens.GetWindow() && window->PeekMessage(&message)) {
            busy = true;
            redraw = true;
            if (message.message == plat::WM_TIMER)
                screens.Tick(transfer, AskCrashReportRetry);
            else if (!screens.HandleMessage(message))
                window->DefaultHandling(message);
        }
        if (dialog.GetWindow() != screens.GetWindow()) continue;
        if (redraw) {
            screens.Draw(&screen);
            window->Present(screen.GetBits(), screen.GetWidth(), screen.GetHeight(), screen.GetWidth() * 4);
            redraw = false;
            if (afterFrame) afterFrame(*window);
        }
        if (!busy) plat::SleepMs(kIdleSleepMs);
    }
}

}  // namespace Velm
