#pragma once

// Shared set-up of the game-mode tests: a layout of a mode class loaded from
// tile lines, with the play tile set and an event log as its listener.

#include "game/board/Layout.h"
#include "tests/game/board/BoardPlaySupport.h"
#include "tests/game/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace boardtest {

template <typename LayoutClass>
struct ModeBoard {
    FakeTileSets sets = PlayTileSets();
    RecVisuals visuals;
    EventLog events;
    std::unique_ptr<LayoutClass> layout = std::make_unique<LayoutClass>();

    ModeBoard() {
        layout->SetTileSets(&sets);
        layout->SetVisuals(&visuals);
        layout->Init();
        layout->SetListener(&events);
    }

    // Loads the tiles; faces: one per tile (0 keeps the tile without a face).
    void Load(const std::vector<TileLine>& tiles, const std::vector<int>& faces = {}, int layers = -1) {
        ASSERT_TRUE(layout->LoadFromText(LayoutText(tiles, layers), "test")) << layout->GetLoadError();
        for (size_t i = 0; i < faces.size(); ++i) layout->SetTileFace(static_cast<int>(i), faces[i]);
        layout->FindAvailablePairs();
        events.events.clear();
    }

    // The available pairs with first < second, sorted, as text "a-b a-b".
    std::string Pairs() const {
        std::vector<std::pair<int, int>> pairs;
        for (auto p : layout->availablePairs)
            pairs.emplace_back(std::min(p.first, p.second), std::max(p.first, p.second));
        std::sort(pairs.begin(), pairs.end());
        std::string text;
        for (auto p : pairs)
            text += (text.empty() ? "" : " ") + std::to_string(p.first) + "-" + std::to_string(p.second);
        return text;
    }

    std::string Events() const {
        std::string text;
        for (const std::string& e : events.events) text += (text.empty() ? "" : " ") + e;
        return text;
    }

    void Run(const std::string& script) { RunScript(*layout, events, script); }
};

// A tile in whole-tile coordinates of one layer: anchor column 2x, row 2y.
inline TileLine At(int x, int y, int layer = 0, int kind = 0, int group = 0) {
    return {layer, 2 * y, 2 * x, kind, group};
}

}  // namespace boardtest
