#include "resources/PropertiesParser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resources/base/Buffer.h"

namespace {

struct Tables final : Velm::PropertiesReceiver {
    void SetString(const std::string& id, const std::wstring& text) override { strings[id] = text; }
    void SetBoolean(const std::string& id, bool value) override { booleans[id] = value; }
    void SetInteger(const std::string& id, int value) override { integers[id] = value; }
    void SetDouble(const std::string& id, double value) override { doubles[id] = value; }
    void InsertStringArray(const std::string& id, const std::vector<std::string>& values) override {
        arrays.insert({id, values});
    }
    std::map<std::string, std::wstring> strings;
    std::map<std::string, bool> booleans;
    std::map<std::string, int> integers;
    std::map<std::string, double> doubles;
    std::map<std::string, std::vector<std::string>> arrays;
};

bool Parse(const std::string& text, Tables& tables, std::string* error = nullptr) {
    Velm::Buffer buffer;
    buffer.SetData(text.data(), static_cast<int>(text.size()));
    Velm::PropertiesParser parser(&tables);
    const bool ok = parser.ParsePropertiesBuffer(buffer);
    if (error != nullptr) *error = parser.GetErrorText();
    EXPECT_EQ(ok, !parser.HadError());
    return ok;
}

TEST(PropertiesParserTest, StoresEveryKind) {
    Tables t;
    const std::string text =
            "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n"
            "<Properties>\r\n"
            "  <String id=\"UNABLE_OPEN_PROPERTIES\">A &amp; B</String>\r\n"
            "  <String id=\"EMPTY\"></String>\r\n"
            "  <String id=\"SPLIT\">one<!-- c -->two</String>\r\n"
            "  <String id=\"UTF8\">caf\xC3\xA9</String>\r\n"
            "  <StringArray id=\"LIST\"><String>a</String><String>b c</String></StringArray>\r\n"
            "  <StringArray id=\"LIST\"><String>ignored</String></StringArray>\r\n"
            "  <Boolean id=\"T1\">yes</Boolean><Boolean id=\"T2\">On</Boolean><Boolean id=\"T3\">1</Boolean>\r\n"
            "  <Boolean id=\"F1\">Off</Boolean><Boolean id=\"F2\">false</Boolean><Boolean id=\"F3\">NO</Boolean>\r\n"
            "  <Integer id=\"HEX\">0x1F</Integer><Integer id=\"NEG\">-12</Integer>\r\n"
            "  <Double id=\"D\">-1.25</Double>\r\n"
            "  <Integer>7</Integer>\r\n"
            "</Properties>\r\n"
            "<Properties><Integer id=\"NEG\">5</Integer></Properties>\r\n";
    std::string error;
    ASSERT_TRUE(Parse(text, t, &error)) << error;
    EXPECT_EQ(t.strings["UNABLE_OPEN_PROPERTIES"], L"A & B");
    EXPECT_EQ(t.strings.count("EMPTY"), 1u);
    EXPECT_EQ(t.strings["EMPTY"], L"");
    EXPECT_EQ(t.strings["SPLIT"], L"two");
    EXPECT_EQ(t.strings["UTF8"], L"caf\xE9");
    EXPECT_EQ(t.arrays["LIST"], (std::vector<std::string>{"a", "b c"}));
    for (const char* id : {"T1", "T2", "T3"}) EXPECT_TRUE(t.booleans.at(id)) << id;
    for (const char* id : {"F1", "F2", "F3"}) EXPECT_FALSE(t.booleans.at(id)) << id;
    EXPECT_EQ(t.integers["HEX"], 31);
    EXPECT_EQ(t.integers["NEG"], 5);
    EXPECT_EQ(t.integers[""], 7);  // a missing id is the empty id
    EXPECT_DOUBLE_EQ(t.doubles["D"], -1.25);
}

TEST(PropertiesParserTest, ErrorRows) {
    struct Case {
        const char* why;
        std::string text;
        const char* error;
    };
    // clang-format off
    const Case cases[] = {
            {"bad boolean", "<Properties>\n<Boolean id=\"b\">maybe</Boolean>", "Invalid Boolean Value: 'MAYBE' on Line 2"},
            {"empty integer", "<Properties><Integer id=\"i\"></Integer></Properties>", "Invalid Integer Value: '' on Line 1"},
            {"bad integer", "<Properties><Integer id=\"i\">12a</Integer></Properties>",
             "Invalid Integer Value: '12a' on Line 1"},
            {"bad double", "<Properties><Double id=\"d\">1e5</Double></Properties>", "Invalid Double Value: '1e5' on Line 1"},
            {"unknown top element", "<Settings/>", "Invalid Section 'Settings' on Line 1"},
            {"text at top", "<Properties/>\n\nstray<x/>", "Element Not Expected 'stray' on Line 3"},
            {"unknown value element", "<Properties><Float id=\"f\">1</Float></Properties>",
             "Invalid Section 'Float' on Line 1"},
            {"text among values", "<Properties>junk<String/></Properties>", "Element Not Expected 'junk' on Line 1"},
            {"nested element in a value", "<Properties><String id=\"s\"><b/></String></Properties>",
             "Unexpected Section: 'b' on Line 1"},
            {"foreign child of a string array", "<Properties><StringArray id=\"a\"><Item/></StringArray></Properties>",
             "Invalid Section 'Item' on Line 1"},
            {"text in a string array", "<Properties><StringArray id=\"a\">x</StringArray></Properties>",
             "Element Not Expected 'x' on Line 1"},
            {"XML error", "<Properties>\n<String id=\"s\">x</Strin>", "End 'Strin' Doesn't Match Start 'String' on Line 2"},
            {"document ends early", "<Properties>\n<String id=\"s\">", "Unexpected End of File on Line 2"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Tables t;
        std::string error;
        EXPECT_FALSE(Parse(c.text, t, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(PropertiesParserTest, ValuesBeforeAnErrorStay) {
    Tables t;
    EXPECT_FALSE(
            Parse("<Properties><Integer id=\"a\">1</Integer><Boolean id=\"b\">?</Boolean>"
                  "<Integer id=\"c\">2</Integer></Properties>",
                  t));
    EXPECT_EQ(t.integers.count("a"), 1u);
    EXPECT_EQ(t.integers.count("c"), 0u);
}

TEST(PropertiesParserTest, EmptyAndJunkBuffers) {
    Tables t;
    EXPECT_TRUE(Parse("", t));
    std::string error;
    EXPECT_FALSE(Parse("\x01\x02", t, &error));
    EXPECT_EQ(error, "Illegal Character on Line 1");
}

}  // namespace
