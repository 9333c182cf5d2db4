#include "game/shell/screens/History.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/shell/DataNumbers.h"
#include "platform/DebugOutput.h"
#include "tests/game/shell/screens/StoryScreensTestSupport.h"

namespace {

using storytest::Ini;
using Velm::History_t;
using Velm::HistoryItem_t;

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override { storytest::LoadTerms(); }
    void TearDown() override { TextTable_t::Destroy(); }
};

// Records what the story tells its listener, in order.
struct Recorder : Velm::HistoryListener {
    std::vector<std::string> calls;
    void OnItemStarted(int item) override { calls.push_back("started " + std::to_string(item)); }
    void OnItemDone(int item) override { calls.push_back("done " + std::to_string(item)); }
    void OnHistoryDone() override { calls.push_back("story done"); }
};

TEST_F(HistoryTest, ReadsBothTextFormsAndThePictures) {
    History_t story;
    // Explicit boxes (no rect table): x,y,w,h,key,colour,extra,reveal,hold,shape.
    story.Load(Ini("data/gameover.txt",
                   {"[Main]", "PagesCount=2", "X=112", "Y=84", "ShowGirl=0", "[Page0]",
                    "Text0=40,60,720,60,Title,FFE8A0,1,150,250,1", "Text1=80,160,640,300,Hello,80102030",
                    "Image0=5,6,no/such/picture", "[Page1]", "Text0=1,2,3,4,Percent,0"}),
               nullptr, "Ann");
    ASSERT_EQ(story.GetPageCount(), 2);
    EXPECT_EQ(story.x, 112);
    EXPECT_EQ(story.y, 84);
    EXPECT_FALSE(story.showGirl);
    const std::vector<HistoryItem_t>& items = story.pages[0]->items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].x, 40);
    EXPECT_EQ(items[0].w, 720);
    EXPECT_EQ(items[0].text, "The end");
    EXPECT_EQ(items[0].colour.red, 0xFF);
    EXPECT_EQ(items[0].colour.green, 0xE8);
    EXPECT_EQ(items[0].colour.alpha, 255);  // no alpha byte: opaque
    EXPECT_EQ(items[0].extra, 1);
    EXPECT_EQ(items[0].revealTime, 150);
    EXPECT_EQ(items[0].holdTime, 250);
    EXPECT_EQ(items[0].shape, 1);
    // Missing values keep their defaults; the player's name goes in for "%s".
    EXPECT_EQ(items[1].text, "Well done, Ann!");
    EXPECT_EQ(items[1].colour.alpha, 0x80);
    EXPECT_EQ(items[1].revealTime, 300);
    EXPECT_EQ(items[1].holdTime, 100);
    ASSERT_EQ(story.pages[0]->pictures.size(), 1u);
    EXPECT_EQ(story.pages[0]->pictures[0]->x, 5.0f);
    EXPECT_EQ(story.pages[1]->items[0].text, "100% done");
    // The first text is under way with its balloon.
    EXPECT_NE(story.balloon, nullptr);
    EXPECT_EQ(story.charsShown, 1);
}

TEST_F(HistoryTest, TheRectFormTakesItsBoxFromTheTable) {
    History_t story;
    story.Load(Ini("story.txt", {"[Main]", "PagesCount=1", "Rect0=10,20,300,40", "Rect1=50,60,200,80", "[Page0]",
                                 "Text0=1,Title,FF0000,7,120,1,FONT_DEFAULT", "Text1=0,Hello"}),
               nullptr);
    ASSERT_EQ(story.rects.size(), 2u);
    const std::vector<HistoryItem_t>& items = story.pages[0]->items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].x, 50);
    EXPECT_EQ(items[0].y, 60);
    EXPECT_EQ(items[0].w, 200);
    EXPECT_EQ(items[0].extra, 7);
    EXPECT_EQ(items[0].revealTime, 120);  // one time for both
    EXPECT_EQ(items[0].holdTime, 120);
    EXPECT_EQ(items[0].shape, 1);
    EXPECT_EQ(items[1].x, 10);
    EXPECT_EQ(items[1].colour.red, 0);         // black by default
    EXPECT_EQ(items[1].text, "Well done, !");  // no player
}

TEST_F(HistoryTest, BadLinesAreSkippedWithAMessage) {
    struct Case {
        const char* why;
        const char* line;
        const char* message;
    };
    const Case cases[] = {
            {"rect index past the table", "Text0=2,Title,FFFFFF,0", "rect index 2 outside the 2 rects"},
            {"negative rect index", "Text0=-1,Title,FFFFFF,0", "rect index -1 outside the 2 rects"},
            {"too few fields", "Text0=1", "too few fields in Page0 Text0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        plat::CapturedDebugOutput log;
        History_t story;
        story.Load(Ini("data/gameover.txt", {"[Main]", "PagesCount=1", "Rect0=0,0,10,10", "Rect1=0,0,20,20", "[Page0]",
                                             c.line, "Text1=0,Title"}),
                   nullptr);
        ASSERT_EQ(story.GetPageCount(), 1);
        ASSERT_EQ(story.pages[0]->items.size(), 1u);  // the good line stays
        EXPECT_EQ(story.pages[0]->items[0].key, "Title");
        EXPECT_NE(log.Text().find(c.message), std::string::npos) << log.Text();
        EXPECT_NE(log.Text().find("in File 'data/gameover.txt'"), std::string::npos) << log.Text();
    }
}

TEST_F(HistoryTest, AStrayPercentIsReportedAndShownAsWritten) {
    plat::CapturedDebugOutput log;
    History_t story;
    story.Load(Ini("data/gameover.txt", {"[Main]", "PagesCount=1", "[Page0]", "Text0=0,0,100,20,Odd,0"}), nullptr,
               "Ann");
    ASSERT_EQ(story.pages[0]->items.size(), 1u);
    EXPECT_EQ(story.pages[0]->items[0].text, "Only 5%d left");
    EXPECT_NE(log.Text().find("text 'Odd' has a '%'"), std::string::npos) << log.Text();
}

TEST_F(HistoryTest, HugeNumbersAreHeldWithinBounds) {
    plat::CapturedDebugOutput log;
    Recorder recorder;
    History_t story;
    story.Load(Ini("story.txt", {"[Main]", "PagesCount=2000000000", "X=99999999999", "[Page0]",
                                 "Text0=2147483647,-2147483648,2147483647,9,Title,0,0,2147483647,2147483647",
                                 "Image0=2147483647,99999999999,no/such/picture"}),
               &recorder);
    // The page count is bounded before anything is allocated.
    EXPECT_EQ(story.GetPageCount(), DataNumbers::kMaxPages);
    EXPECT_NE(log.Text().find("PagesCount"), std::string::npos) << log.Text();
    EXPECT_EQ(story.x, DataNumbers::kMaxCoordinate);
    const HistoryItem_t& text = story.pages[0]->items[0];
    EXPECT_EQ(text.x, DataNumbers::kMaxCoordinate);
    EXPECT_EQ(text.y, -DataNumbers::kMaxCoordinate);
    EXPECT_EQ(text.w, DataNumbers::kMaxCoordinate);
    EXPECT_EQ(text.revealTime, DataNumbers::kMaxTicks);
    EXPECT_EQ(text.holdTime, DataNumbers::kMaxTicks);
    EXPECT_FLOAT_EQ(story.pages[0]->pictures[0]->y, static_cast<float>(DataNumbers::kMaxCoordinate));
    // The text is held, not ended at once by a sum that wrapped.
    for (int tick = 0; tick < 100; ++tick) story.Tick();
    EXPECT_EQ(story.item, 0);
    EXPECT_FALSE(story.IsPageFinished());
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"started 0"}));
}

TEST_F(HistoryTest, AMissingStoryIsDoneOnTheFirstTick) {
    Recorder recorder;
    History_t story;
    story.Load("no/such/story.txt", &recorder);
    EXPECT_EQ(story.GetPageCount(), 0);
    EXPECT_TRUE(story.IsPageFinished());
    EXPECT_TRUE(story.Tick());
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"started 0", "story done"}));
    EXPECT_FALSE(story.NextPage());
}

TEST_F(HistoryTest, TextsAreTypedOutThenHeldThenTheStoryEnds) {
    Recorder recorder;
    History_t story;
    story.Load(Ini("story.txt",
                   {"[Main]", "PagesCount=1", "[Page0]", "Text0=0,0,400,40,Forty,0", "Text1=0,0,400,40,Title,0"}),
               &recorder);
    ASSERT_EQ(story.pages[0]->items[0].text.size(), 40u);
    int typedAt = -1;
    for (int tick = 1; tick <= 400; ++tick) {
        story.Tick();
        if (typedAt == -1 && story.charsShown == 40) typedAt = tick;
        if (tick < 400) {
            EXPECT_EQ(story.item, 0) << tick;
        }
    }
    EXPECT_EQ(typedAt, 195);   // one more character every 5 updates, starting with one
    EXPECT_EQ(story.item, 1);  // the first text ended after 300 + 100 updates
    for (int tick = 0; tick < 400; ++tick) story.Tick();
    EXPECT_TRUE(story.done);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"started 0", "done 0", "started 1", "done 1", "story done"}));
}

TEST_F(HistoryTest, TheFirstClickShowsTheWholeTextTheSecondEndsIt) {
    History_t story;
    story.Load(Ini("story.txt", {"[Main]", "PagesCount=2", "[Page0]", "Text0=0,0,400,40,Forty,0", "[Page1]",
                                 "Text0=0,0,400,40,Title,0"}),
               nullptr);
    for (int i = 0; i < 10; ++i) story.Tick();
    story.SkipCurrentText();
    EXPECT_EQ(story.ShownText().size(), 40u);
    EXPECT_FALSE(story.IsPageFinished());
    story.SkipCurrentText();
    EXPECT_TRUE(story.IsPageFinished());
    story.Tick();
    EXPECT_EQ(story.page, 1);  // the next page starts by itself
    EXPECT_FALSE(story.done);
}

}  // namespace
