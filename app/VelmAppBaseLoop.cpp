// The main loop of the application object: pumping and replaying input,
// fixed-step updates paced against the clock, redraws and sleeping.

#include <algorithm>
#include <cmath>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "app/devaids/DebugOutputFormat.h"
#include "platform/Clock.h"
#include "platform/SingleInstance.h"
#include "resources/sound/MusicInterface.h"
#include "resources/sound/SoundManager.h"
#include "widgets/WidgetManager.h"

namespace Velm {

void VelmAppBase::DoMainLoop() {
    while (!mShutdown.load()) {
        mExitLoops.store(false);
        UpdateApp();
    }
}

bool VelmAppBase::UpdateApp() {
    bool updated = false;
    for (;;) {
        if (!UpdateAppStep(&updated)) return false;
        if (updated) return true;
    }
}

bool VelmAppBase::UpdateAppStep(bool* updated) {
    if (updated != nullptr) *updated = false;
    if (mExitLoops.load()) return false;
    if (mLoopState == 3) mLoopState = 0;
    ++mUpdateAppDepth;

    if (mLoopState == 0) {
        PumpWindowMessages();
        if (mPendingDemoDialog != 0) ShowPendingDemoDialog();
        PlayDemoCommands();
        if (ProcessDeferredMessages(true)) mLoopState = 1;
    } else if (mStepMode == 0) {
        const int before = mUpdateCnt;
        ProcessFrame(true);
        if (updated != nullptr && mUpdateCnt != before) *updated = true;
    } else if (mStepMode == 2) {
        plat::SleepMs(mFrameTime);
        mLoopState = 3;
    } else if (mStepMode == 1) {
        mStepMode = 2;
        DoUpdateFrames();
        UpdateFramesFractional(1.0f);
        DrawFrame();
    }

    --mUpdateAppDepth;
    return true;
}

void VelmAppBase::UpdateFrameTimeAccumulator() {
    const uint32_t now = Tick();
    if (mLastTimeCheck == 0) {
        mLastTimeCheck = now;
        return;
    }
    mUpdateFTimeAcc = std::min(static_cast<double>(now - mLastTimeCheck) + mUpdateFTimeAcc, 200.0);
    mLastTimeCheck = now;
}

void VelmAppBase::VSyncBrokenTest(uint32_t now) {
    ++mVSyncBrokenTestUpdates;
    if (mVSyncBrokenTestUpdates >= static_cast<uint32_t>((mFrameTime + 999) / mFrameTime)) {
        if (now - mVSyncBrokenTestStartTick > 800) {
            mVSyncBrokenCount = 0;
        } else if (++mVSyncBrokenCount >= 3) {
            mVSyncBroken = true;
        }
        mVSyncBrokenTestStartTick = now;
        mVSyncBrokenTestUpdates = 0;
    }
}

bool VelmAppBase::ProcessFrame(bool allowSleep) {
    if (mShutdownRequestedOffThread.load()) {
        mShutdownRequestedOffThread.store(false);
        Shutdown();
    }

    const bool vsyncTiming = !mPlayingDemo && mVSyncUpdates && !mLastDrawWasEmpty && !mVSyncBroken &&
                             (!mIsPhysWindowed || (mWaitForVSync && !mSoftVSyncWait));

    double period;
    double updatesPerStep;
    if (mVSyncUpdates) {
        period = 1000.0 / mRefreshRate / mSpeedFactor;
        updatesPerStep = 1000.0 / (static_cast<double>(mRefreshRate) * mFrameTime);
    } else {
        period = mFrameTime / mSpeedFactor;
        updatesPerStep = 1.0;
    }
    const float fraction = static_cast<float>(updatesPerStep);

    // Demo fast-forward: run updates without pacing, drawing once a second.
    if (mPlayingDemo && (mUpdateCnt < mFastForwardToUpdateNum || mFastForwardToMarker)) {
        if (!mDemoMute && !mFastForwardStep) {
            mDemoMute = true;
            Mute(true);
        }
        if (!mFastForwardStarted) {
            mFastForwardStarted = true;
            mFastForwardStartTick = Tick();
        }
        while (mUpdateCnt < mFastForwardToUpdateNum || mFastForwardToMarker) {
            mUpdateFTimeAcc = 0;
            mLastTimeCheck = Tick();
            const int before = mUpdateCnt;
            // Every update of the loop is preceded by the commands due at it, or the
            // first held update would repeat for ever.
            PlayDemoCommands();
            if (DoUpdateFrames()) {
                mUpdateMultiplier += updatesPerStep - 1;
                ProcessSafeDeleteList();
                while (mUpdateMultiplier >= 1.0) {
                    // Commands due at this update are played before every
                    // extra update, or a held update would repeat for ever.
                    PlayDemoCommands();
                    if (!DoUpdateFrames()) break;
                    ProcessSafeDeleteList();
                    mUpdateMultiplier -= 1.0;
                }
                UpdateFramesFractional(fraction);
                ProcessSafeDeleteList();
            }
            if (mUpdateCnt == before) return true;
            const uint32_t now = Tick();
            if (now - mFastForwardStartTick >= 1000 || mFastForwardStep) {
                mFastForwardStep = false;
                mFastForwardStartTick = now;
                DrawFrame();
                return true;
            }
        }
        if (mDemoMute) {
            mDemoMute = false;
            if (mSoundManager != nullptr) mSoundManager->StopAllSounds();
            Unmute(true);
        }
    }

    if (!mPaused && mSpeedFactor > 0) {
        const uint32_t now = Tick();
        uint32_t slept = 0;
        if (!vsyncTiming) UpdateFrameTimeAccumulator();

        bool handled = false;
        if (mLoopState == 1) {
            ++mUpdatesThisFrame;
            const int ceiling = static_cast<int>(std::ceil(10.0 * mSpeedFactor));
            bool due = false;
            if (mUpdatesThisFrame < ceiling || !mLoadingCompletionHandled) {
                if (vsyncTiming)
                    due = !mHasPendingDraw || mUpdateFTimeAcc >= static_cast<int>(period * 0.75);
                else
                    due = mUpdateFTimeAcc >= period;
            }
            if (due) {
                if (!mPlayingDemo && mSpeedFactor == 1.0) VSyncBrokenTest(now);
                // An update that is held back (demo playback, screen saver)
                // counts as not due: the frame goes on to draw or sleep.
                if (DoUpdateFrames()) {
                    mLoopState = 2;
                    mHasPendingDraw = true;
                    handled = true;
                } else {
                    mUpdateFTimeAcc = std::max(mUpdateFTimeAcc - period, 0.0);
                }
            }
        } else if (mLoopState == 2) {
            mLoopState = 3;
            mUpdateMultiplier += updatesPerStep - 1;
            ProcessSafeDeleteList();
            while (mUpdateMultiplier >= 1.0) {
                PlayDemoCommands();
                ++mUpdatesThisFrame;
                if (!DoUpdateFrames()) break;
                ProcessSafeDeleteList();
                mUpdateMultiplier -= 1.0;
            }
            UpdateFramesFractional(fraction);
            ProcessSafeDeleteList();
            mUpdateFTimeAcc -= period;
            if (vsyncTiming) mUpdateFTimeAcc = std::max(mUpdateFTimeAcc - 0.2, 0.0);
            handled = true;
        }

        if (!handled) {
            mLoopState = 3;
            mUpdatesThisFrame = 0;
            if (mHasPendingDraw) {
                DrawFrame();
            } else {
                // The next update less than a millisecond away (a period of fractional
                // milliseconds) still sleeps one: the loop must not spin, and a clock that
                // moves only while the loop sleeps would never get there. The time slept
                // beyond the period stays in the accumulator, so no update is lost.
                const double remaining = period - mUpdateFTimeAcc;
                if (remaining > 0) {
                    const int wait = std::max(1, static_cast<int>(remaining));
                    if (!allowSleep) return false;
                    ++mSleepCount;
                    plat::SleepMs(static_cast<uint32_t>(wait));
                    slept = static_cast<uint32_t>(wait);
                }
            }
        }

        // While the loading thread works, the main thread leaves it the
        // processor: it sleeps about twice its own working time.
        if (mLoadingThrottle.load()) {
            int extra = static_cast<int>(Tick() - slept - now) * 2 - static_cast<int>(slept);
            if (extra > 250) extra = 250;
            if (extra < 0) {
                ProcessSafeDeleteList();
                return true;
            }
            if (!allowSleep) return false;
            plat::SleepMs(static_cast<uint32_t>(extra));
        }
    } else {
        // Paused, or no game time passing: no updates and no sleeping, but the frame ends
        // so that the next step pumps input (the key that resumes) and draws.
        mLoopState = 3;
        mUpdatesThisFrame = 0;
        if (mHasPendingDraw) DrawFrame();
    }

    ProcessSafeDeleteList();
    return true;
}

void VelmAppBase::HandleLoadingCompletion() {
    mLoadingCompletionHandled = true;
    mLoadingThrottle.store(false);
    LoadingThreadCompleted();
}

bool VelmAppBase::DoUpdateFrames() {
    if (mScreensaverPaused || mDemoDialogOpen) return false;

    if (mPlayingDemo) {
        if (mLoadingThreadCompleted.load() && !mLoadingCompletionHandled && mDemoLoadingComplete)
            HandleLoadingCompletion();
        if (mLoadingCompletionHandled != mDemoLoadingComplete) return false;
        // The next command is due at this update and was not played yet, or the stream
        // has ended: the game holds still.
        if (PrepareDemoCommand(false) || IsDemoStreamAtEnd()) return false;
    } else if (mLoadingThreadCompleted.load() && !mLoadingCompletionHandled) {
        HandleLoadingCompletion();
        if (IsRecordingDemoHere()) WriteDemoCommand(9);
    }

    UpdateFrames();
    return true;
}

void VelmAppBase::UpdateFrames() {
    ++mUpdateCnt;
    if (!mMinimized) mWidgetManager->UpdateFrame();
    if (mMusicInterface != nullptr) mMusicInterface->Update();
    PurgeSharedImages();
}

void VelmAppBase::UpdateFramesFractional(float fraction) {
    if (mVSyncUpdates && !mMinimized) mWidgetManager->UpdateFrameF(fraction);
}

bool VelmAppBase::DrawFrame() {
    // The drawing nesting depth, one level deeper for the whole call.
    struct NestingScope {
        NestingScope() { AdjustNestingCounter(false); }
        ~NestingScope() { AdjustNestingCounter(true); }
    } nesting;

    if (mDisplayLost) {
        Redraw(nullptr);
        mHasPendingDraw = false;
        mLastDrawWasEmpty = true;
        return false;
    }

    PrepareOverlays();

    const uint32_t now = Tick();
    if (now - mLastScreensaverUpdateTick >= 1000) {
        mLastScreensaverUpdateTick = now;
        UpdateScreensaverState(now);
    }
    if (!mScreensaverPaused) {
        mIsDrawing = true;
        const bool changed = mWidgetManager->DrawScreen();
        mIsDrawing = false;
        if ((changed || now - mLastDrawTick > 999 || mForceRedraw) && static_cast<int32_t>(now - mNextDrawTick) >= 0) {
            ++mDrawCount;
            mLastDrawWasEmpty = false;
            mDrawTime += static_cast<int>(Tick() - now);
            DrawOverlays();

            // Presents that do not wait for the vertical blank (a window told not to, a window
            // that paces itself, a display that cannot wait) are spaced by the display's
            // refresh period, so that no more frames are made than the display shows.
            const bool presentsWait = !mVSyncBroken && (!mIsPhysWindowed || (mWaitForVSync && !mSoftVSyncWait));
            if (!presentsWait) {
                const int perRefresh = mDDInterface != nullptr ? mDDInterface->GetMillisecondsPerRefresh() : 0;
                const uint32_t sinceLast = Tick() - mLastDrawTick;
                if (perRefresh > 0 && sinceLast < static_cast<uint32_t>(perRefresh))
                    plat::SleepMs(static_cast<uint32_t>(perRefresh) - sinceLast);
            }

            const uint32_t blitStart = Tick();
            mLastDrawTick = blitStart;
            Redraw(nullptr);
            UpdateFrameTimeAccumulator();
            const uint32_t end = Tick();
            mScreenBltTime += static_cast<int>(end - blitStart);

            // While loading, redraws are spaced out so the loading thread
            // gets the processor.
            if (mLoadingThreadStarted.load() && !mLoadingThreadCompleted.load()) {
                const uint32_t took = end - now;
                if (took < 16)
                    mNextDrawTick += 50;
                else
                    mNextDrawTick += took + 35;
                if (static_cast<int32_t>(mNextDrawTick - end) < 0) mNextDrawTick = end;
            } else {
                mNextDrawTick = end;
            }
            mHasPendingDraw = false;
            mForceRedraw = false;
            return true;
        }
    }
    mLastDrawWasEmpty = true;
    mHasPendingDraw = false;
    return false;
}

}  // namespace Velm
