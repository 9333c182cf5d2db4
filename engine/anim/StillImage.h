#pragma once

#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Velm {
class Graphics;
class Image;
}

// An image placed at a point with its own tint and visibility; the board's tile sprites are
// these. colour tints only when its alpha is not 255. Ownership of the image as in
// FadingImage_t: owned when set by name, borrowed when set by pointer.
class StillImage_t {
public:
    StillImage_t() = default;
    ~StillImage_t();
    StillImage_t(const StillImage_t&) = delete;
    StillImage_t& operator=(const StillImage_t&) = delete;

    void SetImagePtr(Velm::Image* newImage) { image = newImage; }
    void ReleaseImage();
    void SetImage(const std::string& name);
    // Loads the named image again (after images were discarded on a display change).
    void ReloadImage();
    // opacity only matters while the colour tints (its alpha is not 255).
    void Draw(Velm::Graphics* g, float opacity);

    // x (y), plus half the source rectangle when centred and a rectangle is set.
    float GetPivotX() const;
    float GetPivotY() const;

    float x = 0;
    float y = 0;
    bool centred = false;
    bool floatDrawing = true;
    bool additive = false;
    std::string imageName;
    Velm::Image* image = nullptr;
    Velm::Rect srcRect;  // width 0: the whole image
    Velm::Color colour{0, 0, 0, 255};
    bool visible = true;
};
