#pragma once

// Private to platform/: where the 3D device keeps its small textures. Textures of at most
// kMaxSide texels a side share large GL textures (pages) of 32-bit texels, so that drawing
// several small images one after the other binds one GL texture and goes to GL as one draw
// call. Each texture gets a place with a one-texel border that repeats its edge texels, so that
// sampling at its edges (nearest or bilinear) reads what a texture of its own clamped to its
// edge would. Places are packed on shelves of equal height; a freed place is taken again by a
// texture of the same size, and a page whose textures are all gone starts empty again. The GL
// textures live to the end of the process. GL thread only.

#include <vector>

namespace plat {
namespace d3d7 {

class GlTextureAtlas {
public:
    static constexpr int kPageSize = 1024;
    static constexpr int kMaxSide = 256;

    // Where a texture's texels are: texel (0, 0) at (x, y) of the GL texture `name`.
    struct Place {
        unsigned name = 0;
        int page = -1;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // A place for width x height texels; false when the sizes are out of range or GL could not
    // make a new page.
    bool Allocate(int width, int height, Place* place);
    void Free(const Place& place);

    // A GL texture of width x height 32-bit texels (undefined), clamped to its edges, nearest
    // filtering: how pages and the device's other textures are made. 0 when GL refuses it.
    static unsigned MakeTexture(int width, int height);

private:
    struct Shelf {
        int y = 0;
        int height = 0;
        int nextX = 0;
    };
    struct Page {
        unsigned name = 0;
        std::vector<Shelf> shelves;
        int nextY = 0;
        std::vector<Place> freed;
        int live = 0;
    };
    bool PlaceOnPage(Page& page, int width, int height, Place* place);

    std::vector<Page> mPages;
};

}  // namespace d3d7
}  // namespace plat
