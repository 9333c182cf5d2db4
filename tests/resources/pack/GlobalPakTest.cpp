#include <gtest/gtest.h>

#include "resources/pack/PakFile.h"
#include "resources/pack/PakInterface.h"

namespace {

// This program uses the process-wide pack object, so it exists before main.
TEST(GlobalPakTest, TheProcessWideObjectIsSharedFromTheStart) {
    EXPECT_EQ(GetSharedPakInterface(), &GlobalPakInterface());
    {
        PakInterface another;
        EXPECT_EQ(GetSharedPakInterface(), &GlobalPakInterface());
    }
    EXPECT_EQ(GetSharedPakInterface(), &GlobalPakInterface());
    EXPECT_FALSE(GlobalPakInterface().AddPakFile("no-such-folder/main.pak"));
}

}  // namespace
