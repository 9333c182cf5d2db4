#include "game/shell/ProfileManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/game/shell/ProfileFixtures.h"

namespace {

class ProfileManagerTest : public ::testing::Test {
protected:
    ProfileManagerTest() : catalogues(dir) {}

    std::string UsersPath() const { return dir.Path("users.dat"); }
    std::string FileOf(const std::string& name) const { return dir.Path(name + ".dat"); }

    // A manager on the test folder's files, with the catalogues set.
    std::unique_ptr<ProfileManager_t> NewManager() {
        auto manager = std::make_unique<ProfileManager_t>();
        manager->SetCatalogues(&catalogues.simple, &catalogues.adventure, &catalogues.tilesets);
        return manager;
    }

    std::unique_ptr<ProfileManager_t> LoadGolden() {
        WriteBytes(UsersPath(), kUsersDat);
        WriteBytes(FileOf("Bob"), kBobDat);
        auto manager = NewManager();
        manager->Load(UsersPath());
        return manager;
    }

    static std::unique_ptr<Profile_t> NewProfile(const std::string& name) {
        return std::make_unique<Profile_t>(name, 0.5f, 0.4f);
    }

    TempDir dir;
    TestCatalogues catalogues;
};

void ExpectGoldenBob(const Profile_t& bob) {
    EXPECT_EQ(bob.name, "Bob");
    EXPECT_FLOAT_EQ(bob.effectVolume, 0.55f);
    EXPECT_FLOAT_EQ(bob.musicVolume, 0.40f);
    const Progress_t& simple = bob.progress[0];
    EXPECT_EQ(simple.stage, 0);
    EXPECT_EQ(simple.orderPos, 1);
    EXPECT_EQ(simple.gameScore, 0);
    EXPECT_TRUE(simple.dontShowHelp);
    EXPECT_FALSE(simple.dontShowNoMoves);
    EXPECT_EQ(simple.totalScore, 1500);
    EXPECT_EQ(simple.tileset, 1);
    EXPECT_TRUE(simple.stageStarted);
    EXPECT_FALSE(simple.gameInProgress);
    EXPECT_EQ(simple.timeLeft, 4321);
    EXPECT_TRUE(simple.showBlocked);
    EXPECT_EQ(simple.gameOrder, (std::vector<int>{-1, 1}));
    EXPECT_TRUE(simple.tipSeen[0]);
    EXPECT_FALSE(simple.tipSeen[23]);
    ASSERT_EQ(simple.levelRecords.size(), 2u);
    EXPECT_EQ(simple.levelRecords[0].level, 0);
    EXPECT_EQ(simple.levelRecords[0].bestTime, 12345);
    EXPECT_EQ(simple.levelRecords[0].bestScore, 900);
    EXPECT_TRUE(simple.levelRecords[0].flag);
    EXPECT_EQ(simple.levelRecords[1].level, 1);
    EXPECT_EQ(simple.levelRecords[1].bestTime, 7);
    EXPECT_EQ(simple.levelRecords[1].bestScore, 0);
    EXPECT_FALSE(simple.levelRecords[1].flag);
    const Progress_t& adventure = bob.progress[1];
    EXPECT_EQ(adventure.stage, 1);
    EXPECT_EQ(adventure.orderPos, 2);
    EXPECT_EQ(adventure.gameScore, 250);
    EXPECT_FALSE(adventure.dontShowHelp);
    EXPECT_TRUE(adventure.dontShowNoMoves);
    EXPECT_EQ(adventure.totalScore, 7000);
    EXPECT_EQ(adventure.tileset, 2);
    EXPECT_TRUE(adventure.stageStarted);
    EXPECT_TRUE(adventure.gameInProgress);
    EXPECT_EQ(adventure.timeLeft, 60050);
    EXPECT_FALSE(adventure.showBlocked);
    EXPECT_EQ(adventure.gameOrder, (std::vector<int>{-1, 2, 0}));
    EXPECT_FALSE(adventure.tipSeen[0]);
    EXPECT_TRUE(adventure.tipSeen[23]);
    EXPECT_TRUE(adventure.levelRecords.empty());
}

// Bob's golden state, made through the operations the game uses.
void MakeGoldenBob(Profile_t& bob) {
    bob.effectVolume = 0.55f;
    bob.musicVolume = 0.4f;
    Progress_t& simple = bob.progress[0];
    simple.orderPos = 1;
    simple.dontShowHelp = true;
    simple.totalScore = 1500;
    simple.tileset = 1;
    simple.stageStarted = true;
    simple.timeLeft = 4321;
    simple.gameOrder = {-1, 1};
    simple.tipSeen[0] = true;
    simple.levelRecords = {{0, 12345, 900, true}, {1, 7, 0, false}};
    Progress_t& adventure = bob.progress[1];
    adventure.stage = 1;
    adventure.orderPos = 2;
    adventure.gameScore = 250;
    adventure.dontShowNoMoves = true;
    adventure.totalScore = 7000;
    adventure.tileset = 2;
    adventure.stageStarted = true;
    adventure.gameInProgress = true;
    adventure.timeLeft = 60050;
    adventure.showBlocked = false;
    adventure.gameOrder = {-1, 2, 0};
    adventure.tipSeen[23] = true;
}

TEST_F(ProfileManagerTest, GoldenFilesRead) {
    auto manager = LoadGolden();
    ASSERT_EQ(manager->GetProfileCount(), 2);
    EXPECT_EQ(manager->GetCurrentIndex(), 1);
    EXPECT_EQ(manager->GetProfile(0)->name, "anna");
    ExpectGoldenBob(*manager->GetCurrentProfile());
    // Saving what was read gives the same bytes.
    ASSERT_TRUE(manager->Save());
    EXPECT_EQ(ReadBytes(UsersPath()), kUsersDat);
    EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
}

TEST_F(ProfileManagerTest, GoldenFilesWritten) {
    auto manager = NewManager();
    manager->Load(UsersPath());  // no file yet: empty, but the path is kept
    EXPECT_EQ(manager->GetProfileCount(), 0);
    ASSERT_TRUE(manager->AddProfile(NewProfile("anna")));
    ASSERT_TRUE(manager->AddProfile(NewProfile("Bob")));
    MakeGoldenBob(*manager->GetCurrentProfile());
    ASSERT_TRUE(manager->Save());
    EXPECT_EQ(ReadBytes(UsersPath()), kUsersDat);
    EXPECT_EQ(ReadBytes(FileOf("Bob")), kBobDat);
    // Only the current profile's file is written.
    EXPECT_FALSE(Exists(FileOf("anna")));

    auto reread = NewManager();
    EXPECT_TRUE(reread->Load(UsersPath()));
    ExpectGoldenBob(*reread->GetCurrentProfile());
}

TEST_F(ProfileManagerTest, VolumesAndListWithoutCurrentProfile) {
    auto manager = NewManager();
    manager->Load(UsersPath());
    auto profile = NewProfile("Vol");
    profile->effectVolume = 0.555f;
    profile->musicVolume = 1.0f;
    ASSERT_TRUE(manager->AddProfile(std::move(profile)));
    ASSERT_TRUE(manager->Save());
    const std::vector<uint8_t> file = ReadBytes(FileOf("Vol"));
    ASSERT_GE(file.size(), 13u);
    EXPECT_EQ(file[5], 55);
    EXPECT_EQ(file[9], 100);
    auto reread = NewManager();
    reread->Load(UsersPath());
    EXPECT_FLOAT_EQ(reread->GetCurrentProfile()->effectVolume, 0.55f);
    EXPECT_FLOAT_EQ(reread->GetCurrentProfile()->musicVolume, 1.0f);

    // No current profile: only the list, with index -1.
    reread->SetCurrentIndex(-1);
    ASSERT_TRUE(reread->Save());
    EXPECT_EQ(ReadBytes(UsersPath()), (std::vector<uint8_t>{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 'V', 'o', 'l'}));
    EXPECT_EQ(reread->GetCurrentProgress(), nullptr);
}

TEST(ProfileVolumes, EveryPercentSurvivesLoadAndSave) {
    for (int percent = 0; percent <= 100; ++percent) {
        SCOPED_TRACE(percent);
        EXPECT_EQ(ProfileManager_t::VolumeToPercent(ProfileManager_t::VolumeFromPercent(percent)), percent);
    }
    EXPECT_EQ(ProfileManager_t::VolumeToPercent(0.555f), 55);
    EXPECT_EQ(ProfileManager_t::VolumeToPercent(0.999f), 99);
    EXPECT_EQ(ProfileManager_t::VolumeToPercent(0.0f), 0);
}

TEST_F(ProfileManagerTest, UnsavedFieldsDoNotSurviveARestart) {
    auto manager = NewManager();
    manager->Load(UsersPath());
    manager->AddProfile(NewProfile("Mia"));
    manager->SetMode(1);
    manager->MarkMiniGameCompleted(3);
    manager->AddItemName("scarf");
    manager->SetGameList(0);
    Progress_t* record = manager->GetCurrentProgress();
    record->jewelCount = 4;
    record->collectedItems.push_back(2);
    record->totalScore = 77;
    ASSERT_TRUE(manager->Save());

    auto reread = NewManager();
    reread->Load(UsersPath());
    reread->SetMode(1);
    EXPECT_FALSE(reread->IsMiniGameCompleted(3));
    EXPECT_FALSE(reread->HasItemName("scarf"));
    const Progress_t* again = reread->GetCurrentProgress();
    EXPECT_EQ(again->jewelCount, 0);
    EXPECT_TRUE(again->collectedItems.empty());
    EXPECT_EQ(again->totalScore, 77);
}

TEST_F(ProfileManagerTest, MissingListFile) {
    auto manager = NewManager();
    EXPECT_FALSE(manager->Load(UsersPath()));
    EXPECT_EQ(manager->GetProfileCount(), 0);
    EXPECT_EQ(manager->GetCurrentProfile(), nullptr);
    // Everything on the current record is neutral without a profile.
    EXPECT_EQ(manager->CompleteCurrentGame(), 1);
    EXPECT_TRUE(manager->IsLastGameOfStage());
    EXPECT_EQ(manager->GetCurrentGame(), 0);
    EXPECT_TRUE(manager->IsMiniGameCompleted(0));
    EXPECT_FALSE(manager->IsMiniGameStarted(0));
    EXPECT_FALSE(manager->HasItemName("x"));
    EXPECT_EQ(manager->FindLevelRecord(0), nullptr);
    manager->AddGameScore(5);
    manager->PostponeCurrentGame();
    manager->ResetCurrentProgress();
    EXPECT_FALSE(manager->LoadCurrentProfile());
    // Nothing to save before a list path exists.
    ProfileManager_t fresh;
    EXPECT_TRUE(fresh.Save());
}

TEST_F(ProfileManagerTest, ProgressionFromGameToGameAndStageToStage) {
    auto manager = NewManager();
    manager->Load(UsersPath());
    manager->AddProfile(NewProfile("Ada"));
    manager->SetMode(1);  // adventure: two stages of three games
    manager->ResetCurrentProgress();
    const Progress_t* record = manager->GetCurrentProgress();
    EXPECT_EQ(record->gameOrder, (std::vector<int>{0, 1, 2}));

    struct Step {
        const char* why;
        std::function<int(ProfileManager_t&)> action;
        int result;
        int stage;
        int orderPos;
        std::vector<int> order;
        int currentGame;
        bool lastOfStage;
    };
    auto complete = [](ProfileManager_t& m) { return m.CompleteCurrentGame(); };
    auto postpone = [](ProfileManager_t& m) {
        m.PostponeCurrentGame();
        return 0;
    };
    const Step kSteps[] = {
            {"postpone the first game", postpone, 0, 0, 0, {1, 2, 0}, 1, false},
            {"finish game 1", complete, 1, 0, 1, {-1, 2, 0}, 2, false},
            {"finish game 2", complete, 1, 0, 2, {-1, -1, 0}, 0, true},
            {"last game of stage 0: next stage", complete, 0, 1, 0, {0, 1, 2}, 0, false},
            {"stage 1, game 0", complete, 1, 1, 1, {-1, 1, 2}, 1, false},
            {"stage 1, game 1", complete, 1, 1, 2, {-1, -1, 2}, 2, true},
            {"last game of the last stage", complete, 2, 1, 2, {-1, -1, -1}, 2, false},
    };
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.why);
        EXPECT_EQ(step.action(*manager), step.result);
        EXPECT_EQ(record->stage, step.stage);
        EXPECT_EQ(record->orderPos, step.orderPos);
        EXPECT_EQ(record->gameOrder, step.order);
        EXPECT_EQ(manager->GetCurrentGame(), step.currentGame);
        EXPECT_EQ(manager->IsLastGameOfStage(), step.lastOfStage);
    }

    // An emptied order is never read past its end.
    manager->ResetStageOrder();
    EXPECT_TRUE(record->gameOrder.empty());
    EXPECT_FALSE(record->stageStarted);
    EXPECT_EQ(manager->GetCurrentGame(), 2);
    manager->PostponeCurrentGame();
    EXPECT_EQ(manager->CompleteCurrentGame(), 2);

    manager->AdvanceStage();
    EXPECT_EQ(record->stage, 2);
    EXPECT_TRUE(record->gameOrder.empty());  // no such stage: no games
    EXPECT_EQ(manager->CompleteCurrentGame(), 2);

    // Game lists 1 and 2 have no games in any stage: the choice plays list 0.
    manager->ResetCurrentProgress();
    manager->SetGameList(1);
    EXPECT_EQ(record->gameList, 0);
    manager->SetGameList(2);
    EXPECT_EQ(record->gameList, 0);
    manager->BuildGameOrder(*manager->GetCurrentProgress());
    EXPECT_EQ(record->gameOrder.size(), 3u);

    manager->MarkGameStarted();
    EXPECT_TRUE(record->stageStarted);
    EXPECT_TRUE(record->gameInProgress);
    manager->EndGameAndSave();
    EXPECT_FALSE(record->gameInProgress);
    EXPECT_TRUE(record->stageStarted);
    EXPECT_TRUE(Exists(FileOf("Ada")));

    // Simple mode walks its own catalogue: one stage of two games.
    manager->SetMode(0);
    manager->ResetCurrentProgress();
    EXPECT_EQ(manager->GetCurrentProgress()->gameOrder, (std::vector<int>{0, 1}));
    EXPECT_EQ(manager->CompleteCurrentGame(), 1);
    EXPECT_EQ(manager->CompleteCurrentGame(), 2);
}

TEST_F(ProfileManagerTest, ScoresMiniGamesNamesAndLevelRecords) {
    auto manager = NewManager();
    manager->Load(UsersPath());
    manager->AddProfile(NewProfile("Eve"));
    const Progress_t* record = manager->GetCurrentProgress();

    manager->AddGameScore(100);
    manager->AddGameScore(-250);
    EXPECT_EQ(record->gameScore, 0);
    manager->AddTotalScore(2147483600);
    manager->AddTotalScore(1000);
    EXPECT_EQ(record->totalScore, 2147483647);

    struct MiniCase {
        int id;
        bool started;
        bool completed;
    };
    manager->MarkMiniGameStarted(4);
    manager->MarkMiniGameCompleted(5);
    manager->MarkMiniGameStarted(20);
    manager->MarkMiniGameCompleted(-7);
    const MiniCase kMini[] = {{4, true, false},  {5, false, true},  {6, false, false},
                              {-1, false, true}, {20, false, true}, {-7, false, true}};
    for (const MiniCase& c : kMini) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(manager->IsMiniGameStarted(c.id), c.started);
        EXPECT_EQ(manager->IsMiniGameCompleted(c.id), c.completed);
    }

    manager->AddItemName("ring");
    manager->AddItemName("ring");
    manager->AddItemName("Ring");
    EXPECT_EQ(record->itemNames, (std::vector<std::string>{"ring", "Ring"}));
    EXPECT_TRUE(manager->HasItemName("ring"));
    EXPECT_FALSE(manager->HasItemName(""));

    EXPECT_EQ(manager->FirstMissingLevel(3), 0);
    manager->AddLevelRecord(0);
    manager->AddLevelRecord(-1);
    manager->AddLevelRecord(2);
    EXPECT_EQ(record->levelRecords.size(), 2u);
    EXPECT_EQ(manager->FirstMissingLevel(3), 1);
    manager->AddLevelRecord(1);
    EXPECT_EQ(manager->FirstMissingLevel(3), -1);
    EXPECT_EQ(manager->FirstMissingLevel(0), -1);
    EXPECT_EQ(manager->FirstMissingLevel(-4), -1);
    EXPECT_EQ(manager->FirstMissingLevel(4), 3);
    LevelRecord_t* found = manager->FindLevelRecord(2);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->bestTime, 0);
    EXPECT_EQ(found->bestScore, 0);
    EXPECT_FALSE(found->flag);
    EXPECT_EQ(manager->FindLevelRecord(9), nullptr);

    EXPECT_TRUE(manager->HasProfile("EVE"));
    EXPECT_TRUE(manager->HasProfile("eve"));
    EXPECT_FALSE(manager->HasProfile("Eva"));
}

}  // namespace
