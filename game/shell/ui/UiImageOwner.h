#pragma once

#include <memory>
#include <vector>

#include "graphics/Image.h"

namespace Velm {

// Keeps the pictures that styles loaded from files for one control; the
// framework controls themselves never own their pictures. The skinned controls
// and the radio button take this part, so such pictures go with the control.
class UiImageOwner {
public:
    virtual ~UiImageOwner() = default;
    // Takes ownership of image (null is ignored).
    void AdoptImage(Image* image) {
        if (image != nullptr) mOwnedImages.emplace_back(image);
    }
    int GetOwnedImageCount() const { return static_cast<int>(mOwnedImages.size()); }

private:
    std::vector<std::unique_ptr<Image>> mOwnedImages;
};

}  // namespace Velm
