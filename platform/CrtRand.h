#pragma once

// The C runtime's rand/srand as the program was written against them: the classic
// Microsoft linear congruential generator, state = state * 214013 + 2531011, each result
// (state >> 16) & 0x7FFF, so values are 0..32767 on every machine. The state is per
// thread and starts at seed 1 in every thread, as in the Microsoft runtime.

namespace plat {

constexpr int kCrtRandMax = 32767;

int CrtRand();
void CrtSrand(unsigned int seed);

}  // namespace plat
