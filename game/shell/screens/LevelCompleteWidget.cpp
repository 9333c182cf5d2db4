#include "game/shell/screens/LevelCompleteWidget.h"

#include "engine/particles/ParticleSystem.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/screens/ButtonColumn.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "resources/base/StringUtils.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kOkButtonId = 0;
// The revealed label shows a little before its burst ends.
constexpr float kRevealAt = 0.95f;

void SetLabel(Widget* widget, int value) {
    if (auto* button = dynamic_cast<ButtonWidget*>(widget)) button->mLabel = FormatThousands(value);
}

// Stacks the widgets in the area given by the points nameXY (corner) and nameWH
// (size): one under the other without a gap above the first, each centred.
void ArrangeIn(UiDescription_t& description, const char* cornerName, const char* sizeName,
               const std::vector<Widget*>& widgets) {
    const Point* corner = description.FindPoint(cornerName);
    const Point* size = description.FindPoint(sizeName);
    if (corner == nullptr || size == nullptr) return;
    ButtonColumn column(corner->x, corner->y, size->x, size->y);
    for (Widget* widget : widgets) {
        if (widget != nullptr) column.Add(widget);
    }
    column.Arrange(true, true, true, true);
}

}  // namespace

LevelCompleteWidget_t::LevelCompleteWidget_t(const std::string& fileName, const LevelResult& result)
        : FlyWidget_t(fileName, 0, true) {
    fade.Start(0.0f, 0.0f, 0.0f);
    fade.reached = true;
    levelScore = result[kLevelScoreIndex];
    timeBonus = result[kTimeBonusIndex];

    const Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
    const int gameScore = progress != nullptr ? progress->gameScore : 0;
    scoreValue = Find("ScoreLblValue");
    timeValue = Find("TimeLblValue");
    totalValue = Find("TotalScoreLblValue");
    gameValue = Find("GameScoreLblValue");
    SetLabel(scoreValue, levelScore);
    SetLabel(timeValue, timeBonus);
    // Held at the largest int: the bonuses come from the stage settings, which a player can change.
    SetLabel(totalValue, DataNumbers::AddClamped(levelScore, timeBonus));
    SetLabel(gameValue, DataNumbers::AddClamped(gameScore, timeBonus));

    labels = {scoreValue,
              timeValue,
              totalValue,
              gameValue,
              Find("ScoreLbl"),
              Find("TimeLbl"),
              Find("TotalScoreLbl"),
              Find("GameScoreLbl"),
              Find("LevelLbl")};
    buttons = {Find("Ok")};
    reveal = {scoreValue, timeValue, totalValue, gameValue};
    for (Widget* value : reveal) {
        if (value != nullptr) value->SetVisible(false);
    }
    // The labels leave the dialog's children: DrawLabels draws them at the
    // dialog's fade.
    for (Widget* label : labels) {
        if (label == nullptr || !HasWidget(label)) continue;
        RemoveWidget(label);
        ownedLabels.emplace_back(label);
    }

    UiDescription_t& description = *GetDescription();
    ArrangeIn(description, "ButtonsXY", "ButtonsWH", {labels[4], labels[5], labels[6], labels[7]});
    ArrangeIn(description, "Buttons2XY", "Buttons2WH", {scoreValue, timeValue, totalValue, gameValue});

    fade.Start(0.0f, 255.0f, kFadeStep);
    CreditTimeBonus();
}

LevelCompleteWidget_t::~LevelCompleteWidget_t() { particles.Clear(); }

Widget* LevelCompleteWidget_t::Find(const char* name) { return GetDescription()->FindWidget(name); }

void LevelCompleteWidget_t::CreditTimeBonus() {
    if (bonusCredited) return;
    bonusCredited = true;
    ProfileManager_t* profiles = ProfileManager_t::Instance();
    profiles->AddTotalScore(timeBonus);
    profiles->Save();
}

bool LevelCompleteWidget_t::IsRevealed(int i) const {
    return i >= 0 && i < static_cast<int>(reveal.size()) && reveal[static_cast<size_t>(i)] != nullptr &&
           reveal[static_cast<size_t>(i)]->mVisible;
}

void LevelCompleteWidget_t::Update() {
    FlyWidget_t::Update();
    fade.Step();
    if (flyState == kResting) {
        if (fade.value == 0.0f) {
            FlyOut(1);
            return;
        }
        if (burstPending) {
            burstPending = false;
            StartBurst(reveal[static_cast<size_t>(revealIndex)]);
        }
    }
    particles.Update();
}

void LevelCompleteWidget_t::UpdateF(float fraction) {
    FlyWidget_t::UpdateF(fraction);
    particles.AdvanceAll(fraction);
}

void LevelCompleteWidget_t::StartBurst(Widget* label) {
    revealed = false;
    if (label != nullptr) {
        auto burst = std::make_unique<ParticleSystem_t>();
        burst->LoadFile(kParticleFile);
        if (!burst->emitters.empty()) {
            // The last emitter spawns over the whole label.
            ParticleEmitter_t& area = *burst->emitters.back();
            area.graphs[ParticleEmitter_t::WIDTH].AddKey(0.0f, static_cast<float>(label->mWidth), true);
            area.graphs[ParticleEmitter_t::HEIGHT].AddKey(0.0f, static_cast<float>(label->mHeight), true);
        }
        burst->SetPosition(static_cast<float>(label->mX) + static_cast<float>(label->mWidth) * 0.5f,
                           static_cast<float>(label->mY) + static_cast<float>(label->mHeight) * 0.5f);
        burst->SetListener(this);
        particles.AddObject(std::move(burst));
    }
    PlayUiSound("scorecomplete");
}

void LevelCompleteWidget_t::OnEmitterProgress(int emitterIndex, float fraction) {
    (void)emitterIndex;
    if (!revealed && fraction > kRevealAt) {
        revealed = true;
        Widget* label = reveal[static_cast<size_t>(revealIndex)];
        if (label != nullptr) label->SetVisible(true);
    }
    if (fraction == 1.0f && revealIndex < 3) {
        ++revealIndex;
        StartBurst(reveal[static_cast<size_t>(revealIndex)]);
    }
}

void LevelCompleteWidget_t::Draw(Graphics* g) {
    const int alpha = static_cast<int>(fade.value);
    g->PushState();
    g->ClearClipRect();
    g->tintImages = true;
    g->SetColor(Color(255, 255, 255, alpha));
    for (Widget* button : buttons) {
        if (auto* ok = dynamic_cast<ButtonWidget*>(button)) ok->mAlpha = alpha;
    }
    FlyWidget_t::Draw(g);
    DrawLabels(g);
    g->SetColor(Color(255, 255, 255, alpha));
    particles.Draw(g);
    g->PopState();
}

void LevelCompleteWidget_t::DrawLabels(Graphics* g) {
    const int alpha = static_cast<int>(fade.value);
    for (Widget* label : labels) {
        if (label == nullptr || !label->mVisible) continue;
        if (auto* link = dynamic_cast<HyperlinkWidget*>(label)) {
            link->mLinkAlpha = static_cast<float>(alpha);
        } else if (auto* button = dynamic_cast<ButtonWidget*>(label)) {
            button->mAlpha = alpha;
        }
        g->Translate(label->mX, label->mY);
        label->Draw(g);
        g->Translate(-label->mX, -label->mY);
    }
}

void LevelCompleteWidget_t::KeyUp(int key) {
    FlyWidget_t::KeyUp(key);
    if (key == kKeyEscape || key == kKeyEnter) ButtonDepress(kOkButtonId);
}

void LevelCompleteWidget_t::ButtonDepress(int id) {
    PlayUiSound("MouseDown");
    if (id == kOkButtonId) fade.Start(255.0f, 0.0f, -kFadeStep);
}

void LevelCompleteWidget_t::ButtonMouseEnter(int id) {
    if (id != -1) PlayUiSound("MouseEnter");
}

}  // namespace Velm
