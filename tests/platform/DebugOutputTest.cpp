#include "platform/DebugOutput.h"

#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

TEST(DebugOutputTest, CaptureCollectsAndNestsAndRestores) {
    plat::CapturedDebugOutput outer;
    plat::DebugOutput("Seconds       = 1.5\r\n");
    {
        plat::CapturedDebugOutput inner;
        std::thread other([] { plat::DebugOutput("from a thread\n"); });
        other.join();
        EXPECT_EQ(inner.Text(), "from a thread\n");
    }
    plat::DebugOutput("Update Count  = 150\r\n");
    EXPECT_EQ(outer.Text(), "Seconds       = 1.5\r\nUpdate Count  = 150\r\n");
}

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

TEST(DebugOutputTest, AFileTakesTheOutputWhileItLivesThenThePreviousSinkAgain) {
    const std::string path = testing::TempDir() + "debug-output-file.log";
    plat::CapturedDebugOutput outer;
    {
        plat::DebugOutputFile file(path);
        ASSERT_TRUE(file.IsOpen());
        plat::DebugOutput("DESTROYED HWND: 1\r\n");
        std::thread other([] { plat::DebugOutput("Seconds       = 2\r\n"); });
        other.join();
        EXPECT_EQ(ReadAll(path), "DESTROYED HWND: 1\r\nSeconds       = 2\r\n");
    }
    plat::DebugOutput("after\n");
    EXPECT_EQ(ReadAll(path), "DESTROYED HWND: 1\r\nSeconds       = 2\r\n");
    EXPECT_EQ(outer.Text(), "after\n");
}

TEST(DebugOutputTest, AFileThatCannotBeOpenedLeavesTheOutputWhereItWent) {
    plat::CapturedDebugOutput outer;
    {
        plat::DebugOutputFile file(testing::TempDir() + "no/such/folder/debug.log");
        EXPECT_FALSE(file.IsOpen());
        plat::DebugOutput("kept\n");
    }
    EXPECT_EQ(outer.Text(), "kept\n");
}
