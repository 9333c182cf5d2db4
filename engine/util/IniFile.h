#pragma once

#include <cstddef>
#include <map>
#include <string>

// INI-style text files: named sections of key = value lines, with the ';'
// comment lines that stood directly above a section header or a key. Nearly
// every data file of the game (settings, stages, tile sets, UI descriptions,
// layouts, sprites, particles ...) is one of these.
//
// Format, as read by IniFile_t::Parse:
//   - Lines end at LF or CR LF (files are written with CR LF); a lone CR is an
//     ordinary character of its line.
//   - "[Name]" starts (or reopens) a section; the name is taken untrimmed up to
//     the first ']'. Repeated sections merge, the last value of a key wins.
//   - "key = value": the key is trimmed of spaces (tabs are kept), the value is
//     everything after the first '=' exactly as written.
//   - A line without '=' stores its trimmed text as a key with an empty value.
//   - Lines before the first section header are ignored.
//   - A NUL byte ends the key, value or name it appears in.
// Section and key names compare case-insensitively (ASCII letters only, as the
// Windows runtime's _stricmp); iteration runs in that order, never in file
// order. A name keeps the letter case of its first insertion.
//
// Values stay text; GetInt/GetFloat/GetHex convert on lookup. There is no
// syntax error: every line is stored or ignored. Not thread-safe: one thread
// uses an object at a time.

// Orders names as _stricmp does: bytes compared unsigned after mapping A-Z to a-z.
struct IniNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// One key's value and the comment lines above it (each with its ';' and
// followed by CR LF).
struct IniValue_t {
    std::string value;
    std::string comment;
};

class IniSection_t {
public:
    using KeyTable = std::map<std::string, IniValue_t, IniNameLess>;
    using iterator = KeyTable::iterator;
    using const_iterator = KeyTable::const_iterator;

    iterator Find(const char* key);
    const_iterator Find(const char* key) const;
    iterator end() { return mKeys.end(); }
    const_iterator end() const { return mKeys.end(); }

    // Lookups: the default is used only when the key is missing; a present
    // key with an empty value gives 0 from GetInt and GetFloat.
    void GetString(const char* key, const char* defaultValue, std::string& out) const;
    int GetInt(const char* key, int defaultValue) const;        // atoi of the value
    float GetFloat(const char* key, float defaultValue) const;  // atof of the value
    // The value read as hexadecimal ("%x"); the default also when the value
    // holds no hexadecimal number.
    unsigned GetHex(const char* key, unsigned defaultValue) const;

    // Sets the value, inserting the key when missing; the key's comment stays.
    void SetValue(const char* key, const char* value);
    bool HasKey(const char* key) const;
    int GetCount() const { return static_cast<int>(mKeys.size()); }

    iterator KeysBegin() { return mKeys.begin(); }
    iterator KeysEnd() { return mKeys.end(); }
    const_iterator KeysBegin() const { return mKeys.begin(); }
    const_iterator KeysEnd() const { return mKeys.end(); }

    const std::string& GetComment() const { return mComment; }
    void SetComment(const std::string& comment) { mComment = comment; }

private:
    friend class IniFile_t;
    KeyTable mKeys;
    std::string mComment;
};

class IniFile_t {
public:
    using SectionTable = std::map<std::string, IniSection_t, IniNameLess>;
    using iterator = SectionTable::iterator;
    using const_iterator = SectionTable::const_iterator;

    IniFile_t() = default;
    virtual ~IniFile_t() = default;

    // Reads the whole file through the pack-aware file functions (resource pack
    // first, then the disk) and parses it. When the file cannot be opened the
    // object keeps its content and the result is false; callers usually ignore
    // it and look for the sections they need.
    bool Load(const std::string& fileName, bool clearFirst);

    // Parses length bytes of text. A length of 0 changes nothing (not even the
    // clearing). origin names the source (a file name) for messages of callers;
    // it is kept as GetOriginName.
    void Parse(const char* text, size_t length, bool clearFirst, const std::string& origin = std::string());

    // The section of that name, inserted empty when missing: asking for a
    // missing section never fails and its lookups answer with their defaults.
    IniSection_t& GetSection(const std::string& name);
    int GetSectionCount() const { return static_cast<int>(mSections.size()); }
    // The section of that name, or null; never inserts.
    const IniSection_t* FindSection(const std::string& name) const;

    iterator SectionsBegin() { return mSections.begin(); }
    iterator SectionsEnd() { return mSections.end(); }
    const_iterator SectionsBegin() const { return mSections.begin(); }
    const_iterator SectionsEnd() const { return mSections.end(); }

    // The file name given to Load, or the origin given to Parse.
    const std::string& GetOriginName() const { return mOrigin; }

private:
    SectionTable mSections;
    std::string mOrigin;
};
