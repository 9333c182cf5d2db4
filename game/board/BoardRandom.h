#pragma once

#include "platform/CrtRand.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace Velm {

// The board's random shuffle over the C runtime generator (values 0 .. 32767):
// for k from 1 to n - 1, element k is exchanged with element rand() mod (k + 1).
// A list of n elements draws exactly n - 1 numbers, so a seed replays every
// shuffle of a game.
template <typename T>
void RandomShuffle(std::vector<T>& list) {
    for (std::size_t k = 1; k < list.size(); ++k) {
        const std::size_t other = static_cast<std::size_t>(plat::CrtRand()) % (k + 1);
        std::swap(list[k], list[other]);
    }
}

}  // namespace Velm
