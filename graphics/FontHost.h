#pragma once

#include <string>

#include "graphics/SharedImage.h"

namespace Velm {

class Image;
class ImageHost;
class MemoryImage;

// What bitmap fonts need from the application object: loading their glyph images through
// the shared-image cache, copying images, and showing descriptor errors to the user. The
// application implements it; graphics/ never sees the application itself. The base class is
// the stand-in used without an application (tools, tests): it loads no images, copies memory
// images plainly and shows errors through the platform's message box, which never blocks a
// run without a user. Main thread (and the loading thread while fonts are created).
class FontHost {
public:
    virtual ~FontHost();

    // The image of a file (variant "" for the plain one) through the application's cache;
    // *isNew tells whether it was loaded for this request. An empty handle when the file
    // cannot be loaded.
    virtual SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew);
    // Shows an error text to the user without stopping the program.
    virtual void Popup(const std::string& text);
    // A new image with the same pixels, owned by the caller; null when it cannot be copied.
    virtual MemoryImage* CopyImage(Image* image);
    // The host new memory images register with.
    virtual ImageHost* GetImageHost();
};

// The application as fonts see it; null until the application installs itself. Fonts made
// without an explicit host (GetUiFont, SysFont's short constructor) use this one.
FontHost* GetFontHost();
void SetFontHost(FontHost* host);

}  // namespace Velm
