// The application's images: the set of every live memory image (so that all of them can
// rebuild or drop their display data when the display is set up again), the cache of
// images shared by file name, copies of images, and the hue-saturation-lightness
// conversions.

#include <algorithm>
#include <vector>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "resources/base/StringUtils.h"

namespace Velm {

namespace {

// A new image on the display, or a plain memory image while there is no display yet.
MemoryImage* NewDisplayImage(DisplaySetup* display, ImageHost* host) {
    return display != nullptr ? display->NewImage() : new MemoryImage(host);
}

}  // namespace

void VelmAppBase::AddMemoryImage(MemoryImage* image) {
    CritSectLock lock(mDDCritSect);
    mMemoryImageSet.insert(image);
}

void VelmAppBase::RemoveMemoryImage(MemoryImage* image) {
    CritSectLock lock(mDDCritSect);
    mMemoryImageSet.erase(image);
    if (mDDInterface != nullptr) mDDInterface->FreeImageTexture(image);
}

void VelmAppBase::Remove3DData(MemoryImage* image) {
    CritSectLock lock(mDDCritSect);
    if (mDDInterface != nullptr) mDDInterface->FreeImageTexture(image);
}

int VelmAppBase::GetMemoryImageCount() {
    CritSectLock lock(mDDCritSect);
    return static_cast<int>(mMemoryImageSet.size());
}

void VelmAppBase::ReInitImages() {
    // During display set-up on the main thread; a copy, since rebuilding may make images.
    const std::vector<MemoryImage*> images(mMemoryImageSet.begin(), mMemoryImageSet.end());
    for (MemoryImage* image : images) image->RestoreAfterReset();
}

void VelmAppBase::DeleteExtraImageBuffers() {
    const std::vector<MemoryImage*> images(mMemoryImageSet.begin(), mMemoryImageSet.end());
    for (MemoryImage* image : images) image->FreeNativeData();
}

void VelmAppBase::DeleteNativeImageData() {
    CritSectLock lock(mDDCritSect);
    for (MemoryImage* image : mMemoryImageSet) image->FreeAllCaches();
}

MemoryImage* VelmAppBase::GetImage(const std::string& file, bool commitBits) {
    if (mImageFileReader == nullptr) return nullptr;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    if (!mImageFileReader(file, &pixels, &width, &height) || width <= 0 || height <= 0 ||
        pixels.size() < static_cast<size_t>(width) * height)
        return nullptr;
    MemoryImage* image = NewDisplayImage(mDDInterface, this);
    image->path = file;
    image->SetBits(pixels.data(), width, height, commitBits);
    return image;
}

SharedImageHandle VelmAppBase::GetSharedImage(const std::string& file, const std::string& variant, bool* isNew) {
    const std::pair<std::string, std::string> key(StringToUpper(file), StringToUpper(variant));
    SharedImageHandle handle;
    bool inserted = false;
    {
        CritSectLock lock(mDDCritSect);
        std::pair<std::map<std::pair<std::string, std::string>, SharedImage>::iterator, bool> found =
                mSharedImageMap.insert(std::make_pair(key, SharedImage()));
        inserted = found.second;
        // Records never move in the map, so the handle may keep pointing at this one.
        handle = &found.first->second;
    }
    if (isNew != nullptr) *isNew = inserted;
    if (inserted) {
        // A name starting with '!' is an image the caller draws itself.
        MemoryImage* image =
                !file.empty() && file[0] == '!' ? NewDisplayImage(mDDInterface, this) : GetImage(file, false);
        CritSectLock lock(mDDCritSect);
        handle.shared->image = image;
    }
    return handle;
}

void VelmAppBase::SetPurgeNeeded() { mCleanupSharedImages.store(true); }

void VelmAppBase::PurgeSharedImages() {
    CritSectLock lock(mDDCritSect);
    if (!mCleanupSharedImages.load()) return;
    std::map<std::pair<std::string, std::string>, SharedImage>::iterator it = mSharedImageMap.begin();
    while (it != mSharedImageMap.end()) {
        if (it->second.refCount == 0) {
            delete it->second.image;
            it = mSharedImageMap.erase(it);
        } else {
            ++it;
        }
    }
    mCleanupSharedImages.store(false);
}

void VelmAppBase::DeleteSharedImages() {
    CritSectLock lock(mDDCritSect);
    for (std::pair<const std::pair<std::string, std::string>, SharedImage>& entry : mSharedImageMap) {
        delete entry.second.image;
        entry.second.image = nullptr;
    }
    mSharedImageMap.clear();
}

MemoryImage* VelmAppBase::CopyImage(Image* image, const Rect& rect) {
    MemoryImage* copy = NewDisplayImage(mDDInterface, this);
    copy->Create(rect.width, rect.height);
    Graphics g(copy);
    g.DrawImage(image, -rect.x, -rect.y);
    copy->CopyCelAttributes(image);
    return copy;
}

MemoryImage* VelmAppBase::CopyImage(Image* image) { return CopyImage(image, Rect(0, 0, image->width, image->height)); }

uint32_t VelmAppBase::HSLToRGB(int h, int s, int l) {
    const int m2 = l < 128 ? (s + 255) * l / 255 : s + l - s * l / 255;
    const int m1 = 2 * l - m2;
    // Six sectors of 256 / 6 hue steps; k runs through one sector in steps of 6.
    const int sector = 6 * h / 256;
    const int k = (h - sector * 256 / 6) * 6;
    const double v = static_cast<double>(m2 - m1) * k / 255;
    const int up = std::min(static_cast<int>(m1 + v), 255);
    const int down = std::max(static_cast<int>(m2 - v), 0);
    int red = 0;
    int green = 0;
    int blue = 0;
    switch (sector) {
        case 0:
            red = m2;
            green = up;
            blue = m1;
            break;
        case 1:
            red = down;
            green = m2;
            blue = m1;
            break;
        case 2:
            red = m1;
            green = m2;
            blue = up;
            break;
        case 3:
            red = m1;
            green = down;
            blue = m2;
            break;
        case 4:
            red = up;
            green = m1;
            blue = m2;
            break;
        default:
            red = m2;
            green = m1;
            blue = down;
            break;
    }
    return 0xFF000000u | static_cast<uint32_t>(red & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
           static_cast<uint32_t>(blue & 0xFF);
}

uint32_t VelmAppBase::RGBToHSL(int r, int g, int b) {
    const int max = std::max(r, std::max(g, b));
    const int min = std::min(r, std::min(g, b));
    const int l = (max + min) / 2;
    const int d = max - min;
    int s = 0;
    int h = 0;
    if (d != 0) {
        s = d * 256 / (l <= 128 ? max + min : 512 - max - min);
        int hue = 0;
        if (r == max)
            hue = g == min ? 1280 + (max - b) * 256 / d : 256 + (g - max) * 256 / d;
        else if (g == max)
            hue = b == min ? 256 + (max - r) * 256 / d : 768 + (b - max) * 256 / d;
        else
            hue = r == min ? 768 + (max - g) * 256 / d : 1280 + (r - max) * 256 / d;
        h = hue / 6;
    }
    // Full saturation and the red end of the hue circle come out as 256. Each stays in its
    // own byte: saturation at most 255, and hue 256 is the start of the circle again, 0.
    s = std::min(s, 255);
    h %= 256;
    return 0xFF000000u | static_cast<uint32_t>(l) << 16 | static_cast<uint32_t>(s) << 8 | static_cast<uint32_t>(h);
}

}  // namespace Velm
