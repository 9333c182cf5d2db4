#include "engine/storage/StgPath.h"

#include <gtest/gtest.h>

#include "engine/storage/MemStg.h"
#include "engine/storage/StgError.h"

namespace {

TEST(StgPath, Normalize) {
    struct Case {
        const char* input;
        const char* normal;
    };
    const Case kCases[] = {
            {"A/B/", "a\\b"},
            {"Sounds\\Music\\", "sounds\\music"},
            {"x\\\\", "x\\"},
            {"C:/Game/Sounds", "c:\\game\\sounds"},
            {"", ""},
            {"/", ""},
            {"MiXeD.WAV", "mixed.wav"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.input);
        std::string path = c.input;
        NormalizeStgPath(path);
        EXPECT_EQ(path, c.normal);
    }
}

TEST(StgPath, Split) {
    struct Case {
        const char* path;
        bool withLast;
        std::vector<std::string> parts;
        const char* last;
    };
    const Case kCases[] = {
            {"c:\\x\\y.wav", true, {"c:", "x"}, "y.wav"},
            {"y.wav", true, {}, "y.wav"},
            {"y.wav", false, {"y.wav"}, ""},
            {"a\\\\b", false, {"a", "", "b"}, ""},
            {"\\tmp\\x", false, {"\\tmp", "x"}, ""},
            {"\\tmp\\x", true, {"\\tmp"}, "x"},
            {"", true, {}, ""},
            {"", false, {}, ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path);
        std::string last = "junk";
        std::vector<std::string> parts = SplitStgPath(c.path, c.withLast ? &last : nullptr);
        EXPECT_EQ(parts, c.parts);
        if (c.withLast) {
            EXPECT_EQ(last, c.last);
        }
    }
}

TEST(StgPath, NamesEqualIgnoresCaseOnly) {
    EXPECT_TRUE(StgNamesEqual("C:\\Game\\Sounds", "c:\\game\\SOUNDS"));
    EXPECT_FALSE(StgNamesEqual("a\\b", "a\\bc"));
    EXPECT_FALSE(StgNamesEqual("a\\b", "a/b"));
}

TEST(StgError, Messages) {
    struct Case {
        const char* why;
        int code;
        int operation;
        const char* message;
    };
    // clang-format off
    const Case kCases[] = {
            {"no operation line", 15, 13, "Read error\r\nStorage name : d:\\snd\r\nFile name : a.wav"},
            {"operation line", 2, 5, "Invalid argument\r\nStorage name : d:\\snd\r\nFile name : a.wav\r\nMode=openFileRead"},
            {"last operation", 18, 12, "Deleting error\r\nStorage name : d:\\snd\r\nFile name : a.wav\r\nMode=DeleteFile"},
            {"unknown code above", 23, 13, "Unknown error\r\nStorage name : d:\\snd\r\nFile name : a.wav"},
            {"code zero", 0, 13, "Unknown error\r\nStorage name : d:\\snd\r\nFile name : a.wav"},
            {"negative code", -1, 13, "Unknown error\r\nStorage name : d:\\snd\r\nFile name : a.wav"},
            {"last code", 22, 13, "Function is not realized\r\nStorage name : d:\\snd\r\nFile name : a.wav"},
            {"operation out of range", 3, 14, "Invalid directory\r\nStorage name : d:\\snd\r\nFile name : a.wav\r\n"},
            {"negative operation", 3, -2, "Invalid directory\r\nStorage name : d:\\snd\r\nFile name : a.wav\r\n"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        errStg_e error("d:\\snd", "a.wav", c.code, c.operation);
        EXPECT_STREQ(error.GetMessage(), c.message);
        EXPECT_STREQ(error.GetName(), "Storage Error");
    }
}

TEST(StgError, LongNamesFitTheMessage) {
    std::string longName(5000, 'n');
    errStg_e error(longName, longName, 10, 6);
    std::string message = error.GetMessage();
    EXPECT_EQ(message, "Open file error\r\nStorage name : " + longName + "\r\nFile name : " + longName +
                               "\r\nMode=openFileWrite");
}

TEST(StgError, CaughtThroughTheEngineBase) {
    try {
        throw errStg_e("s", "f", 3, 13);
    } catch (const err_e& error) {
        EXPECT_STREQ(error.GetName(), "Storage Error");
    }
    err_e plain;
    EXPECT_STREQ(plain.GetName(), "UnknownError");
    EXPECT_STREQ(plain.GetMessage(), "UnknownError");
}

TEST(StgMask, Simplify) {
    struct Case {
        const char* mask;
        const char* simple;
    };
    const Case kCases[] = {
            {"*?", "?"}, {"?*", "*"}, {"**", "*"}, {"*?*", "*"}, {"a@@b", "a@b"}, {"A?#.TXT", "a?#.txt"}, {"", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.mask);
        std::string mask = c.mask;
        SimplifyMask(mask, true);
        EXPECT_EQ(mask, c.simple);
    }
    std::string kept = "ABC";
    SimplifyMask(kept, false);
    EXPECT_EQ(kept, "ABC");
}

TEST(StgMask, Match) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    };
    const Case kCases[] = {
            {"ab1.txt", "a?#.txt", true},
            {"abc.txt", "a?#.txt", false},
            {"a", "?", true},
            {"ab", "?", false},
            {"", "*", true},
            {"music.ogg", "*.ogg", true},
            {"music.ogg.bak", "*.ogg", false},
            {"a.b.ogg", "*.ogg", true},
            {"anything", "*", true},
            {"x9y", "x#y", true},
            {"xay", "x#y", false},
            {"Upper", "upper", false},
            {"abc", "a*c", true},
            {"abcbc", "a*bc", true},
            {"ab", "ab*", true},
            {"ab", "abc", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.mask);
        EXPECT_EQ(MatchMask(c.name, c.mask), c.match);
    }
}

}  // namespace
