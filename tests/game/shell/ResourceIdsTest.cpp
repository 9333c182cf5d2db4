#include "game/shell/ResourceIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// Hands out made-up, never dereferenced pointers and records every fetch.
class FakeResourceManager : public Velm::ResourceSource {
public:
    bool FetchFont(const std::string& id, Velm::Font*& font) override {
        fetched.push_back(id);
        if (missing.count(id) != 0) return false;
        font = reinterpret_cast<Velm::Font*>(Address(id));
        return true;
    }
    bool FetchImage(const std::string& id, Velm::Image*& image) override {
        fetched.push_back(id);
        if (missing.count(id) != 0) return false;
        image = reinterpret_cast<Velm::Image*>(Address(id));
        return true;
    }
    bool FetchSound(const std::string& id, int& sound) override {
        fetched.push_back(id);
        if (missing.count(id) != 0) return false;
        sound = 1000 + Velm::GetResourceIdByName(id.c_str());
        return true;
    }

    // A distinct fake address per name.
    static intptr_t Address(const std::string& id) { return 0x1000 + 16 * Velm::GetResourceIdByName(id.c_str()); }

    std::set<std::string> missing;
    std::vector<std::string> fetched;
};

void ClearAllResourceVariables() {
    // A source that has every resource, all null.
    struct NullSource : Velm::ResourceSource {
        bool FetchFont(const std::string&, Velm::Font*& font) override {
            font = nullptr;
            return true;
        }
        bool FetchImage(const std::string&, Velm::Image*& image) override {
            image = nullptr;
            return true;
        }
        bool FetchSound(const std::string&, int& sound) override {
            sound = 0;
            return true;
        }
    } none;
    Velm::BindInitResources(none);
    Velm::BindTitleScreenResources(none);
    Velm::BindGameResources(none);
}

TEST(ResourceIds, NamesAndIds) {
    struct Case {
        const char* name;
        int id;
    };
    const Case kCases[] = {
            {"FONT_DEFAULT", 0},
            {"FONT_NUMBERS", 8},
            {"IMAGE_TITLE_PROGRESS", 14},
            {"SOUND_MUTATOR", 15},
            {"SOUND_TIMER", 16},
            {"IMAGE_OVER", 45},
            {"IMAGE_TIP", 52},
            {"IMAGE_MAP_LEVEL_COMPLETE", 70},
            {"image_over", 71},
            {"IMAGE_OVER ", 71},
            {"", 71},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Velm::GetResourceIdByName(c.name), c.id);
    }
    EXPECT_EQ(Velm::GetResourceIdByName(nullptr), 71);
    EXPECT_EQ(Velm::GetResourceNameById(70), "IMAGE_MAP_LEVEL_COMPLETE");
    EXPECT_EQ(Velm::GetResourceNameById(71), "");
    EXPECT_EQ(Velm::GetResourceNameById(-1), "");
    for (int id = 0; id < Velm::RESOURCE_ID_MAX; ++id) {
        EXPECT_EQ(Velm::GetResourceIdByName(Velm::GetResourceNameById(id).c_str()), id);
    }
}

TEST(ResourceIds, BindingFillsEachGroupInKindThenNameOrder) {
    ClearAllResourceVariables();
    FakeResourceManager manager;
    ASSERT_TRUE(Velm::BindInitResources(manager));
    // Fonts first, then the cursor pictures, each in byte order of the names.
    const std::vector<std::string> kInitOrder = {
            "FONT_DEFAULT",      "FONT_DEFAULT12",       "FONT_DEFAULT16",   "FONT_DEFAULT7", "FONT_DEFAULTBOLD",
            "FONT_DEFAULTSMALL", "FONT_DEFAULT_ADD",     "FONT_DIREVIR",     "FONT_NUMBERS",  "IMAGE_CUSTOM_DRAGGING",
            "IMAGE_CUSTOM_HAND", "IMAGE_CUSTOM_POINTER", "IMAGE_CUSTOM_TEXT"};
    EXPECT_EQ(manager.fetched, kInitOrder);
    EXPECT_EQ(reinterpret_cast<intptr_t>(Velm::FONT_DEFAULT), FakeResourceManager::Address("FONT_DEFAULT"));
    EXPECT_EQ(Velm::GetResourceById(Velm::IMAGE_CUSTOM_TEXT_ID), FakeResourceManager::Address("IMAGE_CUSTOM_TEXT"));
    // Nothing of the later groups yet.
    EXPECT_EQ(Velm::IMAGE_TITLE_BACK, nullptr);
    EXPECT_EQ(Velm::SOUND_TIMER, 0);

    manager.fetched.clear();
    ASSERT_TRUE(Velm::BindTitleScreenResources(manager));
    EXPECT_EQ(manager.fetched, (std::vector<std::string>{"IMAGE_TITLE_BACK", "IMAGE_TITLE_PROGRESS"}));

    manager.fetched.clear();
    ASSERT_TRUE(Velm::BindGameResources(manager));
    ASSERT_EQ(manager.fetched.size(), 56u);
    EXPECT_EQ(manager.fetched[0], "IMAGE_BLINK_COLL");
    EXPECT_EQ(manager.fetched[53], "IMAGE_TIP_ARROW");
    EXPECT_EQ(manager.fetched[54], "SOUND_MUTATOR");
    EXPECT_EQ(manager.fetched[55], "SOUND_TIMER");
    EXPECT_EQ(Velm::SOUND_MUTATOR, 1015);
    EXPECT_EQ(Velm::GetResourceById(Velm::SOUND_TIMER_ID), 1016);
    EXPECT_EQ(reinterpret_cast<intptr_t>(Velm::IMAGE_OVER), FakeResourceManager::Address("IMAGE_OVER"));
    EXPECT_EQ(Velm::GetResourceById(71), 0);
    EXPECT_EQ(Velm::GetResourceById(-1), 0);
}

TEST(ResourceIds, MissingResourceStopsTheBindStep) {
    ClearAllResourceVariables();
    FakeResourceManager manager;
    manager.missing.insert("IMAGE_TIP");
    EXPECT_FALSE(Velm::BindGameResources(manager));
    // Pictures whose names sort before IMAGE_TIP are bound, the rest and both
    // sounds are not.
    EXPECT_EQ(manager.fetched.back(), "IMAGE_TIP");
    EXPECT_NE(Velm::IMAGE_BLINK_COLL, nullptr);
    EXPECT_NE(Velm::IMAGE_TIME_IS_OVER, nullptr);
    EXPECT_EQ(Velm::IMAGE_TIP, nullptr);
    EXPECT_EQ(Velm::IMAGE_TIP_ARROW, nullptr);
    EXPECT_EQ(Velm::SOUND_MUTATOR, 0);
    EXPECT_EQ(Velm::SOUND_TIMER, 0);

    // A missing font stops the Init step before any picture.
    FakeResourceManager init;
    init.missing.insert("FONT_DEFAULT16");
    EXPECT_FALSE(Velm::BindInitResources(init));
    EXPECT_NE(Velm::FONT_DEFAULT12, nullptr);
    EXPECT_EQ(Velm::FONT_DEFAULT16, nullptr);
    EXPECT_EQ(Velm::IMAGE_CUSTOM_POINTER, nullptr);
    ClearAllResourceVariables();
}

}  // namespace
