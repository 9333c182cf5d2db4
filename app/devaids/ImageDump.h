#pragma once

// The image dump: per-image memory figures, the HTML page that lists them ("imagelist.html")
// and the 64 x 64 thumbnails. VelmAppBase::DumpImageList writes the page and the image
// files; the functions here only compute.

#include <cstdint>
#include <string>
#include <vector>

namespace Velm {

class MemoryImage;

// Bytes each form of an image takes (pixels = width x height).
struct ImageMemoryFigures {
    int width = 0;
    int height = 0;
    int64_t bits = 0;         // 32-bit pixels: pixels x 4
    int64_t surface = 0;      // display surface: pixels x 4
    int64_t palletized = 0;   // palette form: pixels + 1024
    int64_t nativeAlpha = 0;  // 1024 with a palette, else pixels x 4
    int64_t rlAlpha = 0;      // pixels
    int64_t rlAdditive = 0;   // pixels
    bool hasTexture = false;
    int64_t texture = 0;    // bytes of the 3D layer's textures
    int textureFormat = 0;  // 1 A8R8G8B8, 2 A4R4G4B4, 4 R5G6B5, 8 Palette8
    bool isVolatile = false;
    bool forced = false;  // alpha flags forced
    bool hasAlpha = false;
    bool hasTrans = false;
    std::string path;

    int64_t Total() const { return bits + surface + palletized + nativeAlpha + rlAlpha + rlAdditive + texture; }
};

// What the 3D layer knows of an image's textures: false when it has none. Installed by the
// code that owns the textures; without it no image has texture figures.
using TextureInfoQuery = bool (*)(const MemoryImage* image, int64_t* bytes, int* format);
void SetTextureInfoQuery(TextureInfoQuery query);
TextureInfoQuery GetTextureInfoQuery();

ImageMemoryFigures GetImageMemoryFigures(MemoryImage* image);

// "A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8", or "" for another code.
const char* TextureFormatName(int format);

// Indices of the images by total, largest first; equal totals keep their order.
std::vector<size_t> ImageDumpOrder(const std::vector<ImageMemoryFigures>& images);

// The page for the images in the given order, the n-th row linking "img<nnnn>.png" and
// showing "thumb<nnnn>.jpg". timeText: the local time as asctime writes it.
std::string ImageDumpHtml(const std::string& timeText, const std::vector<ImageMemoryFigures>& images);

// A 64 x 64 thumbnail of width x height ARGB pixels, by nearest pixel.
std::vector<uint32_t> MakeThumbnail(const uint32_t* pixels, int width, int height);

// Decimal text with a ',' before every group of three digits from the right.
std::string FormatThousands64(int64_t value);

}  // namespace Velm
