#pragma once

// The row-loop forms this build and processor can run, for tests that check each against the
// plain form, and a guard that puts the level back when a test ends.

#include <vector>

#include "graphics/PixelRows.h"

namespace Velm {
namespace test {

// Every level above the plain forms that can run here, lowest first.
inline std::vector<PixelRows::SimdLevel> SimdLevels() {
    std::vector<PixelRows::SimdLevel> levels;
    for (PixelRows::SimdLevel level :
         {PixelRows::SimdLevel::Sse2, PixelRows::SimdLevel::Avx2, PixelRows::SimdLevel::Avx512})
        if (static_cast<int>(level) <= static_cast<int>(PixelRows::BestSimdLevel())) levels.push_back(level);
    return levels;
}

inline const char* SimdLevelName(PixelRows::SimdLevel level) {
    switch (level) {
        case PixelRows::SimdLevel::Plain: return "plain";
        case PixelRows::SimdLevel::Sse2: return "SSE2";
        case PixelRows::SimdLevel::Avx2: return "AVX2";
        case PixelRows::SimdLevel::Avx512: return "AVX-512";
    }
    return "?";
}

class SimdLevelGuard {
public:
    SimdLevelGuard() : mWas(PixelRows::GetSimdLevel()) {}
    ~SimdLevelGuard() { PixelRows::SetSimdLevel(mWas); }
    SimdLevelGuard(const SimdLevelGuard&) = delete;
    SimdLevelGuard& operator=(const SimdLevelGuard&) = delete;

private:
    PixelRows::SimdLevel mWas;
};

}  // namespace test
}  // namespace Velm
