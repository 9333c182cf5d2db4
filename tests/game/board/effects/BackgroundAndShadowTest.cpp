// The stage background's day and night cycle, the background catalogue and the two shadows.

#include <gtest/gtest.h>

#include "game/board/effects/BackgroundCatalogue.h"
#include "game/board/effects/Shadow.h"
#include "game/board/effects/StageBackground.h"

namespace {

TEST(ShadowTest, ClosingFromEightyTakesTwentyUpdates) {
    Shadow shadow;
    for (int i = 0; i < 100; ++i) shadow.Update();
    EXPECT_EQ(shadow.alpha, 80);
    shadow.Close();
    int updates = 0;
    while (!shadow.IsFinished() && updates < 1000) {
        shadow.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 20);
    EXPECT_EQ(shadow.alpha, 0);
}

TEST(ShadowTest, BackShadowOfThePlayScreenReaches255After128Updates) {
    BackShadow shadow;
    shadow.target = 255;
    int updates = 0;
    while (!shadow.IsDone() && updates < 1000) {
        shadow.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 128);
    EXPECT_EQ(shadow.alpha, 255);
    shadow.StartFadeOut();
    updates = 0;
    while (!shadow.IsDone() && updates < 1000) {
        shadow.Update();
        ++updates;
    }
    EXPECT_EQ(updates, 255);
}

TEST(StageBackgroundTest, PhaseSwitchesAtExactlyThePhaseLength) {
    StageBackground_t back;
    back.SetTimes(180, 90, 60);
    EXPECT_EQ(back.phaseTicks, 18000);
    back.SetImages("day", "night", "heroday", "heronight", 10, 20);
    for (int i = 0; i < 17999; ++i) back.Update();
    EXPECT_EQ(back.phase, 0);
    back.Update();
    EXPECT_EQ(back.phase, 2);
    EXPECT_EQ(back.phaseCount, 0);
    EXPECT_EQ(back.overlayCount, 0);
    EXPECT_LT(back.night.step, 0.05f);
    EXPECT_GT(back.night.step, 0.0f);
    EXPECT_LT(back.day.step, 0.0f);
}

TEST(StageBackgroundTest, OverlayAppearsAtTheStartTickAndLeavesAfterTheShowTicks) {
    StageBackground_t back;
    back.SetTimes(180, 90, 60);
    back.SetImages("day", "night", "heroday", "heronight", 0, 0);
    for (int i = 0; i < 6000; ++i) back.Update();
    EXPECT_EQ(back.heroDay.targetAlpha, 255);
    EXPECT_EQ(back.overlayCount, 0);
    for (int i = 0; i < 1000; ++i) back.Update();
    EXPECT_EQ(back.heroDay.alpha, 255);
    for (int i = 0; i < 8000; ++i) back.Update();
    EXPECT_EQ(back.heroDay.targetAlpha, 0);
    EXPECT_LT(back.heroDay.step, 0.0f);
}

TEST(StageBackgroundTest, SettingTheSameDayPictureKeepsTheAnimation) {
    StageBackground_t back;
    back.SetTimes(180, 90, 60);
    back.SetImages("day", "night", "a", "b", 0, 0);
    for (int i = 0; i < 500; ++i) back.Update();
    back.SetImages("day", "other", "c", "d", 5, 5);
    EXPECT_EQ(back.phaseCount, 500);
    back.SetImages("day2", "other", "c", "d", 5, 5);
    EXPECT_EQ(back.phaseCount, 0);
    EXPECT_EQ(back.currentName, "day2");
}

TEST(BackgroundCatalogueTest, ReadsImagesAndPointsAndToleratesJunk) {
    BackgroundCatalogue_t catalogue;
    catalogue.LoadFromText(
            "[Forest]\r\nImage=backs/forest.jpg\r\nPoints=10,20; 30,40\r\n[Empty]\r\n[Bad]\r\n"
            "Points=junk;5,6\r\n",
            "backs.txt");
    const BackgroundCatalogue_t::Entry* forest = catalogue.Find("Forest");
    ASSERT_NE(forest, nullptr);
    EXPECT_EQ(forest->image, "backs/forest.jpg");
    EXPECT_EQ(forest->points, (std::vector<std::pair<int, int>>{{10, 20}, {30, 40}}));
    const BackgroundCatalogue_t::Entry* empty = catalogue.Find("Empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->image.empty());
    EXPECT_TRUE(empty->points.empty());
    const BackgroundCatalogue_t::Entry* bad = catalogue.Find("Bad");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->points.size(), 2u);
    EXPECT_EQ(bad->points[1], std::make_pair(5, 6));
}

TEST(BackgroundCatalogueTest, MissingFileLeavesTheCatalogueEmpty) {
    BackgroundCatalogue_t catalogue;
    EXPECT_FALSE(catalogue.Load("no/such/backs.txt"));
    EXPECT_TRUE(catalogue.entries.empty());
}

}  // namespace
