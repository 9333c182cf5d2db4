#include "game/shell/screens/HighScoresDialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/shell/HighScoreTable.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "tests/game/shell/screens/StoryScreensTestSupport.h"

namespace {

using Velm::HighScoresDialog;

class HighScoresTest : public ::testing::Test {
protected:
    void SetUp() override {
        storytest::LoadTerms();
        std::filesystem::create_directories(dir.Path("ui"));
        WriteIni(dir.Path("ui/highscores.txt"),
                 {"[ListColor]",     "Type=Point",  "X=0xFFFFE8A0", "Y=0",
                  "[CaptionPos]",    "Type=Point",  "X=212",        "Y=40",
                  "[TableRowStart]", "Type=Point",  "X=262",        "Y=200",
                  "[Back]",          "Type=Button", "ID=1",         "Position=292,680,200,48",
                  "[Reset]",         "Type=Button", "ID=2",         "Position=532,680,200,48"});
        HighScoreTable_t::Destroy();
        table().SetDefaults();
    }
    void TearDown() override {
        HighScoreTable_t::Destroy();
        TextTable_t::Destroy();
    }
    static HighScoreTable_t& table() { return *HighScoreTable_t::Instance(); }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
    storytest::RecordingLinks recorder;
};

TEST_F(HighScoresTest, ANewEntryIsHighlightedWithTheBarAndABurst) {
    const int place = table().Insert("Road", 9500, 1, 2);
    ASSERT_EQ(place, 1);
    HighScoresDialog dialog(recorder.Make(), "ui/highscores.txt", place);
    EXPECT_EQ(dialog.mId, HighScoresDialog::kDialogId);
    EXPECT_EQ(dialog.GetHighlight(), 1);
    // Rows 40 pixels apart from "TableRowStart"; the bar 7 above the row's names.
    EXPECT_EQ(dialog.GetRow(0).name.x, 155);
    EXPECT_EQ(dialog.GetRow(1).name.y, 240);
    EXPECT_EQ(dialog.GetRow(1).score.x, 610);
    EXPECT_FLOAT_EQ(dialog.GetBar().x, 530.0f);
    EXPECT_FLOAT_EQ(dialog.GetBar().y, 233.0f);
    EXPECT_NE(dialog.GetBurst(), nullptr);
    EXPECT_EQ(table().GetEntry(1)->name, "Road");

    HighScoresDialog row0(recorder.Make(), "ui/highscores.txt", 0);
    EXPECT_FLOAT_EQ(row0.GetBar().y, 193.0f);
}

TEST_F(HighScoresTest, ShownFromTheMenuTheHighlightGoes) {
    HighScoresDialog dialog(recorder.Make(), "ui/highscores.txt", -1);
    dialog.SetHighlight(3);
    dialog.mShowArgument = 1;  // reached after a finished game
    dialog.OnShown();
    EXPECT_EQ(dialog.GetHighlight(), 3);
    dialog.OnHidden();
    dialog.mShowArgument = 0;  // from the main menu
    dialog.OnShown();
    EXPECT_EQ(dialog.GetHighlight(), -1);
    EXPECT_EQ(dialog.GetBurst(), nullptr);
    dialog.OnHidden();
}

TEST_F(HighScoresTest, ResetAsksFirstAndPutsTheDefaultsBack) {
    const int place = table().Insert("Road", 99999, 1, 2);
    ASSERT_EQ(place, 0);
    HighScoresDialog dialog(recorder.Make(), "ui/highscores.txt", place);

    recorder.confirm = false;
    dialog.ButtonDepress(HighScoresDialog::kReset);
    EXPECT_EQ(recorder.boxes, (std::vector<int>{4}));
    EXPECT_EQ(table().GetEntry(0)->name, "Road");
    EXPECT_EQ(dialog.GetHighlight(), 0);

    recorder.confirm = true;
    dialog.ButtonDepress(HighScoresDialog::kReset);
    EXPECT_EQ(recorder.boxes, (std::vector<int>{4, 4}));
    EXPECT_EQ(dialog.GetHighlight(), -1);
    EXPECT_EQ(dialog.GetBurst(), nullptr);
    ASSERT_EQ(table().GetCount(), HighScoreTable_t::kEntryCount);
    EXPECT_EQ(table().GetEntry(0)->name, "Luna");
    EXPECT_EQ(table().GetEntry(0)->score, 10000);
    EXPECT_EQ(table().GetEntry(9)->name, "Nox");
    EXPECT_EQ(table().GetEntry(9)->score, 1000);
    EXPECT_TRUE(recorder.switches.empty());
}

TEST_F(HighScoresTest, BackAndEscGoToTheMenuOrBack) {
    struct Case {
        const char* why;
        int returnFlag;
        bool esc;
        int code;
    };
    const Case cases[] = {
            {"back after a game", 1, false, 3},
            {"back from the menu", 0, false, 30},
            {"Esc after a game", 1, true, 3},
            {"Esc from the menu", 0, true, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        recorder.switches.clear();
        HighScoresDialog dialog(recorder.Make(), "ui/highscores.txt", -1);
        dialog.mShowArgument = c.returnFlag;
        if (c.esc) {
            dialog.KeyUp(27);
        } else {
            dialog.ButtonDepress(HighScoresDialog::kBack);
        }
        EXPECT_EQ(recorder.switches, (std::vector<int>{c.code}));
    }
}

}  // namespace
