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

// Paints and saves every picture that is not a manifest resource, but for the stages' pictures.
void MakeDataPictures(Studio& studio);
// Paints and saves the stages' backgrounds and maps (a job of its own: they are the largest).
void MakeStagePictures(Studio& studio);

}  // namespace mkcontent
