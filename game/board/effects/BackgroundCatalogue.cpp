#include "game/board/effects/BackgroundCatalogue.h"

#include <cstdio>

#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"

BackgroundCatalogue_t gBackgroundCatalogue;

namespace {

void ReadEntries(const IniFile_t& file, std::map<std::string, BackgroundCatalogue_t::Entry>& entries) {
    for (auto it = file.SectionsBegin(); it != file.SectionsEnd(); ++it) {
        BackgroundCatalogue_t::Entry entry;
        it->second.GetString("Image", "", entry.image);
        std::string points;
        it->second.GetString("Points", "", points);
        std::vector<std::string> pieces;
        com_string::Split(points.c_str(), ';', pieces);
        for (const std::string& piece : pieces) {
            int x = 0;
            int y = 0;
            // A piece that does not read as "x,y" keeps what it gave (0 for the rest).
            std::sscanf(piece.c_str(), "%d,%d", &x, &y);
            entry.points.emplace_back(x, y);
        }
        entries[it->first] = entry;
    }
}

}  // namespace

bool BackgroundCatalogue_t::Load(const std::string& fileName) {
    IniFile_t file;
    if (!file.Load(fileName, true)) return false;
    ReadEntries(file, entries);
    return true;
}

void BackgroundCatalogue_t::LoadFromText(const std::string& text, const std::string& origin) {
    IniFile_t file;
    file.Parse(text.data(), text.size(), true, origin);
    ReadEntries(file, entries);
}

void BackgroundCatalogue_t::ReleaseImage() { picture1.ReleaseImage(); }

const BackgroundCatalogue_t::Entry* BackgroundCatalogue_t::Find(const std::string& name) const {
    auto it = entries.find(name);
    return it == entries.end() ? nullptr : &it->second;
}
