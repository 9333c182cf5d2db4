#include "app/DisplaySetup.h"

namespace Velm {

DisplaySetup::~DisplaySetup() = default;

}  // namespace Velm
