#include "engine/storage/MemStg.h"

#include "engine/storage/MemBuffer.h"
#include "engine/storage/StgPath.h"

#include <cctype>

namespace {

std::string Normalized(const std::string& name) {
    std::string normal = name;
    NormalizeStgPath(normal);
    return normal;
}

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

MemStg_t::MemStg_t(MemStg_t* parent, const std::string& name) : Stg_t(parent, name, false) {}

MemStg_t::~MemStg_t() { mFiles.clear(); }

Stg_t* MemStg_t::OpenPath(const std::vector<std::string>& parts, bool create) { return Walk(parts, 0, create); }

Stg_t* MemStg_t::Walk(const std::vector<std::string>& parts, size_t index, bool create) {
    if (index >= parts.size()) return this;
    const std::string& part = parts[index];
    if (Stg_t* child = FindChild(part)) return static_cast<MemStg_t*>(child)->Walk(parts, index + 1, create);
    if (!create) throw errStg_e(mName, part, 3, 13);
    MemStg_t* child = new MemStg_t(this, part);
    mChildren.push_back(child);
    return child->Walk(parts, index + 1, create);
}

FileDescr_t* MemStg_t::FindFile(const std::string& ownName) const {
    for (const std::unique_ptr<FileDescr_t>& file : mFiles) {
        if (StgNamesEqual(file->name, ownName)) return file.get();
    }
    return nullptr;
}

MemStg_t* MemStg_t::DirectoryOf(const std::string& normal, std::string& own, bool create) {
    std::vector<std::string> parts = SplitStgPath(normal, &own);
    return static_cast<MemStg_t*>(OpenPath(parts, create));
}

FileDescr_t* MemStg_t::OpenFile(const std::string& fileName, bool write) {
    if (fileName.empty()) throw errStg_e(mName, "", 2, 13);
    std::string own;
    std::vector<std::string> parts = SplitStgPath(Normalized(fileName), &own);
    if (own.empty()) throw errStg_e(mName, fileName, 2, 13);
    MemStg_t* directory = static_cast<MemStg_t*>(OpenPath(parts, write));
    if (FileDescr_t* file = directory->FindFile(own)) {
        if (file->memory->open) throw errStg_e(mName, fileName, 10, 13);
        file->memory->open = true;
        file->memory->position = 0;
        return file;
    }
    if (!write) throw errStg_e(mName, fileName, 10, 13);
    FileDescr_t* file = NewMemFileDescr(nullptr, 0, true);
    file->owner = directory;
    file->name = own;
    file->writable = true;
    directory->mFiles.emplace_back(file);
    return file;
}

void MemStg_t::CloseFile(FileDescr_t* handle) {
    if (!handle) throw errStg_e(mName, "", 2, 13);
    if (handle->memory) handle->memory->open = false;
}

void MemStg_t::ReadFile(FileDescr_t* handle, void* buffer, int count, unsigned* read) {
    if (!handle || !handle->memory) throw errStg_e(mName, "", 2, 13);
    handle->memory->Read(buffer, count < 0 ? 0u : static_cast<unsigned>(count), read);
}

void MemStg_t::WriteFile(FileDescr_t* handle, const void* buffer, int count, unsigned* written) {
    if (!handle || !handle->memory) throw errStg_e(mName, "", 2, 13);
    if (!handle->writable) throw errStg_e(mName, "", 6, 13);
    handle->memory->Write(buffer, count < 0 ? 0u : static_cast<unsigned>(count), written);
}

void MemStg_t::Seek(FileDescr_t* handle, int origin, int offset, int* position) {
    if (!handle || !handle->memory) throw errStg_e(mName, "", 2, 13);
    handle->memory->Seek(origin, offset, position);
}

int MemStg_t::GetFileSize(FileDescr_t* handle) {
    if (!handle || !handle->memory) throw errStg_e(mName, "", 2, 13);
    return static_cast<int>(handle->memory->size);
}

bool MemStg_t::IsFilePresent(const std::string& fileName) {
    if (fileName.empty()) throw errStg_e(mName, "", 2, 13);
    std::string own;
    std::vector<std::string> parts = SplitStgPath(Normalized(fileName), &own);
    if (own.empty()) throw errStg_e(mName, fileName, 2, 13);
    try {
        MemStg_t* directory = static_cast<MemStg_t*>(OpenPath(parts, false));
        return directory->FindFile(own) != nullptr;
    } catch (const errStg_e&) {
        return false;
    }
}

bool MemStg_t::IsDirPresent(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mName, "", 2, 13);
    try {
        OpenPath(SplitStgPath(Normalized(dirName)), false);
        return true;
    } catch (const errStg_e&) {
        return false;
    }
}

void MemStg_t::CreateDir(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mName, "", 2, 13);
    if (IsDirPresent(dirName)) return;
    OpenPath(SplitStgPath(Normalized(dirName)), true);
}

Stg_t* MemStg_t::OpenStg(const std::string& stgName, bool /*packed*/) {
    if (stgName.empty()) throw errStg_e(mName, "", 2, 13);
    return OpenPath(SplitStgPath(Normalized(stgName)), false);
}

Stg_t* MemStg_t::CreateStg(const std::string& stgName, bool /*packed*/) {
    if (stgName.empty()) throw errStg_e(mName, "", 2, 13);
    return OpenPath(SplitStgPath(Normalized(stgName)), true);
}

void MemStg_t::DeleteDir(const std::string& dirName) {
    if (dirName.empty()) throw errStg_e(mName, dirName, 2, 13);
    std::string last;
    MemStg_t* holder = DirectoryOf(Normalized(dirName), last, false);
    // Taken out of the tree; a caller still holding it keeps a usable object until this
    // storage is destroyed.
    holder->RetireChild(last);
}

void MemStg_t::DeleteFile(const std::string& fileName) {
    if (fileName.empty()) throw errStg_e(mName, "", 2, 13);
    std::string own;
    std::string normal = Normalized(fileName);
    std::vector<std::string> parts = SplitStgPath(normal, &own);
    if (own.empty()) throw errStg_e(mName, fileName, 2, 13);
    MemStg_t* directory = static_cast<MemStg_t*>(OpenPath(parts, false));
    for (auto it = directory->mFiles.begin(); it != directory->mFiles.end(); ++it) {
        if (StgNamesEqual((*it)->name, own)) {
            directory->mFiles.erase(it);
            return;
        }
    }
}

void MemStg_t::List(const std::string& mask, bool files, bool directories, std::vector<std::string>& out) {
    std::string last;
    MemStg_t* directory = DirectoryOf(Normalized(mask), last, false);
    ListMemoryStorage(directory->mChildren, directory->mFiles, last, files, directories, out);
}

void MemStg_t::Release() {
    if (mParent) return;
    delete this;
}

void SimplifyMask(std::string& mask, bool lowerCase) {
    if (lowerCase) mask = Lowered(mask);
    std::string simple;
    simple.reserve(mask.size());
    for (size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (c == '?' && next == '*') continue;
        if (c == '*' && (next == '?' || next == '*')) continue;
        if (c == '@' && next == '@') continue;
        simple += c;
    }
    mask = simple;
}

bool MatchMask(const char* name, const char* mask) {
    for (;;) {
        char m = *mask;
        if (m == '*') {
            ++mask;
            if (*mask == '\0') return true;
            for (const char* rest = name;; ++rest) {
                if (MatchMask(rest, mask)) return true;
                if (*rest == '\0') return false;
            }
        }
        char c = *name;
        if (m == '?') {
            if (c == '\0') return false;
        } else if (m == '#') {
            if (c < '0' || c > '9') return false;
        } else if (m != c) {
            return false;
        }
        if (m == '\0') return true;
        ++mask;
        ++name;
    }
}

void ListMemoryStorage(const std::vector<Stg_t*>& children, const std::vector<std::unique_ptr<FileDescr_t>>& files,
                       const std::string& mask, bool wantFiles, bool wantDirectories, std::vector<std::string>& out) {
    std::string simple = mask;
    if (simple == "*.*") {
        simple = "*";
    } else {
        SimplifyMask(simple, true);
    }
    auto matches = [&simple](const std::string& name) {
        if (name.empty()) return false;
        return simple.empty() || MatchMask(name.c_str(), simple.c_str());
    };
    if (wantDirectories) {
        for (Stg_t* child : children) {
            if (matches(child->GetName())) out.push_back(Lowered(child->GetName()));
        }
    }
    if (wantFiles) {
        for (const std::unique_ptr<FileDescr_t>& file : files) {
            if (matches(file->name)) out.push_back(Lowered(file->name));
        }
    }
}
