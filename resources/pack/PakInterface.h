#pragma once

// The resource pack: one or more pack files ("main.pak") that hold many data
// files under their relative paths. Every file the framework and the game open
// for reading goes first to the packs and then, when no pack holds it, to the
// disk (see PakFile.h for the free functions callers use).
//
// Pack file format. Every byte of the file, header and directory included, is
// stored XOR-ed with kPakKey; the layout is that of the unscrambled bytes.
// Integers are little-endian.
//   offset 0: u32 magic 0xBAC04AC0
//   offset 4: u32 version, 0
//   offset 8: directory, a sequence of entries, each opened by a flags byte:
//       u8 flags       bit 0x80 set: end of the directory, nothing follows
//       u8 n           name length
//       n bytes        name, no terminator: relative path with '\' separators
//       i32 size       bytes of content
//       u64 time       file time (100 ns units since 1601, low part first)
//   then the data area: the contents in directory order, back to back, from
//   the byte after the end flag.
// Entries are keyed by their name upper-cased; a lookup normalises the asked
// name (NormalizePakPath), so a stored name is found only when it is already
// in that form (backslashes, no doubled separators, no "." or ".."). The pack
// added last wins for a name held by several.
//
// Threads: packs are added during start-up before other threads run; after
// that any thread may open and read files, each through its own handles.

#include <cstdint>
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace plat {
class MappedFile;
}

const uint32_t kPakMagic = 0xBAC04AC0u;
const uint32_t kPakVersion = 0;
const uint8_t kPakKey = 0x9D;
// Lookup names and find patterns are limited to this many bytes, as are the
// names stored in a pack.
const int kPakMaxName = 255;

// One added pack file, mapped read-only for the life of its PakInterface.
struct PakCollection {
    std::unique_ptr<plat::MappedFile> mapping;
    const uint8_t* data = nullptr;
    int64_t size = 0;
};

struct PakRecord {
    PakCollection* owner = nullptr;
    std::string name;   // as stored in the pack, letter case kept
    uint64_t time = 0;  // 100 ns units since 1601-01-01 UTC
    int32_t start = 0;  // offset of the first byte in the pack file
    int32_t size = 0;   // bytes
};

// An open file: a pack entry (record set) or a disk file (stream set).
struct PakFileHandle {
    PakRecord* record = nullptr;
    int32_t position = 0;  // within 0..size of the entry; 0 for a disk file
    FILE* stream = nullptr;
};

// What a file search reports of one match.
struct PakFindResult {
    static const uint32_t kDirectory = 0x10;
    uint32_t attributes = 0;
    std::string fileName;  // the last element of the name, letter case kept
    uint64_t time = 0;     // 100 ns units since 1601-01-01 UTC
    uint32_t size = 0;
};

// A running search: pack matches first, then matches on the disk.
struct PakFindData {
    std::string pattern;   // normalised
    std::string lastKey;   // last pack key reported; may be empty (a pack can hold an empty name)
    bool started = false;  // a pack match was reported: the next one follows lastKey
    bool onDisk = false;   // the pack matches are done
    bool diskListed = false;
    std::list<PakFindResult> diskMatches;
};

// Builds the lookup key of a name: separators become a single '\', "x\.."
// steps back over the element x, other characters are upper-cased. An
// absolute name inside the current folder becomes relative. "./a.png" gives
// ".\A.PNG"; a leading separator stays.
std::string NormalizePakPath(const std::string& name);

// The file-access interface behind the pack-aware file functions.
class PakInterfaceBase {
public:
    virtual int Reserved0(void*, void*) { return 0; }
    // Modes "r", "rb" and "rt" (any letter case) look in the packs first; any
    // other mode, a name no pack holds or a name longer than kPakMaxName
    // opens the disk file. Null when
    // neither can be opened.
    virtual PakFileHandle* FOpen(const char* name, const char* mode) = 0;
    virtual int FClose(PakFileHandle* file) = 0;
    // origin: SEEK_SET, SEEK_CUR, SEEK_END. In a pack entry the position is
    // clamped to the entry and the result is always 0.
    virtual int FSeek(PakFileHandle* file, long offset, int origin) = 0;
    virtual long FTell(PakFileHandle* file) = 0;
    // Whole elements read; a trailing part-element is copied but not counted.
    virtual int FRead(void* buffer, int elementSize, int count, PakFileHandle* file) = 0;
    // The next byte 0..255, or -1 at the end. A pack entry never returns CR.
    virtual int FGetC(PakFileHandle* file) = 0;
    // Steps back one byte (not below 0) and returns c; the byte read next is
    // the one stored there, not c. -1 (the end-of-file value) is ignored.
    virtual int UnGetC(int c, PakFileHandle* file) = 0;
    virtual void* Reserved8(void* a, void*, void*) { return a; }
    // Reads up to a line feed (kept) or length - 1 characters, CR skipped in a
    // pack entry; null when nothing is left.
    virtual char* FGetS(char* buffer, int length, PakFileHandle* file) = 0;
    virtual int FEof(PakFileHandle* file) = 0;
    // Searches with a pattern whose last '*' part is a wildcard, e.g.
    // "images\*.png". Null when nothing matches.
    virtual PakFindData* FindFirstFile(const char* pattern, PakFindResult* result) = 0;
    virtual bool FindNextFile(PakFindData* find, PakFindResult* result) = 0;
    virtual bool FindClose(PakFindData* find) = 0;

protected:
    ~PakInterfaceBase() = default;
};

class PakInterface : public PakInterfaceBase {
public:
    // Registers itself as the process's shared pack interface when there is
    // none yet.
    PakInterface();
    // Unregisters itself when it is the shared one and unmaps its packs. The
    // process-wide object (GlobalPakInterface) is never destroyed.
    virtual ~PakInterface();
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Maps a pack file and adds its entries. A file that cannot be opened, has
    // a wrong magic or version, or whose directory or contents reach past its
    // end is refused whole: false, and nothing of it is registered. The pack
    // file itself becomes an entry under its path upper-cased.
    bool AddPakFile(const std::string& path);

    PakFileHandle* FOpen(const char* name, const char* mode) override;
    int FClose(PakFileHandle* file) override;
    int FSeek(PakFileHandle* file, long offset, int origin) override;
    long FTell(PakFileHandle* file) override;
    int FRead(void* buffer, int elementSize, int count, PakFileHandle* file) override;
    int FGetC(PakFileHandle* file) override;
    int UnGetC(int c, PakFileHandle* file) override;
    char* FGetS(char* buffer, int length, PakFileHandle* file) override;
    int FEof(PakFileHandle* file) override;
    PakFindData* FindFirstFile(const char* pattern, PakFindResult* result) override;
    bool FindNextFile(PakFindData* find, PakFindResult* result) override;
    bool FindClose(PakFindData* find) override;

    // The record of a lookup key (already normalised), or null.
    const PakRecord* FindRecord(const std::string& key) const;
    int GetEntryCount() const { return static_cast<int>(mRecords.size()); }

private:
    bool FindInPak(PakFindData* find, PakFindResult* result);
    bool NextDiskMatch(PakFindData* find, PakFindResult* result);

    std::list<PakCollection> mCollections;
    std::map<std::string, PakRecord> mRecords;
};

// The process's one pack object, created before main and never destroyed; the
// application adds "main.pak" to it at start-up.
PakInterface& GlobalPakInterface();
