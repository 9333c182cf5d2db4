#include "game/shell/screens/ImagesManager.h"

#include <memory>

#include "engine/anim/SpriteSheet.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"

namespace Velm {

bool ImagesManager::AddImage(const std::string& imageFile, const std::string& alphaFile, const std::string& attributes,
                             bool is3DAccelerated) {
    if (imageFile.empty()) return false;
    if (mImageMap.count(imageFile) != 0) return true;
    const SpriteImageAttributes_t flags = ParseSpriteImageAttributes(attributes, is3DAccelerated);
    auto res = std::make_unique<ImageRes>();
    res->mType = ResType_Image;
    res->mId = imageFile;
    res->mPath = imageFile;
    res->mAlphaImage = alphaFile;
    res->mPalletize = flags.palletize;
    res->mA4R4G4B4 = flags.a4r4g4b4;
    res->mA8R8G8B8 = flags.a8r8g8b8;
    res->mDDSurface = flags.ddSurface;
    res->mPurgeBits = flags.discardBits;
    res->mMinimizeSubdivisions = flags.minSubdivide;
    mResGroupMap[""].push_back(res.get());
    mImageMap[imageFile] = std::move(res);
    return true;
}

Image* ImagesManager::GetImagePtr(const std::string& id) {
    if (mImageMap.count(id) == 0) return nullptr;
    return GetImage(id).GetImage();
}

}  // namespace Velm
