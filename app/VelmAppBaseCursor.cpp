// Cursors: a system cursor by number, or a software cursor image the display draws over
// the screen, and the cursor thread that keeps the software cursor on the pointer every
// 10 ms even while the main loop is busy.

#include <chrono>
#include <thread>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "platform/Cursor.h"
#include "platform/Window.h"

namespace Velm {

namespace {

// The program's own hand and dragging cursors, 32 x 32: 'X' black, 'o' white, '.' clear.
const char* const kHandCursor[32] = {
        "...........XX...................", "..........XooX..................", "..........XooX..................",
        "..........XooX..................", "..........XooX..................", "..........XooXXX................",
        "..........XooXooXXX.............", "..........XooXooXooXX...........", "..........XooXooXooXoX..........",
        "......XX..XooooooooXooX.........", "......XoX.XooooooooooooX........", "......XooXXoooooooooooX.........",
        ".......XooXoooooooooooX.........", "........XooooooooooooX..........", "........XooooooooooooX..........",
        ".........XoooooooooooX..........", ".........XooooooooooX...........", "..........XoooooooooX...........",
        "..........XoooooooooX...........", "..........XXXXXXXXXXX...........", "................................",
        "................................", "................................", "................................",
        "................................", "................................", "................................",
        "................................", "................................", "................................",
        "................................", "................................"};

const char* const kDraggingCursor[32] = {
        "................................", "................................",  "................................",
        "................................", "................................",  "................................",
        "..........XX.XX.XX..............", ".........XooXooXooXX.............", ".........XooXooXooXoX............",
        "..........XooooooooooX..........", "........XXXooooooooooX..........",  ".......XoooooooooooooX..........",
        ".......XoooooooooooooX..........", "........XooooooooooooX..........",  "........XooooooooooooX..........",
        ".........XoooooooooooX..........", ".........XooooooooooX...........",  "..........XoooooooooX...........",
        "..........XoooooooooX...........", "..........XXXXXXXXXXX...........",  "................................",
        "................................", "................................",  "................................",
        "................................", "................................",  "................................",
        "................................", "................................",  "................................",
        "................................", "................................"};

std::unique_ptr<plat::Cursor> CursorFromArt(const char* const art[32], int hotX, int hotY) {
    uint8_t andMask[32 * 4];
    uint8_t xorMask[32 * 4];
    for (int y = 0; y < 32; ++y) {
        for (int byte = 0; byte < 4; ++byte) {
            uint8_t a = 0;
            uint8_t x = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const char c = art[y][byte * 8 + bit];
                a = static_cast<uint8_t>(a << 1 | (c == '.' ? 1 : 0));
                x = static_cast<uint8_t>(x << 1 | (c == 'o' ? 1 : 0));
            }
            andMask[y * 4 + byte] = a;
            xorMask[y * 4 + byte] = x;
        }
    }
    return plat::Cursor::FromMonochrome(andMask, xorMask, 32, 32, hotX, hotY);
}

// The system shape of each cursor number 0 .. 10 (1 and 2 are the program's own).
const plat::SystemCursor kSystemShapes[11] = {
        plat::SystemCursor::Arrow,    plat::SystemCursor::Hand,   plat::SystemCursor::Hand,
        plat::SystemCursor::IBeam,    plat::SystemCursor::No,     plat::SystemCursor::SizeAll,
        plat::SystemCursor::SizeNESW, plat::SystemCursor::SizeNS, plat::SystemCursor::SizeNWSE,
        plat::SystemCursor::SizeWE,   plat::SystemCursor::Wait};

}  // namespace

void VelmAppBase::SetCursorImage(int number, Image* image) {
    if (number < 0 || number > 12) return;
    mCursorImages[number] = image;
    EnforceCursor();
}

void VelmAppBase::SetCursor(int number) {
    mCursorNum = number;
    EnforceCursor();
}

void VelmAppBase::EnableCustomCursors(bool on) {
    mCustomCursorsEnabled = on;
    EnforceCursor();
}

void VelmAppBase::EnforceCursor() {
    if (mDDInterface == nullptr) return;

    // Shows cursor number `shape` of the table (0 .. 10), or hides the pointer with -1.
    auto showSystem = [this](int shape) {
        if (shape == mAppliedCursor) return;
        mAppliedCursor = shape;
        if (shape < 0) {
            plat::ShowCursor(nullptr);
            return;
        }
        plat::Cursor* cursor = nullptr;
        if (shape == 1) {
            if (!mHandCursor) mHandCursor = CursorFromArt(kHandCursor, 11, 4);
            cursor = mHandCursor.get();
        } else if (shape == 2) {
            if (!mDraggingCursor) mDraggingCursor = CursorFromArt(kDraggingCursor, 15, 10);
            cursor = mDraggingCursor.get();
        } else {
            const int kind = static_cast<int>(kSystemShapes[shape]);
            if (!mSystemCursors[kind]) mSystemCursors[kind] = plat::Cursor::FromSystem(kSystemShapes[shape]);
            cursor = mSystemCursors[kind].get();
        }
        plat::ShowCursor(cursor);
    };

    if (mCrashed.load() || !mMouseIn) {
        showSystem(0);
        return;
    }
    Image* image = mCursorNum >= 0 && mCursorNum <= 12 ? mCursorImages[mCursorNum] : nullptr;
    if (image != nullptr && (mPlayingDemo || mCustomCursorsEnabled || mCursorNum == 12)) {
        if (mDDInterface->SetCursorImage(dynamic_cast<MemoryImage*>(image))) mForceRedraw = true;
        if (mPlayingDemo) {
            // The real pointer says "hands off" over the window while the recorded one moves.
            showSystem(PointerInDrawingArea() ? 4 : 0);
        } else {
            // The display draws the image; the system pointer is hidden over the window.
            showSystem(-1);
        }
        mSysCursor = false;
        return;
    }
    int shape = 0;
    if (mCursorNum == 11 || mCursorNum == 12)
        shape = -1;
    else if (mCursorNum >= 0 && mCursorNum <= 10)
        shape = mCursorNum;
    showSystem(shape);
    if (mDDInterface->SetCursorImage(nullptr)) mForceRedraw = true;
    mSysCursor = true;
}

void VelmAppBase::StartCursorThread() {
    // Without a window there is no pointer to follow.
    if (mCursorThreadRunning.load() || !mMainWindow) return;
    if (mCursorThread.joinable()) mCursorThread.join();
    mCursorThreadRunning.store(true);
    mCursorThread = std::thread(CursorThreadMain, this);
}

void VelmAppBase::CursorThreadMain(VelmAppBase* app) { app->CursorThreadLoop(); }

void VelmAppBase::CursorThreadLoop() {
    int lastX = 0;
    int lastY = 0;
    while (!mShutdown.load()) {
        {
            // The main thread re-creates the window and the display under this lock.
            CritSectLock lock(mDDCritSect);
            int x = 0;
            int y = 0;
            bool known = true;
            if (mPlayingDemo) {
                x = mLastDemoMouseX;
                y = mLastDemoMouseY;
            } else if (mMainWindow) {
                // In the frame's pixels: the window scales the frame to its client area.
                mMainWindow->PointerInFrame(&x, &y);
            } else {
                known = false;
            }
            // Between a window's destruction and the display's set-up on the next one the
            // display would draw the cursor into the window that is gone.
            if (known && mDDInterface != nullptr && !mDisplayWindowGone) {
                if (mPresentCount.load() > 0) mDDInterface->GetCursorPos(&lastX, &lastY);
                if (x != lastX || y != lastY) {
                    // The loop is not drawing: move the cursor now, else the next frame does.
                    const int32_t sinceNextDraw = static_cast<int32_t>(Tick() - mNextDrawTick.load());
                    if (sinceNextDraw > mDDInterface->GetMillisecondsPerRefresh() + 5) {
                        mDDInterface->SetCursorPos(x, y);
                        lastX = x;
                        lastY = y;
                    } else {
                        mDDInterface->SetNextCursorPos(x, y);
                    }
                }
            }
        }
        // Real time: the pointer moves in the user's time, not the game's.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    mCursorThreadRunning.store(false);
}

}  // namespace Velm
