#pragma once

// How the resource manager makes the fonts of the manifest. The font classes
// (system fonts, image fonts with their descriptor files) live with the
// drawing layer; the application hands the manager an object of this
// interface that builds them. Without one, every font that is not a "!ref:"
// duplicate fails to load.

#include <string>
#include <vector>

namespace Velm {

class Font;
class MemoryImage;

class ResourceFontMaker {
public:
    virtual ~ResourceFontMaker() = default;
    // A system font by face name and point size. simulatedBold: draw the
    // text twice instead of asking the system for a bold face. shadow: draw a
    // black copy one pixel right and down first. Null when it cannot be made.
    virtual Font* MakeSysFont(const std::string& face, int pointSize, bool bold, bool italic, bool underline,
                              bool shadow, bool simulatedBold) = 0;
    // An image font drawn from `image` (not owned; the caller keeps it for
    // the font's life) described by the file at descriptionPath. Null when
    // the font data did not load.
    virtual Font* MakeImageFont(MemoryImage* image, const std::string& descriptionPath) = 0;
    // An image font from its descriptor file; null when the font data did
    // not load.
    virtual Font* MakeImageFont(const std::string& descriptorPath) = 0;
    // Switches the font's tags on and rebuilds its active layers; does
    // nothing for a font that is not an image font. Called for every loaded
    // font with tags that is not a system font ("!ref:" duplicates included).
    virtual void ApplyTags(Font* font, const std::vector<std::string>& tags) = 0;
};

}  // namespace Velm
