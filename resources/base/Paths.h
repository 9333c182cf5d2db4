#pragma once

// Path text functions and the disk operations built on them, for every part of the
// program that names files: the resource manifest, the sound cache, profiles and scores.
// Paths are the program's own byte strings; '/' and '\' both separate folders, and the
// last separator of a path is the later of the two. The disk functions go to the disk
// directly, never into the resource pack.

#include <string>

namespace Velm {

// The per-user data folder: empty until set; when set it ends in a separator ('\' is
// appended when the given text ends in neither). Safe to read from any thread.
void SetAppDataFolder(const std::string& folder);
std::string GetAppDataFolder();

// The text after the last separator (the whole path when there is none).
std::string GetFileNamePart(const std::string& path);
// As GetFileNamePart; with `noExtension`, also without the last '.' and what follows it
// (a '.' in a folder name does not count).
std::string GetFileName(const std::string& path, bool noExtension);
// The text up to the last separator, with that separator when asked; "" without one.
std::string GetFolderPart(const std::string& path, bool withSeparator);
// Without one final separator.
std::string StripTrailingSlash(const std::string& path);
// With '\' (backslash true) or '/' appended unless it already ends in a separator; ""
// stays "".
std::string AddTrailingSlash(const std::string& path, bool backslash);
// `path` made absolute against the folder `base`: "." and ".." segments at its start are
// folded into the base, a leading separator keeps only the base's drive, and a path with
// a drive ("D:...") is returned as it is. The result uses '\' when either input did, else
// '/', throughout.
std::string ResolvePath(const std::string& path, const std::string& base);
// The process's current folder.
std::string GetCurrentFolder();

// Creates every folder along the path, ignoring failures (folders that exist, drive names).
void MakeFolders(const std::string& path);
// Deletes the folder and everything in it; true only when every deletion succeeded. A
// symbolic link inside is removed itself, never followed.
bool DeleteFolderTree(const std::string& folder);
// A file or a folder exists at the path.
bool FileExists(const std::string& path);
// Last modification in seconds since 1970-01-01 00:00 UTC; 0 when not found.
int GetFileModifiedTime(const std::string& path);
// Opens the file or folder to every user of the machine (read and write for all; folders
// also searchable), so that players sharing the machine share profiles and scores.
bool GrantEveryoneFullAccess(const std::string& path);

}  // namespace Velm
