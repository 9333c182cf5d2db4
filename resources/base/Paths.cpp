#include "resources/base/Paths.h"

#include <mutex>
#include <vector>

#include "platform/Files.h"

namespace Velm {
namespace {

std::mutex gAppDataMutex;
std::string gAppDataFolder;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool HasDrive(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

}  // namespace

void SetAppDataFolder(const std::string& folder) {
    std::string stored = folder;
    if (!stored.empty() && !IsSeparator(stored.back())) stored += '\\';
    std::lock_guard<std::mutex> lock(gAppDataMutex);
    gAppDataFolder = stored;
}

std::string GetAppDataFolder() {
    std::lock_guard<std::mutex> lock(gAppDataMutex);
    return gAppDataFolder;
}

std::string GetFileNamePart(const std::string& path) {
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string GetFileName(const std::string& path, bool noExtension) {
    std::string name = GetFileNamePart(path);
    if (noExtension) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.erase(dot);
    }
    return name;
}

std::string GetFolderPart(const std::string& path, bool withSeparator) {
    size_t sep = LastSeparator(path);
    if (sep == std::string::npos) return std::string();
    return path.substr(0, withSeparator ? sep + 1 : sep);
}

std::string StripTrailingSlash(const std::string& path) {
    if (!path.empty() && IsSeparator(path.back())) return path.substr(0, path.size() - 1);
    return path;
}

std::string AddTrailingSlash(const std::string& path, bool backslash) {
    if (path.empty() || IsSeparator(path.back())) return path;
    return path + (backslash ? '\\' : '/');
}

std::string ResolvePath(const std::string& path, const std::string& base) {
    if (HasDrive(path)) return path;
    const char sep = (path.find('\\') != std::string::npos || base.find('\\') != std::string::npos) ? '\\' : '/';

    std::string drive;
    std::string folder = base;
    if (HasDrive(folder)) {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    if (!folder.empty() && !IsSeparator(folder.back())) folder += sep;

    std::string rest = path;
    while (!folder.empty()) {
        size_t cut = rest.find_first_of("/\\");
        if (cut == std::string::npos) break;
        const std::string segment = rest.substr(0, cut);
        rest.erase(0, cut + 1);
        if (segment == "..") {
            // The last folder name of the base lies between the separator before it and
            // the base's final separator.
            const size_t end = folder.size() - 1;
            const size_t before = end == 0 ? std::string::npos : folder.find_last_of("/\\", end - 1);
            const size_t start = before == std::string::npos ? 0 : before + 1;
            const std::string last = folder.substr(start, end - start);
            if (last == "..") {
                folder += "..";
                folder += sep;
            } else if (!last.empty()) {
                folder.erase(start);
            }
            // An empty name means the base is the root: ".." above it stays there.
        } else if (segment == ".") {
            continue;
        } else if (segment.empty()) {
            folder = std::string(1, sep);
            break;
        } else {
            folder += segment;
            folder += sep;
            break;
        }
    }

    std::string result = drive + folder + rest;
    const char other = sep == '\\' ? '/' : '\\';
    for (char& c : result) {
        if (c == other) c = sep;
    }
    return result;
}

std::string GetCurrentFolder() { return plat::CurrentDirectory(); }

void MakeFolders(const std::string& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if (!IsSeparator(path[i])) continue;
        const std::string prefix = path.substr(0, i);
        // A drive name ("C:") is no folder here; making it would create one named so.
        if (prefix.empty() || (prefix.size() == 2 && prefix[1] == ':')) continue;
        plat::MakeDirectory(prefix);
    }
    if (!path.empty()) plat::MakeDirectory(path);
}

bool DeleteFolderTree(const std::string& folder) {
    if (folder.size() <= 1) return false;
    const std::string prefix = IsSeparator(folder.back()) ? folder : folder + '\\';
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDirectory(prefix, entries)) return false;
    bool ok = true;
    for (const plat::DirEntry& entry : entries) {
        const std::string child = prefix + entry.name;
        if (entry.isDirectory && !entry.isSymlink) {
            ok = DeleteFolderTree(child) && ok;
        } else {
            ok = plat::RemoveFile(child) && ok;
        }
    }
    return plat::RemoveDirectory(folder) && ok;
}

bool FileExists(const std::string& path) { return plat::FileExists(path); }

int GetFileModifiedTime(const std::string& path) { return static_cast<int>(plat::FileModifiedTime(path)); }

bool GrantEveryoneFullAccess(const std::string& path) { return plat::GrantAllUsersAccess(path); }

}  // namespace Velm
