// Play of the usual game through mouse input: each scenario plays an input
// script into a loaded board and compares the listener's event log and the play
// state afterwards.

#include "game/board/Layout.h"
#include "tests/game/board/BoardPlaySupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace boardtest;
using Velm::Layout_t;

namespace {

// The scenario board, one layer plus one tile on layer 1:
//   0, 1   free, face 5          2, 3   free, face 7
//   4 5 6  a row of three: 4 and 6 free (faces 9, 11), 5 (face 9) blocked at both sides
//   7      face 11, covered by 8 (face 13, layer 1)
//   9 swap tool, 10 change tool, 11 remover, 12 hint tile
//   13     fixed-face tile (kind 3)        14     free, face 13
const std::vector<TileLine> kPlayBoard = {
        {0, 0, 0}, {0, 0, 4},     {0, 0, 8},     {0, 0, 12},    {0, 4, 2},      {0, 4, 4},     {0, 4, 6},  {0, 8, 2},
        {1, 8, 2}, {0, 12, 0, 1}, {0, 12, 4, 2}, {0, 12, 8, 4}, {0, 12, 12, 5}, {0, 16, 0, 3}, {0, 16, 4},
};
const std::vector<std::pair<int, int>> kPlayFaces = {{0, 5}, {1, 5},  {2, 7},  {3, 7},  {4, 9},
                                                     {5, 9}, {6, 11}, {7, 11}, {8, 13}, {14, 13}};

// Linked tiles in a row: ends 0 and 3 (kind 7), links 1 and 2 (kind 8); an
// ordinary pair 4, 5 below.
const std::vector<TileLine> kRowLinkBoard = {{0, 0, 0, 7}, {0, 0, 2, 8}, {0, 0, 4, 8},
                                             {0, 0, 6, 7}, {0, 4, 0},    {0, 4, 4}};
// Linked tiles in a column at column 0: ends 0 and 3, links 1 and 2.
const std::vector<TileLine> kColumnLinkBoard = {{0, 0, 0, 7}, {0, 2, 0, 8}, {0, 4, 0, 8}, {0, 6, 0, 7}};
const std::vector<std::pair<int, int>> kLinkFaces = {{4, 5}, {5, 5}};

struct Fixture {
    FakeTileSets sets = PlayTileSets();
    RecVisuals visuals;
    EventLog events;
    std::unique_ptr<Layout_t> layout = std::make_unique<Layout_t>();

    explicit Fixture(const std::vector<TileLine>& board, const std::vector<std::pair<int, int>>& faces = {}) {
        layout->SetTileSets(&sets);
        layout->SetVisuals(&visuals);
        layout->SetListener(&events);
        layout->Init();
        EXPECT_TRUE(layout->LoadFromText(LayoutText(board), "play")) << layout->GetLoadError();
        for (const std::pair<int, int>& face : faces) layout->SetTileFace(face.first, face.second);
        layout->FindAvailablePairs();
        NameSprites(*layout);
    }
};

struct Scenario {
    const char* name;
    const std::vector<TileLine>* board;
    std::vector<std::pair<int, int>> faceOverrides;
    const char* script;
    bool logHover;
    std::vector<std::string> events;
    const char* state;
    std::vector<std::pair<int, int>> facesAfter;
};

void Play(const Scenario& scenario, const std::vector<std::pair<int, int>>& faces) {
    SCOPED_TRACE(scenario.name);
    std::vector<std::pair<int, int>> all = faces;
    all.insert(all.end(), scenario.faceOverrides.begin(), scenario.faceOverrides.end());
    Fixture f(*scenario.board, all);
    f.events.logHover = scenario.logHover;
    RunScript(*f.layout, f.events, scenario.script);
    EXPECT_EQ(f.events.events, scenario.events);
    EXPECT_EQ(DescribeState(*f.layout), scenario.state);
    for (const std::pair<int, int>& face : scenario.facesAfter) {
        EXPECT_EQ(f.layout->Cell(face.first).face, face.second) << "tile " << face.first;
    }
}

using E = std::vector<std::string>;

TEST(LayoutPlay, HoverScenarios) {
    // clang-format off
    const Scenario scenarios[] = {
            {"a free tile is hovered", &kPlayBoard, {}, "hover 0", true, E{"hover(0)"},
             "sel=-1 hov=0 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"moving over the same tile reports nothing new", &kPlayBoard, {}, "hover 0; hover 0", true,
             E{"hover(0)", "hover(-)"}, "sel=-1 hov=0 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a tile blocked at both sides is not hovered", &kPlayBoard, {}, "hover 5", true, E{"hover(-)"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a covered tile is not hovered", &kPlayBoard, {}, "hover 7", true, E{"hover(-)"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"moving off the board clears the hover", &kPlayBoard, {}, "hover 0; away", true,
             E{"hover(0)", "hover(-)"}, "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"with a tool, blocked ordinary tiles are hovered and tool tiles are not", &kPlayBoard, {},
             "hover 9; click; hover 5; hover 7; hover 10", true,
             E{"hover(9)", "select(9)", "tool(1,9)", "->unused", "hover(5)", "hover(7)", "hover(-)"},
             "sel=-1 hov=-1 tool=1 bonus=9 hist=0 pending=0 gone=", {}},
    };
    // clang-format on
    for (const Scenario& s : scenarios) Play(s, kPlayFaces);
}

TEST(LayoutPlay, SelectionScenarios) {
    // clang-format off
    const Scenario scenarios[] = {
            {"a click selects a free tile", &kPlayBoard, {}, "hover 0; click", true,
             E{"hover(0)", "select(0)", "->used"}, "sel=0 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"clicking the selected tile again keeps it selected", &kPlayBoard, {}, "hover 0; click; hover 0; click",
             true, E{"hover(0)", "select(0)", "->used", "hover(0)", "select(0)", "->used"},
             "sel=0 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a free tile that does not match replaces the selection", &kPlayBoard, {}, "hover 0; click; hover 2; click",
             true, E{"hover(0)", "select(0)", "->used", "hover(2)", "rejected", "select(2)", "->used"},
             "sel=2 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a matching pair is removed", &kPlayBoard, {}, "pair 0 1", true,
             E{"hover(0)", "select(0)", "->used", "hover(1)", "pair(0)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1", {}},
            {"faces of one family match", &kPlayBoard, {{0, 28}, {1, 30}}, "pair 1 0", false,
             E{"select(1)", "->used", "pair(1)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1", {}},
            {"a tile blocked at both sides: invalid, then rejected; the selection stays", &kPlayBoard, {},
             "hover 4; click; hover 5; click", true,
             E{"hover(4)", "select(4)", "->used", "hover(-)", "invalid", "rejected", "->unused"},
             "sel=4 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a click on nothing is rejected", &kPlayBoard, {}, "away; click", true, E{"hover(-)", "rejected", "->unused"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a click on a covered tile is rejected without the invalid sound", &kPlayBoard, {}, "hover 7; click", true,
             E{"hover(-)", "rejected", "->unused"}, "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"a tool tile clicked with a selection clears it", &kPlayBoard, {}, "hover 0; click; hover 12; click", true,
             E{"hover(0)", "select(0)", "->used", "hover(12)", "rejected", "select(12)", "tool(4,12)", "->unused"},
             "sel=-1 hov=-1 tool=0 bonus=12 hist=1 pending=0 gone=12", {}},
            {"a fixed-face tile is selected and matched by face", &kPlayBoard, {{13, 5}}, "pair 13 0", false,
             E{"select(13)", "->used", "pair(13)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,13", {}},
    };
    // clang-format on
    for (const Scenario& s : scenarios) Play(s, kPlayFaces);
}

TEST(LayoutPlay, BonusToolScenarios) {
    // clang-format off
    const Scenario scenarios[] = {
            {"the hint tile is consumed by its click, which the board does not use", &kPlayBoard, {}, "hover 12; click",
             true, E{"hover(12)", "select(12)", "tool(4,12)", "->unused"},
             "sel=-1 hov=-1 tool=0 bonus=12 hist=1 pending=0 gone=12", {}},
            {"undo brings the hint tile back and ends the hint time", &kPlayBoard, {}, "hover 12; click; undo", false,
             E{"select(12)", "tool(4,12)", "->unused", "toolEnd(4,12)", "undo->true"},
             "sel=-1 hov=-1 tool=0 bonus=12 hist=0 pending=0 gone=", {}},
            {"the swap tool exchanges two faces, a blocked tile included", &kPlayBoard, {},
             "hover 9; click; hover 0; click; hover 5; click; apply", false,
             E{"select(9)", "tool(1,9)", "->unused", "swapTarget", "select(0)", "->used", "swapUsed(0,5;9)", "->used",
               "swapApplied"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=9", {{0, 9}, {5, 5}, {9, kSwapFace}}},
            {"while a swap is pending, clicks, undo, shuffle and drop do nothing", &kPlayBoard, {},
             "hover 9; click; hover 0; click; hover 2; click; pair 1 3; undo; drop; shuffle", false,
             E{"select(9)", "tool(1,9)", "->unused", "swapTarget", "select(0)", "->used", "swapUsed(0,2;9)", "->used",
               "->unused", "->unused", "undo->false", "drop->false"},
             "sel=-1 hov=3 tool=1 bonus=-1 hist=0 pending=1 gone=9", {{0, 5}, {2, 7}}},
            {"once the swap is applied it can be undone", &kPlayBoard, {},
             "hover 9; click; hover 0; click; hover 2; click; apply; undo", false,
             E{"select(9)", "tool(1,9)", "->unused", "swapTarget", "select(0)", "->used", "swapUsed(0,2;9)", "->used",
               "swapApplied", "undo->true"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {{0, 5}, {2, 7}}},
            {"the change tool gives the first tile's face to every match of the second", &kPlayBoard, {},
             "hover 10; click; hover 0; click; hover 2; click", false,
             E{"select(10)", "tool(2,10)", "->unused", "changeTarget", "select(0)", "->used", "changeUsed(2 3;10)",
               "changeApplied", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=10", {{0, 5}, {1, 5}, {2, 5}, {3, 5}}},
            {"a change between equal faces changes nothing but uses the tool", &kPlayBoard, {},
             "hover 10; click; hover 0; click; hover 1; click", false,
             E{"select(10)", "tool(2,10)", "->unused", "changeTarget", "select(0)", "->used", "changeUsed(1;10)",
               "changeApplied", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=10", {{0, 5}, {1, 5}}},
            {"the remover takes every ordinary tile of the face, no tile of another kind", &kPlayBoard, {{13, 9}},
             "hover 11; click; hover 4; click; remove-targets", false,
             E{"select(11)", "tool(3,11)", "->unused", "removerUsed(4 5;11)", "->used", "removerApplied"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=4,5,11", {}},
            {"while the remover flies, clicks, undo and drop do nothing", &kPlayBoard, {},
             "hover 11; click; hover 4; click; pair 0 1; undo; drop", false,
             E{"select(11)", "tool(3,11)", "->unused", "removerUsed(4 5;11)", "->used", "->unused", "->unused",
               "undo->false", "drop->false"},
             "sel=-1 hov=1 tool=3 bonus=-1 hist=0 pending=2 gone=11", {}},
            {"a right click drops a tool that was not used", &kPlayBoard, {}, "hover 9; click; hover 0; click; drop",
             false, E{"select(9)", "tool(1,9)", "->unused", "swapTarget", "select(0)", "->used", "drop->true"},
             "sel=0 hov=0 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"after a drop the board plays normally", &kPlayBoard, {}, "hover 11; click; drop; pair 0 1", false,
             E{"select(11)", "tool(3,11)", "->unused", "drop->true", "select(0)", "->used", "pair(0)", "changed",
               "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1", {}},
    };
    // clang-format on
    for (const Scenario& s : scenarios) Play(s, kPlayFaces);
}

TEST(LayoutPlay, LinkedTileScenarios) {
    // clang-format off
    const Scenario scenarios[] = {
            {"removing both ends of a row removes its links", &kRowLinkBoard, {}, "pair 0 3", false,
             E{"select(0)", "->used", "pair(0)", "links", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1,2,3", {}},
            {"a link gone before breaks the row: the other link stays", &kRowLinkBoard, {}, "take 1; pair 3 0", false,
             E{"select(3)", "->used", "pair(3)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1,3", {}},
            {"undo brings the ends and the links back", &kRowLinkBoard, {}, "pair 0 3; undo", false,
             E{"select(0)", "->used", "pair(0)", "links", "changed", "->used", "undo->true"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=0 pending=0 gone=", {}},
            {"an ordinary pair leaves the links alone", &kRowLinkBoard, {}, "pair 4 5", false,
             E{"select(4)", "->used", "pair(4)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=4,5", {}},
            {"removing both ends of a column removes its links", &kColumnLinkBoard, {}, "pair 3 0", false,
             E{"select(3)", "->used", "pair(3)", "links", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,1,2,3", {}},
            {"a gap in the column keeps the links", &kColumnLinkBoard, {}, "take 2; pair 0 3", false,
             E{"select(0)", "->used", "pair(0)", "changed", "->used"},
             "sel=-1 hov=-1 tool=0 bonus=-1 hist=1 pending=0 gone=0,2,3", {}},
    };
    // clang-format on
    for (const Scenario& s : scenarios) Play(s, kLinkFaces);
}

TEST(LayoutPlay, LinkRecordsAndSingleEnds) {
    Fixture f(kRowLinkBoard, kLinkFaces);
    RunScript(*f.layout, f.events, "pair 0 3");
    ASSERT_EQ(f.layout->history.size(), 1u);
    const Velm::LayoutMoveList& move = f.layout->history.back();
    ASSERT_EQ(move.size(), 4u);
    const int tiles[] = {0, 3, 1, 2};
    const int actions[] = {0, 0, 1, 1};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(move[k].tile, tiles[k]);
        EXPECT_EQ(move[k].action, actions[k]);
    }
    EXPECT_EQ(move[0].face, kLinkEndFace);
    EXPECT_EQ(move[2].face, kLinkFace);

    // A kind with one end only has no link.
    Fixture single({{0, 0, 0, 7}, {0, 0, 2, 8}, {0, 4, 0}});
    EXPECT_FALSE(single.layout->IsLinkIntact(0, 7, true, false));
    EXPECT_FALSE(single.layout->IsLinkIntact(0, 7, false, false));
    // Both ends gone with requireEnds: not intact.
    Fixture row(kRowLinkBoard, kLinkFaces);
    EXPECT_TRUE(row.layout->IsLinkIntact(0, 7, false, true));
    row.layout->RemoveTile(0, 0, false, true);
    row.layout->RemoveTile(3, 0, false, true);
    EXPECT_FALSE(row.layout->IsLinkIntact(0, 7, false, true));
    EXPECT_TRUE(row.layout->IsLinkIntact(0, 7, false, false));
}

// --- Combos -------------------------------------------------------------------------

// Sixteen free tiles in a 4 by 4 grid; tiles 2k and 2k + 1 share face k + 1.
std::vector<TileLine> ComboBoard() {
    std::vector<TileLine> tiles;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) tiles.push_back({0, 4 * r, 4 * c});
    }
    return tiles;
}

TEST(LayoutPlay, ComboTiming) {
    struct Case {
        const char* name;
        std::vector<int> ticksBefore;  // ticks before each removal
        std::vector<int> counts;       // comboCount after each removal
        std::vector<std::string> events;
        bool bonusAtEnd;
    };
    const E started = {"combo(2,3)", "combo(3,5)", "comboBonus(5)"};
    // clang-format off
    const Case cases[] = {
            {"quick removals build a combo and start the bonus", {249, 249, 249}, {1, 2, 3}, started, true},
            {"a removal 250 ticks after the one before counts from 0", {0, 250}, {1, 0}, {}, false},
            {"during the bonus a slow removal still counts down", {0, 0, 0, 1000}, {1, 2, 3, 2}, started, true},
            {"the bonus ends on the tick after the count reaches 0", {0, 0, 0, 0, 0, 0, 1}, {1, 2, 3, 2, 1, 0, 1},
             started, false},
            {"the bonus times out after 3000 ticks", {0, 0, 0, 3000}, {1, 2, 3, 0}, started, false},
            {"one tick before the time out the bonus still counts", {0, 0, 0, 2999}, {1, 2, 3, 2}, started, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<int, int>> faces;
        for (int t = 0; t < 16; ++t) faces.emplace_back(t, t / 2 + 1);
        Fixture f(ComboBoard(), faces);
        f.events.logHover = false;
        std::vector<int> counts;
        for (size_t k = 0; k < c.ticksBefore.size(); ++k) {
            RunScript(*f.layout, f.events,
                      "tick " + std::to_string(c.ticksBefore[k]) + "; pair " + std::to_string(2 * k) + " " +
                              std::to_string(2 * k + 1));
            counts.push_back(f.layout->comboCount);
            if (f.layout->comboBonusActive) {
                // The bonus hint blinks on the first available pair, and only there.
                ASSERT_FALSE(f.layout->availablePairs.empty());
                const std::pair<int, int> hint = f.layout->availablePairs.front();
                for (int t = 0; t < 16; ++t) {
                    const bool onHint = t == hint.first || t == hint.second;
                    EXPECT_EQ(f.layout->Cell(t).effect != nullptr, onHint) << "removal " << k << " tile " << t;
                }
            }
        }
        E comboEvents;
        for (const std::string& e : f.events.events) {
            if (e.rfind("combo", 0) == 0) comboEvents.push_back(e);
        }
        EXPECT_EQ(counts, c.counts);
        EXPECT_EQ(comboEvents, c.events);
        f.layout->Update();
        EXPECT_EQ(f.layout->comboBonusActive, c.bonusAtEnd);
    }
}

TEST(LayoutPlay, ComboBonusHintLastsWithTheTimer) {
    std::vector<std::pair<int, int>> faces;
    for (int t = 0; t < 16; ++t) faces.emplace_back(t, t / 2 + 1);
    Fixture f(ComboBoard(), faces);
    RunScript(*f.layout, f.events, "pair 0 1; pair 2 3; pair 4 5");
    ASSERT_TRUE(f.layout->comboBonusActive);
    EXPECT_EQ(f.layout->comboBonusTimer, 3000);
    // Made at each hint tile's pivot, for timer / 100 cycles.
    const std::pair<int, int> hint = f.layout->availablePairs.front();
    ASSERT_EQ(f.visuals.hintsMade.size(), 2u);
    const Velm::LayoutCell_t& a = f.layout->Cell(hint.first);
    EXPECT_EQ(f.visuals.hintsMade[0],
              "hint@" + std::to_string(static_cast<int>(a.x)) + "," + std::to_string(static_cast<int>(a.y)) + "x30");
    // A removal during the bonus moves the hint; the old one is deleted.
    f.visuals.log.clear();
    RunScript(*f.layout, f.events, "tick 10; pair 6 7");
    EXPECT_EQ(f.layout->comboCount, 2);
    EXPECT_EQ(f.visuals.hintsMade.size(), 4u);
    EXPECT_EQ(f.visuals.hintsMade[2].substr(f.visuals.hintsMade[2].size() - 3), "x29");
}

TEST(LayoutPlay, DealAndResetCountersStartTheComboWindow) {
    std::vector<std::pair<int, int>> faces;
    for (int t = 0; t < 16; ++t) faces.emplace_back(t, t / 2 + 1);
    Fixture f(ComboBoard(), faces);
    RunScript(*f.layout, f.events, "tick 300");
    f.layout->ResetCounters();
    RunScript(*f.layout, f.events, "tick 249; pair 0 1");
    EXPECT_EQ(f.layout->comboCount, 1);
    RunScript(*f.layout, f.events, "tick 260");
    f.layout->comboCount = 1;
    f.layout->Deal(false);
    EXPECT_EQ(f.layout->comboCount, 0);
    EXPECT_EQ(f.layout->lastRemovalTick, f.layout->tickCount);
}

// --- Queries ------------------------------------------------------------------------------

TEST(LayoutPlay, HitTestPrefersHigherLayersAndUsesTheLargerRectangle) {
    Fixture f(kPlayBoard, kPlayFaces);
    const int* rect = f.layout->positions[0][0][0];
    EXPECT_EQ(f.layout->HitTest(rect[0], rect[1]), 0);
    EXPECT_EQ(f.layout->HitTest(rect[0] + 57, rect[1] + 68), 0);
    EXPECT_EQ(f.layout->HitTest(rect[0] + 58, rect[1] + 10), -1);  // 58 .. 95 is the gap before tile 1
    EXPECT_EQ(f.layout->HitTest(rect[0] + 10, rect[1] + 69), -1);
    EXPECT_EQ(f.layout->HitTest(rect[0] - 1, rect[1]), -1);
    // Tile 8 on layer 1 covers tile 7 except a strip at its left.
    const Velm::LayoutCell_t& covered = f.layout->Cell(7);
    EXPECT_EQ(f.layout->HitTest(static_cast<int>(covered.x), static_cast<int>(covered.y)), 8);
    const int* low = f.layout->positions[0][8][2];
    EXPECT_EQ(f.layout->HitTest(low[0] + 2, low[1] + 30), 7);
    // A removed tile is not hit.
    f.layout->RemoveTile(8, 0, false, true);
    EXPECT_EQ(f.layout->HitTest(static_cast<int>(covered.x), static_cast<int>(covered.y)), 7);
    EXPECT_EQ(f.layout->HitTest(kAwayX, kAwayY), -1);
}

TEST(LayoutPlay, HintQueries) {
    Fixture f(kPlayBoard, kPlayFaces);
    f.layout->availablePairs = {{0, 1}, {2, 3}};
    EXPECT_EQ(f.layout->HintTile(false), nullptr);
    const int expected[] = {0, 2, 0};
    for (int shown : expected) {
        ASSERT_TRUE(f.layout->NextHint());
        EXPECT_EQ(f.layout->HintTile(false), &f.layout->Cell(shown));
        EXPECT_EQ(f.layout->HintTile(true), &f.layout->Cell(shown + 1));
    }
    f.layout->availablePairs.clear();
    EXPECT_FALSE(f.layout->NextHint());

    // Partners of the selection: the selected tile, then matching tiles of the
    // available pairs, each once.
    f.layout->SetTileFace(14, 5);
    f.layout->availablePairs = {{2, 3}, {1, 14}, {0, 1}};
    std::vector<Velm::LayoutCell_t*> partners;
    f.layout->CollectSelectedPartners(partners);
    EXPECT_TRUE(partners.empty());
    EXPECT_EQ(f.layout->SelectedPartner(), nullptr);
    f.layout->selected = 0;
    f.layout->CollectSelectedPartners(partners);
    EXPECT_EQ(TileList(&partners), "0 1 14");
    EXPECT_EQ(f.layout->SelectedPartner(), &f.layout->Cell(1));
    f.layout->selected = 4;
    EXPECT_EQ(f.layout->SelectedPartner(), nullptr);

    // Tiles of the last move.
    EXPECT_EQ(f.layout->LastMoveTile(0), nullptr);
    f.layout->FindAvailablePairs();
    RunScript(*f.layout, f.events, "pair 2 3");
    EXPECT_EQ(f.layout->LastMoveTile(0), &f.layout->Cell(2));
    EXPECT_EQ(f.layout->LastMoveTile(1), &f.layout->Cell(3));
    EXPECT_EQ(f.layout->LastMoveTile(2), nullptr);
    EXPECT_EQ(f.layout->LastMoveTile(-1), nullptr);
}

TEST(LayoutPlay, SelectionMarkerFollowsTheSelectionInTheHoverPhase) {
    Fixture f(kPlayBoard, kPlayFaces);
    auto* hover = static_cast<RecAnim*>(f.layout->hoverMarker.get());
    auto* selection = static_cast<RecAnim*>(f.layout->selectionMarker.get());
    RunScript(*f.layout, f.events, "hover 13; tick 3");
    EXPECT_FLOAT_EQ(hover->x, f.layout->Cell(13).x);
    EXPECT_EQ(hover->frame, 3);
    RunScript(*f.layout, f.events, "click");
    EXPECT_EQ(f.layout->selected, 13);
    EXPECT_FLOAT_EQ(selection->x, f.layout->Cell(13).x);
    EXPECT_FLOAT_EQ(selection->y, f.layout->Cell(13).y);
    EXPECT_EQ(selection->frame, 3);
    // A tool tile does not move the marker.
    RunScript(*f.layout, f.events, "hover 9; click");
    EXPECT_FLOAT_EQ(selection->x, f.layout->Cell(13).x);
}

TEST(LayoutPlay, WithoutListenerClicksSelectNothing) {
    Fixture f(kPlayBoard, kPlayFaces);
    f.layout->SetListener(nullptr);
    EventLog unused;
    RunScript(*f.layout, unused, "hover 9; click; hover 0; click");
    EXPECT_EQ(f.layout->toolMode, 0);
    EXPECT_TRUE(f.events.events.empty());
}

TEST(LayoutPlay, AQuietListenerAndAnUninitialisedLayoutPlayWithoutHarm) {
    // A listener that overrides nothing takes every call of a whole game.
    Fixture f(kPlayBoard, kPlayFaces);
    Velm::LayoutListener quiet;
    f.layout->SetListener(&quiet);
    EventLog unused;
    RunScript(*f.layout, unused,
              "pair 0 1; hover 12; click; hover 9; click; hover 2; click; hover 3; click; apply; "
              "hover 10; click; hover 4; click; hover 6; click; hover 11; click; hover 8; click; remove-targets; "
              "tick 30; undo; undo; undo; undo; undo; undo");
    EXPECT_TRUE(f.layout->history.empty());
    f.layout->Draw(nullptr);

    // Without Init there are no markers, no blocked picture and no screen
    // positions: input, drawing and ticks still do no harm.
    FakeTileSets sets = PlayTileSets();
    auto bare = std::make_unique<Layout_t>();
    bare->SetTileSets(&sets);
    ASSERT_TRUE(bare->LoadFromText(LayoutText(kPlayBoard), "bare"));
    bare->showBlocked = true;
    bare->SetListener(&unused);
    for (int x = 0; x < 120; x += 7) {
        bare->HandleMouseMove(x, x);
        bare->HandleClick(x, x);
        bare->Update();
    }
    bare->Draw(nullptr);
    EXPECT_EQ(bare->tickCount, 18);
}

TEST(LayoutPlay, RemoverWithoutTargetIsRefused) {
    // Undealt tiles (face 0) match nothing, so the remover would have nothing to
    // take: the click is refused, the tool stays and nothing is pending.
    Fixture f(kPlayBoard);
    f.events.logHover = false;
    RunScript(*f.layout, f.events, "hover 11; click; hover 0; click");
    EXPECT_EQ(f.events.events, (E{"select(11)", "tool(3,11)", "->unused", "rejected", "->unused"}));
    EXPECT_EQ(DescribeState(*f.layout), "sel=-1 hov=0 tool=3 bonus=11 hist=0 pending=0 gone=");
    EXPECT_TRUE(f.layout->currentMove.empty());
}

TEST(LayoutPlay, ApplyAndFinishWithoutPendingToolDoNothing) {
    Fixture f(kPlayBoard, kPlayFaces);
    f.layout->swapFirst = 0;
    f.layout->swapSecond = 2;
    f.layout->ApplySwap();
    f.layout->FinishRemoverBonus();
    EXPECT_TRUE(f.layout->history.empty());
    EXPECT_EQ(f.layout->Cell(0).face, 5);
    EXPECT_TRUE(f.events.events.empty());
}

TEST(LayoutPlay, CanUndoAndCanShuffleFollowToolsAndPendingMoves) {
    Fixture f(kPlayBoard, kPlayFaces);
    EXPECT_FALSE(f.layout->CanUndo()) << "nothing to take back yet";
    EXPECT_TRUE(f.layout->CanShuffle());
    RunScript(*f.layout, f.events, "hover 9; click");
    EXPECT_FALSE(f.layout->CanUndo());
    EXPECT_FALSE(f.layout->CanShuffle());
    RunScript(*f.layout, f.events, "hover 0; click; hover 2; click");
    EXPECT_TRUE(f.layout->IsOperationPending());
    RunScript(*f.layout, f.events, "apply");
    EXPECT_TRUE(f.layout->CanUndo());
    RunScript(*f.layout, f.events, "hover 10; click");
    EXPECT_FALSE(f.layout->CanUndo()) << "a tool is taken";
    EXPECT_TRUE(f.layout->DropTool());
    EXPECT_TRUE(f.layout->CanUndo());
    f.layout->StartShuffle();
    EXPECT_FALSE(f.layout->CanShuffle());  // a shuffle runs
}

}  // namespace
