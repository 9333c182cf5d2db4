#pragma once

#include <cstdint>

namespace Velm {

class MemoryImage;
struct NativePixelFormat;

// What memory images need from the application object that owns them. The application class
// (which lives above graphics/) implements it; graphics/ never sees the application itself.
//
// Every memory image registers with its host when constructed and unregisters when destroyed,
// so that the host can reach all images when the display is re-created or 3D data must be
// dropped. The host's set is changed under the display lock: the loading thread makes images
// while the main thread draws. Every operation has a do-nothing default, which is also what an
// image with no host at all gets (tests, tools).
class ImageHost {
public:
    virtual ~ImageHost();

    virtual void AddMemoryImage(MemoryImage* image);
    // Also drops the image's 3D data.
    virtual void RemoveMemoryImage(MemoryImage* image);
    // Drops only the image's 3D data (its textures).
    virtual void Remove3DData(MemoryImage* image);
    virtual bool Is3DAccelerated();
    // The display's pixel format, or null while there is no display.
    virtual const NativePixelFormat* GetDisplayPixelFormat();
    // Reads an image's pixels back from its texture into out (width x height ARGB words);
    // false when there is no texture or it was made from an older change count.
    virtual bool ReadBackTexture(MemoryImage* image, uint32_t* out);
    // A shared-image count reached 0: the cache should purge after the next update.
    virtual void SetPurgeNeeded();
};

// The process's application object as images see it; null until the application installs
// itself. MemoryImage() registers with this host.
ImageHost* GetImageHost();
void SetImageHost(ImageHost* host);

// The additive saturation table: 512 bytes, entry i = min(i, 255), so the sum of two 8-bit
// channel values indexes its clamped result.
const uint8_t* GetAdditiveSaturationTable();

}  // namespace Velm
