#include "game/board/effects/CollectibleHooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class CollectibleHooksTest : public ::testing::Test {
protected:
    void TearDown() override {
        CollectibleRegistry_t::Instance().Clear();
        JewelsManager_t::Instance().jewels.clear();
        JewelsManager_t::Instance().listener = nullptr;
    }
};

TEST_F(CollectibleHooksTest, LevelStartWithoutItemsNeedsNoneAndDividesByNothing) {
    BoardCollectibles_t hooks;
    hooks.jewelCounter = 4;
    hooks.StartLevel({}, 3);
    EXPECT_TRUE(hooks.items.empty());
    EXPECT_EQ(hooks.itemsNeeded, 0);
    EXPECT_EQ(hooks.jewelCounter, 0);
    EXPECT_EQ(hooks.value.current, 0.0f);
    EXPECT_EQ(hooks.value.target, 0.0f);
    EXPECT_EQ(hooks.Share(5), 0.0f);
    EXPECT_FALSE(std::isnan(hooks.value.current));
}

TEST_F(CollectibleHooksTest, TheFirstActiveItemSetsTheItemsNeeded) {
    CollectibleRegistry_t& registry = CollectibleRegistry_t::Instance();
    CollectibleItem_t* hat = registry.Add(0, "hat", 4);
    registry.Add(0, "dress", 8);
    registry.Add(1, "shoes", 0);
    struct Case {
        const char* why;
        std::vector<std::string> names;
        bool hatActive;
        int itemCount;
        int needed;
        float share;
    };
    const Case cases[] = {
            {"first item", {"hat", "dress"}, true, 2, 4, 0.5f},
            {"a won item is passed over", {"hat", "dress"}, false, 2, 8, 0.25f},
            {"unknown names are left out", {"cape", "dress"}, true, 4, 8, 0.5f},
            {"a threshold of 0 needs nothing", {"shoes", "hat"}, true, 3, 0, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        hat->active = c.hatActive;
        BoardCollectibles_t hooks;
        hooks.StartLevel(c.names, c.itemCount);
        EXPECT_EQ(hooks.itemsNeeded, c.needed);
        EXPECT_FLOAT_EQ(hooks.value.current, c.share);
        EXPECT_FLOAT_EQ(hooks.value.target, c.share);
    }
}

TEST_F(CollectibleHooksTest, AnItemIsGrantedOnceAtItsThreshold) {
    CollectibleRegistry_t& registry = CollectibleRegistry_t::Instance();
    registry.Add(0, "hat", 4);
    registry.Add(0, "dress", 8);
    BoardCollectibles_t hooks;
    hooks.StartLevel({"hat", "dress"}, 0);
    EXPECT_EQ(hooks.GrantItem(3), -1);
    EXPECT_EQ(hooks.GrantItem(8), 1);  // registry index of "dress"
    EXPECT_FALSE(registry.Find("dress")->active);
    EXPECT_EQ(hooks.GrantItem(8), -1);
    EXPECT_EQ(registry.IndexOf(nullptr), 0);
}

struct FoundRecorder : JewelInGameListener {
    std::vector<int> found;
    void OnJewelFound(Jewel_t* jewel) override { found.push_back(jewel->x); }
};

TEST_F(CollectibleHooksTest, AJewelIsHitInsideItsPictureWhileVisibleAndNotTaken) {
    JewelsManager_t& jewels = JewelsManager_t::Instance();
    FoundRecorder recorder;
    jewels.listener = &recorder;
    EXPECT_FALSE(jewels.HitTest(10, 10));  // none at all: the board's empty spot
    struct Case {
        const char* why;
        int px, py;
        float alpha;
        bool hit;
    };
    const Case cases[] = {
            {"top-left corner", 100, 200, 255.0f, true},         {"inside", 120, 220, 255.0f, true},
            {"right edge excluded", 130, 210, 255.0f, false},    {"bottom edge excluded", 110, 240, 255.0f, false},
            {"alpha 20.9 is too faint", 110, 210, 20.9f, false}, {"alpha 21 counts", 110, 210, 21.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        recorder.found.clear();
        jewels.jewels.assign(1, Jewel_t{});
        Jewel_t& jewel = jewels.jewels[0];
        jewel.x = 100;
        jewel.y = 200;
        jewel.width = 30;
        jewel.height = 40;
        jewel.alpha = c.alpha;
        EXPECT_EQ(jewels.HitTest(c.px, c.py), c.hit);
        EXPECT_EQ(jewel.taken, c.hit);
        EXPECT_EQ(recorder.found.size(), c.hit ? 1u : 0u);
        EXPECT_FALSE(jewels.HitTest(c.px, c.py));  // a taken jewel is found once
        EXPECT_EQ(jewel.fading, c.hit);
    }
}

TEST_F(CollectibleHooksTest, AHitJewelFadesOutAndAnUntouchedOneStays) {
    JewelsManager_t& jewels = JewelsManager_t::Instance();
    jewels.jewels.assign(2, Jewel_t{});
    for (int i = 0; i < 2; ++i) {
        jewels.jewels[i].x = 100 * i;
        jewels.jewels[i].width = 30;
        jewels.jewels[i].height = 30;
    }
    ASSERT_TRUE(jewels.HitTest(5, 5));
    jewels.Update();
    EXPECT_LT(jewels.jewels[0].alpha, 255.0f);
    EXPECT_FLOAT_EQ(jewels.jewels[1].alpha, 255.0f);
    for (int tick = 1; tick < 50; ++tick) jewels.Update();
    EXPECT_FLOAT_EQ(jewels.jewels[0].alpha, 0.0f);
    EXPECT_FALSE(jewels.jewels[0].fading);
    EXPECT_FLOAT_EQ(jewels.jewels[1].alpha, 255.0f);
}

struct ReachedRecorder : StuffValueListener {
    int calls = 0;
    void OnStuffValueReached(StuffValue_t*) override { ++calls; }
};

TEST_F(CollectibleHooksTest, TheValueMovesToItsTargetAndHoldsBeforeTelling) {
    StuffValue_t value;
    ReachedRecorder recorder;
    value.listener = &recorder;
    value.step = -0.1f;  // only its size counts
    value.SetTarget(0.25f, false);
    EXPECT_FLOAT_EQ(value.step, 0.1f);
    int ticks = 0;
    while (value.current != value.target && ticks < 100) {
        value.Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 3);  // 0.1, 0.2, then clamped at 0.25
    for (int i = 0; i < 48; ++i) value.Tick();
    EXPECT_EQ(recorder.calls, 0);
    value.Tick();  // the 50th update at the target
    EXPECT_EQ(recorder.calls, 1);
    for (int i = 0; i < 100; ++i) value.Tick();
    EXPECT_EQ(recorder.calls, 1);

    value.SetTarget(0.25f, false);  // equal: stops
    EXPECT_EQ(value.step, 0.0f);
    value.SetTarget(0.0f, false);
    EXPECT_FLOAT_EQ(value.step, 0.0f);  // a step of size 0 stays 0: the value never moves
    value.SetTarget(0.75f, true);
    EXPECT_EQ(value.current, 0.75f);
}

TEST_F(CollectibleHooksTest, AnArrivingFlightSpeedsTheValueByItsFactor) {
    BoardCollectibles_t hooks;
    hooks.OnFlightArrived(0.5f);
    EXPECT_FLOAT_EQ(hooks.value.step, 0.025f);
    EXPECT_FLOAT_EQ(hooks.value.target, 0.5f);
    for (int i = 0; i < 20; ++i) hooks.value.Tick();
    EXPECT_FLOAT_EQ(hooks.value.current, 0.5f);
    hooks.OnFlightArrived(0.0f);  // at least a tenth, toward the new target
    EXPECT_FLOAT_EQ(hooks.value.step, -0.005f);
    EXPECT_FLOAT_EQ(hooks.value.target, 0.0f);
}

}  // namespace
