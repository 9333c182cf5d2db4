#include "platform/Files.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/TempDir.h"

namespace {

void Put(const std::string& path, const std::string& text) {
    ASSERT_TRUE(plat::WriteFileAtomic(path, text.data(), text.size()));
}

std::string Get(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) return "<unreadable>";
    return std::string(bytes.begin(), bytes.end());
}

std::string ReadAllText(FILE* f) {
    std::string text;
    char buf[777];  // odd size so that CR runs straddle reads
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    return text;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<plat::DirEntry> entries;
    EXPECT_TRUE(plat::ListDirectory(folder, entries));
    std::vector<std::string> names;
    for (const plat::DirEntry& e : entries) names.push_back(e.name + (e.isDirectory ? "/" : ""));
    return names;
}

}  // namespace

TEST(FilesTest, BackslashesAndCaseAreMappedToExistingEntries) {
    velmtest::TempDir dir;
    ASSERT_TRUE(plat::MakeDirectory(dir / "Data"));
    ASSERT_TRUE(plat::MakeDirectory(dir / "Data/Images"));
    Put(dir / "Data/Images/Tile.PNG", "png");

    struct Case {
        const char* why;
        std::string asked;
        std::string native;
    };
    // clang-format off
    const Case cases[] = {
            {"exact path unchanged", dir / "Data/Images/Tile.PNG", dir / "Data/Images/Tile.PNG"},
            {"backslashes", dir / "Data\\Images\\Tile.PNG", dir / "Data/Images/Tile.PNG"},
            {"every component in another case", dir / "data\\IMAGES\\tile.png", dir / "Data/Images/Tile.PNG"},
            {"missing leaf keeps its case under a mapped folder", dir / "data/images/New.txt", dir / "Data/Images/New.txt"},
            {"nothing below a missing folder is looked up", dir / "none/images/x", dir / "none/images/x"},
            {"trailing separator kept", dir / "DATA\\images\\", dir / "Data/Images/"},
            {"dot components", dir / "data/./images/../Images/TILE.png", dir / "Data/./Images/../Images/Tile.PNG"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(plat::NativePath(c.asked), c.native);
    }
    EXPECT_EQ(Get(dir / "DATA\\IMAGES\\TILE.PNG"), "png");
    EXPECT_TRUE(plat::FileExists(dir / "data\\images"));
    EXPECT_TRUE(plat::IsDirectory(dir / "data\\images"));
    EXPECT_FALSE(plat::IsDirectory(dir / "data\\images\\tile.png"));
}

TEST(FilesTest, LaterLookupsSeeNewFiles) {
    velmtest::TempDir dir;
    // The first lookup lists the folder while the file is still missing.
    EXPECT_FALSE(plat::FileExists(dir / "SCORES.DAT"));
    Put(dir / "Scores.dat", "x");
    EXPECT_TRUE(plat::FileExists(dir / "SCORES.DAT"));
    ASSERT_TRUE(plat::RemoveFile(dir / "scores.DAT"));
    EXPECT_FALSE(plat::FileExists(dir / "SCORES.DAT"));

    FILE* f = plat::OpenFile(dir / "Log.txt", "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(plat::NativePath(dir / "LOG.TXT"), dir / "Log.txt");

    // Made behind the layer's back (another process, or the runtime directly) right
    // after the folder was listed.
    EXPECT_FALSE(plat::FileExists(dir / "OUTSIDE.DAT"));
    std::ofstream(dir / "Outside.dat") << "x";
    EXPECT_TRUE(plat::FileExists(dir / "OUTSIDE.DAT"));
}

TEST(FilesTest, TextReadsDropEveryCarriageReturn) {
    velmtest::TempDir dir;
    struct Case {
        const char* why;
        std::string raw;
        std::string text;
    };
    const Case cases[] = {
            {"CRLF lines", "a\r\nb\r\n", "a\nb\n"},
            {"lone CRs dropped too", "\ra\rb\r", "ab"},
            {"LF only unchanged", "x\ny\n", "x\ny\n"},
            {"a long run of CRs is not end of file", std::string(10000, '\r') + "tail", "tail"},
            {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Put(dir / "t.txt", c.raw);
        for (const char* mode : {"r", "rt"}) {
            FILE* f = plat::OpenFile(dir / "T.TXT", mode);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(ReadAllText(f), c.text);
            std::fclose(f);
        }
        FILE* b = plat::OpenFile(dir / "t.txt", "rb");
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(ReadAllText(b), c.raw);
        std::fclose(b);
    }
}

TEST(FilesTest, TextReadsWorkWithLineFunctionsAndRewind) {
    velmtest::TempDir dir;
    Put(dir / "lines.txt", "first\r\nsecond\r\n");
    FILE* f = plat::OpenFile(dir / "lines.txt", "rt");
    ASSERT_NE(f, nullptr);
    char line[64];
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "first\n");
    std::rewind(f);
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "first\n");
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "second\n");
    EXPECT_EQ(std::fgets(line, sizeof line, f), nullptr);
    // Offsets are raw file offsets, as in the Windows runtime's text mode.
    ASSERT_EQ(std::fseek(f, 0, SEEK_END), 0);
    EXPECT_EQ(std::ftell(f), 15);
    std::fclose(f);
    EXPECT_EQ(plat::OpenFile(dir / "missing.txt", "r"), nullptr);
}

TEST(FilesTest, FoldersCannotBeOpenedAsFiles) {
    velmtest::TempDir dir;
    for (const char* mode : {"r", "rb", "r+b"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(plat::OpenFile(dir.Path(), mode), nullptr);
    }
}

TEST(FilesTest, AtomicWriteIntoAReadOnlyFolderFails) {
    velmtest::TempDir dir;
    ASSERT_TRUE(plat::MakeDirectory(dir / "locked"));
    Put(dir / "locked/p.dat", "old");
    std::filesystem::permissions(dir / "locked",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    std::ofstream probe(dir / "locked/probe");
    if (probe) {
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    std::string error;
    EXPECT_FALSE(plat::WriteFileAtomic(dir / "locked/p.dat", "new", 3, &error));
    EXPECT_NE(error.find("p.dat"), std::string::npos);
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    EXPECT_EQ(Get(dir / "locked/p.dat"), "old");
}

TEST(FilesTest, AtomicWriteReplacesWholeFileAndKeepsPermissions) {
    velmtest::TempDir dir;
    Put(dir / "p.dat", "old contents that are longer");
    ASSERT_TRUE(plat::GrantAllUsersAccess(dir / "p.dat"));
    Put(dir / "P.DAT", "new");
    EXPECT_EQ(Get(dir / "p.dat"), "new");
    EXPECT_EQ(plat::FileSize(dir / "p.dat"), 3);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"p.dat"});  // no temporary left
    EXPECT_EQ(std::filesystem::status(dir / "p.dat").permissions() & std::filesystem::perms::others_write,
              std::filesystem::perms::others_write);
    Put(dir / "empty", "");
    EXPECT_EQ(plat::FileSize(dir / "empty"), 0);
}

TEST(FilesTest, AtomicWriteFailuresAreReportedAndChangeNothing) {
    velmtest::TempDir dir;
    ASSERT_TRUE(plat::MakeDirectory(dir / "folder"));
    struct Case {
        const char* why;
        std::string path;
    };
    const Case cases[] = {
            {"missing folder", dir / "no/such/folder/f.dat"},
            {"target is a folder", dir / "folder"},
            {"empty name", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::string error;
        EXPECT_FALSE(plat::WriteFileAtomic(c.path, "abc", 3, &error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"folder/"});
}

TEST(FilesTest, FailedWriteLeavesThePreviousFileIntact) {
    velmtest::TempDir dir;
    Put(dir / "profile.dat", "version one");
    plat::SetAtomicWriteFaultForTests([] { return false; });
    std::string error;
    std::string big(100000, 'x');
    bool ok = plat::WriteFileAtomic(dir / "profile.dat", big.data(), big.size(), &error);
    plat::SetAtomicWriteFaultForTests(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("profile.dat"), std::string::npos);
    EXPECT_EQ(Get(dir / "profile.dat"), "version one");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"profile.dat"});
}

TEST(FilesTest, ProcessKilledMidWriteLeavesThePreviousFileIntact) {
    velmtest::TempDir dir;
    Put(dir / "scores.dat", "version one");
    std::string big(100000, 'y');
    EXPECT_EXIT(
            {
                plat::SetAtomicWriteFaultForTests([]() -> bool { std::_Exit(9); });
                plat::WriteFileAtomic(dir / "scores.dat", big.data(), big.size());
            },
            ::testing::ExitedWithCode(9), "");
    EXPECT_EQ(Get(dir / "scores.dat"), "version one");
    // The next write succeeds despite the temporary file the dead process left behind.
    Put(dir / "scores.dat", "version two");
    EXPECT_EQ(Get(dir / "scores.dat"), "version two");
}

TEST(FilesTest, FoldersAreCreatedListedAndRemoved) {
    velmtest::TempDir dir;
    EXPECT_TRUE(plat::MakeDirectory(dir / "a"));
    EXPECT_TRUE(plat::MakeDirectory(dir / "A"));  // already there, in another case
    EXPECT_FALSE(plat::MakeDirectory(dir / "x/y"));
    Put(dir / "b.txt", "b");
    Put(dir / "a/c.txt", "c");
    EXPECT_FALSE(plat::MakeDirectory(dir / "b.txt"));
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a/", "b.txt"}));
    std::vector<plat::DirEntry> entries;
    EXPECT_FALSE(plat::ListDirectory(dir / "missing", entries));
    EXPECT_FALSE(plat::RemoveDirectory(dir / "a"));  // not empty
    EXPECT_TRUE(plat::RenameFile(dir / "A\\C.TXT", dir / "b.txt"));
    EXPECT_EQ(Get(dir / "b.txt"), "c");
    EXPECT_TRUE(plat::RemoveDirectory(dir / "A"));
    EXPECT_TRUE(plat::RemoveFile(dir / "b.txt"));
    EXPECT_FALSE(plat::RemoveFile(dir / "b.txt"));
    EXPECT_TRUE(Names(dir.Path()).empty());
}

TEST(FilesTest, MissingFilesHaveNoTimeOrSize) {
    velmtest::TempDir dir;
    EXPECT_EQ(plat::FileModifiedTime(dir / "none"), 0);
    EXPECT_EQ(plat::FileSize(dir / "none"), -1);
    EXPECT_FALSE(plat::FileExists(dir / "none"));
    std::vector<uint8_t> bytes{1, 2};
    EXPECT_FALSE(plat::ReadFile(dir / "none", bytes));
    EXPECT_FALSE(plat::GrantAllUsersAccess(dir / "none"));
    Put(dir / "f", "x");
    std::filesystem::last_write_time(dir / "f", std::filesystem::file_time_type::clock::now());
    EXPECT_GT(plat::FileModifiedTime(dir / "F"), 1500000000);
    EXPECT_FALSE(plat::CurrentDirectory().empty());
}
