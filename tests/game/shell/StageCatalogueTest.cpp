#include "game/shell/StageCatalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/game/shell/TestFiles.h"

namespace {

TEST(StageCatalogue, StageListFollowsTheSortedKeys) {
    TempDir dir;
    const std::string s1 = dir.Path("one.txt");
    const std::string s2 = dir.Path("two.txt");
    const std::string s10 = dir.Path("ten.txt");
    WriteIni(s1, {"[Main]", "Name=One", "[Level1]"});
    WriteIni(s2, {"[Main]", "Name=Two", "[Level1]", "[Level2]"});
    WriteIni(s10, {"[Main]", "Name=Ten", "[Level1]", "[Level2]", "[Level3]"});
    const std::string list = dir.Path("stages.txt");
    const std::string l1 = "1=" + s1;
    const std::string l2 = "2=" + s2;
    const std::string l10 = "10=" + s10;
    WriteIni(list, {"[Stages]", l1.c_str(), l2.c_str(), l10.c_str()});

    StageCatalogue_t catalogue(list);
    ASSERT_EQ(catalogue.GetStageCount(), 3);
    // "10" sorts between "1" and "2".
    EXPECT_EQ(catalogue.GetStage(0)->name, "One");
    EXPECT_EQ(catalogue.GetStage(1)->name, "Ten");
    EXPECT_EQ(catalogue.GetStage(2)->name, "Two");
    EXPECT_EQ(catalogue.GetStage(3), nullptr);
    EXPECT_EQ(catalogue.GetStage(-1), nullptr);

    // Flat numbering over stage order: 1 + 3 + 2 games.
    EXPECT_EQ(catalogue.GetTotalGameCount(), 6);
    struct Case {
        int flat;
        int stage;
        int game;
    };
    const Case kCases[] = {{0, 0, 0}, {1, 1, 0}, {3, 1, 2}, {4, 2, 0}, {5, 2, 1}, {6, 0, 0}, {-1, 0, 0}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.flat);
        int stage = -5;
        int game = -5;
        catalogue.FindStageAndGame(c.flat, stage, game);
        EXPECT_EQ(stage, c.stage);
        EXPECT_EQ(game, c.game);
        if (c.flat >= 0 && c.flat < 6) {
            EXPECT_EQ(catalogue.GetFlatGameIndex(stage, game), c.flat);
            EXPECT_EQ(catalogue.GetGameByFlatIndex(c.flat), catalogue.GetStage(stage)->GetGame(game, 0));
        } else {
            EXPECT_EQ(catalogue.GetGameByFlatIndex(c.flat), nullptr);
        }
    }
    EXPECT_EQ(catalogue.GetFlatGameIndex(3, 0), 6);
    EXPECT_EQ(catalogue.GetFlatGameIndex(7, 2), 6);

    // Lists 1 and 2 are never filled.
    catalogue.listSelector = 1;
    EXPECT_EQ(catalogue.GetTotalGameCount(), 0);
    EXPECT_EQ(catalogue.GetGameByFlatIndex(0), nullptr);
}

TEST(StageCatalogue, LevelSectionsAndMapPoints) {
    TempDir dir;
    struct Case {
        const char* why;
        std::initializer_list<const char*> lines;
        std::vector<std::string> names;  // games in order
        std::vector<int> mapX;           // per game
    };
    // clang-format off
    const Case kCases[] = {
                {"running index counts every section",
                 {"[Level1]", "Name=a", "[Level2]", "Name=b", "[Main]", "MapPos=10,11;20,21;30,31"},
                 {"a", "b"},
                 {10, 20}},
                {"a section sorting before the levels takes a point",
                 {"[Main]", "MapPos=1,1;2,2;3,3;4,4", "[Bonus]", "[Level1]", "Name=a", "[Level2]", "Name=b"},
                 {"a", "b"},
                 {2, 3}},
                {"Level10 sorts before Level2",
                 {"[Main]", "MapPos=1,1;2,2;3,3;4,4", "[Level1]", "Name=a", "[Level2]", "Name=c", "[Level10]", "Name=b"},
                 {"a", "b", "c"},
                 {1, 2, 3}},
                {"other sections count too; points run out",
                 {"[Main]", "MapPos=5,6", "[xLevel]", "Name=x", "[Other]", "[Level7]", "Name=y"},
                 {"y", "x"},
                 {5, 0}},
                {"only exact-case Level counts",
                 {"[Main]", "[level1]", "Name=lower", "[MyLevel]", "Name=mine"},
                 {"mine"},
                 {0}},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.Path("stage.txt");
        WriteIni(path, c.lines);
        Stage_t stage;
        stage.Load(path);
        ASSERT_EQ(stage.GetGameCount(0), static_cast<int>(c.names.size()));
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(stage.GetGame(static_cast<int>(i), 0)->name, c.names[i]);
            EXPECT_EQ(stage.GetGame(static_cast<int>(i), 0)->mapX, c.mapX[i]);
        }
        EXPECT_EQ(stage.GetGameCount(1), 0);
        EXPECT_EQ(stage.GetGameCount(2), 0);
        EXPECT_EQ(stage.GetGame(static_cast<int>(c.names.size()), 0), nullptr);
        EXPECT_EQ(stage.GetGame(0, 1), nullptr);
    }
}

TEST(StageCatalogue, MainKeysAndLevelDefaults) {
    TempDir dir;
    const std::string path = dir.Path("stage.txt");
    WriteIni(path, {"[Main]",          "Games=2,7;5,3",  "PersAppear=3",     "Pers=girl",
                    "Name=Forest",     "Back=back.jpg",  "MapImage=map.png", "Day=day.jpg",
                    "Night=night.jpg", "HeroDay=hd.png", "HeroNight=hn.png", "HeroX=120",
                    "HeroY=-4",        "[Level1]",       "[Level2]",         "Name=  Spaced  ",
                    "Layout=turtle",   "ClothesCount=1", "BonusCount=2",     "Type=6",
                    "Time=9"});
    Stage_t stage;
    stage.Load(path);
    EXPECT_EQ(stage.FindMiniGame(1), 7);
    EXPECT_EQ(stage.FindMiniGame(4), 3);
    EXPECT_EQ(stage.FindMiniGame(0), -1);
    EXPECT_EQ(stage.persAppear, 2);
    EXPECT_EQ(stage.pers, "girl");
    EXPECT_EQ(stage.name, "Forest");
    EXPECT_EQ(stage.back, "back.jpg");
    EXPECT_EQ(stage.mapImage, "map.png");
    EXPECT_EQ(stage.day, "day.jpg");
    EXPECT_EQ(stage.night, "night.jpg");
    EXPECT_EQ(stage.heroDay, "hd.png");
    EXPECT_EQ(stage.heroNight, "hn.png");
    EXPECT_EQ(stage.heroX, 120);
    EXPECT_EQ(stage.heroY, -4);
    EXPECT_EQ(stage.GetNameByKey(0), "");
    ASSERT_EQ(stage.GetGameCount(0), 2);
    const StageLevel_t* empty = stage.GetGame(0, 0);
    EXPECT_EQ(empty->clothesCount, 3);
    EXPECT_EQ(empty->bonusCount, 5);
    EXPECT_EQ(empty->type, 0);
    EXPECT_EQ(empty->time, 20);
    EXPECT_EQ(empty->name, "");
    const StageLevel_t* full = stage.GetGame(1, 0);
    EXPECT_EQ(full->name, "Spaced");
    EXPECT_EQ(full->layout, "turtle");
    EXPECT_EQ(full->clothesCount, 1);
    EXPECT_EQ(full->bonusCount, 2);
    EXPECT_EQ(full->type, 6);
    EXPECT_EQ(full->time, 9);

    WriteIni(path, {"[Main]", "Name=NoAppear"});
    Stage_t plain;
    plain.Load(path);
    EXPECT_EQ(plain.persAppear, 0);
    EXPECT_EQ(plain.GetGameCount(0), 0);
}

TEST(StageCatalogue, MalformedListItemsAndMissingFiles) {
    TempDir dir;
    const std::string path = dir.Path("stage.txt");
    WriteIni(path, {"[Main]", "Games=x;3;4,;,9;99999999999,1;-2147483648,5", "MapPos=7;,8;a,b;1,2,3"});
    Stage_t stage;
    stage.Load(path);
    ASSERT_EQ(stage.miniGames.size(), 6u);
    EXPECT_EQ(stage.miniGames[0], std::make_pair(-1, 0));  // "x": both numbers missing
    EXPECT_EQ(stage.miniGames[1], std::make_pair(2, 0));
    EXPECT_EQ(stage.miniGames[2], std::make_pair(3, 0));
    EXPECT_EQ(stage.miniGames[3], std::make_pair(-1, 0));
    EXPECT_EQ(stage.miniGames[4], std::make_pair(2147483646, 1));       // clamped, then minus one
    EXPECT_EQ(stage.miniGames[5], std::make_pair(-2147483647 - 1, 5));  // no overflow below
    ASSERT_EQ(stage.mapPoints.size(), 4u);
    EXPECT_EQ(stage.mapPoints[0].x, 7);
    EXPECT_EQ(stage.mapPoints[0].y, 0);
    EXPECT_EQ(stage.mapPoints[1].x, 0);
    EXPECT_EQ(stage.mapPoints[3].x, 1);
    EXPECT_EQ(stage.mapPoints[3].y, 2);

    Stage_t missing;
    missing.Load(dir.Path("none.txt"));
    EXPECT_EQ(missing.GetGameCount(0), 0);
    EXPECT_EQ(missing.FindMiniGame(0), -1);

    StageCatalogue_t none(dir.Path("none.txt"));
    EXPECT_EQ(none.GetStageCount(), 0);
    EXPECT_EQ(none.GetTotalGameCount(), 0);
    EXPECT_EQ(none.GetGameByFlatIndex(0), nullptr);

    // A list naming a missing stage file still counts the stage, with no games.
    const std::string list = dir.Path("stages.txt");
    WriteIni(list, {"[Stages]", "a=nowhere.txt"});
    StageCatalogue_t hollow(list);
    EXPECT_EQ(hollow.GetStageCount(), 1);
    EXPECT_EQ(hollow.GetTotalGameCount(), 0);
}

}  // namespace
