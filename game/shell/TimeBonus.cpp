#include "game/shell/TimeBonus.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace Velm {

int ComputeTimeBonus(bool adventure, int limitMinutes, int timeValue, int bonusPerMinute) {
    constexpr int64_t kTicksPerMinute = 6000;
    int64_t bonus = 0;
    if (adventure) {
        // In single precision, as the tally has always computed it: the factor is
        // 1 / 6000 rounded down, and a second short of a minute still rounds up
        // to the whole minute's points. The product is truncated.
        const float exact = static_cast<float>(timeValue + 1LL) * 0.00016666666f * static_cast<float>(bonusPerMinute);
        bonus = static_cast<int64_t>(std::clamp(exact, -1.0f, 2.0e9f));
    } else {
        const int64_t ticksLeft = static_cast<int64_t>(limitMinutes) * kTicksPerMinute - timeValue + 1;
        if (ticksLeft <= 0 || bonusPerMinute <= 0) return 0;
        // Whole minutes and the rest apart, so the product stays within 64 bits.
        bonus = ticksLeft / kTicksPerMinute * bonusPerMinute +
                ticksLeft % kTicksPerMinute * bonusPerMinute / kTicksPerMinute;
    }
    return static_cast<int>(std::clamp<int64_t>(bonus, 0, INT_MAX));
}

}  // namespace Velm
