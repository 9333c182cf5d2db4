#pragma once

// The resource manifest ("properties/resources.xml") and everything it names, made from one
// table: the 71 fonts, pictures and sounds that the game binds to fixed variables (ids and
// groups as the game's resource-id table has them), each with the maker of its file. The
// manifest is written from the same table, so names and paths cannot drift apart.

#include <string>
#include <vector>

namespace mkcontent {

class Studio;

enum class ResourceKind { Font, Image, Sound };

struct ResourceInfo {
    const char* id;  // resource id, e.g. "IMAGE_GAME_BACK"
    ResourceKind kind;
    const char* group;       // "Init", "TitleScreen" or "Game"
    const char* path;        // file path below the content folder (fonts: the descriptor)
    const char* attributes;  // extra manifest attributes, e.g. rows="1" cols="4"
};

// The table, in manifest order.
const std::vector<ResourceInfo>& GetResourceTable();

// The manifest text.
std::string ManifestText();

// Makes every file of the table (fonts through the font tool) and writes the manifest.
// False with the reason in *error when a file cannot be made.
bool MakeResources(Studio& studio, std::string* error);

}  // namespace mkcontent
