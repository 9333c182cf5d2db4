#include "engine/util/ComString.h"
#include "engine/util/StrParser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(ComStringTest, SplitRows) {
    struct Case {
        const char* why;
        const char* text;
        char delimiter;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
            {"spaces around items", "10, 20 ,30", ',', {"10", "20", "30"}},
            {"single item", "a", ',', {"a"}},
            {"only blanks and delimiters", " , ,", ',', {}},
            {"empty text", "", ',', {}},
            {"empty pieces skipped", "a,,b", ',', {"a", "b"}},
            {"leading and trailing delimiter", ",a,b,", ',', {"a", "b"}},
            {"point list with semicolons", "1,2; 3,4", ';', {"1,2", "3,4"}},
            {"tab is not a blank", "\ta ,b", ',', {"\ta", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<std::string> out = {"stale"};
        EXPECT_EQ(com_string::Split(c.text, c.delimiter, out), static_cast<int>(c.expected.size()));
        EXPECT_EQ(out, c.expected);
    }
    std::vector<std::string> out = {"stale"};
    EXPECT_EQ(com_string::Split(nullptr, ',', out), 0);
    EXPECT_TRUE(out.empty());
}

TEST(ComStringTest, TrimBlanksOnlySpaces) {
    char text[] = "  \tword  ";
    char* start = com_string::TrimBlanks(text);
    EXPECT_STREQ(start, "\tword");
    char blanks[] = "   ";
    char* empty = com_string::TrimBlanks(blanks);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(empty, blanks + 3);
    EXPECT_EQ(com_string::TrimBlanks(nullptr), nullptr);
}

TEST(ComStringTest, CutAtDelimiter) {
    char text[] = "ab,cd";
    char* token = nullptr;
    char* rest = com_string::CutAtDelimiter(text, &token, ',');
    EXPECT_STREQ(token, "ab");
    EXPECT_STREQ(rest, "cd");
    char* last = com_string::CutAtDelimiter(rest, &token, ',');
    EXPECT_STREQ(token, "cd");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(*last, '\0');
    EXPECT_EQ(com_string::CutAtDelimiter(last, &token, ','), nullptr);
    EXPECT_EQ(com_string::CutAtDelimiter(nullptr, &token, ','), nullptr);
}

TEST(ComStringTest, DuplicateIsAFreeableCopy) {
    char* copy = com_string::Duplicate("text");
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "text");
    std::free(copy);
    EXPECT_EQ(com_string::Duplicate(nullptr), nullptr);
}

std::vector<std::string> AllLines(const std::string& text) {
    com_string::StrParser_t parser(text.data(), static_cast<int>(text.size()));
    std::vector<std::string> lines;
    while (char* line = parser.NextLine()) lines.emplace_back(line);
    return lines;
}

TEST(StrParserTest, NextLineRows) {
    struct Case {
        const char* why;
        std::string text;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
            {"comment, empty and blank lines skipped", "; note\r\n\r\n   \r\nKey = 1\r\n", {"Key = 1"}},
            {"bare line feeds", "a\nb\n", {"a", "b"}},
            {"tabs become spaces, tab-only line skipped", "\tx\t\n\t\t\n", {" x "}},
            {"indented ';' is not a comment", "  ; x\n", {"  ; x"}},
            {"no final line end", "last", {"last"}},
            {"empty text", "", {}},
            {"NUL inside a line ends it there", std::string("ab\0cd\nef", 8), {"ab", "cd", "ef"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(AllLines(c.text), c.expected);
    }
}

TEST(StrParserTest, SetTextRewinds) {
    com_string::StrParser_t parser("one\n", 4);
    EXPECT_STREQ(parser.NextLine(), "one");
    EXPECT_EQ(parser.NextLine(), nullptr);
    EXPECT_EQ(parser.NextLine(), nullptr);
    parser.SetText("two\r\nthree", 10);
    EXPECT_STREQ(parser.NextLine(), "two");
    EXPECT_STREQ(parser.NextLine(), "three");
    EXPECT_EQ(parser.NextLine(), nullptr);
}

}  // namespace
