#include "game/shell/ui/UiStyleRegistry.h"
