#include "platform/CrtRand.h"

#include <cstdint>

namespace plat {
namespace {
thread_local uint32_t tState = 1;
}

int CrtRand() {
    tState = tState * 214013u + 2531011u;
    return static_cast<int>((tState >> 16) & 0x7FFFu);
}

void CrtSrand(unsigned int seed) { tState = static_cast<uint32_t>(seed); }

}  // namespace plat
