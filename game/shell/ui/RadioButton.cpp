#include "game/shell/ui/RadioButton.h"
