#include "game/shell/screens/FrameAnim.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/game/shell/TestFiles.h"

namespace {

const char* kFire =
        "<anims>\n"
        "  <smoke time=\"1\"><item name=\"s\"/></smoke>\n"
        "  <fire time=\"0.2\" x=\"30.7\" y=\"560\" additive=\"1\">\n"
        "    <item name=\"images/main/fire0\" x=\"1\" y=\"-2\"/>\n"
        "    <item x=\"5\"/>\n"
        "    <item name=\"images/main/fire1\"/>\n"
        "    <item name=\"images/main/fire2\"/>\n"
        "  </fire>\n"
        "</anims>\n";

TEST(FrameAnimTest, ReadsAttributesItemsAndDefaults) {
    FrameAnim_t anim;
    ASSERT_TRUE(anim.LoadFromText(kFire, "fire.xml", "fire", false)) << anim.GetError();
    EXPECT_FLOAT_EQ(anim.frameTime, 0.2f);
    ASSERT_EQ(anim.frameCount, 3);  // the item without a name is skipped
    const FrameAnimItem_t* first = anim.GetItem(0);
    EXPECT_EQ(first->name, "images/main/fire0");
    EXPECT_EQ(first->offsetX, 1);
    EXPECT_EQ(first->offsetY, -2);
    EXPECT_EQ(first->baseX, 30);  // atoi of "30.7"
    EXPECT_EQ(first->baseY, 560);
    EXPECT_TRUE(first->picture.additive);
    EXPECT_EQ(anim.GetItem(2)->offsetX, 0);
    EXPECT_EQ(anim.GetItem(3), nullptr);

    FrameAnim_t plain;
    ASSERT_TRUE(plain.LoadFromText("<a><fire><item name=\"x\"/></fire></a>", "t", "fire", false));
    EXPECT_FLOAT_EQ(plain.frameTime, 0.2f);
    EXPECT_FALSE(plain.GetItem(0)->picture.additive);
    EXPECT_EQ(plain.GetItem(0)->baseX, 0);
}

TEST(FrameAnimTest, EachFrameLastsItsTimeAndWraps) {
    FrameAnim_t anim;
    ASSERT_TRUE(anim.LoadFromText(kFire, "fire.xml", "fire", false));
    anim.Update(0.01f);
    EXPECT_EQ(anim.frame, 0);  // not started: nothing moves
    anim.Start();
    std::vector<int> frames;
    for (int tick = 1; tick <= 60; ++tick) {
        anim.Update(0.01f);
        if (tick % 20 == 0) {
            frames.push_back(anim.frame);
        }
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0}));
}

TEST(FrameAnimTest, OneItemAlwaysShowsIt) {
    FrameAnim_t anim;
    ASSERT_TRUE(anim.LoadFromText("<a><fire time=\"0.01\"><item name=\"x\"/></fire></a>", "t", "fire", false));
    anim.Start();
    for (int tick = 0; tick < 10; ++tick) {
        anim.Update(0.01f);
        EXPECT_EQ(anim.frame, 0);
    }
}

TEST(FrameAnimTest, BadInputLeavesItEmpty) {
    struct Case {
        const char* why;
        const char* text;
        const char* errorPart;
    };
    const Case cases[] = {
            {"not XML", "<anims><fire>", "in File 'bad.xml'"},
            {"no such element", "<anims><smoke/></anims>", "No element 'fire'"},
            {"empty", "", "in File 'bad.xml'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FrameAnim_t anim;
        ASSERT_TRUE(anim.LoadFromText(kFire, "fire.xml", "fire", false));
        EXPECT_FALSE(anim.LoadFromText(c.text, "bad.xml", "fire", false));
        EXPECT_NE(anim.GetError().find(c.errorPart), std::string::npos) << anim.GetError();
        EXPECT_EQ(anim.frameCount, 0);
        anim.Start();
        anim.Update(1.0f);
        anim.Draw(nullptr);  // an empty animation draws nothing
    }
}

TEST(FrameAnimTest, LoadsFromFileAndReportsMissingFile) {
    TempDir dir;
    const std::string path = dir.Path() + "/fire.xml";
    WriteBytes(path, std::vector<uint8_t>(kFire, kFire + std::strlen(kFire)));
    FrameAnim_t anim;
    EXPECT_TRUE(anim.Load(path, "fire", false));
    EXPECT_EQ(anim.frameCount, 3);
    EXPECT_FALSE(anim.Load(dir.Path() + "/missing.xml", "fire", false));
    EXPECT_EQ(anim.frameCount, 0);
    EXPECT_NE(anim.GetError().find("missing.xml"), std::string::npos);
}

}  // namespace
