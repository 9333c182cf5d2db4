#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Point.h"

// One game (level) of a stage: a "Level" section of a stage file.
struct StageLevel_t {
    int mapX = 0;  // map position, from the stage's "MapPos" list
    int mapY = 0;
    std::string name;    // "Name", trimmed of white space; a text-table key
    std::string layout;  // "Layout": layout name for the play screen
    int clothesCount = 3;
    int bonusCount = 5;
    int type = 0;   // "Type": the GameType of the level
    int time = 20;  // "Time": time limit in minutes
};

// One place of the adventure (or one block of simple-mode levels), read from a
// stage file: section "Main" plus one section per game whose name contains
// "Level" (exact case). Owns its games.
class Stage_t {
public:
    // Reads the stage file; a missing or section-less file leaves the stage
    // empty (no games).
    void Load(const std::string& path);

    // Number of games of list 1 or 2, or of list 0 for any other value.
    int GetGameCount(int list) const;
    // The game at index of that list; null when the index is outside it.
    StageLevel_t* GetGame(int index, int list) const;
    // The value paired with the (zero-based) game index in "Games", or -1.
    int FindMiniGame(int gameIndex) const;
    // No file fills the key list, so this is always "".
    std::string GetNameByKey(int key) const;

    // Games in the INI file's section order (case-insensitive: "Level10" comes
    // before "Level2"). Only games0 is filled by any file; games1 and games2
    // stay empty.
    std::vector<std::unique_ptr<StageLevel_t>> games0;
    std::vector<std::unique_ptr<StageLevel_t>> games1;
    std::vector<std::unique_ptr<StageLevel_t>> games2;
    // "Games" = "a,b;a,b...": one-based game number a (stored a - 1) with its
    // mini-game id b.
    std::vector<std::pair<int, int>> miniGames;
    // "MapPos" = "x,y;x,y...": the map point of the section at that running
    // index (the index counts every section of the file, "Main" included).
    std::vector<Velm::Point> mapPoints;
    int persAppear = 0;  // "PersAppear" - 1
    std::string pers;
    std::string name;
    std::string back;
    std::string mapImage;
    std::string day;
    std::string night;
    std::string heroDay;
    std::string heroNight;
    int heroX = 0;
    int heroY = 0;

private:
    std::vector<std::pair<int, std::string>> mKeyNames;
};

// The stages of one way of play: "stages/stages.txt" (adventure) or
// "stages/stagessimple.txt" (simple mode). The list file's section "Stages"
// names one stage file per key, in the key order of the INI file (so "10"
// comes before "2"). Games of all stages are also numbered by one flat index,
// in stage order, over each stage's list listSelector.
//
// Built once on the main thread at start-up; afterwards only listSelector
// changes.
class StageCatalogue_t {
public:
    StageCatalogue_t() = default;
    // Builds the catalogue from the list file at once.
    explicit StageCatalogue_t(const std::string& path) { Load(path); }

    // Appends the stages of the list file; a missing file adds nothing.
    void Load(const std::string& path);

    int GetStageCount() const { return static_cast<int>(stages.size()); }
    // The stage at index, or null outside the list.
    Stage_t* GetStage(int index) const;

    int GetTotalGameCount() const;
    // Games of the stages before stage plus game; the total for a stage index
    // at or past the end (and for a negative one, 0 + game).
    int GetFlatGameIndex(int stage, int game) const;
    // Null for an index outside 0 .. total - 1.
    StageLevel_t* GetGameByFlatIndex(int flatIndex) const;
    // The stage and the game within it; (0, 0) outside 0 .. total - 1.
    void FindStageAndGame(int flatIndex, int& stage, int& game) const;

    std::vector<std::unique_ptr<Stage_t>> stages;
    int listSelector = 0;
};
