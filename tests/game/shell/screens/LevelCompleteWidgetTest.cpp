#include "game/shell/screens/LevelCompleteWidget.h"

#include <gtest/gtest.h>

#include "game/shell/ProfileManager.h"
#include "game/shell/ui/UiDescription.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "widgets/ButtonWidget.h"

namespace {

using Velm::LevelCompleteWidget_t;

const LevelCompleteWidget_t::LevelResult kResult = {7, 0, 0, 1200, 300};

std::string LabelOf(LevelCompleteWidget_t& dialog, const char* name) {
    auto* button = dynamic_cast<Velm::ButtonWidget*>(dialog.GetDescription()->FindWidget(name));
    return button != nullptr ? button->mLabel : std::string("<missing>");
}

// Runs updates until the window is out (result set) or the limit passes.
int RunUntilOut(LevelCompleteWidget_t& dialog, int limit) {
    int n = 0;
    while (dialog.flyState != Velm::FlyWidget_t::kOut && n < limit) {
        dialog.Update();
        ++n;
    }
    return n;
}

class LevelComplete : public ::testing::Test {
protected:
    void SetUp() override {
        screenstest::LoadTerms();
        screenstest::WriteLevelCompleteUi(dir);
        Progress_t& progress = *screenstest::FreshProfiles(dir).GetCurrentProgress();
        progress.gameScore = 5000;
        progress.totalScore = 40000;
    }
    void TearDown() override { ProfileManager_t::Destroy(); }

    int TotalScore() { return ProfileManager_t::Instance()->GetCurrentProgress()->totalScore; }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
};

TEST_F(LevelComplete, ValuesAreSetAndHiddenAndTheBonusIsCreditedAtOnce) {
    screenstest::WriteBurst(dir, "0.3", false);
    LevelCompleteWidget_t dialog("ui/levelcomplete.txt", kResult);
    EXPECT_EQ(dialog.mId, 15);
    EXPECT_EQ(LabelOf(dialog, "ScoreLblValue"), "1,200");
    EXPECT_EQ(LabelOf(dialog, "TimeLblValue"), "300");
    EXPECT_EQ(LabelOf(dialog, "TotalScoreLblValue"), "1,500");
    EXPECT_EQ(LabelOf(dialog, "GameScoreLblValue"), "5,300");
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(dialog.IsRevealed(i)) << i;
    EXPECT_EQ(TotalScore(), 40300);
    // Saved with it: the player's file holds the new total on the next load.
    ProfileManager_t::Destroy();
    ProfileManager_t& again = *ProfileManager_t::Instance();
    again.Load(dir.Path("users.dat"));
    ASSERT_NE(again.GetCurrentProgress(), nullptr);
    EXPECT_EQ(again.GetCurrentProgress()->totalScore, 40300);
}

TEST_F(LevelComplete, SumsOfHugeBonusesAreHeldAtTheLargestInt) {
    screenstest::WriteBurst(dir, "0.3", false);
    const LevelCompleteWidget_t::LevelResult huge = {7, 0, 0, 1200, 2000000000};
    LevelCompleteWidget_t dialog("ui/levelcomplete.txt", huge);
    EXPECT_EQ(LabelOf(dialog, "TimeLblValue"), "2,000,000,000");
    EXPECT_EQ(LabelOf(dialog, "TotalScoreLblValue"), "2,000,001,200");
    ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 500000000;
    LevelCompleteWidget_t second("ui/levelcomplete.txt", huge);
    EXPECT_EQ(LabelOf(second, "GameScoreLblValue"), "2,147,483,647");
    const LevelCompleteWidget_t::LevelResult both = {7, 0, 0, 2000000000, 2000000000};
    LevelCompleteWidget_t third("ui/levelcomplete.txt", both);
    EXPECT_EQ(LabelOf(third, "TotalScoreLblValue"), "2,147,483,647");
}

TEST_F(LevelComplete, BurstsRevealTheValuesInOrderThenOkClosesWithResultOne) {
    screenstest::WriteBurst(dir, "0.3", false);
    LevelCompleteWidget_t dialog("ui/levelcomplete.txt", kResult);
    int revealedBefore = 0;
    for (int tick = 0; tick < 600 && !dialog.IsRevealed(3); ++tick) {
        dialog.Update();
        int revealed = 0;
        while (revealed < 4 && dialog.IsRevealed(revealed)) ++revealed;
        // One at a time, in order: score, time, total, game.
        EXPECT_LE(revealed, revealedBefore + 1);
        for (int i = revealed; i < 4; ++i) EXPECT_FALSE(dialog.IsRevealed(i));
        revealedBefore = revealed;
    }
    ASSERT_TRUE(dialog.IsRevealed(3));
    EXPECT_EQ(dialog.GetRevealIndex(), 3);
    EXPECT_EQ(dialog.GetFade().value, 255.0f);

    dialog.KeyUp(13);  // Enter acts as Ok
    EXPECT_LT(RunUntilOut(dialog, 400), 400);
    EXPECT_EQ(dialog.mResult, 1);
    EXPECT_EQ(TotalScore(), 40300);
}

TEST_F(LevelComplete, BonusIsCreditedOnceWhateverTheTiming) {
    struct Case {
        const char* why;
        const char* seconds;  // burst life; nullptr: no effect file
        bool neverEnding;
        int okAfter;  // updates before Ok
    };
    const Case cases[] = {
            {"Ok at once, during the fade-in", "0.3", false, 0}, {"Ok during the first burst", "0.3", false, 60},
            {"effect that never ends", "0.3", true, 300},        {"no effect file", nullptr, false, 100},
            {"Ok long after every reveal", "0.2", false, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::filesystem::remove(dir.Path("particles/levelcomplete.ini"));
        if (c.seconds != nullptr) screenstest::WriteBurst(dir, c.seconds, c.neverEnding);
        ProfileManager_t::Instance()->GetCurrentProgress()->totalScore = 40000;
        {
            LevelCompleteWidget_t dialog("ui/levelcomplete.txt", kResult);
            for (int i = 0; i < c.okAfter; ++i) dialog.Update();
            dialog.ButtonDepress(0);
            EXPECT_LT(RunUntilOut(dialog, 400), 400);
            EXPECT_EQ(dialog.mResult, 1);
            EXPECT_EQ(TotalScore(), 40300);
        }
        // Gone: nothing is credited on the way out either.
        EXPECT_EQ(TotalScore(), 40300);
    }
}

TEST_F(LevelComplete, OkDuringTheFadeInFadesOutFromFullAlpha) {
    screenstest::WriteBurst(dir, "0.3", false);
    LevelCompleteWidget_t dialog("ui/levelcomplete.txt", kResult);
    dialog.Update();
    EXPECT_LT(dialog.GetFade().value, 255.0f);
    dialog.ButtonDepress(0);
    EXPECT_EQ(dialog.GetFade().value, 255.0f);
    dialog.Update();
    EXPECT_FLOAT_EQ(dialog.GetFade().value, 255.0f - LevelCompleteWidget_t::kFadeStep);
    // Other buttons do nothing but the click sound.
    dialog.ButtonDepress(5);
    EXPECT_FLOAT_EQ(dialog.GetFade().value, 255.0f - LevelCompleteWidget_t::kFadeStep);
}

TEST_F(LevelComplete, MissingElementsAreSkipped) {
    std::filesystem::create_directories(dir.Path("ui"));
    WriteIni(dir.Path("ui/bare.txt"), {"[Main]", "ID=15", "Position=512,384,500,400", "BeginX=512", "BeginY=384"});
    LevelCompleteWidget_t dialog("ui/bare.txt", kResult);
    for (int i = 0; i < 100; ++i) dialog.Update();
    dialog.KeyUp(27);
    EXPECT_LT(RunUntilOut(dialog, 400), 400);
    EXPECT_EQ(TotalScore(), 40300);
}

}  // namespace
