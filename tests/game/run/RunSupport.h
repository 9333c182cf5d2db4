#pragma once

// Whole runs of the game as a player makes them: the real application, its window's input
// queue and its main loop on the virtual clock, headless on the generated content. Input goes
// in through the window procedure, so a recorded demo holds it and a played one gives it back.
// A watchdog ends a run that hangs with a message instead of leaving it to the test's timeout.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/shell/screens/GameApp.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/SyntheticInput.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Widget.h"

#ifndef VELM_CONTENT_DIR
#define VELM_CONTENT_DIR ""
#endif

namespace runtest {

#ifndef VELM_RUN_FIXTURES
#define VELM_RUN_FIXTURES ""
#endif

inline std::string ContentFolder() { return VELM_CONTENT_DIR; }
// The kept demos of the roads and the player files they left.
inline std::string FixtureFolder() { return VELM_RUN_FIXTURES; }

inline bool HaveContent() {
    return std::filesystem::exists(ContentFolder() + "/properties/resources.xml") &&
           std::filesystem::exists(ContentFolder() + "/termins.txt");
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Ends the process with a message when a run has not finished within its real-time limit
// (a hang in a loop that never comes back to the test).
class Watchdog {
public:
    Watchdog(int seconds, std::string what) : mWhat(std::move(what)) {
        mThread = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(mMutex);
            if (!mDone.wait_for(lock, std::chrono::seconds(seconds), [this] { return mFinished; })) {
                std::fprintf(stderr, "watchdog: %s did not finish within %d s\n", mWhat.c_str(), seconds);
                std::fflush(stderr);
                std::abort();
            }
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mFinished = true;
        }
        mDone.notify_all();
        mThread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string mWhat;
    std::mutex mMutex;
    std::condition_variable mDone;
    bool mFinished = false;
    std::thread mThread;
};

// A fresh settings and data home for one run, the content folder, and the working folder
// given back afterwards.
class RunHome {
public:
    // root: the folder to hold the homes; empty makes a new temporary one.
    explicit RunHome(const std::string& content = ContentFolder(), const std::string& root = std::string())
            : mRoot(root.empty() ? MakeRoot() : root), mPrevious(plat::CurrentDirectory()) {
        setenv("XDG_DATA_HOME", (mRoot + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (mRoot + "/config").c_str(), 1);
        Velm::GameApp::SetContentFolder(content + "/");
    }
    ~RunHome() {
        Velm::GameApp::SetContentFolder("");
        plat::SetCurrentFolder(mPrevious);
        std::error_code ignored;
        std::filesystem::remove_all(mRoot, ignored);
    }
    RunHome(const RunHome&) = delete;
    RunHome& operator=(const RunHome&) = delete;

    std::string Root() const { return mRoot; }
    // Where the game keeps its player files.
    std::string DataFolder() const { return mRoot + "/data/Ossmire/Tilvoria"; }

    // The player files (name and bytes) the game left in its data folder.
    std::map<std::string, std::string> PlayerFiles() const {
        std::map<std::string, std::string> files;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(DataFolder(), error)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".dat") continue;
            files[entry.path().filename().string()] = ReadBytes(entry.path().string());
        }
        return files;
    }

private:
    static std::string MakeRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velm-run-XXXXXX").string();
        if (mkdtemp(&pattern[0]) == nullptr) std::abort();
        return pattern;
    }

    std::string mRoot;
    std::string mPrevious;
};

// The player files the kept simple road left: a player called "Road" who has played its first
// level, and the score table.
inline std::map<std::string, std::string> KeptPlayer() {
    std::map<std::string, std::string> files;
    for (const char* name : {"users.dat", "Road.dat", "scoretable.dat"})
        files[name] = ReadBytes(FixtureFolder() + "/simple/" + name);
    return files;
}

// That player, in a home's data folder.
inline void PlantKeptPlayer(const RunHome& home) {
    for (const auto& [name, bytes] : KeptPlayer()) WriteBytes(home.DataFolder() + "/" + name, bytes);
}

// The real game on the virtual clock, stepped by its own main loop. The script (when
// recording or running live) looks at the game after each update and answers with input
// through the window procedure; a played demo gives its input back by itself. Every switch of
// screens is traced with the update it happened at.
class PlayerRun : public Velm::GameApp {
public:
    using Script = std::function<void(PlayerRun&)>;

    PlayerRun() {
        // Other tests may run a game at the same time. Game time is the virtual clock's, which
        // moves on only while the loop sleeps between its updates.
        mOnlyAllowOneCopyToRun = false;
    }

    // Init, the main loop, and the exit code the program would end with. limitMs: virtual
    // time after the end of loading at which the run counts as hung and is shut down.
    int Run(const std::string& options, uint64_t limitMs = 10 * 60 * 1000) {
        plat::VirtualClock clock(1000);
        plat::ScopedClock scoped(clock);
        mClock = &clock;
        mLimitMs = limitMs;
        mStartMs = plat::NowMs();
        mCommandLine = "\"tiles\" -windowed " + options;
        Init();
        Start();
        return IsLoadingFailed() ? 1 : 0;
    }

    bool ProcessFrame(bool allowSleep) override {
        // The limit counts from the end of loading: how long the loading thread takes depends on
        // the machine's load, and a played demo holds still until it has ended.
        if (!mLoadingCompletionHandled) mStartMs = plat::NowMs();
        if (plat::NowMs() - mStartMs > mLimitMs && !IsShutdown()) {
            timedOut = true;
            Shutdown();
        }
        // A loop that finds its next update less than a millisecond away does not sleep, and a
        // clock that only moves while the loop sleeps would hold it there: every step of the
        // loop takes one millisecond.
        mClock->Advance(1);
        // Virtual time flies while the loading thread waits for the processor: leave it some.
        if (mLoadingThreadStarted.load() && !mLoadingThreadCompleted.load()) std::this_thread::yield();
        return GameApp::ProcessFrame(allowSleep);
    }

    void UpdateFrames() override {
        GameApp::UpdateFrames();
        if (switchCode != mLastSwitch) {
            mLastSwitch = switchCode;
            if (switchCode != 0) trace.push_back(std::to_string(GetUpdateCount()) + ":" + std::to_string(switchCode));
        }
        if (afterLoading && mLoadingCompletionHandled && !mSetUpDone) {
            mSetUpDone = true;
            afterLoading(*this);
        }
        if (everyUpdate && mLoadingCompletionHandled && !IsShutdown()) everyUpdate(*this);
        if (script && !mPlayingDemo && !IsShutdown()) script(*this);
    }

    bool Shown(Velm::GameScreenId id) const {
        Velm::BaseDialogWidget* screen = GetScreen(id);
        return screen != nullptr && screen->mVisible && screenToShow == screen && !GetIce()->mVisible;
    }
    bool Playing() const { return mPlayingDemo; }

    // ---- Input as the system gives it to the window ----
    // The events go into the system's queue, so the window's pointer really is where a click
    // is (the loop's timer checks it) and the next pump of the loop takes them in.
    void MoveTo(int x, int y) { plat::SynthesizeMouseMove(*GetMainWindow(), x, y); }
    void ClickAt(int x, int y, bool right = false) {
        const int button = right ? 3 : 1;
        MoveTo(x, y);
        plat::SynthesizeButton(*GetMainWindow(), button, true, 1, x, y);
        plat::SynthesizeButton(*GetMainWindow(), button, false, 1, x, y);
    }
    // A click at the centre of a widget; false when there is none.
    bool Click(Velm::Widget* widget) {
        if (widget == nullptr) return false;
        const Velm::Point at = widget->GetAbsPos();
        ClickAt(at.x + widget->mWidth / 2, at.y + widget->mHeight / 2);
        return true;
    }
    void Key(int virtualKey) {
        plat::SynthesizeKey(*GetMainWindow(), virtualKey, true, false, false);
        plat::SynthesizeKey(*GetMainWindow(), virtualKey, false, false, false);
    }
    void Type(const std::string& text) { plat::SynthesizeText(text); }

    Script script;
    // Called once when the loading has been completed, before any input of the script: the
    // same set-up for a recorded run and its playback.
    Script afterLoading;
    // Called after every update of a recorded run and of its playback alike: what the game
    // shows is the same at the same update, so this acts at the same points in both.
    Script everyUpdate;
    std::vector<std::string> trace;
    bool timedOut = false;

private:
    plat::VirtualClock* mClock = nullptr;
    uint64_t mLimitMs = 0;
    uint64_t mStartMs = 0;
    int mLastSwitch = 0;
    bool mSetUpDone = false;
};

}  // namespace runtest
