#pragma once

#include <utility>
#include <vector>

#include "platform/CrtRand.h"

namespace Velm {

// The board's random shuffle over the C runtime generator (values 0 .. 32767):
// for k from 1 to n - 1, element k is exchanged with element rand() mod (k + 1).
// A list of n elements draws exactly n - 1 numbers, so a seed replays every
// shuffle of a game.
template <typename T>
void RandomShuffle(std::vector<T>& list) {
    for (size_t k = 1; k < list.size(); ++k) {
        const size_t other = static_cast<size_t>(plat::CrtRand()) % (k + 1);
        std::swap(list[k], list[other]);
    }
}

}  // namespace Velm
