#include "game/shell/HighScoreTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/util/IniFile.h"
#include "game/shell/TextTable.h"
#include "platform/Files.h"
#include "tests/game/shell/TestFiles.h"

namespace {

// scoretable.dat: ten records of score, stage, orderPos and name.
const std::vector<uint8_t> kScoreTableDat = {
        0x50, 0xC3, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 'B', 'o', 'b',  // 50000
        0x10, 0x27, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'a',            // 10000
        0x28, 0x23, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'b',            // 9000
        0x40, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'c',            // 8000
        0x58, 0x1B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'd',            // 7000
        0x70, 0x17, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'e',            // 6000
        0x88, 0x13, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'f',            // 5000
        0xA0, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 'g',            // 4000
        0xB8, 0x0B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                 // 3000, ""
        0x01, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x02, 0x00, 'z', 'z',       // 1
};

class HighScoreTableTest : public ::testing::Test {
protected:
    ~HighScoreTableTest() override { TextTable_t::Destroy(); }
    std::string Path() const { return dir.Path("scoretable.dat"); }
    TempDir dir;
};

TEST_F(HighScoreTableTest, DefaultsWithoutAFile) {
    const std::string terms = "[Scores]\r\nUser0 = Alice \r\nUser3=Dan\r\n";
    IniFile_t ini;
    ini.Parse(terms.data(), terms.size(), true);
    TextTable_t::Instance()->Load(ini);

    HighScoreTable_t table;
    EXPECT_TRUE(table.Load(Path()));
    ASSERT_EQ(table.GetCount(), 10);
    const char* kNames[] = {"Alice", "User1", "User2", "Dan", "User4", "User5", "User6", "User7", "User8", "User9"};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.GetEntry(i)->name, kNames[i]);
        EXPECT_EQ(table.GetEntry(i)->score, 10000 - 1000 * i);
        EXPECT_EQ(table.GetEntry(i)->stage, 0);
        EXPECT_EQ(table.GetEntry(i)->orderPos, 0);
    }
    EXPECT_EQ(table.GetEntry(10), nullptr);
    EXPECT_EQ(table.GetEntry(-1), nullptr);
    EXPECT_FALSE(Exists(Path()));  // loading writes nothing
}

TEST_F(HighScoreTableTest, Insertion) {
    struct Case {
        const char* why;
        int score;
        int position;
        int lastScore;
    };
    const Case kCases[] = {
            {"equal score goes below the existing entry", 9000, 2, 2000},
            {"top score", 20000, 0, 2000},
            {"equal to the last entry does not enter", 1000, -1, 1000},
            {"just above the last entry", 1001, 9, 1001},
            {"below everything", 0, -1, 1000},
            {"negative", -5, -1, 1000},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        HighScoreTable_t table;
        table.SetDefaults();
        int position = -5;
        EXPECT_EQ(table.FindPosition(c.score, position), c.position >= 0);
        if (c.position >= 0) {
            EXPECT_EQ(position, c.position);
        }
        EXPECT_EQ(table.Insert("New", c.score, 3, 4), c.position);
        ASSERT_EQ(table.GetCount(), 10);
        EXPECT_EQ(table.GetEntry(9)->score, c.lastScore);
        if (c.position >= 0) {
            EXPECT_EQ(table.GetEntry(c.position)->name, "New");
            EXPECT_EQ(table.GetEntry(c.position)->stage, 3);
            EXPECT_EQ(table.GetEntry(c.position)->orderPos, 4);
        }
    }
}

TEST_F(HighScoreTableTest, GoldenFileReadAndWritten) {
    WriteBytes(Path(), kScoreTableDat);
    HighScoreTable_t table;
    table.Load(Path());
    ASSERT_EQ(table.GetCount(), 10);
    EXPECT_EQ(table.GetEntry(0)->score, 50000);
    EXPECT_EQ(table.GetEntry(0)->stage, 2);
    EXPECT_EQ(table.GetEntry(0)->orderPos, 1);
    EXPECT_EQ(table.GetEntry(0)->name, "Bob");
    EXPECT_EQ(table.GetEntry(8)->name, "");
    EXPECT_EQ(table.GetEntry(9)->score, 1);
    EXPECT_EQ(table.GetEntry(9)->stage, 5);
    EXPECT_EQ(table.GetEntry(9)->orderPos, 7);
    EXPECT_EQ(table.GetEntry(9)->name, "zz");

    std::filesystem::remove(Path());
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadBytes(Path()), kScoreTableDat);
}

TEST_F(HighScoreTableTest, ShortAndDamagedFiles) {
    struct Case {
        const char* why;
        size_t keep;      // bytes of the golden file kept
        int fullRecords;  // records read whole
    };
    const Case kCases[] = {
            {"five records", 5 * 15 + 2, 5},
            {"cut inside a score", 1, 0},
            {"cut inside the first name", 15, 0},
            {"empty file", 0, 0},
            {"one byte short", kScoreTableDat.size() - 1, 9},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const std::vector<uint8_t> bytes(kScoreTableDat.begin(), kScoreTableDat.begin() + static_cast<long>(c.keep));
        WriteBytes(Path(), bytes);
        HighScoreTable_t table;
        EXPECT_TRUE(table.Load(Path()));
        ASSERT_EQ(table.GetCount(), 10);
        for (int i = c.fullRecords; i < 10; ++i) {
            EXPECT_EQ(table.GetEntry(i)->score, 0);
            EXPECT_EQ(table.GetEntry(i)->name, "");
        }
        if (c.fullRecords > 0) {
            EXPECT_EQ(table.GetEntry(0)->name, "Bob");
        }
        // Not written back unchanged; written whole after a change.
        ASSERT_TRUE(table.Save());
        EXPECT_EQ(ReadBytes(Path()), bytes);
        EXPECT_EQ(table.Insert("New", 60000, 0, 0), 0);
        ASSERT_TRUE(table.Save());
        HighScoreTable_t reread;
        reread.Load(Path());
        EXPECT_EQ(reread.GetEntry(0)->name, "New");
        EXPECT_EQ(reread.GetCount(), 10);
    }

    // A name length with its top bit set reads as an empty name.
    std::vector<uint8_t> bytes = kScoreTableDat;
    bytes[12] = 0x00;
    bytes[13] = 0x80;
    WriteBytes(Path(), bytes);
    HighScoreTable_t table;
    table.Load(Path());
    EXPECT_EQ(table.GetEntry(0)->name, "");
    // The name's bytes are then read as the next score.
    EXPECT_EQ(table.GetEntry(1)->score, 0x10626F42);
}

TEST_F(HighScoreTableTest, ANegativeScoreReadsAsZeroAndStaysLast) {
    std::vector<uint8_t> bytes = kScoreTableDat;
    // The second record's score becomes -1,500 (0xFFFFFA24).
    const size_t second = 17;
    bytes[second] = 0x24;
    bytes[second + 1] = 0xFA;
    bytes[second + 2] = 0xFF;
    bytes[second + 3] = 0xFF;
    WriteBytes(Path(), bytes);
    HighScoreTable_t table;
    table.Load(Path());
    EXPECT_EQ(table.GetEntry(1)->name, "a");
    EXPECT_EQ(table.GetEntry(1)->score, 0);
    // Any real score goes above it.
    EXPECT_EQ(table.Insert("New", 1, 0, 0), 1);
    ASSERT_TRUE(table.Save());
    HighScoreTable_t reread;
    reread.Load(Path());
    EXPECT_EQ(reread.GetEntry(1)->name, "New");
    EXPECT_EQ(reread.GetEntry(2)->score, 0);
    EXPECT_EQ(reread.GetEntry(2)->name, "a");
}

TEST_F(HighScoreTableTest, RandomByteFlipsNeverBreakLoading) {
    std::mt19937 random(777u);
    for (int round = 0; round < 1000; ++round) {
        std::vector<uint8_t> bytes = kScoreTableDat;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        if (random() % 8 == 0) bytes.resize(random() % (bytes.size() + 1));
        WriteBytes(Path(), bytes);
        HighScoreTable_t table;
        table.Load(Path());
        ASSERT_EQ(table.GetCount(), 10) << round;
        for (int i = 0; i < 10; ++i) ASSERT_GE(table.GetEntry(i)->score, 0) << round;
        int position = -1;
        table.FindPosition(5000, position);
        table.Insert("x", 5000, 0, 0);
        ASSERT_EQ(table.GetCount(), 10) << round;
    }
}

bool FailWrite() { return false; }

TEST_F(HighScoreTableTest, FailedWriteIsReportedAndKeepsThePreviousFile) {
    WriteBytes(Path(), kScoreTableDat);
    HighScoreTable_t table;
    table.Load(Path());
    table.Insert("New", 60000, 0, 0);
    plat::SetAtomicWriteFaultForTests(&FailWrite);
    const bool saved = table.Save();
    plat::SetAtomicWriteFaultForTests(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_NE(table.GetSaveError().find("scoretable.dat"), std::string::npos);
    EXPECT_EQ(ReadBytes(Path()), kScoreTableDat);
    EXPECT_TRUE(table.Save());

    HighScoreTable_t unloaded;
    EXPECT_TRUE(unloaded.Save());  // no file name yet: nothing to write
}

TEST_F(HighScoreTableTest, KillDuringTheWriteLeavesThePreviousFile) {
    ::testing::FLAGS_gtest_death_test_style = "fast";
    WriteBytes(Path(), kScoreTableDat);
    HighScoreTable_t table;
    table.Load(Path());
    table.Insert("New", 60000, 0, 0);
    EXPECT_EXIT(
            {
                plat::SetAtomicWriteFaultForTests([]() -> bool { std::_Exit(9); });
                table.Save();
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(9), "");
    EXPECT_EQ(ReadBytes(Path()), kScoreTableDat);
}

TEST_F(HighScoreTableTest, InstanceIsCreatedOnFirstUse) {
    HighScoreTable_t* table = HighScoreTable_t::Instance();
    EXPECT_EQ(HighScoreTable_t::Instance(), table);
    EXPECT_EQ(table->GetCount(), 0);
    HighScoreTable_t::Destroy();
}

}  // namespace
