#include "engine/util/Log.h"

#include <gtest/gtest.h>

#include <memory>
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

TEST(Log, CountedLoggers) {
    FileLogger_t* logger = new FileLogger_t();
    EXPECT_EQ(logger->GetRefCount(), 1);
    logger->AddRef();
    EXPECT_EQ(logger->GetRefCount(), 2);
    logger->Release();
    EXPECT_EQ(logger->GetRefCount(), 1);
    logger->Release(); // destroyed; the sanitizer build checks that nothing leaks
}

} // namespace
