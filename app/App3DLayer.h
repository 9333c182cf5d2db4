#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Velm {

class DDInterface;
class MemoryImage;
class VelmAppBase;

// The application's side of the 3D layer: it installs the layer on the display device, is
// the layer's host (minimised state, demo sync, desktop, the "Test3D" registry values), and
// answers what the application asks of the layer. Builds without GL have none
// (MakeApp3DLayer returns null) and draw in software. Main thread.
class App3DLayer {
public:
    virtual ~App3DLayer();

    // Reads an image's pixels back from its textures; false when it has none.
    virtual bool ReadBackTexture(MemoryImage* image, uint32_t* out) = 0;
    // The device refused the drawing surface as its render target at the last scene start.
    virtual bool DrawingFailed() = 0;
    virtual void ClearDrawingFailure() = 0;
};

// Installs a 3D layer on display, whose video-card test reads its card lists from
// cardListFolder; null when this build has no 3D layer. The returned object must outlive the
// display's layer (destroy the display first).
std::unique_ptr<App3DLayer> MakeApp3DLayer(VelmAppBase* app, DDInterface* display, const std::string& cardListFolder);

}  // namespace Velm
