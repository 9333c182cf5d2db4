#include "graphics/TriangleRasterizer.h"

#include <atomic>

#include "graphics/MemoryImage.h"

namespace Velm {

namespace {
std::atomic<TriangleStripRasterizer> gRasterizer{nullptr};
}

void SetTriangleStripRasterizer(TriangleStripRasterizer rasterizer) { gRasterizer.store(rasterizer); }

TriangleStripRasterizer GetTriangleStripRasterizer() { return gRasterizer.load(); }

void DrawTriangleStrip(const TriVertex* vertices, int count, MemoryImage* texture, const Color& color, int drawMode,
                       const Rect& clip, const StripTarget& target, bool bilinear, bool vertexColors) {
    const TriangleStripRasterizer rasterizer = gRasterizer.load();
    if (rasterizer == nullptr || count < 3 || vertices == nullptr || target.bits == nullptr)
        return;
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
        if (tex.bits == nullptr || tex.width <= 0 || tex.height <= 0)
            return;
        texArg = &tex;
    }
    rasterizer(vertices, count, texArg, color, drawMode, clip, target, bilinear, vertexColors);
}

}  // namespace Velm
