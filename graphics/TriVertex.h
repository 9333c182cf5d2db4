#pragma once

// One vertex of a textured triangle (x, y in destination pixels; u, v from 0
// to 1 across the texture; a 0xAARRGGBB colour used only when vertex colours
// are asked for). The software rasteriser defines it; the drawing layer uses
// the same record.
#include "raster/RasterTypes.h"
