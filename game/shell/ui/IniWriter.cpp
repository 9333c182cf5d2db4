#include "game/shell/ui/IniWriter.h"

#include <cstdio>

#include "engine/util/IniFile.h"

namespace {

bool Put(std::FILE* out, const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

}  // namespace

bool WriteIniFile(const IniFile_t& file, const std::string& path) {
    // Written beside the target and renamed over it, so that the file is
    // replaced whole or not at all.
    const std::string temporary = path + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) return false;
    bool ok = true;
    for (auto section = file.SectionsBegin(); section != file.SectionsEnd(); ++section) {
        ok = ok && Put(out, section->second.GetComment()) && Put(out, "[" + section->first + "]\r\n");
        for (auto key = section->second.KeysBegin(); key != section->second.KeysEnd(); ++key) {
            if (key->first.empty()) continue;
            ok = ok && Put(out, key->second.comment) && Put(out, key->first + "=" + key->second.value + "\r\n");
        }
    }
    ok = std::fclose(out) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}
