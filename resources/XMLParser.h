#pragma once

// The framework's small pull parser for its own XML files: the resource
// manifest and the properties files. It is not a general XML parser: there is
// no DTD, CDATA, numeric character reference or namespace handling.
//
// Sources: a file read through the pack-aware file functions (resource pack
// first, then the disk), a byte string in memory read the same way, or a wide
// string. Byte sources are 8-bit unless they start with a byte-order mark:
// EF BB BF selects UTF-8, FF FE little-endian and FE FF big-endian UTF-16.
// Characters are 16-bit; tag names and text keep the low 8 bits of each
// character, attribute names and values go through WideStringToText.
//
// Grammar notes that callers rely on:
//   - Double quotes toggle a quoted state everywhere; inside it every
//     character is data. In tags the quotes themselves are dropped.
//   - Whitespace runs in text collapse to one space, leading and trailing
//     whitespace is dropped.
//   - "<a/>", "<a b=1 />" and a last attribute value ending in '/' (quoted or
//     not) make a self-closing tag: the next token is the matching end tag.
//   - "<!-- x -->" is a comment and skipped; a comment needs whitespace after
//     "<!--".
//   - Entities: &lt; &amp; &gt; &quot; &apos; &nbsp; (a space) and &cr; (a line
//     feed); any other &name; becomes '&'; a '&' without a later ';' stays.
// Errors set HadError and an error text without a line number; callers append
// GetLineNumber and GetFileName. One parser serves one source on one thread.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PakFileHandle;

namespace Velm {

class XMLElement {
public:
    enum Type {
        TYPE_NONE = 0,
        TYPE_START = 1,
        TYPE_END = 2,
        TYPE_TEXT = 3,
        TYPE_INSTRUCTION = 4,
        TYPE_COMMENT = 5,
    };

    int mType = TYPE_NONE;
    // The open path ("ResourceManifest/Resources") before this token: a start
    // tag's parent path, or the path that includes the enclosing element.
    std::string mSection;
    // Tag name, text, or the target of a processing instruction ("xml").
    std::string mValue;
    // The rest of a processing instruction after its target.
    std::string mInstruction;
    // A repeated name keeps its last value.
    std::map<std::string, std::string> mAttributes;
    // Names in the order met; a repeated name is listed again.
    std::vector<std::string> mAttributeOrder;
};

class XMLParser {
public:
    XMLParser();
    virtual ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // Opens the file through the pack-aware file functions. On failure the
    // error text is "Unable to open file " + name and the line number is 0.
    bool OpenFile(const std::string& fileName);
    // Parses bytes as OpenFile parses a file's bytes; origin is reported as the
    // file name.
    void SetBytesSource(const std::string& bytes, const std::string& origin);
    // Parses a wide string (one 16-bit character per element); no file name.
    void SetStringSource(const std::wstring& text);

    // Reads the next token into a fresh element. False at the end of the source
    // (HadError false) or on an error (HadError true, GetErrorText set).
    bool NextElement(XMLElement* element);

    std::string GetErrorText() const { return mErrorText; }
    std::string GetFileName() const { return mFileName; }
    int GetLineNumber() const { return mLineNum; }
    bool HadError() const { return mHasFailed; }

    // Stores name = value, and lists the name in the order unless it is "/".
    static void AddAttribute(XMLElement* element, const std::string& name, const std::string& value);

private:
    enum class Reader { EightBit, Utf8, Utf16 };
    enum class ReadResult { Ok, End, Illegal };

    void ResetState();
    void Fail(const std::string& message);
    void ChooseReader();
    bool ReadByte(uint8_t& byte);
    ReadResult ReadChar(uint16_t& c);
    ReadResult ReadEightBit(uint16_t& c);
    ReadResult ReadUtf8(uint16_t& c);
    ReadResult ReadUtf16(uint16_t& c);
    ReadResult NextChar(uint16_t& c);
    void PushBackText(const std::string& text);

    std::string mFileName;
    std::string mErrorText;
    int mLineNum = 0;
    PakFileHandle* mFile = nullptr;
    bool mHasFailed = false;
    std::vector<uint16_t> mPushback;  // taken from the end
    std::string mSection;
    Reader mReader = Reader::Utf8;
    bool mFirstChar = false;
    bool mByteSwap = false;
    // An in-memory byte source, used when there is no file.
    std::string mBytes;
    size_t mBytePos = 0;
    bool mHasBytes = false;
};

// Replaces entity references as the parser does in names, values and text.
std::string XMLDecodeString(const std::string& text);
std::wstring XMLDecodeString(const std::wstring& text);

}  // namespace Velm
