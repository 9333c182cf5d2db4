#pragma once

#include <string>
#include <vector>

#include "graphics/Rect.h"

class IniSection_t;

namespace Velm {
class Graphics;
class Image;
class Transform;
}

// A sprite sheet: an image (owned by the game's image manager, never by the sheet) and the
// frame rectangles on it. Described by the section "Main" of a ".spr" file or by a section of
// an ".anim" file:
//   ImageFile   image resource path, also the image's id with the image manager
//   AlphaFile   separate alpha image (optional)
//   Attributes  image attribute words (see ParseSpriteImageAttributes)
//   Rects       "x,y,w,h;x,y,w,h;..." frame rectangles in file order
//   ColCount, RowCount  grid: every cell but (0, 0) adds the first rectangle moved by
//                       column x its width and row x its height, rows outer, columns inner
//   ActiveRect  index of the rectangle that becomes the current one
// currentRect is what the draw calls use; it is shared by every animation on the sheet, which
// sets it just before each draw.
class SpriteSheet_t {
public:
    SpriteSheet_t() = default;
    ~SpriteSheet_t() = default;

    // False when the file does not exist or has no section.
    bool LoadFile(const std::string& fileName);
    bool LoadFromSection(const IniSection_t& section);
    // Image pointer, rectangles, current rectangle, name and draw offsets (not the file strings).
    void Assign(const SpriteSheet_t& other);

    void DrawAt(Velm::Graphics* g, float x, float y, bool centred);
    // currentRect centred on the transform's origin, then moved by the draw offsets.
    void DrawTransformed(Velm::Graphics* g, const Velm::Transform& transform);

    std::string imageFile;
    std::string alphaFile;
    std::string attributes;
    Velm::Image* image = nullptr;  // null until resolved
    std::vector<Velm::Rect> rects;
    Velm::Rect currentRect;
    std::string name;  // the cache key
    float drawOffsetX = 0;
    float drawOffsetY = 0;
};

// The image-manager flags that a sheet's attribute words ask for. Each word counts wherever it
// stands in the text (plain substring search), so "nobits2d" and "nobits3d" also contain
// "nobits" and ask for the bits to be discarded in both display modes.
struct SpriteImageAttributes_t {
    bool palletize = true;      // cleared by "nopal"
    bool a4r4g4b4 = false;      // "a4r4g4b4"
    bool ddSurface = false;     // "ddsurface"
    bool discardBits = false;   // "nobits"; "nobits3d" when 3D accelerated, "nobits2d" when not
    bool a8r8g8b8 = false;      // "a8r8g8b8"
    bool minSubdivide = false;  // "minsubdivide"
    bool noAlpha = false;       // "noalpha"
};
SpriteImageAttributes_t ParseSpriteImageAttributes(const std::string& text, bool is3DAccelerated);

// The global sprite-sheet cache: file name (case-sensitive) to one loaded sheet, owned by the
// cache until ClearSpriteSheetCache. register asks the game's image manager to register the
// sheet's image (EngineHooks_t::addSpriteImage); resolve fetches it (getImagePtr) at once.
// Null when the file cannot be loaded (nothing is cached; a later call tries again).
SpriteSheet_t* GetSpriteSheet(const std::string& fileName, bool resolve, bool registerImage);
// The same with a new sheet read from the given section, cached under key.
SpriteSheet_t* GetSpriteSheetFromSection(const std::string& key, const IniSection_t& section, bool resolve,
                                         bool registerImage);
// Gives every cached sheet without an image its image from the image manager; the loading
// thread calls it after its resource groups are loaded.
void ResolveSpriteSheetImages();
// Deletes every cached sheet (once, at shutdown).
void ClearSpriteSheetCache();
