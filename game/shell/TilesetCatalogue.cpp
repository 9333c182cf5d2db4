#include "game/shell/TilesetCatalogue.h"

#include <string>

#include "engine/util/IniFile.h"

void Tileset_t::Load(const std::string& path) {
    IniFile_t file;
    file.Load(path, true);
    for (auto it = file.SectionsBegin(); it != file.SectionsEnd(); ++it) {
        const IniSection_t& section = it->second;
        auto group = std::make_unique<TileGroup_t>();
        group->group = section.GetInt("group", 0);
        group->type = section.GetInt("type", 0);
        section.GetString("sprite", "", group->sprite);
        section.GetString("effect", "", group->effect);
        group->effectType = section.GetInt("EffectType", -1);
        groups.push_back(std::move(group));
    }
}

TileGroup_t* Tileset_t::GetGroup(int index) const {
    if (index < 0 || index >= GetGroupCount()) return nullptr;
    return groups[static_cast<size_t>(index)].get();
}

void TilesetCatalogue_t::Load(const std::string& path) {
    IniFile_t file;
    file.Load(path, true);
    const IniSection_t& list = file.GetSection("Tilesets");
    const int count = list.GetCount();
    for (int i = 0; i < count; ++i) {
        std::string fileName;
        list.GetString(std::to_string(i).c_str(), "", fileName);
        auto tileset = std::make_unique<Tileset_t>();
        tileset->Load(fileName);
        tilesets.push_back(std::move(tileset));
    }
}

void TilesetCatalogue_t::SelectTileset(int index) {
    // The index comes from a profile file; one outside the catalogue would let
    // the board read a tile set that does not exist.
    current = (index >= 0 && index < GetCount()) ? index : 0;
    for (const auto& tileset : tilesets) {
        for (const auto& group : tileset->groups) {
            group->spriteImage.reset();
            group->effectImage.reset();
            if (!mImageLoader) continue;
            group->spriteImage = mImageLoader(group->sprite);
            if (!group->effect.empty()) group->effectImage = mImageLoader(group->effect);
        }
    }
}

void TilesetCatalogue_t::Clear() { tilesets.clear(); }

Tileset_t* TilesetCatalogue_t::GetTileset(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return tilesets[static_cast<size_t>(index)].get();
}
