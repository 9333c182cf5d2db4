#include "game/shell/screens/SimpleLevelList.h"

#include <gtest/gtest.h>

#include "game/shell/Profile.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"

namespace {

using Velm::SimpleLevelList;
using State = SimpleLevelList::SlotState;

std::vector<LevelRecord_t> Records(std::initializer_list<int> levels) {
    std::vector<LevelRecord_t> records;
    for (int level : levels) records.push_back(LevelRecord_t{level, 0, 0, false});
    return records;
}

TEST(SimpleLevelList, PagesFollowTheRecords) {
    struct Case {
        int records;
        int pages;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{6, 1}, Case{7, 2}, Case{12, 2}, Case{13, 3}}) {
        SCOPED_TRACE(c.records);
        EXPECT_EQ(SimpleLevelList::PageCount(c.records), c.pages);
    }
    // Seven records: two pages; back is off on page 0, on is off on page 1.
    EXPECT_FALSE(SimpleLevelList::CanGoBack(0));
    EXPECT_TRUE(SimpleLevelList::CanGoOn(0, 2));
    EXPECT_TRUE(SimpleLevelList::CanGoBack(1));
    EXPECT_FALSE(SimpleLevelList::CanGoOn(1, 2));
    // Stepping wraps both ways.
    EXPECT_EQ(SimpleLevelList::StepPage(0, -1, 2), 1);
    EXPECT_EQ(SimpleLevelList::StepPage(1, +1, 2), 0);
    EXPECT_EQ(SimpleLevelList::StepPage(0, +1, 2), 1);
    EXPECT_EQ(SimpleLevelList::StepPage(0, +1, 0), 0);
}

TEST(SimpleLevelList, SlotsShowUnlockedLockedAndMissingLevels) {
    // Two stages, 5 + 4 = 9 levels; levels 0, 1, 2, 7 unlocked (7 out of order).
    const auto stages = screenstest::MakeStages({5, 4});
    const auto records = Records({0, 1, 2, 7});

    const SimpleLevelList::Page first = SimpleLevelList::MakePage(0, *stages, records);
    const State firstWant[] = {State::Open, State::Open, State::Open, State::Locked, State::Locked, State::Locked};
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(first[s].state, firstWant[s]);
        EXPECT_EQ(first[s].level, s);
    }
    EXPECT_EQ(SimpleLevelList::LastFilledSlot(first), 5);

    const SimpleLevelList::Page second = SimpleLevelList::MakePage(1, *stages, records);
    const State secondWant[] = {State::Locked, State::Open, State::Locked, State::Hidden, State::Hidden, State::Hidden};
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(second[s].state, secondWant[s]);
    }
    EXPECT_EQ(second[1].level, 7);
    EXPECT_EQ(second[3].level, -1);
    EXPECT_EQ(SimpleLevelList::LastFilledSlot(second), 2);
}

TEST(SimpleLevelList, TilesetStepsLeaveOutTheLastSet) {
    struct Case {
        int current, delta, count, expected;
    };
    const Case cases[] = {
            {0, +1, 3, 1}, {1, +1, 3, 0}, {0, -1, 3, 1}, {2, +1, 3, 0},  {2, -1, 3, 1},
            {0, +1, 1, 0}, {0, -1, 1, 0}, {0, +1, 0, 0}, {-4, -1, 3, 1}, {0, +1, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " " + std::to_string(c.delta) + " of " + std::to_string(c.count));
        EXPECT_EQ(SimpleLevelList::StepTileset(c.current, c.delta, c.count), c.expected);
    }
    EXPECT_EQ(SimpleLevelList::ChoosableTilesets(3), 2);
    EXPECT_EQ(SimpleLevelList::ChoosableTilesets(1), 1);
    EXPECT_EQ(SimpleLevelList::ChoosableTilesets(0), 0);
}

TEST(SimpleLevelList, ChosenSlotTexts) {
    screenstest::LoadTerms();
    const auto stages = screenstest::MakeStages({5, 4});
    std::vector<LevelRecord_t> records = Records({0, 1, 2, 7});
    records[1].bestScore = 12345;
    records[1].bestTime = 12345;  // 2 minutes, 3 seconds
    records[3].bestTime = 999;    // finished never: no score, so no time either

    const SimpleLevelList::ChosenLevel played = SimpleLevelList::Choose(0, 2, *stages, records);
    EXPECT_EQ(played.level, 1);
    EXPECT_EQ(played.scoreText, "Best score: 12,345");
    EXPECT_TRUE(played.showTime);
    EXPECT_EQ(played.timeText, "Best time: 2:03");
    EXPECT_EQ(played.levelName, "Beta");
    EXPECT_EQ(played.levelIndexText, "Level 1-2");
    EXPECT_EQ(played.stage, 0);
    EXPECT_EQ(played.game, 1);

    // Slot 4 of page 0 is the fourth record: level 7, the third game of stage 2.
    const SimpleLevelList::ChosenLevel never = SimpleLevelList::Choose(0, 4, *stages, records);
    EXPECT_EQ(never.level, 7);
    EXPECT_EQ(never.scoreText, "None yet");
    EXPECT_FALSE(never.showTime);
    EXPECT_EQ(never.levelIndexText, "Level 2-3");
    EXPECT_EQ(never.stage, 1);
    EXPECT_EQ(never.game, 2);
}

TEST(SimpleLevelList, ChoosingWithoutRecordsOrBeyondTheCatalogueIsSafe) {
    screenstest::LoadTerms();
    const auto stages = screenstest::MakeStages({3});
    // No records at all: slot 1 describes level 0 as not played.
    const SimpleLevelList::ChosenLevel none = SimpleLevelList::Choose(0, 1, *stages, {});
    EXPECT_EQ(none.level, 0);
    EXPECT_EQ(none.scoreText, "None yet");
    EXPECT_EQ(none.levelName, "Alpha");
    // A record naming a level the catalogue does not have.
    const SimpleLevelList::ChosenLevel stray = SimpleLevelList::Choose(0, 1, *stages, Records({40}));
    EXPECT_EQ(stray.level, -1);
    EXPECT_EQ(stray.levelName, "");
    EXPECT_EQ(stray.levelIndexText, "");
}

TEST(SimpleLevelList, DataTextsWithBadConversionsAreNotFormatted) {
    const std::string text =
            "[Simple]\r\n"
            "BestScore=%n%s%s%s\r\n"
            "BestTime=%d%d%d%s\r\n";
    IniFile_t terms;
    terms.Parse(text.data(), text.size(), true, "termins.txt");
    TextTable_t::Instance()->Load(terms);
    EXPECT_EQ(SimpleLevelList::BestScoreText(1000), "%n1,000%s%s");
    EXPECT_EQ(SimpleLevelList::BestTimeText(12345), "23%d%s");
    screenstest::LoadTerms();
}

}  // namespace
