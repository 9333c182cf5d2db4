#pragma once

// The drawing layer as the widget sources use it.
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
