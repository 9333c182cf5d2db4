#pragma once

#include <string>

namespace Velm {

// Display set-up results (DDInterface::Init). 7 is a 3D set-up failure.
enum DisplayResult {
    RESULT_OK = 0,
    RESULT_FAIL = 1,                // the clipper could not be made
    RESULT_DD_CREATE_FAIL = 2,      // the display device could not be made
    RESULT_SURFACE_FAIL = 3,        // a surface could not be made
    RESULT_EXCLUSIVE_FAIL = 4,      // exclusive full-screen access was refused
    RESULT_DISPCHANGE_FAIL = 5,     // the display mode could not be set
    RESULT_INVALID_COLORDEPTH = 6,  // the desktop or primary is neither 16 nor 32 bits
    RESULT_3D_INIT_FAIL = 7,        // 3D could not be started on the new surfaces
};

// The text of a set-up result ("RESULT_OK" ...); 7 and unknown values give "RESULT_UNKNOWN".
std::string DisplayResultName(int result);

}  // namespace Velm
