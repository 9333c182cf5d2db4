#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/shell/ui/BaseDialogWidget.h"
#include "game/shell/ui/UiHost.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"

namespace UiTest {

// A font that knows the path it was made from; 6 pixels a character, ascent 8.
class PathFont : public Velm::Font {
public:
    explicit PathFont(const std::string& path);
    int StringWidth(const std::string& text) override;
    Velm::Font* Duplicate() override;
    std::string mPath;
};

// The path of a control's font, "" for none.
std::string FontPath(Velm::Font* font);

// A solid memory picture of that size and 0xAARRGGBB colour.
std::unique_ptr<Velm::MemoryImage> SolidImage(int width, int height, uint32_t argb);

// Files that "exist": pictures by path (solid colour) and font descriptors.
class FakeUiHost : public Velm::UiHost {
public:
    FakeUiHost();
    ~FakeUiHost() override;
    bool FileExists(const std::string& path) override;
    Velm::Image* GetImage(const std::string& path) override;
    std::unique_ptr<Velm::Font> MakeImageFont(const std::string& path) override;
    bool Is3DAccelerated() override { return false; }

    struct Picture {
        int width;
        int height;
        uint32_t argb;
    };
    std::map<std::string, Picture> mPictures;
    std::vector<std::string> mFonts;
};

// The host, a fresh style registry and text table, and clean bound resources
// for one test; everything is restored afterwards.
class UiEnvironment {
public:
    UiEnvironment();
    ~UiEnvironment();
    FakeUiHost host;
};

// A screen that records what its controls tell it.
class RecordingScreen : public Velm::BaseDialogWidget {
public:
    RecordingScreen() : BaseDialogWidget(7, false) {}
    using Velm::BaseDialogWidget::ButtonPress;
    void ButtonDepress(int id) override { mEvents.push_back("click " + std::to_string(id)); }
    void ButtonReenabled(int id) override { mEvents.push_back("reenabled " + std::to_string(id)); }
    void CheckboxChecked(int id, bool checked) override {
        mEvents.push_back("checked " + std::to_string(id) + (checked ? " 1" : " 0"));
    }
    std::vector<std::string> mEvents;
};

// Turns LF line ends into CR LF (fixtures are written readably).
std::string Crlf(const std::string& text);

}  // namespace UiTest
