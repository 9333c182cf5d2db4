// Politeness towards the screen saver. In screen-saver mode ("-screensaver") input ends the
// run and messages go to a log file instead of boxes. In an ordinary window, a user idle
// for longer than the system saver's timeout pauses updates and drawing so that the saver
// can start.
//
// This platform has no screen-saver password check: saver mode keeps its input rules without
// one. The system saver's state and the user's idle time come from the X server where it
// tells them (plat::QueryScreenSaverState); elsewhere GetSystemScreenSaverInfo answers "not
// available" and the idle pause never starts unless a derived application tells the system's
// settings.

#include <atomic>
#include <cstdio>
#include <ctime>

#include "app/VelmAppBase.h"
#include "platform/Files.h"
#include "platform/ScreenSaverState.h"
#include "platform/Window.h"
#include "widgets/WidgetManager.h"

namespace Velm {

using namespace plat;

namespace {
// Whether the last GetSystemScreenSaverInfo of the base came from the system, which then also
// tells the idle time (one application per process).
std::atomic<bool> gSystemIdleKnown{false};
}  // namespace

bool VelmAppBase::GetSystemScreenSaverInfo(int* timeoutSeconds, bool* active, bool* running) {
    ScreenSaverState state;
    const bool known = QueryScreenSaverState(&state);
    gSystemIdleKnown.store(known);
    if (!known) return false;
    *timeoutSeconds = state.timeoutSeconds;
    *active = state.active;
    *running = state.running;
    return true;
}

bool VelmAppBase::HandleScreensaverMessage(uint32_t message, uint32_t wParam, uint32_t lParam, void* window,
                                           int* result) {
    if (mSaverClosing) return false;

    bool activation = false;
    switch (message) {
        case WM_CREATE:
            if (!mSaverFirstCreateSeen) {
                mSaverFirstCreateSeen = true;
                if (mMainWindow) mMainWindow->PointerPosition(&mSaverMouseX, &mSaverMouseY);
            }
            return false;
        case WM_SYSCOMMAND: {
            const uint32_t command = wParam & 0xFFF0;
            if (command == SC_CLOSE || command == SC_NEXTWINDOW || command == SC_PREVWINDOW ||
                command == SC_SCREENSAVE) {
                *result = 0;
                return true;
            }
            return false;
        }
        case WM_MOUSEMOVE: {
            const int x = LowWordSigned(lParam);
            const int y = HighWordSigned(lParam);
            if (x != mSaverMouseX || y != mSaverMouseY) {
                mSaverMouseX = x;
                mSaverMouseY = y;
                ++mSaverMouseMoves;
            }
            // A nudge of the desk is not a user coming back.
            if (mSaverMouseMoves < 4) {
                *result = 0;
                return true;
            }
            break;
        }
        case WM_ACTIVATE:
        case WM_ACTIVATEAPP:
        case WM_NCACTIVATE:
            if (wParam != 0) return false;
            activation = true;
            break;
        case WM_CLOSE:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: break;
        default: return false;
    }

    // Ending the saver.
    if (window == nullptr || window != mMainWindow.get()) return false;
    // The monitor switching itself off moves the focus and the pointer; only a key or a
    // click in that second counts.
    const bool powerOffNoise = activation || message == WM_CLOSE || message == WM_MOUSEMOVE;
    if (powerOffNoise && mLastMonitorPowerOffTick != 0 && Tick() - mLastMonitorPowerOffTick < 1000) return false;
    mSaverClosing = true;
    mMainWindow->PostMessage(WM_CLOSE, 0, 0);
    return false;
}

void VelmAppBase::UpdateScreensaverState(uint32_t now) {
    if (mIsScreenSaver || !mIsPhysWindowed) return;

    if (!mLastSaverQueryDone || now - mLastSaverQueryTick >= 10000) {
        mLastSaverQueryDone = true;
        mLastSaverQueryTick = now;
        int timeoutSeconds = 0;
        bool active = false;
        bool running = false;
        if (!GetSystemScreenSaverInfo(&timeoutSeconds, &active, &running)) active = false;
        mScreenSaverIdleLimitMs = timeoutSeconds >= 3 ? static_cast<uint32_t>(timeoutSeconds - 2) * 1000 : 1000;
        mSystemSaverActive = active;
        if (!active) mScreensaverPaused = false;
    }

    // The system's last input (any program's) where it tells it; else the program's own.
    ScreenSaverState system;
    if (gSystemIdleKnown.load() && QueryScreenSaverState(&system)) mLastUserInputTick = now - system.idleMs;
    if (static_cast<int32_t>(now - mLastUserInputTick) < 0) mLastUserInputTick = now;

    if (!mSystemSaverActive) return;
    const uint32_t idle = now - mLastUserInputTick;
    if (mScreensaverPaused) {
        int timeoutSeconds = 0;
        bool active = false;
        bool running = false;
        if (!GetSystemScreenSaverInfo(&timeoutSeconds, &active, &running)) running = false;
        if (!running && idle < mScreenSaverIdleLimitMs) {
            mScreensaverPaused = false;
            mWidgetManager->MarkAllDirty();
        }
    } else if (idle > mScreenSaverIdleLimitMs) {
        mScreensaverPaused = true;
    }
}

void VelmAppBase::LogScreenSaverError(const std::string& text) {
    FILE* file = OpenFile("ScrError.txt", mScrLogFirstCall ? "w" : "a+");
    if (file == nullptr) return;
    mScrLogFirstCall = false;
    char clock[16] = "00:00:00";
    const std::time_t seconds = std::time(nullptr);
    if (const std::tm* local = std::localtime(&seconds)) std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    std::fprintf(file, "%s %s %u\n", text.c_str(), clock, static_cast<unsigned>(Tick()));
    std::fclose(file);
}

}  // namespace Velm
