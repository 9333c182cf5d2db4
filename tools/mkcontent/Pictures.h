#pragma once

// The picture makers of the generated content: one per image resource of the manifest
// (by resource id), and the pictures that only data files name (animation sheets, stage,
// map, comic, help and splash pictures).

#include <functional>
#include <map>
#include <string>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

class Studio;

std::map<std::string, std::function<Canvas(Studio&)>> GetResourcePainters();

// Paints and saves every picture that is not a manifest resource.
void MakeDataPictures(Studio& studio);

}  // namespace mkcontent
