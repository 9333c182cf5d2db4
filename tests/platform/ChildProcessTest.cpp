#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(ChildProcessTest, InputReachesTheChildAndItsStatusComesBack) {
    struct Case {
        const char* why;
        const char* script;
        const char* input;
        int status;
    };
    const Case kCases[] = {
            {"reads its input", "read line; [ \"$line\" = hello ] && exit 3; exit 1", "hello\n", 3},
            {"ignores its input", "exit 0", "", 0},
            {"input larger than a pipe, unread", "exit 5", nullptr, 5},
            {"ended by a signal", "kill -TERM $$", "", 128 + 15},
    };
    const std::string big(1 << 20, 'x');
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(plat::RunChildProcess("/bin/sh", {"-c", c.script}, c.input ? c.input : big), c.status);
    }
}

TEST(ChildProcessTest, MissingProgramIsReported) {
    EXPECT_EQ(plat::RunChildProcess("/nonexistent/program", {}, "x"), -1);
    EXPECT_FALSE(plat::IsExecutableFile("/nonexistent/program"));
    EXPECT_TRUE(plat::IsExecutableFile("/bin/sh"));
    EXPECT_FALSE(plat::IsExecutableFile("/"));
}

}  // namespace
