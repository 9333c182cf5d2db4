#include "engine/storage/MemStg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "engine/storage/FileStg.h"
#include "tests/engine/storage/StgTestHelpers.h"

namespace {

// A memory root that is released when the test ends.
struct MemRoot {
    Stg_t* stg = OpenStorage(static_cast<const char*>(nullptr), false);
    ~MemRoot() { stg->Release(); }
    Stg_t* operator->() const { return stg; }
};

TEST(MemStg, RootFromEmptyPath) {
    MemRoot root;
    EXPECT_TRUE(root->IsInMemory());
    EXPECT_EQ(root->GetPath(), "Mem");
    EXPECT_EQ(root->GetName(), "Mem");
    EXPECT_EQ(root->GetRefCount(), 0);
    Stg_t* other = OpenStorage("", false);
    EXPECT_NE(other, root.stg);
    other->Release();
}

TEST(MemStg, NestedWriteCreatesSubStorages) {
    MemRoot root;
    WriteText(root.stg, "a/b/c.txt", "xyz");
    EXPECT_TRUE(root->IsDirPresent("A/B"));
    EXPECT_TRUE(root->IsDirPresent("a"));
    EXPECT_TRUE(root->IsFilePresent("a/b/C.TXT"));
    EXPECT_FALSE(root->IsFilePresent("a/c.txt"));
    EXPECT_FALSE(root->IsFilePresent("missing/c.txt"));
    EXPECT_FALSE(root->IsDirPresent("a/b/c"));
    Stg_t* b = root->OpenStg("A\\b", false);
    EXPECT_EQ(b->GetName(), "b");
    EXPECT_EQ(b->GetPath(), "Mem\\a\\b");
    EXPECT_EQ(b->GetParent()->GetName(), "a");
    EXPECT_EQ(ReadText(b, "c.txt"), "xyz");
    EXPECT_EQ(ReadText(root.stg, "A\\B\\c.TXT"), "xyz");
}

TEST(MemStg, OpenTwiceAndReopen) {
    MemRoot root;
    WriteText(root.stg, "f.bin", "0123456789");
    FileDescr_t* first = root->OpenFile("f.bin", false);
    errStg_e twice = CatchStg([&] { root->OpenFile("F.BIN", false); });
    EXPECT_EQ(twice.GetCode(), 10);
    EXPECT_EQ(twice.GetOperation(), 13);
    EXPECT_EQ(twice.GetFileName(), "F.BIN");
    EXPECT_EQ(twice.GetStorageName(), "Mem");
    root->Seek(first, 0, 6, nullptr);
    root->CloseFile(first);
    FileDescr_t* again = root->OpenFile("f.bin", false);
    EXPECT_EQ(again, first);
    int position = -1;
    root->Seek(again, 1, 0, &position);
    EXPECT_EQ(position, 0);
    root->CloseFile(again);
}

TEST(MemStg, RewriteCutsTheFile) {
    MemRoot root;
    WriteText(root.stg, "f.bin", "0123456789");
    WriteText(root.stg, "f.bin", "abcd");
    EXPECT_EQ(ReadText(root.stg, "f.bin"), "abcd");
}

TEST(MemStg, SeekPastTheEndGoesToTheStart) {
    MemRoot root;
    WriteText(root.stg, "f.bin", "0123456789");
    FileDescr_t* handle = root->OpenFile("f.bin", false);
    int position = -1;
    root->Seek(handle, 0, 11, &position);
    EXPECT_EQ(position, 0);
    root->Seek(handle, 2, -3, &position);
    EXPECT_EQ(position, 7);
    char tail[8] = {};
    unsigned read = 0;
    root->ReadFile(handle, tail, 8, &read);
    EXPECT_EQ(read, 3u);
    EXPECT_STREQ(tail, "789");
    handle->Close();
}

TEST(MemStg, ClosedFileOperationsDoNothing) {
    MemRoot root;
    WriteText(root.stg, "f.bin", "abc");
    FileDescr_t* handle = root->OpenFile("f.bin", false);
    root->CloseFile(handle);
    char buffer[4] = {};
    unsigned read = 55;
    root->ReadFile(handle, buffer, 3, &read);
    root->WriteFile(handle, "zz", 2, nullptr);
    EXPECT_EQ(read, 55u);
    EXPECT_EQ(root->GetFileSize(handle), 3);
}

TEST(MemStg, Errors) {
    MemRoot root;
    WriteText(root.stg, "d/f.txt", "x");
    FileDescr_t* borrowed = NewMemFileDescr("abc", 3, false);
    struct Case {
        const char* why;
        std::function<void()> operation;
        int code;
        const char* file;
    };
    // clang-format off
    const Case kCases[] = {
            {"empty name", [&] { root->OpenFile("", false); }, 2, ""},
            {"no own name", [&] { root->OpenFile("d//", true); }, 2, "d//"},
            {"missing file", [&] { root->OpenFile("nothing.txt", false); }, 10, "nothing.txt"},
            {"missing directory on a read", [&] { root->OpenFile("zz/f.txt", false); }, 3, "zz"},
            {"null handle read", [&] { root->ReadFile(nullptr, nullptr, 1, nullptr); }, 2, ""},
            {"null handle close", [&] { root->CloseFile(nullptr); }, 2, ""},
            {"read-only handle written", [&] { root->WriteFile(borrowed, "x", 1, nullptr); }, 6, ""},
            {"open of a missing sub-storage", [&] { root->OpenStg("nope", false); }, 3, "nope"},
            {"empty sub-storage name", [&] { root->CreateStg("", false); }, 2, ""},
            {"list in a missing directory", [&] {
                 std::vector<std::string> names;
                 root->List("nope/*", true, true, names);
             }, 3, "nope"},
            {"delete in a missing directory", [&] { root->DeleteFile("nope/f.txt"); }, 3, "nope"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        errStg_e error = CatchStg(c.operation);
        EXPECT_EQ(error.GetCode(), c.code);
        EXPECT_EQ(error.GetOperation(), 13);
        EXPECT_EQ(error.GetFileName(), c.file);
    }
    borrowed->Close();
}

TEST(MemStg, ListDirectoriesFirstWithMasks) {
    MemRoot root;
    WriteText(root.stg, "ab1.txt", "1");
    WriteText(root.stg, "abc.txt", "2");
    WriteText(root.stg, "Z.wav", "3");
    root->CreateDir("sub/deeper");
    root->CreateDir("x");
    WriteText(root.stg, "sub/s1.txt", "4");

    struct Case {
        const char* mask;
        bool files;
        bool directories;
        std::vector<std::string> names;
    };
    const Case kCases[] = {
            {"*.*", true, true, {"sub", "x", "ab1.txt", "abc.txt", "z.wav"}},
            {"*", true, false, {"ab1.txt", "abc.txt", "z.wav"}},
            {"*", false, true, {"sub", "x"}},
            {"a?#.txt", true, true, {"ab1.txt"}},
            {"*?", true, true, {"x"}},
            {"?*", true, true, {"sub", "x", "ab1.txt", "abc.txt", "z.wav"}},
            {"*.WAV", true, true, {"z.wav"}},
            {"", true, true, {"sub", "x", "ab1.txt", "abc.txt", "z.wav"}},
            {"sub/*", true, true, {"deeper", "s1.txt"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.mask);
        std::vector<std::string> names;
        root->List(c.mask, c.files, c.directories, names);
        EXPECT_EQ(names, c.names);
    }
}

TEST(MemStg, DeleteFileAndDirectory) {
    MemRoot root;
    WriteText(root.stg, "keep.txt", "k");
    WriteText(root.stg, "gone.txt", "g");
    WriteText(root.stg, "dir/inner.txt", "i");
    Stg_t* dir = root->OpenStg("dir", false);

    root->DeleteFile("GONE.txt");
    root->DeleteFile("never.txt");
    EXPECT_FALSE(root->IsFilePresent("gone.txt"));
    EXPECT_TRUE(root->IsFilePresent("keep.txt"));

    root->DeleteDir("DIR");
    EXPECT_FALSE(root->IsDirPresent("dir"));
    EXPECT_FALSE(root->IsFilePresent("dir/inner.txt"));
    // The old sub-storage object stays usable for whoever still holds it.
    EXPECT_EQ(ReadText(dir, "inner.txt"), "i");
    root->DeleteDir("not-there");
    // A new directory of the same name starts empty.
    root->CreateDir("dir");
    EXPECT_FALSE(root->IsFilePresent("dir/inner.txt"));
}

TEST(MemStg, DeleteDirTreeLeavesEverything) {
    MemRoot root;
    WriteText(root.stg, "a/b.txt", "b");
    root->DeleteDirTree();
    EXPECT_TRUE(root->IsFilePresent("a/b.txt"));
}

TEST(MemStg, ReleaseOfASubStorageKeepsIt) {
    MemRoot root;
    Stg_t* sub = root->CreateStg("s", true);
    sub->Release();
    EXPECT_FALSE(sub->IsPacked());
    WriteText(sub, "t.txt", "still here");
    EXPECT_EQ(ReadText(root.stg, "s/t.txt"), "still here");
}

TEST(MemStg, CopyTree) {
    MemRoot source;
    MemRoot target;
    WriteText(source.stg, "top.txt", "top");
    WriteText(source.stg, "d/one.txt", "one");
    WriteText(source.stg, "d/e/two.txt", "two");
    WriteText(source.stg, "skip/no.txt", "no");
    source->CopyTreeTo(source.stg);
    std::vector<std::string> names;
    source->List("*", true, true, names);
    EXPECT_EQ(names.size(), 3u);

    source->CopyTreeTo(target.stg, "SKIP");
    EXPECT_EQ(ReadText(target.stg, "top.txt"), "top");
    EXPECT_EQ(ReadText(target.stg, "d/one.txt"), "one");
    EXPECT_EQ(ReadText(target.stg, "d/e/two.txt"), "two");
    EXPECT_FALSE(target->IsDirPresent("skip"));

    MemRoot fresh;
    WriteText(fresh.stg, "top.txt", "old");
    errStg_e fileExists = CatchStg([&] { source->CopyTreeToNew(fresh.stg); });
    EXPECT_EQ(fileExists.GetCode(), 20);
    EXPECT_EQ(fileExists.GetFileName(), "top.txt");

    MemRoot withDir;
    withDir->CreateDir("d");
    errStg_e dirExists = CatchStg([&] { source->CopyTreeToNew(withDir.stg); });
    EXPECT_EQ(dirExists.GetCode(), 21);
    EXPECT_EQ(dirExists.GetStorageName(), "d");
    // The file copied before the refusal is closed: it opens again.
    EXPECT_EQ(ReadText(withDir.stg, "top.txt"), "top");
}

TEST(MemStg, FailedCopyLeavesNoFileOpen) {
    MemRoot source;
    WriteText(source.stg, "f.txt", "data");
    MemRoot target;
    WriteText(target.stg, "g.txt", "old");
    FileDescr_t* held = target->OpenFile("g.txt", false);
    // The target is busy; the source opened on the way must not stay open.
    errStg_e busy = CatchStg([&] { source->CopyFileTo(target.stg, "g.txt", "f.txt"); });
    EXPECT_EQ(busy.GetCode(), 10);
    target->CloseFile(held);
    source->CopyFileTo(target.stg, "g.txt", "f.txt");
    EXPECT_EQ(ReadText(target.stg, "g.txt"), "data");
}

TEST(MemStg, TwoMemoryStoragesAreNeverTheSame) {
    MemRoot a;
    MemRoot b;
    EXPECT_TRUE(IsSameStorage(a.stg, a.stg));
    EXPECT_FALSE(IsSameStorage(a.stg, b.stg));
    EXPECT_FALSE(IsSameStorage(a.stg, nullptr));
    EXPECT_FALSE(IsSameStorage(nullptr, a.stg));
}

}  // namespace
