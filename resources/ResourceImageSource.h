#pragma once

// Where the resource manager gets its images from. The application's
// shared-image cache implements this for the running program (its images
// live on the display); MemoryImageCache is the plain stand-in used until the
// application installs its own, and by tools and tests.

#include <map>
#include <memory>
#include <string>

#include "graphics/SharedImage.h"

namespace Velm {

class MemoryImage;

class ResourceImageSource {
public:
    virtual ~ResourceImageSource() = default;
    // The image of the file and variant, shared: the same path (any letter
    // case) and variant give the same image. isNew tells whether this call
    // read it. A path beginning with '!' gives an empty image that the
    // program fills. An empty handle when no file could be read.
    virtual SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) = 0;
    // A new image of its own (not shared) read from the file, owned by the
    // caller, or null. commitBits: the alpha flags are computed at once.
    virtual MemoryImage* GetImage(const std::string& path, bool commitBits) = 0;
};

// Shared images as memory images read with ImageLib (alpha companions
// included), kept under the upper-cased path and variant. An image nobody
// holds any more is dropped at the next request, so a released image is read
// again when it is asked for again. Handles must not outlive the cache.
// One thread at a time.
class MemoryImageCache : public ResourceImageSource {
public:
    MemoryImageCache() = default;
    ~MemoryImageCache() override;
    MemoryImageCache(const MemoryImageCache&) = delete;
    MemoryImageCache& operator=(const MemoryImageCache&) = delete;

    SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) override;
    MemoryImage* GetImage(const std::string& path, bool commitBits) override;

    // Deletes the images whose count has dropped to 0.
    void PurgeUnused();
    int GetNumImages() const { return static_cast<int>(mImages.size()); }

private:
    std::map<std::string, std::unique_ptr<SharedImage>> mImages;
};

}  // namespace Velm
