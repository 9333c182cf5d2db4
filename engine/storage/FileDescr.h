#pragma once

#include <cstdio>
#include <string>

class Stg_t;
class PackFile_t;
struct MemBuffer_t;

// The handle of an open file. A handle returned by a storage is served by its owner's
// operations; a memory handle (no owner, from NewMemFileDescr) works on its memory body
// directly, so that the readers of sound data treat a file and a block of memory alike.
//
// The body is exactly one of: a plain disk file (kind 0), a packed body (kind 1), or a
// memory body (kind 0). The handle owns its body; the storages create and close handles.
class FileDescr_t {
public:
    FileDescr_t(Stg_t* handleOwner, const std::string& fileName, bool canWrite);
    virtual ~FileDescr_t();
    FileDescr_t(const FileDescr_t&) = delete;
    FileDescr_t& operator=(const FileDescr_t&) = delete;

    void Read(void* buffer, int count, unsigned* read);
    // Origin 0 from the start, 1 from the current position, 2 from the end.
    void Seek(int origin, int offset, int* position);
    int GetSize();
    // Ends the use of the handle; afterwards the pointer must not be used (a memory handle
    // is destroyed, a storage decides for its own handles).
    void Close();

    Stg_t* owner;      // not owned; null for a memory handle
    std::string name;  // the file's own name, normalised
    bool writable;
    FILE* file = nullptr;  // plain disk file
    PackFile_t* pack = nullptr;
    MemBuffer_t* memory = nullptr;
    int kind = 0;  // 0 plain (disk file or memory body), 1 packed body
};

// A handle without owner over `length` bytes at `data`: a private copy with `copy`, else
// the caller's block, which must outlive the handle.
FileDescr_t* NewMemFileDescr(const void* data, unsigned length, bool copy);

// The reads of whole files by the sound system: a null handle is an errStg_e with code 2
// (operation 8 for the read, 3 for the size) instead of a crash.
void StgReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read);
int StgGetFileSize(FileDescr_t* handle);
