#include "app/AppResourceBridge.h"

#include <memory>

#include "app/VelmAppBase.h"
#include "graphics/FontData.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "resources/ImageLib.h"

namespace Velm {

SharedImageHandle AppResourceBridge::GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) {
    return mApp->GetSharedImage(path, variant, isNew);
}

MemoryImage* AppResourceBridge::GetImage(const std::string& path, bool commitBits) {
    return mApp->GetImage(path, commitBits);
}

void AppResourceBridge::Popup(const std::string& text) { mApp->Popup(text); }

MemoryImage* AppResourceBridge::CopyImage(Image* image) { return mApp->CopyImage(image); }

ImageHost* AppResourceBridge::GetImageHost() { return mApp; }

Font* AppResourceBridge::MakeSysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline,
                                     bool shadow, bool simulatedBold) {
    // The ANSI character set (0), as the manifest's fonts are byte strings.
    std::unique_ptr<SysFont> font(new SysFont(this, face, pointSize, 0, bold, italic, underline));
    if (!font->font) return nullptr;
    font->drawShadow = shadow;
    font->simulateBold = simulatedBold;
    return font.release();
}

Font* AppResourceBridge::MakeImageFont(MemoryImage* image, const std::string& descriptionPath) {
    std::unique_ptr<ImageFont> font(new ImageFont(image, descriptionPath));
    if (font->fontData == nullptr || !font->fontData->initialized) return nullptr;
    return font.release();
}

Font* AppResourceBridge::MakeImageFont(const std::string& descriptorPath) {
    std::unique_ptr<ImageFont> font(new ImageFont(this, descriptorPath));
    if (font->fontData == nullptr || !font->fontData->initialized) return nullptr;
    return font.release();
}

void AppResourceBridge::ApplyTags(Font* font, const std::vector<std::string>& tags) {
    ImageFont* imageFont = dynamic_cast<ImageFont*>(font);
    if (imageFont == nullptr) return;
    for (const std::string& tag : tags) imageFont->AddTag(tag);
    imageFont->EnsureActiveLayers();
}

bool AppResourceBridge::ReadImageFile(const std::string& file, std::vector<uint32_t>* pixels, int* width, int* height) {
    std::unique_ptr<ImageLib::Image> image(ImageLib::GetImage(file, true));
    if (!image || image->mBits == nullptr) return false;
    *width = image->mWidth;
    *height = image->mHeight;
    pixels->assign(image->mBits, image->mBits + static_cast<size_t>(image->mWidth) * image->mHeight);
    return true;
}

}  // namespace Velm
