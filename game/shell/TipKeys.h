#pragma once

#include <string>

namespace Velm {

// The text key of a tip of the board's tip table; "" for any other id.
std::string GetTipKey(int tipId);

}  // namespace Velm
