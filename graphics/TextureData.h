#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/D3D7.h"

namespace Velm {

class MemoryImage;

// Texture formats of the 3D layer; the supported-format mask ORs these codes.
enum TextureFormat {
    TextureFormat_None = 0,
    TextureFormat_A8R8G8B8 = 1,
    TextureFormat_A4R4G4B4 = 2,
    TextureFormat_R5G6B5 = 4,
    TextureFormat_Palette8 = 8,  // never offered on this platform
};

// The process-wide limits of the 3D layer (one display exists): texture sizes in texels,
// the largest width:height ratio, and the mask of supported formats. 64, 64 and aspect 1 until
// a device is made.
struct TextureLimits {
    int minWidth = 64;
    int minHeight = 64;
    int maxWidth = 64;
    int maxHeight = 64;
    int maxAspectRatio = 1;
    int supportedFormats = 0;
};
TextureLimits& GetTextureLimits();

plat::d3d7::PixelFormat MakePixelFormat(int format);
int GetPixelFormatType(const plat::d3d7::PixelFormat& format);  // 0 when unknown
int BytesPerTexel(int format);

// The piece-size table entry for a side of `length` texels (0..1023): the next power of two
// when that wastes at most 64 texels, else a smaller power of two whose remainder is under 64
// or itself a power of two.
int GetPieceSizeTableEntry(int length);
// A piece's texture size for an image side pair (in/out), after the device limits.
void GetTexturePieceSize(int& width, int& height, bool powerOfTwo, bool adjust, int imageFlags);

struct TexturePiece {
    std::shared_ptr<plat::d3d7::Texture> texture;
    int width = 0;  // texture size in texels
    int height = 0;
};

// An image cut into textures: a grid of pieces row by row, each piece a texture of its own.
// Owned by its image (MemoryImage::textureData), made and freed by the 3D layer on the main
// thread. The grid steps by the piece size; the last column and row use smaller textures.
struct TextureData {
    std::vector<TexturePiece> pieces;
    int width = 0;  // the image size the textures were made for
    int height = 0;
    int columns = 0;
    int rows = 0;
    int pieceWidth = 64;
    int pieceHeight = 64;
    int changeCount = 0;
    int textureBytes = 0;
    float uScale = 1.0f;  // image width / piece width
    float vScale = 1.0f;
    int format = TextureFormat_None;  // 0: no usable textures
    int imageFlags = 0;
    bool complete = false;  // the last creation made and uploaded every piece

    ~TextureData();

    // Chooses the format, lays the grid out, makes missing textures and uploads the image's
    // pixels. True when every piece was made and uploaded; false sets the format to 0 when a
    // texture could not be made. Lock failures are recorded through CheckD3DError.
    bool CreateTextures(MemoryImage* image, plat::d3d7::Device* device);
    void ComputeGrid(int imageWidth, int imageHeight);
    void ReleaseTextures();
    // The piece under (x, y) in image pixels; width and height are cut to the piece, and the
    // texture coordinates of that part are returned.
    plat::d3d7::Texture* GetPiece(int x, int y, int& partWidth, int& partHeight, float& u1, float& v1, float& u2,
                                  float& v2) const;
    // Reads the textures back into out (width x height ARGB words). False when the textures
    // are older than the image's pixels or there are none; pieces without a texture are
    // skipped (their pixels stay as they are in out).
    bool CopyToImage(const MemoryImage* image, uint32_t* out) const;
};

// Texture creation (null on failure, nothing recorded) and the upload of one piece from the
// image at (x, y); the upload pads each row and the last row with the image's edge texels.
std::shared_ptr<plat::d3d7::Texture> CreateTextureSurface(plat::d3d7::Device* device, int width, int height,
                                                          int format);
bool UploadTexturePiece(MemoryImage* image, int x, int y, plat::d3d7::Texture* texture, int width, int height,
                        int format);

// Texel conversions between 0xAARRGGBB and the texture formats.
uint32_t ArgbToTexel(uint32_t argb, int format);
uint32_t TexelToArgb(uint32_t texel, int format);

}  // namespace Velm
