#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/shell/screens/LogosScreen.h"
#include "game/shell/screens/TitleScreen.h"
#include "platform/DebugOutput.h"

namespace {

using Velm::LogosScreen;

TEST(LogosScreenTest, SplashListStopsAtTheFirstMissingNumber) {
    std::vector<std::string> asked;
    const std::vector<std::string> present = {"branding/splash1.jpg", "branding/splash2.png", "branding/splash4.jpg"};
    const auto list = LogosScreen::BuildSplashList([&](const std::string& path) {
        asked.push_back(path);
        for (const std::string& p : present) {
            if (p == path) return true;
        }
        return false;
    });
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].fileName, "branding/splash1.jpg");
    EXPECT_EQ(list[1].fileName, "branding/splash2.png");
    EXPECT_EQ(list[0].displayTicks, 200);
    for (const std::string& path : asked) {
        EXPECT_EQ(path.find("splash4"), std::string::npos) << path;  // never looked for
    }
}

// Updates until the sequence ends (bounded); the number of updates it took.
int RunToEnd(LogosScreen& logos, int limit = 5000) {
    int updates = 0;
    while (!logos.finished && updates < limit) {
        logos.Update();
        ++updates;
    }
    return updates;
}

class LogosSequence : public ::testing::Test {
protected:
    void Use(int splashCount) {
        logos.splashes.assign(static_cast<size_t>(splashCount), LogosScreen::SplashEntry{"branding/none.png", 200});
    }
    plat::CapturedDebugOutput quiet;
    LogosScreen logos{nullptr};
};

// A fade takes 100 updates at 2.55 a step. The update in which a fade arrives
// already counts as the first update of the standing time or the gap, so a
// splash ends 100 + 200 + 100 - 1 updates after it started, and the next one
// starts another 50 - 1 updates later.
constexpr int kSplash = 100 + 200 + 100 - 1;
constexpr int kGap = 50 - 1;

TEST_F(LogosSequence, NoSplashEndsOnTheFirstUpdate) {
    Use(0);
    EXPECT_EQ(RunToEnd(logos), 1);
}

TEST_F(LogosSequence, OneSplashHasNoGapAfterIt) {
    Use(1);
    EXPECT_EQ(RunToEnd(logos), kSplash);
}

TEST_F(LogosSequence, EachFurtherSplashAddsItsTimeAndAGap) {
    Use(1);
    const int one = RunToEnd(logos);
    LogosScreen two(nullptr);
    two.splashes.assign(2, LogosScreen::SplashEntry{"branding/none.png", 200});
    const int both = RunToEnd(two);
    EXPECT_EQ(both - one, kSplash + kGap);
}

TEST_F(LogosSequence, AClickEndsAfterAQuickFadeAndAGap) {
    Use(3);
    for (int i = 0; i < 150; ++i) logos.Update();  // standing
    ASSERT_EQ(logos.phase, LogosScreen::kStanding);
    logos.MouseDown(10, 10, 1);
    EXPECT_EQ(logos.phase, LogosScreen::kFadingOut);
    EXPECT_EQ(RunToEnd(logos), 50 + kGap);  // a fade-out at double speed, then the gap
}

TEST_F(LogosSequence, AClickWhileFadingOutIsIgnored) {
    Use(2);
    while (logos.phase != LogosScreen::kFadingOut) logos.Update();
    const int current = logos.current;
    logos.MouseDown(10, 10, 1);
    EXPECT_EQ(logos.current, current);
    EXPECT_FLOAT_EQ(logos.picture.step, -2.55f);
}

TEST(TitleScreenTest, ProgressRowsFillFromTheBottom) {
    struct Case {
        double progress;
        int height;
        int rows;
    };
    const Case cases[] = {{0.0, 100, 0},    {1.0, 100, 100}, {0.5, 101, 50},
                          {0.999, 100, 99}, {-0.5, 100, 0},  {1.5, 100, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        EXPECT_EQ(Velm::TitleScreen::VisibleProgressRows(c.progress, c.height), c.rows);
    }
}

}  // namespace
