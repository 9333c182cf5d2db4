#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "game/shell/ui/UiStyle.h"

class IniFile_t;

namespace Velm {

// The shared styles of the style file "ui/interf.txt", by section name
// (case-sensitive byte strings). Filled once on the main thread by the
// application's init hook before any description is built, and only read
// afterwards (also by the loading thread), so it has no lock. Owns its styles.
class UiStyleRegistry_t {
public:
    // The one registry of the program, created empty on first use.
    static UiStyleRegistry_t& Instance();

    // Reads the style file through the pack-aware file functions; false when
    // it could not be read (nothing is registered then).
    bool Load(const std::string& fileName);
    // Reads styles from length bytes of INI text; origin names the source in messages.
    void Parse(const char* text, size_t length, const std::string& origin);
    // Registers a style for every section whose "Type" names a style kind, in
    // the file's section order, replacing an earlier style of the same name.
    // Sections with another "Type" or a malformed value are reported and skipped.
    void Load(const IniFile_t& file);

    // The style of that name, or null.
    const UiStyle_t* FindStyle(const std::string& name) const;
    int GetCount() const { return static_cast<int>(mStyles.size()); }
    // Forgets every style (tests, program end).
    void Clear() { mStyles.clear(); }

private:
    std::map<std::string, std::unique_ptr<UiStyle_t>> mStyles;
};

}  // namespace Velm
