#pragma once

// An application with a real main window (SDL's in-memory driver in ctest), a widget that
// records what the widget manager hands it, and a fake display whose set-up answers come
// from a script.

#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "tests/platform/TempDir.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace windowtest {

namespace fs = std::filesystem;

inline unsigned ProcessTag() {
    static const unsigned tag = std::random_device()();
    return tag;
}

using velmtest::TempDir;

// Records the calls the widget manager makes, as short texts.
class RecordingWidget : public Velm::Widget {
public:
    using Velm::Widget::MouseDown;
    using Velm::Widget::MouseUp;
    void MouseDown(int x, int y, int signedClickCount) override {
        mCalls.push_back("down " + std::to_string(x) + "," + std::to_string(y) + " " +
                         std::to_string(signedClickCount));
    }
    void MouseUp(int x, int y, int signedClickCount) override {
        mCalls.push_back("up " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(signedClickCount));
    }
    void MouseWheel(int delta) override { mCalls.push_back("wheel " + std::to_string(delta)); }
    void KeyDown(int key) override { mCalls.push_back("key " + std::to_string(key)); }
    void KeyUp(int key) override { mCalls.push_back("keyup " + std::to_string(key)); }
    void KeyChar(char c) override { mCalls.push_back("char " + std::to_string(static_cast<unsigned char>(c))); }
    void GotFocus() override { Velm::Widget::GotFocus(); }
    void LostFocus() override { Velm::Widget::LostFocus(); }

    std::vector<std::string> mCalls;
};

// A display whose set-up returns the scripted results in turn (then 0).
class FakeDisplay : public Velm::DisplaySetup {
public:
    explicit FakeDisplay(Velm::VelmAppBase* app, std::deque<int> results) : mApp(app), mResults(std::move(results)) {}
    ~FakeDisplay() override { delete mScreen; }

    int Init(plat::Window*, bool windowed) override {
        mWindowGone = false;
        mInits.push_back(windowed);
        int result = 0;
        if (!mResults.empty()) {
            result = mResults.front();
            mResults.pop_front();
        }
        if (result == 0 && mScreen == nullptr) {
            mScreen = new Velm::MemoryImage(mApp);
            mScreen->Create(mApp->GetWidth(), mApp->GetHeight());
        }
        return result;
    }
    bool Redraw(const Velm::Rect*) override {
        ++mPresents;
        return mPresentSucceeds;
    }
    Velm::MemoryImage* GetScreenImage() override { return mScreen; }
    int GetDrawWidth() override { return mApp->GetWidth(); }
    int GetDrawHeight() override { return mApp->GetHeight(); }
    Velm::Rect GetPresentationRect() override { return Velm::Rect(0, 0, mApp->GetWidth(), mApp->GetHeight()); }
    std::string LastError() override { return "fake failure"; }
    bool Is3D() override { return m3D; }
    void Set3D(bool on) override { m3D = on; }
    Velm::MemoryImage* NewImage() override { return new Velm::MemoryImage(mApp); }
    // The cursor thread's calls; a move while the window the display was set up on is gone
    // (a test says when) counts as stale.
    void SetCursorPos(int x, int y) override { NoteCursorMove(x, y); }
    void SetNextCursorPos(int x, int y) override { NoteCursorMove(x, y); }
    void GetCursorPos(int* x, int* y) override {
        *x = mCursorX.load();
        *y = mCursorY.load();
    }
    void NoteCursorMove(int x, int y) {
        if (mWindowGone.load()) ++mStaleCursorMoves;
        mCursorX.store(x);
        mCursorY.store(y);
    }
    bool SetCursorImage(Velm::MemoryImage* image) override {
        const bool changed = image != mCursorImage;
        mCursorImage = image;
        return changed;
    }

    Velm::VelmAppBase* mApp;
    std::deque<int> mResults;
    std::vector<bool> mInits;  // the windowed flag of every set-up
    std::atomic<bool> mWindowGone{false};
    std::atomic<int> mCursorX{0};
    std::atomic<int> mCursorY{0};
    std::atomic<int> mStaleCursorMoves{0};
    Velm::MemoryImage* mScreen = nullptr;
    Velm::MemoryImage* mCursorImage = nullptr;
    bool m3D = false;
    bool mPresentSucceeds = true;
    int mPresents = 0;
};

class WindowApp : public Velm::VelmAppBase {
public:
    explicit WindowApp(plat::Settings* settings) {
        static int counter = 0;
        mProductName = "VelmWindowTest" + std::to_string(ProcessTag()) + "_" + std::to_string(++counter);
        SetSettingsStore(settings);
        mRegKey = "VelmTest\\" + mProductName;
        mWidth = 320;
        mHeight = 240;
    }

    Velm::DisplaySetup* CreateDisplay() override {
        if (mUseFakeDisplay) {
            mFake = new FakeDisplay(this, mScript);
            return mFake;
        }
        return VelmAppBase::CreateDisplay();
    }
    void CloseRequested() override { ++mCloseRequests; }
    void PreDisplayInitHook() override {
        VelmAppBase::PreDisplayInitHook();
        if (mBeforeDisplayInit) mBeforeDisplayInit();
    }
    bool FilterKeyDown(int key, bool ctrlDown, bool altDown) override {
        return key == mFilteredKey || VelmAppBase::FilterKeyDown(key, ctrlDown, altDown);
    }
    bool GetSystemScreenSaverInfo(int* timeoutSeconds, bool* active, bool* running) override {
        if (mSaverTimeout == 0) return false;
        *timeoutSeconds = mSaverTimeout;
        *active = true;
        *running = mSaverRunning;
        return true;
    }

    // Makes the window and display as Init would, and puts a recording widget over the
    // whole screen with the keyboard focus.
    void OpenWindow() {
        ChooseScreenMode();
        MakeWindow();
        mRecorder.Resize(0, 0, mWidth, mHeight);
        mWidgetManager->AddWidget(&mRecorder);
        mWidgetManager->SetFocus(&mRecorder);
        mInMainLoop = true;
    }
    ~WindowApp() override {
        if (mRecorder.mParent != nullptr) mWidgetManager->RemoveWidget(&mRecorder);
    }

    // Pumps the window and replays every queued message.
    void Pump() {
        PumpWindowMessages();
        ProcessDeferredMessages(false);
    }

    using VelmAppBase::ChooseScreenMode;
    using VelmAppBase::PurgeSharedImages;
    using VelmAppBase::StartCursorThread;

    RecordingWidget mRecorder;
    bool mUseFakeDisplay = false;
    std::deque<int> mScript;
    FakeDisplay* mFake = nullptr;
    std::function<void()> mBeforeDisplayInit;
    int mCloseRequests = 0;
    int mFilteredKey = -1;
    int mSaverTimeout = 0;
    bool mSaverRunning = false;
};

class WindowAppTest : public ::testing::Test {
protected:
    WindowAppTest() : mClock(100000), mScope(mClock), mSettings(mDir.Path("registry.txt")) {
        plat::SetMessageBoxHandlerForTests([this](const std::string& text, const std::string& caption, unsigned) {
            mBoxes.push_back(caption + ": " + text);
            return 1;
        });
    }
    ~WindowAppTest() override { plat::SetMessageBoxHandlerForTests(nullptr); }

    TempDir mDir;
    plat::VirtualClock mClock;
    plat::ScopedClock mScope;
    plat::Settings mSettings;
    std::vector<std::string> mBoxes;
};

}  // namespace windowtest
