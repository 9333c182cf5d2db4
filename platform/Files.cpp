#include "platform/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

namespace plat {
namespace {

// Sorted listings of folders in which a case-insensitive lookup was needed, keyed by
// the native folder path. A listing is used again only while the folder's modification
// time is unchanged and was already a few seconds old when the listing was read (file
// times are coarse, so a change in the same instant would not show). Our own creates,
// renames and deletes clear the cache as well.
struct Listing {
    timespec folderTime;
    bool trusted;
    std::vector<std::string> names;
};
std::mutex gListingMutex;
std::unordered_map<std::string, Listing> gListings;
std::atomic<bool (*)()> gWriteFault{nullptr};

void InvalidateListings() {
    std::lock_guard<std::mutex> lock(gListingMutex);
    gListings.clear();
}

bool NameExists(const std::string& native) {
    struct stat st;
    return lstat(native.c_str(), &st) == 0;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return true;
}

std::vector<std::string> ReadNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(e->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The entry of `folder` whose name equals `name` ignoring ASCII case; empty when none.
std::string FindNoCase(const std::string& folder, const std::string& name) {
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::string();
    std::lock_guard<std::mutex> lock(gListingMutex);
    auto it = gListings.find(folder);
    const bool fresh = it != gListings.end() && it->second.trusted &&
                       it->second.folderTime.tv_sec == st.st_mtim.tv_sec &&
                       it->second.folderTime.tv_nsec == st.st_mtim.tv_nsec;
    if (!fresh) {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        Listing listing{st.st_mtim, now.tv_sec - st.st_mtim.tv_sec > 2, ReadNames(folder)};
        it = gListings.insert_or_assign(folder, std::move(listing)).first;
    }
    for (const std::string& entry : it->second.names) {
        if (EqualNoCase(entry, name)) return entry;
    }
    return std::string();
}

std::string ErrnoText(int err) { return std::strerror(err); }

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// fopencookie back-end of text-mode reads: the raw file is read binary and every CR
// byte is dropped. Seeks go to the raw file, so offsets are raw byte offsets, as with
// the Windows runtime's text mode.
ssize_t TextRead(void* cookie, char* buf, size_t size) {
    FILE* raw = static_cast<FILE*>(cookie);
    for (;;) {
        size_t got = std::fread(buf, 1, size, raw);
        if (got == 0) return std::ferror(raw) ? -1 : 0;
        size_t kept = 0;
        for (size_t i = 0; i < got; ++i) {
            if (buf[i] != '\r') buf[kept++] = buf[i];
        }
        // A chunk of nothing but CRs must not read as end of file.
        if (kept > 0) return static_cast<ssize_t>(kept);
    }
}

int TextSeek(void* cookie, off64_t* pos, int whence) {
    FILE* raw = static_cast<FILE*>(cookie);
    if (fseeko(raw, static_cast<off_t>(*pos), whence) != 0) return -1;
    *pos = ftello(raw);
    return 0;
}

int TextClose(void* cookie) { return std::fclose(static_cast<FILE*>(cookie)); }

bool IsTextRead(const char* mode) {
    if (mode[0] != 'r') return false;
    for (const char* m = mode + 1; *m; ++m) {
        if (*m == 'b' || *m == '+') return false;
    }
    return true;
}

bool WritesOrCreates(const char* mode) { return mode[0] == 'w' || mode[0] == 'a' || std::strchr(mode, '+') != nullptr; }

// fopen, refusing folders as the Windows runtime does (glibc opens them for reading).
FILE* OpenNotFolder(const std::string& native, const char* mode) {
    FILE* f = std::fopen(native.c_str(), mode);
    struct stat st;
    if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        errno = EISDIR;
        return nullptr;
    }
    return f;
}

std::string ParentOf(const std::string& native) {
    size_t slash = native.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return native.substr(0, slash);
}

}  // namespace

std::string NativePath(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty() || NameExists(p)) return p;

    const bool absolute = p.front() == '/';
    const bool trailing = p.back() == '/';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        size_t slash = p.find('/', start);
        if (slash == std::string::npos) slash = p.size();
        if (slash > start) parts.push_back(p.substr(start, slash - start));
        start = slash + 1;
    }

    std::string result = absolute ? "/" : "";
    bool parentExists = true;  // once a component is missing, nothing below it can exist
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string candidate = result + part;
        if (parentExists && !NameExists(candidate)) {
            std::string found;
            if (part != "." && part != "..") found = FindNoCase(result.empty() ? "." : result, part);
            if (found.empty()) {
                parentExists = false;
            } else {
                candidate = result + found;
            }
        }
        result = candidate;
        if (i + 1 < parts.size() || trailing) result += '/';
    }
    return result;
}

FILE* OpenFile(const std::string& path, const char* mode) {
    if (!mode || !mode[0]) return nullptr;
    std::string cleanMode;
    for (const char* m = mode; *m; ++m) {
        if (*m != 't') cleanMode += *m;
    }
    const std::string native = NativePath(path);
    if (IsTextRead(mode)) {
        FILE* raw = OpenNotFolder(native, "rb");
        if (!raw) return nullptr;
        cookie_io_functions_t io = {};
        io.read = TextRead;
        io.seek = TextSeek;
        io.close = TextClose;
        FILE* text = fopencookie(raw, "r", io);
        if (!text) std::fclose(raw);
        return text;
    }
    FILE* f = OpenNotFolder(native, cleanMode.c_str());
    if (f && WritesOrCreates(mode)) InvalidateListings();
    return f;
}

bool WriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error) {
    const std::string native = NativePath(path);
    if (native.empty() || native.back() == '/') {
        SetError(error, "cannot write '" + path + "': not a file name");
        return false;
    }
    struct stat old;
    const bool hadOld = stat(native.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) {
        SetError(error, "cannot write '" + path + "': it is a folder");
        return false;
    }

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = native + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        SetError(error, "cannot create a temporary file for '" + path + "': " + ErrnoText(errno));
        return false;
    }
    auto fail = [&](const std::string& what, int err) {
        if (fd >= 0) close(fd);
        unlink(temp.c_str());
        SetError(error, what + " '" + path + "': " + ErrnoText(err));
        return false;
    };
    if (hadOld) fchmod(fd, old.st_mode & 07777);

    const char* bytes = static_cast<const char*>(data);
    const size_t faultAt = size / 2;
    bool faultChecked = false;
    size_t done = 0;
    while (done < size || !faultChecked) {
        if (!faultChecked && done >= faultAt) {
            faultChecked = true;
            bool (*hook)() = gWriteFault.load();
            if (hook && !hook()) return fail("simulated failure writing", EIO);
            continue;
        }
        size_t limit = faultChecked ? size : faultAt;
        ssize_t n = write(fd, bytes + done, limit - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("cannot write", errno);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) return fail("cannot flush", errno);
    int closeResult = close(fd);
    fd = -1;
    if (closeResult != 0) return fail("cannot close", errno);
    if (rename(temp.c_str(), native.c_str()) != 0) return fail("cannot replace", errno);

    // Make the rename itself durable; failure here does not undo a complete write.
    int dirFd = open(ParentOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    InvalidateListings();
    return true;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    FILE* f = std::fopen(NativePath(path).c_str(), "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, f);
        out.insert(out.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>& out) {
    out.clear();
    std::string native = NativePath(path);
    if (native.empty()) native = ".";
    DIR* dir = opendir(native.c_str());
    if (!dir) return false;
    std::string prefix = native.back() == '/' ? native : native + '/';
    while (dirent* e = readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const std::string full = prefix + e->d_name;
        unsigned char type = e->d_type;
        struct stat st;
        if (type == DT_UNKNOWN && lstat(full.c_str(), &st) == 0) {
            // Some file systems do not fill in the type.
            type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
        }
        bool isDir = type == DT_DIR;
        if (type == DT_LNK) isDir = stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        out.push_back(DirEntry{e->d_name, isDir, type == DT_LNK});
    }
    closedir(dir);
    // Sorted so that every walk over a folder is the same on every machine.
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return true;
}

bool MakeDirectory(const std::string& path) {
    const std::string native = NativePath(path);
    if (native.empty()) return false;
    if (mkdir(native.c_str(), 0777) == 0) {
        InvalidateListings();
        return true;
    }
    struct stat st;
    return errno == EEXIST && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) {
    bool ok = unlink(NativePath(path).c_str()) == 0;
    if (ok) InvalidateListings();
    return ok;
}

bool RemoveDirectory(const std::string& path) {
    bool ok = rmdir(NativePath(path).c_str()) == 0;
    if (ok) InvalidateListings();
    return ok;
}

bool RenameFile(const std::string& from, const std::string& to) {
    bool ok = rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
    if (ok) InvalidateListings();
    return ok;
}

int64_t FileModifiedTime(const std::string& path) {
    struct stat st;
    if (stat(NativePath(path).c_str(), &st) != 0) return 0;
    return static_cast<int64_t>(st.st_mtime);
}

int64_t FileSize(const std::string& path) {
    struct stat st;
    if (stat(NativePath(path).c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::string CurrentDirectory() {
    std::vector<char> buf(256);
    for (;;) {
        if (getcwd(buf.data(), buf.size())) return std::string(buf.data());
        if (errno != ERANGE) return std::string();
        buf.resize(buf.size() * 2);
    }
}

bool GrantAllUsersAccess(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    mode |= S_ISDIR(st.st_mode) ? 0777 : 0666;
    return chmod(native.c_str(), mode) == 0;
}

void SetAtomicWriteFaultForTests(bool (*hook)()) { gWriteFault.store(hook); }

}  // namespace plat
