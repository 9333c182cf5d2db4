#pragma once

#include <string>
#include <vector>

#include "engine/storage/FileDescr.h"
#include "engine/storage/StgError.h"

// A storage: one directory and everything below it, reached by relative names (either
// separator, any letter case). A sub-directory opened through a storage is a storage of
// its own (a sub-storage), owned by the storage it was opened through. FileStg_t works on
// a directory of the disk, MemStg_t on a tree held in memory; code written against Stg_t
// works on either. Every failure is thrown as errStg_e; only the presence tests answer
// false instead.
//
// Storages are not locked: opening, listing, creating and deleting belong to one thread
// (the main thread); another thread may read, seek and size handles already open.
class Stg_t {
public:
    Stg_t(Stg_t* parentStg, const std::string& stgName, bool packed);
    // Destroys every sub-storage and tells the parent to forget this one.
    virtual ~Stg_t();
    Stg_t(const Stg_t&) = delete;
    Stg_t& operator=(const Stg_t&) = delete;

    virtual void Flush() = 0;
    // Walks the sub-storages named by `parts` from this one and returns the last; this
    // storage for no parts. A missing directory is created with `create`, else an error.
    virtual Stg_t* OpenPath(const std::vector<std::string>& parts, bool create) = 0;
    // Drops the first sub-storage whose name equals `childName` byte for byte from the
    // children list, without destroying it.
    virtual void ForgetChild(const std::string& childName);
    // Opens a file for reading (it must exist) or writing (created or truncated; missing
    // directories on the way are created).
    virtual FileDescr_t* OpenFile(const std::string& fileName, bool write) = 0;
    virtual void CloseFile(FileDescr_t* handle) = 0;
    virtual void ReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read) = 0;
    virtual void WriteFile(FileDescr_t* handle, const void* buffer, int count, unsigned* written) = 0;
    // Origin 0 from the start, 1 from the current position, 2 from the end.
    virtual void Seek(FileDescr_t* handle, int origin, int offset, int* position) = 0;
    // Bytes of the file (of the unpacked content for a packed file).
    virtual int GetFileSize(FileDescr_t* handle) = 0;
    virtual bool IsFilePresent(const std::string& fileName) = 0;
    virtual bool IsDirPresent(const std::string& dirName) = 0;
    // Creates the directory and every missing one on its way.
    virtual void CreateDir(const std::string& dirName) = 0;
    virtual void DeleteDir(const std::string& dirName) = 0;
    // Deletes everything inside this storage's directory.
    virtual void DeleteDirTree() = 0;
    virtual void DeleteFile(const std::string& fileName) = 0;
    // Appends the lower-cased names of the entries matching `mask`.
    virtual void List(const std::string& mask, bool files, bool directories, std::vector<std::string>& out) = 0;
    virtual Stg_t* OpenStg(const std::string& stgName, bool packed) = 0;
    // Ends one use of a root storage; a sub-storage lives as long as its parent.
    virtual void Release() = 0;
    virtual Stg_t* CreateStg(const std::string& stgName, bool packed) = 0;

    virtual void CopyFileTo(Stg_t* target, const std::string& targetName, const std::string& sourceName);
    // Copies every file and sub-directory recursively, except sub-directories named
    // `excluded` (any letter case; empty excludes nothing).
    virtual void CopyTreeTo(Stg_t* target, const std::string& excluded = std::string());
    // As CopyTreeTo, but an item that already exists at the top level of the target is an
    // error (code 20 for a file, 21 for a directory).
    virtual void CopyTreeToNew(Stg_t* target);
    virtual bool IsInMemory() const = 0;

    // For a root its normalised path ("Mem" for a memory root); for a sub-storage the
    // parent's path, '\' and its name. This text is the storage's key, not a disk path.
    const std::string& GetPath() const { return mPath; }
    const std::string& GetName() const { return mName; }
    Stg_t* GetParent() const { return mParent; }
    bool IsPacked() const { return mPacked; }
    void SetPacked(bool packed) { mPacked = packed; }
    int GetRefCount() const { return mRefCount; }

protected:
    // The sub-storage with this exact (normalised) name, or null.
    Stg_t* FindChild(const std::string& childName) const;
    // Takes a sub-storage out of the children list after its directory was deleted.
    // Whoever still holds it may keep using it (its operations then fail like those of
    // any missing directory); it is destroyed with this storage.
    void RetireChild(const std::string& childName);
    void RetireAllChildren();

    bool mPacked;
    Stg_t* mParent;
    std::vector<Stg_t*> mChildren;  // owned, in the order first opened
    std::string mPath;
    std::string mName;
    int mRefCount = 0;

private:
    // Removes this exact object from the owned lists without destroying it.
    void DetachChild(Stg_t* child);

    std::vector<Stg_t*> mRetired;  // owned: forgotten sub-storages
};

// True for the same object, and for two directory storages whose paths are equal
// ignoring letter case; two memory storages are never the same.
bool IsSameStorage(Stg_t* a, Stg_t* b);
