#pragma once

// Test-side players of a dealt board: playing the deal's peeling passes in order,
// and a small depth-first solver that proves a deal solvable by finding a way to
// clear it. Both remove tiles through the layout's own rules (CanRemovePair,
// CollectFreeOrdinaryTiles), never through a copy of them.

#include "tests/game/board/BoardTestSupport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace boardtest {

enum class PassResult { Cleared, LeftOverTiles, Stuck };

// Removes the free ordinary tiles pass by pass, pairing the tiles of each pass
// with CanRemovePair. A pass of odd size means the deal had left-over tiles.
inline PassResult PlayPassesInOrder(TestLayout& layout) {
    for (;;) {
        std::vector<int> pass;
        if (!layout.CollectFreeOrdinaryTiles(pass)) break;
        if (pass.size() % 2 != 0) return PassResult::LeftOverTiles;
        std::vector<bool> done(pass.size(), false);
        for (size_t i = 0; i < pass.size(); ++i) {
            if (done[i]) continue;
            size_t partner = pass.size();
            for (size_t j = i + 1; j < pass.size(); ++j) {
                if (!done[j] && layout.CanRemovePair(pass[i], pass[j])) {
                    partner = j;
                    break;
                }
            }
            if (partner == pass.size()) return PassResult::Stuck;
            done[i] = done[partner] = true;
            layout.RemoveTile(pass[i], 0, false, false);
            layout.RemoveTile(pass[partner], 0, false, false);
        }
    }
    return layout.IsCleared() ? PassResult::Cleared : PassResult::Stuck;
}

// Plays the deal's own pairs (GetDealtPairs) by the layout's rules: any pair that
// CanRemovePair takes is removed, round after round, until none is left or none
// can be taken. True when the board is cleared that way. Leaves every tile active.
inline bool PlayDealtPairs(TestLayout& layout) {
    std::vector<std::pair<int, int>> left = layout.GetDealtPairs();
    std::vector<int> removed;
    for (bool progress = true; progress && !left.empty();) {
        progress = false;
        for (size_t k = 0; k < left.size();) {
            const std::pair<int, int> p = left[k];
            if (!layout.CanRemovePair(p.first, p.second)) {
                ++k;
                continue;
            }
            layout.RemoveTile(p.first, 0, false, false);
            layout.RemoveTile(p.second, 0, false, false);
            removed.push_back(p.first);
            removed.push_back(p.second);
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(k));
            progress = true;
        }
    }
    const bool cleared = left.empty() && layout.IsCleared();
    for (int t : removed) {
        layout.Cell(t).active = true;
        layout.MarkGrid(t, 1);
    }
    return cleared;
}

// Depth-first search over removable pairs with a node budget; remembers the
// boards it has seen. True only when it found a way to clear the board.
class SimpleSolver {
public:
    explicit SimpleSolver(int nodeBudget) : mBudget(nodeBudget) {}

    bool Solve(TestLayout& layout) {
        mSeen.clear();
        mNodes = 0;
        return Search(layout);
    }

private:
    struct Key {
        std::array<std::uint64_t, 8> bits{};
        bool operator==(const Key& other) const { return bits == other.bits; }
    };
    struct KeyHash {
        size_t operator()(const Key& key) const {
            std::uint64_t h = 1469598103934665603ull;
            for (std::uint64_t b : key.bits) h = (h ^ b) * 1099511628211ull;
            return static_cast<size_t>(h);
        }
    };

    static Key KeyOf(const TestLayout& layout) {
        Key key;
        for (int i = 0; i < layout.itemCount; ++i) {
            if (layout.Cell(i).active) key.bits[static_cast<size_t>(i / 64)] |= std::uint64_t{1} << (i % 64);
        }
        return key;
    }

    // Match classes of the usual rule: the two families by group number, every
    // other face by itself.
    static constexpr int kClassSlots = 128;
    static int ClassOf(TestLayout& layout, int tile) {
        const int face = layout.Cell(tile).face;
        if (face < TestLayout::kFirstSpecialFace) {
            const int family = layout.GroupNumberOfFace(face);
            if (family == 1 || family == 2) return family - 1;
        }
        return 2 + (face & 0x7f) % (kClassSlots - 2);
    }

    static void Remove(TestLayout& layout, int tile) { layout.RemoveTile(tile, 0, false, false); }
    static void Restore(TestLayout& layout, int tile) {
        layout.Cell(tile).active = true;
        layout.MarkGrid(tile, 1);
    }

    bool Search(TestLayout& layout) {
        if (layout.IsCleared()) return true;
        if (++mNodes > mBudget) return false;
        if (!mSeen.insert(KeyOf(layout)).second) return false;
        std::vector<int> free;
        layout.CollectFreeOrdinaryTiles(free);
        std::vector<std::pair<int, int>> pairs;
        for (size_t i = 0; i < free.size(); ++i) {
            for (size_t j = i + 1; j < free.size(); ++j) {
                if (layout.CanRemovePair(free[i], free[j])) pairs.emplace_back(free[i], free[j]);
            }
        }
        // A pair whose whole match class is free can always be taken first.
        int remaining[kClassSlots] = {};
        int freeInClass[kClassSlots] = {};
        for (int t = 0; t < layout.itemCount; ++t) {
            if (layout.Cell(t).active && layout.Cell(t).kind == 0) ++remaining[ClassOf(layout, t)];
        }
        for (int t : free) ++freeInClass[ClassOf(layout, t)];
        for (const std::pair<int, int>& p : pairs) {
            const int c = ClassOf(layout, p.first);
            if (remaining[c] == freeInClass[c] && remaining[c] % 2 == 0) {
                pairs.assign(1, p);
                break;
            }
        }
        for (const std::pair<int, int>& p : pairs) {
            Remove(layout, p.first);
            Remove(layout, p.second);
            const bool solved = Search(layout);
            Restore(layout, p.first);
            Restore(layout, p.second);
            if (solved) return true;
            if (mNodes > mBudget) return false;
        }
        return false;
    }

    int mBudget;
    int mNodes = 0;
    std::unordered_set<Key, KeyHash> mSeen;
};

}  // namespace boardtest
