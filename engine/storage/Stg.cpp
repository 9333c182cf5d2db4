#include "engine/storage/Stg.h"

#include "engine/storage/StgPath.h"

#include <algorithm>
#include <memory>

namespace {

// Closes a handle when an operation fails half-way, so that a memory file is not left
// marked open and a disk file not left locked; errors of that close are dropped, since
// the first error is the one reported.
class HandleGuard {
public:
    explicit HandleGuard(FileDescr_t* handle) : mHandle(handle) {}
    ~HandleGuard() {
        if (!mHandle) return;
        try {
            mHandle->Close();
        } catch (const errStg_e&) {
        }
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    // Closes now, letting an error of the close through.
    void Close() {
        FileDescr_t* handle = mHandle;
        mHandle = nullptr;
        handle->Close();
    }

private:
    FileDescr_t* mHandle;
};

// Releases a sub-storage when the copy of its tree is left by an exception.
struct ReleaseGuard {
    Stg_t* storage;
    ~ReleaseGuard() {
        if (storage) storage->Release();
    }
};

}  // namespace

Stg_t::Stg_t(Stg_t* parentStg, const std::string& stgName, bool packed)
        : mPacked(packed), mParent(parentStg), mName(stgName) {
    mPath = parentStg ? parentStg->mPath + "\\" + stgName : stgName;
}

Stg_t::~Stg_t() {
    for (Stg_t* child : mChildren) {
        child->mParent = nullptr;
        delete child;
    }
    mChildren.clear();
    for (Stg_t* child : mRetired) {
        child->mParent = nullptr;
        delete child;
    }
    mRetired.clear();
    if (mParent) mParent->DetachChild(this);
}

void Stg_t::ForgetChild(const std::string& childName) {
    for (auto it = mChildren.begin(); it != mChildren.end(); ++it) {
        if ((*it)->mName == childName) {
            mChildren.erase(it);
            return;
        }
    }
}

Stg_t* Stg_t::FindChild(const std::string& childName) const {
    for (Stg_t* child : mChildren) {
        if (child->mName == childName) return child;
    }
    return nullptr;
}

void Stg_t::RetireChild(const std::string& childName) {
    Stg_t* child = FindChild(childName);
    if (!child) return;
    ForgetChild(childName);
    mRetired.push_back(child);
}

void Stg_t::RetireAllChildren() {
    mRetired.insert(mRetired.end(), mChildren.begin(), mChildren.end());
    mChildren.clear();
}

void Stg_t::DetachChild(Stg_t* child) {
    mChildren.erase(std::remove(mChildren.begin(), mChildren.end(), child), mChildren.end());
    mRetired.erase(std::remove(mRetired.begin(), mRetired.end(), child), mRetired.end());
}

void Stg_t::CopyFileTo(Stg_t* target, const std::string& targetName, const std::string& sourceName) {
    FileDescr_t* sourceHandle = OpenFile(sourceName, false);
    HandleGuard sourceGuard(sourceHandle);
    FileDescr_t* targetHandle = target->OpenFile(targetName, true);
    HandleGuard targetGuard(targetHandle);
    int size = GetFileSize(sourceHandle);
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size > 0 ? size : 1]);
    unsigned read = 0;
    ReadFile(sourceHandle, bytes.get(), size, &read);
    target->WriteFile(targetHandle, bytes.get(), static_cast<int>(read), nullptr);
    sourceGuard.Close();
    targetGuard.Close();
}

void Stg_t::CopyTreeTo(Stg_t* target, const std::string& excluded) {
    if (IsSameStorage(target, this)) return;
    std::vector<std::string> names;
    List("*", true, false, names);
    for (const std::string& name : names) CopyFileTo(target, name, name);

    names.clear();
    List("*", false, true, names);
    for (const std::string& name : names) {
        if (!excluded.empty() && StgNamesEqual(excluded, name)) continue;
        ReleaseGuard source{OpenStg(name, false)};
        ReleaseGuard copy{target->CreateStg(name, false)};
        source.storage->CopyTreeTo(copy.storage, excluded);
    }
}

void Stg_t::CopyTreeToNew(Stg_t* target) {
    if (IsSameStorage(target, this)) return;
    std::vector<std::string> names;
    List("*", true, false, names);
    for (const std::string& name : names) {
        if (target->IsFilePresent(name)) throw errStg_e(name, name, 20, 13);
        CopyFileTo(target, name, name);
    }

    names.clear();
    List("*", false, true, names);
    for (const std::string& name : names) {
        ReleaseGuard source{OpenStg(name, false)};
        if (target->IsDirPresent(name)) throw errStg_e(name, name, 21, 13);
        ReleaseGuard copy{target->CreateStg(name, false)};
        source.storage->CopyTreeTo(copy.storage);
    }
}

bool IsSameStorage(Stg_t* a, Stg_t* b) {
    if (a == b) return a != nullptr;
    if (!a || !b) return false;
    if (a->IsInMemory() != b->IsInMemory() || a->IsInMemory()) return false;
    return StgNamesEqual(a->GetPath(), b->GetPath());
}
