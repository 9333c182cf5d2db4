// Developer operations on the application's pictures: numbered screenshots, the image dump
// (an HTML page listing every image the application holds, with a full copy and a thumbnail of
// each) and the video statistics box. Files go below the application-data folder and are
// written whole or not at all.

#include <cstdio>
#include <ctime>
#include <vector>

#include "app/DisplaySetup.h"
#include "app/VelmAppBase.h"
#include "app/devaids/ImageDump.h"
#include "app/devaids/Screenshot.h"
#include "app/devaids/VideoStats.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/Files.h"
#include "resources/ImageLib.h"
#include "resources/base/Paths.h"
#include "resources/sound/SoundManager.h"

namespace Velm {

namespace {

// An ImageLib picture over pixels it does not own.
class LentImage : public ImageLib::Image {
public:
    LentImage(int width, int height, uint32_t* pixels) {
        mWidth = width;
        mHeight = height;
        mBits = pixels;
    }
    ~LentImage() override { mBits = nullptr; }
};

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? std::asctime(local) : "\n";
}

}  // namespace

void VelmAppBase::TakeScreenshot() {
    if (mDDInterface == nullptr) return;
    MemoryImage* screen = mDDInterface->GetScreenImage();
    if (screen == nullptr || screen->width <= 0 || screen->height <= 0) return;

    const std::string folder = GetAppDataFolder() + "_screenshots";
    MakeFolders(folder);
    std::vector<plat::DirEntry> entries;
    std::vector<std::string> names;
    if (plat::ListDirectory(folder, entries)) {
        for (const plat::DirEntry& entry : entries) {
            if (!entry.isDirectory) names.push_back(entry.name);
        }
    }
    const std::string file = folder + "/image" + std::to_string(NextScreenshotNumber(names)) + ".png";

    // Copy the drawing surface's pixels through an image of our own that shares the surface,
    // so that the screen image keeps its surface-only state. The key reaches this while the
    // input queue is replayed, between frames: the surface holds the last frame drawn.
    std::vector<uint32_t> pixels;
    DDImage* screenSurfaceImage = dynamic_cast<DDImage*>(screen);
    if (screenSurfaceImage != nullptr && screenSurfaceImage->mSurface) {
        DDInterface* display = screenSurfaceImage->mDDInterface;
        CritSectLock lock(display->GetLock());
        // In 3D the drawing surface is the 3D device's target, which an image does not lock;
        // for the copy the display counts as 2D, so the lock goes to the surface, and the
        // device writes its pixels back into it first.
        const bool was3D = display->mIs3D;
        display->mIs3D = false;
        {
            DDImage copy(display);
            copy.SetSurface(screenSurfaceImage->mSurface);
            const uint32_t* bits = copy.GetBits();
            if (bits != nullptr) pixels.assign(bits, bits + static_cast<size_t>(copy.width) * copy.height);
            copy.ReleaseSurface();
        }
        display->mIs3D = was3D;
    } else {
        const uint32_t* bits = screen->GetBits();
        if (bits != nullptr) pixels.assign(bits, bits + static_cast<size_t>(screen->width) * screen->height);
    }
    if (pixels.empty()) return;

    LentImage picture(screen->width, screen->height, pixels.data());
    ImageLib::WritePNGImage(file, &picture);
    // The time spent writing is not made up with extra updates.
    mUpdateFTimeAcc = 0;
    mLastTimeCheck = Tick();
}

void VelmAppBase::DumpImageList() {
    const std::string folder = GetAppDataFolder() + "_dump";
    DeleteFolderTree(folder);
    MakeFolders(folder);

    std::vector<MemoryImage*> images(mMemoryImageSet.begin(), mMemoryImageSet.end());
    std::vector<ImageMemoryFigures> figures;
    figures.reserve(images.size());
    for (MemoryImage* image : images) figures.push_back(GetImageMemoryFigures(image));
    const std::vector<size_t> order = ImageDumpOrder(figures);
    std::vector<ImageMemoryFigures> sorted;
    for (size_t index : order) sorted.push_back(figures[index]);

    const std::string html = ImageDumpHtml(LocalTimeText(), sorted);
    plat::WriteFileAtomic(folder + "/imagelist.html", html.data(), html.size());

    for (size_t n = 0; n < order.size(); ++n) {
        MemoryImage* source = images[order[n]];
        if (source->width <= 0 || source->height <= 0) continue;
        MemoryImage copy(*source);
        uint32_t* bits = copy.GetBits();
        if (bits == nullptr) continue;
        std::vector<uint32_t> thumb = MakeThumbnail(bits, copy.width, copy.height);
        char name[32];
        std::snprintf(name, sizeof(name), "thumb%04d.jpg", static_cast<int>(n));
        LentImage thumbPicture(64, 64, thumb.data());
        ImageLib::WriteJPEGImage(folder + "/" + name, &thumbPicture);
        std::snprintf(name, sizeof(name), "img%04d.png", static_cast<int>(n));
        LentImage fullPicture(copy.width, copy.height, bits);
        ImageLib::WritePNGImage(folder + "/" + name, &fullPicture);
    }
}

void VelmAppBase::ShowVideoStats() {
    VideoStats stats;
    // No facility reports video memory on this platform: the line reads 0/0 KB, as without
    // DirectDraw 7.
    stats.is3D = mDDInterface != nullptr && mDDInterface->Is3D();
    stats.support = mDDInterface != nullptr ? Support3DWord(mDDInterface->Test3DRan(), mDDInterface->Test3DFailed(),
                                                            mDDInterface->Test3DWarned())
                                            : Support3DWord(false, false, false);
    stats.numImages = static_cast<int>(mMemoryImageSet.size());
    stats.numSounds = mSoundManager != nullptr ? mSoundManager->GetNumSounds() : 0;
    for (MemoryImage* image : mMemoryImageSet) {
        const ImageMemoryFigures figures = GetImageMemoryFigures(image);
        if (!figures.hasTexture) continue;
        stats.textureBytes += figures.texture;
        const int slot = figures.textureFormat == 1   ? 0
                         : figures.textureFormat == 2 ? 1
                         : figures.textureFormat == 4 ? 2
                         : figures.textureFormat == 8 ? 3
                                                      : -1;
        if (slot >= 0) {
            ++stats.formatImages[slot];
            stats.formatBytes[slot] += figures.texture;
        }
    }
    MsgBox(VideoStatsText(stats), std::string("Video Stats"), 0);
    mLastTimeCheck = Tick();
}

}  // namespace Velm
