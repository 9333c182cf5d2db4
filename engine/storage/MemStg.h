#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/storage/Stg.h"

// A storage held entirely in memory: a tree of sub-storages and files whose contents are
// owned memory bodies. A file's handle is the file itself: opening returns the same
// object each time and closing only marks its body closed, so contents survive closing
// and a tree can be written, closed and read back. A root is made by OpenStorage with an
// empty path, named "Mem", neither registered nor counted; Release destroys it at once.
//
// Sub-storage names are compared byte for byte (both sides are normalised), file names
// without letter case. Every error carries this storage's name and operation 13. One
// thread at a time.
class MemStg_t : public Stg_t {
public:
    MemStg_t(MemStg_t* parent, const std::string& name);
    ~MemStg_t() override;

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
    void DeleteDir(const std::string& dirName) override;
    void DeleteDirTree() override {}
    void DeleteFile(const std::string& fileName) override;
    // Masks: '?' any one character, '#' one digit, '*' any run; "*.*" is every name.
    // Directories come first (in the order they were made), then files.
    void List(const std::string& mask, bool files, bool directories, std::vector<std::string>& out) override;
    Stg_t* OpenStg(const std::string& stgName, bool packed) override;
    void Release() override;
    Stg_t* CreateStg(const std::string& stgName, bool packed) override;
    bool IsInMemory() const override { return true; }

private:
    Stg_t* Walk(const std::vector<std::string>& parts, size_t index, bool create);
    FileDescr_t* FindFile(const std::string& ownName) const;
    // The storage holding `normal` and the last part of it.
    MemStg_t* DirectoryOf(const std::string& normal, std::string& own, bool create);

    std::vector<std::unique_ptr<FileDescr_t>> mFiles;  // in creation order
};

// Lower-cases the mask when asked, then drops every '?' followed by '*', every '*'
// followed by '?' or '*', and every '@' followed by '@' (judged on the text before any
// removal): "*?" becomes "?", "?*" and "**" become "*".
void SimplifyMask(std::string& mask, bool lowerCase);
// Whole-name match: '?' any one character, '#' a digit '0'..'9', '*' the shortest run
// after which the rest matches; other bytes must be equal.
bool MatchMask(const char* name, const char* mask);
// The matching behind MemStg_t::List on one directory's children and files.
void ListMemoryStorage(const std::vector<Stg_t*>& children, const std::vector<std::unique_ptr<FileDescr_t>>& files,
                       const std::string& mask, bool wantFiles, bool wantDirectories, std::vector<std::string>& out);
