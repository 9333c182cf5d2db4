#include "engine/anim/StillImage.h"

#include "engine/anim/EngineHooks.h"
#include "engine/anim/FadingImage.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"

StillImage_t::~StillImage_t() { ReleaseImage(); }

void StillImage_t::ReleaseImage() {
    if (!imageName.empty()) delete image;
    image = nullptr;
}

void StillImage_t::SetImage(const std::string& name) {
    ReleaseImage();
    imageName = name;
    image = EngineHooks::GetImage(name);
}

void StillImage_t::ReloadImage() {
    ReleaseImage();
    if (!imageName.empty()) image = EngineHooks::GetImage(imageName);
}

void StillImage_t::Draw(Velm::Graphics* g, float opacity) {
    if (image == nullptr || !visible) return;
    const bool wasTinting = g->GetTintImages();
    if (colour.alpha != 255) {
        g->SetTintImages(true);
        Velm::Color tint = colour;
        tint.alpha = static_cast<int>(colour.alpha * opacity * 0.003921569f);
        g->SetColor(tint);
    }
    DrawPicture(g, image, srcRect, x, y, centred, additive, floatDrawing);
    g->SetTintImages(wasTinting);
}

float StillImage_t::GetPivotX() const { return centred && srcRect.width != 0 ? x + srcRect.width / 2 : x; }

float StillImage_t::GetPivotY() const { return centred && srcRect.width != 0 ? y + srcRect.height / 2 : y; }
