// Whole runs: a small application is recorded while it takes input and asks the settings,
// the files and the clipboard, then played back headless on the virtual clock after the
// world has changed. The played run sees the recorded answers, makes the same calls in
// the same order and ends by itself with the recorded close.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "platform/Clipboard.h"
#include "platform/Files.h"
#include "platform/WindowMessages.h"
#include "resources/base/Random.h"
#include "tests/app/demo/DemoTestSupport.h"

namespace {

using windowtest::WindowApp;
using windowtest::WindowAppTest;

uint32_t LParam(int x, int y) {
    return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Contents(const Velm::Buffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.GetDataPtr()), buffer.GetDataLen());
}

// Takes input at a few updates (only when not playing: then the demo gives it), asks the
// outside world at others, and closes its window at update 150 or, when the loading thread
// (which runs in real time) has not finished by then, at the first update after it has.
class ScriptApp : public WindowApp {
public:
    ScriptApp(plat::Settings* settings, const std::string& dataFile, const std::string& outFile)
            : WindowApp(settings), mDataFile(dataFile), mOutFile(outFile) {}

    bool ChangeDirHook(const std::string&) override { return true; }
    void InitHook() override {
        mRecorder.Resize(0, 0, mWidth, mHeight);
        mWidgetManager->AddWidget(&mRecorder);
        mWidgetManager->SetFocus(&mRecorder);
        mStartMs = plat::NowMs();
        if (mPlayingDemo && mFastForward) HandleDemoPlaybackKey('0');
    }
    void LoadingThreadCompleted() override { mTrace.push_back("loaded at " + std::to_string(mUpdateCnt)); }

    bool ProcessFrame(bool allowSleep) override {
        // A run that never ends is a failure, not a hang: ten minutes of virtual time.
        if (plat::NowMs() - mStartMs > 600000) {
            mTrace.push_back("timed out");
            Shutdown();
        }
        // Virtual time flies while the loading thread waits for the processor: leave it some.
        if (mLoadingThreadStarted.load() && !mLoadingThreadCompleted.load()) std::this_thread::yield();
        return WindowApp::ProcessFrame(allowSleep);
    }

    void Inject(uint32_t message, uint32_t wParam, uint32_t lParam) {
        if (!mPlayingDemo) WindowProc(GetMainWindow(), message, wParam, lParam);
    }

    void UpdateFrames() override {
        WindowApp::UpdateFrames();
        const std::string at = std::to_string(mUpdateCnt) + ": ";
        switch (mUpdateCnt) {
            case 5:
                Inject(plat::WM_MOUSEMOVE, 0, LParam(10, 20));
                Inject(plat::WM_LBUTTONDOWN, 0, LParam(12, 22));
                Inject(plat::WM_LBUTTONUP, 0, LParam(60, 70));
                break;
            case 8:
                Inject(plat::WM_KEYDOWN, 'Q', 0);
                Inject(plat::WM_CHAR, 'q', 0);
                Inject(plat::WM_KEYUP, 'Q', 0);
                Inject(plat::WM_MOUSEWHEEL, 240u << 16, 0);
                break;
            case 12: {
                int level = -1;
                const bool read = RegistryReadInteger("Level", &level);
                mTrace.push_back(at + "level " + std::to_string(read) + " " + std::to_string(level));
                Velm::Buffer buffer;
                const bool fileRead = ReadBufferFromFile(mDataFile, buffer);
                mTrace.push_back(at + "file " + std::to_string(fileRead) + " " + Contents(buffer));
                mTrace.push_back(at + "exists " + std::to_string(FileExists(mDataFile)));
                mTrace.push_back(at + "clipboard " + GetClipboardText());
                mTrace.push_back(at + "random " + std::to_string(Velm::Random()));
                break;
            }
            case 40: {
                Velm::Buffer out;
                out.WriteString("written by the run");
                mTrace.push_back(at + "write " + std::to_string(WriteBufferToFile(mOutFile, out)));
                mTrace.push_back(at + "level write " + std::to_string(RegistryWriteInteger("Level", 8)));
                break;
            }
            case 90:
                Inject(plat::WM_MOUSEMOVE, 0, LParam(300, 200));
                Inject(plat::WM_RBUTTONDOWN, 0, LParam(300, 200));
                Inject(plat::WM_RBUTTONUP, 0, LParam(290, 195));
                break;
            default: break;
        }
        if (mUpdateCnt >= 150 && mLoadingCompletionHandled && !mCloseSent) {
            mCloseSent = true;
            Inject(plat::WM_CLOSE, 0, 0);
        }
    }

    std::string mDataFile;
    std::string mOutFile;
    std::vector<std::string> mTrace;
    uint64_t mStartMs = 0;
    bool mFastForward = false;
    bool mCloseSent = false;
};

class DemoRunTest : public WindowAppTest {
protected:
    struct Outcome {
        std::vector<std::string> trace;
        std::vector<std::string> calls;
        int updates = 0;
    };

    Outcome Run(const std::string& options, bool fastForward = false) {
        Outcome outcome;
        ScriptApp app(&mSettings, mDir.Path("data.txt"), mDir.Path("out/run.dat"));
        app.mProductName = "VelmDemoRun" + std::to_string(windowtest::ProcessTag()) + "_" + std::to_string(++mRuns);
        app.mRegKey = "VelmTest\\DemoRun";
        app.mProductVersion = "7.1";
        app.mFastForward = fastForward;
        app.mCommandLine = "game " + options + " -demofile=" + mDemo;
        app.Init();
        app.Start();
        outcome.trace = app.mTrace;
        outcome.calls = app.mRecorder.mCalls;
        outcome.updates = app.GetUpdateCount();
        return outcome;
    }

    // The outside world of the recorded run, then another one.
    void RecordedWorld() {
        mSettings.SetDword("SOFTWARE\\VelmTest\\DemoRun", "Level", 7);
        WriteFile(mDir.Path("data.txt"), "recorded data");
        plat::SetClipboardText("recorded clip");
    }
    void ChangedWorld() {
        mSettings.SetDword("SOFTWARE\\VelmTest\\DemoRun", "Level", 99);
        plat::RemoveFile(mDir.Path("data.txt"));
        plat::RemoveFile(mDir.Path("out/run.dat"));
        plat::SetClipboardText("something else");
    }

    std::string mDemo = mDir.Path("run.dmo");
    int mRuns = 0;
};

TEST_F(DemoRunTest, PlayedRunSeesTheRecordedAnswersAndEndsByItself) {
    RecordedWorld();
    const Outcome recorded = Run("-record");
    ASSERT_TRUE(plat::FileExists(mDemo));
    auto has = [](const std::vector<std::string>& trace, const std::string& line) {
        return std::find(trace.begin(), trace.end(), line) != trace.end();
    };
    EXPECT_EQ(recorded.trace.size(), 8u);
    EXPECT_TRUE(has(recorded.trace, "12: level 1 7"));
    EXPECT_TRUE(has(recorded.trace, "12: file 1 recorded data"));
    EXPECT_TRUE(has(recorded.trace, "12: clipboard recorded clip"));
    EXPECT_TRUE(has(recorded.trace, "40: write 1"));
    EXPECT_FALSE(has(recorded.trace, "timed out"));
    EXPECT_FALSE(recorded.calls.empty());

    ChangedWorld();
    const Outcome played = Run("-play");
    EXPECT_EQ(played.trace, recorded.trace);
    EXPECT_EQ(played.calls, recorded.calls);
    EXPECT_EQ(played.updates, recorded.updates);
    EXPECT_TRUE(mBoxes.empty());

    // Nothing of the changed world was touched by the played run.
    uint32_t level = 0;
    EXPECT_TRUE(mSettings.GetDword("SOFTWARE\\VelmTest\\DemoRun", "Level", &level));
    EXPECT_EQ(level, 99u);
    EXPECT_FALSE(plat::FileExists(mDir.Path("out/run.dat")));

    // Fast-forward to the end plays the due commands before every update and arrives at
    // the same place.
    const Outcome fast = Run("-play", true);
    EXPECT_EQ(fast.trace, recorded.trace);
    EXPECT_EQ(fast.calls, recorded.calls);
    EXPECT_EQ(fast.updates, recorded.updates);
}

TEST_F(DemoRunTest, AForeignDemoEndsTheProgramWithTheReadersMessage) {
    WriteFile(mDemo, std::string("\x78\xEF\xBE\x42\x02\0\0\0\x01\0\0\0\x03\0"
                                 "0.9",
                                 17));
    EXPECT_EXIT(
            {
                plat::SetMessageBoxHandlerForTests([](const std::string& text, const std::string&, unsigned) {
                    std::fprintf(stderr, "%s\n", text.c_str());
                    return 1;
                });
                Run("-play");
            },
            ::testing::ExitedWithCode(1), "This demo file appears to be for '0.9'");
}

}  // namespace
