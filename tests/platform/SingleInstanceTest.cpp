#include "platform/SingleInstance.h"

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

TEST(SingleInstanceTest, SecondStartKnocksOnTheFirst) {
    // A name of our own so that parallel test runs do not meet.
    const std::string product = "VelmTest" + std::to_string(std::random_device{}());
    auto first = std::make_unique<plat::SingleInstance>(product);
    ASSERT_TRUE(first->IsFirst());
    EXPECT_FALSE(first->PollKnock());

    plat::SingleInstance second(product);
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.KnockOnFirst());
    EXPECT_TRUE(second.KnockOnFirst());
    EXPECT_TRUE(first->PollKnock());
    EXPECT_FALSE(first->PollKnock());  // both knocks taken at once

    plat::SingleInstance other("Other" + product);
    EXPECT_TRUE(other.IsFirst());

    first.reset();  // the first instance ends: the name is free again
    EXPECT_FALSE(second.KnockOnFirst());
    plat::SingleInstance third(product);
    EXPECT_TRUE(third.IsFirst());
}

TEST(SingleInstanceTest, AnotherDataFolderIsAnotherInstance) {
    // Whole-program tests run side by side, each with its own XDG_DATA_HOME.
    const std::string product = "VelmTest" + std::to_string(std::random_device{}());
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string restore = saved ? saved : "";
    setenv("XDG_DATA_HOME", "/tmp/velm-instance-a", 1);
    plat::SingleInstance first(product);
    setenv("XDG_DATA_HOME", "/tmp/velm-instance-b", 1);
    plat::SingleInstance second(product);
    EXPECT_TRUE(first.IsFirst());
    EXPECT_TRUE(second.IsFirst());
    setenv("XDG_DATA_HOME", "/tmp/velm-instance-a", 1);
    plat::SingleInstance third(product);
    EXPECT_FALSE(third.IsFirst());
    if (saved)
        setenv("XDG_DATA_HOME", restore.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
