#include "graphics/TriangleRasterizer.h"

#include <atomic>

#include "graphics/MemoryImage.h"

namespace Velm {

namespace {
std::atomic<TriangleStripRasterizer> gRasterizer{nullptr};
}

void SetTriangleStripRasterizer(TriangleStripRasterizer rasterizer) { gRasterizer.store(rasterizer); }

TriangleStripRasterizer GetTriangleStripRasterizer() { return gRasterizer.load(); }

void RasterizeTriangleStrip(const TriVertex* vertices, int count, MemoryImage* texture, const Color& color,
                            int drawMode, const Rect& clip, uint32_t* destBits, int destPitchBytes, int pixelFormat,
                            bool bilinear, bool vertexColors) {
    const TriangleStripRasterizer rasterizer = gRasterizer.load();
    if (rasterizer == nullptr || count < 3 || vertices == nullptr || destBits == nullptr) return;
    RasterTexture tex;
    const RasterTexture* texArg = nullptr;
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
    rasterizer(vertices, count, texArg, color, drawMode, clip, destBits, destPitchBytes, pixelFormat, bilinear,
               vertexColors);
}

}  // namespace Velm
