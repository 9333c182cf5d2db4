#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/anim/StillImage.h"

// The stage backgrounds of "data/backs.txt": one INI section per background, with its picture
// name ("Image") and a list of points ("Points", "x,y;x,y;..."). Loaded once by the application
// at start-up into the one global object. Main thread only.
class BackgroundCatalogue_t {
public:
    struct Entry {
        std::string image;
        std::vector<std::pair<int, int>> points;
    };

    // Reads the file through the pack; a missing file leaves the catalogue empty. False then.
    bool Load(const std::string& fileName);
    // The same from text (origin names it in messages).
    void LoadFromText(const std::string& text, const std::string& origin);
    // Releases the first picture member (the application's shutdown hook).
    void ReleaseImage();
    // The entry of that section name, or null.
    const Entry* Find(const std::string& name) const;

    std::map<std::string, Entry> entries;
    StillImage_t picture1;
    StillImage_t picture2;
};

extern BackgroundCatalogue_t gBackgroundCatalogue;
