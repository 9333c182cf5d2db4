#pragma once

// The play screen on a seeded board, headless: a host that records what the screen asks of the
// application (sounds, windows, screen switches), a content folder with the screen's UI file and
// the test layouts, one player profile and a one-stage catalogue.

#include <unistd.h>

#include <sys/stat.h>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/board/GlobalLayouts.h"
#include "game/board/Layout.h"
#include "game/board/screen/BoardHost.h"
#include "game/board/screen/BoardWidjet.h"
#include "game/shell/BonusSettings.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/StageCatalogue.h"
#include "platform/CrtRand.h"
#include "tests/game/board/BoardPlaySupport.h"
#include "tests/game/board/screen/RecordingHost.h"

namespace screentest {

// The screen's description: every element the screen looks up.
inline std::string BoardUiText() {
    return "[Shuffle]\r\nType=Button\r\nID=1\r\nPosition=900,100,100,40\r\n"
           "[Hint]\r\nType=Button\r\nID=2\r\nPosition=900,150,100,40\r\nCaption=HintCaption\r\n"
           "[Undo]\r\nType=Button\r\nID=3\r\nPosition=900,200,100,40\r\n"
           "[SkipGame]\r\nType=Button\r\nID=4\r\nPosition=900,250,100,40\r\nVisible=0\r\n"
           "[SkipDialog]\r\nType=Button\r\nID=5\r\nPosition=900,300,100,40\r\nVisible=0\r\n"
           "[FreeTiles]\r\nType=CheckBox\r\nID=1\r\nPosition=900,350,20,20\r\n"
           "[LevelNameLbl]\r\nType=Link\r\nPosition=10,10,200,20\r\n"
           "[GameTypeLbl]\r\nType=Link\r\nPosition=10,30,200,20\r\n"
           "[TimeLbl]\r\nType=Link\r\nPosition=10,50,200,20\r\n"
           "[MatchesLbl]\r\nType=Link\r\nPosition=10,70,200,20\r\n"
           "[TilesRemainingLbl]\r\nType=Link\r\nPosition=10,90,200,20\r\n"
           "[TimeLblCap]\r\nType=Link\r\nPosition=10,110,200,20\r\n"
           "[ShowFree1Lbl]\r\nType=Link\r\nPosition=10,130,200,20\r\n"
           "[ShowFree2Lbl]\r\nType=Link\r\nPosition=10,150,200,20\r\n";
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// One content folder for the whole test program: the current folder during the tests.
inline const std::string& ContentFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/velm-board-screen-XXXXXX";
        const char* made = mkdtemp(pattern);
        std::string dir = made != nullptr ? made : "/tmp";
        mkdir((dir + "/ui").c_str(), 0755);
        mkdir((dir + "/Layouts").c_str(), 0755);
        WriteText(dir + "/ui/board.txt", BoardUiText());
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        if (chdir(dir.c_str()) != 0) return dir;
        return dir;
    }();
    return folder;
}

struct LevelSpec {
    std::string layout = "Classic";
    int type = 0;
    int minutes = 20;
};

// A screen on a fresh profile with one stage of the given levels, entered and played up to the
// start of play (board state 3).
class ScreenFixture {
public:
    explicit ScreenFixture(const std::vector<LevelSpec>& levels = {LevelSpec{}}, bool adventure = false,
                           unsigned seed = 7) {
        ContentFolder();
        WriteText("Layouts/Classic", boardtest::ClassicLayoutText());
        WriteText("Layouts/Play", boardtest::LayoutText(PlayBoard(), -1, 24, 40, "Play"));
        WriteText("Layouts/Broken", "[info]\r\nITEMSCOUNT=3\r\n");
        static boardtest::FakeTileSets sets = boardtest::PlayTileSets();
        for (int type = 0; type <= 6; ++type) {
            Velm::Layout_t& layout = Velm::LayoutForGameType(type);
            layout.SetTileSets(&sets);
            if (layout.positions[0][0][0][2] == 0) layout.Init();
        }
        plat::CrtSrand(seed);

        auto* stage = new Stage_t;
        for (const LevelSpec& spec : levels) {
            auto level = std::make_unique<StageLevel_t>();
            level->name = "TestLevel";
            level->layout = spec.layout;
            level->type = spec.type;
            level->time = spec.minutes;
            stage->games0.push_back(std::move(level));
        }
        catalogue.stages.emplace_back(stage);

        ProfileManager_t* profiles = ProfileManager_t::Instance();
        while (profiles->GetProfileCount() > 0) profiles->DeleteProfile(0);
        auto profile = std::make_unique<Profile_t>("Tester", 0.5f, 0.4f);
        profile->fileRead = true;
        profiles->AddProfile(std::move(profile));
        profiles->SetCurrentIndex(0);
        profiles->SetMode(adventure ? 1 : 0);
        profiles->GetCurrentProgress()->gameOrder.clear();
        for (size_t i = 0; i < levels.size(); ++i)
            profiles->GetCurrentProgress()->gameOrder.push_back(static_cast<int>(i));
        profiles->GetCurrentProgress()->levelRecords.push_back(LevelRecord_t{0, 0, 0, false});

        auto recording = std::make_unique<RecordingHost>();
        host = recording.get();
        host->adventure = adventure;
        host->catalogue = &catalogue;
        board = std::make_unique<Velm::BoardWidjet_t>(std::move(recording), "ui/board.txt");
    }

    // The screen is shown, the level-name window opens and closes, and the tiles appear.
    void EnterAndPlay() {
        board->OnShown();
        for (int i = 0; i < 150; ++i) board->Update();
        ASSERT_TRUE(host->Opened(Velm::BoardDialog::LevelName));
        board->DialogButtonDepress(Velm::BoardDialogId::kLevelName, 1);
        for (int i = 0; i < 400 && board->boardState != Velm::BoardWidjet_t::kStatePlaying; ++i) board->Update();
        ASSERT_EQ(board->boardState, Velm::BoardWidjet_t::kStatePlaying);
        // Adventure mode shows the mode's help page once; the player closes it.
        if (host->Opened(Velm::BoardDialog::HelpPage)) board->DialogButtonDepress(Velm::BoardDialogId::kHelp, 0);
        ASSERT_EQ(board->openDialogs, 0);
    }

    Velm::Layout_t& Layout() { return *board->CurrentLayout(); }
    int Score() const { return ProfileManager_t::Instance()->GetCurrentProgress()->gameScore; }

    // A left click on a tile, as the pointer would give it: move there, then release.
    void ClickTile(int tile) {
        const std::pair<int, int> point = boardtest::PointOn(Layout(), tile);
        board->MouseMove(point.first, point.second);
        board->MouseUp(point.first, point.second, 1);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) board->Update();
    }

    // The board of the layout play tests: pairs 0-1 (face 5) and 2-3 (face 7); a row 4 5 6;
    // 7 under 8; tools 9 swap, 10 change, 11 remover, 12 hint; 13 fixed face, 14 free.
    static std::vector<boardtest::TileLine> PlayBoard() {
        return {{0, 0, 0},     {0, 0, 4},     {0, 0, 8},      {0, 0, 12},    {0, 4, 2},
                {0, 4, 4},     {0, 4, 6},     {0, 8, 2},      {1, 8, 2},     {0, 12, 0, 1},
                {0, 12, 4, 2}, {0, 12, 8, 4}, {0, 12, 12, 5}, {0, 16, 0, 3}, {0, 16, 4}};
    }
    // The play tests' faces on the play board.
    void UsePlayFaces() {
        const std::pair<int, int> faces[] = {{0, 5},  {1, 5},  {2, 7},  {3, 7},  {4, 9},  {5, 9},
                                             {6, 11}, {7, 11}, {8, 13}, {13, 9}, {14, 13}};
        for (const auto& face : faces) Layout().SetTileFace(face.first, face.second);
        Layout().FindAvailablePairs();
    }

    StageCatalogue_t catalogue;
    RecordingHost* host = nullptr;
    std::unique_ptr<Velm::BoardWidjet_t> board;
};

}  // namespace screentest
