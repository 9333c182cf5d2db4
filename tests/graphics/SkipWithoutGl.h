#pragma once

// Skips the calling test where no GL context for the 3D device can be made.

#include <gtest/gtest.h>

#include <string>

#include "platform/D3D7.h"

#define SKIP_WITHOUT_GL()                                                                               \
    do {                                                                                                \
        std::string why;                                                                                \
        if (!plat::d3d7::IsAvailable(&why)) GTEST_SKIP() << "no GL context for the 3D device: " << why; \
    } while (0)
