#pragma once

// Numbering of the screenshot files: "image<n>.png" in the screenshot folder.

#include <string>
#include <vector>

namespace Velm {

// The number of the next screenshot among the folder's file names: one more than the
// largest n of the names "image<n>.png" ("png" in any case), 1 when there is none.
int NextScreenshotNumber(const std::vector<std::string>& names);

}  // namespace Velm
