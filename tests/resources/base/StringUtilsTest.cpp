#include "resources/base/CriticalSection.h"
#include "resources/base/StringUtils.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(StringUtils, StringToInt) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
            {"42", true, 42}, {"-42", true, -42},  {"0x1F", true, 31},  {"0X1f", true, 31}, {"1x2", false, 0},
            {"", false, 0},   {"12a", false, 0},   {"-0x10", false, 0}, {"-", true, 0},     {"0x", true, 0},
            {" 1", false, 0}, {"0xfF", true, 255}, {"0xg", false, 0},   {"007", true, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int v = 99;
        EXPECT_EQ(Velm::StringToInt(c.text, &v), c.ok);
        EXPECT_EQ(v, c.value);
    }
}

TEST(StringUtils, StringToDouble) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
            {"3.25", true, 3.25}, {"-0.5", true, -0.5}, {"1e3", false, 0},   {".", true, 0},
            {"", false, 0},       {"12", true, 12},     {"1.2.3", false, 0}, {"-", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = 99;
        EXPECT_EQ(Velm::StringToDouble(c.text, &v), c.ok);
        EXPECT_DOUBLE_EQ(v, c.value);
    }
}

TEST(StringUtils, FormatThousands) {
    struct Case {
        int value;
        const char* text;
    };
    const Case cases[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {1234567, "1,234,567"}};
    for (const Case& c : cases) EXPECT_EQ(Velm::FormatThousands(c.value), c.text);
}

TEST(StringUtils, FormatStringGrowsPastTheSmallBuffer) {
    EXPECT_EQ(Velm::FormatString("%d-%s", 7, "x"), "7-x");
    const std::string long_(5000, 'z');
    EXPECT_EQ(Velm::FormatString("<%s>", long_.c_str()), "<" + long_ + ">");
}

TEST(StringUtils, CaseTrimAndSearch) {
    EXPECT_EQ(Velm::StringToUpper("abC1"), "ABC1");
    EXPECT_EQ(Velm::StringToLower("AbC1"), "abc1");
    // Bytes above 0x7F pass unchanged and never reach toupper as negative values.
    EXPECT_EQ(Velm::StringToUpper("\xE9t\xE9"), "\xE9T\xE9");
    EXPECT_EQ(Velm::TrimString(" \t a b \r\n"), "a b");
    EXPECT_EQ(Velm::TrimString("   "), "");
    EXPECT_EQ(Velm::FindNoCase("Hello World", "WORLD"), 6);
    EXPECT_EQ(Velm::FindNoCase("abc", ""), 0);
    EXPECT_EQ(Velm::FindNoCase("", ""), -1);
    EXPECT_EQ(Velm::FindNoCase("abc", "abcd"), -1);
}

TEST(StringUtils, WideConversions) {
    EXPECT_EQ(Velm::StringToWideString("\xE9"), std::wstring(1, wchar_t(0xE9)));
    EXPECT_EQ(Velm::WideStringToString(std::wstring(1, wchar_t(0xE9)) + L"a"),
              "\xE9"
              "a");
    EXPECT_EQ(Velm::WideStringToString(std::wstring(1, wchar_t(0x20AC))), "");
}

TEST(StringUtils, RatioIsReduced) {
    struct Case {
        int n, d, rn, rd;
    };
    const Case cases[] = {{1024, 768, 4, 3}, {1280, 1024, 5, 4}, {800, 600, 4, 3}, {7, 7, 1, 1}};
    for (const Case& c : cases) {
        Velm::Ratio r;
        r.Set(c.n, c.d);
        EXPECT_EQ(r.mNumerator, c.rn);
        EXPECT_EQ(r.mDenominator, c.rd);
    }
    EXPECT_EQ(Velm::Ratio().mNumerator, 1);
}

TEST(StringUtils, DirectXErrorNames) {
    EXPECT_EQ(Velm::GetDirectXErrorName(static_cast<long>(0x887601C2u)), "DDERR_SURFACELOST");
    EXPECT_EQ(Velm::GetDirectXErrorName(static_cast<long>(0x80070057u)), "DDERR_INVALIDPARAMS");
    EXPECT_EQ(Velm::GetDirectXErrorName(static_cast<long>(0x88780096u)), "DSERR_BUFFERLOST");
    EXPECT_EQ(Velm::GetDirectXErrorName(static_cast<long>(0x887602BCu)), "D3DERR_BADMAJORVERSION");
    EXPECT_EQ(Velm::GetDirectXErrorName(0x12345), "12345");
}

TEST(CriticalSection, ReentrantAndExclusive) {
    Velm::CriticalSection cs;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            Velm::CritSectLock outer(cs);
            Velm::CritSectLock inner(cs);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 20000);
}

}  // namespace
