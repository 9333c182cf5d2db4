#pragma once

#include <string>

#include "resources/ResourceManager.h"

namespace Velm {

class Image;

// The resource manager of the sprite sheets' pictures: every sheet registers its picture here
// under its file name, without a group, and the loading thread loads them all as group "".
// A picture asked for before that is loaded on demand. The manager keeps the pictures until
// it goes. Main thread and the loading thread (never both at once: the loading thread
// registers and loads while the main thread only draws the title screen).
class ImagesManager : public ResourceManager {
public:
    explicit ImagesManager(VelmAppBase* app) : ResourceManager(app) {}

    // Registers the picture file (and its alpha companion) under its own name with the sheet's
    // attribute words; a name already registered keeps its first record. False for an empty
    // name.
    bool AddImage(const std::string& imageFile, const std::string& alphaFile, const std::string& attributes,
                  bool is3DAccelerated);
    // The picture of that name, loaded on demand; null when it is not registered or cannot be
    // read. The manager keeps ownership.
    Image* GetImagePtr(const std::string& id);
};

}  // namespace Velm
