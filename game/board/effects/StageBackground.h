#pragma once

#include <string>

#include "engine/anim/FadingImage.h"

namespace Velm {
class Graphics;
}

// The picture behind the play screen's tiles: the stage's day picture cross-fades slowly to its
// night picture and back, and in each phase the heroine's overlay fades in and out once. One
// member of the play screen, ticked once per update (10 ms). Pictures are loaded by name and
// owned. Main thread only.
class StageBackground_t {
public:
    StageBackground_t();

    // Seconds, stored as ticks (x 100, truncated).
    void SetTimes(float phaseSeconds, float overlayShowSeconds, float overlayStartSeconds);
    // Nothing when the day name is the one already set (the animation goes on).
    void SetImages(const std::string& dayName, const std::string& nightName, const std::string& heroDayName,
                   const std::string& heroNightName, int heroX, int heroY);
    void Update();
    void Draw(Velm::Graphics* g);

    int phase = 0;  // 0 day picture showing, 2 night picture showing
    FadingImage_t day;
    FadingImage_t night;
    FadingImage_t heroDay;
    FadingImage_t heroNight;
    int phaseTicks = 0;
    int overlayShowTicks = 0;
    int overlayStartTicks = 0;
    bool overlaysOn = true;
    float crossfadeStep = 0.0425f;
    float overlayStep = 0.255f;
    int phaseCount = 0;
    int overlayCount = 0;
    std::string currentName;

private:
    // The overlay of the running phase: fade in at the start tick, fade out after the show
    // ticks; then the phase switch when the phase is over.
    void StepPhase(FadingImage_t& hero, FadingImage_t& from, FadingImage_t& to, int nextPhase);
};
