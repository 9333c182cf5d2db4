#pragma once

#include <string>

#include "engine/anim/DrawObject.h"
#include "graphics/Color.h"

// Numbers shown over the play screen, in its effect list B. Time is update ticks (10 ms);
// positions are screen pixels of the text's top-left corner. Fonts come from
// BoardEffectResources; without one nothing is drawn. Main thread only.

// The points of a removed tile: hold 39 updates at full alpha, then fade by 4 per update while
// rising half a pixel per update; done after 103 updates.
class ScoreEffect2 : public DrawObject {
public:
    struct Params {
        int value = 0;
        float x = 0;
        float y = 0;
    };
    explicit ScoreEffect2(const Params& params);

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    std::string text;
    float x = 0;
    float y = 0;
    int value = 0;
    float alpha = 255;
    float fade = 0;
    int updates = 0;
};

// The time bonus of a finished level, in blue: fades by 4 per update from the 50th update,
// rising a pixel per update; done after 113 updates.
class BonusText : public DrawObject {
public:
    BonusText(int number, float x, float y);

    bool Update() override;
    void Advance(float ticks) override;
    void Draw(Velm::Graphics* g) override;

    Velm::Color colour{0, 0, 255, 255};
    float y = 0;
    float x = 0;
    float alpha = 255;
    int updates = 0;
    std::string text;
};
