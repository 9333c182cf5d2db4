// Matrix and textured-triangle blits of memory images, drawn as triangle strips through the
// installed triangle rasteriser (TriangleRasterizer.h).
#include "graphics/MemoryImage.h"
#include "graphics/TriangleRasterizer.h"

namespace Velm {

namespace {

// The destination is this image's size; its pixels may be the memory pixels or a locked
// surface with its own pitch and format.
StripTarget Target(const MemoryImage& image, uint32_t* bits, int pitchBytes, int pixelFormat) {
    StripTarget target;
    target.bits = bits;
    target.width = image.width;
    target.height = image.height;
    target.pitchBytes = pitchBytes;
    target.pixelFormat = pixelFormat;
    return target;
}

}  // namespace

int MemoryImage::GetRasterPixelFormat() const { return (alphaFlagsForced && !hasAlpha && !hasTrans) ? 0x888 : 0x8888; }

void MemoryImage::BltMatrix(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                            const Color& color, int drawMode, const Rect& srcRect, bool linearFilter) {
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    RasterizeMatrixQuad(image, x, y, matrix, clip, color, drawMode, srcRect, GetBits(), width * 4,
                        GetRasterPixelFormat(), linearFilter);
    MarkBitsChanged();
}

void MemoryImage::BltTexturedTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount,
                                       const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                       bool linearFilter) {
    const Rect clip = clipRect.Intersection(Rect(0, 0, width, height));
    RasterizeTriangles(texture, triangles, triangleCount, clip, color, drawMode, tx, ty, GetBits(), width * 4,
                       GetRasterPixelFormat(), linearFilter);
    MarkBitsChanged();
}

void MemoryImage::RasterizeMatrixQuad(Image* image, float x, float y, const Matrix3& matrix, const Rect& clipRect,
                                      const Color& color, int drawMode, const Rect& srcRect, uint32_t* destBits,
                                      int destPitchBytes, int pixelFormat, bool linearFilter) {
    MemoryImage* source = dynamic_cast<MemoryImage*>(image);
    if (source == nullptr || source->width <= 0 || source->height <= 0) return;
    const float w = static_cast<float>(source->width);
    const float h = static_cast<float>(source->height);
    const float sx = static_cast<float>(srcRect.x), sy = static_cast<float>(srcRect.y);
    const float sw = static_cast<float>(srcRect.width), sh = static_cast<float>(srcRect.height);
    // The source rectangle centred on the origin, corners in strip order.
    TriVertex quad[4] = {
            TriVertex{-sw / 2, -sh / 2, sx / w, sy / h, 0xFFFFFFFF},
            TriVertex{sw / 2, -sh / 2, (sx + sw) / w, sy / h, 0xFFFFFFFF},
            TriVertex{-sw / 2, sh / 2, sx / w, (sy + sh) / h, 0xFFFFFFFF},
            TriVertex{sw / 2, sh / 2, (sx + sw) / w, (sy + sh) / h, 0xFFFFFFFF},
    };
    for (TriVertex& vertex : quad) {
        const Vector3 p = matrix.TransformVector(Vector3(vertex.x, vertex.y, 1));
        // Pixel centres sit at half coordinates for the rasteriser.
        vertex.x = p.x + x - 0.5f;
        vertex.y = p.y + y - 0.5f;
    }
    DrawTriangleStrip(quad, 4, source, color, drawMode, clipRect, Target(*this, destBits, destPitchBytes, pixelFormat),
                      linearFilter, false);
}

void MemoryImage::RasterizeTriangles(Image* texture, const TriVertex (*triangles)[3], int triangleCount,
                                     const Rect& clipRect, const Color& color, int drawMode, float tx, float ty,
                                     uint32_t* destBits, int destPitchBytes, int pixelFormat, bool linearFilter) {
    if (triangles == nullptr) return;
    MemoryImage* source = dynamic_cast<MemoryImage*>(texture);
    const StripTarget target = Target(*this, destBits, destPitchBytes, pixelFormat);
    for (int i = 0; i < triangleCount; ++i) {
        TriVertex strip[3];
        bool vertexColors = false;
        for (int k = 0; k < 3; ++k) {
            strip[k] = triangles[i][k];
            strip[k].x += tx;
            strip[k].y += ty;
            if (strip[k].color != 0) vertexColors = true;
        }
        DrawTriangleStrip(strip, 3, source, color, drawMode, clipRect, target, linearFilter, vertexColors);
    }
}

}  // namespace Velm
