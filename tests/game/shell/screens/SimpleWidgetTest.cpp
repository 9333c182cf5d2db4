#include "game/shell/screens/SimpleWidget.h"

#include <gtest/gtest.h>

#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/ui/RadioButton.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/game/shell/screens/ScreensTestSupport.h"
#include "widgets/ButtonWidget.h"

namespace {

using Velm::SimpleWidget_t;
using State = Velm::SimpleLevelList::SlotState;

class SimpleList : public ::testing::Test {
protected:
    void SetUp() override {
        screenstest::LoadTerms();
        screenstest::WriteSimpleUi(dir);
        screenstest::WriteGridLayout(dir, "grid.lay", 2, 6, 12);
        stages = screenstest::MakeStages({5, 4});
        tilesets = screenstest::MakeTilesets(0xFF3050E0u);
        tilesets->tilesets.push_back(std::make_unique<Tileset_t>());  // a second, empty set
        tilesets->tilesets.push_back(std::make_unique<Tileset_t>());  // the logical pairs' set
        tilesets->current = 1;
        progress = screenstest::FreshProfiles(dir, stages.get()).GetCurrentProgress();
        for (int level : {0, 1, 2, 7}) ProfileManager_t::Instance()->AddLevelRecord(level);
        progress->levelRecords[1].bestScore = 12345;
        progress->levelRecords[1].bestTime = 12345;

        SimpleWidget_t::Links links;
        links.stages = stages.get();
        links.tilesets = tilesets.get();
        links.switchScreen = [this](int code) { switches.push_back(code); };
        links.startMenuMusic = [this]() { ++musicStarts; };
        list = std::make_unique<SimpleWidget_t>(links, "ui/simpleui.txt");
    }
    void TearDown() override {
        list.reset();
        ProfileManager_t::Destroy();
    }

    std::string Label(const char* name) {
        auto* button = dynamic_cast<Velm::ButtonWidget*>(list->GetDescription()->FindWidget(name));
        return button != nullptr ? button->mLabel : std::string("<missing>");
    }
    Velm::Widget* Element(const std::string& name) { return list->GetDescription()->FindWidget(name); }
    Velm::RadioButton* Slot(int k) { return dynamic_cast<Velm::RadioButton*>(Element("CB" + std::to_string(k))); }

    TempDir dir;
    screenstest::CurrentDir here{dir.Path()};
    std::unique_ptr<StageCatalogue_t> stages;
    std::unique_ptr<TilesetCatalogue_t> tilesets;
    Progress_t* progress = nullptr;
    std::vector<int> switches;
    int musicStarts = 0;
    std::unique_ptr<SimpleWidget_t> list;
};

TEST_F(SimpleList, ShowingStartsOnPageZeroWithSlotOneChosen) {
    list->OnShown();
    EXPECT_EQ(musicStarts, 1);
    EXPECT_EQ(list->GetPage(), 0);
    EXPECT_EQ(list->GetPageCount(), 1);
    EXPECT_EQ(list->GetTilesetChoice(), 1);
    EXPECT_TRUE(Element("PrevPage")->mDisabled);
    EXPECT_TRUE(Element("NextPage")->mDisabled);

    const bool enabled[] = {true, true, true, false, false, false};
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(Slot(k)->mVisible);
        EXPECT_EQ(!Slot(k)->mDisabled, enabled[k - 1]);
        EXPECT_EQ(Slot(k)->IsChecked(), k == 1);
        EXPECT_NE(list->GetThumbnail(k - 1), nullptr);
    }
    // Level 0 was never finished.
    EXPECT_EQ(Label("ScoreLbl"), "None yet");
    EXPECT_FALSE(Element("TimeLbl")->mVisible);
    EXPECT_EQ(Label("LevelNameLbl"), "Alpha");
    EXPECT_EQ(Label("LevelLbl"), "Level 1-1");

    list->OnHidden();
    for (int s = 0; s < 6; ++s) EXPECT_EQ(list->GetThumbnail(s), nullptr);
    EXPECT_FALSE(list->GetThumbnails().HasScratch());
}

TEST_F(SimpleList, ChoosingASlotShowsItsBestResultsAndSetsWhatPlayStarts) {
    list->OnShown();
    Slot(2)->SetChecked(true, true);
    EXPECT_TRUE(Slot(2)->IsChecked());
    EXPECT_FALSE(Slot(1)->IsChecked());
    EXPECT_EQ(Label("ScoreLbl"), "Best score: 12,345");
    EXPECT_TRUE(Element("TimeLbl")->mVisible);
    EXPECT_EQ(Label("TimeLbl"), "Best time: 2:03");
    EXPECT_EQ(Label("LevelNameLbl"), "Beta");
    EXPECT_EQ(progress->stage, 0);
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentGame(), 1);

    // Slot 4 holds the fourth record, level 7: stage 2, game 3.
    list->CheckboxChecked(4, true);
    EXPECT_EQ(Label("ScoreLbl"), "None yet");
    EXPECT_FALSE(Element("TimeLbl")->mVisible);
    EXPECT_EQ(Label("LevelLbl"), "Level 2-3");
    EXPECT_EQ(progress->stage, 1);
    EXPECT_EQ(ProfileManager_t::Instance()->GetCurrentGame(), 2);

    progress->gameScore = 900;
    list->ButtonDepress(SimpleWidget_t::kPlay);
    EXPECT_EQ(progress->gameScore, 0);
    EXPECT_EQ(switches, std::vector<int>{20});
}

TEST_F(SimpleList, PagesWrapAndHideSlotsPastTheLastLevel) {
    for (int level : {3, 4, 5}) ProfileManager_t::Instance()->AddLevelRecord(level);  // seven records
    list->OnShown();
    EXPECT_EQ(list->GetPageCount(), 2);
    EXPECT_TRUE(Element("PrevPage")->mDisabled);
    EXPECT_FALSE(Element("NextPage")->mDisabled);

    list->ButtonDepress(SimpleWidget_t::kPageNext);
    EXPECT_EQ(list->GetPage(), 1);
    EXPECT_FALSE(Element("PrevPage")->mDisabled);
    EXPECT_TRUE(Element("NextPage")->mDisabled);
    // Levels 6, 7, 8 exist (7 unlocked); slots 4 to 6 are past the nine levels.
    const State want[] = {State::Locked, State::Open, State::Locked, State::Hidden, State::Hidden, State::Hidden};
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(list->GetSlots()[k - 1].state, want[k - 1]);
        EXPECT_EQ(Slot(k)->mVisible, want[k - 1] != State::Hidden);
    }
    EXPECT_EQ(list->GetLastSlot(), 2);
    // Slot 1 of page 1 is the seventh record (level 5).
    EXPECT_TRUE(Slot(1)->IsChecked());
    EXPECT_EQ(Label("LevelLbl"), "Level 2-1");

    list->ButtonDepress(SimpleWidget_t::kPageNext);
    EXPECT_EQ(list->GetPage(), 0);
    list->ButtonDepress(SimpleWidget_t::kPagePrev);
    EXPECT_EQ(list->GetPage(), 1);
}

TEST_F(SimpleList, TilesetChoiceWrapsAndIsLoadedOnlyOnLeaving) {
    list->OnShown();
    EXPECT_EQ(Label("TilesetLbl"), "Lacquer");          // the name of the current set
    list->ButtonDepress(SimpleWidget_t::kTilesetNext);  // 1 -> 0, wrapping past the pairs' set
    EXPECT_EQ(list->GetTilesetChoice(), 0);
    EXPECT_EQ(Label("TilesetLbl"), "Jade");
    EXPECT_EQ(progress->tileset, 0);
    EXPECT_EQ(tilesets->current, 1);
    list->ButtonDepress(SimpleWidget_t::kTilesetPrev);  // 0 -> 1, wrapping short of the pairs' set
    EXPECT_EQ(list->GetTilesetChoice(), 1);
    EXPECT_EQ(Label("TilesetLbl"), "Lacquer");
    list->ButtonDepress(SimpleWidget_t::kTilesetPrev);
    EXPECT_EQ(tilesets->current, 1);
    list->KeyUp(27);  // Esc is Back
    EXPECT_EQ(tilesets->current, 0);
    EXPECT_EQ(switches, std::vector<int>{19});
}

TEST_F(SimpleList, TheLogicalPairsSetIsNotOffered) {
    tilesets->current = 2;  // kept from before the list left it out
    list->OnShown();
    EXPECT_EQ(list->GetTilesetChoice(), 0);
    EXPECT_EQ(progress->tileset, 0);
    EXPECT_EQ(Label("TilesetLbl"), "Jade");
    list->ButtonDepress(SimpleWidget_t::kPlay);
    EXPECT_EQ(tilesets->current, 0);
}

TEST_F(SimpleList, OverlayDrawsPicturesOfUnlockedSlotsOnly) {
    tilesets->current = 0;  // the set with the blank face
    list->OnShown();
    Velm::MemoryImage screen;
    screen.Create(1024, 768);
    Velm::Graphics g(&screen);
    const uint32_t* bits = screen.GetBits();
    auto pictureAt = [&](int k) {
        const Velm::Widget* slot = Slot(k);
        const int x = slot->mX + SimpleWidget_t::kThumbnailOffsetX + 40;
        const int y = slot->mY + SimpleWidget_t::kThumbnailOffsetY + 30;
        return bits[y * 1024 + x] == 0xFF3050E0u;
    };
    list->DrawOverlay(&g);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(pictureAt(k), k <= 3) << k;
}

// A font that writes nothing and remembers what it was asked to write, and where.
class RecordingFont : public Velm::Font {
public:
    RecordingFont() { ascent = 20; }
    int StringWidth(const std::string& text) override { return 10 * static_cast<int>(text.size()); }
    void DrawString(Velm::Graphics*, int x, int y, const std::string& text, const Velm::Color&,
                    const Velm::Rect&) override {
        written.push_back(text + "@" + std::to_string(x) + "," + std::to_string(y));
    }
    Velm::Font* Duplicate() override { return new RecordingFont(*this); }
    std::vector<std::string> written;
};

// Locked slots show the lock picture in the middle of the picture window, the level's number
// (flat index + 1) on its body.
TEST_F(SimpleList, OverlayDrawsALockWithTheLevelNumberOnLockedSlots) {
    SimpleWidget_t::Links links;
    links.stages = stages.get();
    links.tilesets = tilesets.get();
    std::vector<std::string> loaded;
    links.loadImage = [&loaded](const std::string& path) -> Velm::Image* {
        loaded.push_back(path);
        auto* lock = new Velm::MemoryImage(nullptr);
        lock->Create(72, 88);
        std::fill(lock->GetBits(), lock->GetBits() + 72 * 88, 0xFF00FF00u);
        lock->MarkBitsChanged();
        return lock;
    };
    list = std::make_unique<SimpleWidget_t>(links, "ui/simpleui.txt");
    RecordingFont font;
    Velm::Font* const kept = Velm::FONT_DIREVIR;
    Velm::FONT_DIREVIR = &font;
    list->OnShown();
    EXPECT_EQ(loaded, std::vector<std::string>{SimpleWidget_t::kLockPicture});
    Velm::MemoryImage screen;
    screen.Create(1024, 768);
    Velm::Graphics g(&screen);
    list->DrawOverlay(&g);
    Velm::FONT_DIREVIR = kept;
    std::vector<std::string> expected;
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        const Velm::Widget* slot = Slot(k);
        const int cx = slot->mX + SimpleWidget_t::kThumbnailOffsetX + Velm::LayoutThumbnails::kThumbnailWidth / 2;
        const int cy = slot->mY + SimpleWidget_t::kThumbnailOffsetY + Velm::LayoutThumbnails::kThumbnailHeight / 2;
        EXPECT_EQ(screen.GetBits()[cy * 1024 + cx] == 0xFF00FF00u, k >= 4);
        EXPECT_NE(screen.GetBits()[cy * 1024 + cx - 40] == 0xFF00FF00u, true);  // narrower than the window
        if (k >= 4) {
            const std::string number = std::to_string(k);  // levels 3 .. 5 of page 0
            const int bodyMiddle = cy - 44 + 70;
            expected.push_back(number + "@" + std::to_string(cx - 5) + "," + std::to_string(bodyMiddle + 10 - 2));
        }
    }
    EXPECT_EQ(font.written, expected);
}

}  // namespace
