#pragma once

#include <map>
#include <string>

class IniFile_t;

// The framework's string table as the text table sees it: the fallback for keys
// the terms file lacks, and the loader of the framework's properties file when
// the terms file has no section. The application object implements it over its
// own string table and hands it to the text table at start-up.
class StringTableSource {
public:
    virtual ~StringTableSource() = default;
    // The text of an id, "" when the string table has none.
    virtual std::string GetString(const std::string& id) = 0;
    // Loads a properties file into the string table as a required file (the
    // framework shows its own message when the file cannot be opened).
    virtual bool LoadProperties(const std::string& file) = 0;
};

// Every text the game shows, by key, read once at start-up from "termins.txt".
// Keys are case-sensitive byte strings (unlike the INI file's own names). A key
// the table lacks falls back to the string table and then to the key itself,
// so a missing translation shows its key instead of failing.
//
// Filled on the main thread before the loading thread starts; read-only (and
// read without a lock) from then on.
class TextTable_t {
public:
    // The table, created empty on first use.
    static TextTable_t* Instance();
    // Deletes the table; a later Instance makes a new, empty one.
    static void Destroy();

    // Reads an INI-style terms file through the pack-aware file functions.
    // Always true: a missing or section-less file switches to the framework's
    // "default.xml" (see the IniFile_t overload).
    bool Load(const std::string& fileName);
    // Takes every key of every section, in the file's section order and then
    // key order (both case-insensitive), with its value trimmed of white space;
    // a key met again replaces the earlier text. Without any section, the
    // framework's "default.xml" is loaded into the string table instead.
    bool Load(const IniFile_t& terms);

    // The text of the key (also when it is empty); else the string table's
    // text; else the key itself.
    std::string Lookup(const std::string& key) const;

    // The string table to fall back to; null (the default) for none.
    void SetStringTable(StringTableSource* stringTable) { mStringTable = stringTable; }

private:
    std::map<std::string, std::string> mTexts;
    StringTableSource* mStringTable = nullptr;
};
