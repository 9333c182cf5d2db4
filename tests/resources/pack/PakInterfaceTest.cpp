#include "resources/pack/PakInterface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resources/pack/PakFile.h"
#include "resources/pack/PakWriter.h"

namespace {

namespace fs = std::filesystem;

class PakTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = fs::temp_directory_path() / (std::string("velm_pak_") + info->test_suite_name() + "_" + info->name());
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }

    std::string Path(const std::string& name) const { return (mDir / name).string(); }
    std::string WriteDisk(const std::string& name, const std::string& bytes) {
        const fs::path path = mDir / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string ReadDisk(const std::string& name) const {
        std::ifstream in(mDir / name, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    std::string WritePak(const std::string& name, const std::vector<PakWriterEntry>& entries) {
        std::string bytes;
        EXPECT_TRUE(BuildPak(entries, bytes));
        return WriteDisk(name, bytes);
    }
    // Reads a whole handle with PakFRead.
    static std::string ReadAll(PakFileHandle* file) {
        std::string out;
        char chunk[7];
        int got;
        while ((got = PakFRead(chunk, 1, sizeof chunk, file)) > 0) out.append(chunk, static_cast<size_t>(got));
        return out;
    }
    // Opens, reads whole, closes; "<null>" when it cannot be opened.
    static std::string Contents(const std::string& name, const char* mode = "rb") {
        PakFileHandle* file = PakFOpen(name.c_str(), mode);
        if (file == nullptr) return "<null>";
        std::string out = ReadAll(file);
        PakFClose(file);
        return out;
    }

    fs::path mDir;
};

TEST(PakPathTest, NormalizeRows) {
    struct Case {
        const char* why;
        const char* name;
        const char* key;
    };
    const Case cases[] = {
            {"slashes and case", "ui/pauseDialog.txt", "UI\\PAUSEDIALOG.TXT"},
            {"run of separators", "a//b\\/c", "A\\B\\C"},
            {"parent element", "A\\..\\B", "B"},
            {"nested parent element", "X\\A\\..\\B", "X\\B"},
            {"leading separator stays", "\\A\\..\\B", "\\B"},
            {"dot element kept", "./a.png", ".\\A.PNG"},
            {"'..' at the start copied", "../a", "..\\A"},
            {"'..' after a character copied", "a..b", "A..B"},
            {"parent past the top", "a/../../b", "B"},
            {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(NormalizePakPath(c.name), c.key);
    }
    // An absolute name inside the current folder becomes relative.
    const std::string inside = fs::current_path().string() + "/Data/x.txt";
    EXPECT_EQ(NormalizePakPath(inside), "DATA\\X.TXT");
}

TEST_F(PakTest, LookupAcrossCaseAndSeparators) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak(
            "main.pak",
            {{"UI\\pauseDialog.txt", "pause", 0}, {"ui\\BOARD.TXT", "board", 0}, {"odd/name.txt", "never found", 0}})));
    EXPECT_EQ(GetSharedPakInterface(), &pack);
    struct Case {
        const char* name;
        const char* mode;
        const char* expected;
    };
    const Case cases[] = {
            {"UI/pauseDialog.txt", "rb", "pause"},
            {"ui\\PAUSEDIALOG.TXT", "r", "pause"},
            {"Ui//PauseDialog.txt", "RB", "pause"},
            {"ui/sub/../pausedialog.txt", "rt", "pause"},
            {"ui/board.txt", "rb", "board"},
            // Stored names not in normalised form are never found.
            {"odd/name.txt", "rb", "<null>"},
            {"missing.txt", "rb", "<null>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.mode);
        EXPECT_EQ(Contents(c.name, c.mode), c.expected);
    }
    EXPECT_EQ(pack.GetEntryCount(), 4);  // three entries and the pack itself
}

TEST_F(PakTest, ModesOtherThanReadGoToDisk) {
    const std::string name = Path("data/a.txt");
    WriteDisk("data/a.txt", "disk");
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("main.pak", {{NormalizePakPath(name), "pack", 0}})));
    EXPECT_EQ(Contents(name, "rb"), "pack");  // present in both: the pack serves it
    EXPECT_EQ(Contents(name, "r+b"), "disk");

    const std::string created = Path("data/new.txt");
    PakFileHandle* out = PakFOpen(created.c_str(), "w");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->record, nullptr);
    EXPECT_EQ(PakFClose(out), 0);
    EXPECT_TRUE(fs::exists(created));
    EXPECT_EQ(PakFOpen(Path("nowhere/x.txt").c_str(), "rb"), nullptr);
}

TEST_F(PakTest, SeeksClampAndShortReads) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("main.pak", {{"pad.bin", "xyz", 0}, {"e.bin", "0123456789", 0}})));
    PakFileHandle* file = PakFOpen("e.bin", "rb");
    ASSERT_NE(file, nullptr);
    struct Case {
        const char* why;
        long offset;
        int origin;
        long expected;
    };
    const Case cases[] = {
            {"end", 0, SEEK_END, 10},
            {"end minus 4", -4, SEEK_END, 6},
            {"forward from current", 2, SEEK_CUR, 8},
            {"back from current", -3, SEEK_CUR, 5},
            {"before the start", -50, SEEK_SET, 0},
            {"beyond the end", 50, SEEK_SET, 10},
            {"beyond the end from the end", 5, SEEK_END, 10},
            {"unknown origin leaves it", 3, 7, 10},
            {"start", 3, SEEK_SET, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(PakFSeek(file, c.offset, c.origin), 0);
        EXPECT_EQ(PakFTell(file), c.expected);
    }
    PakFSeek(file, 4, SEEK_SET);
    char buffer[40] = {};
    EXPECT_EQ(PakFRead(buffer, 4, 10, file), 1);  // 6 bytes left: one whole element
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(PakFTell(file), 10);
    EXPECT_NE(pack.FEof(file), 0);
    EXPECT_EQ(PakFRead(buffer, 1, 5, file), 0);
    EXPECT_EQ(PakFRead(buffer, 0, 5, file), 0);
    PakFClose(file);
}

TEST_F(PakTest, GetCSkipsCarriageReturnsAndUnGetC) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("main.pak", {{"t.txt", "a\r\nb", 0}, {"z.txt", "xy", 0}})));
    PakFileHandle* file = PakFOpen("t.txt", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PakFGetC(file), 'a');
    EXPECT_EQ(PakFGetC(file), '\n');
    EXPECT_EQ(PakFGetC(file), 'b');
    EXPECT_EQ(PakFGetC(file), -1);
    // Putting back the end-of-file value changes nothing: the last byte is
    // not read twice.
    EXPECT_EQ(PakUnGetC(-1, file), -1);
    EXPECT_EQ(PakFGetC(file), -1);
    // Another character steps back one byte; the stored byte is read again.
    EXPECT_EQ(PakUnGetC('Q', file), 'Q');
    EXPECT_EQ(PakFGetC(file), 'b');
    PakFClose(file);

    file = PakFOpen("z.txt", "rb");
    EXPECT_EQ(PakUnGetC('x', file), 'x');  // at the start: stays at 0
    EXPECT_EQ(PakFTell(file), 0);
    EXPECT_EQ(PakFGetC(file), 'x');
    PakFClose(file);
}

TEST_F(PakTest, FGetSLines) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("main.pak", {{"l.txt", "abcdef\n", 0}, {"c.txt", "x\r\ny", 0}})));
    PakFileHandle* file = pack.FOpen("l.txt", "rb");
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(pack.FGetS(buffer, 4, file), buffer);
    EXPECT_STREQ(buffer, "abc");
    ASSERT_EQ(pack.FGetS(buffer, 8, file), buffer);
    EXPECT_STREQ(buffer, "def\n");
    EXPECT_EQ(pack.FGetS(buffer, 8, file), nullptr);
    EXPECT_STREQ(buffer, "def\n");
    pack.FClose(file);

    file = pack.FOpen("c.txt", "rb");
    ASSERT_NE(pack.FGetS(buffer, 16, file), nullptr);
    EXPECT_STREQ(buffer, "x\n");
    ASSERT_NE(pack.FGetS(buffer, 16, file), nullptr);
    EXPECT_STREQ(buffer, "y");
    EXPECT_NE(pack.FEof(file), 0);
    pack.FClose(file);
}

TEST_F(PakTest, LastPackWins) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("one.pak", {{"same.txt", "first", 0}, {"only1.txt", "1", 0}})));
    ASSERT_TRUE(pack.AddPakFile(WritePak("two.pak", {{"SAME.TXT", "second", 0}, {"same.txt", "third", 0}})));
    EXPECT_EQ(Contents("same.txt"), "third");
    EXPECT_EQ(Contents("only1.txt"), "1");
    EXPECT_EQ(pack.FindRecord("SAME.TXT")->name, "same.txt");
}

TEST_F(PakTest, BrokenPacksAreRefusedWhole) {
    std::string good;
    ASSERT_TRUE(BuildPak({{"a.txt", "alpha", 0}, {"b.txt", "beta", 0}}, good));
    WriteDisk("a.txt", "from disk");
    struct Case {
        const char* why;
        std::string bytes;
    };
    std::vector<Case> cases = {
            {"empty file", ""},
            {"wrong magic", std::string(1, static_cast<char>(good[0] ^ 1)) + good.substr(1)},
            {"wrong version", good.substr(0, 4) + std::string(1, static_cast<char>(good[4] ^ 1)) + good.substr(5)},
            {"plain unscrambled bytes", "[Main]\r\nA=1\r\n"},
    };
    // Every shorter prefix of a good pack is truncated somewhere.
    for (size_t n = 1; n < good.size(); ++n) cases.push_back({"truncated", good.substr(0, n)});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.why) + " length " + std::to_string(c.bytes.size()));
        PakInterface pack;
        EXPECT_FALSE(pack.AddPakFile(WriteDisk("bad.pak", c.bytes)));
        EXPECT_EQ(pack.GetEntryCount(), 0);
        EXPECT_EQ(Contents(Path("a.txt")), "from disk");
    }
    PakInterface pack;
    EXPECT_FALSE(pack.AddPakFile(Path("absent.pak")));
    EXPECT_TRUE(pack.AddPakFile(WriteDisk("good.pak", good)));
    EXPECT_EQ(Contents("a.txt"), "alpha");
}

TEST_F(PakTest, EntryPastTheEndIsRefused) {
    // A directory claiming more content than the file holds.
    std::string bytes;
    ASSERT_TRUE(BuildPak({{"a.txt", "alpha", 0}}, bytes));
    std::string plain = bytes;
    for (char& c : plain) c = static_cast<char>(c ^ kPakKey);
    const size_t sizeField = 8 + 2 + 5;
    plain[sizeField] = 100;
    for (char& c : plain) c = static_cast<char>(c ^ kPakKey);
    PakInterface pack;
    EXPECT_FALSE(pack.AddPakFile(WriteDisk("bad.pak", plain)));
}

TEST_F(PakTest, NoPackObjectMeansStandardLibrary) {
    ASSERT_EQ(GetSharedPakInterface(), nullptr);
    const std::string name = WriteDisk("text.txt", "a\r\nb");
    EXPECT_EQ(Contents(name, "rb"), "a\r\nb");
    EXPECT_EQ(Contents(name, "r"), "a\nb");  // text reads drop CR like a pack entry's FGetC
    PakFileHandle* file = PakFOpen(name.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->record, nullptr);
    EXPECT_EQ(PakFSeek(file, 0, SEEK_END), 0);
    EXPECT_EQ(PakFTell(file), 4);
    EXPECT_EQ(PakFSeek(file, 3, SEEK_SET), 0);
    EXPECT_EQ(PakFGetC(file), 'b');
    EXPECT_EQ(PakFGetC(file), -1);
    EXPECT_EQ(PakUnGetC('z', file), 'z');
    EXPECT_EQ(PakFGetC(file), 'z');
    EXPECT_EQ(PakFClose(file), 0);
    EXPECT_EQ(PakFOpen(Path("absent").c_str(), "rb"), nullptr);
}

TEST_F(PakTest, DestroyedPackLeavesTheSharedCell) {
    {
        PakInterface first;
        PakInterface second;
        EXPECT_EQ(GetSharedPakInterface(), &first);
    }
    EXPECT_EQ(GetSharedPakInterface(), nullptr);
}

std::vector<std::string> FindAll(PakInterface& pack, const char* pattern, std::vector<uint32_t>* attributes = nullptr) {
    std::vector<std::string> names;
    PakFindResult result;
    PakFindData* find = pack.FindFirstFile(pattern, &result);
    if (find == nullptr) return names;
    do {
        names.push_back(result.fileName);
        if (attributes != nullptr) attributes->push_back(result.attributes);
    } while (pack.FindNextFile(find, &result));
    EXPECT_TRUE(pack.FindClose(find));
    return names;
}

TEST_F(PakTest, FindFilesInPackThenOnDisk) {
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(WritePak("main.pak", {{"images\\a.png", "1", 77},
                                                      {"Images\\Sub\\b.PNG", "22", 0},
                                                      {"images\\c.jpg", "333", 0},
                                                      {"other\\d.png", "4", 0}})));
    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
            {"images/*.png", {"a.png", "b.PNG"}},
            {"IMAGES\\*", {"a.png", "c.jpg", "b.PNG"}},
            {"images\\*.*", {"a.png", "c.jpg", "b.PNG"}},
            {"images\\a.png", {}},  // no '*': no pack match and nothing on the disk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FindAll(pack, c.pattern), c.names);
    }
    std::vector<uint32_t> attributes;
    FindAll(pack, "images\\*", &attributes);
    EXPECT_EQ(attributes, (std::vector<uint32_t>{0, 0, 0}));
    attributes.clear();
    // The matched ending "\B.PNG" holds a separator: reported as a folder.
    FindAll(pack, "images\\*\\b.png", &attributes);
    EXPECT_EQ(attributes, (std::vector<uint32_t>{PakFindResult::kDirectory}));

    PakFindResult result;
    PakFindData* find = pack.FindFirstFile("images\\*.png", &result);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(result.time, 77u);
    EXPECT_EQ(result.size, 1u);
    pack.FindClose(find);

    // Disk matches follow the pack's.
    WriteDisk("disk/one.png", "abc");
    WriteDisk("disk/two.txt", "x");
    fs::create_directories(mDir / "disk/folder.png");
    const std::string pattern = Path("disk") + "/*.PNG";
    attributes.clear();
    EXPECT_EQ(FindAll(pack, pattern.c_str(), &attributes), (std::vector<std::string>{"folder.png", "one.png"}));
    EXPECT_EQ(attributes, (std::vector<uint32_t>{PakFindResult::kDirectory, 0}));
    EXPECT_EQ(pack.FindFirstFile(Path("nothing/*.png").c_str(), &result), nullptr);
}

// The names a search reports from the packs, before it turns to the disk.
std::vector<std::string> PackMatches(PakInterface& pack, const char* pattern) {
    std::vector<std::string> names;
    PakFindResult result;
    PakFindData* find = pack.FindFirstFile(pattern, &result);
    if (find == nullptr) return names;
    bool more = !find->onDisk;
    while (more) {
        names.push_back(result.fileName);
        more = pack.FindNextFile(find, &result) && !find->onDisk;
    }
    pack.FindClose(find);
    return names;
}

// A pack whose directory holds an entry with an empty name (the pack tool
// never writes one; a damaged or forged pack can): a search reports it once
// and goes on to the next entry instead of starting over for ever.
TEST_F(PakTest, FindStepsPastAnEmptyName) {
    // Found by the pack fuzz target: an entry named by nine odd bytes, one with
    // an empty name, both empty, and nothing else.
    const std::string forged(
            "\x5d\xd7\x5d\x27\x9d\x9d\x9d\x9d\x9d\x94\xf8\x9d\x9d\x94\x5d\xd7\x5d\x27"
            "\x9d\x9d\x9d\x9d\x9d\x94\xf8\x9d\x9d\x9d\x15\x9d\x94\xf8\x9d\x9d\x9d\x9d"
            "\x9d\x94\xf8\x9d\x9d\x94\x5d\xd7\x5d\x27\x9d\x9d\x9d\x9d\x40\x9c\x1d\x3b",
            54);
    {
        PakInterface pack;
        ASSERT_TRUE(pack.AddPakFile(WriteDisk("forged.pak", forged)));
        ASSERT_EQ(pack.GetEntryCount(), 3);  // the two entries and the pack file itself
        const std::vector<std::string> names = PackMatches(pack, "*");
        ASSERT_EQ(names.size(), 3u);
        EXPECT_EQ(names[0], "");
    }

    // A pack of our own with its first name cut to nothing (the shared pack
    // now): the other entry is still found and read.
    std::string plain;
    ASSERT_TRUE(BuildPak({{"x", "1", 0}, {"y.txt", "2", 0}}, plain));
    for (char& c : plain) c = static_cast<char>(c ^ kPakKey);
    const size_t nameLength = 8 + 1;  // the first entry's, behind header and flags
    plain = plain.substr(0, nameLength) + std::string(1, '\0') + plain.substr(nameLength + 2);
    for (char& c : plain) c = static_cast<char>(c ^ kPakKey);
    PakInterface patched;
    ASSERT_TRUE(patched.AddPakFile(WriteDisk("empty-name.pak", plain)));
    EXPECT_EQ(PackMatches(patched, "*.txt"), (std::vector<std::string>{"y.txt"}));
    EXPECT_EQ(PackMatches(patched, "*").size(), 3u);
    EXPECT_EQ(Contents("y.txt"), "2");
}

TEST_F(PakTest, WriterPacksAFolder) {
    WriteDisk("content/UI/board.txt", "[Board]\r\n");
    WriteDisk("content/main.txt", "m");
    std::string error;
    ASSERT_TRUE(WritePakFromFolder(Path("content"), Path("out.pak"), &error)) << error;
    PakInterface pack;
    ASSERT_TRUE(pack.AddPakFile(Path("out.pak")));
    EXPECT_EQ(Contents("ui/board.txt"), "[Board]\r\n");
    EXPECT_EQ(Contents("MAIN.TXT"), "m");
    EXPECT_EQ(pack.FindRecord("UI\\BOARD.TXT")->name, "UI\\board.txt");
    EXPECT_FALSE(WritePakFromFolder(Path("absent"), Path("x.pak"), &error));
    EXPECT_FALSE(error.empty());

    struct Case {
        const char* path;
        const char* name;
    };
    const Case names[] = {{"a/b.txt", "a\\b.txt"}, {"./a//b", "a\\b"}, {"/x/./y", "x\\y"}, {"", ""}};
    for (const Case& c : names) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PakEntryName(c.path), c.name);
    }
    std::string bytes;
    EXPECT_FALSE(BuildPak({{std::string(256, 'n'), "", 0}}, bytes, &error));
    EXPECT_FALSE(BuildPak({{"", "", 0}}, bytes, &error));
}

}  // namespace
