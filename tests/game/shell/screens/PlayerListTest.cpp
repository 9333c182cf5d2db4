#include "game/shell/screens/PlayerList.h"

#include <gtest/gtest.h>

#include <memory>

#include "game/shell/ProfileManager.h"
#include "tests/game/shell/TestFiles.h"

namespace {

class PlayerListTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = std::make_unique<ProfileManager_t>();
        manager->Load(dir / "users.dat");
    }
    // A fresh manager reading what is on disk, as after a restart.
    std::unique_ptr<ProfileManager_t> Reread() {
        auto reread = std::make_unique<ProfileManager_t>();
        reread->Load(dir / "users.dat");
        return reread;
    }

    TempDir dir;
    std::unique_ptr<ProfileManager_t> manager;
};

TEST_F(PlayerListTest, CreateLineThenNamesAndTheCurrentLine) {
    PlayerList list(*manager);
    EXPECT_EQ(list.Lines("New"), (std::vector<std::string>{"New"}));
    EXPECT_EQ(list.CurrentLine(), -1);
    EXPECT_FALSE(list.IsProfileLine(0));
    EXPECT_FALSE(list.IsProfileLine(1));

    EXPECT_EQ(list.Add("anna", 0.3f, 0.7f), PlayerList::AddResult::Added);
    EXPECT_EQ(list.Add("Bob", 0.5f, 0.4f), PlayerList::AddResult::Added);
    EXPECT_EQ(list.Lines("New"), (std::vector<std::string>{"New", "anna", "Bob"}));
    // Saved at once: the list and both players' files.
    EXPECT_EQ(Reread()->GetProfileCount(), 2);
    EXPECT_TRUE(Exists(dir / "anna.dat"));
    EXPECT_TRUE(Exists(dir / "Bob.dat"));
    EXPECT_EQ(list.CurrentLine(), 2);
    EXPECT_FLOAT_EQ(manager->GetProfile(0)->effectVolume, 0.3f);
    EXPECT_FLOAT_EQ(manager->GetProfile(0)->musicVolume, 0.7f);
}

TEST_F(PlayerListTest, RefusedNamesChangeNothing) {
    PlayerList list(*manager);
    ASSERT_EQ(list.Add("Anna", 0.5f, 0.4f), PlayerList::AddResult::Added);
    struct Case {
        const char* why;
        const char* name;
        PlayerList::AddResult result;
    };
    const Case cases[] = {
            {"same name in another case", "aNNA", PlayerList::AddResult::Duplicate},
            {"path separator", "a/b", PlayerList::AddResult::NotAllowed},
            {"the list file's own name", "Users", PlayerList::AddResult::NotAllowed},
            {"dot-dot", "..", PlayerList::AddResult::NotAllowed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(list.Add(c.name, 0.5f, 0.4f), c.result);
        EXPECT_EQ(manager->GetProfileCount(), 1);
        EXPECT_EQ(list.CurrentLine(), 1);
    }
}

TEST_F(PlayerListTest, SixPlayersAtMost) {
    PlayerList list(*manager);
    for (int i = 0; i < PlayerList::kMaxPlayers; ++i) {
        EXPECT_TRUE(list.CanCreate());
        ASSERT_EQ(list.Add("p" + std::to_string(i), 0.5f, 0.4f), PlayerList::AddResult::Added);
    }
    EXPECT_FALSE(list.CanCreate());
}

TEST_F(PlayerListTest, DeletingAnotherPlayerKeepsTheCurrentOneAndItsFile) {
    PlayerList list(*manager);
    list.Add("anna", 0.5f, 0.4f);
    list.Add("Bob", 0.5f, 0.4f);
    list.Add("cleo", 0.5f, 0.4f);
    ASSERT_TRUE(list.Select(2));  // Bob current
    manager->GetCurrentProfile()->progress[0].totalScore = 777;
    ASSERT_TRUE(manager->Save());
    ASSERT_TRUE(Exists(dir / "Bob.dat"));
    const std::vector<uint8_t> bobFile = ReadBytes(dir / "Bob.dat");
    const std::vector<uint8_t> cleoFile = ReadBytes(dir / "cleo.dat");

    // A fresh run: only Bob's file was read.
    manager = Reread();
    PlayerList again(*manager);
    EXPECT_EQ(again.Delete(1), 1);  // anna gone; Bob (now line 1) stays current
    EXPECT_EQ(manager->GetCurrentProfile()->name, "Bob");
    EXPECT_EQ(manager->GetCurrentProfile()->progress[0].totalScore, 777);
    EXPECT_FALSE(Exists(dir / "anna.dat"));
    EXPECT_EQ(ReadBytes(dir / "Bob.dat"), bobFile);
    EXPECT_EQ(ReadBytes(dir / "cleo.dat"), cleoFile);  // not rewritten

    auto reread = Reread();
    EXPECT_EQ(reread->GetProfileCount(), 2);
    EXPECT_EQ(reread->GetCurrentProfile()->name, "Bob");
}

TEST_F(PlayerListTest, DeletingTheCurrentPlayerLeavesNoneCurrent) {
    PlayerList list(*manager);
    list.Add("anna", 0.5f, 0.4f);
    list.Add("Bob", 0.5f, 0.4f);   // current
    EXPECT_EQ(list.Delete(2), 1);  // line 1 selected, but anna is not made current
    EXPECT_EQ(manager->GetCurrentProfile(), nullptr);
    EXPECT_EQ(list.Delete(1), -1);  // the last one: no line left
    EXPECT_EQ(manager->GetProfileCount(), 0);
    EXPECT_EQ(Reread()->GetProfileCount(), 0);
}

TEST_F(PlayerListTest, LinesThatAreNotProfilesChangeNothing) {
    PlayerList list(*manager);
    list.Add("anna", 0.5f, 0.4f);
    for (int line : {-1, 0, 2, 99}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(list.Delete(line), -1);
        EXPECT_FALSE(list.Select(line));
        EXPECT_EQ(manager->GetProfileCount(), 1);
        EXPECT_EQ(list.CurrentLine(), 1);
    }
}

TEST_F(PlayerListTest, SelectMakesCurrentAndSurvivesRestart) {
    PlayerList list(*manager);
    list.Add("anna", 0.5f, 0.4f);
    list.Add("Bob", 0.5f, 0.4f);
    ASSERT_TRUE(list.Select(1));
    EXPECT_EQ(Reread()->GetCurrentProfile()->name, "anna");
    EXPECT_TRUE(Exists(dir / "anna.dat"));
}

}  // namespace
