#include "engine/anim/SpriteSheet.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "engine/anim/EngineHooks.h"
#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "graphics/Graphics.h"
#include "graphics/Transform.h"

namespace {

// Grids larger than this come only from broken files; they are not expanded.
constexpr long long kMaxGridCells = 65536;

std::map<std::string, SpriteSheet_t*>& Cache() {
    static std::map<std::string, SpriteSheet_t*> cache;
    return cache;
}

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

}  // namespace

bool SpriteSheet_t::LoadFile(const std::string& fileName) {
    IniFile_t ini;
    ini.Load(fileName, true);
    if (ini.GetSectionCount() == 0) return false;
    return LoadFromSection(ini.GetSection("Main"));
}

bool SpriteSheet_t::LoadFromSection(const IniSection_t& section) {
    section.GetString("ImageFile", "", imageFile);
    section.GetString("AlphaFile", "", alphaFile);
    section.GetString("Attributes", "", attributes);
    const int colCount = section.GetInt("ColCount", 0);
    const int rowCount = section.GetInt("RowCount", 0);
    std::string rectsText;
    section.GetString("Rects", "", rectsText);
    const int activeRect = section.GetInt("ActiveRect", 0);

    std::vector<std::string> items;
    com_string::Split(rectsText.c_str(), ';', items);
    for (const std::string& item : items) {
        Velm::Rect r;
        // An item with fewer than four numbers is not a rectangle and is left out.
        if (std::sscanf(item.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) == 4) rects.push_back(r);
    }
    if (!rects.empty() && colCount > 0 && rowCount > 0 &&
        static_cast<long long>(colCount) * rowCount <= kMaxGridCells) {
        const Velm::Rect first = rects.front();
        for (int row = 0; row < rowCount; ++row) {
            for (int col = 0; col < colCount; ++col) {
                if (row == 0 && col == 0) continue;
                rects.emplace_back(first.x + col * first.width, first.y + row * first.height, first.width,
                                   first.height);
            }
        }
    }
    // An index outside the list leaves the current rectangle empty.
    if (activeRect >= 0 && activeRect < static_cast<int>(rects.size())) currentRect = rects[activeRect];
    return true;
}

void SpriteSheet_t::Assign(const SpriteSheet_t& other) {
    image = other.image;
    rects = other.rects;
    currentRect = other.currentRect;
    name = other.name;
    drawOffsetX = other.drawOffsetX;
    drawOffsetY = other.drawOffsetY;
}

void SpriteSheet_t::DrawAt(Velm::Graphics* g, float x, float y, bool centred) {
    if (image == nullptr) return;
    if (centred) {
        x -= currentRect.width / 2;
        y -= currentRect.height / 2;
    }
    if (EngineHooks::Is3DAccelerated())
        g->DrawImageF(image, x, y, currentRect);
    else
        // Rounded down, not towards zero: pictures laid side by side across the left or top
        // edge would overlap by a pixel.
        g->DrawImage(image, static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), currentRect);
}

void SpriteSheet_t::DrawTransformed(Velm::Graphics* g, const Velm::Transform& transform) {
    // A sheet whose image is still missing draws nothing.
    if (image == nullptr) return;
    if (EngineHooks::Is3DAccelerated())
        g->DrawImageTransformF(image, transform, currentRect, drawOffsetX, drawOffsetY);
    else
        g->DrawImageTransform(image, transform, currentRect, drawOffsetX, drawOffsetY);
}

SpriteImageAttributes_t ParseSpriteImageAttributes(const std::string& text, bool is3DAccelerated) {
    SpriteImageAttributes_t a;
    a.palletize = !Contains(text, "nopal");
    a.a4r4g4b4 = Contains(text, "a4r4g4b4");
    a.ddSurface = Contains(text, "ddsurface");
    a.discardBits = Contains(text, "nobits") || (is3DAccelerated && Contains(text, "nobits3d")) ||
                    (!is3DAccelerated && Contains(text, "nobits2d"));
    a.a8r8g8b8 = Contains(text, "a8r8g8b8");
    a.minSubdivide = Contains(text, "minsubdivide");
    a.noAlpha = Contains(text, "noalpha");
    return a;
}

namespace {

SpriteSheet_t* FinishLookup(SpriteSheet_t* sheet, bool isNew, bool resolve, bool registerImage) {
    if ((isNew && registerImage) || (!isNew && sheet->image == nullptr))
        EngineHooks::AddSpriteImage(sheet->imageFile, sheet->alphaFile, sheet->attributes);
    if (resolve && sheet->image == nullptr) sheet->image = EngineHooks::GetImagePtr(sheet->imageFile);
    return sheet;
}

}  // namespace

SpriteSheet_t* GetSpriteSheet(const std::string& fileName, bool resolve, bool registerImage) {
    auto& cache = Cache();
    auto it = cache.find(fileName);
    if (it != cache.end()) return FinishLookup(it->second, false, resolve, registerImage);
    auto* sheet = new SpriteSheet_t;
    if (!sheet->LoadFile(fileName)) {
        delete sheet;
        return nullptr;
    }
    sheet->name = fileName;
    cache[fileName] = sheet;
    return FinishLookup(sheet, true, resolve, registerImage);
}

SpriteSheet_t* GetSpriteSheetFromSection(const std::string& key, const IniSection_t& section, bool resolve,
                                         bool registerImage) {
    auto& cache = Cache();
    auto it = cache.find(key);
    if (it != cache.end()) return FinishLookup(it->second, false, resolve, registerImage);
    auto* sheet = new SpriteSheet_t;
    sheet->LoadFromSection(section);
    sheet->name = key;
    cache[key] = sheet;
    return FinishLookup(sheet, true, resolve, registerImage);
}

void ResolveSpriteSheetImages() {
    for (auto& entry : Cache()) {
        if (entry.second->image == nullptr) entry.second->image = EngineHooks::GetImagePtr(entry.second->imageFile);
    }
}

void ClearSpriteSheetCache() {
    for (auto& entry : Cache()) delete entry.second;
    Cache().clear();
}
