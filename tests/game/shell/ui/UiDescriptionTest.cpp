#include <gtest/gtest.h>

#include <typeinfo>

#include "engine/util/IniFile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/ui/NumberLabelWidget.h"
#include "game/shell/ui/RadioButton.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiStyleRegistry.h"
#include "game/shell/ui/VornWidgets.h"
#include "graphics/Graphics.h"
#include "platform/DebugOutput.h"
#include "tests/game/shell/ui/UiTestSupport.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

namespace UiTest {
namespace {

using Velm::Widget;

// What a test knows about a built widget.
struct Row {
    std::string name;
    std::string kind;
    int id;
    Velm::Rect rect;
    bool visible;
    bool added;
    std::string label;
};

std::string KindOf(Widget* w) {
    if (dynamic_cast<Velm::VornDialogButton*>(w)) return "VornDialogButton";
    if (dynamic_cast<Velm::VornButtonWidget*>(w)) return "VornButtonWidget";
    if (dynamic_cast<Velm::NumberLabelWidget*>(w)) return "NumberLabelWidget";
    if (dynamic_cast<Velm::HyperlinkWidget*>(w)) return "HyperlinkWidget";
    if (dynamic_cast<Velm::VornCheckbox*>(w)) return "VornCheckbox";
    if (dynamic_cast<Velm::RadioButton*>(w)) return "RadioButton";
    if (dynamic_cast<Velm::VornSlider*>(w)) return "VornSlider";
    if (dynamic_cast<Velm::ListWidget*>(w)) return "ListWidget";
    if (dynamic_cast<Velm::EditWidget*>(w)) return "EditWidget";
    return typeid(*w).name();
}

int IdOf(Widget* w) {
    if (auto* b = dynamic_cast<Velm::ButtonWidget*>(w)) return b->mId;
    if (auto* c = dynamic_cast<Velm::Checkbox*>(w)) return c->mId;
    if (auto* r = dynamic_cast<Velm::RadioButton*>(w)) return r->mId;
    if (auto* s = dynamic_cast<Velm::Slider*>(w)) return s->mId;
    if (auto* l = dynamic_cast<Velm::ListWidget*>(w)) return l->mId;
    if (auto* e = dynamic_cast<Velm::EditWidget*>(w)) return e->mId;
    return -999;
}

std::string LabelOf(Widget* w) {
    if (auto* b = dynamic_cast<Velm::ButtonWidget*>(w)) return b->mLabel;
    if (auto* r = dynamic_cast<Velm::RadioButton*>(w)) return r->mLabel;
    return "";
}

const char* const kFixture = R"([Ok]
Type=DialogButton
ID=1000
Caption=OK
Position=10,20,100,30
[Hidden]
Type=Button
ID=2
Caption=Back
Position=1,2,3,4
Visible=0
AddToWidget=0
[Hex]
Type=Button
ID=0x10
Visible=2
Position=5,6,50,20
[BadId]
Type=Button
ID=abc
[Check]
Type=CheckBox
ID=3
Disabled=1
Position=0,0,20,20
[Radio]
Type=RadioButton
ID=4
Caption=R
DoFinger=1
Position=30,40,270,200
[Volume]
Type=Slider
ID=5
Position=1,1,200,10
[NameLbl]
Type=Link
Description=Label
Caption=Name
Position=0,100,300,30
[ScoreLbl]
Type=NumberLabel
Caption=Score
Position=0,130,300,30
[Users]
Type=ListBox
ID=7
Position=10,10,100,50
COLOR_TEXT=0xFF0000
[Entry]
Type=Edit
ID=8
Position=10,70,200,24
[NoId]
Type=Button
Position=1,1,1,1
[Main]
ID=444
Modal=1
[Back0]
Type=Image
Image=pic/back
Position=3,4,0,0
[Over1]
Type=Image
Image=IMAGE_OVER
Level=1
Position=7,8,0,0
[Slider]
Type=Point
X=5
[Anchor]
Type=Point
X=0x20
Y=-3
[Weird]
Type=Spinner
[Lost]
Type=Image
Image=pic/none
[Short]
Type=Button
Position=1,2
[BadLevel]
Type=Image
Image=pic/back
Level=high
)";

class UiDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.host.mPictures["pic/back"] = {8, 6, 0xFF00FF00u};
        IniFile_t terms;
        const std::string text = Crlf("[Texts]\nOK=Okay\nBack=Go back\nR=Radio\nName=Player\nScore=Points\n");
        terms.Parse(text.data(), text.size(), true);
        TextTable_t::Instance()->Load(terms);
        const std::string styles = Crlf("[Label]\nType=Link\nColor=0xFFFFFF\nDoFinger=1\n");
        Velm::UiStyleRegistry_t::Instance().Parse(styles.data(), styles.size(), "ui/interf.txt");
        overImage = SolidImage(4, 4, 0xFFFF0000u);
        Velm::IMAGE_OVER = overImage.get();
    }

    std::unique_ptr<Velm::UiDescription_t> Build(Velm::Dialog* owner) {
        const std::string text = Crlf(kFixture);
        return std::unique_ptr<Velm::UiDescription_t>(
                new Velm::UiDescription_t(text.data(), text.size(), "ui/fixture.txt", owner));
    }

    UiEnvironment env;
    std::unique_ptr<Velm::MemoryImage> overImage;
};

TEST_F(UiDescriptionTest, FixtureBuildsTheExpectedWidgetTable) {
    RecordingScreen screen;
    std::unique_ptr<Velm::UiDescription_t> ui;
    std::string log;
    {
        plat::CapturedDebugOutput captured;
        ui = Build(&screen);
        log = captured.Text();
    }
    const Row expected[] = {
            {"Check", "VornCheckbox", 3, {0, 0, 20, 20}, true, true, ""},
            {"Entry", "EditWidget", 8, {10, 70, 200, 24}, true, true, ""},
            {"Hex", "VornButtonWidget", 16, {5, 6, 50, 20}, false, true, ""},
            {"Hidden", "VornButtonWidget", 2, {1, 2, 3, 4}, false, false, "Go back"},
            {"NameLbl", "HyperlinkWidget", -1, {0, 100, 300, 30}, true, true, "Player"},
            {"NoId", "VornButtonWidget", -1, {1, 1, 1, 1}, true, true, ""},
            {"Ok", "VornDialogButton", 1000, {10, 20, 100, 30}, true, true, "Okay"},
            {"Radio", "RadioButton", 4, {30, 40, 270, 200}, true, true, "Radio"},
            {"ScoreLbl", "NumberLabelWidget", -1, {0, 130, 300, 30}, true, true, "Points"},
            {"Users", "ListWidget", 7, {10, 10, 100, 50}, true, true, ""},
            {"Volume", "VornSlider", 5, {1, 1, 200, 10}, true, true, ""},
    };
    ASSERT_EQ(ui->GetWidgets().size(), sizeof(expected) / sizeof(expected[0]));
    for (const Row& row : expected) {
        SCOPED_TRACE(row.name);
        Widget* w = ui->FindWidget(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(KindOf(w), row.kind);
        EXPECT_EQ(IdOf(w), row.id);
        EXPECT_EQ(w->GetRect(), row.rect);
        EXPECT_EQ(w->mVisible, row.visible);
        EXPECT_EQ(w->mParent == &screen, row.added);
        EXPECT_EQ(LabelOf(w), row.label);
    }
    // Names are case-sensitive; sections that build nothing are not widgets.
    EXPECT_EQ(ui->FindWidget("ok"), nullptr);
    for (const char* absent : {"BadId", "Main", "Weird", "Short", "Back0", "Slider"})
        EXPECT_EQ(ui->FindWidget(absent), nullptr) << absent;

    // The label style reads "Link" keys; its own hand cursor keeps its id.
    EXPECT_TRUE(ui->FindWidget("NameLbl")->mDoFinger);
    // The NameLbl's id is -1 because the section has no ID; the style kept it.
    EXPECT_TRUE(ui->FindWidget("Check")->mDisabled);
    EXPECT_TRUE(ui->FindWidget("Radio")->mDoFinger);
    // The list's scroll bar sits to its right, id + 1, reporting to the list.
    auto* list = dynamic_cast<Velm::ListWidget*>(ui->FindWidget("Users"));
    ASSERT_NE(list->mScrollbar, nullptr);
    EXPECT_EQ(list->mScrollbar->mId, 8);
    EXPECT_EQ(list->mScrollbar->GetRect(), Velm::Rect(110, 10, 20, 50));
    EXPECT_EQ(list->mScrollbar->mParent, &screen);
    EXPECT_EQ(list->GetColor(Velm::ListWidget::COLOR_TEXT), Velm::Color(255, 0, 0, 255));
    EXPECT_EQ(FontPath(list->mFont), "fonts/Tahoma14");

    // Every problem is named with file, section and key.
    EXPECT_NE(log.find("ui/fixture.txt [BadId] key \"ID\" = \"abc\": not a number"), std::string::npos) << log;
    EXPECT_NE(log.find("ui/fixture.txt [Weird] key \"Type\" = \"Spinner\""), std::string::npos) << log;
    EXPECT_NE(log.find("ui/fixture.txt [Lost] key \"Image\""), std::string::npos) << log;
    EXPECT_NE(log.find("ui/fixture.txt [Short] key \"Position\" = \"1,2\""), std::string::npos) << log;
    EXPECT_NE(log.find("ui/fixture.txt [BadLevel] key \"Level\" = \"high\""), std::string::npos) << log;
    EXPECT_EQ(log.find("[Main]"), std::string::npos) << log;
}

TEST_F(UiDescriptionTest, PointsAndPicturesByLevel) {
    RecordingScreen screen;
    std::unique_ptr<Velm::UiDescription_t> ui = Build(&screen);
    ASSERT_NE(ui->FindPoint("Slider"), nullptr);
    EXPECT_EQ(ui->FindPoint("Slider")->x, 5);
    EXPECT_EQ(ui->FindPoint("Slider")->y, 0);
    EXPECT_EQ(ui->FindPoint("Anchor")->x, 32);
    EXPECT_EQ(ui->FindPoint("Anchor")->y, -3);
    EXPECT_EQ(ui->FindPoint("slider"), nullptr);

    // Section order is case-insensitive name order: Back0 before Over1.
    const std::vector<Velm::UiImageEntry_t>& images = ui->GetImages();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].x, 3);
    EXPECT_EQ(images[0].level, 0);
    EXPECT_TRUE(images[0].owned);
    EXPECT_EQ(images[1].image, overImage.get());
    EXPECT_EQ(images[1].level, 1);
    EXPECT_FALSE(images[1].owned);

    Velm::MemoryImage target(nullptr);
    target.Create(16, 16);
    Velm::Graphics g(&target);
    ui->DrawImages(&g, 1);
    const uint32_t* bits = target.GetBits();
    EXPECT_EQ(bits[8 * 16 + 7], 0xFFFF0000u);  // level 1 at (7, 8)
    EXPECT_EQ(bits[4 * 16 + 3], 0u);           // level 0 not drawn
    ui->DrawImages(&g, 0);
    EXPECT_EQ(bits[4 * 16 + 3], 0xFF00FF00u);
}

TEST_F(UiDescriptionTest, DestroyingDeletesTheOwnersChildrenAndDetachedWidgets) {
    RecordingScreen screen;
    std::unique_ptr<Velm::UiDescription_t> ui = Build(&screen);
    EXPECT_FALSE(screen.mWidgets.empty());
    ui.reset();  // the detached "Hidden" button goes too (checked under the sanitizers)
    EXPECT_TRUE(screen.mWidgets.empty());
}

TEST_F(UiDescriptionTest, WithoutOwnerOrFileNothingCrashes) {
    std::unique_ptr<Velm::UiDescription_t> loose = Build(nullptr);
    EXPECT_EQ(loose->FindWidget("Ok")->mParent, nullptr);
    loose.reset();

    RecordingScreen screen;
    Velm::UiDescription_t missing("ui/does-not-exist.txt", &screen);
    EXPECT_TRUE(missing.GetWidgets().empty());
    EXPECT_EQ(missing.FindPoint("Slider"), nullptr);
    EXPECT_FALSE(missing.SavePositions());

    const std::string lfOnly = "garbage without sections";
    Velm::UiDescription_t empty(lfOnly.data(), lfOnly.size(), "ui/empty.txt", &screen);
    EXPECT_TRUE(empty.GetWidgets().empty());
}

TEST_F(UiDescriptionTest, ControlsReportToTheOwner) {
    RecordingScreen screen;
    std::unique_ptr<Velm::UiDescription_t> ui = Build(&screen);
    Widget* ok = ui->FindWidget("Ok");
    ok->mIsOver = true;
    ok->MouseUp(1, 1, 0, 1);
    auto* radio = dynamic_cast<Velm::RadioButton*>(ui->FindWidget("Radio"));
    radio->mIsOver = true;
    radio->MouseUp(1, 1, 0, 1);
    EXPECT_EQ(screen.mEvents, (std::vector<std::string>{"click 1000", "checked 4 1"}));
}

}  // namespace
}  // namespace UiTest
