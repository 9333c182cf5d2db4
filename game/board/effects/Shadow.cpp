#include "game/board/effects/Shadow.h"

#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Rect.h"

void Shadow::Update() {
    if (closing == 0) {
        alpha += step;
        if (alpha > maximum) alpha = maximum;
        return;
    }
    alpha -= step;
    if (alpha <= 0) {
        alpha = 0;
        finished = true;
    }
}

void Shadow::Draw(Velm::Graphics* g) {
    g->SetColor(Velm::Color(0, 0, 0, static_cast<int>(alpha)));
    g->FillRect(Velm::Rect(0, 0, width, height));
}

void BackShadow::Update() {
    alpha += step;
    if (!fadingOut && alpha >= target) {
        alpha = target;
        done = true;
    }
    if (alpha <= 0) {
        alpha = 0;
        done = true;
    }
}

void BackShadow::StartFadeOut() {
    step = -1;
    fadingOut = true;
    done = false;
    counter = 0;
}

void BackShadow::Draw(Velm::Graphics* g) {
    if (alpha <= 0) return;
    g->PushState();
    g->SetColor(Velm::Color(0, 0, 0, static_cast<int>(alpha)));
    g->FillRect(Velm::Rect(0, 0, width, height));
    g->PopState();
}
