#include "game/shell/screens/HighScoresDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/shell/HighScoreTable.h"
#include "game/shell/ResourceIds.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "tests/game/shell/screens/StoryScreensTestSupport.h"
#include "tests/widgets/WidgetTestSupport.h"

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

TEST_F(HighScoresTest, ALongNameStaysOnOneLineOfItsColumn) {
    const std::string longName = std::string(5000, 'W') + " " + std::string(3000, 'x');
    table().GetEntry(0)->name = longName;
    table().GetEntry(1)->name = "Ann Lee";
    VelmTest::Log drawn;
    VelmTest::TestFont font(&drawn);  // 6 pixels a character; logs "text@x,y colour"
    Velm::Font* before = Velm::FONT_DEFAULT;
    Velm::FONT_DEFAULT = &font;
    HighScoresDialog dialog(recorder.Make(), "ui/highscores.txt", -1);
    Velm::MemoryImage screen;
    screen.Create(1024, 768);
    Velm::Graphics g(&screen);
    dialog.Draw(&g);
    Velm::FONT_DEFAULT = before;
    // One line in the name column for each of the ten rows (names are centred in it, left
    // of the scores), each within the column.
    std::vector<std::string> names;
    for (const std::string& line : drawn) {
        const size_t at = line.find('@');
        ASSERT_NE(at, std::string::npos) << "a line too long to log: " << line.substr(0, 40);
        const int x = std::stoi(line.substr(at + 1));
        if (x < dialog.GetRow(0).score.x) {
            names.push_back(line.substr(0, at));
            EXPECT_GE(x, dialog.GetRow(0).name.x);
        }
    }
    ASSERT_EQ(names.size(), 10u);
    for (const std::string& name : names) EXPECT_LE(font.StringWidth(name), 448) << name;
    EXPECT_EQ(names[0].substr(names[0].size() - 3), "...");
    EXPECT_EQ(names[0].substr(0, 10), "WWWWWWWWWW");
    const auto drewText = [&drawn](const std::string& text) {
        return std::any_of(drawn.begin(), drawn.end(), [&text](const std::string& line) {
            return line.compare(0, text.size() + 1, text + "@") == 0;
        });
    };
    EXPECT_TRUE(drewText("Ann Lee"));
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
