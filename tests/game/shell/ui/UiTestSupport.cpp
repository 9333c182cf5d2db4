#include "tests/game/shell/ui/UiTestSupport.h"

#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/ui/UiStyleRegistry.h"

namespace UiTest {

PathFont::PathFont(const std::string& path) : mPath(path) {
    ascent = 8;
    height = 10;
}

int PathFont::StringWidth(const std::string& text) { return 6 * static_cast<int>(text.size()); }

Velm::Font* PathFont::Duplicate() { return new PathFont(*this); }

std::string FontPath(Velm::Font* font) {
    PathFont* pathFont = dynamic_cast<PathFont*>(font);
    return pathFont != nullptr ? pathFont->mPath : std::string();
}

std::unique_ptr<Velm::MemoryImage> SolidImage(int width, int height, uint32_t argb) {
    std::unique_ptr<Velm::MemoryImage> image(new Velm::MemoryImage(nullptr));
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, argb);
    image->SetBits(pixels.data(), width, height);
    return image;
}

FakeUiHost::FakeUiHost() = default;
FakeUiHost::~FakeUiHost() = default;

bool FakeUiHost::FileExists(const std::string& path) { return mPictures.count(path) != 0; }

Velm::Image* FakeUiHost::GetImage(const std::string& path) {
    const auto it = mPictures.find(path);
    if (it == mPictures.end()) return nullptr;
    return SolidImage(it->second.width, it->second.height, it->second.argb).release();
}

std::unique_ptr<Velm::Font> FakeUiHost::MakeImageFont(const std::string& path) {
    for (const std::string& known : mFonts) {
        if (known == path) return std::unique_ptr<Velm::Font>(new PathFont(path));
    }
    return nullptr;
}

namespace {

// Every bound resource variable back to "not bound".
void ClearBoundResources() {
    Velm::Font** fonts[] = {&Velm::FONT_DEFAULT,   &Velm::FONT_DIREVIR,      &Velm::FONT_DEFAULTBOLD,
                            &Velm::FONT_DEFAULT12, &Velm::FONT_DEFAULTSMALL, &Velm::FONT_DEFAULT7,
                            &Velm::FONT_DEFAULT16, &Velm::FONT_DEFAULT_ADD,  &Velm::FONT_NUMBERS};
    for (Velm::Font** font : fonts) *font = nullptr;
    Velm::IMAGE_CHECKBOX = nullptr;
    Velm::IMAGE_OVER = nullptr;
    Velm::IMAGE_SLIDER_TRACK = nullptr;
    Velm::IMAGE_SLIDER_THUMB = nullptr;
    Velm::IMAGE_DIALOG_BUTTON = nullptr;
}

}  // namespace

UiEnvironment::UiEnvironment() {
    host.mFonts.push_back("fonts/Tahoma14");
    Velm::SetUiHost(&host);
    Velm::UiStyleRegistry_t::Instance().Clear();
    TextTable_t::Destroy();
    ClearBoundResources();
}

UiEnvironment::~UiEnvironment() {
    ClearBoundResources();
    TextTable_t::Destroy();
    Velm::UiStyleRegistry_t::Instance().Clear();
    Velm::SetUiHost(nullptr);
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace UiTest
