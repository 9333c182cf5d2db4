#pragma once

#include "graphics/FontHost.h"
#include "resources/ResourceFontMaker.h"
#include "resources/ResourceImageSource.h"

namespace Velm {

class VelmAppBase;

// What the resource manager and the fonts ask of the application: shared and
// private images from its image cache, error boxes, image copies, and the
// making of the manifest's fonts. Owned by the application; main thread and
// the loading thread.
class AppResourceBridge : public ResourceImageSource, public FontHost, public ResourceFontMaker {
public:
    explicit AppResourceBridge(VelmAppBase* app) : mApp(app) {}

    SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) override;
    MemoryImage* GetImage(const std::string& path, bool commitBits) override;
    void Popup(const std::string& text) override;
    MemoryImage* CopyImage(Image* image) override;
    ImageHost* GetImageHost() override;

    Font* MakeSysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline, bool shadow,
                      bool simulatedBold) override;
    Font* MakeImageFont(MemoryImage* image, const std::string& descriptionPath) override;
    Font* MakeImageFont(const std::string& descriptorPath) override;
    void ApplyTags(Font* font, const std::vector<std::string>& tags) override;

    // Reads a picture file with the image library (alpha companions included).
    static bool ReadImageFile(const std::string& file, std::vector<uint32_t>* pixels, int* width, int* height);

private:
    VelmAppBase* mApp;
};

}  // namespace Velm
