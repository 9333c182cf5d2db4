#include "platform/MessageBox.h"

#include <gtest/gtest.h>

TEST(MessageBoxTest, DefaultAnswerIsTheDefaultButton) {
    struct Case {
        const char* why;
        unsigned type;
        int answer;
    };
    // clang-format off
    const Case cases[] = {
            {"OK box", plat::kMbOk | plat::kMbIconError, plat::kIdOk},
            {"yes/no, first button", plat::kMbYesNo | plat::kMbIconQuestion, plat::kIdYes},
            {"yes/no, second button", plat::kMbYesNo | plat::kMbDefButton2, plat::kIdNo},
            {"yes/no/cancel, third button", plat::kMbYesNoCancel | plat::kMbDefButton3, plat::kIdCancel},
            {"default past the last button falls back to the first", plat::kMbOkCancel | plat::kMbDefButton3, plat::kIdOk},
            {"abort/retry/ignore", plat::kMbAbortRetryIgnore | plat::kMbDefButton2, plat::kIdRetry},
            {"retry/cancel", plat::kMbRetryCancel, plat::kIdRetry},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(plat::DefaultMessageBoxAnswer(c.type), c.answer);
    }
}

TEST(MessageBoxTest, WithoutAUserTheTextGoesToStderrAndTheDefaultIsAnswered) {
    // ctest runs this with VELM_NONINTERACTIVE=1; make sure of it when run by hand.
    setenv("VELM_NONINTERACTIVE", "1", 1);
    testing::internal::CaptureStderr();
    int answer =
            plat::ShowMessageBox("Keep it switched on?\r\nCaf\xE9", "Hardware", plat::kMbYesNo | plat::kMbDefButton2);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, plat::kIdNo);
    EXPECT_NE(printed.find("Hardware"), std::string::npos);
    EXPECT_NE(printed.find("Keep it switched on?\nCaf\xC3\xA9"), std::string::npos) << printed;
    EXPECT_NE(printed.find("No"), std::string::npos);
}

TEST(MessageBoxTest, TestHandlerAnswersInstead) {
    std::string seen;
    plat::SetMessageBoxHandlerForTests([&](const std::string& text, const std::string& caption, unsigned type) {
        seen = caption + ":" + text + ":" + std::to_string(type);
        return plat::kIdYes;
    });
    EXPECT_EQ(plat::ShowMessageBox("t", "c", plat::kMbYesNo), plat::kIdYes);
    plat::SetMessageBoxHandlerForTests(nullptr);
    EXPECT_EQ(seen, "c:t:4");
}
