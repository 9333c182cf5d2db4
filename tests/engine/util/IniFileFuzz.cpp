// Fuzz target: arbitrary bytes as an INI file, then every lookup on the result.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/util/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile_t ini;
    ini.Parse(reinterpret_cast<const char*>(data), size, true);
    for (auto section = ini.SectionsBegin(); section != ini.SectionsEnd(); ++section) {
        for (auto key = section->second.KeysBegin(); key != section->second.KeysEnd(); ++key) {
            section->second.GetInt(key->first.c_str(), 0);
            section->second.GetFloat(key->first.c_str(), 0.0f);
            section->second.GetHex(key->first.c_str(), 0);
        }
    }
    return 0;
}
