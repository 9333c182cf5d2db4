#pragma once

namespace Velm {

// How a source is combined with the destination: Normal blends by alpha ("over"),
// Additive adds the source's colour channels and saturates at 255.
enum DrawMode { DRAWMODE_NORMAL = 0, DRAWMODE_ADDITIVE = 1 };

}  // namespace Velm
