#include <gtest/gtest.h>

#include "game/shell/ResourceIds.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiStyleApply.h"
#include "game/shell/ui/UiStyleRegistry.h"
#include "game/shell/ui/VornWidgets.h"
#include "platform/DebugOutput.h"
#include "tests/game/shell/ui/UiTestSupport.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/ListWidget.h"

namespace UiTest {
namespace {

using Velm::Color;
using Velm::Rect;

class UiStyleTest : public ::testing::Test {
protected:
    void LoadStyles(const std::string& text) {
        const std::string crlf = Crlf(text);
        Velm::UiStyleRegistry_t::Instance().Parse(crlf.data(), crlf.size(), "ui/interf.txt");
    }
    // Builds one element section into the screen and returns its widget.
    Velm::Widget* BuildOne(const std::string& section) {
        const std::string text = Crlf(section);
        ui.reset();  // the old description takes every child of the screen with it
        ui.reset(new Velm::UiDescription_t(text.data(), text.size(), "ui/test.txt", &screen));
        return ui->GetWidgets().empty() ? nullptr : ui->GetWidgets().begin()->second;
    }

    UiEnvironment env;
    RecordingScreen screen;
    std::unique_ptr<Velm::UiDescription_t> ui;
};

TEST_F(UiStyleTest, CheckBoxPictureHalves) {
    env.host.mPictures["pic/box40"] = {40, 20, 0xFFFFFFFFu};
    env.host.mPictures["pic/box41"] = {41, 18, 0xFFFFFFFFu};
    const struct {
        const char* keys;
        Rect unchecked;
        Rect checked;
    } rows[] = {
            {"Image=pic/box40", {0, 0, 20, 20}, {20, 0, 20, 20}},
            {"Image=pic/box41", {0, 0, 20, 18}, {20, 0, 20, 18}},
            {"Image=pic/box40\nUncheckedRect=1,2,3,4\nCheckedRect=5,6,7,8", {1, 2, 3, 4}, {5, 6, 7, 8}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        auto* box = dynamic_cast<Velm::VornCheckbox*>(BuildOne(std::string("[Box]\nType=CheckBox\n") + row.keys));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->mUncheckedRect, row.unchecked);
        EXPECT_EQ(box->mCheckedRect, row.checked);
        EXPECT_EQ(box->mUncheckedImage, box->mCheckedImage);
        EXPECT_EQ(box->GetOwnedImageCount(), 1);  // loaded from a file: the box owns it
    }
    // Without "Image" the bound check-box picture is the fallback.
    std::unique_ptr<Velm::MemoryImage> bound = SolidImage(10, 4, 0xFF000000u);
    Velm::IMAGE_CHECKBOX = bound.get();
    auto* box = dynamic_cast<Velm::VornCheckbox*>(BuildOne("[Box]\nType=CheckBox\n"));
    EXPECT_EQ(box->mUncheckedImage, bound.get());
    EXPECT_EQ(box->mCheckedRect, Rect(5, 0, 5, 4));
    EXPECT_EQ(box->GetOwnedImageCount(), 0);
}

TEST_F(UiStyleTest, LabelColoursWithAndWithoutAlpha) {
    LoadStyles(
            "[Red]\nType=Link\nColor=0xFF0000\n"
            "[Black]\nType=Link\n"
            "[HalfRed]\nType=Link\nColor=0x80FF0000\nOverColor=16777215\n");
    const struct {
        const char* style;
        Color color;
        Color over;
    } rows[] = {
            {"Red", Color(255, 0, 0, 255), Color(0, 0, 0, 255)},
            {"Black", Color(0, 0, 0, 255), Color(0, 0, 0, 255)},
            {"HalfRed", Color(255, 0, 0, 128), Color(255, 255, 255, 255)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        auto* link = dynamic_cast<Velm::HyperlinkWidget*>(
                BuildOne(std::string("[L]\nType=Link\nID=9\nDescription=") + row.style + "\n"));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->mColor, row.color);
        EXPECT_EQ(link->mOverColor, row.over);
    }
}

TEST_F(UiStyleTest, LinkWithoutFingerReportsIdMinusOne) {
    const struct {
        const char* finger;
        int id;
        bool hand;
    } rows[] = {{"DoFinger=0", -1, false}, {"", -1, false}, {"DoFinger=1", 9, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.finger);
        auto* link = dynamic_cast<Velm::HyperlinkWidget*>(
                BuildOne(std::string("[L]\nType=Link\nID=9\n") + row.finger + "\n"));
        EXPECT_EQ(link->mId, row.id);
        EXPECT_EQ(link->mDoFinger, row.hand);
    }
}

TEST_F(UiStyleTest, FontResolutionFallsBack) {
    env.host.mFonts.push_back("fonts/Custom");
    PathFont boundBold("bound/bold");
    const struct {
        const char* section;
        bool bindBold;
        const char* font;
    } rows[] = {
            // A style without "Font", or one naming a font that is not a resource.
            {"[B]\nType=Button\n", false, "fonts/Tahoma14"},
            {"[B]\nType=Button\nFont=fonts/Custom\n", false, "fonts/Tahoma14"},
            // A bound font resource is duplicated into the control.
            {"[B]\nType=Button\nFont=FONT_DEFAULTBOLD\n", true, "bound/bold"},
            // Named before its group is bound: the fallback, not a null font.
            {"[B]\nType=Button\nFont=FONT_DEFAULTBOLD\n", false, "fonts/Tahoma14"},
            {"[L]\nType=Link\nFont=FONT_DEFAULTBOLD\n", false, "fonts/Tahoma14"},
            // A resource name that is not a font.
            {"[L]\nType=Link\nFont=IMAGE_OVER\n", false, "fonts/Tahoma14"},
            // List boxes also take a font file, falling back when it does not load.
            {"[Lb]\nType=ListBox\nFont=fonts/Custom\n", false, "fonts/Custom"},
            {"[Lb]\nType=ListBox\nFont=fonts/Nope\n", false, "fonts/Tahoma14"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.section);
        Velm::FONT_DEFAULTBOLD = row.bindBold ? &boundBold : nullptr;
        Velm::Widget* w = BuildOne(row.section);
        ASSERT_NE(w, nullptr);
        Velm::Font* font = nullptr;
        if (auto* button = dynamic_cast<Velm::ButtonWidget*>(w)) font = button->mFont;
        if (auto* list = dynamic_cast<Velm::ListWidget*>(w)) font = list->mFont;
        EXPECT_EQ(FontPath(font), row.font);
        EXPECT_NE(font, &boundBold);  // the control never holds the resource itself
    }
    Velm::FONT_DEFAULTBOLD = nullptr;
}

TEST_F(UiStyleTest, SameNameInAnyCaseIsOneStyle) {
    LoadStyles("[Big]\nType=Link\nColor=0x010203\n[big]\nType=Link\nColor=0x040506\n");
    Velm::UiStyleRegistry_t& registry = Velm::UiStyleRegistry_t::Instance();
    EXPECT_EQ(registry.GetCount(), 1);
    ASSERT_NE(registry.FindStyle("Big"), nullptr);
    EXPECT_EQ(registry.FindStyle("big"), nullptr);  // the registry itself is case-sensitive
    EXPECT_EQ(registry.FindStyle("Big")->color, 0x040506);
}

TEST_F(UiStyleTest, DialogButtonPictures) {
    std::unique_ptr<Velm::MemoryImage> over = SolidImage(2, 2, 0xFFFFFFFFu);
    Velm::IMAGE_OVER = over.get();
    LoadStyles("[Plain]\nType=DialogButton\nImage=\nOverImage=IMAGE_OVER\nNormalRect=0,0,10,5\n");
    auto* button = dynamic_cast<Velm::VornDialogButton*>(BuildOne("[B]\nType=DialogButton\nDescription=Plain\n"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->mButtonImage, nullptr);
    EXPECT_EQ(button->mOverImage, over.get());
    EXPECT_EQ(button->mNormalRect, Rect(0, 0, 10, 5));
}

TEST_F(UiStyleTest, BadStylesAreReportedAndSkipped) {
    std::string log;
    {
        plat::CapturedDebugOutput captured;
        LoadStyles(
                "[Odd]\nType=Spinner\n"
                "[BadColour]\nType=Link\nColor=red\n"
                "[NoPicture]\nType=Button\nImage=IMAGE_DIALOG_BUTTON\n"
                "[Good]\nType=Slider\n");
        // A picture resource whose group is not bound yet: no picture, a message.
        Velm::Widget* w = BuildOne("[B]\nType=Button\nDescription=NoPicture\n");
        EXPECT_EQ(dynamic_cast<Velm::ButtonWidget*>(w)->mButtonImage, nullptr);
        // A style the registry lacks leaves the framework's look.
        w = BuildOne("[B]\nType=Button\nID=3\nDescription=Missing\n");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(dynamic_cast<Velm::ButtonWidget*>(w)->mFont, nullptr);
        log = captured.Text();
    }
    Velm::UiStyleRegistry_t& registry = Velm::UiStyleRegistry_t::Instance();
    EXPECT_EQ(registry.FindStyle("Odd"), nullptr);
    EXPECT_EQ(registry.FindStyle("BadColour"), nullptr);
    EXPECT_NE(registry.FindStyle("NoPicture"), nullptr);
    EXPECT_NE(registry.FindStyle("Good"), nullptr);
    EXPECT_NE(log.find("ui/interf.txt [Odd] key \"Type\" = \"Spinner\""), std::string::npos) << log;
    EXPECT_NE(log.find("ui/interf.txt [BadColour] key \"Color\" = \"red\": not a number"), std::string::npos) << log;
    EXPECT_NE(log.find("ui/test.txt [B]: resource \"IMAGE_DIALOG_BUTTON\" is not a loaded picture"), std::string::npos)
            << log;
    EXPECT_NE(log.find("ui/test.txt [B] key \"Description\" = \"Missing\""), std::string::npos) << log;
}

TEST_F(UiStyleTest, NumbersOutOfRangeOrMalformedSkipTheElement) {
    struct Case {
        const char* keys;
        const char* reported;  // the key and value named in the report
    };
    const Case kCases[] = {
            {"Type=ListBox\nID=2147483647\nPosition=0,0,10,10\n", "key \"ID\" = \"2147483647\": out of range"},
            {"Type=Button\nID=-2\n", "key \"ID\" = \"-2\": out of range"},
            {"Type=Button\nID=99999999999\n", "key \"ID\" = \"99999999999\": not a number"},
            {"Type=Button\nID=0x\n", "key \"ID\" = \"0x\": not a number"},
            {"Type=Button\nID=-\n", "key \"ID\" = \"-\": not a number"},
            {"Type=Button\nID=12junk\n", "key \"ID\" = \"12junk\": not a number"},
            {"Type=Button\nPosition=99999999999,0,10,10\n", "key \"Position\" = \"99999999999,0,10,10\""},
            {"Type=Button\nPosition=1,2,3,4junk\n", "key \"Position\" = \"1,2,3,4junk\""},
            {"Type=Button\nPosition=1,2,3,4,5\n", "key \"Position\" = \"1,2,3,4,5\""},
            {"Type=ListBox\nID=1\nPosition=2000000000,0,10,10\n", "key \"Position\" = \"2000000000,0,10,10\""},
            {"Type=Button\nPosition=0,-70000,10,10\n", "key \"Position\" = \"0,-70000,10,10\""},
            {"Type=Link\nUnderLine=0x\n", "key \"UnderLine\" = \"0x\": not a number"},
            {"Type=Link\nShadowX=5000\n", "key \"ShadowX\" = \"5000\": out of range"},
            {"Type=Point\nX=-\n", "key \"X\" = \"-\": not a number"},
            {"Type=Point\nY=100000\n", "key \"Y\" = \"100000\": out of range"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.keys);
        std::string log;
        {
            plat::CapturedDebugOutput captured;
            EXPECT_EQ(BuildOne(std::string("[E]\n") + c.keys), nullptr);
            log = captured.Text();
        }
        EXPECT_EQ(ui->FindPoint("E"), nullptr);
        EXPECT_NE(log.find(std::string("ui/test.txt [E] ") + c.reported), std::string::npos) << log;
        EXPECT_NE(log.find("ui/test.txt [E]: element skipped"), std::string::npos) << log;
    }
}

TEST_F(UiStyleTest, SizesAreClampedToTheScreen) {
    auto* label = dynamic_cast<Velm::HyperlinkWidget*>(
            BuildOne("[L]\nType=Link\nPosition=-10,20,5000,900000\nUnderLine=20000000\nShadowY=-3\n"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetRect(), Rect(-10, 20, 1024, 768));
    EXPECT_EQ(label->mUnderlineSize, 768);
    EXPECT_EQ(label->mShadowOffsetY, -3);
    Velm::Widget* button = BuildOne("[B]\nType=Button\nID=0x7FFFF\nPosition=0,0,-5,7\n");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetRect(), Rect(0, 0, 0, 7));
    // Colours take all 32 bits in hex.
    auto* coloured = dynamic_cast<Velm::HyperlinkWidget*>(BuildOne("[C]\nType=Link\nColor=0xFFFFFFFF\n"));
    ASSERT_NE(coloured, nullptr);
}

TEST_F(UiStyleTest, MissingStyleFileRegistersNothing) {
    EXPECT_FALSE(Velm::UiStyleRegistry_t::Instance().Load("ui/no-such-interf.txt"));
    EXPECT_EQ(Velm::UiStyleRegistry_t::Instance().GetCount(), 0);
}

}  // namespace
}  // namespace UiTest
