// The level's life on the play screen: time and its label, points per class and per group,
// the end tally with its time bonus and simple-mode records, windows and their results,
// levels that cannot be played, and the level music.

#include <gtest/gtest.h>

#include "game/board/effects/ScoreEffect2.h"
#include "tests/game/board/screen/ScreenTestSupport.h"
#include "widgets/HyperlinkWidget.h"

namespace {

using screentest::LevelSpec;
using screentest::ScreenFixture;
using Velm::BoardWidjet_t;

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

TEST(BoardScoring, PairPointsPerTileClass) {
    ScreenFixture f;
    const struct {
        int cls;
        int pairPoints;
    } kCases[] = {{0, 300}, {1, 700}, {2, 800}, {3, 1000}, {9, 1000}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.cls);
        boardtest::FakeGroup group;
        group.groupNumber = c.cls;
        Velm::LayoutCell_t tile;
        tile.group = &group;
        EXPECT_EQ(2 * f.board->ClassValue(&tile), c.pairPoints);
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
    const LevelRecord_t* record = ProfileManager_t::Instance()->FindLevelRecord(0);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->bestTime, 0) << "none yet";
    const struct {
        int time;
        int bestTime;
    } kFinishes[] = {{90000, 90000}, {30000, 30000}, {60000, 30000}};
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
        const char* layout;
    } kCases[] = {{"missing layout file", "NoSuchLayout"}, {"broken layout file", "Broken"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        ScreenFixture f({{c.layout, 0, 20}});
        f.board->OnShown();
        ASSERT_EQ(f.host->errors.size(), 1u);
        EXPECT_EQ(f.host->switches, std::vector<int>{21});
        EXPECT_EQ(f.board->boardState, BoardWidjet_t::kStateIdle);
        f.Ticks(300);
        EXPECT_FALSE(f.host->Opened(Velm::BoardDialog::LevelName));
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
