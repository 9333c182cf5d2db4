// Drawing through recording pictures (order of layers, tiles, effects, blocked
// marks, shuffle animations and markers, all in the board's fade) and the
// per-tick update of fades, markers, tile effects and counters.

#include "game/board/Layout.h"
#include "tests/game/board/BoardPlaySupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

struct Scene {
    FakeTileSets sets = PlayTileSets();
    RecVisuals visuals;
    EventLog events;
    std::unique_ptr<Layout_t> layout = std::make_unique<Layout_t>();

    explicit Scene(const std::vector<TileLine>& tiles, int layers = -1) {
        layout->SetTileSets(&sets);
        layout->SetVisuals(&visuals);
        layout->SetListener(&events);
        layout->Init();
        EXPECT_TRUE(layout->LoadFromText(LayoutText(tiles, layers), "draw")) << layout->GetLoadError();
        NameSprites(*layout);
        events.drawLog = &visuals.log;
        events.logHover = false;
    }
    Log Draw() {
        visuals.log.clear();
        layout->Draw(nullptr);
        return visuals.log;
    }
};

TEST(LayoutDraw, TilesGoAlongDiagonalsLayerByLayer) {
    // Layer 0 lists (column 8, row 2), (10, 2), (10, 0); layer 1 is empty;
    // layer 2 holds one tile.
    Scene s({{0, 2, 8}, {0, 2, 10}, {0, 0, 10}, {2, 0, 20}}, 3);
    EXPECT_EQ(s.Draw(), (Log{"effects(2)", "tile2 a=255", "effects(1)", "tile1 a=255", "effects(0)", "tile0 a=255",
                             "layer(0)", "layer(1)", "effects(3)", "tile3 a=255", "layer(2)"}));
    // Tiles that left the board stay listed and are skipped.
    s.layout->RemoveTile(1, 0, false, true);
    EXPECT_EQ(s.Draw(), (Log{"effects(2)", "tile2 a=255", "effects(0)", "tile0 a=255", "layer(0)", "layer(1)",
                             "effects(3)", "tile3 a=255", "layer(2)"}));
}

TEST(LayoutDraw, TilesCoveredByTheLayerAboveAreNotDrawn) {
    // Tile 0 lies under a full 3 by 3 block of cells of layer 1 (rows 2 to 4,
    // columns 1 to 3).
    Scene s({{0, 2, 2}, {1, 2, 1}, {1, 2, 3}, {1, 4, 1}, {1, 4, 3}});
    EXPECT_FALSE(s.layout->Cell(0).visible);
    Log log = s.Draw();
    EXPECT_EQ(std::count(log.begin(), log.end(), "tile0 a=255"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "effects(0)"), 0);
    // With one cell of the block empty it is drawn.
    s.layout->RemoveTile(4, 0, false, true);
    EXPECT_TRUE(s.layout->Cell(0).visible);
    log = s.Draw();
    EXPECT_EQ(std::count(log.begin(), log.end(), "tile0 a=255"), 1);
}

// Row 0: 0, 1, 2 side by side (1 blocked); row 4: 4, collection tile 3 (blocked),
// 5.
const std::vector<TileLine> kMarkBoard = {{0, 0, 0}, {0, 0, 2}, {0, 0, 4}, {0, 4, 2, 6}, {0, 4, 0}, {0, 4, 4}};

TEST(LayoutDraw, EachTileDrawsItsEffectBlockedMarkShuffleAndMarkers) {
    Scene s(kMarkBoard);
    s.layout->showBlocked = true;
    RunScript(*s.layout, s.events, "hover 2; click; hover 0");
    ASSERT_EQ(s.layout->selected, 2);
    ASSERT_EQ(s.layout->hovered, 0);
    s.layout->Cell(0).effect = std::make_unique<RecEffect>(&s.visuals.log, "fx0", 100);
    RecAnim shuffle(&s.visuals.log, "shuffle", 6);
    s.layout->Cell(2).shuffleAnim = &shuffle;

    EXPECT_EQ(s.Draw(), (Log{"effects(2)", "tile2 a=255", "shuffle*@0,0 a=own", "select*@139,119 a=255", "effects(1)",
                             "tile1 a=255", "blocked@91,119 a=255", "effects(0)", "tile0 a=255", "fx0 s=255",
                             "hover@43,119 a=255", "effects(5)", "tile5 a=255", "effects(3)", "tile3 a=255",
                             "effects(4)", "tile4 a=255", "layer(0)"}));
    s.layout->Cell(2).shuffleAnim = nullptr;

    // Without the free-tiles option there is no blocked mark; the hovered tile
    // that is also selected shows only the selection.
    s.layout->showBlocked = false;
    RunScript(*s.layout, s.events, "hover 2");
    const Log log = s.Draw();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("blocked", 0) == 0; }),
              0);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("hover", 0) == 0; }), 0);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("select*", 0) == 0; }),
              1);
}

TEST(LayoutDraw, AHiddenPictureDrawsNothingButTheTileStaysListed) {
    Scene s({{0, 0, 0}, {0, 0, 4}});
    SpriteOf(*s.layout, 1)->hidden = true;
    EXPECT_EQ(s.Draw(), (Log{"effects(1)", "effects(0)", "tile0 a=255", "layer(0)"}));
}

TEST(LayoutDraw, FadeOutGivesEveryPartTheSameAlpha) {
    Scene s(kMarkBoard);
    s.layout->showBlocked = true;
    RunScript(*s.layout, s.events, "hover 2; click; hover 0");
    s.layout->Cell(0).effect = std::make_unique<RecEffect>(&s.visuals.log, "fx0", 100);
    s.layout->StartFade(1);
    EXPECT_EQ(s.layout->fadeAlpha, 255.0f);
    RunScript(*s.layout, s.events, "tick 10");
    EXPECT_FLOAT_EQ(s.layout->fadeAlpha, 135.0f);
    for (const std::string& entry : s.Draw()) {
        if (entry.rfind("effects", 0) == 0 || entry.rfind("layer", 0) == 0) continue;
        SCOPED_TRACE(entry);
        const bool faded = entry.find(" a=135") != std::string::npos || entry == "fx0 s=135";
        EXPECT_TRUE(faded);
    }
}

TEST(LayoutDraw, FadesTakeTwentyTwoTicks) {
    struct Case {
        int mode;
        float start;
        float afterTwentyOne;
        float end;
    };
    const Case cases[] = {{0, 0.0f, 252.0f, 255.0f}, {1, 255.0f, 3.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Scene s({{0, 0, 0}});
        s.layout->StartFade(c.mode);
        EXPECT_FLOAT_EQ(s.layout->fadeAlpha, c.start);
        for (int tick = 0; tick < 21; ++tick) s.layout->Update();
        EXPECT_FLOAT_EQ(s.layout->fadeAlpha, c.afterTwentyOne);
        EXPECT_EQ(s.layout->fadeMode, c.mode);
        s.layout->Update();
        EXPECT_FLOAT_EQ(s.layout->fadeAlpha, c.end);
        EXPECT_EQ(s.layout->fadeMode, 2);
        s.layout->Update();
        EXPECT_FLOAT_EQ(s.layout->fadeAlpha, c.end);
    }
    Scene steady({{0, 0, 0}});
    steady.layout->StartFade(2);
    EXPECT_FLOAT_EQ(steady.layout->fadeAlpha, 255.0f);
    steady.layout->Update();
    EXPECT_FLOAT_EQ(steady.layout->fadeAlpha, 255.0f);
}

TEST(LayoutDraw, UpdateAdvancesMarkersOnlyWhileInUse) {
    Scene s(kMarkBoard);
    auto* hover = static_cast<RecAnim*>(s.layout->hoverMarker.get());
    auto* selection = static_cast<RecAnim*>(s.layout->selectionMarker.get());
    RunScript(*s.layout, s.events, "tick 2");
    EXPECT_EQ(hover->advances, 0);
    EXPECT_EQ(selection->advances, 0);
    RunScript(*s.layout, s.events, "hover 0; tick 3");
    EXPECT_EQ(hover->advances, 3);
    EXPECT_EQ(selection->advances, 0);
    RunScript(*s.layout, s.events, "click; tick 4");  // selected, hover cleared
    EXPECT_EQ(hover->advances, 3);
    EXPECT_EQ(selection->advances, 4);
    EXPECT_EQ(s.layout->tickCount, 9);
}

TEST(LayoutDraw, TileEffectsRunOutAndAreDeletedWithoutNotice) {
    Scene s({{0, 0, 0}, {0, 0, 4}, {0, 0, 8}});
    s.layout->Cell(0).effect = std::make_unique<RecEffect>(&s.visuals.log, "fx0", 3);
    s.layout->Cell(1).effect = std::make_unique<RecEffect>(&s.visuals.log, "fx1", 5);
    s.layout->Cell(2).effect = std::make_unique<RecEffect>(&s.visuals.log, "fx2", 10);
    s.layout->RemoveTile(2, 0, false, true);  // leaving the board deletes it
    EXPECT_EQ(s.visuals.log, (Log{"fx2 deleted"}));
    s.visuals.log.clear();
    RunScript(*s.layout, s.events, "tick 2");
    EXPECT_NE(s.layout->Cell(0).effect, nullptr);
    RunScript(*s.layout, s.events, "tick 1");
    EXPECT_EQ(s.layout->Cell(0).effect, nullptr);
    EXPECT_NE(s.layout->Cell(1).effect, nullptr);
    RunScript(*s.layout, s.events, "tick 2");
    EXPECT_EQ(s.layout->Cell(1).effect, nullptr);
    EXPECT_EQ(s.visuals.log, (Log{"fx0 deleted", "fx1 deleted"}));
    EXPECT_TRUE(s.events.events.empty());
}

TEST(LayoutDraw, ComboBonusTimerCountsDownEveryTick) {
    Scene s({{0, 0, 0}});
    s.layout->comboBonusActive = true;
    s.layout->comboCount = 2;
    s.layout->comboBonusTimer = 3;
    RunScript(*s.layout, s.events, "tick 2");
    EXPECT_EQ(s.layout->comboBonusTimer, 1);
    EXPECT_TRUE(s.layout->comboBonusActive);
    RunScript(*s.layout, s.events, "tick 1");
    EXPECT_EQ(s.layout->comboBonusTimer, 0);
    EXPECT_FALSE(s.layout->comboBonusActive);
    EXPECT_EQ(s.layout->comboCount, 0);
    EXPECT_EQ(s.layout->tickCount, 3);
}

TEST(LayoutDraw, ScanOrderListsLayersFromTheBottomAndTilesFromTheRight) {
    Scene pair({{0, 0, 0}, {0, 0, 2}});
    pair.layout->CollectTilesInScanOrder();
    EXPECT_EQ(pair.layout->scanList, (std::vector<int>{1, 0}));

    // Layer 0: (row 0, column 0), (0, 4), (2, 2) and a half-offset (1, 6);
    // layer 1: (0, 0).
    Scene s({{1, 0, 0}, {0, 0, 0}, {0, 2, 2}, {0, 0, 4}, {0, 1, 6}});
    s.layout->CollectTilesInScanOrder();
    EXPECT_EQ(s.layout->scanList, (std::vector<int>{3, 1, 4, 2, 0}));
    s.layout->RemoveTile(3, 0, false, true);
    s.layout->CollectTilesInScanOrder();
    EXPECT_EQ(s.layout->scanList, (std::vector<int>{1, 4, 2, 0}));
}

}  // namespace
