#include "game/shell/ui/UiStyleApply.h"
