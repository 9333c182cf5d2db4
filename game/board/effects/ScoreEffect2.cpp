#include "game/board/effects/ScoreEffect2.h"

#include "game/board/effects/BoardEffectResources.h"
#include "graphics/Graphics.h"

ScoreEffect2::ScoreEffect2(const Params& params)
        : text(std::to_string(params.value)), x(params.x), y(params.y), value(params.value) {}

bool ScoreEffect2::Update() {
    if (done) return true;
    ++updates;
    if (updates >= 40) fade = 4;
    alpha -= fade;
    if (alpha <= 0) {
        alpha = 0;
        done = true;
    }
    return done;
}

void ScoreEffect2::Advance(float ticks) {
    if (!done) y -= ticks * 0.5f;
}

void ScoreEffect2::Draw(Velm::Graphics* g) {
    Velm::Font* font = GetBoardEffectResources().numbersFont;
    if (done || font == nullptr) return;
    g->PushState();
    g->SetFont(font);
    g->SetTintImages(true);
    g->SetColor(Velm::Color(255, 255, 255, static_cast<int>(alpha)));
    g->DrawString(text, static_cast<int>(x), static_cast<int>(y));
    g->PopState();
}

BonusText::BonusText(int number, float px, float py) : y(py), x(px), text(std::to_string(number)) {}

bool BonusText::Update() {
    ++updates;
    if (updates >= 50) alpha -= 4;
    done = alpha <= 0;
    return done;
}

void BonusText::Advance(float ticks) { y -= ticks; }

void BonusText::Draw(Velm::Graphics* g) {
    Velm::Font* font = GetBoardEffectResources().defaultFont;
    if (font == nullptr || alpha <= 0) return;
    g->PushState();
    g->SetFont(font);
    colour.alpha = static_cast<int>(alpha);
    g->SetColor(colour);
    g->DrawString(text, static_cast<int>(x), static_cast<int>(y));
    g->PopState();
}
