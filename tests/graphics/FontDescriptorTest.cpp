// The descriptor language: reading a file into commands, tokenizing, quotes, escapes, lists,
// defines and the parser's error messages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/DescParser.h"
#include "graphics/FontData.h"
#include "tests/graphics/FontTestSupport.h"

namespace Velm {
namespace {

// Records every command as text; a command named FAIL fails.
class RecordingParser : public DescParser {
public:
    std::vector<std::string> commands;
    std::vector<std::string> errors;
    std::vector<int> lines;

    bool Error(const std::string& message) override {
        errors.push_back(message);
        return DescParser::Error(message);
    }
    bool HandleCommand(ListDataElement* command) override {
        commands.push_back(DataElementToString(command));
        lines.push_back(currentLine);
        return static_cast<SingleDataElement*>(command->items[0])->value != "FAIL";
    }
    std::string Joined() const {
        std::string text;
        for (size_t i = 0; i < commands.size(); ++i) text += (i > 0 ? " | " : "") + commands[i];
        return text;
    }
};

struct ReadCase {
    const char* why;
    const char* text;
    bool ok;
    const char* commands;
    const char* error;
};

const ReadCase kReadCases[] = {
        {"empty file", "", true, "", ""},
        {"blank lines and comments only", "\n   \n# one\n\t# two; three\n\n", true, "", ""},
        {"two commands on one line", "A 1; B 2", true, "(A, 1) | (B, 2)", ""},
        {"';' then blanks and '#' starts a comment", "A 1;  # B 2; C 3\nD", true, "(A, 1) | (D)", ""},
        {"a command spans lines", "A 1\n  2,3\n;", true, "(A, 1, 2, 3)", ""},
        {"CR is ignored", "A 1\r\n;B\r\n", true, "(A, 1) | (B)", ""},
        {"';' inside quotes belongs to the token", "A ';' \";x\"", true, "(A, ';', \";x\")", ""},
        {"a backslash outside quotes does not keep ';'", "A x\\;B", true, "(A, x) | (B)", ""},
        {"escaped quote inside quotes", "A 'it\\'s'", true, "(A, 'it's')", ""},
        {"the other quote inside quotes is ordinary", "A \"it's\"", true, "(A, \"it's\")", ""},
        {"nested lists", "A (1 (2 3)) 4", true, "(A, (1, (2, 3)), 4)", ""},
        {"a list right after a list", "A (1)(2)", true, "(A, (1), (2))", ""},
        {"a token right after a list", "A (1)x", true, "(A, (1), x)", ""},
        {"a token and a list apart", "A x (1)", true, "(A, x, (1))", ""},
        {"'(' without ')'", "A (1 2", false, "", "Unterminated List"},
        {"')' at the top level", "A 1)", false, "", "Unexpected List End"},
        {"'(' right after a token", "A x(1)", false, "", "Unexpected List Start"},
        {"open single quote", "A 'abc", false, "", "Unterminated Single Quotes"},
        {"open double quote", "A \"abc", false, "", "Unterminated Double Quotes"},
        {"a list where the command name goes", "(1 2)", false, "", "Missing Command"},
        {"the failing command ends the load", "A 1; FAIL; B 2", false, "(A, 1) | (FAIL)", ""},
        {"nothing after a parse error is read", "A 1; B (; C", false, "(A, 1)", "Unterminated List"},
};

TEST(DescParserTest, ReadsFilesIntoCommands) {
    velmtest::TempDir dir;
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.why);
        RecordingParser parser;
        const std::string path = test::WriteText(dir, "desc.txt", c.text);
        EXPECT_EQ(parser.LoadDescriptor(path), c.ok);
        EXPECT_EQ(parser.Joined(), c.commands);
        EXPECT_EQ(parser.error, c.error);
        EXPECT_EQ(parser.currentLine, 0);
        EXPECT_TRUE(parser.currentCommand.empty());
    }
}

TEST(DescParserTest, CommandsKnowTheLineTheyStartOn) {
    velmtest::TempDir dir;
    RecordingParser parser;
    ASSERT_TRUE(parser.LoadDescriptor(test::WriteText(dir, "d.txt", "# c\n\nA 1;\n  B\n  2;  C\n")));
    EXPECT_EQ(parser.lines, (std::vector<int>{3, 4, 5}));
}

TEST(DescParserTest, MissingFileFailsWithoutAnError) {
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadDescriptor("/nonexistent/velm/font.txt"));
    EXPECT_TRUE(parser.errors.empty());
}

TEST(DescParserTest, Unquote) {
    struct Case {
        const char* token;
        const char* value;
    };
    const Case cases[] = {
            {"''''", "'''"}, {"''", "'"},        {"'abc'", "abc"},     {"\"a\"\"b\"", "a\"b"},
            {"abc", "abc"},  {"'ab'cd", "abcd"}, {"\"it's\"", "it's"},
    };
    RecordingParser parser;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(parser.Unquote(c.token), c.value);
    }
}

TEST(DescParserTest, Immediates) {
    RecordingParser parser;
    for (const char* token : {"5", "-x", "+1", "'a'", "\"b\""}) EXPECT_TRUE(parser.IsImmediate(token)) << token;
    for (const char* token : {"x", "_1", "Main"}) EXPECT_FALSE(parser.IsImmediate(token)) << token;
}

// Parses one command's parameter text into a list.
ListDataElement Parse(DescParser& parser, const std::string& text) {
    ListDataElement list;
    EXPECT_TRUE(parser.ParseToList(text, &list, false, nullptr));
    return list;
}

TEST(DescParserTest, DefinesAreCaseInsensitiveAndImmediatesNeverLookedUp) {
    RecordingParser parser;
    parser.defines["WIDTHS"] = Parse(parser, "(1 2)").items[0]->Duplicate();
    parser.defines["5"] = new SingleDataElement("99");

    ListDataElement list = Parse(parser, "(widths 5 'q')");
    ListDataElement resolved;
    ASSERT_TRUE(parser.ResolveList(static_cast<ListDataElement*>(list.items[0]), &resolved));
    EXPECT_EQ(parser.DataElementToString(&resolved), "((1, 2), 5, q)");

    std::vector<int> numbers;
    ListDataElement name = Parse(parser, "Widths");
    EXPECT_TRUE(parser.GetIntVector(name.items[0], &numbers));
    EXPECT_EQ(numbers, (std::vector<int>{1, 2}));
}

TEST(DescParserTest, UndefinedNamesInListsAreErrorsButPlainStringsAreTheirOwnText) {
    RecordingParser parser;
    ListDataElement list = Parse(parser, "(a b) nothing");
    std::vector<std::string> strings;
    EXPECT_FALSE(parser.GetStringVector(list.items[0], &strings));
    EXPECT_EQ(parser.error, "Unable to Dereference \"a\"");
    EXPECT_FALSE(parser.GetStringVector(list.items[1], &strings));
    EXPECT_EQ(parser.error, "Unable to Dereference \"nothing\"");

    std::string value;
    EXPECT_TRUE(parser.GetStringValue(list.items[1], &value));
    EXPECT_EQ(value, "nothing");
    EXPECT_FALSE(parser.GetStringValue(list.items[0], &value));
}

TEST(DescParserTest, ConversionsStopAtTheFirstBadText) {
    RecordingParser parser;
    ListDataElement list = Parse(parser, "(1 0x10 x2 4) (1.5 -2) ((1) 2)");
    std::vector<int> ints;
    EXPECT_FALSE(parser.GetIntVector(list.items[0], &ints));  // "x2" is a name without a define
    std::vector<double> doubles;
    EXPECT_TRUE(parser.GetDoubleVector(list.items[1], &doubles));
    EXPECT_EQ(doubles, (std::vector<double>{1.5, -2.0}));
    std::vector<std::string> strings;
    EXPECT_FALSE(parser.GetStringVector(list.items[2], &strings));  // a list inside
    EXPECT_TRUE(strings.empty());
}

// Error boxes of a font descriptor name the file, the line and the command.
TEST(FontDataErrorsTest, ShowFileLineAndCommand) {
    velmtest::TempDir dir;
    const std::string path = test::WriteText(
            dir, "font.txt", "# header\n\nCreateLayer Main;\n\nLayerSetAscent Main\n  'x';\nCreateLayer B;\n");
    test::RecordingFontHost host;
    FontData data;
    EXPECT_TRUE(data.Load(&host, path));
    EXPECT_FALSE(data.initialized);
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0], "Font Descriptor Error in " + path +
                                      "\r\nInvalid Paramater Type on Line 5:\r\n\r\nLayerSetAscent Main\n'x'");
    EXPECT_EQ(data.layers.size(), 1u);  // nothing after the failing command was read
}

TEST(FontDataErrorsTest, ParserErrorsAreShownToo) {
    velmtest::TempDir dir;
    const std::string path = test::WriteText(dir, "font.txt", "CreateLayer (a;");
    test::RecordingFontHost host;
    FontData data;
    data.Load(&host, path);
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0],
              "Font Descriptor Error in " + path + "\r\nUnterminated List on Line 1:\r\n\r\nCreateLayer (a");
}

}  // namespace
}  // namespace Velm
