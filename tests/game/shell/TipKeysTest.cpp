#include "game/shell/TipKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(TipKeys, TheTableAndTheGaps) {
    struct Case {
        int id;
        const char* key;
    };
    const Case cases[] = {{0, "TipGreatTree1"},
                          {4, "TipPuzzl15eWrongSwap"},
                          {14, "TipGameTypeTumb"},
                          {23, "TipHint"},
                          {15, ""},
                          {22, ""},
                          {-1, ""},
                          {24, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Velm::GetTipKey(c.id), c.key);
    }
}

}  // namespace
