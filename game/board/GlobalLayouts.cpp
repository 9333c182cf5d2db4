#include "game/board/GlobalLayouts.h"

namespace Velm {

Layout_t gLayoutUsual;

}  // namespace Velm
