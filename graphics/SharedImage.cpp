#include "graphics/SharedImage.h"

#include "graphics/DDImage.h"
#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"

namespace Velm {

SharedImageHandle::SharedImageHandle(SharedImage* record) : shared(record) {
    if (shared) ++shared->refCount;
}

SharedImageHandle::SharedImageHandle(const SharedImageHandle& other)
        : shared(other.shared), unshared(other.unshared), ownsUnshared(false) {
    if (shared) ++shared->refCount;
}

SharedImageHandle::~SharedImageHandle() { Release(); }

SharedImageHandle& SharedImageHandle::operator=(const SharedImageHandle& other) {
    if (this == &other) return *this;
    // Take the new reference before dropping the old one so that assigning a handle that
    // refers to the same record never lets its count touch 0.
    SharedImage* record = other.shared;
    MemoryImage* image = other.unshared;
    if (record) ++record->refCount;
    Release();
    shared = record;
    unshared = image;
    ownsUnshared = false;
    return *this;
}

SharedImageHandle& SharedImageHandle::operator=(SharedImage* record) {
    if (record) ++record->refCount;
    Release();
    shared = record;
    return *this;
}

SharedImageHandle& SharedImageHandle::operator=(MemoryImage* image) {
    // Re-assigning the image a handle already owns must not delete it.
    if (image != nullptr && image == unshared) {
        MemoryImage* keep = unshared;
        unshared = nullptr;
        const bool owns = ownsUnshared;
        Release();
        unshared = keep;
        ownsUnshared = owns;
        return *this;
    }
    Release();
    unshared = image;
    return *this;
}

void SharedImageHandle::Release() {
    if (ownsUnshared && unshared != nullptr) delete unshared;
    unshared = nullptr;
    if (shared != nullptr) {
        --shared->refCount;
        if (shared->refCount == 0) {
            if (ImageHost* host = GetImageHost()) host->SetPurgeNeeded();
        }
    }
    shared = nullptr;
}

MemoryImage* SharedImageHandle::GetImage() const {
    if (unshared != nullptr) return unshared;
    if (shared != nullptr) return shared->image;
    return nullptr;
}

DDImage* SharedImageHandle::GetDDImage() const {
    return shared != nullptr ? dynamic_cast<DDImage*>(shared->image) : nullptr;
}

}  // namespace Velm
