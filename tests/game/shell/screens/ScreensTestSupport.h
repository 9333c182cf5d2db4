#pragma once

// Fixtures of the level list and level-complete tests: terms, a stage list
// built in memory, a tile set of 50 groups with pictures, and layout files.

#include <memory>
#include <string>

#include "engine/util/IniFile.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/TilesetCatalogue.h"
#include "graphics/MemoryImage.h"
#include "tests/game/shell/TestFiles.h"

namespace screenstest {

// The texts the list and the dialog look up.
inline void LoadTerms() {
    const std::string text =
            "[Simple]\r\n"
            "BestScore=Best score: %s\r\n"
            "BestTime=Best time: %d:%02d\r\n"
            "LevelIndex=Level %d-%d\r\n"
            "NotPlayed=None yet\r\n"
            "LevelA=Alpha\r\n"
            "LevelB=Beta\r\n"
            "TilesetName0=Jade\r\n"
            "TilesetName1=Lacquer\r\n";
    IniFile_t terms;
    terms.Parse(text.data(), text.size(), true, "termins.txt");
    TextTable_t::Instance()->Load(terms);
}

// Stages with the given numbers of levels; level names alternate LevelA, LevelB
// and every layout is "grid.lay".
inline std::unique_ptr<StageCatalogue_t> MakeStages(std::initializer_list<int> levelsPerStage) {
    auto stages = std::make_unique<StageCatalogue_t>();
    int n = 0;
    for (int count : levelsPerStage) {
        auto stage = std::make_unique<Stage_t>();
        for (int i = 0; i < count; ++i, ++n) {
            auto level = std::make_unique<StageLevel_t>();
            level->name = n % 2 == 0 ? "LevelA" : "LevelB";
            level->layout = "grid.lay";
            level->time = 5;
            stage->games0.push_back(std::move(level));
        }
        stages->stages.push_back(std::move(stage));
    }
    return stages;
}

// An opaque picture of one colour.
inline std::shared_ptr<Velm::Image> SolidImage(int width, int height, uint32_t argb) {
    auto image = std::make_shared<Velm::MemoryImage>();
    image->Create(width, height);
    uint32_t* bits = image->GetBits();
    for (int i = 0; i < width * height; ++i) bits[i] = argb;
    image->MarkBitsChanged();
    return image;
}

// One tile set of 50 groups; the blank face (group 49) is a white 58 x 68 tile.
inline std::unique_ptr<TilesetCatalogue_t> MakeTilesets(uint32_t blankColour = 0xFFFFFFFFu) {
    auto catalogue = std::make_unique<TilesetCatalogue_t>();
    auto set = std::make_unique<Tileset_t>();
    for (int i = 0; i < 50; ++i) {
        auto group = std::make_unique<TileGroup_t>();
        if (i == 49) group->spriteImage = SolidImage(58, 68, blankColour);
        set->groups.push_back(std::move(group));
    }
    catalogue->tilesets.push_back(std::move(set));
    return catalogue;
}

// A layout of `layers` layers of rows x columns tiles side by side (tiles
// cover two cells each way), written to dir/Layouts/name.
inline void WriteGridLayout(const TempDir& dir, const std::string& name, int layers, int rows, int columns) {
    std::filesystem::create_directories(dir.Path("Layouts"));
    const int count = layers * rows * columns;
    std::string text = "[info]\r\nLAYOUTNAME=" + name + "\r\nITEMSCOUNT=" + std::to_string(count) +
                       "\r\nLAYERCOUNT=" + std::to_string(layers) + "\r\nROWCOUNT=" + std::to_string(rows * 2 + 1) +
                       "\r\nCOLCOUNT=" + std::to_string(columns * 2 + 1) + "\r\n";
    int i = 0;
    for (int l = 0; l < layers; ++l) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c, ++i) {
                text += std::to_string(i) + "=" + std::to_string(l) + ";" + std::to_string(r * 2 + l) + ";" +
                        std::to_string(c * 2 + l) + ";1;0\r\n";
            }
        }
    }
    WriteBytes(dir.Path("Layouts/" + name), std::vector<uint8_t>(text.begin(), text.end()));
}

// Runs the test body with the current directory in dir (layouts are read
// relative to it) and restores it.
class CurrentDir {
public:
    explicit CurrentDir(const std::string& path) : mOld(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~CurrentDir() { std::filesystem::current_path(mOld); }
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

private:
    std::filesystem::path mOld;
};

}  // namespace screenstest

namespace screenstest {

// A fresh profile manager with one current player whose files go to dir.
inline ProfileManager_t& FreshProfiles(const TempDir& dir, const StageCatalogue_t* simple = nullptr) {
    ProfileManager_t::Destroy();
    ProfileManager_t& profiles = *ProfileManager_t::Instance();
    profiles.SetCatalogues(simple, nullptr, nullptr);
    profiles.Load(dir.Path("users.dat"));
    profiles.AddProfile(std::make_unique<Profile_t>("anna", 0.5f, 0.4f));
    profiles.SetMode(0);
    return profiles;
}

// The level-complete window: id 15, resting where it starts, with its nine
// labels, the Ok button and the two label areas.
inline void WriteLevelCompleteUi(const TempDir& dir) {
    std::filesystem::create_directories(dir.Path("ui"));
    WriteIni(dir.Path("ui/levelcomplete.txt"), {"[Main]",
                                                "ID=15",
                                                "Modal=1",
                                                "Position=512,384,500,400",
                                                "BeginX=512",
                                                "BeginY=384",
                                                "EndX=512",
                                                "EndY=1200",
                                                "Speed=40",
                                                "[ScoreLbl]",
                                                "Type=Link",
                                                "Caption=Score",
                                                "Position=20,40,200,30",
                                                "[TimeLbl]",
                                                "Type=Link",
                                                "Caption=Time",
                                                "Position=20,80,200,30",
                                                "[TotalScoreLbl]",
                                                "Type=Link",
                                                "Caption=Total",
                                                "Position=20,120,200,30",
                                                "[GameScoreLbl]",
                                                "Type=Link",
                                                "Caption=Game",
                                                "Position=20,160,200,30",
                                                "[LevelLbl]",
                                                "Type=Link",
                                                "Position=20,5,460,30",
                                                "[ScoreLblValue]",
                                                "Type=Link",
                                                "Position=260,40,200,30",
                                                "[TimeLblValue]",
                                                "Type=Link",
                                                "Position=260,80,200,30",
                                                "[TotalScoreLblValue]",
                                                "Type=Link",
                                                "Position=260,120,200,30",
                                                "[GameScoreLblValue]",
                                                "Type=Link",
                                                "Position=260,160,200,30",
                                                "[Ok]",
                                                "Type=DialogButton",
                                                "ID=0",
                                                "Caption=OK",
                                                "Position=150,330,200,48",
                                                "[ButtonsXY]",
                                                "Type=Point",
                                                "X=20",
                                                "Y=40",
                                                "[ButtonsWH]",
                                                "Type=Point",
                                                "X=200",
                                                "Y=200",
                                                "[Buttons2XY]",
                                                "Type=Point",
                                                "X=260",
                                                "Y=40",
                                                "[Buttons2WH]",
                                                "Type=Point",
                                                "X=200",
                                                "Y=200"});
}

// The burst effect: one emitter living `seconds` (NeverEnding when asked).
inline void WriteBurst(const TempDir& dir, const char* seconds, bool neverEnding) {
    std::filesystem::create_directories(dir.Path("particles"));
    WriteIni(dir.Path("particles/levelcomplete.ini"),
             {"[Main]", (std::string("Time=") + seconds).c_str(), "[Item1]", "NUMBER=0,5;1,5", "LIFE=0,0.1;1,0.1",
              neverEnding ? "NeverEnding=1" : "NeverEnding=0"});
}

}  // namespace screenstest

namespace screenstest {

// The level list: six radio slots of 270 x 200 in two rows, page, tile-set,
// back and play buttons, the four labels and a background picture entry.
inline void WriteSimpleUi(const TempDir& dir) {
    std::filesystem::create_directories(dir.Path("ui"));
    std::vector<std::string> lines;
    for (int k = 1; k <= 6; ++k) {
        const int x = 40 + ((k - 1) % 3) * 300;
        const int y = 80 + ((k - 1) / 3) * 230;
        lines.push_back("[CB" + std::to_string(k) + "]");
        lines.push_back("Type=RadioButton");
        lines.push_back("ID=" + std::to_string(k));
        lines.push_back("Position=" + std::to_string(x) + "," + std::to_string(y) + ",270,200");
    }
    const char* rest[] = {"[Back]",
                          "Type=Button",
                          "ID=1",
                          "Position=20,700,150,40",
                          "[Play]",
                          "Type=Button",
                          "ID=2",
                          "Position=850,700,150,40",
                          "[TilesetPrev]",
                          "Type=Button",
                          "ID=3",
                          "Position=400,700,40,40",
                          "[TilesetNext]",
                          "Type=Button",
                          "ID=4",
                          "Position=460,700,40,40",
                          "[PrevPage]",
                          "Type=Button",
                          "ID=5",
                          "Position=20,300,40,40",
                          "[NextPage]",
                          "Type=Button",
                          "ID=6",
                          "Position=960,300,40,40",
                          "[ScoreLbl]",
                          "Type=Link",
                          "Position=300,560,400,30",
                          "[TimeLbl]",
                          "Type=Link",
                          "Position=300,600,400,30",
                          "[LevelNameLbl]",
                          "Type=Link",
                          "Position=300,520,400,30",
                          "[LevelLbl]",
                          "Type=Link",
                          "Position=300,490,400,30",
                          "[TilesetLbl]",
                          "Type=Link",
                          "Position=440,700,20,40"};
    for (const char* line : rest) lines.push_back(line);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteBytes(dir.Path("ui/simpleui.txt"), std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace screenstest
