#include "game/shell/ui/UiStyle.h"
