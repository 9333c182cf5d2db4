// Live tuning values: the literal parsers, the marker suffix, the source scanner, the
// markers the macros leave in their section, and the reparse of a source file.
//
// This file is itself read by the reparse (its own M() calls below are resolved), so it
// keeps to what the scanner understands: no character literal holding a double quote and
// no raw string literal.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "tests/platform/TempDir.h"

// Last: it defines the macro M.
#include "app/devaids/ModVal.h"

namespace {

using Velm::ModValMarker;

enum Kind { kText, kInt, kDouble };

struct LiteralCase {
    const char* why;
    Kind kind;
    const char* args;  // the text after the "("
    bool ok;
    double value;      // ints and doubles
    const char* text;  // strings
};

const LiteralCase kLiterals[] = {
        {"float with f", kDouble, "0.25f)", true, 0.25, ""},
        {"negative double", kDouble, "-3.5)", true, -3.5, ""},
        {"double without fraction digits", kDouble, "4.)", true, 4.0, ""},
        {"integer text as double", kDouble, "4)", true, 4.0, ""},
        {"double needs a closing parenthesis", kDouble, "2.5;", false, 0.0, ""},
        {"double with an exponent", kDouble, "1e5)", false, 0.0, ""},
        {"double with blanks", kDouble, " 4 )", false, 0.0, ""},
        {"double without digits", kDouble, "-)", false, 0.0, ""},
        {"decimal int", kInt, "4)", true, 4, ""},
        {"negative int", kInt, "-17)", true, -17, ""},
        {"hex int", kInt, "0x1F)", true, 31, ""},
        {"hex int upper X", kInt, "0X10)", true, 16, ""},
        {"eight hex digits are a bit pattern", kInt, "0xFFFFFFFF)", true, -1, ""},
        {"nine hex digits", kInt, "0x100000000)", false, 0, ""},
        {"int with blanks", kInt, " 4 )", false, 0, ""},
        {"int stops at a point", kInt, "0.25f)", false, 0, ""},
        {"int too large", kInt, "2147483648)", false, 0, ""},
        {"smallest int", kInt, "-2147483648)", true, -2147483648.0, ""},
        {"unknown name", kInt, "kWidth)", false, 0, ""},
        {"empty int", kInt, ")", false, 0, ""},
        {"plain string", kText, "\"text\")", true, 0, "text"},
        {"string escapes", kText, "\"a\\\"b\\\\c\\nd\\te\")", true, 0, "a\"b\\c\nd\te"},
        {"unknown escape", kText, "\"a\\qb\")", false, 0, ""},
        {"unterminated string", kText, "\"abc", false, 0, ""},
        {"not a string", kText, "4)", false, 0, ""},
};

TEST(ModValLiterals, ParsersReadTheTextAfterTheParenthesis) {
    for (const LiteralCase& c : kLiterals) {
        SCOPED_TRACE(c.why);
        switch (c.kind) {
            case kText: {
                std::string out = "old";
                EXPECT_EQ(Velm::ModValParseText(c.args, &out), c.ok);
                EXPECT_EQ(out, c.text);
                break;
            }
            case kInt: {
                int out = 99;
                EXPECT_EQ(Velm::ModValParseInt(c.args, &out), c.ok);
                EXPECT_EQ(out, static_cast<int>(c.value));
                break;
            }
            case kDouble: {
                double out = 99;
                EXPECT_EQ(Velm::ModValParseDouble(c.args, &out), c.ok);
                EXPECT_DOUBLE_EQ(out, c.value);
                break;
            }
        }
    }
}

TEST(ModValLiterals, NamesComeFromTheNameTable) {
    Velm::GetModValNameTable()["kTileWidth"] = 64;
    int out = 0;
    EXPECT_TRUE(Velm::ModValParseInt("kTileWidth)", &out));
    EXPECT_EQ(out, 64);
    EXPECT_FALSE(Velm::ModValParseInt("kTileWidth+1)", &out));
    Velm::GetModValNameTable().erase("kTileWidth");
    EXPECT_FALSE(Velm::ModValParseInt("kTileWidth)", &out));
}

struct SuffixCase {
    const char* why;
    const char* text;
    bool ok;
    const char* path;
    int index;
    int line;
};

const SuffixCase kSuffixes[] = {
        {"usual marker", "/src/EffectRemover.cpp0,105", true, "/src/EffectRemover.cpp", 0, 105},
        {"larger index", "a.cpp12,7", true, "a.cpp", 12, 7},
        {"no suffix", "/src/EffectRemover.cpp", false, "/src/EffectRemover.cpp", 0, 0},
        {"no comma", "a.cpp105", false, "a.cpp105", 0, 0},
        {"only the suffix", "0,105", false, "0,105", 0, 0},
        {"nothing after the comma", "a.cpp3,", false, "a.cpp3,", 0, 0},
        {"nothing before the comma", "a.cpp,3", false, "a.cpp,3", 0, 0},
        {"two commas", "a.cpp1,2,3", true, "a.cpp1,", 2, 3},
};

TEST(ModValMarkers, SuffixGivesIndexAndLine) {
    for (const SuffixCase& c : kSuffixes) {
        SCOPED_TRACE(c.why);
        std::string text = c.text;
        int index = 0;
        int line = 0;
        EXPECT_EQ(Velm::ModValParseSuffix(text, &index, &line), c.ok);
        EXPECT_EQ(text, c.path);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(line, c.line);
    }
}

// ---- The source scanner ----

struct Found {
    int line;
    std::string args;
};

bool Collect(void* context, int line, const char* args) {
    static_cast<std::vector<Found>*>(context)->push_back(Found{line, std::string(args).substr(0, 5)});
    return true;
}

struct ScanCase {
    const char* why;
    const char* source;
    std::vector<Found> calls;  // line and the first five characters after the "("
    const char* error;         // "" when the scan succeeds
};

// clang-format off
const ScanCase kScans[] = {
        {"plain call", "x = M(4);\n", {{1, "4);\n"}}, ""},
        {"numbered call", "x = M3(0.5f);\n", {{1, "0.5f)"}}, ""},
        {"two calls on one line", "x = M(1) + M2(2);\n", {{1, "1) + "}, {1, "2);\n"}}, ""},
        {"call at column 0 is not recognised", "M(4);\n(M(5));\n", {{2, "5));\n"}}, ""},
        {"numbered call at column 0", "M1(4);\n", {}, ""},
        {"letter before M", "ITEM(4); SUM2(3);\n", {}, ""},
        {"underscore and digit before M count as non-letters", "_M(1); 2M(2);\n", {{1, "1); 2"}, {1, "2);\n"}}, ""},
        {"M0 is not a call", " M0(4);\n", {}, ""},
        {"inside a string", "s = \"M(4)\"; t = M(5);\n", {{1, "5);\n"}}, ""},
        {"escaped quote inside a string", "s = \"a\\\" M(4)\"; M(5);\n", {{1, "5);\n"}}, ""},
        {"doubled backslash ends the escape", "s = \"a\\\\\" + M(6);\n", {{1, "6);\n"}}, ""},
        {"string continued by a backslash", "s = \"ab\\\nM(4)\"; x = M(5);\n", {{2, "5);\n"}}, ""},
        {"line comment", "x = 1; // M(4)\n y = M(5);\n", {{2, "5);\n"}}, ""},
        {"line comment continued by a backslash", "// note \\\n M(4);\n y = M(5);\n", {{3, "5);\n"}}, ""},
        {"block comment across lines", "/* M(1)\n M(2) */ x = M(3);\n", {{2, "3);\n"}}, ""},
        {"block comment closes after its opening", "/*/ M(1) */ x = M(2);\n", {{1, "2);\n"}}, ""},
        {"CR LF line ends", "a = 1;\r\n b = M(2);\r\n", {{2, "2);\n"}}, ""},
        {"last line without a line end", "a = 1;\n b = M(7)", {{2, "7)"}}, ""},
        {"unterminated string", "x = 1;\ns = \"abc;\ny = M(2);\n", {}, "ERROR in src.cpp on line 2: Error parsing quotes"},
        {"unterminated block comment", "x = M(1);\n/* open\n", {{1, "1);\n"}},
         "ERROR in src.cpp on line 2: Error parsing c comment"},
        {"line comment continued into the end", "x = 1;\n// open \\\n", {}, "ERROR in src.cpp on line 2: Error parsing c++ comment"},
};
// clang-format on

TEST(ModValScanner, FindsCallsOutsideStringsAndComments) {
    for (const ScanCase& c : kScans) {
        SCOPED_TRACE(c.why);
        std::vector<Found> calls;
        std::string error;
        const bool ok = Velm::ModValScanSource(c.source, "src.cpp", &Collect, &calls, &error);
        EXPECT_EQ(ok, std::string(c.error).empty());
        EXPECT_EQ(error, c.error);
        ASSERT_EQ(calls.size(), c.calls.size());
        for (size_t i = 0; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].line, c.calls[i].line);
            EXPECT_EQ(calls[i].args, c.calls[i].args);
        }
    }
}

TEST(ModValScanner, HandlerCanStopTheScan) {
    int seen = 0;
    std::string error = "old";
    auto stop = [](void* context, int, const char*) {
        ++*static_cast<int*>(context);
        return false;
    };
    EXPECT_FALSE(Velm::ModValScanSource(" M(1); M(2);\n", "src.cpp", stop, &seen, &error));
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(error, "");
}

// ---- Markers the macros leave in the section ----

int CompiledInt() { return M(7); }
float CompiledFloat() { return M(0.5f); }

TEST(ModValMarkers, MacrosReadTheDefaultUntilAReparse) {
    EXPECT_EQ(CompiledInt(), 7);
    EXPECT_FLOAT_EQ(CompiledFloat(), 0.5f);
    // Resolved now, still the default.
    EXPECT_EQ(CompiledInt(), 7);
    EXPECT_TRUE(Velm::GetModValFileMap()[__FILE__].mUsed);
}

TEST(ModValMarkers, SectionHoldsTheMarkersOfThisFile) {
    ASSERT_TRUE(Velm::ModValScanMemory());
    const Velm::ModValFileRecord& file = Velm::GetModValFileMap()[__FILE__];
    ASSERT_EQ(file.mEntries.size(), 2u);
    const Velm::ModValFileEntry& first = file.mEntries.begin()->second;
    const Velm::ModValFileEntry& second = std::next(file.mEntries.begin())->second;
    EXPECT_LT(file.mEntries.begin()->first, std::next(file.mEntries.begin())->first);
    EXPECT_EQ(first.mLine + 1, second.mLine);
    EXPECT_NE(std::string(first.mMarker->mText).find("VELM_VELMMODVAL"), std::string::npos);
}

// ---- Reparse of a source file ----

class ModValReparse : public ::testing::Test {
protected:
    void SetUp() override {
        mSource = mDir / "Effect.cpp";
        plat::SetMessageBoxHandlerForTests([this](const std::string& text, const std::string& caption, unsigned type) {
            mBoxes.push_back(caption + "|" + text);
            mBoxTypes.push_back(type);
            return plat::DefaultMessageBoxAnswer(type);
        });
    }
    void TearDown() override {
        plat::SetMessageBoxHandlerForTests(nullptr);
        for (const std::string& path : mPaths) Velm::GetModValFileMap().erase(path);
    }

    // Markers for the source file, as the compiler would have left them: index, line.
    void MakeMarkers(const std::string& path, const std::vector<std::pair<int, int>>& indexAndLine) {
        mPaths.push_back(path);
        for (const auto& [index, line] : indexAndLine) {
            mTexts.push_back("VELM_VELMMODVAL" + path + std::to_string(index) + "," + std::to_string(line));
        }
        mMarkers.resize(mTexts.size());
        for (size_t i = 0; i < mTexts.size(); ++i) mMarkers[i] = ModValMarker{mTexts[i].c_str(), nullptr};
        ASSERT_TRUE(Velm::ModValScanBlock(mMarkers.data(), mMarkers.data() + mMarkers.size()));
    }

    // Writes the file with a modification time in the future, later than the program file
    // and than every earlier write of this process (whatever order the tests run in).
    void WriteSource(const std::string& text) {
        static int secondsAhead = 0;
        secondsAhead += 100;
        std::ofstream(mSource, std::ios::binary) << text;
        std::filesystem::last_write_time(
                mSource, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(secondsAhead));
    }

    velmtest::TempDir mDir;
    std::string mSource;
    std::vector<std::string> mPaths;
    std::vector<std::string> mTexts;
    std::vector<ModValMarker> mMarkers;
    std::vector<std::string> mBoxes;
    std::vector<unsigned> mBoxTypes;
};

TEST_F(ModValReparse, ChangesValuesAndReportsWhenNothingChanged) {
    // Markers 0 and 1 on line 2, 2 on line 4 (a float written as an integer), 3 on line 5
    // (an integer written as a float), 4 on line 6 (a string).
    MakeMarkers(mSource, {{0, 2}, {1, 2}, {2, 4}, {3, 5}, {4, 6}});
    ModValMarker* m = mMarkers.data();
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 1);
    EXPECT_EQ(Velm::ModValInt(&m[1], 2), 2);
    EXPECT_FLOAT_EQ(Velm::ModValFloat(&m[2], 1.5f), 1.5f);
    EXPECT_EQ(Velm::ModValInt(&m[3], 3), 3);
    EXPECT_EQ(Velm::ModValInt(&m[4], 4), 4);

    WriteSource(
            "// effect timing\n"
            "a = M(10) + M1(20);\n"
            "s = \"M(99)\";\n"
            "b = M(3);\n"
            "c = M(2.75f);\n"
            "d = M(\"fade\");\n");
    EXPECT_TRUE(Velm::ReparseModValues());
    EXPECT_TRUE(mBoxes.empty());
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 10);
    EXPECT_EQ(Velm::ModValInt(&m[1], 2), 20);
    // The integer literal also sets the floating value, the floating one the integer.
    EXPECT_FLOAT_EQ(Velm::ModValFloat(&m[2], 1.5f), 3.0f);
    EXPECT_EQ(Velm::ModValInt(&m[2], 0), 3);
    EXPECT_EQ(Velm::ModValInt(&m[3], 3), 2);
    EXPECT_FLOAT_EQ(Velm::ModValFloat(&m[3], 0.0f), 2.75f);
    EXPECT_EQ(m[4].mRecord->mText, "fade");
    EXPECT_EQ(Velm::ModValInt(&m[4], 4), 0);

    // Nothing edited: the values are applied again and the warning lists the files.
    EXPECT_FALSE(Velm::ReparseModValues());
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0].rfind("MODVAL WARNING!|WARNING: No file changes detected.  Files parsed: \r\n  ", 0), 0u)
            << mBoxes[0];
    EXPECT_NE(mBoxes[0].find(mSource), std::string::npos);
    EXPECT_EQ(mBoxTypes[0], plat::kMbIconWarning);
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 10);

    // An edit later than every earlier one counts as a change.
    WriteSource(
            "// effect timing\n"
            "a = M(-5) + M1(0x10);\n"
            "\n"
            "b = M(0.5);\n"
            "c = M(9);\n"
            "d = M(\"x\");\n");
    EXPECT_TRUE(Velm::ReparseModValues());
    EXPECT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), -5);
    EXPECT_EQ(Velm::ModValInt(&m[1], 2), 16);
    EXPECT_FLOAT_EQ(Velm::ModValFloat(&m[2], 1.5f), 0.5f);
    EXPECT_EQ(Velm::ModValInt(&m[2], 7), 0);
    EXPECT_EQ(Velm::ModValInt(&m[3], 3), 9);
}

TEST_F(ModValReparse, CallsAddedAfterTheBuildAreSkipped) {
    // The program knew one call on line 3; a call was added above it on line 2.
    MakeMarkers(mSource, {{0, 3}});
    ModValMarker* m = mMarkers.data();
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 1);
    WriteSource("x;\n a = M(55);\n b = M(66);\n");
    EXPECT_TRUE(Velm::ReparseModValues());
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 66);

    // The call's line moved: the marker keeps its value.
    WriteSource("x;\n\n\n b = M(77);\n");
    EXPECT_TRUE(Velm::ReparseModValues());
    EXPECT_EQ(Velm::ModValInt(&m[0], 1), 66);
}

TEST_F(ModValReparse, ParseErrorStopsWithItsLine) {
    MakeMarkers(mSource, {{0, 1}, {1, 2}, {2, 3}});
    ModValMarker* m = mMarkers.data();
    for (int i = 0; i < 3; ++i) Velm::ModValInt(&m[i], 0);
    WriteSource(" a = M(1);\n b = M( 4 );\n c = M(3);\n");
    EXPECT_FALSE(Velm::ReparseModValues());
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "MODVAL ERROR|ERROR in " + mSource + " on line 2.  Parsing Error.");
    EXPECT_EQ(mBoxTypes[0], plat::kMbIconError);
    // Values before the error stay; the rest keep their defaults.
    EXPECT_EQ(Velm::ModValInt(&m[0], 0), 1);
    EXPECT_EQ(Velm::ModValInt(&m[2], 8), 8);
}

TEST_F(ModValReparse, BrokenCommentIsReported) {
    MakeMarkers(mSource, {{0, 1}});
    Velm::ModValInt(&mMarkers[0], 0);
    WriteSource(" a = M(1);\n/* never closed\n");
    EXPECT_FALSE(Velm::ReparseModValues());
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "MODVAL ERROR|ERROR in " + mSource + " on line 2: Error parsing c comment");
}

TEST_F(ModValReparse, MissingSourceFileStopsTheReparse) {
    const std::string missing = mDir / "Gone.cpp";
    MakeMarkers(missing, {{0, 1}});
    Velm::ModValInt(&mMarkers[0], 0);
    EXPECT_FALSE(Velm::ReparseModValues());
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "MODVAL ERROR!|ERROR: Unable to open " + missing + " for reparsing.");
}

TEST_F(ModValReparse, UnusedFilesAreNotRead) {
    // Markers of a file whose values were never read: the file is not opened.
    MakeMarkers(mDir / "Unused.cpp", {{0, 1}});
    EXPECT_FALSE(Velm::GetModValFileMap()[mDir / "Unused.cpp"].mUsed);
    Velm::ReparseModValues();
    for (const std::string& box : mBoxes) EXPECT_EQ(box.find("Unused.cpp"), std::string::npos) << box;
}

}  // namespace
