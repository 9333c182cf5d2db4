#pragma once

// Shared by the sprite and particle tests: a destination image that records the blits the
// drawing context sends it, INI files written with CR LF line ends, and engine hooks that hand
// out test images by name.

#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/anim/EngineHooks.h"
#include "graphics/Image.h"
#include "graphics/MemoryImage.h"

namespace animtest {

struct Blit {
    std::string kind;  // "Blt", "BltF", "BltMatrix", "BltRotated", "StretchBlt"
    float x = 0;
    float y = 0;
    Velm::Rect src;
    Velm::Color color;
    int drawMode = 0;
};

// 1024 x 768 destination that draws nothing and remembers every blit.
class RecordingImage : public Velm::Image {
public:
    RecordingImage() {
        width = 1024;
        height = 768;
    }
    void Blt(Velm::Image*, int x, int y, const Velm::Rect& src, const Velm::Color& color, int mode) override {
        blits.push_back({"Blt", static_cast<float>(x), static_cast<float>(y), src, color, mode});
    }
    void BltF(Velm::Image*, float x, float y, const Velm::Rect& src, const Velm::Rect&, const Velm::Color& color,
              int mode) override {
        blits.push_back({"BltF", x, y, src, color, mode});
    }
    void BltRotated(Velm::Image*, float x, float y, const Velm::Rect& src, const Velm::Rect&, const Velm::Color& color,
                    int mode, double, float, float) override {
        blits.push_back({"BltRotated", x, y, src, color, mode});
    }
    void StretchBlt(Velm::Image*, const Velm::Rect& dest, const Velm::Rect& src, const Velm::Rect&,
                    const Velm::Color& color, int mode, bool) override {
        blits.push_back({"StretchBlt", static_cast<float>(dest.x), static_cast<float>(dest.y), src, color, mode});
    }
    void BltMatrix(Velm::Image*, float x, float y, const Velm::Matrix3&, const Velm::Rect&, const Velm::Color& color,
                   int mode, const Velm::Rect& src, bool) override {
        blits.push_back({"BltMatrix", x, y, src, color, mode});
    }
    std::vector<Blit> blits;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Written with CR LF line ends, as the game's data files are (the INI reader takes LF too).
inline void WriteIni(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteFile(path, text);
}

inline Velm::MemoryImage* MakeImage(int width, int height, uint32_t argb = 0xFFFFFFFF) {
    auto* image = new Velm::MemoryImage(nullptr);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, argb);
    image->SetBits(pixels.data(), width, height, true);
    return image;
}

// Installs hooks for one test and clears them afterwards. Images by file name are made fresh
// on every getImage call (the caller owns them); resource images are owned here.
class ScopedHooks {
public:
    ScopedHooks() { Install(); }
    ~ScopedHooks() {
        SetEngineHooks(EngineHooks_t());
        for (auto& entry : resources) delete entry.second;
    }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;

    void Install() {
        EngineHooks_t hooks;
        hooks.getImage = [this](const std::string& path) -> Velm::Image* {
            ++getImageCalls;
            auto it = fileSizes.find(path);
            if (it == fileSizes.end()) return nullptr;
            return MakeImage(it->second.first, it->second.second);
        };
        hooks.is3DAccelerated = [this] { return is3D; };
        hooks.addSpriteImage = [this](const std::string& image, const std::string& alpha, const std::string& attrs) {
            registered.push_back(image + "|" + alpha + "|" + attrs);
            return true;
        };
        hooks.getImagePtr = [this](const std::string& id) -> Velm::Image* {
            auto it = resources.find(id);
            return it != resources.end() ? it->second : nullptr;
        };
        hooks.getResourceImage = [this](const std::string& name) -> Velm::Image* {
            auto it = resources.find(name);
            return it != resources.end() ? it->second : nullptr;
        };
        SetEngineHooks(hooks);
    }

    std::map<std::string, std::pair<int, int>> fileSizes;  // image files getImage can read
    std::map<std::string, Velm::Image*> resources;         // image manager / bound resources
    std::vector<std::string> registered;
    int getImageCalls = 0;
    bool is3D = false;
};

}  // namespace animtest
