// The flight of the fly-in dialogs: steps toward the resting point and out, arrival without
// overshoot, speed 0, the ids and flags of "Main", and the keys and buttons of the four plain
// dialogs.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "game/shell/ui/FlyMessage.h"
#include "game/shell/ui/FlyWidget.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/MessageDialog.h"
#include "game/shell/ui/PauseDialog.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UserNameDialog.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/platform/TempDir.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace {

using Velm::FlyWidget_t;

// Records the sounds the dialogs ask for; whole updates only.
class RecordingHost : public Velm::GameUiHost {
public:
    RecordingHost() { Set(this); }
    ~RecordingHost() override { Set(nullptr); }
    int PlaySound(const std::string& name, bool asBase) override {
        sounds.push_back(name + (asBase ? "" : " (own)"));
        return 1;
    }
    bool IsSmoothUpdating() override { return false; }
    std::vector<std::string> sounds;
};

class FlyWidgetTest : public ::testing::Test {
protected:
    // A UI file whose "Main" holds the given lines.
    std::string WriteUi(const std::string& name, const std::string& mainLines, const std::string& more = "") {
        const std::string path = mDir / name;
        std::ofstream out(path, std::ios::binary);
        out << "[Main]\r\n" << mainLines << more;
        return path;
    }

    velmtest::TempDir mDir;
    RecordingHost mHost;
};

struct FlightCase {
    const char* why;
    int beginX, beginY, restX, restY, speed;
    // Centre after each whole update, and the update on which the widget rests (0: never).
    std::vector<std::pair<int, int>> centres;
    int restsAfter;
};

// clang-format off
const FlightCase kFlights[] = {
        {"straight down in steps of 100", 300, -200, 300, 150, 100, {{300, -100}, {300, 0}, {300, 100}, {300, 150}}, 4},
        {"a last step longer than the rest lands on the point", 0, 0, 50, 0, 40, {{40, 0}, {50, 0}}, 2},
        {"begin equals rest: arrives on the first step", 120, 80, 120, 80, 10, {{120, 80}}, 1},
        {"diagonal 3-4-5, truncated to whole pixels", 0, 0, 30, 40, 10, {{6, 8}, {12, 16}, {18, 24}, {24, 32}, {30, 40}}, 5},
        {"speed 0 never arrives", 0, 0, 100, 0, 0, {{0, 0}, {0, 0}, {0, 0}}, 0},
};
// clang-format on

TEST_F(FlyWidgetTest, FliesToItsRestingPointInStepsOfItsSpeed) {
    for (const FlightCase& c : kFlights) {
        SCOPED_TRACE(c.why);
        const std::string file = WriteUi(
                "fly.txt", "BeginX=" + std::to_string(c.beginX) + "\r\nBeginY=" + std::to_string(c.beginY) +
                                   "\r\nSpeed=" + std::to_string(c.speed) + "\r\nPosition=" + std::to_string(c.restX) +
                                   "," + std::to_string(c.restY) + ",100,60\r\nID=9\r\n");
        FlyWidget_t fly(file, 0, true);
        EXPECT_EQ(fly.GetCenterX(), static_cast<float>(c.beginX));
        EXPECT_EQ(fly.GetCenterY(), static_cast<float>(c.beginY));
        EXPECT_EQ(fly.flyState, FlyWidget_t::kFlyingIn);
        int restedAt = 0;
        for (size_t i = 0; i < c.centres.size(); ++i) {
            fly.Update();
            EXPECT_EQ(fly.GetCenterX(), static_cast<float>(c.centres[i].first)) << "update " << i + 1;
            EXPECT_EQ(fly.GetCenterY(), static_cast<float>(c.centres[i].second)) << "update " << i + 1;
            if (restedAt == 0 && fly.flyState == FlyWidget_t::kResting) restedAt = static_cast<int>(i) + 1;
        }
        EXPECT_EQ(restedAt, c.restsAfter);
    }
    // One "flywindow" per fly-in, however many steps it took.
    EXPECT_EQ(mHost.sounds.size(), sizeof(kFlights) / sizeof(kFlights[0]));
}

TEST_F(FlyWidgetTest, AButtonFliesItOutAndTheResultIsReportedOnceOut) {
    const std::string file = WriteUi("out.txt", "Speed=1000\r\nPosition=400,300,100,100\r\nEndX=400\r\nEndY=-500\r\n");
    FlyWidget_t fly(file, 42, true);
    EXPECT_EQ(fly.mId, 42);      // no "ID": the creator's id stays
    EXPECT_FALSE(fly.mIsModal);  // no "Modal": modeless
    fly.Update();
    ASSERT_EQ(fly.flyState, FlyWidget_t::kResting);
    fly.ButtonDepress(-1);
    EXPECT_EQ(fly.flyState, FlyWidget_t::kResting);
    fly.ButtonDepress(7);
    EXPECT_EQ(fly.flyState, FlyWidget_t::kFlyingOut);
    EXPECT_EQ(fly.mResult, Velm::Dialog::kNoResult);
    fly.Update();
    EXPECT_EQ(fly.flyState, FlyWidget_t::kOut);
    EXPECT_EQ(fly.mResult, 7);
    const std::vector<std::string> sounds = {"flywindow", "MouseDown", "flywindow"};
    EXPECT_EQ(mHost.sounds, sounds);
}

TEST_F(FlyWidgetTest, MainGivesTheIdTheModalFlagAndTexts) {
    const std::string file = WriteUi("main.txt", "ID=333\r\nModal=1\r\nCaption= Head \r\nText=Body\r\n");
    FlyWidget_t fly(file, 5, false);
    EXPECT_EQ(fly.mId, 333);
    EXPECT_TRUE(fly.mIsModal);
    EXPECT_EQ(fly.mDialogHeader, "Head");
    EXPECT_EQ(fly.mDialogLines, "Body");
    EXPECT_EQ(fly.speed, 100);
    EXPECT_EQ(fly.mWidth, 200);  // "Position" missing: 200,200,200,300
    EXPECT_EQ(fly.mHeight, 300);
    EXPECT_EQ(fly.restX, 200.0f);
}

TEST_F(FlyWidgetTest, MainNumbersOutOfRangeKeepTheirDefaults) {
    const std::string file = WriteUi("huge.txt",
                                     "Position=99999999999,0,10,10\r\nBeginX=2147483647\r\nEndY=1,2\r\n"
                                     "Speed=-\r\n");
    FlyWidget_t fly(file, 5, false);
    EXPECT_EQ(fly.restX, 200.0f);  // the default place: 200,200,200,300
    EXPECT_EQ(fly.mWidth, 200);
    EXPECT_EQ(fly.beginX, 0.0f);
    EXPECT_EQ(fly.endY, 0.0f);
    EXPECT_EQ(fly.speed, 100);
    const std::string wide = WriteUi("wide.txt", "Position=10,20,90000,90000\r\n");
    FlyWidget_t clamped(wide, 5, false);
    EXPECT_EQ(clamped.mWidth, 1024);
    EXPECT_EQ(clamped.mHeight, 768);
}

TEST_F(FlyWidgetTest, AFileWithoutSectionsGivesTheFixedLayout) {
    FlyWidget_t fly(mDir / "missing.txt", 8, true);
    EXPECT_EQ(fly.mId, 8);
    EXPECT_EQ(fly.speed, 10);
    EXPECT_EQ(fly.restX, 400.0f);
    EXPECT_EQ(fly.restY, 300.0f);
    EXPECT_EQ(fly.GetCenterX(), 400.0f);
    EXPECT_EQ(fly.GetCenterY(), -300.0f);
}

TEST_F(FlyWidgetTest, FlyMessageLeavesAfterAHundredUpdatesOfRest) {
    const std::string file = WriteUi("msg.txt", "Speed=10000\r\nPosition=10,10,50,50\r\nEndX=10\r\nEndY=-900\r\n");
    FlyMessage message(file, "hello");
    EXPECT_TRUE(message.mIsModal);
    EXPECT_EQ(message.mId, FlyMessage::kDialogId);
    message.Update();
    ASSERT_EQ(message.flyState, FlyWidget_t::kResting);
    // The arriving update is the first of the hundred at rest.
    for (int i = 0; i < 98; ++i) message.Update();
    EXPECT_EQ(message.flyState, FlyWidget_t::kResting);
    message.Update();
    EXPECT_EQ(message.flyState, FlyWidget_t::kFlyingOut);
    message.Update();
    message.Update();
    EXPECT_EQ(message.flyState, FlyWidget_t::kOut);
    EXPECT_EQ(message.mResult, FlyMessage::kDoneResult);
}

TEST_F(FlyWidgetTest, MessageBoxKeysAnswerAtOnceOnlyWithTheirButtons) {
    const std::string buttons =
            "[Ok]\r\nType=Button\r\nID=1\r\nPosition=0,0,10,10\r\n[Cancel]\r\nType=Button\r\nID=2\r\nPosition=20,0,10,"
            "10\r\n";
    const std::string both = WriteUi("okc.txt", "Position=100,100,200,100\r\n", buttons);
    const std::string none = WriteUi("none.txt", "Position=100,100,200,100\r\n");
    struct KeyCase {
        const char* why;
        const std::string* file;
        int key;
        int result;
        int pending;
    };
    const KeyCase kKeys[] = {
            {"Enter with Ok", &both, 13, Velm::MessageDialog::kEnterResult, 1},
            {"Esc with Cancel", &both, 27, Velm::MessageDialog::kEscResult, 2},
            {"Enter without Ok", &none, 13, Velm::Dialog::kNoResult, 0},
            {"Esc without Cancel", &none, 27, Velm::Dialog::kNoResult, 0},
    };
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.why);
        Velm::MessageDialog box(*c.file, "caption", "message", 12345);
        EXPECT_EQ(box.mId, 12345);
        box.KeyUp(c.key);
        EXPECT_EQ(box.mResult, c.result);
        EXPECT_EQ(box.pendingResult, c.pending);
    }
}

// A font whose characters are solid blocks (8 pixels a character, 6 wide, 10 high), so that a
// drawn text shows as pixels of its colour.
class BlockFont : public Velm::Font {
public:
    BlockFont() {
        ascent = 10;
        height = 12;
    }
    int StringWidth(const std::string& text) override { return 8 * static_cast<int>(text.size()); }
    void DrawString(Velm::Graphics* g, int x, int y, const std::string& text, const Velm::Color& color,
                    const Velm::Rect& clip) override {
        (void)clip;
        g->SetColor(color);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != ' ') g->FillRect(x + 8 * static_cast<int>(i), y - ascent, 6, ascent);
        }
    }
    Velm::Font* Duplicate() override { return new BlockFont(*this); }
};

TEST_F(FlyWidgetTest, MessageBoxDrawsItsBodyInsideItsMessageRectangle) {
    // The box as the shipped files lay it out: 500 x 350 around (512, 384), the body in
    // 40,90,420,150 of the box.
    const std::string file = WriteUi("box.txt", "Position=512,384,500,350\r\nBeginX=512\r\nBeginY=384\r\nSpeed=40\r\n",
                                     "[Message]\r\nType=Link\r\nPosition=40,90,420,150\r\n");
    Velm::MessageDialog box(file, "caption", "Leave the game now", 12345);
    box.Update();
    ASSERT_EQ(box.flyState, FlyWidget_t::kResting);
    ASSERT_NE(box.mX, 0);
    auto* body = dynamic_cast<Velm::HyperlinkWidget*>(box.GetDescription()->FindWidget("Message"));
    ASSERT_NE(body, nullptr);
    BlockFont font;
    body->SetFont(&font);
    body->mColor = Velm::Color(255, 0, 0);

    // Drawn as the widget manager draws a widget: the box's top left corner at 0,0.
    Velm::MemoryImage target(nullptr);
    target.Create(box.mWidth, box.mHeight);
    Velm::Graphics g(&target);
    box.Draw(&g);
    const uint32_t* pixels = target.GetBits();
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < box.mHeight; ++y) {
        for (int x = 0; x < box.mWidth; ++x) {
            if ((pixels[y * box.mWidth + x] & 0xFFFFFF) != 0xFF0000) continue;
            const bool inBody = x >= 40 && x < 40 + 420 && y >= 90 && y < 90 + 150;
            ++(inBody ? inside : outside);
        }
    }
    // Three words of blocks: 15 characters of 6 x 10 pixels.
    EXPECT_EQ(inside, 15 * 6 * 10);
    EXPECT_EQ(outside, 0);
}

TEST_F(FlyWidgetTest, PauseEndsOnSpaceOrAnyClick) {
    const std::string file = WriteUi("pause.txt", "Position=100,100,200,100\r\n");
    Velm::PauseDialog pause(file);
    pause.KeyUp('A');
    EXPECT_EQ(pause.flyState, FlyWidget_t::kFlyingIn);
    pause.KeyUp(32);
    EXPECT_EQ(pause.flyState, FlyWidget_t::kFlyingOut);
    EXPECT_EQ(pause.pendingResult, 1);
    Velm::PauseDialog clicked(file);
    clicked.ButtonDepress(9);
    EXPECT_EQ(clicked.pendingResult, 1);
    EXPECT_EQ(std::count(mHost.sounds.begin(), mHost.sounds.end(), "MouseDown"), 0);
}

TEST_F(FlyWidgetTest, NameDialogTakesLettersAndDigitsAndRefusesAnEmptyName) {
    const std::string file = WriteUi("newuser.txt", "Position=100,100,300,200\r\n",
                                     "[Edit]\r\nType=Edit\r\nID=3\r\nPosition=10,10,100,20\r\n");
    Velm::UserNameDialog dialog(file);
    ASSERT_NE(dialog.GetEdit(), nullptr);
    EXPECT_EQ(dialog.GetEdit()->mMaxChars, 12);
    for (char c : std::string("aZ09")) EXPECT_TRUE(dialog.AllowChar(3, c)) << c;
    for (char c : std::string(" .-_!\xE9")) EXPECT_FALSE(dialog.AllowChar(3, c)) << c;
    dialog.GetEdit()->SetText("  ");
    dialog.ButtonDepress(1);
    EXPECT_EQ(dialog.GetEdit()->mString, "");
    EXPECT_EQ(dialog.flyState, FlyWidget_t::kFlyingIn);
    dialog.GetEdit()->SetText(" Ann ");
    dialog.EditWidgetText(3, " Ann ");
    EXPECT_EQ(dialog.GetEdit()->mString, "Ann");
    EXPECT_EQ(dialog.flyState, FlyWidget_t::kFlyingOut);
    EXPECT_EQ(dialog.pendingResult, 1);
}

TEST_F(FlyWidgetTest, NameDialogShowsItsRuleInTheWarningColourWhenAKeyIsRefused) {
    const std::string file = WriteUi("newuser.txt", "Position=100,100,300,200\r\n",
                                     "[Edit]\r\nType=Edit\r\nID=3\r\nPosition=10,10,100,20\r\n"
                                     "[Rule]\r\nType=Link\r\nCaption=NameRule\r\nPosition=10,40,280,40\r\n");
    Velm::UserNameDialog dialog(file);
    Velm::EditWidget* edit = dialog.GetEdit();
    Velm::HyperlinkWidget* rule = dialog.GetRule();
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(rule, nullptr);
    EXPECT_TRUE(rule->mVisible);
    const Velm::Color calm = rule->mColor;
    ASSERT_NE(calm, Velm::UserNameDialog::kRefusalColor);
    struct KeyCase {
        const char* why;
        char key;
        bool refused;
    };
    const KeyCase kKeys[] = {
            {"a letter", 'A', false}, {"a space", ' ', true},      {"a hyphen", '-', true},
            {"a digit", '7', false},  {"an accent", '\xE9', true},
    };
    std::string taken;
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.why);
        edit->KeyChar(c.key);
        if (!c.refused) taken += c.key;
        EXPECT_EQ(edit->mString, taken);
        EXPECT_EQ(rule->mColor, c.refused ? Velm::UserNameDialog::kRefusalColor : calm);
        // The warning stays for a moment, then the rule is calm again.
        for (int i = 1; i < Velm::UserNameDialog::kRefusalShowTicks; ++i) dialog.Update();
        EXPECT_EQ(rule->mColor, c.refused ? Velm::UserNameDialog::kRefusalColor : calm);
        dialog.Update();
        EXPECT_EQ(rule->mColor, calm);
    }
}

}  // namespace
