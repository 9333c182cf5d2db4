// The main window, its window procedure and the deferred input queue: the procedure
// answers at once only what cannot wait and queues every input and state message; the
// main loop replays the queue into the widget manager on its own schedule, recording it
// into a demo on the way.

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "platform/DebugOutput.h"
#include "platform/SingleInstance.h"
#include "platform/Window.h"
#include "resources/base/StringUtils.h"
#include "widgets/WidgetManager.h"

namespace Velm {

using namespace plat;

namespace {

// Demo command ids of the input queue.
const int kDemoCmdMouseJump = 0;
const int kDemoCmdActivation = 1;
const int kDemoCmdSize = 2;
const int kDemoCmdKeyDown = 3;
const int kDemoCmdKeyUp = 4;
const int kDemoCmdChar = 5;
const int kDemoCmdClose = 6;
const int kDemoCmdMouseEnter = 7;
const int kDemoCmdMouseLeave = 8;
const int kDemoCmdWheel = 21;

bool IsQueuedMessage(uint32_t message) {
    switch (message) {
        case WM_MOVE:
        case WM_SIZE:
        case WM_CLOSE:
        case WM_SYSCOLORCHANGE:
        case WM_DISPLAYCHANGE:
        case WM_ACTIVATEAPP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_TIMER:
        case WM_MOUSEWHEEL: return true;
        default:
            // The middle double click (0x209) is not among them.
            return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
    }
}

bool IsKeyDownMessage(uint32_t message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
bool IsKeyUpMessage(uint32_t message) { return message == WM_KEYUP || message == WM_SYSKEYUP; }
bool IsMouseMessage(uint32_t message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP; }

// The signed click count of a button-down message, 0 for other messages.
int ButtonDownCode(uint32_t message) {
    switch (message) {
        case WM_LBUTTONDOWN: return 1;
        case WM_LBUTTONDBLCLK: return 2;
        case WM_RBUTTONDOWN: return -1;
        case WM_RBUTTONDBLCLK: return -2;
        case WM_MBUTTONDOWN: return 3;
        default: return 0;
    }
}

int ButtonUpCode(uint32_t message) {
    switch (message) {
        case WM_LBUTTONUP: return 1;
        case WM_RBUTTONUP: return -1;
        case WM_MBUTTONUP: return 3;
        default: return 0;
    }
}

}  // namespace

void* VelmAppBase::GetMainWindowHandle() { return mMainWindow.get(); }

void VelmAppBase::ShowMainWindow() {
    if (mMainWindow) mMainWindow->Show(true);
}

void VelmAppBase::HideMainWindow() {
    if (mMainWindow) mMainWindow->Hide();
}

void VelmAppBase::BringMainWindowToFront() {
    if (mMainWindow) mMainWindow->BringToFront();
}

bool VelmAppBase::GetDesktopSize(int* width, int* height) {
    // The area a maximised window's client may use: the desktop without its panels.
    ScreenRect area;
    if (!GetWorkArea(&area)) return false;
    *width = area.width;
    *height = area.height;
    return true;
}

void VelmAppBase::DestroyMainWindow() {
    if (!mMainWindow) return;
    DebugOutput(
            FormatString("DESTROYED HWND: %d\r\n", static_cast<int>(reinterpret_cast<uintptr_t>(mMainWindow.get()))));
    // The cursor thread reads the window under the display lock.
    CritSectLock lock(mDDCritSect);
    mMainWindow.reset();
    mDisplayWindowGone = mDDInterface != nullptr;
}

void VelmAppBase::CreateMainWindow() {
    if (mMainWindow) {
        DestroyMainWindow();
        mWidgetManager->mImage = nullptr;
    }

    CritSectLock lock(mDDCritSect);
    Window::Params params;
    params.title = mTitle;
    params.width = mWidth;
    params.height = mHeight;
    std::string& error = mMainWindowError;
    error.clear();
    if (mPlayingDemo || (mIsWindowed && !mFullScreenDesktopSwitch)) {
        params.maximizable = mAllowMaximize;
        mMainWindow = Window::Create(params, &error);
        mIsPhysWindowed = true;
        if (!mMainWindow) {
            DebugOutput("Main window: " + error + "\r\n");
            return;
        }
        // The frame around the client area, and the desktop without its panels.
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        mMainWindow->GetFrameSizes(&left, &top, &right, &bottom);
        const int windowWidth = mWidth + left + right;
        const int windowHeight = mHeight + top + bottom;
        ScreenRect work;
        if (!GetWorkArea(&work)) {
            work.width = windowWidth;
            work.height = windowHeight;
        }
        const int workRight = work.x + work.width;
        const int workBottom = work.y + work.height;
        int x = 64;
        int y = 64;
        if (mPreferredX != -1) {
            x = std::max(mPreferredX, work.x + 4);
            y = std::max(mPreferredY, work.y + 4);
            if (x + windowWidth >= workRight - 4) x = workRight - windowWidth - 4;
            if (windowHeight + y >= workBottom - 4) y = workBottom - windowHeight - 4;
        } else {
            // Centred across, and at the golden section down.
            x = work.x + (work.width - windowWidth) / 2;
            y = work.y + static_cast<int>((workBottom - work.y - windowHeight) * 0.382);
        }
        mMainWindow->Move(x, y);
    } else {
        params.fullScreen = true;
        mMainWindow = Window::Create(params, &error);
        mIsPhysWindowed = false;
        if (!mMainWindow) DebugOutput("Main window: " + error + "\r\n");
    }
}

bool VelmAppBase::IsAltKeyUsed(int key) {
    const int lower = key >= 0 && key < 256 ? std::tolower(key) : key;
    return lower == 13 || lower == 'r';
}

bool VelmAppBase::AppCanRestore() { return !mWindowDisabled; }

void VelmAppBase::ClearKeyState() {
    for (bool& down : mWidgetManager->mKeyDown) down = false;
    mCtrlDown = false;
    mAltDown = false;
}

void VelmAppBase::UpdateAppFocus() {
    const bool active = mHasFocus && !mMinimized;
    if (active == mActive) return;
    mActive = active;
    if (active) {
        if (mMuteOnLostFocus) Unmute(true);
        mWidgetManager->AppGotFocus();
        GotFocus();
    } else {
        if (mMuteOnLostFocus) Mute(true);
        mWidgetManager->AppLostFocus();
        LostFocus();
        // The system releases its mouse capture by itself when the focus goes.
        mWidgetManager->ReleaseCapture();
    }
}

int VelmAppBase::WindowProc(void* window, uint32_t message, uint32_t wParam, uint32_t lParam) {
    Window* target = static_cast<Window*>(window);
    const bool isMain = window != nullptr && window == mMainWindow.get();
    auto defaultHandling = [&]() {
        if (target != nullptr) {
            WindowMessage record;
            record.message = message;
            record.wParam = wParam;
            record.lParam = lParam;
            target->DefaultHandling(record);
        }
        return 0;
    };

    if (mIsScreenSaver) {
        int result = 0;
        if (HandleScreensaverMessage(message, wParam, lParam, window, &result)) return result;
    }

    switch (message) {
        case WM_DESTROY:
            DebugOutput(FormatString("DESTROYED HWND: %d\r\n", static_cast<int>(reinterpret_cast<uintptr_t>(window))));
            return defaultHandling();
        case WM_ENABLE: mWindowDisabled = wParam == 0; return 0;
        case WM_PAINT:
            if (mInitialized && !mCrashed.load()) {
                if (mInMainLoop) Redraw(nullptr);
                return 0;
            }
            return defaultHandling();
        case WM_QUERYOPEN:
            if (!AppCanRestore()) return 0;
            return 1;
        case WM_ENDSESSION: Shutdown(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETCURSOR:
            if (!mCrashed.load()) EnforceCursor();
            return 1;
        case WM_NCLBUTTONDOWN: {
            const int result = defaultHandling();
            // A drag of the window returns only when it ends: the time it took is not owed.
            mUpdateFTimeAcc = 0;
            mLastTimeCheck = Tick();
            return result;
        }
        case WM_SYSCHAR:
            if (IsAltKeyUsed(static_cast<int>(wParam))) return 0;
            return defaultHandling();
        case WM_SYSCOMMAND: {
            const uint32_t command = wParam & 0xFFF0;
            if (command == SC_MONITORPOWER) {
                mLastMonitorPowerOffTick = Tick();
                if (mAllowMonitorPowersave && mLoadingCompletionHandled) return defaultHandling();
                return 0;
            }
            if (command == SC_SCREENSAVE) {
                if (mLoadingCompletionHandled && mIsPhysWindowed) return defaultHandling();
                return 0;
            }
            return defaultHandling();
        }
        default: break;
    }

    if (!IsQueuedMessage(message)) return defaultHandling();

    if (message == WM_ACTIVATEAPP && isMain && !mPlayingDemo) mHasFocus = wParam != 0;

    if (mPopupOpen) return defaultHandling();

    if (IsKeyDownMessage(message) || IsKeyUpMessage(message)) {
        const bool down = IsKeyDownMessage(message);
        if (wParam == static_cast<uint32_t>(VK_CONTROL))
            mCtrlDown = down;
        else if (wParam == static_cast<uint32_t>(VK_MENU))
            mAltDown = down;
        if (down && FilterKeyDown(static_cast<int>(wParam), mCtrlDown, mAltDown)) return 0;
    }

    // Live keys still reach the developer keys during playback; everything is queued all
    // the same, and the replay leaves it to the demo.
    // While a playback window is open the keys are its own.
    if (mPlayingDemo && !mDemoDialogOpen && message == WM_KEYDOWN) DebugKeyDown(static_cast<int>(wParam));
    if (mPlayingDemo && !mDemoDialogOpen && message == WM_CHAR) HandleDemoPlaybackKey(static_cast<int>(wParam));

    bool queue = true;
    if (!mDeferredMessages.empty()) {
        const uint32_t newest = mDeferredMessages.back().message;
        if (newest == WM_TIMER && message == WM_TIMER) return defaultHandling();
        if (newest == WM_CLOSE) {
            queue = false;
        } else if (message == WM_SYSCOLORCHANGE || message == WM_DISPLAYCHANGE) {
            for (const DeferredMessage& record : mDeferredMessages) {
                if (record.message == WM_SYSCOLORCHANGE || record.message == WM_DISPLAYCHANGE) {
                    queue = false;
                    break;
                }
            }
        }
    }
    if (queue) {
        DeferredMessage record;
        record.window = window;
        record.message = message;
        record.wParam = wParam;
        record.lParam = lParam;
        mDeferredMessages.push_back(record);
    }

    switch (message) {
        case WM_SIZE: mMinimizedNow = wParam == SIZE_MINIMIZED; return defaultHandling();
        case WM_SYSKEYDOWN:
            // Alt+F4 goes on to become WM_CLOSE; every other Alt key is swallowed.
            if (wParam != static_cast<uint32_t>(VK_F4)) return 0;
            return defaultHandling();
        case WM_CLOSE: CloseRequested(); return 0;
        default: return defaultHandling();
    }
}

void VelmAppBase::PumpWindowMessages() {
    if (mSingleInstance && mSingleInstance->PollKnock()) HandleNotifyMessage(0, 0);
    WindowMessage message;
    while (mMainWindow && !mShutdown.load() && mMainWindow->PeekMessage(&message))
        WindowProc(mMainWindow.get(), message.message, message.wParam, message.lParam);
}

bool VelmAppBase::ProcessDeferredMessages(bool singleMessage) {
    while (!mDeferredMessages.empty()) {
        const DeferredMessage record = mDeferredMessages.front();
        mDeferredMessages.pop_front();
        ProcessDeferredMessage(record);
        if (singleMessage) break;
    }
    return mDeferredMessages.empty();
}

void VelmAppBase::RecordDemoMouse(uint32_t message, uint32_t lParam) {
    // Recorded as the widgets see it: remapped to logical coordinates (a letterboxed
    // picture moves the client position), and within the 12 bits of a far move.
    int x = LowWordSigned(lParam);
    int y = HighWordSigned(lParam);
    mWidgetManager->RemapMouse(x, y);
    x = std::max(-2048, std::min(x, 2047));
    y = std::max(-2048, std::min(y, 2047));
    const int lastX = mLastDemoMouseX.load();
    const int lastY = mLastDemoMouseY.load();
    if (std::abs(x - lastX) > 31 || std::abs(y - lastY) > 31) {
        WriteDemoTimingBlock();
        mDemoBuffer.WriteNumBits(0, 1);
        mDemoBuffer.WriteNumBits(kDemoCmdMouseJump, 5);
        mDemoBuffer.WriteNumBits(x, 12);
        mDemoBuffer.WriteNumBits(y, 12);
    } else if (x != lastX || y != lastY) {
        WriteDemoTimingBlock();
        mDemoBuffer.WriteNumBits(1, 1);
        mDemoBuffer.WriteNumBits(0, 1);
        mDemoBuffer.WriteNumBits(x - lastX, 6);
        mDemoBuffer.WriteNumBits(y - lastY, 6);
    }
    const int down = ButtonDownCode(message);
    const int up = ButtonUpCode(message);
    if (down != 0 || up != 0) {
        WriteDemoTimingBlock();
        mDemoBuffer.WriteNumBits(1, 1);
        mDemoBuffer.WriteNumBits(1, 1);
        mDemoBuffer.WriteNumBits(down != 0 ? 1 : 0, 1);
        // Three-bit two's complement: right 7 (-1), right double 6 (-2).
        mDemoBuffer.WriteNumBits((down != 0 ? down : up) & 7, 3);
    }
    mLastDemoMouseX = x;
    mLastDemoMouseY = y;
}

bool VelmAppBase::PointerInDrawingArea() {
    if (!mMainWindow) return false;
    int x = 0;
    int y = 0;
    if (!mMainWindow->PointerPosition(&x, &y)) return false;
    int width = 0;
    int height = 0;
    mMainWindow->GetClientSize(&width, &height);
    return x >= 0 && y >= 0 && x < width && y < height;
}

void VelmAppBase::ProcessDeferredMessage(const DeferredMessage& record) {
    const uint32_t message = record.message;
    const uint32_t wParam = record.wParam;
    const uint32_t lParam = record.lParam;
    const bool isMain = record.window != nullptr && record.window == mMainWindow.get();

    auto writeCommand = [&](int id) {
        WriteDemoTimingBlock();
        mDemoBuffer.WriteNumBits(0, 1);
        mDemoBuffer.WriteNumBits(id, 5);
    };

    if (IsRecordingDemoHere() && !mShutdown.load()) {
        if (message == WM_SIZE) {
            writeCommand(kDemoCmdSize);
            mDemoBuffer.WriteBoolean(wParam == SIZE_MINIMIZED);
        } else if (message == WM_CLOSE) {
            writeCommand(kDemoCmdClose);
        } else if (message == WM_ACTIVATEAPP && isMain) {
            writeCommand(kDemoCmdActivation);
            mDemoBuffer.WriteNumBits(wParam != 0 ? 1 : 0, 1);
        } else if (IsKeyDownMessage(message) || IsKeyUpMessage(message)) {
            writeCommand(IsKeyDownMessage(message) ? kDemoCmdKeyDown : kDemoCmdKeyUp);
            mDemoBuffer.WriteNumBits(static_cast<int>(wParam), 8);
        } else if (message == WM_CHAR) {
            writeCommand(kDemoCmdChar);
            mDemoBuffer.WriteNumBits(0, 1);
            mDemoBuffer.WriteNumBits(static_cast<int>(wParam), 8);
        } else if (message == WM_MOUSEWHEEL) {
            writeCommand(kDemoCmdWheel);
            mDemoBuffer.WriteNumBits(HighWordSigned(wParam) / WHEEL_DELTA, 8);
        } else if (IsMouseMessage(message)) {
            RecordDemoMouse(message, lParam);
        }
    }

    // A played run takes its input from the demo; the user's own input reaches only the
    // windows opened during playback.
    if (!mPlayingDemo || mDemoDialogOpen) {
        if (message == WM_MOVE) {
            if (isMain && mIsWindowed && mMainWindow && !mMainWindow->IsMinimized()) {
                // The frame's normal position is what the next start restores.
                int x = 0;
                int y = 0;
                int left = 0;
                int top = 0;
                int right = 0;
                int bottom = 0;
                mMainWindow->GetClientOrigin(&x, &y);
                mMainWindow->GetFrameSizes(&left, &top, &right, &bottom);
                mPreferredX = x - left;
                mPreferredY = y - top;
            }
        } else if (message == WM_SIZE) {
            const bool minimized = wParam == SIZE_MINIMIZED;
            const bool changed = minimized != mMinimized;
            mMinimized = minimized;
            if (isMain && !mShutdown.load() && changed) {
                if (minimized) {
                    if (mMuteOnLostFocus) Mute(true);
                } else {
                    if (mMuteOnLostFocus) Unmute(true);
                    mWidgetManager->MarkAllDirty();
                }
            }
            UpdateAppFocus();
            // The picture's place in the client area follows its size (letterboxing).
            if (isMain && !minimized && mDDInterface != nullptr)
                mWidgetManager->SetRemapRects(mScreenBounds, mDDInterface->GetPresentationRect());
            if (wParam == SIZE_MAXIMIZED) SwitchScreenMode(false);
        } else if (message == WM_SYSCOLORCHANGE || message == WM_DISPLAYCHANGE) {
            mWidgetManager->SysColorChangedAll();
            mWidgetManager->MarkAllDirty();
        } else if (message == WM_ACTIVATEAPP) {
            if (isMain && !mCrashed.load() && !mShutdown.load()) {
                UpdateAppFocus();
                if (mHasFocus && !mIsWindowed) mWidgetManager->MarkAllDirty();
                if (mIsOpeningURL && !mHasFocus) URLOpenSucceeded(mOpeningURL);
            }
        } else if (IsKeyDownMessage(message)) {
            mLastUserInputTick = mLastTimerTime;
            const int key = static_cast<int>(wParam);
            bool handled = false;
            if (message == WM_SYSKEYDOWN && key == VK_RETURN && !mForceFullscreen && !mFellBackToWindowed) {
                SwitchScreenMode(!mIsWindowed);
                ClearKeyState();
                handled = true;
            }
            if (!handled) {
                if (key == 'D' && mWidgetManager->IsKeyDown(VK_CONTROL) && mWidgetManager->IsKeyDown(VK_MENU)) {
                    // The developer keys; the confirmation sound of the system is not
                    // available here.
                    mDebugKeysEnabled = !mDebugKeysEnabled;
                }
                if (mDebugKeysEnabled) {
                    if (!DebugKeyDown(key)) mWidgetManager->KeyDown(key);
                } else {
                    mWidgetManager->KeyDown(key);
                }
            }
        } else if (IsKeyUpMessage(message)) {
            mLastUserInputTick = mLastTimerTime;
            mWidgetManager->KeyUp(static_cast<int>(wParam));
        } else if (message == WM_CHAR) {
            mLastUserInputTick = mLastTimerTime;
            mWidgetManager->KeyChar(static_cast<char>(wParam));
        } else if (message == WM_TIMER) {
            if (!mCrashed.load() && mInMainLoop) {
                const uint32_t now = Tick();
                if (now - mLastTimerTime > 500) mResumeTick = now;
                mLastTimerTime = now;
                if (mIsOpeningURL && now - mResumeTick > 5000) {
                    if (now - mOpeningURLTime > 8000 && !mHasFocus)
                        URLOpenSucceeded(mOpeningURL);
                    else if (now - mOpeningURLTime > 12000 && mHasFocus)
                        URLOpenFailed(mOpeningURL);
                }
                const bool inside = PointerInDrawingArea();
                if (inside != mMouseIn) {
                    if (mRecordingDemo) writeCommand(inside ? kDemoCmdMouseEnter : kDemoCmdMouseLeave);
                    if (!inside) {
                        int x = 0;
                        int y = 0;
                        if (mMainWindow) mMainWindow->PointerPosition(&x, &y);
                        mWidgetManager->RemapMouse(x, y);
                        mWidgetManager->MouseExit(x, y);
                    }
                    mMouseIn = inside;
                    EnforceCursor();
                }
            }
        } else if (IsMouseMessage(message)) {
            if (!mCrashed.load()) {
                int x = LowWordSigned(lParam);
                int y = HighWordSigned(lParam);
                mWidgetManager->RemapMouse(x, y);
                mLastUserInputTick = mLastTimerTime;
                mWidgetManager->MouseMove(x, y);
                if (!mMouseIn) {
                    if (mRecordingDemo) writeCommand(kDemoCmdMouseEnter);
                    mMouseIn = true;
                    EnforceCursor();
                }
                const int down = ButtonDownCode(message);
                const int up = ButtonUpCode(message);
                if (down != 0)
                    mWidgetManager->MouseDown(x, y, down);
                else if (up != 0)
                    mWidgetManager->MouseUp(x, y, up);
            }
        } else if (message == WM_MOUSEWHEEL) {
            mWidgetManager->MouseWheel(HighWordSigned(wParam) / WHEEL_DELTA);
        }
    }

    if (message == WM_CLOSE) {
        mDemoIsClosed = true;
        Shutdown();
    }
}

}  // namespace Velm
