#pragma once

#include <cstddef>
#include <string>
#include <vector>

class IniFile_t;

namespace Velm {

// Layout files: the board shape of a level, an INI file read from "Layouts/" +
// the layout name. Section "info" holds
//   LAYOUTNAME  display name (optional)
//   ITEMSCOUNT  number of tiles, 0 .. 500
//   LAYERCOUNT  layers used, 0 .. 10
//   ROWCOUNT    grid rows used, 0 .. 24 (cell rows: a tile spans two)
//   COLCOUNT    grid columns used, 0 .. 40 (cell columns: a tile spans two)
//   0 .. ITEMSCOUNT-1   one tile each: "layer;row;column;kind+1;group value"
// A tile covers the 2 by 2 cells from its anchor (row, column) on its layer, so
// neighbouring tiles may be offset by one cell (half a tile). Example:
// 2;4;10;1;0 is an ordinary tile on layer 2 anchored at row 4, column 10.
//
// Everything is checked before a board is touched: the four counts present and in
// range, every tile line present and exactly five integers, the layer below
// LAYERCOUNT, the whole 2 by 2 block inside ROWCOUNT by COLCOUNT, kind + 1 from 1
// to kLayoutMaxKindNumber, a group value of 0 or more, no two tiles of a layer
// sharing a cell, and no tile line numbered ITEMSCOUNT or above. A file with bare
// LF line ends is one INI line and is refused for its missing counts.

constexpr int kLayoutMaxTiles = 500;
constexpr int kLayoutLayers = 10;
constexpr int kLayoutRows = 24;
constexpr int kLayoutColumns = 40;
constexpr int kLayoutMaxKindNumber = 100;  // the file stores kind + 1

struct LayoutFileTile {
    int layer = 0;
    int row = 0;
    int column = 0;
    int kind = 0;  // as the board uses it: the file's number - 1
    int groupValue = 0;
};

struct LayoutFileData {
    std::string name;
    int itemCount = 0;
    int layerCount = 0;
    int rowCount = 0;
    int colCount = 0;
    std::vector<LayoutFileTile> tiles;  // itemCount entries, in key order 0, 1, ...
};

// Reads and checks a parsed INI file. On failure returns false with a message
// that starts with the file's origin name, and leaves out unchanged.
bool ReadLayoutFile(const IniFile_t& ini, LayoutFileData& out, std::string& error);

// The same from text; origin names the text in messages.
bool ParseLayoutText(const char* text, size_t length, const std::string& origin, LayoutFileData& out,
                     std::string& error);

// The same from a file read through the pack-aware file functions.
bool LoadLayoutFile(const std::string& path, LayoutFileData& out, std::string& error);

}  // namespace Velm
