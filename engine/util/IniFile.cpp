#include "engine/util/IniFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/util/ComString.h"
#include "resources/pack/PakFile.h"

namespace {

int FoldCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// The text of [begin, end) up to the first NUL, as a NUL-terminated copy.
std::vector<char> TextUpToNul(const char* begin, const char* end) {
    const char* stop = begin;
    while (stop < end && *stop != '\0') ++stop;
    std::vector<char> text(begin, stop);
    text.push_back('\0');
    return text;
}

std::string Trimmed(const char* begin, const char* end) {
    std::vector<char> text = TextUpToNul(begin, end);
    return std::string(com_string::TrimBlanks(text.data()));
}

}  // namespace

bool IniNameLess::operator()(const std::string& a, const std::string& b) const {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int ca = FoldCase(static_cast<unsigned char>(a[i]));
        const int cb = FoldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

// --- IniSection_t ---------------------------------------------------------

IniSection_t::iterator IniSection_t::Find(const char* key) { return mKeys.find(key != nullptr ? key : ""); }

IniSection_t::const_iterator IniSection_t::Find(const char* key) const { return mKeys.find(key != nullptr ? key : ""); }

void IniSection_t::GetString(const char* key, const char* defaultValue, std::string& out) const {
    const_iterator it = Find(key);
    if (it != mKeys.end())
        out = it->second.value;
    else
        out = defaultValue != nullptr ? defaultValue : "";
}

int IniSection_t::GetInt(const char* key, int defaultValue) const {
    const_iterator it = Find(key);
    if (it == mKeys.end()) return defaultValue;
    // atoi, without its undefined result on overflow: out-of-range values
    // saturate.
    const long value = std::strtol(it->second.value.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

float IniSection_t::GetFloat(const char* key, float defaultValue) const {
    const_iterator it = Find(key);
    if (it == mKeys.end()) return defaultValue;
    return static_cast<float>(std::strtod(it->second.value.c_str(), nullptr));
}

unsigned IniSection_t::GetHex(const char* key, unsigned defaultValue) const {
    const_iterator it = Find(key);
    if (it == mKeys.end()) return defaultValue;
    unsigned value = 0;
    if (std::sscanf(it->second.value.c_str(), "%x", &value) != 1) return defaultValue;
    return value;
}

void IniSection_t::SetValue(const char* key, const char* value) {
    mKeys[key != nullptr ? key : ""].value = value != nullptr ? value : "";
}

bool IniSection_t::HasKey(const char* key) const { return Find(key) != mKeys.end(); }

// --- IniFile_t ------------------------------------------------------------

bool IniFile_t::Load(const std::string& fileName, bool clearFirst) {
    PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr) return false;
    // Read in chunks up to the end rather than trusting the size a seek
    // reports: a folder opened as a file reports an absurd size and no bytes.
    std::vector<char> bytes;
    char chunk[16384];
    int got;
    while ((got = PakFRead(chunk, 1, static_cast<int>(sizeof chunk), file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    PakFClose(file);
    mOrigin = fileName;
    Parse(bytes.data(), bytes.size(), clearFirst, fileName);
    return true;
}

void IniFile_t::Parse(const char* text, size_t length, bool clearFirst, const std::string& origin) {
    if (length == 0 || text == nullptr) return;
    if (!origin.empty()) mOrigin = origin;

    // A private copy with a NUL and CR LF behind the text, so that the last
    // line always ends even when the file does not end with a line break.
    std::vector<char> copy(text, text + length);
    copy.push_back('\0');
    copy.push_back('\r');
    copy.push_back('\n');

    if (clearFirst) mSections.clear();

    IniSection_t* current = nullptr;
    std::string pendingComment;
    const char* const bufferEnd = copy.data() + copy.size();
    const char* lineStart = copy.data();
    while (lineStart < bufferEnd) {
        // Lines end at LF, with or without a CR before it; a lone CR is part of
        // the line. The copy ends in LF, so every line ends.
        const char* lineBreak =
                static_cast<const char*>(std::memchr(lineStart, '\n', static_cast<size_t>(bufferEnd - lineStart)));
        if (lineBreak == nullptr) lineBreak = bufferEnd - 1;  // unreachable past our own CR LF
        const char* lineEnd = lineBreak;
        if (lineEnd > lineStart && lineEnd[-1] == '\r') --lineEnd;

        // The first character decides the kind of line; a '[' moves the text
        // start, so "[[Main]" names "Main" and "[;x]" names ";x".
        bool isComment = false;
        bool isHeader = false;
        const char* textStart = lineStart;
        while (textStart < lineEnd) {
            if (*textStart == '[') {
                isHeader = true;
                ++textStart;
            } else {
                if (*textStart == ';') isComment = true;
                break;
            }
        }

        if (isHeader) {
            const char* close = textStart;
            while (close < lineEnd && *close != ']') ++close;
            std::vector<char> name = TextUpToNul(textStart, close);
            current = &mSections[std::string(name.data())];
            if (!pendingComment.empty()) current->mComment = pendingComment;
            pendingComment.clear();
        } else if (isComment) {
            std::vector<char> line = TextUpToNul(lineStart, lineEnd);
            pendingComment += line.data();
            pendingComment += "\r\n";
        } else if (current != nullptr) {
            const char* equals =
                    static_cast<const char*>(std::memchr(lineStart, '=', static_cast<size_t>(lineEnd - lineStart)));
            if (equals != nullptr) {
                const std::string key = Trimmed(lineStart, equals);
                std::vector<char> value = TextUpToNul(equals + 1, lineEnd);
                IniValue_t& record = current->mKeys[key];
                record.value = value.data();
                if (!pendingComment.empty()) record.comment = pendingComment;
            } else {
                const std::string key = Trimmed(lineStart, lineEnd);
                if (!key.empty()) current->mKeys[key].value.clear();
            }
            pendingComment.clear();
        }
        // Any other line before the first section is ignored and the pending
        // comment stays pending.

        lineStart = lineBreak + 1;
    }
}

IniSection_t& IniFile_t::GetSection(const std::string& name) { return mSections[name]; }

const IniSection_t* IniFile_t::FindSection(const std::string& name) const {
    const_iterator it = mSections.find(name);
    return it != mSections.end() ? &it->second : nullptr;
}
