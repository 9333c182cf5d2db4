#include "game/board/Layout.h"
#include "game/board/LayoutFile.h"
#include "tests/game/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace boardtest;
using Velm::Layout_t;

namespace {

// Two ordinary tiles side by side on layer 0, one on layer 1 over both halves.
const char kSmallLayout[] =
        "; a small hand-made layout\r\n"
        "[info]\r\n"
        "LAYOUTNAME=Small\r\n"
        "ITEMSCOUNT=3\r\n"
        "LAYERCOUNT=2\r\n"
        "ROWCOUNT=4\r\n"
        "COLCOUNT=6\r\n"
        "0=0;0;0;1;0\r\n"
        "1=0;0;2;1;0\r\n"
        "2=1;0;1;1;0\r\n";

std::unique_ptr<Layout_t> NewLayout() {
    auto layout = std::make_unique<Layout_t>();
    layout->Init();
    return layout;
}

TEST(LayoutFile, LoadsCountsTilesAndGrid) {
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(kSmallLayout, "small.lay")) << layout->GetLoadError();
    EXPECT_EQ(layout->name, "Small");
    EXPECT_EQ(layout->itemCount, 3);
    EXPECT_EQ(layout->layerCount, 2);
    EXPECT_EQ(layout->rowCount, 4);
    EXPECT_EQ(layout->colCount, 6);
    EXPECT_EQ(layout->activeTileCount, 3);
    EXPECT_EQ(layout->playableTileCount, 3);
    // Tile 2 covers cells (1,0) (2,0) (1,1) (2,1) of layer 1.
    const Velm::LayoutTile_t& tile = layout->tiles[2];
    EXPECT_EQ(tile.cells[0].column, 1);
    EXPECT_EQ(tile.cells[1].column, 2);
    EXPECT_EQ(tile.cells[2].row, 1);
    EXPECT_EQ(tile.cells[3].column, 2);
    EXPECT_EQ(tile.cells[3].row, 1);
    for (const Velm::LayoutCell_t& cell : tile.cells) {
        EXPECT_EQ(cell.layer, 1);
        EXPECT_EQ(cell.tileIndex, 2);
    }
    EXPECT_TRUE(layout->IsOccupied(1, 1, 2));
    EXPECT_FALSE(layout->IsOccupied(1, 1, 3));
    EXPECT_FALSE(layout->IsOccupied(1, 2, 1));
    EXPECT_EQ(layout->FindTileAt(1, 1, 2), 2);
    EXPECT_EQ(layout->FindTileAt(0, 1, 3), 1);
    EXPECT_EQ(layout->FindTileAt(1, 3, 3), -1);
}

TEST(LayoutFile, SpritePivotAndCellRectangles) {
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(LayoutText({{0, 0, 0}, {3, 10, 20}}), "pivot"));
    EXPECT_FLOAT_EQ(layout->Cell(0).x, 43.0f);
    EXPECT_FLOAT_EQ(layout->Cell(0).y, 119.0f);
    EXPECT_EQ(layout->positions[3][10][20][0], 512);
    EXPECT_EQ(layout->positions[3][10][20][1], 380);
    EXPECT_EQ(layout->positions[3][10][20][2], 51);
    EXPECT_EQ(layout->positions[3][10][20][3], 64);
    EXPECT_FLOAT_EQ(layout->Cell(1).x, 512.0f + 29.0f);
    EXPECT_FLOAT_EQ(layout->Cell(1).y, 380.0f + 34.0f);
}

TEST(LayoutFile, EmptyLayoutLoadsAndIsCleared) {
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(LayoutText({}, 0, 0, 0), "empty"));
    EXPECT_EQ(layout->itemCount, 0);
    EXPECT_TRUE(layout->IsCleared());
}

TEST(LayoutFile, SecondLoadDeactivatesEveryTileOfTheFirst) {
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(LayoutText({{0, 0, 0}, {0, 0, 2}, {0, 0, 4}}), "first"));
    ASSERT_TRUE(layout->LoadFromText(LayoutText({{0, 4, 4}}), "second"));
    EXPECT_EQ(layout->itemCount, 1);
    for (int i = 1; i < 3; ++i) EXPECT_FALSE(layout->Cell(i).active) << i;
    EXPECT_FALSE(layout->IsOccupied(0, 0, 0));
    EXPECT_TRUE(layout->IsOccupied(0, 5, 5));
}

TEST(LayoutFile, SpecialKindsTakeTheFaceOfTheirTypesGroup) {
    FakeTileSets sets;
    sets.sets.push_back(MakeStandardTileSet());
    sets.sets[0].groups[10].type = 5;  // a second group of type 5, below the standard one
    auto layout = NewLayout();
    layout->SetTileSets(&sets);
    EXPECT_EQ(layout->FindFaceByType(5), 46);  // the highest group index wins
    EXPECT_EQ(layout->FindFaceByType(77), 0);
    ASSERT_TRUE(layout->LoadFromText(LayoutText({{0, 0, 0, 5}, {0, 0, 2, 1}, {0, 0, 4, 0}}), "kinds"));
    EXPECT_EQ(layout->Cell(0).face, 47);
    EXPECT_EQ(layout->Cell(1).face, 44);
    EXPECT_EQ(layout->tiles[0].cells[3].face, 47);
    EXPECT_EQ(layout->Cell(0).kind, 5);
    EXPECT_EQ(layout->playableTileCount, 1);
    EXPECT_TRUE(layout->HasSpecialTiles());
}

struct RefusalCase {
    const char* why;
    std::string text;
    const char* expected;  // part of the error message
};

TEST(LayoutFile, BrokenFilesAreRefusedAndLeaveTheBoardUnchanged) {
    std::string tooMany = "[info]\r\nITEMSCOUNT=501\r\nLAYERCOUNT=1\r\nROWCOUNT=24\r\nCOLCOUNT=40\r\n";
    // clang-format off
    const RefusalCase cases[] = {
                {"empty text", "", "empty"},
                {"no info section", "[other]\r\nITEMSCOUNT=0\r\n", "no [info]"},
                {"missing count", "[info]\r\nITEMSCOUNT=0\r\nLAYERCOUNT=1\r\nROWCOUNT=2\r\n", "missing COLCOUNT"},
                {"count not a number", "[info]\r\nITEMSCOUNT=2x\r\nLAYERCOUNT=1\r\nROWCOUNT=2\r\nCOLCOUNT=2\r\n",
                 "ITEMSCOUNT '2x'"},
                {"too many tiles", tooMany, "ITEMSCOUNT 501"},
                {"too many layers", LayoutText({{0, 0, 0}}, 11), "LAYERCOUNT 11"},
                {"too many rows", LayoutText({{0, 0, 0}}, 1, 25), "ROWCOUNT 25"},
                {"negative columns", LayoutText({{0, 0, 0}}, 1, 24, -1), "COLCOUNT -1"},
                {"tile line missing",
                 "[info]\r\nITEMSCOUNT=2\r\nLAYERCOUNT=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0=0;0;0;1;0\r\n",
                 "tile 1 is missing"},
                {"four numbers", "[info]\r\nITEMSCOUNT=1\r\nLAYERCOUNT=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0=0;0;0;1\r\n",
                 "not five integers"},
                {"six numbers", "[info]\r\nITEMSCOUNT=1\r\nLAYERCOUNT=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0=0;0;0;1;0;0\r\n",
                 "not five integers"},
                {"garbled number", "[info]\r\nITEMSCOUNT=1\r\nLAYERCOUNT=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0=0;0;x;1;0\r\n",
                 "not five integers"},
                {"empty tile line", "[info]\r\nITEMSCOUNT=1\r\nLAYERCOUNT=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0=\r\n",
                 "not five integers"},
                {"layer at the layer count", LayoutText({{1, 0, 0}}, 1), "layer 1"},
                {"negative layer", LayoutText({{-1, 0, 0}}, 1), "layer -1"},
                {"row leaves no room", LayoutText({{0, 23, 0}}, 1), "row 23"},
                {"row outside the declared rows", LayoutText({{0, 3, 0}}, 1, 4), "row 3"},
                {"column 39 leaves no room", LayoutText({{0, 0, 39}}, 1), "column 39"},
                {"kind number 0", LayoutText({{0, 0, 0, -1}}), "kind 0"},
                {"negative group value", LayoutText({{0, 0, 0, 0, -2}}), "group value -2"},
                {"overlap by one cell", LayoutText({{0, 0, 0}, {0, 1, 1}}), "tile 1 overlaps tile 0"},
                {"same place twice", LayoutText({{0, 2, 2}, {0, 4, 4}, {0, 2, 2}}), "tile 2 overlaps tile 0"},
                {"tile line beyond the count", LayoutText({{0, 0, 0}}) + "1=0;0;4;1;0\r\n", "beyond ITEMSCOUNT"},
    };
    // clang-format on
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(kSmallLayout, "small.lay"));
    layout->Deal(true);
    const int faces[3] = {layout->Cell(0).face, layout->Cell(1).face, layout->Cell(2).face};
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_FALSE(layout->LoadFromText(c.text, "broken.lay"));
        EXPECT_NE(layout->GetLoadError().find("broken.lay"), std::string::npos) << layout->GetLoadError();
        EXPECT_NE(layout->GetLoadError().find(c.expected), std::string::npos) << layout->GetLoadError();
        EXPECT_EQ(layout->name, "Small");
        EXPECT_EQ(layout->itemCount, 3);
        EXPECT_EQ(layout->layerCount, 2);
        EXPECT_TRUE(layout->Cell(2).active);
        EXPECT_TRUE(layout->IsOccupied(1, 0, 1));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(layout->Cell(i).face, faces[i]);

        Velm::LayoutFileData data;
        std::string error;
        EXPECT_FALSE(Velm::ParseLayoutText(c.text.data(), c.text.size(), "tool", data, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(LayoutFile, LfOnlyLineEndsLoadLikeCrLf) {
    std::string lfOnly = kSmallLayout;
    for (size_t pos = lfOnly.find("\r\n"); pos != std::string::npos; pos = lfOnly.find("\r\n", pos)) {
        lfOnly.erase(pos, 1);
    }
    auto layout = NewLayout();
    ASSERT_TRUE(layout->LoadFromText(lfOnly, "lf.lay")) << layout->GetLoadError();
    EXPECT_EQ(layout->name, "Small");
    EXPECT_EQ(layout->itemCount, 3);
    EXPECT_TRUE(layout->IsOccupied(1, 1, 2));
}

TEST(LayoutFile, BlanksAroundNumbersAreAccepted) {
    auto layout = NewLayout();
    const std::string text =
            "[INFO]\r\nitemscount= 1 \r\nLayerCount=1\r\nROWCOUNT=4\r\nCOLCOUNT=4\r\n0= 0 ; 2 ;\t2;1;7 \r\n";
    ASSERT_TRUE(layout->LoadFromText(text, "blanks")) << layout->GetLoadError();
    EXPECT_EQ(layout->Cell(0).row, 2);
    EXPECT_EQ(layout->Cell(0).groupValue, 7);
}

TEST(LayoutFile, MissingFileIsReportedByName) {
    auto layout = NewLayout();
    EXPECT_FALSE(layout->Load("no-such-layout.lay"));
    EXPECT_NE(layout->GetLoadError().find("Layouts/no-such-layout.lay"), std::string::npos) << layout->GetLoadError();
    EXPECT_EQ(layout->itemCount, 0);
}

TEST(LayoutFile, LoadsFromDisk) {
    const std::filesystem::path dir =
            std::filesystem::temp_directory_path() /
            ("velm-board-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "small.lay";
    {
        std::ofstream out(file, std::ios::binary);
        out << kSmallLayout;
    }
    auto layout = NewLayout();
    EXPECT_TRUE(layout->LoadFromFile(file.string())) << layout->GetLoadError();
    EXPECT_EQ(layout->itemCount, 3);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "[info]\r\nITEMSCOUNT=1\r\n";  // truncated
    }
    EXPECT_FALSE(layout->LoadFromFile(file.string()));
    EXPECT_NE(layout->GetLoadError().find("small.lay"), std::string::npos);
    EXPECT_EQ(layout->itemCount, 3);
    std::filesystem::remove_all(dir);
}

TEST(LayoutFile, ClassicLayoutIsValid) {
    Velm::LayoutFileData data;
    std::string error;
    const std::string text = ClassicLayoutText();
    ASSERT_TRUE(Velm::ParseLayoutText(text.data(), text.size(), "classic", data, error)) << error;
    EXPECT_EQ(data.itemCount, 144);
}

}  // namespace
