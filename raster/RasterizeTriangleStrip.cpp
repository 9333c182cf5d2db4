#include "raster/RasterizeTriangleStrip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "raster/TriangleClipper.h"
#include "raster/TriangleRasterizerTable.h"

namespace Velm {

namespace {

// Truncation toward zero to a 16.16 value keeping the low 32 bits, as the
// fixed-point words wrap. Refuses what has no integer value.
bool ToFixed(double value, int32_t& out) {
    if (!(std::fabs(value) < 9.0e18)) return false;
    out = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(value))));
    return true;
}

bool IsFinite(const TriVertex& v, bool textured) {
    return std::isfinite(v.x) && std::isfinite(v.y) && (!textured || (std::isfinite(v.u) && std::isfinite(v.v)));
}

int32_t ClampByte(int32_t value) { return std::clamp<int32_t>(value, 0, 255); }

int32_t FloorLog2(uint32_t value) {
    int32_t log = 0;
    while (value > 1) {
        value >>= 1;
        ++log;
    }
    return log;
}

}  // namespace

void RasterizeTriangleStrip(const TriVertex* vertices, int count, const RasterTextureImage* texture,
                            const RasterColor& colour, int /*drawMode*/, const RasterRect& clip,
                            const RasterTarget& destination, bool bilinear, bool vertexColors) {
    const bool textured = texture != nullptr;
    // An image without pixels (a surface that could not be locked) is not
    // read through; neither is an image of negative size.
    if (textured && (texture->pixels == nullptr || texture->width < 0 || texture->height < 0)) return;
    if (count < 3 || vertices == nullptr || destination.pixels == nullptr) return;

    // The clip box, kept inside the destination's rows.
    const int slot = RasterFormatSlot(destination.format);
    const int64_t bytesPerPixel = slot >= 2 ? 2 : 4;
    const int64_t rowPixels = static_cast<int64_t>(destination.pitch) / bytesPerPixel;
    const int64_t targetWidth = std::min<int64_t>(destination.width, rowPixels);
    const int64_t left = std::max<int64_t>(clip.x, 0);
    const int64_t top = std::max<int64_t>(clip.y, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(clip.x) + clip.width, targetWidth);
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(clip.y) + clip.height, destination.height);
    if (right - left < 1 || bottom - top < 1) return;
    const float xMin = static_cast<float>(left);
    const float xMax = static_cast<float>(right - 1);
    const float yMin = static_cast<float>(top);
    const float yMax = static_cast<float>(bottom - 1);
    const RasterClip spanClip{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - 1),
                              static_cast<int32_t>(bottom - 1)};

    const RasterTint tint{ClampByte(colour.alpha), ClampByte(colour.red), ClampByte(colour.green),
                          ClampByte(colour.blue)};
    const bool tinted = colour != kRasterWhite;
    const bool blended = textured && (texture->hasAlpha || texture->hasTrans || bilinear);

    RasterTexture description{};
    if (textured) {
        description.pixels = texture->pixels;
        description.shift = 16 - FloorLog2(static_cast<uint32_t>(texture->width));
        description.uLimit = static_cast<int32_t>(static_cast<uint32_t>(texture->width - 1) << 16);
        description.vLimit = static_cast<int32_t>(static_cast<uint32_t>(texture->height - 1) << 16);
        description.width = texture->width;
        description.texelCount = static_cast<uint32_t>(texture->width) * static_cast<uint32_t>(texture->height);
        description.height = texture->height;
    }
    const double uScale = textured ? static_cast<double>(texture->width) * 65536.0 : 0.0;
    const double vScale = textured ? static_cast<double>(texture->height) * 65536.0 : 0.0;

    ClipVertexPool pool;
    const TriVertex* polygon[kClipListSize];
    RasterVertex converted[kClipListSize];
    for (int j = 0; j + 2 < count; ++j) {
        const TriVertex* triangle[3] = {&vertices[j], &vertices[j + 1], &vertices[j + 2]};
        if (j % 2 != 0) std::swap(triangle[1], triangle[2]);
        if (!IsFinite(*triangle[0], textured) || !IsFinite(*triangle[1], textured) ||
            !IsFinite(*triangle[2], textured)) {
            continue;
        }
        const int n = ClipTriangle(triangle, polygon, xMin, xMax, yMin, yMax, pool);
        if (n == 0) continue;

        bool convertible = true;
        for (int i = 0; i < n && convertible; ++i) {
            const TriVertex& in = *polygon[i];
            RasterVertex& out = converted[i];
            out = RasterVertex{};
            convertible = ToFixed(static_cast<double>(in.x) * 65536.0, out.x) &&
                          ToFixed(static_cast<double>(in.y) * 65536.0, out.y);
            if (textured) {
                convertible = convertible && ToFixed(static_cast<double>(in.u) * uScale, out.u) &&
                              ToFixed(static_cast<double>(in.v) * vScale, out.v);
            }
            if (vertexColors) {
                out.a = static_cast<int32_t>(((in.color >> 24) & 0xff) << 16);
                out.r = static_cast<int32_t>(((in.color >> 16) & 0xff) << 16);
                out.g = static_cast<int32_t>(((in.color >> 8) & 0xff) << 16);
                out.b = static_cast<int32_t>((in.color & 0xff) << 16);
            }
        }
        if (!convertible) continue;

        // The polygon as a fan from its first vertex.
        const RasterTexture* textureArg = textured ? &description : nullptr;
        RasterizeTriangle(textured, blended, vertexColors, tinted, converted, destination.pixels, destination.pitch,
                          textureArg, &tint, destination.format, bilinear, spanClip);
        for (int k = 3; k < n; ++k) {
            converted[1] = converted[k - 1];
            converted[2] = converted[k];
            RasterizeTriangle(textured, blended, vertexColors, tinted, converted, destination.pixels, destination.pitch,
                              textureArg, &tint, destination.format, bilinear, spanClip);
        }
    }
}

}  // namespace Velm
