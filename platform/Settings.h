#pragma once

// The user's settings store (what the current user's registry was): a tree of keys, each
// holding typed values, kept in one text file under $XDG_CONFIG_HOME. Key paths separate
// their sub-keys with '\' ("SOFTWARE\Company\Game\Dialogs"); key paths and value names are
// compared without regard to ASCII case and keep the case they were first written with.
//
// Every change is written through at once, whole or not at all (temporary file, flush,
// rename): a crash or a full disk leaves the previous file, and a change whose write fails
// is undone in memory and reported. A missing file is an empty store, so every read
// answers "absent" and callers use their defaults. Lines of the file that cannot be read
// are skipped and the rest of the file still counts.
//
// File format, one item per line:
//   ; comment
//   [SOFTWARE\Company\Game]          a key (created even with no values)
//   "MusicVolume"=dword:00000028     type 4, four bytes, little-endian
//   "Name"="text"                    type 1, the bytes of the text
//   "Data"=hex:01,02,ff              type 3
//   "Other"=hex(2):41,00             any other type number
// Inside quotes '\\', '\"' and '\xHH' (for control bytes) are the escapes; other bytes,
// Windows-1252 included, are written as they are. Any thread may use a store.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

// Value types, numbered as the registry numbers them.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

class Settings {
public:
    // Opens the store kept in `filePath` (the file is created on the first change).
    explicit Settings(std::string filePath);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // ConfigHomeFolder() + "velm/registry.txt".
    static std::string DefaultPath();
    // The process-wide store at DefaultPath(), opened on first use.
    static Settings& User();

    const std::string& FilePath() const { return mPath; }

    // Sets a value, creating its key and the keys above it. False when the file cannot
    // be written; the store is then unchanged.
    bool SetValue(const std::string& key, const std::string& name, uint32_t type, const void* data, size_t size);
    bool SetDword(const std::string& key, const std::string& name, uint32_t value);
    bool SetString(const std::string& key, const std::string& name, const std::string& text);
    bool SetBinary(const std::string& key, const std::string& name, const std::vector<uint8_t>& data);

    // False when the key or the value does not exist.
    bool GetValue(const std::string& key, const std::string& name, uint32_t* type, std::vector<uint8_t>* data) const;
    // Typed reads: false also when the stored type differs (a DWORD must hold 4 bytes).
    bool GetDword(const std::string& key, const std::string& name, uint32_t* value) const;
    // The text up to the first NUL byte of a string value.
    bool GetString(const std::string& key, const std::string& name, std::string* text) const;
    bool GetBinary(const std::string& key, const std::string& name, std::vector<uint8_t>* data) const;

    bool KeyExists(const std::string& key) const;
    // Creates the key (and those above it) without values.
    bool CreateKey(const std::string& key);
    // Removes the key with its values and every key below it. False when it does not
    // exist or the file cannot be written.
    bool DeleteKey(const std::string& key);
    // False when the value does not exist or the file cannot be written.
    bool DeleteValue(const std::string& key, const std::string& name);

    // Why the last failed write failed ("" after a success).
    std::string LastError() const;

private:
    struct Value {
        std::string name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string path;  // normalised: no empty components, '\' between them
        std::vector<Value> values;
    };

    void Load();
    std::string Serialize() const;
    bool Commit(std::vector<Key> previous);  // writes the file; restores `previous` on failure
    Key* FindKey(const std::string& normalisedPath);
    const Key* FindKey(const std::string& normalisedPath) const;
    Key& EnsureKey(const std::string& normalisedPath);

    const std::string mPath;
    mutable std::mutex mMutex;
    std::vector<Key> mKeys;  // in the order they were created
    std::string mLastError;
};

}  // namespace plat
