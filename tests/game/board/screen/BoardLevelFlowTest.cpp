// The level's life on the play screen: time and its label, points per class and per group,
// the end tally with its time bonus and simple-mode records, windows and their results,
// levels that cannot be played, and the level music.

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "game/board/effects/ScoreEffect2.h"
#include "game/shell/ui/ButtonHint.h"
#include "tests/game/board/screen/ScreenTestSupport.h"
#include "widgets/HyperlinkWidget.h"

namespace {

using screentest::LevelSpec;
using screentest::ScreenFixture;
using Velm::BoardWidjet_t;

// While it lives, the profile manager counts the adventure's games in the fixture's catalogue,
// so that a finished level leads on to the next one.
struct AdventureStages {
    explicit AdventureStages(const StageCatalogue_t* stages) {
        ProfileManager_t::Instance()->SetCatalogues(nullptr, stages, nullptr);
    }
    ~AdventureStages() { ProfileManager_t::Instance()->SetCatalogues(nullptr, nullptr, nullptr); }
};

int CountOpened(const screentest::RecordingHost& host, Velm::BoardDialog kind) {
    int n = 0;
    for (const screentest::OpenedDialog& d : host.dialogs) n += d.kind == kind ? 1 : 0;
    return n;
}

TEST(BoardTime, LabelTextAtChosenTicks) {
    const struct {
        int ticks;
        const char* text;
    } kCases[] = {{0, "0 : 00"},    {2999, "0 : 29"}, {6000, "1 : 00"},
                  {6100, "1 : 01"}, {7000, "1 : 10"}, {120050, "20 : 00"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.ticks);
        EXPECT_EQ(BoardWidjet_t::FormatTime(c.ticks), c.text);
    }
}

TEST(BoardTime, AdventureTimeCountsDownAndWarnsInRed) {
    ScreenFixture f({{"Classic", 0, 1}}, true);
    f.EnterAndPlay();
    const int before = f.board->timeValue;
    f.Ticks(10);
    EXPECT_EQ(f.board->timeValue, before - 10);
    f.board->timeValue = 2999;
    f.board->stateTicks = 499;
    f.host->sounds.clear();
    f.Ticks(1);
    EXPECT_EQ(f.host->Count("timeending"), 1);
    // Red on the ticks where t mod 200 < 100, the label's own colour on the others.
    f.board->timeColour = Velm::Color(10, 20, 30);
    f.board->UpdateTimeLabel(2999);
    EXPECT_EQ(f.board->timeLbl->mLabel, "0 : 29");
    EXPECT_EQ(f.board->timeLbl->mColor.red, 10);
    f.board->UpdateTimeLabel(2899);
    EXPECT_EQ(f.board->timeLbl->mColor.red, 255);
    EXPECT_EQ(f.board->timeLbl->mColor.green, 0);
}

TEST(BoardTime, TimeRunningOutShowsTheLoseWindow) {
    ScreenFixture f({{"Classic", 0, 1}}, true);
    f.EnterAndPlay();
    f.board->timeValue = 1;
    f.Ticks(2);
    EXPECT_EQ(f.host->Count("timeup"), 1);
    f.Ticks(250);
    EXPECT_TRUE(f.host->Opened(Velm::BoardDialog::Lose));
    // The tiles fade away under the window, and come back with the level played again.
    f.Ticks(30);
    EXPECT_EQ(f.board->CurrentLayout()->fadeAlpha, 0.0f);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kLose, 1);
    EXPECT_EQ(f.board->boardState, BoardWidjet_t::kStateLevelName);
    EXPECT_EQ(f.board->CurrentLayout()->fadeAlpha, 255.0f);
}

TEST(BoardTime, SimpleModeCountsUpFromOne) {
    ScreenFixture f;
    f.EnterAndPlay();
    const int before = f.board->timeValue;
    EXPECT_GE(before, 1);
    f.Ticks(100);
    EXPECT_EQ(f.board->timeValue, before + 100);
}

TEST(BoardScoring, PairPointsPerTileClassAndWhatTheirUndoCosts) {
    ScreenFixture f;
    f.EnterAndPlay();
    const struct {
        int cls;
        int pairPoints;
        int undoCost;  // gold and the classes above it cost nothing to take back
    } kCases[] = {{0, 300, 300}, {1, 700, 700}, {2, 800, 800}, {3, 1000, 0}, {9, 1000, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.cls);
        boardtest::FakeGroup group;
        group.groupNumber = c.cls;
        Velm::LayoutCell_t tile;
        tile.group = &group;
        EXPECT_EQ(2 * f.board->ClassValue(&tile), c.pairPoints);
        // The undone pair's two records, as Undo leaves them.
        Velm::LayoutCell_t& first = f.Layout().Cell(0);
        Velm::LayoutCell_t& second = f.Layout().Cell(1);
        const Velm::BoardTileGroup* const groups[] = {first.group, second.group};
        first.group = second.group = &group;
        f.Layout().currentMove.assign(2, Velm::LayoutMove_t{});
        f.Layout().currentMove[0].tile = 0;
        f.Layout().currentMove[1].tile = 1;
        ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 5000;
        f.board->ChargeUndo();
        EXPECT_EQ(f.Score(), 5000 - c.undoCost);
        first.group = groups[0];
        second.group = groups[1];
    }
}

// Points reach the player's file at once, except the combo bonus's, which the next save takes.
TEST(BoardScoring, PointsAreSavedAtOnceButTheComboBonus) {
    const struct {
        const char* event;
        int points;
        bool saved;
    } kCases[] = {{"pair", 300, true}, {"group of four", 1200, true}, {"combo bonus", 100, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.event);
        ScreenFixture f;
        f.EnterAndPlay();
        ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 0;
        ProfileManager_t::Instance()->Save();
        ASSERT_EQ(screentest::SavedGameScore(), 0);
        const std::string event = c.event;
        if (event == "pair") {
            f.board->OnPairRemoved(&f.Layout().Cell(0));
        } else if (event == "combo bonus") {
            f.board->OnComboBonus(&f.Layout().Cell(0));
        } else {
            std::vector<Velm::LayoutCell_t*> tiles;
            for (int i = 0; i < 4; ++i) tiles.push_back(&f.Layout().Cell(i));
            f.board->OnGroupRemoved(&tiles, 0);
        }
        EXPECT_EQ(f.Score(), c.points);
        EXPECT_EQ(screentest::SavedGameScore(), c.saved ? c.points : 0);
    }
}

TEST(BoardScoring, GroupPointsOfTheSwapMode) {
    ScreenFixture f;
    f.EnterAndPlay();
    ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 0;
    const struct {
        int tiles;
        int points;
        int shown;
    } kCases[] = {{3, 450, 150}, {4, 1200, 300}, {5, 1500, 300}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.tiles);
        ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 0;
        f.board->listB.Clear();
        std::vector<Velm::LayoutCell_t*> tiles;
        for (int i = 0; i < c.tiles; ++i) tiles.push_back(&f.Layout().Cell(i));
        f.board->OnGroupRemoved(&tiles, 0);
        EXPECT_EQ(f.Score(), c.points);
        ASSERT_EQ(f.board->listB.Count(), c.tiles);
        EXPECT_EQ(static_cast<ScoreEffect2*>(f.board->listB.At(0))->value, c.shown);
    }
}

TEST(BoardScoring, ComboBonusAddsOneHundred) {
    ScreenFixture f;
    f.EnterAndPlay();
    ProfileManager_t::Instance()->GetCurrentProgress()->gameScore = 0;
    f.board->OnComboBonus(&f.Layout().Cell(0));
    EXPECT_EQ(f.Score(), 100);
}

// Finishes the running level at a chosen time and runs the tally to the level-complete window.
void FinishAt(ScreenFixture& f, int time) {
    f.board->timeValue = time;
    f.board->timeFrozen = true;
    f.board->OnLevelComplete();
    for (int i = 0; i < 1000 && !f.host->Opened(Velm::BoardDialog::LevelComplete); ++i) f.board->Update();
    ASSERT_TRUE(f.host->Opened(Velm::BoardDialog::LevelComplete));
}

TEST(BoardTally, TimeBonusInBothModes) {
    const struct {
        bool adventure;
        int minutes;
        int time;
        int bonus;
    } kCases[] = {
            {true, 20, 60000, 10000},   // (60000 + 1) x 1000 / 6000, truncated
            {true, 20, 12345, 2057},    // 12346 / 6000 minutes of 1000 points, truncated
            {false, 20, 60000, 10000},  // (120000 - 60000 + 1) x 1000 / 6000
            {false, 1, 7000, 0},        // slower than the limit: no bonus
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.time);
        ScreenFixture f({{"Classic", 0, c.minutes}}, c.adventure);
        f.EnterAndPlay();
        FinishAt(f, c.time);
        EXPECT_EQ(f.board->scores[4], c.bonus);
        EXPECT_EQ(f.host->dialogs.back().request.scores[4], c.bonus);
    }
}

TEST(BoardTally, SimpleModeKeepsTheBestTimeAndScore) {
    ScreenFixture f({{"Classic", 0, 20}});
    // Three more levels in a second stage: the ones a fast finish unlocks.
    auto* more = new Stage_t;
    for (int i = 0; i < 3; ++i) more->games0.push_back(std::make_unique<StageLevel_t>());
    f.catalogue.stages.emplace_back(more);
    const LevelRecord_t* record = ProfileManager_t::Instance()->FindLevelRecord(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->bestTime, 0) << "none yet";
    const struct {
        int time;
        int bestTime;
        size_t levelRecords;  // the first finish under 66% of the limit (79,200) adds two
    } kFinishes[] = {{90000, 90000, 1}, {30000, 30000, 3}, {60000, 30000, 3}};
    int bestScore = 0;
    for (const auto& finish : kFinishes) {
        SCOPED_TRACE(finish.time);
        f.host->dialogs.clear();
        if (f.board->boardState == BoardWidjet_t::kStateIdle) {
            f.EnterAndPlay();
        } else {
            ASSERT_TRUE(f.board->StartLevel(true));
            f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
            f.Ticks(400);
        }
        FinishAt(f, finish.time);
        const int score = f.board->scores[3] + f.board->scores[4];
        bestScore = std::max(bestScore, score);
        record = ProfileManager_t::Instance()->FindLevelRecord(0);
        EXPECT_EQ(record->bestTime, finish.bestTime);
        EXPECT_EQ(record->bestScore, bestScore);
        EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentProgress()->levelRecords.size(), finish.levelRecords);
    }
}

// The level end moves the profile on to the next game before the tally: the tally still
// records the level that was played.
TEST(BoardTally, SimpleModeRecordsTheLevelPlayedNotTheNextOne) {
    ScreenFixture f({{"Classic", 0, 20}, {"Classic", 0, 20}});
    ProfileManager_t::Instance()->SetCatalogues(&f.catalogue, nullptr, nullptr);
    ProfileManager_t::Instance()->AddLevelRecord(1);
    f.EnterAndPlay();
    FinishAt(f, 30000);
    EXPECT_GT(ProfileManager_t::Instance()->FindLevelRecord(0)->bestScore, 0);
    EXPECT_EQ(ProfileManager_t::Instance()->FindLevelRecord(0)->bestTime, 30000);
    EXPECT_EQ(ProfileManager_t::Instance()->FindLevelRecord(1)->bestScore, 0);
    ProfileManager_t::Instance()->SetCatalogues(nullptr, nullptr, nullptr);
}

TEST(BoardFlow, ALevelThatCannotBeLoadedGoesBackToTheList) {
    const struct {
        const char* why;
        LevelSpec level;
        bool afterAPlayedLevel;  // reached as the next level of an adventure stage
    } kCases[] = {
            {"missing layout file", {"NoSuchLayout", 0, 20}, false},
            {"broken layout file", {"Broken", 0, 20}, false},
            // The layer mode deals at most one tile of a face per layer: the classic base is
            // too big for it.
            {"a deal the mode refuses, after a played level", {"Classic", 2, 20}, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        std::vector<LevelSpec> levels{c.level};
        if (c.afterAPlayedLevel) levels.insert(levels.begin(), LevelSpec{"Play", 0, 20});
        ScreenFixture f(levels, c.afterAPlayedLevel);
        AdventureStages stages(&f.catalogue);
        if (c.afterAPlayedLevel) {
            f.EnterAndPlay();
            FinishAt(f, 60000);
            f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelComplete, 1);
        } else {
            f.board->OnShown();
        }
        ASSERT_EQ(f.host->errors.size(), 1u);
        EXPECT_EQ(f.host->switches, std::vector<int>{c.afterAPlayedLevel ? 14 : 21});
        EXPECT_EQ(f.board->boardState, BoardWidjet_t::kStateIdle);
        const int levelNames = c.afterAPlayedLevel ? 1 : 0;
        f.Ticks(300);
        EXPECT_EQ(CountOpened(*f.host, Velm::BoardDialog::LevelName), levelNames) << "no level is shown";
    }
}

TEST(BoardFlow, PauseFreezesTimeAndResumes) {
    ScreenFixture f;
    f.EnterAndPlay();
    f.board->SetPaused(true);
    EXPECT_TRUE(f.host->Opened(Velm::BoardDialog::Pause));
    const int time = f.board->timeValue;
    f.Ticks(50);
    EXPECT_EQ(f.board->timeValue, time);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kPause, 0);
    EXPECT_EQ(f.board->openDialogs, 0);
    f.Ticks(10);
    EXPECT_EQ(f.board->timeValue, time + 10);
}

TEST(BoardFlow, FocusLossPausesOnlyARunningGame) {
    const struct {
        const char* why;
        int openDialog;
        bool completed;
        bool paused;
    } kCases[] = {
            {"a game in progress", 0, false, true},
            {"the help page is open", Velm::BoardDialogId::kHelp, false, false},
            {"a score table is open", 111, false, false},
            {"the lose window is open", Velm::BoardDialogId::kLose, false, false},
            {"the level is closing", 0, true, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        ScreenFixture f;
        f.EnterAndPlay();
        if (c.openDialog != 0) f.host->openIds.insert(c.openDialog);
        f.board->levelCompleted = c.completed;
        f.board->PauseOnFocusLoss();
        EXPECT_EQ(f.host->Opened(Velm::BoardDialog::Pause), c.paused);
        EXPECT_EQ(f.board->timeFrozen, c.paused);
    }
}

TEST(BoardFlow, AWindowThatCannotBeMadeLeavesTheBoardRunning) {
    ScreenFixture f;
    f.EnterAndPlay();
    f.host->openFails = true;
    f.board->SetPaused(true);
    EXPECT_EQ(f.board->openDialogs, 0);
    const int time = f.board->timeValue;
    f.Ticks(10);
    EXPECT_EQ(f.board->timeValue, time + 10);
}

TEST(BoardFlow, NoMovesLeftOffersTheWindowOnce) {
    ScreenFixture f;
    f.EnterAndPlay();
    f.Layout().availablePairs.clear();
    f.host->flags["DontShow"] = true;
    f.board->CheckBoardState();
    EXPECT_EQ(f.host->Count("nomoremoves"), 1);
    EXPECT_TRUE(f.host->Opened(Velm::BoardDialog::NoMoves));
    f.board->DialogButtonDepress(Velm::BoardDialogId::kNoMoves, 0);
    EXPECT_EQ(f.board->openDialogs, 0);
    const size_t opened = f.host->dialogs.size();
    f.board->CheckBoardState();
    EXPECT_EQ(f.host->dialogs.size(), opened) << "the player asked not to see it again";
}

TEST(BoardFlow, LevelMusicPlaysTrackAfterTrack) {
    ScreenFixture f;
    f.host->playlist.entries = {{"a.ogg", "b.ogg"}};
    f.board->OnShown();
    ASSERT_FALSE(f.host->music.empty());
    EXPECT_EQ(f.host->music.back(), "music/a.ogg");
    const size_t played = f.host->music.size();
    Velm::BoardMusicEnded();
    EXPECT_EQ(f.host->music.size(), played) << "the end callback only notes the end; the update starts the track";
    f.Ticks(1);
    EXPECT_EQ(f.host->music.back(), "music/b.ogg");
    Velm::BoardMusicEnded();
    f.Ticks(1);
    EXPECT_EQ(f.host->music.back(), "music/a.ogg");
}

}  // namespace

namespace {

using Velm::BoardDialog;
using Velm::Layout_t;

// The moments of a level, from play to its end: won (banner, tally, window) or lost
// (banner, window).
enum class Moment { Playing, WonBanner, WonTally, WonWindow, TimeUpBanner, LoseWindow };

// What the player tries at that moment.
enum class Probe { Pair, Tool, Undo, Hint, Shuffle, Replay };

// A play board on which only pairs 0-1 and 2-3 are left besides the tool tiles: 0-1 is taken
// first; a win takes 2-3 as well, a loss lets the time run out with 2-3 still there.
void ReachMoment(ScreenFixture& f, Moment moment) {
    f.EnterAndPlay();
    f.UsePlayFaces();
    Layout_t& layout = f.Layout();
    for (int tile : {4, 5, 6, 7, 8, 14}) layout.RemoveTile(tile, 0, false, true);
    layout.FindAvailablePairs();
    f.ClickTile(0);
    f.ClickTile(1);
    f.Ticks(30);
    if (moment == Moment::Playing) return;
    if (moment == Moment::TimeUpBanner || moment == Moment::LoseWindow) {
        f.board->timeValue = 1;
        f.Ticks(2);
        ASSERT_TRUE(f.board->timeUp);
        if (moment == Moment::LoseWindow) {
            for (int i = 0; i < 400 && !f.host->Opened(BoardDialog::Lose); ++i) f.board->Update();
            ASSERT_TRUE(f.host->Opened(BoardDialog::Lose));
        }
        return;
    }
    f.ClickTile(2);
    f.ClickTile(3);
    for (int i = 0; i < 100 && !f.board->levelCompleted; ++i) f.board->Update();
    ASSERT_TRUE(f.board->levelCompleted);
    if (moment == Moment::WonBanner) return;
    for (int i = 0; i < 400 && f.board->boardState != BoardWidjet_t::kStateTally; ++i) f.board->Update();
    ASSERT_EQ(f.board->boardState, BoardWidjet_t::kStateTally);
    if (moment == Moment::WonTally) return;
    for (int i = 0; i < 400 && !f.host->Opened(BoardDialog::LevelComplete); ++i) f.board->Update();
    ASSERT_TRUE(f.host->Opened(BoardDialog::LevelComplete));
}

// Tries the probe; true when the board took it.
bool TryProbe(ScreenFixture& f, Probe probe) {
    Layout_t& layout = f.Layout();
    BoardWidjet_t& board = *f.board;
    f.host->sounds.clear();
    switch (probe) {
        case Probe::Pair:
            f.ClickTile(2);
            f.ClickTile(3);
            return !layout.Cell(2).active;
        case Probe::Tool: f.ClickTile(9); return layout.toolMode != Layout_t::kNoTool;
        case Probe::Undo: {
            board.UpdateButtons();
            const bool offered = !board.undoButton->mDisabled;
            const size_t moves = layout.history.size();
            const int score = f.Score();
            board.ButtonDepress(BoardWidjet_t::kUndo);
            const bool undone = layout.history.size() < moves;
            EXPECT_EQ(offered, undone) << "the button offers exactly what a press does";
            if (!undone) {
                EXPECT_EQ(f.Score(), score);
            }
            return undone;
        }
        case Probe::Hint:
            layout.FindAvailablePairs();
            board.ButtonDepress(BoardWidjet_t::kHint);
            return f.host->Count("Hint") > 0;
        case Probe::Shuffle:
            board.ButtonDepress(BoardWidjet_t::kShuffle);
            return layout.shuffleMode != Layout_t::kShuffleNone;
        case Probe::Replay: {
            const int names = CountOpened(*f.host, BoardDialog::LevelName);
            board.ButtonDepress(BoardWidjet_t::kMenu);
            EXPECT_EQ(f.host->dialogs.back().kind, BoardDialog::GameMenu);
            const bool offered = f.host->dialogs.back().request.offerReplay;
            board.DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
            const bool replayed = CountOpened(*f.host, BoardDialog::LevelName) > names;
            EXPECT_EQ(offered, replayed) << "the menu offers \"Play again\" exactly when it replays";
            return replayed;
        }
    }
    return false;
}

// Once a level has ended, won or lost, the board takes no move, no tool, no undo, no hint
// and no shuffle, and the game menu neither offers nor performs "Play again".
TEST(BoardEndStates, WhatTheBoardAndTheGameMenuAllow) {
    const Probe kProbes[] = {Probe::Pair, Probe::Tool, Probe::Undo, Probe::Hint, Probe::Shuffle, Probe::Replay};
    const char* const kProbeNames[] = {"pair", "tool", "undo", "hint", "shuffle", "replay"};
    const struct {
        const char* name;
        Moment moment;
        bool pairsLeft;  // a won board has no pair to try
        bool allowed;
    } kMoments[] = {
            {"playing", Moment::Playing, true, true},
            {"level-complete banner", Moment::WonBanner, false, false},
            {"end tally", Moment::WonTally, false, false},
            {"level-complete window", Moment::WonWindow, false, false},
            {"Time is up!", Moment::TimeUpBanner, true, false},
            {"lose window", Moment::LoseWindow, true, false},
    };
    for (const auto& m : kMoments) {
        for (size_t p = 0; p < std::size(kProbes); ++p) {
            if (kProbes[p] == Probe::Pair && !m.pairsLeft) continue;
            SCOPED_TRACE(std::string(m.name) + ": " + kProbeNames[p]);
            ScreenFixture f({{"Play", 0, 20}}, true);
            ReachMoment(f, m.moment);
            if (::testing::Test::HasFatalFailure()) return;
            EXPECT_EQ(TryProbe(f, kProbes[p]), m.allowed);
        }
    }
}

// A tool that ends its move under "Time is up!" and clears the board wins nothing: only the
// lose window opens.
TEST(BoardEndStates, ClearingTheBoardWhenTimeIsUpOpensOnlyTheLoseWindow) {
    ScreenFixture f({{"Play", 0, 20}}, true);
    ReachMoment(f, Moment::TimeUpBanner);
    for (int i = 0; i < f.Layout().GetItemCount(); ++i) {
        if (f.Layout().Cell(i).active && f.Layout().Cell(i).kind == 0) f.Layout().RemoveTile(i, 0, true, true);
    }
    f.board->CheckBoardState();
    f.Ticks(600);
    EXPECT_FALSE(f.board->levelCompleted);
    EXPECT_EQ(CountOpened(*f.host, BoardDialog::LevelComplete), 0);
    EXPECT_EQ(CountOpened(*f.host, BoardDialog::Lose), 1);
}

TEST(BoardFlow, TheFirstLevelOfEachAdventureModeOpensItsHelpPageOnce) {
    struct Case {
        const char* why;
        LevelSpec level;
        bool adventure;
        int page;  // the help page opened, -1 for none
    };
    const Case kCases[] = {
            {"usual game", {"Plain", 0}, true, 0},
            {"swap mode", {"Classic", 1}, true, 1},
            {"layer by layer", {"Plain", 2}, true, 2},
            {"memory", {"Plain", 3}, true, 3},
            {"logical pairs", {"Plain", 4}, true, 4},
            {"one unpaired", {"Plain", 5}, true, 5},
            {"rivers", {"Plain", 6}, true, 6},
            {"helper tiles on the board: their page, whatever the mode", {"Play", 0}, true, 7},
            {"free play opens none", {"Plain", 0}, false, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ScreenFixture f({c.level}, c.adventure);
        // Eight plain tiles in two rows, a board the modes but the swap mode deal.
        screentest::WriteText(
                "Layouts/Plain",
                boardtest::LayoutText(
                        {{0, 0, 0}, {0, 0, 4}, {0, 0, 8}, {0, 0, 12}, {0, 4, 0}, {0, 4, 4}, {0, 4, 8}, {0, 4, 12}}, -1,
                        24, 40, "Plain"));
        f.EnterAndPlay();
        std::vector<int> pages;
        for (const screentest::OpenedDialog& d : f.host->dialogs) {
            if (d.kind == Velm::BoardDialog::HelpPage) pages.push_back(d.request.page);
        }
        EXPECT_EQ(pages, c.page < 0 ? std::vector<int>{} : std::vector<int>{c.page});
        // Seen once, it is not opened again when the level is played again (the game menu's
        // "Play again").
        f.board->KeyUp(0x1B);
        f.board->DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
        f.Ticks(150);
        f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
        f.Ticks(400);
        ASSERT_EQ(f.board->boardState, BoardWidjet_t::kStatePlaying);
        int opened = 0;
        for (const screentest::OpenedDialog& d : f.host->dialogs) opened += d.kind == Velm::BoardDialog::HelpPage;
        EXPECT_EQ(opened, static_cast<int>(pages.size()));
    }
}

}  // namespace

namespace {

// The hint button's cool-down belongs to the level it was pressed in: the next level starts
// with the button ready.
TEST(BoardFlow, TheHintCoolDownEndsWithItsLevel) {
    ScreenFixture f({{"Play", 0, 20}, {"Play", 0, 20}}, true);
    AdventureStages stages(&f.catalogue);
    f.EnterAndPlay();
    Velm::ButtonHint* hint = f.board->hintButton;
    ASSERT_NE(hint, nullptr);
    // Pressed as a click presses it, half of its cool-down run.
    hint->SetDisabled(true);
    hint->mRemaining = hint->mCoolDown / 2;
    FinishAt(f, 60000);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelComplete, 1);
    ASSERT_EQ(f.board->boardState, BoardWidjet_t::kStateLevelName) << "the next level starts";
    EXPECT_FALSE(hint->mDisabled);
    EXPECT_EQ(hint->mRemaining, 0);
}

// "Play again", then the window loses the focus while the level name shows: the pause window
// opens over its shadow, and the level name closing meanwhile leaves that shadow in place.
TEST(BoardFlow, TheLevelNameClosingUnderAPauseKeepsThePauseShadow) {
    ScreenFixture f;
    f.EnterAndPlay();
    f.board->ButtonDepress(BoardWidjet_t::kMenu);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kGameMenu, 5);
    ASSERT_EQ(f.board->boardState, BoardWidjet_t::kStateLevelName);
    f.board->PauseOnFocusLoss();
    ASSERT_EQ(f.board->openDialogs, 1);
    ASSERT_TRUE(f.board->shadow);
    f.board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
    f.Ticks(100);
    ASSERT_TRUE(f.board->shadow);
    EXPECT_EQ(f.board->shadow->closing, 0) << "the pause window is still open";
    f.board->DialogButtonDepress(Velm::BoardDialogId::kPause, 0);
    EXPECT_EQ(f.board->shadow->closing, 1);
    f.Ticks(400);
    EXPECT_EQ(f.board->boardState, BoardWidjet_t::kStatePlaying);
}

TEST(BoardFlow, TipsOfTheFirstAdventureStageComeWithAPair) {
    constexpr int kModeTip = 14;
    constexpr int kHintTip = 23;
    struct Case {
        const char* why;
        bool adventure;
        int stage, level;
        bool seen;
        std::vector<int> tips;
    };
    const Case kCases[] = {
            {"first level: the hint tip", true, 0, 0, false, {kHintTip}},
            {"fourth level: still only the hint tip", true, 0, 3, false, {kHintTip}},
            {"fifth level of the usual game: the mode tip too", true, 0, 4, false, {kModeTip, kHintTip}},
            {"second stage: none", true, 1, 4, false, {}},
            {"free play: none", false, 0, 4, false, {}},
            {"tips seen before: none", true, 0, 4, true, {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        ScreenFixture f({{"Play", 0, 20}}, c.adventure);
        f.EnterAndPlay();
        f.UsePlayFaces();
        f.board->stageNumber = c.stage;
        f.board->levelNumber = c.level;
        Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress();
        progress->tipSeen[kModeTip] = c.seen;
        progress->tipSeen[kHintTip] = c.seen;
        f.host->dialogs.clear();
        f.ClickTile(0);
        f.ClickTile(1);
        ASSERT_FALSE(f.Layout().Cell(0).active);
        std::vector<int> tips;
        for (const screentest::OpenedDialog& d : f.host->dialogs) {
            if (d.kind == Velm::BoardDialog::Tip) tips.push_back(d.request.tipIndex);
        }
        EXPECT_EQ(tips, c.tips);
    }
}

}  // namespace
