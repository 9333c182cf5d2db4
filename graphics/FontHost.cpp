#include "graphics/FontHost.h"

#include <atomic>

#include "graphics/ImageHost.h"
#include "graphics/MemoryImage.h"
#include "platform/MessageBox.h"

namespace Velm {

namespace {
std::atomic<FontHost*> gFontHost{nullptr};
}

FontHost::~FontHost() = default;

SharedImageHandle FontHost::GetSharedImage(const std::string&, const std::string&, bool* isNew) {
    if (isNew != nullptr) *isNew = false;
    return SharedImageHandle();
}

void FontHost::Popup(const std::string& text) { plat::ShowMessageBox(text, "Error", plat::kMbOk | plat::kMbIconError); }

MemoryImage* FontHost::CopyImage(Image* image) {
    MemoryImage* memoryImage = dynamic_cast<MemoryImage*>(image);
    return memoryImage != nullptr ? new MemoryImage(*memoryImage) : nullptr;
}

ImageHost* FontHost::GetImageHost() { return Velm::GetImageHost(); }

FontHost* GetFontHost() { return gFontHost.load(); }

void SetFontHost(FontHost* host) { gFontHost.store(host); }

}  // namespace Velm
