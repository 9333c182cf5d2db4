#include "game/shell/ui/IniWriter.h"
