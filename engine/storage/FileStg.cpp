#include "engine/storage/FileStg.h"

#include "engine/storage/MemStg.h"
#include "engine/storage/PackFile.h"
#include "engine/storage/StgPath.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

#include <cctype>

namespace {

// The roots opened through OpenStorage, in opening order, each once. Emptied at exit,
// whatever the counts.
struct Registry {
    std::vector<FileStg_t*> roots;
    ~Registry() {
        while (!roots.empty()) {
            FileStg_t* root = roots.front();
            roots.erase(roots.begin());
            delete root;
        }
    }
};

Registry& GetRegistry() {
    static Registry registry;
    return registry;
}

// Asks whether to try a refused deletion again: Retry and Cancel, Cancel being the default
// so that a run without a user gives up instead of asking for ever.
bool AskRetry(const std::string& item, const std::string& caption) {
    return plat::ShowMessageBox(item, caption, plat::kMbRetryCancel | plat::kMbDefButton2) == plat::kIdRetry;
}

std::string WithSlashes(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Creates every missing directory of a '/'-separated native path, from its start. Empty
// and "." components are the folder itself. False when a component cannot be made (it is
// a file, or the system refuses).
bool MakeDirectoryChain(const std::string& native) {
    size_t end = native.find('/', 1);
    for (;;) {
        std::string prefix = native.substr(0, end);
        size_t slash = prefix.rfind('/');
        std::string last = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
        if (!last.empty() && last != "." && last != "..") {
            std::string resolved = plat::NativePath(prefix);
            if (!plat::IsDirectory(resolved) && !plat::MakeDirectory(resolved)) return false;
        }
        if (end == std::string::npos) return true;
        end = native.find('/', end + 1);
    }
}

// Wildcards of a directory listing: '*' any run, '?' one character, letters without
// case; a ".*" that ends the pattern also matches a name without extension, so "*.*"
// matches every name.
bool MatchListPattern(const char* name, const char* pattern) {
    for (;;) {
        char p = *pattern;
        if (p == '*') {
            while (*pattern == '*') ++pattern;
            for (;;) {
                if (MatchListPattern(name, pattern)) return true;
                if (!*name) return false;
                ++name;
            }
        }
        if (p == '\0') return *name == '\0';
        if (p == '.' && pattern[1] == '*' && pattern[2] == '\0' && *name == '\0') return true;
        if (*name == '\0') return false;
        if (p != '?' &&
            std::tolower(static_cast<unsigned char>(p)) != std::tolower(static_cast<unsigned char>(*name))) {
            return false;
        }
        ++pattern;
        ++name;
    }
}

}  // namespace

int GetPackedKind(const std::string& fullPath) {
    if (fullPath.find(".cdf") != std::string::npos) return 1;
    if (fullPath.find(".cda") != std::string::npos) return 2;
    return 0;
}

FileStg_t::FileStg_t(FileStg_t* parent, const std::string& name, bool packed, const std::string& nativePath)
        : Stg_t(parent, name, packed) {
    if (!nativePath.empty()) {
        mNativePath = nativePath;
    } else if (parent) {
        mNativePath = parent->mNativePath + "/" + name;
    } else {
        mNativePath = WithSlashes(name);
    }
}

FileStg_t::~FileStg_t() = default;

std::string FileStg_t::NativeOf(const std::string& relative) const {
    return plat::NativePath(mNativePath + "/" + WithSlashes(relative));
}

Stg_t* FileStg_t::OpenPath(const std::vector<std::string>& parts, bool create) { return Walk(parts, 0, create); }

Stg_t* FileStg_t::Walk(const std::vector<std::string>& parts, size_t index, bool create) {
    if (index >= parts.size()) return this;
    const std::string& part = parts[index];
    if (Stg_t* child = FindChild(part)) return static_cast<FileStg_t*>(child)->Walk(parts, index + 1, create);
    std::string native = part.empty() ? std::string() : NativeOf(part);
    bool present = !native.empty() && (plat::IsDirectory(native) || (create && plat::MakeDirectory(native)));
    if (!present) throw errStg_e(mPath, part, 3, 13);
    FileStg_t* child = new FileStg_t(this, part, mPacked, native);
    mChildren.push_back(child);
    return child->Walk(parts, index + 1, create);
}

FileDescr_t* FileStg_t::OpenFile(const std::string& fileName, bool write) {
    const int operation = write ? 6 : 5;
    if (fileName.empty()) throw errStg_e(mPath, "", 2, operation);
    std::string normal = fileName;
    NormalizeStgPath(normal);
    std::string own;
    std::vector<std::string> parts = SplitStgPath(normal, &own);
    if (own.empty()) throw errStg_e(mPath, fileName, 2, operation);
    FileStg_t* directory = static_cast<FileStg_t*>(OpenPath(parts, write));

    // A refused kind is refused before the file is touched, so that opening it for
    // writing does not empty it first.
    int packedKind = GetPackedKind(directory->mPath + "\\" + own);
    if (packedKind == 2) throw errStg_e(mPath, fileName, 22, 13);

    std::string native = directory->NativeOf(own);
    FILE* file = nullptr;
    if (write) {
        file = plat::OpenFile(native, "wb");
        // A file that refuses to be written over (read-only) is replaced.
        if (!file && plat::FileExists(native) && !plat::IsDirectory(native) && plat::RemoveFile(native)) {
            file = plat::OpenFile(native, "wb");
        }
    } else if (!plat::IsDirectory(native)) {
        file = plat::OpenFile(native, "rb");
    }
    if (!file) throw errStg_e(mPath, fileName, 2, operation);

    FileDescr_t* handle = new FileDescr_t(this, own, write);
    if (mPacked || packedKind == 1) {
        handle->pack = new PackFile_t(file, write);
        handle->kind = 1;
    } else {
        handle->file = file;
        handle->kind = 0;
    }
    return handle;
}

FileDescr_t* FileStg_t::CheckedHandle(FileDescr_t* handle, int operation) const {
    if (!handle) throw errStg_e(mPath, "", 2, operation);
    bool bodyPresent = handle->kind == 0 ? handle->file != nullptr : handle->kind == 1 && handle->pack != nullptr;
    if (!bodyPresent) throw errStg_e(mPath, handle->name, 22, 13);
    return handle;
}

void FileStg_t::CloseFile(FileDescr_t* handle) {
    if (!handle) throw errStg_e(mPath, "", 2, 7);
    bool written = true;
    if (handle->pack) {
        written = handle->pack->Finish();
        delete handle->pack;
        handle->pack = nullptr;
    }
    if (handle->file) {
        written = std::fclose(handle->file) == 0;
        handle->file = nullptr;
    }
    std::string fileName = handle->name;
    bool writable = handle->writable;
    delete handle;
    // Data that could not reach the disk is reported, not lost in silence.
    if (writable && !written) throw errStg_e(mPath, fileName, 16, 13);
}

void FileStg_t::ReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read) {
    CheckedHandle(handle, 8);
    if (count < 0) throw errStg_e(mPath, handle->name, 15, 13);
    if (handle->kind == 1) {
        if (handle->pack->Read(buffer, static_cast<unsigned>(count), read) != 0) {
            throw errStg_e(mPath, handle->name, 15, 13);
        }
        return;
    }
    size_t n = std::fread(buffer, 1, static_cast<size_t>(count), handle->file);
    if (std::ferror(handle->file)) {
        std::clearerr(handle->file);
        throw errStg_e(mPath, handle->name, 15, 13);
    }
    if (read) *read = static_cast<unsigned>(n);
}

void FileStg_t::WriteFile(FileDescr_t* handle, const void* buffer, int count, unsigned* written) {
    CheckedHandle(handle, 9);
    if (!handle->writable) throw errStg_e(mPath, "", 6, 13);
    if (count < 0) throw errStg_e(mPath, handle->name, 16, 13);
    if (handle->kind == 1) {
        int n = 0;
        if (handle->pack->Write(buffer, count, &n) != 0) throw errStg_e(mPath, handle->name, 16, 13);
        if (written) *written = static_cast<unsigned>(n);
        return;
    }
    size_t n = std::fwrite(buffer, 1, static_cast<size_t>(count), handle->file);
    if (n != static_cast<size_t>(count)) {
        std::clearerr(handle->file);
        throw errStg_e(mPath, handle->name, 16, 13);
    }
    if (written) *written = static_cast<unsigned>(n);
}

void FileStg_t::Seek(FileDescr_t* handle, int origin, int offset, int* position) {
    CheckedHandle(handle, 2);
    if (handle->kind == 1) {
        unsigned target = 0;
        if (handle->pack->Seek(origin, static_cast<unsigned>(offset), &target) != 0) {
            throw errStg_e(mPath, handle->name, 14, 13);
        }
        if (position) *position = static_cast<int>(target);
        return;
    }
    int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    long target = -1;
    if (std::fseek(handle->file, offset, whence) == 0) target = std::ftell(handle->file);
    if (target < 0) throw errStg_e(mPath, handle->name, 14, 13);
    if (position) *position = static_cast<int>(target);
}

int FileStg_t::GetFileSize(FileDescr_t* handle) {
    CheckedHandle(handle, 3);
    if (handle->kind == 1) {
        // A body being written has no size yet, and a body that failed to open has none.
        if (handle->pack->IsWriting() || handle->pack->HasError()) throw errStg_e(mPath, handle->name, 13, 13);
        return handle->pack->GetUnpackedSize();
    }
    FILE* file = handle->file;
    long size = -1;
    if (!handle->writable || std::fflush(file) == 0) {
        long here = std::ftell(file);
        if (here >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
            size = std::ftell(file);
            if (std::fseek(file, here, SEEK_SET) != 0) size = -1;
        }
    }
    if (size < 0) throw errStg_e(mPath, handle->name, 13, 13);
    return static_cast<int>(size);
}

bool FileStg_t::IsFilePresent(const std::string& fileName) {
    if (fileName.empty()) throw errStg_e(mPath, "", 2, 0);
    std::string normal = fileName;
    NormalizeStgPath(normal);
    std::string native = NativeOf(normal);
    if (plat::IsDirectory(native)) return false;
    FILE* file = plat::OpenFile(native, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool FileStg_t::IsDirPresent(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mPath, "", 2, 1);
    std::string normal = dirName;
    NormalizeStgPath(normal);
    return plat::IsDirectory(NativeOf(normal));
}

void FileStg_t::CreateDir(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mPath, "", 2, 10);
    if (IsDirPresent(dirName)) return;
    std::string normal = dirName;
    NormalizeStgPath(normal);
    bool made = plat::IsDirectory(plat::NativePath(mNativePath));
    if (made) {
        std::string native = mNativePath;
        for (const std::string& part : SplitStgPath(normal)) {
            native += "/" + part;
            std::string resolved = plat::NativePath(native);
            if (part.empty() || (!plat::IsDirectory(resolved) && !plat::MakeDirectory(resolved))) {
                made = false;
                break;
            }
        }
    }
    if (!made) throw errStg_e(mPath, dirName, 3, 13);
}

Stg_t* FileStg_t::OpenStg(const std::string& stgName, bool packed) {
    if (stgName.empty()) throw errStg_e(mPath, "", 2, 4);
    std::string normal = stgName;
    NormalizeStgPath(normal);
    Stg_t* storage = OpenPath(SplitStgPath(normal), false);
    storage->SetPacked(packed);
    return storage;
}

Stg_t* FileStg_t::CreateStg(const std::string& stgName, bool packed) {
    if (stgName.empty()) throw errStg_e(mPath, "", 2, 4);
    std::string normal = stgName;
    NormalizeStgPath(normal);
    Stg_t* storage = OpenPath(SplitStgPath(normal), true);
    storage->SetPacked(packed);
    return storage;
}

void FileStg_t::List(const std::string& mask, bool files, bool directories, std::vector<std::string>& out) {
    std::string normal = mask;
    NormalizeStgPath(normal);
    std::string pattern;
    std::vector<std::string> parts = SplitStgPath(normal, &pattern);
    std::string folder = mNativePath;
    for (const std::string& part : parts) folder += "/" + part;
    std::vector<plat::DirEntry> entries;
    if (pattern.empty() || !plat::ListDirectory(plat::NativePath(folder), entries)) return;
    for (const plat::DirEntry& entry : entries) {
        bool wanted = entry.isDirectory ? directories : files;
        std::string name = Lowered(entry.name);
        if (wanted && MatchListPattern(name.c_str(), pattern.c_str())) out.push_back(name);
    }
}

void FileStg_t::DeleteOneFile(const std::string& native, const std::string& shown) {
    for (;;) {
        if (plat::RemoveFile(native)) return;
        if (!plat::FileExists(native)) throw errStg_e(mPath, shown, 18, 13);
        if (!AskRetry(native, "Cannot delete file")) throw errStg_e(mPath, shown, 18, 13);
    }
}

void FileStg_t::RemoveOneDirectory(const std::string& native, const std::string& errorFile) {
    while (!plat::RemoveDirectory(native)) {
        if (!AskRetry(native, "Cannot delete Directory")) throw errStg_e(mPath, errorFile, 3, 13);
    }
}

void FileStg_t::DeleteFile(const std::string& fileName) {
    if (fileName.empty()) throw errStg_e(mPath, "", 2, 12);
    DeleteOneFile(NativeOf(fileName), fileName);
}

void FileStg_t::DeleteDir(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mPath, dirName, 2, 11);
    std::string normal = dirName;
    NormalizeStgPath(normal);
    if ((mPath + "\\" + normal).find(".svn") != std::string::npos) return;

    // The open sub-storage of that directory is forgotten wherever it hangs in the tree
    // of open sub-storages; nothing on the disk is walked for it.
    std::string last;
    std::vector<std::string> parts = SplitStgPath(normal, &last);
    FileStg_t* holder = this;
    for (const std::string& part : parts) {
        holder = static_cast<FileStg_t*>(holder->FindChild(part));
        if (!holder) break;
    }
    if (holder) holder->RetireChild(last);

    RemoveOneDirectory(NativeOf(normal), dirName);
}

void FileStg_t::DeleteDirTree() {
    if ((mPath + "\\*.*").find(".svn") != std::string::npos) return;
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(plat::NativePath(mNativePath), entries);
    for (const plat::DirEntry& entry : entries) {
        if (entry.isDirectory) continue;
        DeleteOneFile(plat::NativePath(mNativePath + "/" + entry.name), mPath + "\\" + Lowered(entry.name));
    }
    for (const plat::DirEntry& entry : entries) {
        if (!entry.isDirectory) continue;
        Stg_t* sub = OpenStg(Lowered(entry.name), false);
        sub->DeleteDirTree();
        sub->Release();
        RemoveOneDirectory(plat::NativePath(mNativePath + "/" + entry.name), mPath);
    }
    RetireAllChildren();
}

void FileStg_t::Release() {
    if (mParent) return;
    if (--mRefCount > 0) return;
    std::vector<FileStg_t*>& roots = GetRegistry().roots;
    for (auto it = roots.begin(); it != roots.end(); ++it) {
        if (*it == this) {
            roots.erase(it);
            break;
        }
    }
    delete this;
}

Stg_t* OpenStorage(const char* path, bool packed) {
    if (!path || !*path) return new MemStg_t(nullptr, "Mem");
    std::string key = path;
    NormalizeStgPath(key);
    Registry& registry = GetRegistry();
    for (FileStg_t* root : registry.roots) {
        if (StgNamesEqual(root->GetPath(), key)) {
            ++root->mRefCount;
            return root;
        }
    }
    std::string native = WithSlashes(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    if (!MakeDirectoryChain(native)) return nullptr;
    FileStg_t* root = new FileStg_t(nullptr, key, packed, native);
    root->mRefCount = 1;
    registry.roots.push_back(root);
    return root;
}

Stg_t* OpenStorage(const std::string& path, bool packed) {
    if (path.empty()) return nullptr;
    return OpenStorage(path.c_str(), packed);
}
