#pragma once

#include "platform/Text.h"

namespace Velm {

// What system-font text needs of a destination image whose pixels live on a display surface
// (the surface image implements it). SysFont then draws straight onto the locked surface, in
// the surface's own pixel format, instead of through a temporary memory image.
class TextSurface {
public:
    virtual ~TextSurface();

    // Makes the surface ready for text: builds it when the image has none yet, ends a 3D
    // scene in progress when the image is the display's drawing surface in 3D, and locks it.
    // False when there is no surface or it cannot be locked: nothing is drawn then.
    virtual bool BeginSurfaceText(plat::text::PixelTarget* target) = 0;
    // Unlocks (restoring a lock that was held before BeginSurfaceText) and drops the image's
    // memory copies of the pixels, the surface being now the only up-to-date copy.
    virtual void EndSurfaceText() = 0;
};

}  // namespace Velm
