#pragma once

#include "raster/PixelFormats.h"
#include "raster/RasterTypes.h"
#include "raster/SpanFiller.h"

// The named routines of the triangle rasteriser's table: each is an instance
// of the one span filler (SpanFiller.h) for a destination format and a set of
// feature flags. Names read RasterTri, the format, then Tex, Blend, VColor,
// Tint and Bilinear for the flags present.
namespace Velm {

// Fills the untextured entries without vertex colours: no colour source.
void RasterTriNone(const RasterVertex* vertices, void* destination, uint32_t pitch, const RasterTexture* texture,
                   const RasterTint* tint, const RasterClip& clip);

inline constexpr TriangleRasterizer RasterTri8888VColor = &Raster::SpanFiller<Raster::Format8888, kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri8888VColorTint =
        &Raster::SpanFiller<Raster::Format8888, kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri888VColor = &Raster::SpanFiller<Raster::Format888, kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri888VColorTint =
        &Raster::SpanFiller<Raster::Format888, kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri565VColor = &Raster::SpanFiller<Raster::Format565, kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri565VColorTint =
        &Raster::SpanFiller<Raster::Format565, kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri555VColor = &Raster::SpanFiller<Raster::Format555, kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri555VColorTint =
        &Raster::SpanFiller<Raster::Format555, kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri8888Tex = &Raster::SpanFiller<Raster::Format8888, kRasterTextured>;
inline constexpr TriangleRasterizer RasterTri8888TexBilinear =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexTint =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri8888TexTintBilinear =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexVColor =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri8888TexVColorBilinear =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexVColorTint =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri8888TexVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format8888,
                            kRasterTextured | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexBlend =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendBilinear =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendTint =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendTintBilinear =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendVColor =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendVColorBilinear =
        &Raster::SpanFiller<Raster::Format8888,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendVColorTint =
        &Raster::SpanFiller<Raster::Format8888, kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri8888TexBlendVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format8888,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexTint =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri888TexTintBilinear =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexVColor =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri888TexVColorBilinear =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexVColorTint =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri888TexVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexBlend =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended>;
inline constexpr TriangleRasterizer RasterTri888TexBlendBilinear =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexBlendTint =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri888TexBlendTintBilinear =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexBlendVColor =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri888TexBlendVColorBilinear =
        &Raster::SpanFiller<Raster::Format888,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri888TexBlendVColorTint =
        &Raster::SpanFiller<Raster::Format888, kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri888TexBlendVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format888,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565Tex = &Raster::SpanFiller<Raster::Format565, kRasterTextured>;
inline constexpr TriangleRasterizer RasterTri565TexBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexTint =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri565TexTintBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexVColor =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri565TexVColorBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexVColorTint =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri565TexVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexBlend =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended>;
inline constexpr TriangleRasterizer RasterTri565TexBlendBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexBlendTint =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri565TexBlendTintBilinear =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexBlendVColor =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri565TexBlendVColorBilinear =
        &Raster::SpanFiller<Raster::Format565,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri565TexBlendVColorTint =
        &Raster::SpanFiller<Raster::Format565, kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri565TexBlendVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format565,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555Tex = &Raster::SpanFiller<Raster::Format555, kRasterTextured>;
inline constexpr TriangleRasterizer RasterTri555TexBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexTint =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri555TexTintBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexVColor =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri555TexVColorBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexVColorTint =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri555TexVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterVertexColors | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexBlend =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended>;
inline constexpr TriangleRasterizer RasterTri555TexBlendBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexBlendTint =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri555TexBlendTintBilinear =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended | kRasterTinted | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexBlendVColor =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended | kRasterVertexColors>;
inline constexpr TriangleRasterizer RasterTri555TexBlendVColorBilinear =
        &Raster::SpanFiller<Raster::Format555,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterBilinear>;
inline constexpr TriangleRasterizer RasterTri555TexBlendVColorTint =
        &Raster::SpanFiller<Raster::Format555, kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted>;
inline constexpr TriangleRasterizer RasterTri555TexBlendVColorTintBilinear =
        &Raster::SpanFiller<Raster::Format555,
                            kRasterTextured | kRasterBlended | kRasterVertexColors | kRasterTinted | kRasterBilinear>;

}  // namespace Velm
