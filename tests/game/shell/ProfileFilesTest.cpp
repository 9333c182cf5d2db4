// Damaged player files, the faults of the profile list, and writes that die
// half-way.
#include "game/shell/ProfileManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/shell/HighScoreTable.h"
#include "game/shell/PlayerFile.h"
#include "platform/Files.h"
#include "resources/base/Buffer.h"
#include "tests/game/shell/ProfileFixtures.h"

namespace {

void PutLong(std::vector<uint8_t>& bytes, int at, int value) {
    const unsigned v = static_cast<unsigned>(value);
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(at + i)] = static_cast<uint8_t>(v >> (8 * i));
}

class ProfileFilesTest : public ::testing::Test {
protected:
    ProfileFilesTest() : catalogues(dir) {}

    std::string UsersPath() const { return dir.Path("users.dat"); }
    std::string FileOf(const std::string& name) const { return dir.Path(name + ".dat"); }

    std::unique_ptr<ProfileManager_t> Load() {
        auto manager = std::make_unique<ProfileManager_t>();
        manager->SetCatalogues(&catalogues.simple, &catalogues.adventure, &catalogues.tilesets);
        manager->Load(UsersPath());
        return manager;
    }

    // Checks that what was loaded can be played on: every index the game
    // follows lies inside what it indexes.
    void ExpectUsable(ProfileManager_t& manager) {
        const int current = manager.GetCurrentIndex();
        EXPECT_TRUE(current == -1 || (current >= 0 && current < manager.GetProfileCount()));
        EXPECT_LE(manager.GetProfileCount(), ProfileManager_t::kMaxListedProfiles);
        const Profile_t* profile = manager.GetCurrentProfile();
        if (profile == nullptr) return;
        EXPECT_GE(profile->effectVolume, 0.0f);
        EXPECT_LE(profile->effectVolume, 1.0f);
        EXPECT_GE(profile->musicVolume, 0.0f);
        EXPECT_LE(profile->musicVolume, 1.0f);
        const StageCatalogue_t* stages[2] = {&catalogues.simple, &catalogues.adventure};
        for (int mode = 0; mode < 2; ++mode) {
            SCOPED_TRACE(mode);
            const Progress_t& p = profile->progress[mode];
            ASSERT_GE(p.stage, 0);
            ASSERT_LT(p.stage, stages[mode]->GetStageCount());
            const int games = stages[mode]->GetStage(p.stage)->GetGameCount(0);
            EXPECT_LE(static_cast<int>(p.gameOrder.size()), games);
            for (int game : p.gameOrder) {
                EXPECT_GE(game, -1);
                EXPECT_LT(game, games);
            }
            EXPECT_GE(p.orderPos, 0);
            if (!p.gameOrder.empty()) {
                EXPECT_LT(p.orderPos, static_cast<int>(p.gameOrder.size()));
            }
            EXPECT_GE(p.tileset, 0);
            EXPECT_LT(p.tileset, catalogues.tilesets.GetCount());
            EXPECT_GE(p.gameScore, 0);
            EXPECT_GE(p.totalScore, 0);
            for (const LevelRecord_t& r : p.levelRecords) {
                EXPECT_GE(r.level, 0);
                EXPECT_LT(r.level, stages[mode]->GetTotalGameCount());
            }
        }
        // And the progression runs on it.
        for (int mode = 0; mode < 2; ++mode) {
            manager.SetMode(mode);
            manager.GetCurrentGame();
            manager.PostponeCurrentGame();
            manager.CompleteCurrentGame();
            manager.IsLastGameOfStage();
        }
        manager.SetMode(0);
    }

    static std::vector<std::string> NamesOf(const ProfileManager_t& manager) {
        std::vector<std::string> names;
        for (int i = 0; i < manager.GetProfileCount(); ++i) names.push_back(manager.GetProfile(i)->name);
        return names;
    }

    TempDir dir;
    TestCatalogues catalogues;
};

// --- Faults of the profile list ----------------------------------------------------------------

TEST_F(ProfileFilesTest, DeletingAProfileKeepsTheCurrentPlayer) {
    struct Case {
        const char* why;
        int current;
        int deleted;
        const char* currentAfter;  // null: no current profile
    };
    const Case kCases[] = {
            {"delete a player before the current one", 1, 0, "Bob"},
            {"delete the current player", 1, 1, nullptr},
            {"delete a player after the current one", 0, 2, "anna"},
            {"delete the first while the last is current", 2, 0, "Cleo"},
            {"delete an index outside the list", 1, 5, "Bob"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        // Three players, each with a file of their own score.
        {
            auto setup = Load();
            for (const char* name : {"anna", "Bob", "Cleo"}) {
                ASSERT_TRUE(setup->AddProfile(std::make_unique<Profile_t>(name, 0.5f, 0.4f)));
                setup->AddTotalScore(static_cast<int>(std::string(name).size()) * 100);
                ASSERT_TRUE(setup->Save());
            }
            setup->SetCurrentIndex(c.current);
            ASSERT_TRUE(setup->Save());
        }
        auto manager = Load();
        ASSERT_EQ(manager->GetCurrentIndex(), c.current);
        manager->DeleteProfile(c.deleted);
        if (c.currentAfter == nullptr) {
            EXPECT_EQ(manager->GetCurrentProfile(), nullptr);
        } else {
            ASSERT_NE(manager->GetCurrentProfile(), nullptr);
            EXPECT_EQ(manager->GetCurrentProfile()->name, c.currentAfter);
        }
        ASSERT_TRUE(manager->Save());
        // No remaining player's file was overwritten with another's state or
        // with defaults: each still holds its own score.
        auto reread = Load();
        for (int i = 0; i < reread->GetProfileCount(); ++i) {
            reread->SetCurrentIndex(i);
            const Profile_t* profile = reread->GetCurrentProfile();
            SCOPED_TRACE(profile->name);
            EXPECT_EQ(profile->progress[0].totalScore, static_cast<int>(profile->name.size()) * 100);
        }
        for (const char* name : {"anna", "Bob", "Cleo"}) plat::RemoveFile(FileOf(name));
        plat::RemoveFile(UsersPath());
    }
}

TEST_F(ProfileFilesTest, SelectingAPlayerReadsItsFileBeforeAnySave) {
    WriteBytes(UsersPath(), kUsersDat);
    WriteBytes(FileOf("Bob"), kBobDat);
    std::vector<uint8_t> users = kUsersDat;
    PutLong(users, 4, 0);  // anna current; Bob's profile not read at load
    WriteBytes(UsersPath(), users);
    auto manager = Load();
    EXPECT_FALSE(manager->GetProfile(1)->fileRead);
    manager->SetCurrentIndex(1);
    ASSERT_TRUE(manager->Save());
    EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
    EXPECT_EQ(manager->GetCurrentProfile()->progress[1].totalScore, 7000);
}

TEST_F(ProfileFilesTest, NamesThatWouldOverwriteOtherFilesAreRefused) {
    auto manager = Load();
    ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("anna", 0.5f, 0.4f)));
    ASSERT_TRUE(manager->Save());

    struct Case {
        const char* name;
        bool allowed;
    };
    const Case kCases[] = {
            {"users", false}, {"USERS", false}, {"scoretable", false}, {"ScoreTable", false},
            {"", false},      {".", false},     {"..", false},         {"../anna", false},
            {"a/b", false},   {"a\\b", false},  {"ANNA", false},  // another profile in another letter case
            {"users2", true}, {"Scores", true}, {"Zoe", true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const int before = manager->GetProfileCount();
        EXPECT_EQ(manager->AddProfile(std::make_unique<Profile_t>(c.name, 0.5f, 0.4f)), c.allowed);
        EXPECT_EQ(manager->GetProfileCount(), before + (c.allowed ? 1 : 0));
        if (c.allowed) {
            EXPECT_EQ(manager->GetCurrentProfile()->name, c.name);
        }
    }
    EXPECT_FALSE(manager->AddProfile(nullptr));
    // A name too long for a file name.
    EXPECT_FALSE(manager->AddProfile(std::make_unique<Profile_t>(std::string(129, 'A'), 0.5f, 0.4f)));
    EXPECT_TRUE(ProfileManager_t::IsAllowedProfileName(std::string(128, 'A')));
    EXPECT_FALSE(ProfileManager_t::IsAllowedProfileName("~0123456789abcdef"));
    // The other files keep their names: "<name>.dat" unchanged.
    EXPECT_EQ(manager->GetProfileFilePath("Zoe"), FileOf("Zoe"));
}

TEST_F(ProfileFilesTest, ListedPlayersWhoseNameMakesNoFileNameAreSavedUnderAFileOfTheirOwn) {
    WriteBytes(dir.Path("scoretable.dat"), {7, 7, 7});
    const std::vector<std::string> kNames = {"scoretable", "users", "a/b", "", std::string(5000, 'W'), ".."};
    Velm::Buffer list;
    list.WriteLong(static_cast<int>(kNames.size()));
    list.WriteLong(0);
    for (const std::string& name : kNames) list.WriteString(name);
    const std::vector<uint8_t> listBytes = BufferBytes(list);
    WriteBytes(UsersPath(), listBytes);
    std::vector<std::string> files;
    for (size_t i = 0; i < kNames.size(); ++i) {
        SCOPED_TRACE(i);
        auto manager = Load();
        ASSERT_EQ(NamesOf(*manager), kNames);
        manager->SetCurrentIndex(static_cast<int>(i));
        manager->AddTotalScore(100 + static_cast<int>(i));
        ASSERT_TRUE(manager->Save());
        const std::string path = manager->GetProfileFilePath(kNames[i]);
        EXPECT_TRUE(Exists(path));
        EXPECT_EQ(path.substr(0, dir.Path("~").size()), dir.Path("~"));
        EXPECT_EQ(std::find(files.begin(), files.end(), path), files.end());
        files.push_back(path);
    }
    // Each kept its score; the list and the score table stayed theirs.
    auto manager = Load();
    EXPECT_FALSE(manager->TakeListRepairNotice());
    for (size_t i = 0; i < kNames.size(); ++i) {
        manager->SetCurrentIndex(static_cast<int>(i));
        EXPECT_EQ(manager->GetCurrentProgress()->totalScore, 100 + static_cast<int>(i)) << i;
    }
    EXPECT_EQ(ReadBytes(dir.Path("scoretable.dat")), (std::vector<uint8_t>{7, 7, 7}));
    // Their files bring them back into a list that lost them.
    WriteBytes(UsersPath(), {1, 0});
    std::vector<std::string> found = NamesOf(*Load());
    std::vector<std::string> expected = kNames;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

TEST_F(ProfileFilesTest, ADeletedPlayersFileGoesWithIt) {
    auto manager = Load();
    ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("anna", 0.5f, 0.4f)));
    manager->AddTotalScore(900);
    ASSERT_TRUE(manager->Save());
    ASSERT_TRUE(Exists(FileOf("anna")));
    manager->DeleteProfile(0);
    EXPECT_FALSE(Exists(FileOf("anna")));
    ASSERT_TRUE(manager->Save());

    // A new player of the same name starts fresh.
    ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("Anna", 0.5f, 0.4f)));
    manager->LoadCurrentProfile();
    EXPECT_EQ(manager->GetCurrentProgress()->totalScore, 0);

    // So does one whose name matches a file that no listed player owns.
    WriteBytes(FileOf("Bob"), kBobDat);
    ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("Bob", 0.5f, 0.4f)));
    EXPECT_FALSE(manager->LoadCurrentProfile());
    EXPECT_EQ(manager->GetCurrentProfile()->progress[1].totalScore, 0);

    // The settings key under the name is erased too.
    std::vector<std::string> erased;
    manager->SetSettingsKeyEraser([&erased](const std::string& name) { erased.push_back(name); });
    manager->DeleteProfile(0);
    EXPECT_EQ(erased, std::vector<std::string>{"Anna"});
}

// --- Damaged files ------------------------------------------------------------------------

TEST_F(ProfileFilesTest, DamagedListFile) {
    struct Case {
        const char* why;
        std::function<void(std::vector<uint8_t>&)> damage;
        std::vector<std::string> players;  // what can be read, then Bob from his own file
        int current;
    };
    const Case kCases[] = {
            {"negative count", [](std::vector<uint8_t>& b) { PutLong(b, 0, -1); }, {"Bob"}, -1},
            {"count beyond the data", [](std::vector<uint8_t>& b) { PutLong(b, 0, 2000000000); }, {"anna", "Bob"}, 1},
            {"count just beyond the names", [](std::vector<uint8_t>& b) { PutLong(b, 0, 3); }, {"anna", "Bob"}, 1},
            {"current index beyond the list", [](std::vector<uint8_t>& b) { PutLong(b, 4, 2); }, {"anna", "Bob"}, -1},
            {"current index below -1", [](std::vector<uint8_t>& b) { PutLong(b, 4, -2); }, {"anna", "Bob"}, -1},
            {"name longer than the data", [](std::vector<uint8_t>& b) { b[8] = 0xF0; }, {"Bob"}, -1},
            {"truncated inside the second name", [](std::vector<uint8_t>& b) { b.resize(17); }, {"anna", "Bob"}, -1},
            {"truncated inside the header", [](std::vector<uint8_t>& b) { b.resize(6); }, {"Bob"}, -1},
            {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }, {"Bob"}, -1},
            {"a garbled name", [](std::vector<uint8_t>& b) { b[16] = 'R'; }, {"anna", "Rob", "Bob"}, 1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        std::vector<uint8_t> users = kUsersDat;
        c.damage(users);
        WriteBytes(UsersPath(), users);
        WriteBytes(FileOf("Bob"), kBobDat);
        plat::RemoveFile(UsersPath() + ".damaged");
        auto manager = Load();
        EXPECT_EQ(NamesOf(*manager), c.players);
        EXPECT_EQ(manager->GetCurrentIndex(), c.current);
        ExpectUsable(*manager);
        // The player is told once; the damaged file is kept aside and the
        // rebuilt list written at once, Bob's file untouched.
        EXPECT_TRUE(manager->TakeListRepairNotice());
        EXPECT_FALSE(manager->TakeListRepairNotice());
        EXPECT_EQ(ReadBytes(UsersPath() + ".damaged"), users);
        EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
        manager = Load();
        EXPECT_FALSE(manager->TakeListRepairNotice());
        EXPECT_EQ(NamesOf(*manager), c.players);
        EXPECT_EQ(manager->GetCurrentIndex(), c.current);
        // A new player joins the others.
        ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("Zed", 0.5f, 0.4f)));
        ASSERT_TRUE(manager->Save());
        auto reread = Load();
        std::vector<std::string> withZed = c.players;
        withZed.push_back("Zed");
        EXPECT_EQ(NamesOf(*reread), withZed);
        EXPECT_EQ(reread->GetCurrentProfile()->name, "Zed");
        plat::RemoveFile(FileOf("Zed"));
    }
}

TEST_F(ProfileFilesTest, EveryPlayerWithAFileIsOfferedWhateverTheListHolds) {
    const std::vector<std::string> kPlayers = {"anna", "Bob", "Cleo"};
    {
        auto setup = Load();
        for (const std::string& name : kPlayers) {
            ASSERT_TRUE(setup->AddProfile(std::make_unique<Profile_t>(name, 0.5f, 0.4f)));
            setup->AddTotalScore(static_cast<int>(name.size()) * 100);
            ASSERT_TRUE(setup->Save());
        }
    }
    const std::vector<uint8_t> list = ReadBytes(UsersPath());
    std::vector<std::vector<uint8_t>> damaged;
    for (size_t length = 0; length < list.size(); ++length) {
        damaged.emplace_back(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(length));
    }
    for (size_t at = 0; at < list.size(); ++at) {
        for (uint8_t mask : {0x01, 0x20, 0x80, 0xFF}) {
            damaged.push_back(list);
            damaged.back()[at] ^= mask;
        }
    }
    damaged.emplace_back();  // and no list at all
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        plat::RemoveFile(UsersPath());
        if (i + 1 < damaged.size()) WriteBytes(UsersPath(), damaged[i]);
        auto manager = Load();
        ExpectUsable(*manager);
        // Names are matched ignoring letter case, as player files are found.
        for (const std::string& name : kPlayers) EXPECT_TRUE(manager->HasProfile(name)) << name;
        // The next new player does not push the others out of the list.
        ASSERT_TRUE(manager->AddProfile(std::make_unique<Profile_t>("Zed", 0.5f, 0.4f)));
        ASSERT_TRUE(manager->Save());
        auto reread = Load();
        for (const std::string& name : kPlayers) EXPECT_TRUE(reread->HasProfile(name)) << name;
        EXPECT_TRUE(reread->HasProfile("Zed"));
        EXPECT_FALSE(reread->TakeListRepairNotice());
        plat::RemoveFile(FileOf("Zed"));
        if (HasFailure()) return;
    }
    // Each kept its own progress.
    WriteBytes(UsersPath(), {});
    auto manager = Load();
    for (int i = 0; i < manager->GetProfileCount(); ++i) {
        manager->SetCurrentIndex(i);
        const std::string name = manager->GetCurrentProfile()->name;
        EXPECT_EQ(manager->GetCurrentProfile()->progress[0].totalScore, static_cast<int>(name.size()) * 100) << name;
    }
}

TEST_F(ProfileFilesTest, APlayerListedTwiceKeepsTheFileUntilTheLastEntryGoes) {
    const std::vector<uint8_t> twice = {2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 'B', 'o', 'b', 3, 0, 'B', 'o', 'b'};
    WriteBytes(UsersPath(), twice);
    WriteBytes(FileOf("Bob"), kBobDat);
    auto manager = Load();
    ASSERT_EQ(manager->GetProfileCount(), 2);
    EXPECT_FALSE(manager->TakeListRepairNotice());
    manager->DeleteProfile(0);
    EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
    ASSERT_TRUE(manager->Save());
    manager = Load();
    ASSERT_EQ(manager->GetProfileCount(), 1);
    manager->SetCurrentIndex(0);
    EXPECT_EQ(manager->GetCurrentProfile()->progress[1].totalScore, 7000);
    manager->DeleteProfile(0);
    EXPECT_FALSE(Exists(FileOf("Bob")));
}

TEST_F(ProfileFilesTest, DamagedProfileFile) {
    const int kAdventureStage = kAdventureAt + kStageAt;
    struct Case {
        const char* why;
        std::function<void(std::vector<uint8_t>&)> damage;
        std::function<void(const Profile_t&)> expect;
    };
    auto adventureRestarted = [](const Profile_t& bob) {
        const Progress_t& p = bob.progress[1];
        EXPECT_EQ(p.orderPos, 0);
        EXPECT_EQ(p.gameOrder, (std::vector<int>{0, 1, 2}));
        EXPECT_FALSE(p.gameInProgress);
        EXPECT_EQ(p.totalScore, 7000);  // what can be trusted stays
        EXPECT_TRUE(p.tipSeen[23]);
        EXPECT_EQ(bob.progress[0].totalScore, 1500);
    };
    auto allNew = [](int from) {
        return [from](const Profile_t& bob) {
            for (int mode = from; mode < 2; ++mode) {
                const Progress_t& p = bob.progress[mode];
                EXPECT_EQ(p.stage, 0);
                EXPECT_EQ(p.totalScore, 0);
                EXPECT_EQ(p.orderPos, 0);
                EXPECT_TRUE(p.showBlocked);
                EXPECT_TRUE(p.levelRecords.empty());
            }
            if (from == 1) {
                EXPECT_EQ(bob.progress[0].totalScore, 1500);
            }
        };
    };
    const Case kCases[] = {
            {"stage beyond the stage list", [&](std::vector<uint8_t>& b) { PutLong(b, kAdventureStage, 5); },
             [&](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[1].stage, 0);
                 adventureRestarted(bob);
             }},
            {"negative stage", [&](std::vector<uint8_t>& b) { PutLong(b, kAdventureStage, -3); },
             [&](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[1].stage, 0);
                 adventureRestarted(bob);
             }},
            {"order position beyond the order",
             [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kOrderPosAt, 3); },
             [&](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[1].stage, 1);
                 adventureRestarted(bob);
             }},
            {"negative order position", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kOrderPosAt, -1); },
             [&](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[1].stage, 1);
                 adventureRestarted(bob);
             }},
            {"game beyond the stage", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kOrderAt + 4, 7); },
             [&](const Profile_t& bob) { adventureRestarted(bob); }},
            {"game below -1", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kOrderAt, -9); },
             [&](const Profile_t& bob) { adventureRestarted(bob); }},
            {"tile set beyond the catalogue", [](std::vector<uint8_t>& b) { PutLong(b, kSimpleAt + kTilesetAt, 3); },
             [](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[0].tileset, 0);
                 EXPECT_EQ(bob.progress[0].gameOrder, (std::vector<int>{-1, 1}));
             }},
            {"negative tile set", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kTilesetAt, -1); },
             [](const Profile_t& bob) { EXPECT_EQ(bob.progress[1].tileset, 0); }},
            {"huge game-order count",
             [](std::vector<uint8_t>& b) { PutLong(b, kSimpleAt + kOrderCountAt, 0x7FFFFFFF); }, allNew(0)},
            {"negative game-order count", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + kOrderCountAt, -2); },
             allNew(1)},
            {"huge level-record count", [](std::vector<uint8_t>& b) { PutLong(b, kSimpleAt + 65, 100000000); },
             allNew(0)},
            {"level beyond the catalogue", [](std::vector<uint8_t>& b) { PutLong(b, kSimpleAt + 69, 50); },
             [](const Profile_t& bob) {
                 ASSERT_EQ(bob.progress[0].levelRecords.size(), 1u);
                 EXPECT_EQ(bob.progress[0].levelRecords[0].level, 1);
             }},
            {"volume out of range", [](std::vector<uint8_t>& b) { PutLong(b, 5, 1000); },
             [](const Profile_t& bob) {
                 EXPECT_FLOAT_EQ(bob.effectVolume, 0.5f);
                 EXPECT_FLOAT_EQ(bob.musicVolume, 0.4f);
                 EXPECT_EQ(bob.progress[1].totalScore, 7000);
             }},
            {"negative scores", [](std::vector<uint8_t>& b) { PutLong(b, kAdventureAt + 8, -5); },
             [](const Profile_t& bob) { EXPECT_EQ(bob.progress[1].gameScore, 0); }},
            {"another name inside", [](std::vector<uint8_t>& b) { b[2] = 'X'; },
             [](const Profile_t& bob) {
                 EXPECT_EQ(bob.name, "Bob");
                 EXPECT_EQ(bob.progress[1].totalScore, 7000);
             }},
            {"name length beyond the data",
             [](std::vector<uint8_t>& b) {
                 b[0] = 0xFF;
                 b[1] = 0x7F;
             },
             [](const Profile_t& bob) {
                 EXPECT_EQ(bob.name, "Bob");
                 EXPECT_FLOAT_EQ(bob.effectVolume, 0.5f);
             }},
            {"empty file", [](std::vector<uint8_t>& b) { b.clear(); }, allNew(0)},
            {"truncated inside the name", [](std::vector<uint8_t>& b) { b.resize(3); }, allNew(0)},
            {"truncated inside the simple record", [](std::vector<uint8_t>& b) { b.resize(50); }, allNew(0)},
            {"truncated after the simple record", [](std::vector<uint8_t>& b) { b.resize(kAdventureAt); },
             [](const Profile_t& bob) {
                 EXPECT_EQ(bob.progress[0].totalScore, 1500);
                 EXPECT_EQ(bob.progress[0].levelRecords.size(), 2u);
                 EXPECT_EQ(bob.progress[1].totalScore, 0);
                 EXPECT_EQ(bob.progress[1].gameOrder, (std::vector<int>{0, 1, 2}));
             }},
            {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }, allNew(1)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        std::vector<uint8_t> bob = kBobDat;
        c.damage(bob);
        WriteBytes(UsersPath(), kUsersDat);
        WriteBytes(FileOf("Bob"), bob);
        auto manager = Load();
        ASSERT_NE(manager->GetCurrentProfile(), nullptr);
        c.expect(*manager->GetCurrentProfile());
        ExpectUsable(*manager);
        // Not written back while the player changes nothing ...
        manager = Load();
        ASSERT_TRUE(manager->Save());
        EXPECT_EQ(ReadBytes(FileOf("Bob")), bob);
        // ... and written, sound, at the first change.
        manager->AddGameScore(10);
        ASSERT_TRUE(manager->Save());
        EXPECT_NE(ReadBytes(FileOf("Bob")), bob);
        auto reread = Load();
        EXPECT_EQ(reread->GetCurrentProgress()->gameScore, manager->GetCurrentProgress()->gameScore);
        EXPECT_TRUE(reread->GetCurrentProfile()->damagedFileImage.empty());
    }
}

TEST_F(ProfileFilesTest, RandomByteFlipsNeverBreakLoading) {
    std::mt19937 random(20240611u);
    const int kRounds = 2000;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<uint8_t> users = kUsersDat;
        std::vector<uint8_t> bob = kBobDat;
        const int which = static_cast<int>(random() % 3);  // 0 list, 1 profile, 2 both
        auto flip = [&random](std::vector<uint8_t>& bytes) {
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips && !bytes.empty(); ++i) {
                bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1 + random() % 255);
            }
            if (random() % 8 == 0) bytes.resize(random() % (bytes.size() + 1));
        };
        if (which != 1) flip(users);
        if (which != 0) flip(bob);
        WriteBytes(UsersPath(), users);
        WriteBytes(FileOf("Bob"), bob);
        auto manager = Load();
        {
            SCOPED_TRACE(round);
            ExpectUsable(*manager);
        }
        if (HasFailure()) return;
        if (round % 100 == 0) {
            // Saving and loading again gives a usable state as well.
            manager->AddTotalScore(1);
            ASSERT_TRUE(manager->Save());
            auto reread = Load();
            ExpectUsable(*reread);
        }
    }
}

// --- Writes that fail or die half-way ------------------------------------------------------

bool FailWrite() { return false; }

int gWritesBeforeDeath = 0;
bool DieOnWrite() {
    if (gWritesBeforeDeath-- == 0) std::_Exit(9);
    return true;
}

TEST_F(ProfileFilesTest, FailedWriteIsReportedAndKeepsThePreviousFile) {
    WriteBytes(UsersPath(), kUsersDat);
    WriteBytes(FileOf("Bob"), kBobDat);
    auto manager = Load();
    manager->AddGameScore(40);
    manager->AddProfile(std::make_unique<Profile_t>("Zed", 0.5f, 0.4f));
    manager->SetCurrentIndex(1);
    plat::SetAtomicWriteFaultForTests(&FailWrite);
    const bool saved = manager->Save();
    plat::SetAtomicWriteFaultForTests(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_NE(manager->GetSaveError().find("users.dat"), std::string::npos);
    EXPECT_NE(manager->GetSaveError().find("Bob.dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(UsersPath()), kUsersDat);
    EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
    // Once the disk has room again, the same save goes through.
    EXPECT_TRUE(manager->Save());
    EXPECT_TRUE(manager->GetSaveError().empty());
    EXPECT_EQ(Load()->GetProfileCount(), 3);

    // A folder that cannot be made is reported too.
    WriteBytes(dir.Path("blocker"), {1});
    ProfileManager_t blocked;
    blocked.Load(dir.Path("blocker/sub/users.dat"));
    blocked.AddProfile(std::make_unique<Profile_t>("Amy", 0.5f, 0.4f));
    EXPECT_FALSE(blocked.Save());
    EXPECT_FALSE(blocked.GetSaveError().empty());
}

TEST_F(ProfileFilesTest, KillBetweenWritesLeavesThePreviousFiles) {
    ::testing::FLAGS_gtest_death_test_style = "fast";
    struct Case {
        const char* why;
        int writesBeforeDeath;
        bool listIsNew;
    };
    const Case kCases[] = {
            {"killed while writing the list", 0, false},
            {"killed while writing the profile", 1, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        WriteBytes(UsersPath(), kUsersDat);
        WriteBytes(FileOf("Bob"), kBobDat);
        auto manager = Load();
        manager->AddProfile(std::make_unique<Profile_t>("Zed", 0.5f, 0.4f));
        manager->SetCurrentIndex(1);
        manager->AddTotalScore(5);
        gWritesBeforeDeath = c.writesBeforeDeath;
        EXPECT_EXIT(
                {
                    plat::SetAtomicWriteFaultForTests(&DieOnWrite);
                    manager->Save();
                    std::_Exit(0);
                },
                ::testing::ExitedWithCode(9), "");
        auto after = Load();
        EXPECT_EQ(after->GetProfileCount(), c.listIsNew ? 3 : 2);
        EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
        ASSERT_NE(after->GetCurrentProfile(), nullptr);
        EXPECT_EQ(after->GetCurrentProfile()->progress[0].totalScore, 1500);
        ExpectUsable(*after);
    }
}

}  // namespace
