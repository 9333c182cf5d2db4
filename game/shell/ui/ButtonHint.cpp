#include "game/shell/ui/ButtonHint.h"
