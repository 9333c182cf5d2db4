#include <gtest/gtest.h>

#include "game/shell/ui/ButtonHint.h"
#include "graphics/Graphics.h"
#include "tests/game/shell/ui/UiTestSupport.h"
#include "tests/widgets/WidgetTestSupport.h"

namespace UiTest {
namespace {

const uint32_t kNormal = 0xFFFF0000u;
const uint32_t kDisabled = 0xFF0000FFu;

class ButtonHintTest : public ::testing::Test {
protected:
    ButtonHintTest()
            : normal(SolidImage(100, 20, kNormal)), disabled(SolidImage(100, 20, kDisabled)), hint(2, &screen) {
        hint.mButtonImage = normal.get();
        hint.mDisabledImage = disabled.get();
        hint.Resize(0, 0, 100, 20);
    }

    // The button drawn into a fresh 100 x 20 picture.
    std::vector<uint32_t> Draw() {
        Velm::MemoryImage target(nullptr);
        target.Create(100, 20);
        Velm::Graphics g(&target);
        hint.Draw(&g);
        return std::vector<uint32_t>(target.GetBits(), target.GetBits() + 100 * 20);
    }

    void Click() {
        hint.mIsOver = true;
        hint.MouseUp(5, 5, 0, 1);
    }

    RecordingScreen screen;
    std::unique_ptr<Velm::MemoryImage> normal;
    std::unique_ptr<Velm::MemoryImage> disabled;
    Velm::ButtonHint hint;
};

TEST_F(ButtonHintTest, CoolDownDrawingSplitsAtTheRunOutPart) {
    Click();
    ASSERT_TRUE(hint.mDisabled);
    const struct {
        int remaining;
        int coolDown;
        int split;  // first column of the disabled look
    } rows[] = {
            {6000, 6000, 0},                              // just clicked: all disabled
            {3000, 6000, 50},                             // half-way: left half normal
            {4500, 6000, 25}, {1, 6000, 99}, {3, 4, 25},  // float division: an int division would give 0 and then 100
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.remaining);
        hint.mRemaining = row.remaining;
        hint.mCoolDown = row.coolDown;
        EXPECT_EQ(hint.CoolDownSplit(), row.split);
        const std::vector<uint32_t> px = Draw();
        for (int y : {0, 10, 19}) {
            if (row.split > 0) {
                EXPECT_EQ(px[y * 100 + row.split - 1], kNormal);
            }
            EXPECT_EQ(px[y * 100 + row.split], kDisabled);
            EXPECT_EQ(px[y * 100 + 99], kDisabled);
        }
        if (row.split > 0) {
            EXPECT_EQ(px[0], kNormal);
        }
    }
}

TEST_F(ButtonHintTest, EnabledDrawsNormalOnly) {
    const std::vector<uint32_t> px = Draw();
    EXPECT_EQ(px[0], kNormal);
    EXPECT_EQ(px[99], kNormal);
    hint.mCoolDown = 0;  // a zero cool-down never divides by zero
    hint.mDisabled = true;
    EXPECT_EQ(hint.CoolDownSplit(), 100);
}

TEST_F(ButtonHintTest, CoolDownRunsOutAndReenables) {
    hint.mCoolDown = 3;
    Click();
    EXPECT_EQ(screen.mEvents, (std::vector<std::string>{"click 2"}));
    EXPECT_EQ(hint.mRemaining, 3);
    hint.Update();
    // Clicking while disabled does not restart the cool-down.
    Click();
    EXPECT_EQ(hint.mRemaining, 2);
    hint.Update();
    EXPECT_TRUE(hint.mDisabled);
    hint.Update();
    EXPECT_FALSE(hint.mDisabled);
    hint.Update();
    EXPECT_EQ(screen.mEvents, (std::vector<std::string>{"click 2", "click 2", "reenabled 2"}));
}

TEST_F(ButtonHintTest, StoppedTimerHoldsTheCoolDown) {
    Click();
    hint.mTimerOn = false;
    for (int i = 0; i < 10; ++i) hint.Update();
    EXPECT_EQ(hint.mRemaining, hint.mCoolDown);
    EXPECT_TRUE(hint.mDisabled);
}

// Pressed and released through the widget manager, as the pointer does it: the click reaches
// the listener although the button disables itself on the release.
TEST(ButtonHintClick, AClickThroughTheManagerReachesTheListener) {
    VelmTest::Fixture f;
    VelmTest::RecordingListener listener;
    listener.mLogMoves = false;
    listener.mLogTicks = false;
    Velm::ButtonHint hint(2, &listener);
    hint.Resize(100, 100, 80, 30);
    f.manager.AddWidget(&hint);
    f.manager.MouseMove(110, 110);
    f.manager.MouseDown(110, 110, 1);
    f.manager.MouseUp(110, 110, 1);
    EXPECT_EQ(listener.mLog, (VelmTest::Log{"enter 2", "press 2 1", "depress 2", "leave 2"}));
    EXPECT_TRUE(hint.mDisabled);
    EXPECT_EQ(hint.mRemaining, hint.mCoolDown);
    // Disabled, a second click reaches nobody and keeps the cool-down running.
    hint.Update();
    f.manager.MouseDown(110, 110, 1);
    f.manager.MouseUp(110, 110, 1);
    EXPECT_EQ(listener.mLog.size(), 4u);
    EXPECT_EQ(hint.mRemaining, hint.mCoolDown - 1);
    f.manager.RemoveWidget(&hint);
}

}  // namespace
}  // namespace UiTest
