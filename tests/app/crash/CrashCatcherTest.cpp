// The crash report's parts that do not need a real fault.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/VelmAppBase.h"
#include "app/crash/CrashCatcher.h"
#include "app/crash/CrashHost.h"
#include "platform/FaultHandler.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "tests/platform/EnvGuard.h"
#include "tests/platform/TempDir.h"

namespace {

TEST(HexStringToIntTest, AcceptsOnlyHexDigits) {
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    };
    const Case kCases[] = {
            {"", true, 0},
            {"0001", true, 1},
            {"00401a2F", true, 0x00401A2F},
            {"FFFFFFFF", true, 0xFFFFFFFF},
            {"12 4", false, 0},
            {"0x12", false, 0},
            {"-1", false, 0},
            {"g", false, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        uint32_t value = 12345;
        EXPECT_EQ(Velm::HexStringToInt(c.text, &value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(CrashCatcherTest, ExceptionNamesComeFromTheTable) {
    std::string name;
    EXPECT_TRUE(Velm::CrashCatcher::GetExceptionName(0xC0000005, &name));
    EXPECT_EQ(name, "Access Violation");
    EXPECT_TRUE(Velm::CrashCatcher::GetExceptionName(0x00000000, &name));
    EXPECT_EQ(name, "Wait 0");
    EXPECT_TRUE(Velm::CrashCatcher::GetExceptionName(0xC000013A, &name));
    EXPECT_EQ(name, "Ctrl+C Exit");
    EXPECT_FALSE(Velm::CrashCatcher::GetExceptionName(0x12345678, &name));
    EXPECT_FALSE(Velm::CrashCatcher::GetExceptionName(0xFFFFFFFF, &name));
}

TEST(CrashCatcherTest, AFaultOutsideTheTableGivesTheUnknownForm) {
    plat::FaultInfo fault;
    fault.signal = 7;
    fault.kind = plat::FaultKind::Other;
    fault.programCounter = 0;
    fault.threadId = 0x2A;
    std::string title;
    const std::string report = Velm::CrashCatcher::BuildReport(fault, &title);
    EXPECT_EQ(report.substr(0, report.find("\r\n")),
              "Unknown exception: (code 0xe0000007) at address 00000000 in thread 2A");
    EXPECT_NE(report.find("\r\nModule: \r\nLogical Address: 0000:00000000\r\n\r\n"), std::string::npos);
    EXPECT_EQ(title, "Exception at 0000:00000000");
}

// A public-symbol line: section, colon, offset, blanks to index 21, the name.
std::string SymbolLine(const char* section, const char* offset, const char* name) {
    return std::string(" ") + section + ":" + offset + "       " + name + "  00401000 f   main.obj\n";
}

const std::string kMap = std::string(" Address         Publics by Value\n") +
                         SymbolLine("0001", "00000010", "_Z5firstv") + SymbolLine("0001", "00000100", "_Z6secondi") +
                         SymbolLine("0002", "00000000", "dataStart") +
                         "Line numbers for .\\Debug\\main.obj(C:\\src\\main.cpp) segment .text\n\n"
                         // 80 characters: four entries of 20.
                         "    10 0001:00000010    11 0001:00000018    20 0001:00000100    21 0001:00000108\n";

TEST(CrashCatcherMapTest, AddressesGetTheSymbolAtOrBelowAndTheLine) {
    struct Case {
        const char* why;
        const char* address;
        const char* expected;
    };
    const Case kCases[] = {
            {"exact symbol", "0001:00000010", "first()\r\n    C:\\src\\main.cpp line 10 +0x0"},
            {"inside a function", "0001:0000001C", "first()+0xC\r\n    C:\\src\\main.cpp line 11 +0x4"},
            {"second function", "0001:00000104", "second(int)+0x4\r\n    C:\\src\\main.cpp line 20 +0x4"},
            // Below the first symbol there is nothing at or below the address.
            {"below every symbol", "0001:00000004", "0001:00000004"},
            // Past the last symbol of the whole map nothing is known.
            {"past the last symbol", "0002:00000010", "0002:00000010"},
            {"other section", "0003:00000000", "0003:00000000"},
            {"no logical address", "00G1:00000010", "00G1:00000010"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        std::string report = std::string("at ") + c.address + " end";
        Velm::CrashCatcher::AddMapFileInfo(report, kMap);
        EXPECT_EQ(report, std::string("at ") + c.expected + " end");
    }
}

TEST(CrashCatcherMapTest, MalformedLinesAddNothing) {
    struct Case {
        const char* why;
        std::string map;
        const char* expected;
    };
    const std::string lineHeader = "Line numbers for x.obj(x.cpp)\n";
    // clang-format off
    const Case kCases[] = {
            {"index 20 is not a blank", " 0001:00000010      X_Z5firstv  00401000\n", "0001:00000010"},
            {"no blank after the name", " 0001:00000010       _Z5firstv\n", "0001:00000010"},
            {"79-character line entries",
             SymbolLine("0001", "00000000", "base") + SymbolLine("0001", "00001000", "next") + lineHeader +
                 "    10 0001:00000010    11 0001:00000018    20 0001:00000100    21 0001:0000010\n",
             "base+0x10"},
            {"81-character line entries",
             SymbolLine("0001", "00000000", "base") + SymbolLine("0001", "00001000", "next") + lineHeader +
                 "    10 0001:00000010    11 0001:00000018    20 0001:00000100    21 0001:000001088\n",
             "base+0x10"},
            {"empty", "", "0001:00000010"},
    };
    // clang-format on
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        std::string report = "0001:00000010";
        Velm::CrashCatcher::AddMapFileInfo(report, c.map);
        EXPECT_EQ(report, c.expected);
    }
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class NamedApp : public Velm::VelmAppBase {
public:
    NamedApp() {
        mCompanyFolderName = "Maker";
        mProductName = "Game";
    }
};

// The report goes to the player's data folder (made when missing), each report replacing the
// last; never to the current folder, which holds the game's content. Without an application
// it goes to the temporary folder.
TEST(CrashCatcherTest, CrashFileGoesToThePlayersDataFolder) {
    velmtest::TempDir content;
    velmtest::TempDir home;
    velmtest::TempDir temp;
    velmtest::EnvGuard env;
    env.Set("XDG_DATA_HOME", home.Path().c_str());
    env.Set("TMPDIR", temp.Path().c_str());
    const std::string previous = plat::CurrentDirectory();
    ASSERT_TRUE(plat::SetCurrentFolder(content.Path()));
    {
        NamedApp app;
        EXPECT_EQ(Velm::CrashCatcher::CrashFileFolder(), home.Path() + "/Maker/Game/");
        EXPECT_TRUE(Velm::CrashCatcher::WriteCrashFile("first report\r\nwith two lines\r\n"));
        EXPECT_TRUE(Velm::CrashCatcher::WriteCrashFile("second\r\n"));
    }
    EXPECT_TRUE(Velm::CrashCatcher::WriteCrashFile("no application\r\n"));
    plat::SetCurrentFolder(previous);
    EXPECT_EQ(ReadText(home / "Maker/Game/crash.txt"), "second\r\n\r\n");
    EXPECT_EQ(ReadText(temp / "crash.txt"), "no application\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(content / "crash.txt"));
}

class CrashApp : public Velm::VelmAppBase {
public:
    bool mCursorEnforced = false;
    void EnforceCursor() override { mCursorEnforced = true; }
};

TEST(CrashCatcherAppTest, ApplicationRegistersItselfAndWithdrawsWhenDestroyed) {
    {
        CrashApp app;
        Velm::CrashHost* host = Velm::CrashCatcher::GetHost();
        ASSERT_NE(host, nullptr);
        app.mMusicVolume = 0.5;
        app.PrepareForCrashReport();
        EXPECT_TRUE(app.mCrashed.load());
        EXPECT_TRUE(app.mCursorEnforced);
        EXPECT_EQ(app.GetMusicVolume(), 0.0);

        app.mProductName = "Prod";
        app.mProductVersion = "1.2";
        // The catcher reads the application's own fields.
        EXPECT_EQ(host->GetProductName(), "Prod");
        EXPECT_EQ(host->GetProductVersion(), "1.2");
        app.mIsWindowed = false;
        const std::string text = app.GetProgramInfoText();
        EXPECT_EQ(text.find("Product: Prod\r\nVersion: 1.2\r\nTime Loaded: "), 0u);
        EXPECT_NE(text.find("Time Loaded: 00:00:0"), std::string::npos);
        EXPECT_NE(text.find("\r\nFullscreen: Yes\r\nPrimary ThreadId: "), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(app.GetCrashReportFile(), "");
    }
    EXPECT_EQ(Velm::CrashCatcher::GetHost(), nullptr);
}

}  // namespace
