// Windowed or full screen, 3D or software drawing: display set-up on the main window, the
// recovery of a lost display, and the fallbacks from full screen to a window, from a
// window whose desktop cannot be used to full screen, and from 3D to software drawing.

#include "app/AppDisplay.h"
#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "widgets/WidgetManager.h"

namespace Velm {

namespace {

const char* const kColorDepthId = "PLEASE_SET_COLOR_DEPTH";
const char* const kColorDepthText = "Please set your desktop color depth to 16 bit.";

}  // namespace

// The card lists of the video-card test ship with the program's data, in the folder the
// program runs from (Init makes it the current folder).
DisplaySetup* VelmAppBase::CreateDisplay() { return new AppDisplay(this, mChangeDirTo); }

void VelmAppBase::DeleteDisplay() {
    CritSectLock lock(mDDCritSect);
    // Images the display frees on the way out no longer ask it for anything.
    DisplaySetup* display = mDDInterface;
    mDDInterface = nullptr;
    delete display;
}

void VelmAppBase::MakeWindow() {
    CreateMainWindow();
    if (!mMainWindow) {
        // Nobody could see or play the game (no display, or an X server that is gone): it says
        // why and ends.
        Popup("The game's window could not be opened: " + mMainWindowError);
        RestoreDisplayAndExit(1);
    }
    WindowProc(mMainWindow.get(), plat::WM_CREATE, 0, 0);

    if (mDDInterface == nullptr) {
        DisplaySetup* display = CreateDisplay();
        {
            CritSectLock lock(mDDCritSect);
            mDDInterface = display;
        }
        bool is3D = false;
        if (RegistryReadBoolean("Is3D", &is3D)) {
            if (mAutoEnable3D) {
                mAutoEnable3D = false;
                mTest3D = true;
            }
            if (is3D) mTest3D = true;
            mDDInterface->Set3D(is3D);
        }
    }
    mDDInterface->SetTest3D(mTest3D, mAutoEnable3D);

    const int result = InitDisplay();
    if (mDDInterface->Test3DResultChanged()) RegistryEraseValue("Is3D");

    if (mIsWindowed && result == RESULT_INVALID_COLORDEPTH) {
        if (mFellBackToWindowed) {
            Popup(GetStringWithDefault(kColorDepthId, kColorDepthText));
            RestoreDisplayAndExit(1);
        }
        mForceFullscreen = true;
        SwitchScreenMode(false);
        return;
    }
    if (!mIsWindowed && (result == RESULT_EXCLUSIVE_FAIL || result == RESULT_DISPCHANGE_FAIL)) {
        if (mForceFullscreen) {
            // The window could not be used either (its desktop's colour depth): there is
            // no display left to run on.
            Popup(GetStringWithDefault(kColorDepthId, kColorDepthText));
            RestoreDisplayAndExit(1);
        }
        mFellBackToWindowed = true;
        SwitchScreenMode(true);
        FinishDisplaySetup();
        return;
    }
    if (result == RESULT_3D_INIT_FAIL || (result != RESULT_OK && mDDInterface->Is3D())) {
        Set3DAcceleration(false, true);
        // The window gets its timer and focus state on this path too.
        FinishDisplaySetup();
        return;
    }
    if (result != RESULT_OK) {
        Popup(GetStringWithDefault("FAILED_INIT_DIRECTDRAW", "Failed to initialize DirectDraw: ") +
              DisplayResultName(result) + " " + mDDInterface->LastError());
        RestoreDisplayAndExit(1);
    }
    FinishDisplaySetup();
}

void VelmAppBase::FinishDisplaySetup() {
    if (mMainWindow) {
        const bool hadFocus = mHasFocus;
        // A played demo gives the focus as its recording had it (the activation commands); the
        // window's own focus (none under an X server without a window manager) is not asked.
        // A recording keeps the focus found here as one of those commands.
        if (!mPlayingDemo) {
            mHasFocus = mMainWindow->HasFocus();
            if (hadFocus != mHasFocus && IsRecordingDemoHere()) {
                const int activationCommand = 1;
                WriteDemoCommand(activationCommand);
                mDemoBuffer.WriteNumBits(mHasFocus ? 1 : 0, 1);
            }
        }
        mMinimizedNow = false;
        if (mMinimized) {
            if (mMuteOnLostFocus) Unmute(true);
            mMinimized = false;
            UpdateAppFocus();
        }
        if (hadFocus != mHasFocus) UpdateAppFocus();
        mMainWindow->SetTimer(static_cast<uint32_t>(mFrameTime));
    }
    ReInitImages();
    if (mDDInterface != nullptr) mWidgetManager->mImage = mDDInterface->GetScreenImage();
    mWidgetManager->MarkAllDirty();
}

int VelmAppBase::InitDisplay() {
    PreDisplayInitHook();
    DeleteExtraImageBuffers();
    const int result = mDDInterface->Init(mMainWindow.get(), mIsPhysWindowed);
    DemoRecordDisplayMode();
    if (result != RESULT_OK) return result;
    {
        CritSectLock lock(mDDCritSect);
        mDisplayWindowGone = false;
    }
    const int drawWidth = mDDInterface->GetDrawWidth();
    const int drawHeight = mDDInterface->GetDrawHeight();
    mScreenBounds = Rect((mWidth - drawWidth) / 2, (mHeight - drawHeight) / 2, drawWidth, drawHeight);
    mWidgetManager->SetRemapRects(mScreenBounds, mDDInterface->GetPresentationRect());
    PostDisplayInitHook();
    return RESULT_OK;
}

void VelmAppBase::Set3DAcceleration(bool on, bool reinit) {
    if (mDDInterface == nullptr || mDDInterface->Is3D() == on) return;
    mUserChanged3D = true;
    mDDInterface->Set3D(on);
    if (!reinit) return;
    const int result = InitDisplay();
    if (result != RESULT_OK) {
        if (on) {
            Set3DAcceleration(false, reinit);
            return;
        }
        Popup(GetStringWithDefault("FAILED_INIT_DIRECTDRAW", "Failed to initialize DirectDraw: ") +
              DisplayResultName(result) + " " + mDDInterface->LastError());
        RestoreDisplayAndExit(1);
    }
    ReInitImages();
    mWidgetManager->mImage = mDDInterface->GetScreenImage();
    mWidgetManager->MarkAllDirty();
}

void VelmAppBase::SwitchScreenMode(bool wantWindowed, bool want3D, bool force) {
    if (mForceFullscreen) wantWindowed = false;
    if (wantWindowed == mIsWindowed && !force) {
        Set3DAcceleration(want3D, true);
        return;
    }
    Set3DAcceleration(want3D, false);
    mIsWindowed = wantWindowed;
    MakeWindow();
    if (mMainWindow) {
        // While a link opens in the browser the new window must not take the focus back.
        mMainWindow->Show(!mIsOpeningURL);
    }
    // The sound output follows the process, not a window, on this platform.
    mUpdateFTimeAcc = 0;
    mLastTimeCheck = Tick();
}

void VelmAppBase::SwitchScreenMode(bool wantWindowed) { SwitchScreenMode(wantWindowed, Is3DAccelerated(), false); }

void VelmAppBase::SwitchScreenMode() { SwitchScreenMode(mIsWindowed, Is3DAccelerated(), true); }

void VelmAppBase::SetDrawToVideoMemory(bool on) {
    if (on == mDrawToVideoMemory) return;
    mDrawToVideoMemory = on;
    if (mDDInterface == nullptr) return;
    mDDInterface->SetDrawInVideoMemory(on);
    mWidgetManager->mImage = mDDInterface->GetScreenImage();
    mWidgetManager->MarkAllDirty();
}

bool VelmAppBase::Is3DAccelerated() { return mDDInterface != nullptr && mDDInterface->Is3D(); }

bool VelmAppBase::Is3DAccelerationSupported() {
    return mDDInterface != nullptr && mDDInterface->Test3DRan() && !mDDInterface->Test3DFailed();
}

bool VelmAppBase::Is3DAccelerationRecommended() {
    return mDDInterface != nullptr && mDDInterface->Test3DRan() && !mDDInterface->Test3DFailed() &&
           !mDDInterface->Test3DWarned();
}

void VelmAppBase::Notify3DTestRun() {}

void VelmAppBase::ConfirmHardwareAcceleration() {
    if (mDDInterface == nullptr) return;
    const std::string caption =
            mCompanyDisplayName + " " +
            GetStringWithDefault("HARDWARE_ACCEL_CONFIRMATION", "Hardware Acceleration Confirmation");
    const unsigned question = plat::kMbYesNo | plat::kMbIconQuestion;
    bool asked = false;
    if (mUserChanged3D) {
        bool stored = false;
        if (!RegistryReadBoolean("Is3D", &stored) && !Is3DAccelerationRecommended()) {
            // Switched on this session on a card the test did not vouch for: keep it only
            // when the user says so; a "no" leaves the setting unwritten.
            if (mDDInterface->Is3D()) {
                asked = true;
                const std::string text =
                        GetStringWithDefault("HARDWARE_ACCEL_SWITCHED_ON",
                                             "Hardware Acceleration was switched on during this session.\r\n"
                                             "If this resulted in slower performance, it should be switched off.\r\n"
                                             "Would you like to keep Hardware Acceleration switched on?");
                const bool keep = plat::ShowMessageBox(text, caption, question) == plat::kIdYes;
                mDDInterface->Set3D(keep);
                if (keep) RegistryWriteBoolean("Is3D", true);
            }
        } else {
            RegistryWriteBoolean("Is3D", mDDInterface->Is3D());
        }
    }
    if (!asked && mDDInterface->Has3DDrawFailure() && !mIsScreenSaver) {
        const std::string text = GetStringWithDefault(
                "HARDWARE_ACCEL_NOT_WORKING",
                "Hardware Acceleration may not have been working correctly during this session.\r\n"
                "If you noticed graphics problems, you may want to turn off Hardware Acceleration.\r\n"
                "Would you like to keep Hardware Acceleration switched on?");
        if (plat::ShowMessageBox(text, caption, question) == plat::kIdNo) RegistryWriteBoolean("Is3D", false);
    }
}

const NativePixelFormat* VelmAppBase::GetDisplayPixelFormat() {
    CritSectLock lock(mDDCritSect);
    return mDDInterface != nullptr ? mDDInterface->GetNativeFormat() : nullptr;
}

bool VelmAppBase::ReadBackTexture(MemoryImage* image, uint32_t* out) {
    CritSectLock lock(mDDCritSect);
    return mDDInterface != nullptr && mDDInterface->ReadBackTexture(image, out);
}

void VelmAppBase::Redraw(const Rect* clip) {
    if (mIsDrawing || mShutdown.load() || mScreensaverPaused || mDDInterface == nullptr) return;
    if (mDDInterface->Redraw(clip)) {
        if (mDisplayLost) {
            mDisplayLost = false;
            mLastDisplayRestoreTick = 0;
        }
        ++mPresentCount;
        return;
    }

    mDDInterface->Clear3DDrawFailure();
    mDisplayLost = true;
    const uint32_t now = Tick();
    const bool minimized = mMinimized || (mMainWindow && mMainWindow->IsMinimized());
    if (!(mHasFocus || (now - mLastDisplayRestoreTick > 1000 && mIsPhysWindowed)) || minimized) return;
    mLastDisplayRestoreTick = now;
    mWidgetManager->mImage = nullptr;

    int desktopWidth = 0;
    int desktopHeight = 0;
    if (mIsWindowed && GetDesktopSize(&desktopWidth, &desktopHeight) &&
        (mWidth >= desktopWidth || mHeight >= desktopHeight)) {
        // The desktop shrank below the logical size: a window can no longer hold it.
        if (!mFellBackToWindowed) {
            mForceFullscreen = true;
            SwitchScreenMode(false);
        } else {
            Popup(GetStringWithDefault(kColorDepthId, kColorDepthText));
            Shutdown();
        }
        return;
    }
    const int result = InitDisplay();
    if (mIsWindowed && result == RESULT_INVALID_COLORDEPTH) {
        if (mHasFocus) {
            SwitchScreenMode(false);
            mForceFullscreen = true;
        }
    } else if (result == RESULT_3D_INIT_FAIL) {
        Set3DAcceleration(false, true);
    } else if (result == RESULT_OK) {
        ReInitImages();
        mWidgetManager->mImage = mDDInterface->GetScreenImage();
        mWidgetManager->MarkAllDirty();
        mUpdateFTimeAcc = 0;
        mLastTimeCheck = Tick();
    }
    // Any other failure: tried again on a later frame.
}

}  // namespace Velm
