// How long each board effect lives in an effect list, which completion calls it makes, and
// that nothing is called once the list is cleared or destroyed.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "game/board/LayoutCell.h"
#include "game/board/effects/EffectChange3One.h"
#include "game/board/effects/HintEffect.h"
#include "game/board/effects/ScoreEffect2.h"
#include "game/board/effects/SimpleEffect2.h"
#include "tests/game/board/effects/EffectTestSupport.h"

namespace {

using effecttest::CountingListener;
using effecttest::Tick;

struct LifetimeCase {
    const char* why;
    std::function<DrawObject*(CountingListener&)> make;
    int listDelay;
    int doneOnUpdate;  // the update on which the list removes it; 0: only "within kLimit"
    int completions;   // completion calls of the effect itself
    int clearAfter;    // updates before the Clear of the second run (before any completion)
};

constexpr int kLimit = 2000;

std::vector<Velm::LayoutCell_t>& Tiles() {
    static std::vector<Velm::LayoutCell_t> tiles(2);
    tiles[0].x = 100;
    tiles[0].y = 120;
    tiles[1].x = 300;
    tiles[1].y = 220;
    return tiles;
}

// clang-format off
const LifetimeCase kCases[] = {
            {"score number",
             [](CountingListener&) {
                 return new ScoreEffect2({150, 10, 20});
             },
             0, 103, 0, 50},
            {"score number after a list delay of 5",
             [](CountingListener&) {
                 return new ScoreEffect2({150, 10, 20});
             },
             5, 108, 0, 50},
            {"time bonus text", [](CountingListener&) { return new BonusText(500, 10, 20); }, 0, 113, 0, 50},
            {"banner with hold 100 and fade-out 100",
             [](CountingListener& l) { return new EffectGo(nullptr, 512, 384, 100, &l, 100); }, 0, 200, 1, 150},
            {"banner without listener",
             [](CountingListener&) { return new EffectGo(nullptr, 512, 384, 100, nullptr, 100); }, 0, 200, 0, 150},
            {"tile fade with its own delay 5, 10 fade ticks",
             [](CountingListener&) { return new SimpleEffect2(10, 10, nullptr, nullptr, 5, 10); }, 0, 15, 0, 8},
            {"tile fade after a list delay of 5, 20 fade ticks",
             [](CountingListener&) { return new SimpleEffect2(10, 10, nullptr, nullptr, 0, 20); }, 5, 25, 0, 8},
            {"hint marker", [](CountingListener&) { return new HintEffect(50, 50); }, 0, 502, 0, 100},
            {"one-cycle ring", [](CountingListener&) { return new EffectChange3One(50, 50, 5, -5, nullptr, true); }, 0, 0,
             0, 10},
            {"swap flight", [](CountingListener& l) { return new EffectSinus(100, 120, 400, 300, 0, &l); }, 0, 0, 1, 10},
            {"swap flight between equal points",
             [](CountingListener& l) { return new EffectSinus(100, 120, 100, 120, 0, &l); }, 0, 1, 0, 0},
            {"remover with three targets",
             [](CountingListener& l) {
                 return new EffectRemover(200, 200, {{100, 100}, {400, 300}, {250, 600}}, &l);
             },
             0, 0, 4, 10},
            {"change flashes on two tiles",
             [](CountingListener& l) {
                 std::vector<Velm::LayoutCell_t*> tiles = {&Tiles()[0], &Tiles()[1]};
                 return new EffectBonusChange(tiles, &l);
             },
             0, 1, 1, 0},
            {"burst of a removed tile", [](CountingListener&) { return new EffectMultiply(10, 10, 7); }, 0, 1, 0, 0},
};
// clang-format on

TEST(EffectLifetime, EachEffectFinishesOnTimeAndCompletesOnce) {
    for (const LifetimeCase& c : kCases) {
        SCOPED_TRACE(c.why);
        CountingListener listener;
        ObjectsManager list;
        list.SetListener(&listener);
        list.AddObject(c.make(listener), c.listDelay);
        EXPECT_EQ(listener.added, 1);
        int updates = 0;
        while (!list.IsEmpty() && updates < kLimit) {
            Tick(list);
            ++updates;
        }
        EXPECT_TRUE(list.IsEmpty());
        if (c.doneOnUpdate > 0) {
            EXPECT_EQ(updates, c.doneOnUpdate);
        }
        EXPECT_EQ(listener.removed, 1);
        EXPECT_EQ(listener.allRemoved, 1);
        EXPECT_EQ(listener.Completions(), c.completions);
        EXPECT_LE(listener.swapDone, 1);
        EXPECT_LE(listener.removerDone, 1);
        EXPECT_LE(listener.changeDone, 1);
        EXPECT_LE(listener.goDone, 1);
    }
}

TEST(EffectLifetime, NothingIsCalledAfterClear) {
    for (const LifetimeCase& c : kCases) {
        SCOPED_TRACE(c.why);
        CountingListener listener;
        ObjectsManager list;
        list.SetListener(&listener);
        list.AddObject(c.make(listener), c.listDelay);
        for (int i = 0; i < c.clearAfter; ++i) Tick(list);
        EXPECT_EQ(listener.Completions(), 0) << "the clear must come before any completion";
        list.Clear();
        for (int i = 0; i < kLimit; ++i) Tick(list);
        EXPECT_EQ(listener.Completions(), 0);
        EXPECT_EQ(listener.removed, 0);
        EXPECT_EQ(listener.allRemoved, 0);
    }
}

TEST(EffectLifetime, DestroyingAListCallsNothing) {
    CountingListener listener;
    {
        ObjectsManager list;
        list.SetListener(&listener);
        for (const LifetimeCase& c : kCases) list.AddObject(c.make(listener), c.listDelay);
        Tick(list);
    }
    // Only the effects that finish on their first update have completed.
    EXPECT_EQ(listener.changeDone, 1);
    EXPECT_EQ(listener.swapDone + listener.removerDone + listener.goDone, 0);
    EXPECT_TRUE(listener.targetsReached.empty());
}

TEST(EffectLifetime, RemoverReportsEachTargetOnceThenItsEnd) {
    CountingListener listener;
    ObjectsManager list;
    list.AddObject(new EffectRemover(500, 400, {{100, 100}, {900, 100}, {100, 700}, {900, 700}, {500, 50}, {500, 760}},
                                     &listener));
    for (int i = 0; i < kLimit && !list.IsEmpty(); ++i) Tick(list);
    ASSERT_EQ(listener.targetsReached.size(), 6u);
    std::vector<int> sorted = listener.targetsReached;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(listener.removerDone, 1);
}

TEST(EffectLifetime, RemoverColoursStayInsideTheirTable) {
    // A sixth mover and later ones take the table's colours again from the start.
    EXPECT_EQ(EffectRemover::MoverColour(5).red, EffectRemover::MoverColour(0).red);
    EXPECT_EQ(EffectRemover::MoverColour(5).green, EffectRemover::MoverColour(0).green);
    EXPECT_EQ(EffectRemover::MoverColour(7).blue, EffectRemover::MoverColour(2).blue);
}

TEST(EffectLifetime, RemoverMoversBowToOppositeSides) {
    EffectRemover remover(0, 0, {{300, 0}, {300, 0}}, nullptr);
    ASSERT_EQ(remover.arcs.size(), 2u);
    const float middle0 = remover.arcs[0]->points[1].y;
    const float middle1 = remover.arcs[1]->points[1].y;
    EXPECT_LT(middle0 * middle1, 0.0f);
}

TEST(EffectLifetime, AListClearedFromAnEffectCallbackStaysSound) {
    // A swap flight whose arrival clears the very list it is in (as a level restart reached from
    // a callback would).
    struct ClearingListener : SwapListener {
        ObjectsManager* list = nullptr;
        int calls = 0;
        void OnSwapEffectDone() override {
            ++calls;
            list->Clear();
        }
    } clearing;
    ObjectsManager list;
    clearing.list = &list;
    list.AddObject(new EffectSinus(0, 0, 200, 0, 0, &clearing));
    list.AddObject(new ScoreEffect2({1, 0, 0}));
    for (int i = 0; i < 300; ++i) Tick(list);
    EXPECT_EQ(clearing.calls, 1);
    EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
