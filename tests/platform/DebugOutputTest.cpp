#include "platform/DebugOutput.h"

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
