#include "resources/XMLParser.h"

#include <cstdio>

#include "resources/base/StringUtils.h"
#include "resources/base/Utf8.h"
#include "resources/pack/PakFile.h"

namespace Velm {

namespace {

// The whole 16-bit unit is tested, so letters whose low byte happens to be a
// space code (U+0120, U+0D0A ...) are not taken for whitespace.
bool IsXmlSpace(uint32_t c) { return c == 0x20 || (c >= 0x09 && c <= 0x0D); }

uint32_t Code(char c) { return static_cast<unsigned char>(c); }

uint32_t Code(wchar_t c) { return static_cast<uint32_t>(c); }

template <typename String>
String DecodeEntities(const String& text) {
    String out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t semicolon = text[i] == '&' ? text.find(';', i + 1) : String::npos;
        if (semicolon == String::npos) {
            out += text[i++];
            continue;
        }
        // Names compare exactly; a character above 0xFF matches none of them.
        std::string name;
        for (size_t k = i + 1; k < semicolon; ++k) {
            const uint32_t code = Code(text[k]);
            name += code <= 0xFF ? static_cast<char>(code) : '\0';
        }
        char replacement = '&';
        if (name == "lt")
            replacement = '<';
        else if (name == "amp")
            replacement = '&';
        else if (name == "gt")
            replacement = '>';
        else if (name == "quot")
            replacement = '"';
        else if (name == "apos")
            replacement = '\'';
        else if (name == "nbsp")
            replacement = ' ';
        else if (name == "cr")
            replacement = '\n';
        out += static_cast<typename String::value_type>(replacement);
        i = semicolon + 1;
    }
    return out;
}

bool EndsWith(const std::string& text, const char* tail) {
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

std::string XMLDecodeString(const std::string& text) { return DecodeEntities(text); }

std::wstring XMLDecodeString(const std::wstring& text) { return DecodeEntities(text); }

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() {
    if (mFile != nullptr) PakFClose(mFile);
}

void XMLParser::ResetState() {
    mSection.clear();
    mErrorText.clear();
    mLineNum = 1;
    mHasFailed = false;
    mFirstChar = true;
    mByteSwap = false;
}

void XMLParser::Fail(const std::string& message) {
    mHasFailed = true;
    mErrorText = message;
}

bool XMLParser::OpenFile(const std::string& fileName) {
    if (mFile != nullptr) PakFClose(mFile);
    mHasBytes = false;
    mBytes.clear();
    mPushback.clear();
    // Read in binary: a CR byte is dropped by the byte readers themselves,
    // while the two-byte units of a UTF-16 file stay intact.
    mFile = PakFOpen(fileName.c_str(), "rb");
    if (mFile == nullptr) {
        mLineNum = 0;
        Fail("Unable to open file " + fileName);
        return false;
    }
    ChooseReader();
    mFileName = fileName;
    ResetState();
    return true;
}

void XMLParser::SetBytesSource(const std::string& bytes, const std::string& origin) {
    if (mFile != nullptr) PakFClose(mFile);
    mFile = nullptr;
    mPushback.clear();
    mBytes = bytes;
    mBytePos = 0;
    mHasBytes = true;
    ChooseReader();
    mFileName = origin;
    ResetState();
}

void XMLParser::SetStringSource(const std::wstring& text) {
    if (mFile != nullptr) PakFClose(mFile);
    mFile = nullptr;
    mHasBytes = false;
    mBytes.clear();
    mFileName.clear();
    mPushback.clear();
    mPushback.reserve(text.size());
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        mPushback.push_back(static_cast<uint16_t>(static_cast<uint32_t>(*it) & 0xFFFF));
    }
    ResetState();
}

void XMLParser::ChooseReader() {
    mReader = Reader::EightBit;
    uint8_t mark[3] = {0, 0, 0};
    size_t size = 0;  // bytes of the mark that the source holds, up to 3
    if (mFile != nullptr) {
        PakFSeek(mFile, 0, SEEK_SET);
        const int got = PakFRead(mark, 1, 3, mFile);
        size = got > 0 ? static_cast<size_t>(got) : 0;
        PakFSeek(mFile, 0, SEEK_SET);
    } else {
        for (; size < 3 && size < mBytes.size(); ++size) mark[size] = static_cast<uint8_t>(mBytes[size]);
    }
    if (size >= 2 && ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF))) {
        mReader = Reader::Utf16;
    } else if (size >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
        mReader = Reader::Utf8;
    }
}

bool XMLParser::ReadByte(uint8_t& byte) {
    if (mFile != nullptr) return PakFRead(&byte, 1, 1, mFile) == 1;
    if (mHasBytes && mBytePos < mBytes.size()) {
        byte = static_cast<uint8_t>(mBytes[mBytePos++]);
        return true;
    }
    return false;
}

XMLParser::ReadResult XMLParser::ReadEightBit(uint16_t& c) {
    uint8_t byte = 0;
    do {
        if (!ReadByte(byte)) return ReadResult::End;
    } while (byte == '\r');
    c = byte;
    return ReadResult::Ok;
}

XMLParser::ReadResult XMLParser::ReadUtf8(uint16_t& c) {
    for (;;) {
        uint8_t lead = 0;
        do {
            if (!ReadByte(lead)) return ReadResult::End;
        } while (lead == '\r');
        uint32_t value = 0;
        if (!DecodeUtf8Char(
                    lead, [this](uint8_t& next) { return ReadByte(next); }, &value))
            return ReadResult::Illegal;
        if (mFirstChar && value == 0xFEFF) {
            mFirstChar = false;
            continue;
        }
        c = static_cast<uint16_t>(value & 0xFFFF);
        return ReadResult::Ok;
    }
}

XMLParser::ReadResult XMLParser::ReadUtf16(uint16_t& c) {
    auto readUnit = [this](uint16_t& unit) {
        uint8_t low = 0;
        uint8_t high = 0;
        if (!ReadByte(low) || !ReadByte(high)) return false;
        unit = static_cast<uint16_t>(low | (high << 8));
        if (mByteSwap) unit = static_cast<uint16_t>((unit >> 8) | (unit << 8));
        return true;
    };
    uint16_t unit = 0;
    if (!readUnit(unit)) return ReadResult::End;
    if (mFirstChar) {
        mFirstChar = false;
        if (unit == 0xFEFF || unit == 0xFFFE) {
            if (unit == 0xFFFE) mByteSwap = true;
            if (!readUnit(unit)) return ReadResult::End;
        }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        uint16_t second = 0;
        if (!readUnit(second) || second < 0xDC00 || second > 0xDFFF) return ReadResult::End;
        const uint32_t value = 0x10000u + ((unit & 0x3FFu) << 10) + (second & 0x3FFu);
        unit = static_cast<uint16_t>(value & 0xFFFF);
    }
    c = unit;
    return ReadResult::Ok;
}

XMLParser::ReadResult XMLParser::ReadChar(uint16_t& c) {
    switch (mReader) {
        case Reader::EightBit: return ReadEightBit(c);
        case Reader::Utf8: return ReadUtf8(c);
        case Reader::Utf16: return ReadUtf16(c);
    }
    return ReadResult::End;
}

XMLParser::ReadResult XMLParser::NextChar(uint16_t& c) {
    if (!mPushback.empty()) {
        c = mPushback.back();
        mPushback.pop_back();
    } else if (mFile != nullptr || mHasBytes) {
        const ReadResult result = ReadChar(c);
        if (result != ReadResult::Ok) return result;
    } else {
        return ReadResult::End;
    }
    if (c == '\n') ++mLineNum;
    return ReadResult::Ok;
}

void XMLParser::PushBackText(const std::string& text) {
    for (auto it = text.rbegin(); it != text.rend(); ++it) mPushback.push_back(static_cast<uint8_t>(*it));
}

void XMLParser::AddAttribute(XMLElement* element, const std::string& name, const std::string& value) {
    element->mAttributes[name] = value;
    if (name != "/") element->mAttributeOrder.push_back(name);
}

bool XMLParser::NextElement(XMLElement* element) {
    if (element == nullptr || mHasFailed) return false;
    for (;;) {
        element->mType = XMLElement::TYPE_NONE;
        element->mSection = mSection;
        element->mValue.clear();
        element->mInstruction.clear();
        element->mAttributes.clear();
        element->mAttributeOrder.clear();

        bool quoted = false;
        bool spaceSeen = false;
        bool inAttributes = false;
        bool readingValue = false;
        bool valueWasQuoted = false;
        std::wstring attributeName;
        std::wstring attributeValue;
        std::string& value = element->mValue;
        std::string& instruction = element->mInstruction;

        auto addPendingAttribute = [&]() {
            AddAttribute(element, WideStringToText(XMLDecodeString(attributeName)),
                         WideStringToText(XMLDecodeString(attributeValue)));
        };

        bool complete = false;
        while (!complete) {
            uint16_t c = 0;
            const ReadResult result = NextChar(c);
            if (result != ReadResult::Ok) {
                if (result == ReadResult::Illegal) Fail("Illegal Character");
                if (element->mType != XMLElement::TYPE_NONE) Fail("Unexpected End of File");
                return false;
            }
            const char narrow = static_cast<char>(c & 0xFF);
            int& type = element->mType;

            if (type == XMLElement::TYPE_COMMENT) {
                instruction += narrow;
                if (c == '>' && EndsWith(instruction, "-->")) {
                    instruction.resize(instruction.size() - 3);
                    complete = true;
                }
                continue;
            }
            if (type == XMLElement::TYPE_INSTRUCTION) {
                std::string* target = &instruction;
                if (instruction.empty() && !IsXmlSpace(c)) target = &value;
                *target += narrow;
                if (c == '>' && EndsWith(*target, "?>")) {
                    target->resize(target->size() - 2);
                    complete = true;
                }
                continue;
            }

            bool ordinary = false;
            if (c == '"') {
                quoted = !quoted;
                if (!quoted) valueWasQuoted = true;
                ordinary = (type == XMLElement::TYPE_NONE || type == XMLElement::TYPE_TEXT);
            } else if (quoted) {
                ordinary = true;
            } else if (c == '<') {
                if (type == XMLElement::TYPE_TEXT) {
                    mPushback.push_back(c);
                    complete = true;
                } else if (type == XMLElement::TYPE_NONE) {
                    type = XMLElement::TYPE_START;
                } else {
                    Fail("Unexpected '<'");
                    return false;
                }
            } else if (c == '>') {
                if (type == XMLElement::TYPE_START) {
                    valueWasQuoted = false;
                    bool selfClosing = false;
                    if (attributeName == L"/") {
                        selfClosing = true;
                    } else if (!attributeName.empty()) {
                        const std::string name = WideStringToText(XMLDecodeString(attributeName));
                        addPendingAttribute();
                        attributeName.clear();
                        attributeValue.clear();
                        std::string& stored = element->mAttributes[name];
                        if (!stored.empty() && stored.back() == '/') {
                            stored.pop_back();
                            stored = XMLDecodeString(stored);
                            selfClosing = true;
                        }
                    } else if (!value.empty() && value.back() == '/') {
                        value.pop_back();
                        selfClosing = true;
                    }
                    if (selfClosing) PushBackText("</" + value + ">");
                    if (!mSection.empty()) mSection += '/';
                    mSection += value;
                    complete = true;
                } else if (type == XMLElement::TYPE_END) {
                    if (mSection.empty()) {
                        Fail("Unexpected End");
                        return false;
                    }
                    const size_t slash = mSection.rfind('/');
                    const std::string open = slash == std::string::npos ? mSection : mSection.substr(slash + 1);
                    if (open != value) {
                        Fail("End '" + value + "' Doesn't Match Start '" + open + "'");
                        return false;
                    }
                    mSection.resize(slash == std::string::npos ? 0 : slash);
                    complete = true;
                } else {
                    Fail("Unexpected '>'");
                    return false;
                }
            } else if (c == '/' && type == XMLElement::TYPE_START && value.empty()) {
                type = XMLElement::TYPE_END;
            } else if (c == '?' && type == XMLElement::TYPE_START && value.empty()) {
                type = XMLElement::TYPE_INSTRUCTION;
            } else if (IsXmlSpace(c)) {
                if (!value.empty()) spaceSeen = true;
                if (type == XMLElement::TYPE_START && value == "!--") type = XMLElement::TYPE_COMMENT;
            } else if (c <= 0x20) {
                Fail("Illegal Character");
                return false;
            } else {
                ordinary = true;
            }
            if (!ordinary) continue;

            if (type == XMLElement::TYPE_NONE) type = XMLElement::TYPE_TEXT;
            if (type == XMLElement::TYPE_START) {
                if (spaceSeen) {
                    if (!inAttributes) {
                        inAttributes = true;
                        readingValue = false;
                    } else if ((readingValue && (!attributeValue.empty() || valueWasQuoted)) ||
                               (!readingValue && c != '=')) {
                        addPendingAttribute();
                        attributeName.clear();
                        attributeValue.clear();
                        readingValue = false;
                    }
                    spaceSeen = false;
                }
                if (!inAttributes) {
                    value += narrow;
                } else if (c == '=' && !quoted) {
                    // A quoted '=' is data of the value.
                    readingValue = true;
                    valueWasQuoted = false;
                } else if (readingValue) {
                    attributeValue += static_cast<wchar_t>(c);
                } else {
                    attributeName += static_cast<wchar_t>(c);
                }
            } else {
                if (spaceSeen) {
                    value += ' ';
                    spaceSeen = false;
                }
                value += narrow;
            }
        }

        element->mValue = XMLDecodeString(element->mValue);
        if (element->mType != XMLElement::TYPE_COMMENT) return true;
    }
}

}  // namespace Velm
