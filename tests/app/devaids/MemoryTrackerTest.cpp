// The leak report: its text for fixed records and its file.

#include "app/devaids/MemoryTracker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/DebugOutput.h"
#include "tests/platform/TempDir.h"

namespace {

const char kTime[] = "Thu Dec 10 13:22:27 2026\n";
const std::string kDashes(59, '-');

TEST(MemoryLeakReport, ListsRecordsInAddressOrder) {
    Velm::MemoryTracker tracker;
    static char blocks[3];
    tracker.AddTrack(&blocks[2], 1, "Board.cpp", 88);
    tracker.AddTrack(&blocks[0], 2048, "Images.cpp", 12);
    tracker.AddTrack(&blocks[1], 64, "Freed.cpp", 5);
    tracker.RemoveTrack(&blocks[1]);
    EXPECT_EQ(tracker.ReportText(kTime), std::string("Memory Leak Report for ") + kTime +
                                                 "Images.cpp(12) : Leak 2048 bytes\n"
                                                 "Board.cpp(88) : Leak 1 byte\n" +
                                                 kDashes + "\n" + "Total Unfreed: 2049 bytes (2KB)\n\n");
}

TEST(MemoryLeakReport, EmptyReportHasHeaderLineAndZeroTotal) {
    Velm::MemoryTracker tracker;
    EXPECT_EQ(tracker.ReportText(kTime),
              std::string("Memory Leak Report for ") + kTime + kDashes + "\nTotal Unfreed: 0 bytes (0KB)\n\n");
}

TEST(MemoryLeakReport, WritesTheFileAndTheDebuggerOutput) {
    velmtest::TempDir dir;
    Velm::MemoryTracker tracker;
    int block = 0;
    tracker.AddTrack(&block, 4, "Widget.cpp", 40);
    plat::CapturedDebugOutput captured;
    ASSERT_TRUE(tracker.WriteReport(dir / "mem_leaks.txt"));
    std::ifstream in(dir / "mem_leaks.txt", std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_EQ(file.str().rfind("Memory Leak Report for ", 0), 0u);
    EXPECT_NE(file.str().find("Widget.cpp(40) : Leak 4 bytes\n"), std::string::npos);
    EXPECT_EQ(captured.Text(), "\n" + file.str());
}

TEST(MemoryLeakReport, UnwritableFileWritesNothing) {
    velmtest::TempDir dir;
    Velm::MemoryTracker tracker;
    plat::CapturedDebugOutput captured;
    EXPECT_FALSE(tracker.WriteReport(dir / "missing/folder/mem_leaks.txt"));
    EXPECT_EQ(captured.Text(), "");
}

}  // namespace
