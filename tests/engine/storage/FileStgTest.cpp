#include "engine/storage/FileStg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "engine/storage/MemStg.h"
#include "engine/storage/StgPath.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "tests/engine/storage/StgTestHelpers.h"
#include "tests/platform/TempDir.h"

namespace {

std::string DiskText(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> DiskNames(const std::string& folder) {
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder, entries);
    std::vector<std::string> names;
    for (const plat::DirEntry& e : entries) names.push_back(e.name);
    return names;
}

// A root storage on a fresh folder, released when the test ends.
struct DiskRoot {
    velmtest::TempDir dir;
    Stg_t* stg = OpenStorage(dir.Path(), false);
    ~DiskRoot() {
        if (stg) stg->Release();
    }
    Stg_t* operator->() const { return stg; }
};

// Records the questions of the deletions and answers from a script (the box's own
// default when it runs out).
struct PromptScript {
    static std::vector<std::string> texts;
    static std::vector<std::string> captions;
    static std::function<bool()> answer;
    PromptScript() {
        texts.clear();
        captions.clear();
        answer = nullptr;
        plat::SetMessageBoxHandlerForTests([](const std::string& text, const std::string& caption, unsigned type) {
            texts.push_back(text);
            captions.push_back(caption);
            EXPECT_EQ(type & 0xF, plat::kMbRetryCancel);
            if (answer) return answer() ? plat::kIdRetry : plat::kIdCancel;
            return plat::DefaultMessageBoxAnswer(type);
        });
    }
    ~PromptScript() { plat::SetMessageBoxHandlerForTests(nullptr); }
};
std::vector<std::string> PromptScript::texts;
std::vector<std::string> PromptScript::captions;
std::function<bool()> PromptScript::answer;

TEST(FileStg, RegistryCountsByPathIgnoringCase) {
    velmtest::TempDir dir;
    ASSERT_TRUE(plat::MakeDirectory(dir / "Game"));
    Stg_t* first = OpenStorage(dir.Path() + "/Game/Sounds/", false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetRefCount(), 1);
    std::string otherSpelling = dir.Path() + "\\GAME\\sounds";
    Stg_t* second = OpenStorage(otherSpelling, true);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_FALSE(first->IsPacked()) << "the packed flag of a second open is ignored";
    std::string key = dir.Path() + "/game/sounds";
    NormalizeStgPath(key);
    EXPECT_EQ(first->GetPath(), key);
    EXPECT_EQ(first->GetName(), key);
    EXPECT_FALSE(first->IsInMemory());

    first->Release();
    EXPECT_EQ(second->GetRefCount(), 1);
    second->Release();
    Stg_t* reopened = OpenStorage(dir.Path() + "/game/sounds", false);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetRefCount(), 1) << "the last release destroyed the old object";
    reopened->Release();
}

TEST(FileStg, OpeningCreatesMissingFoldersOrFails) {
    velmtest::TempDir dir;
    Stg_t* deep = OpenStorage(dir.Path() + "/a/b/c", false);
    ASSERT_NE(deep, nullptr);
    EXPECT_TRUE(plat::IsDirectory(dir / "a/b/c"));
    deep->Release();

    ASSERT_TRUE(plat::WriteFileAtomic(dir / "plain.txt", "x", 1));
    EXPECT_EQ(OpenStorage(dir.Path() + "/plain.txt/sub", false), nullptr);
    EXPECT_EQ(OpenStorage(std::string(), false), nullptr);
}

TEST(FileStg, MixedCaseFolderIsUsedNotCopied) {
    velmtest::TempDir dir;
    ASSERT_TRUE(plat::MakeDirectory(dir / "MixedCase"));
    ASSERT_TRUE(plat::MakeDirectory(dir / "MixedCase/Sounds"));
    ASSERT_TRUE(plat::WriteFileAtomic(dir / "MixedCase/Sounds/Click.WAV", "wave", 4));

    Stg_t* stg = OpenStorage(dir.Path() + "/mixedcase/SOUNDS", false);
    ASSERT_NE(stg, nullptr);
    EXPECT_EQ(static_cast<FileStg_t*>(stg)->GetNativePath(), dir.Path() + "/mixedcase/SOUNDS");
    EXPECT_EQ(ReadText(stg, "click.wav"), "wave");
    WriteText(stg, "Music/New.txt", "new");
    EXPECT_EQ(DiskNames(dir.Path()), std::vector<std::string>{"MixedCase"});
    EXPECT_EQ(DiskNames(dir / "MixedCase"), std::vector<std::string>{"Sounds"});
    EXPECT_EQ(DiskText(dir / "MixedCase/Sounds/music/new.txt"), "new");
    stg->Release();
}

TEST(FileStg, WorkingDirectoryNeverChanges) {
    PromptScript prompt;
    DiskRoot root;
    const std::string before = plat::CurrentDirectory();
    const std::vector<std::pair<const char*, std::function<void()>>> kSteps = {
            {"write", [&] { WriteText(root.stg, "d1/d2/f.txt", "abc"); }},
            {"read", [&] { ReadText(root.stg, "D1/d2/F.TXT"); }},
            {"list",
             [&] {
                 std::vector<std::string> names;
                 root->List("d1\\*.*", true, true, names);
             }},
            {"presence",
             [&] {
                 root->IsDirPresent("d1/d2");
                 root->IsFilePresent("d1/d2/f.txt");
             }},
            {"create dir", [&] { root->CreateDir("x/y/z"); }},
            {"open sub-storage", [&] { root->OpenStg("x/y", false); }},
            {"failed open", [&] { CatchStg([&] { root->OpenFile("nope/f.txt", false); }); }},
            {"delete file", [&] { root->DeleteFile("d1/d2/f.txt"); }},
            {"delete dir", [&] { root->DeleteDir("x/y/z"); }},
            {"delete tree", [&] { root->DeleteDirTree(); }},
    };
    for (const auto& step : kSteps) {
        SCOPED_TRACE(step.first);
        step.second();
        EXPECT_EQ(plat::CurrentDirectory(), before);
    }
    EXPECT_TRUE(DiskNames(root.dir.Path()).empty());
}

TEST(FileStg, FileRoundTripSeekAndSize) {
    DiskRoot root;
    WriteText(root.stg, "music/Theme.txt", "0123456789");
    EXPECT_EQ(DiskText(root.dir / "music/theme.txt"), "0123456789");

    FileDescr_t* handle = root->OpenFile("MUSIC\\theme.txt", false);
    EXPECT_EQ(handle->owner, root.stg);
    EXPECT_EQ(handle->name, "theme.txt");
    EXPECT_EQ(handle->kind, 0);
    EXPECT_FALSE(handle->writable);
    EXPECT_EQ(handle->GetSize(), 10);

    struct Step {
        const char* why;
        int origin;
        int offset;
        int position;
        const char* rest;
    };
    const Step kSteps[] = {
            {"from the start", 0, 3, 3, "3456789"},
            {"from the end", 2, -2, 8, "89"},
            {"past the end reads nothing", 0, 25, 25, ""},
            {"unknown origin counts from the start", 5, 1, 1, "123456789"},
    };
    for (const Step& s : kSteps) {
        SCOPED_TRACE(s.why);
        int position = -1;
        handle->Seek(s.origin, s.offset, &position);
        EXPECT_EQ(position, s.position);
        char buffer[16] = {};
        unsigned read = 99;
        handle->Read(buffer, 16, &read);
        EXPECT_EQ(std::string(buffer, read), s.rest);
    }
    errStg_e beforeStart = CatchStg([&] { handle->Seek(0, -1, nullptr); });
    EXPECT_EQ(beforeStart.GetCode(), 14);
    EXPECT_EQ(beforeStart.GetFileName(), "theme.txt");
    handle->Close();

    // Writing over an existing file replaces it, whatever case the name is given in.
    WriteText(root.stg, "Music/THEME.txt", "short");
    EXPECT_EQ(DiskText(root.dir / "music/theme.txt"), "short");
    EXPECT_EQ(DiskNames(root.dir / "music"), std::vector<std::string>{"theme.txt"});
}

TEST(FileStg, ErrorCodesAndOperations) {
    DiskRoot root;
    WriteText(root.stg, "f.txt", "x");
    root->CreateDir("sub");
    FileDescr_t* reader = root->OpenFile("f.txt", false);
    const std::string path = root->GetPath();
    struct Case {
        const char* why;
        std::function<void()> operation;
        int code;
        int op;
        const char* file;
    };
    const Case kCases[] = {
            {"empty name read", [&] { root->OpenFile("", false); }, 2, 5, ""},
            {"empty name write", [&] { root->OpenFile("", true); }, 2, 6, ""},
            {"missing file", [&] { root->OpenFile("Missing.wav", false); }, 2, 5, "Missing.wav"},
            {"directory opened as a file", [&] { root->OpenFile("sub", false); }, 2, 5, "sub"},
            {"missing directory on the way", [&] { root->OpenFile("Nope/f.txt", false); }, 3, 13, "nope"},
            {"no own name", [&] { root->OpenFile("sub//", false); }, 2, 5, "sub//"},
            {"refused kind", [&] { root->OpenFile("track.cda", false); }, 22, 13, "track.cda"},
            {"null read", [&] { root->ReadFile(nullptr, nullptr, 1, nullptr); }, 2, 8, ""},
            {"null write", [&] { root->WriteFile(nullptr, "x", 1, nullptr); }, 2, 9, ""},
            {"null seek", [&] { root->Seek(nullptr, 0, 0, nullptr); }, 2, 2, ""},
            {"null size", [&] { root->GetFileSize(nullptr); }, 2, 3, ""},
            {"null close", [&] { root->CloseFile(nullptr); }, 2, 7, ""},
            {"write to a reading handle", [&] { root->WriteFile(reader, "x", 1, nullptr); }, 6, 13, ""},
            {"empty presence of a file", [&] { root->IsFilePresent(""); }, 2, 0, ""},
            {"empty presence of a dir", [&] { root->IsDirPresent(""); }, 2, 1, ""},
            {"empty create dir", [&] { root->CreateDir(""); }, 2, 10, ""},
            {"empty open storage", [&] { root->OpenStg("", false); }, 2, 4, ""},
            {"missing sub-storage", [&] { root->OpenStg("absent", false); }, 3, 13, "absent"},
            {"create dir over a file", [&] { root->CreateDir("f.txt/inner"); }, 3, 13, "f.txt/inner"},
            {"empty delete file", [&] { root->DeleteFile(""); }, 2, 12, ""},
            {"empty delete dir", [&] { root->DeleteDir(""); }, 2, 11, ""},
            {"missing file deleted", [&] { root->DeleteFile("ghost.txt"); }, 18, 13, "ghost.txt"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        errStg_e error = CatchStg(c.operation);
        EXPECT_EQ(error.GetCode(), c.code);
        EXPECT_EQ(error.GetOperation(), c.op);
        EXPECT_EQ(error.GetFileName(), c.file);
        EXPECT_EQ(error.GetStorageName(), path);
    }
    root->CloseFile(reader);
    EXPECT_FALSE(plat::FileExists(root.dir / "track.cda"));
}

TEST(FileStg, RefusedKindIsNotEmptiedByAWriteOpen) {
    DiskRoot root;
    ASSERT_TRUE(plat::WriteFileAtomic(root.dir / "keep.cda", "audio", 5));
    EXPECT_EQ(CatchStg([&] { root->OpenFile("keep.cda", true); }).GetCode(), 22);
    EXPECT_EQ(DiskText(root.dir / "keep.cda"), "audio");
}

TEST(FileStg, PresenceTests) {
    DiskRoot root;
    WriteText(root.stg, "Dir/File.txt", "x");
    struct Case {
        const char* name;
        bool file;
        bool directory;
    };
    const Case kCases[] = {
            {"dir", false, true},           {"DIR", false, true},           {"dir/file.txt", true, false},
            {"DIR\\FILE.TXT", true, false}, {"dir/none.txt", false, false}, {"none", false, false},
            {"dir/", false, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(root->IsFilePresent(c.name), c.file);
        EXPECT_EQ(root->IsDirPresent(c.name), c.directory);
    }
}

TEST(FileStg, ListWithPatterns) {
    DiskRoot root;
    WriteText(root.stg, "a.wav", "1");
    WriteText(root.stg, "B.Wav", "2");
    WriteText(root.stg, "readme", "3");
    WriteText(root.stg, "sub/inner.txt", "4");
    ASSERT_TRUE(plat::MakeDirectory(root.dir / "Other.D"));

    struct Case {
        const char* mask;
        bool files;
        bool directories;
        std::vector<std::string> names;
    };
    const Case kCases[] = {
            {"*.*", true, true, {"a.wav", "b.wav", "other.d", "readme", "sub"}},
            {"*.*", true, false, {"a.wav", "b.wav", "readme"}},
            {"*.*", false, true, {"other.d", "sub"}},
            {"*", true, true, {"a.wav", "b.wav", "other.d", "readme", "sub"}},
            {"*.WAV", true, true, {"a.wav", "b.wav"}},
            {"?.wav", true, false, {"a.wav", "b.wav"}},
            {"SUB\\*.txt", true, false, {"inner.txt"}},
            {"nothing*", true, true, {}},
            {"missing\\*", true, true, {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.mask);
        std::vector<std::string> names;
        root->List(c.mask, c.files, c.directories, names);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names);
    }
}

TEST(FileStg, PackedFiles) {
    DiskRoot root;
    std::string big(100000, 'z');
    WriteText(root.stg, "data.cdf", big);
    std::vector<uint8_t> disk;
    ASSERT_TRUE(plat::ReadFile(root.dir / "data.cdf", disk));
    EXPECT_LT(disk.size(), big.size() / 10) << "stored compressed";
    EXPECT_EQ(ReadText(root.stg, "DATA.CDF"), big);

    FileDescr_t* handle = root->OpenFile("data.cdf", false);
    EXPECT_EQ(handle->kind, 1);
    int position = -1;
    root->Seek(handle, 0, 100010, &position);
    EXPECT_EQ(position, 100000);
    handle->Close();

    // Every file of a packed sub-storage is packed, whatever its name.
    Stg_t* packed = root->CreateStg("Packed", true);
    EXPECT_TRUE(packed->IsPacked());
    WriteText(packed, "plain.txt", "packed though plain");
    EXPECT_EQ(ReadText(packed, "plain.txt"), "packed though plain");
    std::vector<uint8_t> raw;
    ASSERT_TRUE(plat::ReadFile(root.dir / "packed/plain.txt", raw));
    ASSERT_GE(raw.size(), 8u);
    EXPECT_EQ(raw[0], 19);
    EXPECT_EQ(ReadText(root.stg, "packed/plain.txt").size(), raw.size()) << "the root reads it plain";

    // A body being written has no size and cannot be read.
    FileDescr_t* writer = root->OpenFile("w.cdf", true);
    EXPECT_EQ(CatchStg([&] { root->GetFileSize(writer); }).GetCode(), 13);
    char buffer[4];
    EXPECT_EQ(CatchStg([&] { root->ReadFile(writer, buffer, 4, nullptr); }).GetCode(), 15);
    root->CloseFile(writer);
    EXPECT_EQ(plat::FileSize(root.dir / "w.cdf"), 0);
}

TEST(FileStg, BrokenPackedFileGivesErrorCodes) {
    DiskRoot root;
    ASSERT_TRUE(plat::WriteFileAtomic(root.dir / "bad.cdf", "\x10\0\0\0\x04\0\0\0junk", 12));
    FileDescr_t* handle = root->OpenFile("bad.cdf", false);
    char buffer[16];
    errStg_e read = CatchStg([&] { root->ReadFile(handle, buffer, 16, nullptr); });
    EXPECT_EQ(read.GetCode(), 15);
    EXPECT_EQ(read.GetFileName(), "bad.cdf");
    EXPECT_EQ(CatchStg([&] { root->Seek(handle, 0, 0, nullptr); }).GetCode(), 14);
    EXPECT_EQ(CatchStg([&] { StgGetFileSize(handle); }).GetCode(), 13);
    root->CloseFile(handle);
}

TEST(FileStg, FailedWriteAtCloseIsReported) {
    if (!plat::FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Stg_t* dev = OpenStorage("/dev", false);
    ASSERT_NE(dev, nullptr);
    FileDescr_t* handle = dev->OpenFile("full", true);
    dev->WriteFile(handle, "buffered", 8, nullptr);
    errStg_e error = CatchStg([&] { dev->CloseFile(handle); });
    EXPECT_EQ(error.GetCode(), 16);
    EXPECT_EQ(error.GetFileName(), "full");
    dev->Release();
}

TEST(FileStg, SubStoragesAndRelease) {
    DiskRoot root;
    Stg_t* sub = root->CreateStg("One/Two", false);
    EXPECT_EQ(sub->GetName(), "two");
    EXPECT_EQ(sub->GetPath(), root->GetPath() + "\\one\\two");
    EXPECT_EQ(sub->GetParent()->GetName(), "one");
    EXPECT_EQ(root->OpenStg("ONE\\two", false), sub) << "one object per name";
    sub->Release();
    WriteText(sub, "f.txt", "still usable");
    EXPECT_EQ(DiskText(root.dir / "one/two/f.txt"), "still usable");

    // A handle is served by the storage it was opened through.
    FileDescr_t* handle = root->OpenFile("one/two/f.txt", false);
    EXPECT_EQ(handle->owner, root.stg);
    handle->Close();
}

TEST(FileStg, SameStorageIgnoresCase) {
    DiskRoot root;
    WriteText(root.stg, "Inner/f.txt", "once");
    Stg_t* sub = root->OpenStg("inner", false);
    Stg_t* direct = OpenStorage(root.dir.Path() + "/INNER", false);
    ASSERT_NE(direct, nullptr);
    EXPECT_NE(direct, sub);
    EXPECT_TRUE(IsSameStorage(sub, direct));
    Stg_t* memory = OpenStorage("", false);
    EXPECT_FALSE(IsSameStorage(sub, memory));
    EXPECT_FALSE(IsSameStorage(memory, sub));

    sub->CopyTreeTo(direct);
    EXPECT_EQ(DiskNames(root.dir / "inner"), std::vector<std::string>{"f.txt"});
    memory->Release();
    direct->Release();
}

TEST(FileStg, CopyTreeDiskToMemoryAndBack) {
    DiskRoot source;
    WriteText(source.stg, "top.txt", "top");
    WriteText(source.stg, "a/b/deep.txt", "deep");
    WriteText(source.stg, "Skip/x.txt", "x");
    Stg_t* memory = OpenStorage("", false);
    source->CopyTreeTo(memory, "skip");
    EXPECT_TRUE(memory->IsFilePresent("a/b/deep.txt"));
    EXPECT_FALSE(memory->IsDirPresent("skip"));

    DiskRoot target;
    memory->CopyTreeToNew(target.stg);
    EXPECT_EQ(DiskText(target.dir / "top.txt"), "top");
    EXPECT_EQ(DiskText(target.dir / "a/b/deep.txt"), "deep");
    EXPECT_EQ(CatchStg([&] { memory->CopyTreeToNew(target.stg); }).GetCode(), 20);
    memory->Release();
}

TEST(FileStg, DeleteFileAndDir) {
    PromptScript prompt;
    DiskRoot root;
    WriteText(root.stg, "Gone.txt", "g");
    root->DeleteFile("GONE.TXT");
    EXPECT_FALSE(plat::FileExists(root.dir / "gone.txt"));

    root->CreateDir("Empty");
    Stg_t* held = root->OpenStg("empty", false);
    root->DeleteDir("EMPTY");
    EXPECT_FALSE(plat::FileExists(root.dir / "empty"));
    EXPECT_TRUE(prompt.texts.empty());
    // The sub-storage was forgotten: a new directory of that name gets a new object, and
    // the old one stays valid for its holder.
    root->CreateDir("empty");
    EXPECT_NE(root->OpenStg("empty", false), held);
    EXPECT_EQ(held->GetName(), "empty");

    // A directory that is not empty: the question is asked; Retry after emptying it works.
    WriteText(root.stg, "full/f.txt", "f");
    prompt.answer = [&] {
        plat::RemoveFile(root.dir / "full/f.txt");
        return true;
    };
    root->DeleteDir("full");
    EXPECT_EQ(prompt.captions, std::vector<std::string>{"Cannot delete Directory"});
    EXPECT_FALSE(plat::FileExists(root.dir / "full"));

    // The box's default answer, which a run without a user gets, is Cancel: error 3.
    WriteText(root.stg, "busy/f.txt", "f");
    prompt.answer = nullptr;
    errStg_e cancelled = CatchStg([&] { root->DeleteDir("Busy"); });
    EXPECT_EQ(cancelled.GetCode(), 3);
    EXPECT_EQ(cancelled.GetFileName(), "Busy");
    EXPECT_TRUE(plat::FileExists(root.dir / "busy/f.txt"));

    // A file that the system will not delete (here a directory named as a file) asks too.
    prompt.captions.clear();
    root->CreateDir("notafile");
    errStg_e refused = CatchStg([&] { root->DeleteFile("notafile"); });
    EXPECT_EQ(refused.GetCode(), 18);
    EXPECT_EQ(prompt.captions, std::vector<std::string>{"Cannot delete file"});

    // Anything under ".svn" is never deleted.
    WriteText(root.stg, ".svn/entries", "e");
    root->DeleteDir(".svn");
    EXPECT_TRUE(plat::FileExists(root.dir / ".svn/entries"));
}

TEST(FileStg, DeleteDirTreeSparesSvn) {
    PromptScript prompt;
    DiskRoot root;
    WriteText(root.stg, "a.txt", "a");
    WriteText(root.stg, "Sub/b.txt", "b");
    WriteText(root.stg, "sub/deeper/c.txt", "c");
    WriteText(root.stg, ".svn/entries", "keep");
    Stg_t* sub = root->OpenStg("sub", false);

    errStg_e error = CatchStg([&] { root->DeleteDirTree(); });
    EXPECT_EQ(error.GetCode(), 3);
    EXPECT_EQ(error.GetFileName(), root->GetPath());
    ASSERT_EQ(prompt.texts.size(), 1u);
    EXPECT_EQ(prompt.captions[0], "Cannot delete Directory");
    EXPECT_NE(prompt.texts[0].find(".svn"), std::string::npos);
    EXPECT_EQ(DiskText(root.dir / ".svn/entries"), "keep");
    EXPECT_FALSE(plat::FileExists(root.dir / "a.txt"));

    // Without the protected folder the whole tree goes.
    plat::RemoveFile(root.dir / ".svn/entries");
    plat::RemoveDirectory(root.dir / ".svn");
    WriteText(root.stg, "sub/again.txt", "x");
    root->DeleteDirTree();
    EXPECT_TRUE(DiskNames(root.dir.Path()).empty());
    EXPECT_FALSE(sub->IsFilePresent("again.txt"));
}

}  // namespace
