#include "game/shell/screens/GameOverWidget.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/shell/ui/UiDescription.h"
#include "tests/game/shell/TestFiles.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "tests/game/shell/screens/StoryScreensTestSupport.h"
#include "widgets/ButtonWidget.h"

namespace {

using Velm::GameOverWidget;

class GameOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        storytest::LoadTerms();
        std::filesystem::create_directories(dir.Path("ui"));
        std::filesystem::create_directories(dir.Path("data"));
        WriteIni(dir.Path("ui/gameover.txt"), {"[Done]", "Type=Button", "ID=1", "Position=412,700,200,48"});
        WriteIni(dir.Path("data/gameover.txt"), {"[Main]", "PagesCount=2", "[Page0]", "Text0=0,0,400,40,Forty,0",
                                                 "Text1=0,50,400,40,Hello,0", "[Page1]", "Text0=0,0,400,40,Title,0"});
    }
    void TearDown() override { TextTable_t::Destroy(); }

    std::string DoneLabel(GameOverWidget& screen) {
        return dynamic_cast<Velm::ButtonWidget*>(screen.GetDescription()->FindWidget("Done"))->mLabel;
    }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
    storytest::RecordingLinks recorder;
    Velm::BaseDialogWidget scores{111, true};
};

// Clicks until the screen leaves, the screen updating between clicks as the game runs it; the
// number of clicks it took.
int ClickToTheEnd(GameOverWidget& screen, storytest::RecordingLinks& recorder) {
    int clicks = 0;
    while (recorder.switches.empty() && clicks < 20) {
        screen.MouseDown(500, 300, 1);
        ++clicks;
        if (recorder.switches.empty()) screen.Update();
    }
    return clicks;
}

TEST_F(GameOverTest, ClicksHurryTheStoryThenItLeavesForTheScoresOrTheMenu) {
    struct Case {
        const char* why;
        int scoresFlag;
        int code;
    };
    const Case cases[] = {{"the score got a place", 1, 4}, {"no place", 0, 26}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        recorder.switches.clear();
        recorder.scores = &scores;
        scores.mShowArgument = c.scoresFlag;
        GameOverWidget screen(recorder.Make(), "ui/gameover.txt", "data/gameover.txt");
        screen.OnShown();
        ASSERT_EQ(screen.GetStory().GetPageCount(), 2);
        EXPECT_EQ(DoneLabel(screen), "Next");
        screen.Update();
        // Page 0: show the first text, end it, show the second, end it (the page is over).
        for (int i = 0; i < 2; ++i) {
            screen.MouseDown(10, 10, 1);
            EXPECT_EQ(screen.GetStory().ShownText().size(), screen.GetStory().CurrentItem()->text.size());
            screen.MouseDown(10, 10, 1);
            screen.Update();
        }
        EXPECT_EQ(screen.GetStory().page, 1);
        EXPECT_EQ(DoneLabel(screen), "Done");
        // Show the last text, then one click ends it and leaves (no empty page between).
        EXPECT_EQ(ClickToTheEnd(screen, recorder), 2);
        EXPECT_EQ(recorder.switches, (std::vector<int>{c.code}));
        screen.OnHidden();
        EXPECT_EQ(screen.GetStory().GetPageCount(), 0);
    }
}

TEST_F(GameOverTest, WithoutItsStoryOneClickLeaves) {
    std::filesystem::remove(dir.Path("data/gameover.txt"));
    GameOverWidget screen(recorder.Make(), "ui/gameover.txt", "data/gameover.txt");
    screen.OnShown();
    screen.Update();
    screen.KeyUp(27);
    EXPECT_EQ(recorder.switches, (std::vector<int>{26}));  // no score table known: the menu
}

}  // namespace
