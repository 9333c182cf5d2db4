#include "resources/base/Paths.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/platform/TempDir.h"

namespace fs = std::filesystem;

TEST(PathsTest, ResolvePathRows) {
    struct Case {
        const char* path;
        const char* base;
        const char* resolved;
    };
    const Case cases[] = {
            {"images\\a.png", "C:\\game\\data", "C:\\game\\data\\images\\a.png"},
            {"../fonts/x.txt", "data/ui/", "data/fonts/x.txt"},
            {"./a/b.txt", "data", "data/a/b.txt"},
            {"D:\\x.txt", "C:\\y", "D:\\x.txt"},
            {"a/b\\c.txt", "", "a\\b\\c.txt"},
            {"\\top\\x.txt", "C:\\game\\", "C:\\top\\x.txt"},
            {"../../x", "a/b/c", "a/x"},
            {"../../x", "data/", "../x"},
            {"../x", "../", "../../x"},
            {"../x", "/", "/x"},
            {"sub/x.txt", "/home/u/game", "/home/u/game/sub/x.txt"},
            {"sub\\x.txt", "/home/u/game", "\\home\\u\\game\\sub\\x.txt"},
            {"x.txt", "data", "data/x.txt"},
            {"a/../b.txt", "data", "data/a/../b.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " against " + c.base);
        EXPECT_EQ(Velm::ResolvePath(c.path, c.base), c.resolved);
    }
}

TEST(PathsTest, PathPartRows) {
    struct Case {
        const char* path;
        const char* namePart;
        const char* nameNoExt;
        const char* folder;
        const char* folderSep;
    };
    const Case cases[] = {
            {"dir/sub/file.tar.gz", "file.tar.gz", "file.tar", "dir/sub", "dir/sub/"},
            {"dir.d/file", "file", "file", "dir.d", "dir.d/"},
            {"a/b\\c.txt", "c.txt", "c", "a/b", "a/b\\"},
            {"a\\b/c.txt", "c.txt", "c", "a\\b", "a\\b/"},
            {"c.txt", "c.txt", "c", "", ""},
            {"plain", "plain", "plain", "", ""},
            {"folder/", "", "", "folder", "folder/"},
            {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Velm::GetFileNamePart(c.path), c.namePart);
        EXPECT_EQ(Velm::GetFileName(c.path, false), c.namePart);
        EXPECT_EQ(Velm::GetFileName(c.path, true), c.nameNoExt);
        EXPECT_EQ(Velm::GetFolderPart(c.path, false), c.folder);
        EXPECT_EQ(Velm::GetFolderPart(c.path, true), c.folderSep);
    }
}

TEST(PathsTest, TrailingSeparatorRows) {
    struct Case {
        const char* path;
        const char* stripped;
        const char* withBackslash;
        const char* withSlash;
    };
    const Case cases[] = {
            {"a\\b", "a\\b", "a\\b\\", "a\\b/"},
            {"a\\b\\", "a\\b", "a\\b\\", "a\\b\\"},
            {"a/b/", "a/b", "a/b/", "a/b/"},
            {"a//", "a/", "a//", "a//"},
            {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(Velm::StripTrailingSlash(c.path), c.stripped);
        EXPECT_EQ(Velm::AddTrailingSlash(c.path, true), c.withBackslash);
        EXPECT_EQ(Velm::AddTrailingSlash(c.path, false), c.withSlash);
    }
}

TEST(PathsTest, AppDataFolderEndsInASeparator) {
    struct Case {
        const char* set;
        const char* got;
    };
    const Case cases[] = {
            {"C:\\Data", "C:\\Data\\"},
            {"/home/u/.local/share/Co/Game/", "/home/u/.local/share/Co/Game/"},
            {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        Velm::SetAppDataFolder(c.set);
        EXPECT_EQ(Velm::GetAppDataFolder(), c.got);
    }
}

TEST(PathsTest, MakeFoldersCreatesEveryLevel) {
    velmtest::TempDir dir;
    Velm::MakeFolders(dir / "a\\b/c\\");
    Velm::MakeFolders(dir / "a/b/c/d");
    Velm::MakeFolders(dir / "a/b/c/d");  // existing folders are no failure
    EXPECT_TRUE(fs::is_directory(dir / "a/b/c/d"));
    EXPECT_TRUE(Velm::FileExists(dir / "A\\B\\C"));
    EXPECT_FALSE(Velm::FileExists(dir / "a/b/none"));
}

TEST(PathsTest, DeleteFolderTreeRemovesEverything) {
    velmtest::TempDir dir;
    Velm::MakeFolders(dir / "tree/sub/deeper");
    std::ofstream(dir / "tree/top.dat") << "x";
    std::ofstream(dir / "tree/sub/deeper/leaf.dat") << "y";
    // A link to a folder outside the tree is removed, not followed.
    Velm::MakeFolders(dir / "outside");
    std::ofstream(dir / "outside/keep.dat") << "z";
    fs::create_directory_symlink(dir / "outside", dir / "tree/sub/link");

    EXPECT_TRUE(Velm::DeleteFolderTree(dir / "tree"));
    EXPECT_FALSE(fs::exists(dir / "tree"));
    EXPECT_TRUE(fs::exists(dir / "outside/keep.dat"));

    EXPECT_FALSE(Velm::DeleteFolderTree(dir / "tree"));
    EXPECT_FALSE(Velm::DeleteFolderTree("/"));
    EXPECT_FALSE(Velm::DeleteFolderTree(""));
    EXPECT_TRUE(fs::exists(dir / "outside"));
}

TEST(PathsTest, FileTimesAndAccess) {
    velmtest::TempDir dir;
    EXPECT_EQ(Velm::GetFileModifiedTime(dir / "missing"), 0);
    EXPECT_FALSE(Velm::GrantEveryoneFullAccess(dir / "missing"));

    std::ofstream(dir / "scores.dat") << "s";
    fs::last_write_time(dir / "scores.dat", fs::file_time_type::clock::now());
    EXPECT_GT(Velm::GetFileModifiedTime(dir / "SCORES.DAT"), 1500000000);

    fs::permissions(dir / "scores.dat", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Velm::GrantEveryoneFullAccess(dir / "scores.dat"));
    const fs::perms everyone = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    EXPECT_EQ(fs::status(dir / "scores.dat").permissions() & fs::perms::all, everyone);

    Velm::MakeFolders(dir / "profiles");
    EXPECT_TRUE(Velm::GrantEveryoneFullAccess(dir / "profiles"));
    EXPECT_EQ(fs::status(dir / "profiles").permissions() & fs::perms::all, fs::perms::all);
    EXPECT_FALSE(Velm::GetCurrentFolder().empty());
}
