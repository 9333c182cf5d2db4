#include "game/shell/StageCatalogue.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "resources/base/StringUtils.h"

namespace {

long long ClampToInt(long long value) {
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return value;
}

// Reads an item "a,b" as the runtime's "%d,%d" would; a number that is missing
// or malformed is taken as 0, and numbers are clamped to the int range.
void ParseNumberPair(const std::string& item, long long& a, long long& b) {
    a = 0;
    b = 0;
    const char* text = item.c_str();
    char* end = nullptr;
    const long long first = std::strtoll(text, &end, 10);
    if (end == text) return;
    a = ClampToInt(first);
    if (*end != ',') return;
    const char* second = end + 1;
    const long long value = std::strtoll(second, &end, 10);
    if (end != second) b = ClampToInt(value);
}

std::string GetString(const IniSection_t& section, const char* key) {
    std::string value;
    section.GetString(key, "", value);
    return value;
}

}  // namespace

// --- Stage_t ---------------------------------------------------------------

void Stage_t::Load(const std::string& path) {
    IniFile_t file;
    file.Load(path, true);
    if (file.GetSectionCount() == 0) return;

    const IniSection_t& main = file.GetSection("Main");
    std::vector<std::string> items;
    com_string::Split(GetString(main, "Games").c_str(), ';', items);
    for (const std::string& item : items) {
        long long game = 0;
        long long value = 0;
        ParseNumberPair(item, game, value);
        miniGames.emplace_back(static_cast<int>(ClampToInt(game - 1)), static_cast<int>(value));
    }
    com_string::Split(GetString(main, "MapPos").c_str(), ';', items);
    for (const std::string& item : items) {
        long long x = 0;
        long long y = 0;
        ParseNumberPair(item, x, y);
        mapPoints.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
    persAppear = static_cast<int>(ClampToInt(static_cast<long long>(main.GetInt("PersAppear", 1)) - 1));
    pers = GetString(main, "Pers");
    name = GetString(main, "Name");
    back = GetString(main, "Back");
    mapImage = GetString(main, "MapImage");
    day = GetString(main, "Day");
    night = GetString(main, "Night");
    heroDay = GetString(main, "HeroDay");
    heroNight = GetString(main, "HeroNight");
    heroX = main.GetInt("HeroX", 0);
    heroY = main.GetInt("HeroY", 0);

    // The running index counts every section, so a "Level" section's map point
    // is the one at its place among all sections in name order.
    size_t index = 0;
    for (auto it = file.SectionsBegin(); it != file.SectionsEnd(); ++it, ++index) {
        if (it->first.find("Level") == std::string::npos) continue;
        const IniSection_t& section = it->second;
        auto level = std::make_unique<StageLevel_t>();
        if (index < mapPoints.size()) {
            level->mapX = mapPoints[index].x;
            level->mapY = mapPoints[index].y;
        }
        level->name = Velm::TrimString(GetString(section, "Name"));
        level->layout = GetString(section, "Layout");
        level->clothesCount = section.GetInt("ClothesCount", 3);
        level->bonusCount = section.GetInt("BonusCount", 5);
        level->type = section.GetInt("Type", 0);
        level->time = section.GetInt("Time", 20);
        games0.push_back(std::move(level));
    }
}

int Stage_t::GetGameCount(int list) const {
    switch (list) {
        case 1: return static_cast<int>(games1.size());
        case 2: return static_cast<int>(games2.size());
        default: return static_cast<int>(games0.size());
    }
}

StageLevel_t* Stage_t::GetGame(int index, int list) const {
    const std::vector<std::unique_ptr<StageLevel_t>>& games = list == 1 ? games1 : list == 2 ? games2 : games0;
    if (index < 0 || index >= static_cast<int>(games.size())) return nullptr;
    return games[static_cast<size_t>(index)].get();
}

int Stage_t::FindMiniGame(int gameIndex) const {
    for (const auto& entry : miniGames) {
        if (entry.first == gameIndex) return entry.second;
    }
    return -1;
}

std::string Stage_t::GetNameByKey(int key) const {
    for (const auto& entry : mKeyNames) {
        if (entry.first == key) return entry.second;
    }
    return std::string();
}

// --- StageCatalogue_t ------------------------------------------------------

void StageCatalogue_t::Load(const std::string& path) {
    IniFile_t file;
    file.Load(path, true);
    if (file.GetSectionCount() == 0) return;
    const IniSection_t& list = file.GetSection("Stages");
    for (auto it = list.KeysBegin(); it != list.KeysEnd(); ++it) {
        auto stage = std::make_unique<Stage_t>();
        stage->Load(it->second.value);
        stages.push_back(std::move(stage));
    }
}

Stage_t* StageCatalogue_t::GetStage(int index) const {
    if (index < 0 || index >= GetStageCount()) return nullptr;
    return stages[static_cast<size_t>(index)].get();
}

int StageCatalogue_t::GetTotalGameCount() const {
    int total = 0;
    for (const auto& stage : stages) total += stage->GetGameCount(listSelector);
    return total;
}

int StageCatalogue_t::GetFlatGameIndex(int stage, int game) const {
    if (stage >= GetStageCount()) return GetTotalGameCount();
    int flat = 0;
    for (int i = 0; i < stage; ++i) flat += stages[static_cast<size_t>(i)]->GetGameCount(listSelector);
    return flat + game;
}

StageLevel_t* StageCatalogue_t::GetGameByFlatIndex(int flatIndex) const {
    int stage = 0;
    int game = 0;
    if (flatIndex < 0 || flatIndex >= GetTotalGameCount()) return nullptr;
    FindStageAndGame(flatIndex, stage, game);
    return stages[static_cast<size_t>(stage)]->GetGame(game, listSelector);
}

void StageCatalogue_t::FindStageAndGame(int flatIndex, int& stage, int& game) const {
    stage = 0;
    game = 0;
    if (flatIndex < 0) return;
    int rest = flatIndex;
    for (int i = 0; i < GetStageCount(); ++i) {
        const int count = stages[static_cast<size_t>(i)]->GetGameCount(listSelector);
        if (rest < count) {
            stage = i;
            game = rest;
            return;
        }
        rest -= count;
    }
}
