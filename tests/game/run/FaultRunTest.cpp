// Whole runs of the game when something around it goes wrong: a picture of the game's
// resources is missing, the player list is damaged, the disk is full when the game saves, the
// process is killed half-way through a save. Each ends with a clear message or with the
// previous file in place: never a crash, never the player's progress lost.

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "game/shell/ProfileManager.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/SyntheticInput.h"
#include "tests/game/run/PlayerScripts.h"
#include "tests/game/run/RunSupport.h"

namespace {

using runtest::PlayerRun;
using runtest::RunHome;

using runtest::KeptPlayer;

// Up to the main menu, then the window's close button.
int RunToTheMenuAndClose() {
    PlayerRun run;
    bool closed = false;
    run.script = [&closed](PlayerRun& r) {
        if (closed || !r.Shown(Velm::GameScreenId::MainMenu)) return;
        closed = true;
        plat::SynthesizeWindowEvent(*r.GetMainWindow(), plat::SyntheticWindowEvent::Close);
    };
    const int code = run.Run("", 10 * 60 * 1000);
    return run.timedOut ? -1 : code;
}

class FaultRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!runtest::HaveContent()) GTEST_SKIP() << "no generated content in " << runtest::ContentFolder();
    }
    void TearDown() override { plat::SetAtomicWriteFaultForTests(nullptr); }
};

TEST_F(FaultRun, AMissingPictureOfTheGameEndsWithAMessageNamingIt) {
    // The content with one picture of the group the loading thread reads taken away.
    const RunHome scratch;
    const std::string content = scratch.Root() + "/content";
    std::filesystem::copy(runtest::ContentFolder(), content, std::filesystem::copy_options::recursive);
    ASSERT_TRUE(std::filesystem::remove(content + "/images/game/dialogbox.png"));
    std::string messages;
    plat::SetMessageBoxHandlerForTests([&messages](const std::string& text, const std::string&, unsigned) {
        messages += text + "\n";
        return 1;
    });
    int code = -1;
    {
        const RunHome home(content);
        PlayerRun run;
        code = run.Run("", 10 * 60 * 1000);
        EXPECT_FALSE(run.timedOut);
    }
    plat::SetMessageBoxHandlerForTests(nullptr);
    EXPECT_EQ(code, 1);
    EXPECT_NE(messages.find("images/game/dialogbox"), std::string::npos) << messages;
}

TEST_F(FaultRun, ADamagedPlayerListIsRepairedAndTheGameRuns) {
    // Table of damaged lists: cut short, a huge count, names that are not names, noise.
    const std::string kept = KeptPlayer()["users.dat"];
    const std::map<std::string, std::string> lists = {
            {"empty", ""},
            {"cut short", kept.substr(0, 6)},
            {"huge count", std::string("\xFF\xFF\xFF\x7F\0\0\0\0", 8)},
            {"bad name", std::string("\x01\0\0\0\0\0\0\0\x03\0a/b", 13)},
            {"noise", std::string(300, '\xA5')},
    };
    for (const auto& [what, bytes] : lists) {
        SCOPED_TRACE(what);
        const RunHome home;
        runtest::PlantKeptPlayer(home);
        runtest::WriteBytes(home.DataFolder() + "/users.dat", bytes);
        runtest::WriteBytes(home.DataFolder() + "/scoretable.dat", bytes);
        EXPECT_EQ(RunToTheMenuAndClose(), 0);
        // What is left loads, nothing was written outside the data folder (a listed name that
        // makes no file name gets no file), and the player's own file, named by nothing now,
        // is untouched.
        ProfileManager_t profiles;
        profiles.Load(home.DataFolder() + "/users.dat");
        for (const auto& entry : std::filesystem::directory_iterator(home.DataFolder()))
            EXPECT_TRUE(entry.is_regular_file()) << entry.path();
        EXPECT_EQ(runtest::ReadBytes(home.DataFolder() + "/Road.dat"), KeptPlayer()["Road.dat"]);
    }
}

std::atomic<int> gFailedWrites{0};

TEST_F(FaultRun, AFullDiskAtTheSaveKeepsThePreviousFiles) {
    const RunHome home;
    runtest::PlantKeptPlayer(home);
    gFailedWrites = 0;
    plat::SetAtomicWriteFaultForTests([] {
        ++gFailedWrites;
        return false;
    });
    testing::internal::CaptureStderr();
    const int code = RunToTheMenuAndClose();
    const std::string errors = testing::internal::GetCapturedStderr();
    plat::SetAtomicWriteFaultForTests(nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_GT(gFailedWrites.load(), 0);
    // Every write failed, every previous file is there as it was, and the player was told.
    for (const auto& [name, bytes] : KeptPlayer())
        EXPECT_EQ(runtest::ReadBytes(home.DataFolder() + "/" + name), bytes) << name;
    EXPECT_NE(errors.find("could not be saved"), std::string::npos) << errors;
    // No temporary file is left behind.
    for (const auto& entry : std::filesystem::directory_iterator(home.DataFolder()))
        EXPECT_EQ(entry.path().extension(), ".dat") << entry.path();
}

TEST_F(FaultRun, AProcessKilledDuringASaveLeavesThePreviousFiles) {
    // Earlier runs of this process leave the system's threads behind, so the killed run is a
    // fresh start of this test in a child process; both find the home through the environment.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (std::getenv("VELM_KILLED_RUN_HOME") == nullptr) {
        const RunHome made;
        std::filesystem::create_directories(made.Root() + ".kill");
        setenv("VELM_KILLED_RUN_HOME", (made.Root() + ".kill").c_str(), 1);
    }
    const RunHome home(runtest::ContentFolder(), std::getenv("VELM_KILLED_RUN_HOME"));
    runtest::PlantKeptPlayer(home);
    EXPECT_EXIT(
            {
                plat::SetAtomicWriteFaultForTests([]() -> bool {
                    std::fprintf(stderr, "killed while saving\n");
                    _exit(9);
                });
                RunToTheMenuAndClose();
                std::exit(0);
            },
            ::testing::ExitedWithCode(9), "killed while saving");
    for (const auto& [name, bytes] : KeptPlayer())
        EXPECT_EQ(runtest::ReadBytes(home.DataFolder() + "/" + name), bytes) << name;
    // The next start finds the player as they were.
    EXPECT_EQ(RunToTheMenuAndClose(), 0);
    ProfileManager_t profiles;
    ASSERT_TRUE(profiles.Load(home.DataFolder() + "/users.dat"));
    ASSERT_EQ(profiles.GetProfileCount(), 1);
    EXPECT_EQ(profiles.GetProfile(0)->name, "Road");
    EXPECT_TRUE(profiles.GetProfile(0)->damagedFileImage.empty());
    unsetenv("VELM_KILLED_RUN_HOME");
}

}  // namespace
