// Builds without the GL device have no 3D layer: the display draws in software, and a
// request for 3D fails its set-up, which turns 3D off again.

#include "app/App3DLayer.h"

namespace Velm {

std::unique_ptr<App3DLayer> MakeApp3DLayer(VelmAppBase*, DDInterface*, const std::string&) { return nullptr; }

}  // namespace Velm
