#pragma once

#include <functional>
#include <string>

namespace Velm {
class Image;
}

// What the engine's sprites, pictures and particle effects need from the game that runs them:
// image loading, the game's image manager, its bound resource images and the display mode.
// The game fills these in once at start-up (before any sheet, animation or effect is loaded)
// and never changes them while the engine runs; the engine includes no game header.
// Every hook may be left empty: the engine then behaves as if no image could be found and the
// display were not 3D accelerated, which is what tests that hand images over directly get.
// Main thread (and the loading thread, which only resolves sprite-sheet images).
struct EngineHooks_t {
    // Reads an image file into a new image owned by the caller; null when nothing was read.
    // (The application's GetImage with its alpha flags refreshed.)
    std::function<Velm::Image*(const std::string& path)> getImage;

    // True while drawing goes through the 3D device: the engine then uses the float-position
    // draw calls.
    std::function<bool()> is3DAccelerated;

    // Registers a sprite sheet's image with the game's image manager under the id imageFile.
    // attributes is the sheet's attribute text (see ParseSpriteImageAttributes).
    std::function<bool(const std::string& imageFile, const std::string& alphaFile, const std::string& attributes)>
            addSpriteImage;

    // The image manager's image of that id, loaded on demand; null when there is none. The
    // manager keeps ownership.
    std::function<Velm::Image*(const std::string& id)> getImagePtr;

    // The game's bound resource image of that resource name, or null when the name is not a
    // bound image resource. Not owned by the caller.
    std::function<Velm::Image*(const std::string& name)> getResourceImage;

    // Colour conversions of the application (all values 0..255): rgbToHsl gives hue in the
    // lowest byte, saturation in the next, lightness in the third; hslToRgb an opaque
    // 0xAARRGGBB value. When empty, the engine's own RgbToHsl/HslToRgb are used.
    std::function<unsigned(int red, int green, int blue)> rgbToHsl;
    std::function<unsigned(int hue, int saturation, int lightness)> hslToRgb;
};

void SetEngineHooks(const EngineHooks_t& hooks);
const EngineHooks_t& GetEngineHooks();

// Calls through the hooks with the documented fallbacks of empty hooks.
namespace EngineHooks {
Velm::Image* GetImage(const std::string& path);
bool Is3DAccelerated();
bool AddSpriteImage(const std::string& imageFile, const std::string& alphaFile, const std::string& attributes);
Velm::Image* GetImagePtr(const std::string& id);
Velm::Image* GetResourceImage(const std::string& name);
unsigned RGBToHSL(int red, int green, int blue);
unsigned HSLToRGB(int hue, int saturation, int lightness);
}  // namespace EngineHooks

// The integer HSL conversions the colour cycles of sprite animations are defined with (hue,
// saturation and lightness 0..255, hue in sixths of 256). Saturation is capped at 255 and a
// hue of 256 wraps to 0, so that neither spills into the next byte of the packed result.
unsigned RgbToHsl(int red, int green, int blue);            // 0xFF000000 | l << 16 | s << 8 | h
unsigned HslToRgb(int hue, int saturation, int lightness);  // 0xFFRRGGBB
