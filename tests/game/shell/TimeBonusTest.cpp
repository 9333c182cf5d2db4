#include "game/shell/TimeBonus.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TimeBonus, SimpleAndAdventureArithmetic) {
    struct Case {
        const char* why;
        bool adventure;
        int minutes;
        int time;
        int perMinute;
        int want;
    };
    const Case cases[] = {
            {"simple: half of five minutes left", false, 5, 15000, 1000, 2500},
            {"simple: counted from 1, nothing spent", false, 5, 1, 1000, 5000},
            {"simple: integer division", false, 1, 2000, 1000, 666},
            {"simple: limit reached exactly", false, 5, 30001, 1000, 0},
            {"simple: limit passed gives 0, not less", false, 5, 90000, 1000, 0},
            {"simple: no overflow with huge data", false, INT_MAX, 1, INT_MAX, INT_MAX},
            {"simple: negative points give 0", false, 5, 90000, -1000, 0},
            {"adventure: a second short of a minute rounds up", true, 20, 5999, 1000, 1000},
            {"adventure: nothing left", true, 20, 0, 1000, 0},
            {"adventure: ten minutes", true, 20, 60000, 1000, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Velm::ComputeTimeBonus(c.adventure, c.minutes, c.time, c.perMinute), c.want);
    }
}

}  // namespace
