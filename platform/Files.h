#pragma once

// Files and folders for the whole program. Paths are the program's own: either
// separator ('\' or '/') may be used, and a component that does not exist with the
// given case is found case-insensitively, as the program was written for a file
// system that ignores case. Every function is safe to call from any thread.
//
// The program never changes its current directory after start-up, so relative
// paths are stable.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plat {

// Maps a program path to the native one: '\' becomes '/', and a component that does not
// exist is looked up case-insensitively in its parent folder (listings cached, cache
// invalidated by our own writes/creates/deletes). Returns the best native path (the mapped
// one even when nothing exists).
std::string NativePath(const std::string& path);

// fopen through NativePath. Modes as the C runtime: "r"/"rt" are text reads that drop
// every CR byte (as the Windows runtime does); "rb" binary; "w","wb","a","ab","r+b"... pass
// through ('t' is removed).
FILE* OpenFile(const std::string& path, const char* mode);

// Writes the whole file or nothing: temp file in the same folder, write, flush+fsync, rename.
// On failure returns false, leaves any previous file intact, and puts a reason in *error.
// A file that already exists keeps its permission bits.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error = nullptr);

// Reads a whole file (binary). False when it cannot be opened/read.
bool ReadFile(const std::string& path, std::vector<uint8_t>& out);

bool FileExists(const std::string& path);  // file or folder
bool IsDirectory(const std::string& path);

struct DirEntry {
    std::string name;
    bool isDirectory;        // a folder, or a symbolic link to one
    bool isSymlink = false;  // the entry itself is a symbolic link
};
// Entries of a folder without "." and "..", sorted by name; false when it cannot be listed.
bool ListDirectory(const std::string& path, std::vector<DirEntry>& out);

bool MakeDirectory(const std::string& path);  // one level; true if created or already a folder
bool RemoveFile(const std::string& path);
bool RemoveDirectory(const std::string& path);  // empty folder
// Replaces an existing target, as POSIX rename does.
bool RenameFile(const std::string& from, const std::string& to);
int64_t FileModifiedTime(const std::string& path);  // seconds since 1970 UTC, 0 when not found
int64_t FileSize(const std::string& path);          // -1 when not found
std::string CurrentDirectory();

// Lets every user of the machine read and write the file or folder (folders also get
// search permission). False when the mode cannot be changed.
bool GrantAllUsersAccess(const std::string& path);

// Test hook: WriteFileAtomic calls it once after about half of the data has gone into the
// temporary file. Returning false makes the write fail there, as a full disk would; the
// hook may also end the process to stand for a crash. nullptr removes it.
void SetAtomicWriteFaultForTests(bool (*hook)());

}  // namespace plat
