#include "game/shell/screens/TextFormat.h"

#include <gtest/gtest.h>

namespace {

using Velm::FormatText;

TEST(TextFormat, FillsConversionsInOrder) {
    struct Case {
        const char* why;
        std::string got;
        std::string want;
    };
    const Case cases[] = {
            {"text", FormatText("Best score: %s", {"12,345"}), "Best score: 12,345"},
            {"two numbers", FormatText("Level %d-%d", {2, 5}), "Level 2-5"},
            {"zero padded seconds", FormatText("%d:%02d", {2, 3}), "2:03"},
            {"width and left align", FormatText("[%4d|%-4s]", {7, "ab"}), "[   7|ab  ]"},
            {"negative zero padded", FormatText("%05d", {-42}), "-0042"},
            {"smallest int", FormatText("%d", {-2147483647 - 1}), "-2147483648"},
            {"precision cuts a text", FormatText("%.2s", {"abcdef"}), "ab"},
            {"percent sign", FormatText("100%% %d", {1}), "100% 1"},
            {"length letters", FormatText("%ld %hs", {3, "x"}), "3 x"},
            {"number under %s", FormatText("%s", {12}), "12"},
            {"text under %d", FormatText("%d", {"abc"}), "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.got, c.want);
    }
}

TEST(TextFormat, ConversionsItCannotFillStayAsText) {
    struct Case {
        const char* why;
        std::string got;
        std::string want;
    };
    const Case cases[] = {
            {"more conversions than values", FormatText("%d and %d and %s", {1}), "1 and %d and %s"},
            {"no values at all", FormatText("%s%s%s%n", {}), "%s%s%s%n"},
            {"write-back conversion", FormatText("%n%d", {5}), "%n5"},
            {"float and hex", FormatText("%f %x %p", {1, 2, 3}), "%f %x %p"},
            {"lone percent at the end", FormatText("50%", {1}), "50%"},
            {"huge width is capped", FormatText("%999999999d", {1}), std::string(63, ' ') + "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.got, c.want);
    }
}

}  // namespace
