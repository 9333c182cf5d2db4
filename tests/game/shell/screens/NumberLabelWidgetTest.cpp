#include "game/shell/ui/NumberLabelWidget.h"

#include <gtest/gtest.h>

namespace {

struct Reached : Velm::NumberLabelListener {
    void OnNumberReached(Velm::NumberLabelWidget* label) override {
        ++count;
        last = label;
    }
    int count = 0;
    Velm::NumberLabelWidget* last = nullptr;
};

TEST(NumberLabelWidget, UnstartedLabelKeepsItsText) {
    Velm::NumberLabelWidget label(3, nullptr);
    EXPECT_EQ(label.mCurrent, label.mTarget);
    label.mLabel = "1,250";
    for (int i = 0; i < 10; ++i) label.Update();
    EXPECT_EQ(label.mLabel, "1,250");
}

TEST(NumberLabelWidget, CountsFromItsCurrentValueToTheTarget) {
    Velm::NumberLabelWidget label(3, nullptr);
    Reached reached;
    label.mListener = &reached;
    label.mCurrent = 998;
    label.mTarget = 1001;
    label.Update();
    EXPECT_EQ(label.mLabel, "999");
    label.Update();
    EXPECT_EQ(label.mLabel, "1,000");
    EXPECT_EQ(reached.count, 0);
    label.Update();
    EXPECT_EQ(label.mLabel, "1,001");
    EXPECT_EQ(reached.count, 1);
    EXPECT_EQ(reached.last, &label);
    label.Update();
    EXPECT_EQ(reached.count, 1);
}

TEST(NumberLabelWidget, LandsOnTheTargetWhenTheStepPassesIt) {
    struct Case {
        const char* why;
        float current;
        float target;
        float step;
        int updates;
        const char* label;
    };
    const Case cases[] = {
            {"up, overshooting step", 0, 25, 10, 3, "25"},
            {"down", 100, 40, -30, 2, "40"},
            {"down, overshooting step", 100, 40, -70, 1, "40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Velm::NumberLabelWidget label(1, nullptr);
        label.mCurrent = c.current;
        label.mTarget = c.target;
        label.mStep = c.step;
        for (int i = 0; i < c.updates; ++i) label.Update();
        EXPECT_EQ(label.mLabel, c.label);
    }
}

}  // namespace
