#pragma once

#include <string>

#include "graphics/Rect.h"

namespace Velm {
class Graphics;
class Image;
}

// Told once, when a FadingImage_t's start delay has run out and its opacity starts to move.
class AlphaStaticImageListener {
public:
    virtual ~AlphaStaticImageListener() = default;
    virtual void OnFadeStarted() = 0;
};

// An image whose opacity (alpha, 0..255) moves by step every update tick toward targetAlpha,
// after startDelay ticks of waiting. Positions are screen pixels; centred places the image's
// (or source rectangle's) centre at (x, y). An image set by name (SetImage) is owned and
// deleted on release; one set by pointer is borrowed; the two must not be mixed on one object.
class FadingImage_t {
public:
    FadingImage_t() = default;
    ~FadingImage_t();
    FadingImage_t(const FadingImage_t&) = delete;
    FadingImage_t& operator=(const FadingImage_t&) = delete;

    // True once alpha has reached the target (also while a delay is still counting).
    bool Update();
    // Alpha and target become a, step 0: the opacity then stays.
    void SetAlpha(float a);
    // opacity 255 is full; the drawn alpha is opacity x alpha / 255.
    void Draw(Velm::Graphics* g, float opacity);

    void SetImagePtr(Velm::Image* newImage) { image = newImage; }
    // Deletes an image loaded by name; the pointer becomes null, the name stays.
    void ReleaseImage();
    // Loads the image through the game's image hook; null when it cannot be read.
    void SetImage(const std::string& name);

    bool centred = false;
    float x = 0;
    float y = 0;
    bool floatDrawing = true;  // fractional positions when 3D accelerated
    AlphaStaticImageListener* listener = nullptr;
    bool additive = false;
    int startDelay = 0;  // ticks
    std::string imageName;
    float alpha = 0;
    float targetAlpha = 255;
    float step = 0.01f;  // per tick; negative fades out
    Velm::Rect srcRect;  // width 0: the whole image
    Velm::Image* image = nullptr;
};

// Shared by both picture classes: draws image (or srcRect of it) at (x, y), centred when
// asked, additive or normal, at float positions when 3D accelerated and floatDrawing is on.
// Restores the draw mode to normal afterwards (the tint flag is the caller's business).
void DrawPicture(Velm::Graphics* g, Velm::Image* image, const Velm::Rect& srcRect, float x, float y, bool centred,
                 bool additive, bool floatDrawing);
