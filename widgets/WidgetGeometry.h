#pragma once

// The value types of the drawing layer that the widget headers use.
#include "graphics/Color.h"
#include "graphics/Point.h"
#include "graphics/Rect.h"
