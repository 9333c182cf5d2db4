#include "game/shell/MusicPlaylist.h"

#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"

void MusicPlaylist_t::Load(const std::string& path) {
    IniFile_t file;
    file.Load(path, true);
    for (auto section = file.SectionsBegin(); section != file.SectionsEnd(); ++section) {
        for (auto key = section->second.KeysBegin(); key != section->second.KeysEnd(); ++key) {
            std::vector<std::string> pieces;
            com_string::Split(key->second.value.c_str(), ',', pieces);
            entries.push_back(std::move(pieces));
        }
    }
}
