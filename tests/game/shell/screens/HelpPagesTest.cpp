#include "game/shell/screens/HelpPages.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/util/IniFile.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/TextTable.h"
#include "platform/DebugOutput.h"

namespace {

IniFile_t Ini(const std::string& lfText) {
    std::string text;
    for (char c : lfText) {
        if (c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    IniFile_t file;
    file.Parse(text.data(), text.size(), true, "data/help.txt");
    return file;
}

class HelpPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextTable_t::Destroy();
        TextTable_t::Instance()->Load(Ini("[Help]\nHello=Hello %s\nBad=100%d done\nPlain=50%% off\n"));
    }
    void TearDown() override { TextTable_t::Destroy(); }
};

TEST_F(HelpPagesTest, ReadsPagesShiftedByTheirOffsets) {
    HelpPages_t pages;
    pages.Load(
            Ini("[Main]\nPagesCount=2\n"
                "[Page0]\nDX=100\nDY=-5\n"
                "Text0=10,20,300,40,Hello,FF0000,0\n"
                "Text1=1,2,3,4,Plain,0x80112233,1,NO_SUCH_FONT\n"
                "Image0=5,6,pictures/none,1;2;3;4\n"
                "[Page1]\nText0=0,0,10,10,Hello,0,-1\n"));
    ASSERT_EQ(pages.GetPageCount(), 2);
    const HelpPage_t& first = *pages.pages[0];
    ASSERT_EQ(first.texts.size(), 2u);
    EXPECT_EQ(first.texts[0].x, 110);
    EXPECT_EQ(first.texts[0].y, 15);
    EXPECT_EQ(first.texts[0].w, 300);
    EXPECT_EQ(first.texts[0].key, "Hello");
    EXPECT_EQ(first.texts[0].justification, 0);
    EXPECT_EQ(first.texts[0].colour, Velm::Color(255, 0, 0, 255));
    EXPECT_EQ(first.texts[1].colour, Velm::Color(0x11, 0x22, 0x33, 0x80));
    EXPECT_EQ(first.texts[1].font, nullptr);  // not a font: the default font
    ASSERT_EQ(first.pictures.size(), 1u);
    EXPECT_FLOAT_EQ(first.pictures[0]->x, 105.0f);
    EXPECT_FLOAT_EQ(first.pictures[0]->y, 1.0f);
    EXPECT_EQ(first.pictures[0]->srcRect, Velm::Rect(1, 2, 3, 4));
    EXPECT_EQ(first.pictures[0]->image, nullptr);  // missing file: drawn as nothing
    EXPECT_EQ(pages.pages[1]->texts.size(), 1u);
}

TEST_F(HelpPagesTest, TurningPages) {
    HelpPages_t pages;
    pages.Load(Ini("[Main]\nPagesCount=3\n"));
    EXPECT_EQ(pages.page, 0);
    EXPECT_FALSE(pages.HasPrevious());
    EXPECT_TRUE(pages.NextPage());
    EXPECT_TRUE(pages.NextPage());
    EXPECT_EQ(pages.page, 2);
    EXPECT_TRUE(pages.NextPage());  // stays on the last page
    EXPECT_EQ(pages.page, 2);
    EXPECT_TRUE(pages.HasPrevious());
    EXPECT_TRUE(pages.PrevPage());
    EXPECT_EQ(pages.page, 1);
}

TEST_F(HelpPagesTest, MissingFileGivesNoPages) {
    plat::CapturedDebugOutput log;
    HelpPages_t pages;
    pages.Load("no/such/help.txt");
    EXPECT_EQ(pages.GetPageCount(), 0);
    EXPECT_FALSE(pages.NextPage());
    pages.Draw(nullptr);  // nothing to draw
    EXPECT_NE(log.Text().find("no/such/help.txt"), std::string::npos);
}

TEST_F(HelpPagesTest, BadLinesAndUnsafeTextsAreReported) {
    plat::CapturedDebugOutput log;
    HelpPages_t pages;
    pages.Load(
            Ini("[Main]\nPagesCount=1\n[Page0]\n"
                "Text0=1,2,3,Hello\n"
                "Text1=1,2,3,4,Bad,0,0\n"
                "Image0=1,2\n"));
    ASSERT_EQ(pages.GetPageCount(), 1);
    EXPECT_EQ(pages.pages[0]->texts.size(), 1u);  // the short line is skipped
    EXPECT_TRUE(pages.pages[0]->pictures.empty());
    const std::string text = log.Text();
    EXPECT_NE(text.find("too few fields in Page0 Text0"), std::string::npos) << text;
    EXPECT_NE(text.find("text 'Bad'"), std::string::npos) << text;
    EXPECT_NE(text.find("in File 'data/help.txt'"), std::string::npos) << text;
}

TEST_F(HelpPagesTest, HugeNumbersAreHeldWithinBounds) {
    plat::CapturedDebugOutput log;
    HelpPages_t pages;
    pages.Load(
            Ini("[Main]\nPagesCount=2000000000\n"
                "[Page0]\nDX=2147483647\nDY=-99999999999\n"
                "Text0=2147483647,-2147483648,99999999999,4,Hello,0,0\n"
                "Image0=2147483647,5,pictures/none,1;0;2147483647;1\n"));
    // The page count is bounded before anything is allocated.
    EXPECT_EQ(pages.GetPageCount(), DataNumbers::kMaxPages);
    EXPECT_NE(log.Text().find("PagesCount"), std::string::npos) << log.Text();
    const HelpPage_t& first = *pages.pages[0];
    const int most = DataNumbers::kMaxCoordinate;
    ASSERT_EQ(first.texts.size(), 1u);
    EXPECT_EQ(first.texts[0].x, 2 * most);  // the text's x plus the page's DX, both held
    EXPECT_EQ(first.texts[0].y, -2 * most);
    EXPECT_EQ(first.texts[0].w, most);
    ASSERT_EQ(first.pictures.size(), 1u);
    EXPECT_FLOAT_EQ(first.pictures[0]->x, static_cast<float>(2 * most));
    // The picture's source rectangle is kept: the drawing layer leaves out what lies beyond the picture.
    EXPECT_EQ(first.pictures[0]->srcRect, Velm::Rect(1, 0, 2147483647, 1));
}

TEST(HelpTextTest, WhatAHelpTextMayHold) {
    struct Case {
        const char* text;
        bool safe;
    };
    const Case cases[] = {
            {"plain", true}, {"Hi %s!", true}, {"100%% sure, %s", true}, {"%s and %s", false},
            {"%d", false},   {"%n", false},    {"ends with %", false},   {"%-20s", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HelpPages_t::IsSafeHelpText(c.text), c.safe);
    }
}

}  // namespace

namespace {

TEST(HelpTextTest, TheNameIsPutInWithoutAFormatCall) {
    struct Case {
        const char* text;
        const char* name;
        const char* shown;
    };
    const Case cases[] = {
            {"Hi %s!", "Ann", "Hi Ann!"},
            {"Hi %s!", "", "Hi !"},  // no current player
            {"100%% for %s", "a%sb", "100% for a%sb"},
            {"%s%n%s", "Ann", "%s%n%s"},  // not safe: as written
            {"trailing %", "Ann", "trailing %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HelpPages_t::FormatHelpText(c.text, c.name), c.shown);
    }
}

}  // namespace
