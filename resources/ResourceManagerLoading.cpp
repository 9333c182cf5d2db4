// Loading, lookup and release of the manifest's resources.

#include <cstring>
#include <memory>

#include "graphics/DDImage.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"
#include "resources/ImageLib.h"
#include "resources/ResourceFontMaker.h"
#include "resources/ResourceImageSource.h"
#include "resources/ResourceManager.h"
#include "resources/base/StringUtils.h"
#include "resources/sound/SoundManager.h"

namespace Velm {

namespace {

// Font tags are separated by any of ", \r\n\t".
std::vector<std::string> SplitTags(const std::string& text) {
    std::vector<std::string> tags;
    std::string current;
    for (char c : text) {
        if (std::strchr(", \r\n\t", c) != nullptr) {
            if (!current.empty()) tags.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) tags.push_back(current);
    return tags;
}

}  // namespace

// ---- Records ----

void ResourceManager::ImageRes::DeleteResource() { mImage.Release(); }

void ResourceManager::SoundRes::DeleteResource() {
    if (mSoundId >= 0 && mSoundManager != nullptr) mSoundManager->ReleaseSound(static_cast<unsigned int>(mSoundId));
    mSoundId = -1;
}

void ResourceManager::FontRes::DeleteResource() {
    delete mFont;
    mFont = nullptr;
    delete mImage;
    mImage = nullptr;
}

// ---- Sources ----

void ResourceManager::SetImageSource(ResourceImageSource* source) {
    mImageSource = source != nullptr ? source : mOwnImageCache.get();
}

// ---- Group loading ----

void ResourceManager::StartLoadResources(const std::string& group) {
    mError.clear();
    mHasFailed = false;
    mCurResGroup = group;
    mCurResGroupList = &mResGroupMap[group];
    mCurRes = mCurResGroupList->begin();
}

bool ResourceManager::LoadNextResource() {
    if (mHasFailed || mCurResGroupList == nullptr) return false;
    while (mCurRes != mCurResGroupList->end()) {
        BaseRes* res = *mCurRes++;
        if (res->mFromProgram) continue;
        switch (res->mType) {
            case ResType_Image: {
                ImageRes* image = static_cast<ImageRes*>(res);
                if (image->mImage.GetImage() == nullptr) return DoLoadImage(image);
                break;
            }
            case ResType_Sound: {
                SoundRes* sound = static_cast<SoundRes*>(res);
                if (sound->mSoundId == -1) return DoLoadSound(sound);
                break;
            }
            case ResType_Font: {
                FontRes* font = static_cast<FontRes*>(res);
                if (font->mFont == nullptr) return DoLoadFont(font);
                break;
            }
            default: break;
        }
    }
    return false;
}

bool ResourceManager::LoadResources(const std::string& group) {
    StartLoadResources(group);
    while (LoadNextResource()) {
    }
    if (mHasFailed) return false;
    mLoadedGroups.insert(group);
    return true;
}

void ResourceManager::DeleteResources(const std::string& group) {
    DeleteResourcesInMap(mImageMap, group);
    DeleteResourcesInMap(mSoundMap, group);
    DeleteResourcesInMap(mFontMap, group);
    mLoadedGroups.erase(group);
}

void ResourceManager::DeleteResourcesInMap(ResMap& map, const std::string& group) {
    for (auto& entry : map) {
        if (group.empty() || entry.second->mResGroup == group) entry.second->DeleteResource();
    }
}

void ResourceManager::DestroyResourceMap(ResMap& map) {
    for (auto& entry : map) entry.second->DeleteResource();
    map.clear();
}

int ResourceManager::GetNumResources(const std::string& group) const {
    // Only the group's own records: the group with the empty name does not
    // stand for all groups here, or a progress bar over it would stall.
    int count = 0;
    for (const ResMap* map : {&mImageMap, &mSoundMap, &mFontMap}) {
        for (const auto& entry : *map) {
            if (entry.second->mResGroup == group && !entry.second->mFromProgram) ++count;
        }
    }
    return count;
}

void ResourceManager::ResourceLoadedHook(BaseRes*) {}

// ---- Loading one resource ----

bool ResourceManager::DoLoadImage(ImageRes* res) {
    // The alpha colour applies to a picture that exists only as an alpha
    // companion; it is the record's for this one load.
    ImageLib::gAlphaColor = res->mAlphaColor;
    bool isNew = false;
    SharedImageHandle handle = mImageSource->GetSharedImage(res->mPath, res->mVariant, &isNew);
    ImageLib::gAlphaColor = 0xFFFFFF;

    MemoryImage* image = handle.GetImage();
    if (image == nullptr) return Fail(FormatString("Failed to load image: %s", res->mPath.c_str()));
    if (isNew) {
        // A shared image that was loaded before already has its alpha.
        if (!res->mAlphaImage.empty() && !LoadAlphaImage(res, image)) return false;
        if (!res->mAlphaGridImage.empty() && !LoadAlphaGridImage(res, image)) return false;
    }

    image->RefreshAlphaFlags();
    res->mImage = handle;
    image->purgeBits = res->mPurgeBits;
    // Images made on the display can live in a display surface; the stand-in
    // cache makes plain memory images.
    DDImage* ddImage = dynamic_cast<DDImage*>(image);
    if (res->mDDSurface) {
        // An opaque image may live in a display surface, which then holds its
        // pixels: the software copy can go.
        image->RefreshAlphaFlags();
        if (!image->hasAlpha) {
            if (ddImage != nullptr) ddImage->mWantDDSurface = true;
            image->purgeBits = true;
        }
    }
    if (res->mPalletize) {
        // A surface that exists is converted when it is next made.
        if (ddImage != nullptr && ddImage->mSurface != nullptr)
            image->wantPalette = true;
        else
            image->Palletize();
    }
    if (res->mA4R4G4B4) image->flags |= ImageFlag_UseA4R4G4B4;
    if (res->mA8R8G8B8) image->flags |= ImageFlag_UseA8R8G8B8;
    if (res->mMinimizeSubdivisions) image->flags |= ImageFlag_MinimizeNumSubdivisions;
    if (res->mAnimInfo.type != CelAnimation::None) {
        delete image->animation;
        image->animation = new CelAnimation(res->mAnimInfo);
    }
    image->numRows = res->mRows;
    image->numCols = res->mCols;
    if (image->purgeBits) image->DiscardBits();
    ResourceLoadedHook(res);
    return true;
}

bool ResourceManager::LoadAlphaImage(ImageRes* res, MemoryImage* image) {
    std::unique_ptr<ImageLib::Image> alpha(ImageLib::GetImage(res->mAlphaImage, true));
    if (alpha == nullptr) return Fail(FormatString("Failed to load image: %s", res->mAlphaImage.c_str()));
    if (alpha->mWidth != image->width || alpha->mHeight != image->height) {
        return Fail(FormatString("AlphaImage size mismatch between %s and %s", res->mPath.c_str(),
                                 res->mAlphaImage.c_str()));
    }
    uint32_t* bits = image->GetBits();
    const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    for (size_t i = 0; i < count; ++i) bits[i] = (bits[i] & 0xFFFFFF) | (alpha->mBits[i] << 24);
    image->MarkBitsChanged();
    return true;
}

bool ResourceManager::LoadAlphaGridImage(ImageRes* res, MemoryImage* image) {
    std::unique_ptr<ImageLib::Image> grid(ImageLib::GetImage(res->mAlphaGridImage, true));
    if (grid == nullptr) return Fail(FormatString("Failed to load image: %s", res->mAlphaGridImage.c_str()));
    // The manifest keeps rows and cols at 1 or more; a record made otherwise
    // must not divide by zero either.
    const int rows = res->mRows > 0 ? res->mRows : 1;
    const int cols = res->mCols > 0 ? res->mCols : 1;
    const int cellWidth = image->width / cols;
    const int cellHeight = image->height / rows;
    if (grid->mWidth != cellWidth || grid->mHeight != cellHeight) {
        return Fail(FormatString("GridAlphaImage size mismatch between %s and %s", res->mPath.c_str(),
                                 res->mAlphaGridImage.c_str()));
    }
    uint32_t* bits = image->GetBits();
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            for (int y = 0; y < cellHeight; ++y) {
                uint32_t* out = bits + static_cast<size_t>(row * cellHeight + y) * image->width + col * cellWidth;
                const uint32_t* in = grid->mBits + static_cast<size_t>(y) * cellWidth;
                for (int x = 0; x < cellWidth; ++x) out[x] = (out[x] & 0xFFFFFF) | (in[x] << 24);
            }
        }
    }
    image->MarkBitsChanged();
    return true;
}

bool ResourceManager::DoLoadSound(SoundRes* res) {
    if (mSoundManager == nullptr) return Fail(FormatString("Failed to load sound: %s", res->mPath.c_str()));
    const int id = mSoundManager->GetFreeSoundId();
    if (id < 0) return Fail("Out of free sound ids");
    if (!mSoundManager->LoadSound(static_cast<unsigned int>(id), res->mPath)) {
        return Fail(FormatString("Failed to load sound: %s", res->mPath.c_str()));
    }
    if (res->mVolume >= 0) mSoundManager->SetBaseVolume(static_cast<unsigned int>(id), res->mVolume);
    if (res->mPanning != 0) mSoundManager->SetBasePan(static_cast<unsigned int>(id), res->mPanning);
    res->mSoundId = id;
    res->mSoundManager = mSoundManager;
    ResourceLoadedHook(res);
    return true;
}

bool ResourceManager::DoLoadFont(FontRes* res) {
    // A failed attempt may have left its picture behind.
    delete res->mImage;
    res->mImage = nullptr;

    const std::string loadFailed = FormatString("Failed to load font: %s", res->mPath.c_str());
    Font* font = nullptr;
    if (res->mSysFont) {
        if (mFontMaker == nullptr) return Fail(loadFailed);
        // Systems that cannot make bold faces get the font's own simulated bold.
        const bool simulateBold = res->mBold && IsWindows9x();
        font = mFontMaker->MakeSysFont(res->mPath.substr(5), res->mSize, res->mBold && !simulateBold, res->mItalic,
                                       res->mUnderline, res->mShadow, simulateBold);
    } else if (!res->mImagePath.empty()) {
        MemoryImage* image = mImageSource->GetImage(res->mImagePath, true);
        if (image == nullptr) return Fail(FormatString("Failed to load image: %s", res->mImagePath.c_str()));
        res->mImage = image;
        if (mFontMaker == nullptr) return Fail(loadFailed);
        font = mFontMaker->MakeImageFont(image, res->mPath);
    } else if (res->mPath.compare(0, 5, "!ref:") == 0) {
        const std::string target = res->mPath.substr(5);
        Font* original = GetFont(target);
        if (original == nullptr) return Fail("Ref font not found: " + target);
        font = original->Duplicate();
    } else {
        if (mFontMaker == nullptr) return Fail(loadFailed);
        font = mFontMaker->MakeImageFont(res->mPath);
    }
    if (font == nullptr) return Fail(loadFailed);
    if (!res->mSysFont && !res->mTags.empty() && mFontMaker != nullptr) {
        mFontMaker->ApplyTags(font, SplitTags(res->mTags));
    }
    res->mFont = font;
    ResourceLoadedHook(res);
    return true;
}

// ---- Lookup ----

SharedImageHandle ResourceManager::GetImageThrow(const std::string& id) {
    auto it = mImageMap.find(id);
    if (it != mImageMap.end()) {
        ImageRes* res = static_cast<ImageRes*>(it->second.get());
        if (res->mImage.GetImage() != nullptr) return res->mImage;
    }
    Fail(FormatString("Image resource not found: %s", id.c_str()));
    throw ResourceManagerException(GetErrorText());
}

int ResourceManager::GetSoundThrow(const std::string& id) {
    auto it = mSoundMap.find(id);
    if (it != mSoundMap.end()) {
        SoundRes* res = static_cast<SoundRes*>(it->second.get());
        if (res->mSoundId != -1) return res->mSoundId;
    }
    Fail(FormatString("Sound resource not found: %s", id.c_str()));
    throw ResourceManagerException(GetErrorText());
}

Font* ResourceManager::GetFontThrow(const std::string& id) {
    auto it = mFontMap.find(id);
    if (it != mFontMap.end()) {
        FontRes* res = static_cast<FontRes*>(it->second.get());
        if (res->mFont != nullptr) return res->mFont;
    }
    Fail(FormatString("Font resource not found: %s", id.c_str()));
    throw ResourceManagerException(GetErrorText());
}

SharedImageHandle ResourceManager::GetImage(const std::string& id) {
    auto it = mImageMap.find(id);
    if (it == mImageMap.end()) return SharedImageHandle();
    ImageRes* res = static_cast<ImageRes*>(it->second.get());
    if (res->mImage.GetImage() == nullptr && !res->mFromProgram && !DoLoadImage(res)) return SharedImageHandle();
    return res->mImage;
}

Font* ResourceManager::GetFont(const std::string& id) const {
    auto it = mFontMap.find(id);
    if (it == mFontMap.end()) return nullptr;
    return static_cast<const FontRes*>(it->second.get())->mFont;
}

}  // namespace Velm
