#include "resources/ResourceImageSource.h"

#include <memory>

#include "graphics/MemoryImage.h"
#include "resources/ImageLib.h"
#include "resources/base/StringUtils.h"

namespace Velm {

MemoryImageCache::~MemoryImageCache() {
    for (auto& entry : mImages) delete entry.second->image;
}

void MemoryImageCache::PurgeUnused() {
    for (auto it = mImages.begin(); it != mImages.end();) {
        if (it->second->refCount <= 0) {
            delete it->second->image;
            it = mImages.erase(it);
        } else {
            ++it;
        }
    }
}

SharedImageHandle MemoryImageCache::GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) {
    if (isNew != nullptr) *isNew = false;
    PurgeUnused();
    // The separator cannot occur in a path, so path and variant never run together.
    const std::string key = StringToUpper(path) + '\n' + StringToUpper(variant);
    auto found = mImages.find(key);
    if (found != mImages.end()) return SharedImageHandle(found->second.get());

    MemoryImage* image = nullptr;
    if (!path.empty() && path[0] == '!') {
        image = new MemoryImage;
    } else {
        image = GetImage(path, true);
        if (image == nullptr) return SharedImageHandle();
    }
    std::unique_ptr<SharedImage> record(new SharedImage);
    record->image = image;
    SharedImage* shared = record.get();
    mImages.emplace(key, std::move(record));
    if (isNew != nullptr) *isNew = true;
    return SharedImageHandle(shared);
}

MemoryImage* MemoryImageCache::GetImage(const std::string& path, bool commitBits) {
    std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(path, true));
    if (picture == nullptr) return nullptr;
    MemoryImage* image = new MemoryImage;
    image->path = path;
    image->SetBits(picture->mBits, picture->mWidth, picture->mHeight, commitBits);
    return image;
}

}  // namespace Velm
