#include "game/shell/TextTable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/util/IniFile.h"
#include "tests/game/shell/TestFiles.h"

namespace {

// The framework's string table: a few ids, and a record of properties loads.
class FakeStringTable : public StringTableSource {
public:
    std::string GetString(const std::string& id) override {
        const auto it = strings.find(id);
        return it != strings.end() ? it->second : std::string();
    }
    bool LoadProperties(const std::string& file) override {
        loaded.push_back(file);
        strings["FromProperties"] = "properties text";
        return true;
    }

    std::map<std::string, std::string> strings;
    std::vector<std::string> loaded;
};

IniFile_t ParseTerms(const std::string& text) {
    IniFile_t terms;
    terms.Parse(text.data(), text.size(), true, "termins.txt");
    return terms;
}

TEST(TextTable, LookupsAndFallbacks) {
    FakeStringTable strings;
    strings.strings["DIALOG_BUTTON_OK"] = "OK";
    strings.strings["Title"] = "string table title";
    strings.strings[""] = "";
    TextTable_t table;
    table.SetStringTable(&strings);
    table.Load(
            ParseTerms("[Main]\r\n"
                       "Title =  Hello  \r\n"
                       "Quit=Leave\r\n"
                       "Empty=\r\n"
                       "Tabbed=\tText\t\r\n"
                       "[Other]\r\n"
                       "quit=leave quietly\r\n"
                       "[B]\r\nX=from B\r\n"
                       "[a]\r\nX=from a\r\n"));
    EXPECT_TRUE(strings.loaded.empty());

    struct Case {
        const char* why;
        const char* key;
        const char* text;
    };
    const Case kCases[] = {
            {"value trimmed at both ends", "Title", "Hello"},
            {"white space of every kind trimmed", "Tabbed", "Text"},
            {"keys are case-sensitive", "Quit", "Leave"},
            {"the other letter case is another key", "quit", "leave quietly"},
            {"an empty text is a text, not a miss", "Empty", ""},
            {"later section in case-insensitive order wins", "X", "from B"},
            {"missing key: the string table", "DIALOG_BUTTON_OK", "OK"},
            {"missing everywhere: the key itself", "NoSuchKey", "NoSuchKey"},
            {"letter case of a key is not folded for the fallback", "title", "title"},
            {"the empty key", "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(table.Lookup(c.key), c.text);
    }
}

TEST(TextTable, WithoutSectionsTheFrameworkPropertiesFileIsLoaded) {
    struct Case {
        const char* why;
        std::string text;
    };
    const Case kCases[] = {
            {"empty file", ""},
            {"no header line", "Title=Hello\r\n"},
            {"no header line, bare line feeds", "Title=Hello\nOther=1\n"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        FakeStringTable strings;
        TextTable_t table;
        table.SetStringTable(&strings);
        EXPECT_TRUE(table.Load(ParseTerms(c.text)));
        EXPECT_EQ(strings.loaded, std::vector<std::string>{"default.xml"});
        EXPECT_EQ(table.Lookup("FromProperties"), "properties text");
        EXPECT_EQ(table.Lookup("Title"), "Title");
    }
}

TEST(TextTable, LoadsFromFileAndMissingFileFallsBack) {
    TempDir dir;
    WriteIni(dir.Path("termins.txt"), {"; for translators", "[Menu]", "Play = Play now", "[Dialogs]", "Ok=Fine"});
    FakeStringTable strings;
    TextTable_t table;
    table.SetStringTable(&strings);
    EXPECT_TRUE(table.Load(dir.Path("termins.txt")));
    EXPECT_EQ(table.Lookup("Play"), "Play now");
    EXPECT_EQ(table.Lookup("Ok"), "Fine");
    EXPECT_TRUE(strings.loaded.empty());

    TextTable_t missing;
    missing.SetStringTable(&strings);
    EXPECT_TRUE(missing.Load(dir.Path("no-such-file.txt")));
    EXPECT_EQ(strings.loaded, std::vector<std::string>{"default.xml"});

    // Without a string table at all a missing file leaves keys as texts.
    TextTable_t alone;
    EXPECT_TRUE(alone.Load(dir.Path("no-such-file.txt")));
    EXPECT_EQ(alone.Lookup("Play"), "Play");
}

TEST(TextTable, InstanceIsCreatedOnFirstUseAndDestroyed) {
    TextTable_t* first = TextTable_t::Instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TextTable_t::Instance(), first);
    first->Load(ParseTerms("[Main]\r\nKey=Value\r\n"));
    EXPECT_EQ(TextTable_t::Instance()->Lookup("Key"), "Value");
    TextTable_t::Destroy();
    EXPECT_EQ(TextTable_t::Instance()->Lookup("Key"), "Key");
    TextTable_t::Destroy();
}

}  // namespace
