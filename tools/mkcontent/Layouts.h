#pragma once

// The board layouts ("layouts/<name>.lay"), generated from shape descriptions: each layer is
// a picture of tile positions in half-tile steps. Every layout has an even number of tiles;
// the layer-mode boards keep each layer even and at most 42 tiles, with no empty layer
// between the top and the bottom; the rivers and swap boards are flat.

#include <string>
#include <vector>

namespace mkcontent {

struct LayoutTile {
    int layer;
    int row;     // anchor cell row (a tile covers two rows and two columns)
    int column;  // anchor cell column
};

struct LayoutShape {
    std::string file;  // e.g. "classic.lay"
    std::string name;  // LAYOUTNAME
    std::vector<LayoutTile> tiles;
};

std::vector<LayoutShape> GetLayoutShapes();
std::string LayoutText(const LayoutShape& shape);

// Writes every layout below root/layouts; false with the reason in *error on failure.
bool MakeLayouts(const std::string& root, std::string* error);

}  // namespace mkcontent
