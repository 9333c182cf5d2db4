#pragma once

#include <string>
#include <vector>

#include "engine/storage/Stg.h"

// The storage over a directory of the disk. Root storages come from OpenStorage, which
// shares one counted object per path; sub-storages are opened through them.
//
// Two paths: the storage's path (Stg_t::GetPath) is the normalised, lower-cased text that
// names it and keys the registry; the native path is where it lies on the disk, as it was
// given, with the real letter case of every existing directory. Every file and directory
// is reached as native path + relative name, the name looked up without regard to case.
// The process's current directory is never read or changed, so relative paths of the
// rest of the program keep their meaning.
//
// Files are plain files, or packed bodies (PackFile_t) when the storage is packed or the
// path names a ".cdf" file; ".cda" files are refused. A handle's owner is the storage on
// which OpenFile was called. Main thread only, except reads, seeks and sizes of open
// handles.
class FileStg_t : public Stg_t {
public:
    // A root (no parent) named by its normalised path, on `nativePath` (by default the
    // name with '/' separators); a sub-storage on the parent's native path and `name`
    // unless `nativePath` gives the directory's real name.
    FileStg_t(FileStg_t* parent, const std::string& name, bool packed, const std::string& nativePath = std::string());
    ~FileStg_t() override;

    void Flush() override {}
    Stg_t* OpenPath(const std::vector<std::string>& parts, bool create) override;
    FileDescr_t* OpenFile(const std::string& fileName, bool write) override;
    void CloseFile(FileDescr_t* handle) override;
    void ReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read) override;
    void WriteFile(FileDescr_t* handle, const void* buffer, int count, unsigned* written) override;
    void Seek(FileDescr_t* handle, int origin, int offset, int* position) override;
    int GetFileSize(FileDescr_t* handle) override;
    bool IsFilePresent(const std::string& fileName) override;
    bool IsDirPresent(const std::string& dirName) override;
    void CreateDir(const std::string& dirName) override;
    // Asks Retry or Cancel in a message box while the system refuses; Cancel is error 3.
    void DeleteDir(const std::string& dirName) override;
    void DeleteDirTree() override;
    void DeleteFile(const std::string& fileName) override;
    // `mask` may start with sub-directories ("music\*.ogg"); '*' and '?' match without
    // regard to case, and "*.*" matches every name. Names come in the platform's order.
    void List(const std::string& mask, bool files, bool directories, std::vector<std::string>& out) override;
    Stg_t* OpenStg(const std::string& stgName, bool packed) override;
    void Release() override;
    Stg_t* CreateStg(const std::string& stgName, bool packed) override;
    bool IsInMemory() const override { return false; }

    const std::string& GetNativePath() const { return mNativePath; }

private:
    friend Stg_t* OpenStorage(const char* path, bool packed);

    Stg_t* Walk(const std::vector<std::string>& parts, size_t index, bool create);
    // Native path of a name relative to this storage (either separator), with the letter
    // case of what exists on the disk.
    std::string NativeOf(const std::string& relative) const;
    FileDescr_t* CheckedHandle(FileDescr_t* handle, int operation) const;
    // Deletes one file, asking while the system refuses; `shown` names it in the question
    // and the error.
    void DeleteOneFile(const std::string& native, const std::string& shown);
    void RemoveOneDirectory(const std::string& native, const std::string& errorFile);

    std::string mNativePath;
};

// A root directory storage for `path`: the registered one whose path equals it ignoring
// letter case (its count goes up; `packed` is then ignored), else a new one, after every
// missing directory of the path has been created. Null when that fails. A null or empty
// C string gives a new memory storage named "Mem" instead; the std::string form gives
// null for an empty string. Every root is destroyed by its last Release or at exit.
Stg_t* OpenStorage(const char* path, bool packed);
Stg_t* OpenStorage(const std::string& path, bool packed);

// 1 for a full path naming a packed file (".cdf"), 2 for a refused one (".cda"), else 0.
int GetPackedKind(const std::string& fullPath);
