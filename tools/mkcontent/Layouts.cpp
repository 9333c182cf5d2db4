#include "tools/mkcontent/Layouts.h"

#include <algorithm>

#include "tools/mkcontent/TextFiles.h"

namespace mkcontent {

namespace {

// Adds the tiles of a layer drawn as text: each character is one half-tile step, 'X' marks
// a tile's anchor; rows of text are cell rows.
void AddLayer(LayoutShape& shape, int layer, int top, int left, const std::vector<std::string>& picture) {
    for (size_t r = 0; r < picture.size(); ++r)
        for (size_t c = 0; c < picture[r].size(); ++c)
            if (picture[r][c] == 'X')
                shape.tiles.push_back({layer, top + static_cast<int>(r), left + static_cast<int>(c)});
}

// A block of w x h tiles side by side with its first anchor at (row, column).
void AddBlock(LayoutShape& shape, int layer, int row, int column, int w, int h) {
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) shape.tiles.push_back({layer, row + 2 * r, column + 2 * c});
}

LayoutShape Classic() {
    LayoutShape s{"classic.lay", "Dragon Gate", {}};
    // The bottom layer: eight rows of 12, 8, 10, 12, 12, 10, 8 and 12 tiles, one tile at the
    // left end and two at the right end between the middle rows.
    const int lengths[8] = {12, 8, 10, 12, 12, 10, 8, 12};
    const int left = 6, top = 1;
    for (int r = 0; r < 8; ++r) AddBlock(s, 0, top + 2 * r, left + 12 - lengths[r], lengths[r], 1);
    s.tiles.push_back({0, top + 7, left - 2});
    s.tiles.push_back({0, top + 7, left + 24});
    s.tiles.push_back({0, top + 7, left + 26});
    AddBlock(s, 1, top + 2, left + 6, 6, 6);
    AddBlock(s, 2, top + 4, left + 8, 4, 4);
    AddBlock(s, 3, top + 6, left + 10, 2, 2);
    s.tiles.push_back({4, top + 7, left + 11});
    return s;
}

// The first boards of free play: small and low, so a new player sees the rules at work.
LayoutShape Lantern() {
    LayoutShape s{"lantern.lay", "Lantern", {}};
    AddBlock(s, 0, 4, 14, 6, 4);  // 24
    s.tiles.push_back({0, 7, 12});
    s.tiles.push_back({0, 7, 26});
    AddBlock(s, 1, 5, 16, 4, 3);  // 12
    AddBlock(s, 2, 7, 18, 2, 1);  // 2
    return s;
}

LayoutShape TwinHills() {
    LayoutShape s{"twinhills.lay", "Twin Hills", {}};
    for (int left : {8, 24}) {
        AddBlock(s, 0, 4, left, 4, 4);        // 16
        AddBlock(s, 1, 5, left + 1, 3, 3);    // 9
        AddBlock(s, 2, 6, left + 2, 2, 2);    // 4
        s.tiles.push_back({3, 7, left + 3});  // 1
    }
    AddBlock(s, 0, 7, 16, 4, 1);  // the saddle between the hills
    return s;
}

LayoutShape Pyramid() {
    LayoutShape s{"pyramid.lay", "Pyramid", {}};
    AddBlock(s, 0, 2, 12, 8, 6);
    AddBlock(s, 1, 4, 14, 6, 4);
    AddBlock(s, 2, 6, 16, 4, 2);
    AddBlock(s, 3, 7, 18, 2, 1);
    return s;
}

LayoutShape Fortress() {
    LayoutShape s{"fortress.lay", "Fortress", {}};
    AddLayer(s, 0, 1, 6,
             {
                     "X.X.X.X.X.X.X.X.X.X.X.X.X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X.X.X.X.X",
                     "",
                     "X.X.............X.X.....X.X",
                     "",
                     "X.X.....X.X.X.X.X.X.....X.X",
                     "",
                     "X.X.....X.X.X.X.X.X.....X.X",
                     "",
                     "X.X.............X.X.....X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X.X.X.X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X.X.X.X.X",
             });
    AddLayer(s, 1, 1, 6,
             {
                     "X.X.....................X.X",
                     "",
                     "X.X.....................X.X",
                     "",
                     "",
                     "",
                     ".........X.X.X.X.X",
                     "",
                     ".........X.X.X.X.X",
                     "",
                     "",
                     "",
                     "X.X.....................X.X",
                     "",
                     "X.X.....................X.X",
             });
    AddLayer(s, 2, 2, 7,
             {"X.......................X", "", "", "", "", "", "", "", "", "", "", "", "X.......................X"});
    AddLayer(s, 2, 8, 16, {"X.X"});
    return s;
}

LayoutShape Butterfly() {
    LayoutShape s{"butterfly.lay", "Butterfly", {}};
    AddLayer(s, 0, 1, 4,
             {
                     "X.X.X...........X.X.X",
                     "",
                     "X.X.X.X.......X.X.X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X.X",
                     "",
                     "..X.X.X.X.X.X.X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X.X",
                     "",
                     "X.X.X.X.......X.X.X.X",
                     "",
                     "X.X.X...........X.X.X",
             });
    AddLayer(s, 1, 2, 5,
             {
                     "X.X.............X.X",
                     "",
                     "X.X.X.........X.X.X",
                     "",
                     "......X.X.X.X",
                     "",
                     "......X.X.X.X",
                     "",
                     "X.X.X.........X.X.X",
                     "",
                     "X.X.............X.X",
             });
    AddLayer(s, 2, 6, 11, {"X.X.X", "", "X.X.X"});
    return s;
}

LayoutShape Bridge() {
    LayoutShape s{"bridge.lay", "Moon Bridge", {}};
    AddBlock(s, 0, 1, 2, 4, 8);
    AddBlock(s, 0, 1, 26, 4, 8);
    AddBlock(s, 0, 6, 10, 8, 3);
    AddBlock(s, 1, 7, 10, 8, 2);
    AddBlock(s, 1, 3, 3, 3, 6);
    AddBlock(s, 1, 3, 27, 3, 6);
    AddBlock(s, 2, 8, 12, 6, 1);
    return s;
}

LayoutShape Pair() {
    LayoutShape s{"pair.lay", "First Pair", {}};
    s.tiles = {{0, 10, 18}, {0, 10, 20}};
    return s;
}

// Layer modes: every layer even and at most 42 tiles, no empty layer in between.
LayoutShape Tower() {
    LayoutShape s{"tower.lay", "Tower", {}};
    AddBlock(s, 0, 2, 12, 8, 5);  // 40
    AddBlock(s, 1, 3, 13, 7, 4);  // 28
    AddBlock(s, 2, 4, 14, 6, 3);  // 18
    AddBlock(s, 3, 5, 15, 5, 2);  // 10
    AddBlock(s, 4, 6, 16, 4, 1);  // 4
    return s;
}

LayoutShape Steps() {
    LayoutShape s{"steps.lay", "Steps", {}};
    AddBlock(s, 0, 3, 10, 10, 4);  // 40
    AddBlock(s, 1, 4, 13, 6, 3);   // 18
    AddBlock(s, 2, 5, 15, 4, 2);   // 8
    AddBlock(s, 3, 6, 17, 2, 1);   // 2
    return s;
}

// Flat boards for the rivers and swap modes, and a small one for memory.
LayoutShape Rivers() {
    LayoutShape s{"rivers.lay", "Rivers", {}};
    AddBlock(s, 0, 2, 6, 14, 7);  // 98
    return s;
}

LayoutShape Garden() {
    LayoutShape s{"garden.lay", "Garden", {}};
    AddBlock(s, 0, 2, 8, 12, 6);  // 72, tiles side by side: every tile has neighbours
    return s;
}

LayoutShape Memory() {
    LayoutShape s{"memory.lay", "Memory", {}};
    AddBlock(s, 0, 3, 12, 8, 5);  // 40
    return s;
}

// ---- The adventure: a board of its own for every level ----

// The lake: a lotus flower, reed isles and a pavilion on the shore.
LayoutShape Lotus() {
    LayoutShape s{"lotus.lay", "Lotus", {}};
    AddLayer(s, 0, 3, 8,
             {
                     "......X.X.X.X",
                     "",
                     "..X.X.X.X.X.X.X.X",
                     "",
                     "X.X.X.X.X.X.X.X.X.X",
                     "",
                     "..X.X.X.X.X.X.X.X",
                     "",
                     "......X.X.X.X",
             });                    // 34
    AddBlock(s, 1, 4, 11, 5, 3);    // 15
    AddBlock(s, 2, 5, 13, 3, 2);    // 6
    s.tiles.push_back({3, 6, 15});  // 1
    return s;
}

LayoutShape ReedIsles() {
    LayoutShape s{"reedisles.lay", "Reed Isles", {}};
    const int isles[3][2] = {{3, 4}, {9, 15}, {3, 26}};  // row, column
    for (const auto& at : isles) {
        AddBlock(s, 0, at[0], at[1], 4, 3);          // 12
        AddBlock(s, 1, at[0] + 1, at[1] + 1, 3, 2);  // 6
        AddBlock(s, 2, at[0] + 2, at[1] + 2, 2, 1);  // 2
    }
    return s;
}

LayoutShape Pavilion() {
    LayoutShape s{"pavilion.lay", "Pavilion", {}};
    AddBlock(s, 0, 3, 4, 14, 1);  // the roof, 14
    AddBlock(s, 1, 2, 8, 10, 1);  // its ridge, 10
    AddBlock(s, 0, 5, 8, 1, 3);   // two pillars, 3 each
    AddBlock(s, 0, 5, 26, 1, 3);
    AddBlock(s, 0, 11, 6, 12, 3);  // the floor, 36
    AddBlock(s, 1, 12, 9, 9, 2);   // 18
    AddBlock(s, 2, 13, 12, 6, 1);  // 6
    return s;
}

// The mountains: cliffs, temple steps and the summit.
LayoutShape Cliffs() {
    LayoutShape s{"cliffs.lay", "Cliffs", {}};
    AddBlock(s, 0, 7, 4, 14, 5);  // 70
    AddBlock(s, 1, 6, 4, 9, 4);   // 36
    AddBlock(s, 2, 5, 4, 5, 2);   // 10
    AddBlock(s, 3, 4, 4, 2, 2);   // 4
    return s;
}

LayoutShape TempleSteps() {
    LayoutShape s{"templesteps.lay", "Temple Steps", {}};
    AddBlock(s, 0, 3, 6, 12, 6);   // 72
    AddBlock(s, 1, 6, 8, 10, 4);   // 40
    AddBlock(s, 2, 9, 10, 8, 2);   // 16
    AddBlock(s, 3, 12, 12, 6, 1);  // 6
    return s;
}

LayoutShape Summit() {
    LayoutShape s{"summit.lay", "Summit", {}};
    for (int r = 0; r < 7; ++r) AddBlock(s, 0, 3 + 2 * r, 19 - (2 + 2 * r), 2 + 2 * r, 1);   // 56
    for (int r = 0; r < 4; ++r) AddBlock(s, 1, 8 + 2 * r, 19 - (4 + 2 * r), 4 + 2 * r, 1);   // 28
    for (int r = 0; r < 3; ++r) AddBlock(s, 2, 11 + 2 * r, 19 - (2 + 2 * r), 2 + 2 * r, 1);  // 12
    AddBlock(s, 3, 14, 17, 2, 1);                                                            // 2
    return s;
}

// ---- More free play ----

LayoutShape Crossroads() {
    LayoutShape s{"crossroads.lay", "Crossroads", {}};
    AddBlock(s, 0, 7, 4, 14, 3);   // 42
    AddBlock(s, 0, 1, 14, 4, 3);   // 12
    AddBlock(s, 0, 13, 14, 4, 3);  // 12
    AddBlock(s, 1, 8, 6, 12, 2);   // 24
    AddBlock(s, 1, 2, 15, 3, 2);   // 6
    AddBlock(s, 1, 14, 15, 3, 2);  // 6
    AddBlock(s, 2, 9, 14, 4, 1);   // 4
    return s;
}

LayoutShape Ring() {
    LayoutShape s{"ring.lay", "Jade Ring", {}};
    AddBlock(s, 0, 3, 8, 10, 2);   // 20
    AddBlock(s, 0, 13, 8, 10, 2);  // 20
    AddBlock(s, 0, 7, 8, 2, 3);    // 6
    AddBlock(s, 0, 7, 24, 2, 3);   // 6
    AddBlock(s, 0, 9, 14, 4, 1);   // the jewel in the middle, 4
    AddBlock(s, 1, 4, 9, 9, 1);    // 9
    AddBlock(s, 1, 14, 9, 9, 1);   // 9
    return s;
}

LayoutShape Crab() {
    LayoutShape s{"crab.lay", "Crab", {}};
    AddBlock(s, 0, 6, 12, 8, 4);  // the body, 32
    AddBlock(s, 0, 2, 4, 3, 2);   // claws, 6 each
    AddBlock(s, 0, 2, 30, 3, 2);
    AddBlock(s, 0, 14, 8, 3, 1);  // legs, 3 each
    AddBlock(s, 0, 14, 24, 3, 1);
    AddBlock(s, 1, 7, 13, 7, 3);  // 21
    AddBlock(s, 2, 8, 14, 6, 2);  // 12
    AddBlock(s, 3, 9, 16, 3, 1);  // 3
    return s;
}

// Layer modes: every layer even and at most 42 tiles, no empty layer in between.
LayoutShape TwinTowers() {
    LayoutShape s{"twintowers.lay", "Twin Towers", {}};
    for (int left : {4, 24}) {
        AddBlock(s, 0, 4, left, 5, 4);      // 20
        AddBlock(s, 1, 5, left + 1, 4, 3);  // 12
        AddBlock(s, 2, 6, left + 2, 3, 2);  // 6
        AddBlock(s, 3, 7, left + 3, 2, 1);  // 2
    }
    return s;
}

LayoutShape Pagoda() {
    LayoutShape s{"pagoda.lay", "Pagoda", {}};
    AddBlock(s, 0, 11, 8, 10, 2);  // 20
    AddBlock(s, 1, 10, 10, 8, 2);  // 16
    AddBlock(s, 2, 9, 12, 6, 2);   // 12
    AddBlock(s, 3, 8, 14, 4, 2);   // 8
    AddBlock(s, 4, 7, 16, 2, 2);   // 4
    AddBlock(s, 5, 6, 16, 2, 1);   // 2
    return s;
}

LayoutShape LongWall() {
    LayoutShape s{"longwall.lay", "Long Wall", {}};
    AddBlock(s, 0, 4, 4, 14, 3);  // 42
    AddBlock(s, 1, 5, 6, 12, 2);  // 24
    AddBlock(s, 2, 6, 10, 8, 1);  // 8
    AddBlock(s, 3, 6, 14, 4, 1);  // 4
    return s;
}

// Flat boards: swap (tiles side by side), memory, and rivers (anchors on even cells, one
// route cell each).
LayoutShape Terraces() {
    LayoutShape s{"terraces.lay", "Terraces", {}};
    AddBlock(s, 0, 2, 6, 14, 2);    // 28
    AddBlock(s, 0, 8, 8, 12, 2);    // 24
    AddBlock(s, 0, 14, 10, 10, 2);  // 20
    return s;
}

LayoutShape LakeWave() {
    LayoutShape s{"lakewave.lay", "Lake Wave", {}};
    AddBlock(s, 0, 2, 4, 6, 2);  // 12 each
    AddBlock(s, 0, 6, 12, 6, 2);
    AddBlock(s, 0, 10, 20, 6, 2);
    AddBlock(s, 0, 2, 20, 6, 2);
    AddBlock(s, 0, 10, 4, 6, 2);
    return s;
}

LayoutShape FullMoon() {
    LayoutShape s{"fullmoon.lay", "Full Moon", {}};
    const int widths[7] = {4, 6, 8, 8, 8, 6, 4};  // 44
    for (int r = 0; r < 7; ++r) AddBlock(s, 0, 2 + 2 * r, 20 - widths[r], widths[r], 1);
    return s;
}

LayoutShape TwinPonds() {
    LayoutShape s{"twinponds.lay", "Twin Ponds", {}};
    AddBlock(s, 0, 3, 6, 5, 5);   // 25
    AddBlock(s, 0, 3, 24, 5, 5);  // 25
    return s;
}

LayoutShape Delta() {
    LayoutShape s{"delta.lay", "Delta", {}};
    const int widths[7] = {6, 10, 14, 16, 14, 10, 6};  // 76
    for (int r = 0; r < 7; ++r) AddBlock(s, 0, 2 + 2 * r, 20 - widths[r], widths[r], 1);
    return s;
}

LayoutShape Hourglass() {
    LayoutShape s{"hourglass.lay", "Hourglass", {}};
    const int widths[7] = {14, 10, 6, 4, 6, 10, 14};  // 64
    for (int r = 0; r < 7; ++r) AddBlock(s, 0, 2 + 2 * r, 20 - widths[r], widths[r], 1);
    return s;
}

}  // namespace

std::vector<LayoutShape> GetLayoutShapes() {
    return {Lantern(),  TwinHills(),   Classic(),  Pyramid(),    Fortress(),  Butterfly(), Bridge(),     Pair(),
            Tower(),    Steps(),       Rivers(),   Garden(),     Memory(),    Lotus(),     ReedIsles(),  Pavilion(),
            Cliffs(),   TempleSteps(), Summit(),   Crossroads(), Ring(),      Crab(),      TwinTowers(), Pagoda(),
            LongWall(), Terraces(),    LakeWave(), FullMoon(),   TwinPonds(), Delta(),     Hourglass()};
}

std::string LayoutText(const LayoutShape& shape) {
    int layers = 0, rows = 0, columns = 0;
    for (const LayoutTile& t : shape.tiles) {
        layers = std::max(layers, t.layer + 1);
        rows = std::max(rows, t.row + 2);
        columns = std::max(columns, t.column + 2);
    }
    std::string text = "; Made by mkcontent: layer;row;column;kind+1;group of every tile.\n[info]\n";
    text += "LAYOUTNAME=" + shape.name + "\n";
    text += "ITEMSCOUNT=" + std::to_string(shape.tiles.size()) + "\n";
    text += "LAYERCOUNT=" + std::to_string(layers) + "\n";
    text += "ROWCOUNT=" + std::to_string(rows) + "\n";
    text += "COLCOUNT=" + std::to_string(columns) + "\n";
    for (size_t i = 0; i < shape.tiles.size(); ++i) {
        const LayoutTile& t = shape.tiles[i];
        text += std::to_string(i) + "=" + std::to_string(t.layer) + ";" + std::to_string(t.row) + ";" +
                std::to_string(t.column) + ";1;0\n";
    }
    return text;
}

bool MakeLayouts(const std::string& root, std::string* error) {
    for (const LayoutShape& shape : GetLayoutShapes()) {
        if (shape.tiles.size() % 2 != 0) {
            *error = "layout " + shape.file + " has an odd number of tiles";
            return false;
        }
        if (!WriteText(root, "layouts/" + shape.file, LayoutText(shape), true)) {
            *error = "cannot write layouts/" + shape.file;
            return false;
        }
    }
    return true;
}

}  // namespace mkcontent
