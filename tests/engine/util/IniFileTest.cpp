#include "engine/util/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "resources/pack/PakInterface.h"
#include "resources/pack/PakWriter.h"

namespace {

namespace fs = std::filesystem;

IniFile_t Parsed(const std::string& text) {
    IniFile_t ini;
    ini.Parse(text.data(), text.size(), true, "test.ini");
    return ini;
}

using KeyValues = std::vector<std::pair<std::string, std::string>>;

KeyValues KeysOf(const IniSection_t& section) {
    KeyValues out;
    for (auto it = section.KeysBegin(); it != section.KeysEnd(); ++it) out.emplace_back(it->first, it->second.value);
    return out;
}

std::vector<std::string> SectionNames(const IniFile_t& ini) {
    std::vector<std::string> out;
    for (auto it = ini.SectionsBegin(); it != ini.SectionsEnd(); ++it) out.push_back(it->first);
    return out;
}

TEST(IniFileTest, ParseRows) {
    struct Case {
        const char* why;
        std::string text;
        std::vector<std::string> sections;
        KeyValues mainKeys;  // keys of section "Main"
    };
    // clang-format off
    const Case cases[] = {
                {"CRLF lines", "[Main]\r\nA=1\r\nB=2\r\n", {"Main"}, {{"A", "1"}, {"B", "2"}}},
                {"no final line break", "[Main]\r\nA=1", {"Main"}, {{"A", "1"}}},
                {"LF lines", "[Main]\nA=1\nB=2\n", {"Main"}, {{"A", "1"}, {"B", "2"}}},
                {"CR before LF is not part of the value", "[Main]\nA= 1 \r\nB=\r\n", {"Main"}, {{"A", " 1 "}, {"B", ""}}},
                {"key trimmed, value raw", "[Main]\r\n  Key  =  5  \r\n", {"Main"}, {{"Key", "  5  "}}},
                {"tab is not trimmed from a key", "[Main]\r\n\tK=1\r\n", {"Main"}, {{"\tK", "1"}}},
                {"further '=' belong to the value", "[Main]\r\nKey=a=b\r\n", {"Main"}, {{"Key", "a=b"}}},
                {"keys before any header ignored", "A=1\r\njunk\r\n[Main]\r\nB=2\r\n", {"Main"}, {{"B", "2"}}},
                {"repeated sections merge, later value wins",
                 "[main]\r\nA=1\r\nB=1\r\n[Main]\r\nA=2\r\nC=3\r\n",
                 {"main"},
                 {{"A", "2"}, {"B", "1"}, {"C", "3"}}},
                {"plain text line is a key with empty value", "[Main]\r\n just text \r\n", {"Main"}, {{"just text", ""}}},
                {"blank lines store nothing", "[Main]\r\n\r\n   \r\n", {"Main"}, {}},
                {"keys sorted case-insensitively",
                 "[Main]\r\nc=3\r\nB=2\r\na=1\r\nB=4\r\n",
                 {"Main"},
                 {{"a", "1"}, {"B", "4"}, {"c", "3"}}},
                {"underscore sorts before letters",
                 "[Main]\r\nb=1\r\n_x=2\r\nA=3\r\n",
                 {"Main"},
                 {{"_x", "2"}, {"A", "3"}, {"b", "1"}}},
                {"key keeps case of first insertion", "[Main]\r\nKey=1\r\nKEY=2\r\n", {"Main"}, {{"Key", "2"}}},
                {"doubled bracket skipped", "[[Main]\r\nA=1\r\n", {"Main"}, {{"A", "1"}}},
                {"text after ']' ignored", "[Main] trailing\r\nA=1\r\n", {"Main"}, {{"A", "1"}}},
                {"header without ']' runs to line end", "[Main\r\nA=1\r\n", {"Main"}, {{"A", "1"}}},
                {"blanks inside brackets belong to the name", "[ Main ]\r\nA=1\r\n", {" Main "}, {}},
                {"NUL ends a value", std::string("[Main]\r\nA=1\0x\r\nB=2\r\n", 20), {"Main"}, {{"A", "1"}, {"B", "2"}}},
                {"lone CR is part of the line", "[Main]\r\nA=1\rB=2\r\n", {"Main"}, {{"A", "1\rB=2"}}},
                {"sections sorted case-insensitively", "[b]\r\n[A]\r\n[_c]\r\n[Main]\r\n", {"_c", "A", "b", "Main"}, {}},
                {"binary junk: NUL ends the name", std::string("[\xff\x00x]\r\n=\r\n]]\r\n\x01=\x02", 17), {"\xff"}, {}},
                {"junk without a header stores nothing", std::string("\xff\x00[\r\n=\r\n", 8), {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        IniFile_t ini = Parsed(c.text);
        EXPECT_EQ(SectionNames(ini), c.sections);
        const IniSection_t* main = ini.FindSection("MAIN");
        if (main != nullptr)
            EXPECT_EQ(KeysOf(*main), c.mainKeys);
        else
            EXPECT_TRUE(c.mainKeys.empty());
    }
}

TEST(IniFileTest, Comments) {
    const std::string text =
            "; file note\r\n"
            "[Main]\r\n"
            "; about A\r\n"
            ";; second line\r\n"
            "A=1\r\n"
            "; dropped by blank line\r\n"
            "\r\n"
            "B=2\r\n"
            "; above C\r\n"
            "C=3\r\n"
            "C=4\r\n";
    IniFile_t ini = Parsed(text);
    IniSection_t& main = ini.GetSection("main");
    EXPECT_EQ(main.GetComment(), "; file note\r\n");
    EXPECT_EQ(main.Find("A")->second.comment, "; about A\r\n;; second line\r\n");
    EXPECT_EQ(main.Find("B")->second.comment, "");
    // A later line without a comment keeps the key's comment.
    EXPECT_EQ(main.Find("C")->second.comment, "; above C\r\n");
    EXPECT_EQ(main.Find("C")->second.value, "4");
}

TEST(IniFileTest, CommentBeforeFirstHeaderSurvivesIgnoredLines) {
    IniFile_t ini = Parsed("; note\r\nstray=1\r\n\r\n[First]\r\n");
    EXPECT_EQ(ini.GetSection("first").GetComment(), "; note\r\n");
}

TEST(IniFileTest, TypedLookups) {
    IniFile_t ini =
            Parsed("[Main]\r\n"
                   "Int= 12px\r\n"
                   "Neg=-7\r\n"
                   "Word=abc\r\n"
                   "Empty=\r\n"
                   "Float=2.5\r\n"
                   "Hex=ff00\r\n"
                   "Hex0x=0x1F\r\n"
                   "NoHex=zz\r\n"
                   "Big=99999999999\r\n"
                   "just text\r\n");
    const IniSection_t& s = ini.GetSection("Main");
    struct IntCase {
        const char* key;
        int expected;
    };
    const IntCase ints[] = {
            {"Int", 12}, {"Neg", -7}, {"Word", 0}, {"Empty", 0}, {"Missing", 42}, {"just text", 0}, {"Big", 2147483647},
    };
    for (const IntCase& c : ints) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(s.GetInt(c.key, 42), c.expected);
    }
    EXPECT_FLOAT_EQ(s.GetFloat("Float", 1.0f), 2.5f);
    EXPECT_FLOAT_EQ(s.GetFloat("Empty", 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(s.GetFloat("Missing", 1.5f), 1.5f);
    EXPECT_EQ(s.GetHex("Hex", 7), 0xff00u);
    EXPECT_EQ(s.GetHex("Hex0x", 7), 0x1Fu);
    EXPECT_EQ(s.GetHex("NoHex", 7), 7u);
    EXPECT_EQ(s.GetHex("Missing", 7), 7u);
    std::string out;
    s.GetString("int", "d", out);
    EXPECT_EQ(out, " 12px");
    s.GetString("Missing", "d", out);
    EXPECT_EQ(out, "d");
    EXPECT_TRUE(s.HasKey("WORD"));
    EXPECT_FALSE(s.HasKey("Missing"));
    EXPECT_EQ(s.GetCount(), 10);
}

TEST(IniFileTest, SetValueKeepsComment) {
    IniFile_t ini = Parsed("[Main]\r\n; c\r\nA=1\r\n");
    IniSection_t& main = ini.GetSection("Main");
    main.SetValue("a", "2");
    main.SetValue("New", "x");
    EXPECT_EQ(main.Find("A")->second.value, "2");
    EXPECT_EQ(main.Find("A")->second.comment, "; c\r\n");
    EXPECT_EQ(main.GetInt("new", 0), 0);
    std::string out;
    main.GetString("NEW", "", out);
    EXPECT_EQ(out, "x");
}

TEST(IniFileTest, MissingSectionYieldsEmptyDefaults) {
    IniFile_t ini;
    EXPECT_EQ(ini.GetSectionCount(), 0);
    EXPECT_EQ(ini.FindSection("Nope"), nullptr);
    EXPECT_EQ(ini.GetSection("Nope").GetInt("x", 5), 5);
    EXPECT_EQ(ini.GetSectionCount(), 1);
}

TEST(IniFileTest, ClearFlagAndEmptyText) {
    IniFile_t ini = Parsed("[A]\r\nx=1\r\n");
    ini.Parse("", 0, true);
    EXPECT_EQ(ini.GetSectionCount(), 1);  // length 0 changes nothing
    const std::string second = "[B]\r\ny=2\r\n[a]\r\nz=3\r\n";
    ini.Parse(second.data(), second.size(), false);
    EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(KeysOf(ini.GetSection("A")), (KeyValues{{"x", "1"}, {"z", "3"}}));
    ini.Parse(second.data(), second.size(), true);
    EXPECT_EQ(KeysOf(ini.GetSection("A")), (KeyValues{{"z", "3"}}));
}

class IniFileLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        mDir = fs::temp_directory_path() /
               ("velm_ini_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = mDir / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path mDir;
};

TEST_F(IniFileLoadTest, LoadsFromDiskKeepingCRLF) {
    const std::string path = Write("data/settings.txt", "[Bonus]\r\nPoints=30\r\n");
    IniFile_t ini;
    EXPECT_TRUE(ini.Load(path, true));
    EXPECT_EQ(ini.GetSection("bonus").GetInt("points", 0), 30);
    EXPECT_EQ(ini.GetOriginName(), path);
}

// The same file saved with each kind of line end reads the same sections, keys, values and
// comments; comments are kept with CR LF whatever the file had.
TEST_F(IniFileLoadTest, LineEndsOfAnyKindReadTheSame) {
    const char* const lines[] = {"; about Main", "[Main]",  "; about A", "A=1",
                                 "B = two ",     "[Other]", "C=3",       "just text"};
    struct Case {
        const char* why;
        const char* ends[2];  // used in turn, line by line
    };
    const Case cases[] = {
            {"CR LF", {"\r\n", "\r\n"}},
            {"LF only", {"\n", "\n"}},
            {"mixed", {"\n", "\r\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::string text;
        for (size_t i = 0; i < sizeof lines / sizeof lines[0]; ++i) text += std::string(lines[i]) + c.ends[i % 2];
        IniFile_t ini;
        ASSERT_TRUE(ini.Load(Write("ends.txt", text), true));
        EXPECT_EQ(SectionNames(ini), (std::vector<std::string>{"Main", "Other"}));
        EXPECT_EQ(KeysOf(ini.GetSection("Main")), (KeyValues{{"A", "1"}, {"B", " two "}}));
        EXPECT_EQ(KeysOf(ini.GetSection("Other")), (KeyValues{{"C", "3"}, {"just text", ""}}));
        EXPECT_EQ(ini.GetSection("Main").GetComment(), "; about Main\r\n");
        EXPECT_EQ(ini.GetSection("Main").Find("A")->second.comment, "; about A\r\n");
    }
}

TEST_F(IniFileLoadTest, LargeFileReadWhole) {
    std::string text = "[Big]\r\n";
    for (int i = 0; i < 5000; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i * 3) + "\r\n";
    IniFile_t ini;
    EXPECT_TRUE(ini.Load(Write("big.txt", text), true));
    EXPECT_EQ(ini.GetSection("Big").GetCount(), 5000);
    EXPECT_EQ(ini.GetSection("Big").GetInt("key4999", 0), 14997);
}

TEST_F(IniFileLoadTest, MissingFileKeepsContent) {
    IniFile_t ini = Parsed("[Keep]\r\nA=1\r\n");
    EXPECT_FALSE(ini.Load((mDir / "absent.txt").string(), true));
    EXPECT_EQ(ini.GetSection("Keep").GetInt("A", 0), 1);
    IniFile_t fresh;
    EXPECT_FALSE(fresh.Load((mDir / "absent.txt").string(), true));
    EXPECT_EQ(fresh.GetSectionCount(), 0);
    EXPECT_EQ(fresh.GetSection("x").GetInt("y", 9), 9);
}

TEST_F(IniFileLoadTest, FolderNameReadsAsEmpty) {
    fs::create_directories(mDir / "folder");
    IniFile_t ini;
    ini.Load((mDir / "folder").string(), true);
    EXPECT_EQ(ini.GetSectionCount(), 0);
}

TEST_F(IniFileLoadTest, EmptyFileLeavesObjectEmpty) {
    const std::string path = Write("empty.txt", "");
    IniFile_t ini;
    EXPECT_TRUE(ini.Load(path, true));
    EXPECT_EQ(ini.GetSectionCount(), 0);
}

TEST_F(IniFileLoadTest, PackEntryWinsOverDisk) {
    Write("stages/stages.txt", "[Stage]\r\nFrom=disk\r\n");
    std::string pak;
    ASSERT_TRUE(BuildPak({{"stages\\stages.txt", "[Stage]\r\nFrom=pack\r\n", 0}}, pak));
    const std::string pakPath = Write("main.pak", pak);
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(pakPath));
    IniFile_t ini;
    EXPECT_TRUE(ini.Load("STAGES\\Stages.txt", true));
    std::string from;
    ini.GetSection("Stage").GetString("From", "", from);
    EXPECT_EQ(from, "pack");
    // A name the pack lacks comes from the disk.
    IniFile_t disk;
    EXPECT_TRUE(disk.Load((mDir / "stages/stages.txt").string(), true));
    disk.GetSection("Stage").GetString("From", "", from);
    EXPECT_EQ(from, "disk");
}

}  // namespace
