#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/util/IniFile.h"
#include "game/shell/ui/IniWriter.h"
#include "game/shell/ui/UiDescription.h"
#include "tests/game/shell/ui/UiTestSupport.h"

namespace UiTest {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

class SavePositionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("velm-ui-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        file = (dir / "screen.txt").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    UiEnvironment env;
    fs::path dir;
    std::string file;
};

TEST_F(SavePositionsTest, RoundTripKeepsWidgetsCommentsAndCrlf) {
    WriteAll(file, Crlf(";the play button\n"
                        "[Play]\n"
                        "Type=Button\n"
                        "ID=2\n"
                        "; where it sits\n"
                        "Position=1,2,3,4\n"
                        "[anchor]\n"
                        "Type=Point\n"
                        "X=7\n"
                        "[Back]\n"
                        "Type=Link\n"
                        "ID=1\n"
                        "DoFinger=1\n"
                        "Position=0,0,10,10\n"));
    RecordingScreen screen;
    {
        Velm::UiDescription_t ui(file, &screen);
        ASSERT_EQ(ui.GetWidgets().size(), 2u);
        ui.FindWidget("Play")->Resize(100, 200, 50, 25);
        ui.FindWidget("Back")->Move(-5, 6);
        ASSERT_TRUE(ui.SavePositions());
    }
    const std::string bytes = ReadAll(file);
    EXPECT_EQ(bytes,
              "[anchor]\r\nType=Point\r\nX=7\r\n"
              "[Back]\r\nDoFinger=1\r\nID=1\r\nPosition=-5,6,10,10\r\nType=Link\r\n"
              ";the play button\r\n[Play]\r\nID=2\r\n; where it sits\r\nPosition=100,200,50,25\r\nType=Button\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at " << i;
        }
    }

    EXPECT_FALSE(fs::exists(file + ".tmp"));

    // Read back: the same widgets at their saved places.
    Velm::UiDescription_t again(file, &screen);
    ASSERT_EQ(again.GetWidgets().size(), 2u);
    EXPECT_EQ(again.FindWidget("Play")->GetRect(), Velm::Rect(100, 200, 50, 25));
    EXPECT_EQ(again.FindWidget("Back")->GetRect(), Velm::Rect(-5, 6, 10, 10));
    ASSERT_NE(again.FindPoint("anchor"), nullptr);
    EXPECT_EQ(again.FindPoint("anchor")->x, 7);
}

TEST_F(SavePositionsTest, UnwritableOrEmptyFileChangesNothing) {
    RecordingScreen screen;
    const std::string text = Crlf("[Play]\nType=Button\n");
    Velm::UiDescription_t notOnDisk(text.data(), text.size(), (dir / "missing" / "x.txt").string(), &screen);
    EXPECT_FALSE(notOnDisk.SavePositions());
    EXPECT_FALSE(fs::exists(dir / "missing"));

    IniFile_t ini;
    ini.GetSection("A").SetValue("k", "v");
    EXPECT_FALSE(WriteIniFile(ini, (dir / "no-dir" / "out.txt").string()));
    // A target that cannot be replaced stays as it was, with no leftovers.
    fs::create_directories(dir / "taken");
    EXPECT_FALSE(WriteIniFile(ini, (dir / "taken").string()));
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    EXPECT_FALSE(fs::exists(dir / "taken.tmp"));
}

TEST(IniWriter, KeysWithoutNameAreNotWritten) {
    IniFile_t ini;
    ini.GetSection("S").SetValue("", "lost");
    ini.GetSection("S").SetValue("kept", " spaced ");
    const fs::path path = fs::temp_directory_path() / "velm-ui-iniwriter.txt";
    ASSERT_TRUE(WriteIniFile(ini, path.string()));
    EXPECT_EQ(ReadAll(path), "[S]\r\nkept= spaced \r\n");
    fs::remove(path);
}

}  // namespace
}  // namespace UiTest
