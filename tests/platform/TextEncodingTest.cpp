#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncodingTest, Cp1252ToUtf8Rows) {
    struct Case {
        const char* why;
        std::string cp1252;
        std::string utf8;
    };
    const Case cases[] = {
            {"ASCII unchanged", "Tile 42\r\n", "Tile 42\r\n"},
            {"euro sign", "\x80", "\xE2\x82\xAC"},
            {"curly quotes and trade mark", "\x93hi\x94\x99", "\xE2\x80\x9Chi\xE2\x80\x9D\xE2\x84\xA2"},
            {"Latin-1 half", "caf\xE9 \xFF", "caf\xC3\xA9 \xC3\xBF"},
            {"undefined byte keeps its control character", "\x81", "\xC2\x81"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(plat::Cp1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(plat::Utf8ToCp1252(c.utf8), c.cp1252);
    }
}

TEST(TextEncodingTest, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(plat::Utf8ToCp1252(plat::Cp1252ToUtf8(all)), all);
}

TEST(TextEncodingTest, UnmappableAndMalformedUtf8BecomeTheReplacement) {
    struct Case {
        const char* why;
        std::string utf8;
        std::string cp1252;
    };
    // clang-format off
    const Case cases[] = {
            {"character outside the code page", "a\xE4\xB8\xAD" "b", "a?b"},
            {"four-byte character", "\xF0\x9F\x98\x80", "?"},
            {"stray continuation byte", "\x80x", "?x"},
            {"truncated sequence at the end", "x\xE2\x82", "x??"},
            {"overlong form of '/'", "\xC0\xAF", "??"},
            {"surrogate", "\xED\xA0\x80", "???"},
            {"invalid lead byte", "\xFF", "?"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(plat::Utf8ToCp1252(c.utf8), c.cp1252);
    }
    EXPECT_EQ(plat::Utf8ToCp1252("\xE4\xB8\xAD", '_'), "_");
}
