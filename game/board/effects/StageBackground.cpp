#include "game/board/effects/StageBackground.h"

namespace {

void Place(FadingImage_t& picture, const std::string& name, int x, int y) {
    picture.ReleaseImage();
    picture.SetImage(name);
    picture.x = static_cast<float>(x);
    picture.y = static_cast<float>(y);
    picture.centred = false;
}

void StartFade(FadingImage_t& picture, float from, float to, float step) {
    picture.alpha = from;
    picture.targetAlpha = to;
    picture.step = step;
}

}  // namespace

StageBackground_t::StageBackground_t() = default;

void StageBackground_t::SetTimes(float phaseSeconds, float overlayShowSeconds, float overlayStartSeconds) {
    phaseTicks = static_cast<int>(phaseSeconds * 100);
    overlayShowTicks = static_cast<int>(overlayShowSeconds * 100);
    overlayStartTicks = static_cast<int>(overlayStartSeconds * 100);
}

void StageBackground_t::SetImages(const std::string& dayName, const std::string& nightName,
                                  const std::string& heroDayName, const std::string& heroNightName, int heroX,
                                  int heroY) {
    if (dayName == currentName) return;
    currentName = dayName;
    Place(day, dayName, 0, 0);
    Place(night, nightName, 0, 0);
    Place(heroDay, heroDayName, heroX, heroY);
    Place(heroNight, heroNightName, heroX, heroY);
    night.SetAlpha(0);
    heroDay.SetAlpha(0);
    heroNight.SetAlpha(0);
    day.SetAlpha(255);
    phase = 0;
    phaseCount = 0;
    overlayCount = 0;
}

void StageBackground_t::StepPhase(FadingImage_t& hero, FadingImage_t& from, FadingImage_t& to, int nextPhase) {
    if (overlaysOn && phaseCount == overlayStartTicks && static_cast<int>(hero.alpha) == 0) {
        StartFade(hero, 0, 255, overlayStep);
        overlayCount = 0;
    }
    if (static_cast<int>(hero.alpha) == 255 && overlayCount == overlayShowTicks) {
        StartFade(hero, 255, 0, -overlayStep);
    }
    if (phaseTicks > 0 && phaseCount >= phaseTicks) {
        phase = nextPhase;
        StartFade(from, 255, 0, -crossfadeStep);
        StartFade(to, 0, 255, crossfadeStep);
        phaseCount = 0;
        overlayCount = 0;
    }
}

void StageBackground_t::Update() {
    ++phaseCount;
    ++overlayCount;
    if (phase == 0)
        StepPhase(heroDay, day, night, 2);
    else
        StepPhase(heroNight, night, day, 0);
    day.Update();
    night.Update();
    heroDay.Update();
    heroNight.Update();
}

void StageBackground_t::Draw(Velm::Graphics* g) {
    day.Draw(g, 255);
    night.Draw(g, 255);
    if (overlaysOn) {
        heroDay.Draw(g, 255);
        heroNight.Draw(g, 255);
    }
}
