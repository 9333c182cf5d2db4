#include "graphics/TriangleRasterizer.h"

#include <atomic>

#include "graphics/MemoryImage.h"
#include "raster/RasterizeTriangleStrip.h"

namespace Velm {

namespace {

// Hands a strip to the software rasteriser, whose records are plain copies
// of ours.
void SoftwareRasterizer(const TriVertex* vertices, int count, const StripTexture* texture, const Color& color,
                        int drawMode, const Rect& clip, const StripTarget& target, bool bilinear, bool vertexColors) {
    RasterTextureImage rasterTexture{};
    if (texture != nullptr)
        rasterTexture = RasterTextureImage{texture->bits, texture->width, texture->height, texture->hasTrans,
                                           texture->hasAlpha};
    const RasterColor rasterColor{color.red, color.green, color.blue, color.alpha};
    const RasterRect rasterClip{clip.x, clip.y, clip.width, clip.height};
    const RasterTarget rasterTarget{target.bits, target.width, target.height, static_cast<uint32_t>(target.pitchBytes),
                                    static_cast<uint32_t>(target.pixelFormat)};
    RasterizeTriangleStrip(vertices, count, texture != nullptr ? &rasterTexture : nullptr, rasterColor, drawMode,
                           rasterClip, rasterTarget, bilinear, vertexColors);
}

std::atomic<TriangleStripRasterizer> gRasterizer{&SoftwareRasterizer};

}  // namespace

void SetTriangleStripRasterizer(TriangleStripRasterizer rasterizer) { gRasterizer.store(rasterizer); }

TriangleStripRasterizer GetTriangleStripRasterizer() { return gRasterizer.load(); }

void DrawTriangleStrip(const TriVertex* vertices, int count, MemoryImage* texture, const Color& color, int drawMode,
                       const Rect& clip, const StripTarget& target, bool bilinear, bool vertexColors) {
    const TriangleStripRasterizer rasterizer = gRasterizer.load();
    if (rasterizer == nullptr || count < 3 || vertices == nullptr || target.bits == nullptr) return;
    StripTexture tex;
    const StripTexture* texArg = nullptr;
    if (texture != nullptr) {
        texture->RefreshAlphaFlags();
        tex.bits = texture->GetBits();
        tex.width = texture->width;
        tex.height = texture->height;
        tex.hasAlpha = texture->hasAlpha;
        tex.hasTrans = texture->hasTrans;
        // A texture without pixels has nothing to show.
        if (tex.bits == nullptr || tex.width <= 0 || tex.height <= 0) return;
        texArg = &tex;
    }
    rasterizer(vertices, count, texArg, color, drawMode, clip, target, bilinear, vertexColors);
}

}  // namespace Velm
