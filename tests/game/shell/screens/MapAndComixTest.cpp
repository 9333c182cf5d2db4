#include <gtest/gtest.h>

#include <filesystem>

#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/screens/ComixWidget.h"
#include "game/shell/screens/MapWidget.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "tests/game/shell/screens/StoryScreensTestSupport.h"

namespace {

using Velm::ComixWidget;
using Velm::MapWidget_t;

TEST(ValueRampTest, ReachesItsTargetAndStays) {
    struct Case {
        const char* why;
        float value, target, step;
        int stepsToReach;  // -1: never
    };
    const Case cases[] = {
            {"rising", 0.0f, 255.0f, 2.55f, 100},
            {"overshoot is clamped on the first step", 10.0f, 0.0f, 5.0f, 1},
            {"falling", 10.0f, 0.0f, -5.0f, 2},
            {"no step never arrives", 1.0f, 2.0f, 0.0f, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ValueRamp ramp;
        ramp.Start(c.value, c.target, c.step);
        int steps = 0;
        while (!ramp.Step() && steps < 1000) ++steps;
        if (c.stepsToReach == -1) {
            EXPECT_FALSE(ramp.reached);
        } else {
            EXPECT_EQ(steps + 1, c.stepsToReach);
            EXPECT_EQ(ramp.value, c.target);
            ramp.value = -7.0f;  // a reached ramp changes nothing any more
            EXPECT_TRUE(ramp.Step());
            EXPECT_EQ(ramp.value, -7.0f);
        }
    }
}

class ComixTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path("ui"));
        WriteIni(dir.Path("ui/comix.txt"), {"[Screen]", "Type=Point", "X=300", "Y=150", "[Skip]", "Type=Button", "ID=1",
                                            "Position=800,710,200,48"});
    }
    // Updates until the comic leaves (or the limit); the number of updates.
    int RunToTheEnd(ComixWidget& comic, int limit = 5000) {
        int n = 0;
        while (recorder.switches.empty() && n < limit) {
            comic.Update();
            ++n;
        }
        return n;
    }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
    storytest::RecordingLinks recorder;
};

TEST_F(ComixTest, PlaysThroughToTheMap) {
    ComixWidget comic(recorder.Make(), "ui/comix.txt");
    comic.OnShown();
    // Pictures fade in (100 updates) and stay 100 and 200 updates, the final picture fades in
    // (100) and stays 100, the set-up takes one, the zoom 150 and 100 more, black 128.
    const int updates = RunToTheEnd(comic);
    EXPECT_EQ(recorder.switches, (std::vector<int>{28}));
    EXPECT_NEAR(updates, 200 + 300 + 200 + 1 + 250 + 128, 4);
    EXPECT_EQ(comic.GetZoom().value, 1.0f);
    EXPECT_EQ(comic.GetPosX().value, 0.0f);
    EXPECT_EQ(comic.GetPosY().value, 0.0f);
    for (int i = 0; i < 300; ++i) comic.Update();
    EXPECT_EQ(recorder.switches.size(), 1u);  // once only
}

TEST_F(ComixTest, SkipDuringTheZoomFadesToBlackFromNothing) {
    ComixWidget comic(recorder.Make(), "ui/comix.txt");
    comic.OnShown();
    while (comic.GetStep() != ComixWidget::kZooming) comic.Update();
    for (int i = 0; i < 20; ++i) comic.Update();
    EXPECT_GT(comic.GetZoom().value, 0.54f);
    comic.ButtonDepress(ComixWidget::kSkipButton);
    EXPECT_EQ(comic.GetStep(), ComixWidget::kFadeToBlack);
    EXPECT_EQ(comic.GetBlackAlpha(), 0.0f);
    EXPECT_FALSE(comic.GetSkipButton()->mVisible);
    EXPECT_EQ(RunToTheEnd(comic), 128);
    EXPECT_EQ(recorder.switches, (std::vector<int>{28}));
    // A new showing starts over with "Skip" back.
    comic.OnHidden();
    comic.OnShown();
    EXPECT_EQ(comic.GetStep(), ComixWidget::kFirstPicture);
    EXPECT_TRUE(comic.GetSkipButton()->mVisible);
}

class MapTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.Path("ui"));
        WriteIni(dir.Path("ui/map.txt"),
                 {"[Paper]", "Type=Point", "X=10", "Y=20", "[Back]", "Type=Button", "ID=1", "Position=40,700,200,48",
                  "[Play]", "Type=Button", "ID=2", "Position=784,700,200,48"});
        stages = screenstest::MakeStages({3});
        for (int i = 0; i < 3; ++i) {
            stages->stages[0]->games0[static_cast<size_t>(i)]->mapX = 100 * (i + 1);
            stages->stages[0]->games0[static_cast<size_t>(i)]->mapY = 50 * (i + 1);
        }
        ProfileManager_t& profiles = screenstest::FreshProfiles(dir);
        profiles.SetMode(1);
        links = recorder.Make();
        links.adventureStages = [this]() { return stages.get(); };
    }
    void TearDown() override { ProfileManager_t::Destroy(); }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
    storytest::RecordingLinks recorder;
    std::unique_ptr<StageCatalogue_t> stages;
    Velm::StoryScreenLinks links;
};

TEST_F(MapTest, MarkersFollowTheProgress) {
    struct Case {
        int orderPos;
        std::vector<int> states;
        int ringX;
    };
    const Case cases[] = {{0, {1, 2, 2}, 100}, {1, {0, 1, 2}, 200}, {2, {0, 0, 1}, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orderPos);
        ProfileManager_t::Instance()->GetCurrentProgress()->orderPos = c.orderPos;
        MapWidget_t map(links, "ui/map.txt");
        map.OnShown();
        ASSERT_EQ(map.GetMarkers().size(), 3u);
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(map.GetMarkers()[i].state, c.states[i]) << i;
        EXPECT_EQ(map.GetMarkers()[1].x, 200);
        EXPECT_EQ(map.GetMarkers()[1].y, 100);
        EXPECT_EQ(map.GetRingX(), c.ringX);  // no marker picture bound: no half size added
        EXPECT_EQ(map.GetRingCount(), 1);    // one ring at once
        map.OnHidden();
        EXPECT_EQ(map.GetRingCount(), 0);
    }
}

TEST_F(MapTest, ARingEveryTwoHundredUpdatesAndTheButtonsLeave) {
    MapWidget_t map(links, "ui/map.txt");
    map.OnShown();
    EXPECT_FLOAT_EQ(map.GetPaper().x, 10.0f);
    for (int i = 0; i < 199; ++i) map.Update();
    const int before = map.GetRingCount();
    map.Update();
    EXPECT_EQ(map.GetRingCount(), before + 1);
    map.ButtonDepress(3);  // a sound only
    map.ButtonDepress(2);
    map.ButtonDepress(1);
    EXPECT_EQ(recorder.switches, (std::vector<int>{15, 16}));
}

TEST_F(MapTest, AStageWithoutGamesHasNoMarkers) {
    stages->stages[0]->games0.clear();
    MapWidget_t map(links, "ui/map.txt");
    map.OnShown();
    EXPECT_TRUE(map.GetMarkers().empty());
}

}  // namespace
