#include "graphics/TextureData.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "graphics/D3DInterface.h"
#include "graphics/MemoryImage.h"

namespace Velm {

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

const std::array<int, 1024>& PieceSizeTable() {
    static const std::array<int, 1024> table = [] {
        std::array<int, 1024> t{};
        for (int i = 0; i < 1024; ++i) {
            const int c = NextPowerOfTwo(i);
            if (c - i <= 64) {
                t[i] = c;
                continue;
            }
            int entry = c / 2;
            while (entry > 1 && i % entry >= 64 && !IsPowerOfTwo(i % entry)) entry /= 2;
            t[i] = entry;
        }
        return t;
    }();
    return table;
}

uint32_t ReadTexel(const uint8_t* row, int x, int bytes) {
    if (bytes == 4) {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
    }
    uint16_t h;
    std::memcpy(&h, row + 2 * x, 2);
    return h;
}

void WriteTexel(uint8_t* row, int x, int bytes, uint32_t value) {
    if (bytes == 4) {
        std::memcpy(row + 4 * x, &value, 4);
        return;
    }
    const uint16_t h = static_cast<uint16_t>(value);
    std::memcpy(row + 2 * x, &h, 2);
}

}  // namespace

TextureLimits& GetTextureLimits() {
    static TextureLimits limits;
    return limits;
}

plat::d3d7::PixelFormat MakePixelFormat(int format) {
    switch (format) {
        case TextureFormat_A8R8G8B8: return plat::d3d7::PixelFormat::A8R8G8B8();
        case TextureFormat_A4R4G4B4: return plat::d3d7::PixelFormat::A4R4G4B4();
        case TextureFormat_R5G6B5: return plat::d3d7::PixelFormat::R5G6B5();
        case TextureFormat_Palette8: return {plat::d3d7::kPfRgb | plat::d3d7::kPfPaletteIndexed8, 8, 0, 0, 0, 0};
        default: return plat::d3d7::PixelFormat();
    }
}

int GetPixelFormatType(const plat::d3d7::PixelFormat& format) {
    for (int code : {TextureFormat_A8R8G8B8, TextureFormat_A4R4G4B4, TextureFormat_R5G6B5}) {
        if (format == MakePixelFormat(code)) return code;
    }
    if (format.flags == (plat::d3d7::kPfRgb | plat::d3d7::kPfPaletteIndexed8) && format.bitCount == 8)
        return TextureFormat_Palette8;
    return 0;
}

int BytesPerTexel(int format) {
    switch (format) {
        case TextureFormat_A8R8G8B8: return 4;
        case TextureFormat_A4R4G4B4:
        case TextureFormat_R5G6B5: return 2;
        case TextureFormat_Palette8: return 1;
        default: return 0;
    }
}

int GetPieceSizeTableEntry(int length) {
    if (length < 0) return 1;
    if (length > 1023) return 1024;
    return PieceSizeTable()[length];
}

void GetTexturePieceSize(int& width, int& height, bool powerOfTwo, bool adjust, int imageFlags) {
    if (imageFlags & ImageFlag_Use64By64Subdivisions) {
        width = 64;
        height = 64;
        return;
    }
    const TextureLimits& limits = GetTextureLimits();
    if (adjust) {
        const bool pow2 = powerOfTwo || (imageFlags & ImageFlag_MinimizeNumSubdivisions) != 0;
        auto side = [pow2](int n, int maximum) {
            if (n >= maximum) return maximum;
            return pow2 ? NextPowerOfTwo(n) : GetPieceSizeTableEntry(n);
        };
        width = side(width, limits.maxWidth);
        height = side(height, limits.maxHeight);
    }
    width = std::max(width, limits.minWidth);
    height = std::max(height, limits.minHeight);
    const int aspect = std::max(1, limits.maxAspectRatio);
    while (width > static_cast<long long>(aspect) * height) height *= 2;
    while (height > static_cast<long long>(aspect) * width) width *= 2;
}

uint32_t ArgbToTexel(uint32_t p, int format) {
    switch (format) {
        case TextureFormat_A4R4G4B4: return (p >> 16 & 0xF000) | (p >> 12 & 0xF00) | (p >> 8 & 0xF0) | (p >> 4 & 0xF);
        case TextureFormat_R5G6B5: return (p >> 8 & 0xF800) | (p >> 5 & 0x7E0) | (p >> 3 & 0x1F);
        default: return p;
    }
}

uint32_t TexelToArgb(uint32_t t, int format) {
    switch (format) {
        case TextureFormat_A4R4G4B4:
            // The colour nibbles come back as n x 16; the pixel is opaque.
            return 0xFF000000u | (t >> 8 & 0xF) << 20 | (t >> 4 & 0xF) << 12 | (t & 0xF) << 4;
        case TextureFormat_R5G6B5:
            return 0xFF000000u | (t >> 11 & 0x1F) << 19 | (t >> 5 & 0x3F) << 10 | (t & 0x1F) << 3;
        default: return t;
    }
}

std::shared_ptr<plat::d3d7::Texture> CreateTextureSurface(plat::d3d7::Device* device, int width, int height,
                                                          int format) {
    if (device == nullptr) return nullptr;
    if (CheckD3DError(device->SetTexture(nullptr), "SetTexture NULL")) return nullptr;
    std::shared_ptr<plat::d3d7::Texture> texture;
    if (plat::dd::Failed(device->CreateTexture(width, height, MakePixelFormat(format), &texture))) return nullptr;
    return texture;
}

bool UploadTexturePiece(MemoryImage* image, int x, int y, plat::d3d7::Texture* texture, int width, int height,
                        int format) {
    if (texture == nullptr) return false;
    uint8_t* texels = nullptr;
    int pitch = 0;
    if (CheckD3DError(texture->Lock(false, &texels, &pitch), "Lock Texture")) return false;
    const int bytes = BytesPerTexel(format);
    const int columns = std::min(image->width - x, width);
    const int rows = std::min(image->height - y, height);
    const uint32_t* bits = image->bits;
    const bool indexed = image->palette != nullptr && image->colorIndices != nullptr;
    if (columns > 0 && rows > 0 && (bits != nullptr || indexed)) {
        for (int r = 0; r < rows; ++r) {
            uint8_t* out = texels + static_cast<size_t>(r) * pitch;
            const size_t from = static_cast<size_t>(y + r) * image->width + x;
            uint32_t texel = 0;
            for (int c = 0; c < columns; ++c) {
                const uint32_t argb = indexed ? image->palette[image->colorIndices[from + c]] : bits[from + c];
                texel = ArgbToTexel(argb, format);
                WriteTexel(out, c, bytes, texel);
            }
            if (columns < width) WriteTexel(out, columns, bytes, texel);  // repeat the edge for filtering
        }
        if (rows < height)
            std::memcpy(texels + static_cast<size_t>(rows) * pitch, texels + static_cast<size_t>(rows - 1) * pitch,
                        pitch);
    }
    return !CheckD3DError(texture->Unlock(), "Texture Unlock");
}

TextureData::~TextureData() { ReleaseTextures(); }

void TextureData::ReleaseTextures() {
    pieces.clear();
    textureBytes = 0;
}

void TextureData::ComputeGrid(int imageWidth, int imageHeight) {
    pieceWidth = imageWidth;
    pieceHeight = imageHeight;
    GetTexturePieceSize(pieceWidth, pieceHeight, false, true, imageFlags);

    int lastColumnWidth = pieceWidth, lastColumnHeight = pieceHeight;
    const int restX = imageWidth % pieceWidth;
    if (restX != 0) {
        lastColumnWidth = restX;
        GetTexturePieceSize(lastColumnWidth, lastColumnHeight, true, true, imageFlags);
    }
    int lastRowWidth = pieceWidth, lastRowHeight = pieceHeight;
    const int restY = imageHeight % pieceHeight;
    if (restY != 0) {
        lastRowHeight = restY;
        GetTexturePieceSize(lastRowWidth, lastRowHeight, true, true, imageFlags);
    }
    int cornerWidth = lastColumnWidth, cornerHeight = lastRowHeight;
    GetTexturePieceSize(cornerWidth, cornerHeight, true, true, imageFlags);

    columns = (imageWidth + pieceWidth - 1) / pieceWidth;
    rows = (imageHeight + pieceHeight - 1) / pieceHeight;
    pieces.assign(static_cast<size_t>(columns) * rows, TexturePiece());
    for (TexturePiece& piece : pieces) {
        piece.width = pieceWidth;
        piece.height = pieceHeight;
    }
    if (columns > 0 && rows > 0) {
        for (int r = 0; r < rows; ++r) {
            TexturePiece& piece = pieces[static_cast<size_t>(r) * columns + columns - 1];
            piece.width = lastColumnWidth;
            piece.height = lastColumnHeight;
        }
        for (int c = 0; c < columns; ++c) {
            TexturePiece& piece = pieces[static_cast<size_t>(rows - 1) * columns + c];
            piece.width = lastRowWidth;
            piece.height = lastRowHeight;
        }
        TexturePiece& corner = pieces.back();
        corner.width = cornerWidth;
        corner.height = cornerHeight;
    }
    uScale = static_cast<float>(imageWidth) / pieceWidth;
    vScale = static_cast<float>(imageHeight) / pieceHeight;
}

bool TextureData::CreateTextures(MemoryImage* image, plat::d3d7::Device* device) {
    image->FreeSoftwareCaches();
    image->RefreshAlphaFlags();
    const int supported = GetTextureLimits().supportedFormats;
    int wanted = TextureFormat_R5G6B5;
    if (image->hasAlpha || image->hasTrans || !(supported & TextureFormat_R5G6B5) ||
        (image->flags & ImageFlag_UseA8R8G8B8))
        wanted = TextureFormat_A8R8G8B8;
    if (wanted == TextureFormat_A8R8G8B8) {
        const bool use4444 = (image->flags & ImageFlag_UseA4R4G4B4) != 0;
        if ((use4444 && ((supported & TextureFormat_A4R4G4B4) || !(supported & TextureFormat_A8R8G8B8))) ||
            (!use4444 && !(supported & TextureFormat_A8R8G8B8)))
            wanted = TextureFormat_A4R4G4B4;
    }
    if (image->width != width || image->height != height || wanted != format || image->flags != imageFlags) {
        ReleaseTextures();
        format = wanted;
        imageFlags = image->flags;
        ComputeGrid(image->width, image->height);
    }
    bool uploaded = true;
    const int bytes = BytesPerTexel(format);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            TexturePiece& piece = pieces[static_cast<size_t>(r) * columns + c];
            if (piece.texture == nullptr) {
                piece.texture = CreateTextureSurface(device, piece.width, piece.height, format);
                if (piece.texture == nullptr) {
                    format = TextureFormat_None;
                    return false;
                }
                textureBytes += piece.width * piece.height * bytes;
            }
            if (!UploadTexturePiece(image, c * pieceWidth, r * pieceHeight, piece.texture.get(), piece.width,
                                    piece.height, format))
                uploaded = false;
        }
    }
    width = image->width;
    height = image->height;
    changeCount = image->changeCount;
    return uploaded;
}

plat::d3d7::Texture* TextureData::GetPiece(int x, int y, int& partWidth, int& partHeight, float& u1, float& v1,
                                           float& u2, float& v2) const {
    const int column = x / pieceWidth;
    const int row = y / pieceHeight;
    if (column < 0 || row < 0 || column >= columns || row >= rows) return nullptr;
    const TexturePiece& piece = pieces[static_cast<size_t>(row) * columns + column];
    const int localX = x % pieceWidth;
    const int localY = y % pieceHeight;
    if (localX + partWidth > piece.width) partWidth = piece.width - localX;
    if (localY + partHeight > piece.height) partHeight = piece.height - localY;
    u1 = static_cast<float>(localX) / piece.width;
    v1 = static_cast<float>(localY) / piece.height;
    u2 = static_cast<float>(localX + partWidth) / piece.width;
    v2 = static_cast<float>(localY + partHeight) / piece.height;
    return piece.texture.get();
}

bool TextureData::CopyToImage(const MemoryImage* image, uint32_t* out) const {
    if (image == nullptr || out == nullptr || format == TextureFormat_None || changeCount != image->changeCount ||
        width != image->width || height != image->height)
        return false;
    const int bytes = BytesPerTexel(format);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const TexturePiece& piece = pieces[static_cast<size_t>(r) * columns + c];
            if (piece.texture == nullptr) continue;
            uint8_t* texels = nullptr;
            int pitch = 0;
            if (CheckD3DError(piece.texture->Lock(true, &texels, &pitch), "Lock Texture")) return false;
            const int x0 = c * pieceWidth, y0 = r * pieceHeight;
            const int columnsHere = std::min(width - x0, piece.width);
            const int rowsHere = std::min(height - y0, piece.height);
            for (int y = 0; y < rowsHere; ++y) {
                const uint8_t* in = texels + static_cast<size_t>(y) * pitch;
                uint32_t* dest = out + static_cast<size_t>(y0 + y) * width + x0;
                for (int x = 0; x < columnsHere; ++x) dest[x] = TexelToArgb(ReadTexel(in, x, bytes), format);
            }
            if (CheckD3DError(piece.texture->Unlock(), "Texture Unlock")) return false;
        }
    }
    return true;
}

}  // namespace Velm
