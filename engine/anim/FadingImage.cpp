#include "engine/anim/FadingImage.h"

#include "engine/anim/EngineHooks.h"
#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"

FadingImage_t::~FadingImage_t() { ReleaseImage(); }

bool FadingImage_t::Update() {
    if (alpha == targetAlpha) return true;
    if (startDelay > 0) {
        --startDelay;
        if (startDelay == 0 && listener != nullptr) listener->OnFadeStarted();
        return false;
    }
    alpha += step;
    if ((step > 0 && alpha >= targetAlpha) || (step < 0 && alpha <= targetAlpha)) alpha = targetAlpha;
    return alpha == targetAlpha;
}

void FadingImage_t::SetAlpha(float a) {
    alpha = a;
    targetAlpha = a;
    step = 0;
}

void FadingImage_t::ReleaseImage() {
    if (!imageName.empty()) delete image;
    image = nullptr;
}

void FadingImage_t::SetImage(const std::string& name) {
    ReleaseImage();
    imageName = name;
    image = EngineHooks::GetImage(name);
}

void FadingImage_t::Draw(Velm::Graphics* g, float opacity) {
    if (image == nullptr || alpha <= 0) return;
    const bool wasTinting = g->GetTintImages();
    if (alpha < 255 || opacity < 255) {
        g->SetTintImages(true);
        g->SetColor(Velm::Color(255, 255, 255, static_cast<int>(opacity * alpha * 0.003921569f)));
    }
    DrawPicture(g, image, srcRect, x, y, centred, additive, floatDrawing);
    g->SetTintImages(wasTinting);
}

void DrawPicture(Velm::Graphics* g, Velm::Image* image, const Velm::Rect& srcRect, float x, float y, bool centred,
                 bool additive, bool floatDrawing) {
    const bool hasRect = srcRect.width != 0;
    float px = x;
    float py = y;
    if (centred) {
        px -= hasRect ? srcRect.width / 2 : image->GetWidth() / 2;
        py -= hasRect ? srcRect.height / 2 : image->GetHeight() / 2;
    }
    g->SetDrawMode(additive ? Velm::DRAWMODE_ADDITIVE : Velm::DRAWMODE_NORMAL);
    if (EngineHooks::Is3DAccelerated() && floatDrawing) {
        if (hasRect)
            g->DrawImageF(image, px, py, srcRect);
        else
            g->DrawImageF(image, px, py);
    } else {
        if (hasRect)
            g->DrawImage(image, static_cast<int>(px), static_cast<int>(py), srcRect);
        else
            g->DrawImage(image, static_cast<int>(px), static_cast<int>(py));
    }
    g->SetDrawMode(Velm::DRAWMODE_NORMAL);
}
