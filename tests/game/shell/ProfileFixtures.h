#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "tests/game/shell/TestFiles.h"

// Golden player files, written by hand from the file layouts. Neighbouring fields hold
// different values, so that reading or writing two of them in each other's place shows.

// users.dat: two players, "anna" and "Bob", Bob current.
const std::vector<uint8_t> kUsersDat = {
        0x02, 0x00, 0x00, 0x00,            // profile count 2
        0x01, 0x00, 0x00, 0x00,            // current index 1
        0x04, 0x00, 'a',  'n',  'n', 'a',  // name "anna"
        0x03, 0x00, 'B',  'o',  'b',       // name "Bob"
};

// Bob.dat: both progress records, with game orders and level records.
const std::vector<uint8_t> kBobDat = {
        0x03, 0x00, 'B', 'o', 'b',  // name
        0x37, 0x00, 0x00, 0x00,     // effect volume 55
        0x28, 0x00, 0x00, 0x00,     // music volume 40
        // progress[0], simple mode (offset 13)
        0x00, 0x00, 0x00, 0x00,                          // stage 0
        0x01, 0x00, 0x00, 0x00,                          // orderPos 1
        0x00, 0x00, 0x00, 0x00,                          // gameScore 0
        0x01,                                            // dontShowHelp
        0x00,                                            // dontShowNoMoves
        0xDC, 0x05, 0x00, 0x00,                          // totalScore 1500
        0x01, 0x00, 0x00, 0x00,                          // tileset 1
        0x01,                                            // stageStarted (between two games of the stage)
        0x00,                                            // gameInProgress
        0xE1, 0x10, 0x00, 0x00,                          // timeLeft 4321
        0x01,                                            // showBlocked
        0x02, 0x00, 0x00, 0x00,                          // gameOrder count 2
        0xFF, 0xFF, 0xFF, 0xFF,                          //   -1 (finished)
        0x01, 0x00, 0x00, 0x00,                          //   1
        0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tipSeen 0..7: tip 0 seen
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tipSeen 8..15
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tipSeen 16..23
        0x02, 0x00, 0x00, 0x00,                          // level records 2
        0x00, 0x00, 0x00, 0x00,                          //   level 0
        0x39, 0x30, 0x00, 0x00,                          //   bestTime 12345
        0x84, 0x03, 0x00, 0x00,                          //   bestScore 900
        0x01,                                            //   flag
        0x01, 0x00, 0x00, 0x00,                          //   level 1
        0x07, 0x00, 0x00, 0x00,                          //   bestTime 7
        0x00, 0x00, 0x00, 0x00,                          //   bestScore 0
        0x00,                                            //   flag
        // progress[1], adventure (offset 108)
        0x01, 0x00, 0x00, 0x00,                          // stage 1
        0x02, 0x00, 0x00, 0x00,                          // orderPos 2
        0xFA, 0x00, 0x00, 0x00,                          // gameScore 250
        0x00,                                            // dontShowHelp
        0x01,                                            // dontShowNoMoves
        0x58, 0x1B, 0x00, 0x00,                          // totalScore 7000
        0x02, 0x00, 0x00, 0x00,                          // tileset 2
        0x01,                                            // stageStarted
        0x01,                                            // gameInProgress
        0x92, 0xEA, 0x00, 0x00,                          // timeLeft 60050
        0x00,                                            // showBlocked
        0x03, 0x00, 0x00, 0x00,                          // gameOrder count 3
        0xFF, 0xFF, 0xFF, 0xFF,                          //   -1
        0x02, 0x00, 0x00, 0x00,                          //   2
        0x00, 0x00, 0x00, 0x00,                          //   0
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tipSeen 0..7
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // tipSeen 8..15
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,  // tipSeen 16..23: tip 23 seen
        0x00, 0x00, 0x00, 0x00,                          // level records 0
};

// Offsets of the two progress records in kBobDat and of fields inside one.
const int kSimpleAt = 13;
const int kAdventureAt = 108;
const int kStageAt = 0;
const int kOrderPosAt = 4;
const int kTilesetAt = 18;
const int kOrderCountAt = 29;
const int kOrderAt = 33;

// The catalogues the golden files fit: simple mode one stage of two games,
// adventure two stages of three games, three tile sets.
struct TestCatalogues {
    explicit TestCatalogues(const TempDir& dir) {
        MakeStages(dir, "simple", {2}, simple);
        MakeStages(dir, "adventure", {3, 3}, adventure);
        const std::string list = dir.Path("tilesets.set");
        WriteIni(list, {"[Tilesets]", "0=a.set", "1=b.set", "2=c.set"});
        tilesets.Load(list);
    }

    static void MakeStages(const TempDir& dir, const std::string& name, const std::vector<int>& games,
                           StageCatalogue_t& catalogue) {
        std::string list = "[Stages]\r\n";
        for (size_t s = 0; s < games.size(); ++s) {
            const std::string stage = dir.Path(name + std::to_string(s) + ".txt");
            std::string text = "[Main]\r\nName=" + name + std::to_string(s) + "\r\n";
            for (int g = 0; g < games[s]; ++g) text += "[Level" + std::to_string(g) + "]\r\nLayout=l\r\n";
            WriteBytes(stage, std::vector<uint8_t>(text.begin(), text.end()));
            list += std::to_string(s) + "=" + stage + "\r\n";
        }
        const std::string listPath = dir.Path(name + ".txt");
        WriteBytes(listPath, std::vector<uint8_t>(list.begin(), list.end()));
        catalogue.Load(listPath);
    }

    StageCatalogue_t simple;
    StageCatalogue_t adventure;
    TilesetCatalogue_t tilesets;
};
