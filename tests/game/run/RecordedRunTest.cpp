// Recorded runs of the whole game: a scripted player goes down the simple game's main road
// and the adventure's while the game records a demo; the demo, played back headless on the
// virtual clock in a fresh home, makes the same screen switches at the same updates, leaves
// the same player files and ends with exit code 0.
//
// One demo of each road is kept in demos/ with the switches and the player files of the run
// that recorded it, so a later build must still play it the same way. After a change that
// moves a road on purpose (or a new product version), record them again with
//   VELM_RECORD_DEMOS=1 ctest -R test_game_recorded_runs
// and commit the new files. The golden pictures of GoldenScreenTest.cpp are made from the kept
// simple road: make them again after it (VELM_RECORD_GOLDENS=1, see there).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "tests/game/run/PlayerScripts.h"
#include "tests/game/run/RunSupport.h"

namespace {

using runtest::PlayerRun;
using runtest::RunHome;

struct Outcome {
    int exitCode = -1;
    std::vector<std::string> trace;
    std::map<std::string, std::string> files;
    bool timedOut = false;
    bool finished = false;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

// One run in a fresh home: recorded into `demo` by the scripted player, or played from it.
Outcome RunRoad(bool adventure, bool record, const std::string& demo) {
    const RunHome home;
    runtest::Watchdog watchdog(600, record ? "a recorded road" : "a played road");
    Outcome outcome;
    runtest::ScriptedPlayer player(adventure);
    {
        PlayerRun run;
        run.afterLoading = adventure ? runtest::ShortAdventure : runtest::ShortSimple;
        run.everyUpdate = runtest::CloseLevelComplete;
        if (record) run.script = [&player](PlayerRun& r) { player(r); };
        outcome.exitCode = run.Run((record ? "-record" : "-play") + std::string(" \"-demofile=") + demo + "\"");
        outcome.trace = run.trace;
        outcome.timedOut = run.timedOut;
    }
    outcome.finished = player.Finished();
    outcome.files = home.PlayerFiles();
    return outcome;
}

std::string FixturePath(const std::string& name) { return runtest::FixtureFolder() + "/" + name; }

// The product version text a demo file was recorded by.
std::string RecordedVersion(const std::string& demo) {
    const std::string bytes = runtest::ReadBytes(demo);
    if (bytes.size() < 14) return std::string();
    const size_t length = static_cast<uint8_t>(bytes[12]) | (static_cast<size_t>(static_cast<uint8_t>(bytes[13])) << 8);
    return bytes.substr(14, length);
}

std::string CurrentVersion() {
    // In a home with the content: the game reads its texts when it is made.
    const RunHome home;
    PlayerRun app;
    return app.GetProductVersion(std::string());
}

// Keeps a recorded run as the road's fixture: the demo, its switches and its player files.
void KeepAsFixture(const std::string& road, const std::string& demo, const Outcome& outcome) {
    std::error_code ignored;
    std::filesystem::remove_all(FixturePath(road), ignored);
    runtest::WriteBytes(FixturePath(road + ".dmo"), runtest::ReadBytes(demo));
    runtest::WriteBytes(FixturePath(road + ".switches"), Joined(outcome.trace));
    for (const auto& [name, bytes] : outcome.files) runtest::WriteBytes(FixturePath(road + "/" + name), bytes);
}

std::map<std::string, std::string> FixtureFiles(const std::string& road) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FixturePath(road), error))
        files[entry.path().filename().string()] = runtest::ReadBytes(entry.path().string());
    return files;
}

class RecordedRun : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!runtest::HaveContent()) GTEST_SKIP() << "no generated content in " << runtest::ContentFolder();
    }
    bool Adventure() const { return std::string(GetParam()) == "adventure"; }
};

// Recorded now and played back now: the game is deterministic under its demo.
TEST_P(RecordedRun, PlaysBackTheSameAsItWasRecorded) {
    const RunHome demoFolder;
    const std::string demo = demoFolder.Root() + "/road.dmo";
    const Outcome recorded = RunRoad(Adventure(), true, demo);
    ASSERT_FALSE(recorded.timedOut);
    ASSERT_TRUE(recorded.finished) << "the scripted player did not reach the exit; switches:\n"
                                   << Joined(recorded.trace);
    ASSERT_EQ(recorded.exitCode, 0);
    ASSERT_TRUE(std::filesystem::exists(demo));
    EXPECT_TRUE(recorded.files.count("users.dat") == 1);
    EXPECT_TRUE(recorded.files.count("scoretable.dat") == 1);

    const Outcome played = RunRoad(Adventure(), false, demo);
    EXPECT_FALSE(played.timedOut);
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.trace, recorded.trace);
    EXPECT_EQ(played.files, recorded.files);

    if (std::getenv("VELM_RECORD_DEMOS") != nullptr) KeepAsFixture(GetParam(), demo, recorded);
}

// The demo kept from an earlier build plays the same way on this one.
TEST_P(RecordedRun, KeptDemoStillPlays) {
    const std::string road = GetParam();
    const std::string demo = FixturePath(road + ".dmo");
    ASSERT_TRUE(std::filesystem::exists(demo)) << demo << " is missing: record it with VELM_RECORD_DEMOS=1";
    const std::string recordedBy = RecordedVersion(demo);
    const std::string current = CurrentVersion();
    ASSERT_EQ(recordedBy, current) << demo << " was recorded by version '" << recordedBy << "' and this build is '"
                                   << current << "': record the demos again with VELM_RECORD_DEMOS=1";

    const Outcome played = RunRoad(Adventure(), false, demo);
    EXPECT_FALSE(played.timedOut);
    EXPECT_EQ(played.exitCode, 0);
    EXPECT_EQ(played.trace, Lines(runtest::ReadBytes(FixturePath(road + ".switches"))));
    EXPECT_EQ(played.files, FixtureFiles(road));
}

INSTANTIATE_TEST_SUITE_P(Roads, RecordedRun, ::testing::Values("simple", "adventure"));

// A demo from a build of another version is refused with the reader's message naming the
// version it was made for, and the program ends with exit code 1.
TEST(RecordedRunVersion, ADemoOfAnotherVersionEndsWithAClearMessage) {
    if (!runtest::HaveContent()) GTEST_SKIP() << "no generated content";
    const std::string kept = runtest::ReadBytes(FixturePath("simple.dmo"));
    ASSERT_GT(kept.size(), 14u);
    const RunHome folder;
    const std::string demo = folder.Root() + "/old.dmo";
    // The header of the kept demo with the version text "0.9" in place of its own.
    const size_t length = static_cast<uint8_t>(kept[12]) | (static_cast<size_t>(static_cast<uint8_t>(kept[13])) << 8);
    runtest::WriteBytes(demo, kept.substr(0, 12) + std::string("\x03\x00", 2) + "0.9" + kept.substr(14 + length));
    EXPECT_EXIT(
            {
                plat::SetMessageBoxHandlerForTests([](const std::string& text, const std::string&, unsigned) {
                    std::fprintf(stderr, "%s\n", text.c_str());
                    return 1;
                });
                PlayerRun run;
                run.Run("-play \"-demofile=" + demo + "\"");
                std::exit(0);
            },
            ::testing::ExitedWithCode(1), "This demo file appears to be for '0.9'");
}

}  // namespace
