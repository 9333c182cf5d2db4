#include "game/shell/ui/UiHost.h"

#include "engine/anim/EngineHooks.h"
#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/ImageFont.h"
#include "resources/pack/PakFile.h"

namespace Velm {

namespace {
UiHost* gInstalledHost = nullptr;
}

UiHost::~UiHost() = default;

bool UiHost::FileExists(const std::string& path) {
    if (path.empty()) return false;
    PakFileHandle* handle = PakFOpen(path.c_str(), "rb");
    if (handle == nullptr) return false;
    PakFClose(handle);
    return true;
}

Image* UiHost::GetImage(const std::string& path) { return EngineHooks::GetImage(path); }

std::unique_ptr<Font> UiHost::MakeImageFont(const std::string& path) {
    if (path.empty()) return nullptr;
    std::unique_ptr<ImageFont> font(new ImageFont(GetFontHost(), path));
    if (font->fontData == nullptr || !font->fontData->initialized) return nullptr;
    return font;
}

bool UiHost::Is3DAccelerated() { return EngineHooks::Is3DAccelerated(); }

UiHost& GetUiHost() {
    static UiHost baseHost;
    return gInstalledHost != nullptr ? *gInstalledHost : baseHost;
}

void SetUiHost(UiHost* host) { gInstalledHost = host; }

}  // namespace Velm
