#include "resources/XMLParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Velm::XMLElement;
using Velm::XMLParser;

// One line per token: S start, E end, T text, P instruction; attributes in
// the order met; '@' and the section. An error ends the list with
// "!" + text + " line " + n.
std::vector<std::string> Tokens(XMLParser& parser) {
    std::vector<std::string> out;
    for (int guard = 0; guard < 1000; ++guard) {
        XMLElement element;
        if (!parser.NextElement(&element)) break;
        static const char kLetters[] = "?SETPC";
        std::string line(1, kLetters[element.mType]);
        line += ":" + element.mValue;
        if (element.mType == XMLElement::TYPE_INSTRUCTION) line += "|" + element.mInstruction;
        if (!element.mAttributeOrder.empty()) {
            line += "{";
            for (size_t i = 0; i < element.mAttributeOrder.size(); ++i) {
                const std::string& name = element.mAttributeOrder[i];
                line += (i ? "," : "") + name + "=" + element.mAttributes[name];
            }
            line += "}";
        }
        line += "@" + element.mSection;
        out.push_back(line);
    }
    if (parser.HadError())
        out.push_back("!" + parser.GetErrorText() + " line " + std::to_string(parser.GetLineNumber()));
    return out;
}

std::vector<std::string> TokensOfBytes(const std::string& bytes) {
    XMLParser parser;
    parser.SetBytesSource(bytes, "test.xml");
    return Tokens(parser);
}

using Lines = std::vector<std::string>;

TEST(XMLParserTest, TokenRows) {
    struct Case {
        const char* why;
        std::string text;
        Lines expected;
    };
    const Case cases[] = {
            {"attributes, text and entity", "<a b=1 c=2>x &amp; y</a>", {"S:a{b=1,c=2}@", "T:x & y@a", "E:a@a"}},
            {"quoted value keeps spaces", "<a v=\"one two\"></a>", {"S:a{v=one two}@", "E:a@a"}},
            {"quoted value keeps '='", "<a v=\"k=v\"></a>", {"S:a{v=k=v}@", "E:a@a"}},
            {"spaces around '='", "<a v = \"1\"  w= 2 ></a>", {"S:a{v=1,w=2}@", "E:a@a"}},
            {"empty quoted value", "<a v=\"\" w=1></a>", {"S:a{v=,w=1}@", "E:a@a"}},
            {"attribute without value", "<a checked></a>", {"S:a{checked=}@", "E:a@a"}},
            {"repeated name keeps the last value", "<a x=1 x=2></a>", {"S:a{x=2,x=2}@", "E:a@a"}},
            {"self-closing", "<a/>", {"S:a@", "E:a@a"}},
            {"self-closing after attribute", "<a b=1 />", {"S:a{b=1}@", "E:a@a"}},
            // The trap: a bare attribute name directly before "/>" keeps the '/'
            // and the tag stays open.
            {"bare attribute before '/>'", "<a flag/>", {"S:a{flag/=}@"}},
            {"value ending in '/' closes (quoted)", "<a href=\"x/\">", {"S:a{href=x}@", "E:a@a"}},
            {"value ending in '/' closes (bare)", "<a href=x/>", {"S:a{href=x}@", "E:a@a"}},
            {"entities in attributes", "<a t=\"&lt;x&gt;&quot;\"/>", {"S:a{t=<x>\"}@", "E:a@a"}},
            {"nested sections", "<r><s><t/></s></r>", {"S:r@", "S:s@r", "S:t@r/s", "E:t@r/s/t", "E:s@r/s", "E:r@r"}},
            {"comment skipped", "<!-- note --><a/>", {"S:a@", "E:a@a"}},
            {"comment without space is a tag", "<!--note-->", {"S:!--note--@"}},
            {"instruction", "<?xml version=1.0?>", {"P:xml| version=1.0@"}},
            {"quotes stay in an instruction", "<?xml version=\"1.0\"?>", {"P:xml| version=\"1.0\"@"}},
            {"whitespace collapses in text", "<a>  two \t\n  words  </a>", {"S:a@", "T:two words@a", "E:a@a"}},
            {"quotes in text are text", "<a>say \"x > y\"</a>", {"S:a@", "T:say \"x > y\"@a", "E:a@a"}},
            {"unknown entity and bare '&'", "<a>&foo; &lt</a>", {"S:a@", "T:& &lt@a", "E:a@a"}},
            {"all entities", "<a>&lt;&amp;&gt;&quot;&apos;&nbsp;&cr;</a>", {"S:a@", "T:<&>\"' \n@a", "E:a@a"}},
            {"CR LF line ends", "<a>\r\n<b/>\r\n</a>", {"S:a@", "S:b@a", "E:b@a/b", "E:a@a"}},
            {"mismatched end", "<a></b>", {"S:a@", "!End 'b' Doesn't Match Start 'a' line 1"}},
            {"end at the top", "</a>", {"!Unexpected End line 1"}},
            {"file ends inside a tag", "<a><b", {"S:a@", "!Unexpected End of File line 1"}},
            {"control character", "<a>\x01</a>", {"S:a@", "!Illegal Character line 1"}},
            {"control character in quotes is data", "<a v=\"\x01\"/>", {"S:a{v=\x01}@", "E:a@a"}},
            {"'>' in text", "<a>x > y</a>", {"S:a@", "!Unexpected '>' line 1"}},
            {"'<' inside a tag", "<a <b>", {"!Unexpected '<' line 1"}},
            {"error line number", "<a>\n<b>\n</c>", {"S:a@", "S:b@a", "!End 'c' Doesn't Match Start 'b' line 3"}},
            {"8-bit bytes kept", "<a>caf\xe9</a>", {"S:a@", "T:caf\xe9@a", "E:a@a"}},
            {"empty source", "", {}},
            {"text runs to the end of the source", "  hello  ", {"!Unexpected End of File line 1"}},
            {"whitespace after the document", "<a/>\n \n", {"S:a@", "E:a@a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TokensOfBytes(c.text), c.expected);
    }
}

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char low = static_cast<char>(c & 0xFF);
        const char high = static_cast<char>(c >> 8);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST(XMLParserTest, Encodings) {
    struct Case {
        const char* why;
        std::string bytes;
        Lines expected;
    };
    // clang-format off
    const Case cases[] = {
                {"UTF-8 with mark", "\xEF\xBB\xBF<a>caf\xC3\xA9</a>", {"S:a@", "T:caf\xE9@a", "E:a@a"}},
                {"UTF-16 little-endian", Utf16(u"<a v=\"1\">x\ny</a>", false), {"S:a{v=1}@", "T:x y@a", "E:a@a"}},
                {"UTF-16 big-endian", Utf16(u"<a>\u00e9</a>", true), {"S:a@", "T:\xE9@a", "E:a@a"}},
                {"UTF-16 pair keeps the low 16 bits",
                 Utf16(u"<a>\U0001F600</a>", false),
                 {"S:a@", std::string("T:\0@a", 5), "E:a@a"}},
                {"UTF-16 line numbers", Utf16(u"<a>\n\n</b>", false), {"S:a@", "!End 'b' Doesn't Match Start 'a' line 3"}},
                // U+0120 has the low byte of a space; the whole unit is not whitespace,
                // so the value is one attribute (non-Latin-1 text converts to empty).
                {"non-Latin letter is not a space", Utf16(u"<a v=x\u0120y></a>", false), {"S:a{v=}@", "E:a@a"}},
                {"broken pair ends the source", Utf16(u"<a>\xD800x</a>", false), {"S:a@"}},
                {"broken pair inside text", Utf16(u"<a>y\xD800x</a>", false), {"S:a@", "!Unexpected End of File line 1"}},
                {"illegal UTF-8 between tokens", "\xEF\xBB\xBF<a>\xC0\x80</a>", {"S:a@", "!Illegal Character line 1"}},
                {"illegal UTF-8 in text", "\xEF\xBB\xBF<a>x\xC0\x80</a>", {"S:a@", "!Unexpected End of File line 1"}},
                {"UTF-8 cut inside a sequence", "\xEF\xBB\xBF<a>\xC3", {"S:a@", "!Illegal Character line 1"}},
                {"UTF-8 surrogate refused", "\xEF\xBB\xBF\xED\xA0\x80", {"!Illegal Character line 1"}},
                {"short file is 8-bit", "<a>\xFF</a>", {"S:a@", "T:\xFF@a", "E:a@a"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TokensOfBytes(c.bytes), c.expected);
    }
}

TEST(XMLParserTest, StringSource) {
    XMLParser parser;
    parser.SetStringSource(L"<a t='1'>\x263A x</a>");
    // '\x263A' keeps its low 8 bits in text.
    EXPECT_EQ(Tokens(parser), (Lines{"S:a{t='1'}@", "T:: x@a", "E:a@a"}));
    EXPECT_EQ(parser.GetFileName(), "");
    EXPECT_FALSE(parser.HadError());
    XMLElement element;
    EXPECT_FALSE(parser.NextElement(&element));
}

TEST(XMLParserTest, OpenFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "velm_xml_open";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "doc.xml").string();
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF<doc>\r\n  <item id=\"1\"/>\r\n</doc>\r\n";
    XMLParser parser;
    ASSERT_TRUE(parser.OpenFile(path));
    EXPECT_EQ(parser.GetLineNumber(), 1);
    EXPECT_EQ(Tokens(parser), (Lines{"S:doc@", "S:item{id=1}@doc", "E:item@doc/item", "E:doc@doc"}));
    EXPECT_EQ(parser.GetLineNumber(), 4);
    EXPECT_EQ(parser.GetFileName(), path);

    XMLParser missing;
    EXPECT_FALSE(missing.OpenFile((dir / "nope.xml").string()));
    EXPECT_TRUE(missing.HadError());
    EXPECT_EQ(missing.GetErrorText(), "Unable to open file " + (dir / "nope.xml").string());
    EXPECT_EQ(missing.GetLineNumber(), 0);
    fs::remove_all(dir);
}

TEST(XMLParserTest, DecodeString) {
    EXPECT_EQ(Velm::XMLDecodeString(std::string("a&amp;b&x;c&")), "a&b&c&");
    EXPECT_EQ(Velm::XMLDecodeString(std::wstring(L"&lt;\x263A&gt;")), L"<\x263A>");
}

}  // namespace
