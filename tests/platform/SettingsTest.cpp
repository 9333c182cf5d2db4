#include "platform/Settings.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "tests/platform/TempDir.h"

namespace {

const char kGame[] = "SOFTWARE\\Company\\Game";

std::string FileText(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

void PutText(const std::string& path, const std::string& text) {
    ASSERT_TRUE(plat::WriteFileAtomic(path, text.data(), text.size()));
}

}  // namespace

TEST(SettingsTest, ValuesOfEveryTypeSurviveAReopen) {
    velmtest::TempDir dir;
    const std::string path = dir / "config/velm/registry.txt";  // folders made on first write
    const std::string oddText = std::string("a \"quoted\" \\ path\r\nline\x01\x93\xE9") + std::string(1, '\0');
    const std::vector<uint8_t> blob = {0x00, 0xFF, 0x10, 0x7F};
    const uint8_t other[] = {'A', 0};
    {
        plat::Settings s(path);
        EXPECT_TRUE(s.SetDword(kGame, "MusicVolume", 40));
        EXPECT_TRUE(s.SetDword(kGame, "PreferredX", 0xFFFFFFFFu));
        EXPECT_TRUE(s.SetString(kGame, "DemoJumpTime", oddText));
        EXPECT_TRUE(s.SetBinary(std::string(kGame) + "\\Test3D", "Card", blob));
        EXPECT_TRUE(s.SetValue(kGame, "Expand", 2, other, sizeof other));
        EXPECT_TRUE(s.SetString("Odd]Key%\\Sub", "", "default value"));
    }
    plat::Settings s(path);
    uint32_t n = 0;
    EXPECT_TRUE(s.GetDword(kGame, "MusicVolume", &n));
    EXPECT_EQ(n, 40u);
    EXPECT_TRUE(s.GetDword(kGame, "PreferredX", &n));
    EXPECT_EQ(n, 0xFFFFFFFFu);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_TRUE(s.GetValue(kGame, "DemoJumpTime", &type, &data));
    EXPECT_EQ(type, plat::kRegSz);
    EXPECT_EQ(std::string(data.begin(), data.end()), oddText);
    std::string text;
    EXPECT_TRUE(s.GetString(kGame, "DemoJumpTime", &text));
    EXPECT_EQ(text, oddText.substr(0, oddText.size() - 1));  // up to the NUL
    std::vector<uint8_t> readBlob;
    EXPECT_TRUE(s.GetBinary(std::string(kGame) + "\\Test3D", "Card", &readBlob));
    EXPECT_EQ(readBlob, blob);
    EXPECT_TRUE(s.GetValue(kGame, "Expand", &type, &data));
    EXPECT_EQ(type, 2u);
    EXPECT_EQ(data, std::vector<uint8_t>(other, other + 2));
    EXPECT_TRUE(s.GetString("Odd]Key%\\Sub", "", &text));
    EXPECT_EQ(text, "default value");
    EXPECT_TRUE(s.KeyExists("SOFTWARE\\Company"));  // keys above a value exist too
}

TEST(SettingsTest, TypedReadsRejectOtherTypes) {
    velmtest::TempDir dir;
    plat::Settings s(dir / "r.txt");
    ASSERT_TRUE(s.SetString(kGame, "Is3D", "1"));
    ASSERT_TRUE(s.SetValue(kGame, "Short", plat::kRegDword, "ab", 2));
    uint32_t n = 7;
    std::vector<uint8_t> data;
    std::string text;
    EXPECT_FALSE(s.GetDword(kGame, "Is3D", &n));
    EXPECT_FALSE(s.GetBinary(kGame, "Is3D", &data));
    EXPECT_FALSE(s.GetDword(kGame, "Short", &n));
    EXPECT_FALSE(s.GetString(kGame, "Short", &text));
    EXPECT_EQ(n, 7u);
}

TEST(SettingsTest, NamesIgnoreCase) {
    velmtest::TempDir dir;
    const std::string path = dir / "r.txt";
    plat::Settings s(path);
    ASSERT_TRUE(s.SetDword(kGame, "MusicVolume", 40));
    ASSERT_TRUE(s.SetDword("software\\COMPANY\\game\\", "MUSICVOLUME", 55));
    uint32_t n = 0;
    EXPECT_TRUE(s.GetDword("\\Software\\Company\\GAME", "musicvolume", &n));
    EXPECT_EQ(n, 55u);
    // One key and one value, under the case first written.
    const std::string text = FileText(path);
    EXPECT_NE(text.find("[SOFTWARE\\Company\\Game]\n\"MusicVolume\"=dword:00000037\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("MUSICVOLUME"), std::string::npos);
    EXPECT_EQ(text.find("game]"), std::string::npos);
}

TEST(SettingsTest, MissingFileMeansDefaultsAndReadsCreateNothing) {
    velmtest::TempDir dir;
    plat::Settings s(dir / "none/registry.txt");
    uint32_t n = 123;
    EXPECT_FALSE(s.GetDword(kGame, "MusicVolume", &n));
    EXPECT_EQ(n, 123u);
    EXPECT_FALSE(s.KeyExists(kGame));
    EXPECT_FALSE(s.DeleteValue(kGame, "MusicVolume"));
    EXPECT_FALSE(s.DeleteKey(kGame));
    EXPECT_FALSE(plat::FileExists(dir / "none"));
}

TEST(SettingsTest, JunkLinesAreSkippedAndTheRestStillCounts) {
    velmtest::TempDir dir;
    const std::string path = dir / "r.txt";
    PutText(path,
            "\"Orphan\"=dword:00000001\r\n"  // before any key
            "garbage without structure\r\n"
            "[SOFTWARE\\Company\\Game]\r\n"
            "\"MusicVolume\"=dword:00000028\r\n"
            "\"Bad1\"=dword:xyz\r\n"
            "\"Bad2\"=dword:123456789\r\n"
            "\"Bad3\"=hex:0,1\r\n"
            "\"Bad4\"=\"unterminated\r\n"
            "\"Bad5\"=\"bad escape \\q\"\r\n"
            "\"Bad6\"=hex(x):00\r\n"
            "\"Bad7\"=mystery:1\r\n"
            "\"Bad8\" dword:00000001\r\n"
            "\"SfxVolume\"=dword:50  \r\n"
            "[Broken\r\n"
            "\"Lost\"=dword:00000001\r\n"
            "\xFF\xFE\x02\x01 binary junk\r\n"
            "[SOFTWARE\\Company\\Game\\Dialogs]\n"
            "\"Jump\"=\"1:30\"\n"
            "\"Empty\"=hex:\n");
    plat::Settings s(path);
    uint32_t n = 0;
    EXPECT_TRUE(s.GetDword(kGame, "MusicVolume", &n));
    EXPECT_EQ(n, 40u);
    EXPECT_TRUE(s.GetDword(kGame, "SfxVolume", &n));
    EXPECT_EQ(n, 0x50u);
    std::string text;
    EXPECT_TRUE(s.GetString(std::string(kGame) + "\\Dialogs", "Jump", &text));
    EXPECT_EQ(text, "1:30");
    std::vector<uint8_t> data{1};
    EXPECT_TRUE(s.GetBinary(std::string(kGame) + "\\Dialogs", "Empty", &data));
    EXPECT_TRUE(data.empty());
    for (const char* name : {"Bad1", "Bad2", "Bad3", "Bad4", "Bad5", "Bad6", "Bad7", "Bad8"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(s.GetValue(kGame, name, nullptr, nullptr));
    }
    EXPECT_FALSE(s.GetValue("", "Orphan", nullptr, nullptr));
    EXPECT_FALSE(s.KeyExists("Broken"));
    // The next write keeps what was readable.
    ASSERT_TRUE(s.SetDword(kGame, "Muted", 0));
    plat::Settings again(path);
    EXPECT_TRUE(again.GetDword(kGame, "MusicVolume", &n));
    EXPECT_EQ(n, 40u);
}

TEST(SettingsTest, FailedWriteIsReportedAndUndone) {
    velmtest::TempDir dir;
    const std::string path = dir / "r.txt";
    plat::Settings s(path);
    ASSERT_TRUE(s.SetDword(kGame, "MusicVolume", 40));
    const std::string before = FileText(path);

    plat::SetAtomicWriteFaultForTests([] { return false; });
    const bool wrote = s.SetDword(kGame, "MusicVolume", 99);
    const bool erased = s.DeleteKey(kGame);
    plat::SetAtomicWriteFaultForTests(nullptr);

    EXPECT_FALSE(wrote);
    EXPECT_FALSE(erased);
    EXPECT_FALSE(s.LastError().empty());
    uint32_t n = 0;
    EXPECT_TRUE(s.GetDword(kGame, "MusicVolume", &n));
    EXPECT_EQ(n, 40u);
    EXPECT_EQ(FileText(path), before);

    // A store whose folder cannot exist (a file stands in its way).
    PutText(dir / "blocker", "x");
    plat::Settings blocked(dir / "blocker/registry.txt");
    EXPECT_FALSE(blocked.SetDword(kGame, "MusicVolume", 1));
    EXPECT_FALSE(blocked.LastError().empty());
    EXPECT_FALSE(blocked.GetDword(kGame, "MusicVolume", &n));
}

TEST(SettingsTest, FileSurvivesAKillBetweenWrites) {
    velmtest::TempDir dir;
    const std::string path = dir / "r.txt";
    {
        plat::Settings s(path);
        ASSERT_TRUE(s.SetDword(kGame, "InProgress", 1));
        ASSERT_TRUE(s.SetString(kGame, "Padding", std::string(50000, 'p')));
    }
    EXPECT_EXIT(
            {
                plat::Settings s(path);
                plat::SetAtomicWriteFaultForTests([]() -> bool { std::_Exit(3); });
                s.SetDword(kGame, "InProgress", 0);
            },
            ::testing::ExitedWithCode(3), "");
    plat::Settings s(path);
    uint32_t n = 0;
    EXPECT_TRUE(s.GetDword(kGame, "InProgress", &n));
    EXPECT_EQ(n, 1u);
    std::string padding;
    EXPECT_TRUE(s.GetString(kGame, "Padding", &padding));
    EXPECT_EQ(padding.size(), 50000u);
    EXPECT_TRUE(s.SetDword(kGame, "InProgress", 0));
}

TEST(SettingsTest, KeysAndValuesAreErased) {
    velmtest::TempDir dir;
    const std::string path = dir / "r.txt";
    plat::Settings s(path);
    ASSERT_TRUE(s.SetDword(kGame, "A", 1));
    ASSERT_TRUE(s.SetDword(std::string(kGame) + "\\Sub\\Deeper", "B", 2));
    ASSERT_TRUE(s.SetDword("SOFTWARE\\Company\\GameTwo", "C", 3));
    ASSERT_TRUE(s.CreateKey("SOFTWARE\\Empty"));

    EXPECT_TRUE(s.DeleteValue(kGame, "a"));
    EXPECT_FALSE(s.DeleteValue(kGame, "a"));
    EXPECT_TRUE(s.DeleteKey("software\\company\\game\\SUB"));
    EXPECT_FALSE(s.KeyExists(std::string(kGame) + "\\Sub\\Deeper"));
    EXPECT_TRUE(s.KeyExists(kGame));

    plat::Settings reopened(path);
    EXPECT_FALSE(reopened.GetValue(kGame, "A", nullptr, nullptr));
    EXPECT_FALSE(reopened.KeyExists(std::string(kGame) + "\\Sub"));
    EXPECT_TRUE(reopened.KeyExists("SOFTWARE\\Empty"));
    uint32_t n = 0;
    EXPECT_TRUE(reopened.GetDword("SOFTWARE\\Company\\GameTwo", "C", &n));  // a name that only starts alike
    EXPECT_EQ(n, 3u);
}

TEST(SettingsTest, DefaultPathFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/some/config", 1);
    EXPECT_EQ(plat::Settings::DefaultPath(), "/some/config/velm/registry.txt");
    if (old) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(SettingsTest, WritingTheSameValueAgainLeavesTheFileAlone) {
    velmtest::TempDir dir;
    const std::string path = dir / "registry.txt";
    plat::Settings s(path);
    ASSERT_TRUE(s.SetString(kGame, "Warning", "Low video memory."));
    ASSERT_TRUE(s.SetDword(kGame, "Version", 2));
    PutText(path, "; replaced behind the store's back\n");
    EXPECT_TRUE(s.SetString(kGame, "Warning", "Low video memory."));
    EXPECT_TRUE(s.SetDword(kGame, "Version", 2));
    EXPECT_EQ(FileText(path), "; replaced behind the store's back\n");  // nothing was written
    EXPECT_TRUE(s.SetDword(kGame, "Version", 3));
    EXPECT_NE(FileText(path).find("\"Version\"=dword:00000003"), std::string::npos);
}
