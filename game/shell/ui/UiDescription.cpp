#include "game/shell/ui/UiDescription.h"
