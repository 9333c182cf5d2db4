#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/particles/ParticleEmitter.h"
#include "game/board/effects/ObjectsManager.h"
#include "game/shell/screens/ValueRamp.h"
#include "game/shell/ui/FlyWidget.h"
#include "game/shell/ui/NumberLabelWidget.h"

namespace Velm {

class Widget;

// The window the play screen opens when a level is won ("ui/LevelComplete.txt",
// which gives it the dialog id the board waits for). It fades in, then shows
// four results one after the other, each revealed by a burst of particles from
// "particles/levelcomplete.ini" and the sound "scorecomplete": the level score,
// the time bonus, their sum and the game score with the bonus. "Ok" (or Esc,
// Enter) fades it out; then it flies out with result 1, which the board
// receives through its dialog listener.
//
// The time bonus is added to the player's total score (and the profiles
// saved) once, when the window is made: the reveal only shows it, so closing
// the window early or an effect that never ends cannot lose it.
//
// Time is update ticks of 10 ms (fades of 50 ticks). Main thread only.
class LevelCompleteWidget_t : public FlyWidget_t, public NumberLabelListener, public ParticleSystemListener {
public:
    // The board's level result: five ints, of which the fourth is the level
    // score and the fifth the time bonus.
    using LevelResult = std::array<int, 5>;
    static constexpr int kLevelScoreIndex = 3;
    static constexpr int kTimeBonusIndex = 4;
    static constexpr const char* kParticleFile = "particles/levelcomplete.ini";
    static constexpr float kFadeStep = 5.1f;

    // fileName: the UI description. The value labels get their texts at once
    // (hidden until revealed), the caption labels and the value labels are
    // stacked in the areas "ButtonsXY"/"ButtonsWH" and "Buttons2XY"/"Buttons2WH",
    // and the time bonus is credited.
    LevelCompleteWidget_t(const std::string& fileName, const LevelResult& result);
    ~LevelCompleteWidget_t() override;

    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    void KeyUp(int key) override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    // A burst's emitter has aged by this fraction of its life: past 0.95 the
    // burst's label shows; at its end the next burst starts.
    void OnEmitterProgress(int emitterIndex, float fraction) override;

    void StartBurst(Widget* label);
    void DrawLabels(Graphics* g);

    int GetLevelScore() const { return levelScore; }
    int GetTimeBonus() const { return timeBonus; }
    int GetRevealIndex() const { return revealIndex; }
    bool IsRevealed(int i) const;
    const ValueRamp& GetFade() const { return fade; }
    int GetBurstCount() const { return particles.Count(); }

private:
    void CreditTimeBonus();
    Widget* Find(const char* name);

    int levelScore = 0;
    int timeBonus = 0;
    bool bonusCredited = false;
    bool burstPending = true;
    Widget* scoreValue = nullptr;
    Widget* timeValue = nullptr;
    Widget* totalValue = nullptr;
    Widget* gameValue = nullptr;
    // Drawn by the dialog itself, at its fade; null entries for missing elements.
    std::vector<Widget*> labels;
    std::vector<Widget*> buttons;
    std::array<Widget*, 4> reveal{};
    int revealIndex = 0;
    bool revealed = false;
    ObjectsManager particles{true};
    ValueRamp fade;
    // Labels taken out of the dialog's children (so only DrawLabels draws them).
    std::vector<std::unique_ptr<Widget>> ownedLabels;
};

}  // namespace Velm
