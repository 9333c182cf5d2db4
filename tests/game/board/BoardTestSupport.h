#pragma once

// Fakes and layout builders shared by the board tests and benchmarks.

#include "game/board/BoardTileSet.h"
#include "game/board/Layout.h"
#include "game/board/LayoutListener.h"

#include <memory>
#include <string>
#include <vector>

namespace boardtest {

struct FakeGroup final : Velm::BoardTileGroup {
    int groupNumber = 0;
    int type = 0;
    int GetGroupNumber() const override { return groupNumber; }
    int GetType() const override { return type; }
    Velm::Image* GetSpriteImage() const override { return nullptr; }
};

struct FakeTileSet final : Velm::BoardTileSet {
    std::vector<FakeGroup> groups;
    int GetGroupCount() const override { return static_cast<int>(groups.size()); }
    const Velm::BoardTileGroup* GetGroup(int index) const override {
        if (index < 0 || index >= GetGroupCount()) return nullptr;
        return &groups[static_cast<size_t>(index)];
    }
};

// A tile set shaped like the game's: 50 groups; faces 28-31 form matching family
// 1 (group number 1), faces 36-39 family 2; groups 43.. stand for the special
// kinds (type = kind); group 49 is the blank face.
inline FakeTileSet MakeStandardTileSet() {
    FakeTileSet set;
    set.groups.resize(50);
    for (int face = 28; face <= 31; ++face) set.groups[static_cast<size_t>(face - 1)].groupNumber = 1;
    for (int face = 36; face <= 39; ++face) set.groups[static_cast<size_t>(face - 1)].groupNumber = 2;
    const int kinds[] = {1, 2, 4, 5, 6, 3};
    for (int k = 0; k < 6; ++k) set.groups[static_cast<size_t>(43 + k)].type = kinds[k];
    return set;
}

struct FakeTileSets final : Velm::BoardTileSets {
    std::vector<FakeTileSet> sets;
    size_t current = 0;
    const Velm::BoardTileSet* GetCurrentTileSet() const override {
        return current < sets.size() ? &sets[current] : nullptr;
    }
    const Velm::BoardTileSet* GetLastTileSet() const override { return sets.empty() ? nullptr : &sets.back(); }
};

// Records the name of every notification, in order.
struct RecordingListener : Velm::LayoutListener {
    std::vector<std::string> events;
    std::vector<std::pair<int, int>> reshuffled;
    void OnSelectionChanged(Velm::LayoutCell_t* tile) override {
        events.push_back(tile ? "SelectionChanged" : "SelectionChanged(null)");
    }
    void OnHoverChanged(Velm::LayoutCell_t* tile) override {
        events.push_back(tile ? "HoverChanged" : "HoverChanged(null)");
    }
    void OnPairReshuffled(Velm::LayoutCell_t* a, Velm::LayoutCell_t* b) override {
        events.push_back("PairReshuffled");
        reshuffled.emplace_back(a->tileIndex, b->tileIndex);
    }
    void OnShuffleFacesChanged() override { events.push_back("ShuffleFacesChanged"); }
    void OnShuffleFinished() override { events.push_back("ShuffleFinished"); }
};

struct TileLine {
    int layer;
    int row;
    int column;
    int kind = 0;
    int group = 0;
};

// A layout file's text with CR LF line ends. layers < 0: the highest layer + 1.
inline std::string LayoutText(const std::vector<TileLine>& tiles, int layers = -1, int rows = 24, int columns = 40,
                              const std::string& layoutName = "Test") {
    if (layers < 0) {
        layers = 1;
        for (const TileLine& t : tiles) layers = t.layer + 1 > layers ? t.layer + 1 : layers;
    }
    std::string text = "[info]\r\nLAYOUTNAME=" + layoutName + "\r\nITEMSCOUNT=" + std::to_string(tiles.size()) +
                       "\r\nLAYERCOUNT=" + std::to_string(layers) + "\r\nROWCOUNT=" + std::to_string(rows) +
                       "\r\nCOLCOUNT=" + std::to_string(columns) + "\r\n";
    for (size_t i = 0; i < tiles.size(); ++i) {
        const TileLine& t = tiles[i];
        text += std::to_string(i) + "=" + std::to_string(t.layer) + ";" + std::to_string(t.row) + ";" +
                std::to_string(t.column) + ";" + std::to_string(t.kind + 1) + ";" + std::to_string(t.group) + "\r\n";
    }
    return text;
}

// The classic 144-tile pyramid ("turtle"): a 12 by 8 base with shortened rows and
// three wing tiles, then 6 by 6, 4 by 4, 2 by 2 and one top tile. Tile (x, y) in
// whole tiles has its anchor at column 2x, row 2y; wings and top sit half a tile
// off.
inline std::vector<TileLine> ClassicLayoutTiles() {
    std::vector<TileLine> tiles;
    const int rowStart[8] = {1, 3, 2, 1, 1, 2, 3, 1};
    const int rowEnd[8] = {12, 10, 11, 12, 12, 11, 10, 12};
    for (int y = 0; y < 8; ++y) {
        for (int x = rowStart[y]; x <= rowEnd[y]; ++x) tiles.push_back({0, 2 * y, 2 * x});
    }
    tiles.push_back({0, 7, 0});
    tiles.push_back({0, 7, 26});
    tiles.push_back({0, 7, 28});
    for (int layer = 1; layer <= 3; ++layer) {
        const int from = 3 + layer;
        const int to = 10 - layer;
        for (int y = from - 3; y <= to - 3; ++y) {
            for (int x = from; x <= to; ++x) tiles.push_back({layer, 2 * y, 2 * x});
        }
    }
    tiles.push_back({4, 7, 13});
    return tiles;
}

inline std::string ClassicLayoutText() { return LayoutText(ClassicLayoutTiles(), 5, 16, 30, "Classic"); }

// A layout exposing the protected helpers a test solver needs.
class TestLayout : public Velm::Layout_t {
public:
    using Velm::Layout_t::MarkGrid;
    using Velm::Layout_t::RecountTiles;
};

}  // namespace boardtest
