#include "engine/util/Log.h"

#include "engine/util/LogWindowHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace {

TEST(Log, BuildingAndDestroyingWritesNothing) {
    const bool hadLog = plat::FileExists("log.txt");
    ASSERT_EQ(GetSharedWindowLoggerUsers(), 0);
    {
        std::vector<std::unique_ptr<Log_t>> logs;
        for (int i = 0; i < 7; ++i) logs.emplace_back(new Log_t());
        EXPECT_EQ(GetSharedWindowLoggerUsers(), 7);
        WindowLogger_t* shared = GetSharedWindowLogger();
        ASSERT_NE(shared, nullptr);
        EXPECT_EQ(shared->GetTitle(), "Shared log window");
        for (auto& log : logs) {
            EXPECT_EQ(log->GetOutputs(), 2);
            EXPECT_EQ(log->GetLevelMask(), 31);
            EXPECT_EQ(log->GetFileLogger()->GetFileName(), "log.txt");
            log->SetOutputs(Log_t::kFile);
            EXPECT_FALSE(log->GetFileLogger()->IsOpen());
            EXPECT_FALSE(log->GetWindowLogger()->IsOpen());
        }
        EXPECT_FALSE(shared->IsOpen());
        EXPECT_EQ(GetSharedWindowLogger(), shared) << "one shared logger for all";
    }
    EXPECT_EQ(GetSharedWindowLoggerUsers(), 0);
    EXPECT_EQ(GetSharedWindowLogger(), nullptr);
    EXPECT_EQ(plat::FileExists("log.txt"), hadLog);
}

TEST(Log, WindowBitsShowTheirLoggers) {
    Log_t log;
    WindowLogger_t* own = log.GetWindowLogger();
    WindowLogger_t* shared = GetSharedWindowLogger();

    log.SetOutputs(Log_t::kOwnWindow);
    EXPECT_TRUE(own->IsShown());
    EXPECT_FALSE(shared->IsShown());

    // Clearing a window bit hides nothing.
    log.SetOutputs(0);
    EXPECT_TRUE(own->IsShown());
    own->Show(false);
    log.SetOutputs(Log_t::kOwnWindow);
    EXPECT_TRUE(own->IsShown()) << "the same window shows again";

    log.SetOutputs(Log_t::kOwnWindow | Log_t::kSharedWindow);
    EXPECT_TRUE(shared->IsShown());
    EXPECT_EQ(shared->GetTitle(), "Shared log window");
}

TEST(Log, ClearingTheFileBitOfANeverOpenedFile) {
    Log_t log;
    log.SetOutputs(Log_t::kFile);
    log.SetOutputs(0);
    EXPECT_EQ(log.GetOutputs(), 0);
    EXPECT_FALSE(log.GetFileLogger()->IsOpen());
}

TEST(Log, WindowLoggerOpenAndShow) {
    WindowLogger_t* logger = new WindowLogger_t();
    logger->Show(false);
    EXPECT_FALSE(logger->IsOpen()) << "hiding needs a window";
    logger->Open("Board");
    EXPECT_TRUE(logger->IsOpen());
    EXPECT_EQ(logger->GetTitle(), "Board");
    logger->Open("Other");
    EXPECT_EQ(logger->GetTitle(), "Board") << "an existing window keeps its title";
    EXPECT_TRUE(logger->IsShown());
    logger->Release();
}

// A host that records what it was asked for: the windows opened, by title, and for each
// what it was told.
class RecordingHost : public LogWindowHost {
public:
    struct Record {
        std::string title;
        std::vector<std::string> events;  // "show", "hide", "line:<text>", "closed"
    };
    std::vector<Record> windows;

    std::unique_ptr<LogWindow> OpenLogWindow(const std::string& title) override {
        windows.push_back({title, {}});
        return std::unique_ptr<LogWindow>(new Window(this, windows.size() - 1));
    }

private:
    class Window : public LogWindow {
    public:
        Window(RecordingHost* host, size_t index) : mHost(host), mIndex(index) {}
        ~Window() override { Events().push_back("closed"); }
        void Show(bool show) override { Events().push_back(show ? "show" : "hide"); }
        void AddLine(const std::string& line) override { Events().push_back("line:" + line); }

    private:
        std::vector<std::string>& Events() { return mHost->windows[mIndex].events; }
        RecordingHost* mHost;
        size_t mIndex;
    };
};

TEST(Log, WindowsComeFromTheHostAndShowTheLinesTheirFlagsName) {
    RecordingHost host;
    SetLogWindowHost(&host);
    {
        Log_t log;
        log.Write("before any window");
        EXPECT_TRUE(host.windows.empty()) << "building a log opens nothing";
        log.SetOutputs(Log_t::kOwnWindow);
        ASSERT_EQ(host.windows.size(), 1u);
        EXPECT_EQ(host.windows[0].title, "Shared log window");
        log.Write("one\r\ntwo\n");
        log.SetOutputs(Log_t::kOwnWindow | Log_t::kSharedWindow);
        ASSERT_EQ(host.windows.size(), 2u);
        log.Write("three");
        log.SetOutputs(Log_t::kSharedWindow);  // clearing a bit hides nothing, but lines stop
        log.Write("four");
        log.GetWindowLogger()->Show(false);  // the close box
        EXPECT_EQ(host.windows[0].events,
                  (std::vector<std::string>{"show", "line:one", "line:two", "line:three", "hide"}));
        EXPECT_EQ(host.windows[1].events, (std::vector<std::string>{"show", "line:three", "line:four"}));
    }
    // The last Log_t takes the shared window with it; each own window goes with its Log_t.
    EXPECT_EQ(host.windows[0].events.back(), "closed");
    EXPECT_EQ(host.windows[1].events.back(), "closed");
    SetLogWindowHost(nullptr);
}

TEST(Log, CountedLoggers) {
    FileLogger_t* logger = new FileLogger_t();
    EXPECT_EQ(logger->GetRefCount(), 1);
    logger->AddRef();
    EXPECT_EQ(logger->GetRefCount(), 2);
    logger->Release();
    EXPECT_EQ(logger->GetRefCount(), 1);
    logger->Release();  // destroyed; the sanitizer build checks that nothing leaks
}

}  // namespace
