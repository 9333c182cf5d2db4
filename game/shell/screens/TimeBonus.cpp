#include "game/shell/screens/TimeBonus.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace Velm {

int ComputeTimeBonus(bool adventure, int limitMinutes, int timeValue, int bonusPerMinute) {
    constexpr int64_t kTicksPerMinute = 6000;
    int64_t bonus = 0;
    if (adventure) {
        // The data's factor 0.00016666666 is 1 / 6000 rounded down; the
        // product is truncated.
        const double exact = (static_cast<double>(timeValue) + 1.0) * 0.00016666666 * bonusPerMinute;
        bonus = static_cast<int64_t>(std::clamp(exact, -1.0, static_cast<double>(INT_MAX)));
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
